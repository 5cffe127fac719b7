// The planner's pictures: the antenna showcase, the beam-tilt slides, the antenna pictures of the
// first planning page, the presenter's portrait, and the exhibits' logo and runs of line. All are
// drawn in flat colours and stepped shades, so each keeps well inside a GIF's 256 colours.
#include "Pictures.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <sstream>

namespace {

constexpr double kPi = std::numbers::pi;

const TColor kNavy = RGB(0x1f, 0x3a, 0x6e);
const TColor kSteel = RGB(0x6b, 0x76, 0x84);
const TColor kRadome = RGB(0xe8, 0xe4, 0xda);
const TColor kBeam = RGB(0xf2, 0x9e, 0x2c);
const TColor kTowerRed = RGB(0xb0, 0x3a, 0x2e);
const TColor kText = RGB(0x22, 0x2a, 0x36);
const TColor kLogoRed = RGB(200, 16, 32);

// --- Colours and shapes ---------------------------------------------------------------------

TColor Mix(TColor a, TColor b, double t)
{
    auto ch = [t](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * t)); };
    return RGB(ch(GetRValue(a), GetRValue(b)), ch(GetGValue(a), GetGValue(b)), ch(GetBValue(a), GetBValue(b)));
}
TColor Darker(TColor c, int percent) { return Mix(c, clBlack, 1.0 - 100.0 / percent); }
TColor Lighter(TColor c, int percent) { return Mix(c, clWhite, (percent - 100) / 100.0); }

void Fill(TCanvas& c, const TRect& r, TColor color)
{
    c.Brush.Style = bsSolid;
    c.Brush.Color = color;
    c.FillRect(r);
}

// Top to bottom from one colour to another in `bands` steps.
void VerticalShade(TCanvas& c, const TRect& r, TColor top, TColor bottom, int bands)
{
    for (int i = 0; i < bands; ++i) {
        const int y0 = r.Top + r.Height() * i / bands, y1 = r.Top + r.Height() * (i + 1) / bands;
        Fill(c, Rect(r.Left, y0, r.Right, y1), Mix(top, bottom, bands > 1 ? double(i) / (bands - 1) : 0));
    }
}

// Left to right: dark edge, light band at `light` (0..1), dark edge; a rounded body.
void CylinderShade(TCanvas& c, const TRect& r, TColor left, TColor light, TColor right, double at = 0.4)
{
    const int bands = std::max(2, std::min(r.Width(), 8));
    for (int i = 0; i < bands; ++i) {
        const int x0 = r.Left + r.Width() * i / bands, x1 = r.Left + r.Width() * (i + 1) / bands;
        const double t = (i + 0.5) / bands;
        const TColor col = t < at ? Mix(left, light, t / at) : Mix(light, right, (t - at) / (1 - at));
        Fill(c, Rect(x0, r.Top, x1, r.Bottom), col);
    }
}

void Line(TCanvas& c, double x1, double y1, double x2, double y2, TColor color, int width,
          TPenStyle style = psSolid)
{
    c.Pen.Color = color;
    c.Pen.Width = width;
    c.Pen.Style = style;
    c.MoveTo(static_cast<int>(std::lround(x1)), static_cast<int>(std::lround(y1)));
    c.LineTo(static_cast<int>(std::lround(x2)), static_cast<int>(std::lround(y2)));
}

void Outline(TCanvas& c, const TRect& r, TColor color, int width = 1, TPenStyle style = psSolid)
{
    c.Pen.Color = color;
    c.Pen.Width = width;
    c.Pen.Style = style;
    c.Brush.Style = bsClear;
    c.Rectangle(r);
}

void Shape(TCanvas& c, const std::vector<TPoint>& points, TColor fill, TColor outline)
{
    c.Brush.Style = bsSolid;
    c.Brush.Color = fill;
    c.Pen.Style = outline == clNone ? psClear : psSolid;
    c.Pen.Color = outline == clNone ? fill : outline;
    c.Pen.Width = 1;
    c.Polygon(points);
    c.Pen.Style = psSolid;
}

TPoint P(double x, double y) { return {static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y))}; }

