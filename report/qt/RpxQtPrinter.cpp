#include "RpxQtPrinter.h"

#include "platform/printing/Printers.h"
#include "platform/printing/QtPrinters.h"
#include "report/output/qt/RpxPlatformPrinter.h"

#include <algorithm>
#include <utility>

namespace {

std::string Cut(std::string s, size_t n)
{
    if (s.size() > n) s.resize(n);
    return s;
}

int16_t Clamp16(int32_t v) { return static_cast<int16_t>(std::clamp(v, 0, 32767)); }

// The driver's defaults as a device mode.
TRpxDevMode DefaultDevMode(const TPrinterCapabilities& c)
{
    TRpxDevMode dm;
    dm.Fields = DM_ORIENTATION | DM_SCALE | DM_COPIES | DM_COLOR | DM_DUPLEX | DM_COLLATE;
    dm.Orientation = 1;
    dm.Scale = 100;
    dm.Copies = 1;
    dm.Collate = 1;
    dm.Color = c.DefaultColor ? 2 : 1;
    dm.Duplex = c.DefaultDuplex == TPrinterDuplex::pdLongEdge    ? 2
                : c.DefaultDuplex == TPrinterDuplex::pdShortEdge ? 3
                                                                 : 1;
    if (const TPrinterPaper* p = c.DefaultPaper ? c.PaperByNumber(c.DefaultPaper) : nullptr) {
        dm.Fields |= DM_PAPERSIZE | DM_FORMNAME | DM_PAPERLENGTH | DM_PAPERWIDTH;
        dm.PaperSize = p->Number;
        dm.FormName = Cut(p->Name, 31);
        dm.PaperLength = Clamp16(p->Length);
        dm.PaperWidth = Clamp16(p->Width);
    }
    if (!c.Bins.empty()) {
        dm.Fields |= DM_DEFAULTSOURCE;
        dm.DefaultSource = c.DefaultBin ? c.DefaultBin : c.Bins.front().Number;
    }
    if (c.DefaultResolution > 0) {
        dm.Fields |= DM_PRINTQUALITY | DM_YRESOLUTION;
        dm.PrintQuality = static_cast<int16_t>(std::min(c.DefaultResolution, 32767));
        dm.YResolution = dm.PrintQuality;
    }
    return dm;
}

TRpxDeviceCaps DeviceCaps(const TPrinterCapabilities& c)
{
    TRpxDeviceCaps caps;
    for (const TPrinterBin& b : c.Bins) caps.Bins.push_back({b.Number, Cut(b.Name, 24)});
    for (const TPrinterPaper& p : c.Papers) caps.Papers.push_back({p.Number, Cut(p.Name, 64), p.Width, p.Length});
    for (int r : c.Resolutions) caps.Resolutions.emplace_back(r, r);
    caps.Duplex = c.Duplex;
    return caps;
}

}  // namespace

struct TRpxQtPrinterBackend::Device {
    TRpxDevMode defaults;
    TRpxDevMode current;
    TPrinterPageFormat seen;   // the program printer's format when last looked at
};

TRpxQtPrinterBackend::TRpxQtPrinterBackend()
{
    // The program installs the system's printers at start-up; a backend made on its own
    // (a test) brings them itself.
    if (!PrinterCatalogInstalled()) InstallSystemPrinterCatalog();
}

TRpxQtPrinterBackend::~TRpxQtPrinterBackend() = default;

void TRpxQtPrinterBackend::Reload()
{
    devices_.clear();
    current_.clear();
    PrinterCatalog().Reload();
}

std::vector<std::string> TRpxQtPrinterBackend::Printers() { return PrinterCatalog().Names(); }

std::string TRpxQtPrinterBackend::DefaultPrinter() { return PrinterCatalog().DefaultName(); }

int TRpxQtPrinterBackend::PrinterIndex()
{
    const auto names = Printers();
    // The program's printer decides when it is one of the list.
    if (PrinterInstalled()) {
        const std::string name = Printer().PrinterName();
        if (std::find(names.begin(), names.end(), name) != names.end()) current_ = name;
    }
    if (current_.empty() || std::find(names.begin(), names.end(), current_) == names.end()) {
        const std::string def = DefaultPrinter();
        current_ = std::find(names.begin(), names.end(), def) != names.end() ? def
                   : names.empty()                                      ? std::string()
                                                                        : names.front();
    }
    const auto it = std::find(names.begin(), names.end(), current_);
    return it != names.end() ? static_cast<int>(it - names.begin()) : -1;
}

void TRpxQtPrinterBackend::SetPrinterIndex(int index)
{
    const auto names = Printers();
    if (index < 0 || index >= static_cast<int>(names.size())) return;
    current_ = names[static_cast<size_t>(index)];
    if (!PrinterInstalled() || Printer().Printing()) return;
    const auto program = Printer().Printers();
    const auto it = std::find(program.begin(), program.end(), current_);
    if (it != program.end()) Printer().SetPrinterIndex(static_cast<int>(it - program.begin()));
}

