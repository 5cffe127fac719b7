// GIF87a/89a blocks, LZW decoding and encoding for the launcher's GIF picture.
#include "launcher/graphics/GifCodec.h"

#include "platform/runtime/ByteIO.h"
#include "platform/runtime/SysUtils.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace QvGIF {

void GIFError(int32_t id) { throw EInvalidGraphicOperation(GIFText(id)); }

void GIFStreamReadError() { throw EInvalidGraphicOperation("Stream read error"); }

int ColorsToBits(int colors)
{
    for (int bits = 1; bits <= 8; ++bits)
        if (colors == 1 << bits) return bits;
    GIFError(sGIFWrongColorCount);
}

int BitsForCount(int count)
{
    int bits = 1;
    while (bits < 8 && (1 << bits) < count) ++bits;
    return bits;
}

int NextInterlaceRow(int row, int& pass, int height)
{
    static constexpr int kStep[4] = {8, 8, 4, 2};
    static constexpr int kStart[4] = {0, 4, 2, 1};
    row += kStep[pass];
    // A pass may hold no row at all in a short image: go on to the next one.
    while (row >= height && pass < 3) row = kStart[++pass];
    return row;
}

namespace {

// --- Parsing (GIF89a sections 17 to 27) ------------------------------------------------------

constexpr uint8_t kExtensionIntroducer = '!';
constexpr uint8_t kImageSeparator = ',';
constexpr uint8_t kTrailer = ';';

void ReadColorTable(TByteReader& in, int bits, TColorTable& table)
{
    table = TColorTable{};
    table.Count = 1 << bits;
    for (int i = 0; i < table.Count; ++i) {
        table.Entries[i].R = in.U8();
        table.Entries[i].G = in.U8();
        table.Entries[i].B = in.U8();
    }
}

// Header (section 17) and logical screen descriptor (section 18) with the global table.
void ReadHeader(TByteReader& in, TGIFStream& out)
{
    if (in.Remaining() < 6) GIFError(sGIFUnknownVersion);
    const std::string signature = in.String(3);
    const std::string version = in.String(3);
    if (!SameText(signature, "GIF")) GIFError(sGIFUnknownVersion);
    if (SameText(version, "87a"))
        out.Version = 1;
    else if (SameText(version, "89a"))
        out.Version = 2;
    else
        GIFError(sGIFUnknownVersion);

    out.ScreenWidth = in.U16();
    out.ScreenHeight = in.U16();
    const uint8_t packed = in.U8();
    out.BitsPerPixel = static_cast<uint8_t>((packed & 7) + 1);            // size of global table
    out.ColorResolution = static_cast<uint8_t>(((packed >> 4) & 7) + 1);  // colour resolution
    out.BackgroundIndex = in.U8();
    out.AspectRatio = in.U8();
    if (packed & 0x80) {  // global colour table flag
        ReadColorTable(in, out.BitsPerPixel, out.Global);
        out.HasBackground = out.BackgroundIndex < out.Global.Count;
    }
}

// Data sub-blocks (section 15): a zero length or the end of the data ends them.
std::vector<std::string> ReadSubBlocks(TByteReader& in)
{
    std::vector<std::string> blocks;
    while (!in.AtEnd()) {
        const uint8_t length = in.U8();
        if (length == 0) break;
        blocks.push_back(in.String(length));
    }
    return blocks;
}

TExtensionBlock ReadExtensionBlock(TByteReader& in)
{
    TExtensionBlock e;
    const uint8_t label = in.U8();
    auto record = [&](size_t n) {
        const auto bytes = in.Take(n);
        e.Record.assign(bytes.begin(), bytes.end());
    };
    switch (label) {
    case 0xF9:  // graphic control (section 23): block size, packed, delay, index, terminator
        e.Kind = ekGraphicControl;
        record(6);
        break;
    case 0xFE:  // comment (section 24)
        e.Kind = ekComment;
        e.Data = ReadSubBlocks(in);
        break;
    case 0x01:  // plain text (section 25)
        e.Kind = ekPlainText;
        record(13);
        e.Data = ReadSubBlocks(in);
        break;
    case 0xFF:  // application (section 26)
        e.Kind = ekApplication;
        record(12);
        e.Data = ReadSubBlocks(in);
        break;
    default: {
        const std::string text = GIFText(sGIFUnknownExtension);
        throw EInvalidGraphicOperation(StringReplaceAll(text, "%.2x", LowerCase(IntToHex(label, 2))));
    }
    }
    return e;
}

// The loop block of an application extension: looping and the repeat count (at most 30000).
void ReadLoopCount(const TExtensionBlock& e, TGIFStream& out)
{
    if (e.Record.empty() || e.Record[0] != 11) return;
    const std::string id(reinterpret_cast<const char*>(e.Record.data()) + 1, 11);
    if (id != "NETSCAPE2.0" && id != "ANIMEXTS1.0") return;
    if (e.Data.empty() || e.Data[0].size() < 3 || e.Data[0][0] != 1) return;
    out.Looping = true;
    const auto* p = reinterpret_cast<const uint8_t*>(e.Data[0].data());
    out.RepeatCount = static_cast<int16_t>(std::min<int>(LoadLE16(p + 1), 30000));
}

// Every extension before the next image or the trailer; leaves the next introducer.
std::vector<TExtensionBlock> ReadExtensionList(TByteReader& in, uint8_t& introducer, TGIFStream& out)
{
    std::vector<TExtensionBlock> list;
    while (introducer == kExtensionIntroducer) {
        TExtensionBlock e = ReadExtensionBlock(in);
        if (e.Kind == ekPlainText)
            list.clear();  // text drawn over the image: what was collected no longer applies
        else if (e.Kind == ekApplication)
            ReadLoopCount(e, out);
        else
            list.push_back(std::move(e));
        introducer = in.AtEnd() ? kTrailer : in.U8();
    }
    return list;
}

// Image descriptor (section 20), local table and the image data as stored.
void ReadFrame(TByteReader& in, const TGIFStream& gif, bool tolerant, TFrameRecord& f)
{
    f.Left = in.U16();
    f.Top = in.U16();
    f.Width = in.U16();
    f.Height = in.U16();
    f.Packed = in.U8();
    f.Interlaced = (f.Packed & 0x40) != 0;
    f.LocalTable = (f.Packed & 0x80) != 0;
    if (gif.Global.Count > 0) f.TableBits = ColorsToBits(gif.Global.Count);
    if (f.LocalTable) {
        f.TableBits = (f.Packed & 7) + 1;
        ReadColorTable(in, f.TableBits, f.Colors);
    } else {
        f.Colors = gif.Global;
    }

    // Table-based image data (section 22): the code size, then sub-blocks up to a zero length.
    // The chain of lengths is walked first so that the data is copied once.
    size_t total = 1;
    for (auto rest = in.Rest(); total < rest.size();) {
        const size_t length = rest[total];
        total += 1 + length;
        if (length == 0) break;
    }
    f.ImageData.reserve(std::min(total, in.Remaining()));
    f.ImageData.push_back(in.U8());
    while (!in.AtEnd()) {
        const uint8_t length = in.U8();
        if (length > in.Remaining()) {
            // Cut short: keep what there is, so the picture decodes as far as it goes.
            f.Corrupted = true;
            f.ImageData.push_back(length);
            const auto rest = in.Take(in.Remaining());
            f.ImageData.insert(f.ImageData.end(), rest.begin(), rest.end());
            break;
        }
        f.ImageData.push_back(length);
        const auto bytes = in.Take(length);
        f.ImageData.insert(f.ImageData.end(), bytes.begin(), bytes.end());
        if (length == 0) break;
    }
    if (f.Corrupted && !tolerant) GIFStreamReadError();
    if (f.Width == 0) f.Width = gif.ScreenWidth;
    if (f.Height == 0) f.Height = gif.ScreenHeight;
}

void Parse(TByteReader& in, bool tolerant, TGIFStream& out)
{
    ReadHeader(in, out);
    uint8_t introducer = in.AtEnd() ? kTrailer : in.U8();
    while (introducer != 0 && introducer != kTrailer && !in.AtEnd()) {
        std::vector<TExtensionBlock> extensions = ReadExtensionList(in, introducer, out);
        if (introducer == kImageSeparator) {
            TFrameRecord frame;
            frame.Extensions = std::move(extensions);
            ReadFrame(in, out, tolerant, frame);
            out.Frames.push_back(std::move(frame));
            if (in.AtEnd()) {
                introducer = kTrailer;
            } else {
                introducer = in.U8();
                while (introducer == 0 && !in.AtEnd()) introducer = in.U8();
            }
            if (introducer != kExtensionIntroducer && introducer != kImageSeparator && introducer != kTrailer)
                introducer = 0;
        } else if (out.Comment.empty() && !extensions.empty()) {
            // Extensions after the last image: their comments are the picture's comment.
            bool first = true;
            for (const TExtensionBlock& e : extensions) {
                if (e.Kind != ekComment) continue;
                if (!first) out.Comment.push_back("\r\n\r\n");
                first = false;
                out.Comment.insert(out.Comment.end(), e.Data.begin(), e.Data.end());
            }
        } else if (introducer != 0 && introducer != kTrailer) {
            GIFStreamReadError();
        }
    }
}

} // namespace

