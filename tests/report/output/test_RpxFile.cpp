#include "FakePrintDevice.h"
#include "RecordBytes.h"

#include "report/output/RpxFile.h"
#include "report/output/RpxOutput.h"
#include "report/output/RpxPrint.h"

#include <gtest/gtest.h>

#include <bit>

namespace {

TRpxFont Arial()
{
    TRpxFont f;
    f.Name = "Arial";
    f.Size = 10;
    return f;
}

// A document of `pages` pages, each naming itself ("P1", "P2" ...).
std::shared_ptr<TRpxRpxFile> Record(int pages, std::function<void(TRpxOutput&, int)> perPage = nullptr)
{
    TRpxOutput out;
    out.SetOutputMode(1);
    out.Title = "Line report";
    out.BeginOutput();
    out.Canvas().SetFont(Arial());
    out.Canvas().SetBrush(TRpxBrush{0xC0C0C0, rbsSolid});
    for (int p = 1; p <= pages; ++p) {
        if (p > 1) {
            if (perPage) perPage(out, p);
            out.AdvancePage();
        }
        out.Canvas().TextOut(10, 10, "P" + std::to_string(p));
        out.Canvas().FillRect({0, 0, 5, 5});
    }
    out.EndOutput();
    return out.Document;
}

std::vector<uint8_t> Saved(TRpxRpxFile& doc)
{
    TMemoryStream m;
    doc.SaveToStream(m);
    return m.Bytes();
}

void Load(TRpxRpxFile& doc, const std::vector<uint8_t>& bytes)
{
    TMemoryStream m;
    m.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    m.SetPosition(0);
    doc.LoadFromStream(m);
}

std::vector<std::string> Texts(const std::vector<std::string>& calls)
{
    std::vector<std::string> t;
    for (const auto& c : calls) {
        if (c.rfind("text", 0) != 0) continue;
        const size_t a = c.find('\''), b = c.find('\'', a + 1);
        t.push_back(c.substr(a + 1, b - a - 1));
    }
    return t;
}

std::vector<std::string> PageTexts(TRpxRpxFile& doc, int page, TRpxDeviceInfo info = {})
{
    TRpxRecordingDevice dev(info);
    doc.PlayPage(dev, page);
    return Texts(dev.Calls);
}

// An older file, written the way its version lays it out: a fixed setup record and records
// whose strings carry int16 counts.
std::vector<uint8_t> LegacyFile(float version, bool collate)
{
    TByteWriter w;
    w.String("RPX");
    w.I32(kRpxIdentifier);
    w.U32(std::bit_cast<uint32_t>(version));
    const size_t offsetAt = w.Position();
    w.I32(0);
    std::string title = "Old";
    title.resize(101, '\0');
    w.String(title);
    w.I32(2);   // pages
    w.U16(1);   // objects
    w.I16(96);
    w.I16(96);
    auto setup = [&](TByteWriter& o, int16_t orientation) {
        o.I16(orientation); o.I16(1); o.U64(std::bit_cast<uint64_t>(11.0)); o.U64(std::bit_cast<uint64_t>(8.5));
        o.I16(100); o.I16(2); o.I16(7); o.I16(-4); o.I16(2); o.I16(1); o.I16(0); o.I16(2);
        if (collate) o.U8(0);
    };
    setup(w, 1);
    w.I32(0);   // extra data
    TByteWriter rec;
    auto page = [&](const std::string& text, int16_t orientation) {
        rec.I16(100);
        TByteWriter fixed;
        setup(fixed, orientation);
        if (!collate) fixed.U8(1);
        rec.Bytes(fixed.Bytes());
        rec.I16(5);
        rec.I16(4); rec.I16(0);
        rec.I16(21); rec.I16(10); rec.I16(20); rec.I16(int16_t(text.size())); rec.String(text);
        rec.I16(37); for (int v : {0, 40, 200, 60}) rec.I16(int16_t(v)); rec.I16(0); rec.I16(40);
        rec.I16(int16_t(text.size())); rec.String(text); rec.U8(1);
        if (version > 1.0f) for (int v : {0, 40, 200, 60}) rec.I16(int16_t(v));
        rec.I16(6);
    };
    std::vector<int32_t> offsets;
    offsets.push_back(0);
    page("first", 1);
    offsets.push_back(int32_t(rec.Position()));
    page("second", 2);
    for (int32_t o : offsets) w.I32(o);
    w.I16(1);
    w.Bytes(FontPayload(Arial()));
    w.PatchU32(offsetAt, uint32_t(w.Position()));
    w.Bytes(rec.Bytes());
    return w.TakeBytes();
}

} // namespace

