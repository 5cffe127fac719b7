// Reports run to RTF: what the file holds for small reports, byte for byte where it matters.
#include "ReportFixture.h"

#include "report/rtf/RtfRows.h"
#include "support/TestFiles.h"

#include <filesystem>

namespace {

// The fixture's report (page header "Title", a detail label per row, page footer "End"),
// run to an RTF file in a folder of its own.
class RtfReportTest : public ReportFixture {
protected:
    RtfReportTest()
    {
        page.OutputType = otRichText;
        page.RtfFile = Path();
    }

    std::string Path() const { return (dir.path() / "report.rtf").string(); }

    std::string Run()
    {
        report.Run();
        EXPECT_FALSE(report.Running);
        return mwtest::ReadFileText(Path());
    }
    std::string RunBody() { return mwtest::RtfBodyOf(Run()); }

    static void ExpectBalanced(const std::string& rtf)
    {
        bool neverNegative = false;
        EXPECT_EQ(mwtest::RtfBraceBalance(rtf, neverNegative), 0) << rtf;
        EXPECT_TRUE(neverNegative) << rtf;
    }

    mwtest::TempDir dir{"mw_rtf_report_"};
};

// The opening reset, then per label row: "\pard\plain \f1\fs16 ", the tab stops, the label's
// font group, the tab and the text; a row in the same font as the one before closes its group
// first.
constexpr const char* kOpen = "\\pard\\plain \\f1\\fs16 ";
constexpr const char* kArial10 = "{\\f1\\fs20\\b0\\i0\\ul0 ";

std::string Row(const std::string& stops, const std::string& text, bool closePrevious = true)
{
    return std::string(closePrevious ? "}" : "") + kOpen + stops + kArial10 + "\\tab " + text + "\\par ";
}

}  // namespace

TEST_F(RtfReportTest, SmallReportGivesItsRowsInBandOrder)
{
    Rows(2);
    const std::string file = Run();
    // One font (the labels' Arial reuses the default entry), paper and margins of the page.
    EXPECT_EQ(file.rfind("{\\rtf1\\ansi {\\fonttbl{\\f1\\fnil\\fcharset0\\fprq0 Arial;}}", 0), 0u) << file;
    EXPECT_NE(file.find("\\margl720\\margr720\\margt720\\margb720 \\pard"), std::string::npos) << file;
    // Page header, two detail rows, the empty report footer, the page footer.
    EXPECT_EQ(mwtest::RtfBodyOf(file), std::string(kOpen) + Row("\\tx1 ", "Title", false) + Row("\\tx1 ", "r0") +
                                           Row("\\tx1 ", "r1") + "}" + kOpen + "\\par " +
                                           Row("\\tx1 ", "End", false) + "}}");
    ExpectBalanced(file);
}

TEST_F(RtfReportTest, RunShowsTheStatusWindowAndReportsEveryRecordInOnePass)
{
    Rows(3);
    int passes = 0;
    report.OnBeforePrint = [&](TDaxReport&) { ++passes; };
    page.TwoPass = true;
    Run();
    EXPECT_EQ(passes, 1);
    const std::vector<std::string> expected = {"status shown",    "status window 0", "status window 4", "status window 4",
                                               "status window 4", "status window 4", "status window 1"};
    EXPECT_EQ(trace, expected);
    EXPECT_EQ(report.Output(), nullptr);
}

TEST_F(RtfReportTest, BlankFileNameWritesRpxRtfInTheCurrentFolder)
{
    Rows(1);
    page.RtfFile = "   ";
    const auto saved = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    report.Run();
    std::filesystem::current_path(saved);
    EXPECT_NE(mwtest::ReadFileText(dir.path() / "RpxRtf.rtf").find("\\tab r0\\par "), std::string::npos);
}

TEST_F(RtfReportTest, TabStopsFollowAnchorsAndRows)
{
    Rows(1);
    // Made right-most first: the row is ordered by anchor, not by left edge or creation.
    auto& right = Text(*page.Detail, "Right", "R", 0, 0, 192);      // anchor 192: 2880 twips
    right.AlignHorizontal = laRight;
    auto& centre = Text(*page.Detail, "Centre", "C", 96, 0, 64);    // anchor 128: 1920 twips
    centre.AlignHorizontal = laCenter;
    auto& second = Text(*page.Detail, "Second", "S", 48, 0);        // row 1 at 720 twips
    second.Row = 1;
    const std::string body = RunBody();
    EXPECT_NE(body.find(Row("\\tx1 \\tqc\\tx1920 \\tqr\\tx2880 ", "r0\\tab C\\tab R")), std::string::npos)
        << body;
    EXPECT_NE(body.find(std::string(kOpen) + "\\tx720 " + kArial10 + "\\tab S\\par "), std::string::npos) << body;
}

