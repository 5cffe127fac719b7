// Number text is on every field's path of the planning pages.
#include "platform/runtime/NumText.h"

#include <benchmark/benchmark.h>

static void BM_FloatToStr(benchmark::State& state)
{
    Extended v = 1.0L / 3.0L;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FloatToStr(v));
        v += 0.001L;
    }
}
BENCHMARK(BM_FloatToStr);

static void BM_StrToFloat(benchmark::State& state)
{
    for (auto _ : state) benchmark::DoNotOptimize(StrToFloat("12345.678"));
}
BENCHMARK(BM_StrToFloat);