void ParseGIF(std::span<const uint8_t> bytes, bool tolerant, TGIFStream& out)
{
    out = TGIFStream{};
    TByteReader in(bytes);
    try {
        Parse(in, tolerant, out);
    } catch (const EReadError&) {
        GIFStreamReadError();
    }
}

// --- LZW decoding (GIF89a appendix F) ----------------------------------------------------------

namespace {

// Reads variable-length codes, least significant bit first, across the data sub-blocks.
class TCodeReader {
public:
    explicit TCodeReader(std::span<const uint8_t> data) : data_(data) {}

    // False at the end of the data.
    bool Read(int bits, int& code)
    {
        while (count_ < bits) {
            if (blockLeft_ == 0) {
                if (pos_ >= data_.size()) return false;
                blockLeft_ = data_[pos_++];
                continue;
            }
            if (pos_ >= data_.size()) return false;
            acc_ |= static_cast<uint32_t>(data_[pos_++]) << count_;
            count_ += 8;
            --blockLeft_;
        }
        code = static_cast<int>(acc_ & ((1u << bits) - 1));
        acc_ >>= bits;
        count_ -= bits;
        return true;
    }

private:
    std::span<const uint8_t> data_;
    size_t pos_ = 0;
    size_t blockLeft_ = 0;
    uint32_t acc_ = 0;
    int count_ = 0;
};

constexpr int kMaxCodes = 4096;

} // namespace

