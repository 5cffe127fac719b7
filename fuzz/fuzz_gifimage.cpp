// Any bytes as a GIF for the animated control's reader: read every block, decode every frame.
// Failing with EReadError (a file cut short) is fine; anything else escaping is not.
#include "gif/GIFImageReader.h"
#include "platform/runtime/SysUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    using namespace GIFImage;
    const std::span<const uint8_t> bytes(data, size);
    for (const bool decodeAll : {true, false}) {
        TGIFFile file;
        TGIFReadOptions options;
        options.DecodeAll = decodeAll;
        try {
            if (ReadGIF(bytes, options, file) != TGIFReadResult::Ok) continue;
        } catch (const EReadError&) {
            continue;
        }
        for (TGIFFrame& frame : file.Frames) {
            DecodeFrame(bytes, frame);
            if (frame.Pixels.size() != static_cast<size_t>(frame.Width) * static_cast<size_t>(frame.Height)) __builtin_trap();
        }
    }
    return 0;
}
