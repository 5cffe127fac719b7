#include "platform/graphics/Graphics.h"

#include "platform/runtime/ByteIO.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include <set>
#include <vector>

namespace {
const char* FormatName(TPixelFormat f)
{
    static const char* names[] = {"pfDevice", "pf1bit", "pf4bit", "pf8bit", "pf15bit", "pf16bit", "pf24bit", "pf32bit"};
    return names[f];
}

// Five pixels in one row: red, lime, blue, white, black.
TBitmap* MakeRow(TBitmap& b)
{
    b.SetPixelFormat(pf24bit);
    b.SetSize(5, 1);
    const TColor colours[] = {clRed, clLime, clBlue, clWhite, clBlack};
    for (int x = 0; x < 5; ++x) b.Canvas().SetPixel(x, 0, colours[x]);
    return &b;
}

std::vector<TColor> RowColours(TBitmap& b)
{
    std::vector<TColor> out;
    for (int x = 0; x < b.Width(); ++x) out.push_back(b.Canvas().Pixels(x, 0));
    return out;
}
} // namespace

TEST(Bitmap, ScanLineLayoutAndConversionsOfEveryFormat)
{
    struct Case {
        TPixelFormat format;
        int stride;
        std::vector<uint8_t> bytes;    // the row as the format lays it out
        std::vector<TColor> back;      // the colours after converting back to 24 bits
    };
    const std::vector<TColor> same = {clRed, clLime, clBlue, clWhite, clBlack};
    const std::vector<Case> cases = {
        {pf24bit, 16, {0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 0, 0, 0}, same},
        {pf32bit, 20, {0, 0, 255, 255, 0, 255, 0, 255, 255, 0, 0, 255, 255, 255, 255, 255, 0, 0, 0, 255}, same},
        {pfDevice, 20, {0, 0, 255, 255, 0, 255, 0, 255, 255, 0, 0, 255, 255, 255, 255, 255, 0, 0, 0, 255}, same},
        {pf16bit, 12, {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0xFF, 0xFF, 0, 0}, same},
        {pf15bit, 12, {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0xFF, 0x7F, 0, 0}, same},
        // The default palettes start with the sixteen standard colours.
        {pf8bit, 8, {9, 10, 12, 15, 0}, same},
        {pf4bit, 4, {0x9A, 0xCF, 0x00}, same},
        {pf1bit, 4, {0x10}, {clBlack, clBlack, clBlack, clWhite, clBlack}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(FormatName(c.format));
        TBitmap b;
        MakeRow(b);
        b.SetPixelFormat(c.format);
        EXPECT_EQ(b.PixelFormat(), c.format);
        EXPECT_EQ(b.BytesPerScanLine(), c.stride);
        const uint8_t* row = b.ScanLine(0);
        EXPECT_EQ(std::vector<uint8_t>(row, row + c.bytes.size()), c.bytes);
        // As a Qt image, opaque and in the same colours.
        const QImage image = b.ToImage();
        ASSERT_EQ(image.format(), QImage::Format_RGB32);
        for (int x = 0; x < 5; ++x) {
            const TColor want = c.back[static_cast<size_t>(x)];
            EXPECT_EQ(image.pixel(x, 0), qRgb(GetRValue(want), GetGValue(want), GetBValue(want))) << x;
        }
        b.SetPixelFormat(pf24bit);
        EXPECT_EQ(RowColours(b), c.back);
    }
}

// An indexed bitmap whose palette is shorter than its indexes reach shows those pixels black;
// a transparent one leaves its transparent colour see-through, wherever the colour comes from.
TEST(Bitmap, IndexedImageWithAShortPaletteAndATransparentColour)
{
    for (const TPixelFormat format : {pf8bit, pf4bit}) {
        SCOPED_TRACE(FormatName(format));
        TBitmap b(4, 1, format);
        b.SetPalette({clRed, clLime});
        const uint8_t indexes[] = {0, 1, 2, 1};
        for (int x = 0; x < 4; ++x) {
            uint8_t* row = b.ScanLine(0);
            if (format == pf8bit)
                row[x] = indexes[x];
            else
                row[x / 2] = static_cast<uint8_t>(x % 2 ? (row[x / 2] & 0xF0) | indexes[x] : (row[x / 2] & 0x0F) | indexes[x] << 4);
        }
        EXPECT_EQ(b.ToImage().pixel(2, 0), qRgb(0, 0, 0));
        b.SetTransparent(true);
        b.SetTransparentColor(clLime);
        const QImage see = b.ToImage();
        ASSERT_EQ(see.format(), QImage::Format_ARGB32);
        EXPECT_EQ(see.pixel(0, 0), qRgba(255, 0, 0, 255));
        EXPECT_EQ(qAlpha(see.pixel(1, 0)), 0);
        EXPECT_EQ(qAlpha(see.pixel(3, 0)), 0);
        EXPECT_EQ(see.pixel(2, 0), qRgba(0, 0, 0, 255));
        b.SetTransparentColor(clBlack);  // the colour of the indexes past the palette
        EXPECT_EQ(qAlpha(b.ToImage().pixel(2, 0)), 0);
    }
}

TEST(Bitmap, ScanLineWritesShowAndRowsAreChecked)
{
    TBitmap b(3, 2, pf24bit);
    uint8_t* row = b.ScanLine(1);
    row[3] = 0x11;  // pixel 1: blue, green, red
    row[4] = 0x22;
    row[5] = 0x33;
    EXPECT_EQ(b.Canvas().Pixels(1, 1), RGB(0x33, 0x22, 0x11));
    EXPECT_EQ(b.Canvas().Pixels(0, 0), clWhite);  // a new bitmap is white
    EXPECT_THROW(b.ScanLine(2), EInvalidGraphicOperation);
    EXPECT_THROW(b.ScanLine(-1), EInvalidGraphicOperation);
}

TEST(Bitmap, DrawingOnAnIndexedBitmapKeepsUntouchedIndexes)
{
    TBitmap b(8, 4, pf8bit);
    b.SetPalette({clWhite, clBlack, clRed, clRed});
    for (int y = 0; y < 4; ++y) std::fill_n(b.ScanLine(y), 8, 0);
    b.ScanLine(0)[0] = 3;  // the second red: drawing elsewhere must not renumber it
    b.Canvas().Pen.Color = clRed;
    b.Canvas().MoveTo(0, 2);
    b.Canvas().LineTo(8, 2);
    b.Canvas().SetPixel(5, 3, RGB(250, 10, 10));  // not in the palette: the nearest entry
    EXPECT_EQ(b.ScanLine(0)[0], 3);
    EXPECT_EQ(b.ScanLine(2)[4], 2);
    EXPECT_EQ(b.ScanLine(3)[5], 2);
    EXPECT_EQ(b.ScanLine(1)[4], 0);
}

TEST(Bitmap, ResizeKeepsTopLeftAndFillsWithTheBrush)
{
    TBitmap b(2, 2, pf24bit);
    b.Canvas().Brush.Color = clBlue;
    b.Canvas().FillRect(Rect(0, 0, 2, 2));
    b.Canvas().Brush.Color = clYellow;
    b.SetSize(4, 3);
    EXPECT_EQ(b.Canvas().Pixels(1, 1), clBlue);
    EXPECT_EQ(b.Canvas().Pixels(3, 0), clYellow);
    EXPECT_EQ(b.Canvas().Pixels(0, 2), clYellow);
    EXPECT_EQ(b.Canvas().Pixels(4, 0), -1);
}

TEST(Bitmap, ResizeKeepsTopLeftAndFillsWithTheBrushInEveryFormat)
{
    for (TPixelFormat f : {pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit}) {
        SCOPED_TRACE(FormatName(f));
        TBitmap b(3, 2, f);
        b.Canvas().Brush.Color = clBlack;
        b.Canvas().FillRect(Rect(0, 0, 3, 2));
        b.Canvas().Brush.Color = clWhite;
        b.SetSize(9, 4);  // rows of whole and part bytes in the packed formats
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 9; ++x)
                EXPECT_EQ(b.Canvas().Pixels(x, y), x < 3 && y < 2 ? clBlack : clWhite) << x << "," << y;
        b.SetSize(2, 3);  // narrower and taller
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 2; ++x)
                EXPECT_EQ(b.Canvas().Pixels(x, y), y < 2 ? clBlack : clWhite) << x << "," << y;
        b.SetSize(0, 5);
        EXPECT_TRUE(b.Empty());
    }
}

