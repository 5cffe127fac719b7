#include "RpxPrinter.h"

#include <map>

namespace {

class TNullPrinterBackend : public TRpxPrinterBackend {
public:
    std::vector<std::string> Printers() override { return {}; }
    std::string DefaultPrinter() override { return {}; }
    int PrinterIndex() override { return -1; }
    void SetPrinterIndex(int) override {}
    bool DeviceNames(std::string&, std::string&, std::string&) override { return false; }
    bool GetDevMode(TRpxDevMode&) override { return false; }
    void SetDevMode(const TRpxDevMode&) override {}
    void ResetDevMode() override {}
    bool Capabilities(TRpxDeviceCaps&) override { return false; }
    bool Metrics(TRpxDeviceMetrics&) override { return false; }
};

std::shared_ptr<TRpxPrinterBackend>& Backend()
{
    static std::shared_ptr<TRpxPrinterBackend> b = std::make_shared<TNullPrinterBackend>();
    return b;
}

// One entry per printer name, for the life of the program.
std::map<std::string, std::unique_ptr<TRpxPrinterInfo>>& Cache()
{
    static std::map<std::string, std::unique_ptr<TRpxPrinterInfo>> cache;
    return cache;
}

// Set while a cache entry is being filled, so that the entry's own construction does not
// look itself up again.
bool g_creating = false;

std::string CurrentPrinterName()
{
    TRpxPrinterBackend& b = PrinterBackend();
    const auto printers = b.Printers();
    const int i = b.PrinterIndex();
    return i >= 0 && i < static_cast<int>(printers.size()) ? printers[static_cast<size_t>(i)] : std::string();
}

std::string Cut(std::string s, size_t n)
{
    if (s.size() > n) s.resize(n);
    return s;
}

// Every space-separated word of `words` occurs in `name`, ignoring case.
bool HasAllWords(std::string_view name, std::string_view words)
{
    const std::string n = UpperCase(name);
    bool any = false;
    size_t i = 0;
    while (i < words.size()) {
        while (i < words.size() && words[i] == ' ') ++i;
        size_t j = i;
        while (j < words.size() && words[j] != ' ') ++j;
        if (j > i) {
            any = true;
            if (n.find(UpperCase(words.substr(i, j - i))) == std::string::npos) return false;
        }
        i = j;
    }
    return any;
}

struct TUnlockAtEnd {
    TRpxPrinterInfo& info;
    ~TUnlockAtEnd() { info.Unlock(); }
};

} // namespace

void SetPrinterBackend(std::shared_ptr<TRpxPrinterBackend> backend)
{
    TRpxPrinterInfo::ClearCache();
    Backend() = backend ? std::move(backend) : std::make_shared<TNullPrinterBackend>();
}

TRpxPrinterBackend& PrinterBackend() { return *Backend(); }

int PrinterCount()
{
    TRpxPrinterBackend& b = PrinterBackend();
    if (b.DefaultPrinter().empty()) return 0;
    return static_cast<int>(b.Printers().size());
}

int PlatformKind() { return 2; }

// --- TRpxPrinterSettings ----------------------------------------------------------------

void TRpxPrinterSettings::Assign(const TRpxPrinterSettings& o)
{
    Values = o.Values;
    Given = o.Given;
    FormName = o.FormName;
    CustomPaper = o.CustomPaper;
}

int32_t TRpxPrinterSettings::ValueAt(int index) const
{
    if (index < 0 || index >= static_cast<int>(Values.size())) throw ERangeError("Printer setting index out of range");
    return Values[static_cast<size_t>(index)];
}

void TRpxPrinterSettings::SetValueAt(int index, int32_t value)
{
    if (index < 0 || index >= static_cast<int>(Values.size())) throw ERangeError("Printer setting index out of range");
    Values[static_cast<size_t>(index)] = value;
    Given[static_cast<size_t>(index)] = true;
}

void TRpxPrinterSettings::SetFormName(const std::string& name)
{
    FormName = name;
    Given[13] = true;
}

