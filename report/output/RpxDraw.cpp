#include "RpxDraw.h"

#include "RpxOutput.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

namespace {

constexpr uint8_t kShades[6][8] = {
    {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA},
    {0x55, 0xBB, 0x66, 0xDD, 0x55, 0xBB, 0x66, 0xDD},
    {0xBB, 0xEE, 0x77, 0xDD, 0xBB, 0xEE, 0x77, 0xDD},
    {0xFB, 0xF7, 0xBE, 0xDF, 0xFB, 0x7D, 0xEF, 0xBF},
    {0xFF, 0xFF, 0xBB, 0xFF, 0xFF, 0xFF, 0xDD, 0xFF},
    {0xFF, 0xBF, 0xFF, 0xFF, 0xFF, 0xFD, 0xFF, 0xFF},
};

// Code 39 characters and their first eight elements (bar, space, ... ; 1 = wide), most
// significant bit first; the ninth (a bar) is wide when fewer than three of these are.
constexpr char kCode39Chars[] = "1234567890ABCDEFGHIJKLMNOPQRSTUVWXYZ-. *$/+";
constexpr uint8_t kCode39Bits[43] = {
    0b10010000, 0b00110000, 0b10110000, 0b00011000, 0b10011000, 0b00111000, 0b00010010, 0b10010010, 0b00110010,
    0b00011010,  // 1..9, 0
    0b10000100, 0b00100100, 0b10100100, 0b00001100, 0b10001100, 0b00101100, 0b00000110, 0b10000110, 0b00100110,
    0b00001110,  // A..J
    0b10000001, 0b00100001, 0b10100001, 0b00001001, 0b10001001, 0b00101001, 0b00000011, 0b10000011, 0b00100011,
    0b00001011,  // K..T
    0b11000000, 0b01100000, 0b11100000, 0b01001000, 0b11001000, 0b01101000,  // U..Z
    0b01000010, 0b11000010, 0b01100010, 0b01001010, 0b01010100, 0b01010001, 0b01000101,  // - . space * $ / +
};

// Interleaved 2 of 5 digit patterns, five elements each (1 = wide).
constexpr uint8_t kTwoOfFive[10][5] = {
    {0, 0, 1, 1, 0}, {1, 0, 0, 0, 1}, {0, 1, 0, 0, 1}, {1, 1, 0, 0, 0}, {0, 0, 1, 0, 1},
    {1, 0, 1, 0, 0}, {0, 1, 1, 0, 0}, {0, 0, 0, 1, 1}, {1, 0, 0, 1, 0}, {0, 1, 0, 1, 0},
};

} // namespace

const uint8_t* ShadePattern(int pattern)
{
    if (pattern <= 0) return nullptr;
    if (pattern > 6) pattern = 4;
    return kShades[pattern - 1];
}

void ShadeRect(TRpxDevice& dc, const TRpxRect& r, int pattern)
{
    const uint8_t* rows = ShadePattern(pattern);
    if (!rows) return;
    const int oldMode = dc.SetBkMode(TRANSPARENT);
    dc.PatternFill(r, rows);
    dc.SetBkMode(oldMode);
}

void DrawCheck(TRpxDevice& dc, const TRpxRect& r, int style, int width, TRpxColor colour)
{
    if (style != 0 && style != 1) return;
    const int w = r.Right - r.Left + 1, h = r.Bottom - r.Top + 1;
    const int mx = std::max(2, w * 10 / 100), my = std::max(2, h * 10 / 100), s = std::max(2, w * 20 / 100);
    const TRpxLogPen old = dc.Pen();
    dc.SelectPen({rpsSolid, width, colour, rpmCopy});
    if (style == 1) {
        dc.MoveTo(r.Left + w - s, r.Top + my);
        dc.LineTo(r.Left + mx + 2 * s, r.Top + h - my);
        dc.LineTo(r.Left + mx + s, r.Top + h / 2);
    } else {
        dc.MoveTo(r.Left + mx, r.Top + my);
        dc.LineTo(r.Left + w - mx, r.Top + h - my);
        dc.MoveTo(r.Left + w - mx, r.Top + my);
        dc.LineTo(r.Left + mx, r.Top + h - my);
    }
    dc.SelectPen(old);
}

int CountInnerSpaces(std::string_view text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return 0;
    const size_t last = text.find_last_not_of(' ');
    return static_cast<int>(std::count(text.begin() + static_cast<std::ptrdiff_t>(first),
                                       text.begin() + static_cast<std::ptrdiff_t>(last), ' '));
}

bool SameBytes(const void* a, const void* b, size_t count) { return std::memcmp(a, b, count) == 0; }

std::string IntToText(int64_t n) { return std::to_string(n); }

