// Colour reduction (lookups, dither engines, octree) and frame rendering and import.
#include "gif/GIFDIB.h"
#include "gif/GIFImg.h"
#include "gif/GIFReduce.h"
#include "gif/GifPeers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <set>

using namespace GIFImg;

namespace {

void Fill(TBitmap& b, const std::vector<std::vector<TColor>>& rows)
{
    b.SetPixelFormat(pf24bit);
    b.SetSize(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            uint8_t* p = b.ScanLine(y) + 3 * x;
            const TColor c = rows[static_cast<size_t>(y)][static_cast<size_t>(x)];
            p[0] = static_cast<uint8_t>(GetBValue(c));
            p[1] = static_cast<uint8_t>(GetGValue(c));
            p[2] = static_cast<uint8_t>(GetRValue(c));
        }
}

std::vector<uint8_t> Indexes(TBitmap& b)
{
    std::vector<uint8_t> out;
    for (int y = 0; y < b.Height(); ++y) out.insert(out.end(), b.ScanLine(y), b.ScanLine(y) + b.Width());
    return out;
}

TEST(GIFReduce, FixedLookups)
{
    struct Case {
        TColorLookup* lookup;
        TColor in;
        int index;
        TColor out;
    };
    TNetscapeColorLookup cube;
    TMonochromeLookup mono;
    TGrayScaleLookup grey;
    const Case cases[] = {
        {&cube, RGB(255, 255, 255), 215, RGB(255, 255, 255)},
        {&cube, RGB(0, 0, 0), 0, RGB(0, 0, 0)},
        {&cube, RGB(48, 48, 48), 43, RGB(51, 51, 51)},
        {&cube, RGB(47, 47, 47), 0, RGB(0, 0, 0)},
        {&cube, RGB(255, 0, 99), 5 * 36 + 2, RGB(255, 0, 102)},
        {&mono, RGB(127, 127, 127), 0, RGB(0, 0, 0)},      // luminance sum 32512
        {&mono, RGB(212, 100, 41), 1, RGB(255, 255, 255)},  // luminance sum 32513
        {&grey, RGB(10, 200, 30), 123, RGB(123, 123, 123)},  // (770 + 30000 + 870) shr 8
    };
    for (const Case& c : cases) {
        uint8_t r, g, b;
        EXPECT_EQ(c.lookup->Lookup(GetRValue(c.in), GetGValue(c.in), GetBValue(c.in), r, g, b), c.index);
        EXPECT_EQ(RGB(r, g, b), c.out);
    }
}

TEST(GIFReduce, NearestColourIsCachedPerFifteenBitCell)
{
    const TGIFPalette palette{RGB(100, 0, 0), RGB(0, 100, 0)};
    TFastColorLookup lookup(palette);
    uint8_t r, g, b;
    EXPECT_EQ(lookup.Lookup(50, 50, 0, r, g, b), 0);  // a tie: the earlier entry wins
    EXPECT_EQ(RGB(r, g, b), RGB(100, 0, 0));
    EXPECT_EQ(lookup.Lookup(48, 55, 0, r, g, b), 0);  // same cell: the same answer
    TFastColorLookup fresh(palette);
    EXPECT_EQ(fresh.Lookup(48, 55, 0, r, g, b), 1);
}

TEST(GIFReduce, FloydSteinbergThreeByTwoByHand)
{
    // Greys 100, 150, 200 in both rows to black and white; the second row runs right to left.
    TMonochromeLookup mono;
    TFloydSteinbergEngine engine(3, mono);
    const int grey[3] = {100, 150, 200};
    int out[2][3];
    uint8_t r, g, b;
    for (auto& row : out) {
        for (int n = 0; n < 3; ++n) {
            const int x = engine.Column();
            row[x] = engine.Dither(grey[x], grey[x], grey[x], r, g, b);
        }
        engine.NextLine();
    }
    // Row 1: 100 -> black (error 100, 7/16 ahead), 150 + 44 -> white (error -61), 200 - 26 -> white.
    EXPECT_EQ(std::vector<int>(out[0], out[0] + 3), (std::vector<int>{0, 1, 1}));
    EXPECT_EQ(std::vector<int>(out[1], out[1] + 3), (std::vector<int>{1, 0, 1}));
}

TEST(GIFReduce, ReductionMethods)
{
    TBitmap flat;
    Fill(flat, std::vector<std::vector<TColor>>(5, std::vector<TColor>(7, RGB(102, 153, 51))));
    for (TGIFDitherMode mode : {dmNearest, dmFloydSteinberg}) {
        auto r = ReduceBitmapColors(flat, rdCube216, mode, 8);
        EXPECT_EQ(r->PixelFormat(), pf8bit);
        const std::vector<uint8_t> ix = Indexes(*r);
        EXPECT_EQ(std::set<uint8_t>(ix.begin(), ix.end()), std::set<uint8_t>{2 * 36 + 3 * 6 + 1}) << "a flat cube colour";
    }
    // An octree over three colours gives them back exactly.
    TBitmap three;
    Fill(three, {{RGB(200, 10, 10), RGB(10, 200, 10), RGB(10, 10, 200)}, {RGB(200, 10, 10), RGB(200, 10, 10), RGB(10, 10, 200)}});
    const TGIFPalette octree = MakeOctreePalette(three, 256, 8, false);
    EXPECT_EQ(std::set<TColor>(octree.begin(), octree.begin() + 3),
              (std::set<TColor>{RGB(200, 10, 10), RGB(10, 200, 10), RGB(10, 10, 200)}));
    auto reduced = ReduceBitmapColors(three, rdOctree, dmFloydSteinberg, 8);
    const QImage back = reduced->ToImage();
    EXPECT_EQ(FromQRgb(back.pixel(1, 0)), RGB(10, 200, 10));
    EXPECT_EQ(FromQRgb(back.pixel(2, 1)), RGB(10, 10, 200));
    // With the system colours around them, in 10 and up.
    const TGIFPalette system = MakeOctreePalette(three, 256, 8, true);
    ASSERT_EQ(system.size(), 256u);
    EXPECT_EQ(system[255], clWhite);
    EXPECT_TRUE(std::set<TColor>(system.begin() + 10, system.begin() + 13).count(RGB(10, 200, 10)));
    // rdNone: a 24-bit copy of a 32-bit bitmap.
    TBitmap deep(4, 4, pf32bit);
    EXPECT_EQ(ReduceBitmapColors(deep, rdNone, dmNearest, 8)->PixelFormat(), pf24bit);
    // Every method gives an 8-bit bitmap of the source's size; the bit count is clamped.
    for (TGIFColorReduction m : {rdSystem20, rdHalftone, rdGray4, rdMonochrome, rdGray256, rdOctree, rdOctreeSystem}) {
        auto r = ReduceBitmapColors(three, m, dmFloydSteinberg, 42);
        EXPECT_EQ(r->Width(), 3);
        EXPECT_EQ(r->PixelFormat(), pf8bit);
    }
}

// A reduced frame's table holds the method's own colours (2^ReductionBits for the octree) and its
// file is exactly that of the same indexes and colours imported from an indexed bitmap: giflib
// finds a table of the next power of two, not one padded to 256 entries.
TEST(GIFReduce, ReducedFramesHaveTheMethodsTableSize)
{
    struct Case {
        TGIFColorReduction method;
        int bits;  // ReductionBits
        int colours;
        int tableSize;
    };
    const Case cases[] = {
        {rdMonochrome, 8, 2, 2}, {rdGray4, 8, 4, 4},     {rdSystem20, 8, 20, 32},  {rdCube216, 8, 216, 256},
        {rdGray256, 8, 256, 256}, {rdHalftone, 8, 256, 256}, {rdOctree, 3, 8, 8}, {rdOctree, 1, 2, 2},
        {rdOctreeSystem, 8, 256, 256},
    };
    TBitmap source;
    std::vector<std::vector<TColor>> rows(3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 16; ++x) rows[static_cast<size_t>(y)].push_back(RGB(x * 16, y * 100, 255 - x * 16));
    Fill(source, rows);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.method) + " with " + std::to_string(c.bits) + " bits");
        TGIFImage reduced;
        reduced.ColorReduction = c.method;
        reduced.ReductionBits = c.bits;
        reduced.Add(source);
        const TGIFSubImage& frame = *reduced.Images().First();
        EXPECT_EQ(frame.ColorMap().Count(), c.colours);

        // The same indexes and colours through an 8-bit bitmap whose palette has just those.
        TBitmap indexed(16, 3, pf8bit);
        TGIFPalette palette;
        for (int i = 0; i < frame.ColorMap().Count(); ++i) {
            const uint8_t* e = frame.ColorMap().Data() + 3 * i;
            palette.push_back(RGB(e[0], e[1], e[2]));
        }
        indexed.SetPalette(palette);
        for (int y = 0; y < 3; ++y) std::memcpy(indexed.ScanLine(y), frame.Data() + 16 * y, 16);
        TGIFImage same;
        same.Add(indexed);

        const std::vector<uint8_t> file = gifpeers::Save(reduced);
        EXPECT_EQ(file.size(), gifpeers::Save(same).size());
        const gifpeers::Decoded d = gifpeers::GiflibDecode(file);
        ASSERT_TRUE(d.ok) << d.error;
        EXPECT_EQ(d.frames[0].tableSize, c.tableSize);
        EXPECT_EQ(d.frames[0].indexes, std::vector<uint8_t>(frame.Data(), frame.Data() + 48));
    }
}

