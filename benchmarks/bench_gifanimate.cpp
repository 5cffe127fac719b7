// Ten animated GIF pictures on one window against ten QMovie labels on another, playing the
// same file (the planner's four-frame showcase, 400 x 330) for the same wall-clock time in
// the same offscreen event loop: the process's CPU time (every thread), the frame changes
// delivered against those due, and the threads the process ran. The picture side is what a
// picture control does: each paint draws the picture, and every change the picture reports
// asks for a repaint. Both play a delay unit of 10 ms (GIFDelayUnit set to Qt's), so both
// change frames every 250 ms.
// Run: build/bench/benchmarks/bench_gifanimate [--seconds=N] (default 10). Prints the ratio.
#include "gif/GIFImg.h"
#include "gif/GIFPaint.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QMovie>
#include <QPaintEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <sys/resource.h>

namespace {

constexpr int kPictures = 10;
int seconds = 10;
const char* const kFile = MW_SOURCE_DIR "/planner/resources/pictures/Showcase.gif";

double CpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

int Threads() { return static_cast<int>(QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size()); }

// A picture on a window, as the planner's picture controls show one.
class TPictureView : public QWidget {
public:
    explicit TPictureView(const std::vector<uint8_t>& bytes)
    {
        TByteReader r(bytes);
        picture_.LoadFromBytes(r);
        setFixedSize(picture_.Width(), picture_.Height());
        picture_.OnChange = [this](TGraphic&) { update(); };
        picture_.OnPaintFrame = [this](GIFImg::TGIFObject*) { ++frames; };
    }
    ~TPictureView() override { picture_.StopDraw(); }
    int frames = 0;

protected:
    void paintEvent(QPaintEvent*) override
    {
        TCanvas canvas(this);
        picture_.Draw(canvas, Rect(0, 0, width(), height()));
    }

private:
    GIFImg::TGIFImage picture_;
};

struct TRun {
    double cpu = 0;
    int frames = 0;
    int threads = 0;
};

// Shows the window, lets the event loop run for the benchmark's time, and measures.
template <class Count>
TRun Play(QWidget& window, Count frames)
{
    window.show();
    const double before = CpuSeconds();
    const int startFrames = frames();
    TRun run;
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000 / 2, [&] { run.threads = Threads(); });
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    run.cpu = CpuSeconds() - before;
    run.frames = frames() - startFrames;
    window.hide();
    return run;
}

std::vector<uint8_t> FileBytes()
{
    QFile f(kFile);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray b = f.readAll();
    return {b.begin(), b.end()};
}

double ourCpu = 0, peerCpu = 0;

void Report(benchmark::State& state, const TRun& run, int dueFrames)
{
    state.SetIterationTime(run.cpu);
    state.counters["cpu_s"] = run.cpu;
    state.counters["frames"] = run.frames;
    state.counters["due"] = dueFrames;
    state.counters["threads"] = run.threads;
}

// Frame changes due in the run: every picture changes every 250 ms.
int Due() { return kPictures * seconds * 1000 / 250; }

void BM_TenGIFPictures(benchmark::State& state)
{
    const std::vector<uint8_t> bytes = FileBytes();
    if (bytes.empty()) state.SkipWithError("the showcase is missing");
    GIFImg::GIFDelayUnit = 10;
    for (auto _ : state) {
        QWidget window;
        auto* grid = new QGridLayout(&window);
        std::vector<TPictureView*> views;
        for (int i = 0; i < kPictures; ++i) {
            views.push_back(new TPictureView(bytes));
            grid->addWidget(views.back(), i / 5, i % 5);
        }
        const TRun run = Play(window, [&] {
            int n = 0;
            for (TPictureView* v : views) n += v->frames;
            return n;
        });
        ourCpu = run.cpu;
        Report(state, run, Due());
    }
    GIFImg::GIFDelayUnit = 12;
    GIFImg::TRenderer::Free();
}
BENCHMARK(BM_TenGIFPictures)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_TenQMovieLabels(benchmark::State& state)
{
    for (auto _ : state) {
        QWidget window;
        auto* grid = new QGridLayout(&window);
        std::vector<std::unique_ptr<QMovie>> movies;
        int changes = 0;
        for (int i = 0; i < kPictures; ++i) {
            auto* label = new QLabel;
            movies.push_back(std::make_unique<QMovie>(QString(kFile)));
            QObject::connect(movies.back().get(), &QMovie::frameChanged, [&changes] { ++changes; });
            label->setMovie(movies.back().get());
            grid->addWidget(label, i / 5, i % 5);
        }
        for (auto& m : movies) m->start();
        const TRun run = Play(window, [&] { return changes; });
        for (auto& m : movies) m->stop();
        peerCpu = run.cpu;
        Report(state, run, Due());
    }
}
BENCHMARK(BM_TenQMovieLabels)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--seconds=", 10) == 0) seconds = std::max(1, std::atoi(argv[i] + 10));
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (ourCpu > 0 && peerCpu > 0)
        std::printf("ten GIF pictures / ten QMovie labels: CPU time ratio %.2f (%.2f s / %.2f s in %d s)\n",
                    ourCpu / peerCpu, ourCpu, peerCpu, seconds);
    return 0;
}
