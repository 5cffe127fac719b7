// The GIF writer against giflib's and cgif's encoders, each given the same work (index the 24-bit
// pixels into one colour table, then encode) on three inputs: exhibit-sized pages (800 x 905, a
// few colours), a 1920 x 1080 photo-like picture of 256 colours and a 64-frame animation.
// Run: build/benchmarks/bench_gifwriter. Prints the size and time ratios at the end.
#include "gif/GIFWriter.h"

#include <benchmark/benchmark.h>
#include <cgif.h>
#include <gif_lib.h>

#include <QGuiApplication>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <unordered_map>

namespace {
constexpr int kWidth = 800;
constexpr int kHeight = 905;

// An exhibit-like page: title block, a polar plot with rings and a pattern trace, and a table.
std::unique_ptr<TBitmap> DrawPage(int variant)
{
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

const std::vector<std::unique_ptr<TBitmap>>& Pages()
{
    static const auto pages = [] {
        std::vector<std::unique_ptr<TBitmap>> v;
        for (int i = 0; i < 3; ++i) v.push_back(DrawPage(i));
        return v;
    }();
    return pages;
}

// Smooth gradients with texture and noise, cut to the 6 x 6 x 6 colour cube plus 40 greys: a
// photograph's look in at most 256 colours.
std::unique_ptr<TBitmap> PhotoLike(int w, int h, int seed)
{
    auto b = std::make_unique<TBitmap>(w, h, pf24bit);
    std::mt19937 rng(static_cast<unsigned>(seed));
    for (int y = 0; y < h; ++y) {
        uint8_t* line = b->ScanLine(y);
        for (int x = 0; x < w; ++x) {
            const double fx = double(x) / w, fy = double(y) / h;
            const int noise = static_cast<int>(rng() % 31) - 15;
            const int r = std::clamp(static_cast<int>(128 + 100 * std::sin(6 * fx + seed) * std::cos(3 * fy)) + noise, 0, 255);
            const int g = std::clamp(static_cast<int>(90 + 80 * fy + 40 * std::sin(11 * fx * fy + seed)) + noise, 0, 255);
            const int bl = std::clamp(static_cast<int>(60 + 150 * fx * (1 - fy)) + noise, 0, 255);
            if ((x * 7 + y * 3) % 11 == 0) {  // grey specks
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
};

const std::vector<Input>& Inputs()
{
    static std::vector<std::unique_ptr<TBitmap>> owned;
    static const auto inputs = [] {
        std::vector<Input> v;
        Input pages{"exhibit page", {}};
        for (const auto& p : Pages()) pages.frames.push_back(p.get());
        v.push_back(pages);
        owned.push_back(PhotoLike(1920, 1080, 1));
        v.push_back({"photo 1920 x 1080", {owned.back().get()}});
        Input anim{"64-frame animation", {}};
        for (int f = 0; f < 64; ++f) {
            owned.push_back(PhotoLike(320, 240, f));
            anim.frames.push_back(owned.back().get());
        }
        v.push_back(anim);
        return v;
    }();
    return inputs;
}

struct Totals {
    double seconds = 0;
    double bytes = 0;
    int64_t runs = 0;
};
// Per input and writer.
std::map<std::string, std::map<std::string, Totals>> totals;

void Count(const std::string& input, const std::string& who, std::chrono::steady_clock::time_point t0, size_t bytes)
{
    Totals& t = totals[input][who];
    t.seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    t.bytes += static_cast<double>(bytes);
    ++t.runs;
}

// Pages are written one file each; the animation is one file.
void BM_Writer(benchmark::State& state)
{
    const Input& in = Inputs()[static_cast<size_t>(state.range(0))];
    const bool animation = in.frames.size() > 3;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        size_t bytes = 0;
        const size_t files = animation ? 1 : in.frames.size();
        for (size_t i = 0; i < files; ++i) {
            std::vector<GIFImage::TFrameInfo> frames(animation ? in.frames.size() : 1);
            GIFImage::TGIFWriteJob job;
            job.FrameCount = static_cast<int32_t>(frames.size());
            for (size_t f = 0; f < frames.size(); ++f) {
                frames[f].Bitmap = animation ? in.frames[f] : in.frames[i];
                job.Frames[f] = &frames[f];
            }
            TMemoryStream m;
            if (!GIFImage::WriteGIFStream(job, m)) state.SkipWithError("writer failed");
            bytes += static_cast<size_t>(m.Size());
        }
        Count(in.name, "ours", t0, bytes);
    }
}
BENCHMARK(BM_Writer)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// The same indexing for both peers: the colours of all frames in order of first appearance.
struct Indexed {
    std::vector<uint8_t> rgb;                    // the table, red, green, blue
    std::vector<std::vector<uint8_t>> pixels;    // per frame
};

Indexed Index(const std::vector<TBitmap*>& frames)
{
    Indexed out;
    std::unordered_map<uint32_t, int> index;
    for (TBitmap* b : frames) {
        std::vector<uint8_t> px(static_cast<size_t>(b->Width()) * b->Height());
        for (int y = 0; y < b->Height(); ++y) {
            const uint8_t* line = b->ScanLine(y);
            for (int x = 0; x < b->Width(); ++x) {
                const uint32_t key = line[3 * x] | (line[3 * x + 1] << 8) | (line[3 * x + 2] << 16);
                auto [it, added] = index.emplace(key, static_cast<int>(index.size()));
                if (added) out.rgb.insert(out.rgb.end(), {line[3 * x + 2], line[3 * x + 1], line[3 * x]});
                px[static_cast<size_t>(y) * b->Width() + x] = static_cast<uint8_t>(it->second);
            }
        }
        out.pixels.push_back(std::move(px));
    }
    return out;
}

int AppendBytes(GifFileType* g, const GifByteType* data, int n)
{
    auto* out = static_cast<std::vector<uint8_t>*>(g->UserData);
    out->insert(out->end(), data, data + n);
    return n;
}

std::vector<uint8_t> GiflibFile(const std::vector<TBitmap*>& frames)
{
    Indexed ix = Index(frames);
    const int w = frames[0]->Width(), h = frames[0]->Height();
    const int colours = static_cast<int>(ix.rgb.size() / 3);
    const int bits = std::max(1, GifBitSize(colours));
    std::vector<GifColorType> table(size_t(1) << bits);
    for (int i = 0; i < colours; ++i) table[static_cast<size_t>(i)] = {ix.rgb[3 * i], ix.rgb[3 * i + 1], ix.rgb[3 * i + 2]};
    std::vector<uint8_t> out;
    int err = 0;
    GifFileType* g = EGifOpen(&out, AppendBytes, &err);
    ColorMapObject* map = GifMakeMapObject(1 << bits, table.data());
    EGifSetGifVersion(g, true);
    EGifPutScreenDesc(g, w, h, bits, 0, map);
    for (const auto& px : ix.pixels) {
        EGifPutImageDesc(g, 0, 0, w, h, false, nullptr);
        for (int y = 0; y < h; ++y) EGifPutLine(g, const_cast<GifPixelType*>(px.data()) + static_cast<size_t>(y) * w, w);
    }
    EGifCloseFile(g, &err);
    GifFreeMapObject(map);
    return out;
}

int AppendCgif(void* context, const uint8_t* data, const size_t n)
{
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    out->insert(out->end(), data, data + n);
    return 0;
}

std::vector<uint8_t> CgifFile(const std::vector<TBitmap*>& frames)
{
    Indexed ix = Index(frames);
    std::vector<uint8_t> out;
    CGIF_Config config{};
    config.pGlobalPalette = ix.rgb.data();
    config.numGlobalPaletteEntries = static_cast<uint16_t>(ix.rgb.size() / 3);
    config.width = static_cast<uint16_t>(frames[0]->Width());
    config.height = static_cast<uint16_t>(frames[0]->Height());
    config.attrFlags = frames.size() > 1 ? CGIF_ATTR_IS_ANIMATED : 0;
    config.pWriteFn = AppendCgif;
    config.pContext = &out;
    CGIF* g = cgif_newgif(&config);
    for (auto& px : ix.pixels) {
        CGIF_FrameConfig frame{};
        frame.pImageData = px.data();
        cgif_addframe(g, &frame);
    }
    cgif_close(g);
    return out;
}

// A peer's whole work on an input: the pages one file each, the animation as one file.
template <std::vector<uint8_t> (*File)(const std::vector<TBitmap*>&)>
void BM_Peer(benchmark::State& state, const char* who)
{
    const Input& in = Inputs()[static_cast<size_t>(state.range(0))];
    const bool animation = in.frames.size() > 3;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        size_t bytes = 0;
        if (animation)
            bytes = File(in.frames).size();
        else
            for (TBitmap* b : in.frames) bytes += File({b}).size();
        Count(in.name, who, t0, bytes);
    }
}
void BM_Giflib(benchmark::State& state) { BM_Peer<GiflibFile>(state, "giflib"); }
void BM_Cgif(benchmark::State& state) { BM_Peer<CgifFile>(state, "cgif"); }
BENCHMARK(BM_Giflib)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Cgif)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);  // fonts for the page text
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (auto& [input, by] : totals) {
        const Totals& ours = by["ours"];
        for (const char* peer : {"giflib", "cgif"}) {
            const Totals& theirs = by[peer];
            if (!ours.runs || !theirs.runs) continue;
            const double size = (ours.bytes / ours.runs) / (theirs.bytes / theirs.runs);
            const double time = (ours.seconds / ours.runs) / (theirs.seconds / theirs.runs);
            std::printf("GIF writer / %s, %s: size ratio %.3f, time ratio %.3f (mean of %lld and %lld runs)\n", peer,
                        input.c_str(), size, time, static_cast<long long>(ours.runs), static_cast<long long>(theirs.runs));
        }
    }
    return 0;
}