TEST(GIFReduce, ScanLineWriterRefusesWhatAFrameNeverUses)
{
    struct Case {
        int w;
        TPixelFormat format;
        std::string error;
    };
    for (const Case& c : {Case{0, pf8bit, "Bitmap image is not valid"}, Case{4, pf16bit, "Unsupported PixelFormat"},
                          Case{4, pf32bit, "Unsupported PixelFormat"}, Case{4, pf4bit, ""}}) {
        TBitmap b(c.w, 2, pf24bit);
        try {
            TDIBWriter w(b, c.format);
            EXPECT_EQ(b.PixelFormat(), c.format);
            EXPECT_THROW(w.ScanLine(2), EInvalidGraphicOperation);
            EXPECT_EQ(c.error, "");
        } catch (const GIFException& e) {
            EXPECT_EQ(e.Message(), c.error);
        }
    }
}

// --- Frames from bitmaps, frames rendered and drawn ------------------------------------------------

TEST(GIFRender, ImportsBitmapsOfEveryDepth)
{
    TGIFImage p;
    TBitmap mono(9, 2, pf1bit);
    mono.SetPalette({clNavy, clYellow});
    mono.ScanLine(0)[0] = 0x80;  // pixel 0 is 1
    mono.ScanLine(1)[1] = 0x80;  // pixel 8 of row 1 is 1
    p.Add(mono);
    TGIFSubImage& f = *p.Images().First();
    EXPECT_EQ(f.ColorMap().Count(), 2);
    EXPECT_EQ(f.Data()[0], 1);
    EXPECT_EQ(f.Data()[1], 0);
    EXPECT_EQ(f.Data()[9 + 8], 1);

    // 300 colours: too many without reduction, cube colours with it.
    TBitmap many(300, 1, pf24bit);
    for (int x = 0; x < 300; ++x) {
        uint8_t* px = many.ScanLine(0) + 3 * x;
        px[0] = static_cast<uint8_t>(x);
        px[1] = static_cast<uint8_t>(x >> 8);
        px[2] = 9;
    }
    TGIFImage none;
    none.ColorReduction = rdNone;
    try {
        none.Add(many);
        FAIL();
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Color table overflow");
    }
    TGIFImage cube;
    cube.Add(many);
    const TGIFColorMap& table = cube.Images().First()->ColorMap();
    for (int i = 0; i < table.Count(); ++i) {
        const uint8_t* e = table.Data() + 3 * i;
        EXPECT_EQ(e[0] % 51 + e[1] % 51 + e[2] % 51, 0) << "a cube colour";
    }
}

