#include "SampleDesign.h"
#include "SyntheticPatterns.h"
#include "planner/engine/ElevationTable.h"
#include "planner/engine/Exhibits.h"
#include "planner/engine/PatternFiles.h"
#include "planner/engine/PatternPlots.h"
#include "planner/engine/PatternRecord.h"
#include "planner/engine/ProjLib.h"
#include "planner/engine/TitleBlock.h"
#include "planner/engine/UserCanvas.h"
#include "platform/printing/Printers.h"
#include "platform/runtime/NumText.h"
#include "platform/runtime/StrTable.h"

#include "support/PopplerTools.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

using namespace mwtest;

namespace {

std::vector<std::string> Tokens(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> t;
    for (std::string w; in >> w;) t.push_back(w);
    return t;
}

// The words appear one after the other somewhere in the text.
bool HasSequence(const std::string& text, const std::vector<std::string>& seq)
{
    const auto t = Tokens(text);
    for (size_t i = 0; i + seq.size() <= t.size(); ++i) {
        size_t k = 0;
        while (k < seq.size() && t[i + k] == seq[k]) ++k;
        if (k == seq.size()) return true;
    }
    return false;
}

std::string Squeezed(const std::string& text)
{
    std::string out;
    for (const auto& w : Tokens(text)) out += w + " ";
    return out;
}

bool Fuchsia(const QColor& c) { return c.red() > 200 && c.green() < 90 && c.blue() > 200; }
bool Red(const QColor& c) { return c.red() > 220 && c.green() < 60 && c.blue() < 60; }
bool Blue(const QColor& c) { return c.blue() > 200 && c.red() < 80 && c.green() < 80; }

class ExhibitTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseSampleTitleBlock();
        Ant().HElName = "Rux8L2";
        Ant().TiltAngle = 0.5f;
        Ant().BeamWidth = 6.3f;
        Ant().SetHAzimuthGain(1.964f);
        Ant().HAzSuffix = "C3";
        Ant().SetHElevationGain(9.14f);
        Ant().HorizonGain = 7.5f;
        Ant().HorizonGainDb = 8.75f;
        if (const char* keep = std::getenv("MW_KEEP_EXHIBITS")) keep_ = keep;
    }
    void TearDown() override
    {
        SelectedAzimuthId = SelectedElevationId = 0;
        AzimuthRotation = 0;
        BeamTiltIndex = 20;
        ExhibitId = std::string(10, ' ');
        PrintOption = poGraph;
        ExhibitBusyHook = nullptr;
    }
    std::string File(const std::string& name)
    {
        // MW_KEEP_EXHIBITS=<folder> keeps the PDF files for a look.
        return keep_.empty() ? dir.File(name) : keep_ + "/" + name;
    }
    // Page 1 at 50 dpi; the area below the title block (logical y 260 and down).
    QImage Render(const std::string& file) { return PdfPageImage(file, 1, 50, dir.path()); }
    static QRect PlotArea(const QImage& img)
    {
        const bool landscape = img.width() > img.height();
        const double inchesPerUnit = (landscape ? 8.0 : 10.5) / 1050;
        const int top = static_cast<int>(50 * (0.25 + 260 * inchesPerUnit));
        const int bottom = static_cast<int>(50 * (0.25 + 900 * inchesPerUnit));
        return QRect(0, top, img.width(), bottom - top);
    }
    TempDir dir;
    std::string keep_;
};

void ExpectTitleBlock(const std::string& text)
{
    const std::string s = Squeezed(text);
    for (const char* want : {"BELVOR CORPORATION", "Company: Acme Broadcasting", "Author: J. Smith", "Site: Hilltop Ridge",
                             "Proposal Number: P-4711", "Date: 3/15/2024", "Exhibit: E-7"})
        EXPECT_NE(s.find(want), std::string::npos) << want << "\n" << s;
}

}  // namespace

