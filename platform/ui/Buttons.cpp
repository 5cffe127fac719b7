#include "platform/ui/Buttons.h"

#include "platform/ui/Forms.h"

#include <QMouseEvent>

TBitBtn::TBitBtn(QWidget* parent) : QPushButton(parent)
{
    // Enter presses the form's Default button only, not the one that has the focus.
    setAutoDefault(false);
    QObject::connect(this, &QAbstractButton::clicked, this, [this] { Click(); });
}

void TBitBtn::SetKind(TBitBtnKind kind)
{
    kind_ = kind;
    switch (kind) {
    case TBitBtnKind::bkOK: modalResult_ = mrOk; setDefault(true); break;
    case TBitBtnKind::bkCancel: modalResult_ = mrCancel; cancel_ = true; break;
    case TBitBtnKind::bkYes: modalResult_ = mrYes; setDefault(true); break;
    case TBitBtnKind::bkNo: modalResult_ = mrNo; cancel_ = true; break;
    case TBitBtnKind::bkClose: modalResult_ = mrNone; break;
    case TBitBtnKind::bkCustom: break;
    }
}

void TBitBtn::Click()
{
    if (modalResult_ != mrNone) {
        if (auto* form = dynamic_cast<TForm*>(window())) form->SetModalResult(modalResult_);
    }
    CallEvent(OnClick, this);
    if (kind_ == TBitBtnKind::bkClose) {
        if (auto* form = dynamic_cast<TForm*>(window())) form->Close();
    }
}

TSpeedButton::TSpeedButton(QWidget* parent) : QToolButton(parent)
{
    setAutoRaise(true);
    setMouseTracking(true);
    QObject::connect(this, &QAbstractButton::clicked, this, [this] { CallEvent(OnClick, this); });
}

void TSpeedButton::SetHint(const std::string& hint) { setToolTip(ToQtLines(hint)); }

std::string TSpeedButton::Hint() const
{
    QString h = toolTip();
    h.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return ToStd(h);
}

void TSpeedButton::Click()
{
    if (isEnabled()) click();
}

void TSpeedButton::mouseMoveEvent(QMouseEvent* e)
{
    QToolButton::mouseMoveEvent(e);
    CallEvent(OnMouseMove, this);
}
