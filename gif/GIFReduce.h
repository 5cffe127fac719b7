// Colour reduction (gif layer): deep bitmaps to at most 256 colours by a fixed palette, the
// 216-colour cube or an octree palette, with nearest-colour mapping or Floyd-Steinberg error
// diffusion; the colour lookups and dither engines it is made of.
#pragma once

#include "gif/GIFImg.h"

#include <memory>
#include <vector>

namespace GIFImg {

// The fixed palettes.
TGIFPalette CubePalette();       // 216: index R x 36 + G x 6 + B, colour (R, G, B) x 51
TGIFPalette SystemPalette20();   // the 20 default system colours
TGIFPalette HalftonePalette();   // 256: the 20 system colours at 0-9 and 246-255, the cube, greys
TGIFPalette GrayPalette(int count);  // 4: 0, 128, 192, 255; 256: every grey; 2: black, white

// Maps a colour to a palette index and gives back the palette colour chosen.
class TColorLookup {
public:
    explicit TColorLookup(int colors) : colors_(colors) {}
    virtual ~TColorLookup() = default;
    int Colors() const { return colors_; }  // 0: the lookup cannot be used
    virtual int Lookup(int r, int g, int b, uint8_t& pr, uint8_t& pg, uint8_t& pb) = 0;

private:
    int colors_;
};

// The nearest palette colour (sum of channel differences, the first entry among equals), cached
// per 15-bit colour cell.
class TFastColorLookup : public TColorLookup {
public:
    explicit TFastColorLookup(const TGIFPalette& palette);
    int Lookup(int r, int g, int b, uint8_t& pr, uint8_t& pg, uint8_t& pb) override;

private:
    std::vector<uint8_t> entries_;  // red, green, blue
    std::vector<int16_t> inverse_;  // 32768 cells: an index or -1
};

class TNetscapeColorLookup : public TColorLookup {
public:
    TNetscapeColorLookup() : TColorLookup(216) {}
    int Lookup(int r, int g, int b, uint8_t& pr, uint8_t& pg, uint8_t& pb) override;
};

class TGrayScaleLookup : public TColorLookup {
public:
    TGrayScaleLookup() : TColorLookup(256) {}
    int Lookup(int r, int g, int b, uint8_t& pr, uint8_t& pg, uint8_t& pb) override;
};

class TMonochromeLookup : public TColorLookup {
public:
    TMonochromeLookup() : TColorLookup(2) {}
    int Lookup(int r, int g, int b, uint8_t& pr, uint8_t& pg, uint8_t& pb) override;
};

// Walks rows in serpentine order: Column() and Direction() say where the next pixel is.
class TDitherEngine {
public:
    TDitherEngine(int width, TColorLookup& lookup) : lookup_(lookup), width_(width) {}
    virtual ~TDitherEngine() = default;
    virtual int Dither(int r, int g, int b, uint8_t& pr, uint8_t& pg, uint8_t& pb);
    virtual void NextLine();
    int Direction() const { return direction_; }
    int Column() const { return column_; }

protected:
    int direction_ = 1;
    int column_ = 0;
    TColorLookup& lookup_;
    int width_;
};

// Floyd-Steinberg: 7/16 ahead, 3/16 below behind, 5/16 below, 1/16 below ahead (errors x 16).
class TFloydSteinbergEngine : public TDitherEngine {
public:
    TFloydSteinbergEngine(int width, TColorLookup& lookup);
    int Dither(int r, int g, int b, uint8_t& pr, uint8_t& pg, uint8_t& pb) override;
    void NextLine() override;

private:
    std::array<std::vector<int>, 3> errors_;
    int position_ = 0;
    std::array<int, 3> running_{}, below_{}, belowBehind_{};
};

// An octree palette of the bitmap's colours: colors entries (leaf colours first), or 256 with the
// 20 system colours around 236 octree colours.
TGIFPalette MakeOctreePalette(TBitmap& bitmap, int colors, int colorBits, bool withSystemColors);

// A new bitmap of at most 256 colours (8 bits with a palette; a 24-bit copy for rdNone). The
// source is not changed.
std::unique_ptr<TBitmap> ReduceBitmapColors(TBitmap& bitmap, TGIFColorReduction method, TGIFDitherMode mode,
                                            int bits);

} // namespace GIFImg