// Points along a cubic from p0 to p3.
void Cubic(std::vector<TPoint>& out, double x0, double y0, double x1, double y1, double x2, double y2, double x3,
           double y3, int steps = 24)
{
    for (int i = 0; i <= steps; ++i) {
        const double t = double(i) / steps, u = 1 - t;
        out.push_back(P(u * u * u * x0 + 3 * u * u * t * x1 + 3 * u * t * t * x2 + t * t * t * x3,
                        u * u * u * y0 + 3 * u * u * t * y1 + 3 * u * t * t * y2 + t * t * t * y3));
    }
}

// Text centred in r, broken into lines that fit; a pixel height, never antialiased.
void Caption(TCanvas& c, const TRect& r, const std::string& text, int px, TColor color, bool bold = false)
{
    c.Font.Name = "Arial";
    c.Font.SetHeight(-px);
    c.Font.Style = bold ? TFontStyles{fsBold} : TFontStyles{};
    c.Font.Color = color;
    c.Brush.Style = bsClear;
    std::vector<std::string> lines;
    std::istringstream words(text);
    std::string line;
    for (std::string w; words >> w;) {
        const std::string longer = line.empty() ? w : line + " " + w;
        if (!line.empty() && c.TextWidth(longer) > r.Width()) {
            lines.push_back(line);
            line = w;
        } else {
            line = longer;
        }
    }
    if (!line.empty()) lines.push_back(line);
    const int lh = c.TextHeight("Ag");
    int y = r.Top + (r.Height() - lh * static_cast<int>(lines.size())) / 2;
    for (const std::string& l : lines) {
        c.TextOut(r.Left + (r.Width() - c.TextWidth(l)) / 2, y, l);
        y += lh;
    }
}

// --- Scenes of the showcase and the slides ------------------------------------------------------

// Sky, hills and (unless told not to) a lattice tower whose top centre it returns.
TPoint Landscape(TCanvas& c, int w, int h, double towerX, double towerTop, bool drawTower = true)
{
    VerticalShade(c, Rect(0, 0, w, h), RGB(0x8e, 0xc3, 0xea), RGB(0xe6, 0xf2, 0xfb), 14);
    const double ground = h * 0.86;
    std::vector<TPoint> hills;
    Cubic(hills, 0, ground, w * 0.3, ground - 18, w * 0.6, ground + 8, w, ground - 10, 40);
    hills.push_back(P(w, h));
    hills.push_back(P(0, h));
    Shape(c, hills, RGB(0x7d, 0xb0, 0x6a), clNone);
    if (drawTower) {
        const double base = ground + 4, half = 12;
        Line(c, towerX - half, base, towerX - 2.5, towerTop, kTowerRed, 2);
        Line(c, towerX + half, base, towerX + 2.5, towerTop, kTowerRed, 2);
        const int bays = 10;
        for (int i = 0; i < bays; ++i) {
            const double y0 = towerTop + (base - towerTop) * i / bays, y1 = towerTop + (base - towerTop) * (i + 1) / bays;
            const double w0 = 2.5 + (half - 2.5) * i / bays, w1 = 2.5 + (half - 2.5) * (i + 1) / bays;
            Line(c, towerX - w0, y0, towerX + w1, y1, kTowerRed, 1);
            Line(c, towerX + w0, y0, towerX - w1, y1, kTowerRed, 1);
            Line(c, towerX - w1, y1, towerX + w1, y1, kTowerRed, 1);
        }
    }
    return P(towerX, towerTop);
}

// A slotted cylindrical antenna standing on `base`.
void Pylon(TCanvas& c, TPoint base, double height, int width, TColor body)
{
    const TRect r = Rect(base.X - width / 2, base.Y - static_cast<int>(height), base.X + width / 2, base.Y);
    CylinderShade(c, r, Darker(body, 135), Lighter(body, 115), Darker(body, 150));
    Outline(c, r, Darker(body, 180));
    for (int y = r.Top + 10; y < r.Bottom - 6; y += 14)
        Line(c, base.X - width / 6, y, base.X - width / 6, y + 7, Darker(body, 200), 1);
}