TEST(RpxFile, SaveAndLoadRoundTripByteForByte)
{
    auto doc = Record(3);
    const auto bytes = Saved(*doc);
    ASSERT_GT(bytes.size(), kRpxHeaderSize + 10);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 3), "RPX");
    EXPECT_EQ(int32_t(LoadLE32(&bytes[3])), kRpxIdentifier);
    EXPECT_EQ(std::bit_cast<float>(LoadLE32(&bytes[7])), 4.0f);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[15])), "Line report");
    EXPECT_EQ(int32_t(LoadLE32(&bytes[116])), 3);
    const uint32_t recordsAt = LoadLE32(&bytes[11]);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + recordsAt, bytes.end()), StreamBytes(*doc->Stream));

    TRpxRpxFile loaded;
    Load(loaded, bytes);
    EXPECT_EQ(loaded.Title, "Line report");
    EXPECT_EQ(loaded.PageCount(), 3);
    EXPECT_EQ(loaded.Progress, 100.0f);
    EXPECT_EQ(Saved(loaded), bytes);
    EXPECT_EQ(PageTexts(loaded, 2), std::vector<std::string>{"P2"});

    // The header goes where the stream stands, not at its start.
    TMemoryStream shifted;
    shifted.WriteBuffer("12345", 5);
    doc->SaveToStream(shifted);
    EXPECT_EQ(std::vector<uint8_t>(shifted.Bytes().begin() + 5, shifted.Bytes().end()), bytes);
}

TEST(RpxFile, ALoadedDocumentSpillsToItsTemporaryFileAsARecordedOneDoes)
{
    // About 1.2 MB of records: well past what the stream keeps in memory.
    const std::string line(3000, 'x');
    auto doc = Record(400, [&](TRpxOutput& out, int) { out.Canvas().TextOut(10, 30, line); });
    ASSERT_GT(doc->Stream->Size(), 2 * int64_t(RpxStreamSpillLimit));
    const auto bytes = Saved(*doc);

    TRpxRpxFile loaded;
    Load(loaded, bytes);
    TRpxStream& s = *loaded.Stream;
    EXPECT_FALSE(s.TempFileName().empty());
    EXPECT_GT(s.FileSize(), int64_t(RpxStreamSpillLimit));
    EXPECT_LE(s.MemorySize(), int64_t(RpxStreamSpillLimit) + 64 * 1024);
    EXPECT_EQ(s.Size(), doc->Stream->Size());
    EXPECT_EQ(Saved(loaded), bytes);
    EXPECT_EQ(PageTexts(loaded, 399), (std::vector<std::string>{"P399", line}));
}

TEST(RpxFile, SavingWhileRecordingWritesNothing)
{
    TRpxOutput out;
    out.SetOutputMode(1);
    out.BeginOutput();
    TMemoryStream m;
    out.Document->SaveToStream(m);
    EXPECT_EQ(m.Size(), 0);
    // Nor can the page being recorded be played or read.
    TRpxRecordingDevice dev;
    out.Canvas().TextOut(1, 1, "x");
    out.Document->PlayPage(dev, 1);
    EXPECT_TRUE(dev.Calls.empty());
    TRpxPrinterSetup s;
    EXPECT_FALSE(out.Document->ReadPageSetup(s, 1));
    out.EndOutput();
}

