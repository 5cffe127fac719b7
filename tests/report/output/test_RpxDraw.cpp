#include "RecordBytes.h"

#include "report/output/RpxDraw.h"
#include "report/output/RpxOutput.h"
#include "report/output/RpxPicture.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

struct Bar {
    int left, right;
    friend bool operator==(const Bar&, const Bar&) = default;
};

std::vector<Bar> Bars(const TRpxRecordingDevice& dev)
{
    std::vector<Bar> bars;
    const std::regex fill(R"(fill (-?\d+),(-?\d+),(-?\d+),(-?\d+) .*)");
    for (const auto& c : dev.Calls) {
        std::smatch m;
        if (std::regex_match(c, m, fill)) bars.push_back({std::stoi(m[1]), std::stoi(m[3])});
    }
    return bars;
}

// Bars of a pattern written as the standards print them (n narrow, w wide; bar first).
std::vector<Bar> Expected(const std::string& elements, int n, int w, int& x)
{
    std::vector<Bar> bars;
    for (size_t i = 0; i < elements.size(); ++i) {
        const int width = elements[i] == 'w' ? w : n;
        if (i % 2 == 0) bars.push_back({x, x + width});
        x += width;
    }
    return bars;
}

const TRpxLogBrush kBlack{rbsSolid, 0};

// The bars of `text` drawn in `code` with narrow elements 2 and wide ones 5 pixels.
std::vector<Bar> DrawnBars(TRpxBarCode& code, const std::string& text)
{
    TRpxRecordingDevice dev;
    code.NarrowWidth = 2;
    code.WideWidth = 5;
    code.BarHeight = 10;
    code.Draw(dev, kBlack, 0, 0, text);
    return Bars(dev);
}

} // namespace

TEST(RpxBarCode, Code39DrawsTheStandardsPatternsWithGaps)
{
    TRpxRecordingDevice dev;
    TRpx3of9BarCode code;
    code.BarHeight = 20;
    code.Draw(dev, kBlack, 0, 0, "a1%");   // lower case is raised; % is not in the table
    std::vector<Bar> want;
    int x = 0;
    for (const char* p : {"nwnnwnwnn", "wnnnnwnnw", "wnnwnnnnw", "nwnnwnwnn"}) {   // * A 1 *
        for (const Bar& b : Expected(p, 1, 3, x)) want.push_back(b);
        x += 1;   // the gap
    }
    EXPECT_EQ(Bars(dev), want);
    EXPECT_EQ(x, 64);
    EXPECT_EQ(code.CodeWidth(dev, "A1"), 64);
    EXPECT_EQ(dev.Calls[0], "fill 0,0,1,20 s0 c0");

    // Every character of the table has three wide elements of nine.
    for (char c : std::string("1234567890ABCDEFGHIJKLMNOPQRSTUVWXYZ-. *$/+")) {
        int e[9];
        ASSERT_TRUE(TRpx3of9BarCode::Pattern(c, e)) << c;
        int wide = 0;
        for (int v : e) wide += v;
        EXPECT_EQ(wide, 3) << c;
    }
    int e[9];
    EXPECT_FALSE(TRpx3of9BarCode::Pattern('%', e));
}

