// Pattern plots.
#include "PatternPlots.h"

#include "PatternRecord.h"
#include "UserCanvas.h"
#include "planner/engine/ProjLib.h"
#include "platform/runtime/NumText.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

bool AzimuthPlotInDb = false;
uint8_t ElevationPlotMode = 0;
int32_t PolarRingSpacing = 0;
int32_t AzimuthTraceCount = 1;
int32_t ElevationTraceCount = 1;
int32_t AzimuthTraceIds[kMaxTraces] = {};
int32_t AzimuthTraceRotations[kMaxTraces] = {};
int32_t ElevationTraceIds[kMaxTraces] = {};
int32_t ElevationTraceShifts[kMaxTraces] = {20, 20, 20, 20};
const TColor TraceColors[kMaxTraces] = {clRed, clBlue, clGreen, clFuchsia};
std::function<void(const std::string&)> PlotMessageHook;

namespace {
constexpr double kDegree = std::numbers::pi / 180.0;
constexpr int kPrintTracePen = 15;
constexpr int kMinimumLabelPoints = 7;

int Rnd(double v) { return static_cast<int>(Round(v)); }
int Trc(double v) { return static_cast<int>(Trunc(v)); }

void Message(const std::string& text)
{
    if (PlotMessageHook) PlotMessageHook(text);
}

int TraceIndex(int t) { return std::clamp(t, 0, kMaxTraces - 1); }

bool DbMode() { return ElevationPlotMode == 1 || ElevationPlotMode == 3; }

void ResetTools(TCanvas& c)
{
    c.Pen = TPen{};
    c.Brush = TBrush{};
    c.Font = TFont{};
}

// --- Polar frame ---
struct TPolarFrame {
    int cx;
    int cy;
    int s;         // ring spacing
    int rings;     // 10 relative field, 8 dB
    bool db;
    bool dotted;     // inner rings dotted but for the middle one (the exhibit images)
    int labelInset;  // extra gap between the ring labels and the vertical axis
};

void Line(TCanvas& c, int x1, int y1, int x2, int y2)
{
    c.MoveTo(x1, y1);
    c.LineTo(x2, y2);
}

void DrawPolarFrame(TCanvas& c, const TPolarFrame& f)
{
    c.Pen = TPen{};
    c.Brush.Style = bsClear;
    c.Font = TFont{};
    // A third of the ring step, but never too small to read on a small plot.
    c.Font.SetSize(std::max(kMinimumLabelPoints, f.s / 3));

    for (int g = 1; g <= f.rings; ++g) {
        c.Pen.Style = (!f.dotted || g == 5 || g == f.rings) ? psSolid : psDot;
        const int r = g * f.s;
        c.Ellipse(f.cx - r, f.cy - r, f.cx + r, f.cy + r);
    }
    c.Pen.Style = psSolid;

    // Spokes every 10 degrees; on a small plot only those at 30 and 60 degrees.
    const int R = f.rings * f.s;
    auto spokes = [&](int degrees) {
        const int p = Trc(std::sin(degrees * kDegree) * R);
        const int q = Trc(std::cos(degrees * kDegree) * R);
        Line(c, f.cx - p, f.cy - q, f.cx + p, f.cy + q);
        Line(c, f.cx - q, f.cy - p, f.cx + q, f.cy + p);
        Line(c, f.cx + p, f.cy - q, f.cx - p, f.cy + q);
        Line(c, f.cx + q, f.cy - p, f.cx - q, f.cy + p);
    };
    if (f.s > 10) {
        for (int a = 10; a <= 40; a += 10) spokes(a);
    } else {
        spokes(30);
    }
    Line(c, f.cx - R, f.cy, f.cx + R, f.cy);
    Line(c, f.cx, f.cy - R, f.cx, f.cy + R);

    // Angle labels clockwise from the top.
    for (int i = 0; i < 12; ++i) {
        const double rr = (f.rings + 1.2) * f.s;
        const int x = f.cx - Rnd(std::sin(i * 30 * kDegree) * rr) - 10;
        const int y = f.cy - Rnd(std::cos(i * 30 * kDegree) * rr) - 7;
        c.TextOut(x, y, Format("%3d", {(360 - 30 * i) % 360}));
    }
    // Ring labels up the vertical axis.
    const int lx = f.cx - f.s / 3 - f.labelInset;
    for (int a = 1; a <= f.rings; ++a) {
        const std::string text = f.db ? Format("%3d", {a * 5 - 40}) : Format("%3.1f", {a / 10.0});
        c.TextOut(lx, f.cy - a * f.s, text);
    }
}

// --- Azimuth traces ---
void DrawAzimuthRecord(TCanvas& c, int32_t id, int rotation, int cx, int cy, bool db, bool print)
{
    const TPatternRecord rec(id, kAzimuthSamples);
    if (rec.Empty()) {
        Message("Azimuth pattern data is not available");
        return;
    }
    const int s = PolarRingSpacing;
    for (int k = 0; k <= 360; ++k) {
        const TPoint pt = db ? AzimuthDbPoint(cx, cy, s, rec.V(k), k, rotation)
                             : AzimuthFieldPoint(cx, cy, s, rec.V(k), k, rotation);
        if (print) {
            if (k == 0) UserMoveTo(c, pt.X, pt.Y);
            else UserLineTo(c, pt.X, pt.Y);
        } else {
            if (k == 0) c.MoveTo(pt.X, pt.Y);
            else c.LineTo(pt.X, pt.Y);
        }
    }
}

void DrawAzimuthTraces(int cx, int cy, TCanvas& c, bool print, bool db)
{
    const int count = std::clamp(AzimuthTraceCount, 0, kMaxTraces);
    for (int t = 0; t < count; ++t) {
        c.Pen = TPen{};
        if (print) {
            c.Pen.Width = kPrintTracePen;
            c.Pen.Color = db ? clRed : clFuchsia;
        } else {
            c.Pen.Width = 2;
            c.Pen.Color = TraceColors[t];
        }
        DrawAzimuthRecord(c, AzimuthTraceId(t), AzimuthTraceRotation(t), cx, cy, db, print);
    }
}

void DrawAzimuthTraceCode(TCanvas& c, std::string_view code, int rotation, int cx, int cy, TColor color,
                          int penWidth, bool print, bool db)
{
    c.Pen = TPen{};
    c.Pen.Color = color;
    c.Pen.Width = print ? 5 * penWidth : penWidth;
    DrawAzimuthRecord(c, FindAzimuthRecord(code), rotation, cx, cy, db, print);
}

// --- Elevation plots ---
void FullRangeIn(TCanvas& c, int width, int height, const TRect& r)
{
    DrawElevationGrid(c, width, height, r, 19);
    const TPatternRecord rec(SelectedElevationId, kElevationSamples);
    if (rec.Empty()) return;
    c.Pen = TPen{};
    c.Pen.Width = 2;
    c.Pen.Color = clBlue;
    const bool db = DbMode();
    const int b = ClampTiltIndex(BeamTiltIndex);
    const int H = r.Height();
    const double xq = r.Width() / 380.0;
    auto fieldY = [&](int v) { return r.Bottom - Rnd(H * 0.001 * v); };
    auto levelY = [&](double level) { return r.Top - Rnd(H * 0.025 * level); };

    // Quarter-degree part, the sample at index b at -5 degrees. In dB a point below -40 is
    // left out; the first point is drawn whatever its level (a point without one on the floor).
    for (int i = b; i <= 80; ++i) {
        const int x = r.Left + Rnd(xq * (i - b));
        if (!db) {
            if (i == b) c.MoveTo(x, fieldY(rec.V(i)));
            else c.LineTo(x, fieldY(rec.V(i)));
            continue;
        }
        const auto level = FieldLevelDb(rec.V(i) / 1000.0);
        if (i == b) c.MoveTo(x, level ? levelY(*level) : r.Bottom);
        else if (level && *level >= -40.0) c.LineTo(x, levelY(*level));
    }
    // Half-degree part over the rest of the width; in dB floored at -40.
    const int p = Rnd(xq * (80 - b));
    const double xh = (r.Width() - p) * 0.00625;
    for (int i = 81; i <= 239; ++i) {
        const int x = r.Left + p + Rnd(xh * (i - 80));
        if (!db) {
            c.LineTo(x, fieldY(rec.V(i)));
            continue;
        }
        const double level = std::max(FieldLevelDb(rec.V(i) / 1000.0).value_or(-50.0), -40.0);
        c.LineTo(x, levelY(level));
    }
}

void NearRangeIn(TCanvas& c, int width, int height, const TRect& r)
{
    DrawElevationGrid(c, width, height, r, 15);
    const bool db = DbMode();
    const int H = r.Height();
    const double cw = r.Width() / 15.0;
    const int count = std::clamp(ElevationTraceCount, 0, kMaxTraces);
    for (int t = 0; t < count; ++t) {
        const TPatternRecord rec(ElevationTraceId(t), kElevationSamples);
        if (rec.Empty()) {
            Message("Elevation pattern data is not available");
            continue;
        }
        c.Pen = TPen{};
        c.Pen.Width = 2;
        c.Pen.Color = TraceColors[TraceIndex(t + 1)];
        const int b = ClampTiltIndex(ElevationTraceShift(t));
        // 61 points a quarter degree apart, each at its true angle.
        for (int n = 0; n <= 60; ++n) {
            const double v = NearRangeValue(rec, b, n);
            const int x = r.Left + Rnd(cw * 0.25 * n);
            int y;
            if (db) {
                const auto level = FieldLevelDb(v / 1000.0);
                const double f = level ? std::max(-*level / 40.0, 0.0) : 1.0;
                y = r.Bottom - Rnd((1.0 - f) * H);
            } else {
                y = r.Bottom - Rnd(H * 0.001 * v);
            }
            if (n == 0) c.MoveTo(x, y);
            else c.LineTo(x, y);
        }
    }
}

TRect FullRangeRect(int width, int height)
{
    const int l = (width - 480) / 2;
    return Rect(l + 20, 20, l + 480, height - 40);
}

TRect NearRangeRect(int width, int height) { return Rect(50, 35, width - 25, height - 40); }
} // namespace

