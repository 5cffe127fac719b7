#include "platform/graphics/Graphics.h"

#include <gtest/gtest.h>

#include <QFontInfo>

#include <set>

namespace {
std::set<TColor> Colours(TBitmap& b)
{
    std::set<TColor> out;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) out.insert(b.Canvas().Pixels(x, y));
    return out;
}

int CountColour(TBitmap& b, TColor c)
{
    int n = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) n += b.Canvas().Pixels(x, y) == c;
    return n;
}
} // namespace

TEST(Canvas, CirclesAndTextAreNotAntialiased)
{
    for (TPixelFormat f : {pfDevice, pf24bit, pf8bit}) {
        SCOPED_TRACE(PixelFormatBits(f));
        TBitmap b(300, 120, f);
        TCanvas& c = b.Canvas();
        c.Pen.Color = clNavy;
        c.Pen.Width = 3;
        c.Brush.Color = clYellow;
        c.Ellipse(5, 5, 105, 105);
        c.Pen.Width = 1;
        c.Arc(120, 10, 200, 90, 200, 50, 120, 50);  // the upper half
        c.Brush.Style = bsClear;
        c.Font.Name = "Arial";
        c.Font.SetSize(14);
        c.Font.Style = {fsBold, fsItalic};
        c.Font.Color = clRed;
        c.TextOut(110, 95, "Tasklander 123");
        EXPECT_EQ(Colours(b), (std::set<TColor>{clWhite, clNavy, clYellow, clRed}));
        EXPECT_GT(CountColour(b, clRed), 100);
        // The arc stays in the upper half of its box.
        for (int y = 52; y < 90; ++y)
            for (int x = 120; x < 200; ++x) EXPECT_NE(b.Canvas().Pixels(x, y), clNavy) << x << "," << y;
    }
}

TEST(Canvas, ShapesLeaveOutTheirRightAndBottomEdges)
{
    TBitmap b(40, 40, pf24bit);
    TCanvas& c = b.Canvas();
    c.Brush.Color = clLime;
    c.Rectangle(2, 2, 12, 12);
    c.Ellipse(20, 2, 30, 12);
    c.FillRect(Rect(2, 20, 6, 24));
    c.MoveTo(20, 20);
    c.LineTo(30, 20);
    c.Brush.Color = clRed;
    c.FrameRect(Rect(2, 30, 8, 36));
    struct Case {
        int x, y;
        TColor expected;
    };
    const Case cases[] = {
        {2, 2, clBlack}, {11, 11, clBlack}, {12, 11, clWhite}, {11, 12, clWhite}, {6, 6, clLime},   // Rectangle
        {20, 7, clBlack}, {29, 7, clBlack}, {30, 7, clWhite}, {25, 11, clBlack}, {25, 12, clWhite}, // Ellipse
        {5, 23, clLime}, {6, 23, clWhite}, {5, 24, clWhite},                                        // FillRect
        {20, 20, clBlack}, {29, 20, clBlack}, {30, 20, clWhite},                                    // LineTo
        {2, 30, clRed}, {7, 35, clRed}, {4, 32, clWhite}, {8, 35, clWhite},                         // FrameRect
    };
    for (const Case& k : cases) EXPECT_EQ(c.Pixels(k.x, k.y), k.expected) << k.x << "," << k.y;
    EXPECT_EQ(c.PenPos(), Point(30, 20));
}

TEST(Canvas, TextMetricsBackgroundAndPenPosition)
{
    TBitmap b(200, 40, pf24bit);
    TCanvas& c = b.Canvas();
    c.Font.Name = "Arial";
    c.Font.SetSize(10);
    EXPECT_EQ(c.Font.Height(), -13);
    EXPECT_EQ(c.Font.Size(), 10);
    const int w = c.TextWidth("Belvor");
    const int h = c.TextHeight("Belvor");
    EXPECT_GT(w, 20);
    EXPECT_LT(w, 60);
    EXPECT_GE(h, 13);
    EXPECT_LE(h, 18);
    EXPECT_GT(c.TextWidth("WWWW"), c.TextWidth("iiii"));
    c.Brush.Color = clSilver;
    c.TextOut(10, 5, "Belvor");
    EXPECT_EQ(c.PenPos(), Point(10 + w, 5));
    EXPECT_EQ(c.Pixels(10, 5), clSilver);               // the background is the brush
    EXPECT_EQ(c.Pixels(10 + w - 1, 5 + h - 1), clSilver);
    EXPECT_EQ(c.Pixels(10 + w, 5), clWhite);
    // TextRect clips to its rectangle.
    c.Brush.Style = bsClear;
    c.TextRect(Rect(100, 5, 110, 30), 100, 5, "WWWWWW");
    for (int y = 0; y < 40; ++y) EXPECT_EQ(c.Pixels(111, y), clWhite);
    EXPECT_LT(CountColour(b, clBlack), w * h);
}

