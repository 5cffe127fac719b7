// GIF writer. Block layout follows the GIF89a standard: header, logical screen descriptor,
// global colour table, application extension (looping), comment and graphic control extensions,
// image descriptor, local colour table, table-based image data, trailer.
#include "GIFWriter.h"

#include "gif/GIFColorIndex.h"

#include "platform/runtime/ByteIO.h"

#include <algorithm>
#include <vector>

namespace GIFImage {

namespace {
uint8_t lastError = gifOK;

using ColorTable = GIFImg::TGIFColorIndex;

// One frame's pixels as colour indexes, rows in the order they are written.
struct FramePixels {
    std::vector<uint8_t> indexes;
    uint8_t transparentIndex = 255;  // 255: none
};

// Source rows in output order: top to bottom, or the four interlace passes
// (every 8th row from 0, every 8th from 4, every 4th from 2, every 2nd from 1).
std::vector<int> RowOrder(int height, bool interlaced)
{
    std::vector<int> rows;
    rows.reserve(static_cast<size_t>(height));
    if (!interlaced) {
        for (int y = 0; y < height; ++y) rows.push_back(y);
        return rows;
    }
    struct Pass {
        int start, step;
    };
    for (const Pass p : {Pass{0, 8}, Pass{4, 8}, Pass{2, 4}, Pass{1, 2}})
        for (int y = p.start; y < height; y += p.step) rows.push_back(y);
    return rows;
}

bool CollectFrameColors(const TFrameInfo& frame, ColorTable& table, FramePixels& out)
{
    lastError = gifCollecting;
    TBitmap& bitmap = *frame.Bitmap;
    bitmap.SetPixelFormat(pf24bit);
    const int width = bitmap.Width();
    out.indexes.assign(static_cast<size_t>(width) * static_cast<size_t>(bitmap.Height()), 0);
    // Searched afresh on every collection: a frame collected again into its own table must not
    // keep an index of the shared one.
    out.transparentIndex = 255;
    const uint8_t tr = static_cast<uint8_t>(GetRValue(frame.TransparentColor));
    const uint8_t tg = static_cast<uint8_t>(GetGValue(frame.TransparentColor));
    const uint8_t tb = static_cast<uint8_t>(GetBValue(frame.TransparentColor));
    bool seekTransparent = frame.Transparent;

    size_t n = 0;
    for (int y : RowOrder(bitmap.Height(), frame.Interlaced)) {
        const uint8_t* line = bitmap.ScanLine(y);
        for (int x = 0; x < width; ++x) {
            const uint8_t b = line[3 * x], g = line[3 * x + 1], r = line[3 * x + 2];
            const int i = table.IndexOf(r, g, b);
            if (i < 0) {
                table.overflowed = true;
                lastError = gifTooManyColors;
                return false;
            }
            out.indexes[n++] = static_cast<uint8_t>(i);
            if (seekTransparent && r == tr && g == tg && b == tb) {
                out.transparentIndex = static_cast<uint8_t>(i);
                seekTransparent = false;
            }
        }
    }
    lastError = gifOK;
    return true;
}

// Global or local colour table: 2^bits triples red, green, blue; entries past the count are zero.
void WriteColorTable(TByteWriter& w, const ColorTable& table, int bits)
{
    const int entries = 1 << bits;
    for (int i = 0; i < entries; ++i)
        for (int c = 0; c < 3; ++c) w.U8(i < table.count ? table.rgb[3 * i + c] : 0);
}

void WriteLogicalScreen(TByteWriter& w, int width, int height, const ColorTable* global)
{
    const int bits = global ? BitsForColorCount(global->count) : 0;
    w.U16(static_cast<uint16_t>(width));
    w.U16(static_cast<uint16_t>(height));
    // global table flag (bit 7) | colour resolution 0 | sort flag 0 | table size (bits 0-2)
    w.U8(global ? static_cast<uint8_t>(0x80 | (bits - 1)) : 0);
    w.U8(0);  // background colour index
    w.U8(0);  // pixel aspect ratio
    if (global) WriteColorTable(w, *global, bits);
}

// Application extension "NETSCAPE2.0": sub-block 1 holds the loop count.
void WriteLoopingBlock(TByteWriter& w, uint16_t loopCount)
{
    w.U8(0x21);
    w.U8(0xFF);
    w.U8(11);
    w.String("NETSCAPE2.0");
    w.U8(3);
    w.U8(1);
    w.U16(loopCount);
    w.U8(0);
}

void WriteComment(TByteWriter& w, std::string_view text)
{
    w.U8(0x21);
    w.U8(0xFE);
    while (!text.empty()) {
        const size_t n = std::min<size_t>(text.size(), 255);
        w.U8(static_cast<uint8_t>(n));
        w.String(text.substr(0, n));
        text.remove_prefix(n);
    }
    w.U8(0);
}

void WriteGraphicControl(TByteWriter& w, const TFrameInfo& frame, uint8_t transparentIndex)
{
    uint8_t packed = 0;
    switch (frame.Disposal) {  // disposal method, bits 2-4
    case 1: packed = 4; break;
    case 2: packed = 8; break;
    case 3: packed = 12; break;
    default: break;
    }
    const bool transparent = frame.Transparent && transparentIndex != 255;
    if (transparent) packed |= 1;  // transparent colour flag
    w.U8(0x21);
    w.U8(0xF9);
    w.U8(4);  // block size
    w.U8(packed);
    w.U16(static_cast<uint16_t>(std::clamp(frame.Delay / 10, 0, 0xFFFF)));  // hundredths of a second
    w.U8(transparent ? transparentIndex : 0);
    w.U8(0);
}

void WriteImageDescriptor(TByteWriter& w, const TFrameInfo& frame, const ColorTable* local)
{
    const TBitmap& bitmap = *frame.Bitmap;
    const int bits = local ? BitsForColorCount(local->count) : 0;
    w.U8(0x2C);
    w.U16(static_cast<uint16_t>(frame.Left));
    w.U16(static_cast<uint16_t>(frame.Top));
    w.U16(static_cast<uint16_t>(bitmap.Width()));
    w.U16(static_cast<uint16_t>(bitmap.Height()));
    uint8_t packed = local ? static_cast<uint8_t>(0x80 | (bits - 1)) : 0;  // local table flag, size
    if (frame.Interlaced) packed |= 0x40;                                   // interlace flag
    w.U8(packed);
    if (local) WriteColorTable(w, *local, bits);
}

// Variable-length-code LZW with a hashed string table, codes packed least significant bit
// first into data sub-blocks of up to 255 bytes.
class LzwEncoder {
public:
    LzwEncoder(TByteWriter& w, int bits) : w_(w), keys_(kEntries, -1), codes_(kEntries, 0)
    {
        const int minCodeSize = bits == 1 ? 2 : bits;
        w_.U8(static_cast<uint8_t>(minCodeSize));
        initWidth_ = minCodeSize + 1;
        width_ = initWidth_;
        clearCode_ = 1 << minCodeSize;
        endCode_ = clearCode_ + 1;
        nextCode_ = clearCode_ + 2;
        maxCode_ = (1 << width_) - 1;
    }

