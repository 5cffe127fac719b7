#include "report/rtf/qt/RpxRtfDraw.h"

#include "report/output/RpxFile.h"
#include "report/output/qt/RpxPainterDevice.h"
#include "report/rtf/DaxRtf.h"

#include "RtfRows.h"
#include "support/TestFiles.h"

#include <QFontMetrics>

#include <gtest/gtest.h>

namespace {

// Keeps the text drawn with the whole font it was drawn in.
class TextDevice : public TRpxRecordingDevice {
public:
    using TRpxRecordingDevice::TRpxRecordingDevice;
    struct Text {
        std::string S;
        int X, Y;
        TRpxLogFont Font;
    };
    std::vector<Text> Texts;
    std::string All() const
    {
        std::string s;
        for (const auto& t : Texts) s += "[" + t.S + "]";
        return s;
    }
    const Text* Find(const std::string& s) const
    {
        for (const auto& t : Texts)
            if (t.S == s) return &t;
        return nullptr;
    }

protected:
    void DoText(int x, int y, std::string_view text, const TRpxRect* fill, const TRpxRect* clip) override
    {
        Texts.push_back({std::string(text), x, y, Font()});
        TRpxRecordingDevice::DoText(x, y, text, fill, clip);
    }
};

TRpxDeviceInfo Printer600()
{
    TRpxDeviceInfo i;
    i.LogPixelsX = i.LogPixelsY = 600;
    i.Technology = DT_RASPRINTER;
    return i;
}

// Rows of labels the way a band writes them.
std::string Report(const std::string& path, int rows, bool box)
{
    TDaxRtfFile f(path);
    TRpxFont bold = RtfDefaultFont();
    bold.Size = 12;
    bold.Bold = true;
    if (box) f.BeginBorder();
    for (int r = 0; r < rows; ++r)
        mwtest::WriteRtfRow(f, {{1440, 0, bold, "Row" + std::to_string(r)}, {4320, 1, RtfDefaultFont(), "mid"}, {7200, 2, RtfDefaultFont(), "end"}},
                            r == 3);
    if (box) f.EndBorder();
    f.Finish();
    return mwtest::ReadFileText(path);
}

int Advance(const TRpxLogFont& f, const std::string& s)
{
    return QFontMetrics(TRpxPainterDevice::ToQFont(f)).horizontalAdvance(QString::fromStdString(s));
}

class RtfDrawTest : public ::testing::Test {
protected:
    mwtest::TempDir dir_{"mw_rtfdraw_"};
    std::string Path() const { return (dir_.path() / "r.rtf").string(); }
};

}  // namespace

TEST_F(RtfDrawTest, DrawsOurRowsAtTheirTabStops)
{
    const std::string rtf = Report(Path(), 2, false);
    TRpxRtfDraw d;
    ASSERT_TRUE(d.LoadFromBytes(reinterpret_cast<const uint8_t*>(rtf.data()), rtf.size()));
    TextDevice dc;
    d.SetDC(&dc);
    d.Rect = {50, 20, 50 + 8 * 96, 20 + 500};
    d.ResolutionX = d.ResolutionY = 96;
    d.Draw();
    EXPECT_EQ(dc.All(), "[Row0][mid][end][Row1][mid][end]");
    EXPECT_EQ(d.NextChar, d.TextLengthOf());
    const auto* row = dc.Find("Row0");
    ASSERT_TRUE(row);
    // Left stop at 1 inch, centre stop at 3 inches, right stop at 5 inches.
    EXPECT_EQ(row->X, 50 + 96);
    EXPECT_EQ(row->Font.Weight, 700);
    EXPECT_EQ(row->Font.Height, -16);   // 12 points at 96 pixels per inch
    EXPECT_EQ(row->Font.FaceName, "Arial");
    const auto* mid = dc.Find("mid");
    EXPECT_NEAR(mid->X + Advance(mid->Font, "mid") / 2.0, 50 + 288, 1.5);
    EXPECT_EQ(mid->Font.Weight, 400);   // nothing of the bold label runs on
    EXPECT_EQ(mid->Font.Height, -11);   // 8 points
    const auto* end = dc.Find("end");
    EXPECT_NEAR(end->X + Advance(end->Font, "end"), 50 + 480, 1.5);
    // Rows go down the page on one baseline each (the recording device's ascent is 4/5 of
    // the font's height).
    const auto baseline = [](const TextDevice::Text* t) { return t->Y + std::abs(t->Font.Height) * 4 / 5; };
    EXPECT_EQ(baseline(row), baseline(mid));
    EXPECT_GT(dc.Texts[3].Y, row->Y);
    EXPECT_EQ(dc.TextAlign(), 0);   // the device's state is given back
}

