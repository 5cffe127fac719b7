// The GIF benchmarks' shared inputs and peers: three exhibit-sized pages (800 x 905, a few
// colours), a 1920 x 1080 photo-like picture of at most 256 colours and a 64-frame 320 x 240
// animation, all 24-bit; and giflib's and cgif's writers given those pixels indexed by the same
// hashed colour index the project's own code uses, so that a comparison times the same work.
#pragma once

#include "gif/GIFColorIndex.h"
#include "platform/graphics/Graphics.h"

#include <cgif.h>
#include <gif_lib.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace gifbench {

// An exhibit-like page: title block, a polar plot with rings and a pattern trace, and a table.
inline std::unique_ptr<TBitmap> DrawPage(int variant)
{
    constexpr int kWidth = 800, kHeight = 905;
    auto b = std::make_unique<TBitmap>(kWidth, kHeight, pfDevice);
    TCanvas& c = b->Canvas();
    c.Brush.Color = clWhite;
    c.FillRect(Rect(0, 0, kWidth, kHeight));
    c.Pen.Color = clBlack;
    c.Brush.Style = bsClear;
    c.Rectangle(20, 20, kWidth - 20, 120);
    c.Font.Name = "Arial";
    c.Font.SetSize(14);
    c.Font.Style = {fsBold};
    c.TextOut(40, 35, "Belvor Broadcast Antennas");
    c.Font.SetSize(9);
    c.Font.Style = {};
    c.TextOut(40, 70, "Azimuth pattern  Exhibit " + std::to_string(variant + 1) + "  Channel 32  ERP 1000 kW");
    const int cx = 400, cy = 420, r = 250;
    c.Pen.Color = clGray;
    for (int ring = 1; ring <= 5; ++ring) c.Ellipse(cx - r * ring / 5, cy - r * ring / 5, cx + r * ring / 5, cy + r * ring / 5);
    for (int a = 0; a < 360; a += 10) {
        c.MoveTo(cx, cy);
        c.LineTo(cx + static_cast<int>(r * std::cos(a * M_PI / 180)), cy - static_cast<int>(r * std::sin(a * M_PI / 180)));
    }
    c.Pen.Color = variant == 1 ? clNavy : clRed;
    c.Pen.Width = 2;
    std::vector<TPoint> trace;
    for (int a = 0; a <= 360; ++a) {
        const double t = a * M_PI / 180;
        const double f = 0.55 + 0.45 * std::abs(std::cos((2 + variant) * t));
        trace.push_back(Point(cx + static_cast<int>(r * f * std::cos(t)), cy - static_cast<int>(r * f * std::sin(t))));
    }
    c.Polyline(trace);
    c.Pen.Width = 1;
    c.Pen.Color = clBlack;
    for (int row = 0; row < 12; ++row) {
        const int y = 700 + row * 16;
        for (int col = 0; col < 6; ++col)
            c.TextOut(40 + col * 125, y, std::to_string(col * 60 + row * 5) + "  " + std::to_string((row * 37 + col * 11) % 1000 / 1000.0).substr(0, 5));
    }
    b->SetPixelFormat(pf24bit);
    return b;
}

// Smooth gradients with texture and noise: a photograph's look. Uncut it has many colours; cut,
// it keeps the 6 x 6 x 6 colour cube plus 40 greys, at most 256 colours.
inline std::unique_ptr<TBitmap> PhotoLike(int w, int h, int seed, bool cut)
{
    auto b = std::make_unique<TBitmap>(w, h, pf24bit);
    std::mt19937 rng(static_cast<unsigned>(seed));
    for (int y = 0; y < h; ++y) {
        uint8_t* line = b->ScanLine(y);
        for (int x = 0; x < w; ++x) {
            const double fx = double(x) / w, fy = double(y) / h;
            const int noise = cut ? static_cast<int>(rng() % 31) - 15 : static_cast<int>(rng() % 13) - 6;
            const int r = std::clamp(static_cast<int>(128 + 100 * std::sin(6 * fx + seed) * std::cos(3 * fy)) + noise, 0, 255);
            const int g = std::clamp(static_cast<int>(90 + 80 * fy + 40 * std::sin(11 * fx * fy + seed)) + noise, 0, 255);
            const double blue = 60 + 150 * fx * (1 - fy) + (cut ? 0.0 : 30 * std::cos(17 * fy));
            const int bl = std::clamp(static_cast<int>(blue) + noise, 0, 255);
            if (!cut) {
                line[3 * x + 2] = static_cast<uint8_t>(r);
                line[3 * x + 1] = static_cast<uint8_t>(g);
                line[3 * x] = static_cast<uint8_t>(bl);
            } else if ((x * 7 + y * 3) % 11 == 0) {  // grey specks
                const int grey = 3 + ((r + g + bl) / 3) / 26 * 6;
                line[3 * x] = line[3 * x + 1] = line[3 * x + 2] = static_cast<uint8_t>(grey);
            } else {
                line[3 * x + 2] = static_cast<uint8_t>((r + 25) / 51 * 51);
                line[3 * x + 1] = static_cast<uint8_t>((g + 25) / 51 * 51);
                line[3 * x] = static_cast<uint8_t>((bl + 25) / 51 * 51);
            }
        }
    }
    return b;
}

struct Input {
    const char* name;
    std::vector<TBitmap*> frames;
    bool animation;  // one file of all frames; otherwise one file per frame
};

