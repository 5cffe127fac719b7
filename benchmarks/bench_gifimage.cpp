// The GIF picture library against its peers, each given the same work:
//   decoding a mixed corpus (three exhibit pages, a 1920 x 1080 photo-like picture of 256 colours,
//   a 64-frame animation) against giflib's DGifSlurp and Qt's reader;
//   ReduceBitmapColors (octree of 256 colours, Floyd-Steinberg) on a 1920 x 1080 photo-like
//   picture against ImageMagick's quantiser (256 colours, Floyd-Steinberg) and libimagequant,
//   with the PSNR of each result beside it; every quantiser on one thread (the program runs itself
//   again with OMP_NUM_THREADS=1 when it is not set), timed by the process's CPU time as well;
//   saving a picture made from 24-bit bitmaps (the frames collect their exact colours into local
//   tables, then are encoded) against giflib and cgif given the same pixels, indexed the same way
//   into one local table per frame (benchmarks/GifBenchInputs.h). Not made equal: cgif marks an
//   animation's frames with graphic control extensions and a loop block, which our picture has not.
// Run: build/bench/benchmarks/bench_gifimage. Prints the ratios at the end.
#include "gif/GIFImg.h"
#include "gif/GIFReduce.h"

#include "GifBenchInputs.h"

#include <Magick++.h>
#include <benchmark/benchmark.h>
#include <gif_lib.h>
#include <libimagequant.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QImageReader>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <random>

#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// Many colours, as a photograph has.
std::unique_ptr<TBitmap> PhotoLike(int w, int h, int seed) { return gifbench::PhotoLike(w, h, seed, false); }

// An exhibit-like page of few colours: frame, rings, spokes, a trace and a table of text.
std::unique_ptr<TBitmap> Page(int variant)
{
    auto b = std::make_unique<TBitmap>(800, 905, pf24bit);
    TCanvas& c = b->Canvas();
    c.Brush.Color = clWhite;
    c.FillRect(Rect(0, 0, 800, 905));
    c.Brush.Style = bsClear;
    c.Rectangle(20, 20, 780, 120);
    c.TextOut(40, 35, "Azimuth pattern  Exhibit " + std::to_string(variant + 1));
    c.Pen.Color = clGray;
    for (int ring = 1; ring <= 5; ++ring) c.Ellipse(400 - 50 * ring, 420 - 50 * ring, 400 + 50 * ring, 420 + 50 * ring);
    c.Pen.Color = variant == 1 ? clNavy : clRed;
    for (int a = 0; a < 360; a += 3) {
        const double t = a * M_PI / 180, f = 0.55 + 0.45 * std::abs(std::cos((2 + variant) * t));
        c.MoveTo(400, 420);
        c.LineTo(400 + static_cast<int>(250 * f * std::cos(t)), 420 - static_cast<int>(250 * f * std::sin(t)));
    }
    c.Pen.Color = clBlack;
    for (int row = 0; row < 12; ++row)
        for (int col = 0; col < 6; ++col) c.TextOut(40 + col * 125, 700 + row * 16, std::to_string(col * 60 + row * 5));
    c.Release();
    return b;
}

std::vector<uint8_t> Encode(GIFImg::TGIFImage& p)
{
    TByteWriter w;
    p.SaveToBytes(w);
    return w.TakeBytes();
}

// The corpus, written by our encoder (each file read by every decoder alike).
const std::vector<std::vector<uint8_t>>& Corpus()
{
    static const auto corpus = [] {
        std::vector<std::vector<uint8_t>> files;
        for (int i = 0; i < 3; ++i) {
            GIFImg::TGIFImage p;
            p.ColorReduction = GIFImg::rdOctree;
            auto page = Page(i);
            p.Add(*page);
            files.push_back(Encode(p));
        }
        {
            GIFImg::TGIFImage p;
            p.ColorReduction = GIFImg::rdOctree;
            auto photo = PhotoLike(1920, 1080, 1);
            p.Add(*photo);
            files.push_back(Encode(p));
        }
        {
            GIFImg::TGIFImage p;
            p.ColorReduction = GIFImg::rdCube216;
            for (int f = 0; f < 64; ++f) {
                auto frame = PhotoLike(320, 240, f);
                p.Add(*frame);
            }
            files.push_back(Encode(p));
        }
        return files;
    }();
    return corpus;
}

