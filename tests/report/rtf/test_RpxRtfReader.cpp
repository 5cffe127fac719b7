#include "report/rtf/RpxRtfReader.h"

#include "report/DaxPageSetup.h"
#include "report/rtf/DaxRtf.h"

#include "platform/runtime/SysUtils.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace {

std::string Texts(const TRtfDocument& d)
{
    std::string s;
    for (const auto& p : d.Paragraphs) s += "[" + p.Text() + "]";
    return s;
}

const TRtfRun* RunWith(const TRtfDocument& d, const std::string& text)
{
    for (const auto& p : d.Paragraphs)
        for (const auto& r : p.Runs)
            if (r.Text.find(text) != std::string::npos) return &r;
    return nullptr;
}

// A small report written by our writer: a boxed heading row with two tab stops, an
// underlined row on a new page, escapes, A4 landscape.
std::string WriterDocument(const std::string& path)
{
    TDaxRtfFile f(path);
    TDaxPageSetup ps;
    ps.SetOrientation(poLandscape);
    ps.SetSize(psA4);
    ps.SetLeftMargin(1);
    f.SetPageSetup(ps);
    TRpxFont heading;
    heading.Name = "Times New Roman";
    heading.Size = 14;
    heading.Bold = true;
    heading.PitchAndFamily = 18;
    TRpxFont body = RtfDefaultFont();
    body.Underline = true;

    f.BorderBottom = false;
    f.BeginBorder();
    f.StartParagraph();
    f.AddTabStop(1440, 0);
    f.AddTabStop(4320, 1);
    f.AddTabStop(8640, 2);
    f.SelectFont(heading);
    f.Tab();
    f.WriteText("Line {loss}");
    f.SelectFont(RtfDefaultFont());
    f.Tab();
    f.WriteText("caf\xC3\xA9 \xE2\x82\xAC \xCE\xA9 a\\b");
    f.Tab();
    f.WriteText("right");
    f.EndParagraph();
    f.EndBorder();

    f.BorderBottom = true;
    f.BeginBorder();
    f.PageBreakPending = true;
    f.StartParagraph();
    f.AddTabStop(0, 0);
    f.SelectFont(RtfDefaultFont());
    f.Tab();
    f.SelectFont(body);
    f.WriteText("underlined");
    f.EndParagraph();
    f.EndBorder();
    f.Finish();
    return mwtest::ReadFileText(path);
}

}  // namespace

TEST(RtfReader, ReadsWhatOurWriterWrites)
{
    mwtest::TempDir dir("mw_rtf_");
    const TRtfDocument d = ReadRtf(WriterDocument((dir.path() / "w.rtf").string()));
    // The boxed row, the empty paragraph that closes the box, the underlined row.
    EXPECT_EQ(Texts(d), "[\tLine {loss}\tcaf\xC3\xA9 \xE2\x82\xAC \xCE\xA9 a\\b\tright][][\tunderlined]");
    ASSERT_EQ(d.Paragraphs.size(), 3u);
    const auto& row = d.Paragraphs[0].Format;
    EXPECT_EQ(row.Tabs, (std::vector<TRtfTabStop>{{1440, TRtfTabKind::Left}, {4320, TRtfTabKind::Center}, {8640, TRtfTabKind::Right}}));
    EXPECT_TRUE(row.BorderTop && row.BorderBottom && row.BorderLeft && row.BorderRight);
    EXPECT_FALSE(d.Paragraphs[1].Format.HasBorder());
    const auto& under = d.Paragraphs[2].Format;
    EXPECT_TRUE(under.BorderBottom && !under.BorderTop && !under.BorderLeft);
    EXPECT_TRUE(under.PageBreakBefore);
    EXPECT_FALSE(row.PageBreakBefore);

    const TRtfRun* h = RunWith(d, "Line");
    ASSERT_TRUE(h);
    EXPECT_EQ(h->Format.Face, "Times New Roman");
    EXPECT_EQ(h->Format.HalfPoints, 28);
    EXPECT_TRUE(h->Format.Bold);
    const TRtfRun* plain = RunWith(d, "caf");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->Format.Face, "Arial");
    EXPECT_EQ(plain->Format.HalfPoints, 16);
    EXPECT_FALSE(plain->Format.Bold || plain->Format.Italic || plain->Format.Underline);
    const TRtfRun* u = RunWith(d, "underlined");
    ASSERT_TRUE(u);
    EXPECT_TRUE(u->Format.Underline);
    EXPECT_FALSE(u->Format.Bold);

    // A4 landscape: width and height as the page setup holds them, the margins in twips.
    EXPECT_EQ(d.PaperWidth, 16838);
    EXPECT_EQ(d.PaperHeight, 11906);
    EXPECT_EQ(d.MarginLeft, 1440);
    EXPECT_EQ(d.MarginRight, 720);
    EXPECT_TRUE(d.Landscape);
    // Characters in UTF-16 units and one for each paragraph break.
    EXPECT_EQ(d.TextLength(), 31 + 1 + 0 + 1 + 11);
}

TEST(RtfReader, ReadsWhatLibreOfficeWrites)
{
    const std::string rtf = mwtest::ReadFileText(MW_SOURCE_DIR "/tests/report/rtf/libreoffice-sample.rtf");
    ASSERT_FALSE(rtf.empty());
    const TRtfDocument d = ReadRtf(rtf);
    // Style sheet, information, page styles and the footnote separator are not text.
    EXPECT_EQ(Texts(d), "[Plain bold italic under caf\xC3\xA9 \xCE\xA9][Centred line][Second page]");
    EXPECT_EQ(d.Paragraphs[1].Format.Align, TRtfAlign::Center);
    EXPECT_TRUE(d.Paragraphs[2].Format.PageBreakBefore);
    EXPECT_EQ(d.Paragraphs[0].Format.SpaceAfter, 283);
    const TRtfRun* b = RunWith(d, "bold");
    ASSERT_TRUE(b);
    EXPECT_TRUE(b->Format.Bold);
    EXPECT_EQ(b->Format.Face, "Liberation Serif");   // the default font, \deff3
    EXPECT_TRUE(RunWith(d, "italic")->Format.Italic);
    EXPECT_TRUE(RunWith(d, "under")->Format.Underline);
    EXPECT_FALSE(RunWith(d, "Plain")->Format.Bold);
    EXPECT_EQ(d.PaperWidth, 11906);
    EXPECT_EQ(d.MarginRight, 567);
}

