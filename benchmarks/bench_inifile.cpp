// Reading a large settings file key by key, as a program restoring many settings does: every
// value of 150,000 sections through one settings object. The file is parsed once; each read
// after that is a lookup. Bound: the whole read well under a second (it took seconds when
// every read parsed the file again).
#include "platform/services/IniFiles.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr int kSections = 150000;

std::string MakeFile()
{
    const std::string name = (std::filesystem::temp_directory_path() / "bench_inifile.ini").string();
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    for (int i = 0; i < kSections; ++i) out << "[Section" << i << "]\nValue=" << i << "\n";
    return name;
}

void BM_ReadEverySection(benchmark::State& state)
{
    static const std::string name = MakeFile();
    for (auto _ : state) {
        TIniFile ini(name);
        long long sum = 0;
        for (int i = 0; i < kSections; ++i) sum += ini.ReadInteger("Section" + std::to_string(i), "Value", 0);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kSections);
}
BENCHMARK(BM_ReadEverySection)->Unit(benchmark::kMillisecond);

}  // namespace
