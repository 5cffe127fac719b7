#include "demo/lzh.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes FromText(std::string_view s) { return Bytes(s.begin(), s.end()); }

// Serves a block one request at a time and counts the requests.
struct Source {
    explicit Source(const Bytes& b) : data(b) {}
    const Bytes& data;
    std::size_t pos = 0;
    int calls = 0;
    TLzhReadProc Proc()
    {
        return [this](void* buffer, uint16_t count, uint16_t& actual) {
            ++calls;
            const std::size_t n = std::min<std::size_t>(count, data.size() - pos);
            if (n > 0) std::memcpy(buffer, data.data() + pos, n);
            pos += n;
            actual = static_cast<uint16_t>(n);
        };
    }
};

TLzhWriteProc Sink(Bytes& out)
{
    return [&out](const void* buffer, uint16_t count, uint16_t& actual) {
        const auto* p = static_cast<const uint8_t*>(buffer);
        out.insert(out.end(), p, p + count);
        actual = count;
    };
}

Bytes Compress(const Bytes& in, int64_t* inputCount = nullptr)
{
    Bytes out;
    Source src(in);
    int64_t n = -1;
    LzhEncode(n, Sink(out), src.Proc());
    if (inputCount) *inputCount = n;
    return out;
}

struct Expanded {
    Bytes data;
    bool exhausted = false;
};

Expanded Expand(const Bytes& in, int64_t count)
{
    Expanded e;
    Source src(in);
    TLzhCodec codec;
    const int64_t written = codec.Decode(count, Sink(e.data), src.Proc());
    EXPECT_EQ(written, static_cast<int64_t>(e.data.size()));
    e.exhausted = codec.InputExhausted();
    return e;
}

Bytes Random(std::size_t n, uint32_t seed)
{
    std::mt19937 rng(seed);
    Bytes b(n);
    for (auto& x : b) x = static_cast<uint8_t>(rng());
    return b;
}

// Text-like data: words drawn from a small vocabulary, so matches at every distance abound.
Bytes Words(std::size_t n, uint32_t seed)
{
    static const char* vocabulary[] = {"antenna ", "pattern ", "beam ", "tilt ", "power ", "ERP ", "channel ",
                                       "line ", "feet ", "kW ", "dB ", "azimuth ", "elevation ", "\r\n"};
    std::mt19937 rng(seed);
    Bytes b;
    while (b.size() < n) {
        const char* w = vocabulary[rng() % std::size(vocabulary)];
        b.insert(b.end(), w, w + std::strlen(w));
    }
    b.resize(n);
    return b;
}

// Byte i occurs Fib(i + 1) times, shuffled: the adaptive tree grows a spine deeper than 16
// levels, and the root's frequency crosses the rebuild point.
Bytes FibonacciSkew(uint32_t seed)
{
    Bytes b;
    uint32_t f0 = 1, f1 = 1;
    for (int i = 0; i < 23; ++i) {
        b.insert(b.end(), f0, static_cast<uint8_t>(0x41 + i));
        const uint32_t next = f0 + f1;
        f0 = f1;
        f1 = next;
    }
    std::mt19937 rng(seed);
    std::shuffle(b.begin(), b.end(), rng);
    return b;
}

