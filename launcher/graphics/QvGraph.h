// QvGraph: bitmaps as bitmap files of 1, 4, 8 or 24 bits per pixel, with six ways of reducing
// true colour to a palette of at most 256 colours (graphics library, Qt Gui).
#pragma once

#include "platform/graphics/Graphics.h"

#include <cstdint>
#include <vector>

namespace QvGraph {

enum TReductionMethod {
    ReduceByPopularity,       // the most frequent colours
    ReduceByMedianCut,        // box averages of a median cut over a 4096-cell histogram
    ReduceTo7R8G4B,           // a fixed cube of 224 colours
    ReduceTo6R6G6B,           // a fixed cube of 216 colours
    ReduceByChannelRotation,  // red, green and blue ramps taking turns pixel by pixel
    ReduceToGray,             // 256 greys
};

extern TReductionMethod DefaultReduction;

// A bitmap file (file header, 40-byte info header, palette, bottom-up rows) of the bitmap in
// the format: 1 and 4 bits by the nearest palette colour, 8 bits by the method, 24 bits as they
// are. "Bitmap image is not valid" for an empty bitmap; another format is not implemented
// (the information box, then a silent abort).
std::vector<uint8_t> BitmapToDIBStream(TBitmap& bitmap, TPixelFormat format, TReductionMethod method);
// The same with the format for a colour count (1 bit up to 2, 4 up to 16, 8 up to 256, else 24)
// and DefaultReduction.
std::vector<uint8_t> BitmapToDIBStreamByColors(TBitmap& bitmap, int colors);

// Bytes of a row of bits bits, padded to 32 bits.
constexpr int RowBytes(int bits) { return ((bits + 31) / 32) * 4; }
constexpr int ScanLineBytes(int width, int bits, int alignment = 32)
{
    return ((width * bits + alignment - 1) & ~(alignment - 1)) / 8;
}

// One reduction: width x height pixels of 24 bits (blue, green, red; rows top down, each of
// stride bytes) to palette indexes (top down, width per row) and a palette of 256 entries.
// Returns the number of colours used.
struct TReduction {
    std::vector<uint8_t> Indexes;
    std::vector<TColor> Palette;  // 256 entries
    int ColorsUsed = 256;
};
TReduction Reduce(const uint8_t* bgr, int width, int height, int stride, TReductionMethod method);

} // namespace QvGraph
