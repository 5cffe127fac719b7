// Page setup and printer setup: paper table, orientation, units, the device codes, the
// printer round trip on the fake printers, and the setup records byte by byte.
#include "report/DaxPage.h"
#include "report/DaxPageSetup.h"

#include "FakePrinters.h"
#include "platform/runtime/ByteIO.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void Put(Bytes& b, const TByteWriter& w) { b.insert(b.end(), w.Bytes().begin(), w.Bytes().end()); }
void Put16(Bytes& b, int v)
{
    TByteWriter w;
    w.U16(static_cast<uint16_t>(v));
    Put(b, w);
}
void Put32(Bytes& b, int64_t v)
{
    TByteWriter w;
    w.U32(static_cast<uint32_t>(v));
    Put(b, w);
}
void PutF64(Bytes& b, double d)
{
    TByteWriter w;
    w.U64(std::bit_cast<uint64_t>(d));
    Put(b, w);
}

TMemoryStream StreamOf(const Bytes& b)
{
    TMemoryStream s;
    if (!b.empty()) s.WriteBuffer(b.data(), int64_t(b.size()));
    s.SetPosition(0);
    return s;
}

TEST(DaxPageSetupTest, PaperTableInEveryUnitAndOrientation)
{
    struct Case { TDaxPaperSize size; TDaxUnits units; bool landscape; double w, h; };
    const Case cases[] = {
        {psA4, unitInches, false, 8.267716535433072, 11.692913385826772},
        {psA4, unitInches, true, 11.692913385826772, 8.267716535433072},
        {psA4, unitMiliMeters, false, 210, 297},
        {psA3, unitCentiMeters, false, 29.7, 42},
        {psLetter, unitMiliMeters, false, 215.9, 279.4},
        {psEnv_12, unitInches, false, 4.5, 11},
        {psLedger, unitInches, false, 17, 11},
        {psLedger, unitInches, true, 11, 17},
        {psQuarto, unitMiliMeters, true, 275, 215},
        {psESheet, unitInches, false, 34, 44},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.size) * 100 + c.units * 10 + c.landscape);
        TDaxPageSetup ps;
        ps.SetUnits(c.units);
        if (c.landscape) ps.SetOrientation(poLandscape);
        ps.SetSize(c.size);
        EXPECT_NEAR(ps.Width(), c.w, 1e-9);
        EXPECT_NEAR(ps.Height(), c.h, 1e-9);
        EXPECT_FALSE(ps.CustomSize());
    }
    TDaxPageSetup custom;
    custom.SetWidth(3);
    custom.SetSize(psCustom);
    EXPECT_TRUE(custom.CustomSize());
    EXPECT_EQ(custom.Width(), 3);
    custom.SetOrientation(poLandscape);   // a custom paper keeps its size
    EXPECT_EQ(custom.Width(), 3);
    EXPECT_EQ(custom.Height(), 11);
    EXPECT_DOUBLE_EQ(custom.PrintableWidth(), 2);
    EXPECT_DOUBLE_EQ(custom.PrintableHeight(), 10);
}

TEST(DaxPageSetupTest, OrientationOfATablePaperTurnsTheTablePaper)
{
    // The printer holds letter; the page asks for A4 in landscape.
    TFakePrinters printers;
    TDaxPageSetup ps;
    ps.SetSize(psA4);
    ps.SetOrientation(poLandscape);
    EXPECT_NEAR(ps.Width(), 11.692913385826772, 1e-9);
    EXPECT_NEAR(ps.Height(), 8.267716535433072, 1e-9);
    ps.SetOrientation(poPortrait);
    EXPECT_NEAR(ps.Width(), 8.267716535433072, 1e-9);

    // With the current paper the printer's paper is taken, turned against its orientation.
    TDaxPageSetup cur;
    cur.PrinterSetup().PaperLength = 14;
    cur.PrinterSetup().PaperWidth = 8.5;
    cur.PrinterSetup().Orientation = 1;
    cur.SetOrientation(poLandscape);
    EXPECT_EQ(cur.Width(), 14);
    EXPECT_EQ(cur.Height(), 8.5);
    cur.PrinterSetup().Orientation = 2;
    cur.SetOrientation(poUseCurrent);
    EXPECT_EQ(cur.Width(), 8.5);
    EXPECT_EQ(cur.Height(), 14);
}

