// The GIF writer against giflib's encoder on the same exhibit-sized pages (800 x 905, a few colours).
// Run: build/benchmarks/bench_gifwriter. Prints the size and time ratios at the end.
#include "gif/GIFWriter.h"

#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <QGuiApplication>

#include <chrono>
#include <cmath>
#include <cstdio>
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

struct Totals {
    double seconds = 0;
    double bytes = 0;
    int64_t runs = 0;
};
Totals ours, theirs;

void BM_WriterPage(benchmark::State& state)
{
    TBitmap& page = *Pages()[static_cast<size_t>(state.range(0))];
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        GIFImage::TFrameInfo frame;
        frame.Bitmap = &page;
        GIFImage::TGIFWriteJob job;
        job.FrameCount = 1;
        job.Frames[0] = &frame;
        TMemoryStream m;
        if (!GIFImage::WriteGIFStream(job, m)) state.SkipWithError("writer failed");
        ours.seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        ours.bytes += static_cast<double>(m.Size());
        ++ours.runs;
        state.counters["bytes"] = static_cast<double>(m.Size());
    }
}
BENCHMARK(BM_WriterPage)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

int AppendBytes(GifFileType* g, const GifByteType* data, int n)
{
    auto* out = static_cast<std::vector<uint8_t>*>(g->UserData);
    out->insert(out->end(), data, data + n);
    return n;
}

// giflib gets the same work: index the 24-bit pixels into a colour map, then encode.
void BM_GiflibPage(benchmark::State& state)
{
    TBitmap& page = *Pages()[static_cast<size_t>(state.range(0))];
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        std::unordered_map<uint32_t, int> index;
        std::vector<GifColorType> colours;
        std::vector<GifPixelType> pixels(static_cast<size_t>(kWidth) * kHeight);
        for (int y = 0; y < kHeight; ++y) {
            const uint8_t* line = page.ScanLine(y);
            for (int x = 0; x < kWidth; ++x) {
                const uint32_t key = line[3 * x] | (line[3 * x + 1] << 8) | (line[3 * x + 2] << 16);
                auto [it, added] = index.emplace(key, static_cast<int>(colours.size()));
                if (added) colours.push_back({line[3 * x + 2], line[3 * x + 1], line[3 * x]});
                pixels[static_cast<size_t>(y) * kWidth + x] = static_cast<GifPixelType>(it->second);
            }
        }
        const int bits = std::max(1, GifBitSize(static_cast<int>(colours.size())));
        colours.resize(size_t(1) << bits);
        std::vector<uint8_t> out;
        int err = 0;
        GifFileType* g = EGifOpen(&out, AppendBytes, &err);
        ColorMapObject* map = GifMakeMapObject(1 << bits, colours.data());
        EGifSetGifVersion(g, true);
        EGifPutScreenDesc(g, kWidth, kHeight, bits, 0, map);
        EGifPutImageDesc(g, 0, 0, kWidth, kHeight, false, nullptr);
        for (int y = 0; y < kHeight; ++y) EGifPutLine(g, pixels.data() + static_cast<size_t>(y) * kWidth, kWidth);
        EGifCloseFile(g, &err);
        GifFreeMapObject(map);
        theirs.seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        theirs.bytes += static_cast<double>(out.size());
        ++theirs.runs;
        state.counters["bytes"] = static_cast<double>(out.size());
    }
}
BENCHMARK(BM_GiflibPage)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);  // fonts for the page text
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (ours.runs && theirs.runs) {
        const double size = (ours.bytes / ours.runs) / (theirs.bytes / theirs.runs);
        const double time = (ours.seconds / ours.runs) / (theirs.seconds / theirs.runs);
        std::printf("GIF writer / giflib: size ratio %.3f, time ratio %.3f (per page, mean of %lld and %lld runs)\n",
                    size, time, static_cast<long long>(ours.runs), static_cast<long long>(theirs.runs));
    }
    return 0;
}
