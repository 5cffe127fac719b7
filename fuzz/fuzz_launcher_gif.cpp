// The launcher's GIF reader on arbitrary bytes: the block parser, then every frame's LZW data,
// tolerant and not.
#include "launcher/graphics/GifCodec.h"
#include "platform/runtime/SysUtils.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    for (bool tolerant : {true, false}) {
        QvGIF::TGIFStream gif;
        try {
            QvGIF::ParseGIF({data, size}, tolerant, gif);
        } catch (const Exception&) {
        }
        // Every frame the picture would decode: up to the limit of all frames together, which
        // the picture refuses beyond.
        uint64_t total = 0;
        for (const QvGIF::TFrameRecord& f : gif.Frames) {
            const uint64_t pixels = uint64_t(f.Width) * f.Height;
            total += pixels;
            if (total > QvGIF::kMaxPicturePixels) break;
            if (pixels == 0 || f.TableBits < 1) continue;
            std::vector<uint8_t> out(static_cast<size_t>(pixels));
            try {
                QvGIF::DecodeLZW(f.ImageData, f.Width, f.Height, f.Interlaced,
                                 static_cast<uint8_t>((1 << f.TableBits) - 1), tolerant, out.data());
            } catch (const Exception&) {
            }
        }
    }
    return 0;
}
