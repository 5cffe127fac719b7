#include "DaxPageSetup.h"

#include "DaxPage.h"
#include "platform/runtime/ByteIO.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace {

// Inches to tenths of a millimetre, to nearest with ties to even, kept within int32.
int32_t TenthsMm(double inches)
{
    const double v = std::nearbyint(inches * 254.0);
    if (!(v == v)) return 0;
    return static_cast<int32_t>(std::clamp(v, -2147483648.0, 2147483647.0));
}

int16_t Low16(int32_t v) { return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(v) & 0xFFFF)); }

struct TPaperEntry {
    TDaxPaperSize size;
    double width, height;
    bool mm;
};

constexpr TPaperEntry kPapers[] = {
    {psLetter, 8.5, 11, false},      {psLetterSmall, 8.5, 11, false}, {psNote, 8.5, 11, false},
    {psExecutive, 7.25, 10.5, false}, {psLegal, 8.5, 14, false},       {psA4, 210, 297, true},
    {psA4Small, 210, 297, true},     {psTabloid, 11, 17, false},      {ps11x17, 11, 17, false},
    {psLedger, 17, 11, false},       {psStatement, 5.5, 8.5, false},  {psA3, 297, 420, true},
    {psA5, 148, 210, true},          {psB4, 250, 354, true},          {psB5, 182, 257, true},
    {psFolio, 8.5, 13, false},       {psQuarto, 215, 275, true},      {ps10x14, 10, 14, false},
    {psEnv_9, 3.875, 8.875, false},  {psEnv_10, 4.125, 9.5, false},   {psEnv_11, 4.5, 10.375, false},
    {psEnv_12, 4.5, 11, false},      {psEnv_14, 5, 11.5, false},      {psCSheet, 17, 22, false},
    {psDSheet, 22, 34, false},       {psESheet, 34, 44, false},
};

constexpr int32_t kSizeCodes[] = {1, 7, 5, 9, 256, 2, 3, 4, 6, 8, 10, 11, 12, 13, 14, 15, 16,
                                  17, 18, 19, 20, 21, 22, 23, 24, 25, 26};
constexpr int32_t kSourceCodes[] = {1, 2, 7, 4, 5, 6, 14, 3, 9, 11, 8, 10};

} // namespace

// --- TDaxPreviewSettings ----------------------------------------------------------------

void TDaxPreviewSettings::Assign(const TDaxPreviewSettings& o)
{
    ModalPreview = o.ModalPreview;
    PreviewOwner = o.PreviewOwner;
    FormStyle = o.FormStyle;
    WindowState = o.WindowState;
}

// --- TRpxPrinterSetup -------------------------------------------------------------------

void TRpxPrinterSetup::Assign(const TRpxPrinterSetup& o)
{
    if (&o == this) return;
    Orientation = o.Orientation;
    PaperSize = o.PaperSize;
    PaperLength = o.PaperLength;
    PaperWidth = o.PaperWidth;
    Scale = o.Scale;
    Copies = o.Copies;
    DefaultSource = o.DefaultSource;
    PrintQuality = o.PrintQuality;
    Color = o.Color;
    Duplex = o.Duplex;
    YResolution = o.YResolution;
    TTOption = o.TTOption;
    Collate = o.Collate;
    FormName = o.FormName;
    LeftOffset = o.LeftOffset;
    RightOffset = o.RightOffset;
    TopOffset = o.TopOffset;
    BottomOffset = o.BottomOffset;
    SetFlags = o.SetFlags;
    Settings.Assign(o.Settings);
}

#define MW_SETUP_SETTER(Name, Type, tag)       \
    void TRpxPrinterSetup::Set##Name(Type v)   \
    {                                          \
        if (Name == v) return;                 \
        Name = v;                              \
        SetFlags[tag] = true;                  \
    }
