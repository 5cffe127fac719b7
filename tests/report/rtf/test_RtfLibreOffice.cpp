// Our RTF files opened by another program: LibreOffice converts a writer-made report to PDF
// and poppler reads the text and fonts back.
#include "report/DaxPageSetup.h"
#include "report/rtf/DaxRtf.h"

#include "RtfRows.h"
#include "support/LibreOffice.h"

#include <gtest/gtest.h>

namespace {

void Row(TDaxRtfFile& f, const std::vector<std::pair<TRpxFont, std::string>>& labels, bool newPage = false)
{
    std::vector<mwtest::RtfLabel> row;
    for (const auto& [font, text] : labels) row.push_back({1440 + 2880 * static_cast<int32_t>(row.size()), 0, font, text});
    mwtest::WriteRtfRow(f, row, newPage);
}

}  // namespace

TEST(RtfLibreOffice, ConvertsAMultiPageReportWithTheRightTextsAndWeights)
{
    if (!mwtest::SofficeAvailable()) GTEST_SKIP() << "LibreOffice (soffice) is missing: scripts/setup installs it";
    mwtest::TempDir dir("mw_rtf_lo_");
    const std::string rtf = (dir.path() / "report.rtf").string();
    {
        TDaxRtfFile f(rtf);
        TDaxPageSetup ps;
        ps.SetOrientation(poPortrait);
        ps.SetSize(psLetter);
        f.SetPageSetup(ps);
        TRpxFont plain = RtfDefaultFont();
        plain.Size = 11;
        TRpxFont title = plain;
        title.Bold = true;
        title.Size = 16;
        TRpxFont underlined = plain;
        underlined.Underline = true;
        // A bold label in the default face, then plain text: nothing after it may be bold.
        Row(f, {{title, "Transmission Line Report"}});
        Row(f, {{plain, "Channel 32"}, {plain, "Loss 1.25 dB"}});
        f.BorderBottom = false;
        f.BeginBorder();
        Row(f, {{plain, "Part A"}, {plain, "Rigid line"}}, true);
        Row(f, {{plain, "Part B"}, {plain, "Flexible line"}});
        f.EndBorder();
        f.BorderBottom = true;
        f.BeginBorder();
        Row(f, {{underlined, "Total"}, {plain, "caf\xC3\xA9 5 \xE2\x82\xAC {x} a\\b"}}, true);
        f.EndBorder();
        f.Finish();
    }
    const std::string pdf = mwtest::ConvertWithSoffice(rtf, "pdf").string();
    ASSERT_FALSE(pdf.empty()) << "soffice did not convert " << rtf;

    EXPECT_EQ(mwtest::PdfPageCount(pdf), 3);
    const auto pages = mwtest::PdfPageTexts(pdf);
    ASSERT_EQ(pages.size(), 3u);
    for (const char* t : {"Transmission Line Report", "Channel 32", "Loss 1.25 dB"})
        EXPECT_NE(pages[0].find(t), std::string::npos) << t << " in\n" << pages[0];
    for (const char* t : {"Part A", "Rigid line", "Part B", "Flexible line"})
        EXPECT_NE(pages[1].find(t), std::string::npos) << t << " in\n" << pages[1];
    for (const char* t : {"Total", "caf\xC3\xA9 5 \xE2\x82\xAC {x} a\\b"})
        EXPECT_NE(pages[2].find(t), std::string::npos) << t << " in\n" << pages[2];
    // Labels in one row sit side by side at their tab stops.
    EXPECT_NE(pages[1].find("Part A"), std::string::npos);
    EXPECT_LT(pages[1].find("Part A"), pages[1].find("Rigid line"));

    // The title is bold; nothing after it is (poppler marks bold text with <b>).
    const mwtest::PdfBoldRuns runs(pdf);
    const auto bold = [&](const std::string& text) { return runs.Bold(text); };
    const std::string& xml = runs.Xml();
    EXPECT_EQ(bold("Transmission Line Report"), 1) << xml;
    for (const char* t : {"Channel 32", "Loss 1.25 dB", "Part A", "Rigid line", "Part B", "Flexible line", "Total", "caf"})
        EXPECT_EQ(bold(t), 0) << t << "\n" << xml;
}
