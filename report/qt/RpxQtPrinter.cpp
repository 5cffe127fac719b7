#include "RpxQtPrinter.h"

#include "platform/printing/Printers.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

#include <cups/cups.h>

#include <algorithm>
#include <cmath>

namespace {

std::string Cut(std::string s, size_t n)
{
    if (s.size() > n) s.resize(n);
    return s;
}

int32_t TenthsMm(double millimetres) { return static_cast<int32_t>(std::lround(millimetres * 10.0)); }

// Media sources with a standard bin number; the rest are numbered from DMBIN_USER.
int16_t StandardBin(std::string_view keyword)
{
    static const std::pair<const char*, int16_t> bins[] = {
        {"top", 1}, {"main", 1}, {"bottom", 2}, {"middle", 3}, {"manual", 4}, {"envelope", 5},
        {"auto", 7}, {"tractor", 8}, {"large-capacity", 11},
    };
    for (const auto& [k, n] : bins)
        if (keyword == k) return n;
    return 0;
}

// What CUPS says of a queue that Qt does not: paper sources, default source and
// resolution, and the device URI.
struct CupsFacts {
    std::vector<std::pair<std::string, std::string>> sources;   // keyword, label
    std::string defaultSource;
    int defaultResolution = 0;
    std::string deviceUri;
};

CupsFacts AskCups(const std::string& name)
{
    CupsFacts f;
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.c_str(), nullptr);
    if (!dest) return f;
    // The device URI is a printer attribute the destination list does not carry.
    if (const char* uri = cupsGetOption("printer-uri-supported", dest->num_options, dest->options)) {
        ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "device-uri");
        if (ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/")) {
            if (ipp_attribute_t* a = ippFindAttribute(response, "device-uri", IPP_TAG_URI))
                if (const char* d = ippGetString(a, 0, nullptr)) f.deviceUri = d;
            ippDelete(response);
        }
        if (f.deviceUri.empty()) f.deviceUri = uri;
    }
    if (cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest)) {
        if (ipp_attribute_t* a = cupsFindDestSupported(CUPS_HTTP_DEFAULT, dest, info, CUPS_MEDIA_SOURCE)) {
            for (int i = 0; i < ippGetCount(a); ++i) {
                const char* kw = ippGetString(a, i, nullptr);
                if (!kw) continue;
                const char* label = cupsLocalizeDestValue(CUPS_HTTP_DEFAULT, dest, info, CUPS_MEDIA_SOURCE, kw);
                f.sources.emplace_back(kw, label && *label ? label : kw);
            }
        }
        if (ipp_attribute_t* a = cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest, info, CUPS_MEDIA_SOURCE))
            if (const char* kw = ippGetString(a, 0, nullptr)) f.defaultSource = kw;
        if (ipp_attribute_t* a = cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest, info, "printer-resolution")) {
            int y = 0;
            ipp_res_t units = IPP_RES_PER_INCH;
            const int x = ippGetResolution(a, 0, &y, &units);
            f.defaultResolution = units == IPP_RES_PER_CM ? static_cast<int>(std::lround(x * 2.54)) : x;
        }
        cupsFreeDestInfo(info);
    }
    cupsFreeDests(1, dest);
    return f;
}

} // namespace

struct TRpxQtPrinterBackend::Device {
    std::string name;
    std::string driver;
    std::string port;
    TRpxDeviceCaps caps;
    std::vector<QPageSize> pageSizes;   // parallel to caps.Papers
    TRpxDevMode defaults;
    TRpxDevMode current;
};

TRpxQtPrinterBackend::TRpxQtPrinterBackend() { Reload(); }

TRpxQtPrinterBackend::~TRpxQtPrinterBackend() = default;

void TRpxQtPrinterBackend::Reload()
{
    devices_.clear();
    printers_.clear();
    for (const QString& n : QPrinterInfo::availablePrinterNames()) printers_.push_back(n.toStdString());
    defaultPrinter_ = QPrinterInfo::defaultPrinterName().toStdString();
    auto it = std::find(printers_.begin(), printers_.end(), defaultPrinter_);
    index_ = it != printers_.end() ? static_cast<int>(it - printers_.begin()) : (printers_.empty() ? -1 : 0);
}