TEST(RpxBarCode, Code39TableOfTheStandard)
{
    // The Code 39 character set as the symbology standard prints it: nine elements, bar
    // first, n narrow and w wide.
    struct Case {
        char c;
        const char* elements;
    };
    const Case table[] = {
        {'0', "nnnwwnwnn"}, {'1', "wnnwnnnnw"}, {'2', "nnwwnnnnw"}, {'3', "wnwwnnnnn"}, {'4', "nnnwwnnnw"},
        {'5', "wnnwwnnnn"}, {'6', "nnwwwnnnn"}, {'7', "nnnwnnwnw"}, {'8', "wnnwnnwnn"}, {'9', "nnwwnnwnn"},
        {'A', "wnnnnwnnw"}, {'B', "nnwnnwnnw"}, {'C', "wnwnnwnnn"}, {'D', "nnnnwwnnw"}, {'E', "wnnnwwnnn"},
        {'F', "nnwnwwnnn"}, {'G', "nnnnnwwnw"}, {'H', "wnnnnwwnn"}, {'I', "nnwnnwwnn"}, {'J', "nnnnwwwnn"},
        {'K', "wnnnnnnww"}, {'L', "nnwnnnnww"}, {'M', "wnwnnnnwn"}, {'N', "nnnnwnnww"}, {'O', "wnnnwnnwn"},
        {'P', "nnwnwnnwn"}, {'Q', "nnnnnnwww"}, {'R', "wnnnnnwwn"}, {'S', "nnwnnnwwn"}, {'T', "nnnnwnwwn"},
        {'U', "wwnnnnnnw"}, {'V', "nwwnnnnnw"}, {'W', "wwwnnnnnn"}, {'X', "nwnnwnnnw"}, {'Y', "wwnnwnnnn"},
        {'Z', "nwwnwnnnn"}, {'-', "nwnnnnwnw"}, {'.', "wwnnnnwnn"}, {' ', "nwwnnnwnn"}, {'*', "nwnnwnwnn"},
        {'$', "nwnwnwnnn"}, {'/', "nwnwnnnwn"}, {'+', "nwnnnwnwn"},
    };
    std::string text;
    for (const Case& c : table) {
        SCOPED_TRACE(std::string(1, c.c));
        int e[9];
        ASSERT_TRUE(TRpx3of9BarCode::Pattern(c.c, e));
        std::string got;
        for (int v : e) got.push_back(v ? 'w' : 'n');
        EXPECT_EQ(got, c.elements);
        text.push_back(c.c);
    }
    // Drawn as one code between its start and stop characters.
    TRpx3of9BarCode code;
    const std::vector<Bar> drawn = DrawnBars(code, text);
    std::vector<Bar> want;
    int x = 0;
    const auto add = [&](const char* elements) {
        for (const Bar& b : Expected(elements, 2, 5, x)) want.push_back(b);
        x += 2;   // the narrow gap after every character
    };
    add("nwnnwnwnn");
    for (const Case& c : table) add(c.elements);
    add("nwnnwnwnn");
    EXPECT_EQ(drawn, want);
    TRpxRecordingDevice dev;
    EXPECT_EQ(code.CodeWidth(dev, text), x);
}

TEST(RpxBarCode, TwoOfFiveInterleavesPairsBehindALeadingZero)
{
    TRpxRecordingDevice dev;
    TRpx2of5BarCode code;
    code.BarHeight = 10;
    code.Draw(dev, kBlack, 0, 0, "123");
    // start n n n n; 0 bars with 1 spaces; 2 bars with 3 spaces; stop w n n.
    int x = 0;
    std::vector<Bar> want = Expected("nnnn", 1, 3, x);
    for (const auto& b : Expected("nwnnwnwnnw", 1, 3, x)) want.push_back(b);   // 0 = nnwwn, 1 = wnnnw
    for (const auto& b : Expected("nwwwnnnnwn", 1, 3, x)) want.push_back(b);   // 2 = nwnnw, 3 = wwnnn
    for (const auto& b : Expected("wnn", 1, 3, x)) want.push_back(b);
    EXPECT_EQ(Bars(dev), want);
    EXPECT_EQ(x, 45);
    EXPECT_EQ(code.CodeWidth(dev, "123"), 45);

    TRpxRecordingDevice none;
    code.Draw(none, kBlack, 0, 0, "12a4");
    code.Draw(none, kBlack, 0, 0, "");
    EXPECT_TRUE(none.Calls.empty());
}

