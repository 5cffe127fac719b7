// The launcher's GIF reader against giflib and Qt's GIF reader, its stream rules, and damaged
// files.
#include "GifTestSupport.h"

#include "launcher/graphics/GfxUtils.h"
#include "platform/graphics/Clipbrd.h"

#include <QFile>

#include <random>

using namespace gift;
using QvGIF::TGIFImage;

namespace {

std::vector<uint8_t> Noise(int n, int colors, uint32_t seed, int runs = 1)
{
    std::mt19937 rng(seed);
    std::vector<uint8_t> v;
    while (static_cast<int>(v.size()) < n) {
        const uint8_t c = static_cast<uint8_t>(rng() % static_cast<uint32_t>(colors));
        // Runs give repeated strings, and with them codes defined by themselves (KwKwK).
        const int len = 1 + static_cast<int>(rng() % static_cast<uint32_t>(runs));
        for (int i = 0; i < len && static_cast<int>(v.size()) < n; ++i) v.push_back(c);
    }
    return v;
}

struct Decoded {
    Pixels ours, qt, giflib;
};

Decoded DecodeAll(const Bytes& gif)
{
    return {OurDecode(gif), QtDecode(gif), GiflibDecode(gif)};
}

void ExpectSame(const Decoded& d, const std::string& what)
{
    ASSERT_FALSE(d.giflib.Rgb.empty()) << what << ": giflib refused the file";
    EXPECT_EQ(d.ours, d.giflib) << what;
    EXPECT_EQ(d.ours, d.qt) << what;
}

} // namespace

// giflib writes the files; code sizes 2 to 8, global and local tables, plain and interlaced.
TEST(QvGIFReader, DecodesLikeGiflibAndQt)
{
    for (int bits = 1; bits <= 8; ++bits)
        for (bool local : {false, true})
            for (bool interlaced : {false, true}) {
                const int w = 37, h = 23;
                const auto pixels = Noise(w * h, 1 << bits, uint32_t(bits * 10 + local * 2 + interlaced), 6);
                const Bytes gif = GiflibEncode(w, h, pixels, Greys(1 << bits), local, interlaced);
                ExpectSame(DecodeAll(gif), "bits " + std::to_string(bits) + (local ? " local" : " global") +
                                               (interlaced ? " interlaced" : ""));
            }
}

TEST(QvGIFReader, InterlacedHeightsOneToNine)
{
    for (int h = 1; h <= 9; ++h) {
        const int w = 5;
        std::vector<uint8_t> pixels;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) pixels.push_back(static_cast<uint8_t>(y));  // row y has colour y
        const Bytes gif = GiflibEncode(w, h, pixels, Greys(16), false, true);
        const Decoded d = DecodeAll(gif);
        EXPECT_EQ(d.ours, d.giflib) << "height " << h;
        for (int y = 0; y < h; ++y) EXPECT_EQ(d.ours.Rgb[static_cast<size_t>(y * w)], Greys(16)[static_cast<size_t>(y)]) << h;
        // Qt's reader puts the rows after an empty pass one row too low in pictures of 3 and 4
        // rows (row 1 lands on row 2); giflib and the rows themselves decide there.
        if (h != 3 && h != 4) {
            EXPECT_EQ(d.ours, d.qt) << "height " << h;
        }
    }
}

// Streams giflib never writes: no leading clear code, a full table kept without a clear code,
// clear codes in the middle.
TEST(QvGIFReader, UnusualCodeStreams)
{
    struct Case {
        const char* name;
        int codeSize;
        bool clearFirst;
        int clearEvery;
        int runs;
    };
    const Case cases[] = {
        {"no clear code first", 8, false, 0, 1},
        {"full table, no clear", 8, true, 0, 1},
        {"full table, 2-bit codes", 2, true, 0, 3},
        {"clear every 100 codes", 8, true, 100, 4},
        {"clear every 37 codes, 3 bits", 3, true, 37, 2},
    };
    for (const Case& c : cases) {
        const int w = 160, h = 120;
        const int colors = 1 << c.codeSize;
        const auto pixels = Noise(w * h, colors, 7, c.runs);
        FrameSpec f{0, 0, w, h, false, PlainLZW(pixels, c.codeSize, c.clearFirst, c.clearEvery), {}};
        const Bytes gif = Assemble(w, h, Greys(colors), {f});
        const Decoded d = DecodeAll(gif);
        EXPECT_EQ(d.ours, d.giflib) << c.name;
        std::vector<uint32_t> expected;
        for (uint8_t p : pixels) expected.push_back(Greys(colors)[p]);
        EXPECT_EQ(d.ours.Rgb, expected) << c.name;
    }
}