TEST_F(RtfDrawTest, ContinuesWhereTheRectangleWasFullAndStopsAtPageBreaks)
{
    const std::string rtf = Report(Path(), 6, false);
    TRpxRtfDraw d;
    ASSERT_TRUE(d.LoadFromBytes(reinterpret_cast<const uint8_t*>(rtf.data()), rtf.size()));
    TextDevice dc;
    d.SetDC(&dc);
    d.ResolutionX = d.ResolutionY = 96;
    d.Rect = {0, 0, 768, 45};   // two rows of 12 points
    std::vector<std::string> pages;
    for (int i = 0; i < 10 && d.NextChar < d.TextLengthOf(); ++i) {
        dc.Texts.clear();
        d.Draw();
        pages.push_back(dc.All());
    }
    EXPECT_EQ(pages, (std::vector<std::string>{"[Row0][mid][end][Row1][mid][end]", "[Row2][mid][end]",
                                               "[Row3][mid][end][Row4][mid][end]", "[Row5][mid][end]"}));

    // A range: the characters of row 1 alone.
    d.NextChar = 0;
    const int rowLength = 1 + 4 + 1 + 3 + 1 + 3 + 1;   // tabs and text, then the paragraph break
    d.RangeStart = rowLength;
    d.RangeEnd = 2 * rowLength - 1;
    d.Rect = {0, 0, 768, 1000};
    dc.Texts.clear();
    d.Draw();
    EXPECT_EQ(dc.All(), "[Row1][mid][end]");
    EXPECT_EQ(d.NextChar, d.RangeEnd);

    // On a printer the rectangle reaches 5000 twips further: all six rows (the page break
    // still stops it).
    TextDevice printer(Printer600());
    d.NextChar = 0;
    d.RangeStart = d.RangeEnd = -1;
    d.SetDC(&printer);
    d.ResolutionX = d.ResolutionY = 600;
    d.Rect = {0, 0, 4800, 10};
    d.Draw();
    EXPECT_EQ(printer.All(), "[Row0][mid][end][Row1][mid][end][Row2][mid][end]");
    // Too small for a line on a screen: nothing drawn, nothing skipped.
    TextDevice small;
    d.NextChar = 0;
    d.SetDC(&small);
    d.ResolutionX = d.ResolutionY = 96;
    d.Draw();
    EXPECT_TRUE(small.Texts.empty());
    EXPECT_EQ(d.NextChar, 0);
}

TEST_F(RtfDrawTest, BoxAndUnderlineFrameTheirRows)
{
    const auto lines = [&](const std::string& rtf) {
        TRpxRtfDraw d;
        d.LoadFromBytes(reinterpret_cast<const uint8_t*>(rtf.data()), rtf.size());
        TextDevice dc;
        d.SetDC(&dc);
        d.ResolutionX = d.ResolutionY = 96;
        d.Rect = {10, 10, 700, 500};
        d.Draw();
        std::vector<std::string> l;
        for (const auto& c : dc.Calls)
            if (c.rfind("line", 0) == 0) l.push_back(c);
        return l;
    };
    // One frame round the three boxed rows (the box is closed by the empty paragraph).
    const auto box = lines(Report(Path(), 3, true));
    ASSERT_EQ(box.size(), 4u);
    // An underlined band: a line under its rows.
    TDaxRtfFile f(Path());
    f.BorderBottom = true;
    f.BeginBorder();
    f.StartParagraph();
    f.Tab();
    f.WriteText("under");
    f.EndParagraph();
    f.EndBorder();
    f.StartParagraph();
    f.WriteText("after");
    f.EndParagraph();
    f.Finish();
    const auto under = lines(mwtest::ReadFileText(Path()));
    ASSERT_EQ(under.size(), 1u);
    EXPECT_EQ(under[0].substr(0, 9), "line 10,2");   // from the left edge, below the first row
}

