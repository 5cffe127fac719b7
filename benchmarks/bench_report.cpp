// The report output at scale: a 1,000-page text report (60 lines a page) recorded through the
// canvas into the record stream, then played back onto a page image at 100 % and 50 % zoom.
// Prints pages per second, the peak resident memory of the process and how much of the
// record stream stays in memory (the rest spills to the temporary file).
#include "BenchQt.h"
#include "report/output/RpxOutput.h"
#include "report/output/qt/RpxPainterDevice.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

constexpr int kPages = 1000;
constexpr int kLines = 60;

std::shared_ptr<TRpxRpxFile> RecordReport()
{
    TRpxOutput out;
    out.SetOutputMode(1);
    out.Title = "Transmission line report";
    out.BeginOutput();
    TRpxCanvas& c = out.Canvas();
    TRpxFont body;
    body.Name = "Arial";
    body.Size = 9;
    TRpxFont heading = body;
    heading.Bold = true;
    heading.Size = 12;
    c.SetPen(TRpxPen{});
    for (int page = 1; page <= kPages; ++page) {
        if (page > 1) out.AdvancePage();
        c.SetFont(heading);
        c.TextOut(72, 48, "Transmission line losses, page " + std::to_string(page));
        c.SetFont(body);
        for (int line = 0; line < kLines; ++line) {
            const int y = 96 + line * 15;
            c.TextOut(72, y, std::to_string(page * kLines + line) + "   1-5/8 in. rigid line   " +
                                 std::to_string(100 + line) + " ft   0.218 dB/100 ft");
            if (line % 10 == 9) {
                c.MoveTo(72, y + 13);
                c.LineTo(744, y + 13);
            }
        }
        out.Progress = 100.0f * page / kPages;
    }
    out.EndOutput();
    return out.Document;
}

void BM_RecordReport(benchmark::State& state)
{
    int64_t memoryPart = 0, total = 0;
    for (auto _ : state) {
        auto doc = RecordReport();
        memoryPart = doc->Stream->MemorySize();
        total = doc->Stream->Size();
        benchmark::DoNotOptimize(doc);
    }
    state.counters["pages/s"] = benchmark::Counter(double(kPages), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["stream_MB"] = double(total) / 1e6;
    state.counters["in_memory_KB"] = double(memoryPart) / 1e3;
    state.counters["peak_rss_MB"] = PeakMegabytes();
}
BENCHMARK(BM_RecordReport)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_PlayReport(benchmark::State& state)
{
    static const auto doc = RecordReport();
    const int zoom = int(state.range(0));
    doc->ZoomX = doc->ZoomY = zoom;
    TRpxImageDevice dev(816 * zoom / 100, 1056 * zoom / 100);
    for (auto _ : state) {
        for (int page = 1; page <= kPages; ++page) {
            dev.FillRect({0, 0, 816, 1056}, {rbsSolid, 0xFFFFFF});
            doc->PlayPage(dev, page);
        }
    }
    state.counters["pages/s"] = benchmark::Counter(double(kPages), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["peak_rss_MB"] = PeakMegabytes();
}
BENCHMARK(BM_PlayReport)->Arg(100)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) { return RunBenchmarksUnderQt(argc, argv); }