TEST(Lzh, RoundTripsEveryKindOfBlock)
{
    Bytes all256(256);
    std::iota(all256.begin(), all256.end(), 0);
    Bytes ringWrap = Words(20000, 7);   // several times the 4096-byte window
    const Bytes period = Random(4100, 3);   // repeats just beyond the window's reach
    Bytes beyondWindow = period;
    beyondWindow.insert(beyondWindow.end(), period.begin(), period.end());

    struct Case {
        const char* name;
        Bytes input;
    } cases[] = {
        {"empty", {}},
        {"one byte", {0x00}},
        {"two bytes", {0xFF, 0x20}},
        {"three bytes", FromText("abc")},
        {"leading blanks", FromText(std::string(100, ' ') + "after the blanks" + std::string(70, ' '))},
        {"run longer than a match", Bytes(1000, 'x')},
        {"run of zeros", Bytes(5000, 0)},
        {"all byte values", all256},
        {"all byte values twice", [&] { Bytes b = all256; b.insert(b.end(), all256.begin(), all256.end()); return b; }()},
        {"64 KiB random", Random(65536, 1)},
        {"wraps the ring", ringWrap},
        {"repeats beyond the window", beyondWindow},
        {"skewed, deep codes and rebuilds", FibonacciSkew(11)},
        {"skewed twice over", [] { Bytes b = FibonacciSkew(12); Bytes c = FibonacciSkew(13); b.insert(b.end(), c.begin(), c.end()); return b; }()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        int64_t inputCount = -1;
        const Bytes packed = Compress(c.input, &inputCount);
        EXPECT_EQ(inputCount, static_cast<int64_t>(c.input.size()));
        const Expanded e = Expand(packed, inputCount);
        EXPECT_FALSE(e.exhausted);
        EXPECT_TRUE(e.data == c.input);
    }
}

TEST(Lzh, CompressesRepetitionAndBlanks)
{
    // A run is coded as matches of at most 60 bytes, each a few bits.
    EXPECT_LT(Compress(Bytes(6000, 'x')).size(), 200u);
    // The window starts full of blanks: leading blanks cost next to nothing.
    EXPECT_LT(Compress(Bytes(600, ' ')).size(), 25u);
    EXPECT_LT(Compress(Words(20000, 5)).size(), 20000u / 3);
}

// Streams derived by hand. At the start the tree is the same for both sides: leaves 0..313
// hold symbols 0..313 with frequency 1, and node 314 + k is the parent of nodes 2k and 2k+1
// (root 626). A code is the branch bits (each node index's lowest bit) from the root down.
//  "A": symbol 65 climbs 65, 346, 487, 557, 592, 610, 619, 623, 625 with bits 1 0 1 1 0 0 1 1 1;
//      root first that is 111001101; flushed with zeros: 11100110 1.......  = E6 80.
//  "AA": after "A" leaf 65 (frequency 2) changes places with node 313, the last node of
//      frequency 1; no node above it moves. The second "A" climbs 313, 470, 549, 588, 608, 618,
//      623, 625: code 11000101. 111001101 11000101 = E6 E2 80.
//  "    ": the first string matches the window's blanks over its full 4 bytes at position 0:
//      length symbol 253 + 4 = 257 climbs 257, 442, 535, 581, 604, 616, 622, 625: code 10001101,
//      then the position code of 0 (000) and the low 6 bits (000000): 8D 00 00.
//  "ABCABC": literals A (111001101), B (111001110: B's leaf still at 66), C (111001111: at 67),
//      then "ABC" again as length 3 (symbol 256: 10001100) at position value 2 (000 000010):
//      11100110 11110011 10111001 11110001 10000000 0010.... = E6 F3 B9 F1 80 20.
TEST(Lzh, GoldenStreamsPinBitOrderAndFlushing)
{
    struct Case {
        const char* input;
        Bytes stream;
    } cases[] = {
        {"", {}},
        {"A", {0xE6, 0x80}},
        {"AA", {0xE6, 0xE2, 0x80}},
        {"    ", {0x8D, 0x00, 0x00}},
        {"ABCABC", {0xE6, 0xF3, 0xB9, 0xF1, 0x80, 0x20}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        const Bytes input = FromText(c.input);
        EXPECT_EQ(Compress(input), c.stream);
        const Expanded e = Expand(c.stream, static_cast<int64_t>(input.size()));
        EXPECT_EQ(e.data, input);
        EXPECT_FALSE(e.exhausted);
    }
}

TEST(Lzh, EveryTruncationIsNoticed)
{
    const Bytes input = Words(3000, 21);
    const Bytes packed = Compress(input);
    for (std::size_t cut = 0; cut < packed.size(); ++cut) {
        SCOPED_TRACE(cut);
        const Bytes shorter(packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(cut));
        const Expanded e = Expand(shorter, static_cast<int64_t>(input.size()));
        EXPECT_TRUE(e.exhausted);
        EXPECT_LT(e.data.size(), input.size());
        // What came out before the input ran out is right.
        EXPECT_TRUE(std::equal(e.data.begin(), e.data.end(), input.begin()));
    }
}

TEST(Lzh, DecoderStopsAtTheRequestedCount)
{
    const Bytes input = Bytes(500, 'z');   // matches of 60 bytes: every cut lands inside one
    const Bytes packed = Compress(input);
    for (int64_t want : {0, 1, 59, 61, 250, 499}) {
        SCOPED_TRACE(want);
        const Expanded e = Expand(packed, want);
        EXPECT_EQ(e.data, Bytes(input.begin(), input.begin() + want));
    }
    // Nothing is read for an empty expansion.
    Source src(packed);
    Bytes out;
    EXPECT_EQ(LzhDecode(0, Sink(out), src.Proc()), 0);
    EXPECT_EQ(src.calls, 0);
}

TEST(Lzh, GarbageExpandsWithoutHarm)
{
    for (uint32_t seed = 0; seed < 20; ++seed) {
        SCOPED_TRACE(seed);
        const Bytes junk = Random(64 + seed * 37, seed);
        const Expanded e = Expand(junk, 100000);
        // Input of n bytes can never yield more than 48 n bytes.
        EXPECT_LE(e.data.size(), junk.size() * 48);
        EXPECT_TRUE(e.exhausted || e.data.size() == 100000u);
    }
}

TEST(Lzh, CallbackExceptionsPassThroughAndTablesAreFreed)
{
    const Bytes input = Words(5000, 2);
    int calls = 0;
    auto failingRead = [&](void* buffer, uint16_t, uint16_t& actual) {
        if (++calls > 1000) throw EReadError();
        *static_cast<uint8_t*>(buffer) = input[static_cast<std::size_t>(calls - 1)];
        actual = 1;
    };
    Bytes out;
    int64_t n = 0;
    EXPECT_THROW(LzhEncode(n, Sink(out), failingRead), EReadError);

    const Bytes packed = Compress(input);
    Source src(packed);
    auto failingWrite = [](const void*, uint16_t, uint16_t&) { throw EWriteError(); };
    EXPECT_THROW(LzhDecode(100, failingWrite, src.Proc()), EWriteError);
}

}  // namespace
