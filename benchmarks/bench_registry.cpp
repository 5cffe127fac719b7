// Reading every tool's values from the registry, as Tasklander's tool list does: the time per
// tool must not grow with the number of tools. Bounds: 20,000 tools in well under a second,
// from the parsed data and from the file key by key (one pass over the file in all, where one
// pass per tool would take minutes); a file of 50,000 keys and 100,000 values parsed, listed
// and its key deleted in well under a second.
#include "platform/services/Registry.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

namespace {

std::string ToolRegistry(int tools)
{
    std::string text;
    for (int i = 0; i < tools; ++i)
        text += "[Software\\Belvor\\Tool" + std::to_string(i) + "]\nPath=/opt/t" + std::to_string(i) +
                "\nExeName=t\nGroup=G\nMenuCaption=Tool " + std::to_string(i) + "\nDescription=d\n";
    return text;
}

void BM_ReadEveryToolsValues(benchmark::State& state)
{
    const std::string text = ToolRegistry(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const TRegistryData data = TRegistryData::Parse(text);
        size_t values = 0;
        for (const auto& key : data.SubKeys("Software\\Belvor"))
            values += data.Values("Software\\Belvor\\" + key).size();
        benchmark::DoNotOptimize(values);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));  // tools per second
}
BENCHMARK(BM_ReadEveryToolsValues)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_ReadEveryToolsValuesFromTheFile(benchmark::State& state)
{
    const std::string file = (std::filesystem::temp_directory_path() / "bench_registry.txt").string();
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << ToolRegistry(static_cast<int>(state.range(0)));
    }
    for (auto _ : state) {
        TRegIniFile reg("Software\\Belvor", file);
        TStringList keys;
        reg.ReadSections(keys);
        size_t found = 0;
        for (int k = 0; k < keys.Count(); ++k) {
            TStringList values;
            reg.ReadSectionValues(keys[k], values);
            found += values.Count() + reg.ReadString(keys[k], "menucaption", "").size();
        }
        benchmark::DoNotOptimize(found);
    }
    std::filesystem::remove(file);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadEveryToolsValuesFromTheFile)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_ManyKeysAndValues(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    std::string text = "[Big]\n";
    for (int i = 0; i < n; ++i) text += "V" + std::to_string(i) + "=" + std::to_string(i) + "\nv" + std::to_string(i) + "=last\n";
    for (int i = 0; i < n; ++i) text += "[Big\\K" + std::to_string(i) + "]\n[big\\k" + std::to_string(i) + "\\Sub]\n";
    for (auto _ : state) {
        TRegistryData d = TRegistryData::Parse(text);
        size_t listed = d.SubKeys("Big").size() + d.Values("big").size();
        benchmark::DoNotOptimize(listed);
        d.DeleteKey("Big");
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_ManyKeysAndValues)->Arg(50000)->Unit(benchmark::kMillisecond);

}  // namespace
