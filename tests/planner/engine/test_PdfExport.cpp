#include "SampleDesign.h"
#include "SyntheticPatterns.h"
#include "planner/engine/Exhibits.h"
#include "planner/engine/PDFUnit.h"
#include "planner/engine/PatternPlots.h"
#include "planner/engine/PdfExport.h"
#include "planner/engine/ProjLib.h"
#include "planner/engine/TitleBlock.h"
#include "platform/graphics/RecordingCanvas.h"
#include "platform/runtime/NumText.h"

#include "support/PopplerTools.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>

using namespace mwtest;
namespace fs = std::filesystem;

namespace {

enum class TPage { Azimuth, Elevation, System };

std::set<std::string> Listing(const fs::path& dir)
{
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
    return names;
}

void WriteText(const fs::path& file, const std::string& text)
{
    std::ofstream out(file, std::ios::binary);
    out << text;
}

// A runner that records what it was asked to run, then runs it for real.
struct TRecordingRunner {
    int calls = 0;
    std::string workDir;
    std::vector<std::string> args;
    TProcessRunner Runner()
    {
        return [this](const std::string& program, const std::vector<std::string>& a, const std::string& dir, int timeout) {
            ++calls;
            workDir = dir;
            args = a;
            return RunHiddenProcess(program, a, dir, timeout);
        };
    }
};

class PdfExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseSampleTitleBlock();
        AzimuthPdfText = {"1.96", "2.93", "Horizontal", "Relative Field", "0"};
        ElevationPdfText = {"9.14", "9.61", "7.5", "8.75", "6.3", "0.5", "Relative Field"};
    }
    void TearDown() override
    {
        SelectedAzimuthId = SelectedElevationId = 0;
        ExhibitId = std::string(10, ' ');
        ShowVerticalPattern = false;
    }
    // The page as the wizard hands it over: 800 x 905, the plot drawn by the page first.
    static void DrawPage(TBitmap& image, TPage page)
    {
        image.SetSize(800, 905);
        switch (page) {
        case TPage::Azimuth:
            SelectedAzimuthId = kNorthAzimuthId;
            DrawAzimuthPdfPlot(image);
            DrawAzimuthExhibitPage(image.Canvas());
            break;
        case TPage::Elevation:
            SelectedElevationId = kLinearElevationId;
            DrawElevationPdfPlot(image);
            DrawElevationExhibitPage(image.Canvas());
            break;
        case TPage::System:
            image.Canvas().Brush.Color = clWhite;
            image.Canvas().Brush.Style = bsSolid;
            image.Canvas().FillRect(Rect(0, 0, 800, 905));
            DrawSystemExhibitPage(image.Canvas());
            break;
        }
    }
    static std::vector<std::string> Texts(const TRecordingCanvas& c)
    {
        std::vector<std::string> t;
        for (const auto& r : c.Records())
            if (r.Kind == TDrawKind::TextOut || r.Kind == TDrawKind::TextRect) t.push_back(r.Text);
        return t;
    }
    static bool HasText(const TRecordingCanvas& c, const std::string& text)
    {
        const auto t = Texts(c);
        return std::find(t.begin(), t.end(), text) != t.end();
    }
    TempDir dir;
};

}  // namespace

// --- The pages ---------------------------------------------------------------------------------

