#include "SyntheticPatterns.h"
#include "planner/engine/PatternPlots.h"
#include "planner/engine/PatternRecord.h"
#include "planner/engine/ProjLib.h"
#include "planner/engine/UserCanvas.h"
#include "platform/graphics/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace {

class PatternPlotsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SelectedAzimuthId = 0;
        SelectedElevationId = 0;
        AzimuthRotation = 0;
        BeamTiltIndex = 20;
        AzimuthTraceCount = 1;
        ElevationTraceCount = 1;
        AzimuthPlotInDb = false;
        ElevationPlotMode = 0;
        PlotMessageHook = [this](const std::string& m) { messages.push_back(m); };
    }
    void TearDown() override
    {
        PlotMessageHook = nullptr;
        SetUp();
        PlotMessageHook = nullptr;
    }

    // Lines drawn, as (from, to) with the pen.
    static std::vector<TDrawRecord> Lines(const TRecordingCanvas& c, TColor color)
    {
        std::vector<TDrawRecord> out;
        for (const auto& r : c.OfKind(TDrawKind::LineTo))
            if (r.Pen.Color == color) out.push_back(r);
        return out;
    }
    static std::vector<std::string> Texts(const TRecordingCanvas& c)
    {
        std::vector<std::string> out;
        for (const auto& r : c.OfKind(TDrawKind::TextOut)) out.push_back(r.Text);
        return out;
    }
    static bool HasText(const TRecordingCanvas& c, const std::string& text)
    {
        const auto t = Texts(c);
        return std::find(t.begin(), t.end(), text) != t.end();
    }

    std::vector<std::string> messages;
};

TEST_F(PatternPlotsTest, DbRingsAndPolarPoints)
{
    struct Ring { double e; double rings; };
    for (const auto& c : std::vector<Ring>{{1.0, 8.0}, {0.064, 3.2248}, {0.01, 0.0}, {0.005, 0.0}, {0.0, 0.0}, {-1.0, 0.0}}) {
        SCOPED_TRACE(c.e);
        EXPECT_NEAR(DbRings(c.e), c.rings, 1e-4);
    }
    // Azimuths run clockwise from the top; a rotation turns the pattern clockwise.
    struct Case { int v; int k; int rotation; bool db; TPoint point; };
    const std::vector<Case> cases{
        {1000, 0, 0, false, {100, 0}},      {1000, 90, 0, false, {200, 100}},
        {1000, 180, 0, false, {100, 200}},  {1000, 270, 0, false, {0, 100}},
        {1000, 0, 90, false, {200, 100}},   {1000, 0, -90, false, {0, 100}},
        {1000, 300, 60, false, {100, 0}},   {25, 0, 0, false, {100, 98}},  // 2.5 rounds to even
        {35, 0, 0, false, {100, 96}},       {1000, 90, 0, true, {180, 100}},
        {64, 0, 0, true, {100, 68}},        {64, 0, 90, true, {132, 100}},  // ring 3.22, truncated
        {10, 45, 0, true, {100, 100}},      {0, 45, 0, true, {100, 100}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.v) + " at " + std::to_string(c.k) + " + " + std::to_string(c.rotation));
        const TPoint p = c.db ? AzimuthDbPoint(100, 100, 10, c.v, c.k, c.rotation)
                              : AzimuthFieldPoint(100, 100, 10, c.v, c.k, c.rotation);
        EXPECT_EQ(p, c.point);
    }
}

