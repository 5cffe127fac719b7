// The writer's files are checked by two outside decoders: giflib and Qt's GIF reader.
#include "gif/GIFWriter.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <QImageReader>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>

using namespace GIFImage;

namespace {
namespace fs = std::filesystem;

// Distinct colours by number.
TColor Colour(int k) { return RGB(k % 256, (k / 256) * 40 + 3, 0x5A); }

// A 24-bit bitmap that holds exactly `colours` colours: colour k first appears at raster position
// k, the rest is a pseudo-random mixture.
std::unique_ptr<TBitmap> MakeBitmap(int w, int h, int colours, uint32_t seed = 1, int first = 0)
{
    auto b = std::make_unique<TBitmap>(w, h, pf24bit);
    uint32_t s = seed;
    for (int y = 0; y < h; ++y) {
        uint8_t* line = b->ScanLine(y);
        for (int x = 0; x < w; ++x) {
            const int pos = y * w + x;
            s = s * 1103515245u + 12345u;
            const int k = first + (pos < colours ? pos : static_cast<int>((s >> 16) % static_cast<uint32_t>(colours)));
            const TColor c = Colour(k);
            line[3 * x] = static_cast<uint8_t>(GetBValue(c));
            line[3 * x + 1] = static_cast<uint8_t>(GetGValue(c));
            line[3 * x + 2] = static_cast<uint8_t>(GetRValue(c));
        }
    }
    return b;
}

TColor PixelOf(TBitmap& b, int x, int y)
{
    const uint8_t* p = b.ScanLine(y) + 3 * x;
    return RGB(p[2], p[1], p[0]);
}

struct GifCloser {
    void operator()(GifFileType* g) const
    {
        int err = 0;
        DGifCloseFile(g, &err);
    }
};
using GifPtr = std::unique_ptr<GifFileType, GifCloser>;

GifPtr ReadWithGiflib(const std::string& file)
{
    int err = 0;
    GifPtr g(DGifOpenFileName(file.c_str(), &err));
    EXPECT_NE(g, nullptr) << GifErrorString(err);
    if (!g) return nullptr;
    EXPECT_EQ(DGifSlurp(g.get()), GIF_OK) << GifErrorString(g->Error);
    return g;
}

TColor MapColour(const ColorMapObject* map, int index)
{
    const GifColorType& c = map->Colors[index];
    return RGB(c.Red, c.Green, c.Blue);
}

// giflib's frame i holds exactly the bitmap's pixels.
void ExpectFrameEquals(GifFileType* g, int i, TBitmap& b)
{
    const SavedImage& si = g->SavedImages[i];
    ASSERT_EQ(si.ImageDesc.Width, b.Width());
    ASSERT_EQ(si.ImageDesc.Height, b.Height());
    const ColorMapObject* map = si.ImageDesc.ColorMap ? si.ImageDesc.ColorMap : g->SColorMap;
    ASSERT_NE(map, nullptr);
    int wrong = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            const int idx = si.RasterBits[y * b.Width() + x];
            if (idx >= map->ColorCount || MapColour(map, idx) != PixelOf(b, x, y)) ++wrong;
        }
    EXPECT_EQ(wrong, 0) << "frame " << i;
}

// The transparent index giflib reports for frame i, or -1.
int TransparentIndex(GifFileType* g, int i)
{
    GraphicsControlBlock gcb{};
    EXPECT_EQ(DGifSavedExtensionToGCB(g, i, &gcb), GIF_OK);
    return gcb.TransparentColor;
}

GraphicsControlBlock Control(GifFileType* g, int i)
{
    GraphicsControlBlock gcb{};
    EXPECT_EQ(DGifSavedExtensionToGCB(g, i, &gcb), GIF_OK);
    return gcb;
}