TEST(Canvas, DrawStretchAndCopyRect)
{
    TBitmap src(2, 2, pf24bit);
    src.Canvas().SetPixel(0, 0, clRed);
    src.Canvas().SetPixel(1, 1, clBlue);
    TBitmap dst(10, 10, pf24bit);
    dst.Canvas().Draw(1, 1, src);
    dst.Canvas().StretchDraw(Rect(4, 4, 8, 8), src);  // each pixel becomes 2 x 2, unsmoothed
    struct Case {
        int x, y;
        TColor expected;
    };
    const Case cases[] = {{1, 1, clRed}, {2, 2, clBlue}, {3, 3, clWhite}, {4, 4, clRed}, {5, 5, clRed},
                          {6, 6, clBlue}, {7, 7, clBlue}, {6, 4, clWhite}, {8, 8, clWhite}};
    for (const Case& k : cases) EXPECT_EQ(dst.Canvas().Pixels(k.x, k.y), k.expected) << k.x << "," << k.y;

    src.SetTransparent(true);
    src.SetTransparentColor(clWhite);
    TBitmap over(2, 2, pf24bit);
    over.Canvas().Brush.Color = clLime;
    over.Canvas().FillRect(Rect(0, 0, 2, 2));
    over.Canvas().Draw(0, 0, src);
    EXPECT_EQ(over.Canvas().Pixels(1, 0), clLime);  // white left out
    EXPECT_EQ(over.Canvas().Pixels(0, 0), clRed);

    TBitmap copy(4, 4, pf8bit);
    copy.Canvas().CopyRect(Rect(0, 0, 2, 2), dst.Canvas(), Rect(1, 1, 3, 3));
    EXPECT_EQ(copy.Canvas().Pixels(0, 0), clRed);
    EXPECT_EQ(copy.Canvas().Pixels(1, 1), clBlue);
    EXPECT_EQ(copy.Canvas().Pixels(2, 2), clWhite);
}

TEST(Canvas, ClipRectLimitsDrawing)
{
    TBitmap b(20, 20, pf24bit);
    TCanvas& c = b.Canvas();
    EXPECT_EQ(c.ClipRect(), Rect(0, 0, 20, 20));
    c.SetClipRect(Rect(5, 5, 10, 10));
    EXPECT_EQ(c.ClipRect(), Rect(5, 5, 10, 10));
    c.Brush.Color = clRed;
    c.FillRect(Rect(0, 0, 20, 20));
    EXPECT_EQ(c.Pixels(4, 4), clWhite);
    EXPECT_EQ(c.Pixels(9, 9), clRed);
    EXPECT_EQ(c.Pixels(10, 10), clWhite);
    // The clip survives the painter being closed by a pixel-format change.
    b.SetPixelFormat(pf32bit);
    c.Brush.Color = clBlue;
    c.FillRect(Rect(0, 0, 20, 20));
    EXPECT_EQ(c.Pixels(0, 0), clWhite);
    c.ResetClip();
    c.FillRect(Rect(0, 0, 20, 20));
    EXPECT_EQ(c.Pixels(0, 0), clBlue);
}

TEST(Font, NamesMapToInstalledFamilies)
{
    EXPECT_EQ(MapFontName("Arial"), "Liberation Sans");
    EXPECT_EQ(MapFontName("arial"), "Liberation Sans");
    EXPECT_EQ(MapFontName("Times New Roman"), "Liberation Serif");
    EXPECT_EQ(MapFontName("Courier New"), "Liberation Mono");
    TFont f;
    EXPECT_EQ(QFontInfo(f.ToQFont()).family(), "Liberation Sans");
    EXPECT_FALSE(f.ToQFont().styleStrategy() & QFont::PreferAntialias);
    EXPECT_TRUE(f.ToQFont().styleStrategy() & QFont::NoAntialias);
}