int TRpxQtPrinterBackend::PrinterIndex()
{
    if (PrinterInstalled()) {
        const std::string name = Printer().PrinterName();
        auto it = std::find(printers_.begin(), printers_.end(), name);
        if (it != printers_.end()) index_ = static_cast<int>(it - printers_.begin());
    }
    return index_;
}

void TRpxQtPrinterBackend::SetPrinterIndex(int index)
{
    index_ = index >= 0 && index < static_cast<int>(printers_.size()) ? index : index_;
    if (index_ < 0 || !PrinterInstalled() || Printer().Printing()) return;
    const auto names = Printer().Printers();
    auto it = std::find(names.begin(), names.end(), printers_[static_cast<size_t>(index_)]);
    if (it != names.end()) Printer().SetPrinterIndex(static_cast<int>(it - names.begin()));
}

TRpxQtPrinterBackend::Device* TRpxQtPrinterBackend::Current()
{
    PrinterIndex();
    if (index_ < 0 || index_ >= static_cast<int>(printers_.size())) return nullptr;
    const std::string& name = printers_[static_cast<size_t>(index_)];
    if (auto it = devices_.find(name); it != devices_.end()) return it->second.get();

    const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(name));
    if (info.isNull()) return nullptr;
    auto d = std::make_unique<Device>();
    d->name = name;
    d->driver = info.makeAndModel().toStdString();

    // Papers: the standard ones under their paper numbers, the others under numbers of
    // their own above DMPAPER_USER, as drivers number their forms.
    std::vector<int16_t> used;
    int16_t next = DMPAPER_USER + 1;
    for (const QPageSize& ps : info.supportedPageSizes()) {
        int16_t number = static_cast<int16_t>(ps.windowsId());
        if (number <= 0 || number >= DMPAPER_USER || std::count(used.begin(), used.end(), number)) number = next++;
        used.push_back(number);
        // Millimetres keep the exact size of papers defined in millimetres or inches.
        const QSizeF mm = ps.size(QPageSize::Millimeter);
        d->caps.Papers.push_back({number, ps.name().toStdString(), TenthsMm(mm.width()), TenthsMm(mm.height())});
        d->pageSizes.push_back(ps);
    }
    if (info.supportsCustomPageSizes()) {
        const QSizeF mm = info.maximumPhysicalPageSize().size(QPageSize::Millimeter);
        d->caps.Papers.push_back({DMPAPER_USER, "Custom", TenthsMm(mm.width()), TenthsMm(mm.height())});
        d->pageSizes.push_back(info.maximumPhysicalPageSize());
    }
    for (int r : info.supportedResolutions()) d->caps.Resolutions.emplace_back(r, r);
    for (QPrinter::DuplexMode m : info.supportedDuplexModes())
        if (m != QPrinter::DuplexNone) d->caps.Duplex = true;

    const CupsFacts cups = AskCups(name);
    d->port = cups.deviceUri;
    int16_t nextBin = DMBIN_USER;
    int16_t defaultBin = 0;
    for (const auto& [kw, label] : cups.sources) {
        int16_t n = StandardBin(kw);
        if (n == 0 || std::any_of(d->caps.Bins.begin(), d->caps.Bins.end(), [n](const auto& b) { return b.Number == n; }))
            n = nextBin++;
        d->caps.Bins.push_back({n, Cut(label, 24)});
        if (kw == cups.defaultSource) defaultBin = n;
    }

    // The driver's defaults as a device mode.
    TRpxDevMode& dm = d->defaults;
    dm.Fields = DM_ORIENTATION | DM_SCALE | DM_COPIES | DM_COLOR | DM_DUPLEX | DM_COLLATE;
    dm.Orientation = 1;
    dm.Scale = 100;
    dm.Copies = 1;
    dm.Collate = 1;
    dm.Color = info.defaultColorMode() == QPrinter::Color ? 2 : 1;
    switch (info.defaultDuplexMode()) {
    case QPrinter::DuplexLongSide: dm.Duplex = 2; break;
    case QPrinter::DuplexShortSide: dm.Duplex = 3; break;
    default: dm.Duplex = 1; break;
    }
    const QPageSize def = info.defaultPageSize();
    for (size_t i = 0; i < d->pageSizes.size(); ++i)
        if (d->pageSizes[i].isEquivalentTo(def) || d->pageSizes[i].key() == def.key()) {
            const TRpxDevicePaper& p = d->caps.Papers[i];
            dm.Fields |= DM_PAPERSIZE | DM_FORMNAME | DM_PAPERLENGTH | DM_PAPERWIDTH;
            dm.PaperSize = p.Number;
            dm.FormName = Cut(p.Name, 31);
            dm.PaperLength = static_cast<int16_t>(std::clamp(p.Length, 0, 32767));
            dm.PaperWidth = static_cast<int16_t>(std::clamp(p.Width, 0, 32767));
            break;
        }
    if (!d->caps.Bins.empty()) {
        dm.Fields |= DM_DEFAULTSOURCE;
        dm.DefaultSource = defaultBin ? defaultBin : d->caps.Bins.front().Number;
    }
    int res = cups.defaultResolution;
    if (res <= 0 && !d->caps.Resolutions.empty()) res = d->caps.Resolutions.front().first;
    if (res > 0) {
        dm.Fields |= DM_PRINTQUALITY | DM_YRESOLUTION;
        dm.PrintQuality = static_cast<int16_t>(std::min(res, 32767));
        dm.YResolution = dm.PrintQuality;
    }
    d->current = d->defaults;

    Device* p = d.get();
    devices_[name] = std::move(d);
    return p;
}

