// A picture of numbered frames that shows the frame chosen through CurrentFrame. It holds the
// place of the animated GIF controls of the main window until they land, with the same
// frame rules: frames count from 1, a frame outside 1..count changes nothing, and every
// change fires OnChange. It does not animate.
#pragma once

#include "platform/ui/Controls.h"

#include <QLabel>
#include <QPixmap>
#include <vector>

class TStillPicture : public QLabel {
public:
    explicit TStillPicture(QWidget* parent = nullptr);

    void SetFrames(std::vector<QPixmap> frames);  // shows frame 1
    int FrameCount() const { return static_cast<int>(frames_.size()); }
    int CurrentFrame() const { return current_; }
    void SetCurrentFrame(int frame);

    TNotifyEvent OnChange;

private:
    std::vector<QPixmap> frames_;
    int current_ = 0;
};
