// Colour reduction and bitmap files of the launcher's graphics library.
#include "launcher/graphics/QvGraph.h"

#include "launcher/graphics/GfxUtils.h"
#include "platform/runtime/ByteIO.h"

#include <algorithm>
#include <array>
#include <numeric>

namespace QvGraph {

TReductionMethod DefaultReduction = ReduceByPopularity;

namespace {

// --- Fixed level tables: the nearest level of each channel value (the first of equals) -------

struct TLevels {
    std::vector<uint8_t> Values;
    std::array<uint8_t, 256> Nearest{};
    explicit TLevels(std::vector<uint8_t> values) : Values(std::move(values))
    {
        for (int v = 0; v < 256; ++v) {
            int best = 0;
            for (size_t i = 1; i < Values.size(); ++i)
                if (std::abs(Values[i] - v) < std::abs(Values[static_cast<size_t>(best)] - v)) best = static_cast<int>(i);
            Nearest[static_cast<size_t>(v)] = static_cast<uint8_t>(best);
        }
    }
};

const TLevels& Levels4()
{
    static const TLevels t({0, 85, 170, 255});
    return t;
}
const TLevels& Levels6()
{
    static const TLevels t({0, 51, 102, 153, 204, 255});
    return t;
}
const TLevels& Levels7()
{
    static const TLevels t({0, 43, 85, 128, 170, 213, 255});
    return t;
}
const TLevels& Levels8()
{
    static const TLevels t({0, 36, 73, 109, 146, 182, 219, 255});
    return t;
}

const TColor kGrey128 = RGB(128, 128, 128);

struct TPixels {
    const uint8_t* bgr;
    int width, height, stride;
    const uint8_t* At(int x, int y) const { return bgr + static_cast<size_t>(y) * stride + static_cast<size_t>(x) * 3; }
};

// --- Popularity: a hash table of up to 2049 colours, low bits dropped until they fit ----------

constexpr int kPopHash = 5191;
constexpr int kPopEntries = 2049;

struct TPopEntry {
    uint8_t B, G, R;
    uint32_t Count;
    uint8_t Index;
};

class TPopularity {
public:
    // False when a 2050th colour turns up.
    bool Count(const TPixels& px)
    {
        entries_.clear();
        slots_.fill(0xFFFF);
        for (int y = 0; y < px.height; ++y)
            for (int x = 0; x < px.width; ++x) {
                const uint8_t* p = px.At(x, y);
                const int slot = Find(p[2], p[1], p[0]);
                if (slots_[static_cast<size_t>(slot)] != 0xFFFF) {
                    ++entries_[slots_[static_cast<size_t>(slot)]].Count;
                    continue;
                }
                if (static_cast<int>(entries_.size()) == kPopEntries) return false;
                slots_[static_cast<size_t>(slot)] = static_cast<uint16_t>(entries_.size());
                entries_.push_back({static_cast<uint8_t>(p[0] & maskB_), static_cast<uint8_t>(p[1] & maskG_),
                                    static_cast<uint8_t>(p[2] & maskR_), 1, 0});
            }
        return true;
    }
    // Drops one more low bit: blue, red, green, blue, ...
    void Coarsen()
    {
        if (maskR_ < maskG_)
            maskG_ = static_cast<uint8_t>(maskG_ << 1);
        else if (maskB_ < maskR_)
            maskR_ = static_cast<uint8_t>(maskR_ << 1);
        else
            maskB_ = static_cast<uint8_t>(maskB_ << 1);
    }
    void Build(const TPixels& px, TReduction& out)
    {
        const int wanted = 256;
        int used = 0;
        for (; used < wanted && used < static_cast<int>(entries_.size()); ++used) {
            size_t best = 0;
            for (size_t i = 1; i < entries_.size(); ++i)
                if (entries_[i].Count > entries_[best].Count) best = i;
            TPopEntry& e = entries_[best];
            e.Count = 0;
            e.Index = static_cast<uint8_t>(used);
            out.Palette[static_cast<size_t>(used)] = RGB(e.R, e.G, e.B);
        }
        for (TPopEntry& e : entries_) {
            if (e.Count == 0) continue;
            int best = 0, bestDist = INT32_MAX;
            for (int i = 0; i < used; ++i) {
                const TColor c = out.Palette[static_cast<size_t>(i)];
                const int dr = GetRValue(c) - e.R, dg = GetGValue(c) - e.G, db = GetBValue(c) - e.B;
                const int d = dr * dr + dg * dg + db * db;
                if (d < bestDist) {
                    bestDist = d;
                    best = i;
                }
            }
            e.Index = static_cast<uint8_t>(best);
        }
        for (int y = 0; y < px.height; ++y)
            for (int x = 0; x < px.width; ++x) {
                const uint8_t* p = px.At(x, y);
                out.Indexes[static_cast<size_t>(y) * px.width + x] =
                    entries_[slots_[static_cast<size_t>(Find(p[2], p[1], p[0]))]].Index;
            }
        out.ColorsUsed = 256;
    }

private:
    // The slot holding the masked colour, or the empty slot where it belongs.
    int Find(uint8_t r, uint8_t g, uint8_t b) const
    {
        r &= maskR_;
        g &= maskG_;
        b &= maskB_;
        int slot = ((r + g) * (b + g) * (r + b)) % kPopHash;
        while (slots_[static_cast<size_t>(slot)] != 0xFFFF) {
            const TPopEntry& e = entries_[slots_[static_cast<size_t>(slot)]];
            if (e.R == r && e.G == g && e.B == b) break;
            slot = slot == kPopHash - 1 ? 0 : slot + 1;
        }
        return slot;
    }