TEST_F(PdfExportTest, PagesCarryTheirDataBlockAndTitleBlock)
{
    struct Case {
        const char* name;
        TPage page;
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        {"azimuth", TPage::Azimuth,
         {"Gain:", "1.96", "(2.93 dB)", "Polarization:", "Horizontal", "Channel:", "32", "Rotation Angle:", "0 degrees"}},
        {"elevation", TPage::Elevation,
         {"Directivity:", "Numeric", "dBd", "9.14", "9.61", "7.5", "8.75", "Beam Tilt:", "0.5", "6.3 degrees"}},
        {"system", TPage::System,
         {"Signal Polarization", "Effective Radiated Power (ERP)", "NTSC Peak + 10% Aural", "Efficiency(%):",
          "Antenna Type:", "Company:  Acme Broadcasting"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TBitmap image(800, 905, pf24bit);
        TRecordingCanvas canvas(&image.Canvas());
        if (c.page == TPage::Azimuth) DrawAzimuthExhibitPage(canvas);
        else if (c.page == TPage::Elevation) DrawElevationExhibitPage(canvas);
        else DrawSystemExhibitPage(canvas);
        for (const auto& want : c.texts) EXPECT_TRUE(HasText(canvas, want)) << want;
        EXPECT_TRUE(HasText(canvas, "Exhibit: E-7       "));
        EXPECT_TRUE(HasText(canvas, "BELVOR CORPORATION"));
        // The logo, and on the system page both runs of line, are stretched into their boxes.
        EXPECT_EQ(canvas.Count(TDrawKind::Image), c.page == TPage::System ? 3u : 1u);
        // Everything stays inside (45, 20) - (765, 900).
        for (const auto& r : canvas.Records())
            for (const TPoint& p : r.Points) {
                EXPECT_GE(p.X, 45);
                EXPECT_LE(p.X, 765);
                EXPECT_GE(p.Y, 20);
                EXPECT_LE(p.Y, 900);
            }
    }
}

TEST_F(PdfExportTest, PageVariants)
{
    // No exhibit identifier: no box and no caption on any page.
    ExhibitId = std::string(10, ' ');
    for (TPage page : {TPage::Azimuth, TPage::Elevation, TPage::System}) {
        TRecordingCanvas canvas;
        if (page == TPage::Azimuth) DrawAzimuthExhibitPage(canvas);
        else if (page == TPage::Elevation) DrawElevationExhibitPage(canvas);
        else DrawSystemExhibitPage(canvas);
        for (const auto& t : Texts(canvas)) EXPECT_EQ(t.find("Exhibit:"), std::string::npos) << t;
    }
    // The vertical pattern named on the azimuth page.
    Ant().HAzSuffix = "C3";
    Ant().VAzSuffix = "V7";
    ShowVerticalPattern = true;
    {
        TRecordingCanvas canvas;
        DrawAzimuthExhibitPage(canvas);
        const std::string prefix = Sys().Family != 0 ? "Rux-" : "Zek-";
        EXPECT_TRUE(HasText(canvas, prefix + "V7"));
        EXPECT_FALSE(HasText(canvas, prefix + "C3"));
    }
    // DTV: the average power, no aural note.
    Sys().SetStandard(1);
    {
        TRecordingCanvas canvas;
        DrawSystemExhibitPage(canvas);
        EXPECT_TRUE(HasText(canvas, "DTV Average"));
        for (const auto& t : Texts(canvas)) EXPECT_EQ(t.find("Aural"), std::string::npos) << t;
    }
    // The footer cuts long names one character earlier than the printed exhibit.
    CompanyName = "Northern Lights Broadcasting";
    {
        TRecordingCanvas canvas;
        DrawAzimuthExhibitPage(canvas);
        EXPECT_TRUE(HasText(canvas, "Company: Northern Lights Broa"));
    }
}

// A power or gain of nothing has no level: each of its dB figures is "---" (and no other
// figure is), never the 0 dB that would read as 1 kW or a gain of 1.
TEST_F(PdfExportTest, SystemPagePrintsNoLevelForNothing)
{
    struct Case {
        const char* what;
        float tpo;
        float vSplit;
        size_t dashes;
    };
    const Case cases[] = {
        {"10 kW, both polarizations", 10, 0.4f, 0},
        {"no vertical share: its ERP and its gain", 10, 0, 2},
        {"no power: TPO, both ERPs, antenna input", 0, 0.4f, 4},
        {"neither", 0, 0, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        UseSampleTitleBlock();
        Sys().SetPower(c.tpo);
        TAntObj& ant = Ant();
        ant.Elliptical = 1;
        ant.SetHElevationGain(20);
        ant.SetVElevationGain(18);
        ant.HSplit = 0.6f;
        ant.VSplit = c.vSplit;
        TRecordingCanvas canvas;
        DrawSystemExhibitPage(canvas);
        const auto t = Texts(canvas);
        EXPECT_EQ(static_cast<size_t>(std::count(t.begin(), t.end(), "---")), c.dashes);
    }
}

// --- Files and names ----------------------------------------------------------------------------

TEST(PdfExportNames, BaseNameAndHtmlPage)
{
    struct Case {
        const char* file;
        const char* base;
        const char* src;
    };
    const Case cases[] = {
        {"/out/report.v2.pdf", "report.v2", "~report.v2.gif"},
        {"/a.b/report", "report", "~report.gif"},
        {"/home/x/my report.pdf", "my report", "~my report.gif"},
        {"/x/R&D \"draft\" <1>.pdf", "R&D \"draft\" <1>", "~R&amp;D &quot;draft&quot; &lt;1&gt;.gif"},
        {"/x/50% o'clock.pdf", "50% o'clock", "~50%25 o&#39;clock.gif"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(PdfBaseName(c.file), c.base);
        const std::string html = PdfHtmlText(c.base);
        EXPECT_NE(html.find(std::string("<img src=\"") + c.src + "\" alt=\"image\" border=\"0\">\n"), std::string::npos)
            << html;
    }
    EXPECT_EQ(PdfHtmlText("p"),
              "<html>\n<head>\n  <title>Untitled</title>\n</head>\n\n\n<body bgcolor=\"white\">\n<center>\n"
              "<img src=\"~p.gif\" alt=\"image\" border=\"0\">\n</center>\n</body>\n</html>\n");
}

TEST(PdfExportNames, ConverterFoundInTheProgramFolderFirst)
{
    TempDir dir;
    const std::string onPath = FindHtmlDoc("");
    ASSERT_FALSE(onPath.empty()) << "htmldoc is not installed (scripts/setup)";
    EXPECT_EQ(FindHtmlDoc(dir.path().string()), onPath);
    const fs::path beside = dir.path() / "htmldoc";
    WriteText(beside, "#!/bin/sh\n");
    EXPECT_EQ(FindHtmlDoc(dir.path().string()), onPath) << "a file that cannot run is passed over";
    fs::permissions(beside, fs::perms::owner_exec, fs::perm_options::add);
    EXPECT_EQ(FindHtmlDoc(dir.path().string() + "/"), beside.string());
}

// --- Through the real converter --------------------------------------------------------------------

TEST_F(PdfExportTest, EachExhibitBecomesAOnePagePdfOfItsImage)
{
    const TPage pages[] = {TPage::Azimuth, TPage::Elevation, TPage::System};
    for (TPage page : pages) {
        SCOPED_TRACE(static_cast<int>(page));
        TempDir out;
        // The chosen name has a second dot and a blank; a file named like the old cut at the
        // first dot must stay as it is, the chosen one is replaced.
        const fs::path chosen = out.path() / "my report.v2.pdf";
        const fs::path neighbour = out.path() / "my report.pdf";
        WriteText(chosen, "old pdf");
        WriteText(neighbour, "keep me");
        TBitmap image;
        DrawPage(image, page);
        TRecordingRunner runner;
        TPdfConverter converter = HtmlDocConverter("");
        converter.Run = runner.Runner();
        std::vector<std::string> errors;
        ASSERT_TRUE(MakePdfFile(image, chosen.string(), converter, [&](const std::string& e) { errors.push_back(e); }));
        EXPECT_TRUE(errors.empty());
        EXPECT_EQ(runner.calls, 1);
        EXPECT_EQ(Listing(out.path()), (std::set<std::string>{"my report.v2.pdf", "my report.pdf"}));
        EXPECT_EQ(ReadFileText(neighbour), "keep me");
        EXPECT_FALSE(fs::exists(runner.workDir)) << "temporaries left in " << runner.workDir;
        ASSERT_GE(runner.args.size(), 2u);
        EXPECT_EQ(fs::path(runner.args.back()).filename(), "~my report.v2.html");

        EXPECT_EQ(PdfPageCount(chosen.string()), 1);
        // One image, of the page's size.
        const std::string list = RunCommand("pdfimages -list " + Quoted(chosen.string()) + " 2>/dev/null");
        const std::regex row(R"(^\s*1\s+\d+\s+image\s+(\d+)\s+(\d+)\s)", std::regex::multiline);
        std::smatch m;
        ASSERT_TRUE(std::regex_search(list, m, row)) << list;
        EXPECT_EQ(m[1].str(), "800");
        EXPECT_EQ(m[2].str(), "905");
        EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 3) << list;  // two header lines, one image
        const QImage shown = PdfPageImage(chosen.string(), 1, 40, out.path());
        ASSERT_FALSE(shown.isNull());
        EXPECT_GT(InkPixels(shown, shown.rect()), 1500) << "the page came out blank";
        // MW_KEEP_PDF=<folder> keeps the PDF files for a look.
        if (const char* keep = std::getenv("MW_KEEP_PDF"))
            fs::copy_file(chosen, fs::path(keep) / ("exhibit" + std::to_string(static_cast<int>(page)) + ".pdf"),
                          fs::copy_options::overwrite_existing);
    }
}

// --- Failures --------------------------------------------------------------------------------------

TEST_F(PdfExportTest, FailingConverterLeavesNothingBehind)
{
    struct Case {
        const char* name;
        const char* script;  // body of a shell script standing in for the converter; "" = none
        int timeoutMs;
    };
    // $15 is the PDF the converter is asked to write.
    const Case cases[] = {
        {"exits 1 after a partial PDF", "printf '%%PDF-1.2 partial' > \"${15}\"; exit 1", 60000},
        {"exits 0 without a PDF", "exit 0", 60000},
        {"exits 0 with an empty PDF", ": > \"${15}\"", 60000},
        {"crashes", "printf '%%PDF' > \"${15}\"; kill -SEGV $$", 60000},
        {"runs past the time limit", "printf '%%PDF' > \"${15}\"; exec sleep 30", 300},
        {"cannot be started", nullptr, 60000},
        {"not installed", "", 60000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir tools, out;
        const fs::path chosen = out.path() / "report.pdf";
        WriteText(chosen, "the user's own file");
        TPdfConverter converter;
        converter.TimeoutMs = c.timeoutMs;
        if (!c.script) {
            converter.Program = (tools.path() / "no-such-converter").string();
        } else if (*c.script) {
            const fs::path script = tools.path() / "htmldoc";
            WriteText(script, std::string("#!/bin/sh\n") + c.script + "\n");
            fs::permissions(script, fs::perms::owner_all);
            converter.Program = script.string();
        }
        TRecordingRunner runner;
        converter.Run = runner.Runner();
        TBitmap image;
        DrawPage(image, TPage::System);
        std::vector<std::string> errors;
        EXPECT_FALSE(MakePdfFile(image, chosen.string(), converter, [&](const std::string& e) { errors.push_back(e); }));
        EXPECT_EQ(errors, std::vector<std::string>{kPdfFailedText});
        EXPECT_EQ(Listing(out.path()), std::set<std::string>{"report.pdf"});
        EXPECT_EQ(ReadFileText(chosen), "the user's own file");
        if (runner.calls) {
            EXPECT_FALSE(fs::exists(runner.workDir)) << "temporaries left in " << runner.workDir;
        }
    }
}

TEST_F(PdfExportTest, ImageThatCannotBeWrittenStartsNoConverter)
{
    // 257 colours: more than a GIF holds.
    TBitmap image(257, 1, pf24bit);
    for (int x = 0; x < 257; ++x) image.Canvas().SetPixel(x, 0, RGB(x & 0xFF, x >> 8, 7));
    TRecordingRunner runner;
    TPdfConverter converter = HtmlDocConverter("");
    converter.Run = runner.Runner();
    const fs::path chosen = dir.path() / "report.pdf";
    std::vector<std::string> errors;
    EXPECT_FALSE(MakePdfFile(image, chosen.string(), converter, [&](const std::string& e) { errors.push_back(e); }));
    EXPECT_EQ(errors, std::vector<std::string>{"Unable to create PDF file.\r\rUnable to create image file."});
    EXPECT_EQ(runner.calls, 0);
    EXPECT_TRUE(Listing(dir.path()).empty());
}

TEST(ExhibitPictures, CompiledInWithTheirSizesAndFewColours)
{
    struct Case {
        const char* name;
        int width, height;
    };
    const Case cases[] = {{"REDBELVOR", 540, 168}, {"TLINE_H", 960, 80}, {"TLINE_V", 90, 1050}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TBitmap* b = ExhibitBitmap(c.name);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->Width(), c.width);
        EXPECT_EQ(b->Height(), c.height);
        EXPECT_EQ(ExhibitBitmap(c.name), b) << "read once";
        const QImage img = b->ToImage();
        std::set<QRgb> colours;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) colours.insert(img.pixel(x, y));
        EXPECT_GE(colours.size(), 2u);
        EXPECT_LE(colours.size(), 16u) << "a page drawn with it must stay within a GIF's colours";
    }
    EXPECT_EQ(ExhibitBitmap("NOSUCH"), nullptr);
}
