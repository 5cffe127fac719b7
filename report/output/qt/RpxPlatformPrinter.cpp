#include "RpxPlatformPrinter.h"

#include "platform/printing/Printers.h"
#include "report/RpxPrinter.h"

TRpxPlatformPrintDevice::TRpxPlatformPrintDevice(TPrinter& printer) : printer_(printer) {}

TRpxPlatformPrintDevice::~TRpxPlatformPrintDevice()
{
    // A job still open here was never finished: it is not delivered.
    if (device_ && printer_.Printing()) {
        try {
            printer_.Abort();
        } catch (...) {
        }
    }
}

void TRpxPlatformPrintDevice::BeginDoc(const std::string& title)
{
    // The orientation the report's page setup gave the printer's device mode.
    TRpxDevMode dm;
    if (PrinterCount() > 0 && PrinterBackend().GetDevMode(dm) && (dm.Fields & DM_ORIENTATION))
        printer_.SetOrientation(dm.Orientation == 2 ? TPrinterOrientation::poLandscape : TPrinterOrientation::poPortrait);
    printer_.Title = title;
    printer_.BeginDoc();
    const QRect sheet = printer_.SheetRect(), printable = printer_.PrintableRect();
    TRpxDeviceInfo info;
    info.LogPixelsX = info.LogPixelsY = printer_.Resolution();
    info.PhysicalWidth = sheet.width();
    info.PhysicalHeight = sheet.height();
    info.PhysicalOffsetX = printable.left() - sheet.left();
    info.PhysicalOffsetY = printable.top() - sheet.top();
    info.HorzRes = printer_.PageWidth();
    info.VertRes = printer_.PageHeight();
    info.Technology = DT_RASPRINTER;
    device_ = std::make_unique<TRpxPainterDevice>(printer_.DocumentPainter(), info);
}

void TRpxPlatformPrintDevice::StartPage() { printer_.NewPage(); }

void TRpxPlatformPrintDevice::EndDoc()
{
    device_.reset();
    printer_.EndDoc();
}

void TRpxPlatformPrintDevice::Abort()
{
    device_.reset();
    printer_.Abort();
}

bool TRpxPlatformPrintDevice::Printing() const { return device_ && printer_.Printing(); }

TRpxDevice& TRpxPlatformPrintDevice::Device()
{
    if (!device_) throw EPrinter("Printer is not currently printing");
    return *device_;
}

void InstallRpxPlatformPrinting()
{
    RpxPrintDeviceFactory = [] { return std::make_unique<TRpxPlatformPrintDevice>(Printer()); };
}