TEST_F(ExhibitTest, PatternGraphsPrintWithHeaderAndPlot)
{
    struct Case {
        const char* name;
        bool azimuth;
        bool db;
        uint8_t mode;
        bool landscape;
        bool (*ink)(const QColor&);
        std::vector<const char*> texts;
    };
    const Case cases[] = {
        {"az-field", true, false, 0, false, Fuchsia, {"Type: Rux-C3", "Gain: 1.96 (2.93 dB)", "Polarization: Horizontal", "Channel: 32"}},
        {"az-db", true, true, 0, false, Red, {"Type: Rux-C3", "-20"}},
        {"el-near-field", false, false, 0, false, Blue, {"Type: Rux8L2", "Main Lobe: 9.14 9.61", "Horizontal: 7.5 8.75", "Beam Tilt: 0.5", "Beam Width: 6.3 degrees"}},
        {"el-full-db", false, true, 3, true, Blue, {"Type: Rux8L2", "-40", "85"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SelectedAzimuthId = FindPatternRecord("RuxC3X", false);
        SelectedElevationId = FindPatternRecord("RU08L2", true);
        ASSERT_NE(SelectedAzimuthId * SelectedElevationId, 0);
        AzimuthPlotInDb = c.db;
        ElevationPlotMode = c.db ? (c.mode == 3 ? 3 : 1) : c.mode;
        PrintOption = poGraph;
        const std::string file = File(std::string(c.name) + ".pdf");
        TPdfPrinter printer(file);
        PrintPatternExhibit(c.azimuth, printer);
        const std::string text = PdfText(file);
        ExpectTitleBlock(text);
        for (const char* want : c.texts) EXPECT_NE(Squeezed(text).find(want), std::string::npos) << want;
        const QImage img = Render(file);
        ASSERT_FALSE(img.isNull());
        EXPECT_EQ(img.width() > img.height(), c.landscape);
        EXPECT_GT(ColouredPixels(img, PlotArea(img), c.ink), 200) << "no trace drawn";
        EXPECT_GT(InkPixels(img, PlotArea(img)), 2000) << "no grid drawn";
    }
}

TEST_F(ExhibitTest, ElevationGraphWithoutFieldAtTheHorizonPrintsDashes)
{
    // Page 3 leaves no level when the pattern has no field toward the horizon.
    SelectedElevationId = kZeroHeadElevationId;
    Ant().HorizonGain = 0.0f;
    Ant().HorizonGainDb = kNoLevel;
    ElevationPlotMode = 0;
    PrintOption = poGraph;
    const std::string file = File("el-no-horizon.pdf");
    {
        TPdfPrinter printer(file);
        PrintPatternExhibit(false, printer);
    }
    const std::string s = Squeezed(PdfText(file));
    EXPECT_NE(s.find("Horizontal: 0 ---"), std::string::npos) << s;
    for (const char* never : {"9999", "-1E", "INF", "NAN"}) EXPECT_EQ(s.find(never), std::string::npos) << never;
}

TEST_F(ExhibitTest, DataTablesPrintEveryValueAndDashesForNone)
{
    // Azimuth: rotated by 90, so the row for 90 degrees holds the stored sample 0.
    SelectedAzimuthId = FindPatternRecord("RuxC3X", false);
    AzimuthRotation = 90;
    PrintOption = poDataTable;
    const std::string raw = LoadStr(SelectedAzimuthId);
    const std::string azFile = File("az-table.pdf");
    {
        TPdfPrinter printer(azFile);
        PrintPatternExhibit(true, printer);
    }
    const std::string az = PdfText(azFile);
    ExpectTitleBlock(az);
    EXPECT_NE(Squeezed(az).find("Type: Rux-C3 Gain: 1.96 (2.93 dB)"), std::string::npos) << Squeezed(az);
    for (int a : {0, 90, 143, 359}) {
        SCOPED_TRACE(a);
        const int s = ((a - 90) % 360 + 360) % 360;
        const double e = std::stoi(raw.substr(6 + 4 * s, 4)) / 1000.0;
        EXPECT_TRUE(HasSequence(az, {std::to_string(a), Trim(FixedWidth(e, 6, 3)), Trim(LevelText(FieldLevelDb(e)))}));
    }

    // Elevation: every one of the 221 points once; those without a value print "---".
    SelectedElevationId = kZeroTailElevationId;
    BeamTiltIndex = 20;
    const std::string elFile = File("el-table.pdf");
    {
        TPdfPrinter printer(elFile);
        PrintPatternExhibit(false, printer);
    }
    const std::string el = PdfText(elFile);
    ExpectTitleBlock(el);
    EXPECT_TRUE(HasSequence(el, {"-5.00", "0.840", "-1.51"}));
    EXPECT_TRUE(HasSequence(el, {"90.00", "0.000", "---"}));
    EXPECT_EQ(el.find("9999"), std::string::npos);
    int angles = 0;
    for (const auto& t : Tokens(el))
        if (t.find('.') == t.size() - 3 && t != "---") ++angles;  // angles and levels have 2 decimals
    EXPECT_GE(angles, 221);
}

TEST_F(ExhibitTest, AnyRecordsTableAtItsOwnRotation)
{
    SelectedAzimuthId = kOmniAzimuthId;
    AzimuthRotation = 30;
    const std::string file = File("null-table.pdf");
    {
        TPdfPrinter printer(file);
        SetUserScale(printer.PageWidth(), printer.PageHeight(), kLogicalPageWidth, kLogicalPageHeight);
        TPrintJob job(printer);
        PrintAzimuthTable(job.Canvas(), kNullAzimuthId, 90);
        job.Finish();
    }
    const std::string t = PdfText(file);
    // The null at 180 degrees turned by 90: "---" at 270, never a logarithm of 0.
    EXPECT_TRUE(HasSequence(t, {"270", "0.000", "---"}));
    EXPECT_TRUE(HasSequence(t, {"180", "1.000", "0.00"}));
    for (const char* never : {"INF", "NAN", "-9999"}) EXPECT_EQ(t.find(never), std::string::npos) << never;
}

TEST_F(ExhibitTest, DiskOptionWritesTheFileAndPrintsNothing)
{
    SelectedAzimuthId = kOmniAzimuthId;
    PrintOption = poDiskFile;
    PatternFileName = dir.File("omni.pat");
    const std::string pdf = dir.File("none.pdf");
    TPdfPrinter printer(pdf);
    PrintPatternExhibit(true, printer);
    EXPECT_FALSE(printer.Printing());
    EXPECT_FALSE(FileExists(pdf));
    EXPECT_EQ(ReadFileText(PatternFileName).substr(0, 16), "0\t 1.000\t  0.00\r");
}

TEST_F(ExhibitTest, SystemSummaryShowsTheChainAndDashesWithoutPower)
{
    Sys().SetPower(10.0f);
    TLine().TotalLoss = 1.0f;
    TLine().LineName = "3 in. air dielectric coax, 50 ohm";
    Sys().ERPH = 123.0f;
    Ant().PartNumber = "Rux8L2-HSC3-32S";
    const std::string file = File("summary.pdf");
    int on = 0, off = 0;
    ExhibitBusyHook = [&](bool busy) { busy ? ++on : ++off; };
    {
        TPdfPrinter printer(file);
        PrintSystemExhibitDocument(printer);
    }
    EXPECT_EQ(on, 1);
    EXPECT_EQ(off, 1);
    const std::string s = Squeezed(PdfText(file));
    ExpectTitleBlock(s);
    for (const char* want : {"Transmitter Power", "10.00", "NTSC Peak + 10% Aural", "Rux8L2-HSC3-32S",
                             "Transmission Line: 3 in. air dielectric coax, 50 ohm", "Vertical: 1000 ft. Horizontal: 100 ft.",
                             "Efficiency(%): 79.4", "123", "7.94", "2.06"})
        EXPECT_NE(s.find(want), std::string::npos) << want << "\n" << s;
    const QImage img = Render(file);
    EXPECT_GT(InkPixels(img, img.rect()), 5000);

    // No transmitter power: the logarithmic figures have no value.
    Sys().SetPower(0.0f);
    const std::string zero = File("summary-zero.pdf");
    {
        TPdfPrinter printer(zero);
        PrintSystemExhibitDocument(printer);
    }
    const std::string z = Squeezed(PdfText(zero));
    EXPECT_NE(z.find("---"), std::string::npos);
    EXPECT_EQ(z.find("-9999"), std::string::npos);
    EXPECT_EQ(z.find("INF"), std::string::npos);
    EXPECT_EQ(z.find("NAN"), std::string::npos);
}

TEST_F(ExhibitTest, ComparisonPageAndFailuresAbortTheDocument)
{
    const std::string file = File("compare.pdf");
    AzimuthPlotInDb = false;
    int drawn = 0;
    {
        TPdfPrinter printer(file);
        PrintComparisonGraph(
            [&](TCanvas& c) {
                ++drawn;
                DrawAzimuthTraceField(c, "RuxC3X", 0, 405, 550, clBlue, 3, true);
            },
            printer);
    }
    EXPECT_EQ(drawn, 1);
    const std::string s = Squeezed(PdfText(file));
    for (const char* want : {"Pattern Type", "Gain", "Legend", "Company:", "BELVOR CORPORATION"})
        EXPECT_NE(s.find(want), std::string::npos) << want;
    EXPECT_GT(ColouredPixels(Render(file), PlotArea(Render(file)), Blue), 200);

    // A failure while the page is drawn aborts the job: no file appears.
    const std::string failed = dir.File("failed.pdf");
    TPdfPrinter printer(failed);
    EXPECT_THROW(PrintComparisonGraph([](TCanvas&) { throw EConvertError("bad"); }, printer), EConvertError);
    EXPECT_FALSE(printer.Printing());
    EXPECT_FALSE(FileExists(failed));
}

TEST(ExhibitNumbers, GeneralFormatWithThreeDigits)
{
    EXPECT_EQ(Gen3(20), "20");
    EXPECT_EQ(Gen3(13.0103), "13");
    EXPECT_EQ(Gen3(0.7525), "0.753");
}

namespace {

// The last word `text` on the page (the footer's, where the page has another above it).
const TPdfWord* LastWord(const std::vector<TPdfWord>& words, const std::string& text)
{
    const TPdfWord* found = nullptr;
    for (const TPdfWord& w : words)
        if (w.text == text && (!found || w.yMin > found->yMin)) found = &w;
    return found;
}

// The right end of the words on `first`'s line from `first` on, up to (not including) x `until`.
double LineEnd(const std::vector<TPdfWord>& words, const TPdfWord& first, double until = 1e9)
{
    double end = first.xMax;
    for (const TPdfWord& w : words)
        if (std::abs((w.yMin + w.yMax) - (first.yMin + first.yMax)) < 4 && w.xMin >= first.xMin && w.xMin < until)
            end = std::max(end, w.xMax);
    return end;
}

}  // namespace

// The longest values the site dialog takes, in wide capitals, with a two-digit day and month:
// every footer text stays in its box, none runs into its neighbour or across the frame.
TEST_F(ExhibitTest, TitleBlockTextsKeepToTheirBoxesForTheLongestValues)
{
    CompanyName = std::string(20, 'W');
    AuthorName = std::string(15, 'W');
    SiteName = std::string(20, 'W');
    ProposalNumber = std::string(20, 'W');
    ProposalDate = EncodeDate(2026, 12, 10);
    ExhibitId = std::string(10, 'W');
    SelectedAzimuthId = FindPatternRecord("RuxC3X", false);
    PrintOption = poGraph;
    const std::string summary = File("longest-summary.pdf"), graph = File("longest-graph.pdf");
    {
        TPdfPrinter printer(summary);
        PrintSystemExhibitDocument(printer);
    }
    {
        TPdfPrinter printer(graph);
        PrintPatternExhibit(true, printer);
    }
    for (const std::string& file : {summary, graph}) {
        SCOPED_TRACE(file);
        const std::vector<TPdfWord> words = PdfWords(file);
        const TPdfWord* company = LastWord(words, "Company:");
        const TPdfWord* date = LastWord(words, "Date:");
        const TPdfWord* site = LastWord(words, "Site:");
        const TPdfWord* author = LastWord(words, "Author:");
        const TPdfWord* proposal = LastWord(words, "Proposal");
        const TPdfWord* exhibit = LastWord(words, "Exhibit:");
        ASSERT_TRUE(company && date && site && author && proposal && exhibit) << PdfText(file);
        // Company and Date start at 410 and 658 of the 800-unit page; the frame is at 765.
        const double unit = (date->xMin - company->xMin) / (658 - 410);
        const double frame = company->xMin + (765 - 410) * unit;
        EXPECT_LE(LineEnd(words, *company, date->xMin), date->xMin);
        EXPECT_LE(LineEnd(words, *date), frame);
        EXPECT_LE(LineEnd(words, *site, author->xMin), author->xMin);
        EXPECT_LE(LineEnd(words, *author), frame);
        EXPECT_LE(LineEnd(words, *proposal), frame);
        EXPECT_LE(LineEnd(words, *exhibit), frame);
        // No text runs into another anywhere on the page.
        for (size_t i = 0; i < words.size(); ++i)
            for (size_t j = i + 1; j < words.size(); ++j) {
                const TPdfWord &a = words[i], &b = words[j];
                // (Lines set close share a little of their boxes' leading: not an overlap.)
                const double lower = std::min(a.yMax - a.yMin, b.yMax - b.yMin);
                const bool rows = std::min(a.yMax, b.yMax) - std::max(a.yMin, b.yMin) > lower / 2;
                const bool columns = std::min(a.xMax, b.xMax) - std::max(a.xMin, b.xMin) > 1;
                EXPECT_FALSE(rows && columns) << a.text << " overlaps " << b.text;
            }
        // Whole, not cut.
        const std::string s = Squeezed(PdfText(file));
        for (const std::string& want : {"Company: " + std::string(20, 'W'), "Site: " + std::string(20, 'W'),
                                       "Author: " + std::string(15, 'W'), std::string("Date: 12/10/2026"),
                                       "Proposal Number: " + std::string(20, 'W'), "Exhibit: " + std::string(10, 'W')})
            EXPECT_NE(s.find(want), std::string::npos) << want << "\n" << s;
    }
}

// The summary's " Transmitter Power " caption stands 45 units above its "kW:" row, and the
// printed polar graph's ring labels have the angle labels' size (spacing div 2).
TEST_F(ExhibitTest, PrintedCaptionAndRingLabelsWhereAndAsLargeAsDrawn)
{
    Sys().SetPower(10.0f);
    const std::string summary = File("caption.pdf"), graph = File("rings.pdf");
    {
        TPdfPrinter printer(summary);
        PrintSystemExhibitDocument(printer);
    }
    {
        const std::vector<TPdfWord> words = PdfWords(summary);
        const TPdfWord* caption = LastWord(words, "Transmitter");
        ASSERT_NE(caption, nullptr);
        const TPdfWord* kw = nullptr;  // the first "kW:" below the caption, in its box
        for (const TPdfWord& w : words)
            if (w.text == "kW:" && w.yMin > caption->yMin && w.xMin < caption->xMax && (!kw || w.yMin < kw->yMin)) kw = &w;
        ASSERT_NE(kw, nullptr);
        // The site labels "Company:" and "Channel:" are centred on 195 and 223.
        const TPdfWord* company = nullptr;
        const TPdfWord* channel = nullptr;
        for (const TPdfWord& w : words) {
            if (w.text == "Company:" && !company) company = &w;
            if (w.text == "Channel:" && !channel) channel = &w;
        }
        ASSERT_TRUE(company && channel);
        const double unit = ((channel->yMin + channel->yMax) - (company->yMin + company->yMax)) / 2 / 28;
        const double apart = ((kw->yMin + kw->yMax) - (caption->yMin + caption->yMax)) / 2 / unit;
        EXPECT_NEAR(apart, 670 - 625, 3);
    }

    SelectedAzimuthId = FindPatternRecord("RuxC3X", false);
    AzimuthPlotInDb = false;
    PrintOption = poGraph;
    {
        TPdfPrinter printer(graph);
        PrintPatternExhibit(true, printer);
    }
    const std::vector<TPdfWord> words = PdfWords(graph);
    const TPdfWord* angle = LastWord(words, "120");
    const TPdfWord* ring = LastWord(words, "0.5");
    ASSERT_TRUE(angle && ring) << PdfText(graph);
    EXPECT_NEAR(ring->yMax - ring->yMin, angle->yMax - angle->yMin, 0.5);
}