MW_SETUP_SETTER(Orientation, int32_t, tagOrientation)
MW_SETUP_SETTER(PaperSize, int32_t, tagPaperSize)
MW_SETUP_SETTER(PaperLength, double, tagPaperLength)
MW_SETUP_SETTER(PaperWidth, double, tagPaperWidth)
MW_SETUP_SETTER(Scale, int32_t, tagScale)
MW_SETUP_SETTER(Copies, int32_t, tagCopies)
MW_SETUP_SETTER(DefaultSource, int32_t, tagDefaultSource)
MW_SETUP_SETTER(PrintQuality, int32_t, tagPrintQuality)
MW_SETUP_SETTER(Color, int32_t, tagColor)
MW_SETUP_SETTER(Duplex, int32_t, tagDuplex)
MW_SETUP_SETTER(YResolution, int32_t, tagYResolution)
MW_SETUP_SETTER(TTOption, int32_t, tagTTOption)
MW_SETUP_SETTER(Collate, uint8_t, tagCollate)
MW_SETUP_SETTER(FormName, const std::string&, tagFormName)
#undef MW_SETUP_SETTER

bool TRpxPrinterSetup::SameAs(const TRpxPrinterSetup& o) const
{
    return Orientation == o.Orientation && PaperSize == o.PaperSize && PaperLength == o.PaperLength &&
           PaperWidth == o.PaperWidth && Scale == o.Scale && Copies == o.Copies &&
           DefaultSource == o.DefaultSource && PrintQuality == o.PrintQuality && Color == o.Color &&
           Duplex == o.Duplex && YResolution == o.YResolution && TTOption == o.TTOption &&
           Collate == o.Collate && FormName == o.FormName;
}

bool TRpxPrinterSetup::SamePageFormat(const TRpxPrinterSetup& o) const
{
    return Orientation == o.Orientation && PaperSize == o.PaperSize && PaperLength == o.PaperLength &&
           PaperWidth == o.PaperWidth && Copies == o.Copies && DefaultSource == o.DefaultSource &&
           Duplex == o.Duplex && Collate == o.Collate && FormName == o.FormName;
}

void TRpxPrinterSetup::LoadFixedRecord(const uint8_t* d, size_t size)
{
    if (!d || (size != 36 && size != 37)) throw EReadError("Printer setup record has a wrong size");
    TByteReader r(d, size);
    auto i16 = [&r](size_t at) {
        r.Seek(at);
        return r.I16();
    };
    auto f64 = [&r](size_t at) {
        r.Seek(at);
        return std::bit_cast<double>(r.U64());
    };
    const double length = f64(4), width = f64(12);
    if (!std::isfinite(length) || !std::isfinite(width)) throw EReadError("Printer setup record holds an invalid paper size");
    Orientation = i16(0);
    PaperSize = i16(2);
    PaperLength = length;
    PaperWidth = width;
    Scale = i16(20);
    Copies = i16(22);
    DefaultSource = i16(24);
    PrintQuality = i16(26);
    Color = i16(28);
    Duplex = i16(30);
    YResolution = i16(32);
    TTOption = i16(34);
    Collate = size == 37 ? d[36] : 1;
    SetFlags.fill(true);
}

void TRpxPrinterSetup::WriteRecord(TStream& s) const
{
    s.WriteI16(kPrinterSetupRecordCode);
    const int64_t lengthAt = s.Position();
    s.WriteI32(0);
    const int64_t start = s.Position();
    auto tag = [&](TRpxSetupTag t) { s.WriteI16(static_cast<int16_t>(t)); };
    auto entry16 = [&](TRpxSetupTag t, int32_t v) { tag(t); s.WriteI16(Low16(v)); };

    entry16(tagOrientation, Orientation);
    entry16(tagPaperSize, PaperSize);
    if (SetFlags[tagPaperLength]) { tag(tagPaperLength); s.WriteI32(TenthsMm(PaperLength)); }
    if (SetFlags[tagPaperWidth]) { tag(tagPaperWidth); s.WriteI32(TenthsMm(PaperWidth)); }
    if (SetFlags[tagScale]) entry16(tagScale, Scale);
    if (SetFlags[tagCopies]) entry16(tagCopies, Copies);
    entry16(tagDefaultSource, DefaultSource);
    if (SetFlags[tagPrintQuality]) entry16(tagPrintQuality, PrintQuality);
    if (SetFlags[tagColor]) entry16(tagColor, Color);
    entry16(tagDuplex, Duplex);
    if (SetFlags[tagYResolution]) entry16(tagYResolution, YResolution);
    if (SetFlags[tagTTOption]) entry16(tagTTOption, TTOption);
    if (SetFlags[tagCollate]) { tag(tagCollate); s.WriteU8(Collate); }
    if (SetFlags[tagFormName]) {
        const size_t n = std::min<size_t>(FormName.size(), 255);
        tag(tagFormName);
        s.WriteI16(static_cast<int16_t>(n));
        s.WriteBuffer(FormName.data(), static_cast<int64_t>(n));
    }

    const int64_t end = s.Position();
    s.SetPosition(lengthAt);
    s.WriteI32(static_cast<int32_t>(end - start));
    s.SetPosition(end);
}

