// The GIF pixel codec (gif layer, no Qt): the LZW decoder of one frame's table-based image data,
// and two encoders that write a GIF code stream, classic LZW with a hashed string table and a
// run-length coder that needs no dictionary (its runs are ordinary codes to any decoder).
#pragma once

#include "platform/runtime/ByteIO.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace GIFImg {

using TCodecWarning = std::function<void(const std::string& message)>;

// Decodes the image data at the reader's position into pixels (width x height indexes, already
// filled with the fill value), de-interlacing on the way. Data that ends early leaves the fill
// value and warns; a code stream that breaks the format raises GIFException. The reader is left
// after the block terminator in every case, so the frames after it can be read.
void DecodeImageData(TByteReader& reader, uint8_t* pixels, int width, int height, bool interlaced,
                     const TCodecWarning& warning);

// The string table of the LZW encoder: 2^14 slots (at most a quarter full), key shl 12 or code
// per slot, all ones when empty. Probing steps by an odd stride, so that the runs of slots that
// consecutive codes take for one pixel do not lie in each other's probe paths.
class THashTable {
public:
    static constexpr int kBits = 14;
    static constexpr uint32_t kSize = uint32_t(1) << kBits;
    static constexpr uint32_t kStep = 0x2F1;  // odd: every slot is reached
    THashTable() { Clear(); }
    void Clear() { slots_.fill(0xFFFFFFFFu); }
    // The key's code, or -1 with slot at the empty place where Put may store it.
    int Find(uint32_t key, uint32_t& slot) const
    {
        for (slot = Hash(key);; slot = (slot + kStep) & (kSize - 1)) {
            const uint32_t s = slots_[slot];
            if ((s >> 12) == key) return static_cast<int>(s & 0xFFF);
            if (s == 0xFFFFFFFFu) return -1;
        }
    }
    void Put(uint32_t slot, uint32_t key, int code) { slots_[slot] = (key << 12) | static_cast<uint32_t>(code); }

private:
    // The pixel moved above the prefix's low bits: one exclusive-or, so that a run of look-ups
    // (each waiting for the last) is not slowed by a multiplication; for one pixel every prefix
    // has a slot of its own.
    static uint32_t Hash(uint32_t key) { return ((key >> 8) ^ ((key & 0xFF) << (kBits - 8))) & (kSize - 1); }
    std::array<uint32_t, kSize> slots_;
};

// Cuts the code stream into data sub-blocks of up to 255 bytes.
class TGIFWriter {
public:
    explicit TGIFWriter(TByteWriter& out) : out_(out) {}
    ~TGIFWriter() { Flush(); }
    TGIFWriter(const TGIFWriter&) = delete;
    TGIFWriter& operator=(const TGIFWriter&) = delete;
    void Put(uint8_t b)
    {
        buffer_[++fill_] = b;
        if (fill_ == 255) Flush();
    }
    // Writes the pending block with its actual length.
    void Flush();

private:
    TByteWriter& out_;
    std::array<uint8_t, 256> buffer_{};
    int fill_ = 0;
};

// One frame encode: the initial code size, the sub-blocks and the terminator.
class TGIFEncoder {
public:
    virtual ~TGIFEncoder() = default;
    // Raises GIFException "Color not in color table" at the first index not below colorCount.
    void Encode(TByteWriter& stream, int bitsPerPixel, int colorCount, const uint8_t* data, bool interlaced,
                int height, int width);

protected:
    virtual void Output(int code);
    virtual void Clear();
    virtual void Compress() = 0;
    // The code at the current width into the sub-blocks, least significant bit first; the end
    // code also flushes the last partial byte.
    void Emit(int code)
    {
        if (bitCount_ > 0)
            bitBuffer_ = (static_cast<uint32_t>(code) << bitCount_) | (bitBuffer_ & ((1u << bitCount_) - 1));
        else
            bitBuffer_ = static_cast<uint32_t>(code);
        bitCount_ += bitsPerCode_;
        while (bitCount_ > 7) {
            writer_->Put(static_cast<uint8_t>(bitBuffer_));
            bitBuffer_ >>= 8;
            bitCount_ -= 8;
        }
        if (code == endCode_)
            while (bitCount_ > 0) {
                writer_->Put(static_cast<uint8_t>(bitBuffer_));
                bitBuffer_ >>= 8;
                bitCount_ -= 8;
            }
    }

    // The next pixel in file order (interlaced passes when asked); false past the last one.
    bool NextPixel();
    int Pixel() const { return *pixel_; }
    void CheckPixel(int c) const
    {
        if (c >= colorCount_) RefusePixel();
    }
    // Without interlacing the pixels are one run in file order: [first, last).
    bool Sequential() const { return !interlaced_; }
    const uint8_t* FirstPixel() const { return data_; }
    const uint8_t* PixelsEnd() const { return data_ + int64_t(width_) * height_; }

    int colorCount_ = 0;
    int initialCodeSize_ = 0;
    bool cleared_ = false;
    int bitsPerCode_ = 0;
    int initialBitsPerCode_ = 0;
    int maxCode_ = 0;
    int clearCode_ = 0;
    int endCode_ = 0;
    int firstFreeCode_ = 0;

private:
    [[noreturn]] static void RefusePixel();
    TGIFWriter* writer_ = nullptr;
    uint32_t bitBuffer_ = 0;
    int bitCount_ = 0;
    const uint8_t* data_ = nullptr;
    const uint8_t* pixel_ = nullptr;
    int width_ = 0, height_ = 0;
    bool interlaced_ = false;
    int64_t pixelsLeft_ = 0;
    int row_ = 0, pass_ = 0;
};

class TLZWEncoder : public TGIFEncoder {
public:
    TLZWEncoder() = default;

protected:
    void Output(int code) override;
    void Clear() override;
    void Compress() override;

private:
    // Emit, then the code width grows past the current maximum code, or drops back after a clear.
    void EmitCode(int code)
    {
        Emit(code);
        if (nextFreeCode_ > maxCode_ || cleared_) {
            if (cleared_) {
                bitsPerCode_ = initialBitsPerCode_;
                maxCode_ = (1 << bitsPerCode_) - 1;
                cleared_ = false;
            } else {
                ++bitsPerCode_;
                maxCode_ = bitsPerCode_ == 12 ? 4096 : (1 << bitsPerCode_) - 1;
            }
        }
    }
    int nextFreeCode_ = 0;
    THashTable* table_ = nullptr;
};

class TRLEEncoder : public TGIFEncoder {
protected:
    void Clear() override;
    void Compress() override;

private:
    void PlainOutput(int code);
    void FlushRun(int64_t count);
    void FlushFromClear(int64_t count);
    void FlushWithTable(int64_t count);
    int64_t TriangleCost(int64_t count, int64_t max) const;

    int maxOutCodes_ = 0;
    int bumpStart_ = 0, clearStart_ = 0;
    int runPixel_ = -1;
    int64_t runCount_ = 0;
    int64_t runTableSize_ = 0;
    int runTablePixel_ = -1;
    int64_t outCount_ = 0;
    int64_t nextClear_ = 0;
    int64_t nextBump_ = 0;
};

} // namespace GIFImg
