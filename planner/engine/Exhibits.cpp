#include "planner/engine/Exhibits.h"

#include "planner/engine/ElevationTable.h"
#include "planner/engine/PatternFiles.h"
#include "planner/engine/PatternPlots.h"
#include "planner/engine/PatternRecord.h"
#include "planner/engine/PowerBalance.h"
#include "planner/engine/ProjLib.h"
#include "planner/engine/TitleBlock.h"
#include "planner/engine/UserCanvas.h"
#include "platform/printing/Printers.h"
#include "platform/runtime/NumText.h"
#include "planner/resources/PlannerPictures.h"

#include <QImage>

#include <cmath>
#include <map>
#include <numbers>

std::function<void(bool busy)> ExhibitBusyHook;

TExhibitBusy::TExhibitBusy()
{
    if (ExhibitBusyHook) ExhibitBusyHook(true);
}

TExhibitBusy::~TExhibitBusy()
{
    if (ExhibitBusyHook) {
        try {
            ExhibitBusyHook(false);
        } catch (...) {
        }
    }
}

const char* const kMakerName = "BELVOR CORPORATION";
const char* const kMakerAddress1 = "2400 Industrial Parkway, Harlan Falls, IN 46099";
const char* const kMakerAddress2 = "Phone (317) 555-0140   Fax (317) 555-0141";

std::string Gen3(double v)
{
    // Through 15 significant digits first, so a value written as 0.7525 rounds as written.
    Extended x = v;
    if (std::isfinite(v)) TryStrToFloat(FloatToStrF(v, TFloatFormat::ffGeneral, 15, 0), x);
    return FloatToStrF(x, TFloatFormat::ffGeneral, 3, 0);
}