TEST(RpxFile, LegacyVersionsPlayAndSaveInTheirOwnForm)
{
    struct Case {
        float version;
        bool collateByte;
    };
    for (const Case c : {Case{3.5f, true}, Case{2.0f, false}, Case{1.0f, false}}) {
        SCOPED_TRACE(c.version);
        const auto file = LegacyFile(c.version, c.collateByte);
        TRpxRpxFile doc;
        Load(doc, file);
        EXPECT_EQ(doc.Title, "Old");
        ASSERT_EQ(doc.PageCount(), 2);
        EXPECT_EQ(doc.PrinterSetup->Copies, 2);
        EXPECT_EQ(doc.PrinterSetup->Collate, c.collateByte ? 0 : 1);
        EXPECT_EQ(PageTexts(doc, 1), (std::vector<std::string>{"first", "first"}));
        EXPECT_EQ(PageTexts(doc, 2)[0], "second");
        TRpxPrinterSetup page2;
        ASSERT_TRUE(doc.ReadPageSetup(page2, 2));
        EXPECT_EQ(page2.Orientation, 2);
        // Saved back in its own form, it reloads as it was.
        const auto again = Saved(doc);
        EXPECT_EQ(again, file);
    }
}

TEST(RpxFile, PlayingScalesToTheTargetResolutionAndZoom)
{
    TRpxOutput out;
    out.SetOutputMode(1);
    out.BeginOutput();
    out.Canvas().MoveTo(96, 48);
    out.Canvas().LineTo(192, 96);
    out.EndOutput();
    auto& doc = *out.Document;
    TRpxDeviceInfo printer;
    printer.LogPixelsX = printer.LogPixelsY = 600;
    TRpxRecordingDevice atPrinter(printer);
    doc.PlayPage(atPrinter, 1);
    EXPECT_EQ(atPrinter.Calls, std::vector<std::string>{"line 600,300-1200,600 w1 c0"});
    doc.ZoomX = doc.ZoomY = 50;
    TRpxRecordingDevice screen;
    doc.PlayPage(screen, 1);
    EXPECT_EQ(screen.Calls, std::vector<std::string>{"line 48,24-96,48 w1 c0"});
}

TEST(RpxFile, AnEmptyFillIsWidenedOnScreenOnly)
{
    TRpxOutput out;
    out.SetOutputMode(1);
    out.BeginOutput();
    out.Canvas().SetBrush(TRpxBrush{0, rbsSolid});
    out.Canvas().FillRect({10, 10, 10, 20});
    out.EndOutput();
    TRpxRecordingDevice screen;
    out.Document->PlayPage(screen, 1);
    EXPECT_EQ(screen.Calls, std::vector<std::string>{"fill 10,10,11,20 s0 c0"});
    // A one-pixel rule (a header's underline) shrinks to nothing at small zooms and is still shown
    // (at 10 % of 96 pixels per inch, 10 pixels per inch: 800 pixels become 83).
    struct Case {
        TRpxRect fill;
        int zoom;
        std::string drawn;
    };
    for (const Case& c : std::vector<Case>{{{100, 50, 900, 51}, 10, "fill 10,5,93,6 s0 c0"},
                                           {{100, 50, 101, 450}, 10, "fill 10,5,11,47 s0 c0"},
                                           {{100, 50, 101, 51}, 10, "fill 10,5,11,6 s0 c0"},
                                           {{100, 50, 900, 51}, 100, "fill 100,50,900,51 s0 c0"}}) {
        TRpxOutput rule;
        rule.SetOutputMode(1);
        rule.BeginOutput();
        rule.Canvas().SetBrush(TRpxBrush{0, rbsSolid});
        rule.Canvas().FillRect(c.fill);
        rule.EndOutput();
        rule.Document->ZoomX = rule.Document->ZoomY = c.zoom;
        TRpxRecordingDevice zoomed;
        rule.Document->PlayPage(zoomed, 1);
        EXPECT_EQ(zoomed.Calls, std::vector<std::string>{c.drawn}) << c.zoom;
    }
    TRpxDeviceInfo printer;
    printer.Technology = DT_RASPRINTER;
    TRpxRecordingDevice paper(printer);
    out.Document->PlayPage(paper, 1);
    EXPECT_TRUE(paper.Calls.empty());
}

