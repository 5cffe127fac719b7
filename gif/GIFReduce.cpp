// Colour reduction: fixed palettes, colour lookups, dither engines and the octree quantiser.
#include "gif/GIFReduce.h"

#include "gif/GIFDIB.h"

#include <algorithm>
#include <cstdlib>

namespace GIFImg {

namespace {
const TColor kSystemFirst[10] = {RGB(0, 0, 0),       RGB(128, 0, 0),   RGB(0, 128, 0),     RGB(128, 128, 0),
                                 RGB(0, 0, 128),     RGB(128, 0, 128), RGB(0, 128, 128),   RGB(192, 192, 192),
                                 RGB(192, 220, 192), RGB(166, 202, 240)};
const TColor kSystemLast[10] = {RGB(255, 251, 240), RGB(160, 160, 164), RGB(128, 128, 128), RGB(255, 0, 0),
                                RGB(0, 255, 0),     RGB(255, 255, 0),   RGB(0, 0, 255),     RGB(255, 0, 255),
                                RGB(0, 255, 255),   RGB(255, 255, 255)};

// A 24-bit view of any bitmap (the source is left as it is): the bitmap itself when it is one,
// else a converted copy.
TBitmap& As24(TBitmap& source, std::unique_ptr<TBitmap>& copy)
{
    if (source.PixelFormat() == pf24bit) return source;
    copy = std::make_unique<TBitmap>();
    copy->Assign(source);
    return *copy;
}

struct TOctreeNode {
    bool leaf = false;
    int64_t pixels = 0, red = 0, green = 0, blue = 0;
    TOctreeNode* next = nullptr;  // the next reducible node of the same level
    std::array<std::unique_ptr<TOctreeNode>, 8> children;
};

class TColorQuantizer {
public:
    TColorQuantizer(int maxColors, int colorBits) : maxColors_(maxColors), colorBits_(colorBits) {}

    void Add(int r, int g, int b)
    {
        AddAt(root_, r, g, b, 0);
        while (leaves_ > maxColors_) Reduce();
    }

    void Colors(std::vector<TColor>& out) const { Walk(root_.get(), out); }

private:
    void AddAt(std::unique_ptr<TOctreeNode>& node, int r, int g, int b, int level)
    {
        if (!node) {
            node = std::make_unique<TOctreeNode>();
            if (level == colorBits_) {
                node->leaf = true;
                ++leaves_;
            } else {
                node->next = reducible_[static_cast<size_t>(level)];
                reducible_[static_cast<size_t>(level)] = node.get();
            }
        }
        if (node->leaf) {
            ++node->pixels;
            node->red += r;
            node->green += g;
            node->blue += b;
            return;
        }
        const int shift = 7 - level;
        const int child = (((r >> shift) & 1) << 2) | (((g >> shift) & 1) << 1) | ((b >> shift) & 1);
        AddAt(node->children[static_cast<size_t>(child)], r, g, b, level + 1);
    }

    void Reduce()
    {
        int level = colorBits_ - 1;
        while (level > 0 && !reducible_[static_cast<size_t>(level)]) --level;
        TOctreeNode* node = reducible_[static_cast<size_t>(level)];
        if (!node) return;
        reducible_[static_cast<size_t>(level)] = node->next;
        int children = 0;
        for (auto& c : node->children) {
            if (!c) continue;
            node->pixels += c->pixels;
            node->red += c->red;
            node->green += c->green;
            node->blue += c->blue;
            c.reset();
            ++children;
        }
        node->leaf = true;
        leaves_ -= children - 1;
    }

    static void Walk(const TOctreeNode* node, std::vector<TColor>& out)
    {
        if (!node) return;
        if (node->leaf) {
            if (node->pixels == 0)
                out.push_back(clBlack);
            else
                out.push_back(RGB(static_cast<int>(node->red / node->pixels), static_cast<int>(node->green / node->pixels),
                                  static_cast<int>(node->blue / node->pixels)));
            return;
        }
        for (const auto& c : node->children) Walk(c.get(), out);
    }

    std::unique_ptr<TOctreeNode> root_;
    int leaves_ = 0;
    std::array<TOctreeNode*, 8> reducible_{};
    int maxColors_;
    int colorBits_;
};
} // namespace

// --- Palettes ----------------------------------------------------------------------------------

TGIFPalette CubePalette()
{
    TGIFPalette p;
    p.reserve(216);
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b) p.push_back(RGB(r * 51, g * 51, b * 51));
    return p;
}

TGIFPalette SystemPalette20()
{
    TGIFPalette p(std::begin(kSystemFirst), std::end(kSystemFirst));
    p.insert(p.end(), std::begin(kSystemLast), std::end(kSystemLast));
    return p;
}

TGIFPalette HalftonePalette()
{
    TGIFPalette p(std::begin(kSystemFirst), std::end(kSystemFirst));
    const TGIFPalette cube = CubePalette();
    p.insert(p.end(), cube.begin(), cube.end());
    // Twenty greys between the cube's steps.
    for (int i = 0; i < 20; ++i) {
        const int v = 8 + i * 12 + (i >= 10 ? 3 : 0);
        p.push_back(RGB(v, v, v));
    }
    p.insert(p.end(), std::begin(kSystemLast), std::end(kSystemLast));
    return p;
}

