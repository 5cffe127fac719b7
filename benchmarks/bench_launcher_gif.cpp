// Tasklander's GIF reader against giflib's decoder on the same files: the splash picture and a
// 1920 x 1080 picture of 256 colours (written by giflib). Two comparisons, each side doing the
// same work: the stream parsed and every frame decoded to palette indexes; and the picture
// class, which also builds the frame's 8-bit bitmap with its palette, against giflib's decode
// followed by building the same bitmap from giflib's indexes and colour table. One thread each.
// Run: build/bench/benchmarks/bench_launcher_gif. Prints the ratios.
#include "launcher/graphics/GifCodec.h"
#include "launcher/graphics/QvGIF.h"

#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <QFile>
#include <QGuiApplication>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {
using Bytes = std::vector<uint8_t>;

int AppendBytes(GifFileType* g, const GifByteType* data, int n)
{
    auto* out = static_cast<Bytes*>(g->UserData);
    out->insert(out->end(), data, data + n);
    return n;
}

struct MemReader {
    const Bytes* bytes;
    size_t pos = 0;
};

int ReadBytes(GifFileType* g, GifByteType* buf, int n)
{
    auto* r = static_cast<MemReader*>(g->UserData);
    const size_t k = std::min<size_t>(static_cast<size_t>(n), r->bytes->size() - r->pos);
    std::memcpy(buf, r->bytes->data() + r->pos, k);
    r->pos += k;
    return static_cast<int>(k);
}

// A full-HD picture: smooth gradients with shapes and noise, 256 colours.
Bytes FullHd()
{
    const int w = 1920, h = 1080;
    std::vector<GifPixelType> pixels(static_cast<size_t>(w) * h);
    uint32_t s = 1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            s = s * 1103515245u + 12345u;
            const double d = std::hypot(x - 900.0, y - 500.0);
            int v = (x / 8 + y / 6) & 0x7F;
            if (d < 300) v = 128 + static_cast<int>(d / 3) % 64;
            if ((s >> 20) % 50 == 0) v = 192 + static_cast<int>((s >> 8) % 64);
            pixels[static_cast<size_t>(y) * w + x] = static_cast<GifPixelType>(v);
        }
    std::vector<GifColorType> colours(256);
    for (int i = 0; i < 256; ++i) colours[size_t(i)] = {uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)};
    Bytes out;
    int err = 0;
    GifFileType* g = EGifOpen(&out, AppendBytes, &err);
    ColorMapObject* map = GifMakeMapObject(256, colours.data());
    EGifPutScreenDesc(g, w, h, 8, 0, map);
    EGifPutImageDesc(g, 0, 0, w, h, false, nullptr);
    for (int y = 0; y < h; ++y) EGifPutLine(g, pixels.data() + static_cast<size_t>(y) * w, w);
    EGifCloseFile(g, &err);
    GifFreeMapObject(map);
    return out;
}

Bytes Splash()
{
    QFile f(":/launcher/Splash.gif");
    if (!f.open(QIODevice::ReadOnly)) {
        QFile source(MW_SOURCE_DIR "/launcher/resources/Splash.gif");
        if (!source.open(QIODevice::ReadOnly)) return {};
        const QByteArray d = source.readAll();
        return Bytes(d.begin(), d.end());
    }
    const QByteArray d = f.readAll();
    return Bytes(d.begin(), d.end());
}

const Bytes& File(int which)
{
    static const Bytes splash = Splash();
    static const Bytes fullHd = FullHd();
    return which == 0 ? splash : fullHd;
}

struct Totals {
    double seconds = 0;
    int64_t runs = 0;
};
Totals ours[2], picture[2], theirs[2], theirPicture[2];

template <class F>
void Timed(benchmark::State& state, Totals& t, F work)
{
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        work();
        t.seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        ++t.runs;
    }
}

