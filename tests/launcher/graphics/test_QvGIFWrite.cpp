// The launcher's GIF writer: its files read back pixel-exact by our reader, Qt's and giflib;
// the stream rules of the format.
#include "GifTestSupport.h"

#include "launcher/graphics/QvGraph.h"
#include "platform/graphics/Icon.h"
#include "platform/runtime/ByteIO.h"

#include <random>

using namespace gift;
using QvGIF::TGIFImage;

namespace {

// A bitmap of the format with pseudo-random indexes (or colours) of up to `colors` values.
std::unique_ptr<TBitmap> MakeBitmap(int w, int h, TPixelFormat format, int colors, uint32_t seed)
{
    auto b = std::make_unique<TBitmap>(w, h, format);
    std::mt19937 rng(seed);
    if (format == pf1bit || format == pf4bit || format == pf8bit) {
        std::vector<TColor> palette;
        for (int i = 0; i < (1 << PixelFormatBits(format)); ++i)
            palette.push_back(RGB((i * 37) & 0xFF, (i * 91) & 0xFF, (i * 13 + 5) & 0xFF));
        b->SetPalette(palette);
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int k = static_cast<int>(rng() % static_cast<uint32_t>(colors));
            uint8_t* line = b->ScanLine(y);
            switch (format) {
            case pf1bit:
                if (k & 1) {
                    line[x >> 3] |= uint8_t(0x80 >> (x & 7));
                } else {
                    line[x >> 3] &= uint8_t(~(0x80 >> (x & 7)));
                }
                break;
            case pf4bit: line[x >> 1] = (x & 1) ? uint8_t((line[x >> 1] & 0xF0) | k) : uint8_t((line[x >> 1] & 0x0F) | (k << 4)); break;
            case pf8bit: line[x] = uint8_t(k); break;
            default:
                line[3 * x] = uint8_t(k * 7);
                line[3 * x + 1] = uint8_t(k * 3);
                line[3 * x + 2] = uint8_t(255 - k);
            }
        }
    return b;
}

// Pixels of a bitmap as colours, for comparison with the decoders.
Pixels Expected(TBitmap& b) { return BitmapPixels(b); }

void ExpectReadBack(const Bytes& gif, Pixels expected, const std::string& what)
{
    EXPECT_EQ(OurDecode(gif), expected) << what;
    EXPECT_EQ(QtDecode(gif), expected) << what;
    EXPECT_EQ(GiflibDecode(gif), expected) << what;
}

// The extension blocks giflib finds before each image, and after the last.
struct Blocks {
    std::vector<std::vector<int>> perImage;  // function codes
    std::vector<int> trailing;
    int version89 = -1;
};

Blocks GiflibBlocks(const Bytes& gif)
{
    MemReader r{&gif};
    int err = 0;
    GifFileType* g = DGifOpen(&r, ReadMem, &err);
    Blocks b;
    if (!g) return b;
    if (DGifSlurp(g) == GIF_OK) {
        for (int i = 0; i < g->ImageCount; ++i) {
            std::vector<int> codes;
            for (int k = 0; k < g->SavedImages[i].ExtensionBlockCount; ++k)
                codes.push_back(g->SavedImages[i].ExtensionBlocks[k].Function);
            b.perImage.push_back(codes);
        }
        for (int k = 0; k < g->ExtensionBlockCount; ++k) b.trailing.push_back(g->ExtensionBlocks[k].Function);
    }
    DGifCloseFile(g, &err);
    b.version89 = gif.size() > 6 && gif[4] == '9';
    return b;
}

bool Contains(const Bytes& hay, const std::string& needle)
{
    return std::search(hay.begin(), hay.end(), needle.begin(), needle.end()) != hay.end();
}

} // namespace

TEST(QvGIFWriter, RoundTripsEveryDepth)
{
    struct Case {
        TPixelFormat format;
        int colors;
        int w, h;
    };
    const Case cases[] = {
        {pf1bit, 2, 33, 17}, {pf4bit, 16, 31, 9}, {pf8bit, 256, 64, 48},
        // 24 bits with no more than 256 colours: the popularity reduction keeps every colour.
        {pf24bit, 200, 40, 40},
        // Noise over 256 x 256: the encoder's table fills and starts again with a clear code.
        {pf8bit, 256, 256, 256},
    };
    for (const Case& c : cases) {
        auto bitmap = MakeBitmap(c.w, c.h, c.format, c.colors, uint32_t(c.w * c.h));
        TGIFImage gif;
        gif.Assign(*bitmap);
        const Bytes bytes = SaveGif(gif);
        ExpectReadBack(bytes, Expected(*bitmap), "depth " + std::to_string(PixelFormatBits(c.format)));
        if (c.format == pf1bit) {
            EXPECT_EQ(bytes[13 + 6 + 10], 2) << "1-bit pictures use code size 2";
        }
    }
}