bool TRpxPrinterSetup::ReadRecord(TStream& s)
{
    const int32_t length = s.ReadI32();
    if (length <= 0) return false;
    const int64_t start = s.Position();
    const int64_t end = start + length;
    if (end > s.Size()) throw EReadError("Printer setup record runs past the end of the stream");
    ReadEntries(s, end);
    // Whatever the entries held, the next record starts here.
    s.SetPosition(end);
    return true;
}

void TRpxPrinterSetup::ReadEntries(TStream& s, int64_t end)
{
    auto room = [&](int64_t n) { return s.Position() + n <= end; };
    while (room(2)) {
        const int16_t t = s.ReadI16();
        switch (t) {
        case tagPaperLength:
        case tagPaperWidth: {
            if (!room(4)) return;
            const double inches = s.ReadI32() / 254.0;
            if (t == tagPaperLength) SetPaperLength(inches); else SetPaperWidth(inches);
            break;
        }
        case tagCollate:
            if (!room(1)) return;
            Collate = s.ReadU8();
            SetFlags[tagCollate] = true;
            break;
        case tagFormName: {
            if (!room(2)) return;
            const int16_t n = s.ReadI16();
            if (n < 0 || !room(n)) return;
            std::string name(static_cast<size_t>(n), '\0');
            s.ReadBuffer(name.data(), n);
            FormName = std::move(name);
            SetFlags[tagFormName] = true;
            break;
        }
        case tagOrientation: case tagPaperSize: case tagScale: case tagCopies: case tagDefaultSource:
        case tagPrintQuality: case tagColor: case tagDuplex: case tagYResolution: case tagTTOption: {
            if (!room(2)) return;
            const int32_t v = s.ReadI16();
            switch (t) {
            case tagOrientation: SetOrientation(v); break;
            case tagPaperSize: SetPaperSize(v); break;
            case tagScale: SetScale(v); break;
            case tagCopies: SetCopies(v); break;
            case tagDefaultSource: SetDefaultSource(v); break;
            case tagPrintQuality: SetPrintQuality(v); break;
            case tagColor: SetColor(v); break;
            case tagDuplex: SetDuplex(v); break;
            case tagYResolution: SetYResolution(v); break;
            default: SetTTOption(v); break;
            }
            break;
        }
        default:
            return;   // an unknown tag: the rest of the record is skipped
        }
    }
}

void TRpxPrinterSetup::ApplyToPrinter()
{
    if (PrinterCount() == 0) return;
    // Only what was set travels; the rest stays as the printer has it.
    Settings.ClearGiven();
    const int32_t values[12] = {Orientation, PaperSize, TenthsMm(PaperLength), TenthsMm(PaperWidth),
                                Scale, Copies, DefaultSource, PrintQuality, Color, Duplex,
                                YResolution, TTOption};
    for (int i = 0; i < 12; ++i)
        if (SetFlags[static_cast<size_t>(i)]) Settings.SetValueAt(i, values[i]);
    if (SetFlags[tagFormName]) Settings.SetFormName(FormName);
    Settings.WriteToPrinter();
    ReadFromPrinter();
}