// A panel antenna with crossed dipoles facing the viewer.
void Panel(TCanvas& c, const TRect& r)
{
    Fill(c, r, kRadome);
    Outline(c, r, Darker(kSteel, 140));
    const int cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
    const int d = std::min(r.Width(), r.Height()) * 32 / 100;
    Line(c, cx - d, cy - d, cx + d, cy + d, kNavy, 2);
    Line(c, cx + d, cy - d, cx - d, cy + d, kNavy, 2);
}

// The main beam of an antenna at `origin`, tilted down by `tiltDeg`.
void Beam(TCanvas& c, TPoint o, double length, double tiltDeg, double spreadDeg)
{
    const double t = tiltDeg * kPi / 180, s = spreadDeg * kPi / 180;
    std::vector<TPoint> lobe;
    Cubic(lobe, o.X, o.Y, o.X + length * 0.5 * std::cos(t - s), o.Y + length * 0.5 * std::sin(t - s),
          o.X + length * std::cos(t - s / 3), o.Y + length * std::sin(t - s / 3), o.X + length * std::cos(t),
          o.Y + length * std::sin(t));
    Cubic(lobe, o.X + length * std::cos(t), o.Y + length * std::sin(t), o.X + length * std::cos(t + s / 3),
          o.Y + length * std::sin(t + s / 3), o.X + length * 0.5 * std::cos(t + s), o.Y + length * 0.5 * std::sin(t + s),
          o.X, o.Y);
    Shape(c, lobe, Mix(kBeam, RGB(0xc8, 0xe2, 0xf5), 0.45), Darker(kBeam, 120));
}

void ShowcaseFrame(TCanvas& c, int w, int h, int frame)
{
    const double cx = w / 2.0;
    switch (frame) {
    case 1: {  // a low-power slotted cylinder on a short tower
        const TPoint top = Landscape(c, w, h, cx, h * 0.45);
        Pylon(c, {top.X, top.Y + 2}, h * 0.36, 16, RGB(0xd8, 0xd8, 0xd2));
        break;
    }
    case 2: {  // elliptically polarized: a tall radome with helical windings
        const TPoint top = Landscape(c, w, h, cx, h * 0.52);
        const TRect body = Rect(static_cast<int>(cx) - 13, static_cast<int>(h * 0.06), static_cast<int>(cx) + 13, top.Y + 2);
        CylinderShade(c, body, Darker(kRadome, 125), clWhite, Darker(kRadome, 140), 0.45);
        Outline(c, body, kSteel);
        for (int y = body.Top + 12; y < body.Bottom - 8; y += 11) Line(c, body.Left + 3, y + 5, body.Right - 4, y, kNavy, 1);
        break;
    }
    case 3: {  // side mounted: panels on the side of a tall tower
        Landscape(c, w, h, cx - 40, h * 0.08);
        for (int i = 0; i < 4; ++i) {
            const int top = static_cast<int>(h * 0.14) + i * 30;
            const TRect r = Rect(static_cast<int>(cx) - 26, top, static_cast<int>(cx) - 4, top + 26);
            Line(c, cx - 38, top + 13, r.Left, top + 13, kSteel, 1);
            Panel(c, r);
        }
        break;
    }
    default: {  // stacked array: a VHF batwing section below a UHF cylinder
        const TPoint top = Landscape(c, w, h, cx, h * 0.60);
        const double vhfTop = top.Y - h * 0.22;
        Line(c, cx, top.Y, cx, vhfTop, Darker(kSteel, 120), 3);
        for (int i = 0; i < 3; ++i) {
            const double y = vhfTop + 10 + i * (h * 0.06);
            Line(c, cx - 34, y, cx + 34, y, kSteel, 2);
            Line(c, cx - 34, y, cx - 24, y + 12, kSteel, 2);
            Line(c, cx + 34, y, cx + 24, y + 12, kSteel, 2);
        }
        Pylon(c, P(cx, vhfTop + 1), h * 0.30, 14, RGB(0xd8, 0xd8, 0xd2));
        break;
    }
    }
}