bool DecodeLZW(std::span<const uint8_t> data, int width, int height, bool interlaced, uint8_t pixelMask,
               bool tolerant, uint8_t* pixels, const TRowProgress& progress, size_t stride)
{
    if (width <= 0 || height <= 0) return false;
    if (stride == 0) stride = static_cast<size_t>(width);
    bool corrupted = false;
    auto damaged = [&](int32_t id) {
        if (!tolerant) GIFError(id);
        corrupted = true;
    };
    if (data.empty()) {
        damaged(sGIFCodeSize);
        return corrupted;
    }
    int codeSize = data[0];
    if (codeSize < 2 || codeSize > 9) {
        damaged(sGIFCodeSize);
        codeSize = std::clamp(codeSize, 2, 9);
    }
    TCodeReader reader(data.subspan(1));

    const int clear = 1 << codeSize;
    const int end = clear + 1;
    const int firstFree = clear + 2;
    int codeBits = codeSize + 1;
    int limit = 1 << codeBits;
    int freeCode = firstFree;
    bool tableOpen = true;
    // Zeroed so that no code ever reads an entry that was not written.
    auto prefixTable = std::make_unique<uint16_t[]>(kMaxCodes);
    auto suffixTable = std::make_unique<uint8_t[]>(kMaxCodes);
    uint16_t* const prefix = prefixTable.get();
    uint8_t* const suffix = suffixTable.get();
    uint8_t stack[kMaxCodes + 1];

    int row = 0, col = 0, pass = 0;
    uint8_t* line = pixels;
    auto nextRow = [&] {
        col = 0;
        row = interlaced ? NextInterlaceRow(row, pass, height) : row + 1;
        line = pixels + static_cast<size_t>(row) * stride;
        if (progress) progress(static_cast<int>(int64_t(row) * 100 / height));
    };
    auto put = [&](uint8_t index) {
        line[col] = index;
        if (++col == width) nextRow();
    };
    // The stack holds a string last pixel first: copied out a row's stretch at a time.
    auto putStack = [&](int sp) {
        while (sp > 0 && row < height) {
            const int n = std::min(sp, width - col);
            uint8_t* const out = line + col;
            const uint8_t* const top = stack + sp - 1;
            for (int i = 0; i < n; ++i) out[i] = top[-i];
            sp -= n;
            col += n;
            if (col == width) nextRow();
        }
    };

    // Data that does not start with a clear code decodes as if it did.
    int oldCode = -1;
    uint8_t firstChar = 0;
    while (row < height) {
        int code = 0;
        if (!reader.Read(codeBits, code)) {
            damaged(sGIFCorrupt);  // the data ended before the picture was full
            break;
        }
        if (code == end) break;
        if (code == clear) {
            codeBits = codeSize + 1;
            limit = 1 << codeBits;
            freeCode = firstFree;
            tableOpen = true;
            oldCode = -1;
            continue;
        }
        if (oldCode < 0) {
            if (code >= clear) {  // a string code with no table behind it
                damaged(sGIFCorrupt);
                break;
            }
            firstChar = static_cast<uint8_t>(code & pixelMask);
            put(firstChar);
            oldCode = code;
            continue;
        }
        const int inCode = code;
        int sp = 0;
        int current = code;
        if (code >= freeCode) {  // the string defined by this very code (KwKwK)
            stack[sp++] = firstChar;
            current = oldCode;
        }
        while (current >= clear && sp < kMaxCodes) {
            stack[sp++] = suffix[current];
            current = prefix[current];
        }
        if (current >= clear) {
            damaged(sGIFCorrupt);
            break;
        }
        firstChar = static_cast<uint8_t>(current & pixelMask);
        stack[sp++] = firstChar;
        putStack(sp);
        if (tableOpen) {
            prefix[freeCode] = static_cast<uint16_t>(oldCode);
            suffix[freeCode] = firstChar;
            if (++freeCode >= limit) {
                if (codeBits >= 12)
                    tableOpen = false;  // full: codes stay 12 bits until the next clear code
                else {
                    ++codeBits;
                    limit <<= 1;
                }
            }
        }
        oldCode = inCode;
    }
    return corrupted;
}

