// Printer capabilities and device settings over the fake printer layer.
#include "FakePrinters.h"

#include <gtest/gtest.h>

namespace {

TEST(RpxPrinterTest, NoPrintersOrNoDefaultMeansNothingHappens)
{
    {
        TFakePrinters none(false);
        EXPECT_EQ(PrinterCount(), 0);
        TRpxPrinterSettings s;
        s.SetValueAt(0, 2);
        s.WriteToPrinter();
        s.ReadFromPrinter();
        EXPECT_EQ(s.Values[0], 2);
        TRpxPrinterInfo info;
        EXPECT_TRUE(info.Papers.empty());
    }
    TFakePrinters printers;
    EXPECT_EQ(PrinterCount(), 2);
    printers.backend->defaultPrinter.clear();
    EXPECT_EQ(PrinterCount(), 0);
    TRpxPrinterInfo info;
    info.Lock(false);
    EXPECT_EQ(info.DevMode(), nullptr);
    EXPECT_EQ(PlatformKind(), 2);
}

TEST(RpxPrinterTest, InfoLoadsTheDriverListsOnceAndCopiesThem)
{
    TFakePrinters printers;
    TRpxPrinterInfo info;
    EXPECT_EQ(info.PrinterName, "Laser");
    ASSERT_EQ(info.Papers.size(), 4u);
    EXPECT_EQ(info.Papers[1]->Number, 300);
    EXPECT_EQ(info.Bins.size(), 5u);
    EXPECT_EQ(info.Resolutions[1]->X, 600);
    EXPECT_TRUE(info.CanDuplex);
    EXPECT_EQ(info.TrueTypeCaps, 0);
    // The cached settings hold the printer as first seen.
    EXPECT_EQ(info.Settings.Values[6], 261);
    EXPECT_TRUE(info.Settings.Given[13]);
    // A later change of the driver's lists is not seen: the cache answers.
    printers.Current().Caps.Papers.clear();
    TRpxPrinterInfo again;
    EXPECT_EQ(again.Papers.size(), 4u);
    TRpxPrinterInfo::ClearCache();
    TRpxPrinterInfo fresh;
    EXPECT_TRUE(fresh.Papers.empty());
}

TEST(RpxPrinterTest, PapersAndBinsMatchByNumberThenByWords)
{
    TFakePrinters printers;
    TRpxPrinterInfo info;
    struct Case { const char* what; const void* got; int wantNumber; };
    auto paperNo = [](const TRpxPaper* p) { return p ? p->Number : -1; };
    auto binNo = [](const TRpxBinInfo* b) { return b ? b->Number : -1; };
    const struct { const char* what; int got; int want; } cases[] = {
        {"paper 5 by number", paperNo(info.PaperByNumber(5)), 5},
        {"paper 9 missing by number", paperNo(info.PaperByNumber(9)), -1},
        {"paper 9 by the words of its standard name", paperNo(info.PaperByWords(TRpxPrinterInfo::StandardPaperName(9))), 300},
        {"paper by name, case ignored", paperNo(info.PaperByName("LEGAL")), 5},
        {"paper by name is whole", paperNo(info.PaperByName("A4")), -1},
        {"empty words match nothing", paperNo(info.PaperByWords("  ")), -1},
        {"bin 4 by number", binNo(info.BinByNumberOrName(4)), 4},
        {"bin 7 by the word Auto", binNo(info.BinByNumberOrName(7)), 261},
        {"bin 6 needs Envelope and Manual", binNo(info.BinByNumberOrName(6)), 262},
        {"bin 5 by the word Envelope", binNo(info.BinByNumberOrName(5)), 262},
        {"bin 12 has no standard name", binNo(info.BinByNumberOrName(12)), -1},
        {"bin 11 Large Capacity not there", binNo(info.BinByNumberOrName(11)), -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.got, c.want);
    }
    EXPECT_EQ(TRpxPrinterInfo::StandardPaperName(1), "Letter");
    EXPECT_EQ(TRpxPrinterInfo::StandardPaperName(999), "Letter");
    EXPECT_EQ(TRpxPrinterInfo::StandardPaperName(256), "Custom");
    EXPECT_EQ(TRpxPrinterInfo::StandardBinName(15), "Form Source");
    EXPECT_EQ(TRpxPrinterInfo::StandardBinName(12), "");
}

TEST(RpxPrinterTest, WriteToPrinterPutsOnlyValidValuesIntoTheDeviceMode)
{
    struct Case {
        const char* what;
        std::vector<std::pair<int, int32_t>> values;
        const char* formName;   // nullptr: not given
        uint32_t wantSet;       // bits that must be present
        uint32_t wantClear;     // bits that must be absent
        std::function<void(const TRpxDevMode&)> check;
    };
    const Case cases[] = {
        {"A4 by the words of its standard name", {{1, 9}}, nullptr, DM_PAPERSIZE, DM_FORMNAME,
         [](const TRpxDevMode& d) { EXPECT_EQ(d.PaperSize, 300); }},
        {"a form name chooses the paper and is written", {{1, 1}}, "legal", DM_PAPERSIZE | DM_FORMNAME, 0,
         [](const TRpxDevMode& d) { EXPECT_EQ(d.PaperSize, 5); EXPECT_EQ(d.FormName, "Legal"); }},
        {"an unknown paper falls back to the printer's own form", {{1, 26}}, nullptr, DM_PAPERSIZE, DM_FORMNAME,
         [](const TRpxDevMode& d) { EXPECT_EQ(d.PaperSize, 1); }},
        {"a paper found nowhere leaves no paper fields", {{1, 26}}, "Nothing", 0, DM_PAPERSIZE | DM_FORMNAME, nullptr},
        {"a custom paper carries its lengths", {{1, 256}, {2, 1000}, {3, 800}}, nullptr,
         DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH, 0,
         [](const TRpxDevMode& d) { EXPECT_EQ(d.PaperLength, 1000); EXPECT_EQ(d.PaperWidth, 800); }},
        {"landscape", {{0, 2}}, nullptr, DM_ORIENTATION, 0, [](const TRpxDevMode& d) { EXPECT_EQ(d.Orientation, 2); }},
        {"orientation 3 is never written", {{0, 3}}, nullptr, 0, 0,
         [](const TRpxDevMode& d) { EXPECT_EQ(d.Orientation, 1); }},
        {"quality 300 is never written, -3 is", {{7, 300}}, nullptr, 0, 0,
         [](const TRpxDevMode& d) { EXPECT_EQ(d.PrintQuality, 600); }},
        {"draft quality", {{7, -1}}, nullptr, DM_PRINTQUALITY, 0, [](const TRpxDevMode& d) { EXPECT_EQ(d.PrintQuality, -1); }},
        {"colour 3 is never written", {{8, 3}}, nullptr, 0, 0, [](const TRpxDevMode& d) { EXPECT_EQ(d.Color, 2); }},
        {"bin 6 goes to the driver's own number", {{6, 6}}, nullptr, DM_DEFAULTSOURCE, 0,
         [](const TRpxDevMode& d) { EXPECT_EQ(d.DefaultSource, 262); }},
        {"an unmatched bin leaves the source alone", {{6, 11}}, nullptr, 0, 0,
         [](const TRpxDevMode& d) { EXPECT_EQ(d.DefaultSource, 261); }},
        {"copies, scale, duplex and collate", {{4, 90}, {5, 3}, {9, 2}, {12, 0}}, nullptr,
         DM_SCALE | DM_COPIES | DM_DUPLEX | DM_COLLATE, 0,
         [](const TRpxDevMode& d) { EXPECT_EQ(d.Scale, 90); EXPECT_EQ(d.Copies, 3); EXPECT_EQ(d.Duplex, 2); EXPECT_EQ(d.Collate, 0); }},
        {"TrueType needs driver abilities", {{11, 3}}, nullptr, 0, DM_TTOPTION, nullptr},
        {"the y resolution is not written", {{10, 1200}}, nullptr, 0, 0,
         [](const TRpxDevMode& d) { EXPECT_EQ(d.YResolution, 600); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TFakePrinters printers;
        TRpxPrinterSettings s;
        for (auto [i, v] : c.values) s.SetValueAt(i, v);
        if (c.formName) s.SetFormName(c.formName);
        s.WriteToPrinter();
        const TRpxDevMode& d = printers.Current().Current;
        EXPECT_EQ(d.Fields & c.wantSet, c.wantSet);
        EXPECT_EQ(d.Fields & c.wantClear, 0u);
        if (c.check) c.check(d);
    }
}

TEST(RpxPrinterTest, WriteStartsFromDriverDefaultsAndFallsBackToTheFirstSeenSettings)
{
    TFakePrinters printers;
    TRpxPrinterInfo first;   // caches the printer with colour and bin 261
    printers.Current().Current.Color = 1;   // changed since
    printers.Current().Defaults.Color = 1;
    TRpxPrinterSettings s;
    s.SetValueAt(5, 4);
    s.WriteToPrinter();
    EXPECT_EQ(printers.Current().Current.Copies, 4);
    EXPECT_EQ(printers.Current().Current.Color, 2);   // the value as first seen
    EXPECT_GE(printers.backend->selections, 1);       // refreshed: reselected

    // While printing the device is not refreshed, and the document is reset.
    printers.backend->printing = true;
    s.SetValueAt(0, 2);
    s.WriteToPrinter();
    EXPECT_EQ(printers.backend->resets, 1);
    EXPECT_EQ(printers.backend->lastReset.Orientation, 2);
}

TEST(RpxPrinterTest, TrueTypeGoesToDriversThatReportIt)
{
    auto backend = std::make_shared<TRpxFakePrinterBackend>();
    auto p = LaserPrinter();
    p.Caps.TrueTypeKnown = true;
    p.Caps.TrueType = 3;
    backend->AddPrinter(p);
    SetPrinterBackend(backend);
    TRpxPrinterSettings s;
    s.SetValueAt(11, 4);
    s.WriteToPrinter();
    EXPECT_TRUE(backend->printers[0].Current.Fields & DM_TTOPTION);
    EXPECT_EQ(backend->printers[0].Current.TTOption, 4);
    SetPrinterBackend(nullptr);
}

TEST(RpxPrinterTest, ReadFromPrinterTakesLengthsFromThePaper)
{
    struct Case {
        const char* what;
        uint32_t fields;
        int16_t orientation, paper;
        const char* form;
        int32_t wantLength, wantWidth;
        bool custom;
    };
    const Case cases[] = {
        {"portrait A4", DM_ORIENTATION | DM_PAPERSIZE, 1, 300, "", 2970, 2100, false},
        {"landscape A4", DM_ORIENTATION | DM_PAPERSIZE, 2, 300, "", 2100, 2970, false},
        {"no orientation is portrait", DM_PAPERSIZE, 0, 300, "", 2970, 2100, false},
        {"the form name wins over the number", DM_PAPERSIZE | DM_FORMNAME, 1, 1, "Legal", 3556, 2159, false},
        {"an unknown form keeps the number's paper", DM_PAPERSIZE | DM_FORMNAME, 1, 1, "Nope", 2794, 2159, false},
        {"custom paper from the device", DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH, 1, 256, "", 1234, 567, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TFakePrinters printers;
        TRpxDevMode& d = printers.Current().Current;
        d.Fields = c.fields;
        d.Orientation = c.orientation;
        d.PaperSize = c.paper;
        d.FormName = c.form;
        d.PaperLength = 1234;
        d.PaperWidth = 567;
        TRpxPrinterSettings s;
        s.ReadFromPrinter();
        EXPECT_EQ(s.Values[2], c.wantLength);
        EXPECT_EQ(s.Values[3], c.wantWidth);
        EXPECT_EQ(s.CustomPaper, c.custom);
        EXPECT_EQ(s.Given[0], (c.fields & DM_ORIENTATION) != 0);
        EXPECT_FALSE(s.Given[5]);   // copies were not in the device mode
    }
}

TEST(RpxPrinterTest, AMissingDeviceModeIsRetriedOnce)
{
    TFakePrinters printers;
    TRpxPrinterInfo warm;   // fill the cache first
    printers.backend->missingDevModes = 1;
    TRpxPrinterSettings s;
    s.ReadFromPrinter();
    EXPECT_TRUE(s.Given[1]);
    printers.backend->missingDevModes = 2;
    TRpxPrinterSettings t;
    t.ReadFromPrinter();
    EXPECT_FALSE(t.Given[1]);
    // Settings copy whole, and a bad index is refused.
    TRpxPrinterSettings u;
    u.Assign(s);
    EXPECT_EQ(u.Values, s.Values);
    EXPECT_EQ(u.Given, s.Given);
    EXPECT_THROW(u.SetValueAt(13, 1), ERangeError);
    EXPECT_THROW(u.ValueAt(-1), ERangeError);
}

} // namespace
