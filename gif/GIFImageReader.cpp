#include "gif/GIFImageReader.h"

#include "platform/runtime/ByteIO.h"

#include <algorithm>
#include <cstring>

namespace GIFImage {

namespace {

constexpr uint8_t kExtension = '!';
constexpr uint8_t kImage = ',';
constexpr uint8_t kTrailer = ';';
constexpr uint8_t kPlainText = 0x01;
constexpr uint8_t kGraphicControl = 0xF9;
constexpr uint8_t kComment = 0xFE;
constexpr uint8_t kApplication = 0xFF;

constexpr int kMaxCodes = 4096;

// Skips data sub-blocks up to and including the empty one that ends them.
void SkipSubBlocks(TByteReader& r)
{
    for (uint8_t n = r.U8(); n != 0; n = r.U8()) r.Skip(n);
}

// The graphic control data waiting for the next image.
struct TGraphicControl {
    uint8_t packed = 0;
    uint16_t delay = 0;
    uint8_t transparentIndex = 0;
};

// The colour-index codes of an image, least significant bit first across its sub-blocks.
class TCodeReader {
public:
    explicit TCodeReader(TByteReader& r) : r_(r) {}

    // A code of `width` bits, or -1 once the sub-blocks end.
    int Next(int width)
    {
        while (bits_ < width) {
            if (blockLeft_ == 0) {
                if (ended_ || r_.AtEnd() || (blockLeft_ = r_.U8()) == 0) {
                    ended_ = true;
                    return -1;
                }
            }
            if (r_.AtEnd()) {
                ended_ = true;
                return -1;
            }
            buffer_ |= static_cast<uint32_t>(r_.U8()) << bits_;
            bits_ += 8;
            --blockLeft_;
        }
        const int code = static_cast<int>(buffer_ & ((1u << width) - 1));
        buffer_ >>= width;
        bits_ -= width;
        return code;
    }

private:
    TByteReader& r_;
    uint32_t buffer_ = 0;
    int bits_ = 0;
    int blockLeft_ = 0;
    bool ended_ = false;
};

// Where decoded pixels go: rows in order, or the four interlace passes.
class TRowWriter {
public:
    TRowWriter(TGIFFrame& f, const TReadProgress& progress, TByteReader& r)
        : f_(f), width_(f.Width), height_(f.Height), progress_(progress), reader_(r)
    {
        f.Pixels.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0);
        reportRows_ = progress && static_cast<int64_t>(width_) * height_ > 100000 ? (width_ > 320 ? 32 : 64) : 0;
    }
    bool Full() const { return full_; }
    // Writes a string of indices, as much of it as the picture holds, a row piece at a time.
    void Put(const uint8_t* indices, int count)
    {
        while (count > 0 && !full_) {
            const int n = std::min(count, width_ - x_);
            std::memcpy(f_.Pixels.data() + static_cast<size_t>(row_) * static_cast<size_t>(width_) + static_cast<size_t>(x_),
                        indices, static_cast<size_t>(n));
            indices += n;
            count -= n;
            x_ += n;
            if (x_ < width_) return;
            x_ = 0;
            ++rowsDone_;
            if (reportRows_ && rowsDone_ % reportRows_ == 0) progress_(reader_.Position(), reader_.Size());
            NextRow();
        }
    }

private:
    void NextRow()
    {
        if (!f_.Interlaced) {
            full_ = ++row_ >= height_;
            return;
        }
        static constexpr int kStart[4] = {0, 4, 2, 1};
        static constexpr int kStep[4] = {8, 8, 4, 2};
        row_ += kStep[pass_];
        while (row_ >= height_) {
            if (++pass_ == 4) {
                full_ = true;
                return;
            }
            row_ = kStart[pass_];
        }
    }