TEST(QvGIFWriter, FramesLoopingAndVersion)
{
    auto a = MakeBitmap(20, 10, pf8bit, 50, 1);
    auto b = MakeBitmap(20, 10, pf8bit, 50, 2);

    {  // one frame, no extensions: GIF87a, no loop block even when looping
        TGIFImage gif;
        gif.AddFrame(*a);
        gif.Looping = true;
        const Bytes bytes = SaveGif(gif);
        EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF87a");
        EXPECT_FALSE(Contains(bytes, "NETSCAPE2.0"));
    }
    {  // two frames: 89a; the loop block only when looping
        for (bool looping : {false, true}) {
            TGIFImage gif;
            gif.AddFrame(*a);
            gif.AddFrame(*b);
            gif.Looping = looping;
            gif.RepeatCount = 7;
            const Bytes bytes = SaveGif(gif);
            EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF89a");
            EXPECT_EQ(Contains(bytes, "NETSCAPE2.0"), looping);
            EXPECT_EQ(GiflibDecode(bytes, 1), Expected(*b));
            TGIFImage back;
            LoadGif(back, bytes);
            ASSERT_EQ(back.FrameCount(), 2);
            EXPECT_EQ(back.Looping, looping);
            if (looping) {
                EXPECT_EQ(back.RepeatCount, 7);
            }
            // The second frame has the global table taken: it keeps a local one.
            EXPECT_FALSE(back.FrameAt(0).LocalTable);
            EXPECT_TRUE(back.FrameAt(1).LocalTable);
        }
    }
    {  // a comment makes 89a; a line of 300 bytes is written as its first 255
        TGIFImage gif;
        gif.AddFrame(*a);
        gif.MutableData().Comment = {std::string(300, 'c'), "", "second"};
        const Bytes bytes = SaveGif(gif);
        EXPECT_EQ(bytes[4], '9');
        TGIFImage back;
        LoadGif(back, bytes);
        EXPECT_EQ(back.Data().Comment, (std::vector<std::string>{std::string(255, 'c'), "second"}));
        // giflib lists a comment's second sub-block as a continuation.
        EXPECT_EQ(GiflibBlocks(bytes).trailing, (std::vector<int>{COMMENT_EXT_FUNC_CODE, CONTINUE_EXT_FUNC_CODE}));
    }
}

TEST(QvGIFWriter, GraphicControlFollowsTheFrame)
{
    auto bitmap = MakeBitmap(8, 8, pf8bit, 4, 3);
    const TColor inTable = bitmap->Palette()[2];
    struct Case {
        TColor transparent;
        uint16_t delay;
        uint8_t disposal;
        bool expectBlock, expectBit;
    };
    const Case cases[] = {
        {clNone, 0, 0, false, false},
        {inTable, 0, 0, true, true},
        {RGB(1, 2, 3), 0, 0, true, false},  // not in the table: bit 0 clear
        {clNone, 250, 2, true, false},
    };
    for (const Case& c : cases) {
        TGIFImage gif;
        gif.AddFrame(*bitmap);
        QvGIF::TGIFFrame& f = gif.FrameAt(0);
        f.TransparentColor = c.transparent;
        f.Delay = c.delay;
        f.Disposal = c.disposal;
        const Bytes bytes = SaveGif(gif);
        MemReader r{&bytes};
        int err = 0;
        GifFileType* g = DGifOpen(&r, ReadMem, &err);
        ASSERT_NE(g, nullptr);
        ASSERT_EQ(DGifSlurp(g), GIF_OK);
        GraphicsControlBlock gcb{};
        const bool found = DGifSavedExtensionToGCB(g, 0, &gcb) == GIF_OK && g->SavedImages[0].ExtensionBlockCount > 0;
        EXPECT_EQ(found, c.expectBlock);
        if (found) {
            EXPECT_EQ(gcb.TransparentColor != NO_TRANSPARENT_COLOR, c.expectBit);
            if (c.expectBit) {
                EXPECT_EQ(gcb.TransparentColor, 2);
            }
            EXPECT_EQ(gcb.DelayTime, c.delay / 10);
            EXPECT_EQ(gcb.DisposalMode, c.disposal);
        }
        DGifCloseFile(g, &err);
        EXPECT_EQ(bytes[4], c.expectBlock ? '9' : '7');
    }
}

// The screen's background colour is written as its index in the global table, as giflib reads it.
TEST(QvGIFWriter, TheBackgroundIndexIsWritten)
{
    for (const uint8_t background : {uint8_t(0), uint8_t(2), uint8_t(3)}) {
        SCOPED_TRACE(int(background));
        Bytes file = Assemble(2, 2, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF},
                              {{0, 0, 2, 2, false, PlainLZW({0, 1, 2, 3}, 2, true, 0), {}}});
        file[11] = background;
        TGIFImage g;
        LoadGif(g, file);
        const Bytes saved = SaveGif(g);
        MemReader r{&saved};
        int err = 0;
        GifFileType* gif = DGifOpen(&r, ReadMem, &err);
        ASSERT_NE(gif, nullptr);
        EXPECT_EQ(gif->SBackGroundColor, background);
        DGifCloseFile(gif, &err);
    }
}