int TextWidth(TRpxDevice& dc, std::string_view text, size_t count)
{
    return dc.TextExtent(text.substr(0, Utf8Prefix(text, count))).Cx;
}

void DrawArc(TRpxDevice& dc, int kind, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    dc.Arc(kind, x1, y1, x2, y2, x3, y3, x4, y4);
}

void DrawPoly(TRpxDevice& dc, int kind, const TRpxPoint* points, size_t count)
{
    const std::vector<TRpxPoint> p(points, points + count);
    if (kind == 0) dc.Polygon(p);
    else dc.Polyline(p);
}

bool IsScreenLike(const TRpxDevice& dc) { return dc.Info().Technology & 1; }

TRpxRect PrintableRect(const TRpxDevice& dc)
{
    const TRpxDeviceInfo i = dc.Info();
    return {i.PhysicalOffsetX, i.PhysicalOffsetY, i.PhysicalOffsetX + i.HorzRes, i.PhysicalOffsetY + i.VertRes};
}
TRpxSize PhysicalSize(const TRpxDevice& dc) { return {dc.Info().PhysicalWidth, dc.Info().PhysicalHeight}; }
TRpxSize Resolution(const TRpxDevice& dc) { return {dc.Info().LogPixelsX, dc.Info().LogPixelsY}; }
TRpxSize PhysicalOffset(const TRpxDevice& dc) { return {dc.Info().PhysicalOffsetX, dc.Info().PhysicalOffsetY}; }
TRpxSize PageSize(const TRpxDevice& dc) { return {dc.Info().HorzRes, dc.Info().VertRes}; }

void SetScaledOrigin(TRpxDevice& dc, int baseX, int baseY, int y, int x)
{
    dc.SetViewportOrg(MulDiv(x, dc.LogPixelsX(), baseX), MulDiv(y, dc.LogPixelsY(), baseY));
}

void DrawJustifiedLine(TRpxDevice& dc, const TRpxRect& line, int x, const TRpxRect& bounds, bool noJustify,
                       std::string_view rawText, int y)
{
    const std::string text = TrimTrailingSpaces(rawText);
    const int width = dc.TextExtent(text).Cx;
    const int inner = CountInnerSpaces(text);
    const uint16_t oldAlign = dc.TextAlign();
    uint16_t align = oldAlign;
    const bool justify = inner > 0 && !noJustify;
    int spanLeft = x, spanRight = line.Right;
    if (!justify) {
        switch (align & TA_CENTER) {
        case TA_RIGHT:
            spanRight = x;
            spanLeft = std::max(x - width, bounds.Left);
            break;
        case TA_CENTER: {
            const int half = width / 2;
            spanRight = std::min(x + half + width % 2, bounds.Right);
            spanLeft = std::max(x - half, bounds.Left);
            x = spanLeft;
            align = static_cast<uint16_t>(align & ~TA_CENTER);
            break;
        }
        default:
            spanLeft = x;
            spanRight = std::min(x + width, bounds.Right);
            break;
        }
    }
    const bool rightToLeft = (align & TA_CENTER) == TA_RIGHT;
    dc.SetTextAlign(static_cast<uint16_t>(align | TA_UPDATECP));
    dc.MoveTo(x, y);
    if (!justify) {
        // One run: the device places the whole line from the current position.
        if (!text.empty()) dc.TextOut(0, 0, text);
        dc.SetTextAlign(oldAlign);
        return;
    }

    // Code points in drawing order, as byte ranges of the text.
    struct Char {
        size_t at, bytes;
        bool space;
    };
    std::vector<Char> chars;
    for (size_t i = 0; i < text.size();) {
        const size_t n = std::max<size_t>(1, Utf8Prefix(std::string_view(text).substr(i), 1));
        chars.push_back({i, n, text[i] == ' '});
        i += n;
    }
    if (rightToLeft) std::reverse(chars.begin(), chars.end());
    // Inner spaces lie between the first and the last non-space character.
    size_t firstSolid = 0, lastSolid = chars.size();
    while (firstSolid < chars.size() && chars[firstSolid].space) ++firstSolid;
    while (lastSolid > firstSolid && chars[lastSolid - 1].space) --lastSolid;

    // The text between widened spaces goes out as one run (a word in the usual case); a
    // widened space is not drawn, the position moves past it and its extra width.
    const int spanWidth = spanRight - spanLeft + 1;
    int widened = 0;
    int remaining = width;
    size_t runStart = 0;
    const auto drawRun = [&](size_t from, size_t to) {   // drawing-order indices [from, to)
        if (from >= to) return;
        const size_t a = rightToLeft ? chars[to - 1].at : chars[from].at;
        const size_t b = rightToLeft ? chars[from].at + chars[from].bytes : chars[to - 1].at + chars[to - 1].bytes;
        const std::string_view run = std::string_view(text).substr(a, b - a);
        dc.TextOut(0, 0, run);
        remaining -= dc.TextExtent(run).Cx;
    };
    for (size_t i = 0; i < chars.size(); ++i) {
        if (!(chars[i].space && i > firstSolid && i < lastSolid && widened < inner)) continue;
        drawRun(runStart, i);
        runStart = i + 1;
        const int sw = dc.TextExtent(" ").Cx;
        remaining -= sw;
        TRpxPoint p = dc.CurrentPos();
        p.X = rightToLeft ? p.X - sw : p.X + sw;
        const int drawn = std::abs(p.X - x) + 1;
        const int e = (spanWidth - drawn - remaining) / (inner - widened);
        ++widened;
        dc.MoveTo(rightToLeft ? p.X - e : p.X + e, p.Y);
    }
    drawRun(runStart, chars.size());
    dc.SetTextAlign(oldAlign);
}