    TGIFFrame& f_;
    const int width_, height_;
    const TReadProgress& progress_;
    TByteReader& reader_;
    int reportRows_;
    int x_ = 0, row_ = 0, pass_ = 0, rowsDone_ = 0;
    bool full_ = false;
};

// Standard GIF LZW expansion. A code beyond the next free one ends the image: the tables
// never hold a chain longer than the codes defined, so a string fits its buffer.
void Expand(TCodeReader& codes, int minCodeSize, TRowWriter& out)
{
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    std::array<uint16_t, kMaxCodes> prefix{};
    std::array<uint8_t, kMaxCodes> suffix{};
    std::array<uint8_t, kMaxCodes> first{};
    std::array<uint16_t, kMaxCodes> length{};  // of each code's string
    std::array<uint8_t, kMaxCodes + 1> string{};
    for (int i = 0; i < std::min(clear, kMaxCodes); ++i) {
        suffix[i] = first[i] = static_cast<uint8_t>(i);
        length[i] = 1;
    }

    int width = minCodeSize + 1;
    int next = clear + 2;
    int prev = -1;
    while (!out.Full()) {
        const int code = codes.Next(width);
        if (code < 0 || code == end) return;
        if (code == clear) {
            width = minCodeSize + 1;
            next = clear + 2;
            prev = -1;
            continue;
        }
        if (prev < 0) {
            if (code > clear) return;  // nothing defined yet
            const uint8_t index = static_cast<uint8_t>(code);
            out.Put(&index, 1);
            prev = code;
            continue;
        }
        if (code > next || (code == next && next >= kMaxCodes)) return;
        // The string of `code` (or, for the code not yet defined, the previous string plus
        // its own first byte), spelt from its last byte back to its first.
        int c = code;
        int at = code == next ? length[prev] + 1 : length[code];
        const int count = at;
        if (code == next) {
            string[--at] = first[prev];
            c = prev;
        }
        while (c >= clear) {
            string[--at] = suffix[c];
            c = prefix[c];
        }
        string[--at] = static_cast<uint8_t>(c);
        const uint8_t head = static_cast<uint8_t>(c);
        out.Put(string.data(), count);
        if (next < kMaxCodes) {
            prefix[next] = static_cast<uint16_t>(prev);
            suffix[next] = head;
            first[next] = first[prev];
            length[next] = static_cast<uint16_t>(length[prev] + 1);
            if (++next == (1 << width) && width < 12) ++width;
        }
        prev = code;
    }
}

class TParser {
public:
    TParser(std::span<const uint8_t> bytes, const TGIFReadOptions& options, TGIFFile& file)
        : bytes_(bytes), r_(bytes), o_(options), f_(file)
    {
    }

    TGIFReadResult Run()
    {
        f_ = TGIFFile{};
        if (bytes_.empty()) return TGIFReadResult::NoData;
        const std::string header = r_.String(6);
        if (header.compare(0, 3, "GIF") != 0) return TGIFReadResult::Invalid;
        f_.Version = header[4] == '9' ? TGIFVersion::gvGIF89a : TGIFVersion::gvGIF87a;
        ReadScreen();
        // A file cut short keeps the frames read before the cut, and a frame cut inside its
        // image data keeps what its data holds (the rest of it stays at index 0).
        try {
            while (!r_.AtEnd() && !cut_) {
                Progress();
                const uint8_t introducer = r_.U8();
                if (introducer == kImage) {
                    if (f_.Frames.size() >= 256) break;
                    if (!ReadFrame()) return TGIFReadResult::Invalid;
                    if (o_.FirstImageOnly) break;
                } else if (introducer == kExtension) {
                    if (!ReadExtension(r_.U8())) break;
                } else {
                    break;  // the trailer, or bytes that start no block
                }
            }
        } catch (const EReadError&) {
            if (f_.Frames.empty()) throw;
        }
        Progress();
        if (f_.Frames.empty()) return TGIFReadResult::Invalid;
        for (const TGIFFrame& fr : f_.Frames) {
            f_.ScreenWidth = std::max(f_.ScreenWidth, fr.Left + fr.Width);
            f_.ScreenHeight = std::max(f_.ScreenHeight, fr.Top + fr.Height);
        }
        if (f_.ScreenWidth > kMaxScreenSide || f_.ScreenHeight > kMaxScreenSide ||
            static_cast<int64_t>(f_.ScreenWidth) * f_.ScreenHeight > kMaxScreenArea)
            return TGIFReadResult::Invalid;
        for (size_t i = 0; i < f_.Frames.size(); ++i)
            if (o_.DecodeAll || i == 0) DecodeFrame(bytes_, f_.Frames[i], o_.Progress);
        return TGIFReadResult::Ok;
    }

private:
    void Progress()
    {
        if (o_.Progress) o_.Progress(r_.Position(), r_.Size());
    }

    static int ReadTable(TByteReader& r, uint8_t packed, TColorTable& table)
    {
        const int bits = (packed & 7) + 1;
        r.Bytes(table.data(), 3u << bits);
        return bits;
    }