// Qt's frames: each equals its bitmap; pixels of the transparent colour are see-through.
void ExpectQtFramesEqual(const std::string& file, const std::vector<TBitmap*>& frames,
                         std::optional<TColor> transparent = std::nullopt)
{
    QImageReader reader(QString::fromStdString(file));
    for (size_t i = 0; i < frames.size(); ++i) {
        SCOPED_TRACE(i);
        const QImage img = reader.read();
        ASSERT_FALSE(img.isNull()) << reader.errorString().toStdString();
        TBitmap& b = *frames[i];
        ASSERT_EQ(img.width(), b.Width());
        ASSERT_EQ(img.height(), b.Height());
        int wrong = 0;
        for (int y = 0; y < b.Height(); ++y)
            for (int x = 0; x < b.Width(); ++x) {
                const QRgb q = img.pixel(x, y);
                const TColor c = PixelOf(b, x, y);
                if (transparent && c == *transparent)
                    wrong += qAlpha(q) != 0;
                else
                    wrong += qAlpha(q) != 255 || FromQRgb(q) != c;
            }
        EXPECT_EQ(wrong, 0);
    }
}

std::vector<uint8_t> FileBytes(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The text of the comment extensions giflib kept with frame i (sub-blocks joined).
std::vector<std::string> Comments(int count, const ExtensionBlock* blocks)
{
    std::vector<std::string> out;
    for (int k = 0; k < count; ++k) {
        const ExtensionBlock& e = blocks[k];
        const std::string bytes(reinterpret_cast<const char*>(e.Bytes), static_cast<size_t>(e.ByteCount));
        if (e.Function == COMMENT_EXT_FUNC_CODE)
            out.push_back(bytes);
        else if (e.Function == CONTINUE_EXT_FUNC_CODE && !out.empty() && k > 0 &&
                 (blocks[k - 1].Function == COMMENT_EXT_FUNC_CODE || blocks[k - 1].Function == CONTINUE_EXT_FUNC_CODE))
            out.back() += bytes;
    }
    return out;
}

class GIFWriterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("mw_gifwriter_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const std::string& leaf) const { return (dir_ / leaf).string(); }

    // Writes the job's stream into a file for the decoders.
    std::string WriteJob(TGIFWriteJob& job, const std::string& leaf)
    {
        TMemoryStream m;
        EXPECT_TRUE(WriteGIFStream(job, m));
        m.SaveToFile(Path(leaf));
        return Path(leaf);
    }
    fs::path dir_;
};

struct FrameSet {
    std::vector<std::unique_ptr<TBitmap>> bitmaps;
    std::vector<TFrameInfo> infos;
    TGIFWriteJob job;
    void Add(std::unique_ptr<TBitmap> b, int left = 0, int top = 0)
    {
        TFrameInfo f;
        f.Bitmap = b.get();
        f.Left = left;
        f.Top = top;
        f.Width = b->Width();
        f.Height = b->Height();
        bitmaps.push_back(std::move(b));
        infos.push_back(f);
    }
    TGIFWriteJob& Job()
    {
        job.FrameCount = static_cast<int32_t>(infos.size());
        for (size_t i = 0; i < infos.size(); ++i) job.Frames[i] = &infos[i];
        return job;
    }
};
} // namespace

TEST(GIFWriterBits, BitsForColorCount)
{
    const std::pair<int, int> cases[] = {{0, 1}, {1, 1},  {2, 1},   {3, 2},   {4, 2},   {5, 3},  {8, 3},
                                         {9, 4}, {16, 4}, {17, 5},  {33, 6},  {64, 6},  {65, 7}, {128, 7},
                                         {129, 8}, {256, 8}, {257, 0}, {100000, 0}};
    for (const auto& [count, bits] : cases) EXPECT_EQ(BitsForColorCount(count), bits) << count;
}