namespace {

struct TCountingPrinter : TRpxPrinter {
    using TRpxPrinter::TRpxPrinter;
    void SendSetup(TRpxPrinterSetup& s) override
    {
        sent.push_back(s.Orientation);
        TRpxPrinter::SendSetup(s);
    }
    std::vector<int> sent;
};

std::vector<std::string> PrintedSheets(const TFakePrintDevice& device)
{
    std::vector<std::string> sheets;
    for (const auto& page : device.Pages()) {
        const auto t = Texts(page);
        sheets.push_back(t.empty() ? "" : t[0]);
    }
    return sheets;
}

} // namespace

TEST(RpxPrinter, CopiesAndCollationGiveTheSheetOrder)
{
    struct Case {
        uint8_t collate;
        int duplex;
        std::vector<std::string> sheets;
        int jobs;
    };
    const Case cases[] = {
        {0, 1, {"P2", "P2", "P2", "P3", "P3", "P3"}, 1},
        {1, 1, {"P2", "P3", "P2", "P3", "P2", "P3"}, 1},
        {1, 2, {"P2", "P3", "P2", "P3", "P2", "P3"}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.collate) * 10 + c.duplex);
        TRpxOutput out;
        out.SetOutputMode(1);
        out.PrinterSetup->SetCopies(3);
        out.PrinterSetup->SetCollate(c.collate);
        out.PrinterSetup->SetDuplex(c.duplex);
        out.BeginOutput();
        for (int p = 1; p <= 3; ++p) {
            if (p > 1) out.AdvancePage();
            out.Canvas().TextOut(0, 0, "P" + std::to_string(p));
        }
        out.EndOutput();
        TFakePrintDevice device;
        TRpxPrinter printer(device);
        out.Document->SendRange(printer, 2, 9);
        EXPECT_EQ(PrintedSheets(device), c.sheets);
        EXPECT_EQ(std::count(device.Log.begin(), device.Log.end(), "end doc"), c.jobs);
    }
}

TEST(RpxPrinter, TheSetupIsSentAgainOnlyWhenThePaperChanges)
{
    auto doc = Record(4, [](TRpxOutput& out, int page) {
        if (page == 3) out.PrinterSetup->SetOrientation(2);
    });
    TFakePrintDevice device;
    TCountingPrinter printer(device);
    printer.TakeRange(*doc, 1, 4);
    // Once before the job, once for page 3 (landscape); page 4 is landscape too.
    EXPECT_EQ(printer.sent, (std::vector<int>{1, 2}));
    EXPECT_EQ(PrintedSheets(device), (std::vector<std::string>{"P1", "P2", "P3", "P4"}));
    EXPECT_FALSE(doc->Printing);
}

TEST(RpxPrinter, AbortStopsDrawingWhileProgressGoesOn)
{
    auto doc = Record(4);
    TFakePrintDevice device;
    TRpxPrinter printer(device);
    std::vector<int> progress;
    printer.OnProgress = [&](TRpxPrinter& p) {
        progress.push_back(p.CurrentPage);
        if (p.CurrentPage == 2) p.Aborted = true;
    };
    printer.TakeRange(*doc, 1, 4);
    EXPECT_EQ(progress, (std::vector<int>{1, 1, 2, 3, 4, 4}));
    EXPECT_EQ(PrintedSheets(device), std::vector<std::string>{"P1"});
    EXPECT_EQ(device.Log.back(), "abort");
    // Out-of-range pages are clamped; last before first prints nothing.
    TFakePrintDevice d2;
    TRpxPrinter p2(d2);
    p2.TakePage(*doc, 99);
    EXPECT_EQ(PrintedSheets(d2), std::vector<std::string>{"P4"});
    TFakePrintDevice d3;
    TRpxPrinter p3(d3);
    p3.TakeRange(*doc, 3, 2);
    EXPECT_TRUE(d3.Log.empty());
}

