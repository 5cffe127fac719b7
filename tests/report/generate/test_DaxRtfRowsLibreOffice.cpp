// A generated report run to RTF and opened by another program: LibreOffice converts it to PDF
// and poppler reads back the pages, their texts and which of them are bold.
#include "report/generate/DaxBuilder.h"

#include "support/LibreOffice.h"

#include <gtest/gtest.h>

using namespace DaxBuild;

namespace {

struct Line {
    const char* Section;
    const char* Part;
    double Loss;
    const char* Note;
};

// Three sections of a line run, each its own page, with a loss total per section and for the
// whole run.
const Line kLines[] = {
    {"Section A", "HJ9-50", 1.25, "Rigid coaxial line with a pressurised dielectric, flanged at both ends"},
    {"Section A", "HJ8-50", 2.50, "Elbow"},
    {"Section A", "HJ7-50", 0.75, "Gas barrier"},
    {"Section B", "WR1150", 1.00, "Waveguide run"},
    {"Section B", "WR975", 1.10, "Flexible section"},
    {"Section B", "WR770", 1.20, "Transition"},
    {"Section C", "LDF5", 0.50, "Jumper"},
    {"Section C", "LDF4", 0.25, "Connector pair"},
    {"Section C", "LDF2", 0.25, "Surge arrester"},
};
constexpr int kLineCount = sizeof kLines / sizeof kLines[0];

class RtfReportLibreOffice : public ::testing::Test {
protected:
    RtfReportLibreOffice() : page(Page(report, "ReportPage"))
    {
        DefaultBands(page, 20);
        report.Prompt = false;
        report.SuppressStatus = true;
        page.OutputType = otRichText;
        page.RtfFile = (dir.path() / "lines.rtf").string();
        page.PageSetup.SetSize(psLetter);
        page.PageSetup.SetOrientation(poPortrait);

        const auto field = [this](const char* name, TDaxDataTypes type, auto set) -> TDaxExprVar& {
            auto& v = ExprVar(page, name, type);
            v.OnGetData = [this, set](TDaxVar& var) { set(var, kLines[std::clamp(row, 0, kLineCount - 1)]); };
            return v;
        };
        auto& section = field("Section", dtypeString, [](TDaxVar& v, const Line& l) { v.SetAsString(l.Section); });
        auto& part = field("Part", dtypeString, [](TDaxVar& v, const Line& l) { v.SetAsString(l.Part); });
        auto& loss = field("Loss", dtypeFloat, [](TDaxVar& v, const Line& l) { v.SetAsFloat(l.Loss); });
        auto& note = field("Note", dtypeString, [](TDaxVar& v, const Line& l) { v.SetAsString(l.Note); });
        page.OnDataStart = [this](TDaxReportPage& p) {
            row = 0;
            p.DataFinished = false;
        };
        page.OnDataSkip = [this](TDaxReportPage& p) {
            if (++row >= kLineCount) p.DataFinished = true;
        };

        Bold(Text(*page.PageHead, "Title", "Transmission Line Report", 0, 0, 400), 14);
        auto& group = Group(page, "Run", &section, 20, 20);
        group.Header->NewPage = true;
        Bold(VarLabel(*group.Header, "SectionName", section, 0, 0, 200), 11);
        VarLabel(*page.Detail, "PartNumber", part, 0, 0, 100);
        auto& lossLabel = VarLabel(*page.Detail, "PartLoss", loss, 120, 0, 80);
        lossLabel.AlignHorizontal = laRight;
        auto& memo = VarLabel(*page.Detail, "PartNote", note, 240, 0, 180);
        memo.SetWrapText(true);

        auto& total = Total(page, "LossTotal", loss);
        Text(*group.Footer, "SectionTotalCaption", "Section loss dB", 0, 0, 110);
        Sum(*group.Footer, "SectionTotal", total, 120);
        Text(*page.Foot, "RunTotalCaption", "Run loss dB", 0, 0, 110);
        Sum(*page.Foot, "RunTotal", total, 120).SetLevel(page.Foot->Updatelevel);
        Text(*page.PageFoot, "Prepared", "Prepared with Mastwise", 0, 0, 300);
    }

    static void Bold(TDaxLabel& l, int size)
    {
        l.Font.Bold = true;
        l.Font.Size = size;
    }

