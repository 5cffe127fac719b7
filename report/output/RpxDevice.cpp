#include "RpxDevice.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>

int MulDiv(int a, int b, int c)
{
    if (c == 0) return -1;
    const int64_t p = static_cast<int64_t>(a) * b;
    int64_t q = (std::llabs(p) + std::llabs(static_cast<int64_t>(c)) / 2) / std::llabs(static_cast<int64_t>(c));
    if ((p < 0) != (c < 0)) q = -q;
    return static_cast<int>(std::clamp<int64_t>(q, INT32_MIN, INT32_MAX));
}

size_t Utf8Length(std::string_view s)
{
    size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

size_t Utf8Prefix(std::string_view s, size_t n)
{
    size_t i = 0;
    for (; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (n == 0) break;
            --n;
        }
    }
    return i;
}

TRpxLogFont TRpxDevice::StockFont()
{
    TRpxLogFont f;
    f.Height = -16;
    f.Weight = 700;
    f.FaceName = "System";
    return f;
}

int TRpxDevice::SaveDC()
{
    saved_.push_back(s_);
    return static_cast<int>(saved_.size());
}

bool TRpxDevice::RestoreDC(int saved)
{
    const int depth = static_cast<int>(saved_.size());
    const int target = saved < 0 ? depth + saved + 1 : saved;
    if (target < 1 || target > depth) return false;
    s_ = saved_[static_cast<size_t>(target - 1)];
    saved_.resize(static_cast<size_t>(target - 1));
    return true;
}

TRpxPoint TRpxDevice::SetViewportOrg(int x, int y) { return std::exchange(s_.Origin, TRpxPoint{x, y}); }

uint16_t TRpxDevice::SetTextAlign(uint16_t flags) { return std::exchange(s_.Align, flags); }

int TRpxDevice::SetBkMode(int mode) { return std::exchange(s_.BkMode, mode); }

TRpxColor TRpxDevice::SetBkColor(TRpxColor c) { return std::exchange(s_.BkColor, c); }

TRpxColor TRpxDevice::SetTextColor(TRpxColor c) { return std::exchange(s_.TextColor, c); }

TRpxPoint TRpxDevice::MoveTo(int x, int y)
{
    const TRpxPoint old = s_.Pos;
    s_.Pos = {x, y};
    return old;
}

void TRpxDevice::SelectFont(const TRpxLogFont& f) { s_.Font = f; }
void TRpxDevice::SelectPen(const TRpxLogPen& p) { s_.Pen = p; }
void TRpxDevice::SelectBrush(const TRpxLogBrush& b) { s_.Brush = b; }

void TRpxDevice::SelectStockObjects()
{
    s_.Font = StockFont();
    s_.Pen = StockPen();
    s_.Brush = NullBrush();
}

namespace {

// A coordinate moved by the origin, held at the ends of the range rather than wrapping.
int Shift(int v, int by) { return static_cast<int>(std::clamp<int64_t>(int64_t{v} + by, INT32_MIN, INT32_MAX)); }

} // namespace

TRpxRect TRpxDevice::ToDevice(const TRpxRect& r) const
{
    const TRpxPoint o = s_.Origin;
    return {Shift(r.Left, o.X), Shift(r.Top, o.Y), Shift(r.Right, o.X), Shift(r.Bottom, o.Y)};
}

void TRpxDevice::TextOut(int x, int y, std::string_view text) { PlaceText(x, y, 0, nullptr, text); }

void TRpxDevice::ExtTextOut(int x, int y, unsigned options, const TRpxRect* r, std::string_view text)
{
    PlaceText(x, y, options, r, text);
}