TEST(RpxFile, PlayerRecordsTheRestOfTheCodes)
{
    // Codes no part of the recorder writes, built by hand after a page start.
    TRpxOutput out;
    out.SetOutputMode(1);
    out.BeginOutput();
    out.Canvas().SetPen(TRpxPen{0, rpsSolid, 2, rpmCopy});
    auto& d = *out.Document;
    TRecordBytes r;
    r.Code(29).Rect(0, 0, 10, 10);
    r.Code(30).Rect(0, 0, 10, 10).I16(4).I16(4);
    r.Code(31).Rect(0, 0, 10, 10);
    r.Code(35).I32(0x00FF00);
    r.Code(42).U8(2);
    for (int v : {0, 96, 0, 0, 0, 96, 0, 0}) r.I32(v);
    r.Code(43).U8(1).I16(2).I32(0).I32(0).I32(96).I32(96);
    r.Code(25).I16(1).I16(2).I32(2).U8('o').U8('k');
    r.Code(40).I32(0).Rect(0, 0, 9, 9).U8(0).I32(0).I32(0).I32(3).U8('{').U8('x').U8('}');
    r.Code(44).I16(10).I16(20).I16(0).I16(30).I16(1).I16(3).U8(0).U8(0).Str("A");
    r.Code(45).I16(10).I16(20).I16(0).I16(30).I16(10).I16(30).U8(1).U8(0).Str("12");
    r.Code(777);   // unknown without a handler: the code alone is skipped
    r.Code(6);
    const auto extra = r.Bytes();
    d.Stream->WriteBuffer(extra.data(), int64_t(extra.size()));
    out.EndOutput();
    TRpxDeviceInfo info;
    info.LogPixelsX = info.LogPixelsY = 192;
    TRpxRecordingDevice dev(info);
    d.PlayPage(dev, 1);
    EXPECT_EQ(dev.Calls, (std::vector<std::string>{
                             "rectangle 0,0,20,20 w4", "roundrect 0,0,20,20 8,8 w4", "ellipse 0,0,20,20 w4",
                             "pie 0,0,192,192 0,0 0,0 w4", "polyline 0,0 192,192 w4",
                             "text 2,4 'ok' font System -16 c0 fill 2,4,18,20 c65280"}));
    // Without a current brush the bar codes draw nothing; with one, widths scale as x
    // (pixels) or convert at the zoomed resolution (mils).
    auto& objects = d.Objects;
    objects.push_back({rokBrush, BrushPayload(TRpxBrush{0, rbsSolid})});
    TRecordBytes sel;
    sel.Code(4).I16(int16_t(objects.size() - 1));
    TRpxRecordingDevice bars(info);
    {
        // A page that selects the brush, then the two codes.
        TRpxStream& s = *d.Stream;
        const int64_t at = s.Size();
        s.SetPosition(at);
        const auto b = sel.Bytes();
        s.WriteBuffer(b.data(), int64_t(b.size()));
        const auto codes = TRecordBytes()
                               .Code(44).I16(10).I16(20).I16(0).I16(30).I16(1).I16(3).U8(0).U8(0).Str("A")
                               .Code(45).I16(10).I16(20).I16(0).I16(30).I16(10).I16(30).U8(1).U8(0).Str("12")
                               .Code(6).Bytes();
        s.WriteBuffer(codes.data(), int64_t(codes.size()));
        d.Pages.Add(int32_t(at));
    }
    d.PlayPage(bars, 2);
    ASSERT_EQ(bars.Calls.size(), 15u + 9u);   // five bars a Code 39 character; 2 + 5 + 2 for "12"
    EXPECT_EQ(bars.Calls[0], "fill 20,40,22,100 s0 c0");   // narrow 1 -> 2 pixels, bar height 30 -> 60
    EXPECT_EQ(bars.Calls[15], "fill 20,40,22,100 s0 c0");  // 10 mils at 192 per inch -> 2 pixels
    int calls = 0;
    RegisterRpxRecordHandler(777, [&](TRpxDevice&, TRpxRpxFile&) { ++calls; });
    d.PlayPage(dev, 1);
    ClearRpxRecordHandlers();
    EXPECT_EQ(calls, 1);
}