namespace {

constexpr double kPi = std::numbers::pi;

// --- Text and lines --------------------------------------------------------------------

void SetFont(TCanvas& c, const char* name, int height, TFontStyles style)
{
    c.Font.Name = name;
    c.Font.SetHeight(height);
    c.Font.Style = style;
    c.Font.Color = clBlack;
}

void SetFontSize(TCanvas& c, int points)
{
    c.Font.SetSize(points);
}

void Line(TCanvas& c, int x1, int y1, int x2, int y2)
{
    UserMoveTo(c, x1, y1);
    UserLineTo(c, x2, y2);
}

void Text(TCanvas& c, int x, int y, int v, int h, const std::string& s) { UserTextOut(c, x, y, v, h, s); }

void Pen(TCanvas& c, int width, TPenStyle style = psSolid, TColor color = clBlack)
{
    c.Pen.Width = width;
    c.Pen.Style = style;
    c.Pen.Color = color;
}

void ValueBox(TCanvas& c, int x, int y, int decimals, std::optional<double> v)
{
    if (v && std::isfinite(*v)) UserValueBox(c, x, y, decimals, *v);
    else UserTextBox(c, x, y, "---");
}

// Left-aligned at x within [x, right]: a text longer than its box is drawn in a smaller font
// rather than cut or run into the next box (a name must print whole).
void FitText(TCanvas& c, int x, int y, int v, int right, const std::string& s)
{
    const int height = c.Font.Height();
    const int room = UserX(right) - UserX(x);
    for (int h = height; std::abs(h) > 4 && c.TextWidth(s) > room;) {
        h = h * 15 / 16;
        c.Font.SetHeight(h);
    }
    Text(c, x, y, v, 0, s);
    c.Font.SetHeight(height);
}

std::string ShortDate(TDateTime d) { return d == 0 ? std::string() : DateToStr(d); }

void DrawExhibitBox(TCanvas& c, int shift)
{
    if (ExhibitId == std::string(10, ' ')) return;
    Line(c, 524, 75 + shift, 524, 45 + shift);
    UserLineTo(c, 765, 45 + shift);
    UserLineTo(c, 765, 75 + shift);
    c.Font.Style = {fsBold, fsItalic};
    FitText(c, 530, 73 + shift, 2, 760, "Exhibit: " + ExhibitId.str());
}

void DrawFooter(TCanvas& c, bool values)
{
    Line(c, 45, 925, 765, 925);
    Line(c, 405, 925, 405, 975);
    SetFont(c, "TIMES NEW ROMAN", UserPenWidth(16), {fsBold});
    Text(c, 225, 929, 0, 1, kMakerName);
    Text(c, 225, 950, 1, 1, kMakerAddress1);
    Text(c, 225, 971, 2, 1, kMakerAddress2);
    auto cut = [](const std::string& s, int n) { return Copy(s, 1, n); };
    if (values) {
        // Each text keeps to its box: the next text on its line, or the frame (765).
        FitText(c, 410, 929, 0, 652, cut("Company:  " + CompanyName, 30));
        FitText(c, 658, 929, 0, 760, "Date:  " + ShortDate(ProposalDate));
        FitText(c, 600, 950, 1, 760, cut("Author:  " + AuthorName, 24));
        FitText(c, 410, 950, 1, 594, cut("Site:  " + SiteName, 27));
        FitText(c, 410, 971, 2, 760, cut("Proposal Number:  " + ProposalNumber, 38));
    } else {
        Text(c, 410, 929, 0, 0, "Company:  ");
        Text(c, 660, 929, 0, 0, "Date:  ");
        Text(c, 600, 950, 1, 0, "Author:  ");
        Text(c, 410, 950, 1, 0, "Site:  ");
        Text(c, 410, 971, 2, 0, "Proposal Number:  ");
    }
}

std::string ChannelText() { return IntToStr(Sys().GetChannel()); }

// The title box of a graph page (upper right): logo and the pattern's data lines. `opaque`
// first blanks the box, so a trace that ran into it does not show through.
void DrawGraphTitleBox(TCanvas& c, bool azimuth, bool opaque)
{
    if (opaque) {
        c.Brush.Style = bsSolid;
        c.Brush.Color = clWhite;
        c.FillRect(Rect(UserX(524) + UserPenWidth(2), UserY(75) + UserPenWidth(2), UserX(765) - UserPenWidth(2),
                        UserY(250) - UserPenWidth(2)));
        c.Brush.Style = bsClear;
        Pen(c, UserPenWidth(3));
        Line(c, 524, 75, 524, 250);
        UserLineTo(c, 765, 250);
    }
    if (TBitmap* logo = ExhibitBitmap("REDBELVOR")) DrawBitmapScaled(c, Rect(560, 80, 695, 122), *logo);
    const TAntObj& ant = Ant();
    // The lines follow the logical page (about 11 points on a portrait page), so they stay
    // apart on a landscape page too.
    SetFont(c, "TIMES NEW ROMAN", UserPenWidth(15), {fsBold});
    auto row = [&](int y, const std::string& label, const std::string& value) {
        Text(c, 620, y, 1, 2, label);
        if (!value.empty()) Text(c, 630, y, 1, 0, value);
    };
    if (azimuth) {
        BuildPatternTypeNames();
        const bool v = ShowVerticalPattern;
        row(135, "Type:", v ? VAzTypeName.str() : HAzTypeName.str());
        const double g = v ? ant.VAzGain : ant.HAzGain;
        const double gdb = v ? ant.VAzGainDb : ant.HAzGainDb;
        row(155, "Gain:", Gen3(g) + (v ? "      (" : "     (") + Gen3(gdb) + " dB)");
        row(175, "Polarization:", v ? "Vertical" : "Horizontal");
        row(195, "Channel:", ChannelText());
    } else {
        row(120, "Type:", ant.HElName);
        row(138, "Directivity:", "Numeric        dBd");
        Text(c, 625, 156, 1, 2, "Main Lobe:");
        Text(c, 650, 156, 1, 0, Gen3(ant.HElGain));
        Text(c, 718, 156, 1, 0, Gen3(ant.HElGainDb));
        row(174, "Horizontal:", "");
        Text(c, 650, 174, 1, 0, Gen3(ant.HorizonGain));
        // No field toward the horizon leaves no level to print.
        const bool level = ant.HorizonGainDb != kNoLevel && std::isfinite(ant.HorizonGainDb);
        Text(c, 718, 174, 1, 0, level ? Gen3(ant.HorizonGainDb) : std::string("---"));
        row(192, "Beam Tilt:", Gen3(ant.TiltAngle));
        row(210, "Beam Width:", Gen3(ant.BeamWidth) + " degrees");
        row(228, "Channel:", ChannelText());
    }
}

// --- Polar frame -------------------------------------------------------------------------

struct TPolar {
    int rings;
    int spacing;
};

TPolar PolarOfPlotType() { return AzimuthPlotInDb ? TPolar{8, 36} : TPolar{10, 30}; }

void DrawPrintedPolarFrame(TCanvas& c, int cx, int cy)
{
    const auto [rings, s] = PolarOfPlotType();
    c.Brush.Style = bsClear;
    for (int g = 1; g <= rings; ++g) {
        const bool heavy = g == rings || g == rings / 2;
        Pen(c, heavy ? 2 : 1, heavy ? psSolid : psDot);
        UserEllipse(c, cx - g * s, cy - g * s, cx + g * s, cy + g * s);
    }
    const int r = rings * s;
    for (int a = 10; a <= 40; a += 10) {
        const double rad = a * kPi / 180.0;
        const int dx = static_cast<int>(Trunc(r * std::sin(rad)));
        const int dy = static_cast<int>(Trunc(r * std::cos(rad)));
        const bool heavy = a == 30;  // the 30/60 degree family
        Pen(c, heavy ? 2 : 1, heavy ? psSolid : psDot);
        Line(c, cx - dx, cy - dy, cx + dx, cy + dy);  // a
        Line(c, cx + dx, cy - dy, cx - dx, cy + dy);  // -a
        Line(c, cx - dy, cy - dx, cx + dy, cy + dx);  // 90 - a
        Line(c, cx - dy, cy + dx, cx + dy, cy - dx);  // 90 + a
    }
    Pen(c, 2);
    Line(c, cx - r, cy, cx + r, cy);
    Line(c, cx, cy - r, cx, cy + r);

    c.Font.Name = "ARIAL";
    c.Font.Style = {};
    c.Font.Color = clBlack;
    SetFontSize(c, s / 2);
    for (int i = 0; i < 12; ++i) {
        const double rad = i * 30 * kPi / 180.0;
        const int x = cx - static_cast<int>(Round(std::sin(rad) * (rings + 1) * s));
        const int y = cy - static_cast<int>(Round(std::cos(rad) * (rings + 1) * s));
        Text(c, x, y, 1, 1, IntToStr((360 - 30 * i) % 360));
    }
    // Ring labels sit on the vertical axis, in the angle labels' size: a white ground keeps
    // them legible.
    c.Brush.Style = bsSolid;
    c.Brush.Color = clWhite;
    for (int a = 1; a <= rings; ++a) {
        const std::string label =
            AzimuthPlotInDb ? IntToStr(a * 5 - 40) : FloatToStrF(a / 10.0, TFloatFormat::ffFixed, 15, 1);
        Text(c, cx, cy - a * s + UserPenWidth(1), 0, 1, label);
    }
    c.Brush.Style = bsClear;
}

// --- Elevation traces ------------------------------------------------------------------

// y of a field e (0 .. 1) in a plot of height h above `bottom`; in dB the level is taken over
// 40 dB, with a field of 0 on the floor. `limitDb`: a point below -40 dB is dropped.
std::optional<int> ElevationY(double e, int bottom, int h, bool db, bool limitDb)
{
    if (!db) return bottom - static_cast<int>(Round(h * e));
    const auto level = FieldLevelDb(e);
    double f = level ? -*level / 40.0 : 1.0;
    if (f < 0) f = 0;
    if (limitDb && f > 1) return std::nullopt;
    return bottom - static_cast<int>(Round((1 - f) * h));
}

// Clips to the plot rectangle while it lives.
class TPlotClip {
public:
    TPlotClip(TCanvas& c, const TRect& r) : c_(c)
    {
        c_.SetClipRect(Rect(UserX(r.Left), UserY(r.Top), UserX(r.Right) + 1, UserY(r.Bottom) + 1));
    }
    ~TPlotClip() { c_.ResetClip(); }

private:
    TCanvas& c_;
};

constexpr TRect kPrintPlot{95, 100, 740, 875};

bool ElevationInDb() { return ElevationPlotMode == 1 || ElevationPlotMode == 3; }

}  // namespace