// A device-format bitmap (a TBitmap's default) keeps its exact colours when it has 256 or fewer,
// whatever the reduction setting; with more it is reduced like any deeper bitmap. giflib reads
// the colours of the saved file.
TEST(GIFRender, DeviceBitmapsKeepTheirExactColours)
{
    struct Case {
        const char* what;
        int colours;
        TGIFColorReduction reduction;
        bool exact;
        const char* error;
    };
    const Case cases[] = {
        {"3 colours, cube reduction", 3, rdCube216, true, ""},
        {"256 colours, monochrome reduction", 256, rdMonochrome, true, ""},
        {"300 colours, cube reduction", 300, rdCube216, false, ""},
        {"300 colours, no reduction", 300, rdNone, false, "Color table overflow"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TBitmap device(c.colours, 2);
        ASSERT_EQ(device.PixelFormat(), pfDevice);
        auto colourAt = [](int x) { return x == 0 ? RGB(0, 0, 128) : RGB(x % 256, (x * 7) % 256, 200 + x / 256); };
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < c.colours; ++x) {
                uint8_t* p = device.ScanLine(y) + 4 * x;
                const TColor colour = colourAt(y == 0 ? x : c.colours - 1 - x);
                p[0] = static_cast<uint8_t>(GetBValue(colour));
                p[1] = static_cast<uint8_t>(GetGValue(colour));
                p[2] = static_cast<uint8_t>(GetRValue(colour));
                p[3] = 255;
            }
        TGIFImage picture;
        picture.ColorReduction = c.reduction;
        try {
            picture.Add(device);
        } catch (const GIFException& e) {
            EXPECT_STREQ(e.what(), c.error);
            continue;
        }
        EXPECT_STREQ("", c.error);
        const gifpeers::Decoded d = gifpeers::GiflibDecode(gifpeers::Save(picture));
        ASSERT_TRUE(d.ok) << d.error;
        ASSERT_EQ(d.frames.size(), 1u);
        int same = 0;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < c.colours; ++x)
                same += d.frames[0].colours[static_cast<size_t>(y * c.colours + x)] == colourAt(y == 0 ? x : c.colours - 1 - x);
        if (c.exact)
            EXPECT_EQ(same, 2 * c.colours);
        else
            EXPECT_LT(same, 2 * c.colours);
        EXPECT_LE(picture.Images().First()->ColorMap().Count(), 256);
    }
}

