#include "platform/printing/QtPrinterCatalog.h"

#include "platform/printing/QtPageFormat.h"
#include "platform/printing/QtPaper.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

#include <cups/cups.h>

#include <algorithm>
#include <cmath>

namespace {

int32_t TenthsMm(double millimetres) { return static_cast<int32_t>(std::lround(millimetres * 10.0)); }

// Media sources with a standard bin number; the rest are numbered from 256.
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

}  // namespace

TQtPrinterCatalog::TQtPrinterCatalog() { Reload(); }

TQtPrinterCatalog::~TQtPrinterCatalog() = default;

void TQtPrinterCatalog::Reload()
{
    known_.clear();
    names_.clear();
    for (const QString& n : QPrinterInfo::availablePrinterNames()) names_.push_back(n.toStdString());
    default_ = QPrinterInfo::defaultPrinterName().toStdString();
}

const TPrinterCapabilities* TQtPrinterCatalog::Capabilities(const std::string& name)
{
    if (auto it = known_.find(name); it != known_.end()) return it->second.get();
    if (std::find(names_.begin(), names_.end(), name) == names_.end()) return nullptr;
    const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(name));
    if (info.isNull()) return nullptr;
    auto c = std::make_unique<TPrinterCapabilities>();
    c->Name = name;
    c->Driver = info.makeAndModel().toStdString();

    // Papers: the standard ones under their paper numbers, the others under numbers of
    // their own above 256, as drivers number their forms.
    const QPageSize def = info.defaultPageSize();
    int16_t next = PrinterCustomPaper + 1;
    for (const QPageSize& ps : info.supportedPageSizes()) {
        int16_t number = static_cast<int16_t>(ps.windowsId());
        if (number <= 0 || number >= PrinterCustomPaper || c->PaperByNumber(number)) number = next++;
        c->Papers.push_back(QtPaper(ps, number));
        if (!c->DefaultPaper && (ps.isEquivalentTo(def) || ps.key() == def.key())) c->DefaultPaper = number;
    }
    if (info.supportsCustomPageSizes()) {
        const QSizeF mm = info.maximumPhysicalPageSize().size(QPageSize::Millimeter);
        c->Papers.push_back({PrinterCustomPaper, "Custom", TenthsMm(mm.width()), TenthsMm(mm.height())});
    }
    for (int r : info.supportedResolutions()) c->Resolutions.push_back(r);
    for (QPrinter::DuplexMode m : info.supportedDuplexModes())
        if (m != QPrinter::DuplexNone && m != QPrinter::DuplexAuto) c->Duplex = true;
    switch (info.defaultDuplexMode()) {
    case QPrinter::DuplexLongSide: c->DefaultDuplex = TPrinterDuplex::pdLongEdge; break;
    case QPrinter::DuplexShortSide: c->DefaultDuplex = TPrinterDuplex::pdShortEdge; break;
    default: c->DefaultDuplex = TPrinterDuplex::pdSimplex; break;
    }
    c->DefaultColor = info.defaultColorMode() == QPrinter::Color;
    c->Color = info.supportedColorModes().contains(QPrinter::Color);

    const CupsFacts cups = AskCups(name);
    c->Port = cups.deviceUri;
    int16_t nextBin = 256;
    for (const auto& [kw, label] : cups.sources) {
        int16_t n = StandardBin(kw);
        if (n == 0 || c->BinByNumber(n)) n = nextBin++;
        c->Bins.push_back({n, label, kw});
        if (kw == cups.defaultSource) c->DefaultBin = n;
    }
    if (!c->DefaultBin && !c->Bins.empty()) c->DefaultBin = c->Bins.front().Number;
    c->DefaultResolution = cups.defaultResolution > 0 ? cups.defaultResolution
                           : c->Resolutions.empty()   ? 0
                                                      : c->Resolutions.front();
    return (known_[name] = std::move(c)).get();
}

bool TQtPrinterCatalog::PageMetrics(const std::string& name, const TPrinterPageFormat& format, TPrinterPageMetrics& m)
{
    if (!Capabilities(name)) return false;
    QPrinter printer(QPrinterInfo::printerInfo(QString::fromStdString(name)), QPrinter::HighResolution);
    printer.setResolution(format.Resolution && *format.Resolution > 0 ? *format.Resolution : 300);
    ApplyQtPageFormat(printer, format, false);
    m = QtPageMetrics(printer);
    return m.Resolution > 0;
}
