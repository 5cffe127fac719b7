// Builds small GIF files block by block for the reader and control tests, including the
// damaged kinds. Image data is written as LZW that never grows its code width (a clear code
// before the table would widen), which every decoder reads.
#pragma once

#include "platform/runtime/ByteIO.h"

#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

namespace gifbuild {

struct Frame {
    int left = 0, top = 0, width = 1, height = 1;
    std::vector<uint8_t> pixels;  // width x height indices, top row first
    bool gce = true;
    int delayCs = 0;
    int disposal = 0;
    bool transparent = false;
    uint8_t transparentIndex = 0;
    std::vector<uint8_t> localTable;  // RGB triples (a power of two of them), or none
    bool interlaced = false;
    int minCodeSize = 2;
};

// Black, red, green, blue. Built from an array: GCC 12's optimiser takes the backing array of
// a braced member initializer for uninitialised.
inline std::vector<uint8_t> FourColourTable()
{
    static const uint8_t rgb[] = {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};
    return std::vector<uint8_t>(std::begin(rgb), std::end(rgb));
}

struct Gif {
    bool v89a = true;
    int width = 0, height = 0;
    std::vector<uint8_t> globalTable = FourColourTable();
    int loopCount = -1;  // -1: no looping block
    std::vector<Frame> frames;
    std::vector<uint8_t> beforeTrailer;  // raw blocks put after the frames
    bool trailer = true;
};

inline void Put16(std::vector<uint8_t>& out, int v)
{
    out.resize(out.size() + 2);
    StoreLE16(out.data() + out.size() - 2, static_cast<uint16_t>(v));
}

inline int TableBits(size_t entries)
{
    int bits = 1;
    while ((size_t{1} << bits) < entries) ++bits;
    return bits;
}

inline void PutSubBlocks(std::vector<uint8_t>& out, const std::vector<uint8_t>& data)
{
    for (size_t at = 0; at < data.size(); at += 255) {
        const size_t n = std::min<size_t>(255, data.size() - at);
        out.push_back(static_cast<uint8_t>(n));
        out.insert(out.end(), data.begin() + static_cast<ptrdiff_t>(at), data.begin() + static_cast<ptrdiff_t>(at + n));
    }
    out.push_back(0);
}

// Codes of the pixels in stream order (interlaced rows reordered).
inline std::vector<uint8_t> Lzw(const Frame& f)
{
    std::vector<uint8_t> order;
    auto row = [&](int y) {
        order.insert(order.end(), f.pixels.begin() + y * f.width, f.pixels.begin() + (y + 1) * f.width);
    };
    if (f.pixels.empty()) {
        // no pixels: only the clear and end codes
    } else if (f.interlaced) {
        const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
        for (int p = 0; p < 4; ++p)
            for (int y = start[p]; y < f.height; y += step[p]) row(y);
    } else {
        for (int y = 0; y < f.height; ++y) row(y);
    }
    const int clear = 1 << f.minCodeSize, width = f.minCodeSize + 1;
    std::vector<uint8_t> out;
    uint32_t acc = 0;
    int bits = 0;
    auto code = [&](int c) {
        acc |= static_cast<uint32_t>(c) << bits;
        bits += width;
        while (bits >= 8) {
            out.push_back(static_cast<uint8_t>(acc));
            acc >>= 8;
            bits -= 8;
        }
    };
    int run = 0;
    code(clear);
    for (uint8_t p : order) {
        if (run == clear - 2) {
            code(clear);
            run = 0;
        }
        code(p);
        ++run;
    }
    code(clear + 1);
    if (bits) out.push_back(static_cast<uint8_t>(acc));
    return out;
}

inline std::vector<uint8_t> Build(const Gif& g)
{
    std::vector<uint8_t> out;
    const std::string sig = g.v89a ? "GIF89a" : "GIF87a";
    out.insert(out.end(), sig.begin(), sig.end());
    Put16(out, g.width);
    Put16(out, g.height);
    const size_t entries = g.globalTable.size() / 3;
    out.push_back(entries ? static_cast<uint8_t>(0x80 | (TableBits(entries) - 1)) : 0);
    out.push_back(0);
    out.push_back(0);
    if (entries) {
        out.insert(out.end(), g.globalTable.begin(), g.globalTable.end());
        out.resize(out.size() + ((size_t{3} << TableBits(entries)) - g.globalTable.size()), 0);
    }
    if (g.loopCount >= 0) {
        const std::string id = "NETSCAPE2.0";
        out.insert(out.end(), {'!', 0xFF, 11});
        out.insert(out.end(), id.begin(), id.end());
        out.insert(out.end(), {3, 1});
        Put16(out, g.loopCount);
        out.push_back(0);
    }
    for (const Frame& f : g.frames) {
        if (f.gce) {
            out.insert(out.end(), {'!', 0xF9, 4});
            out.push_back(static_cast<uint8_t>((f.disposal << 2) | (f.transparent ? 1 : 0)));
            Put16(out, f.delayCs);
            out.push_back(f.transparentIndex);
            out.push_back(0);
        }
        out.push_back(',');
        Put16(out, f.left);
        Put16(out, f.top);
        Put16(out, f.width);
        Put16(out, f.height);
        const size_t local = f.localTable.size() / 3;
        uint8_t packed = f.interlaced ? 0x40 : 0;
        if (local) packed |= static_cast<uint8_t>(0x80 | (TableBits(local) - 1));
        out.push_back(packed);
        if (local) {
            out.insert(out.end(), f.localTable.begin(), f.localTable.end());
            out.resize(out.size() + ((size_t{3} << TableBits(local)) - f.localTable.size()), 0);
        }
        out.push_back(static_cast<uint8_t>(f.minCodeSize));
        PutSubBlocks(out, Lzw(f));
    }
    out.insert(out.end(), g.beforeTrailer.begin(), g.beforeTrailer.end());
    if (g.trailer) out.push_back(';');
    return out;
}

// A w x h frame of one colour index.
inline Frame Solid(int w, int h, uint8_t index, int left = 0, int top = 0)
{
    Frame f;
    f.left = left;
    f.top = top;
    f.width = w;
    f.height = h;
    f.pixels.assign(static_cast<size_t>(w * h), index);
    return f;
}

}  // namespace gifbuild