TEST(RtfDraw, DrawsWhatLibreOfficeWrote)
{
    const std::string rtf = mwtest::ReadFileText(MW_SOURCE_DIR "/tests/report/rtf/libreoffice-sample.rtf");
    TRpxRtfDraw d;
    ASSERT_TRUE(d.LoadFromBytes(reinterpret_cast<const uint8_t*>(rtf.data()), rtf.size()));
    TextDevice dc;
    d.SetDC(&dc);
    d.ResolutionX = d.ResolutionY = 96;
    d.Rect = {0, 0, 600, 800};
    d.Draw();
    // The page break ends the first rectangle.
    EXPECT_EQ(dc.All(), "[Plain ][bold][ ][italic][ ][under][ caf\xC3\xA9 \xCE\xA9][Centred line]");
    EXPECT_EQ(dc.Find("bold")->Font.Weight, 700);
    EXPECT_EQ(dc.Find("Plain ")->Font.Weight, 400);
    EXPECT_TRUE(dc.Find("italic")->Font.Italic);
    EXPECT_TRUE(dc.Find("under")->Font.Underline);
    EXPECT_EQ(dc.Find("bold")->Font.FaceName, "Liberation Serif");
    const auto* centred = dc.Find("Centred line");
    EXPECT_NEAR(centred->X + Advance(centred->Font, "Centred line") / 2.0, 300, 1.5);
    dc.Texts.clear();
    d.Draw();
    EXPECT_EQ(dc.All(), "[Second page]");
    EXPECT_GE(d.NextChar, d.TextLengthOf());
}

TEST(RtfDraw, UseFontAndTheDefaultFont)
{
    const std::string rtf = "{\\rtf1 plain {\\b\\fs40 big}}";
    TRpxRtfDraw d;
    d.LoadFromBytes(reinterpret_cast<const uint8_t*>(rtf.data()), rtf.size());
    TRpxFont f;
    f.Name = "Courier New";
    f.Size = 9;
    f.Color = 0x0000FF;
    d.SetFont(f);
    TextDevice dc;
    d.SetDC(&dc);
    d.Rect = {0, 0, 500, 500};
    d.Draw();   // the device's resolution: 96
    ASSERT_EQ(dc.Texts.size(), 2u);
    EXPECT_EQ(dc.Texts[0].Font.FaceName, "Courier New");
    EXPECT_EQ(dc.Texts[0].Font.Height, -12);
    EXPECT_EQ(dc.Texts[0].Font.Color, 0x0000FF);
    EXPECT_EQ(dc.Texts[1].Font.Height, -27);   // 20 points of its own
    EXPECT_EQ(dc.Texts[1].Font.Weight, 700);
    // With UseFont every character takes the font.
    dc.Texts.clear();
    d.NextChar = 0;
    d.UseFont = true;
    d.Draw();
    EXPECT_EQ(dc.All(), "[plain ][big]");
    for (const auto& t : dc.Texts) {
        EXPECT_EQ(t.Font.Height, -12);
        EXPECT_EQ(t.Font.Weight, 400);
    }
}