int32_t AzimuthTraceId(int t) { return t <= 0 ? SelectedAzimuthId : AzimuthTraceIds[TraceIndex(t)]; }
int32_t AzimuthTraceRotation(int t) { return t <= 0 ? AzimuthRotation : AzimuthTraceRotations[TraceIndex(t)]; }
int32_t ElevationTraceId(int t) { return t <= 0 ? SelectedElevationId : ElevationTraceIds[TraceIndex(t)]; }
int32_t ElevationTraceShift(int t) { return t <= 0 ? BeamTiltIndex : ElevationTraceShifts[TraceIndex(t)]; }

double DbRings(double e)
{
    const auto level = FieldLevelDb(e);
    if (!level) return 0.0;
    return std::max(*level / 5.0 + 8.0, 0.0);
}

TPoint AzimuthFieldPoint(int cx, int cy, int s, int v, int k, int rotation)
{
    const double theta = (k + rotation) * kDegree;
    const double r = v * 0.01 * s;
    return {cx + Rnd(r * std::sin(theta)), cy - Rnd(r * std::cos(theta))};
}

TPoint AzimuthDbPoint(int cx, int cy, int s, int v, int k, int rotation)
{
    const double theta = (k + rotation) * kDegree;
    const double r = DbRings(v / 1000.0) * s;
    return {cx + Trc(r * std::sin(theta)), cy - Trc(r * std::cos(theta))};
}

