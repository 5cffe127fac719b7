#include "Pictures.h"

namespace {
// Tasklander's splash: the name, its subtitle and maker beside a broadcast mast sending waves.
void DrawSplash(TCanvas& c, int w, int h)
{
    c.Brush.Color = clWhite;
    c.FillRect(Rect(0, 0, w, h));
    c.Brush.Color = clNavy;
    c.FrameRect(Rect(0, 0, w, h));
    c.FrameRect(Rect(3, 3, w - 3, h - 3));

    // The mast: a tapering lattice on a base line, a beacon on top.
    const int mx = 95, top = 58, base = 212, half = 26;
    c.Pen.Color = clBlack;
    c.Pen.Width = 1;
    c.MoveTo(mx - half, base);
    c.LineTo(mx, top);
    c.LineTo(mx + half + 1, base + 1);
    for (int y = base, step = 0; y > top + 12; y -= 22, ++step) {
        const int across = half * (y - top) / (base - top);
        const int next = y - 22;
        const int nextAcross = half * (next - top) / (base - top);
        c.MoveTo(mx - across, y);
        c.LineTo(mx + across + 1, y);
        if (next > top + 4) {
            c.MoveTo(step % 2 ? mx - across : mx + across, y);
            c.LineTo(step % 2 ? mx + nextAcross : mx - nextAcross, next);
        }
    }
    c.MoveTo(mx, top);
    c.LineTo(mx, top - 14);
    c.Pen.Width = 2;
    c.MoveTo(30, base + 1);
    c.LineTo(160, base + 1);
    c.Pen.Width = 1;
    c.Pen.Color = clRed;
    c.Brush.Color = clRed;
    c.Brush.Style = bsSolid;
    c.Ellipse(mx - 4, top - 20, mx + 5, top - 11);

    // Waves: arcs on both sides of the beacon, growing outward.
    c.Pen.Color = clTeal;
    c.Pen.Width = 2;
    const int cy = top - 15;
    for (int r : {18, 32, 46}) {
        const int dx = r * 77 / 100, dy = r * 64 / 100;  // 40 degrees either side of the horizon
        c.Arc(mx - r, cy - r, mx + r, cy + r, mx + dx, cy + dy, mx + dx, cy - dy);
        c.Arc(mx - r, cy - r, mx + r, cy + r, mx - dx, cy - dy, mx - dx, cy + dy);
    }

    // The words, centred in the right-hand panel.
    const int left = 185, right = w - 18;
    auto centred = [&](const std::string& text, int y) {
        c.TextOut(left + (right - left - c.TextWidth(text)) / 2, y, text);
    };
    c.Brush.Style = bsClear;
    c.Font.Name = "Arial";
    c.Font.Color = clNavy;
    c.Font.Style = {fsBold};
    c.Font.SetSize(27);
    centred("Tasklander", 62);
    c.Font.Style = {};
    c.Font.Color = clGray;
    c.Font.SetSize(14);
    centred("Planning tools", 112);
    c.Pen.Color = clNavy;
    c.Pen.Width = 1;
    c.MoveTo(left + 20, 150);
    c.LineTo(right - 20, 150);
    c.Font.Color = clBlack;
    c.Font.Style = {fsBold};
    c.Font.SetSize(12);
    centred("Belvor", 178);
}
} // namespace

const std::vector<PictureDef>& AllPictures()
{
    static const std::vector<PictureDef> pictures = [] {
        std::vector<PictureDef> all = {
            {"splash", "launcher/resources/Splash.gif", {{407, 243, DrawSplash}}},
        };
        for (PictureDef& p : PlannerPictures()) all.push_back(std::move(p));
        return all;
    }();
    return pictures;
}