bool TRpxQtPrinterBackend::DeviceNames(std::string& device, std::string& driver, std::string& port)
{
    Device* d = Current();
    if (!d) return false;
    device = d->name;
    driver = d->driver;
    port = d->port;
    return true;
}

bool TRpxQtPrinterBackend::GetDevMode(TRpxDevMode& dm)
{
    Device* d = Current();
    if (!d) return false;
    dm = d->current;
    return true;
}

void TRpxQtPrinterBackend::SetDevMode(const TRpxDevMode& dm)
{
    if (Device* d = Current()) d->current = dm;
}

void TRpxQtPrinterBackend::ResetDevMode()
{
    if (Device* d = Current()) d->current = d->defaults;
}

bool TRpxQtPrinterBackend::Capabilities(TRpxDeviceCaps& caps)
{
    Device* d = Current();
    if (!d) return false;
    caps = d->caps;
    return true;
}

bool TRpxQtPrinterBackend::Metrics(TRpxDeviceMetrics& m)
{
    Device* d = Current();
    if (!d) return false;
    const TRpxDevMode& dm = d->current;
    QPrinter printer(QPrinterInfo::printerInfo(QString::fromStdString(d->name)), QPrinter::HighResolution);
    const int res = (dm.Fields & DM_PRINTQUALITY) && dm.PrintQuality > 0 ? dm.PrintQuality
                    : (dm.Fields & DM_YRESOLUTION) && dm.YResolution > 0 ? dm.YResolution : 300;
    printer.setResolution(res);
    if (dm.Fields & DM_PAPERSIZE) {
        for (size_t i = 0; i < d->caps.Papers.size(); ++i) {
            if (d->caps.Papers[i].Number != dm.PaperSize) continue;
            if (dm.PaperSize == DMPAPER_USER && (dm.Fields & DM_PAPERLENGTH) && (dm.Fields & DM_PAPERWIDTH) &&
                dm.PaperLength > 0 && dm.PaperWidth > 0)
                printer.setPageSize(QPageSize(QSizeF(dm.PaperWidth / 10.0, dm.PaperLength / 10.0), QPageSize::Millimeter));
            else
                printer.setPageSize(d->pageSizes[i]);
            break;
        }
    }
    printer.setPageOrientation((dm.Fields & DM_ORIENTATION) && dm.Orientation == 2 ? QPageLayout::Landscape
                                                                                  : QPageLayout::Portrait);
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    m.LogPixelsX = m.LogPixelsY = printer.resolution();
    m.PhysicalWidth = qRound(paper.width());
    m.PhysicalHeight = qRound(paper.height());
    m.PhysicalOffsetX = qRound(page.left() - paper.left());
    m.PhysicalOffsetY = qRound(page.top() - paper.top());
    m.HorzRes = qRound(page.width());
    m.VertRes = qRound(page.height());
    return m.LogPixelsX > 0;
}