// --- Pictures --------------------------------------------------------------------------------

TBitmap* ExhibitBitmap(const std::string& name)
{
    static std::map<std::string, std::unique_ptr<TBitmap>> cache;
    if (name != "REDBELVOR" && name != "TLINE_H" && name != "TLINE_V") return nullptr;
    auto it = cache.find(name);
    if (it != cache.end()) return it->second.get();
    return (cache[name] = LoadPlannerPicture(name)).get();
}

void DrawBitmapScaled(TCanvas& canvas, const TRect& logical, TBitmap& bitmap)
{
    const TRect dest = Rect(static_cast<int>(Trunc(XScale * logical.Left)), static_cast<int>(Trunc(YScale * logical.Top)),
                            static_cast<int>(Trunc(XScale * logical.Right)),
                            static_cast<int>(Trunc(YScale * logical.Bottom)));
    const QImage img = bitmap.ToImage();
    canvas.DrawImage(dest, img, img.rect());
}

// --- Header ----------------------------------------------------------------------------------

void DrawExhibitHeader(TCanvas& c, bool azimuth)
{
    Pen(c, UserPenWidth(3));
    c.Brush.Style = bsClear;
    UserRectangle(c, 45, 75, 765, 975);
    if (!GraphPage)
        if (TBitmap* logo = ExhibitBitmap("REDBELVOR")) DrawBitmapScaled(c, Rect(350, 25, 485, 67), *logo);
    SetFont(c, "ARIAL", UserPenWidth(24), {fsBold, fsItalic});
    if (GraphPage) {
        Line(c, 524, 75, 524, 250);
        UserLineTo(c, 765, 250);
    }
    DrawExhibitBox(c, 0);
    DrawFooter(c, true);

    const TAntObj& ant = Ant();
    if (GraphPage) {
        DrawGraphTitleBox(c, azimuth, false);
    } else {
        c.Font.Style = {};
        SetFontSize(c, 11);
        Line(c, 45, 75, 45, 45);
        UserLineTo(c, 290, 45);
        UserLineTo(c, 290, 75);
        if (azimuth) {
            BuildPatternTypeNames();
            const bool v = ShowVerticalPattern;
            const double g = v ? ant.VAzGain : ant.HAzGain;
            const double gdb = v ? ant.VAzGainDb : ant.HAzGainDb;
            Text(c, 50, 45, 0, 0, Copy("Type: " + (v ? VAzTypeName.str() : HAzTypeName.str()), 1, 26));
            Text(c, 284, 45, 0, 2, "Gain: " + Gen3(g) + "  (" + Gen3(gdb) + " dB)");
            Text(c, 50, 59, 0, 0, v ? "Polarization: Vertical" : "Polarization: Horizontal");
            Text(c, 284, 59, 0, 2, "Channel: " + ChannelText());
        } else {
            Text(c, 47, 45, 0, 0, "Type:" + ant.HElName);
            Text(c, 287, 45, 0, 2, "Beam Tilt: " + Gen3(ant.TiltAngle) + " deg");
            Text(c, 47, 59, 0, 0, "Directivity: " + Gen3(ant.HElGain) + "  (" + Gen3(ant.HElGainDb) + " dB)");
            Text(c, 287, 59, 0, 2, "Chan: " + ChannelText());
        }
    }
}