std::map<std::string, double> seconds, cpuSeconds;
std::map<std::string, int64_t> runs;

double CpuNow()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

void Count(const std::string& who, Clock::time_point t0, double cpu0 = -1)
{
    seconds[who] += std::chrono::duration<double>(Clock::now() - t0).count();
    if (cpu0 >= 0) cpuSeconds[who] += CpuNow() - cpu0;
    ++runs[who];
}

void BM_DecodeOurs(benchmark::State& state)
{
    Corpus();  // made before the clock runs
    for (auto _ : state) {
        const auto t0 = Clock::now();
        for (const auto& file : Corpus()) {
            GIFImg::TGIFImage p;
            TByteReader r(file);
            p.LoadFromBytes(r);
            benchmark::DoNotOptimize(p.Images().Count());
        }
        Count("decode ours", t0);
    }
}
BENCHMARK(BM_DecodeOurs)->Unit(benchmark::kMillisecond);

struct MemoryInput {
    const std::vector<uint8_t>* bytes;
    size_t pos;
};
int ReadMemory(GifFileType* g, GifByteType* buf, int n)
{
    auto* in = static_cast<MemoryInput*>(g->UserData);
    const size_t take = std::min<size_t>(in->bytes->size() - in->pos, static_cast<size_t>(n));
    std::memcpy(buf, in->bytes->data() + in->pos, take);
    in->pos += take;
    return static_cast<int>(take);
}

void BM_DecodeGiflib(benchmark::State& state)
{
    Corpus();  // made before the clock runs
    for (auto _ : state) {
        const auto t0 = Clock::now();
        for (const auto& file : Corpus()) {
            MemoryInput in{&file, 0};
            int err = 0;
            GifFileType* g = DGifOpen(&in, ReadMemory, &err);
            if (!g || DGifSlurp(g) != GIF_OK) state.SkipWithError("giflib failed");
            benchmark::DoNotOptimize(g->ImageCount);
            DGifCloseFile(g, &err);
        }
        Count("decode giflib", t0);
    }
}
BENCHMARK(BM_DecodeGiflib)->Unit(benchmark::kMillisecond);

void BM_DecodeQt(benchmark::State& state)
{
    Corpus();  // made before the clock runs
    for (auto _ : state) {
        const auto t0 = Clock::now();
        for (const auto& file : Corpus()) {
            QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(file.data()), static_cast<qsizetype>(file.size()));
            QBuffer buffer(&data);
            buffer.open(QIODevice::ReadOnly);
            QImageReader reader(&buffer, "gif");
            int frames = 0;
            while (reader.canRead() && !reader.read().isNull()) ++frames;
            benchmark::DoNotOptimize(frames);
        }
        Count("decode Qt", t0);
    }
}
BENCHMARK(BM_DecodeQt)->Unit(benchmark::kMillisecond);

// --- Colour reduction ----------------------------------------------------------------------------

TBitmap& Photo()
{
    static const auto photo = PhotoLike(1920, 1080, 7);
    return *photo;
}

std::map<std::string, double> psnr;

// PSNR of a reduced picture (RGB per pixel) against the photo.
double Psnr(const std::vector<uint8_t>& rgb)
{
    const TBitmap& src = Photo();
    double se = 0;
    for (int y = 0; y < src.Height(); ++y) {
        const uint8_t* line = src.ScanLine(y);
        for (int x = 0; x < src.Width(); ++x) {
            const uint8_t* out = &rgb[(static_cast<size_t>(y) * src.Width() + x) * 3];
            for (int c = 0; c < 3; ++c) {
                const double d = double(line[3 * x + 2 - c]) - out[c];
                se += d * d;
            }
        }
    }
    const double mse = se / (3.0 * src.Width() * src.Height());
    return 10 * std::log10(255.0 * 255.0 / mse);
}

