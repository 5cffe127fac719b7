// libFuzzer target: the animated GIF control loading arbitrary bytes as its second picture
// (after one with a transparent frame) and as its first (followed by a larger opaque one):
// every frame of each is composed and the control painted. A damaged file is refused or
// shown; it never overruns what the picture before or after it left behind.
#include "gif/GIFImage.h"
#include "tests/gif/GifBuilder.h"

#include <QApplication>
#include <QPixmap>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void Init()
{
    static QApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "fuzz_gifcontrol";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    (void)app;
}

std::vector<uint8_t> Transparent()
{
    gifbuild::Gif g;
    g.width = g.height = 2;
    gifbuild::Frame f = gifbuild::Solid(2, 2, 1);
    f.pixels = {1, 0, 0, 1};
    f.transparent = true;
    f.disposal = 3;
    g.frames = {f, gifbuild::Solid(2, 2, 2)};
    return gifbuild::Build(g);
}

std::vector<uint8_t> LargeOpaque()
{
    gifbuild::Gif g;
    g.width = g.height = 96;
    g.frames = {gifbuild::Solid(96, 96, 3), gifbuild::Solid(40, 40, 1, 50, 50)};
    return gifbuild::Build(g);
}

// Shows every frame (of a picture small enough to compose quickly) and paints the control.
void Show(GIFImage::TGIFImage& control)
{
    if (control.Empty()) return;
    const QImage& canvas = control.CanvasImage();
    if (int64_t(canvas.width()) * canvas.height() > (1 << 20)) return;
    for (int frame = 1; frame <= control.FrameCount() && frame <= 64; ++frame) control.SetCurrentFrame(frame);
    control.grab();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Init();
    static const std::vector<uint8_t> transparent = Transparent();
    static const std::vector<uint8_t> large = LargeOpaque();
    const std::span<const uint8_t> bytes(data, size);
    GIFImage::TGIFImage control;
    control.resize(64, 64);
    for (const std::span<const uint8_t> picture :
         {std::span<const uint8_t>(transparent), bytes, std::span<const uint8_t>(large), bytes}) {
        control.LoadGIFBytes(picture);
        Show(control);
    }
    return 0;
}
