// libFuzzer target: the GIF picture library on arbitrary bytes: load, decode, render every frame
// (plain and dithered, with masks) and draw the picture. Errors must be exceptions, never crashes.
#include "gif/GIFImg.h"
#include "platform/ui/Forms.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A painter's failure is raised again on this thread when the painter is freed; it is an
    // error handled, not a crash (and no error box may wait for a user here).
    static const bool quiet = [] {
        Application->OnException = [](QObject*, std::exception_ptr) {};
        return true;
    }();
    (void)quiet;
    GIFImg::TGIFImage picture;
    try {
        TByteReader reader(data, size);
        picture.LoadFromBytes(reader);
    } catch (const Exception&) {
    }
    // Drawing and re-encoding are linear in the pixels; a picture of tens of millions of them
    // (within the reader's limits) would only time out under the fuzzer's instrumentation.
    int64_t pixels = 0;
    for (int i = 0; i < picture.Images().Count(); ++i)
        pixels += int64_t(picture.Images().Items(i)->Width()) * picture.Images().Items(i)->Height();
    if (pixels > 1 << 21) return 0;
    try {
        for (int i = 0; i < picture.Images().Count() && i < 8; ++i) {
            GIFImg::TGIFSubImage& f = *picture.Images().Items(i);
            if (int64_t(f.Width()) * f.Height() > 1 << 20) continue;
            f.HasMask();
            f.Bitmap();
        }
        if (int64_t(picture.Width()) * picture.Height() <= 1 << 20) {
            picture.DrawOptions |= GIFImg::PaintOption(GIFImg::doDither);
            picture.DrawOptions &= static_cast<GIFImg::TGIFPaintOptions>(~GIFImg::PaintOption(GIFImg::doAutoDither));
            TBitmap target(64, 48, pf24bit);
            picture.Draw(target.Canvas(), Rect(0, 0, 64, 48));
            picture.DrawOptions |= GIFImg::PaintOption(GIFImg::doTile);
            picture.Draw(target.Canvas(), Rect(0, 0, 64, 48));
        }
        TByteWriter out;
        if (!picture.Empty()) picture.SaveToBytes(out);
    } catch (const Exception&) {
    }
    return 0;
}
