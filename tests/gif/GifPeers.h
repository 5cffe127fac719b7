// Outside decoders for the GIF tests: giflib (indexes and colours per frame) and Qt's reader;
// and our own loader beside them.
#pragma once

#include "gif/GIFImg.h"
#include "platform/graphics/Graphics.h"

#include <gif_lib.h>

#include <QBuffer>
#include <QImageReader>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace gifpeers {

struct Frame {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<uint8_t> indexes;  // rows top down
    std::vector<TColor> colours;   // the same pixels through the frame's table
    int tableSize = 0;             // entries of the table the frame uses (local, else global)
};

struct Decoded {
    bool ok = false;
    std::string error;
    int width = 0, height = 0;
    std::vector<Frame> frames;
};

struct MemoryInput {
    const std::vector<uint8_t>* bytes;
    size_t pos;
};

inline int ReadMemory(GifFileType* g, GifByteType* buf, int n)
{
    auto* in = static_cast<MemoryInput*>(g->UserData);
    const size_t left = in->bytes->size() - in->pos;
    const size_t take = std::min<size_t>(left, static_cast<size_t>(n));
    std::memcpy(buf, in->bytes->data() + in->pos, take);
    in->pos += take;
    return static_cast<int>(take);
}

// giflib's DGifSlurp (which de-interlaces) of a whole file held in memory.
inline Decoded GiflibDecode(const std::vector<uint8_t>& bytes)
{
    Decoded d;
    MemoryInput in{&bytes, 0};
    int err = 0;
    GifFileType* g = DGifOpen(&in, ReadMemory, &err);
    if (!g) {
        d.error = GifErrorString(err);
        return d;
    }
    if (DGifSlurp(g) != GIF_OK) {
        d.error = GifErrorString(g->Error);
        DGifCloseFile(g, &err);
        return d;
    }
    d.ok = true;
    d.width = g->SWidth;
    d.height = g->SHeight;
    for (int i = 0; i < g->ImageCount; ++i) {
        const SavedImage& si = g->SavedImages[i];
        Frame f;
        f.left = si.ImageDesc.Left;
        f.top = si.ImageDesc.Top;
        f.width = si.ImageDesc.Width;
        f.height = si.ImageDesc.Height;
        const size_t n = static_cast<size_t>(f.width) * static_cast<size_t>(f.height);
        f.indexes.assign(si.RasterBits, si.RasterBits + n);
        const ColorMapObject* map = si.ImageDesc.ColorMap ? si.ImageDesc.ColorMap : g->SColorMap;
        f.tableSize = map ? map->ColorCount : 0;
        for (uint8_t ix : f.indexes) {
            if (map && ix < map->ColorCount)
                f.colours.push_back(RGB(map->Colors[ix].Red, map->Colors[ix].Green, map->Colors[ix].Blue));
            else
                f.colours.push_back(clBlack);
        }
        d.frames.push_back(std::move(f));
    }
    DGifCloseFile(g, &err);
    return d;
}

// Qt's GIF reader: the first frame as RGB colours (the whole screen).
inline QImage QtDecode(const std::vector<uint8_t>& bytes)
{
    QByteArray data(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    return reader.read().convertToFormat(QImage::Format_RGB32);
}

inline std::vector<uint8_t> ReadFile(const std::string& name)
{
    std::ifstream f(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

inline void WriteFile(const std::string& name, const std::vector<uint8_t>& bytes)
{
    std::ofstream f(name, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Our own loading of a file held in memory, with the warnings it sent and the error it raised.
struct Loaded {
    std::unique_ptr<GIFImg::TGIFImage> picture = std::make_unique<GIFImg::TGIFImage>();
    std::vector<std::string> warnings;
    std::string error;
};

inline Loaded Load(const std::vector<uint8_t>& bytes)
{
    Loaded l;
    l.picture->OnWarning = [&w = l.warnings](GIFImg::TGIFObject*, GIFImg::TGIFSeverity, const std::string& m) {
        w.push_back(m);
    };
    TByteReader r(bytes);
    try {
        l.picture->LoadFromBytes(r);
    } catch (const Exception& e) {
        l.error = e.Message();
    }
    return l;
}

inline std::vector<uint8_t> Save(GIFImg::TGIFImage& p)
{
    TByteWriter w;
    p.SaveToBytes(w);
    return w.TakeBytes();
}

} // namespace gifpeers