// --- LZW encoding (GIF89a appendix F) ----------------------------------------------------------

namespace {

constexpr int kHashSize = 17777;

// Packs codes least significant bit first into 255-byte sub-blocks.
class TBitWriter {
public:
    explicit TBitWriter(TByteWriter& out) : out_(out) {}

    void Write(int code, int bits)
    {
        acc_ |= static_cast<uint64_t>(code) << count_;
        count_ += bits;
        while (count_ >= 8) {
            block_[used_++] = static_cast<uint8_t>(acc_);
            acc_ >>= 8;
            count_ -= 8;
            if (used_ == 255) EmitBlock();
        }
    }
    // The bits left as a last sub-block, then the block terminator.
    void Flush()
    {
        if (count_ > 0) {
            block_[used_++] = static_cast<uint8_t>(acc_);
            acc_ = 0;
            count_ = 0;
            if (used_ == 255) EmitBlock();
        }
        if (used_ > 0) EmitBlock();
        out_.U8(0);
    }

private:
    void EmitBlock()
    {
        out_.U8(static_cast<uint8_t>(used_));
        out_.Bytes(block_, static_cast<size_t>(used_));
        used_ = 0;
    }

    TByteWriter& out_;
    uint8_t block_[255] = {};
    int used_ = 0;
    uint64_t acc_ = 0;
    int count_ = 0;
};

struct THashEntry {
    uint16_t Prefix;
    uint16_t Code;  // 0: empty slot
    uint8_t Suffix;
};

} // namespace

