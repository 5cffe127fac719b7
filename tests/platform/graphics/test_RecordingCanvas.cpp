#include "platform/graphics/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(RecordingCanvasTest, RecordsCallsWithTheirDrawingState)
{
    TRecordingCanvas c;
    c.Pen.Color = clRed;
    c.Pen.Width = 3;
    c.MoveTo(1, 2);
    c.LineTo(10, 20);
    c.Brush.Style = bsClear;
    c.Font.Name = "Times New Roman";
    c.Font.SetSize(12);
    c.TextOut(5, 6, "Gain");
    c.Pen.Style = psDot;
    c.Ellipse(0, 0, 8, 8);
    c.Brush = TBrush{clWhite, bsSolid};
    c.FillRect(Rect(0, 0, 4, 4));
    c.SetPixel(3, 3, clBlue);
    const std::vector<TPoint> poly{{0, 0}, {5, 0}, {5, 5}};
    c.Polyline(poly);

    const auto& r = c.Records();
    ASSERT_EQ(r.size(), 7u);
    EXPECT_EQ(r[0].Kind, TDrawKind::MoveTo);
    EXPECT_EQ(r[1].Kind, TDrawKind::LineTo);
    EXPECT_EQ(r[1].Points, (std::vector<TPoint>{{1, 2}, {10, 20}}));
    EXPECT_EQ(r[1].Pen.Color, clRed);
    EXPECT_EQ(r[1].Pen.Width, 3);
    EXPECT_EQ(r[2].Text, "Gain");
    EXPECT_EQ(r[2].Points[0], (TPoint{5, 6}));
    EXPECT_EQ(r[2].Font.Name, "Times New Roman");
    EXPECT_EQ(r[2].Font.Size(), 12);
    EXPECT_EQ(r[2].Brush.Style, bsClear);
    EXPECT_EQ(r[3].Pen.Style, psDot);
    EXPECT_EQ(r[4].Kind, TDrawKind::FillRect);
    EXPECT_EQ(r[4].Brush.Style, bsSolid);
    EXPECT_EQ(r[5].Color, clBlue);
    EXPECT_EQ(r[6].Points.size(), 3u);
    // The pen position follows lines and text as on any canvas.
    EXPECT_EQ(c.PenPos(), (TPoint{5 + c.TextWidth("Gain"), 6}));
    EXPECT_EQ(c.Count(TDrawKind::LineTo), 1u);
    EXPECT_EQ(c.OfKind(TDrawKind::Ellipse).size(), 1u);
    EXPECT_EQ(c.Pixels(3, 3), -1);  // nothing to read without a target
    c.Clear();
    EXPECT_TRUE(c.Records().empty());
}

TEST(RecordingCanvasTest, PassesCallsOnToItsTarget)
{
    TBitmap bmp(20, 20);
    bmp.Canvas().Brush.Color = clWhite;
    bmp.Canvas().FillRect(Rect(0, 0, 20, 20));
    TRecordingCanvas c(&bmp.Canvas());
    c.Pen.Color = clBlue;
    c.MoveTo(0, 10);
    c.LineTo(20, 10);
    c.Brush.Color = clRed;
    c.FillRect(Rect(2, 2, 5, 5));
    c.SetPixel(15, 15, clGreen);
    EXPECT_EQ(c.Pixels(10, 10), clBlue);
    EXPECT_EQ(c.Pixels(3, 3), clRed);
    EXPECT_EQ(c.Pixels(15, 15), clGreen);
    EXPECT_EQ(c.Pixels(10, 5), clWhite);
    EXPECT_EQ(c.Records().size(), 4u);
    EXPECT_EQ(c.TextWidth("abc"), bmp.Canvas().TextWidth("abc"));
}

} // namespace
