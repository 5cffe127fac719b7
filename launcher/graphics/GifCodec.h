// The launcher's GIF stream codec (graphics library, no Qt): the GIF87a/89a block parser, the
// LZW decoder and encoder. The picture class (QvGIF.h) builds its frames and bitmaps on these.
//
// Errors are EInvalidGraphicOperation with the library's texts (QvGConst.strings); damaged
// structure is "Stream read error" of the same class.
#pragma once

#include "launcher/graphics/QvGConst.h"

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

class TByteWriter;

namespace QvGIF {

// Raises EInvalidGraphicOperation with text id.
[[noreturn]] void GIFError(int32_t id);
[[noreturn]] void GIFStreamReadError();

struct TRGBTriple {
    uint8_t R = 0, G = 0, B = 0;
    friend bool operator==(const TRGBTriple&, const TRGBTriple&) = default;
};

// A GIF colour table: Count entries (0 to 256) of red, green, blue.
struct TColorTable {
    int32_t Count = 0;
    std::array<TRGBTriple, 256> Entries{};
    friend bool operator==(const TColorTable&, const TColorTable&) = default;
};

// 2 -> 1, 4 -> 2, ..., 256 -> 8; any other count raises "Wrong number of colors".
int ColorsToBits(int colors);
// The smallest n >= 1 with 2^n >= count.
int BitsForCount(int count);

enum TExtensionKind : uint8_t { ekGraphicControl = 0, ekPlainText = 1, ekApplication = 2, ekComment = 3 };

// One extension block: its kind, the bytes after the label up to its sub-blocks (6 for a
// graphic control, 13 for plain text, 12 for application, none for a comment) and the data
// sub-blocks, one string each.
struct TExtensionBlock {
    TExtensionKind Kind = ekComment;
    std::vector<uint8_t> Record;
    std::vector<std::string> Data;
};

// One image as it stands in the stream.
struct TFrameRecord {
    uint16_t Left = 0, Top = 0, Width = 0, Height = 0;
    uint8_t Packed = 0;
    bool Interlaced = false;
    bool LocalTable = false;
    int TableBits = 0;  // bits of the local table, or of the global one; 0 when neither
    TColorTable Colors;  // the local table, or a copy of the global one
    std::vector<uint8_t> ImageData;  // code size byte, sub-blocks and terminator, as in the file
    bool Corrupted = false;          // the data sub-blocks were cut short
    std::vector<TExtensionBlock> Extensions;  // graphic control and comment blocks before it
};

struct TGIFStream {
    int Version = 0;  // 1 "87a", 2 "89a"
    uint16_t ScreenWidth = 0, ScreenHeight = 0;
    uint8_t BitsPerPixel = 0, ColorResolution = 0, BackgroundIndex = 0, AspectRatio = 0;
    TColorTable Global;           // Count 0 without a global table
    bool HasBackground = false;   // the background index lies inside the global table
    std::vector<TFrameRecord> Frames;
    std::vector<std::string> Comment;  // comment blocks after the last image
    bool Looping = false;
    int16_t RepeatCount = 1;
};

// Parses a whole GIF file. Damaged structure raises; what was read before stays in `out`.
// A frame whose data is cut short is kept, marked corrupted, when tolerant; else it raises.
void ParseGIF(std::span<const uint8_t> bytes, bool tolerant, TGIFStream& out);

// Frames larger than this many pixels are refused before anything is allocated.
constexpr uint64_t kMaxFramePixels = uint64_t(1) << 26;
// All frames of one picture together: some 170 times the splash picture, decoded in a small
// fraction of a second. A picture asking for more is refused as a whole when it is read, so
// a small hostile file cannot cost seconds and gigabytes once it is drawn.
constexpr uint64_t kMaxPicturePixels = uint64_t(1) << 24;

// The next row of an interlaced image (passes step 8, 8, 4, 2 from rows 0, 4, 2, 1); empty
// passes are passed over. Returns height or more when the image is done.
int NextInterlaceRow(int row, int& pass, int height);

using TRowProgress = std::function<void(int percent)>;

// Decodes image data (code size byte, sub-blocks) into width x height palette indexes, top row
// first, rows stride bytes apart (0: width); each index is and-ed with pixelMask. Returns true
// when the data was damaged (decoded as far as it went, the rest left as it was). Not
// tolerant, damage raises.
bool DecodeLZW(std::span<const uint8_t> data, int width, int height, bool interlaced, uint8_t pixelMask,
               bool tolerant, uint8_t* pixels, const TRowProgress& progress = {}, size_t stride = 0);

// Encodes a bottom-up bitmap file's rows (1, 4 or 8 bits per pixel, rows padded to 4 bytes)
// as GIF image data: the code size byte, the sub-blocks and the terminator.
void EncodeLZW(TByteWriter& out, int width, int height, int bitsPerPixel, bool interlaced, const uint8_t* rows,
               const TRowProgress& progress = {});

} // namespace QvGIF
