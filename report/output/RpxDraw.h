// Drawing aids shared by the output canvas, the player and the labels (report/output, no
// Qt): justified memo lines, pattern shading, check marks, bar codes and small device helpers.
#pragma once

#include "RpxDevice.h"

#include "report/DaxFormat.h"   // IsBlank, TrimTrailingSpaces

#include <cstdint>
#include <string>
#include <string_view>

// The 8 rows of a shade pattern 1..6 (a value above 6 gives pattern 4); null for 0 and below.
const uint8_t* ShadePattern(int pattern);
// Fills r with the pattern (set bits in the background colour, clear bits in the text colour).
void ShadeRect(TRpxDevice& dc, const TRpxRect& r, int pattern);
// style 1 check mark, 0 cross, in a solid pen of the width and colour given.
void DrawCheck(TRpxDevice& dc, const TRpxRect& r, int style, int width, TRpxColor colour);
// One memo line drawn character by character from (x, y): aligned by the device's text
// alignment when noJustify is set or the line has no inner spaces, else stretched to the
// line rectangle's right edge by widening its inner spaces.
void DrawJustifiedLine(TRpxDevice& dc, const TRpxRect& line, int x, const TRpxRect& bounds, bool noJustify,
                       std::string_view text, int y);

// Arc (0), Chord (1) or Pie (2); Polygon (0) or Polyline (1) of the first count points.
void DrawArc(TRpxDevice& dc, int kind, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
void DrawPoly(TRpxDevice& dc, int kind, const TRpxPoint* points, size_t count);

bool IsScreenLike(const TRpxDevice& dc);
TRpxRect PrintableRect(const TRpxDevice& dc);
TRpxSize PhysicalSize(const TRpxDevice& dc);
TRpxSize Resolution(const TRpxDevice& dc);
TRpxSize PhysicalOffset(const TRpxDevice& dc);
TRpxSize PageSize(const TRpxDevice& dc);
void SetScaledOrigin(TRpxDevice& dc, int baseX, int baseY, int y, int x);
// Width of the first count characters.
int TextWidth(TRpxDevice& dc, std::string_view text, size_t count);
// Spaces that are neither leading nor trailing.
int CountInnerSpaces(std::string_view text);
bool SameBytes(const void* a, const void* b, size_t count);
std::string IntToText(int64_t n);
inline const char* RpxVersion() { return "1.20"; }

// Bar codes: bars are filled with the brush given, spaces are left alone. Widths are pixels
// of the device, or thousandths of an inch with InMils (converted at MilsPerInchX/Y, the
// device's resolution unless set).
class TRpxCanvas;

class TRpxBarCode {
public:
    virtual ~TRpxBarCode() = default;
    // Draws on the canvas's device with its brush (a printing canvas; nothing otherwise).
    void DrawOnCanvas(TRpxCanvas& canvas, int x, std::string_view text, int y);
    virtual int CodeWidth(TRpxDevice& dc, std::string_view text) = 0;
    virtual void Draw(TRpxDevice& dc, const TRpxLogBrush& brush, int x, int y, std::string_view text) = 0;

    int NarrowWidth = 1;
    int WideWidth = 3;
    bool Vertical = false;
    int BarHeight = 0;
    int BarWidth = 0;
    bool InMils = false;
    int MilsResolutionX = 0, MilsResolutionY = 0;   // 0: the device's

protected:
    // Narrow and wide widths in device pixels.
    void Widths(TRpxDevice& dc, int& n, int& w) const;
    // Draws one element (a bar when bar is set) and advances the position.
    void Element(TRpxDevice& dc, const TRpxLogBrush& brush, int& x, int& y, int width, bool bar) const;
};

// Code 39: "*" + the upper-cased text + "*"; a character outside the table adds nothing.
class TRpx3of9BarCode : public TRpxBarCode {
public:
    int CodeWidth(TRpxDevice& dc, std::string_view text) override;
    void Draw(TRpxDevice& dc, const TRpxLogBrush& brush, int x, int y, std::string_view text) override;
    // The nine elements of a character (1 = wide), bar first; false outside the table.
    static bool Pattern(char c, int elements[9]);
};

// Interleaved 2 of 5 over digits only (an odd count gets a leading "0").
class TRpx2of5BarCode : public TRpxBarCode {
public:
    int CodeWidth(TRpxDevice& dc, std::string_view text) override;
    void Draw(TRpxDevice& dc, const TRpxLogBrush& brush, int x, int y, std::string_view text) override;
};
