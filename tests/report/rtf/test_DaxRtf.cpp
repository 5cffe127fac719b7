#include "report/rtf/DaxRtf.h"

#include "report/DaxPageSetup.h"

#include "platform/runtime/SysUtils.h"

#include "RtfRows.h"
#include "support/ScratchMount.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

namespace {

TRpxFont Face(const std::string& name, int size, uint8_t pitchAndFamily = 18)
{
    TRpxFont f;
    f.Name = name;
    f.Size = size;
    f.PitchAndFamily = pitchAndFamily;
    return f;
}

TRpxFont Styled(TRpxFont f, bool bold, bool italic = false, bool underline = false)
{
    f.Bold = bold;
    f.Italic = italic;
    f.Underline = underline;
    return f;
}

using Label = mwtest::RtfLabel;

void WriteRow(TDaxRtfFile& f, const std::vector<Label>& labels) { mwtest::WriteRtfRow(f, labels, f.PageBreakPending); }

class RtfFileTest : public ::testing::Test {
protected:
    mwtest::TempDir dir_{"mw_rtf_"};
    std::string Path(const std::string& name = "RpxRtf.rtf") const { return (dir_.path() / name).string(); }
};

}  // namespace

TEST_F(RtfFileTest, OneLabelGivesTheWholeFile)
{
    TDaxRtfFile f(Path());
    WriteRow(f, {{1440, 0, Face("Times New Roman", 10), "Hello"}});
    f.Finish();
    EXPECT_EQ(mwtest::ReadFileText(Path()),
              "{\\rtf1\\ansi {\\fonttbl{\\f1\\fnil\\fcharset0\\fprq0 Arial;}"
              "{\\f2\\froman\\fcharset0\\fprq2 Times New Roman;}}"
              "\\margl720\\margr720\\margt720\\margb720 "
              "\\pard\\plain \\f1\\fs16 "
              "\\pard\\plain \\f1\\fs16 \\tx1440 {\\f2\\fs20\\b0\\i0\\ul0 \\tab Hello\\par }}");
}

TEST_F(RtfFileTest, FormattingDoesNotRunOnIntoLaterParagraphs)
{
    // A bold label in the default face used to leave every later paragraph bold.
    TDaxRtfFile f(Path());
    const TRpxFont bold = Styled(RtfDefaultFont(), true);
    WriteRow(f, {{0, 0, bold, "Title"}});
    WriteRow(f, {{0, 0, RtfDefaultFont(), "plain"}});
    WriteRow(f, {{0, 0, bold, "again"}});
    f.Finish();
    EXPECT_EQ(mwtest::RtfBodyOf(mwtest::ReadFileText(Path())),
              "\\pard\\plain \\f1\\fs16 "
              "\\pard\\plain \\f1\\fs16 \\tx0 {\\f1\\fs16\\b\\i0\\ul0 \\tab Title\\par "
              "}\\pard\\plain \\f1\\fs16 \\tx0 \\tab plain\\par "
              "\\pard\\plain \\f1\\fs16 \\tx0 {\\f1\\fs16\\b\\i0\\ul0 \\tab again\\par }}");
    EXPECT_EQ(f.Fonts.size(), 1u);
}

