// Any bytes as a recorded report: load it, play and read the setup of every page, save it.
#include "report/output/RpxFile.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    TMemoryStream in;
    in.WriteBuffer(data, static_cast<int64_t>(size));
    in.SetPosition(0);
    TRpxRpxFile doc;
    try {
        doc.LoadFromStream(in);
    } catch (const EReadError&) {
        return 0;
    }
    for (int page = 1; page <= std::min(doc.PageCount(), 64); ++page) {
        TRpxRecordingDevice dev;
        doc.PlayPage(dev, page);
        doc.ZoomX = 37;
        doc.PlayPage(dev, page);
        doc.ZoomX = 100;
        TRpxPrinterSetup setup;
        doc.ReadPageSetup(setup, page);
    }
    TMemoryStream out;
    doc.SaveToStream(out);
    return 0;
}