void TutorialSlide(TCanvas& c, int w, int h, int frame)
{
    if (frame == 2) {  // side view: the beam tilted down toward the coverage area
        const TPoint top = Landscape(c, w, h, 30, h * 0.25);
        Beam(c, top, w - 50, 8, 7);
        Line(c, top.X, top.Y, top.X + w - 60, top.Y, RGB(0x40, 0x48, 0x55), 1);
        c.Pen.Color = RGB(0x40, 0x48, 0x55);
        c.Pen.Width = 1;
        // The tilt angle: an arc from the horizon down to the beam's axis.
        const double a = 8 * kPi / 180;
        c.Arc(top.X - 80, top.Y - 80, top.X + 80, top.Y + 80, top.X + static_cast<int>(80 * std::cos(a)),
              top.Y + static_cast<int>(80 * std::sin(a)), top.X + 80, top.Y);
        Caption(c, Rect(top.X + 84, top.Y - 2, top.X + 154, top.Y + 14), "tilt", 11, kText);
        Caption(c, Rect(0, h - 22, w, h - 2), "Beam tilt aims the main beam below the horizon", 12, clWhite);
        return;
    }
    // Degrees below the horizon: none, too much (the beam lands near the tower), about right.
    const double tilt = frame == 1 ? 0 : frame == 3 ? 30 : 10;
    const TPoint top = Landscape(c, w, h, 40, h * 0.30);
    Beam(c, top, w - 50, tilt, 9);
    Line(c, top.X, top.Y, top.X + w - 48, top.Y, RGB(0x40, 0x48, 0x55), 1);
    const char* caption = frame == 1   ? "No tilt: the beam passes over the nearby viewers"
                          : frame == 3 ? "Too much tilt: the distant viewers lose signal"
                                       : "The right tilt covers near and far";
    Caption(c, Rect(6, 8, w - 6, 68), caption, 12, kText);
}

void Presenter(TCanvas& c, int w, int h)
{
    VerticalShade(c, Rect(0, 0, w, h), RGB(0xd5, 0xdf, 0xea), RGB(0x9f, 0xb3, 0xc9), 10);
    auto ellipse = [&](double x, double y, double ew, double eh, TColor color) {
        c.Brush.Style = bsSolid;
        c.Brush.Color = color;
        c.Pen.Style = psClear;
        c.Ellipse(P(x, y).X, P(x, y).Y, P(x + ew, y + eh).X, P(x + ew, y + eh).Y);
        c.Pen.Style = psSolid;
    };
    ellipse(w * 0.08, h * 0.66, w * 0.84, h * 0.7, kNavy);  // jacket
    Shape(c, {P(w * 0.38, h * 0.68), P(w * 0.5, h * 0.84), P(w * 0.62, h * 0.68)}, clWhite, clNone);  // collar
    const TColor skin = RGB(0xe3, 0xb8, 0x94);
    Fill(c, Rect(P(w * 0.42, 0).X, P(0, h * 0.52).Y, P(w * 0.58, 0).X, P(0, h * 0.70).Y), skin);  // neck
    ellipse(w * 0.28, h * 0.14, w * 0.44, h * 0.34, RGB(0x4a, 0x36, 0x28));  // hair
    ellipse(w * 0.3, h * 0.2, w * 0.4, h * 0.40, skin);  // face
    Outline(c, Rect(0, 0, w, h), RGB(0x7a, 0x86, 0x96));
}

// The black "stop recording" button of the main window's tool bar, as the stop notice shows it.
void StopButton(TCanvas& c, int w, int h)
{
    VerticalShade(c, Rect(0, 0, w, h), RGB(0xf4, 0xf4, 0xf4), RGB(0xc8, 0xc8, 0xc8), 8);
    Outline(c, Rect(0, 0, w, h), RGB(0x70, 0x70, 0x70));
    Line(c, 1, 1, w - 2, 1, clWhite, 1);
    Line(c, 1, 1, 1, h - 2, clWhite, 1);
    const int side = std::min(w, h) / 2;
    Fill(c, Rect((w - side) / 2, (h - side) / 2, (w + side) / 2, (h + side) / 2), clBlack);
}

