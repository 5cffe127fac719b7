#include "planner/ui/StillPicture.h"

TStillPicture::TStillPicture(QWidget* parent) : QLabel(parent)
{
    setScaledContents(true);
}

void TStillPicture::SetFrames(std::vector<QPixmap> frames)
{
    frames_ = std::move(frames);
    current_ = frames_.empty() ? 0 : 1;
    setPixmap(frames_.empty() ? QPixmap() : frames_.front());
}

void TStillPicture::SetCurrentFrame(int frame)
{
    if (frame < 1 || frame > FrameCount()) return;
    current_ = frame;
    setPixmap(frames_[frame - 1]);
    CallEvent(OnChange, this);
}
