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
    // The reader's budget bounds the pixels of all frames together and of the screen, so every
    // frame is rendered and the picture drawn and made into one bitmap whatever its size.
    try {
        for (int i = 0; i < picture.Images().Count(); ++i) {
            GIFImg::TGIFSubImage& f = *picture.Images().Items(i);
            f.HasMask();
            f.Bitmap();
        }
        picture.DrawOptions |= GIFImg::PaintOption(GIFImg::doDither);
        picture.DrawOptions &= static_cast<GIFImg::TGIFPaintOptions>(~GIFImg::PaintOption(GIFImg::doAutoDither));
        TBitmap target(64, 48, pf24bit);
        picture.Draw(target.Canvas(), Rect(0, 0, 64, 48));
        picture.DrawOptions |= GIFImg::PaintOption(GIFImg::doTile);
        picture.Draw(target.Canvas(), Rect(0, 0, 64, 48));
        if (TBitmap* whole = picture.Bitmap()) target.Assign(*whole);
        TByteWriter out;
        if (!picture.Empty()) picture.SaveToBytes(out);
    } catch (const Exception&) {
    }
    return 0;
}
