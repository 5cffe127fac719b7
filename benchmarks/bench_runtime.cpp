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

static void BM_FloatToStrFFixed(benchmark::State& state)
{
    Extended v = 1234.5678L;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FloatToStrF(v, TFloatFormat::ffFixed, 15, 2));
        v += 0.01L;
    }
}
BENCHMARK(BM_FloatToStrFFixed);

// The exact expansion grows with the binary exponent: the worst case is the smallest subnormal.
static void BM_FloatToStrExtremes(benchmark::State& state)
{
    const Extended v = state.range(0) ? 3.6e-4951L : 1e-300L;
    for (auto _ : state) benchmark::DoNotOptimize(FloatToStr(v));
}
BENCHMARK(BM_FloatToStrExtremes)->Arg(0)->Arg(1);

static void BM_FormatFloatMask(benchmark::State& state)
{
    for (auto _ : state) benchmark::DoNotOptimize(FormatFloat("#,##0.00;(#,##0.00)", -1234567.891L));
}
BENCHMARK(BM_FormatFloatMask);

static void BM_FormatFixedWidth(benchmark::State& state)
{
    for (auto _ : state) benchmark::DoNotOptimize(Format("%8.2f %5d %s", {3.14159, 42, "dB"}));
}
BENCHMARK(BM_FormatFixedWidth);

static void BM_SingleToStr(benchmark::State& state)
{
    float v = 20.3f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SingleToStr(v));
        v += 0.1f;
    }
}
BENCHMARK(BM_SingleToStr);

static void BM_FormatDateTime(benchmark::State& state)
{
    const TDateTime dt = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 45);
    for (auto _ : state) benchmark::DoNotOptimize(FormatDateTime("c", dt));
}
BENCHMARK(BM_FormatDateTime);