TEST(GIFRender, DitheredRenderingKeepsCubeColoursAndBigFramesRender)
{
    TGIFImage p;
    p.DrawOptions &= static_cast<TGIFPaintOptions>(~PaintOption(doAutoDither));
    ASSERT_TRUE(p.DoDither());
    TBitmap b(6, 3, pf8bit);
    b.SetPalette({RGB(0, 51, 102), RGB(255, 204, 153), RGB(51, 51, 51)});
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x) b.ScanLine(y)[x] = static_cast<uint8_t>((x + y) % 3);
    p.Add(b);
    TGIFSubImage& f = *p.Images().First();
    f.FreeBitmap();
    const QImage shown = f.Bitmap()->ToImage();
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(FromQRgb(shown.pixel(x, y)), b.Palette()[static_cast<size_t>((x + y) % 3)]);

    TGIFImage big;
    TBitmap large(1000, 600, pf8bit);
    big.Add(large);
    ASSERT_NE(big.Images().First()->Bitmap(), nullptr);
    EXPECT_EQ(big.Images().First()->Bitmap()->Width(), 1000);
}

// A 2 x 2 transparent frame (index 1 see-through) in a picture.
std::unique_ptr<TGIFImage> TransparentPicture(int transparentIndex)
{
    auto p = std::make_unique<TGIFImage>();
    TBitmap b(2, 2, pf8bit);
    b.SetPalette({clRed, clLime});
    for (int y = 0; y < 2; ++y) std::memset(b.ScanLine(y), 0, 2);
    b.ScanLine(0)[1] = 1;
    p->Add(b);
    TGIFSubImage& f = *p->Images().First();
    auto gce = std::make_unique<TGIFGraphicControlExtension>(&f);
    gce->SetTransparent(true);
    gce->SetTransparentColorIndex(transparentIndex);
    f.Extensions().Add(std::move(gce));
    return p;
}

TEST(GIFRender, TransparentPixelsKeepTheDestination)
{
    auto p = TransparentPicture(1);
    TBitmap target(2, 2, pf24bit);
    target.Canvas().Brush.Color = clBlue;
    target.Canvas().FillRect(Rect(0, 0, 2, 2));
    target.Canvas().Font.Color = clGreen;
    p->Draw(target.Canvas(), Rect(0, 0, 2, 2));
    p->Draw(target.Canvas(), Rect(0, 0, 2, 2));
    target.Canvas().Release();
    const QImage img = target.ToImage();
    EXPECT_EQ(FromQRgb(img.pixel(0, 0)), clRed);
    EXPECT_EQ(FromQRgb(img.pixel(1, 0)), clBlue);  // see-through
    EXPECT_EQ(target.Canvas().Brush.Color, clBlue);
    EXPECT_EQ(target.Canvas().Font.Color, clGreen);
    // A transparent index that no pixel uses: no mask, drawn opaque.
    auto q = TransparentPicture(0);
    q->Images().First()->Data()[0] = 1;
    q->Images().First()->Data()[1] = 1;
    q->Images().First()->Data()[2] = 1;
    q->Images().First()->Data()[3] = 1;
    q->Images().First()->FreeBitmap();
    q->Images().First()->FreeMask();
    EXPECT_FALSE(q->Images().First()->HasMask());
}