// Made on first use (before any clock runs when called first outside the timed loop).
inline const std::vector<Input>& Inputs()
{
    static std::vector<std::unique_ptr<TBitmap>> owned;
    static const auto inputs = [] {
        std::vector<Input> v;
        Input pages{"exhibit page", {}, false};
        for (int i = 0; i < 3; ++i) {
            owned.push_back(DrawPage(i));
            pages.frames.push_back(owned.back().get());
        }
        v.push_back(pages);
        owned.push_back(PhotoLike(1920, 1080, 1, true));
        v.push_back({"photo 1920 x 1080", {owned.back().get()}, false});
        Input anim{"64-frame animation", {}, true};
        for (int f = 0; f < 64; ++f) {
            owned.push_back(PhotoLike(320, 240, f, true));
            anim.frames.push_back(owned.back().get());
        }
        v.push_back(anim);
        return v;
    }();
    return inputs;
}

// Frames as colour indexes: one table for all frames (global) or one per frame (local), the
// colours in order of first appearance, through the project's own hashed colour index.
struct Indexed {
    std::vector<std::vector<uint8_t>> rgb;     // per table: red, green, blue
    std::vector<std::vector<uint8_t>> pixels;  // per frame
};

inline Indexed Index(const std::vector<TBitmap*>& frames, bool global)
{
    Indexed out;
    GIFImg::TGIFColorIndex table;
    for (TBitmap* b : frames) {
        if (!global) table.Clear();
        std::vector<uint8_t> px(static_cast<size_t>(b->Width()) * b->Height());
        for (int y = 0; y < b->Height(); ++y) {
            const uint8_t* line = b->ScanLine(y);
            uint8_t* o = px.data() + static_cast<size_t>(y) * b->Width();
            for (int x = 0; x < b->Width(); ++x)
                o[x] = static_cast<uint8_t>(table.IndexOf(line[3 * x + 2], line[3 * x + 1], line[3 * x]));
        }
        out.pixels.push_back(std::move(px));
        if (!global) out.rgb.emplace_back(table.rgb.begin(), table.rgb.begin() + 3 * table.count);
    }
    if (global) out.rgb.emplace_back(table.rgb.begin(), table.rgb.begin() + 3 * table.count);
    return out;
}

inline int AppendGiflib(GifFileType* g, const GifByteType* data, int n)
{
    auto* out = static_cast<std::vector<uint8_t>*>(g->UserData);
    out->insert(out->end(), data, data + n);
    return n;
}

// A giflib colour map of the table padded to its power of two (the caller frees it).
inline ColorMapObject* GiflibMap(const std::vector<uint8_t>& rgb)
{
    const int colours = static_cast<int>(rgb.size() / 3);
    const int bits = std::max(1, GifBitSize(colours));
    std::vector<GifColorType> table(size_t(1) << bits);
    for (int i = 0; i < colours; ++i)
        table[static_cast<size_t>(i)] = {rgb[3 * static_cast<size_t>(i)], rgb[3 * static_cast<size_t>(i) + 1],
                                         rgb[3 * static_cast<size_t>(i) + 2]};
    return GifMakeMapObject(1 << bits, table.data());
}

inline std::vector<uint8_t> GiflibFile(const std::vector<TBitmap*>& frames, bool global)
{
    const Indexed ix = Index(frames, global);
    const int w = frames[0]->Width(), h = frames[0]->Height();
    std::vector<uint8_t> out;
    int err = 0;
    GifFileType* g = EGifOpen(&out, AppendGiflib, &err);
    ColorMapObject* screenMap = global ? GiflibMap(ix.rgb[0]) : nullptr;
    EGifSetGifVersion(g, true);
    EGifPutScreenDesc(g, w, h, 8, 0, screenMap);
    for (size_t f = 0; f < ix.pixels.size(); ++f) {
        ColorMapObject* local = global ? nullptr : GiflibMap(ix.rgb[f]);
        EGifPutImageDesc(g, 0, 0, w, h, false, local);
        for (int y = 0; y < h; ++y)
            EGifPutLine(g, const_cast<GifPixelType*>(ix.pixels[f].data()) + static_cast<size_t>(y) * w, w);
        if (local) GifFreeMapObject(local);
    }
    EGifCloseFile(g, &err);
    if (screenMap) GifFreeMapObject(screenMap);
    return out;
}

inline int AppendCgif(void* context, const uint8_t* data, const size_t n)
{
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    out->insert(out->end(), data, data + n);
    return 0;
}

inline std::vector<uint8_t> CgifFile(const std::vector<TBitmap*>& frames, bool global)
{
    Indexed ix = Index(frames, global);
    std::vector<uint8_t> out;
    CGIF_Config config{};
    if (global) {
        config.pGlobalPalette = ix.rgb[0].data();
        config.numGlobalPaletteEntries = static_cast<uint16_t>(ix.rgb[0].size() / 3);
    }
    config.width = static_cast<uint16_t>(frames[0]->Width());
    config.height = static_cast<uint16_t>(frames[0]->Height());
    config.attrFlags = (frames.size() > 1 ? CGIF_ATTR_IS_ANIMATED : 0) | (global ? 0 : CGIF_ATTR_NO_GLOBAL_TABLE);
    config.pWriteFn = AppendCgif;
    config.pContext = &out;
    CGIF* g = cgif_newgif(&config);
    for (size_t f = 0; f < ix.pixels.size(); ++f) {
        CGIF_FrameConfig frame{};
        frame.pImageData = ix.pixels[f].data();
        if (!global) {
            frame.attrFlags = CGIF_FRAME_ATTR_USE_LOCAL_TABLE;
            frame.pLocalPalette = ix.rgb[f].data();
            frame.numLocalPaletteEntries = static_cast<uint16_t>(ix.rgb[f].size() / 3);
        }
        cgif_addframe(g, &frame);
    }
    cgif_close(g);
    return out;
}

} // namespace gifbench
