// The GIF pixel codec: table-based image data (GIF89a section 22, appendix F).
#include "gif/GIFCodec.h"

#include "gif/GIFImg.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace GIFImg {

namespace {
constexpr int kTableSize = 4096;  // codes are at most 12 bits

// One frame's decode: code tables, expansion stack and the sub-block bit reader.
class TFrameDecoder {
public:
    TFrameDecoder(TByteReader& reader, int initialCodeSize, const TCodecWarning& warning)
        : reader_(reader), warning_(warning), initialCodeSize_(initialCodeSize)
    {
        clearCode_ = 1 << initialCodeSize_;
        endCode_ = clearCode_ + 1;
        codeSize_ = initialCodeSize_ + 1;
        maxCode_ = 2 * clearCode_;
        freeCode_ = clearCode_ + 2;
    }

    // The next pixel, or a negative value when the data ends (end code, or no more bits).
    int Take()
    {
        if (top_ > 0) return stack_[--top_];
        return CodeStep();
    }

    // Up to n pixels into out; fewer when the data end first. A string that fits is written
    // straight into out; only one that runs past n goes through the stack.
    int64_t Read(uint8_t* out, int64_t n)
    {
        int64_t done = 0;
        while (done < n) {
            if (top_ > 0) {
                const int64_t k = std::min<int64_t>(top_, n - done);
                for (int64_t i = 0; i < k; ++i) out[done++] = stack_[--top_];
                continue;
            }
            const int code = ReadCode(codeSize_);
            if (code < 0) break;
            if (code == clearCode_ || code == endCode_) {
                const int v = Special(code);
                if (v < 0) break;
                lastOut_ = out + done;
                lastLength_ = 1;
                out[done++] = static_cast<uint8_t>(v);
                continue;
            }
            done += Expand(code, out + done, n - done);
        }
        return done;
    }

    bool EndOfBlocks() const { return endOfBlocks_; }
    // Every pixel is in: data that ends without its end code is no loss.
    void PixelsComplete() { underRun_ = true; }

    // Skips the sub-blocks up to the terminator, quietly: used where the frame is done.
    void SkipRest()
    {
        while (!endOfBlocks_ && !reader_.AtEnd()) {
            const size_t length = reader_.U8();
            if (length == 0) break;
            reader_.Skip(std::min(length, reader_.Remaining()));
        }
        endOfBlocks_ = done_ = true;
    }

private:
    void Push(int value)
    {
        if (top_ >= static_cast<int>(stack_.size())) throw GIFException("Decoder code out of range");
        stack_[top_++] = static_cast<uint8_t>(value);
    }

    int CodeStep()
    {
        const int code = ReadCode(codeSize_);
        if (code < 0) return code;
        lastOut_ = nullptr;
        if (code == clearCode_ || code == endCode_) return Special(code);
        Expand(code, nullptr, 0);
        return stack_[--top_];
    }

    // A clear code (and the literal after it) or an end code.
    int Special(int code)
    {
        if (code == endCode_) return EndStep();
        for (int i = 0; i < clearCode_; ++i) {
            suffix_[i] = static_cast<uint16_t>(i);
            prefix_[i] = 0;
            length_[i] = 1;
        }
        // Entries past the literals are written before any code may name them.
        codeSize_ = initialCodeSize_ + 1;
        maxCode_ = 2 * clearCode_;
        freeCode_ = clearCode_ + 2;
        top_ = 0;
        do code = ReadCode(codeSize_);
        while (code == clearCode_);
        if (code < 0) return code;
        if (code == endCode_) return EndStep();
        // Right after a clear only a literal can follow: the table holds nothing else.
        if (code > clearCode_) throw GIFException("Decoder code out of range");
        firstCode_ = oldCode_ = code;
        return code;
    }

