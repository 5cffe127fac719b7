// The animated GIF control on the main window's showcase (400 x 330, four frames): loading it
// (the file parsed, frame 1 decoded and shown) against loading it with every frame decoded at
// once, and one animation step. Run: build/benchmarks/bench_gifimage.
#include "BenchQt.h"
#include "gif/GIFImage.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>

namespace {

std::vector<uint8_t> Showcase()
{
    QFile f(MW_SOURCE_DIR "/planner/resources/pictures/Showcase.gif");
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = f.readAll();
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

void BM_LoadShowcase(benchmark::State& state)
{
    const std::vector<uint8_t> gif = Showcase();
    GIFImage::TGIFImage image;
    // Watching the load's progress makes the control decode every frame while loading.
    if (state.range(0)) image.OnProgress = [](QObject*, int, int, int, bool&) {};
    for (auto _ : state) {
        if (!image.LoadGIFBytes(gif)) state.SkipWithError("the showcase did not load");
        benchmark::DoNotOptimize(image.CanvasImage().constBits());
    }
    state.SetLabel(state.range(0) ? "every frame decoded" : "frame 1 decoded");
}
BENCHMARK(BM_LoadShowcase)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_StepShowcase(benchmark::State& state)
{
    const std::vector<uint8_t> gif = Showcase();
    GIFImage::TGIFImage image;
    image.LoadGIFBytes(gif);
    image.SetAnimate(true);
    for (auto _ : state) image.StepAnimation();
}
BENCHMARK(BM_StepShowcase)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return RunBenchmarksUnderQt<QApplication>(argc, argv); }