TEST_F(PatternPlotsTest, PolarGridRingsSpokesAndLabels)
{
    struct Case {
        bool db;
        int height;
        int spacing;
        std::size_t spokes;  // lines through the centre, diameters included
        std::vector<std::string> ringLabels;
    };
    const std::vector<Case> cases{
        {false, 440, 20, 18, {"0.1", "0.5", "1.0"}},
        {true, 440, 23, 18, {"-35", "-20", "  0"}},
        {false, 240, 10, 6, {"0.1", "1.0"}},
        {true, 210, 10, 6, {"-35", "  0"}},
        {false, 200, 8, 6, {"0.3"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.db ? "dB, height " : "field, height ") + std::to_string(c.height));
        AzimuthPlotInDb = c.db;
        TRecordingCanvas canvas;
        DrawAzimuthPlot(canvas, 400, c.height);
        EXPECT_EQ(PolarRingSpacing, c.spacing);
        const int cx = 200, cy = c.height / 2, rings = c.db ? 8 : 10;

        // White first, then the rings as circles around the centre, black and thin.
        ASSERT_FALSE(canvas.Records().empty());
        EXPECT_EQ(canvas.Records().front().Kind, TDrawKind::FillRect);
        const auto circles = canvas.OfKind(TDrawKind::Ellipse);
        ASSERT_EQ(circles.size(), std::size_t(rings));
        for (int g = 1; g <= rings; ++g) {
            const auto& e = circles[std::size_t(g - 1)];
            EXPECT_EQ(e.Points[0], (TPoint{cx - g * c.spacing, cy - g * c.spacing}));
            EXPECT_EQ(e.Points[1], (TPoint{cx + g * c.spacing, cy + g * c.spacing}));
            EXPECT_EQ(e.Pen.Color, clBlack);
            EXPECT_EQ(e.Pen.Width, 1);
            EXPECT_EQ(e.Brush.Style, bsClear);
        }
        // Spokes: diameters of the outer ring through the centre.
        const int R = rings * c.spacing;
        std::size_t spokes = 0;
        for (const auto& l : Lines(canvas, clBlack)) {
            const TPoint a = l.Points[0], b = l.Points[1];
            EXPECT_EQ(a.X + b.X, 2 * cx);
            EXPECT_EQ(a.Y + b.Y, 2 * cy);
            EXPECT_NEAR(std::hypot(a.X - cx, a.Y - cy), R, 1.5);
            ++spokes;
        }
        EXPECT_EQ(spokes, c.spokes);
        // Angle labels clockwise: "  0" above the centre, " 90" on the right, "270" on the left.
        for (const auto& t : canvas.OfKind(TDrawKind::TextOut)) {
            if (t.Text == " 90") { EXPECT_GT(t.Points[0].X, cx + R - 10); }
            if (t.Text == "270") { EXPECT_LT(t.Points[0].X, cx - R); }
            EXPECT_EQ(t.Font.Size(), std::max(7, c.spacing / 3));
        }
        const int top = cy - static_cast<int>(std::nearbyint((rings + 1.2) * c.spacing)) - 7;
        EXPECT_EQ(std::count_if(canvas.Records().begin(), canvas.Records().end(),
                                [&](const TDrawRecord& r) { return r.Text == "  0" && r.Points[0] == TPoint{cx - 10, top}; }),
                  1);
        for (const char* a : {"  0", " 30", " 90", "180", "270", "330"}) EXPECT_TRUE(HasText(canvas, a)) << a;
        EXPECT_EQ(canvas.Count(TDrawKind::TextOut), std::size_t(12 + rings));
        for (const auto& l : c.ringLabels) EXPECT_TRUE(HasText(canvas, l)) << l;
    }
    // No pattern selected: the grid, no trace, and the message.
    EXPECT_EQ(messages.size(), cases.size());
    EXPECT_EQ(messages.front(), "Azimuth pattern data is not available");
}