    // The string of a literal or table code: into out when it fits in room, else onto the stack
    // (returning 0); then the table learns the previous string plus this one's first pixel.
    int64_t Expand(int code, uint8_t* out, int64_t room)
    {
        const int inCode = code;
        if (code > freeCode_ || (code == freeCode_ && oldCode_ < 0)) throw GIFException("Decoder code out of range");
        // The code being defined is the previous string plus its own first pixel.
        const bool pending = code == freeCode_;
        const int length = pending ? length_[oldCode_] + 1 : length_[code];
        int64_t written = 0;
        const uint8_t* previous = nullptr;  // where the previous string lies, followed by this one
        if (out && length <= room) {
            if (!pending && code >= clearCode_ && where_[static_cast<size_t>(code)]) {
                // The string was written before in one piece: copy it.
                std::memcpy(out, where_[static_cast<size_t>(code)], static_cast<size_t>(length));
            } else {
                int at = length - 1;
                if (pending) {
                    out[at--] = static_cast<uint8_t>(firstCode_);
                    code = oldCode_;
                }
                while (code >= clearCode_ && at > 0) {
                    out[at--] = static_cast<uint8_t>(suffix_[code]);
                    code = prefix_[code];
                }
                if (code >= clearCode_ || at != 0) throw GIFException("Circular decoder table entry");
                out[0] = static_cast<uint8_t>(code);
            }
            firstCode_ = out[0];
            written = length;
            if (lastOut_ && lastOut_ + lastLength_ == out) previous = lastOut_;
            lastOut_ = out;
            lastLength_ = length;
        } else {
            lastOut_ = nullptr;
            if (pending) {
                Push(firstCode_);
                code = oldCode_;
            }
            while (code >= clearCode_) {
                Push(suffix_[code]);
                if (prefix_[code] == code) throw GIFException("Circular decoder table entry");
                code = prefix_[code];
            }
            firstCode_ = suffix_[code];
            Push(firstCode_);
        }
        if (freeCode_ < kTableSize) {
            prefix_[freeCode_] = static_cast<uint16_t>(oldCode_);
            suffix_[freeCode_] = static_cast<uint16_t>(firstCode_);
            length_[freeCode_] = static_cast<uint16_t>(length_[oldCode_] + 1);
            where_[static_cast<size_t>(freeCode_)] = previous;
            ++freeCode_;
            if (freeCode_ >= maxCode_ && maxCode_ < kTableSize) {
                maxCode_ *= 2;
                ++codeSize_;
            }
        }
        oldCode_ = inCode;
        return written;
    }

    int EndStep()
    {
        if (!endOfBlocks_) SkipRest();
        return -2;
    }

    // The next code of n bits, least significant bit first across the sub-blocks.
    int ReadCode(int n)
    {
        if (fresh_) {  // a code stream that does not start with a clear code reads as if it did
            fresh_ = false;
            return clearCode_;
        }
        while (bitPos_ + n > lastBit_) {
            if (done_) {
                // The frame wants more than its data holds; the rest keeps the fill value.
                if (!underRun_) warning_("Decoder bit buffer under-run");
                underRun_ = true;
                return -1;
            }
            // The unread bits (fewer than n) lie in the last two bytes: carry them over.
            buffer_[0] = buffer_[static_cast<size_t>(lastByte_ - 2)];
            buffer_[1] = buffer_[static_cast<size_t>(lastByte_ - 1)];
            size_t length = 0;
            if (reader_.AtEnd()) {
                done_ = endOfBlocks_ = true;
            } else {
                length = reader_.U8();
                if (length == 0) done_ = endOfBlocks_ = true;
                if (length > reader_.Remaining()) {
                    warning_("Premature end of data");
                    length = reader_.Remaining();
                }
                reader_.Bytes(buffer_.data() + 2, length);
            }
            lastByte_ = static_cast<int>(length) + 2;
            bitPos_ = bitPos_ - lastBit_ + 16;
            lastBit_ = lastByte_ * 8;
        }
        const size_t at = static_cast<size_t>(bitPos_ >> 3);
        const uint32_t bits = buffer_[at] | (buffer_[at + 1] << 8) | (buffer_[at + 2] << 16);
        bitPos_ += n;
        return static_cast<int>((bits >> ((bitPos_ - n) & 7)) & ((1u << n) - 1));
    }