TEST(DaxPageSetupTest, UnitsConvertUnlessThePageIsBeingRead)
{
    TDaxGrouppage page;
    TDaxPageSetup ps(&page);
    ps.PrinterLeftOffset = 0.25;
    ps.SetUnits(unitMiliMeters);
    EXPECT_NEAR(ps.LeftMargin(), 12.7, 1e-9);
    EXPECT_NEAR(ps.Width(), 215.9, 1e-9);
    EXPECT_NEAR(ps.PrinterLeftOffset, 6.35, 1e-9);
    ps.SetUnits(unitCentiMeters);
    EXPECT_NEAR(ps.TopMargin(), 1.27, 1e-9);
    page.BeginLoading();
    ps.SetUnits(unitInches);
    EXPECT_NEAR(ps.TopMargin(), 1.27, 1e-9);
    page.Loaded();
    ps.SetUnits(unitMiliMeters);
    EXPECT_NEAR(ps.TopMargin(), 1.27 * 25.4, 1e-9);
    EXPECT_THROW(ps.SetUnits(TDaxUnits(3)), ERangeError);   // a damaged unit changes nothing
    EXPECT_EQ(ps.Units(), unitMiliMeters);
}

TEST(DaxPageSetupTest, DeviceCodesBothWays)
{
    using P = TDaxPageSetup;
    struct Case { const char* what; int32_t got, want; };
    const Case cases[] = {
        {"landscape", P::OrientationCode(poLandscape), 2},
        {"use current orientation", P::OrientationCode(poUseCurrent), 1},
        {"code 3 back", P::OrientationOfCode(3), poPortrait},
        {"code 0 (none given) back", P::OrientationOfCode(0), poPortrait},
        {"code 2 back", P::OrientationOfCode(2), poLandscape},
        {"A4", P::SizeCode(psA4), 9},
        {"custom", P::SizeCode(psCustom), 256},
        {"A4 small", P::SizeCode(psA4Small), 10},
        {"E sheet", P::SizeCode(psESheet), 26},
        {"env 12", P::SizeCode(psEnv_12), 22},
        {"use current size", P::SizeCode(psUseCurrent), 1},
        {"code 1 back", P::SizeOfCode(1), psLetter},
        {"code 3 back", P::SizeOfCode(3), psTabloid},
        {"code 300 back", P::SizeOfCode(300), psUseCurrent},
        {"cassette", P::SourceCode(psCassette), 14},
        {"use current source", P::SourceCode(ppsUseCurrent), 7},
        {"code 7 back", P::SourceOfCode(7), psAuto},
        {"code 13 back", P::SourceOfCode(13), ppsUseCurrent},
        {"short edge", P::DuplexCode(pdDuplexShortEdge), 3},
        {"use current duplex", P::DuplexCode(pdUseCurrent), 1},
        {"duplex 9 back", P::DuplexOfCode(9), pdSimplex},
        {"draft", P::QualityCode(pqDraft), -1},
        {"custom quality", P::QualityCode(pqCustom), 0},
        {"use current quality", P::QualityCode(pqUseCurrent), -4},
        {"600 dpi back", P::QualityOfCode(600), pqCustom},
        {"-3 back", P::QualityOfCode(-3), pqMedium},
        {"sub dev", P::TrueTypeCode(ttSubDev), 3},
        {"use current TrueType", P::TrueTypeCode(ttUseCurrent), 2},
        {"TrueType 9 back", P::TrueTypeOfCode(9), ttDownLoad},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.got, c.want);
    }
    for (int s = 0; s < psUseCurrent; ++s) EXPECT_EQ(P::SizeOfCode(P::SizeCode(TDaxPaperSize(s))), s);
    for (int s = 0; s < ppsUseCurrent; ++s) EXPECT_EQ(P::SourceOfCode(P::SourceCode(TDaxPaperSource(s))), s);
}