// --- Graphs ------------------------------------------------------------------------------------

void PrintAzimuthGraph(TCanvas& c)
{
    constexpr int cx = 405, cy = 550;
    DrawPrintedPolarFrame(c, cx, cy);
    PolarRingSpacing = PolarOfPlotType().spacing;
    if (AzimuthPlotInDb) DrawAzimuthTracesDb(cx, cy, c, true);
    else DrawAzimuthTracesField(cx, cy, c, true);
    Pen(c, 1);
}

void DrawElevationPrintGrid(TCanvas& c, const TRect& r, int columns)
{
    const int rows = ElevationInDb() ? 8 : 10;
    const double cw = double(r.Width()) / columns;
    const double rh = double(r.Height()) / rows;
    const bool full = columns == 19;
    c.Brush.Style = bsClear;
    for (int i = 0; i <= columns; ++i) {
        const int x = r.Left + static_cast<int>(Round(cw * i));
        Pen(c, (full ? i == 1 : i == 5) ? 2 : 1);
        Line(c, x, x < 525 ? r.Top : 250, x, r.Bottom);
    }
    for (int d = 0; d <= rows; ++d) {
        const int y = r.Top + static_cast<int>(Round(rh * d));
        Pen(c, 1);
        Line(c, r.Left, y, d <= 1 ? 524 : r.Right, y);
    }
    SetFont(c, "ARIAL", UserPenWidth(20), {});
    for (int i = 0; i <= columns; ++i) {
        const int x = r.Left + static_cast<int>(Round(cw * i));
        Text(c, x, r.Bottom + 8, 0, 1, IntToStr(full ? 5 * i - 5 : i - 5));
    }
    for (int d = 0; d <= rows; ++d) {
        const int y = r.Top + static_cast<int>(Round(rh * d));
        const std::string label = ElevationInDb() ? IntToStr(-5 * d) : FloatToStrF((10 - d) / 10.0, TFloatFormat::ffFixed, 15, 1);
        Text(c, r.Left - 8, y, 1, 2, label);
    }
    Text(c, (r.Left + r.Right) / 2, r.Bottom + 28, 0, 1, "Degrees Below Horizontal");
}

