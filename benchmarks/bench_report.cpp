// The report output at scale: a 1,000-page text report (60 lines a page) recorded through the
// canvas into the record stream, then played back onto a page image at 100 % and 50 % zoom.
// Prints pages per second, the peak resident memory of the process and how much of the
// record stream stays in memory (the rest spills to the temporary file). Beside the player,
// Qt's QTextDocument draws the same text onto the same page images on the same one thread,
// and the ratio of the two medians is printed.
#include "BenchQt.h"
#include "report/output/RpxOutput.h"
#include "report/output/qt/RpxPainterDevice.h"

#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <vector>
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

// The text of a page of RecordReport, line by line (the heading first).
std::vector<std::string> PageLines(int page)
{
    std::vector<std::string> lines{"Transmission line losses, page " + std::to_string(page)};
    for (int line = 0; line < kLines; ++line)
        lines.push_back(std::to_string(page * kLines + line) + "   1-5/8 in. rigid line   " + std::to_string(100 + line) +
                        " ft   0.218 dB/100 ft");
    return lines;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Both sides draw the 1,000 pages' text onto an 816 x 1056 page image (96 pixels per inch,
// white, no antialiasing) on this one thread; five runs each, alternating, medians compared.
// The player decodes the recorded records and places each line where it was recorded; Qt
// builds a QTextDocument of the same lines (heading 12 pt bold, body 9 pt Arial), lays it out
// and draws it. What could not be made equal: Qt places the lines by its own line spacing
// rather than at recorded positions, and the player also draws the six rules of each page.
void BM_PlayReportBesideQt(benchmark::State& state)
{
    static const auto doc = RecordReport();
    doc->ZoomX = doc->ZoomY = 100;
    QFont body("Arial");
    body.setPixelSize(12);   // 9 pt at 96 pixels per inch
    body.setStyleStrategy(QFont::NoAntialias);
    QFont heading = body;
    heading.setPixelSize(16);
    heading.setBold(true);
    auto seconds = [](auto work) {
        const auto start = std::chrono::steady_clock::now();
        work();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    std::vector<double> ours, qt;
    for (auto _ : state) {
        for (int run = 0; run < 5; ++run) {
            ours.push_back(seconds([&] {
                TRpxImageDevice dev(816, 1056);
                for (int page = 1; page <= kPages; ++page) {
                    dev.FillRect({0, 0, 816, 1056}, {rbsSolid, 0xFFFFFF});
                    doc->PlayPage(dev, page);
                }
                benchmark::DoNotOptimize(dev.Image());
            }));
            qt.push_back(seconds([&] {
                QImage image(816, 1056, QImage::Format_RGB32);
                QPainter painter(&image);
                for (int page = 1; page <= kPages; ++page) {
                    painter.fillRect(image.rect(), Qt::white);
                    QTextDocument text;
                    text.setDocumentMargin(72);
                    QTextCursor cursor(&text);
                    const auto lines = PageLines(page);
                    for (size_t i = 0; i < lines.size(); ++i) {
                        if (i > 0) cursor.insertBlock();
                        QTextCharFormat format;
                        format.setFont(i == 0 ? heading : body);
                        cursor.insertText(QString::fromStdString(lines[i]), format);
                    }
                    text.drawContents(&painter);
                }
                painter.end();
                benchmark::DoNotOptimize(image);
            }));
        }
    }
    state.counters["player_ms"] = Median(ours) * 1e3;
    state.counters["qt_ms"] = Median(qt) * 1e3;
    state.counters["player_vs_qt"] = Median(ours) / Median(qt);
}
BENCHMARK(BM_PlayReportBesideQt)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) { return RunBenchmarksUnderQt(argc, argv); }
