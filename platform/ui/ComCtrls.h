// The track bar: a slider from Min to Max whose position the user drags or steps.
#pragma once

#include "platform/ui/Controls.h"

#include <QSlider>

class TTrackBar : public TWinControl<QSlider> {
public:
    explicit TTrackBar(QWidget* parent = nullptr);
    int Position() const { return value(); }
    void SetPosition(int p) { setValue(p); }   // fires OnChange when it changes

    TNotifyEvent OnChange;
};