// --- Bar codes -------------------------------------------------------------------------------

void TRpxBarCode::DrawOnCanvas(TRpxCanvas& canvas, int x, std::string_view text, int y)
{
    if (canvas.Mode == 0 && canvas.DC()) Draw(*canvas.DC(), canvas.Brush().LogBrush(), x, y, text);
}

void TRpxBarCode::Widths(TRpxDevice& dc, int& n, int& w) const
{
    n = NarrowWidth;
    w = WideWidth;
    if (InMils) {
        int ppi = Vertical ? (MilsResolutionY ? MilsResolutionY : dc.LogPixelsY())
                           : (MilsResolutionX ? MilsResolutionX : dc.LogPixelsX());
        n = MulDiv(n, ppi, 1000);
        w = MulDiv(w, ppi, 1000);
    }
}

void TRpxBarCode::Element(TRpxDevice& dc, const TRpxLogBrush& brush, int& x, int& y, int width, bool bar) const
{
    if (bar) {
        const TRpxRect r = Vertical ? TRpxRect{x, y, x + BarWidth, y + width} : TRpxRect{x, y, x + width, y + BarHeight};
        dc.FillRect(r, brush);
    }
    (Vertical ? y : x) += width;
}

bool TRpx3of9BarCode::Pattern(char c, int elements[9])
{
    const char* at = std::strchr(kCode39Chars, c);
    if (!at || c == '\0') return false;
    const uint8_t bits = kCode39Bits[at - kCode39Chars];
    int wide = 0;
    for (int i = 0; i < 8; ++i) {
        elements[i] = (bits >> (7 - i)) & 1;
        wide += elements[i];
    }
    elements[8] = wide < 3 ? 1 : 0;
    return true;
}

int TRpx3of9BarCode::CodeWidth(TRpxDevice& dc, std::string_view text)
{
    int n = 0, w = 0;
    Widths(dc, n, w);
    return static_cast<int>(text.size() + 2) * (3 * w + 7 * n);
}

void TRpx3of9BarCode::Draw(TRpxDevice& dc, const TRpxLogBrush& brush, int x, int y, std::string_view text)
{
    if (text.empty()) return;
    std::string code = "*";
    for (char c : text) code += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    code += '*';
    int n = 0, w = 0;
    Widths(dc, n, w);
    for (char c : code) {
        int e[9];
        if (!Pattern(c, e)) continue;
        for (int i = 0; i < 9; ++i) Element(dc, brush, x, y, e[i] ? w : n, i % 2 == 0);
        Element(dc, brush, x, y, n, false);
    }
}

int TRpx2of5BarCode::CodeWidth(TRpxDevice& dc, std::string_view text)
{
    int n = 0, w = 0;
    Widths(dc, n, w);
    const int digits = static_cast<int>(text.size()) + static_cast<int>(text.size() % 2);
    return digits * (2 * w + 3 * n) + w + 6 * n;
}

void TRpx2of5BarCode::Draw(TRpxDevice& dc, const TRpxLogBrush& brush, int x, int y, std::string_view text)
{
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) return;
    std::string digits;
    if (text.size() % 2) digits.push_back('0');
    digits.append(text);
    int n = 0, w = 0;
    Widths(dc, n, w);
    for (int i = 0; i < 4; ++i) Element(dc, brush, x, y, n, i % 2 == 0);
    for (size_t i = 0; i + 1 < digits.size(); i += 2) {
        const uint8_t* bars = kTwoOfFive[digits[i] - '0'];
        const uint8_t* spaces = kTwoOfFive[digits[i + 1] - '0'];
        for (int k = 0; k < 5; ++k) {
            Element(dc, brush, x, y, bars[k] ? w : n, true);
            Element(dc, brush, x, y, spaces[k] ? w : n, false);
        }
    }
    Element(dc, brush, x, y, w, true);
    Element(dc, brush, x, y, n, false);
    Element(dc, brush, x, y, n, true);
}