void PrintElevationGraphNearRange(TCanvas& c)
{
    const TRect r = kPrintPlot;
    DrawElevationPrintGrid(c, r, 15);
    const TPatternRecord rec(SelectedElevationId, kElevationSamples);
    if (rec.Empty()) return;
    const int b = ClampTiltIndex(BeamTiltIndex);
    const bool db = ElevationInDb();
    const double step = (r.Right - r.Left) / 60.0;
    TPlotClip clip(c, r);
    Pen(c, 15, psSolid, clBlue);
    for (int n = 0; n <= 60; ++n) {
        const int x = r.Left + static_cast<int>(Round(step * n));
        const auto y = ElevationY(NearRangeValue(rec, b, n) / 1000.0, r.Bottom, r.Height(), db, false);
        if (n == 0) UserMoveTo(c, x, *y);
        else UserLineTo(c, x, *y);
    }
    c.ResetClip();
    DrawGraphTitleBox(c, false, true);
    Pen(c, 1);
}

void PrintElevationGraphFullRange(TCanvas& c)
{
    const TRect r = kPrintPlot;
    DrawElevationPrintGrid(c, r, 19);
    const TPatternRecord rec(SelectedElevationId, kElevationSamples);
    if (rec.Empty()) return;
    const int b = ClampTiltIndex(BeamTiltIndex);
    const bool db = ElevationInDb();
    const double xq = (r.Right - r.Left) / 380.0;
    TPlotClip clip(c, r);
    Pen(c, 15, psSolid, clBlue);
    int p = 0;
    bool first = true;
    TPoint last{r.Left, r.Bottom};
    for (int i = b; i <= 80; ++i) {
        p = static_cast<int>(Round(xq * (i - b)));
        const auto y = ElevationY(rec.V(i) / 1000.0, r.Bottom, r.Height(), db, false);
        last = {r.Left + p, *y};
        if (first) UserMoveTo(c, last.X, last.Y);
        else UserLineTo(c, last.X, last.Y);
        first = false;
    }
    const double xh = (r.Right - r.Left - p) / 160.0;
    Pen(c, 3, psSolid, clBlue);
    UserMoveTo(c, last.X, last.Y);
    const int end = db ? 239 : 240;
    for (int i = 81; i <= end; ++i) {
        const int x = r.Left + p + static_cast<int>(Round(xh * (i - 80)));
        const auto y = ElevationY(rec.V(i) / 1000.0, r.Bottom, r.Height(), db, true);
        if (!y) continue;  // below -40 dB
        UserLineTo(c, x, *y);
    }
    c.ResetClip();
    DrawGraphTitleBox(c, false, true);
    Pen(c, 1);
}

// --- Tables ------------------------------------------------------------------------------------

void PrintAzimuthTable(TCanvas& c)
{
    c.Font.Name = "ARIAL";
    c.Font.Style = {};
    // 72 rows 11 units apart: a font of 8 points keeps the rows from touching.
    SetFontSize(c, 8);
    PrintAzimuthTable(c, SelectedAzimuthId, AzimuthRotation);
}