TEST(RpxBarCode, TwoOfFiveDigitsOfTheStandard)
{
    // The interleaved 2 of 5 digit patterns as the symbology standard gives them; every
    // digit drawn once in the bars and once in the spaces.
    const char* const digits[10] = {"nnwwn", "wnnnw", "nwnnw", "wwnnn", "nnwnw", "wnwnn", "nwwnn", "nnnww", "wnnwn", "nwnwn"};
    for (const std::string text : {"0123456789", "1032547698"}) {
        SCOPED_TRACE(text);
        TRpx2of5BarCode code;
        const std::vector<Bar> drawn = DrawnBars(code, text);
        std::string elements = "nnnn";
        for (size_t i = 0; i < text.size(); i += 2) {
            const char* bars = digits[text[i] - '0'];
            const char* spaces = digits[text[i + 1] - '0'];
            for (int k = 0; k < 5; ++k) {
                elements.push_back(bars[k]);
                elements.push_back(spaces[k]);
            }
        }
        elements += "wnn";
        int x = 0;
        EXPECT_EQ(drawn, Expected(elements, 2, 5, x));
        TRpxRecordingDevice dev;
        EXPECT_EQ(code.CodeWidth(dev, text), x);
    }
}

TEST(RpxBarCode, MilsAndVerticalCodes)
{
    TRpxDeviceInfo info;
    info.LogPixelsX = 600;
    info.LogPixelsY = 300;
    TRpxRecordingDevice dev(info);
    TRpx2of5BarCode code;
    code.InMils = true;
    code.NarrowWidth = 10;
    code.WideWidth = 30;
    code.Vertical = true;
    code.BarWidth = 50;
    code.Draw(dev, kBlack, 5, 0, "00");
    // Vertical: widths run down the page, at the vertical resolution (10 mils = 3 pixels).
    EXPECT_EQ(dev.Calls[0], "fill 5,0,55,3 s0 c0");
    EXPECT_EQ(dev.Calls[1], "fill 5,6,55,9 s0 c0");
}

TEST(RpxDraw, ShadePatternsHaveTheirDarkPixelCounts)
{
    const int dark[] = {32, 24, 16, 10, 4, 2};
    for (int p = 1; p <= 6; ++p) {
        int n = 0;
        for (int r = 0; r < 8; ++r)
            for (int b = 0; b < 8; ++b) n += !((ShadePattern(p)[r] >> b) & 1);
        EXPECT_EQ(n, dark[p - 1]) << p;
    }
    EXPECT_EQ(ShadePattern(9), ShadePattern(4));
    EXPECT_EQ(ShadePattern(0), nullptr);
    TRpxRecordingDevice dev;
    ShadeRect(dev, {0, 0, 8, 8}, 0);
    ShadeRect(dev, {0, 0, 8, 8}, 9);
    EXPECT_EQ(dev.Calls, std::vector<std::string>{"pattern 0,0,8,8 FB.F7.BE.DF.FB.7D.EF.BF"});
    EXPECT_EQ(dev.BkMode(), OPAQUE);   // restored
}

TEST(RpxDraw, CheckAndCrossKeepTheirMargins)
{
    TRpxRecordingDevice dev;
    DrawCheck(dev, {0, 0, 9, 9}, 1, 2, 0xFF);
    DrawCheck(dev, {0, 0, 9, 9}, 0, 1, 0);
    DrawCheck(dev, {0, 0, 9, 9}, 5, 1, 0);
    EXPECT_EQ(dev.Calls, (std::vector<std::string>{"line 8,2-6,8 w2 c255", "line 6,8-4,5 w2 c255",
                                                   "line 2,2-8,8 w1 c0", "line 8,2-2,8 w1 c0"}));
    EXPECT_EQ(dev.Pen().Width, 1);   // the previous pen is back
}

namespace {

std::vector<int> TextXs(const TRpxRecordingDevice& dev)
{
    std::vector<int> xs;
    for (const auto& c : dev.Calls)
        if (c.rfind("text ", 0) == 0) xs.push_back(std::stoi(c.substr(5)));
    return xs;
}

std::vector<std::string> TextRuns(const TRpxRecordingDevice& dev)
{
    std::vector<std::string> runs;
    for (const auto& c : dev.Calls)
        if (c.rfind("text ", 0) == 0) {
            const size_t a = c.find('\'') + 1;
            runs.push_back(c.substr(a, c.find('\'', a) - a));
        }
    return runs;
}

} // namespace