TEST(DaxPageSetupTest, ToPrinterSetupRaisesFlagsOnlyForRealChanges)
{
    TFakePrinters printers;
    printers.backend->SetPrinterIndex(1);   // copies 2, monochrome
    TDaxPageSetup ps;
    EXPECT_EQ(ps.PrinterSetup().Copies, 2);
    ps.ToPrinterSetup();
    std::array<bool, 14> want{};
    want[tagCopies] = true;
    want[tagColor] = true;
    EXPECT_EQ(ps.PrinterSetup().SetFlags, want);

    ps.PrinterSetup().ClearSetFlags();
    ps.SetSize(psCustom);
    ps.SetHeight(279.4 / 25.4);   // the printer's letter length already
    ps.SetWidth(9);
    ps.SetSource(psManual);
    ps.FormName = "Wide";
    ps.ToPrinterSetup();
    const auto& f = ps.PrinterSetup().SetFlags;
    EXPECT_TRUE(f[tagPaperSize] && f[tagPaperWidth] && f[tagDefaultSource] && f[tagFormName]);
    EXPECT_FALSE(f[tagPaperLength]);   // 11 in already
    EXPECT_EQ(ps.PrinterSetup().PaperSize, 256);
    EXPECT_EQ(ps.PrinterSetup().DefaultSource, 4);
}

TEST(DaxPageSetupTest, ApplyAndReadThroughThePrinter)
{
    TFakePrinters printers;
    TDaxPageSetup ps;
    ASSERT_TRUE(ps.PrinterAvailable());
    ps.SetOrientation(poLandscape);
    ps.SetSize(psA4);
    ps.SetDuplex(pdDuplexLongEdge);
    ps.SetCopies(3);
    ps.ApplyToPrinter();
    const TRpxDevMode& d = printers.Current().Current;
    EXPECT_EQ(d.Orientation, 2);
    EXPECT_EQ(d.PaperSize, 300);   // the driver's A4
    EXPECT_EQ(d.Duplex, 2);
    EXPECT_EQ(d.Copies, 3);
    EXPECT_FALSE(d.Fields & DM_FORMNAME);   // no form name was set

    // Read back: the driver's paper number is not a table size, so the size is the
    // printer's lengths in landscape, and margins rise to the printable border.
    ps.SetLeftMargin(0.2);
    ps.SetRightMargin(0.3);
    ps.ReadFromPrinter();
    const TRpxPrinterSetup& s = ps.PrinterSetup();
    EXPECT_EQ(s.Orientation, 2);
    EXPECT_NEAR(s.PaperLength, 2100 / 254.0, 1e-12);
    EXPECT_NEAR(s.PaperWidth, 2970 / 254.0, 1e-12);
    EXPECT_NEAR(ps.Width(), 2970 / 254.0, 1e-12);
    EXPECT_DOUBLE_EQ(s.LeftOffset, 0.25);
    EXPECT_DOUBLE_EQ(s.RightOffset, 0.25);
    EXPECT_DOUBLE_EQ(s.BottomOffset, 0.25);
    EXPECT_DOUBLE_EQ(ps.LeftMargin(), 0.25);
    EXPECT_DOUBLE_EQ(ps.RightMargin(), 0.3);
    EXPECT_EQ(ps.Duplex(), pdDuplexLongEdge);

    TDaxPageSetup custom;
    custom.SetSize(psCustom);
    custom.SetLeftMargin(0.1);
    custom.ReadFromPrinter();
    EXPECT_DOUBLE_EQ(custom.LeftMargin(), 0.1);   // a custom paper keeps its margins
}

TEST(DaxPageSetupTest, APrinterWithoutPaperSizeGivesLetter)
{
    TFakePrinters printers;
    printers.Current().Current.Fields = DM_ORIENTATION;
    TRpxPrinterSetup s;
    s.PaperLength = 3;
    s.ReadFromPrinter();
    EXPECT_EQ(s.PaperLength, 11.0);
    EXPECT_EQ(s.PaperWidth, 8.5);
}

