#include "RpxPlatformPrinter.h"

#include "platform/printing/Printers.h"

#include <algorithm>

// The painter's device, told the sheet again when a page comes out on other paper.
class TRpxPlatformPrintDevice::TPageDevice : public TRpxPainterDevice {
public:
    using TRpxPainterDevice::TRpxPainterDevice;
    using TRpxPainterDevice::SetInfo;
};

namespace {

TRpxDeviceInfo SheetInfo(TPrinter& printer)
{
    const QRect sheet = printer.SheetRect(), printable = printer.PrintableRect();
    TRpxDeviceInfo info;
    info.LogPixelsX = info.LogPixelsY = printer.Resolution();
    info.PhysicalWidth = sheet.width();
    info.PhysicalHeight = sheet.height();
    info.PhysicalOffsetX = printable.left() - sheet.left();
    info.PhysicalOffsetY = printable.top() - sheet.top();
    info.HorzRes = printer.PageWidth();
    info.VertRes = printer.PageHeight();
    info.Technology = DT_RASPRINTER;
    return info;
}

// The settings the report's printer layer holds for the current printer now.
TPrinterPageFormat CurrentFormat()
{
    TRpxDevMode dm;
    if (PrinterCount() == 0 || !PrinterBackend().GetDevMode(dm)) return {};
    TRpxDeviceCaps caps;
    if (!PrinterBackend().Capabilities(caps)) caps = TRpxDeviceCaps{};
    return RpxPageFormat(dm, caps);
}

}  // namespace

TPrinterPageFormat RpxPageFormat(const TRpxDevMode& dm, const TRpxDeviceCaps& caps)
{
    TPrinterPageFormat f;
    const uint32_t has = dm.Fields;
    if (has & DM_ORIENTATION)
        f.Orientation = dm.Orientation == 2 ? TPrinterOrientation::poLandscape : TPrinterOrientation::poPortrait;
    if (has & DM_PAPERSIZE) {
        for (const TRpxDevicePaper& p : caps.Papers) {
            if (p.Number != dm.PaperSize) continue;
            TPrinterPaper paper{p.Number, p.Name, p.Width, p.Length};
            // The user's own size: the device mode's width and length, within the largest sheet.
            if (p.Number == DMPAPER_USER) {
                if ((has & DM_PAPERWIDTH) && dm.PaperWidth > 0) paper.Width = std::min<int32_t>(dm.PaperWidth, p.Width);
                if ((has & DM_PAPERLENGTH) && dm.PaperLength > 0) paper.Length = std::min<int32_t>(dm.PaperLength, p.Length);
            }
            f.Paper = paper;
            break;
        }
    }
    // The spooler refuses a two-sided job for a one-sided printer.
    if ((has & DM_DUPLEX) && (caps.Duplex || dm.Duplex == 1))
        f.Duplex = dm.Duplex == 2   ? TPrinterDuplex::pdLongEdge
                   : dm.Duplex == 3 ? TPrinterDuplex::pdShortEdge
                                    : TPrinterDuplex::pdSimplex;
    if ((has & DM_COPIES) && dm.Copies > 0) f.Copies = dm.Copies;
    if (has & DM_COLLATE) f.Collate = dm.Collate != 0;
    // The resolution and the colour stay as the printer is set: a report's setup can give only
    // quality codes, and the driver's colour default would turn the exhibits grey after it.
    if (has & DM_DEFAULTSOURCE)
        for (const TRpxDeviceBin& b : caps.Bins)
            if (b.Number == dm.DefaultSource) {
                f.Source = b.Name;
                break;
            }
    return f;
}

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
    Restore();
}

void TRpxPlatformPrintDevice::Restore()
{
    // The printer goes back to the settings it had before the report's job.
    if (!saved_ || printer_.Printing()) return;
    const TPrinter::TSavedFormat saved = std::move(*saved_);
    saved_.reset();
    try {
        printer_.RestoreFormat(saved);
    } catch (...) {
    }
}

void TRpxPlatformPrintDevice::BeginDoc(const std::string& title)
{
    // The job takes the report's page setup as the engine's printer layer holds it now.
    format_ = CurrentFormat();
    if (!printer_.Printing()) saved_ = printer_.SaveFormat();
    try {
        printer_.SetPageFormat(format_);
        printer_.Title = title;
        printer_.BeginDoc();
    } catch (...) {
        Restore();
        throw;
    }
    device_ = std::make_unique<TPageDevice>(printer_.DocumentPainter(), SheetInfo(printer_));
}

void TRpxPlatformPrintDevice::StartPage()
{
    // A setup sent since the last page (other paper or orientation) holds from this one.
    TPrinterPageFormat format = CurrentFormat();
    if (format != format_) {
        format_ = std::move(format);
        printer_.SetPageFormat(format_);
    }
    printer_.NewPage();
    if (device_) device_->SetInfo(SheetInfo(printer_));
}

void TRpxPlatformPrintDevice::EndDoc()
{
    device_.reset();
    try {
        printer_.EndDoc();
    } catch (...) {
        Restore();
        throw;
    }
    Restore();
}

void TRpxPlatformPrintDevice::Abort()
{
    device_.reset();
    printer_.Abort();
    Restore();
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