void PrintAzimuthTable(TCanvas& c, int32_t id, int32_t rotation)
{
    c.Brush.Style = bsClear;
    const TPatternRecord rec(id, kAzimuthSamples);
    for (int j = 0; j < 5; ++j) {
        const int xa = 140 * j + 85, xf = 140 * j + 135, xd = 140 * j + 180;
        Text(c, xa, 90, 0, 2, "Angle");
        Text(c, xf, 90, 0, 2, "Amp");
        Text(c, xd, 90, 0, 2, "dB");
        if (rec.Empty()) continue;
        for (int i = 0; i < 72; ++i) {
            const int a = i + 72 * j;
            const int y = 105 + 11 * i;
            int s = (a - rotation) % 360;
            if (s < 0) s += 360;
            const double e = rec.V(s) / 1000.0;
            Text(c, xa, y, 0, 2, FixedWidth(a, 3, 0));
            Text(c, xf, y, 0, 2, FixedWidth(e, 6, 3));
            Text(c, xd, y, 0, 2, LevelText(FieldLevelDb(e)));
        }
    }
}

void PrintElevationTable(TCanvas& c)
{
    TElevationColumn angles, fields, levels;
    BuildElevationTable(angles, fields, levels);
    const bool have = !TPatternRecord(SelectedElevationId, kElevationSamples).Empty();
    c.Font.Name = "ARIAL";
    c.Font.Style = {};
    SetFontSize(c, 10);
    c.Brush.Style = bsClear;
    for (int g = 0; g < 4; ++g) {
        const int xa = 180 * g + 95, xf = 180 * g + 150, xd = 180 * g + 205;
        Text(c, xa, 90, 0, 2, "Angle");
        Text(c, xf, 90, 0, 2, "Amp");
        Text(c, xd, 90, 0, 2, "dB");
        if (!have) continue;
        for (int r = 0; r < 56; ++r) {
            const int n = 56 * g + r;
            if (n >= kElevationTablePoints) break;
            const int y = 115 + 14 * r;
            Text(c, xa, y, 0, 2, FixedWidth(angles[n], 6, 2));
            Text(c, xf, y, 0, 2, FixedWidth(fields[n], 6, 3));
            Text(c, xd, y, 0, 2, levels[n] == kNoLevel ? std::string("---") : FixedWidth(levels[n], 6, 2));
        }
    }
}

// --- Dispatch ----------------------------------------------------------------------------------

void PrintPatternExhibit(bool azimuth) 
{
    if (PrintOption == poDiskFile) {
        if (azimuth) WriteAzimuthPatternFile();
        else WriteElevationPatternFile();
        return;
    }
    if (PrintOption != poGraph && PrintOption != poDataTable) return;
    PrintPatternExhibit(azimuth, Printer());
}

void PrintPatternExhibit(bool azimuth, TPrinter& printer)
{
    if (PrintOption == poDiskFile) {
        PrintPatternExhibit(azimuth);
        return;
    }
    if (PrintOption != poGraph && PrintOption != poDataTable) return;
    // Without the pattern's data there is nothing to show: say so and send no page.
    const bool have = azimuth ? !TPatternRecord(SelectedAzimuthId, kAzimuthSamples).Empty()
                              : !TPatternRecord(SelectedElevationId, kElevationSamples).Empty();
    if (!have) {
        if (PlotMessageHook)
            PlotMessageHook(azimuth ? "Azimuth pattern data is not available" : "Elevation pattern data is not available");
        return;
    }
    if (PrintOption == poGraph) {
        const bool full = ElevationPlotMode == 2 || ElevationPlotMode == 3;
        printer.SetOrientation(!azimuth && full ? TPrinterOrientation::poLandscape : TPrinterOrientation::poPortrait);
        GraphPage = true;
        SetUserScale(printer.PageWidth(), printer.PageHeight(), kLogicalPageWidth, kLogicalPageHeight);
        TPrintJob job(printer);
        DrawExhibitHeader(job.Canvas(), azimuth);
        if (azimuth) PrintAzimuthGraph(job.Canvas());
        else if (full) PrintElevationGraphFullRange(job.Canvas());
        else PrintElevationGraphNearRange(job.Canvas());
        job.Finish();
    } else if (PrintOption == poDataTable) {
        printer.SetOrientation(TPrinterOrientation::poPortrait);
        GraphPage = false;
        SetUserScale(printer.PageWidth(), printer.PageHeight(), kLogicalPageWidth, kLogicalPageHeight);
        TPrintJob job(printer);
        DrawExhibitHeader(job.Canvas(), azimuth);
        {
            TExhibitBusy busy;
            if (azimuth) PrintAzimuthTable(job.Canvas());
            else PrintElevationTable(job.Canvas());
        }
        job.Finish();
    }
}