TEST(RpxDraw, JustifiedLinesWidenInnerSpacesAndKeepTheLastPixelFree)
{
    TRpxRecordingDevice dev;
    dev.CharWidth = 5;
    dev.SetBkMode(TRANSPARENT);
    // "ab cd ef" is 40 wide; the span 0..46 is 47, seven more: each space gains 3. Each word
    // is one text call.
    DrawJustifiedLine(dev, {0, 0, 46, 10}, 0, {0, 0, 46, 10}, false, "ab cd ef  ", 0);
    EXPECT_EQ(TextRuns(dev), (std::vector<std::string>{"ab", "cd", "ef"}));
    EXPECT_EQ(TextXs(dev), (std::vector<int>{0, 18, 36}));
    EXPECT_EQ(dev.CurrentPos().X, 46);
    EXPECT_EQ(dev.TextAlign(), TA_LEFT);

    // A line that is not justified is one text call wherever it is aligned.
    struct Case {
        uint16_t align;
        int x;
        int left;   // where the text's cell starts
        int endX;   // the current position afterwards
    };
    for (const Case& c : {Case{TA_LEFT, 10, 10, 30}, Case{TA_RIGHT, 100, 80, 80}, Case{TA_CENTER, 50, 40, 60}}) {
        TRpxRecordingDevice d;
        d.CharWidth = 5;
        d.SetTextAlign(c.align);
        DrawJustifiedLine(d, {0, 0, 200, 10}, c.x, {0, 0, 200, 10}, true, "ab c", 0);
        EXPECT_EQ(TextRuns(d), (std::vector<std::string>{"ab c"})) << c.align;
        EXPECT_EQ(TextXs(d), (std::vector<int>{c.left})) << c.align;
        EXPECT_EQ(d.CurrentPos().X, c.endX) << c.align;
        EXPECT_EQ(d.TextAlign(), c.align);
    }
}

// --- Pictures --------------------------------------------------------------------------------

namespace {

// A BMP file: info header, colour table, rows bottom up unless topDown.
std::vector<uint8_t> Bmp(int bits, int w, int h, const std::vector<uint32_t>& colours,
                         const std::vector<uint8_t>& pixels, int ppm = 3780, bool topDown = false)
{
    TByteWriter b;
    b.U16(19778);
    b.U32(0);
    b.U32(0);
    b.U32(uint32_t(54 + colours.size() * 4));
    b.U32(40);
    b.I32(w);
    b.I32(topDown ? -h : h);
    b.U16(1);
    b.U16(uint16_t(bits));
    b.U32(0);
    b.U32(uint32_t(pixels.size()));
    b.I32(ppm);
    b.I32(ppm);
    b.U32(uint32_t(colours.size()));
    b.U32(0);
    for (uint32_t c : colours) b.U32(c);
    b.Bytes(pixels);
    return b.TakeBytes();
}

// 2 x 2 at 8 bits: bottom row indexes 0 1, top row 2 3 (rows padded to 4 bytes).
std::vector<uint8_t> Small8()
{
    return Bmp(8, 2, 2, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF}, {0, 1, 0, 0, 2, 3, 0, 0});
}

} // namespace

