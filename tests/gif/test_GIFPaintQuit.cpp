// Quitting the application ends the running painters (a program of its own: after the quit
// no painter runs again in this process).
#include "gif/GIFPaint.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

using namespace GIFImg;

namespace {

// Two 2 x 2 frames, red and green.
std::unique_ptr<TGIFImage> TwoFrames()
{
    auto picture = std::make_unique<TGIFImage>();
    for (TColor c : {clRed, clLime}) {
        TBitmap frame(2, 2, pf24bit);
        frame.Canvas().Brush.Color = c;
        frame.Canvas().FillRect(Rect(0, 0, 2, 2));
        frame.Canvas().Release();
        picture->Add(frame);
    }
    return picture;
}

TEST(GIFPaintQuit, QuittingEndsThePainters)
{
    auto owned = TwoFrames();
    TGIFImage& picture = *owned;
    picture.AnimationSpeed = -1;  // waits for ever between frames unless stopped

    TBitmap target(2, 2, pf24bit);
    TGIFPainter* painter = nullptr;
    picture.Paint(painter, target.Canvas(), PaintOption(doAsync) | PaintOption(doAnimate) | PaintOption(doLoop),
                  Rect(0, 0, 2, 2))
        ->Start();
    QTimer::singleShot(50, [] { QCoreApplication::quit(); });
    QCoreApplication::exec();
    // The painter is gone: its end cleared the variable.
    EXPECT_EQ(painter, nullptr);
}

}  // namespace
