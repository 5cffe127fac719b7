// Our RTF files opened by another program: LibreOffice converts a writer-made report to PDF
// and poppler reads the text and fonts back.
#include "report/DaxPageSetup.h"
#include "report/rtf/DaxRtf.h"

#include "RtfRows.h"
#include "support/PopplerTools.h"

#include <gtest/gtest.h>

#include <random>

namespace {

void Row(TDaxRtfFile& f, const std::vector<std::pair<TRpxFont, std::string>>& labels, bool newPage = false)
{
    std::vector<mwtest::RtfLabel> row;
    for (const auto& [font, text] : labels) row.push_back({1440 + 2880 * static_cast<int32_t>(row.size()), 0, font, text});
    mwtest::WriteRtfRow(f, row, newPage);
}

std::vector<std::string> Pages(const std::string& text)
{
    std::vector<std::string> pages(1);
    for (char c : text) {
        if (c == '\f') pages.emplace_back();
        else pages.back() += c;
    }
    if (pages.back().find_first_not_of(" \n") == std::string::npos) pages.pop_back();
    return pages;
}

}  // namespace

TEST(RtfLibreOffice, ConvertsAMultiPageReportWithTheRightTextsAndWeights)
{
    ASSERT_EQ(mwtest::RunCommand("command -v soffice >/dev/null && echo yes"), "yes\n")
        << "LibreOffice (soffice) is missing: scripts/setup installs it";
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
    std::random_device rd;
    const std::string profile = "/tmp/mw-soffice-profile-" + std::to_string(rd());
    int status = 0;
    mwtest::RunCommand("cd " + mwtest::Quoted(dir.path().string()) +
                           " && soffice --headless --norestore -env:UserInstallation=file://" + profile +
                           " --convert-to pdf --outdir . report.rtf >/dev/null 2>&1",
                       &status);
    std::filesystem::remove_all(profile);
    const std::string pdf = (dir.path() / "report.pdf").string();
    ASSERT_EQ(status, 0);
    ASSERT_TRUE(std::filesystem::exists(pdf));

    EXPECT_EQ(mwtest::PdfPageCount(pdf), 3);
    const auto pages = Pages(mwtest::RunCommand("pdftotext -layout " + mwtest::Quoted(pdf) + " - 2>/dev/null"));
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
    const std::string xml = mwtest::RunCommand("pdftohtml -xml -stdout -i " + mwtest::Quoted(pdf) + " 2>/dev/null");
    const auto bold = [&](const std::string& text) {
        for (size_t at = xml.find("<text "); at != std::string::npos; at = xml.find("<text ", at + 1)) {
            const size_t open = xml.find('>', at) + 1, close = xml.find("</text>", open);
            const std::string inner = xml.substr(open, close - open);
            std::string plain;
            for (size_t i = 0; i < inner.size(); ++i) {
                if (inner[i] == '<') i = inner.find('>', i);
                else plain += inner[i];
            }
            if (plain.find(text) != std::string::npos) return inner.find("<b>") != std::string::npos ? 1 : 0;
        }
        return -1;   // not found
    };
    EXPECT_EQ(bold("Transmission Line Report"), 1) << xml;
    for (const char* t : {"Channel 32", "Loss 1.25 dB", "Part A", "Rigid line", "Part B", "Flexible line", "Total", "caf"})
        EXPECT_EQ(bold(t), 0) << t << "\n" << xml;
}
