// Generating a banded report at scale: ~60 detail rows a page under a page header and footer,
// one group level with header and footer, a running total per group and for the report,
// recorded through the report output and printed to a PDF file through the program's printer
// (the path of the viewer's print button). Beside it Qt lays out the same rows in a
// QTextDocument and prints them to a PDF file, on the same one thread. Prints pages per second
// and the peak resident memory; the report runs twice (250 and 1,000 pages) so that memory
// growth with the page count shows.
//
// What could not be made equal: the engine's pages are its bands (header, group lines, rows,
// footer, totals) placed by its own layout, Qt's the same texts as paragraphs in its flow, so
// the page counts differ slightly; both print at 96 pixels per inch to letter paper.
#include "BenchQt.h"
#include "BenchRpxPdf.h"
#include "report/generate/DaxBuilder.h"

#include <QFileInfo>
#include <QPageSize>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <string>

namespace {

constexpr int kRowsPerPage = 60;
constexpr int kGroupRows = 30;
// Seconds the engine took for the rows of 1,000 pages, for the ratio printed beside Qt's.
double engineSeconds = 0;

std::string RowText(int row) { return "1-5/8 in. rigid line, section " + std::to_string(row); }

// The report: letter paper, half-inch margins, 14-pixel rows.
struct LineReport {
    explicit LineReport(int rows) : rowCount(rows), page(DaxBuild::Page(report, "ReportPage"))
    {
        using namespace DaxBuild;
        report.Prompt = false;
        DefaultBands(page, 14);
        page.PageSetup.SetHeight(11.0);
        desc = &ExprVar(page, "Desc", dtypeString);
        desc->OnGetData = [this](TDaxVar& v) { v.SetAsString(RowText(row)); };
        loss = &ExprVar(page, "Loss", dtypeFloat);
        loss->OnGetData = [this](TDaxVar& v) { v.SetAsFloat(0.218 * (row % 7 + 1)); };
        section = &ExprVar(page, "Section", dtypeInteger);
        section->OnGetData = [this](TDaxVar& v) { v.SetAsInteger(row / kGroupRows); };
        auto& sum = Total(page, "LossSum", *loss);
        auto& group = Group(page, "SectionGroup", section, 14, 14);
        Text(*page.PageHead, "Title", "Transmission line losses", 0, 0, 300, 14);
        VarLabel(*group.Header, "SectionNo", *section, 0, 0, 100, 14);
        VarLabel(*page.Detail, "DescLabel", *desc, 0, 0, 400, 14);
        VarLabel(*page.Detail, "LossLabel", *loss, 420, 0, 100, 14);
        for (TDaxBand* b : {group.Footer, page.Foot}) {
            auto& t = Label<TDaxTotalvarLabel>(*b, b->Name() + "Sum", 420, 0, 100, 14);
            t.SetTotalVariable(&sum);
        }
        Text(*page.PageFoot, "PageEnd", "Mastwise", 0, 0, 100, 14);
        page.OnDataStart = [this](TDaxReportPage& p) {
            row = 0;
            p.DataFinished = rowCount == 0;
        };
        page.OnDataSkip = [this](TDaxReportPage& p) { p.DataFinished = ++row >= rowCount; };
        page.OnPreview = [this](TDaxReportPage& p) { document = p.Output->Document; };
    }

    TDaxReport report;
    int rowCount;
    int row = 0;
    TDaxReportPage& page;
    TDaxExprVar *desc = nullptr, *loss = nullptr, *section = nullptr;
    std::shared_ptr<TRpxRpxFile> document;
};

void BM_GenerateReport(benchmark::State& state)
{
    const int pages = int(state.range(0));
    QTemporaryDir dir;
    int recorded = 0;
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        LineReport r(pages * kRowsPerPage);
        int last = 0;
        r.page.OnUpdateStatus = [&](TDaxReportPage& p, TDaxStatus) { last = p.PagesCounted; };
        r.report.Run();
        recorded = last;
        if (r.document) PrintRpxToPdf(*r.document, dir.filePath("report.pdf").toStdString());
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["pages"] = recorded;
    state.counters["pdf_KB"] = double(QFileInfo(dir.filePath("report.pdf")).size()) / 1e3;
    state.counters["pages/s"] = benchmark::Counter(double(recorded), benchmark::Counter::kIsIterationInvariantRate);
    if (pages == 1000) engineSeconds = seconds;
    state.counters["peak_rss_MB"] = PeakMegabytes();
}
BENCHMARK(BM_GenerateReport)->Arg(250)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(1);

// The same rows, group lines and totals as paragraphs of a QTextDocument printed to PDF.
void BM_QtTextDocumentPdf(benchmark::State& state)
{
    const int pages = int(state.range(0));
    const int rows = pages * kRowsPerPage;
    QTemporaryDir dir;
    int printed = 0;
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        QTextDocument doc;
        QTextCursor cursor(&doc);
        double groupSum = 0, sum = 0;
        for (int row = 0; row < rows; ++row) {
            if (row % kGroupRows == 0) cursor.insertText(QString("Section %1\n").arg(row / kGroupRows));
            const double loss = 0.218 * (row % 7 + 1);
            groupSum += loss;
            sum += loss;
            cursor.insertText(QString::fromStdString(RowText(row)) + "\t" + QString::number(loss, 'f', 3) + "\n");
            if (row % kGroupRows == kGroupRows - 1 || row == rows - 1) {
                cursor.insertText(QString("Section total %1\n").arg(groupSum, 0, 'f', 2));
                groupSum = 0;
            }
        }
        cursor.insertText(QString("Report total %1").arg(sum, 0, 'f', 2));
        QPdfWriter pdf(dir.filePath("rows.pdf"));
        pdf.setPageSize(QPageSize(QPageSize::Letter));
        pdf.setResolution(96);
        doc.setPageSize(QSizeF(pdf.width(), pdf.height()));
        doc.print(&pdf);
        printed = doc.pageCount();
        state.counters["pdf_KB"] = double(QFileInfo(dir.filePath("rows.pdf")).size()) / 1e3;
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    // How many times longer Qt takes for the same rows printed (above 1: the engine is faster).
    if (engineSeconds > 0) state.counters["qt_time_ratio"] = seconds / engineSeconds;
    state.counters["pages"] = printed;
    state.counters["pages/s"] = benchmark::Counter(double(printed), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["peak_rss_MB"] = PeakMegabytes();
}
BENCHMARK(BM_QtTextDocumentPdf)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) { return RunBenchmarksUnderQt(argc, argv); }
