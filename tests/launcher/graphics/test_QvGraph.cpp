// The colour reductions and the bitmap files of QvGraph.
#include "launcher/graphics/QvGraph.h"
#include "platform/runtime/ByteIO.h"

#include "platform/ui/ScriptedUi.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include <set>

using namespace QvGraph;

namespace {

// 24-bit pixels (blue, green, red), rows top down without padding.
struct Image {
    int w, h;
    std::vector<uint8_t> bgr;
    void Set(int x, int y, int r, int g, int b)
    {
        uint8_t* p = &bgr[static_cast<size_t>(y * w + x) * 3];
        p[0] = uint8_t(b);
        p[1] = uint8_t(g);
        p[2] = uint8_t(r);
    }
    TReduction Reduce(TReductionMethod m) const { return QvGraph::Reduce(bgr.data(), w, h, w * 3, m); }
    TColor At(int x, int y) const
    {
        const uint8_t* p = &bgr[static_cast<size_t>(y * w + x) * 3];
        return RGB(p[2], p[1], p[0]);
    }
};

Image Gradient(int w, int h)
{
    Image img{w, h, std::vector<uint8_t>(static_cast<size_t>(w * h * 3))};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.Set(x, y, x * 255 / (w - 1), y * 255 / (h - 1), (x * y) & 0xFF);
    return img;
}

int Distance(TColor a, TColor b)
{
    return std::max({std::abs(GetRValue(a) - GetRValue(b)), std::abs(GetGValue(a) - GetGValue(b)),
                      std::abs(GetBValue(a) - GetBValue(b))});
}

} // namespace

TEST(QvGraphReduce, PopularityKeepsFewColoursExactly)
{
    Image img{30, 20, std::vector<uint8_t>(30 * 20 * 3)};
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) img.Set(x, y, (x % 10) * 25, y * 12, 77);  // 200 colours
    const TReduction r = img.Reduce(ReduceByPopularity);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) EXPECT_EQ(r.Palette[r.Indexes[size_t(y * 30 + x)]], img.At(x, y));
    EXPECT_EQ(r.Palette[255], RGB(128, 128, 128));  // unused entries are grey
}

TEST(QvGraphReduce, PopularityDropsLowBitsForManyColours)
{
    const Image img = Gradient(256, 64);  // far more than 2049 colours
    const TReduction r = img.Reduce(ReduceByPopularity);
    // Blue lost its low bit first, so every palette colour has an even blue.
    std::set<TColor> used;
    for (uint8_t i : r.Indexes) used.insert(r.Palette[i]);
    for (TColor c : used) EXPECT_EQ(GetBValue(c) & 1, 0);
    EXPECT_LE(used.size(), 256u);
}

// Colours that need exactly two low bits dropped to fit: 600 base colours of even channels,
// each with every odd/even variant of its three channels (4800 colours). Dropping blue's bit
// leaves 2400, too many; then red's leaves 1200, which fit. Every colour kept thus has even
// red and blue, while green keeps both parities.
TEST(QvGraphReduce, PopularityDropsBlueThenRedThenGreen)
{
    Image img{80, 60, std::vector<uint8_t>(80 * 60 * 3)};
    for (int i = 0; i < 4800; ++i) {
        const int base = i / 8, variant = i % 8;
        const int r = (base % 10) * 24 + (variant & 1), g = ((base / 10) % 10) * 24 + ((variant >> 1) & 1),
                  b = (base / 100) * 24 + ((variant >> 2) & 1);
        img.Set(i % 80, i / 80, r, g, b);
    }
    const TReduction r = img.Reduce(ReduceByPopularity);
    std::set<TColor> used;
    for (uint8_t i : r.Indexes) used.insert(r.Palette[i]);
    ASSERT_FALSE(used.empty());
    bool oddGreen = false;
    for (TColor c : used) {
        EXPECT_EQ(GetRValue(c) & 1, 0) << std::hex << c;
        EXPECT_EQ(GetBValue(c) & 1, 0) << std::hex << c;
        oddGreen = oddGreen || (GetGValue(c) & 1);
    }
    EXPECT_TRUE(oddGreen) << "green lost its low bit too: more bits were dropped than needed";
}

TEST(QvGraphReduce, MedianCutStaysNearTheColours)
{
    const Image img = Gradient(200, 150);
    const TReduction r = img.Reduce(ReduceByMedianCut);
    EXPECT_LE(r.ColorsUsed, 256);
    EXPECT_GT(r.ColorsUsed, 64);
    int worst = 0;
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x)
            worst = std::max(worst, Distance(r.Palette[r.Indexes[size_t(y * img.w + x)]], img.At(x, y)));
    EXPECT_LE(worst, 96);

    Image two{4, 1, std::vector<uint8_t>(12)};
    two.Set(0, 0, 255, 0, 0);
    two.Set(1, 0, 255, 0, 0);
    two.Set(2, 0, 0, 0, 255);
    two.Set(3, 0, 0, 0, 255);
    const TReduction t = two.Reduce(ReduceByMedianCut);
    EXPECT_EQ(t.ColorsUsed, 2);
    EXPECT_NE(t.Indexes[0], t.Indexes[2]);
    EXPECT_EQ(t.Palette[t.Indexes[0]], RGB(255, 15, 15));
}