TEST_F(PatternPlotsTest, PolarTracesFollowTheSelectionAndRotation)
{
    SelectedAzimuthId = kNorthAzimuthId;
    for (const bool db : {false, true}) {
        for (const int rotation : {0, 90, 200}) {
            SCOPED_TRACE(std::string(db ? "dB" : "field") + " rotation " + std::to_string(rotation));
            AzimuthPlotInDb = db;
            AzimuthRotation = rotation;  // read when drawing
            TRecordingCanvas canvas;
            DrawAzimuthPlot(canvas, 400, 440);
            const int s = PolarRingSpacing, cx = 200, cy = 220;
            const auto trace = Lines(canvas, clRed);
            ASSERT_EQ(trace.size(), 360u);
            for (const auto& l : trace) EXPECT_EQ(l.Pen.Width, 2);
            const auto moves = canvas.OfKind(TDrawKind::MoveTo);
            // The full-field sample at 0 degrees is drawn at the rotated azimuth on the outer
            // ring (ring 10, or ring 8 = 0 dB).
            const TPoint first = trace.front().Points[0];
            const double outer = (db ? 8 : 10) * s;
            const double a = rotation * std::numbers::pi / 180;
            EXPECT_NEAR(first.X, cx + outer * std::sin(a), 1.0);
            EXPECT_NEAR(first.Y, cy - outer * std::cos(a), 1.0);
            // The other samples (0.5, -6 dB) on their own ring.
            const double half = db ? DbRings(0.5) * s : 5.0 * s;
            const TPoint mid = trace[179].Points[1];
            EXPECT_NEAR(std::hypot(mid.X - cx, mid.Y - cy), half, 1.5);
        }
    }
    EXPECT_TRUE(messages.empty());

    // A second trace from the list in blue; a count past the lists is clamped.
    AzimuthTraceCount = 9;
    AzimuthTraceIds[1] = kOmniAzimuthId;
    AzimuthTraceIds[2] = kNullAzimuthId;
    AzimuthTraceIds[3] = 0;
    AzimuthPlotInDb = true;
    TRecordingCanvas canvas;
    DrawAzimuthPlot(canvas, 400, 440);
    EXPECT_EQ(Lines(canvas, clBlue).size(), 360u);
    const auto green = Lines(canvas, clGreen);
    ASSERT_EQ(green.size(), 360u);
    // The null at 180 degrees is "no value": the centre, not an overflow.
    EXPECT_EQ(green[179].Points[1], (TPoint{200, 220}));
    EXPECT_EQ(messages.size(), 1u);
    AzimuthTraceIds[1] = AzimuthTraceIds[2] = 0;
}

TEST_F(PatternPlotsTest, PrintedTracesAreScaled)
{
    SetUserScale(1600, 2100, 800, 1050);
    SelectedAzimuthId = kOmniAzimuthId;
    PolarRingSpacing = 30;
    for (const bool db : {false, true}) {
        TRecordingCanvas canvas;
        if (db) DrawAzimuthTracesDb(405, 550, canvas, true);
        else DrawAzimuthTracesField(405, 550, canvas, true);
        const TColor colour = db ? clRed : clFuchsia;
        const auto trace = Lines(canvas, colour);
        ASSERT_EQ(trace.size(), 360u);
        EXPECT_EQ(trace[0].Pen.Width, 15);
        const int r = (db ? 8 : 10) * 30;
        EXPECT_EQ(canvas.OfKind(TDrawKind::MoveTo).front().Points[0], (TPoint{810, 2 * (550 - r)}));
    }
    SetUserScale(1, 1, 1, 1);
}

TEST_F(PatternPlotsTest, ExhibitPolarPlot)
{
    SelectedAzimuthId = kOmniAzimuthId;
    for (const bool db : {false, true}) {
        AzimuthPlotInDb = db;
        TRecordingCanvas canvas;
        DrawAzimuthPdfPlot(canvas, 800, 905);
        const int s = db ? 32 : 27, n = db ? 8 : 10;
        EXPECT_EQ(PolarRingSpacing, s);
        const auto circles = canvas.OfKind(TDrawKind::Ellipse);
        ASSERT_EQ(circles.size(), std::size_t(n));
        for (int g = 1; g <= n; ++g) {
            EXPECT_EQ(circles[std::size_t(g - 1)].Points[0], (TPoint{400 - g * s, 502 - g * s}));
            EXPECT_EQ(circles[std::size_t(g - 1)].Pen.Style, (g == 5 || g == n) ? psSolid : psDot) << g;
        }
        const auto trace = Lines(canvas, clRed);
        ASSERT_EQ(trace.size(), 360u);
        EXPECT_EQ(trace.front().Points[0], (TPoint{400, 502 - n * s}));
        // Ring labels close to the axis.
        for (const auto& t : canvas.OfKind(TDrawKind::TextOut))
            if (t.Text == (db ? "  0" : "1.0") && t.Points[0].Y == 502 - n * s) { EXPECT_EQ(t.Points[0].X, 400 - s / 3); }
    }
}