    void Encode(const std::vector<uint8_t>& pixels)
    {
        Emit(clearCode_);
        int prefix = pixels.empty() ? 0 : pixels[0];
        for (size_t i = 1; i < pixels.size(); ++i) {
            const int pixel = pixels[i];
            const int32_t key = (pixel << 12) + prefix;
            int pos = (pixel << 4) ^ prefix;
            bool hit = keys_[pos] == key;
            if (!hit && keys_[pos] != -1) {
                const int step = pos == 0 ? 1 : kProbes - pos;
                for (;;) {
                    pos -= step;
                    if (pos < 0) pos += kProbes;
                    if (keys_[pos] == key) {
                        hit = true;
                        break;
                    }
                    if (keys_[pos] == -1) break;
                }
            }
            if (hit) {
                prefix = codes_[pos];
                continue;
            }
            Emit(prefix);
            prefix = pixel;
            if (nextCode_ < kCodeLimit) {
                codes_[pos] = static_cast<uint16_t>(nextCode_++);
                keys_[pos] = key;
            } else {
                std::fill(keys_.begin(), keys_.end(), -1);
                nextCode_ = clearCode_ + 2;
                clearFlag_ = true;
                Emit(clearCode_);
            }
        }
        Emit(prefix);
        Emit(endCode_);
        while (bitCount_ > 0) {
            PutByte(static_cast<uint8_t>(bits_));
            bits_ >>= 8;
            bitCount_ -= 8;
        }
        FlushBlock();
        w_.U8(0);  // block terminator
    }

private:
    static constexpr int kProbes = 5119;  // a prime: the probe sequence reaches every position
    static constexpr int kEntries = 5120;
    static constexpr int kCodeLimit = 4096;

    void Emit(int code)
    {
        bits_ |= static_cast<uint32_t>(code) << bitCount_;
        bitCount_ += width_;
        while (bitCount_ >= 8) {
            PutByte(static_cast<uint8_t>(bits_));
            bits_ >>= 8;
            bitCount_ -= 8;
        }
        if (clearFlag_) {
            clearFlag_ = false;
            width_ = initWidth_;
            maxCode_ = (1 << width_) - 1;
        } else if (nextCode_ > maxCode_) {
            ++width_;
            maxCode_ = width_ == 12 ? kCodeLimit : (1 << width_) - 1;
        }
    }

    void PutByte(uint8_t b)
    {
        block_[blockLength_++] = b;
        if (blockLength_ == 255) FlushBlock();
    }

    void FlushBlock()
    {
        if (blockLength_ == 0) return;
        w_.U8(static_cast<uint8_t>(blockLength_));
        w_.Bytes(block_.data(), static_cast<size_t>(blockLength_));
        blockLength_ = 0;
    }

