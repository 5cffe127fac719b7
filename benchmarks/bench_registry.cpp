// Reading every tool's values from the registry, as Tasklander's tool list does: the time per
// tool must not grow with the number of tools.
#include "platform/services/Registry.h"

#include <benchmark/benchmark.h>

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

}  // namespace