void TRpxDevice::PlaceText(int x, int y, unsigned options, const TRpxRect* r, std::string_view text)
{
    const bool updateCp = s_.Align & TA_UPDATECP;
    if (updateCp) {
        x = s_.Pos.X;
        y = s_.Pos.Y;
    }
    const int width = TextExtent(text).Cx;
    int left = x;
    switch (s_.Align & TA_CENTER) {
    case TA_RIGHT: left = x - width; break;
    case TA_CENTER: left = x - width / 2; break;
    default: break;
    }
    int top = y;
    switch (s_.Align & TA_BASELINE) {
    case TA_BOTTOM: top = y - TextHeight(); break;
    case TA_BASELINE: top = y - TextAscent(); break;
    default: break;
    }
    if (updateCp) {
        // The position moves past the text in the direction it was placed.
        if ((s_.Align & TA_CENTER) == TA_RIGHT) s_.Pos.X = x - width;
        else if ((s_.Align & TA_CENTER) == TA_LEFT) s_.Pos.X = x + width;
    }
    const TRpxRect cell{left, top, left + width, top + TextHeight()};
    TRpxRect fill = cell;
    const TRpxRect* fillp = nullptr;
    if (r && (options & ETO_OPAQUE)) {
        fill = *r;
        fillp = &fill;
    } else if (!r && s_.BkMode == OPAQUE) {
        fillp = &fill;
    } else if (r && !(options & ETO_OPAQUE) && s_.BkMode == OPAQUE) {
        fillp = &fill;
    }
    TRpxRect clip = r ? *r : TRpxRect{};
    TRpxRect dfill = fillp ? ToDevice(*fillp) : TRpxRect{};
    TRpxRect dclip = ToDevice(clip);
    if (fillp && r && (options & ETO_CLIPPED)) {
        dfill.Left = std::max(dfill.Left, dclip.Left);
        dfill.Top = std::max(dfill.Top, dclip.Top);
        dfill.Right = std::min(dfill.Right, dclip.Right);
        dfill.Bottom = std::min(dfill.Bottom, dclip.Bottom);
    }
    DoText(Shift(left, s_.Origin.X), Shift(top, s_.Origin.Y), text, fillp ? &dfill : nullptr,
           r && (options & ETO_CLIPPED) ? &dclip : nullptr);
}

void TRpxDevice::LineTo(int x, int y)
{
    DoLine(Shift(s_.Pos.X, s_.Origin.X), Shift(s_.Pos.Y, s_.Origin.Y), Shift(x, s_.Origin.X), Shift(y, s_.Origin.Y));
    s_.Pos = {x, y};
}

void TRpxDevice::Rectangle(int l, int t, int r, int b)
{
    DoShape({Shape::Rectangle, ToDevice({l, t, r, b}), 0, 0, {}, {}, {}});
}

void TRpxDevice::RoundRect(int l, int t, int r, int b, int cw, int ch)
{
    DoShape({Shape::RoundRect, ToDevice({l, t, r, b}), cw, ch, {}, {}, {}});
}

void TRpxDevice::Ellipse(int l, int t, int r, int b)
{
    DoShape({Shape::Ellipse, ToDevice({l, t, r, b}), 0, 0, {}, {}, {}});
}

void TRpxDevice::Arc(int kind, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    const Shape k = kind == 1 ? Shape::Chord : kind == 2 ? Shape::Pie : Shape::Arc;
    const TRpxPoint o = s_.Origin;
    DoShape({k, ToDevice({x1, y1, x2, y2}), 0, 0, {Shift(x3, o.X), Shift(y3, o.Y)}, {Shift(x4, o.X), Shift(y4, o.Y)}, {}});
}

void TRpxDevice::Polygon(const std::vector<TRpxPoint>& points)
{
    ShapeArgs a{Shape::Polygon, {}, 0, 0, {}, {}, points};
    for (auto& p : a.Points) p = {Shift(p.X, s_.Origin.X), Shift(p.Y, s_.Origin.Y)};
    DoShape(a);
}

void TRpxDevice::Polyline(const std::vector<TRpxPoint>& points)
{
    ShapeArgs a{Shape::Polyline, {}, 0, 0, {}, {}, points};
    for (auto& p : a.Points) p = {Shift(p.X, s_.Origin.X), Shift(p.Y, s_.Origin.Y)};
    DoShape(a);
}

void TRpxDevice::FillRect(const TRpxRect& r) { FillRect(r, s_.Brush); }

void TRpxDevice::FillRect(const TRpxRect& r, const TRpxLogBrush& b)
{
    if (b.Style == rbsClear || r.Right <= r.Left || r.Bottom <= r.Top) return;
    DoFill(ToDevice(r), b);
}