    TByteReader& reader_;
    const TCodecWarning& warning_;
    int initialCodeSize_;
    int codeSize_ = 0, clearCode_ = 0, endCode_ = 0, maxCode_ = 0, freeCode_ = 0;
    int oldCode_ = -1, firstCode_ = 0;
    std::array<uint16_t, kTableSize> prefix_{};
    std::array<uint16_t, kTableSize> suffix_{};
    std::array<uint16_t, kTableSize> length_{};  // pixels in each code's string
    // Where each code's string already stands in the output in one piece (null: nowhere); an
    // entry is written before any code may name it, so the array needs no clearing.
    std::array<const uint8_t*, kTableSize> where_;
    const uint8_t* lastOut_ = nullptr;  // the previous code's string in the output
    int lastLength_ = 0;
    std::array<uint8_t, kTableSize + 1> stack_{};  // pixels are bytes: wider literals are cut
    int top_ = 0;
    std::array<uint8_t, 2 + 255 + 3> buffer_{};  // two carried bytes, one sub-block, slack for a 3-byte read
    int bitPos_ = 0, lastBit_ = 0, lastByte_ = 2;
    bool fresh_ = true, done_ = false, endOfBlocks_ = false, underRun_ = false;
};

// Rows in the order a frame stores them: top down, or the four interlace passes.
bool FillPixels(TFrameDecoder& d, uint8_t* pixels, int width, int height, bool interlaced)
{
    if (!interlaced) {
        const int64_t n = int64_t(width) * height;
        return d.Read(pixels, n) == n;
    }
    int pass = 0, step = 8, row = 0;
    while (row < height) {
        if (d.Read(pixels + int64_t(row) * width, width) < width) return false;
        row += step;
        while (row >= height) {
            if (pass > 0) step /= 2;
            if (++pass > 3) return true;
            row = step / 2;
        }
    }
    return true;
}
} // namespace

void DecodeImageData(TByteReader& reader, uint8_t* pixels, int width, int height, bool interlaced,
                     const TCodecWarning& warning)
{
    if (reader.AtEnd()) return;
    const int initialCodeSize = reader.U8();
    // Above 11 the clear code and the first free codes would lie past the 12-bit tables.
    if (initialCodeSize > 11) throw GIFException("Unsupported decoder code size");
    auto decoder = std::make_unique<TFrameDecoder>(reader, initialCodeSize, warning);
    bool complete = false;
    try {
        complete = FillPixels(*decoder, pixels, width, height, interlaced);
    } catch (const GIFException&) {
        decoder->SkipRest();
        throw;
    }
    if (complete) {
        // A well-formed frame ends with the end code here. Codes beyond the frame's pixels are
        // ignored, whatever they are.
        try {
            decoder->PixelsComplete();
            decoder->Take();
        } catch (const GIFException&) {
        }
    }
    if (!decoder->EndOfBlocks()) decoder->SkipRest();
}

// --- Sub-block writer ------------------------------------------------------------------------

void TGIFWriter::Flush()
{
    if (fill_ == 0) return;
    buffer_[0] = static_cast<uint8_t>(fill_);
    out_.Bytes(buffer_.data(), static_cast<size_t>(fill_) + 1);
    fill_ = 0;
}

// --- Encoder ---------------------------------------------------------------------------------

