// Throughput of the demo files' LZH codec, with zlib's deflate and inflate on the same data for
// scale. Input bytes per second in every case (raw bytes for compression and expansion alike).
#include "demo/MacroFile.h"
#include "demo/lzh.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// Recorded macros: mouse moves with slowly changing coordinates over a handful of windows.
Bytes MacroBlock(int events)
{
    std::mt19937 rng(42);
    std::vector<Vantrel::TEventMsg> ev(static_cast<std::size_t>(events));
    std::vector<Vantrel::TWindowIdentity> ids(ev.size());
    uint32_t x = 400, y = 300;
    for (int i = 0; i < events; ++i) {
        x += rng() % 5 - 2;
        y += rng() % 5 - 2;
        ev[std::size_t(i)] = {0x200, x, y, i * 16, 0x10020};
        auto& w = ids[std::size_t(i)];
        Vantrel::SetText(w.className, i % 40 < 30 ? "TButton" : "TfrmWizard");
        Vantrel::SetText(w.windowText, i % 40 < 30 ? "Next >" : "Design Wizard");
        w.ownerTag = i % 40 < 30 ? 3 : 0;
        w.originX = 380;
        w.originY = 290;
        Vantrel::SetText(w.parentClassName, "TFrmMain");
        Vantrel::SetText(w.parentText, "Mastwise");
    }
    Bytes raw(std::size_t(events) * Vantrel::MacroRecordSize);
    for (int i = 0; i < events; ++i) Vantrel::StoreEvent(ev[std::size_t(i)], raw.data() + i * 20);
    for (int i = 0; i < events; ++i)
        Vantrel::StoreIdentity(ids[std::size_t(i)], raw.data() + std::size_t(events) * 20 + std::size_t(i) * 272);
    return raw;
}

Bytes RandomBlock(std::size_t n)
{
    std::mt19937 rng(7);
    Bytes b(n);
    for (auto& x : b) x = static_cast<uint8_t>(rng());
    return b;
}

// 0: a recorded macro of 1,000 events; 1: random bytes; 2: a recording of 100,000 events
// (29.2 MB).
const Bytes& Data(int kind)
{
    static const Bytes macro = MacroBlock(1000);         // 292,000 bytes
    static const Bytes random = RandomBlock(292000);
    static const Bytes big = MacroBlock(100000);
    return kind == 0 ? macro : kind == 1 ? random : big;
}

Bytes LzhPack(const Bytes& in)
{
    Bytes out;
    out.reserve(in.size());
    std::size_t pos = 0;
    int64_t n = 0;
    LzhEncode(
        n, [&](const void* b, uint16_t c, uint16_t& a) { out.insert(out.end(), (const uint8_t*)b, (const uint8_t*)b + c); a = c; },
        [&](void* b, uint16_t c, uint16_t& a) {
            a = static_cast<uint16_t>(std::min<std::size_t>(c, in.size() - pos));
            if (a) std::memcpy(b, in.data() + pos, a);
            pos += a;
        });
    return out;
}

Bytes LzhUnpack(const Bytes& in, std::size_t size)
{
    Bytes out;
    out.reserve(size);
    std::size_t pos = 0;
    LzhDecode(
        static_cast<int64_t>(size),
        [&](const void* b, uint16_t c, uint16_t& a) { out.insert(out.end(), (const uint8_t*)b, (const uint8_t*)b + c); a = c; },
        [&](void* b, uint16_t c, uint16_t& a) {
            a = static_cast<uint16_t>(std::min<std::size_t>(c, in.size() - pos));
            if (a) std::memcpy(b, in.data() + pos, a);
            pos += a;
        });
    return out;
}

Bytes Deflate(const Bytes& in)
{
    uLongf size = compressBound(in.size());
    Bytes out(size);
    compress2(out.data(), &size, in.data(), in.size(), Z_DEFAULT_COMPRESSION);
    out.resize(size);
    return out;
}

void Label(benchmark::State& state, const Bytes& in, const Bytes& packed)
{
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(in.size()));
    const char* names[] = {"macro", "random", "100,000 events"};
    state.SetLabel(std::string(names[state.range(0)]) + ", " + std::to_string(in.size()) + " to " +
                   std::to_string(packed.size()) + " bytes");
}

void BM_LzhEncode(benchmark::State& state)
{
    const Bytes& in = Data(int(state.range(0)));
    Bytes packed;
    for (auto _ : state) benchmark::DoNotOptimize(packed = LzhPack(in));
    Label(state, in, packed);
}

void BM_LzhDecode(benchmark::State& state)
{
    const Bytes& in = Data(int(state.range(0)));
    const Bytes packed = LzhPack(in);
    for (auto _ : state) benchmark::DoNotOptimize(LzhUnpack(packed, in.size()));
    Label(state, in, packed);
}

void BM_ZlibDeflate(benchmark::State& state)
{
    const Bytes& in = Data(int(state.range(0)));
    Bytes packed;
    for (auto _ : state) benchmark::DoNotOptimize(packed = Deflate(in));
    Label(state, in, packed);
}

void BM_ZlibInflate(benchmark::State& state)
{
    const Bytes& in = Data(int(state.range(0)));
    const Bytes packed = Deflate(in);
    Bytes out(in.size());
    for (auto _ : state) {
        uLongf size = out.size();
        uncompress(out.data(), &size, packed.data(), packed.size());
        benchmark::DoNotOptimize(out.data());
    }
    Label(state, in, packed);
}

// A full recording as the recorder saves and loads it: 100,000 events (29 MB of records).
struct TBigMacro {
    std::vector<Vantrel::TEventMsg> events;
    std::vector<Vantrel::TWindowIdentity> ids;
    std::string file;
    TBigMacro() : file(std::filesystem::temp_directory_path() / "mw_bench_100k.mcr")
    {
        const Bytes raw = MacroBlock(100000);
        events.resize(100000);
        ids.resize(100000);
        for (std::size_t i = 0; i < events.size(); ++i) {
            events[i] = Vantrel::LoadEvent(raw.data() + i * 20);
            ids[i] = Vantrel::LoadIdentity(raw.data() + events.size() * 20 + i * 272);
        }
    }
    ~TBigMacro() { std::filesystem::remove(file); }
};
TBigMacro& Big()
{
    static TBigMacro big;
    return big;
}

void BM_SaveMacro100k(benchmark::State& state)
{
    TBigMacro& big = Big();
    for (auto _ : state) {
        Vantrel::TMacroFile f(big.file);
        f.SaveMacro(big.events, big.ids, 100000);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * 100000 * Vantrel::MacroRecordSize);
}

void BM_LoadMacro100k(benchmark::State& state)
{
    TBigMacro& big = Big();
    Vantrel::TMacroFile(big.file).SaveMacro(big.events, big.ids, 100000);
    std::vector<Vantrel::TEventMsg> events(100000);
    std::vector<Vantrel::TWindowIdentity> ids(100000);
    for (auto _ : state) {
        Vantrel::TMacroFile f(big.file);
        f.OpenMacro();
        f.LoadMacro(events, ids, 100000);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * 100000 * Vantrel::MacroRecordSize);
}

}  // namespace

BENCHMARK(BM_SaveMacro100k)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_LoadMacro100k)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LzhEncode)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZlibDeflate)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LzhDecode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZlibInflate)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