TEST_F(RtfReportTest, MemoLabelWritesALinePerRowAtItsTextPosition)
{
    Rows(0);
    auto& memo = Text(*page.PageHead, "Memo", "one\ntwo\nthree", 94, 0, 200);
    memo.SetWrapText(true);
    auto& beside = Text(*page.PageHead, "Beside", "B", 300, 0);
    beside.Row = 1;
    const std::string body = RunBody();
    // Left + 1 + border margin: 97 pixels are 1455 twips (the label's left edge would be 1410).
    EXPECT_NE(body.find("\\tx1 \\tx1455 " + std::string(kArial10) + "\\tab Title\\tab one\\par "), std::string::npos)
        << body;
    EXPECT_NE(body.find(Row("\\tx1455 \\tx4500 ", "two\\tab B")), std::string::npos) << body;
    EXPECT_NE(body.find(Row("\\tx1455 ", "three")), std::string::npos) << body;
    EXPECT_EQ(body.find("\\tab one\\tab"), std::string::npos) << body;
}

TEST_F(RtfReportTest, LabelsLeftOutOfRtfAreNotWritten)
{
    Rows(1);
    Text(*page.Detail, "Hidden", "secret", 100, 0).RtfPrint = false;
    auto& line = Label<TDaxLine>(*page.Detail, "Rule", 0, 10, 200, 2);
    (void)line;
    Label<TDaxCheckLabel>(*page.Detail, "Check", 300, 0, 12, 12);
    Label<TDaxTotalvarLabel>(*page.Detail, "NoTotal", 400, 0, 50, 17).RtfPrint = false;
    const std::string body = RunBody();
    EXPECT_EQ(body.find("secret"), std::string::npos) << body;
    for (const char* stop : {"\\tx1500", "\\tx4500", "\\tx6000", "\\tqr"}) EXPECT_EQ(body.find(stop), std::string::npos) << stop;
    EXPECT_NE(body.find(Row("\\tx1 ", "r0")), std::string::npos) << body;
}

TEST_F(RtfReportTest, BoxedAndUnderlinedBandsAndNewPages)
{
    Rows(2);
    page.PageHead->BorderType = btSingle;
    page.Detail->BorderType = btUnderLine;
    page.Detail->NewPage = true;
    auto& second = Text(*page.Detail, "Second", "x", 100, 0);
    second.Row = 1;
    const std::string body = RunBody();
    // The boxed header row and the empty paragraph that closes the box.
    EXPECT_NE(body.find("\\pard\\plain \\box\\brdrs \\f1\\fs16 \\tx1 " + std::string(kArial10) + "\\tab Title\\par }" +
                        kOpen + "\\par "),
              std::string::npos)
        << body;
    // A detail record after the first starts a page (the page header alone leaves the page
    // empty), on its first row only; both rows sit over a bottom border and nothing closes them.
    const std::string record = "\\pard\\plain %\\brdrb\\brdrs \\f1\\fs16 \\tx1 " + std::string(kArial10) +
                               "\\tab r%\\par }\\pard\\plain \\brdrb\\brdrs \\f1\\fs16 \\tx1500 " + kArial10 +
                               "\\tab x\\par }";
    for (const char* r : {"0", "1"}) {
        std::string want = record;
        want.replace(want.find('%'), 1, *r == '0' ? "" : "\\page ");
        want.replace(want.find('%'), 1, r);
        EXPECT_NE(body.find(want), std::string::npos) << r << "\n" << body;
    }
    size_t pages = 0;
    for (size_t at = body.find("\\page "); at != std::string::npos; at = body.find("\\page ", at + 1)) ++pages;
    EXPECT_EQ(pages, 1u);
}

TEST_F(RtfReportTest, FirstBandOfTheDocumentStartsNoPage)
{
    Rows(1);
    page.PageHead->NewPage = true;
    EXPECT_EQ(RunBody().find("\\page"), std::string::npos);
}

TEST_F(RtfReportTest, BoldAndUnderlineDoNotRunOnAndTextIsEscaped)
{
    Rows(1);
    auto& title = *static_cast<TDaxTextLabel*>(page.PageHead->Labels().front());
    title.Caption = "Loss {dB} \\ caf\xC3\xA9";
    title.Font.Bold = true;
    title.Font.Underline = true;
    const std::string body = RunBody();
    // The tab is in the bold face without underline; the text underlined; the next paragraph
    // starts after the group has closed.
    EXPECT_EQ(body.substr(0, body.find("r0")),
              std::string(kOpen) + kOpen + "\\tx1 {\\f1\\fs20\\b\\i0\\ul0 \\tab }{\\f1\\fs20\\b\\i0\\ul " +
                  "Loss \\{dB\\} \\\\ caf\\'e9\\par }" + kOpen + "\\tx1 " + kArial10 + "\\tab ");
}

