// Rich text drawn into one rectangle of a report page, from a text of 10,000 and of 100,000
// paragraphs, at its start and in its middle: the cost of a rectangle must not grow with the
// text's length (only what the rectangle takes is laid out). Bound: a few milliseconds a
// rectangle at either length. Reading the text is timed apart (once per text).
#include "BenchQt.h"
#include "report/output/RpxFile.h"
#include "report/rtf/qt/RpxRtfDraw.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

std::string LongText(int paragraphs)
{
    std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}";
    for (int i = 0; i < paragraphs; ++i)
        rtf += "\\fs20 Paragraph " + std::to_string(i) + " of a long text, with a few words to wrap\\par\n";
    return rtf + "}";
}

void BM_DrawOneRectangle(benchmark::State& state)
{
    const std::string rtf = LongText(static_cast<int>(state.range(0)));
    TRpxRtfDraw d;
    d.LoadFromBytes(reinterpret_cast<const uint8_t*>(rtf.data()), rtf.size());
    TRpxRecordingDevice dc;
    d.SetDC(&dc);
    d.ResolutionX = d.ResolutionY = 96;
    d.Rect = {0, 0, 768, 900};
    const int start = state.range(1) ? d.TextLengthOf() / 2 : 0;
    for (auto _ : state) {
        d.NextChar = start;
        d.Draw();
        benchmark::DoNotOptimize(d.NextChar);
    }
}
BENCHMARK(BM_DrawOneRectangle)->Args({10000, 0})->Args({10000, 1})->Args({100000, 0})->Args({100000, 1})
    ->Unit(benchmark::kMillisecond);

void BM_ReadText(benchmark::State& state)
{
    const std::string rtf = LongText(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TRpxRtfDraw d;
        benchmark::DoNotOptimize(d.LoadFromBytes(reinterpret_cast<const uint8_t*>(rtf.data()), rtf.size()));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(rtf.size()));
}
BENCHMARK(BM_ReadText)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunBenchmarksUnderQt(argc, argv); }