void TRpxPrinterSetup::ReadFromPrinter()
{
    if (PrinterCount() == 0) return;
    Settings.ReadFromPrinter();
    const auto& g = Settings.Given;
    const auto& v = Settings.Values;
    // A value the device does not hold stays as it was.
    if (g[0]) Orientation = v[0];
    if (g[1]) PaperSize = v[1];
    PaperLength = g[2] ? v[2] / 254.0 : 0.0;
    PaperWidth = g[3] ? v[3] / 254.0 : 0.0;
    if (!(PaperLength > 0) || !(PaperWidth > 0)) {
        PaperLength = 11.0;
        PaperWidth = 8.5;
    }
    if (g[4]) Scale = v[4];
    if (g[5]) Copies = v[5];
    if (g[6]) DefaultSource = v[6];
    if (g[7]) PrintQuality = v[7];
    if (g[8]) Color = v[8];
    if (g[9]) Duplex = v[9];
    if (g[10]) YResolution = v[10];
    if (g[11]) TTOption = v[11];
    FormName = g[13] ? Settings.FormName : std::string();

    TRpxDeviceMetrics m;
    if (PrinterBackend().Metrics(m) && m.LogPixelsX > 0 && m.LogPixelsY > 0) {
        const double px = m.LogPixelsX, py = m.LogPixelsY;
        LeftOffset = m.PhysicalOffsetX / px;
        TopOffset = m.PhysicalOffsetY / py;
        RightOffset = (m.PhysicalWidth - m.PhysicalOffsetX - m.HorzRes) / px;
        BottomOffset = (m.PhysicalHeight - m.PhysicalOffsetY - m.VertRes) / py;
    }
}

// --- TDaxPageSetup ----------------------------------------------------------------------

TDaxPageSetup::TDaxPageSetup(TDaxPage* page) : page_(page), printerSetup_(std::make_unique<TRpxPrinterSetup>())
{
    printerSetup_->ReadFromPrinter();
}

void TDaxPageSetup::Changed()
{
    if (page_ && page_->Designing()) page_->Invalidate();
}

#define MW_PAGE_SETTER(Name, Type, field) \
    void TDaxPageSetup::Set##Name(Type v) \
    {                                     \
        if (field == v) return;           \
        field = v;                        \
        Changed();                        \
    }
MW_PAGE_SETTER(Source, TDaxPaperSource, source_)
MW_PAGE_SETTER(Duplex, TDaxPaperDuplex, duplex_)
MW_PAGE_SETTER(Copies, TDaxPaperCopies, copies_)
MW_PAGE_SETTER(Height, double, height_)
MW_PAGE_SETTER(Width, double, width_)
MW_PAGE_SETTER(PrintQuality, TDaxPrintQuality, printQuality_)
MW_PAGE_SETTER(LeftMargin, double, leftMargin_)
MW_PAGE_SETTER(TopMargin, double, topMargin_)
MW_PAGE_SETTER(BottomMargin, double, bottomMargin_)
MW_PAGE_SETTER(RightMargin, double, rightMargin_)
MW_PAGE_SETTER(Color, bool, color_)
MW_PAGE_SETTER(TrueTypeOption, TDaxTrueTypeOption, trueTypeOption_)
#undef MW_PAGE_SETTER

bool TDaxPageSetup::TableSize(TDaxPaperSize s, double& width, double& height) const
{
    for (const auto& p : kPapers)
        if (p.size == s) {
            width = p.mm ? unitMaster_.FromMillimeters(units_, p.width) : InchesToUnits(p.width);
            height = p.mm ? unitMaster_.FromMillimeters(units_, p.height) : InchesToUnits(p.height);
            return true;
        }
    return false;
}

void TDaxPageSetup::SetSize(TDaxPaperSize v)
{
    if (v == size_) return;
    size_ = v;
    double w, h;
    if (TableSize(v, w, h)) {
        if (orientation_ == poLandscape) std::swap(w, h);
        width_ = w;
        height_ = h;
    }
    Changed();
}

void TDaxPageSetup::SetOrientation(TDaxPaperOrientation v)
{
    if (v == orientation_) return;
    if (size_ != psCustom) {
        double w, h;
        if (TableSize(size_, w, h)) {
            // A table paper is portrait in the table.
            if (v == poLandscape) std::swap(w, h);
        } else {
            h = InchesToUnits(printerSetup_->PaperLength);
            w = InchesToUnits(printerSetup_->PaperWidth);
            if (v != poUseCurrent && (v == poLandscape) != (printerSetup_->Orientation == 2)) std::swap(w, h);
        }
        width_ = w;
        height_ = h;
    }
    orientation_ = v;
    Changed();
}

