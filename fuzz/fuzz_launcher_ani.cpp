// The launcher's animated-cursor reader (RIFF "ACON") on arbitrary bytes.
#include "launcher/graphics/AniCodec.h"
#include "platform/runtime/SysUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QvGIF::TAniFile file;
    try {
        QvGIF::ParseAnimatedCursor({data, size}, file);
    } catch (const Exception&) {
    }
    return 0;
}