TEST(RpxBitmap, DecodesRowsBottomUpThroughItsColourTable)
{
    TRpxBitmap b;
    b.LoadFromBytes(Small8());
    ASSERT_FALSE(b.Empty());
    EXPECT_EQ(b.Image().Pixels, (std::vector<uint32_t>{0xFF00FF00, 0xFF0000FF, 0xFF000000, 0xFFFF0000}));
    EXPECT_EQ(b.HeaderKind, 1);
    EXPECT_EQ(b.ResolutionX, 96);
    EXPECT_EQ(b.DrawWidth(192), 4);

    TRpxBitmap top;
    top.LoadFromBytes(Bmp(24, 1, 2, {}, {1, 2, 3, 0, 4, 5, 6, 0}, 0, true));
    EXPECT_EQ(top.Image().Pixels, (std::vector<uint32_t>{0xFF030201, 0xFF060504}));
    // No resolution in the file (or one that rounds to nothing): the design resolution.
    top.DesignResolution = 48;
    EXPECT_EQ(top.DrawWidth(96), 2);
    TRpxBitmap tiny;
    tiny.LoadFromBytes(Bmp(24, 1, 1, {}, {1, 2, 3, 0}, 10));
    tiny.DesignResolution = 48;
    EXPECT_EQ(tiny.DrawHeight(96), 2);
}

