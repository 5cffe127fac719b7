#include "report/output/RpxDraw.h"
#include "report/output/RpxOutput.h"
#include "report/output/qt/RpxPainterDevice.h"

#include <gtest/gtest.h>

namespace {

int CountColour(const QImage& img, QRgb colour, QRect r = {})
{
    if (r.isNull()) r = img.rect();
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) ++n;
    return n;
}

TRpxLogFont Sans(int height)
{
    TRpxLogFont f;
    f.FaceName = "Arial";
    f.Height = height;
    f.Weight = 400;
    return f;
}

} // namespace

TEST(RpxPainterDevice, FillsShadesAndLinesLandWhereTheOriginPutsThem)
{
    TRpxImageDevice dev(100, 100);
    dev.SetViewportOrg(10, 20);
    dev.FillRect({0, 0, 10, 10}, {rbsSolid, 0x0000FF});   // red in 0x00BBGGRR
    dev.SetBkColor(0xFFFFFF);
    dev.SetTextColor(0);
    ShadeRect(dev, {20, 0, 36, 16}, 1);   // half dark
    dev.SelectPen({rpsSolid, 1, 0xFF0000, rpmCopy});
    dev.MoveTo(0, 50);
    dev.LineTo(30, 50);
    const QImage& img = dev.Image();
    EXPECT_EQ(CountColour(img, qRgb(255, 0, 0), QRect(10, 20, 10, 10)), 100);
    EXPECT_EQ(CountColour(img, qRgb(255, 0, 0)), 100);
    EXPECT_EQ(CountColour(img, qRgb(0, 0, 0), QRect(30, 20, 16, 16)), 128);
    EXPECT_GE(CountColour(img, qRgb(0, 0, 255), QRect(10, 70, 31, 1)), 30);
}

TEST(RpxPainterDevice, TextIsMeasuredAtTheFontsPixelHeightAndAligned)
{
    TRpxImageDevice dev(300, 100);
    dev.SelectFont(Sans(-40));
    const TRpxSize wide = dev.TextExtent("MMMM");
    dev.SelectFont(Sans(-20));
    const TRpxSize narrow = dev.TextExtent("MMMM");
    EXPECT_GT(wide.Cx, narrow.Cx * 3 / 2);
    EXPECT_GT(dev.TextHeight(), 20);
    // Right-aligned text ends at x and moves the current position to its start.
    dev.SetBkMode(TRANSPARENT);
    dev.SetTextAlign(TA_RIGHT | TA_UPDATECP);
    dev.MoveTo(200, 10);
    dev.TextOut(0, 0, "MMMM");
    EXPECT_EQ(dev.CurrentPos().X, 200 - narrow.Cx);
    const QImage& img = dev.Image();
    EXPECT_GT(CountColour(img, qRgb(0, 0, 0), QRect(200 - narrow.Cx, 10, narrow.Cx, 30)), 20);
    EXPECT_EQ(CountColour(img, qRgb(0, 0, 0), QRect(201, 0, 99, 100)), 0);
}

TEST(RpxPainterDevice, ARecordedPageScalesWithTheZoom)
{
    TRpxOutput out;
    out.SetOutputMode(1);
    out.BeginOutput();   // 96 pixels per inch
    out.Canvas().SetBrush(TRpxBrush{0x000000, rbsSolid});
    out.Canvas().FillRect({96, 96, 192, 192});
    out.EndOutput();
    for (int zoom : {100, 50}) {
        TRpxImageDevice dev(400, 400, 192, 192);
        out.Document->ZoomX = out.Document->ZoomY = zoom;
        out.Document->PlayPage(dev, 1);
        const int side = 192 * zoom / 100;
        const QImage& img = dev.Image();
        EXPECT_EQ(CountColour(img, qRgb(0, 0, 0)), side * side) << zoom;
        EXPECT_EQ(img.pixel(side, side) & 0xFFFFFF, 0u) << zoom;
    }
}