TEST(Bitmap, BmpFilesReadByQtAndReloaded)
{
    for (TPixelFormat f : {pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit}) {
        SCOPED_TRACE(FormatName(f));
        TBitmap b;
        MakeRow(b);
        b.SetSize(7, 3);  // odd width: row padding
        b.SetPixelFormat(f);
        TMemoryStream m;
        b.SaveToStream(m);

        QImage q;
        ASSERT_TRUE(q.loadFromData(m.Memory(), static_cast<int>(m.Size()), "BMP"));
        ASSERT_EQ(q.width(), 7);
        ASSERT_EQ(q.height(), 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 7; ++x) {
                // Qt widens 5-bit channels without repeating their high bits: compare those 5.
                const TColor mask = (f == pf15bit || f == pf16bit) ? 0xF8F8F8 : 0xFFFFFF;
                EXPECT_EQ(FromQRgb(q.pixel(x, y)) & mask, b.Canvas().Pixels(x, y) & mask) << x << "," << y;
            }

        TBitmap r;
        m.SetPosition(0);
        r.LoadFromStream(m);
        EXPECT_EQ(r.PixelFormat(), f);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 7; ++x) EXPECT_EQ(r.Canvas().Pixels(x, y), b.Canvas().Pixels(x, y)) << x << "," << y;
    }
}