    static TDaxTotalvarLabel& Sum(TDaxBand& band, const std::string& name, TDaxTotalvar& total, int left)
    {
        auto& l = Label<TDaxTotalvarLabel>(band, name, left, 0, 80, 17);
        l.SetTotalVariable(&total);
        l.AutoLevel = band.Updatelevel == nullptr;
        if (band.Updatelevel) l.SetLevel(band.Updatelevel);
        return l;
    }

    TDaxReport report;
    TDaxReportPage& page;
    mwtest::TempDir dir{"mw_rtf_report_lo_"};
    int row = -1;
};

}  // namespace

TEST_F(RtfReportLibreOffice, GroupsTotalsAndMemoReachThePdfWithTheirWeights)
{
    if (!mwtest::SofficeAvailable()) GTEST_SKIP() << "LibreOffice (soffice) is missing: scripts/setup installs it";
    report.Run();
    ASSERT_FALSE(report.Running);
    const std::filesystem::path pdf = mwtest::ConvertWithSoffice(page.RtfFile, "pdf");
    ASSERT_FALSE(pdf.empty()) << "soffice did not convert " << page.RtfFile << ":\n"
                              << mwtest::ReadFileText(page.RtfFile);

    // Each section starts a page of its own.
    const auto pages = mwtest::PdfPageTexts(pdf);
    ASSERT_EQ(pages.size(), 3u) << mwtest::ReadFileText(page.RtfFile);
    struct Expect {
        int Page;
        std::vector<const char*> Texts;
    } expected[] = {
        {0, {"Transmission Line Report", "Section A", "HJ9-50", "1.25", "HJ8-50", "2.5 ", "HJ7-50", "0.75", "Rigid coaxial",
             "both ends", "Elbow", "Gas barrier", "Section loss dB", "4.50"}},
        {1, {"Section B", "WR1150", "1 ", "WR975", "1.1 ", "WR770", "1.2 ", "Waveguide run", "Transition", "3.30"}},
        {2, {"Section C", "LDF5", "0.5 ", "LDF4", "0.25", "LDF2", "Surge arrester", "1.00", "Run loss dB", "8.80",
             "Prepared with Mastwise"}},
    };
    for (const auto& e : expected)
        for (const char* t : e.Texts)
            EXPECT_NE(pages[static_cast<size_t>(e.Page)].find(t), std::string::npos) << t << " on page " << e.Page + 1 << ":\n"
                                                                                    << pages[static_cast<size_t>(e.Page)];
    // Labels of one row sit side by side in their order; the memo wraps onto lines of its own.
    const std::string& first = pages[0];
    EXPECT_LT(first.find("HJ9-50"), first.find("1.25"));
    EXPECT_LT(first.find("1.25"), first.find("Rigid coaxial"));
    const size_t memo = first.find("Rigid coaxial"), memoEnd = first.find("both ends");
    ASSERT_LT(memo, memoEnd);
    EXPECT_NE(first.substr(memo, memoEnd - memo).find('\n'), std::string::npos) << first;

    // Texts stand where their labels are: the left margin is half an inch (36 points), a
    // design pixel is 3/4 point.
    const auto words = mwtest::PdfWords(pdf);
    const auto word = [&](const std::string& text) {
        for (const auto& w : words)
            if (w.text == text) return w;
        ADD_FAILURE() << text << " is not on page 1";
        return mwtest::TPdfWord{};
    };
    EXPECT_NEAR(word("Transmission").xMin, 36, 1.5);
    EXPECT_NEAR(word("HJ9-50").xMin, 36, 1.5);
    EXPECT_NEAR(word("1.25").xMax, 36 + 200 * 0.75, 1.5);                // right-aligned at its right edge
    EXPECT_NEAR(word("Rigid").xMin, 36 + (240 + 1 + 2) * 0.75, 1.5);     // the memo inside its border margin
    EXPECT_NEAR(word("pressurised").xMin, word("Rigid").xMin, 0.5);

    // Only the title and the section names are bold.
    const mwtest::PdfBoldRuns runs(pdf);
    for (const char* t : {"Transmission Line Report", "Section A", "Section B", "Section C"}) EXPECT_EQ(runs.Bold(t), 1) << t << "\n" << runs.Xml();
    for (const char* t : {"HJ9-50", "1.25", "Rigid coaxial", "Elbow", "Section loss dB", "4.50", "WR770", "LDF2", "Run loss dB",
                          "8.80", "Prepared with Mastwise"})
        EXPECT_EQ(runs.Bold(t), 0) << t << "\n" << runs.Xml();
}