TEST_F(GIFWriterTest, OneFrameFilesDecodeExactly)
{
    struct Case {
        int colours;
        int w, h;
        bool interlaced;
        bool transparent;
        int transparentColour;  // colour number made transparent; -1: one no pixel has
        bool expectFlag;        // the transparency bit is set
    };
    const Case cases[] = {
        {1, 37, 29, false, false, 0, false},     {1, 37, 29, true, true, 0, true},
        {2, 37, 29, false, true, 1, true},       {2, 37, 29, true, false, 0, false},
        {3, 11, 3, false, false, 0, false},      {16, 37, 29, true, true, 5, true},
        {16, 37, 29, false, true, -1, false},    {255, 37, 29, false, true, 200, true},
        {255, 37, 29, true, false, 0, false},    {256, 37, 29, false, true, 255, false},  // index 255 means none
        {256, 37, 29, true, true, 17, true},     {256, 37, 29, false, false, 0, false},
        // More than 4096 strings: the encoder starts its table again with clear codes.
        {256, 300, 200, false, false, 0, false}, {2, 400, 300, true, false, 0, false},
        {17, 800, 61, false, true, 3, true},     {1, 1, 1, false, false, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.colours << " colours " << c.w << "x" << c.h
                                          << (c.interlaced ? " interlaced" : "") << (c.transparent ? " transparent" : ""));
        auto b = MakeBitmap(c.w, c.h, c.colours, static_cast<uint32_t>(c.colours * 7 + c.w));
        b->SetPixelFormat(pf32bit);  // the writer converts it
        const TColor see = c.transparentColour < 0 ? RGB(1, 2, 3) : Colour(c.transparentColour);
        const std::string file = Path("one.gif");
        ASSERT_TRUE(SaveBitmapToGIFFile(file, *b, c.interlaced, c.transparent, see));
        EXPECT_EQ(LastError(), gifOK);
        EXPECT_EQ(b->PixelFormat(), pf24bit);

        const std::vector<uint8_t> bytes = FileBytes(file);
        const int bits = BitsForColorCount(c.colours);
        ASSERT_GT(bytes.size(), 13u + 3u * (1u << bits) + 8 + 10 + 1);
        EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF89a");
        EXPECT_EQ(bytes[10], 0x80 | (bits - 1));
        size_t at = 13 + 3 * (size_t(1) << bits);
        for (size_t k = 13 + 3 * size_t(c.colours); k < at; ++k) EXPECT_EQ(bytes[k], 0) << "padding " << k;
        // No looping block; the control extension; the image descriptor; the minimum code size.
        EXPECT_EQ(bytes[at], 0x21);
        EXPECT_EQ(bytes[at + 1], 0xF9);
        EXPECT_EQ(bytes[at + 3], c.expectFlag ? 1 : 0);
        EXPECT_EQ(bytes[at + 4] | bytes[at + 5], 0);  // delay
        at += 8;
        EXPECT_EQ(bytes[at], 0x2C);
        EXPECT_EQ(bytes[at + 9], c.interlaced ? 0x40 : 0);
        EXPECT_EQ(bytes[at + 10], bits == 1 ? 2 : bits);
        EXPECT_EQ(bytes.back(), 0x3B);

        GifPtr g = ReadWithGiflib(file);
        ASSERT_NE(g, nullptr);
        ASSERT_EQ(g->ImageCount, 1);
        EXPECT_EQ(g->SWidth, c.w);
        EXPECT_EQ(g->SHeight, c.h);
        ASSERT_NE(g->SColorMap, nullptr);
        EXPECT_EQ(g->SColorMap->ColorCount, 1 << bits);
        EXPECT_EQ(g->SavedImages[0].ImageDesc.Interlace, c.interlaced);
        ExpectFrameEquals(g.get(), 0, *b);
        const int t = TransparentIndex(g.get(), 0);
        if (c.expectFlag) {
            ASSERT_GE(t, 0);
            EXPECT_EQ(MapColour(g->SColorMap, t), see);
        } else {
            EXPECT_EQ(t, NO_TRANSPARENT_COLOR);
        }
        ExpectQtFramesEqual(file, {b.get()}, c.expectFlag ? std::optional<TColor>(see) : std::nullopt);
    }
}

TEST_F(GIFWriterTest, TooManyColoursFailsAndLeavesNoFile)
{
    auto b = MakeBitmap(40, 20, 257);
    const std::string file = Path("none.gif");
    EXPECT_FALSE(SaveBitmapToGIFFile(file, *b, false, false, clWhite));
    EXPECT_EQ(LastError(), gifTooManyColors);
    EXPECT_FALSE(fs::exists(file));

    // A file that is there stays as it was.
    std::ofstream(Path("kept.gif")) << "old";
    EXPECT_FALSE(SaveBitmapToGIFFile(Path("kept.gif"), *b, true, true, clWhite));
    EXPECT_EQ(FileBytes(Path("kept.gif")), (std::vector<uint8_t>{'o', 'l', 'd'}));

    // A folder that does not exist is the caller's error.
    auto ok = MakeBitmap(4, 4, 3);
    EXPECT_THROW(SaveBitmapToGIFFile(Path("no/such/dir.gif"), *ok, false, false, clWhite), EFCreateError);
}