TRpxQtPrinterBackend::Device* TRpxQtPrinterBackend::Current()
{
    if (PrinterIndex() < 0) return nullptr;
    // Asked each time: a printer the catalog no longer describes has no device mode.
    const TPrinterCapabilities* caps = PrinterCatalog().Capabilities(current_);
    if (!caps) return nullptr;
    if (auto it = devices_.find(current_); it != devices_.end()) return &it->second;
    Device d;
    d.defaults = d.current = DefaultDevMode(*caps);
    if (PrinterInstalled()) d.seen = Printer().PageFormat();
    return &(devices_[current_] = d);
}

void TRpxQtPrinterBackend::FollowProgramPrinter(Device& d)
{
    // What the program's printer took since (its print dialog, an exhibit) is the device
    // mode's too, as both are one printer. A job that is printing is the report's own: what
    // it set on the printer is the device mode's already, and goes again when the job ends.
    if (!PrinterInstalled() || Printer().Printing() || Printer().PrinterName() != current_) return;
    const TPrinterPageFormat now = Printer().PageFormat();
    if (now == d.seen) return;
    const TPrinterPageFormat before = std::exchange(d.seen, now);
    TRpxDevMode& dm = d.current;
    if (now.Orientation && now.Orientation != before.Orientation) {
        dm.Fields |= DM_ORIENTATION;
        dm.Orientation = *now.Orientation == TPrinterOrientation::poLandscape ? 2 : 1;
    }
    if (now.Paper && now.Paper != before.Paper) {
        const TPrinterCapabilities* caps = PrinterCatalog().Capabilities(current_);
        const TPrinterPaper* listed = caps ? caps->PaperByNumber(now.Paper->Number) : nullptr;
        const bool custom = !listed && caps && caps->PaperByNumber(PrinterCustomPaper);
        if (listed || custom) {
            dm.Fields |= DM_PAPERSIZE | DM_FORMNAME | DM_PAPERLENGTH | DM_PAPERWIDTH;
            dm.PaperSize = listed ? listed->Number : PrinterCustomPaper;
            dm.FormName = Cut(listed ? listed->Name : std::string("Custom"), 31);
            dm.PaperLength = Clamp16(now.Paper->Length);
            dm.PaperWidth = Clamp16(now.Paper->Width);
        }
    }
    if (now.Duplex && now.Duplex != before.Duplex) {
        dm.Fields |= DM_DUPLEX;
        dm.Duplex = *now.Duplex == TPrinterDuplex::pdLongEdge ? 2 : *now.Duplex == TPrinterDuplex::pdShortEdge ? 3 : 1;
    }
    if (now.Copies && now.Copies != before.Copies) {
        dm.Fields |= DM_COPIES;
        dm.Copies = static_cast<int16_t>(std::clamp(*now.Copies, 1, 32767));
    }
    if (now.Collate && now.Collate != before.Collate) {
        dm.Fields |= DM_COLLATE;
        dm.Collate = *now.Collate ? 1 : 0;
    }
}

bool TRpxQtPrinterBackend::DeviceNames(std::string& device, std::string& driver, std::string& port)
{
    if (!Current()) return false;
    const TPrinterCapabilities* c = PrinterCatalog().Capabilities(current_);
    device = c->Name;
    driver = c->Driver;
    port = c->Port;
    return true;
}

bool TRpxQtPrinterBackend::GetDevMode(TRpxDevMode& dm)
{
    Device* d = Current();
    if (!d) return false;
    FollowProgramPrinter(*d);
    dm = d->current;
    return true;
}

void TRpxQtPrinterBackend::SetDevMode(const TRpxDevMode& dm)
{
    Device* d = Current();
    if (!d) return;
    d->current = dm;
}

void TRpxQtPrinterBackend::ResetDevMode()
{
    if (Device* d = Current()) d->current = d->defaults;
}

bool TRpxQtPrinterBackend::Capabilities(TRpxDeviceCaps& caps)
{
    if (!Current()) return false;
    caps = DeviceCaps(*PrinterCatalog().Capabilities(current_));
    return true;
}

bool TRpxQtPrinterBackend::Metrics(TRpxDeviceMetrics& m)
{
    Device* d = Current();
    if (!d) return false;
    const TPrinterPageFormat format = RpxPageFormat(d->current, DeviceCaps(*PrinterCatalog().Capabilities(current_)));
    TPrinterPageMetrics pm;
    if (!PrinterCatalog().PageMetrics(current_, format, pm)) return false;
    m.LogPixelsX = m.LogPixelsY = pm.Resolution;
    m.PhysicalWidth = pm.SheetWidth;
    m.PhysicalHeight = pm.SheetHeight;
    m.PhysicalOffsetX = pm.PrintableLeft;
    m.PhysicalOffsetY = pm.PrintableTop;
    m.HorzRes = pm.PrintableWidth;
    m.VertRes = pm.PrintableHeight;
    return m.LogPixelsX > 0;
}

bool TRpxQtPrinterBackend::Printing() { return PrinterInstalled() && Printer().Printing(); }