TEST(Bitmap, DamagedBmpIsAnInvalidGraphic)
{
    TBitmap good(4, 4, pf24bit);
    TMemoryStream m;
    good.SaveToStream(m);
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    std::vector<uint8_t> truncated(m.Bytes().begin(), m.Bytes().begin() + 40);
    std::vector<uint8_t> badHeader = m.Bytes();
    badHeader[14] = 0xEE;  // header size
    badHeader[28] = 7;     // bits per pixel
    const std::vector<Case> cases = {
        {"empty", {}}, {"not a bitmap", {'G', 'I', 'F', '8', '9', 'a', 0, 0}}, {"truncated", truncated}, {"bad header", badHeader},
        {"header cut short", std::vector<uint8_t>(m.Bytes().begin(), m.Bytes().begin() + 30)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TMemoryStream s;
        if (!c.bytes.empty()) s.WriteBuffer(c.bytes.data(), static_cast<int64_t>(c.bytes.size()));
        s.SetPosition(0);
        TBitmap b(2, 2);
        EXPECT_THROW(b.LoadFromStream(s), EInvalidGraphic);
        EXPECT_EQ(b.Width(), 2);
    }
}

namespace {
// A bitmap file header and info header; pixel bytes follow.
std::vector<uint8_t> BmpHeader(int32_t width, int32_t height, uint16_t bits, uint32_t compression, uint32_t offBits,
                               uint32_t colorsUsed, uint32_t fileSize)
{
    TByteWriter w;
    w.String("BM");
    w.U32(fileSize);
    w.U32(0);
    w.U32(offBits);
    w.U32(40);
    w.I32(width);
    w.I32(height);
    w.U16(1);
    w.U16(bits);
    w.U32(compression);
    w.U32(0);
    w.U32(2835);
    w.U32(2835);
    w.U32(colorsUsed);
    w.U32(0);
    std::vector<uint8_t> b = w.TakeBytes();
    return b;
}
} // namespace

// Headers that promise more than the file holds: refused quickly, without allocating what they
// claim, and the bitmap keeps its picture.
TEST(Bitmap, HostileBmpHeadersAreRefused)
{
    auto withPixels = [](std::vector<uint8_t> b, size_t pixelBytes) {
        b.insert(b.end(), pixelBytes, 0x5A);
        return b;
    };
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    const std::vector<Case> cases = {
        {"huge width and height", withPixels(BmpHeader(1 << 30, 1 << 30, 24, 0, 54, 0, 0), 64)},
        {"largest width and height", withPixels(BmpHeader(0x7FFFFFFF, 0x7FFFFFFF, 32, 0, 54, 0, 0), 64)},
        {"largest width, top-down", withPixels(BmpHeader(0x7FFFFFFF, -0x7FFFFFFF, 32, 3, 54, 0, 0), 64)},
        {"largest width, one row", withPixels(BmpHeader(0x7FFFFFFF, 1, 32, 0, 54, 0, 0), 64)},
        {"largest offset and rows", withPixels(BmpHeader(1, 0x7FFFFFFF, 1, 0, 0xFFFFFFFF, 0, 0), 64)},
        {"large picture, few pixel bytes", withPixels(BmpHeader(7000, 7000, 32, 0, 54, 0, 0), 64)},
        {"top-down, large, few bytes", withPixels(BmpHeader(5000, -5000, 24, 0, 54, 0, 0), 64)},
        {"most negative height", withPixels(BmpHeader(4, INT32_MIN, 24, 0, 54, 0, 0), 64)},
        {"negative width", withPixels(BmpHeader(-4, 4, 24, 0, 54, 0, 0), 64)},
        {"zero bits per pixel", withPixels(BmpHeader(4, 4, 0, 0, 54, 0, 0), 64)},
        {"pixels start past the end", withPixels(BmpHeader(4, 4, 24, 0, 0x7FFFFFF0, 0, 0), 64)},
        {"huge colour count", withPixels(BmpHeader(4, 4, 8, 0, 54, 0xFFFFFFFF, 0), 64)},
        {"last rows missing", withPixels(BmpHeader(40, 40, 24, 0, 54, 0, 0), 120 * 20)},
        {"one byte short", withPixels(BmpHeader(4, 4, 24, 0, 54, 0, 0), 12 * 4 - 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TMemoryStream s;
        s.WriteBuffer(c.bytes.data(), static_cast<int64_t>(c.bytes.size()));
        s.SetPosition(0);
        TBitmap b(2, 2);
        try {
            b.LoadFromStream(s);
            ADD_FAILURE() << "loaded " << b.Width() << " x " << b.Height();
        } catch (const EInvalidGraphic&) {
        }
        EXPECT_EQ(b.Width(), 2);
    }
    // A file size field smaller than the file: the pixels that follow are still read.
    std::vector<uint8_t> small = withPixels(BmpHeader(4, 2, 24, 0, 54, 0, 60), 24);
    small[54 + 12] = 0xFF;   // top row, first pixel: blue
    TMemoryStream s;
    s.WriteBuffer(small.data(), static_cast<int64_t>(small.size()));
    s.SetPosition(0);
    TBitmap b;
    ASSERT_NO_THROW(b.LoadFromStream(s));
    EXPECT_EQ(b.Width(), 4);
    EXPECT_EQ(b.Canvas().Pixels(0, 0), TColor(0xFF5A5A));
}
