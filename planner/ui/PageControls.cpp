// Controls of the planning pages.
#include "planner/ui/PageControls.h"

#include "planner/engine/PatternPlots.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"

#include <QLayout>
#include <QPainter>
#include <QToolButton>

void InstallPlotMessages()
{
    if (!PlotMessageHook) PlotMessageHook = [](const std::string& m) { ShowMessage(m); };
}

void CompactRadioGroup(TRadioGroup* group)
{
    if (QLayout* l = group->layout()) {
        l->setContentsMargins(6, 0, 6, 2);
        l->setSpacing(0);
    }
}

// --- TImage --------------------------------------------------------------------------

TImage::TImage(QWidget* parent) : QWidget(parent) {}

TBitmap& TImage::Picture()
{
    const QSize want = fixedSize_.isValid() ? fixedSize_ : QSize(std::max(width(), 1), std::max(height(), 1));
    if (bitmap_.Width() != want.width() || bitmap_.Height() != want.height())
        bitmap_.SetSize(want.width(), want.height());
    return bitmap_;
}

// The bitmap takes the size when it is first drawn on: a hidden exhibit image costs nothing
// until an exhibit is made.
void TImage::SetPictureSize(int width, int height) { fixedSize_ = QSize(width, height); }

void TImage::paintEvent(QPaintEvent*)
{
    if (bitmap_.Empty()) return;
    QPainter p(this);
    p.drawImage(QPoint(0, 0), bitmap_.ToImage());
}

// --- TSpinButton ---------------------------------------------------------------------

TSpinButton::TSpinButton(QWidget* parent) : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this))
{
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {up_, down_}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
    }
    QObject::connect(up_, &QToolButton::clicked, this, [this] { UpClick(); });
    QObject::connect(down_, &QToolButton::clicked, this, [this] { DownClick(); });
}

void TSpinButton::UpClick()
{
    if (isEnabled()) CallEvent(OnUpClick, this);
}

void TSpinButton::DownClick()
{
    if (isEnabled()) CallEvent(OnDownClick, this);
}

void TSpinButton::resizeEvent(QResizeEvent*)
{
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

// --- TTabSet -------------------------------------------------------------------------

TTabSet::TTabSet(QWidget* parent) : QTabBar(parent)
{
    setShape(QTabBar::RoundedSouth);
    setExpanding(false);
    setDrawBase(false);
    QObject::connect(this, &QTabBar::currentChanged, this, [this](int index) {
        if (fromCode_ || index < 0 || !OnChange) return;
        Guarded([&] { OnChange(this, index); });
    });
}

TStringList TTabSet::Tabs() const
{
    TStringList out;
    for (int i = 0; i < count(); ++i) out.Add(ToStd(tabText(i)));
    return out;
}

void TTabSet::AddTab(const std::string& caption)
{
    fromCode_ = true;
    addTab(ToQt(caption));
    fromCode_ = false;
}

void TTabSet::DeleteTab(int index)
{
    fromCode_ = true;
    if (index >= 0 && index < count()) removeTab(index);
    fromCode_ = false;
}

void TTabSet::SetTabIndex(int index)
{
    fromCode_ = true;
    if (index >= 0 && index < count()) setCurrentIndex(index);
    fromCode_ = false;
}
