// What the benchmarks that draw with Qt share: their entry point (fonts and painting need a Qt
// application) and the process's peak memory for the counters they print.
#pragma once

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <sys/resource.h>

// The process's peak resident memory so far, in megabytes.
inline double PeakMegabytes()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024.0;
}

// Runs the registered benchmarks inside an offscreen Qt application (unless a platform is set):
// a QGuiApplication, or the application class given (QApplication for widgets).
template <class TApplication = QGuiApplication>
inline int RunBenchmarksUnderQt(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    TApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