// --- Damaged files ---------------------------------------------------------------------------

namespace {

// Loads bytes; a failure must be a read error, and whatever loaded must play every page.
void LoadAndPlay(const std::vector<uint8_t>& bytes, const std::string& what)
{
    TRpxRpxFile doc;
    try {
        Load(doc, bytes);
    } catch (const EReadError&) {
        EXPECT_EQ(doc.PageCount(), 0) << what;
        EXPECT_TRUE(doc.Objects.empty()) << what;
        return;
    } catch (const std::exception& e) {
        ADD_FAILURE() << what << ": " << e.what();
        return;
    }
    for (int p = 0; p <= doc.PageCount() + 1; ++p) {
        TRpxRecordingDevice dev;
        doc.PlayPage(dev, p);
        TRpxPrinterSetup s;
        doc.ReadPageSetup(s, p);
    }
}

std::vector<uint8_t> With(std::vector<uint8_t> b, size_t at, std::vector<uint8_t> patch)
{
    std::copy(patch.begin(), patch.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
    return b;
}

std::vector<uint8_t> LE32(uint32_t v) { return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}; }

} // namespace

TEST(RpxFileDamaged, EveryTruncationFailsCleanlyOrPlays)
{
    auto doc = Record(2);
    const auto bytes = Saved(*doc);
    for (size_t n = 0; n < bytes.size(); ++n)
        LoadAndPlay(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n)),
                    "cut at " + std::to_string(n));
    for (float v : {3.5f, 2.0f, 1.0f}) {
        const auto old = LegacyFile(v, v >= 3.0f);
        for (size_t n = 0; n < old.size(); ++n)
            LoadAndPlay(std::vector<uint8_t>(old.begin(), old.begin() + static_cast<std::ptrdiff_t>(n)),
                        "legacy cut at " + std::to_string(n));
    }
}

TEST(RpxFileDamaged, AbsurdCountsOffsetsAndOperandsAreRefusedOrIgnored)
{
    auto doc = Record(2);
    const auto good = Saved(*doc);
    const size_t setupAt = 126;
    const uint32_t setupLen = LoadLE32(&good[setupAt + 2]);
    const size_t extraAt = setupAt + 6 + setupLen;
    const size_t pagesAt = extraAt + 4;
    const size_t recordsAt = LoadLE32(&good[11]);
    struct Case {
        std::string what;
        std::vector<uint8_t> bytes;
        bool loads;
    };
    std::vector<Case> cases = {
        {"page count huge", With(good, 116, LE32(0x7FFFFFFF)), false},
        {"page count negative", With(good, 116, LE32(0xFFFFFFFF)), false},
        {"object count huge", With(good, 120, {0xFF, 0xFF}), false},
        {"zero resolution", With(good, 122, {0, 0}), false},
        {"setup length huge", With(good, setupAt + 2, LE32(0x7FFFFFF0)), false},
        {"setup code wrong", With(good, setupAt, {0x63, 0}), false},
        {"extra length huge", With(good, extraAt, LE32(0x7FFFFFF0)), false},
        {"extra length negative", With(good, extraAt, LE32(0x80000000)), true},
        {"page offset outside", With(good, pagesAt + 4, LE32(0x00FFFFFF)), false},
        {"page offset negative", With(good, pagesAt, LE32(0xFFFFFFF0)), false},
        {"version not a number", With(good, 7, LE32(0x7FC00000)), false},
        {"not a report", With(good, 3, LE32(1)), true},
    };
    // Bad record operands, appended as a third page.
    auto withPage = [&](TRecordBytes records) {
        auto b = good;
        const uint32_t at = uint32_t(b.size() - recordsAt);
        const auto add = records.Bytes();
        b.insert(b.end(), add.begin(), add.end());
        // page count 3: the new offset goes after the two present (moving the table down).
        auto count = With(b, 116, LE32(3));
        const auto off = LE32(at);
        count.insert(count.begin() + static_cast<std::ptrdiff_t>(pagesAt + 8), off.begin(), off.end());
        return count;
    };
    cases.push_back({"string count huge", withPage(TRecordBytes().Code(5).Code(21).I16(0).I16(0).I32(0x7FFFFFFF)), true});
    cases.push_back({"string count negative", withPage(TRecordBytes().Code(21).I16(0).I16(0).I32(-5).Code(6)), true});
    cases.push_back({"polygon count huge", withPage(TRecordBytes().Code(43).U8(0).I16(30000).I32(1)), true});
    cases.push_back({"blob huge", withPage(TRecordBytes().Code(32).I16(0).I16(0).I16(1).I32(0x7FFFFFF0)), true});
    cases.push_back({"bitmap blob garbage", withPage(TRecordBytes().Code(38).I16(0).I16(0).I32(4).I32(0x4D42)), true});
    cases.push_back({"object index outside", withPage(TRecordBytes().Code(4).I16(999).Code(4).I16(-1).Code(27).Rect(0, 0, 9, 9).I16(0).I16(0).I32(1).U8('x')), true});
    cases.push_back({"setup record huge", withPage(TRecordBytes().Code(101).I32(0x7FFFFFF0)), true});
    cases.push_back({"rich text huge", withPage(TRecordBytes().Code(40).I32(0).Rect(0, 0, 1, 1).U8(0).I32(0).I32(0).I32(0x7FFFFFF0)), true});
    for (const auto& c : cases) {
        TRpxRpxFile d;
        bool loaded = true;
        try {
            Load(d, c.bytes);
        } catch (const EReadError&) {
            loaded = false;
        }
        EXPECT_EQ(loaded, c.loads) << c.what;
        LoadAndPlay(c.bytes, c.what);
    }
}