void TDaxPageSetup::SetUnits(TDaxUnits v)
{
    if (v == units_) return;
    if (v > unitCentiMeters) throw ERangeError("Unit out of range");
    if (!(page_ && page_->Loading())) {
        const TDaxUnits old = units_;
        auto conv = [&](double& x) {
            switch (old) {
            case unitInches: x = unitMaster_.FromInches(v, x); break;
            case unitMiliMeters: x = unitMaster_.FromMillimeters(v, x); break;
            case unitCentiMeters: x = unitMaster_.FromCentimeters(v, x); break;
            }
        };
        for (double* x : {&width_, &height_, &leftMargin_, &topMargin_, &bottomMargin_, &rightMargin_,
                          &PrinterLeftOffset, &PrinterTopOffset, &PrinterBottomOffset, &PrinterRightOffset})
            conv(*x);
    }
    units_ = v;
    Changed();
}

int32_t TDaxPageSetup::OrientationCode(TDaxPaperOrientation v) { return v == poLandscape ? 2 : 1; }
TDaxPaperOrientation TDaxPageSetup::OrientationOfCode(int32_t c) { return c == 2 ? poLandscape : poPortrait; }

int32_t TDaxPageSetup::SizeCode(TDaxPaperSize v) { return v < psUseCurrent ? kSizeCodes[v] : 1; }
TDaxPaperSize TDaxPageSetup::SizeOfCode(int32_t c)
{
    for (int i = 0; i < psUseCurrent; ++i)
        if (kSizeCodes[i] == c) return static_cast<TDaxPaperSize>(i);
    return psUseCurrent;
}

int32_t TDaxPageSetup::SourceCode(TDaxPaperSource v) { return v < ppsUseCurrent ? kSourceCodes[v] : 7; }
TDaxPaperSource TDaxPageSetup::SourceOfCode(int32_t c)
{
    for (int i = 0; i < ppsUseCurrent; ++i)
        if (kSourceCodes[i] == c) return static_cast<TDaxPaperSource>(i);
    return ppsUseCurrent;
}

int32_t TDaxPageSetup::DuplexCode(TDaxPaperDuplex v)
{
    return v == pdDuplexLongEdge ? 2 : v == pdDuplexShortEdge ? 3 : 1;
}
TDaxPaperDuplex TDaxPageSetup::DuplexOfCode(int32_t c)
{
    return c == 2 ? pdDuplexLongEdge : c == 3 ? pdDuplexShortEdge : pdSimplex;
}

int32_t TDaxPageSetup::QualityCode(TDaxPrintQuality v)
{
    switch (v) {
    case pqHigh: return -4;
    case pqMedium: return -3;
    case pqLow: return -2;
    case pqDraft: return -1;
    case pqCustom: return 0;
    case pqUseCurrent: break;
    }
    return -4;
}
TDaxPrintQuality TDaxPageSetup::QualityOfCode(int32_t c)
{
    switch (c) {
    case -4: return pqHigh;
    case -3: return pqMedium;
    case -2: return pqLow;
    case -1: return pqDraft;
    default: return pqCustom;
    }
}

int32_t TDaxPageSetup::TrueTypeCode(TDaxTrueTypeOption v)
{
    switch (v) {
    case ttBitmap: return 1;
    case ttSubDev: return 3;
    case ttDownLoadOutline: return 4;
    default: return 2;
    }
}
TDaxTrueTypeOption TDaxPageSetup::TrueTypeOfCode(int32_t c)
{
    switch (c) {
    case 1: return ttBitmap;
    case 3: return ttSubDev;
    case 4: return ttDownLoadOutline;
    default: return ttDownLoad;
    }
}

void TDaxPageSetup::ToPrinterSetup()
{
    TRpxPrinterSetup& ps = *printerSetup_;
    if (orientation_ != poUseCurrent) ps.SetOrientation(OrientationCode(orientation_));
    if (size_ != psUseCurrent) {
        ps.SetPaperSize(SizeCode(size_));
        if (size_ == psCustom) {
            ps.SetPaperLength(UnitsToInches(height_));
            ps.SetPaperWidth(UnitsToInches(width_));
        }
    }
    if (copies_ != 0) ps.SetCopies(copies_);
    if (source_ != ppsUseCurrent) ps.SetDefaultSource(SourceCode(source_));
    if (trueTypeOption_ != ttUseCurrent) ps.SetTTOption(TrueTypeCode(trueTypeOption_));
    ps.SetCollate(CollatedCopies ? 1 : 0);
    if (!FormName.empty()) ps.SetFormName(FormName);
    if (printQuality_ != pqUseCurrent) ps.SetPrintQuality(QualityCode(printQuality_));
    ps.SetColor(color_ ? 2 : 1);
    if (duplex_ != pdUseCurrent) ps.SetDuplex(DuplexCode(duplex_));
}