TEST_F(RtfFileTest, FontTableReusesFacesAndWritesNewSizes)
{
    TDaxRtfFile f(Path());
    const TRpxFont times = Face("Times New Roman", 10);
    // Two labels in one font select it once; a size change keeps the entry's number.
    WriteRow(f, {{100, 0, times, "a"}, {200, 0, times, "b"}, {300, 0, Face("Times New Roman", 14), "c"},
                 {400, 0, Face("Courier New", 9, 49), "d"}, {500, 0, Styled(Face("Courier New", 9, 49), false, true, true), "e"}});
    f.Finish();
    const std::string file = mwtest::ReadFileText(Path());
    EXPECT_NE(file.find("{\\f3\\fmodern\\fcharset0\\fprq1 Courier New;}}"), std::string::npos) << file;
    EXPECT_EQ(mwtest::RtfBodyOf(file),
              "\\pard\\plain \\f1\\fs16 "
              "\\pard\\plain \\f1\\fs16 \\tx100 \\tx200 \\tx300 \\tx400 \\tx500 "
              "{\\f2\\fs20\\b0\\i0\\ul0 \\tab a\\tab b}{\\f2\\fs28\\b0\\i0\\ul0 \\tab c}"
              "{\\f3\\fs18\\b0\\i0\\ul0 \\tab d}{\\f3\\fs18\\b0\\i\\ul0 \\tab }{\\f3\\fs18\\b0\\i\\ul e\\par }}");
    ASSERT_EQ(f.Fonts.size(), 3u);
    // Table entries by family and pitch.
    struct Case {
        uint8_t PitchAndFamily;
        const char* Entry;
    } cases[] = {{0, "{\\f9\\fnil\\fcharset0\\fprq0 X;}"},     {17, "{\\f9\\froman\\fcharset0\\fprq1 X;}"},
                 {34, "{\\f9\\fswiss\\fcharset0\\fprq2 X;}"},  {48, "{\\f9\\fmodern\\fcharset0\\fprq0 X;}"},
                 {66, "{\\f9\\fscript\\fcharset0\\fprq2 X;}"}, {81, "{\\f9\\fdecor\\fcharset0\\fprq1 X;}"},
                 {96, "{\\f9\\fnil\\fcharset0\\fprq0 X;}"}};
    for (const auto& c : cases) {
        TDaxRtfFont e;
        TRpxFont font = Face("X", 10, c.PitchAndFamily);
        font.CharSet = 2;   // always written as 0
        e.SetFromFont(font);
        e.Number = 9;
        std::string out;
        e.WriteTableEntry(out);
        EXPECT_EQ(out, c.Entry) << int(c.PitchAndFamily);
    }
}

TEST_F(RtfFileTest, TabStopsByAlignment)
{
    TDaxRtfFile f(Path());
    const size_t before = f.Body.size();
    f.AddTabStop(1440, 0);
    f.AddTabStop(2880, 1);
    f.AddTabStop(4320, 2);
    f.AddTabStop(5760, 7);
    EXPECT_EQ(f.Body.substr(before), "\\tx1440 \\tqc\\tx2880 \\tqr\\tx4320 \\tx5760 ");
}

TEST_F(RtfFileTest, BoxedAndUnderlinedBandsAndPageBreaks)
{
    TDaxRtfFile f(Path());
    const TRpxFont font = RtfDefaultFont();
    f.BorderBottom = false;
    f.BeginBorder();
    WriteRow(f, {{0, 0, font, "r0"}});
    WriteRow(f, {{0, 0, font, "r1"}});
    f.EndBorder();
    f.BorderBottom = true;
    f.BeginBorder();
    f.PageBreakPending = true;
    WriteRow(f, {{0, 0, font, "u0"}});
    f.PageBreakPending = false;
    WriteRow(f, {{0, 0, font, "u1"}});
    f.EndBorder();
    f.Finish();
    EXPECT_EQ(mwtest::RtfBodyOf(mwtest::ReadFileText(Path())),
              "\\pard\\plain \\f1\\fs16 "
              "\\pard\\plain \\box\\brdrs \\f1\\fs16 \\tx0 \\tab r0\\par "
              "\\pard\\plain \\box\\brdrs \\f1\\fs16 \\tx0 \\tab r1\\par "
              "\\pard\\plain \\f1\\fs16 \\par "
              "\\pard\\plain \\page \\brdrb\\brdrs \\f1\\fs16 \\tx0 \\tab u0\\par "
              "\\pard\\plain \\brdrb\\brdrs \\f1\\fs16 \\tx0 \\tab u1\\par }");
}

