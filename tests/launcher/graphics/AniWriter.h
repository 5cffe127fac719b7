// Icon, cursor and animated cursor files written from scratch (no Qt), for the tests and the
// fuzz seeds: ICONDIR with BMP images (4, 8 or 32 bits and their AND masks), and RIFF "ACON".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace aniw {

using Bytes = std::vector<uint8_t>;

inline void U16(Bytes& b, uint32_t v)
{
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
inline void U32(Bytes& b, uint32_t v)
{
    U16(b, v & 0xFFFF);
    U16(b, v >> 16);
}

// A square icon (or cursor, with its hot spot) of size x size pixels of `bits` bits whose
// pixel (x, y) has palette index / colour seed + x + y; the AND mask leaves every pixel shown.
inline Bytes IconFile(int size, int bits, uint32_t seed, bool cursor = false, int hotX = 0, int hotY = 0)
{
    const int colors = bits <= 8 ? 1 << bits : 0;
    const int stride = ((size * bits + 31) / 32) * 4;
    const int maskStride = ((size + 31) / 32) * 4;
    Bytes image;
    // BITMAPINFOHEADER: the height counts the colour rows and the mask rows.
    U32(image, 40);
    U32(image, uint32_t(size));
    U32(image, uint32_t(size * 2));
    U16(image, 1);
    U16(image, uint32_t(bits));
    U32(image, 0);
    U32(image, uint32_t((stride + maskStride) * size));
    U32(image, 0);
    U32(image, 0);
    U32(image, 0);
    U32(image, 0);
    for (int i = 0; i < colors; ++i) {
        image.push_back(uint8_t(i * 16));       // blue
        image.push_back(uint8_t(255 - i * 3));  // green
        image.push_back(uint8_t(i * 7));        // red
        image.push_back(0);
    }
    for (int y = size - 1; y >= 0; --y) {
        Bytes row(static_cast<size_t>(stride), 0);
        for (int x = 0; x < size; ++x) {
            const uint32_t v = seed + uint32_t(x + y);
            if (bits == 32) {
                row[size_t(4 * x)] = uint8_t(v * 40);
                row[size_t(4 * x + 1)] = uint8_t(v * 90);
                row[size_t(4 * x + 2)] = uint8_t(v * 20);
                row[size_t(4 * x + 3)] = 255;
            } else if (bits == 8) {
                row[size_t(x)] = uint8_t(v % uint32_t(colors));
            } else {
                row[size_t(x / 2)] |= uint8_t((v % uint32_t(colors)) << ((x & 1) ? 0 : 4));
            }
        }
        image.insert(image.end(), row.begin(), row.end());
    }
    image.insert(image.end(), static_cast<size_t>(maskStride * size), 0);

    Bytes file;
    U16(file, 0);             // reserved
    U16(file, cursor ? 2 : 1);  // type
    U16(file, 1);             // count
    // ICONDIRENTRY
    file.push_back(uint8_t(size));
    file.push_back(uint8_t(size));
    file.push_back(uint8_t(colors < 256 ? colors : 0));
    file.push_back(0);
    U16(file, cursor ? uint32_t(hotX) : 1);
    U16(file, cursor ? uint32_t(hotY) : uint32_t(bits));
    U32(file, uint32_t(image.size()));
    U32(file, 6 + 16);
    file.insert(file.end(), image.begin(), image.end());
    return file;
}

inline void Chunk(Bytes& out, const std::string& tag, const Bytes& data)
{
    out.insert(out.end(), tag.begin(), tag.end());
    U32(out, uint32_t(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    if (data.size() & 1) out.push_back(0);
}

inline Bytes List(const std::string& type, const Bytes& chunks)
{
    Bytes data(type.begin(), type.end());
    data.insert(data.end(), chunks.begin(), chunks.end());
    return data;
}

struct AniSpec {
    std::vector<Bytes> Icons;
    std::vector<uint32_t> Rates;     // one "rate" chunk with every value (none when empty)
    std::vector<uint32_t> Sequence;  // one "seq " chunk (none when empty)
    uint32_t Steps = 0;              // 0: the number of icons, or of sequence values
    uint32_t Frames = 0;             // 0: the number of icons
    uint32_t DisplayRate = 10;
    uint32_t Flags = 1;
    std::string Title, Artist;
};

inline Bytes AniFile(const AniSpec& s)
{
    Bytes body{'A', 'C', 'O', 'N'};
    if (!s.Title.empty() || !s.Artist.empty()) {
        Bytes info;
        if (!s.Title.empty()) Chunk(info, "INAM", Bytes(s.Title.c_str(), s.Title.c_str() + s.Title.size() + 1));
        if (!s.Artist.empty()) Chunk(info, "IART", Bytes(s.Artist.c_str(), s.Artist.c_str() + s.Artist.size() + 1));
        Chunk(body, "LIST", List("INFO", info));
    }
    Bytes anih;
    const uint32_t frames = s.Frames ? s.Frames : uint32_t(s.Icons.size());
    const uint32_t steps = s.Steps ? s.Steps : s.Sequence.empty() ? frames : uint32_t(s.Sequence.size());
    for (uint32_t v : {36u, frames, steps, 0u, 0u, 0u, 0u, s.DisplayRate, s.Flags | (s.Sequence.empty() ? 0u : 2u)})
        U32(anih, v);
    Chunk(body, "anih", anih);
    if (!s.Rates.empty()) {
        Bytes r;
        for (uint32_t v : s.Rates) U32(r, v);
        Chunk(body, "rate", r);
    }
    if (!s.Sequence.empty()) {
        Bytes q;
        for (uint32_t v : s.Sequence) U32(q, v);
        Chunk(body, "seq ", q);
    }
    Bytes fram;
    for (const Bytes& icon : s.Icons) Chunk(fram, "icon", icon);
    Chunk(body, "LIST", List("fram", fram));
    Bytes file{'R', 'I', 'F', 'F'};
    U32(file, uint32_t(body.size()));
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

} // namespace aniw