TEST_F(GIFWriterTest, AnimationWithGlobalTableTimingDisposalAndComments)
{
    FrameSet s;
    s.Add(MakeBitmap(20, 10, 40, 1, 0), 0, 0);
    s.Add(MakeBitmap(25, 12, 30, 2, 20), 5, 3);   // shares colours 20..39 with frame 1
    s.Add(MakeBitmap(20, 17, 50, 3, 60), 30, 2);
    const int delays[] = {0, 125, 10000};
    const std::string longComment(600, 'x');
    for (size_t i = 0; i < 3; ++i) {
        s.infos[i].Delay = delays[i];
        s.infos[i].Disposal = static_cast<uint8_t>(i + 1);
    }
    s.infos[0].Comment = "Tasklander";
    s.infos[1].Comment = longComment;
    s.infos[1].Interlaced = true;
    s.infos[2].Transparent = true;
    s.infos[2].TransparentColor = Colour(70);
    TGIFWriteJob& job = s.Job();
    job.LoopCount = 7;
    const std::string file = WriteJob(job, "anim.gif");
    EXPECT_TRUE(job.GlobalTable);

    GifPtr g = ReadWithGiflib(file);
    ASSERT_NE(g, nullptr);
    ASSERT_EQ(g->ImageCount, 3);
    EXPECT_EQ(g->SWidth, 50);
    EXPECT_EQ(g->SHeight, 19);
    ASSERT_NE(g->SColorMap, nullptr);
    EXPECT_EQ(g->SColorMap->ColorCount, 128);  // 100 colours
    const int lefts[] = {0, 5, 30}, tops[] = {0, 3, 2};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const SavedImage& si = g->SavedImages[i];
        EXPECT_EQ(si.ImageDesc.ColorMap, nullptr);
        EXPECT_EQ(si.ImageDesc.Left, lefts[i]);
        EXPECT_EQ(si.ImageDesc.Top, tops[i]);
        ExpectFrameEquals(g.get(), i, *s.bitmaps[static_cast<size_t>(i)]);
        const GraphicsControlBlock gcb = Control(g.get(), i);
        EXPECT_EQ(gcb.DelayTime, delays[i] / 10);
        EXPECT_EQ(gcb.DisposalMode, i + 1);
    }
    EXPECT_EQ(TransparentIndex(g.get(), 0), NO_TRANSPARENT_COLOR);
    ASSERT_GE(TransparentIndex(g.get(), 2), 0);
    EXPECT_EQ(MapColour(g->SColorMap, TransparentIndex(g.get(), 2)), Colour(70));

    // The looping block ahead of frame 1 and the comments ahead of their frames.
    const SavedImage& first = g->SavedImages[0];
    bool looping = false;
    for (int k = 0; k + 1 < first.ExtensionBlockCount; ++k) {
        const ExtensionBlock& e = first.ExtensionBlocks[k];
        if (e.Function == APPLICATION_EXT_FUNC_CODE && e.ByteCount == 11 &&
            std::string(reinterpret_cast<char*>(e.Bytes), 11) == "NETSCAPE2.0") {
            const ExtensionBlock& d = first.ExtensionBlocks[k + 1];
            ASSERT_EQ(d.ByteCount, 3);
            EXPECT_EQ(d.Bytes[0], 1);
            EXPECT_EQ(d.Bytes[1] | (d.Bytes[2] << 8), 7);
            looping = true;
        }
    }
    EXPECT_TRUE(looping);
    EXPECT_EQ(Comments(first.ExtensionBlockCount, first.ExtensionBlocks), std::vector<std::string>{"Tasklander"});
    EXPECT_EQ(Comments(g->SavedImages[1].ExtensionBlockCount, g->SavedImages[1].ExtensionBlocks),
              std::vector<std::string>{longComment});
    EXPECT_TRUE(Comments(g->SavedImages[2].ExtensionBlockCount, g->SavedImages[2].ExtensionBlocks).empty());
}