void BM_ReduceOurs(benchmark::State& state)
{
    Photo();
    std::unique_ptr<TBitmap> out;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        const double cpu0 = CpuNow();
        out = GIFImg::ReduceBitmapColors(Photo(), GIFImg::rdOctree, GIFImg::dmFloydSteinberg, 8);
        Count("reduce ours", t0, cpu0);
    }
    std::vector<uint8_t> rgb;
    for (int y = 0; y < out->Height(); ++y)
        for (int x = 0; x < out->Width(); ++x) {
            const TColor c = out->Palette()[out->ScanLine(y)[x]];
            rgb.insert(rgb.end(), {static_cast<uint8_t>(GetRValue(c)), static_cast<uint8_t>(GetGValue(c)),
                                   static_cast<uint8_t>(GetBValue(c))});
        }
    psnr["reduce ours"] = Psnr(rgb);
}
BENCHMARK(BM_ReduceOurs)->Unit(benchmark::kMillisecond);

std::vector<uint8_t> PhotoRGB()
{
    std::vector<uint8_t> rgb;
    const TBitmap& src = Photo();
    for (int y = 0; y < src.Height(); ++y) {
        const uint8_t* line = src.ScanLine(y);
        for (int x = 0; x < src.Width(); ++x) rgb.insert(rgb.end(), {line[3 * x + 2], line[3 * x + 1], line[3 * x]});
    }
    return rgb;
}

// ImageMagick's quantiser with the work convert -colors 256 does (Floyd-Steinberg).
void BM_ReduceImageMagick(benchmark::State& state)
{
    const std::vector<uint8_t> rgb = PhotoRGB();
    std::vector<uint8_t> result(rgb.size());
    for (auto _ : state) {
        const auto t0 = Clock::now();
        const double cpu0 = CpuNow();
        Magick::Image image(1920, 1080, "RGB", Magick::CharPixel, rgb.data());
        image.quantizeColors(256);
        image.quantizeDither(true);
        image.quantizeDitherMethod(MagickCore::FloydSteinbergDitherMethod);
        image.quantize();
        image.write(0, 0, 1920, 1080, "RGB", Magick::CharPixel, result.data());
        Count("reduce ImageMagick", t0, cpu0);
    }
    psnr["reduce ImageMagick"] = Psnr(result);
}
BENCHMARK(BM_ReduceImageMagick)->Unit(benchmark::kMillisecond);

void BM_ReduceLibimagequant(benchmark::State& state)
{
    std::vector<uint8_t> rgba;
    for (size_t i = 0, n = PhotoRGB().size(); i < n; i += 3) {
        static const std::vector<uint8_t> rgb = PhotoRGB();
        rgba.insert(rgba.end(), {rgb[i], rgb[i + 1], rgb[i + 2], 255});
    }
    std::vector<uint8_t> indexes(1920 * 1080), result;
    const liq_palette* palette = nullptr;
    liq_attr* attr = liq_attr_create();
    liq_set_max_colors(attr, 256);
    for (auto _ : state) {
        const auto t0 = Clock::now();
        const double cpu0 = CpuNow();
        liq_image* image = liq_image_create_rgba(attr, rgba.data(), 1920, 1080, 0);
        liq_result* res = nullptr;
        if (liq_image_quantize(image, attr, &res) != LIQ_OK) state.SkipWithError("libimagequant failed");
        liq_set_dithering_level(res, 1.0f);
        liq_write_remapped_image(res, image, indexes.data(), indexes.size());
        palette = liq_get_palette(res);
        result.clear();
        Count("reduce libimagequant", t0, cpu0);
        for (uint8_t ix : indexes) result.insert(result.end(), {palette->entries[ix].r, palette->entries[ix].g, palette->entries[ix].b});
        liq_result_destroy(res);
        liq_image_destroy(image);
    }
    liq_attr_destroy(attr);
    psnr["reduce libimagequant"] = Psnr(result);
}
BENCHMARK(BM_ReduceLibimagequant)->Unit(benchmark::kMillisecond);