TEST(QvGraphReduce, FixedMethods)
{
    Image img{3, 2, std::vector<uint8_t>(18)};
    img.Set(0, 0, 255, 255, 255);
    img.Set(1, 0, 100, 30, 200);
    img.Set(2, 0, 0, 0, 0);
    img.Set(0, 1, 12, 240, 60);
    img.Set(1, 1, 128, 128, 128);
    img.Set(2, 1, 200, 10, 90);

    const TReduction cube6 = img.Reduce(ReduceTo6R6G6B);
    EXPECT_EQ(cube6.Indexes[0], 215);
    EXPECT_EQ(cube6.Indexes[1], 2 * 36 + 1 * 6 + 4);  // 100 -> 102, 30 -> 51, 200 -> 204
    EXPECT_EQ(cube6.Palette[2 * 36 + 1 * 6 + 4], RGB(102, 51, 204));
    EXPECT_EQ(cube6.Palette[216], RGB(128, 128, 128));

    const TReduction cube7 = img.Reduce(ReduceTo7R8G4B);
    EXPECT_EQ(cube7.Indexes[0], 6 * 32 + 7 * 4 + 3);
    EXPECT_EQ(cube7.Indexes[1], 2 * 32 + 1 * 4 + 2);  // 100 -> 85, 30 -> 36, 200 -> 170
    EXPECT_EQ(cube7.Palette[2 * 32 + 1 * 4 + 2], RGB(85, 36, 170));

    const TReduction rot = img.Reduce(ReduceByChannelRotation);
    EXPECT_EQ(rot.Indexes[0], 255 / 4);        // (0+0)%3 = 0: red
    EXPECT_EQ(rot.Indexes[1], 30 / 4 + 64);    // green
    EXPECT_EQ(rot.Indexes[2], 0 / 4 + 128);    // blue
    EXPECT_EQ(rot.Indexes[3], 240 / 4 + 64);   // (1+0)%3 = 1: green
    EXPECT_EQ(rot.Palette[64 + 10], RGB(0, 40, 0));
    EXPECT_EQ(rot.Palette[200], clBlack);

    const TReduction grey = img.Reduce(ReduceToGray);
    EXPECT_EQ(grey.Indexes[1], (100 * 77 + 30 * 150 + 200 * 29) / 256);
    EXPECT_EQ(grey.Palette[77], RGB(77, 77, 77));
}

TEST(QvGraphFiles, BitmapFilesOfEachDepthReadByQt)
{
    TBitmap b(9, 5, pf24bit);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 9; ++x) b.Canvas().SetPixel(x, y, (x + y) % 2 ? clWhite : clBlack);
    struct Case {
        int colors;
        int bits;
    };
    for (const Case c : {Case{2, 1}, Case{16, 4}, Case{256, 8}, Case{1000, 24}}) {
        const std::vector<uint8_t> file = BitmapToDIBStreamByColors(b, c.colors);
        EXPECT_EQ(LoadLE16(&file[28]), c.bits);
        QImage img;
        ASSERT_TRUE(img.loadFromData(file.data(), static_cast<int>(file.size()), "BMP")) << c.bits;
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 9; ++x)
                EXPECT_EQ(img.pixel(x, y) & 0xFFFFFF, (x + y) % 2 ? 0xFFFFFFu : 0u) << c.bits << " " << x << "," << y;
    }
    const std::vector<uint8_t> median = BitmapToDIBStream(b, pf8bit, ReduceByMedianCut);
    EXPECT_EQ(LoadLE32(&median[46]), 2u);  // colours used

    TBitmap empty;
    EXPECT_THROW(BitmapToDIBStream(empty, pf8bit, ReduceToGray), EInvalidGraphic);
}

TEST(QvGraphFiles, OtherFormatsAreNotImplemented)
{
    TScriptedUiServices ui;
    ui.OnUnexpected = [](const std::string& what) { ADD_FAILURE() << what; };
    TUiServicesScope scope(ui);
    ui.ExpectMessage(IDOK, "Function not yet implemented");
    TBitmap b(3, 3, pf24bit);
    EXPECT_THROW(BitmapToDIBStream(b, pf16bit, ReduceByPopularity), EAbort);
    EXPECT_TRUE(ui.AllUsed());
    ASSERT_EQ(ui.Shown().size(), 1u);
    EXPECT_EQ(ui.Shown()[0].Type, TMsgDlgType::mtInformation);
}