    uint8_t maskR_ = 255, maskG_ = 255, maskB_ = 255;
    std::vector<TPopEntry> entries_;
    std::array<uint16_t, kPopHash> slots_{};
};

void ByPopularity(const TPixels& px, TReduction& out)
{
    auto pop = std::make_unique<TPopularity>();
    while (!pop->Count(px)) pop->Coarsen();
    pop->Build(px, out);
}

// --- Median cut over the top four bits of each channel ----------------------------------------

struct TCell {
    uint8_t V[3];  // red, green, blue, 4 bits each
    uint32_t Count = 0;
    uint8_t Index = 0;
};

struct TBox {
    int Lower[3] = {0, 0, 0};
    int Extent[3] = {255, 255, 255};
    std::vector<int> Cells;
    uint64_t Total = 0;
};

void ByMedianCut(const TPixels& px, TReduction& out)
{
    std::vector<TCell> cells(4096);
    for (int i = 0; i < 4096; ++i) cells[static_cast<size_t>(i)] = {{uint8_t(i >> 8), uint8_t((i >> 4) & 15), uint8_t(i & 15)}, 0, 0};
    std::vector<uint16_t> cellOf(static_cast<size_t>(px.width) * static_cast<size_t>(px.height));
    for (int y = 0; y < px.height; ++y)
        for (int x = 0; x < px.width; ++x) {
            const uint8_t* p = px.At(x, y);
            const int cell = (p[2] / 16) * 256 + (p[1] & 0xF0) + p[0] / 16;
            cellOf[static_cast<size_t>(y) * px.width + x] = static_cast<uint16_t>(cell);
            ++cells[static_cast<size_t>(cell)].Count;
        }
    std::vector<TBox> boxes(1);
    for (int i = 0; i < 4096; ++i)
        if (cells[static_cast<size_t>(i)].Count) boxes[0].Cells.push_back(i);
    boxes[0].Total = uint64_t(px.width) * uint64_t(px.height);

    while (boxes.size() < 256) {
        int boxIndex = -1, axis = 0, largest = -1;
        for (size_t b = 0; b < boxes.size(); ++b) {
            if (boxes[b].Cells.size() < 2) continue;
            for (int a = 0; a < 3; ++a)
                if (boxes[b].Extent[a] > largest) {
                    largest = boxes[b].Extent[a];
                    boxIndex = static_cast<int>(b);
                    axis = a;
                }
        }
        if (boxIndex < 0) break;
        TBox& box = boxes[static_cast<size_t>(boxIndex)];
        std::stable_sort(box.Cells.begin(), box.Cells.end(), [&](int a, int b) {
            return cells[static_cast<size_t>(a)].V[axis] < cells[static_cast<size_t>(b)].V[axis];
        });
        uint64_t running = 0;
        size_t keep = 0;  // cells [0, keep] stay
        for (; keep < box.Cells.size(); ++keep) {
            running += cells[static_cast<size_t>(box.Cells[keep])].Count;
            if (running * 2 > box.Total) break;
        }
        keep = std::min(keep, box.Cells.size() - 2);
        TBox split;
        split.Cells.assign(box.Cells.begin() + static_cast<std::ptrdiff_t>(keep + 1), box.Cells.end());
        box.Cells.resize(keep + 1);
        auto total = [&](const TBox& b) {
            uint64_t t = 0;
            for (int c : b.Cells) t += cells[static_cast<size_t>(c)].Count;
            return t;
        };
        box.Total = total(box);
        split.Total = total(split);
        for (int a = 0; a < 3; ++a) {
            split.Lower[a] = box.Lower[a];
            split.Extent[a] = box.Extent[a];
        }
        const int upper = box.Lower[axis] + box.Extent[axis];
        split.Lower[axis] = cells[static_cast<size_t>(split.Cells.front())].V[axis] * 16;
        split.Extent[axis] = upper - split.Lower[axis];
        box.Extent[axis] = cells[static_cast<size_t>(box.Cells.back())].V[axis] * 16 - box.Lower[axis];
        boxes.push_back(std::move(split));
    }

    std::fill(out.Palette.begin(), out.Palette.end(), clBlack);
    for (size_t b = 0; b < boxes.size(); ++b) {
        const TBox& box = boxes[b];
        if (box.Cells.empty()) continue;
        int sum[3] = {0, 0, 0};
        for (int c : box.Cells) {
            cells[static_cast<size_t>(c)].Index = static_cast<uint8_t>(b);
            for (int a = 0; a < 3; ++a) sum[a] += cells[static_cast<size_t>(c)].V[a] * 16 + 15;
        }
        const int n = static_cast<int>(box.Cells.size());
        const int r = sum[0] / n, g = sum[1] / n, bl = sum[2] / n;
        out.Palette[b] = (r <= 16 && g <= 16 && bl <= 16) ? clBlack : RGB(r, g, bl);
    }
    for (size_t i = 0; i < cellOf.size(); ++i) out.Indexes[i] = cells[cellOf[i]].Index;
    out.ColorsUsed = static_cast<int>(boxes.size());
}

// --- Fixed cubes, channel rotation, grey -----------------------------------------------------

void ToCube(const TPixels& px, TReduction& out, const TLevels& red, const TLevels& green, const TLevels& blue)
{
    const int gn = static_cast<int>(green.Values.size()), bn = static_cast<int>(blue.Values.size());
    std::fill(out.Palette.begin(), out.Palette.end(), kGrey128);
    for (size_t r = 0; r < red.Values.size(); ++r)
        for (size_t g = 0; g < green.Values.size(); ++g)
            for (size_t b = 0; b < blue.Values.size(); ++b)
                out.Palette[(r * gn + g) * bn + b] = RGB(red.Values[r], green.Values[g], blue.Values[b]);
    for (int y = 0; y < px.height; ++y)
        for (int x = 0; x < px.width; ++x) {
            const uint8_t* p = px.At(x, y);
            out.Indexes[static_cast<size_t>(y) * px.width + x] =
                static_cast<uint8_t>((red.Nearest[p[2]] * gn + green.Nearest[p[1]]) * bn + blue.Nearest[p[0]]);
        }
    out.ColorsUsed = static_cast<int>(red.Values.size()) * gn * bn;
}

void ByChannelRotation(const TPixels& px, TReduction& out)
{
    for (int i = 0; i < 64; ++i) {
        out.Palette[static_cast<size_t>(i)] = RGB(i * 4, 0, 0);
        out.Palette[static_cast<size_t>(64 + i)] = RGB(0, i * 4, 0);
        out.Palette[static_cast<size_t>(128 + i)] = RGB(0, 0, i * 4);
        out.Palette[static_cast<size_t>(192 + i)] = clBlack;
    }
    for (int y = 0; y < px.height; ++y)
        for (int x = 0; x < px.width; ++x) {
            const uint8_t* p = px.At(x, y);
            const int channel = (y + x) % 3;
            const int v = channel == 0 ? p[2] / 4 : channel == 1 ? p[1] / 4 + 64 : p[0] / 4 + 128;
            out.Indexes[static_cast<size_t>(y) * px.width + x] = static_cast<uint8_t>(v);
        }
}

void ToGray(const TPixels& px, TReduction& out)
{
    for (int i = 0; i < 256; ++i) out.Palette[static_cast<size_t>(i)] = RGB(i, i, i);
    for (int y = 0; y < px.height; ++y)
        for (int x = 0; x < px.width; ++x) {
            const uint8_t* p = px.At(x, y);
            out.Indexes[static_cast<size_t>(y) * px.width + x] =
                static_cast<uint8_t>((p[2] * 77 + p[1] * 150 + p[0] * 29) / 256);
        }
}

// A bitmap file of 8 bits per pixel (BMP: BITMAPFILEHEADER, BITMAPINFOHEADER, 256 entries).
std::vector<uint8_t> EightBitFile(const TReduction& r, int width, int height, bool countColors)
{
    const int stride = ScanLineBytes(width, 8);
    const uint32_t offBits = 14 + 40 + 256 * 4;
    const uint32_t imageSize = static_cast<uint32_t>(stride) * static_cast<uint32_t>(height);
    TByteWriter w;
    w.Reserve(offBits + imageSize);
    w.U8('B');
    w.U8('M');
    w.U32(offBits + imageSize);  // bfSize
    w.U32(0);                    // bfReserved1, bfReserved2
    w.U32(offBits);              // bfOffBits
    w.U32(40);                   // biSize
    w.I32(width);                // biWidth
    w.I32(height);               // biHeight: bottom-up
    w.U16(1);                    // biPlanes
    w.U16(8);                    // biBitCount
    w.U32(0);                    // biCompression: BI_RGB
    w.U32(imageSize);            // biSizeImage
    w.I32(0);                    // biXPelsPerMeter
    w.I32(0);                    // biYPelsPerMeter
    w.U32(countColors ? static_cast<uint32_t>(r.ColorsUsed) : 0);  // biClrUsed
    w.U32(0);                    // biClrImportant
    for (TColor c : r.Palette) {
        w.U8(static_cast<uint8_t>(GetBValue(c)));
        w.U8(static_cast<uint8_t>(GetGValue(c)));
        w.U8(static_cast<uint8_t>(GetRValue(c)));
        w.U8(0);
    }
    for (int y = height - 1; y >= 0; --y) {
        w.Bytes(r.Indexes.data() + static_cast<size_t>(y) * width, static_cast<size_t>(width));
        w.Fill(0, static_cast<size_t>(stride - width));
    }
    return w.TakeBytes();
}

std::vector<uint8_t> Saved(TBitmap& bitmap)
{
    TMemoryStream m;
    bitmap.SaveToStream(m);
    return m.Bytes();
}

} // namespace

TReduction Reduce(const uint8_t* bgr, int width, int height, int stride, TReductionMethod method)
{
    TReduction out;
    out.Indexes.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    out.Palette.assign(256, kGrey128);
    const TPixels px{bgr, width, height, stride};
    switch (method) {
    case ReduceByPopularity: ByPopularity(px, out); break;
    case ReduceByMedianCut: ByMedianCut(px, out); break;
    case ReduceTo7R8G4B: ToCube(px, out, Levels7(), Levels8(), Levels4()); break;
    case ReduceTo6R6G6B: ToCube(px, out, Levels6(), Levels6(), Levels6()); break;
    case ReduceByChannelRotation: ByChannelRotation(px, out); break;
    case ReduceToGray: ToGray(px, out); break;
    }
    return out;
}

std::vector<uint8_t> BitmapToDIBStream(TBitmap& bitmap, TPixelFormat format, TReductionMethod method)
{
    if (bitmap.Empty()) throw EInvalidGraphic("Bitmap image is not valid");
    if (bitmap.PixelFormat() == format && method != ReduceToGray) return Saved(bitmap);
    if (format != pf1bit && format != pf4bit && format != pf8bit && format != pf24bit) NotImplementedError();
    TBitmap copy;
    copy.Assign(bitmap);
    if (format != pf8bit) {
        copy.SetPixelFormat(format);
        return Saved(copy);
    }
    copy.SetPixelFormat(pf24bit);
    const TReduction r = Reduce(copy.ScanLine(0), copy.Width(), copy.Height(), copy.BytesPerScanLine(), method);
    return EightBitFile(r, copy.Width(), copy.Height(), method == ReduceByMedianCut);
}

std::vector<uint8_t> BitmapToDIBStreamByColors(TBitmap& bitmap, int colors)
{
    const TPixelFormat format = colors <= 2 ? pf1bit : colors <= 16 ? pf4bit : colors > 256 ? pf24bit : pf8bit;
    return BitmapToDIBStream(bitmap, format, DefaultReduction);
}

} // namespace QvGraph