TEST_F(RtfFileTest, PaperOrientationAndMargins)
{
    const auto header = [&](const TDaxPageSetup& ps) {
        TDaxRtfFile f(Path());
        f.SetPageSetup(ps);
        const std::string c = f.Contents();
        return c.substr(c.find("}}") + 2, c.find(' ', c.find("\\margb")) - c.find("}}") - 2);
    };
    TDaxPageSetup current;
    current.SetLeftMargin(0);
    EXPECT_EQ(header(current), "\\margl0\\margr720\\margt720\\margb720");

    TDaxPageSetup custom;
    custom.SetSize(psCustom);
    custom.SetWidth(8);
    custom.SetHeight(5);
    EXPECT_EQ(header(custom), "\\paperw11520\\paperh7200\\psz256\\margl720\\margr720\\margt720\\margb720");

    TDaxPageSetup a4;
    a4.SetOrientation(poLandscape);
    a4.SetSize(psA4);
    a4.SetUnits(unitMiliMeters);
    a4.SetTopMargin(25.4);
    a4.SetBottomMargin(12.7);
    EXPECT_EQ(header(a4), "\\paperh11906\\paperw16838\\psz9\\margl720\\margr720\\margt1440\\margb720\\landscape");

    TDaxPageSetup letter;
    letter.SetOrientation(poPortrait);
    letter.SetSize(psLetter);
    EXPECT_EQ(header(letter), "\\paperh15840\\paperw12240\\psz1\\margl720\\margr720\\margt720\\margb720");
}

TEST(RtfEscape, ReservedAndNonAsciiCharacters)
{
    struct Case {
        const char* In;
        const char* Out;
    } cases[] = {
        {"plain text", "plain text"},
        {"a\\b{c}d", "a\\\\b\\{c\\}d"},
        {"caf\xC3\xA9 \xE2\x82\xAC" "5", "caf\\'e9 \\'805"},         // é and the euro sign are in the code page
        {"\xE2\x80\x9Cq\xE2\x80\x9D", "\\'93q\\'94"},
        {"\xCE\xA9 \xE4\xB8\xAD", "\\u937? \\u20013?"},             // Greek omega, a CJK ideograph
        {"\xEF\xBF\xBD\xEF\xAC\x80", "\\u-3?\\u-1280?"},            // above 0x7FFF: negative, as RTF wants
        {"\xF0\x9F\x98\x80", "\\u-10179?\\u-8704?"},                 // outside the BMP: a surrogate pair
        {"a\tb\nc\rd\x01", "a\\tab b\\line cd"},
        {"bad \xC3 end \xFF", "bad ? end ?"},
    };
    for (const auto& c : cases) EXPECT_EQ(RtfEscape(c.In), c.Out) << c.In;
    // The face names in the font table are escaped too.
    TDaxRtfFont e;
    e.SetFromFont(Face("Caf\xC3\xA9 {x}", 10, 0));
    e.Number = 1;
    std::string out;
    e.WriteTableEntry(out);
    EXPECT_EQ(out, "{\\f1\\fnil\\fcharset0\\fprq0 Caf\\'e9 \\{x\\};}");
}

TEST_F(RtfFileTest, BracesBalanceWhateverIsLeftOpen)
{
    TDaxRtfFile f(Path());
    f.SelectFont(Face("Times New Roman", 12));
    f.OpenGroup();
    f.OpenGroup();
    f.WriteText("{{{ unbalanced text }");
    f.CloseGroup();
    bool neverNegative = false;
    EXPECT_EQ(mwtest::RtfBraceBalance(f.Contents(), neverNegative), 0);
    EXPECT_TRUE(neverNegative);
    f.Finish();
    EXPECT_EQ(f.GroupDepth, 0);
    // Closing more than was opened writes nothing.
    f.CloseGroup();
    EXPECT_EQ(mwtest::RtfBraceBalance(mwtest::ReadFileText(Path()), neverNegative), 0);
    EXPECT_TRUE(neverNegative);
}

