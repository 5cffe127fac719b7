// Pictures held as raw bytes in drawing records (report/output, no Qt): BMP files, and the
// recognition of a picture's kind from its bytes. Every size, offset, colour-table length and
// dimension is checked against the bytes before anything is decoded: a damaged picture
// decodes to nothing and draws nothing.
#pragma once

#include "RpxDevice.h"

#include "platform/runtime/Classes.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// Pixels (width x height) a decoded picture may have at most.
constexpr int64_t kRpxMaxPicturePixels = 64LL * 1024 * 1024;

// One BMP file.
class TRpxBitmap {
public:
    // Reads the file from the stream's position to its end; anything but a sound BMP leaves
    // the bitmap empty.
    void LoadFromStream(TStream& stream);
    void LoadFromBytes(std::span<const uint8_t> file);
    void Clear();
    bool Empty() const { return image_.Empty(); }

    // Into (left, top, right - left + 1, bottom - top + 1).
    void StretchDraw(TRpxDevice& dc, const TRpxRect& r) const;
    // At its natural size for a target of ppiX x ppiY pixels per inch (the device's own
    // resolution when 0).
    void Draw(TRpxDevice& dc, int x, int y, int ppiX = 0, int ppiY = 0) const;
    // Pixels at the target resolution: the file's own resolution when it gives one, else
    // DesignResolution.
    int DrawWidth(int ppiX) const;
    int DrawHeight(int ppiY) const;

    const TRpxImage& Image() const { return image_; }
    int PixelWidth = 0, PixelHeight = 0;
    int DesignResolution = 96;
    bool Monochrome = false;
    uint8_t HeaderKind = 0;   // 1 info header, 2 core header
    int ResolutionX = 0, ResolutionY = 0;   // from the file, 0 when it gives none

private:
    TRpxImage image_;
};

// A picture recognised from bytes. A metafile is recognised but not drawn (no metafile
// decoder here): its image stays empty.
struct TRpxPicture {
    enum Kind { pkBitmap, pkMetafile, pkIcon, pkJpeg } PictureKind = pkBitmap;
    TRpxImage Image;
    int Width() const { return Image.Width; }
    int Height() const { return Image.Height; }
    void Draw(TRpxDevice& dc, const TRpxRect& r) const { dc.DrawImage(r, Image); }
};

// Skips the 8-byte wrapper when present, then tries a bitmap, a metafile, an icon and a
// JPEG image in that order; none when all fail.
std::unique_ptr<TRpxPicture> GraphicFromStream(TStream& stream);
std::unique_ptr<TRpxPicture> GraphicFromBytes(std::span<const uint8_t> bytes);

// A device-independent bitmap (info or core header first) into pixels; false when damaged.
// forIcon: the height covers the image and its mask, and the mask follows the image.
// bitsOffset: where the pixels start from the header's start (0: right after the colours).
struct TRpxDibInfo {
    int PixelsPerMeterX = 0, PixelsPerMeterY = 0;
    uint8_t HeaderKind = 0;
    bool Monochrome = false;
};
bool DecodeDib(std::span<const uint8_t> dib, TRpxImage& image, bool forIcon, size_t bitsOffset = 0,
               TRpxDibInfo* info = nullptr);
bool DecodeJpeg(std::span<const uint8_t> bytes, TRpxImage& image);
