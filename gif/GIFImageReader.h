// The animated GIF control's own reader (no Qt): the blocks of a GIF file into frames of
// colour indices. Each frame's image data may be decoded at once or later, from the same
// bytes, when the frame is first shown.
//
// Hostile files: an unknown extension label or a stray byte where a block should start ends
// the read keeping the frames read; extension blocks of unexpected sizes are skipped by their
// sub-blocks; the LZW decoder never follows a code it has not defined; the logical screen and
// the frames together are capped in size. A file cut short inside a block raises EReadError.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace GIFImage {

enum class TGIFVersion { gvGIF87a, gvGIF89a };

// Largest logical screen side, logical screen area and sum of all frame areas, in pixels.
constexpr int kMaxScreenSide = 16384;
constexpr int64_t kMaxScreenArea = 32LL << 20;
constexpr int64_t kMaxTotalFrameArea = 128LL << 20;

using TColorTable = std::array<uint8_t, 768>;  // 256 RGB triples

struct TGIFFrame {
    int32_t Left = 0, Top = 0, Width = 0, Height = 0;
    int ColorBits = 0;     // bits of its local table; 0 without one
    int PaletteBits = 0;   // bits of the table in use (local, or the global bits so far)
    int32_t Delay = 0;     // milliseconds
    uint8_t Disposal = 0;  // 0, 1, 2 or 3
    bool HasLocalTable = false;
    bool Interlaced = false;
    bool Transparent = false;
    uint8_t TransparentIndex = 0;
    std::array<uint8_t, 3> TransparentColor{};  // R, G, B
    std::string Comment;
    TColorTable Table{};  // its own table or a copy of the global one

    // The compressed image: the minimum code size and where its sub-blocks start.
    uint8_t MinCodeSize = 0;
    size_t DataOffset = 0;
    // Colour indices, top row first, Width x Height; empty until decoded.
    std::vector<uint8_t> Pixels;
    bool Decoded = false;
};

struct TGIFFile {
    TGIFVersion Version = TGIFVersion::gvGIF87a;
    int ScreenWidth = 0, ScreenHeight = 0;  // widened to cover every frame
    int GlobalBits = 0;
    TColorTable GlobalTable{};
    int LoopCount = 1;  // from the looping block; 1 without one
    bool AnyTransparent = false;
    std::vector<TGIFFrame> Frames;
};

// Called with the read position and the size of the bytes; may throw (EAbort) to stop.
using TReadProgress = std::function<void(size_t position, size_t size)>;

struct TGIFReadOptions {
    bool FirstImageOnly = false;
    bool DecodeAll = true;  // false: only frame 1 is decoded while reading
    TReadProgress Progress;
};

enum class TGIFReadResult { Ok, NoData, Invalid };

// Reads the whole file into `file`. NoData for no bytes; Invalid for a missing signature, a
// frame of zero width or height, a minimum code size above 11, no frame at all or a picture
// past the size caps. A file cut short raises EReadError; Progress may raise.
TGIFReadResult ReadGIF(std::span<const uint8_t> bytes, const TGIFReadOptions& options, TGIFFile& file);

// Decodes a frame read earlier from the same bytes (does nothing when decoded). Damaged data
// ends the image early; the rest stays index 0.
void DecodeFrame(std::span<const uint8_t> bytes, TGIFFrame& frame, const TReadProgress& progress = {});

}  // namespace GIFImage