TEST_F(PatternPlotsTest, ElevationGridColumnsRowsAndLabels)
{
    struct Case {
        uint8_t mode;
        int columns;
        std::size_t rows;
        int zeroColumn;
        std::vector<std::string> labels;
    };
    const std::vector<Case> cases{
        {0, 15, 10, 5, {"-5", "0", "10", "1.0", "0.5", "0.0"}},
        {1, 15, 8, 5, {"-5", "10", "  0", "-20", "-40"}},
        {2, 19, 10, 1, {"-5", "0", "45", "90", "1.0", "0.0"}},
        {3, 19, 8, 1, {"-5", "90", "  0", "-40"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode));
        ElevationPlotMode = c.mode;
        const TRect r = Rect(50, 35, 650, 435);
        TRecordingCanvas canvas;
        DrawElevationGrid(canvas, 700, 480, r, c.columns);
        std::vector<int> xs;
        std::size_t rows = 0;
        for (const auto& l : Lines(canvas, clBlack)) {
            if (l.Points[0].X == l.Points[1].X) {
                xs.push_back(l.Points[0].X);
                EXPECT_EQ(l.Pen.Width, l.Points[0].X == r.Left + c.zeroColumn * r.Width() / c.columns ? 2 : 1);
            } else {
                ++rows;
            }
        }
        ASSERT_EQ(xs.size(), std::size_t(c.columns + 1));
        EXPECT_EQ(xs.front(), r.Left);
        EXPECT_EQ(xs.back(), r.Right);
        EXPECT_EQ(rows, c.rows + 1);
        for (const auto& l : c.labels) EXPECT_TRUE(HasText(canvas, l)) << l;
        EXPECT_EQ(canvas.Count(TDrawKind::TextOut), std::size_t(c.columns + 1) + c.rows + 1);
    }
}

// Screen y of a field on the near-range plot of a 700 x 480 image (rect 50, 35 - 675, 440).
int NearY(double v, bool db)
{
    const int H = 405;
    if (!db) return 440 - static_cast<int>(std::nearbyint(H * 0.001 * v));
    const double f = std::max(-10 * std::log10(v * v / 1e6) / 40, 0.0);
    return 440 - static_cast<int>(std::nearbyint((1 - f) * H));
}