TGIFPalette GrayPalette(int count)
{
    if (count == 2) return {clBlack, clWhite};
    if (count == 4) return {RGB(0, 0, 0), RGB(128, 128, 128), RGB(192, 192, 192), RGB(255, 255, 255)};
    TGIFPalette p;
    for (int i = 0; i < 256; ++i) p.push_back(RGB(i, i, i));
    return p;
}

// --- Lookups -----------------------------------------------------------------------------------

TFastColorLookup::TFastColorLookup(const TGIFPalette& palette)
    : TColorLookup(std::min<int>(256, static_cast<int>(palette.size()))), inverse_(32768, -1)
{
    const int n = Colors();
    entries_.resize(static_cast<size_t>(n) * 3);
    for (int i = 0; i < n; ++i) {
        const TColor c = palette[static_cast<size_t>(i)];
        uint8_t* e = &entries_[static_cast<size_t>(i) * 3];
        e[0] = static_cast<uint8_t>(GetRValue(c));
        e[1] = static_cast<uint8_t>(GetGValue(c));
        e[2] = static_cast<uint8_t>(GetBValue(c));
        const size_t cell = (e[0] >> 3) + (e[1] >> 3) * 32 + (e[2] >> 3) * 1024;
        if (inverse_[cell] == -1) inverse_[cell] = static_cast<int16_t>(i);
    }
}

int TFastColorLookup::Lookup(int r, int g, int b, uint8_t& pr, uint8_t& pg, uint8_t& pb)
{
    const size_t cell = static_cast<size_t>((r >> 3) + (g >> 3) * 32 + (b >> 3) * 1024);
    int index = inverse_[cell];
    if (index < 0) {
        int best = 1 << 30;
        for (int i = 0; i < Colors(); ++i) {
            const uint8_t* e = &entries_[static_cast<size_t>(i) * 3];
            const int d = std::abs(e[0] - r) + std::abs(e[1] - g) + std::abs(e[2] - b);
            if (d < best) {
                best = d;
                index = i;
            }
        }
        inverse_[cell] = static_cast<int16_t>(index);
    }
    const uint8_t* e = &entries_[static_cast<size_t>(index) * 3];
    pr = e[0];
    pg = e[1];
    pb = e[2];
    return index;
}

int TNetscapeColorLookup::Lookup(int r, int g, int b, uint8_t& pr, uint8_t& pg, uint8_t& pb)
{
    const int qr = (r + 3) / 51, qg = (g + 3) / 51, qb = (b + 3) / 51;
    pr = static_cast<uint8_t>(qr * 51);
    pg = static_cast<uint8_t>(qg * 51);
    pb = static_cast<uint8_t>(qb * 51);
    return qr * 36 + qg * 6 + qb;
}

int TGrayScaleLookup::Lookup(int r, int g, int b, uint8_t& pr, uint8_t& pg, uint8_t& pb)
{
    const int grey = (r * 77 + g * 150 + b * 29) >> 8;
    pr = pg = pb = static_cast<uint8_t>(grey);
    return grey;
}

int TMonochromeLookup::Lookup(int r, int g, int b, uint8_t& pr, uint8_t& pg, uint8_t& pb)
{
    if (r * 77 + g * 150 + b * 29 < 32513) {
        pr = pg = pb = 0;
        return 0;
    }
    pr = pg = pb = 255;
    return 1;
}

// --- Dither engines ----------------------------------------------------------------------------

int TDitherEngine::Dither(int r, int g, int b, uint8_t& pr, uint8_t& pg, uint8_t& pb)
{
    const int index = lookup_.Lookup(r, g, b, pr, pg, pb);
    column_ += direction_;
    return index;
}

void TDitherEngine::NextLine()
{
    direction_ = -direction_;
    column_ = direction_ > 0 ? 0 : width_ - 1;
}

TFloydSteinbergEngine::TFloydSteinbergEngine(int width, TColorLookup& lookup) : TDitherEngine(width, lookup)
{
    for (auto& e : errors_) e.assign(static_cast<size_t>(width) + 2, 0);
}

int TFloydSteinbergEngine::Dither(int r, int g, int b, uint8_t& pr, uint8_t& pg, uint8_t& pb)
{
    const int in[3] = {r, g, b};
    int corrected[3];
    for (int c = 0; c < 3; ++c) {
        const int carried = errors_[static_cast<size_t>(c)][static_cast<size_t>(position_ + direction_)];
        corrected[c] = std::clamp(in[c] + (carried + running_[static_cast<size_t>(c)] + 8) / 16, 0, 255);
    }
    const int index = TDitherEngine::Dither(corrected[0], corrected[1], corrected[2], pr, pg, pb);
    const int chosen[3] = {pr, pg, pb};
    for (size_t c = 0; c < 3; ++c) {
        const int d = corrected[c] - chosen[c];
        errors_[c][static_cast<size_t>(position_)] = belowBehind_[c] + 3 * d;
        belowBehind_[c] = below_[c] + 5 * d;
        below_[c] = d;
        running_[c] = 7 * d;
    }
    position_ += direction_;
    return index;
}

