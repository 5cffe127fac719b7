// Animated cursor files: RIFF form "ACON" with "anih", "rate", "seq " and the "fram" and
// "INFO" lists.
#include "launcher/graphics/AniCodec.h"

#include "platform/runtime/ByteIO.h"

#include <algorithm>

namespace QvGIF {

namespace {

struct TChunk {
    std::string Tag;
    TByteReader Data;  // the chunk's bytes only
};

// A chunk header and its data; the reader moves past the data and its pad byte.
TChunk ReadChunk(TByteReader& in)
{
    TChunk c;
    c.Tag = in.String(4);
    const uint32_t size = in.U32();
    c.Data = TByteReader(in.Take(size));
    if ((size & 1) && !in.AtEnd()) in.Skip(1);  // pad byte
    return c;
}

void ReadHeader(TByteReader& in, TAniHeader& h)
{
    // ANIHEADER
    h.HeaderSize = in.U32();
    h.Frames = in.U32();      // nFrames
    h.Steps = in.U32();       // nSteps
    h.Width = in.U32();       // iWidth
    h.Height = in.U32();      // iHeight
    h.BitCount = in.U32();    // iBitCount
    h.Planes = in.U32();      // nPlanes
    h.DisplayRate = in.U32(); // iDispRate
    h.Flags = in.U32();       // bfAttributes
}

// Every value of a "rate" or "seq " chunk, in order.
void ReadValues(TByteReader& in, std::vector<uint32_t>& values)
{
    if (in.Size() % 4 != 0) throw EReadError();
    while (!in.AtEnd()) values.push_back(in.U32());
}

std::string ReadText(TByteReader& in)
{
    std::string s = in.String(std::min<size_t>(in.Size(), 255));
    return s.substr(0, s.find('\0'));
}

int ColorsOfBits(int bits) { return bits == 1 ? 2 : bits == 4 ? 16 : bits == 8 ? 256 : 0; }

// An "icon" chunk: an icon or cursor file (ICONDIR, ICONDIRENTRY). False for anything else.
bool ReadImage(TByteReader chunk, TAniFile& out)
{
    TAniImage image;
    image.Size = static_cast<int32_t>(chunk.Size());
    const auto bytes = chunk.Rest();
    if (bytes.size() < 6) return false;
    const uint16_t type = LoadLE16(&bytes[2]);
    if (type != 1 && type != 2) return false;
    image.IsIcon = type == 1;
    image.IconFile.assign(bytes.begin(), bytes.end());
    StoreLE16(&image.IconFile[2], 1);  // a cursor loads as an icon

    TByteReader dir(bytes);
    dir.Skip(4);
    const uint16_t count = dir.U16();
    dir.Require(uint64_t(count) * 16);
    for (int i = 0; i < count; ++i) {
        dir.Skip(4);  // width, height, colour count, reserved
        const uint16_t x = dir.U16();  // planes, or a cursor's hot spot x
        const uint16_t y = dir.U16();  // bit count, or the hot spot y
        const uint32_t length = dir.U32();
        const uint32_t offset = dir.U32();
        if (uint64_t(offset) + length > bytes.size() || uint64_t(offset) + 16 > bytes.size()) throw EReadError();
        // The image's own header tells its depth (a PNG image counts as deep).
        const bool png = bytes[offset] == 0x89 && bytes[offset + 1] == 'P';
        const int colors = png ? 0 : ColorsOfBits(LoadLE16(&bytes[offset + 14]));
        out.FileColors = static_cast<uint16_t>(std::max<int>(out.FileColors, colors));
        image.HotX = x;
        image.HotY = y;
    }
    out.Images.push_back(std::move(image));
    return true;
}

// The chunks of the form; false when a chunk that is no icon file ends the parse.
bool ReadChunks(TByteReader& in, TAniFile& out, bool& haveHeader, std::vector<uint32_t>& rates,
                std::vector<uint32_t>& sequence, bool& haveSequence)
{
    while (in.Remaining() >= 8) {
        TChunk c = ReadChunk(in);
        if (c.Tag == "anih") {
            if (c.Data.Size() < 36) throw EReadError();
            ReadHeader(c.Data, out.Header);
            if (!(out.Header.Flags & 1) || out.Header.Steps == 0) throw EReadError();
            haveHeader = true;
        } else if (c.Tag == "rate") {
            ReadValues(c.Data, rates);
        } else if (c.Tag == "seq ") {
            ReadValues(c.Data, sequence);
            haveSequence = true;
        } else if (c.Tag == "LIST") {
            if (c.Data.Remaining() < 4) break;
            const std::string type = c.Data.String(4);
            if (type == "fram") {
                while (c.Data.Remaining() > 7) {
                    TChunk sub = ReadChunk(c.Data);
                    if (sub.Tag == "icon" && !ReadImage(sub.Data, out)) return false;
                }
            } else if (type == "INFO") {
                while (c.Data.Remaining() > 7) {
                    TChunk sub = ReadChunk(c.Data);
                    if (sub.Tag == "INAM") out.Title = ReadText(sub.Data);
                    if (sub.Tag == "IART") out.Creator = ReadText(sub.Data);
                }
            }
        }
    }
    return true;
}

} // namespace

void ParseAnimatedCursor(std::span<const uint8_t> bytes, TAniFile& out)
{
    out = TAniFile{};
    TByteReader file(bytes);
    if (file.String(4) != "RIFF") throw EReadError();
    const uint32_t riffSize = file.U32();
    if (file.String(4) != "ACON") throw EReadError();
    // The form's own size bounds it; a file cut short is read as far as it goes.
    TByteReader in(file.Take(std::min<uint64_t>(riffSize >= 4 ? riffSize - 4 : 0, file.Remaining())));

    bool haveHeader = false, haveSequence = false;
    std::vector<uint32_t> rates, sequence;
    ReadChunks(in, out, haveHeader, rates, sequence, haveSequence);

    // The steps: one per "seq " value when there is such a chunk (steps then share images),
    // else one per image of the header.
    const uint32_t images = static_cast<uint32_t>(out.Images.size());
    if (haveHeader) {
        const TAniHeader& h = out.Header;
        const uint32_t steps = haveSequence ? h.Steps : h.Frames;
        // Every step needs four bytes of "seq " or an image of its own: a count beyond that is
        // damage, caught before anything is sized by it.
        if (haveSequence ? sequence.size() < steps : steps > images + bytes.size() / 8) throw EReadError();
        if (!rates.empty() && rates.size() < std::min<size_t>(h.Steps, steps)) throw EReadError();
        for (uint32_t i = 0; i < steps; ++i) {
            TAniStep s;
            s.Sequence = static_cast<int>(haveSequence ? sequence[i] : i);
            if (haveSequence && sequence[i] >= std::max(h.Frames, images)) throw EReadError();
            s.Rate = static_cast<int32_t>(i < rates.size() ? rates[i] : h.DisplayRate);
            out.Steps.push_back(s);
        }
    }
    for (uint32_t k = 0; k < images; ++k) {
        bool shown = false;
        for (TAniStep& s : out.Steps)
            if (s.Sequence == static_cast<int>(k)) {
                s.Image = static_cast<int>(k);
                shown = true;
            }
        if (!shown) out.Steps.push_back({static_cast<int>(k), static_cast<int32_t>(out.Header.DisplayRate), -1});
    }
    std::erase_if(out.Steps, [](const TAniStep& s) { return s.Image < 0; });
    if (out.Steps.empty()) throw EReadError();
}

} // namespace QvGIF