// --- System summary ----------------------------------------------------------------------------

void PrintSystemExhibit(TCanvas& c)
{
    TExhibitBusy busy;
    const TSysObj& sys = Sys();
    const TAntObj& ant = Ant();
    const TTLineObj& line = TLine();

    Pen(c, UserPenWidth(3));
    c.Brush.Style = bsClear;
    UserRectangle(c, 45, 95, 765, 975);
    if (TBitmap* logo = ExhibitBitmap("REDBELVOR")) DrawBitmapScaled(c, Rect(350, 30, 485, 72), *logo);
    SetFont(c, "ARIAL", UserPenWidth(24), {fsBold, fsItalic});
    DrawExhibitBox(c, 18);
    if (TBitmap* h = ExhibitBitmap("TLINE_H")) DrawBitmapScaled(c, Rect(255, 675, 735, 715), *h);
    Pen(c, UserPenWidth(3));
    DrawFooter(c, true);

    // Transmitter power.
    // The figures as the system page shows them.
    const TPowerBalance b = SystemPowerBalance();
    const double p = b.TpoKw;
    SetFont(c, "ARIAL", UserPenWidth(20), {});
    Pen(c, UserPenWidth(5));
    UserRectangle(c, 50, 645, 253, 745);
    Pen(c, UserPenWidth(3));
    c.Brush.Color = clWhite;
    c.Brush.Style = bsSolid;
    Text(c, 75, 625, 1, 0, " Transmitter Power ");
    c.Brush.Style = bsClear;
    Text(c, 125, 670, 1, 2, "kW:");
    ValueBox(c, 130, 670, 2, p);
    SetFontSize(c, 10);
    Text(c, 152, 695, 1, 1,
         sys.Standard == 0 ? "NTSC Peak + " + FloatToStr(sys.AuralPercent) + "% Aural" : std::string("DTV Average"));
    SetFont(c, "ARIAL", UserPenWidth(20), {});
    Text(c, 125, 720, 1, 2, "dBk:");
    const TShownLevels levels = ShownLevels(b);
    ValueBox(c, 130, 720, 2, levels.Tpo);

    // Line and site.
    SetFontSize(c, 12);
    Text(c, 260, 720, 0, 0, "Transmission Line: " + line.LineName);
    Text(c, 260, 740, 0, 0,
         "Vertical: " + IntToStr(line.VerticalLength) + " ft.     Horizontal: " + IntToStr(line.HorizontalLength) + " ft.");
    const std::pair<const char*, std::string> site[] = {
        {"Company:", CompanyName},       {"Channel:", ChannelText()},
        {"Site:", SiteName},             {"Proposal No:", ProposalNumber},
        {"Date:", ShortDate(ProposalDate)},    {"Author:", AuthorName},
        {"Antenna Type:", ant.PartNumber},
    };
    for (int i = 0; i < 7; ++i) {
        Text(c, 55, 195 + 28 * i, 1, 0, site[i].first);
        FitText(c, 180, 195 + 28 * i, 1, 315, site[i].second);  // clear of the ERP column's labels
    }

    // ERP and the chain behind it.
    SetFont(c, "ARIAL", UserPenWidth(20), {});
    Text(c, 560, 140, 1, 1, "Signal Polarization");
    Text(c, 470, 170, 1, 2, "Effective Radiated Power (ERP)");
    c.Font.Style = {fsUnderline};
    Text(c, 480, 170, 1, 0, "Horizontal");
    Text(c, 612, 170, 1, 1, "Vertical");
    c.Font.Style = {};

    const double gh = b.HGain;
    const double gv = b.VGain;
    const bool ell = ant.Elliptical == 1;

    Text(c, 470, 200, 1, 2, "kW:");
    ValueBox(c, 480, 200, 0, sys.ERPH);
    ValueBox(c, 580, 200, 0, sys.ERPV);
    Text(c, 470, 235, 1, 2, "dBk:");
    // A gain of nothing has no level, and radiates nothing: neither has a dB figure.
    ValueBox(c, 480, 235, 2, levels.HErp);
    ValueBox(c, 580, 235, 2, ell ? levels.VErp : std::nullopt);
    Text(c, 570, 270, 1, 2, "Vertical / Horizontal ratio:");
    ValueBox(c, 580, 270, 0, ant.VerticalPercent);

    Text(c, 470, 310, 1, 2, "Antenna Power Gain");
    Text(c, 470, 340, 1, 2, "Ratio:");
    ValueBox(c, 480, 340, 2, gh);
    ValueBox(c, 580, 340, 2, gv);
    Text(c, 470, 375, 1, 2, "dBd:");
    ValueBox(c, 480, 375, 2, levels.HGain);
    ValueBox(c, 580, 375, 2, levels.VGain);

    Text(c, 470, 420, 1, 2, "Antenna Input");
    Text(c, 470, 450, 1, 2, "kW:");
    ValueBox(c, 480, 450, 2, b.InputKw);
    Text(c, 470, 485, 1, 2, "dBk:");
    ValueBox(c, 480, 485, 2, levels.Input);

    Text(c, 470, 530, 1, 2, "Transmission Line Loss");
    Text(c, 470, 560, 1, 2, "kW:");
    ValueBox(c, 480, 560, 2, b.LossKw);
    Text(c, 470, 595, 1, 2, "dB:");
    ValueBox(c, 480, 595, 2, b.LossDb);
    Text(c, 470, 630, 1, 2, "Efficiency(%):");
    ValueBox(c, 480, 630, 1, b.EfficiencyPercent);

    if (TBitmap* v = ExhibitBitmap("TLINE_V")) DrawBitmapScaled(c, Rect(685, 150, 730, 675), *v);
}

