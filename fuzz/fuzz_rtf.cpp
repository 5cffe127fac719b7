// Any bytes as rich text: read it, measure it, walk its paragraphs.
#include "report/rtf/RpxRtfReader.h"

#include "platform/runtime/SysUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    try {
        const TRtfDocument d = ReadRtf(data, size);
        size_t n = static_cast<size_t>(d.TextLength());
        for (const auto& p : d.Paragraphs) n += p.Text().size() + p.Format.Tabs.size();
        if (n == static_cast<size_t>(-1)) return 1;
    } catch (const EReadError&) {
    }
    return 0;
}
