#include "RpxFastAskForm.h"

#include "ui_RpxFastAskForm.h"

#include "report/ui/RpxDialogs.h"

TRpxFastAskForm::TRpxFastAskForm(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::RpxFastAskForm>())
{
    ui_->setupUi(this);
    connect(ui_->OkBtn, &QPushButton::clicked, this, &TRpxFastAskForm::OkBtnClick);
    connect(ui_->CancelBtn, &QPushButton::clicked, this, &TRpxFastAskForm::CancelBtnClick);
    FormCreate();
}

TRpxFastAskForm::~TRpxFastAskForm() = default;

void TRpxFastAskForm::FormCreate()
{
    const QRect cancel = ui_->CancelBtn->geometry();
    setFixedSize(cancel.x() + cancel.width() + 15, cancel.y() + cancel.height() + 15);
    cancelled_ = true;
}

void TRpxFastAskForm::OkBtnClick()
{
    cancelled_ = false;
    accept();
}

void TRpxFastAskForm::CancelBtnClick()
{
    cancelled_ = true;
    reject();
}

TRpxFitAnswer TRpxFastAskForm::Ask()
{
    RpxAsk(*this);
    return Answer();
}

TRpxFitAnswer TRpxFastAskForm::Answer() const
{
    if (cancelled_) return faCancel;
    if (ui_->Shrink->isChecked()) return faShrink;
    if (ui_->Delete->isChecked()) return faDelete;
    if (ui_->Ignore->isChecked()) return faIgnore;
    return faWrap;
}

QRadioButton* TRpxFastAskForm::Option(TRpxFitAnswer a) const
{
    switch (a) {
    case faShrink: return ui_->Shrink;
    case faDelete: return ui_->Delete;
    case faIgnore: return ui_->Ignore;
    case faWrap: return ui_->Wrap;
    default: return nullptr;
    }
}

QPushButton* TRpxFastAskForm::OkBtn() const { return ui_->OkBtn; }
QPushButton* TRpxFastAskForm::CancelBtn() const { return ui_->CancelBtn; }