// --- The first page's antenna pictures -----------------------------------------------------------

constexpr int kCaptionStrip = 34;

// Sky, ground and the caption strip; returns the ground line.
int Scene(TCanvas& c, int w, int h, const std::string& caption)
{
    const int ground = h - kCaptionStrip - 14;
    VerticalShade(c, Rect(0, 0, w, ground), RGB(0xbf, 0xd9, 0xf0), RGB(0xee, 0xf5, 0xfb), 12);
    Fill(c, Rect(0, ground, w, ground + 14), RGB(0x7d, 0x9a, 0x5c));
    Fill(c, Rect(0, h - kCaptionStrip, w, h), clWhite);
    Outline(c, Rect(0, 0, w, h), RGB(0xa0, 0xa8, 0xb4));
    Caption(c, Rect(2, h - kCaptionStrip, w - 2, h), caption, 12, kText, true);
    return ground;
}

// A tapering lattice tower from the ground up to `top`, centred on x.
void Tower(TCanvas& c, double x, double ground, double top, double baseHalf, double topHalf)
{
    const double h = ground - top;
    const int bays = std::max(3, static_cast<int>(h / 22));
    auto half = [&](double y) { return topHalf + (baseHalf - topHalf) * (y - top) / h; };
    for (int i = 0; i < bays; ++i) {
        const double y0 = top + h * i / bays, y1 = top + h * (i + 1) / bays;
        const TColor brace = i % 2 ? RGB(0xc8, 0x3c, 0x2e) : RGB(0xde, 0xde, 0xde);
        Line(c, x - half(y0), y0, x + half(y1), y1, brace, 1);
        Line(c, x + half(y0), y0, x - half(y1), y1, brace, 1);
        Line(c, x - half(y1), y1, x + half(y1), y1, RGB(0x5d, 0x66, 0x72), 1);
    }
    Line(c, x - topHalf, top, x - baseHalf, ground, RGB(0x5d, 0x66, 0x72), 2);
    Line(c, x + topHalf, top, x + baseHalf, ground, RGB(0x5d, 0x66, 0x72), 2);
}

// A vertical radome with its slots.
void Cylinder(TCanvas& c, double x, double top, double bottom, int width, TColor body)
{
    const TRect r = Rect(P(x - width / 2.0, 0).X, P(0, top).Y, P(x + width / 2.0, 0).X, P(0, bottom).Y);
    CylinderShade(c, r, Darker(body, 130), Lighter(body, 110), Darker(body, 145), 0.45);
    Outline(c, r, Darker(body, 190));
    for (double y = top + 9; y < bottom - 8; y += 13) Line(c, x - width / 6.0, y, x - width / 6.0, y + 6, kNavy, 1);
}

// Brackets from the tower leg at legX to an antenna body at bodyX.
void Brackets(TCanvas& c, double legX, double bodyX, double top, double bottom, int count)
{
    for (int i = 0; i < count; ++i) {
        const double y = top + (bottom - top) * (i + 0.5) / count;
        Line(c, legX, y, bodyX, y, RGB(0x5d, 0x66, 0x72), 2);
    }
}

void AntennaTopMounted(TCanvas& c, int w, int h)
{
    const double ground = Scene(c, w, h, "Top mount"), cx = w / 2.0;
    const double towerTop = ground * 0.48;
    Tower(c, cx, ground, towerTop, 22, 7);
    Line(c, cx - 10, towerTop, cx + 10, towerTop, RGB(0x5d, 0x66, 0x72), 2);
    Cylinder(c, cx, ground * 0.07, towerTop, 16, kRadome);
}

void AntennaSideMountedHighPower(TCanvas& c, int w, int h)
{
    const double ground = Scene(c, w, h, "Side mount"), cx = w / 2.0;
    const double towerX = cx - 14;
    Tower(c, towerX, ground, ground * 0.05, 20, 8);
    // A column of panels on brackets off the tower's right face.
    const double top = ground * 0.12, bottom = ground * 0.52;
    const int panels = 4;
    Brackets(c, towerX + 9, cx + 16, top, bottom, panels);
    for (int i = 0; i < panels; ++i) {
        const double ph = (bottom - top) / panels;
        Panel(c, Rect(P(cx + 12, 0).X, P(0, top + i * ph + 2).Y, P(cx + 30, 0).X, P(0, top + (i + 1) * ph - 2).Y));
    }
}