void BM_Ours(benchmark::State& state)
{
    const int which = static_cast<int>(state.range(0));
    const Bytes& gif = File(which);
    Timed(state, ours[which], [&] {
        QvGIF::TGIFStream s;
        QvGIF::ParseGIF(gif, true, s);
        for (const QvGIF::TFrameRecord& f : s.Frames) {
            std::vector<uint8_t> out(static_cast<size_t>(f.Width) * f.Height);
            QvGIF::DecodeLZW(f.ImageData, f.Width, f.Height, f.Interlaced, uint8_t((1 << f.TableBits) - 1), true,
                             out.data());
            benchmark::DoNotOptimize(out.data());
        }
    });
}
BENCHMARK(BM_Ours)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_OurPicture(benchmark::State& state)
{
    const int which = static_cast<int>(state.range(0));
    const Bytes& gif = File(which);
    Timed(state, picture[which], [&] {
        TMemoryStream m;
        m.WriteBuffer(gif.data(), static_cast<int64_t>(gif.size()));
        m.SetPosition(0);
        QvGIF::TGIFImage image;
        image.LoadFromStream(m);
        benchmark::DoNotOptimize(image.Width());
    });
}
BENCHMARK(BM_OurPicture)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_Giflib(benchmark::State& state)
{
    const int which = static_cast<int>(state.range(0));
    const Bytes& gif = File(which);
    Timed(state, theirs[which], [&] {
        MemReader r{&gif};
        int err = 0;
        GifFileType* g = DGifOpen(&r, ReadBytes, &err);
        if (!g || DGifSlurp(g) != GIF_OK) state.SkipWithError("giflib refused the file");
        if (g) DGifCloseFile(g, &err);
    });
}
BENCHMARK(BM_Giflib)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// giflib's decode, then the bitmap the picture class builds: 8 bits per pixel, the frame's
// colour table (or the global one) as its palette, the indexes copied row by row.
void BM_GiflibPicture(benchmark::State& state)
{
    const int which = static_cast<int>(state.range(0));
    const Bytes& gif = File(which);
    Timed(state, theirPicture[which], [&] {
        MemReader r{&gif};
        int err = 0;
        GifFileType* g = DGifOpen(&r, ReadBytes, &err);
        if (!g || DGifSlurp(g) != GIF_OK || g->ImageCount < 1) {
            state.SkipWithError("giflib refused the file");
            if (g) DGifCloseFile(g, &err);
            return;
        }
        const SavedImage& im = g->SavedImages[0];
        const ColorMapObject* map = im.ImageDesc.ColorMap ? im.ImageDesc.ColorMap : g->SColorMap;
        TBitmap bitmap(im.ImageDesc.Width, im.ImageDesc.Height, pf8bit);
        std::vector<TColor> palette(256, RGB(128, 128, 128));
        for (int i = 0; map && i < map->ColorCount && i < 256; ++i)
            palette[size_t(i)] = RGB(map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue);
        bitmap.SetPalette(std::move(palette));
        for (int y = 0; y < im.ImageDesc.Height; ++y)
            std::memcpy(bitmap.ScanLine(y), im.RasterBits + static_cast<size_t>(y) * im.ImageDesc.Width,
                        static_cast<size_t>(im.ImageDesc.Width));
        benchmark::DoNotOptimize(bitmap.ScanLine(0));
        DGifCloseFile(g, &err);
    });
}
BENCHMARK(BM_GiflibPicture)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const char* names[2] = {"splash 407 x 243", "1920 x 1080"};
    for (int i = 0; i < 2; ++i) {
        if (!ours[i].runs || !theirs[i].runs) continue;
        const double giflib = theirs[i].seconds / theirs[i].runs;
        std::printf("GIF reader / giflib, %s: decode time ratio %.3f", names[i], (ours[i].seconds / ours[i].runs) / giflib);
        if (picture[i].runs && theirPicture[i].runs)
            std::printf(", with the bitmap (both sides) %.3f",
                        (picture[i].seconds / picture[i].runs) / (theirPicture[i].seconds / theirPicture[i].runs));
        std::printf("\n");
    }
    return 0;
}
