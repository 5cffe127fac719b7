#include "FakePrintDevice.h"

#include "report/output/RpxMemo.h"
#include "report/output/RpxOutput.h"

#include <gtest/gtest.h>

namespace {

// Ten pixels a character, lines of ten characters.
struct TMemoFixture : ::testing::Test {
    TMemoFixture()
    {
        measurer.CharWidth = 10;
        memo.SetMeasurer(&measurer);
        memo.Width = 100;
    }
    std::vector<std::string> Lay(const std::string& text)
    {
        memo.Text = text;
        memo.Layout();
        return memo.Lines;
    }
    TRpxRecordingDevice measurer;
    TRpxMemo memo;
};

using V = std::vector<std::string>;

} // namespace

TEST_F(TMemoFixture, WrapsAtBlanksAndBreaksOverlongWords)
{
    EXPECT_EQ(Lay("the quick brown fox jumps"), (V{"the quick ", "brown fox ", "jumps"}));
    EXPECT_EQ(Lay("abcdefghijklmnop xy"), (V{"abcdefghij", "klmnop xy"}));
    EXPECT_EQ(Lay("a\r\nb\nc"), (V{"a", "b", "c"}));
    EXPECT_EQ(Lay("a\n\nb\n"), (V{"a", "", "b"}));
    EXPECT_EQ(memo.LineCount, 3);
    memo.WordWrap = false;
    Lay("the quick brown fox jumps");
    EXPECT_EQ(memo.LineCount, 1);
}

TEST_F(TMemoFixture, LineHeightFollowsTheFontAndSpacing)
{
    memo.Font.Size = 10;   // 13 pixels at 96 per inch
    memo.LineSpacing = 150;
    Lay("x");
    EXPECT_EQ(memo.LineHeight, 20);
    memo.PixelsPerInch = 600;
    memo.LineSpacing = 100;
    Lay("x");
    EXPECT_EQ(memo.LineHeight, 83);
}

TEST_F(TMemoFixture, BlankLinesAreSkippedOrTrimmedAndParagraphEndsFollow)
{
    memo.SkipBlankLines = true;
    EXPECT_EQ(Lay("a\n\nb"), (V{"a", "b"}));
    memo.SkipBlankLines = false;
    memo.TrimBlankEnds = true;
    memo.Alignment = 3;
    EXPECT_EQ(Lay("\n\naaa bbb ccc ddd\n\neee\n\n"), (V{"aaa bbb ", "ccc ddd", "", "eee"}));
    EXPECT_EQ(memo.ParagraphEnds, (std::vector<int>{1, 2, 3}));
    int first = 0, last = 0;
    memo.FirstLine = 1;
    memo.LastLine = 9;
    ASSERT_TRUE(memo.PrintRange(first, last));
    EXPECT_EQ(first, 1);
    EXPECT_EQ(last, 3);
    memo.FirstLine = 5;
    EXPECT_FALSE(memo.PrintRange(first, last));
}

TEST_F(TMemoFixture, TabsStopEveryHalfInch)
{
    measurer.CharWidth = 5;
    memo.SplitTabs("ab\tc");
    ASSERT_EQ(memo.Segments.size(), 2u);
    EXPECT_EQ(memo.Segments[1].Offset, 48);
    EXPECT_EQ(memo.TextWidth, 53);
    measurer.CharWidth = 8;
    memo.SplitTabs("abcdef\tg\t");
    ASSERT_EQ(memo.Segments.size(), 2u);
    EXPECT_EQ(memo.Segments[1].Offset, 96);
    EXPECT_EQ(memo.Segments[1].SegmentText, "g");
}

namespace {

// Where each character landed when the memo printed on a printer canvas: (x, y) per
// character, ten pixels a character.
std::vector<std::pair<int, int>> PrintedAt(TRpxMemo& memo, const std::vector<uint8_t>& alignments)
{
    TFakePrintDevice printer;
    printer.Device().CharWidth = 10;
    TRpxOutput out(&printer);
    out.SetOutputMode(0);
    out.BeginOutput();
    out.Canvas().SetBrush(TRpxBrush{0xFFFFFF, rbsClear});
    for (uint8_t a : alignments) {
        memo.Alignment = a;
        memo.PrintLines(out.Canvas(), 0, 0);
    }
    out.EndOutput();
    std::vector<std::pair<int, int>> at;
    const auto pages = printer.Pages();
    for (const auto& c : pages[0]) {
        if (c.rfind("text ", 0) != 0) continue;
        const size_t comma = c.find(',');
        at.emplace_back(std::stoi(c.substr(5)), std::stoi(c.substr(comma + 1)));
    }
    return at;
}

} // namespace

TEST_F(TMemoFixture, JustifiedMemoStretchesAllButParagraphEnds)
{
    memo.Text = "aa bb cc dd ee\nff gg";
    const auto at = PrintedAt(memo, {3});
    ASSERT_EQ(memo.Lines, (V{"aa bb cc ", "dd ee", "ff gg"}));
    const int lh = memo.LineHeight;
    // A justified line goes out a word at a time, any other line whole.
    const std::vector<std::pair<int, int>> want = {
        {0, 0}, {40, 0}, {80, 0},   // stretched to 0..100
        {0, lh},                    // its paragraph's end
        {0, 2 * lh},                // the memo's last line
    };
    EXPECT_EQ(at, want);
}

TEST_F(TMemoFixture, AlignedSegmentsSitByTheSlack)
{
    memo.Text = "abc";
    std::vector<int> xs;
    for (const auto& p : PrintedAt(memo, {2, 1})) xs.push_back(p.first);
    // Right: the text ends at the memo's right edge; centre: it is centred in the width.
    EXPECT_EQ(xs, (std::vector<int>{70, 35}));
}
