// Scan-line access to bitmaps for the GIF library (gif layer): a reader and a writer at a
// chosen pixel format. Our bitmaps are device-independent already, so both work on the
// bitmap's own rows; the writer refuses formats a GIF frame is never rendered in.
#pragma once

#include "platform/graphics/Graphics.h"

namespace GIFImg {

class TDIB {
public:
    TDIB(TBitmap& bitmap, TPixelFormat format) : bitmap_(bitmap), format_(format) {}
    virtual ~TDIB() = default;
    TDIB(const TDIB&) = delete;
    TDIB& operator=(const TDIB&) = delete;
    // Row row, top down (EInvalidGraphicOperation "Scan line index out of range" outside).
    virtual uint8_t* ScanLine(int row) { return bitmap_.ScanLine(row); }
    TBitmap& Bitmap() const { return bitmap_; }
    TPixelFormat PixelFormat() const { return format_; }

protected:
    TBitmap& bitmap_;
    TPixelFormat format_;
};

// Sets the bitmap's pixel format to the one asked for, then reads its rows.
class TDIBReader : public TDIB {
public:
    TDIBReader(TBitmap& bitmap, TPixelFormat format);
};

// Writes rows of 1, 4, 8 or 24 bits per pixel ("Unsupported PixelFormat" for any other, "Bitmap
// image is not valid" for an empty bitmap); the bitmap reports its change when the writer goes.
class TDIBWriter : public TDIB {
public:
    TDIBWriter(TBitmap& bitmap, TPixelFormat format);
    ~TDIBWriter() override;
};

} // namespace GIFImg