TEST(RpxBitmap, DamagedFilesDecodeToNothing)
{
    const auto good = Small8();
    auto patched = [&](size_t at, std::vector<uint8_t> v) {
        auto b = good;
        std::copy(v.begin(), v.end(), b.begin() + std::ptrdiff_t(at));
        return b;
    };
    struct Case {
        std::string what;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases = {
        {"width huge", patched(18, {0xFF, 0xFF, 0xFF, 0x7F})},
        {"height huge", patched(22, {0xFF, 0xFF, 0xFF, 0x7F})},
        {"width negative", patched(18, {0xFE, 0xFF, 0xFF, 0xFF})},
        {"header size odd", patched(14, {99, 0, 0, 0})},
        {"colours huge", patched(46, {0xFF, 0xFF, 0xFF, 0x0F})},
        {"bits unknown", patched(28, {7, 0})},
        {"run-length", patched(30, {1, 0, 0, 0})},
        {"not BM", patched(0, {'B', 'N'})},
    };
    for (size_t n = 0; n < good.size(); ++n) cases.push_back({"cut " + std::to_string(n), std::vector<uint8_t>(good.begin(), good.begin() + std::ptrdiff_t(n))});
    for (const auto& c : cases) {
        TRpxBitmap b;
        b.LoadFromBytes(c.bytes);
        EXPECT_TRUE(b.Empty()) << c.what;
        TRpxRecordingDevice dev;
        b.Draw(dev, 0, 0);
        EXPECT_TRUE(dev.Calls.empty()) << c.what;
        EXPECT_EQ(GraphicFromBytes(c.bytes), nullptr) << c.what;
    }
}

TEST(RpxPicture, RecognisesEachKindAndRestoresThePosition)
{
    // The wrapper in front of a bitmap.
    auto bmp = Small8();
    TByteWriter wrapped;
    wrapped.U16(1);
    wrapped.U16(256);
    wrapped.U32(uint32_t(bmp.size()));
    wrapped.Bytes(bmp);
    TMemoryStream s;
    s.WriteBuffer(wrapped.Bytes().data(), int64_t(wrapped.Bytes().size()));
    s.SetPosition(5);
    auto pic = GraphicFromStream(s);
    ASSERT_NE(pic, nullptr);
    EXPECT_EQ(pic->PictureKind, TRpxPicture::pkBitmap);
    EXPECT_EQ(pic->Width(), 2);
    EXPECT_EQ(s.Position(), 5);

    // An enhanced metafile is recognised and draws nothing.
    std::vector<uint8_t> emf(120, 0);
    StoreLE32(emf.data(), 1);
    StoreLE32(emf.data() + 40, 0x464D4520);
    pic = GraphicFromBytes(emf);
    ASSERT_NE(pic, nullptr);
    EXPECT_EQ(pic->PictureKind, TRpxPicture::pkMetafile);
    TRpxRecordingDevice dev;
    pic->Draw(dev, {0, 0, 10, 10});
    EXPECT_TRUE(dev.Calls.empty());

    // A placeable metafile: its checksum word is the XOR of the ten before it.
    std::vector<uint8_t> wmf(40, 0);
    StoreLE32(wmf.data(), 0x9AC6CDD7u);
    StoreLE16(wmf.data() + 10, 100);
    uint16_t x = 0;
    for (int i = 0; i < 10; ++i) x ^= LoadLE16(wmf.data() + 2 * i);
    StoreLE16(wmf.data() + 20, x);
    EXPECT_EQ(GraphicFromBytes(wmf)->PictureKind, TRpxPicture::pkMetafile);
    StoreLE16(wmf.data() + 20, uint16_t(x + 1));
    EXPECT_EQ(GraphicFromBytes(wmf), nullptr);

    // An icon: its directory points at a bitmap twice as high with its mask.
    TByteWriter ico;
    ico.U16(0);
    ico.U16(1);
    ico.U16(1);
    ico.U8(1); ico.U8(1); ico.U8(0); ico.U8(0); ico.U16(1); ico.U16(24);
    std::vector<uint8_t> dib;
    {
        TByteWriter d;
        d.U32(40); d.I32(1); d.I32(2); d.U16(1); d.U16(24); d.U32(0); d.U32(0); d.I32(0); d.I32(0); d.U32(0); d.U32(0);
        d.U8(9); d.U8(8); d.U8(7); d.U8(0);   // the pixel
        d.U32(0x80);                          // its mask: see-through
        dib = d.TakeBytes();
    }
    ico.U32(uint32_t(dib.size()));
    ico.U32(22);
    ico.Bytes(dib);
    pic = GraphicFromBytes(ico.Bytes());
    ASSERT_NE(pic, nullptr);
    EXPECT_EQ(pic->PictureKind, TRpxPicture::pkIcon);
    EXPECT_EQ(pic->Image.Pixels, std::vector<uint32_t>{0x00070809});

    EXPECT_EQ(GraphicFromBytes(std::vector<uint8_t>{1, 2, 3, 4, 5}), nullptr);
}

TEST(RpxBitmap, ABitmapWithItsOwnResolutionScalesWithTheZoom)
{
    // 2 x 2 pixels at 96 per inch (3780 per metre), recorded at 96 per inch.
    TRpxOutput out;
    out.SetOutputMode(1);
    out.BeginOutput();
    TMemoryStream bmp;
    const auto file = Small8();
    bmp.WriteBuffer(file.data(), int64_t(file.size()));
    out.Canvas().DrawBitmap(48, 48, &bmp);
    out.Canvas().StretchBitmap({0, 0, 9, 9}, &bmp);
    out.EndOutput();
    struct Case {
        int ppi, zoom;
        std::vector<std::string> calls;
    };
    for (const Case& c : {Case{96, 100, {"image 48,48,50,50 2x2", "image 0,0,10,10 2x2"}},
                          Case{96, 50, {"image 24,24,25,25 2x2", "image 0,0,6,6 2x2"}},
                          Case{192, 100, {"image 96,96,100,100 2x2", "image 0,0,19,19 2x2"}}}) {
        TRpxDeviceInfo info;
        info.LogPixelsX = info.LogPixelsY = c.ppi;
        TRpxRecordingDevice dev(info);
        out.Document->ZoomX = out.Document->ZoomY = c.zoom;
        out.Document->PlayPage(dev, 1);
        EXPECT_EQ(dev.Calls, c.calls) << c.ppi << " " << c.zoom;
    }
}

TEST(RpxObjects, AFaceNameFillingAllItsBytesIsBounded)
{
    TRpxFont f;
    f.Name = std::string(40, 'F');
    const auto payload = FontPayload(f);
    ASSERT_EQ(payload.size(), kFontPayload);
    EXPECT_EQ(payload.back(), 'F');   // no terminating zero
    EXPECT_EQ(FontOfPayload(payload, 96).FaceName, std::string(32, 'F'));
    EXPECT_EQ(FontOfPayload(payload, 96).Height, -13);
}
