#include "BenchRpxPdf.h"

#include "platform/printing/Printers.h"
#include "report/output/RpxFile.h"
#include "report/output/RpxPrint.h"
#include "report/output/qt/RpxPlatformPrinter.h"

void PrintRpxToPdf(TRpxRpxFile& document, const std::string& pdfFile)
{
    TPdfPrinter printer(pdfFile, 96);
    TPrinterScope scope(printer);
    InstallRpxPlatformPrinting();
    auto device = RpxPrintDeviceFactory();
    RpxPrintDeviceFactory = nullptr;
    TRpxPrinter rpx(*device);
    document.SendRange(rpx, 1, document.CompletePages());
}