void TRpxPrinterSettings::ReadFromPrinter()
{
    TRpxPrinterInfo info;
    info.Lock(false);
    TUnlockAtEnd unlock{info};
    const TRpxDevMode* dm = info.DevMode();
    if (!dm) return;
    // The settings tell what the device holds now.
    ClearGiven();
    CustomPaper = false;
    const TRpxPaper* paper = nullptr;
    const uint32_t f = dm->Fields;
    if (f & DM_ORIENTATION) SetValueAt(0, dm->Orientation);
    if (f & DM_PAPERSIZE) {
        SetValueAt(1, dm->PaperSize);
        paper = info.PaperByNumber(dm->PaperSize);
    }
    if (f & DM_FORMNAME) {
        SetFormName(dm->FormName);
        if (const TRpxPaper* p = info.PaperByName(dm->FormName)) paper = p;
    }
    if (f & DM_SCALE) SetValueAt(4, dm->Scale);
    if (f & DM_COPIES) SetValueAt(5, dm->Copies);
    if (f & DM_DEFAULTSOURCE) SetValueAt(6, dm->DefaultSource);
    if (f & DM_PRINTQUALITY) SetValueAt(7, dm->PrintQuality);
    if (f & DM_COLOR) SetValueAt(8, dm->Color);
    if (f & DM_DUPLEX) SetValueAt(9, dm->Duplex);
    if (f & DM_YRESOLUTION) SetValueAt(10, dm->YResolution);
    if (f & DM_TTOPTION) SetValueAt(11, dm->TTOption);
    if (f & DM_COLLATE) SetValueAt(12, dm->Collate);
    if (!paper) return;
    if (paper->Number == DMPAPER_USER) {
        CustomPaper = true;
        if (f & DM_PAPERLENGTH) SetValueAt(2, dm->PaperLength);
        if (f & DM_PAPERWIDTH) SetValueAt(3, dm->PaperWidth);
    } else if (Given[0] && Values[0] == 2) {   // only landscape turns the paper
        SetValueAt(2, paper->Width);
        SetValueAt(3, paper->Length);
    } else {
        SetValueAt(2, paper->Length);
        SetValueAt(3, paper->Width);
    }
}

void TRpxPrinterSettings::WriteToPrinter()
{
    TRpxPrinterInfo info;
    info.Lock(true);
    TUnlockAtEnd unlock{info};
    TRpxDevMode* dm = info.DevMode();
    if (!dm) return;
    const TRpxPrinterSettings& first = info.Settings;   // the printer as first seen
    auto available = [&](int i, int32_t& v) {
        const auto k = static_cast<size_t>(i);
        if (Given[k]) { v = Values[k]; return true; }
        if (first.Given[k]) { v = first.Values[k]; return true; }
        return false;
    };
    auto i16 = [](int32_t v) { return static_cast<int16_t>(v); };
    int32_t v = 0;

    if (available(0, v) && (v == 1 || v == 2)) {
        dm->Fields |= DM_ORIENTATION;
        dm->Orientation = i16(v);
    }

    if (Given[13] || Given[1]) {
        const TRpxPaper* paper = nullptr;
        if (Given[13] && !FormName.empty()) paper = info.PaperByName(FormName);
        int32_t number = 0;
        const bool haveNumber = available(1, number);
        if (!paper && haveNumber) paper = info.PaperByNumber(number);
        if (!paper && haveNumber) paper = info.PaperByWords(TRpxPrinterInfo::StandardPaperName(number));
        if (!paper) {
            const std::string& name = Given[13] ? FormName : first.FormName;
            if (!name.empty()) paper = info.PaperByName(name);
        }
        dm->Fields &= ~(DM_PAPERSIZE | DM_FORMNAME);
        if (paper) {
            if (PlatformKind() == 2 && Given[13]) {
                dm->Fields |= DM_FORMNAME;
                dm->FormName = Cut(paper->Name, 31);
            }
            dm->Fields |= DM_PAPERSIZE;
            dm->PaperSize = paper->Number;
            if (paper->Number == DMPAPER_USER || CustomPaper) {
                if (available(2, v)) { dm->Fields |= DM_PAPERLENGTH; dm->PaperLength = i16(v); }
                if (available(3, v)) { dm->Fields |= DM_PAPERWIDTH; dm->PaperWidth = i16(v); }
            }
        }
    }

    if (available(4, v)) { dm->Fields |= DM_SCALE; dm->Scale = i16(v); }
    if (available(5, v)) { dm->Fields |= DM_COPIES; dm->Copies = i16(v); }
    if (available(6, v))
        if (const TRpxBinInfo* bin = info.BinByNumberOrName(v)) {
            dm->Fields |= DM_DEFAULTSOURCE;
            dm->DefaultSource = bin->Number;
        }
    if (available(7, v) && v >= -4 && v <= -1) { dm->Fields |= DM_PRINTQUALITY; dm->PrintQuality = i16(v); }
    if (available(8, v) && (v == 1 || v == 2)) { dm->Fields |= DM_COLOR; dm->Color = i16(v); }
    if (available(9, v)) { dm->Fields |= DM_DUPLEX; dm->Duplex = i16(v); }
    if (available(12, v)) { dm->Fields |= DM_COLLATE; dm->Collate = i16(v); }
    // The TrueType option goes only to a driver that reports TrueType abilities.
    if (info.TrueTypeCaps > 0 && available(11, v)) { dm->Fields |= DM_TTOPTION; dm->TTOption = i16(v); }

    TRpxPrinterBackend& b = PrinterBackend();
    b.SetDevMode(*dm);
    if (b.Printing()) b.ResetDC(*dm);
}

