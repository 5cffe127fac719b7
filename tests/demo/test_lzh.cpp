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
    int maxCodeBits = 0;
};

Expanded Expand(const Bytes& in, int64_t count)
{
    Expanded e;
    Source src(in);
    TLzhCodec codec;
    const int64_t written = codec.Decode(count, Sink(e.data), src.Proc());
    EXPECT_EQ(written, static_cast<int64_t>(e.data.size()));
    e.exhausted = codec.InputExhausted();
    e.maxCodeBits = codec.MaxCodeBits();
    return e;
}

// The longest symbol code the encoder sent for input.
int LongestCodeOf(const Bytes& input)
{
    Bytes out;
    Source src(input);
    TLzhCodec codec;
    codec.Encode(Sink(out), src.Proc());
    return codec.MaxCodeBits();
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

// Byte i occurs Fib(i + 1) times, shuffled: the adaptive tree grows a deep spine (the runs
// the shuffle leaves become matches, which keeps it within 16 levels), and the root's
// frequency crosses the rebuild point.
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

// Text over the letters a..h whose parse holds exactly count[i] matches of length[i], besides
// the first literal of each letter. Every match copies its bytes from a random place in the
// window and is closed by a letter that no copy of those bytes in the window is followed by,
// so the longest match found there is exactly that long; the closing letter starts the next
// match. Only the raw output of the generator is used, so the text is the same everywhere.
Bytes ExactMatches(const std::vector<int>& length, std::vector<int> count, uint32_t seed)
{
    constexpr std::size_t window = 4096 - 60;   // strings the match search holds: ring less lookahead
    std::mt19937 rng(seed);
    Bytes t = FromText("abcdefgh");
    std::size_t r = t.size();   // start of the next match; t[r] is its first byte
    t.push_back('a');
    for (int left = std::accumulate(count.begin(), count.end(), 0); left > 0;) {
        std::size_t kind = 0;
        for (int pick = static_cast<int>(rng() % static_cast<uint32_t>(left)); pick >= count[kind]; ++kind)
            pick -= count[kind];
        const std::size_t len = static_cast<std::size_t>(length[kind]);
        const std::size_t lo = r > window ? r - window : 0;
        std::size_t q = lo + rng() % (r - lo);
        while (t[q] != t[r]) q = q + 1 < r ? q + 1 : lo;
        t.resize(r + 1);
        for (std::size_t i = 1; i < len; ++i) t.push_back(t[q + i]);   // may overlap r: a run
        unsigned followers = 0;
        const uint8_t* d = t.data();
        for (std::size_t p = lo; p < r; ++p)
            if (d[p] == d[r] && std::memcmp(d + p, d + r, len) == 0) followers |= 1u << (d[p + len] - 'a');
        if (followers == 0xFF) continue;   // every letter follows somewhere: copy another place
        unsigned z = rng() % 8;
        while (followers >> z & 1) z = (z + 1) % 8;
        t.push_back(static_cast<uint8_t>('a' + z));
        --count[kind];
        --left;
        r += len;
    }
    t.resize(r);
    return t;
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
        EXPECT_LE(LongestCodeOf(input), 16);   // short codes only: the stream a 16-bit word gave
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

// The symbols' tree is always a Huffman tree of their counts plus one. Here only nine match
// lengths and, once each, the eight letters are coded, so the other 305 symbols weigh 313
// together and the deepest of them hang 9 levels below their common top node. Each length's
// count exceeds the weight of everything lighter but the length just below it (the counts grow
// like Fibonacci numbers), so each lifts that node one level: the deepest unused bytes end up 18
// levels down, while the root's frequency (about 28,700) stays below the rebuild point.
TEST(Lzh, CodesLongerThanSixteenBitsRoundTrip)
{
    constexpr int light = 315, margin = 8;   // 313, and a little to spare
    std::vector<int> count = {light + margin, light + margin};
    std::vector<int> spine = {light, light + count[0]};   // the node above the unused bytes
    while (count.size() < 9) {
        spine.push_back(spine.back() + count[spine.size() - 1]);
        count.push_back(spine[spine.size() - 2] + margin);
    }
    ASSERT_EQ(count, (std::vector<int>{323, 323, 646, 969, 1615, 2584, 4199, 6783, 10982}));
    const std::vector<int> length = {11, 10, 9, 8, 7, 6, 5, 4, 3};   // the most frequent the shortest
    Bytes input = ExactMatches(length, count, 5);
    input.push_back('@');   // a byte not used before: its leaf is among the deepest

    Bytes packed;
    Source src(input);
    TLzhCodec encoder;
    ASSERT_EQ(encoder.Encode(Sink(packed), src.Proc()), static_cast<int64_t>(input.size()));
    EXPECT_EQ(encoder.MaxCodeBits(), 18);

    const Expanded e = Expand(packed, static_cast<int64_t>(input.size()));
    EXPECT_FALSE(e.exhausted);
    EXPECT_EQ(e.maxCodeBits, 18);
    EXPECT_TRUE(e.data == input);
    // Without the last byte no code is longer than 9 bits: the long code is that byte's.
    input.pop_back();
    EXPECT_EQ(LongestCodeOf(input), 9);
}

}  // namespace