// --- Saving pictures made from 24-bit bitmaps ---------------------------------------------------

// Pages are one file each; the animation is one file.
template <class File>
void SaveEach(benchmark::State& state, const char* who, File file)
{
    const gifbench::Input& in = gifbench::Inputs()[static_cast<size_t>(state.range(0))];
    const std::string key = std::string("save ") + who + ", " + in.name;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        size_t bytes = 0;
        if (in.animation)
            bytes = file(in.frames).size();
        else
            for (TBitmap* b : in.frames) bytes += file({b}).size();
        Count(key, t0);
        benchmark::DoNotOptimize(bytes);
    }
}

std::vector<uint8_t> OurFile(const std::vector<TBitmap*>& frames)
{
    GIFImg::TGIFImage p;
    p.ColorReduction = GIFImg::rdNone;  // the bitmaps' own colours
    for (TBitmap* b : frames) p.Add(*b);
    return Encode(p);
}

void BM_SaveOurs(benchmark::State& state) { SaveEach(state, "ours", OurFile); }
void BM_SaveGiflib(benchmark::State& state)
{
    SaveEach(state, "giflib", [](const std::vector<TBitmap*>& f) { return gifbench::GiflibFile(f, false); });
}
void BM_SaveCgif(benchmark::State& state)
{
    SaveEach(state, "cgif", [](const std::vector<TBitmap*>& f) { return gifbench::CgifFile(f, false); });
}
BENCHMARK(BM_SaveOurs)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveGiflib)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveCgif)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

double Mean(const std::string& who) { return runs[who] ? seconds[who] / runs[who] : 0; }
double CpuMean(const std::string& who) { return runs[who] ? cpuSeconds[who] / runs[who] : 0; }

} // namespace

int main(int argc, char** argv)
{
    // The quantisers' OpenMP runtimes read the thread count when they load: one thread each,
    // as ours has, set before the program runs.
    if (!getenv("OMP_NUM_THREADS")) {
        setenv("OMP_NUM_THREADS", "1", 1);
        execv("/proc/self/exe", argv);
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    Magick::InitializeMagick(*argv);
    Magick::ResourceLimits::thread(1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    auto ratio = [](const char* a, const char* b) {
        if (Mean(a) > 0 && Mean(b) > 0)
            std::printf("%s / %s: time ratio %.3f (throughput %.2fx)\n", a, b, Mean(a) / Mean(b), Mean(b) / Mean(a));
    };
    ratio("decode ours", "decode giflib");
    ratio("decode ours", "decode Qt");
    ratio("reduce ours", "reduce ImageMagick");
    ratio("reduce ours", "reduce libimagequant");
    for (const char* peer : {"reduce ImageMagick", "reduce libimagequant"})
        if (CpuMean(peer) > 0)
            std::printf("reduce ours / %s: CPU time ratio %.3f\n", peer, CpuMean("reduce ours") / CpuMean(peer));
    std::printf("OMP_NUM_THREADS=%s\n", getenv("OMP_NUM_THREADS"));
    for (const auto& [who, db] : psnr) std::printf("%s: PSNR %.2f dB\n", who.c_str(), db);
    for (const gifbench::Input& in : gifbench::Inputs())
        for (const char* peer : {"giflib", "cgif"})
            ratio((std::string("save ours, ") + in.name).c_str(), (std::string("save ") + peer + ", " + in.name).c_str());
    return 0;
}