TEST_F(GIFWriterTest, LocalTablesWhenFramesTogetherHoldTooManyColours)
{
    struct Case {
        const char* name;
        bool global;
    };
    for (const Case c : {Case{"global asked", true}, Case{"local asked", false}}) {
        SCOPED_TRACE(c.name);
        FrameSet s;
        s.Add(MakeBitmap(30, 20, 100, 4, 0));
        s.Add(MakeBitmap(30, 20, 120, 5, 100));  // its first colour is 100 in the shared table, 0 in its own
        s.Add(MakeBitmap(30, 20, 200, 6, 220));  // 420 colours in all
        s.Add(MakeBitmap(30, 20, 256, 7, 0));
        s.infos[1].Transparent = true;
        s.infos[1].TransparentColor = Colour(100);
        s.infos[2].Interlaced = true;
        TGIFWriteJob& job = s.Job();
        job.GlobalTable = c.global;
        const std::string file = WriteJob(job, "local.gif");
        EXPECT_FALSE(job.GlobalTable);

        GifPtr g = ReadWithGiflib(file);
        ASSERT_NE(g, nullptr);
        ASSERT_EQ(g->ImageCount, 4);
        EXPECT_EQ(g->SColorMap, nullptr);
        for (int i = 0; i < 4; ++i) {
            ASSERT_NE(g->SavedImages[i].ImageDesc.ColorMap, nullptr);
            ExpectFrameEquals(g.get(), i, *s.bitmaps[static_cast<size_t>(i)]);
        }
        ASSERT_EQ(TransparentIndex(g.get(), 1), 0);
        EXPECT_EQ(MapColour(g->SavedImages[1].ImageDesc.ColorMap, 0), Colour(100));
        std::vector<TBitmap*> frames;
        for (auto& b : s.bitmaps) frames.push_back(b.get());
        frames.resize(1);  // Qt composes later frames over earlier ones: compare the opaque first
        ExpectQtFramesEqual(file, frames);
    }
}

TEST_F(GIFWriterTest, OpaqueAnimationReadByQt)
{
    FrameSet s;
    for (int i = 0; i < 4; ++i) s.Add(MakeBitmap(16, 9, 10 + 60 * i, static_cast<uint32_t>(i + 11), 3 * i));
    s.infos[3].Interlaced = true;
    TGIFWriteJob& job = s.Job();
    job.GlobalTable = false;
    const std::string file = WriteJob(job, "qt.gif");
    std::vector<TBitmap*> frames;
    for (auto& b : s.bitmaps) frames.push_back(b.get());
    ExpectQtFramesEqual(file, frames);
    GifPtr g = ReadWithGiflib(file);
    ASSERT_NE(g, nullptr);
    for (int i = 0; i < 4; ++i) ExpectFrameEquals(g.get(), i, *frames[static_cast<size_t>(i)]);
}

TEST_F(GIFWriterTest, JobsThatCannotBeWrittenReturnFalseAndWriteNothing)
{
    struct Case {
        const char* name;
        std::function<void(FrameSet&)> spoil;
        uint8_t error;
    };
    const Case cases[] = {
        {"no frames", [](FrameSet& s) { s.job.FrameCount = 0; }, gifWriting},
        {"too many frames", [](FrameSet& s) { s.job.FrameCount = 257; }, gifWriting},
        {"no frame record", [](FrameSet& s) { s.job.Frames[1] = nullptr; }, gifWriting},
        {"no bitmap", [](FrameSet& s) { s.infos[0].Bitmap = nullptr; }, gifWriting},
        {"empty bitmap", [](FrameSet& s) { s.bitmaps[1]->SetSize(0, 5); }, gifWriting},
        {"beyond 16 bits", [](FrameSet& s) { s.infos[1].Left = 65530; }, gifWriting},
        {"negative position", [](FrameSet& s) { s.infos[0].Top = -1; }, gifWriting},
        {"local frame over 256", [](FrameSet& s) { s.bitmaps[1] = MakeBitmap(30, 20, 257); s.infos[1].Bitmap = s.bitmaps[1].get(); s.job.GlobalTable = false; }, gifTooManyColors},
        {"first frame over 256", [](FrameSet& s) { s.bitmaps[0] = MakeBitmap(30, 20, 300); s.infos[0].Bitmap = s.bitmaps[0].get(); }, gifTooManyColors},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FrameSet s;
        s.Add(MakeBitmap(10, 10, 5));
        s.Add(MakeBitmap(10, 10, 5));
        s.Job();
        c.spoil(s);
        TMemoryStream m;
        EXPECT_FALSE(WriteGIFStream(s.job, m));
        EXPECT_EQ(LastError(), c.error);
        EXPECT_EQ(m.Size(), 0);
    }
}
