#include "platform/ui/ComCtrls.h"

TTrackBar::TTrackBar(QWidget* parent) : TWinControl<QSlider>(parent)
{
    setOrientation(Qt::Horizontal);
    setTickPosition(QSlider::TicksBelow);
    setTickInterval(1);
    setPageStep(1);
    connect(this, &QSlider::valueChanged, this, [this] { CallEvent(OnChange, this); });
}