void TGIFEncoder::Encode(TByteWriter& stream, int bitsPerPixel, int colorCount, const uint8_t* data, bool interlaced,
                         int height, int width)
{
    colorCount_ = colorCount;
    initialCodeSize_ = std::max(bitsPerPixel, 2);
    stream.U8(static_cast<uint8_t>(initialCodeSize_));  // LZW minimum code size
    initialBitsPerCode_ = bitsPerCode_ = initialCodeSize_ + 1;
    maxCode_ = (1 << bitsPerCode_) - 1;
    clearCode_ = 1 << initialCodeSize_;
    endCode_ = clearCode_ + 1;
    firstFreeCode_ = clearCode_ + 2;
    bitBuffer_ = 0;
    bitCount_ = 0;
    cleared_ = false;
    data_ = pixel_ = data;
    width_ = width;
    height_ = height;
    interlaced_ = interlaced;
    pixelsLeft_ = interlaced ? width : int64_t(width) * height;
    row_ = pass_ = 0;
    {
        TGIFWriter writer(stream);
        writer_ = &writer;
        try {
            if (data && width > 0 && height > 0) Compress();
            Output(endCode_);
        } catch (...) {
            writer_ = nullptr;
            throw;
        }
        writer_ = nullptr;
    }
    stream.U8(0);  // block terminator
}

void TGIFEncoder::RefusePixel() { throw GIFException("Color not in color table"); }

bool TGIFEncoder::NextPixel()
{
    if (--pixelsLeft_ > 0) {
        ++pixel_;
        return true;
    }
    if (!interlaced_) return false;
    pixelsLeft_ = width_;
    static constexpr int kStep[4] = {8, 8, 4, 2};
    static constexpr int kStart[4] = {0, 4, 2, 1};
    row_ += kStep[pass_];
    while (row_ >= height_) {
        if (++pass_ > 3) return false;
        row_ = kStart[pass_];
    }
    pixel_ = data_ + int64_t(row_) * width_;
    return true;
}

void TGIFEncoder::Output(int code) { Emit(code); }

void TGIFEncoder::Clear()
{
    cleared_ = true;
    Output(clearCode_);
}

// --- LZW -------------------------------------------------------------------------------------

void TLZWEncoder::Output(int code) { EmitCode(code); }

void TLZWEncoder::Clear()
{
    TGIFEncoder::Clear();
    if (table_) table_->Clear();
    nextFreeCode_ = clearCode_ + 2;
}

void TLZWEncoder::Compress()
{
    auto table = std::make_unique<THashTable>();
    table_ = table.get();
    Clear();
    int prefix = Pixel();
    CheckPixel(prefix);
    // A frame in one run is checked against its table at once, not pixel by pixel.
    const bool checked = Sequential() && *std::max_element(FirstPixel(), PixelsEnd()) < colorCount_;
    THashTable& strings = *table;
    auto add = [&](uint32_t c) {
        const uint32_t key = (static_cast<uint32_t>(prefix) << 8) | c;
        uint32_t slot;
        const int code = strings.Find(key, slot);
        if (code >= 0) {
            prefix = code;
            return;
        }
        EmitCode(prefix);
        prefix = static_cast<int>(c);
        if (nextFreeCode_ >= 4095) {
            Clear();
        } else {
            strings.Put(slot, key, nextFreeCode_);
            ++nextFreeCode_;
        }
    };
    if (checked) {
        const uint8_t* end = PixelsEnd();
        for (const uint8_t* p = FirstPixel() + 1; p < end; ++p) add(*p);
    } else {
        while (NextPixel()) {
            CheckPixel(Pixel());
            add(static_cast<uint32_t>(Pixel()));
        }
    }
    Output(prefix);
    table_ = nullptr;
}

// --- RLE -------------------------------------------------------------------------------------
// Runs of one pixel p are sent as the codes the decoder itself defines for p, pp, ppp, ...:
// after a clear, sending runs of 1, 2, 3, ... pixels makes each code the next free one.

namespace {
int64_t IntSqrt(int64_t x)
{
    if (x < 2) return x;
    int64_t r = 1;
    for (int64_t v = x; v > 0; v >>= 2) r <<= 1;  // 2 to the number of base-4 digits
    for (;;) {
        const int64_t next = (r + x / r) / 2;
        if (next == r || next == r + 1) break;
        r = next;
    }
    while (r * r > x) --r;
    return r;
}
} // namespace

int64_t TRLEEncoder::TriangleCost(int64_t count, int64_t n) const
{
    const int64_t per = n * (n + 1) / 2;
    int64_t cost = (count / per) * n;
    int64_t r = count % per;
    if (r > 0) {
        int64_t k = IntSqrt(2 * r);
        while (k * (k + 1) < 2 * r) ++k;
        cost += k;
    }
    return cost;
}