TEST(RtfDraw, RecordedRichTextPlaysAndDamagedTextDrawsNothing)
{
    InstallRpxRtfDraw();
    const auto play = [](const std::string& rtf, int zoom) {
        TRpxRpxFile doc;
        doc.BeginRecording();
        TRpxFont font;
        font.Name = "Arial";
        font.Size = 10;
        doc.RecordFont(font);
        doc.WriteCode(rcRichText);
        doc.WriteI32(0);
        doc.WriteRect({96, 96, 96 + 480, 96 + 200});
        doc.WriteByte(0);
        doc.WriteI32(-1);
        doc.WriteI32(-1);
        doc.WriteBlob(std::vector<uint8_t>(rtf.begin(), rtf.end()));
        doc.WriteCode(rcMoveTo);
        doc.WriteCoord(1);
        doc.WriteCoord(2);
        doc.EndRecording();
        doc.ZoomX = doc.ZoomY = zoom;
        TextDevice dc;
        doc.PlayPage(dc, 1);
        return dc;
    };
    const TextDevice full = play("{\\rtf1 \\tx1440 \\tab Hello {\\b world}\\par}", 100);
    EXPECT_EQ(full.All(), "[Hello ][world]");
    EXPECT_EQ(full.Texts[0].X, 96 + 96);
    EXPECT_EQ(full.Texts[0].Font.Height, -13);   // the current font, 10 points, is the default
    EXPECT_EQ(full.CurrentPos(), (TRpxPoint{1, 2}));   // the records after it play
    // At half zoom the rectangle and the text shrink together.
    const TextDevice half = play("{\\rtf1 \\tx1440 \\tab Hello {\\b world}\\par}", 50);
    EXPECT_EQ(half.Texts.at(0).X, 48 + 48);
    EXPECT_EQ(half.Texts[0].Font.Height, -7);
    // Text refused for a paragraph too long to lay out says so in its place; the page goes on.
    const std::string huge = "{\\rtf1 " + std::string(size_t(TRpxRtfDraw::kMaxParagraphLength) + 1, 'x') + "\\par}";
    const TextDevice refused = play(huge, 100);
    EXPECT_EQ(refused.All(), std::string("[") + TRpxRtfDraw::kTooLongText + "]");
    EXPECT_EQ(refused.CurrentPos(), (TRpxPoint{1, 2}));
    // Damaged rich text draws nothing; the page goes on.
    for (const std::string bad : {"{\\rtf1 unclosed", "not rtf at all", "", "{\\rtf1 \\bin999 x}"}) {
        const TextDevice d = play(bad, 100);
        EXPECT_TRUE(d.Texts.empty()) << bad;
        EXPECT_EQ(d.CurrentPos(), (TRpxPoint{1, 2})) << bad;
    }
    // A record whose text runs past the page's data ends the page there.
    TRpxRpxFile doc;
    doc.BeginRecording();
    doc.WriteCode(rcMoveTo);
    doc.WriteCoord(3);
    doc.WriteCoord(4);
    doc.WriteCode(rcRichText);
    doc.WriteI32(0);
    doc.WriteRect({0, 0, 100, 100});
    doc.WriteByte(0);
    doc.WriteI32(-1);
    doc.WriteI32(-1);
    doc.WriteI32(100000);
    doc.WriteByte('{');
    doc.EndRecording();
    TextDevice dc;
    doc.PlayPage(dc, 1);
    EXPECT_TRUE(dc.Texts.empty());
    EXPECT_EQ(dc.CurrentPos(), (TRpxPoint{3, 4}));
    RpxRichTextRenderer = nullptr;
}