void ClearImage(TCanvas& canvas, int width, int height)
{
    ResetTools(canvas);
    canvas.Brush.Color = clWhite;
    canvas.Brush.Style = bsSolid;
    canvas.FillRect(Rect(0, 0, width, height));
}

void ClearImage(TBitmap& image) { ClearImage(image.Canvas(), image.Width(), image.Height()); }

void DrawPolarGrid(TCanvas& canvas, int width, int height)
{
    ClearImage(canvas, width, height);
    const int rings = AzimuthPlotInDb ? 8 : 10;
    PolarRingSpacing = AzimuthPlotInDb ? width / 17 : width / 21;
    DrawPolarFrame(canvas, {width / 2, width / 2 + 3, PolarRingSpacing, rings, AzimuthPlotInDb, false, 3});
}

void DrawPolarGrid(TBitmap& image) { DrawPolarGrid(image.Canvas(), image.Width(), image.Height()); }

void DrawAzimuthPlot(TCanvas& canvas, int width, int height)
{
    ClearImage(canvas, width, height);
    const int rings = AzimuthPlotInDb ? 8 : 10;
    PolarRingSpacing = AzimuthPlotInDb ? (height - 40) / 17 : (height - 40) / 20;
    const int cx = width / 2;
    const int cy = height / 2;
    DrawPolarFrame(canvas, {cx, cy, PolarRingSpacing, rings, AzimuthPlotInDb, false, 3});
    if (AzimuthPlotInDb) DrawAzimuthTracesDb(cx, cy, canvas, false);
    else DrawAzimuthTracesField(cx, cy, canvas, false);
}

void DrawAzimuthPlot(TBitmap& image) { DrawAzimuthPlot(image.Canvas(), image.Width(), image.Height()); }

void DrawAzimuthTracesDb(int cx, int cy, TCanvas& canvas, bool print) { DrawAzimuthTraces(cx, cy, canvas, print, true); }

void DrawAzimuthTracesField(int cx, int cy, TCanvas& canvas, bool print)
{
    DrawAzimuthTraces(cx, cy, canvas, print, false);
}

void DrawAzimuthTraceField(TCanvas& canvas, std::string_view code, int rotation, int cx, int cy, TColor color,
                           int penWidth, bool print)
{
    DrawAzimuthTraceCode(canvas, code, rotation, cx, cy, color, penWidth, print, false);
}

