// The device layer the report output draws on (report/output, no Qt): a device context with
// the state a page drawing needs (resolution and paper geometry, viewport origin, saved
// states, text alignment, background and text colours, current position, the selected font,
// pen and brush) and a small set of drawing primitives that each device supplies. Logical
// units are device pixels shifted by the viewport origin. Text is UTF-8.
//
// Implementations: TRpxPainterDevice (report/output/qt) over a QPainter on an image, a
// printer or a widget, and TRpxRecordingDevice (below) which keeps every call for tests and
// measures text with fixed-width characters.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// 0x00BBGGRR; 0xFF0000nn are system colours, resolved by the device that draws.
using TRpxColor = int32_t;

struct TRpxPoint {
    int X = 0, Y = 0;
    friend bool operator==(const TRpxPoint&, const TRpxPoint&) = default;
};
// Right and Bottom lie just outside the rectangle.
struct TRpxRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    friend bool operator==(const TRpxRect&, const TRpxRect&) = default;
};
struct TRpxSize {
    int Cx = 0, Cy = 0;
};

// Text-alignment flags.
enum : uint16_t {
    TA_LEFT = 0, TA_TOP = 0, TA_NOUPDATECP = 0, TA_UPDATECP = 1, TA_RIGHT = 2, TA_CENTER = 6,
    TA_BOTTOM = 8, TA_BASELINE = 24,
};
// Background modes and text-out options.
enum : int { TRANSPARENT = 1, OPAQUE = 2 };
enum : unsigned { ETO_OPAQUE = 2, ETO_CLIPPED = 4 };
// Technology codes; an odd one is screen-like (display, camera, metafile).
enum : int { DT_RASDISPLAY = 1, DT_RASPRINTER = 2 };

// Pen styles, pen modes and brush styles in the class library's numbering, the numbers the
// recorded file stores.
enum TRpxPenStyle : uint8_t { rpsSolid, rpsDash, rpsDot, rpsDashDot, rpsDashDotDot, rpsClear, rpsInsideFrame };
enum TRpxPenMode : uint8_t {
    rpmBlack, rpmWhite, rpmNop, rpmNot, rpmCopy, rpmNotCopy, rpmMergePenNot, rpmMaskPenNot,
    rpmMergeNotPen, rpmMaskNotPen, rpmMerge, rpmNotMerge, rpmMask, rpmNotMask, rpmXor, rpmNotXor,
};
enum TRpxBrushStyle : uint8_t {
    rbsSolid, rbsClear, rbsHorizontal, rbsVertical, rbsFDiagonal, rbsBDiagonal, rbsCross, rbsDiagCross,
};

struct TRpxLogFont {
    int32_t Height = -16;   // pixels; negative: character height
    int32_t Width = 0;
    int32_t Escapement = 0;   // tenths of a degree
    int32_t Orientation = 0;
    int32_t Weight = 400;
    uint8_t Italic = 0, Underline = 0, StrikeOut = 0, CharSet = 1;
    uint8_t OutPrecision = 0, ClipPrecision = 0, Quality = 0, PitchAndFamily = 0;
    std::string FaceName = "System";
    TRpxColor Color = 0;    // not part of the device font; the text colour that goes with it
    friend bool operator==(const TRpxLogFont&, const TRpxLogFont&) = default;
};
struct TRpxLogPen {
    uint8_t Style = rpsSolid;
    int32_t Width = 1;
    TRpxColor Color = 0;
    uint8_t Mode = rpmCopy;
    friend bool operator==(const TRpxLogPen&, const TRpxLogPen&) = default;
};
struct TRpxLogBrush {
    uint8_t Style = rbsSolid;
    TRpxColor Color = 0xFFFFFF;
    friend bool operator==(const TRpxLogBrush&, const TRpxLogBrush&) = default;
};

// Pixels of a decoded picture: 0xAARRGGBB, rows top down.
struct TRpxImage {
    int Width = 0, Height = 0;
    std::vector<uint32_t> Pixels;
    bool Empty() const { return Width <= 0 || Height <= 0; }
};

// What GetDeviceCaps would report.
struct TRpxDeviceInfo {
    int LogPixelsX = 96, LogPixelsY = 96;
    int PhysicalWidth = 816, PhysicalHeight = 1056;   // the whole sheet
    int PhysicalOffsetX = 0, PhysicalOffsetY = 0;     // the printable area's corner
    int HorzRes = 816, VertRes = 1056;                 // the printable area
    int Technology = DT_RASDISPLAY;
};

class TRpxDevice {
public:
    virtual ~TRpxDevice() = default;

    virtual TRpxDeviceInfo Info() const = 0;
    int LogPixelsX() const { return Info().LogPixelsX; }
    int LogPixelsY() const { return Info().LogPixelsY; }

    // State. SaveDC returns the new depth; RestoreDC(n) goes back to the state saved as n
    // (a negative n counts back from the latest).
    int SaveDC();
    bool RestoreDC(int saved);
    TRpxPoint SetViewportOrg(int x, int y);
    TRpxPoint ViewportOrg() const { return s_.Origin; }
    uint16_t SetTextAlign(uint16_t flags);
    uint16_t TextAlign() const { return s_.Align; }
    int SetBkMode(int mode);
    int BkMode() const { return s_.BkMode; }
    TRpxColor SetBkColor(TRpxColor c);
    TRpxColor BkColor() const { return s_.BkColor; }
    TRpxColor SetTextColor(TRpxColor c);
    TRpxColor TextColor() const { return s_.TextColor; }
    TRpxPoint MoveTo(int x, int y);
    TRpxPoint CurrentPos() const { return s_.Pos; }
    void SelectFont(const TRpxLogFont& f);
    void SelectPen(const TRpxLogPen& p);
    void SelectBrush(const TRpxLogBrush& b);
    const TRpxLogFont& Font() const { return s_.Font; }
    const TRpxLogPen& Pen() const { return s_.Pen; }
    const TRpxLogBrush& Brush() const { return s_.Brush; }
    // The stock system font, black pen and null brush.
    void SelectStockObjects();
    static TRpxLogFont StockFont();
    static TRpxLogPen StockPen() { return {}; }
    static TRpxLogBrush NullBrush() { return {rbsClear, 0xFFFFFF}; }

