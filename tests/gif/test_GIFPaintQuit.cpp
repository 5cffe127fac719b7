// Quitting the application ends the running painters (a program of its own: after the quit
// no painter runs again in this process).
#include "gif/GIFPaint.h"
#include "gif/GifBuilder.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

using namespace GIFImg;

namespace {

TEST(GIFPaintQuit, QuittingEndsThePainters)
{
    gifbuild::Gif g;
    g.width = g.height = 2;
    g.loopCount = 0;
    g.frames = {gifbuild::Solid(2, 2, 1), gifbuild::Solid(2, 2, 2)};
    const std::vector<uint8_t> bytes = gifbuild::Build(g);
    TGIFImage picture;
    TByteReader r(bytes);
    picture.LoadFromBytes(r);
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