void TRpxDevice::PatternFill(const TRpxRect& r, const uint8_t rows[8])
{
    if (r.Right <= r.Left || r.Bottom <= r.Top) return;
    DoPattern(ToDevice(r), rows);
}

void TRpxDevice::DrawImage(const TRpxRect& dest, const TRpxImage& image)
{
    if (image.Empty() || dest.Right <= dest.Left || dest.Bottom <= dest.Top) return;
    DoImage(ToDevice(dest), image);
}

// --- Recording device ----------------------------------------------------------------------

namespace {

std::string RectText(const TRpxRect& r)
{
    return std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) + "," +
           std::to_string(r.Bottom);
}

} // namespace

TRpxSize TRpxRecordingDevice::TextExtent(std::string_view text)
{
    const int cw = CharWidth > 0 ? CharWidth : std::max(1, std::abs(Font().Height) / 2);
    return {static_cast<int>(Utf8Length(text)) * cw, TextHeight()};
}

int TRpxRecordingDevice::TextHeight() { return std::max(1, std::abs(Font().Height)); }

size_t TRpxRecordingDevice::Count(std::string_view prefix) const
{
    return static_cast<size_t>(std::count_if(Calls.begin(), Calls.end(), [&](const std::string& c) {
        return c.compare(0, prefix.size(), prefix) == 0;
    }));
}

void TRpxRecordingDevice::DoText(int x, int y, std::string_view text, const TRpxRect* fill, const TRpxRect* clip)
{
    std::string c = "text " + std::to_string(x) + "," + std::to_string(y) + " '" + std::string(text) + "'";
    c += " font " + Font().FaceName + " " + std::to_string(Font().Height) + " c" + std::to_string(TextColor());
    if (fill) c += " fill " + RectText(*fill) + " c" + std::to_string(BkColor());
    if (clip) c += " clip " + RectText(*clip);
    Calls.push_back(std::move(c));
}

void TRpxRecordingDevice::DoLine(int x1, int y1, int x2, int y2)
{
    Calls.push_back("line " + std::to_string(x1) + "," + std::to_string(y1) + "-" + std::to_string(x2) + "," +
                    std::to_string(y2) + " w" + std::to_string(Pen().Width) + " c" + std::to_string(Pen().Color));
}

void TRpxRecordingDevice::DoShape(const ShapeArgs& a)
{
    static const char* const names[] = {"rectangle", "roundrect", "ellipse", "arc", "chord", "pie", "polygon", "polyline"};
    std::string c = names[static_cast<int>(a.Kind)];
    auto point = [&c](int x, int y) {
        c.append(" ").append(std::to_string(x)).append(",").append(std::to_string(y));
    };
    if (a.Kind == Shape::Polygon || a.Kind == Shape::Polyline) {
        for (const auto& p : a.Points) point(p.X, p.Y);
    } else {
        c.append(" ").append(RectText(a.Box));
        if (a.Kind == Shape::RoundRect) point(a.CornerW, a.CornerH);
        if (a.Kind >= Shape::Arc) {
            point(a.Start.X, a.Start.Y);
            point(a.End.X, a.End.Y);
        }
    }
    c.append(" w").append(std::to_string(Pen().Width));
    Calls.push_back(std::move(c));
}

void TRpxRecordingDevice::DoFill(const TRpxRect& r, const TRpxLogBrush& b)
{
    Calls.push_back("fill " + RectText(r) + " s" + std::to_string(b.Style) + " c" + std::to_string(b.Color));
}

void TRpxRecordingDevice::DoPattern(const TRpxRect& r, const uint8_t rows[8])
{
    std::string c = "pattern " + RectText(r);
    static const char hex[] = "0123456789ABCDEF";
    for (int i = 0; i < 8; ++i) {
        c += i ? "." : " ";
        c += hex[rows[i] >> 4];
        c += hex[rows[i] & 15];
    }
    Calls.push_back(std::move(c));
}

void TRpxRecordingDevice::DoImage(const TRpxRect& dest, const TRpxImage& image)
{
    Calls.push_back("image " + RectText(dest) + " " + std::to_string(image.Width) + "x" + std::to_string(image.Height));
}
