// Drawing helpers of the launcher's graphics library: the transparent stretch blit.
#pragma once

#include "platform/graphics/Graphics.h"

// The colour as a palette-relative value (0x02000000 added).
inline TColor PaletteColor(TColor c) { return ColorToRGB(c) | 0x02000000; }

// Draws the part source of bitmap stretched into dest, leaving out the pixels of
// transparentColor (clDefault: the bitmap's bottom-left pixel; clNone: a plain copy).
// A destination size below 1 takes the bitmap's; a source size below 1 the whole bitmap.
void StretchTransparentBitmap(TCanvas& canvas, TBitmap& bitmap, TColor transparentColor, int dx, int dy, int dw,
                              int dh, int sx, int sy, int sw, int sh);
inline void DrawTransparent(TCanvas& canvas, int x, int y, TBitmap& bitmap, const TRect& source,
                            TColor transparentColor, int width, int height)
{
    StretchTransparentBitmap(canvas, bitmap, transparentColor, x, y, width, height, source.Left, source.Top,
                             source.Width(), source.Height());
}

// A path the library does not implement: the default cursor, the information box "Function not
// yet implemented" (through the UI services), then the silent abort (EAbort).
[[noreturn]] void NotImplementedError();
