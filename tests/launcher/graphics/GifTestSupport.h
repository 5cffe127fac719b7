// GIF files for the tests: made by giflib's encoder or assembled block by block with a plain
// LZW encoder of our own (for streams giflib never writes), and decoded by giflib, by Qt and
// by the launcher's reader into plain RGB pixels for comparison.
#pragma once

#include "launcher/graphics/QvGIF.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageReader>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace gift {

using Bytes = std::vector<uint8_t>;

struct Pixels {
    int Width = 0, Height = 0;
    std::vector<uint32_t> Rgb;  // 0xRRGGBB, rows top down
    friend bool operator==(const Pixels&, const Pixels&) = default;
};

inline std::ostream& operator<<(std::ostream& os, const Pixels& p)
{
    return os << p.Width << "x" << p.Height << " (" << p.Rgb.size() << " pixels)";
}

// --- giflib ---------------------------------------------------------------------------------
struct MemReader {
    const Bytes* bytes;
    size_t pos = 0;
};

inline int ReadMem(GifFileType* g, GifByteType* buf, int n)
{
    auto* r = static_cast<MemReader*>(g->UserData);
    const size_t k = std::min<size_t>(static_cast<size_t>(n), r->bytes->size() - r->pos);
    std::memcpy(buf, r->bytes->data() + r->pos, k);
    r->pos += k;
    return static_cast<int>(k);
}

inline int WriteMem(GifFileType* g, const GifByteType* buf, int n)
{
    auto* out = static_cast<Bytes*>(g->UserData);
    out->insert(out->end(), buf, buf + n);
    return n;
}

// Frame `index` as giflib decodes it (through the frame's or the global table); an empty
// result when giflib refuses the file.
inline Pixels GiflibDecode(const Bytes& gif, int index = 0)
{
    MemReader r{&gif};
    int err = 0;
    GifFileType* g = DGifOpen(&r, ReadMem, &err);
    if (!g) return {};
    Pixels p;
    if (DGifSlurp(g) == GIF_OK && index < g->ImageCount) {
        const SavedImage& im = g->SavedImages[index];
        const ColorMapObject* map = im.ImageDesc.ColorMap ? im.ImageDesc.ColorMap : g->SColorMap;
        p.Width = im.ImageDesc.Width;
        p.Height = im.ImageDesc.Height;
        for (int i = 0; i < p.Width * p.Height; ++i) {
            const int k = im.RasterBits[i];
            const GifColorType c = map && k < map->ColorCount ? map->Colors[k] : GifColorType{0, 0, 0};
            p.Rgb.push_back((uint32_t(c.Red) << 16) | (uint32_t(c.Green) << 8) | c.Blue);
        }
    }
    DGifCloseFile(g, &err);
    return p;
}

// A one-frame GIF from giflib's encoder: indexes top down, a table of 2^bits colours, global or
// local, interlaced or not.
inline Bytes GiflibEncode(int w, int h, const std::vector<uint8_t>& indexes, const std::vector<uint32_t>& colors,
                          bool local, bool interlaced)
{
    Bytes out;
    int err = 0;
    GifFileType* g = EGifOpen(&out, WriteMem, &err);
    ColorMapObject* map = GifMakeMapObject(static_cast<int>(colors.size()), nullptr);
    for (size_t i = 0; i < colors.size(); ++i)
        map->Colors[i] = {uint8_t(colors[i] >> 16), uint8_t(colors[i] >> 8), uint8_t(colors[i])};
    EGifPutScreenDesc(g, w, h, 8, 0, local ? nullptr : map);
    EGifPutImageDesc(g, 0, 0, w, h, interlaced, local ? map : nullptr);
    // Interlaced rows go out in pass order.
    std::vector<int> order;
    if (interlaced) {
        for (int pass = 0, start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2}; pass < 4; ++pass)
            for (int y = start[pass]; y < h; y += step[pass]) order.push_back(y);
    } else {
        for (int y = 0; y < h; ++y) order.push_back(y);
    }
    for (int y : order)
        EGifPutLine(g, const_cast<GifPixelType*>(indexes.data() + static_cast<size_t>(y) * w), w);
    EGifCloseFile(g, &err);
    GifFreeMapObject(map);
    return out;
}

// --- Qt --------------------------------------------------------------------------------------
inline Pixels QtDecode(const Bytes& gif)
{
    QByteArray data(reinterpret_cast<const char*>(gif.data()), static_cast<qsizetype>(gif.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    const QImage img = reader.read().convertToFormat(QImage::Format_RGB32);
    Pixels p;
    if (img.isNull()) return p;
    p.Width = img.width();
    p.Height = img.height();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) p.Rgb.push_back(img.pixel(x, y) & 0xFFFFFF);
    return p;
}

// --- ours ------------------------------------------------------------------------------------
inline Pixels BitmapPixels(TBitmap& b)
{
    Pixels p;
    p.Width = b.Width();
    p.Height = b.Height();
    const bool t = b.Transparent();
    b.SetTransparent(false);
    const QImage img = b.ToImage();
    b.SetTransparent(t);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) p.Rgb.push_back(img.pixel(x, y) & 0xFFFFFF);
    return p;
}

inline void LoadGif(QvGIF::TGIFImage& gif, const Bytes& bytes)
{
    TMemoryStream m;
    m.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    m.SetPosition(0);
    gif.LoadFromStream(m);
}