void TRLEEncoder::Clear()
{
    nextBump_ = bumpStart_;
    nextClear_ = clearStart_;
    outCount_ = 0;
    runTableSize_ = 0;
    TGIFEncoder::Clear();
    bitsPerCode_ = initialBitsPerCode_;
}

void TRLEEncoder::PlainOutput(int code)
{
    cleared_ = false;
    Output(code);
    ++outCount_;
    if (outCount_ == nextBump_) {
        nextBump_ += int64_t(1) << bitsPerCode_;
        ++bitsPerCode_;
    }
    if (outCount_ >= nextClear_) Clear();
}

void TRLEEncoder::FlushFromClear(int64_t count)
{
    nextClear_ = maxOutCodes_;
    runTablePixel_ = runPixel_;
    int64_t n = 1;
    while (count > 0) {
        if (n == 1) {
            runTableSize_ = 1;
            PlainOutput(runPixel_);
            --count;
        } else if (count >= n) {
            runTableSize_ = n;
            PlainOutput(firstFreeCode_ + static_cast<int>(n) - 2);
            count -= n;
        } else {
            ++runTableSize_;
            PlainOutput(count == 1 ? runPixel_ : firstFreeCode_ + static_cast<int>(count) - 2);
            break;
        }
        n = outCount_ == 0 ? 1 : n + 1;
    }
    nextClear_ = clearStart_;
}

void TRLEEncoder::FlushWithTable(int64_t count)
{
    const int64_t size = runTableSize_;
    int64_t repeats = count / size;
    int64_t left = count % size;
    int64_t extra = left > 0 ? 1 : 0;
    if (outCount_ + repeats + extra > maxOutCodes_) {
        repeats = maxOutCodes_ - outCount_;
        left = count - repeats * size;
        extra = 1 + TriangleCost(left, maxOutCodes_);
    }
    if (1 + TriangleCost(count, maxOutCodes_) < repeats + extra) {
        Clear();
        FlushFromClear(count);
        return;
    }
    nextClear_ = maxOutCodes_;
    for (int64_t i = 0; i < repeats; ++i) PlainOutput(firstFreeCode_ + static_cast<int>(size) - 2);
    if (left > 0) {
        if (cleared_)
            FlushFromClear(left);
        else
            PlainOutput(left == 1 ? runPixel_ : firstFreeCode_ + static_cast<int>(left) - 2);
    }
    nextClear_ = clearStart_;
    if (outCount_ >= nextClear_) Clear();
}

void TRLEEncoder::FlushRun(int64_t count)
{
    if (count == 1) {
        PlainOutput(runPixel_);
    } else if (cleared_) {
        FlushFromClear(count);
    } else if (runTableSize_ < 2 || runTablePixel_ != runPixel_) {
        if (1 + TriangleCost(count, maxOutCodes_) < count) {
            Clear();
            FlushFromClear(count);
        } else {
            for (int64_t i = 0; i < count; ++i) PlainOutput(runPixel_);
        }
    } else {
        FlushWithTable(count);
    }
}

void TRLEEncoder::Compress()
{
    bumpStart_ = clearCode_ - 1;
    clearStart_ = initialCodeSize_ <= 3 ? 9 : clearCode_ - 2;
    maxOutCodes_ = 4095 - firstFreeCode_;
    Clear();
    runPixel_ = -1;
    runCount_ = 0;
    do {
        const int c = Pixel();
        CheckPixel(c);
        if (runCount_ > 0 && c != runPixel_) {
            FlushRun(runCount_);
            runCount_ = 0;
        }
        if (runCount_ > 0) {
            ++runCount_;
        } else {
            runPixel_ = c;
            runCount_ = 1;
        }
    } while (NextPixel());
    if (runCount_ > 0) FlushRun(runCount_);
}

} // namespace GIFImg