    void ReadScreen()
    {
        f_.ScreenWidth = r_.U16();
        f_.ScreenHeight = r_.U16();
        const uint8_t packed = r_.U8();
        r_.Skip(2);  // background colour, aspect ratio
        if (packed & 0x80) f_.GlobalBits = ReadTable(r_, packed, f_.GlobalTable);
    }

    // False for a label this reader does not know: the read ends there.
    bool ReadExtension(uint8_t label)
    {
        switch (label) {
        case kPlainText:
            SkipSubBlocks(r_);  // its header is a sub-block of its own
            return true;
        case kGraphicControl: {
            const uint8_t size = r_.U8();
            if (size != 4) {
                r_.Skip(size);
                SkipSubBlocks(r_);
                return true;
            }
            gce_.packed = r_.U8();
            gce_.delay = r_.U16();
            gce_.transparentIndex = r_.U8();
            SkipSubBlocks(r_);  // the terminator, and anything a writer added
            return true;
        }
        case kComment:
            for (uint8_t n = r_.U8(); n != 0; n = r_.U8()) comment_ += r_.String(n);
            return true;
        case kApplication: {
            const uint8_t size = r_.U8();
            if (size != 11) {
                r_.Skip(size);
                SkipSubBlocks(r_);
                return true;
            }
            const std::string id = r_.String(11);
            if (id == "NETSCAPE2.0") {
                const uint8_t n = r_.U8();
                if (n == 0) return true;
                const std::span<const uint8_t> data = r_.Take(n);
                if (n >= 3) f_.LoopCount = LoadLE16(data.data() + 1);
            }
            SkipSubBlocks(r_);
            return true;
        }
        default:
            return false;
        }
    }

    bool ReadFrame()
    {
        TGIFFrame fr;
        fr.Left = r_.U16();
        fr.Top = r_.U16();
        fr.Width = r_.U16();
        fr.Height = r_.U16();
        const uint8_t packed = r_.U8();
        if (fr.Width == 0 || fr.Height == 0) return false;
        totalArea_ += static_cast<int64_t>(fr.Width) * fr.Height;
        if (totalArea_ > kMaxTotalFrameArea) return false;
        if (packed & 0x80) {
            fr.HasLocalTable = true;
            fr.ColorBits = ReadTable(r_, packed, fr.Table);
            fr.PaletteBits = fr.ColorBits;
        } else {
            fr.Table = f_.GlobalTable;
            fr.PaletteBits = f_.GlobalBits;
        }
        fr.Interlaced = (packed & 0x40) != 0;
        const int disposal = (gce_.packed >> 2) & 7;
        fr.Disposal = static_cast<uint8_t>(disposal == 0 || disposal == 1 || disposal == 3 ? disposal : 2);
        fr.Delay = gce_.delay * 10;
        fr.Transparent = (gce_.packed & 1) && f_.Version == TGIFVersion::gvGIF89a;
        fr.TransparentIndex = gce_.transparentIndex;
        for (int i = 0; i < 3; ++i) fr.TransparentColor[i] = fr.Table[fr.TransparentIndex * 3 + i];
        fr.MinCodeSize = r_.U8();
        if (fr.MinCodeSize > 11) return false;
        fr.DataOffset = r_.Position();
        try {
            SkipSubBlocks(r_);
        } catch (const EReadError&) {
            cut_ = true;
        }

        f_.GlobalBits = std::max(f_.GlobalBits, fr.ColorBits);
        if (fr.Transparent) f_.AnyTransparent = true;
        fr.Comment = std::move(comment_);
        comment_.clear();
        gce_ = {};
        f_.Frames.push_back(std::move(fr));
        return true;
    }

    std::span<const uint8_t> bytes_;
    TByteReader r_;
    const TGIFReadOptions& o_;
    TGIFFile& f_;
    TGraphicControl gce_;
    std::string comment_;
    int64_t totalArea_ = 0;
    bool cut_ = false;  // the file ends inside the last frame's image data
};

}  // namespace

TGIFReadResult ReadGIF(std::span<const uint8_t> bytes, const TGIFReadOptions& options, TGIFFile& file)
{
    return TParser(bytes, options, file).Run();
}

void DecodeFrame(std::span<const uint8_t> bytes, TGIFFrame& frame, const TReadProgress& progress)
{
    if (frame.Decoded) return;
    TByteReader r(bytes);
    r.Seek(frame.DataOffset);
    TCodeReader codes(r);
    TRowWriter out(frame, progress, r);
    Expand(codes, frame.MinCodeSize, out);
    frame.Decoded = true;
}

}  // namespace GIFImage