TEST(RtfDraw, OddAndCutTextDrawsWithinBounds)
{
    const auto drawAll = [](const std::string& rtf, const TRpxDeviceInfo& info) {
        TRpxRtfDraw d;
        d.LoadFromBytes(reinterpret_cast<const uint8_t*>(rtf.data()), rtf.size());
        TextDevice dc(info);
        d.SetDC(&dc);
        d.Rect = {5, 5, 300, 60};
        int calls = 0;
        for (int last = -1; d.NextChar < d.TextLengthOf() && d.NextChar != last && calls < 200; ++calls) {
            last = d.NextChar;
            d.Draw();
        }
        return dc.Texts.size();
    };
    // Extreme indents, spacing, sizes and tab stops still lay out and end.
    for (const std::string odd :
         {"{\\rtf1 \\li-99999999\\ri99999999\\fi99999999\\sb99999999\\sa99999999 \\tx999999999\\tqr\\tx1 \\fs3276 x\\tab y\\par z}",
          "{\\rtf1 \\qj \\tqdec\\tx2000 a\\tab 12.5\\line\\line\\u55357\\u56832? \\fs1 tiny\\fs0 zero}",
          "{\\rtf1 \\box\\brdrs\\brdrt\\brdrnone\\brdrl\\brdrs a\\par\\pagebb b\\par\\page\\page c}"})
        EXPECT_NO_FATAL_FAILURE(drawAll(odd, TRpxDeviceInfo{})) << odd;
    // Every cut of a LibreOffice file reads or is refused, and draws what it read.
    const std::string sound = mwtest::ReadFileText(MW_SOURCE_DIR "/tests/report/rtf/libreoffice-sample.rtf");
    for (size_t n = 0; n <= sound.size(); n += 97) drawAll(sound.substr(0, n) + "}}}}", Printer600());

    // Rectangles in twips.
    EXPECT_EQ(PixelRectToTwips({96, 48, 192, 96}, 96, 96), (TRpxRect{1440, 720, 2880, 1440}));
    EXPECT_EQ(PixelRectToTwips({600, 0, 1200, 300}, 600, 300), (TRpxRect{1440, 0, 2880, 1440}));
    EXPECT_EQ(MulDivRect({10, 10, 20, 30}, 3, 3, 1, 2), (TRpxRect{3, 7, 6, 20}));

    // Loaded from a stream, from its start, whatever its position.
    TMemoryStream s;
    const std::string rtf = "{\\rtf1 stream}";
    s.WriteBuffer(rtf.data(), static_cast<int64_t>(rtf.size()));
    TRpxRtfDraw d;
    EXPECT_TRUE(d.LoadFromStream(s));
    EXPECT_EQ(d.TextLengthOf(), 6);
    d.Reset();
    EXPECT_EQ(d.TextLengthOf(), 0);
    EXPECT_EQ(d.RangeEnd, -1);
}

// A long text drawn rectangle after rectangle: every paragraph exactly once and in order, each
// rectangle going on where the last one stopped, with paragraphs of two heights.
TEST(RtfDraw, ALongTextGoesOnRectangleAfterRectangle)
{
    constexpr int paragraphs = 3000;
    std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}";
    for (int i = 0; i < paragraphs; ++i) rtf += std::string(i % 3 == 0 ? "\\fs40" : "\\fs20") + " P" + std::to_string(i) + "\\par\n";
    rtf += "}";
    TRpxRtfDraw d;
    ASSERT_TRUE(d.LoadFromBytes(reinterpret_cast<const uint8_t*>(rtf.data()), rtf.size()));
    TextDevice dc;
    d.SetDC(&dc);
    d.ResolutionX = d.ResolutionY = 96;
    d.Rect = {0, 0, 768, 300};
    std::vector<std::string> seen;
    int rectangles = 0;
    while (d.NextChar < d.TextLengthOf() && rectangles < paragraphs) {
        const int before = d.NextChar;
        dc.Texts.clear();
        d.Draw();
        ++rectangles;
        ASSERT_GT(d.NextChar, before) << "rectangle " << rectangles << " drew nothing";
        for (const auto& t : dc.Texts) seen.push_back(t.S);
    }
    ASSERT_EQ(seen.size(), size_t(paragraphs));
    for (int i = 0; i < paragraphs; ++i) ASSERT_EQ(seen[size_t(i)], "P" + std::to_string(i));
    EXPECT_GT(rectangles, 100);   // some 15 paragraphs a rectangle
}

// A paragraph too long to lay out in a moment is refused: the text draws nothing, as damaged
// text does; one at the limit draws.
TEST(RtfDraw, AParagraphTooLongToLayOutIsRefused)
{
    for (const int64_t length : {TRpxRtfDraw::kMaxParagraphLength, TRpxRtfDraw::kMaxParagraphLength + 1}) {
        const std::string rtf = "{\\rtf1\\ansi " + std::string(static_cast<size_t>(length), 'x') + "\\par}";
        TRpxRtfDraw d;
        const bool read = d.LoadFromBytes(reinterpret_cast<const uint8_t*>(rtf.data()), rtf.size());
        EXPECT_EQ(read, length <= TRpxRtfDraw::kMaxParagraphLength) << length;
        EXPECT_EQ(d.TextLengthOf() > 0, read) << length;
    }
}