void DrawAzimuthTraceDb(TCanvas& canvas, std::string_view code, int rotation, int cx, int cy, TColor color,
                        int penWidth, bool print)
{
    DrawAzimuthTraceCode(canvas, code, rotation, cx, cy, color, penWidth, print, true);
}

void DrawElevationGrid(TCanvas& canvas, int width, int height, const TRect& rect, int columns)
{
    ClearImage(canvas, width, height);
    columns = std::max(columns, 1);
    const int rows = DbMode() ? 8 : 10;
    const double cw = rect.Width() / double(columns);
    const double rh = rect.Height() / double(rows);
    const bool full = columns == 19;
    const int zeroColumn = full ? 1 : 5;

    canvas.Pen = TPen{};
    canvas.Brush.Color = clWhite;
    canvas.Brush.Style = bsSolid;
    canvas.Font = TFont{};
    canvas.Font.Name = "ARIAL";
    canvas.Font.SetSize(8);
    canvas.FillRect(rect);
    canvas.Brush.Style = bsClear;

    for (int i = 0; i <= columns; ++i) {
        const int x = rect.Left + Trc(cw * i);
        canvas.Pen.Width = i == zeroColumn ? 2 : 1;
        Line(canvas, x, rect.Top, x, rect.Bottom);
    }
    canvas.Pen.Width = 1;
    for (int d = 0; d <= rows; ++d) {
        const int y = rect.Top + Trc(rh * d);
        Line(canvas, rect.Left, y, rect.Right, y);
    }
    for (int i = 0; i <= columns; ++i) {
        const std::string text = Format("%d", {full ? 5 * i - 5 : i - 5});
        const int x = rect.Left + Trc(cw * i);
        canvas.TextOut(x - canvas.TextWidth(text) / 2, rect.Bottom + 8, text);
    }
    for (int d = 0; d <= rows; ++d) {
        const std::string text = DbMode() ? Format("%3d", {-5 * d}) : Format("%.1f", {(rows - d) / 10.0});
        const int y = rect.Top + Trc(rh * d);
        canvas.TextOut(rect.Left - 8 - canvas.TextWidth(text), y - canvas.TextHeight(text) / 2, text);
    }
}

void DrawElevationPlotFullRange(TCanvas& canvas, int width, int height)
{
    FullRangeIn(canvas, width, height, FullRangeRect(width, height));
}

void DrawElevationPlotFullRange(TBitmap& image)
{
    DrawElevationPlotFullRange(image.Canvas(), image.Width(), image.Height());
}

void DrawElevationPlotNearRange(TCanvas& canvas, int width, int height)
{
    NearRangeIn(canvas, width, height, NearRangeRect(width, height));
}

void DrawElevationPlotNearRange(TBitmap& image)
{
    DrawElevationPlotNearRange(image.Canvas(), image.Width(), image.Height());
}

void DrawAzimuthPdfPlot(TCanvas& canvas, int width, int height)
{
    ClearImage(canvas, width, height);
    const int rings = AzimuthPlotInDb ? 8 : 10;
    PolarRingSpacing = AzimuthPlotInDb ? 32 : 27;
    const int cx = width / 2;
    const int cy = height / 2 + 50;
    DrawPolarFrame(canvas, {cx, cy, PolarRingSpacing, rings, AzimuthPlotInDb, true, 0});
    if (AzimuthPlotInDb) DrawAzimuthTracesDb(cx, cy, canvas, false);
    else DrawAzimuthTracesField(cx, cy, canvas, false);
}

void DrawAzimuthPdfPlot(TBitmap& image) { DrawAzimuthPdfPlot(image.Canvas(), image.Width(), image.Height()); }

void DrawComparisonPdfGrid(TCanvas& canvas, int width, int height)
{
    const int rings = AzimuthPlotInDb ? 8 : 10;
    PolarRingSpacing = AzimuthPlotInDb ? 33 : 27;
    DrawPolarFrame(canvas, {width / 2, height / 2 + 50, PolarRingSpacing, rings, AzimuthPlotInDb, true, 3});
}

void DrawElevationPdfPlot(TCanvas& canvas, int width, int height)
{
    if (ElevationPlotMode >= 2) FullRangeIn(canvas, width, height, kElevationPdfRect);
    else NearRangeIn(canvas, width, height, kElevationPdfRect);
}

void DrawElevationPdfPlot(TBitmap& image) { DrawElevationPdfPlot(image.Canvas(), image.Width(), image.Height()); }

void DrawElevationPlot(TBitmap& image)
{
    if (ElevationPlotMode >= 2) DrawElevationPlotFullRange(image);
    else DrawElevationPlotNearRange(image);
}
