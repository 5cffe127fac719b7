// GIF writer: bitmaps to GIF89a files, one frame or an animation of up to 256 frames.
//
// The writer collects each frame's colours itself (at most 256 per frame, in order of first
// appearance) and LZW-encodes the pixels; it does not reduce colours. It never raises for bad
// input: it returns false and leaves a numeric code in LastError().
#pragma once

#include "platform/graphics/Graphics.h"

#include <array>
#include <cstdint>
#include <string>

namespace GIFImage {

// One frame of a write job.
struct TFrameInfo {
    TBitmap* Bitmap = nullptr;  // the picture; not owned. Its pixel format is set to 24 bits.
    int32_t Left = 0;           // position on the logical screen, pixels
    int32_t Top = 0;
    int32_t Width = 0;          // the bitmap's size when the job was made; the bitmap is asked again
    int32_t Height = 0;
    int32_t Delay = 0;          // display time, milliseconds (written in hundredths of a second)
    bool Interlaced = false;
    bool Transparent = false;
    TColor TransparentColor = clWhite;  // the colour shown see-through
    uint8_t Disposal = 0;       // 0 none, 1 leave in place, 2 restore background, 3 restore previous
    std::string Comment;        // written ahead of the frame; empty: none
};

constexpr int kMaxFrames = 256;

struct TGIFWriteJob {
    int32_t FrameCount = 0;                           // 1..256
    std::array<TFrameInfo*, kMaxFrames> Frames{};     // Frames[0 .. FrameCount - 1] are used
    uint16_t LoopCount = 0;                           // animations only; 0 loops for ever
    // One colour table for all frames. Cleared by the writer when the frames together hold more
    // than 256 colours; each frame then gets its own table.
    bool GlobalTable = true;
};

// The last-error codes.
enum : uint8_t {
    gifOK = 0,
    gifWriting = 2,        // the stream could not be made (a frame without pixels, a bad job)
    gifTooManyColors = 4,  // a frame holds more than 256 colours
    gifCollecting = 6,     // left while colours are being collected
};
uint8_t LastError();

// Bits per pixel for a number of colours: 1 for up to 2, ... 8 for up to 256; 0 beyond.
int BitsForColorCount(int count);

// Appends a complete GIF89a file for the job to stream. False (and the stream untouched) when a
// frame has more than 256 colours, has no pixels, lies beyond 65535 pixels, or the job is malformed.
bool WriteGIFStream(TGIFWriteJob& job, TStream& stream);

// Writes bitmap as a one-frame GIF file, assembled in memory and saved in one piece. On false no
// file is created or touched. A file that cannot be created raises EFCreateError.
bool SaveBitmapToGIFFile(const std::string& fileName, TBitmap& bitmap, bool interlaced, bool transparent,
                         TColor transparentColor);

} // namespace GIFImage