TEST(RtfReader, CommonControlsOfOtherWriters)
{
    struct Case {
        const char* Rtf;
        const char* Texts;
    } cases[] = {
        {"{\\rtf1 a\\par b}", "[a][b]"},
        {"{\\rtf1 a\\line b\\tab c\\~d\\_e}", "[a\xE2\x80\xA8" "b\tc\xC2\xA0" "d\xE2\x80\x91" "e]"},
        {"{\\rtf1 \\uc2\\u8364\\'80\\'80 x\\u-3?}", "[\xE2\x82\xAC x\xEF\xBF\xBD]"},
        {"{\\rtf1 \\u-10179?\\u-8704?}", "[\xF0\x9F\x98\x80]"},
        {"{\\rtf1 {\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt shown}}}", "[shown]"},
        {"{\\rtf1 {\\header hidden}{\\*\\unknown no}{\\pict\\bin3 {{{ }ok}", "[ok]"},
        {"{\\rtf1 a\\cell b\\cell\\row c}", "[a\tb\t][c]"},
        {"{\\rtf1 \\lquote q\\rquote \\ldblquote \\emdash \\bullet}", "[\xE2\x80\x98q\xE2\x80\x99\xE2\x80\x9C\xE2\x80\x94\xE2\x80\xA2]"},
        {"{\\rtf1 a{\\v hidden}b\\\r\nc}", "[ab][c]"},
        {"{\\rtf1 \\'0d\\'00x\\u8233?y}", "[xy]"},   // nothing that would split paragraphs apart
        {"  {\\rtf1 x}trailing bytes are not part of it", "[x]"},
        {"{\\rtf1 \\page a\\page\\page b}", "[a][b]"},
        {"{\\rtf1 \\fs99999999999999999999 \\tx-5 \\zzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzz x}", "[x]"},
    };
    for (const auto& c : cases) {
        TRtfDocument d;
        ASSERT_NO_THROW(d = ReadRtf(std::string(c.Rtf))) << c.Rtf;
        EXPECT_EQ(Texts(d), c.Texts) << c.Rtf;
    }
    // Colours, sizes, resets.
    const TRtfDocument d = ReadRtf(std::string(
        "{\\rtf1{\\fonttbl{\\f0\\fswiss Helvetica;}\\f1\\fmodern Courier;}{\\colortbl;\\red255\\green0\\blue0;}"
        "\\f1\\fs30\\cf1\\b\\i\\ul\\strike red\\b0\\i0\\ulnone\\strike0\\cf0\\plain plain\\f0 h}"));
    const TRtfRun* red = RunWith(d, "red");
    ASSERT_TRUE(red);
    EXPECT_EQ(red->Format.Face, "Courier");
    EXPECT_EQ(red->Format.HalfPoints, 30);
    EXPECT_TRUE(red->Format.HasColor);
    EXPECT_EQ(red->Format.Color, 0x0000FF);
    EXPECT_TRUE(red->Format.Bold && red->Format.Italic && red->Format.Underline && red->Format.StrikeOut);
    EXPECT_EQ(RunWith(d, "plain")->Format, TRtfCharFormat{});
    EXPECT_EQ(RunWith(d, "h")->Format.Face, "Helvetica");
    // Limits: no more than 64 tab stops, twips clamped.
    std::string many = "{\\rtf1 ";
    for (int i = 0; i < 100; ++i) many += "\\tx" + std::to_string(i * 10);
    many += "\\tx999999999 x}";
    EXPECT_EQ(ReadRtf(many).Paragraphs.at(0).Format.Tabs.size(), 64u);
}

TEST(RtfReader, DamagedTextIsRefused)
{
    struct Case {
        std::string Rtf;
        const char* Fault;
    } cases[] = {
        {"", "does not start"},
        {"plain text", "does not start"},
        {"{\\rtf", "ends inside a group"},
        {"{\\rtf1 {\\b open", "ends inside a group"},
        {"{\\rtf1 x\\", "ends inside a control word"},
        {"{\\rtf1 x\\'4", "ends inside a \\' escape"},
        {"{\\rtf1 \\bin99 ab}", "\\bin runs past the end"},
        {"{\\rtf1 \\bin-1 ab}", "\\bin runs past the end"},
        {std::string("{\\rtf1 ") + std::string(300, '{') + std::string(300, '}') + "}", "nest too deeply"},
    };
    for (const auto& c : cases) {
        try {
            ReadRtf(c.Rtf);
            ADD_FAILURE() << "no error for " << c.Rtf.substr(0, 40);
        } catch (const EReadError& e) {
            EXPECT_NE(std::string(e.what()).find(c.Fault), std::string::npos) << e.what();
        }
    }
    // Every cut of a sound document either reads or raises EReadError: never more.
    const std::string sound = mwtest::ReadFileText(MW_SOURCE_DIR "/tests/report/rtf/libreoffice-sample.rtf");
    for (size_t n = 0; n < sound.size(); n += 7) {
        try {
            ReadRtf(sound.substr(0, n));
        } catch (const EReadError&) {
        }
    }
}
