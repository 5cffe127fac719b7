// Tasklander's catalogue loaded from a registry of 5,000 tools sharing one program: one pass
// over the registry file in all, and each tool's icon and date looked up (most of the time).
// Bound: about a second for the 5,000, growing with their number (one pass over the file per
// tool would take minutes).
#include "BenchQt.h"
#include "launcher/mod_Tool.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>

#include <filesystem>
#include <fstream>

namespace {

void BM_LoadFiveThousandTools(benchmark::State& state)
{
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "bench_catalogue";
    fs::create_directories(dir);
    const std::string program = (dir / "tool.sh").string();
    {
        std::ofstream(program) << "#!/bin/sh\n";
        fs::permissions(program, fs::perms::owner_all);
    }
    const std::string registry = (dir / "registry.txt").string();
    {
        std::ofstream out(registry, std::ios::binary | std::ios::trunc);
        for (int i = 0; i < 5000; ++i)
            out << "[Software\\Belvor\\T" << i << "]\nPath=" << dir.string() << "\nExeName=tool.sh\nGroup=group "
                << i % 7 << "\nMenuCaption=Tool " << i << "\nDescription=About " << i << "\n";
    }
    for (auto _ : state) {
        TToolList list;
        list.RegistryFile = registry;
        list.LoadTools();
        benchmark::DoNotOptimize(list.Count());
    }
    fs::remove_all(dir);
    state.SetItemsProcessed(state.iterations() * 5000);
}
BENCHMARK(BM_LoadFiveThousandTools)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunBenchmarksUnderQt<QApplication>(argc, argv); }