TEST_F(RtfReportTest, PaperSizeOrientationAndMargins)
{
    Rows(1);
    page.PageSetup.SetSize(psCustom);
    page.PageSetup.SetWidth(8);
    page.PageSetup.SetHeight(5);
    page.PageSetup.SetLeftMargin(0);
    page.PageSetup.SetOrientation(poLandscape);
    const std::string file = Run();
    EXPECT_NE(file.find("}}\\paperw11520\\paperh7200\\psz256\\margl0\\margr720\\margt720\\margb720\\landscape \\pard"),
              std::string::npos)
        << file;
    // The page setup keeps the units it had before the run.
    EXPECT_EQ(page.PageSetup.Units(), unitInches);
}

TEST_F(RtfReportTest, PageSetupInOtherUnitsIsWrittenInTwips)
{
    Rows(1);
    page.PageSetup.SetUnits(unitMiliMeters);
    page.PageSetup.SetLeftMargin(25.4);
    const std::string file = Run();
    EXPECT_NE(file.find("\\margl1440\\margr720"), std::string::npos) << file;
    EXPECT_EQ(page.PageSetup.Units(), unitMiliMeters);
}

TEST_F(RtfReportTest, LabelThatNeverReachesItsRowEndsTheBand)
{
    Rows(2);
    Text(*page.Detail, "Nowhere", "lost", 100, 0).Row = -1;
    // A memo label that stops printing after its first line.
    auto& memo = Text(*page.Detail, "Memo", "a\nb\nc", 200, 0);
    memo.SetWrapText(true);
    int asked = 0;
    memo.LabelPrintWhen = [&](TDaxLabel&, bool& result) { result = ++asked <= 3; };
    const std::string file = Run();
    EXPECT_EQ(file.find("lost"), std::string::npos);
    EXPECT_NE(file.find("\\tab r1\\par "), std::string::npos) << file;
    ExpectBalanced(file);
}

TEST_F(RtfReportTest, StoppedRunWritesWhatWasGenerated)
{
    Rows(5);
    report.SuppressStatus = true;
    int generating = 0;
    page.OnUpdateStatus = [&](TDaxReportPage& p, TDaxStatus s) {
        if (s == 4 && ++generating == 3) {
            p.Stopped = true;
            report.AbortRequested = true;
        }
    };
    const std::string file = Run();
    EXPECT_NE(file.find("\\tab r0\\par "), std::string::npos) << file;
    EXPECT_NE(file.find("\\tab r1\\par "), std::string::npos) << file;
    EXPECT_EQ(file.find("r2"), std::string::npos) << file;
    EXPECT_EQ(file.find("End"), std::string::npos) << file;   // no footers after a stop
    ExpectBalanced(file);
}

TEST_F(RtfReportTest, FileThatCannotBeCreatedEndsTheRunWithAnError)
{
    CaughtErrors errors;
    Rows(1);
    page.RtfFile = (dir.path() / "missing" / "report.rtf").string();
    report.Run();
    EXPECT_FALSE(report.Running);
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_NE(errors.messages[0].find("report.rtf"), std::string::npos) << errors.messages[0];
    EXPECT_FALSE(std::filesystem::exists(page.RtfFile));
}

TEST_F(RtfReportTest, ExistingFileIsReplacedWhole)
{
    ASSERT_TRUE(mwtest::WriteFileText(Path(), std::string(100000, 'x')));
    Rows(1);
    const std::string file = Run();
    EXPECT_EQ(file.rfind("{\\rtf1", 0), 0u);
    EXPECT_EQ(file.find("xx"), std::string::npos);
    ExpectBalanced(file);
}

TEST_F(RtfReportTest, BandEventsSetTheTextsTheRowsWrite)
{
    Rows(2);
    auto& note = Text(*page.Detail, "Note", "", 200, 0);
    std::vector<std::string> events;
    page.Detail->OnBeforePrint = [&](TDaxBand&) {
        note.Caption = "note " + std::to_string(row);
        events.push_back("band before");
    };
    page.Detail->OnAfterPrint = [&](TDaxBand&) { events.push_back("band after"); };
    note.OnAfterPrint = [&](TDaxLabel&) { events.push_back("label after"); };
    const std::string body = RunBody();
    EXPECT_NE(body.find("\\tab r0\\tab note 0\\par "), std::string::npos) << body;
    EXPECT_NE(body.find("\\tab r1\\tab note 1\\par "), std::string::npos) << body;
    const std::vector<std::string> once = {"band before", "label after", "band after"};
    std::vector<std::string> twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_EQ(events, twice);
}

TEST_F(RtfReportTest, FileThatCannotBeWrittenAtTheEndIsReportedAndTheRunEnds)
{
    CaughtErrors errors;
    Rows(2);
    const auto folder = dir.path() / "gone";
    std::filesystem::create_directories(folder);
    page.RtfFile = (folder / "report.rtf").string();
    // The folder goes away while the run ends, before the document is written.
    page.OnDataFinish = [&](TDaxReportPage&) { std::filesystem::remove_all(folder); };
    report.Run();
    EXPECT_FALSE(report.Running);
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_NE(errors.messages[0].find("report.rtf"), std::string::npos) << errors.messages[0];
    EXPECT_FALSE(std::filesystem::exists(page.RtfFile));
}
