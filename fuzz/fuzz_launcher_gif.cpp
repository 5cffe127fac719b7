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
        for (const QvGIF::TFrameRecord& f : gif.Frames) {
            const uint64_t pixels = uint64_t(f.Width) * f.Height;
            // Large frames are refused by the picture before decoding; keep the runs fast.
            if (pixels == 0 || pixels > (uint64_t(1) << 20) || f.TableBits < 1) continue;
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