TEST(QvGIFWriter, Errors)
{
    TGIFImage empty;
    TMemoryStream m;
    try {
        empty.SaveToStream(m);
        ADD_FAILURE();
    } catch (const EInvalidGraphicOperation& e) {
        EXPECT_EQ(e.Message(), "No GIF Data to write");
    }
    QvGIF::TGIFFrame frame(nullptr);
    EXPECT_THROW(frame.EncodeBitmap(), EInvalidGraphicOperation);

    // A bitmap file of no pixels fails like a frame without a bitmap; 24 bits is no GIF depth.
    TBitmap one(1, 1, pf8bit);
    TMemoryStream file;
    one.SaveToStream(file);
    Bytes zero = file.Bytes();
    StoreLE32(&zero[18], 0);
    try {
        frame.EncodeDIB(zero);
        ADD_FAILURE();
    } catch (const EInvalidGraphicOperation& e) {
        EXPECT_EQ(e.Message(), "No GIF Data to write");
    }
    TBitmap deep(2, 2, pf24bit);
    TMemoryStream deepFile;
    deep.SaveToStream(deepFile);
    try {
        frame.EncodeDIB(deepFile.Bytes());
        ADD_FAILURE();
    } catch (const EInvalidGraphicOperation& e) {
        EXPECT_EQ(e.Message(), "GIF image encoding error");
    }
    Bytes cut = file.Bytes();
    cut.resize(cut.size() - 3);
    EXPECT_THROW(frame.EncodeDIB(cut), EInvalidGraphicOperation);

    // A graphic of another class names that class as it is declared.
    TGIFImage gif;
    TIcon icon;
    try {
        gif.Assign(icon);
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TIcon to a TGIFImage");
    }
}

TEST(QvGIFWriter, WindowLayoutAndClipboardForms)
{
    auto bitmap = MakeBitmap(12, 7, pf4bit, 16, 4);
    TGIFImage gif;
    gif.Assign(*bitmap);
    TMemoryStream layout;
    gif.WriteData(layout);
    layout.SetPosition(0);
    TGIFImage back;
    back.ReadData(layout);
    EXPECT_EQ(BitmapPixels(back.CurrentBitmap()), Expected(*bitmap));
    EXPECT_EQ(layout.Position(), layout.Size());

    TClipboardData clip;
    gif.SaveToClipboardFormat(clip);
    ASSERT_TRUE(clip.HasFormat(QvGIF::CF_GIF()));
    ASSERT_TRUE(clip.HasFormat(CF_BITMAP));
    TGIFImage pasted;
    pasted.LoadFromClipboardFormat(QvGIF::CF_GIF(), clip);
    ASSERT_EQ(pasted.FrameCount(), 1);
    EXPECT_TRUE(pasted.FrameAt(0).HasBitmap());  // the clipboard's bitmap, not decoded
    EXPECT_EQ(BitmapPixels(pasted.CurrentBitmap()), Expected(*bitmap));

    TGIFImage fromBitmap;
    fromBitmap.LoadFromClipboardFormat(CF_BITMAP, clip);
    EXPECT_EQ(BitmapPixels(fromBitmap.CurrentBitmap()), Expected(*bitmap));
}

TEST(QvGIFWriter, AssignmentSharesAndCopies)
{
    auto bitmap = MakeBitmap(10, 10, pf8bit, 9, 5);
    TGIFImage source;
    source.AddFrame(*bitmap);
    source.FrameAt(0).Delay = 120;
    SaveGif(source);  // encodes

    TGIFImage copy;
    copy.Assign(&source);
    EXPECT_TRUE(copy.Equals(source));
    EXPECT_EQ(copy.FrameAt(0).Delay, 120);
    EXPECT_EQ(SaveGif(copy), SaveGif(source));

    TGIFImage oneFrame;
    oneFrame.Assign(source.FrameAt(0));
    EXPECT_FALSE(oneFrame.Equals(source));
    EXPECT_EQ(oneFrame.Data().ColorMap, source.Data().ColorMap);
    EXPECT_EQ(GiflibDecode(SaveGif(oneFrame)), Expected(*bitmap));

    TBitmap out;
    source.AssignTo(out);
    EXPECT_EQ(BitmapPixels(out), Expected(*bitmap));

    copy.Assign(static_cast<const TGIFImage*>(nullptr));
    EXPECT_EQ(copy.FrameCount(), 0);
    EXPECT_TRUE(copy.Empty());
}

TEST(QvGIFWriter, SavesToFile)
{
    auto bitmap = MakeBitmap(5, 5, pf8bit, 3, 6);
    TGIFImage gif;
    gif.Assign(*bitmap);
    const std::string name = ::testing::TempDir() + "qvgif_save.gif";
    gif.SaveToFile(name);
    QvGIF::RegisterGIFImage();  // as the program's start does: the picture reads ".gif" through it
    TPicture picture;
    picture.LoadFromFile(name);
    ASSERT_NE(dynamic_cast<TGIFImage*>(picture.Graphic()), nullptr);
    TBitmap out;
    picture.Graphic()->AssignTo(out);
    EXPECT_EQ(BitmapPixels(out), Expected(*bitmap));
    std::remove(name.c_str());
}