void AntennaSideMountedLowPower(TCanvas& c, int w, int h)
{
    const double ground = Scene(c, w, h, "Side mount"), cx = w / 2.0;
    const double towerX = cx - 14;
    Tower(c, towerX, ground, ground * 0.05, 20, 8);
    // A slim slotted pipe held off the tower's right face.
    const double top = ground * 0.16, bottom = ground * 0.44;
    Brackets(c, towerX + 9, cx + 18, top, bottom, 3);
    Cylinder(c, cx + 20, top, bottom, 9, RGB(0xd9, 0xd9, 0xd2));
}

void AntennaOtherMake(TCanvas& c, int w, int h)
{
    const double ground = Scene(c, w, h, "Other make"), cx = w / 2.0;
    const double towerTop = ground * 0.48;
    Tower(c, cx, ground, towerTop, 22, 7);
    // An outline antenna: the shape of one, no maker's detail.
    const TRect body = Rect(P(cx - 9, 0).X, P(0, ground * 0.10).Y, P(cx + 9, 0).X, P(0, towerTop).Y);
    Fill(c, body, RGB(0xf4, 0xf8, 0xfc));
    Outline(c, body, kSteel, 1, psDash);
    Caption(c, body, "?", 22, kNavy, true);
}

// --- The exhibits' pictures ----------------------------------------------------------------------

// The maker's mark: a red mast sending waves, and the name. It keeps to the upper part of its
// picture: the title box's first line sits just under the picture's rectangle.
void Logo(TCanvas& c, int w, int ph)
{
    Fill(c, Rect(0, 0, w, ph), clWhite);
    const double h = ph * 0.72;
    const int pen = static_cast<int>(h * 0.07);
    const double mx = h * 0.45;
    Line(c, mx, h * 0.18, mx, h * 0.95, kLogoRed, pen);
    Line(c, mx - h * 0.25, h * 0.95, mx, h * 0.55, kLogoRed, pen);
    Line(c, mx + h * 0.25, h * 0.95, mx, h * 0.55, kLogoRed, pen);
    const double cy = h * 0.22;
    c.Brush.Style = bsClear;
    for (int i = 1; i <= 2; ++i) {
        const double r = h * 0.12 * i;
        const double a0 = 35 * kPi / 180, a1 = 145 * kPi / 180;
        c.Arc(P(mx - r, 0).X, P(0, cy - r).Y, P(mx + r, 0).X, P(0, cy + r).Y, P(mx + r * std::cos(a0), 0).X,
              P(0, cy - r * std::sin(a0)).Y, P(mx + r * std::cos(a1), 0).X, P(0, cy - r * std::sin(a1)).Y);
    }
    const TRect box = Rect(static_cast<int>(h * 0.95), 0, w - 4, static_cast<int>(h));
    c.Font.Name = "Arial";
    c.Font.Style = {fsBold, fsItalic};
    c.Font.Color = kLogoRed;
    int px = static_cast<int>(h * 0.8);
    // Shrink until the name fits its box.
    for (c.Font.SetHeight(-px); px > 8 && c.TextWidth("BELVOR") > box.Width(); c.Font.SetHeight(-px)) px -= 2;
    c.TextOut(box.Left, box.Top + (box.Height() - c.TextHeight("BELVOR")) / 2, "BELVOR");
}