TEST(DaxPageSetupTest, AssignCopiesTheListedSettings)
{
    TDaxGrouppage page;
    TDaxPageSetup a(&page);
    a.SetSize(psLegal);
    a.SetUnits(unitCentiMeters);
    a.SetLeftMargin(2);
    a.RangeStart = 2;
    a.Destination = destPrinter;
    a.AdjustMargin = false;
    a.TextDriverCompatibility = true;
    a.PreviewSettings().Zoom = az50;
    a.PreviewSettings().ModalPreview = mpModal;
    a.PrinterSetup().SetScale(75);
    TDaxPageSetup b;
    b.Assign(a);
    EXPECT_EQ(b.Size(), psLegal);
    EXPECT_EQ(b.Units(), unitCentiMeters);
    EXPECT_EQ(b.LeftMargin(), 2);
    EXPECT_EQ(b.RangeStart, 2);
    EXPECT_EQ(b.Destination, destPrinter);
    EXPECT_TRUE(b.AdjustMargin);             // not copied
    EXPECT_FALSE(b.TextDriverCompatibility);  // not copied
    EXPECT_EQ(b.PreviewSettings().Zoom, az100);   // not copied
    EXPECT_EQ(b.PreviewSettings().ModalPreview, mpModal);
    EXPECT_EQ(b.Page(), &page);
    EXPECT_TRUE(b.PrinterSetup().SameAs(a.PrinterSetup()));
    EXPECT_TRUE(b.PrinterSetup().SetFlags[tagScale]);
    TRpxPrinterSetup copy;
    b.CopyPrinterSetupTo(copy);
    EXPECT_EQ(copy.Scale, 75);
    copy.SetScale(80);
    EXPECT_TRUE(copy.SamePageFormat(b.PrinterSetup()));   // scale is not page format
    copy.SetCopies(5);
    EXPECT_FALSE(copy.SamePageFormat(b.PrinterSetup()));
}

// --- records ----------------------------------------------------------------------------

TEST(PrinterSetupRecordTest, OnlyScaleSetWritesTheAlwaysTagsAndScale)
{
    TRpxPrinterSetup s;
    s.SetScale(90);
    TMemoryStream out;
    s.WriteRecord(out);
    Bytes want;
    Put16(want, 101);
    Put32(want, 20);
    for (auto [tag, v] : {std::pair{0, 1}, {1, 1}, {4, 90}, {6, 1}, {9, 1}}) {
        Put16(want, tag);
        Put16(want, v);
    }
    EXPECT_EQ(out.Bytes(), want);
}

TEST(PrinterSetupRecordTest, EveryTagWrittenAndReadBack)
{
    TRpxPrinterSetup s;
    s.SetOrientation(2);
    s.SetPaperSize(9);
    s.SetPaperLength(2970 / 254.0);
    s.SetPaperWidth(2100 / 254.0);
    s.SetScale(50);
    s.SetCopies(3);
    s.SetDefaultSource(14);
    s.SetPrintQuality(-2);
    s.SetColor(1);
    s.SetDuplex(3);
    s.SetYResolution(-300);   // a negative int16 survives
    s.SetTTOption(4);
    s.SetCollate(0);
    s.SetFormName("A4");
    TMemoryStream out;
    s.WriteRecord(out);
    out.WriteString("NEXT");

    Bytes want;
    Put16(want, 101);
    Put32(want, 10 * 4 + 2 * 6 + 3 + 2 + 2 + 2);
    auto e16 = [&](int t, int v) { Put16(want, t); Put16(want, v); };
    e16(0, 2); e16(1, 9);
    Put16(want, 2); Put32(want, 2970);
    Put16(want, 3); Put32(want, 2100);
    e16(4, 50); e16(5, 3); e16(6, 14); e16(7, -2); e16(8, 1); e16(9, 3); e16(10, -300); e16(11, 4);
    Put16(want, 12); want.push_back(0);
    Put16(want, 13); Put16(want, 2); want.push_back('A'); want.push_back('4');
    want.insert(want.end(), {'N', 'E', 'X', 'T'});
    EXPECT_EQ(out.Bytes(), want);

    out.SetPosition(2);
    TRpxPrinterSetup r;
    ASSERT_TRUE(r.ReadRecord(out));
    EXPECT_TRUE(r.SameAs(s));
    EXPECT_NEAR(r.PaperLength, 2970 / 254.0, 1e-15);
    EXPECT_EQ(r.YResolution, -300);
    EXPECT_EQ(out.Position(), int64_t(want.size()) - 4);
    std::array<bool, 14> all;
    all.fill(true);
    EXPECT_EQ(r.SetFlags, all);
}