// Every edit that drops a drawn transparent frame's bitmap: the next drawing renders bitmap and
// mask again, and the see-through pixel still keeps the destination.
TEST(GIFRender, EditsOfADrawnTransparentFrameDrawAgainWithTheirMask)
{
    const std::vector<std::pair<const char*, std::function<void(TGIFSubImage&)>>> edits = {
        {"SetColor", [](TGIFSubImage& f) { f.ColorMap().SetColor(0, clMaroon); }},
        {"SortByUse", [](TGIFSubImage& f) { f.ColorMap().SortByUse(); }},
        {"SetWidth", [](TGIFSubImage& f) { f.SetWidth(f.Width()); }},
        {"SetHeight", [](TGIFSubImage& f) { f.SetHeight(f.Height()); }},
        {"SetPalette", [](TGIFSubImage& f) { f.SetPalette({clYellow, clAqua}); }},
        {"SetPalette none", [](TGIFSubImage& f) { f.SetPalette({}); }},
        {"FreeBitmap", [](TGIFSubImage& f) { f.FreeBitmap(); }},
    };
    for (const auto& [name, edit] : edits) {
        auto p = TransparentPicture(1);
        p->DrawOptions &= static_cast<TGIFPaintOptions>(~PaintOption(doDither));
        TGIFSubImage& f = *p->Images().First();
        TBitmap target(2, 2, pf24bit);
        target.Canvas().Brush.Color = clBlue;
        target.Canvas().FillRect(Rect(0, 0, 2, 2));
        f.Draw(target.Canvas(), Rect(0, 0, 2, 2), false, true);
        edit(f);
        const int seeThrough = f.Data()[1];  // sorting may renumber it
        ASSERT_TRUE(f.Transparent()) << name;
        ASSERT_EQ(f.GraphicControlExtension()->TransparentIndex, seeThrough) << name;
        f.Draw(target.Canvas(), Rect(0, 0, 2, 2), false, true);
        target.Canvas().Release();
        const QImage img = target.ToImage();
        EXPECT_EQ(FromQRgb(img.pixel(1, 0)), clBlue) << name;
        EXPECT_NE(FromQRgb(img.pixel(0, 0)), clBlue) << name;
        EXPECT_TRUE(f.HasMask()) << name;
    }
}

TEST(GIFRender, TilingAndScaling)
{
    TGIFImage p;
    p.SetWidth(20);
    p.SetHeight(20);
    TBitmap b(10, 10, pf8bit);
    b.SetPalette({clRed});
    for (int y = 0; y < 10; ++y) std::memset(b.ScanLine(y), 0, 10);
    p.Add(b);
    TGIFSubImage& f = *p.Images().First();
    f.SetLeft(2);
    f.SetTop(3);
    TBitmap target(50, 50, pf24bit);
    f.Draw(target.Canvas(), Rect(0, 0, 50, 50), true, false);
    target.Canvas().Release();
    const QImage img = target.ToImage();
    for (int at : {2, 22, 42}) {
        EXPECT_EQ(FromQRgb(img.pixel(at, 3)), clRed) << at;
        EXPECT_EQ(FromQRgb(img.pixel(at - 1, 3)), clWhite) << at;
    }
    for (int at : {3, 23, 43}) EXPECT_EQ(FromQRgb(img.pixel(2, at)), clRed) << at;
    EXPECT_EQ(f.ScaleRect(Rect(0, 0, 40, 40)), Rect(4, 6, 24, 26));

    // A screen of no size neither divides by zero nor tiles for ever.
    p.Header().Width = 0;
    p.Header().Height = 0;
    EXPECT_EQ(f.ScaleRect(Rect(0, 0, 40, 40)), Rect(2, 3, 12, 13));
    f.Draw(target.Canvas(), Rect(0, 0, 50, 50), true, false);
    target.Canvas().Release();
}

} // namespace