TEST(QvGIFReader, SplashDecodesLikeGiflib)
{
    QFile f(MW_SOURCE_DIR "/launcher/resources/Splash.gif");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray data = f.readAll();
    const Bytes gif(data.begin(), data.end());
    const Decoded d = DecodeAll(gif);
    ExpectSame(d, "splash");
    EXPECT_EQ(d.ours.Width, 407);
    EXPECT_EQ(d.ours.Height, 243);
}

TEST(QvGIFReader, RegisteredForGifAndTheClipboard)
{
    QvGIF::RegisterGIFImage();
    auto g = TPicture::CreateGraphic("GIF");
    EXPECT_NE(dynamic_cast<TGIFImage*>(g.get()), nullptr);
    EXPECT_EQ(ClipboardFormatName(QvGIF::CF_GIF()), "GIF Image");
    EXPECT_TRUE(SupportsPictureClipboardFormat(QvGIF::CF_GIF()));
    EXPECT_NE(dynamic_cast<TGIFImage*>(CreateGraphicForClipboardFormat(QvGIF::CF_GIF()).get()), nullptr);

    // The picture registry reads a GIF through this class.
    const Bytes gif = GiflibEncode(4, 3, Noise(12, 4, 1), Greys(4), false, false);
    TMemoryStream m;
    m.WriteBuffer(gif.data(), static_cast<int64_t>(gif.size()));
    m.SetPosition(0);
    TPicture picture;
    picture.LoadFromStream(m, ".gif");
    EXPECT_NE(dynamic_cast<TGIFImage*>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Width(), 4);
}

TEST(QvGIFReader, HeaderAndExtensions)
{
    const auto pixels = Noise(6, 4, 3);
    const Bytes data = PlainLZW(pixels, 2, true, 0);
    const std::vector<uint32_t> table = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};

    {  // case-insensitive signature and version; a descriptor of width 0 takes the screen's
        const Bytes gif = Assemble(3, 2, table, {{0, 0, 0, 2, false, data, {}}}, {}, "gif89A");
        TGIFImage g;
        LoadGif(g, gif);
        EXPECT_EQ(g.Version, 2);
        EXPECT_EQ(g.Width(), 3);
        EXPECT_EQ(g.Height(), 2);
    }
    {  // two graphic control blocks: the later transparency and disposal, the larger delay
        Bytes before = GraphicControl(0x01 | (2 << 2), 50, 1);
        const Bytes second = GraphicControl(0x01 | (1 << 2), 7, 3);
        before.insert(before.end(), second.begin(), second.end());
        const Bytes c = Comment("frame note");
        before.insert(before.end(), c.begin(), c.end());
        const Bytes netscape = {'!', 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0xFF, 0xFF, 0};
        before.insert(before.begin(), netscape.begin(), netscape.end());
        const Bytes gif = Assemble(3, 2, table, {{0, 0, 3, 2, false, data, before}}, Comment("after"));
        TGIFImage g;
        LoadGif(g, gif);
        QvGIF::TGIFFrame& f = g.FrameAt(0);
        EXPECT_EQ(f.TransparentColor, RGB(0, 0, 255));
        EXPECT_EQ(f.Disposal, 1);
        EXPECT_EQ(f.Delay, 500);
        EXPECT_TRUE(g.Looping);
        EXPECT_EQ(g.RepeatCount, 30000);
        ASSERT_NE(f.FrameComment(false), nullptr);
        EXPECT_EQ(*f.FrameComment(false), std::vector<std::string>{"frame note"});
        EXPECT_EQ(g.Data().Comment, std::vector<std::string>{"after"});
        EXPECT_TRUE(g.GetTransparent());
    }
    {  // a plain-text block drops what was collected for the frame
        Bytes before = GraphicControl(0x01, 5, 1);
        const Bytes text = {'!', 0x01, 12, 0, 0, 0, 0, 3, 0, 2, 0, 1, 1, 0, 1, 2, 'h', 'i', 0};
        before.insert(before.end(), text.begin(), text.end());
        const Bytes gif = Assemble(3, 2, table, {{0, 0, 3, 2, false, data, before}});
        TGIFImage g;
        LoadGif(g, gif);
        EXPECT_EQ(g.FrameAt(0).TransparentColor, clNone);
        EXPECT_EQ(g.FrameAt(0).Delay, 0);
    }
}

TEST(QvGIFReader, FramesDecodeLazilyAndShareOnAssign)
{
    const auto pixels = Noise(12, 4, 5);
    FrameSpec f{0, 0, 4, 3, false, PlainLZW(pixels, 2, true, 0), {}};
    const Bytes gif = Assemble(4, 3, Greys(4), {f, f, f});
    TGIFImage g;
    LoadGif(g, gif);
    ASSERT_EQ(g.FrameCount(), 3);
    EXPECT_TRUE(g.FrameAt(0).HasBitmap());
    EXPECT_FALSE(g.FrameAt(2).HasBitmap());
    EXPECT_EQ(g.FrameAt(2).FrameWidth(), 4);
    EXPECT_TRUE(g.FrameAt(2).HasBitmap());

    TGIFImage copy;
    copy.Assign(&g);
    EXPECT_TRUE(copy.Equals(g));
    TGIFImage other;
    LoadGif(other, gif);
    EXPECT_FALSE(other.Equals(g));
    EXPECT_THROW(g.SetWidth(10), EInvalidGraphicOperation);
}