void TDaxPageSetup::FromPrinterSetup()
{
    const TRpxPrinterSetup& ps = *printerSetup_;
    if (orientation_ != poUseCurrent) orientation_ = OrientationOfCode(ps.Orientation);
    if (size_ != psUseCurrent)
        if (const TDaxPaperSize s = SizeOfCode(ps.PaperSize); s != psUseCurrent) size_ = s;
    if (size_ != psCustom) {
        height_ = InchesToUnits(ps.PaperLength);
        width_ = InchesToUnits(ps.PaperWidth);
    }
    if (source_ != ppsUseCurrent) source_ = SourceOfCode(ps.DefaultSource);
    if (duplex_ != pdUseCurrent) duplex_ = DuplexOfCode(ps.Duplex);
    if (printQuality_ != pqUseCurrent) printQuality_ = QualityOfCode(ps.PrintQuality);
    color_ = ps.Color == 2;
    if (copies_ != 0) copies_ = static_cast<TDaxPaperCopies>(std::clamp(ps.Copies, 0, 0xFFFF));
    if (trueTypeOption_ != ttUseCurrent) trueTypeOption_ = TrueTypeOfCode(ps.TTOption);
    CollatedCopies = ps.Collate != 0;
    FormName = ps.FormName;
    PrinterLeftOffset = InchesToUnits(ps.LeftOffset);
    PrinterTopOffset = InchesToUnits(ps.TopOffset);
    PrinterRightOffset = InchesToUnits(ps.RightOffset);
    PrinterBottomOffset = InchesToUnits(ps.BottomOffset);
    if (AdjustMargin && size_ != psCustom) {
        if (leftMargin_ < PrinterLeftOffset) SetLeftMargin(PrinterLeftOffset);
        if (rightMargin_ < PrinterRightOffset) SetRightMargin(PrinterRightOffset);
        if (topMargin_ < PrinterTopOffset) SetTopMargin(PrinterTopOffset);
        if (bottomMargin_ < PrinterBottomOffset) SetBottomMargin(PrinterBottomOffset);
    }
    Changed();
}

void TDaxPageSetup::TakePrinterSetup(const TRpxPrinterSetup& ps)
{
    printerSetup_->Assign(ps);
    FromPrinterSetup();
}

void TDaxPageSetup::ApplyToPrinter()
{
    if (!PrinterAvailable()) return;
    ToPrinterSetup();
    printerSetup_->ApplyToPrinter();
}

void TDaxPageSetup::ReadFromPrinter()
{
    if (!PrinterAvailable()) return;
    printerSetup_->ReadFromPrinter();
    FromPrinterSetup();
}

void TDaxPageSetup::Assign(const TDaxPageSetup& o)
{
    if (&o == this) return;
    printerSetup_->Assign(*o.printerSetup_);
    FromPrinterSetup();
    orientation_ = o.orientation_;
    size_ = o.size_;
    source_ = o.source_;
    copies_ = o.copies_;
    duplex_ = o.duplex_;
    height_ = o.height_;
    width_ = o.width_;
    printQuality_ = o.printQuality_;
    color_ = o.color_;
    leftMargin_ = o.leftMargin_;
    topMargin_ = o.topMargin_;
    bottomMargin_ = o.bottomMargin_;
    rightMargin_ = o.rightMargin_;
    units_ = o.units_;
    RangeStart = o.RangeStart;
    RangeEnd = o.RangeEnd;
    Destination = o.Destination;
    CollatedCopies = o.CollatedCopies;
    DirectPrinter = o.DirectPrinter;
    FormName = o.FormName;
    previewSettings_.Assign(o.previewSettings_);
    page_ = o.page_;
    Changed();
}