void TFloydSteinbergEngine::NextLine()
{
    for (size_t c = 0; c < 3; ++c) {
        errors_[c][static_cast<size_t>(position_)] = belowBehind_[c];
        running_[c] = below_[c] = belowBehind_[c] = 0;
    }
    TDitherEngine::NextLine();
    position_ = direction_ > 0 ? 0 : width_ + 1;
}

// --- Octree ------------------------------------------------------------------------------------

TGIFPalette MakeOctreePalette(TBitmap& bitmap, int colors, int colorBits, bool withSystemColors)
{
    const int wanted = withSystemColors ? 236 : std::clamp(colors, 1, 256);
    TColorQuantizer quantizer(wanted, std::clamp(colorBits, 1, 8));
    std::unique_ptr<TBitmap> copy;
    TDIBReader source(As24(bitmap, copy), pf24bit);
    for (int y = 0; y < source.Bitmap().Height(); ++y) {
        const uint8_t* line = source.ScanLine(y);
        for (int x = 0; x < source.Bitmap().Width(); ++x) quantizer.Add(line[3 * x + 2], line[3 * x + 1], line[3 * x]);
    }
    std::vector<TColor> leaves;
    quantizer.Colors(leaves);
    leaves.resize(std::min<size_t>(leaves.size(), static_cast<size_t>(wanted)));
    // Entries past the last leaf repeat the first leaf: the lookup never prefers a repeat, so no
    // colour the bitmap lacks comes in.
    const TColor pad = leaves.empty() ? clBlack : leaves.front();
    leaves.resize(static_cast<size_t>(wanted), pad);
    if (!withSystemColors) return leaves;
    TGIFPalette p(std::begin(kSystemFirst), std::end(kSystemFirst));
    p.insert(p.end(), leaves.begin(), leaves.end());
    p.insert(p.end(), std::begin(kSystemLast), std::end(kSystemLast));
    return p;
}

// --- Reduction ---------------------------------------------------------------------------------

std::unique_ptr<TBitmap> ReduceBitmapColors(TBitmap& bitmap, TGIFColorReduction method, TGIFDitherMode mode, int bits)
{
    auto result = std::make_unique<TBitmap>();
    if (method == rdNone) {
        result->Assign(bitmap);
        result->SetPixelFormat(pf24bit);
        return result;
    }
    result->SetPixelFormat(pf8bit);
    result->SetSize(bitmap.Width(), bitmap.Height());

    bits = std::clamp(bits, 1, 8);
    TGIFPalette palette;
    switch (method) {
    case rdSystem20: palette = SystemPalette20(); break;
    case rdHalftone: palette = HalftonePalette(); break;
    case rdGray4: palette = GrayPalette(4); break;
    case rdMonochrome: palette = GrayPalette(2); break;
    case rdGray256: palette = GrayPalette(256); break;
    case rdCube216: palette = CubePalette(); break;
    case rdOctree: palette = MakeOctreePalette(bitmap, 1 << bits, 8, false); break;
    case rdOctreeSystem: palette = MakeOctreePalette(bitmap, 256, 8, true); break;
    default: return result;
    }
    // The method's own colours only: a frame made from the result gets a table of that size and
    // is coded at its bit depth.
    result->SetPalette(palette);

    std::unique_ptr<TColorLookup> lookup;
    switch (method) {
    case rdMonochrome: lookup = std::make_unique<TMonochromeLookup>(); break;
    case rdGray256: lookup = std::make_unique<TGrayScaleLookup>(); break;
    case rdCube216: lookup = std::make_unique<TNetscapeColorLookup>(); break;
    default: lookup = std::make_unique<TFastColorLookup>(palette); break;
    }
    if (lookup->Colors() == 0 || bitmap.Empty()) return result;
    const int width = bitmap.Width();
    std::unique_ptr<TDitherEngine> engine;
    if (mode == dmNearest)
        engine = std::make_unique<TDitherEngine>(width, *lookup);
    else if (mode == dmFloydSteinberg)
        engine = std::make_unique<TFloydSteinbergEngine>(width, *lookup);
    else
        return result;

    std::unique_ptr<TBitmap> copy;
    TDIBReader source(As24(bitmap, copy), pf24bit);
    TDIBWriter writer(*result, pf8bit);
    uint8_t pr, pg, pb;
    for (int y = 0; y < result->Height(); ++y) {
        const uint8_t* in = source.ScanLine(y);
        uint8_t* out = writer.ScanLine(y);
        for (int n = 0; n < width; ++n) {
            const int x = engine->Column();
            const uint8_t* p = in + 3 * x;
            out[x] = static_cast<uint8_t>(engine->Dither(p[2], p[1], p[0], pr, pg, pb));
        }
        engine->NextLine();
    }
    return result;
}

} // namespace GIFImg