TEST(QvGIFReader, DrawsTransparentPixelsAsBackground)
{
    // Colour 1 (red) is transparent; drawn stretched twice over a blue canvas.
    const std::vector<uint8_t> pixels = {0, 1, 1, 0};
    const std::vector<uint32_t> table = {0x00FF00, 0xFF0000};
    const Bytes gif =
        Assemble(2, 2, table, {{0, 0, 2, 2, false, PlainLZW(pixels, 2, true, 0), GraphicControl(0x01, 0, 1)}});
    TGIFImage g;
    LoadGif(g, gif);
    TBitmap canvas(4, 4, pf24bit);
    canvas.Canvas().Brush.Color = clBlue;
    canvas.Canvas().FillRect(Rect(0, 0, 4, 4));
    canvas.Canvas().StretchDraw(Rect(0, 0, 4, 4), g);
    EXPECT_EQ(canvas.Canvas().Pixels(0, 0), clLime);
    EXPECT_EQ(canvas.Canvas().Pixels(3, 0), clBlue);
    EXPECT_EQ(canvas.Canvas().Pixels(0, 3), clBlue);
    EXPECT_EQ(canvas.Canvas().Pixels(3, 3), clLime);
}

// A picture whose first frame cannot be decoded keeps no frame to draw: drawing it, measuring
// it and asking for its palette afterwards do nothing, as for an empty picture.
TEST(QvGIFReader, APictureWhoseFirstFrameFailedDrawsNothing)
{
    const Bytes noTable = Assemble(2, 2, {}, {{0, 0, 2, 2, false, PlainLZW({0, 1, 1, 0}, 2, true, 0), {}}});
    TGIFImage g;
    EXPECT_THROW(LoadGif(g, noTable), EInvalidGraphicOperation);
    EXPECT_TRUE(g.Empty());
    EXPECT_EQ(g.Width(), 0);
    TBitmap canvas(4, 4, pf24bit);
    canvas.Canvas().Brush.Color = clBlue;
    canvas.Canvas().FillRect(Rect(0, 0, 4, 4));
    g.Draw(canvas.Canvas(), Rect(0, 0, 4, 4));
    canvas.Canvas().StretchDraw(Rect(0, 0, 4, 4), g);
    EXPECT_EQ(canvas.Canvas().Pixels(1, 1), clBlue);
}

// What a file may make the picture decode is bounded in all, not only per frame: a few hundred
// bytes of large frames without data are refused when read, before anything is decoded; a
// picture at the limit still reads.
TEST(QvGIFReader, TheFramesOfOnePictureAreLimitedInAll)
{
    const Bytes noData = {8, 0};  // code size 8, no sub-blocks
    struct Case {
        int frames, side;
        bool refused;
    };
    for (const Case& c : {Case{24, 8192, true}, Case{2, 4096, true}, Case{4, 2048, false}, Case{1, 4096, false}}) {
        std::vector<FrameSpec> frames(static_cast<size_t>(c.frames), FrameSpec{0, 0, c.side, c.side, false, noData, {}});
        const Bytes gif = Assemble(c.side, c.side, Greys(2), frames);
        EXPECT_LT(gif.size(), 400u);
        TGIFImage g;
        if (c.refused) {
            try {
                LoadGif(g, gif);
                ADD_FAILURE() << c.frames << " frames of " << c.side << " read";
            } catch (const EOutOfResources& e) {
                EXPECT_EQ(e.Message(), "GIF image too large: its frames hold more than 16777216 pixels in all");
            }
            EXPECT_LE(uint64_t(g.FrameCount()) * uint64_t(c.side) * uint64_t(c.side), uint64_t(1) << 24);
        } else {
            LoadGif(g, gif);
            EXPECT_EQ(g.FrameCount(), c.frames);
        }
    }
}