// --- TRpxPrinterInfo --------------------------------------------------------------------

TRpxPrinterInfo* TRpxPrinterInfo::Cached()
{
    if (g_creating) return nullptr;
    const std::string name = CurrentPrinterName();
    if (name.empty()) return nullptr;
    auto& cache = Cache();
    if (auto it = cache.find(name); it != cache.end()) return it->second.get();
    std::unique_ptr<TRpxPrinterInfo> info;
    {
        g_creating = true;
        struct TDone { ~TDone() { g_creating = false; } } done;
        info.reset(new TRpxPrinterInfo(Empty{}));
        info->Load();
    }
    TRpxPrinterInfo* p = info.get();
    cache[name] = std::move(info);
    p->Settings.ReadFromPrinter();
    return p;
}

void TRpxPrinterInfo::ClearCache() { Cache().clear(); }

TRpxPrinterInfo::TRpxPrinterInfo()
{
    if (TRpxPrinterInfo* c = Cached()) Assign(*c);
}

TRpxPrinterInfo::~TRpxPrinterInfo() = default;

void TRpxPrinterInfo::Assign(const TRpxPrinterInfo& o)
{
    if (&o == this) return;
    Bins.clear();
    for (const auto& b : o.Bins) Bins.push_back(std::make_unique<TRpxBinInfo>(*b));
    TrueTypeCaps = o.TrueTypeCaps;
    CanDuplex = o.CanDuplex;
    Resolutions.clear();
    for (const auto& r : o.Resolutions) Resolutions.push_back(std::make_unique<TRpxResolution>(*r));
    Papers.clear();
    for (const auto& p : o.Papers) Papers.push_back(std::make_unique<TRpxPaper>(*p));
    PrinterName = o.PrinterName;
    Settings.Assign(o.Settings);
}

void TRpxPrinterInfo::Refresh()
{
    TRpxPrinterBackend& b = PrinterBackend();
    if (PrinterCount() == 0 || b.Printing()) return;
    b.SetPrinterIndex(b.PrinterIndex());
    b.ResetDevMode();
}

void TRpxPrinterInfo::Lock(bool refresh)
{
    if (locked_ || PrinterCount() == 0) return;
    if (refresh) Refresh();
    TRpxPrinterBackend& b = PrinterBackend();
    DC = true;
    bool ok = b.GetDevMode(devMode_);
    if (!ok) {
        b.SetPrinterIndex(b.PrinterIndex());
        ok = b.GetDevMode(devMode_);
    }
    if (!ok) {
        DC = false;
        return;
    }
    std::string device, driver, port;
    b.DeviceNames(device, driver, port);
    Device = Cut(device, 80);
    Driver = Cut(driver, 80);
    Port = Cut(port, 80);
    locked_ = true;
}

void TRpxPrinterInfo::Unlock()
{
    locked_ = false;
    DC = false;
}