TEST_F(RtfFileTest, FileIsWrittenOnceByFinish)
{
    mwtest::WriteFileText(Path(), "old report");
    {
        TDaxRtfFile f(Path());
        WriteRow(f, {{0, 0, RtfDefaultFont(), "new"}});
        // Nothing reaches the file before the end of the pass.
        EXPECT_EQ(mwtest::ReadFileText(Path()), "old report");
        f.Finish();
        const std::string written = mwtest::ReadFileText(Path());
        EXPECT_EQ(written.substr(0, 11), "{\\rtf1\\ansi");
        f.WriteText("late");
        f.Finish();
        EXPECT_EQ(mwtest::ReadFileText(Path()), written);
    }
    // A file that cannot be made fails at once, naming the file.
    const std::string bad = Path("missing-folder/out.rtf");
    try {
        TDaxRtfFile f(bad);
        FAIL() << "no error";
    } catch (const EFCreateError& e) {
        EXPECT_NE(std::string(e.what()).find(bad), std::string::npos);
    }
    // A new file exists, empty, from the start of the pass.
    TDaxRtfFile fresh(Path("fresh.rtf"));
    EXPECT_TRUE(std::filesystem::exists(Path("fresh.rtf")));
}

TEST_F(RtfFileTest, FileThatCannotBeMadeSaysWhy)
{
    // The message names the file and carries the system's reason.
    std::filesystem::create_directory(Path("folder.rtf"));
    mwtest::ScratchMount mount(64 * 1024);
    const bool root = ::geteuid() == 0;
    std::string readOnly;
    if (root && mount.Mounted() && mount.MakeReadOnly()) {
        readOnly = (mount.path() / "out.rtf").string();
    } else if (!root) {
        std::filesystem::create_directory(Path("locked"));
        ::chmod(Path("locked").c_str(), 0555);
        readOnly = Path("locked/out.rtf");
    }
    struct Case {
        std::string file;
        std::vector<std::string> reasons;   // any one of them
    };
    std::vector<Case> cases = {
        {Path("folder.rtf"), {"Is a directory"}},
        {Path("missing-folder/out.rtf"), {"No such file or directory"}},
    };
    if (!readOnly.empty()) cases.push_back({readOnly, {"Read-only file system", "Permission denied"}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        try {
            TDaxRtfFile f(c.file);
            ADD_FAILURE() << "no error";
        } catch (const EFCreateError& e) {
            const std::string m = e.what();
            EXPECT_EQ(m.rfind("Cannot create file \"" + c.file + "\". ", 0), 0u) << m;
            EXPECT_TRUE(std::any_of(c.reasons.begin(), c.reasons.end(), [&m](const std::string& r) {
                return m.size() > r.size() && m.compare(m.size() - r.size(), r.size(), r) == 0;
            })) << m;
        }
    }
    if (!root) ::chmod(Path("locked").c_str(), 0755);
    if (readOnly.empty()) GTEST_SKIP() << "no read-only folder can be made here (mount refused)";
}

TEST(RtfFile, NamesAndTwipsForThePage)
{
    EXPECT_EQ(RtfOutputFileName(""), "RpxRtf.rtf");
    EXPECT_EQ(RtfOutputFileName("   "), "RpxRtf.rtf");
    EXPECT_EQ(RtfOutputFileName("out.rtf"), "out.rtf");
    // A label at 96 pixels at 96 pixels per inch stands at 1440 twips.
    EXPECT_EQ(RtfTwips(96, 96), 1440);
    EXPECT_EQ(RtfTwips(1, 96), 15);
    EXPECT_EQ(RtfTwips(33, 120), 396);
    EXPECT_EQ(RtfTwips(-48, 96), -720);
    EXPECT_EQ(RtfTwips(10, 0), 0);
}