// Every damaged file gives a clear error or decodes as far as it goes; never a crash.
TEST(QvGIFReader, DamagedFiles)
{
    const auto pixels = Noise(40 * 30, 16, 9, 3);
    const Bytes good = GiflibEncode(40, 30, pixels, Greys(16), false, false);

    struct Case {
        std::string name;
        Bytes bytes;
        std::string error;  // "" when the file loads (tolerated)
    };
    std::vector<Case> cases;
    auto patched = [&](size_t at, std::initializer_list<uint8_t> bytes) {
        Bytes b = good;
        size_t i = at;
        for (uint8_t v : bytes) b[i++] = v;
        return b;
    };
    cases.push_back({"GIF88a", patched(3, {'8', '8', 'a'}), "Unknown GIF version"});
    cases.push_back({"not a GIF", Bytes{'P', 'N', 'G'}, "Unknown GIF version"});
    const size_t afterTable = 13 + 16 * 3;
    cases.push_back({"unknown extension", [&] {
                         Bytes b = good;
                         const Bytes ext = {'!', 0x42, 0};
                         b.insert(b.begin() + static_cast<std::ptrdiff_t>(afterTable), ext.begin(), ext.end());
                         return b;
                     }(),
                     "Unrecognized extension block: 42"});
    cases.push_back({"no colour table", [&] {
                         Bytes b = patched(10, {0x00});
                         b.erase(b.begin() + 13, b.begin() + static_cast<std::ptrdiff_t>(afterTable));
                         return b;
                     }(),
                     "Wrong number of colors; must be a power of 2"});
    cases.push_back({"garbage after image", [&] {
                         Bytes b = good;
                         b.back() = 'x';
                         return b;
                     }(),
                     ""});
    cases.push_back({"code size 12", patched(afterTable + 10, {12}), ""});
    cases.push_back({"huge frame", [&] {
                         Bytes b = patched(afterTable + 5, {0xFF, 0xFF, 0xFF, 0xFF});
                         return b;
                     }(),
                     "GIF image too large: its frames hold more than 16777216 pixels in all"});
    cases.push_back({"zero size frame on a zero size screen", [&] {
                         Bytes b = patched(6, {0, 0, 0, 0});
                         for (size_t i = 5; i < 9; ++i) b[afterTable + i] = 0;
                         return b;
                     }(),
                     ""});
    // Cut at every length: at the blocks' boundaries and in the middle of each.
    for (size_t n = 0; n < good.size(); n += (n < 80 ? 1 : 37)) cases.push_back({"cut at " + std::to_string(n), Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n)), "?"});

    for (const Case& c : cases) {
        TGIFImage g;
        try {
            LoadGif(g, c.bytes);
            if (c.error != "?") {
                EXPECT_EQ(c.error, "") << c.name << " loaded";
            }
            if (g.FrameCount() > 0) g.FrameAt(0).GetBitmap();
        } catch (const Exception& e) {
            EXPECT_FALSE(e.Message().empty()) << c.name;
            if (c.error != "?") {
                EXPECT_EQ(e.Message(), c.error) << c.name;
            }
        }
    }
}

TEST(QvGIFReader, DamageRaisesWhenNotTolerated)
{
    struct Restore {
        ~Restore() { QvGIF::TolerateBadGIFData = true; }
    } restore;
    const auto pixels = Noise(40 * 30, 16, 9, 3);
    const Bytes good = GiflibEncode(40, 30, pixels, Greys(16), false, false);
    const size_t codeSizeAt = 13 + 16 * 3 + 10;
    Bytes badCodeSize = good;
    badCodeSize[codeSizeAt] = 1;
    Bytes cut(good.begin(), good.end() - 40);

    for (bool tolerate : {true, false}) {
        QvGIF::TolerateBadGIFData = tolerate;
        TGIFImage a, b;
        if (tolerate) {
            EXPECT_NO_THROW(LoadGif(a, badCodeSize));
            EXPECT_TRUE(a.FrameAt(0).Corrupted);
            EXPECT_NO_THROW(LoadGif(b, cut));
            EXPECT_TRUE(b.FrameAt(0).Corrupted);
        } else {
            try {
                LoadGif(a, badCodeSize);
                ADD_FAILURE() << "a bad code size loaded";
            } catch (const EInvalidGraphicOperation& e) {
                EXPECT_EQ(e.Message(), "GIF code size not in range 2 to 9");
            }
            EXPECT_THROW(LoadGif(b, cut), EInvalidGraphicOperation);
        }
    }
}

TEST(QvGIFReader, ReadDataTakesTheCountedBytes)
{
    const Bytes gif = GiflibEncode(3, 3, Noise(9, 2, 4), Greys(2), false, false);
    TMemoryStream m;
    m.WriteI32(static_cast<int32_t>(gif.size()));
    m.WriteBuffer(gif.data(), static_cast<int64_t>(gif.size()));
    m.WriteString("after");
    m.SetPosition(0);
    TGIFImage g;
    g.ReadData(m);
    EXPECT_EQ(g.Width(), 3);
    EXPECT_EQ(m.Position(), static_cast<int64_t>(4 + gif.size()));

    TMemoryStream shortOne;
    shortOne.WriteI32(1000);
    shortOne.WriteBuffer(gif.data(), static_cast<int64_t>(gif.size()));
    shortOne.SetPosition(0);
    EXPECT_THROW(g.ReadData(shortOne), EReadError);
}