TEST_F(PatternPlotsTest, NearRangeTracesAtTrueAngles)
{
    SelectedElevationId = kLinearElevationId;
    for (const int b : {16, 20, 21, 24}) {
        for (const bool db : {false, true}) {
            SCOPED_TRACE("tilt index " + std::to_string(b) + (db ? " dB" : " field"));
            BeamTiltIndex = b;
            ElevationPlotMode = db ? 1 : 0;
            TRecordingCanvas canvas;
            DrawElevationPlotNearRange(canvas, 700, 480);
            const auto trace = Lines(canvas, clBlue);
            ASSERT_EQ(trace.size(), 60u);
            EXPECT_EQ(trace.front().Pen.Width, 2);
            EXPECT_EQ(trace.front().Points[0].X, 50);
            EXPECT_EQ(trace.back().Points[1].X, 675);
            // Each point shows the record at its own display angle: the linear record gives a
            // straight line whatever the tilt.
            for (std::size_t i = 0; i < trace.size(); ++i) {
                const double x = -5 + 0.25 * double(i + 1);
                const double v = 800 - 8 * (x - (20 - b) / 4.0);
                EXPECT_EQ(trace[i].Points[1].Y, NearY(v, db)) << "point " << i + 1;
            }
        }
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(PatternPlotsTest, NearRangeTraceListAndMissingRecords)
{
    // Trace 1 follows SelectedElevationId; further traces start at green.
    SelectedElevationId = kZeroHeadElevationId;
    ElevationTraceCount = 3;
    ElevationTraceIds[1] = kLinearElevationId;
    ElevationTraceShifts[1] = 900;  // clamped to 80
    ElevationTraceIds[2] = 0;
    ElevationPlotMode = 1;
    TRecordingCanvas canvas;
    DrawElevationPlotNearRange(canvas, 700, 480);
    const auto blue = Lines(canvas, clBlue);
    ASSERT_EQ(blue.size(), 60u);
    // Samples of 0 lie on the floor, not below the plot.
    EXPECT_EQ(blue.front().Points[0].Y, 440);
    EXPECT_EQ(blue[9].Points[1].Y, 440);
    EXPECT_LT(blue[20].Points[1].Y, 440);
    EXPECT_EQ(Lines(canvas, clGreen).size(), 60u);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Elevation pattern data is not available");
    ElevationTraceIds[1] = 0;
    ElevationTraceShifts[1] = 20;

    // A damaged record plots without reading past its end.
    SelectedElevationId = kShortElevationId;
    ElevationTraceCount = 1;
    TRecordingCanvas cut;
    DrawElevationPlotNearRange(cut, 700, 480);
    EXPECT_EQ(Lines(cut, clBlue).size(), 60u);
}

TEST_F(PatternPlotsTest, FullRangeTrace)
{
    SelectedElevationId = kLinearElevationId;
    // 700 x 480: rect (130, 20) - (590, 440).
    for (const int b : {16, 20, 24}) {
        for (const bool db : {false, true}) {
            SCOPED_TRACE("tilt index " + std::to_string(b) + (db ? " dB" : " field"));
            BeamTiltIndex = b;
            ElevationPlotMode = db ? 3 : 2;
            TRecordingCanvas canvas;
            DrawElevationPlotFullRange(canvas, 700, 480);
            const auto trace = Lines(canvas, clBlue);
            // Samples b .. 80 and 81 .. 239 (none of the linear record is below -40 dB).
            ASSERT_EQ(trace.size(), std::size_t(80 - b + 159));
            const auto moves = canvas.OfKind(TDrawKind::MoveTo);
            EXPECT_EQ(trace.front().Points[0].X, 130);
            const double xq = 460 / 380.0;
            const int p = static_cast<int>(std::nearbyint(xq * (80 - b)));
            EXPECT_EQ(trace[std::size_t(80 - b - 1)].Points[1].X, 130 + p);
            EXPECT_EQ(trace.back().Points[1].X, 130 + p + static_cast<int>(std::nearbyint((460 - p) * 0.00625 * 159)));
            const int v = LinearElevationSample(239);
            const int y = db ? 20 - static_cast<int>(std::nearbyint(420 * 0.025 * 10 * std::log10((v / 1000.0) * (v / 1000.0))))
                             : 440 - static_cast<int>(std::nearbyint(420 * 0.001 * v));
            EXPECT_EQ(trace.back().Points[1].Y, y);
        }
    }
    // dB: samples of 0 in the far part sit on the -40 dB floor.
    SelectedElevationId = kZeroTailElevationId;
    BeamTiltIndex = 20;
    ElevationPlotMode = 3;
    TRecordingCanvas canvas;
    DrawElevationPlotFullRange(canvas, 700, 480);
    const auto trace = Lines(canvas, clBlue);
    ASSERT_EQ(trace.size(), 60u + 159u);
    EXPECT_EQ(trace.back().Points[1].Y, 440);
    // No record: the grid alone, no message.
    SelectedElevationId = 0;
    TRecordingCanvas empty;
    DrawElevationPlotFullRange(empty, 700, 480);
    EXPECT_TRUE(Lines(empty, clBlue).empty());
    EXPECT_TRUE(messages.empty());
}

TEST_F(PatternPlotsTest, ExhibitElevationPlotUsesTheFixedRectangle)
{
    SelectedElevationId = kLinearElevationId;
    for (const uint8_t mode : {0, 3}) {
        ElevationPlotMode = mode;
        TRecordingCanvas canvas;
        DrawElevationPdfPlot(canvas, 800, 905);
        const auto fills = canvas.OfKind(TDrawKind::FillRect);
        ASSERT_GE(fills.size(), 2u);
        EXPECT_EQ(fills[0].Points[1], (TPoint{800, 905}));
        EXPECT_EQ(fills[1].Points[0], (TPoint{100, 100}));
        EXPECT_EQ(fills[1].Points[1], (TPoint{700, 800}));
        const auto trace = Lines(canvas, clBlue);
        ASSERT_FALSE(trace.empty());
        EXPECT_EQ(trace.front().Points[0].X, 100);
    }
}

TEST_F(PatternPlotsTest, UserCanvasScalesAndAligns)
{
    SetUserScale(400, 525, 800, 1050);  // half size: halves round to even
    EXPECT_DOUBLE_EQ(XScale, 0.5);
    EXPECT_EQ(UserX(1), 0);
    EXPECT_EQ(UserX(3), 2);
    EXPECT_EQ(UserY(5), 2);
    EXPECT_EQ(UserPenWidth(3), 2);
    EXPECT_EQ(UserPenWidth(5), 2);

    TRecordingCanvas canvas;
    UserMoveTo(canvas, 100, 200);
    UserLineTo(canvas, 301, 403);
    UserRectangle(canvas, 10, 10, 30, 50);
    UserEllipse(canvas, 11, 13, 21, 23);
    const auto& r = canvas.Records();
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[1].Points[0], (TPoint{50, 100}));
    EXPECT_EQ(r[1].Points[1], (TPoint{150, 202}));
    EXPECT_EQ(r[2].Points[1], (TPoint{15, 25}));
    EXPECT_EQ(r[3].Points[0], (TPoint{6, 6}));
    EXPECT_EQ(r[3].Points[1], (TPoint{10, 12}));

    SetUserScale(800, 1050, 800, 1050);
    const int w = canvas.TextWidth("Gain"), h = canvas.TextHeight("Gain");
    struct Case { int vertical; int horizontal; TPoint at; };
    for (const auto& c : std::vector<Case>{{0, 0, {100, 100}}, {1, 1, {100 - w / 2, 100 - h / 2}}, {2, 2, {100 - w, 100 - h}}}) {
        canvas.Clear();
        UserTextOut(canvas, 100, 100, c.vertical, c.horizontal, "Gain");
        EXPECT_EQ(canvas.Records().back().Points[0], c.at);
    }

    canvas.Clear();
    SetUserScale(1600, 2100, 800, 1050);
    UserValueBox(canvas, 130, 670, 2, 42.125);
    const auto lines = canvas.OfKind(TDrawKind::LineTo);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].Points[0], (TPoint{260, 1366}));
    EXPECT_EQ(lines[0].Points[1], (TPoint{260, 1316}));
    EXPECT_EQ(lines[1].Points[1], (TPoint{390, 1316}));
    EXPECT_EQ(lines[0].Pen.Width, 6);
    EXPECT_EQ(lines[2].Pen.Width, 4);
    EXPECT_EQ(lines[3].Points[1], (TPoint{260, 1366}));
    const auto text = canvas.OfKind(TDrawKind::TextOut);
    ASSERT_EQ(text.size(), 1u);
    EXPECT_EQ(text[0].Text, "42.13");
    EXPECT_EQ(text[0].Points[0].X, 384 - canvas.TextWidth("42.13"));
    SetUserScale(1, 1, 1, 1);
}

} // namespace