void TRpxPrinterInfo::Load()
{
    Lock(false);
    TUnlockAtEnd unlock{*this};
    if (!DevMode()) return;
    TRpxDeviceCaps caps;
    if (!PrinterBackend().Capabilities(caps)) caps = TRpxDeviceCaps{};
    TrueTypeCaps = caps.TrueTypeKnown ? caps.TrueType : 0;
    Bins.clear();
    for (size_t i = 0; i < caps.Bins.size() && i < 256; ++i) {
        auto b = std::make_unique<TRpxBinInfo>();
        b->Number = caps.Bins[i].Number;
        b->Name = Cut(caps.Bins[i].Name, 24);
        Bins.push_back(std::move(b));
    }
    CanDuplex = caps.Duplex;
    Resolutions.clear();
    for (const auto& [x, y] : caps.Resolutions) {
        auto r = std::make_unique<TRpxResolution>();
        r->X = x;
        r->Y = y;
        Resolutions.push_back(std::move(r));
    }
    Papers.clear();
    for (const auto& dp : caps.Papers) {
        auto p = std::make_unique<TRpxPaper>();
        p->Name = Cut(dp.Name, 64);
        p->Number = dp.Number;
        p->Width = dp.Width;
        p->Length = dp.Length;
        Papers.push_back(std::move(p));
    }
    PrinterName = CurrentPrinterName();
}

const TRpxPaper* TRpxPrinterInfo::PaperByNumber(int number) const
{
    for (const auto& p : Papers)
        if (p->Number == number) return p.get();
    return nullptr;
}

const TRpxPaper* TRpxPrinterInfo::PaperByName(std::string_view name) const
{
    for (const auto& p : Papers)
        if (SameText(p->Name, name)) return p.get();
    return nullptr;
}

const TRpxPaper* TRpxPrinterInfo::PaperByWords(std::string_view name) const
{
    for (const auto& p : Papers)
        if (HasAllWords(p->Name, name)) return p.get();
    return nullptr;
}

const TRpxBinInfo* TRpxPrinterInfo::BinByNumber(int number) const
{
    for (const auto& b : Bins)
        if (b->Number == number) return b.get();
    return nullptr;
}

const TRpxBinInfo* TRpxPrinterInfo::BinByWords(std::string_view name) const
{
    for (const auto& b : Bins)
        if (HasAllWords(b->Name, name)) return b.get();
    return nullptr;
}

const TRpxBinInfo* TRpxPrinterInfo::BinByNumberOrName(int number) const
{
    if (const TRpxBinInfo* b = BinByNumber(number)) return b;
    const std::string name = StandardBinName(number);
    return name.empty() ? nullptr : BinByWords(name);
}

std::string TRpxPrinterInfo::StandardPaperName(int number)
{
    switch (number) {
    case 2: return "LETTER SMALL";
    case 3: return "TABLOID";
    case 4: return "LEDGER";
    case 5: return "Legal";
    case 6: return "STATEMENT";
    case 7: return "Executive";
    case 8: return "A3";
    case 9: return "A4";
    case 10: return "A4 SMALL";
    case 11: return "A5";
    case 12: return "B4";
    case 13: return "B5";
    case 14: return "FOLIO";
    case 15: return "QUARTO";
    case 16: return "10 14";
    case 17: return "11 17";
    case 18: return "NOTE";
    case 19: return "ENV 9";
    case 20: return "ENV 10";
    case 21: return "ENV 11";
    case 22: return "ENV 12";
    case 23: return "ENV 14";
    case 24: return "C SHEET";
    case 25: return "D SHEET";
    case 26: return "E SHEET";
    case 256: return "Custom";
    default: return "Letter";
    }
}

std::string TRpxPrinterInfo::StandardBinName(int number)
{
    switch (number) {
    case 1: return "Upper";
    case 2: return "Lower";
    case 3: return "Middle";
    case 4: return "Manual";
    case 5: return "Envelope";
    case 6: return "Envelope Manual";
    case 7: return "Auto";
    case 8: return "Tractor";
    case 9: return "Small Format";
    case 10: return "Large Format";
    case 11: return "Large Capacity";
    case 14: return "Cassette";
    case 15: return "Form Source";
    default: return {};
    }
}
