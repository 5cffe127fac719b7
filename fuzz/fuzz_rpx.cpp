// Any bytes as a recorded report: load it, play and read the setup of every page (onto the
// recording device and, where Qt is built, onto a bitmap with rich text drawn), save it.
#include "report/output/RpxFile.h"

#if MW_RPX_PAINTER
#include "report/output/qt/RpxPainterDevice.h"
#include "report/rtf/qt/RpxRtfDraw.h"

#include <QGuiApplication>

#include <cstdlib>
#endif

#include <algorithm>

#if MW_RPX_PAINTER
// Font configuration keeps its caches to the end of the process: not a leak of ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QGuiApplication app(*argc, *argv);
    InstallRpxQtMeasuring();
    InstallRpxRtfDraw();
    return 0;
}
#endif

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
#if MW_RPX_PAINTER
        if (page <= 4) {
            TRpxImageDevice bitmap(200, 280, 24, 24);
            doc.PlayPage(bitmap, page);
        }
#endif
        TRpxPrinterSetup setup;
        doc.ReadPageSetup(setup, page);
    }
    TMemoryStream out;
    doc.SaveToStream(out);
    return 0;
}