TEST(PrinterSetupRecordTest, DamagedAndUnusualRecords)
{
    struct Case {
        const char* what;
        Bytes entries;          // after the code; the length field included
        bool wantRead;
        int64_t wantEnd;        // position after reading
        std::function<void(const TRpxPrinterSetup&)> check;
    };
    auto rec = [](std::function<void(Bytes&)> body, int64_t extraLength = 0) {
        Bytes e;
        body(e);
        Bytes b;
        Put32(b, int64_t(e.size()) + extraLength);
        b.insert(b.end(), e.begin(), e.end());
        return b;
    };
    const Case cases[] = {
        {"length 0 reads nothing", rec([](Bytes&) {}), false, 4, nullptr},
        {"negative length", [] { Bytes b; Put32(b, -5); Put16(b, 0); Put16(b, 2); return b; }(), false, 4,
         [](const TRpxPrinterSetup& s) { EXPECT_EQ(s.Orientation, 1); }},
        {"an unknown tag skips the rest and ends after the record",
         rec([](Bytes& b) { Put16(b, 0); Put16(b, 2); Put16(b, 77); Put16(b, 1); Put16(b, 5); Put16(b, 9); }), true, 16,
         [](const TRpxPrinterSetup& s) { EXPECT_EQ(s.Orientation, 2); EXPECT_EQ(s.Copies, 1); }},
        {"entries in any order, repeats override",
         rec([](Bytes& b) { Put16(b, 5); Put16(b, 4); Put16(b, 0); Put16(b, 2); Put16(b, 5); Put16(b, 6); }), true, 16,
         [](const TRpxPrinterSetup& s) { EXPECT_EQ(s.Copies, 6); EXPECT_EQ(s.Orientation, 2); }},
        {"a value equal to the current one leaves its flag",
         rec([](Bytes& b) { Put16(b, 4); Put16(b, 100); }), true, 8,
         [](const TRpxPrinterSetup& s) { EXPECT_FALSE(s.SetFlags[tagScale]); }},
        {"an entry cut by the record's end stops there",
         rec([](Bytes& b) { Put16(b, 0); Put16(b, 2); Put16(b, 2); Put16(b, 0x0BA2); }), true, 12,
         [](const TRpxPrinterSetup& s) { EXPECT_EQ(s.PaperLength, 11.0); EXPECT_EQ(s.Orientation, 2); }},
        {"a name running past the record stops there",
         rec([](Bytes& b) { Put16(b, 13); Put16(b, 50); b.push_back('x'); }), true, 9,
         [](const TRpxPrinterSetup& s) { EXPECT_FALSE(s.SetFlags[tagFormName]); }},
        {"a negative name length stops there",
         rec([](Bytes& b) { Put16(b, 13); Put16(b, -1); }), true, 8,
         [](const TRpxPrinterSetup& s) { EXPECT_TRUE(s.FormName.empty()); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TMemoryStream in = StreamOf(c.entries);
        in.Seek(0, TSeekOrigin::soEnd);
        in.WriteString("tail");
        in.SetPosition(0);
        TRpxPrinterSetup s;
        EXPECT_EQ(s.ReadRecord(in), c.wantRead);
        EXPECT_EQ(in.Position(), c.wantEnd);
        if (c.check) c.check(s);
    }

    // A length past the end of the stream is refused and nothing changes.
    Bytes b;
    Put32(b, 100);
    Put16(b, 0);
    Put16(b, 2);
    TMemoryStream in = StreamOf(b);
    TRpxPrinterSetup s;
    EXPECT_THROW(s.ReadRecord(in), EReadError);
    EXPECT_EQ(s.Orientation, 1);
    TMemoryStream empty;
    EXPECT_THROW(s.ReadRecord(empty), EReadError);
}

TEST(PrinterSetupRecordTest, HostileLengthsAreRefusedAndChangeNothing)
{
    struct Case { const char* what; Bytes bytes; };
    auto lengthThen = [](int64_t length, int entries) {
        Bytes b;
        Put32(b, length);
        for (int i = 0; i < entries; ++i) { Put16(b, 0); Put16(b, 2); }
        return b;
    };
    const Case cases[] = {
        {"the largest length", lengthThen(0x7FFFFFFF, 3)},
        {"one byte past the stream", lengthThen(13, 3)},
        {"a length cut short", Bytes{0x10, 0x00}},
        {"no length at all", Bytes{}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TMemoryStream in = StreamOf(c.bytes);
        TRpxPrinterSetup s;
        EXPECT_THROW(s.ReadRecord(in), EReadError);
        EXPECT_EQ(s.Orientation, 1);
        EXPECT_EQ(s.SetFlags, (std::array<bool, 14>{}));
    }
    // Three whole entries, exactly as long as the stream: read.
    TMemoryStream in = StreamOf(lengthThen(12, 3));
    TRpxPrinterSetup s;
    EXPECT_TRUE(s.ReadRecord(in));
    EXPECT_EQ(s.Orientation, 2);
    EXPECT_EQ(in.Position(), 16);
}

TEST(PrinterSetupRecordTest, LongFormNamesAreReadWholeAndWrittenCut)
{
    const std::string name(300, 'F');
    Bytes b;
    Put32(b, 2 + 2 + 300);
    Put16(b, 13);
    Put16(b, 300);
    b.insert(b.end(), name.begin(), name.end());
    TMemoryStream in = StreamOf(b);
    TRpxPrinterSetup s;
    ASSERT_TRUE(s.ReadRecord(in));
    EXPECT_EQ(s.FormName, name);
    EXPECT_TRUE(s.SetFlags[tagFormName]);

    TMemoryStream out;
    s.WriteRecord(out);
    out.SetPosition(2);
    TRpxPrinterSetup r;
    ASSERT_TRUE(r.ReadRecord(out));
    EXPECT_EQ(r.FormName, std::string(255, 'F'));
    EXPECT_EQ(out.Position(), out.Size());
}

TEST(PrinterSetupRecordTest, LegacyFixedRecords)
{
    auto fixed = [](bool collate) {
        Bytes b;
        Put16(b, 2);        // orientation
        Put16(b, 9);        // paper size
        PutF64(b, 11.69);   // length, inches
        PutF64(b, 8.27);    // width
        Put16(b, 95);       // scale
        Put16(b, 2);        // copies
        Put16(b, 15);       // default source
        Put16(b, -3);       // print quality
        Put16(b, 1);        // colour
        Put16(b, 2);        // duplex
        Put16(b, 600);      // y resolution
        Put16(b, 3);        // TrueType option
        if (collate) b.push_back(0);
        return b;
    };
    struct Case { bool collate; size_t size; uint8_t wantCollate; };
    for (const Case c : {Case{true, 37, 0}, Case{false, 36, 1}}) {
        SCOPED_TRACE(c.size);
        const Bytes b = fixed(c.collate);
        ASSERT_EQ(b.size(), c.size);
        TRpxPrinterSetup s;
        s.FormName = "kept";
        s.LoadFixedRecord(b.data(), b.size());
        EXPECT_EQ(s.Orientation, 2);
        EXPECT_EQ(s.PaperSize, 9);
        EXPECT_EQ(s.PaperLength, 11.69);
        EXPECT_EQ(s.PaperWidth, 8.27);
        EXPECT_EQ(s.Scale, 95);
        EXPECT_EQ(s.Copies, 2);
        EXPECT_EQ(s.DefaultSource, 15);
        EXPECT_EQ(s.PrintQuality, -3);
        EXPECT_EQ(s.Color, 1);
        EXPECT_EQ(s.Duplex, 2);
        EXPECT_EQ(s.YResolution, 600);
        EXPECT_EQ(s.TTOption, 3);
        EXPECT_EQ(s.Collate, c.wantCollate);
        EXPECT_EQ(s.FormName, "kept");
        std::array<bool, 14> all;
        all.fill(true);
        EXPECT_EQ(s.SetFlags, all);
    }
    TRpxPrinterSetup s;
    Bytes b = fixed(true);
    EXPECT_THROW(s.LoadFixedRecord(b.data(), 35), EReadError);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::memcpy(&b[4], &nan, 8);
    EXPECT_THROW(s.LoadFixedRecord(b.data(), b.size()), EReadError);
    EXPECT_EQ(s.Orientation, 1);
}

} // namespace