    TByteWriter& w_;
    std::vector<int32_t> keys_;
    std::vector<uint16_t> codes_;
    int initWidth_ = 0, width_ = 0, clearCode_ = 0, endCode_ = 0, nextCode_ = 0, maxCode_ = 0;
    bool clearFlag_ = false;
    uint32_t bits_ = 0;
    int bitCount_ = 0;
    std::array<uint8_t, 255> block_{};
    int blockLength_ = 0;
};

bool EncodeFrameLZW(TByteWriter& w, const FramePixels& pixels, int colorCount)
{
    const int bits = BitsForColorCount(colorCount);
    if (bits == 0) {
        lastError = gifWriting;
        return false;
    }
    LzwEncoder(w, bits).Encode(pixels.indexes);
    return true;
}

// A job the format can hold: 1 to 256 frames, each with pixels, placed within 16-bit coordinates.
bool JobIsWritable(const TGIFWriteJob& job)
{
    if (job.FrameCount < 1 || job.FrameCount > kMaxFrames) return false;
    for (int i = 0; i < job.FrameCount; ++i) {
        const TFrameInfo* f = job.Frames[static_cast<size_t>(i)];
        if (!f || !f->Bitmap || f->Bitmap->Empty()) return false;
        if (f->Left < 0 || f->Top < 0 || int64_t(f->Left) + f->Bitmap->Width() > 0xFFFF ||
            int64_t(f->Top) + f->Bitmap->Height() > 0xFFFF)
            return false;
    }
    return true;
}

constexpr std::string_view kSignature = "Belvor";
} // namespace

uint8_t LastError() { return lastError; }

int BitsForColorCount(int count)
{
    if (count < 0 || count > 256) return 0;
    int bits = 1;
    while ((1 << bits) < count) ++bits;
    return bits;
}

bool WriteGIFStream(TGIFWriteJob& job, TStream& stream)
{
    lastError = gifWriting;
    if (!JobIsWritable(job)) return false;
    const int count = job.FrameCount;
    auto frame = [&](int i) -> TFrameInfo& { return *job.Frames[static_cast<size_t>(i)]; };

    int screenWidth = 0, screenHeight = 0;
    for (int i = 0; i < count; ++i) {
        screenWidth = std::max(screenWidth, frame(i).Bitmap->Width() + frame(i).Left);
        screenHeight = std::max(screenHeight, frame(i).Bitmap->Height() + frame(i).Top);
    }

    ColorTable table;
    std::vector<FramePixels> pixels(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        if (!job.GlobalTable && i > 0) continue;
        if (CollectFrameColors(frame(i), table, pixels[static_cast<size_t>(i)])) continue;
        if (job.GlobalTable && table.overflowed && i > 0) {
            job.GlobalTable = false;  // the frames get tables of their own
            continue;
        }
        return false;
    }

    const bool animation = count > 1;
    const bool oneTable = !animation || job.GlobalTable;
    // The file is assembled here and reaches the caller's stream only when complete.
    TByteWriter w;
    w.String("GIF89a");
    WriteLogicalScreen(w, screenWidth, screenHeight, oneTable ? &table : nullptr);
    if (animation) WriteLoopingBlock(w, job.LoopCount);
    for (int i = 0; i < count; ++i) {
        TFrameInfo& f = frame(i);
        FramePixels& p = pixels[static_cast<size_t>(i)];
        if (!oneTable) {
            table.Clear();
            if (!CollectFrameColors(f, table, p)) return false;
        }
        if (!f.Comment.empty()) WriteComment(w, f.Comment);
        WriteGraphicControl(w, f, p.transparentIndex);
        WriteImageDescriptor(w, f, oneTable ? nullptr : &table);
        if (!EncodeFrameLZW(w, p, table.count)) return false;
        p.indexes = {};  // done with it
    }
    WriteComment(w, kSignature);
    w.U8(0x3B);  // trailer

    stream.WriteBuffer(w.Bytes().data(), static_cast<int64_t>(w.Position()));
    lastError = gifOK;
    return true;
}

bool SaveBitmapToGIFFile(const std::string& fileName, TBitmap& bitmap, bool interlaced, bool transparent,
                         TColor transparentColor)
{
    TFrameInfo frame;
    frame.Bitmap = &bitmap;
    frame.Width = bitmap.Width();
    frame.Height = bitmap.Height();
    frame.Interlaced = interlaced;
    frame.Transparent = transparent;
    frame.TransparentColor = transparentColor;
    TGIFWriteJob job;
    job.FrameCount = 1;
    job.Frames[0] = &frame;
    job.LoopCount = 0;
    job.GlobalTable = true;

    TMemoryStream m;
    if (!WriteGIFStream(job, m)) return false;
    m.SaveToFile(fileName);
    return true;
}

} // namespace GIFImage