void EncodeLZW(TByteWriter& out, int width, int height, int bitsPerPixel, bool interlaced, const uint8_t* rows,
               const TRowProgress& progress)
{
    const int startBits = bitsPerPixel == 1 ? 3 : bitsPerPixel + 1;
    const int minimum = startBits - 1;
    out.U8(static_cast<uint8_t>(minimum));  // LZW minimum code size
    const int clear = 1 << minimum;
    const int end = clear + 1;
    int codeBits = startBits;
    int limit = 1 << codeBits;
    int lastCode = end;
    TBitWriter bits(out);
    bits.Write(clear, codeBits);
    std::vector<THashEntry> table(kHashSize, THashEntry{0, 0, 0});

    const size_t stride = static_cast<size_t>((int64_t(width) * bitsPerPixel + 31) / 32 * 4);
    int prefix = -1;
    int hash = 0, length = 0;
    auto startString = [&](int p) {
        prefix = p;
        hash = (p + 3) * 301;
        length = 1;
    };
    int row = 0, pass = 0;
    while (row < height) {
        const uint8_t* line = rows + static_cast<size_t>(height - 1 - row) * stride;  // bottom-up
        for (int x = 0; x < width; ++x) {
            int p;
            if (bitsPerPixel == 8)
                p = line[x];
            else if (bitsPerPixel == 4)
                p = (x & 1) ? (line[x >> 1] & 0x0F) : (line[x >> 1] >> 4);
            else
                p = (line[x >> 3] >> (7 - (x & 7))) & 1;
            if (prefix < 0) {
                startString(p);
                continue;
            }
            ++length;
            hash = ((p + length + 4) * hash) % kHashSize;
            THashEntry* slot = &table[static_cast<size_t>(hash)];
            while (slot->Code != 0 && !(slot->Prefix == prefix && slot->Suffix == p)) {
                hash = hash == kHashSize - 1 ? 0 : hash + 1;
                slot = &table[static_cast<size_t>(hash)];
            }
            if (slot->Code != 0) {
                prefix = slot->Code;
                continue;
            }
            bits.Write(prefix, codeBits);
            ++lastCode;
            *slot = THashEntry{static_cast<uint16_t>(prefix), static_cast<uint16_t>(lastCode), static_cast<uint8_t>(p)};
            startString(p);
            if (lastCode >= limit) {
                limit <<= 1;
                ++codeBits;
            } else if (lastCode > 4093) {
                // The table is nearly full: start over with a clear code.
                bits.Write(prefix, codeBits);
                bits.Write(clear, codeBits);
                prefix = -1;
                lastCode = end;
                codeBits = startBits;
                limit = 1 << codeBits;
                std::fill(table.begin(), table.end(), THashEntry{0, 0, 0});
            }
        }
        if (progress) progress(static_cast<int>(int64_t(row) * 100 / height));
        row = interlaced ? NextInterlaceRow(row, pass, height) : row + 1;
    }
    if (prefix >= 0) bits.Write(prefix, codeBits);
    bits.Write(end, codeBits);
    bits.Flush();
}

} // namespace QvGIF