    // Text placed by the alignment flags (update-current-position, right, centre, bottom,
    // baseline); the background is filled in opaque mode.
    void TextOut(int x, int y, std::string_view text);
    // Text with options: ETO_OPAQUE fills r with the background colour, ETO_CLIPPED clips
    // the text to r.
    void ExtTextOut(int x, int y, unsigned options, const TRpxRect* r, std::string_view text);
    virtual TRpxSize TextExtent(std::string_view text) = 0;
    // Cell height and ascent of the selected font.
    virtual int TextHeight() = 0;
    virtual int TextAscent() = 0;

    void LineTo(int x, int y);
    void Rectangle(int l, int t, int r, int b);
    void RoundRect(int l, int t, int r, int b, int cw, int ch);
    void Ellipse(int l, int t, int r, int b);
    // kind 0 arc, 1 chord, 2 pie: the ellipse in (x1, y1, x2, y2), counter-clockwise from the
    // radial through (x3, y3) to the radial through (x4, y4).
    void Arc(int kind, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Polygon(const std::vector<TRpxPoint>& points);
    void Polyline(const std::vector<TRpxPoint>& points);
    // Fills with the brush given (the selected one when none is).
    void FillRect(const TRpxRect& r);
    void FillRect(const TRpxRect& r, const TRpxLogBrush& b);
    // 8 x 8 pattern: a set bit (bit 7 leftmost) takes the background colour, a clear bit the
    // text colour; the background mode decides nothing here (the pattern is opaque).
    void PatternFill(const TRpxRect& r, const uint8_t rows[8]);
    void DrawImage(const TRpxRect& dest, const TRpxImage& image);

protected:
    // Primitives in device pixels (the origin already applied).
    enum class Shape { Rectangle, RoundRect, Ellipse, Arc, Chord, Pie, Polygon, Polyline };
    struct ShapeArgs {
        Shape Kind = Shape::Rectangle;
        TRpxRect Box;
        int CornerW = 0, CornerH = 0;
        TRpxPoint Start, End;            // arc radials
        std::vector<TRpxPoint> Points;   // polygon, polyline
    };
    // Text whose cell's top-left corner is (x, y); opaque: fill `fill` with the background
    // colour first; clip: only inside it.
    virtual void DoText(int x, int y, std::string_view text, const TRpxRect* fill, const TRpxRect* clip) = 0;
    virtual void DoLine(int x1, int y1, int x2, int y2) = 0;
    virtual void DoShape(const ShapeArgs& a) = 0;
    virtual void DoFill(const TRpxRect& r, const TRpxLogBrush& b) = 0;
    virtual void DoPattern(const TRpxRect& r, const uint8_t rows[8]) = 0;
    virtual void DoImage(const TRpxRect& dest, const TRpxImage& image) = 0;

    TRpxRect ToDevice(const TRpxRect& r) const;

private:
    void PlaceText(int x, int y, unsigned options, const TRpxRect* r, std::string_view text);

    struct State {
        TRpxPoint Origin;
        uint16_t Align = 0;
        int BkMode = OPAQUE;
        TRpxColor BkColor = 0xFFFFFF;
        TRpxColor TextColor = 0;
        TRpxPoint Pos;
        TRpxLogFont Font = StockFont();
        TRpxLogPen Pen;
        TRpxLogBrush Brush = NullBrush();
    };
    State s_;
    std::vector<State> saved_;
};

// Keeps every drawing call as a line of text, for tests. Text measures CharWidth pixels a
// character (|font height| / 2 when CharWidth is 0) and the font's |height| tall.
class TRpxRecordingDevice : public TRpxDevice {
public:
    explicit TRpxRecordingDevice(TRpxDeviceInfo info = {}) : info_(info) {}
    TRpxDeviceInfo Info() const override { return info_; }
    TRpxSize TextExtent(std::string_view text) override;
    int TextHeight() override;
    int TextAscent() override { return TextHeight() * 4 / 5; }

    void SetInfo(const TRpxDeviceInfo& info) { info_ = info; }
    int CharWidth = 0;
    // "text 10,20 'abc'", "line 0,0-5,5 w1 c0", "fill 0,0,5,5 s0 c255", ...
    std::vector<std::string> Calls;
    size_t Count(std::string_view prefix) const;

protected:
    void DoText(int x, int y, std::string_view text, const TRpxRect* fill, const TRpxRect* clip) override;
    void DoLine(int x1, int y1, int x2, int y2) override;
    void DoShape(const ShapeArgs& a) override;
    void DoFill(const TRpxRect& r, const TRpxLogBrush& b) override;
    void DoPattern(const TRpxRect& r, const uint8_t rows[8]) override;
    void DoImage(const TRpxRect& dest, const TRpxImage& image) override;

private:
    TRpxDeviceInfo info_;
};

// Number of code points of UTF-8 text, and the byte length of its first n code points.
size_t Utf8Length(std::string_view s);
size_t Utf8Prefix(std::string_view s, size_t n);
// (a * b) / c rounded to the nearest, as MulDiv; c = 0 gives -1.
int MulDiv(int a, int b, int c);