TEST(RpxFiler, KeepsOneDocumentAndReportsADamagedOne)
{
    auto doc = Record(1);
    const auto good = Saved(*doc);
    TRpxFiler filer;
    TMemoryStream junk;
    junk.WriteBuffer(std::string(200, 'x').data(), 200);
    junk.SetPosition(0);
    filer.LoadFromStream(junk);
    EXPECT_EQ(filer.Document, nullptr);

    TMemoryStream m;
    m.WriteBuffer(good.data(), int64_t(good.size()));
    m.SetPosition(0);
    filer.LoadFromStream(m);
    ASSERT_NE(filer.Document, nullptr);
    EXPECT_EQ(filer.Document->PageCount(), 1);

    // Not a report: nothing changes.
    junk.SetPosition(0);
    filer.LoadFromStream(junk);
    ASSERT_NE(filer.Document, nullptr);

    // Damaged: reported, and the filer holds none.
    TMemoryStream bad;
    auto cut = With(good, 116, LE32(0x7FFFFFFF));
    bad.WriteBuffer(cut.data(), int64_t(cut.size()));
    bad.SetPosition(0);
    EXPECT_THROW(filer.LoadFromStream(bad), EReadError);
    EXPECT_EQ(filer.Document, nullptr);

    // Letting go keeps the document alive for whoever shares it.
    filer.SetDocument(doc);
    auto shared = filer.Document;
    filer.SetDocument(nullptr);
    EXPECT_EQ(shared->PageCount(), 1);

    TRpxDeviceContext dc;
    TRpxRecordingDevice dev;
    dc.SetTargetDC(&dev);
    doc->SendPage(dc, 5);
    EXPECT_EQ(Texts(dev.Calls), std::vector<std::string>{"P1"});
}

TEST(RpxList, IndexesCrossChunks)
{
    TRpxList l;
    for (int i = 0; i < 2500; ++i) EXPECT_EQ(l.Add(i * 3), i);
    EXPECT_EQ(l.Count(), 2500);
    EXPECT_EQ(l.Get(999), 2997);
    EXPECT_EQ(l.Get(1000), 3000);
    EXPECT_EQ(l.Get(2499), 7497);
    EXPECT_THROW(l.Get(2500), EListError);
    l.Clear();
    EXPECT_EQ(l.Count(), 0);
}
