// The GIF writer against giflib's and cgif's encoders, each given the same work on three inputs
// (benchmarks/GifBenchInputs.h): index the 24-bit pixels into one colour table, then encode. The
// peers index through the same hashed colour index our writer uses, so the ratio compares writers,
// not the benchmark's own indexing. Not made equal: cgif marks an animation's frames with graphic
// control extensions and a loop block, as our writer does only when asked.
// Run: build/benchmarks/bench_gifwriter. Prints the size and time ratios at the end.
#include "gif/GIFWriter.h"

#include "GifBenchInputs.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <chrono>
#include <cstdio>
#include <map>

namespace {
using gifbench::Input;
using gifbench::Inputs;

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

std::vector<uint8_t> GiflibFile(const std::vector<TBitmap*>& frames) { return gifbench::GiflibFile(frames, true); }
std::vector<uint8_t> CgifFile(const std::vector<TBitmap*>& frames) { return gifbench::CgifFile(frames, true); }

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