void PrintSystemExhibitDocument(TPrinter& printer)
{
    printer.SetOrientation(TPrinterOrientation::poPortrait);
    SetUserScale(printer.PageWidth(), printer.PageHeight(), kLogicalPageWidth, kLogicalPageHeight);
    TPrintJob job(printer);
    PrintSystemExhibit(job.Canvas());
    job.Finish();
}

// --- Comparison page ---------------------------------------------------------------------------

void DrawComparisonHeader(TCanvas& c, const std::string& type, const std::string& gain, bool legend)
{
    Pen(c, UserPenWidth(3));
    c.Brush.Style = bsClear;
    SetFont(c, "TIMES NEW ROMAN", UserPenWidth(16), {});
    if (legend) {
        c.Font.Style = {fsBold, fsUnderline};
        Text(c, 100, 90, 0, 0, "Pattern Type");
        Text(c, 200, 90, 0, 0, "Gain");
        Text(c, 400, 90, 0, 0, "Legend");
        c.Font.Style = {};
    } else {
        Line(c, 45, 75, 45, 45);
        UserLineTo(c, 290, 45);
        UserLineTo(c, 290, 75);
        Text(c, 50, 52, 0, 0, "Type: " + type + "  Gain: " + gain);
    }
    UserRectangle(c, 45, 75, 765, 975);
    if (TBitmap* logo = ExhibitBitmap("REDBELVOR"))
        DrawBitmapScaled(c, GraphPage ? Rect(550, 100, 685, 142) : Rect(325, 20, 475, 62), *logo);
    DrawFooter(c, false);
}

void DrawComparisonFrame(TCanvas& c) { DrawPrintedPolarFrame(c, 405, 550); }

void PrintComparisonGraph(const std::function<void(TCanvas&)>& drawLegend) { PrintComparisonGraph(drawLegend, Printer()); }

void PrintComparisonGraph(const std::function<void(TCanvas&)>& drawLegend, TPrinter& printer)
{
    printer.SetOrientation(TPrinterOrientation::poPortrait);
    GraphPage = true;
    SetUserScale(printer.PageWidth(), printer.PageHeight(), kLogicalPageWidth, kLogicalPageHeight);
    TPrintJob job(printer);
    DrawComparisonHeader(job.Canvas(), "", "", true);
    DrawComparisonFrame(job.Canvas());
    PolarRingSpacing = PolarOfPlotType().spacing;
    if (drawLegend) drawLegend(job.Canvas());
    job.Finish();
}