// A run of rigid line: an outer conductor with flanges every section, lying or standing.
void LineRun(TCanvas& c, int w, int h, bool standing)
{
    Fill(c, Rect(0, 0, w, h), clWhite);
    const int len = standing ? h : w, th = standing ? w : h;
    // Along and across the run, mapped onto the picture.
    auto rect = [&](double a0, double c0, double a1, double c1) {
        return standing ? Rect(P(th - c1, 0).X, P(0, a0).Y, P(th - c0, 0).X, P(0, a1).Y)
                        : Rect(P(a0, 0).X, P(0, c0).Y, P(a1, 0).X, P(0, c1).Y);
    };
    const double top = th * 0.3, bottom = th * 0.7, bands = 8;
    const TColor light = RGB(235, 235, 235), mid = RGB(160, 160, 160), dark = RGB(90, 90, 90);
    for (int i = 0; i < bands; ++i) {
        const double t = (i + 0.5) / bands;
        const TColor col = t < 0.45 ? Mix(light, mid, t / 0.45) : Mix(mid, dark, (t - 0.45) / 0.55);
        const double c0 = top + (bottom - top) * i / bands, c1 = top + (bottom - top) * (i + 1) / bands;
        Fill(c, rect(th * 0.05, c0, len - th * 0.05, c1), col);
    }
    const int pen = std::max(1, static_cast<int>(th * 0.03));
    Outline(c, rect(th * 0.05, top, len - th * 0.05, bottom), clBlack, pen);
    const int sections = std::max(2, static_cast<int>(len / (th * 4.0)));
    for (int i = 0; i <= sections; ++i) {
        const double a = th * 0.05 + (len - th * 0.1 - th * 0.16) * i / sections;
        const TRect flange = rect(a, th * 0.12, a + th * 0.16, th * 0.88);
        Fill(c, flange, RGB(120, 120, 120));
        Outline(c, flange, clBlack, pen);
    }
}

FrameDef Frame(int w, int h, std::function<void(TCanvas&, int, int)> draw) { return {w, h, std::move(draw)}; }

}  // namespace

std::vector<PictureDef> PlannerPictures()
{
    const std::string dir = "planner/resources/pictures/";
    std::vector<PictureDef> all;
    // The main window's showcase, one antenna per frame. Its caption names the frame number the
    // control will draw next (the change event comes after the step), so the picture starts
    // with the antenna of caption 2 and ends with the one of caption 1. 250 ms a frame: the
    // showcase plays at a tenth of the speed, 2.5 s for each antenna.
    PictureDef showcase{"showcase", dir + "Showcase.gif", {}, 250, 1};
    for (int f : {2, 3, 4, 1})
        showcase.frames.push_back(Frame(400, 330, [f](TCanvas& c, int w, int h) { ShowcaseFrame(c, w, h, f); }));
    all.push_back(std::move(showcase));
    // The tutorial's slides: the side view is wide, the others tall.
    PictureDef slides{"beamtilt", dir + "BeamTilt.gif", {}, 0, 2};
    for (int f = 1; f <= 4; ++f)
        slides.frames.push_back(Frame(f == 2 ? 350 : 175, f == 2 ? 175 : 350,
                                      [f](TCanvas& c, int w, int h) { TutorialSlide(c, w, h, f); }));
    all.push_back(std::move(slides));
    all.push_back({"presenter", dir + "Presenter.gif", {Frame(72, 90, Presenter)}});
    all.push_back({"antenna-side-high", dir + "SideMountedHighPower.gif", {Frame(100, 336, AntennaSideMountedHighPower)}});
    all.push_back({"antenna-top", dir + "TopMounted.gif", {Frame(100, 336, AntennaTopMounted)}});
    all.push_back({"antenna-side-low", dir + "SideMountedLowPower.gif", {Frame(100, 336, AntennaSideMountedLowPower)}});
    all.push_back({"antenna-other", dir + "OtherMake.gif", {Frame(100, 336, AntennaOtherMake)}});
    all.push_back({"logo", dir + "REDBELVOR.gif", {Frame(540, 168, Logo)}});
    all.push_back({"stop-button", dir + "StopDemo.gif", {Frame(48, 48, StopButton)}});
    all.push_back({"line-lying", dir + "TLINE_H.gif", {Frame(960, 80, [](TCanvas& c, int w, int h) { LineRun(c, w, h, false); })}});
    all.push_back({"line-standing", dir + "TLINE_V.gif", {Frame(90, 1050, [](TCanvas& c, int w, int h) { LineRun(c, w, h, true); })}});
    return all;
}