inline Pixels OurDecode(const Bytes& bytes, int index = 0)
{
    QvGIF::TGIFImage gif;
    LoadGif(gif, bytes);
    return BitmapPixels(gif.FrameAt(index).GetBitmap());
}

inline Bytes SaveGif(QvGIF::TGIFImage& gif)
{
    TMemoryStream m;
    gif.SaveToStream(m);
    return m.Bytes();
}

// --- Streams assembled by hand ---------------------------------------------------------------

// A plain LZW encoder (a map of strings): clearFirst writes the clear code first; clearEvery
// writes a clear code after that many codes (0: never; a full table then stays at 12 bits).
inline Bytes PlainLZW(const std::vector<uint8_t>& pixels, int codeSize, bool clearFirst, int clearEvery)
{
    Bytes data{static_cast<uint8_t>(codeSize)};
    std::vector<uint8_t> packed;
    uint32_t acc = 0;
    int count = 0;
    auto putCode = [&](int code, int bits) {
        acc |= uint32_t(code) << count;
        count += bits;
        while (count >= 8) {
            packed.push_back(uint8_t(acc));
            acc >>= 8;
            count -= 8;
        }
    };
    const int clear = 1 << codeSize, end = clear + 1;
    std::map<std::string, int> table;
    int next = 0, bits = 0, written = 0;
    auto reset = [&] {
        table.clear();
        next = clear + 2;
        bits = codeSize + 1;
    };
    reset();
    if (clearFirst) putCode(clear, bits);
    std::string w;
    auto out = [&](int code) {
        putCode(code, bits);
        ++written;
    };
    for (uint8_t px : pixels) {
        std::string wc = w + char(px);
        const bool known = wc.size() == 1 || table.count(wc);
        if (known) {
            w = wc;
            continue;
        }
        out(w.size() == 1 ? uint8_t(w[0]) : table[w]);
        if (next < 4096) {
            table[wc] = next++;
            if (next > (1 << bits) && bits < 12) ++bits;
        }
        w = std::string(1, char(px));
        if (clearEvery > 0 && written % clearEvery == 0) {
            out(uint8_t(w[0]));
            // The decoder adds one more entry on that code, and may widen its codes for it.
            if (next < 4096 && ++next > (1 << bits) && bits < 12) ++bits;
            putCode(clear, bits);
            reset();
            w.clear();
        }
    }
    if (!w.empty()) out(w.size() == 1 ? uint8_t(w[0]) : table[w]);
    putCode(end, bits);
    if (count > 0) packed.push_back(uint8_t(acc));
    for (size_t i = 0; i < packed.size(); i += 255) {
        const size_t n = std::min<size_t>(255, packed.size() - i);
        data.push_back(uint8_t(n));
        data.insert(data.end(), packed.begin() + static_cast<std::ptrdiff_t>(i),
                    packed.begin() + static_cast<std::ptrdiff_t>(i + n));
    }
    data.push_back(0);
    return data;
}

// A GIF89a with a global table and frames given as (descriptor fields, image data).
struct FrameSpec {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool Interlaced = false;
    Bytes ImageData;
    Bytes Before;  // extension blocks before the image, as written
};

inline Bytes Assemble(int screenW, int screenH, const std::vector<uint32_t>& global, const std::vector<FrameSpec>& frames,
                      const Bytes& trailerExtensions = {}, const char* header = "GIF89a")
{
    Bytes b(header, header + 6);
    auto u16 = [&](int v) {
        b.push_back(uint8_t(v));
        b.push_back(uint8_t(v >> 8));
    };
    u16(screenW);
    u16(screenH);
    int bits = 0;
    while (!global.empty() && (1u << (bits + 1)) <= global.size()) ++bits;
    b.push_back(global.empty() ? 0 : uint8_t(0x80 | (bits - 1) << 4 | (bits - 1)));
    b.push_back(0);
    b.push_back(0);
    for (uint32_t c : global) {
        b.push_back(uint8_t(c >> 16));
        b.push_back(uint8_t(c >> 8));
        b.push_back(uint8_t(c));
    }
    for (const FrameSpec& f : frames) {
        b.insert(b.end(), f.Before.begin(), f.Before.end());
        b.push_back(',');
        u16(f.Left);
        u16(f.Top);
        u16(f.Width);
        u16(f.Height);
        b.push_back(f.Interlaced ? 0x40 : 0);
        b.insert(b.end(), f.ImageData.begin(), f.ImageData.end());
    }
    b.insert(b.end(), trailerExtensions.begin(), trailerExtensions.end());
    b.push_back(';');
    return b;
}

inline Bytes GraphicControl(uint8_t packed, uint16_t delay, uint8_t index)
{
    return {'!', 0xF9, 4, packed, uint8_t(delay), uint8_t(delay >> 8), index, 0};
}

inline Bytes Comment(const std::string& text)
{
    Bytes b{'!', 0xFE, uint8_t(text.size())};
    b.insert(b.end(), text.begin(), text.end());
    b.push_back(0);
    return b;
}

inline std::vector<uint32_t> Greys(int n)
{
    std::vector<uint32_t> c;
    for (int i = 0; i < n; ++i) {
        const uint32_t v = uint32_t(i * 255 / std::max(1, n - 1));
        c.push_back((v << 16) | (v << 8) | ((v * 7) & 0xFF));
    }
    return c;
}

} // namespace gift
