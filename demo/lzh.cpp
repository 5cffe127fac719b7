#include "lzh.h"

#include <bit>
#include <cstring>

#include <array>
#include <new>

namespace {

constexpr int N = 4096;           // ring buffer (window)
constexpr int F = 60;             // longest match
constexpr int THRESHOLD = 2;      // a match must be longer than this
constexpr int NIL = N;            // no node in the search trees
constexpr int N_CHAR = 256 - THRESHOLD + F;  // 314 symbols: literals and lengths 3..60
constexpr int T = N_CHAR * 2 - 1;            // 627 nodes of the Huffman tree
constexpr int R = T - 1;                     // root
constexpr unsigned MAX_FREQ = 0x8000;        // root frequency that forces a rebuild

static_assert(N_CHAR == 314 && T == 627 && R == 626);

// The fixed prefix code of the upper 6 bits of a match position: value 0 has 3 bits, 1-3 four,
// 4-11 five, 12-23 six, 24-47 seven, 48-63 eight; codes run on in value order, each the
// previous one plus one at its own length.
struct PositionCodes {
    std::array<uint8_t, 64> code{};     // right-aligned
    std::array<uint8_t, 64> length{};
    std::array<uint8_t, 256> valueOfByte{};   // inverse, indexed by a byte the code prefixes
    std::array<uint8_t, 256> lengthOfByte{};

    constexpr PositionCodes()
    {
        unsigned next = 0;
        int len = 3;
        for (int v = 0; v < 64; ++v) {
            const int want = v == 0 ? 3 : v < 4 ? 4 : v < 12 ? 5 : v < 24 ? 6 : v < 48 ? 7 : 8;
            next <<= (want - len);
            len = want;
            code[v] = static_cast<uint8_t>(next);
            length[v] = static_cast<uint8_t>(len);
            const unsigned first = next << (8 - len);
            for (unsigned b = first; b < first + (1u << (8 - len)); ++b) {
                valueOfByte[b] = static_cast<uint8_t>(v);
                lengthOfByte[b] = static_cast<uint8_t>(len);
            }
            ++next;
        }
    }
};
constexpr PositionCodes positionCodes;
static_assert(positionCodes.code[63] == 0xFF && positionCodes.code[48] == 0xF0);
static_assert((positionCodes.code[24] << 1) == 0xC0 && (positionCodes.code[12] << 2) == 0x90);

}  // namespace

struct TLzhCodec::Tables {
    // Window with an overhang of F - 1 bytes so that comparisons may run past its end.
    uint8_t ring[N + F - 1];
    // Encoder search trees: one ordered tree per first byte, roots at rson[N + 1 + byte].
    uint16_t lson[N + 1];
    uint16_t dad[N + 1];
    uint16_t rson[N + 257];
    // Adaptive Huffman tree. freq[T] is a sentinel above every real frequency; prnt[T + c]
    // is the node of symbol c; a son value of T or more is a leaf (symbol = value - T).
    uint16_t freq[T + 1];
    uint16_t prnt[T + N_CHAR];
    uint16_t son[T];

    // Result of the last insertion: the longest match and its position value.
    int matchLength = 0;
    int matchPosition = 0;

    void StartHuff();
    void Rebuild();
    void Update(int c);

    void InitTree();
    void InsertNode(int r);
    void DeleteNode(int p);
};

void TLzhCodec::Tables::StartHuff()
{
    for (int i = 0; i < N_CHAR; ++i) {
        freq[i] = 1;
        son[i] = static_cast<uint16_t>(i + T);
        prnt[i + T] = static_cast<uint16_t>(i);
    }
    for (int i = 0, j = N_CHAR; j <= R; i += 2, ++j) {
        freq[j] = static_cast<uint16_t>(freq[i] + freq[i + 1]);
        son[j] = static_cast<uint16_t>(i);
        prnt[i] = prnt[i + 1] = static_cast<uint16_t>(j);
    }
    freq[T] = 0xFFFF;
    prnt[R] = 0;
}

// Halves the frequencies and builds the tree again from the leaves, keeping it sorted.
void TLzhCodec::Tables::Rebuild()
{
    int j = 0;
    for (int i = 0; i < T; ++i) {
        if (son[i] >= T) {
            freq[j] = static_cast<uint16_t>((freq[i] + 1) / 2);
            son[j] = son[i];
            ++j;
        }
    }
    for (int i = 0, jj = N_CHAR; jj < T; i += 2, ++jj) {
        const unsigned f = unsigned(freq[i]) + freq[i + 1];
        int k = jj - 1;
        while (f < freq[k]) --k;
        ++k;
        for (int m = jj; m > k; --m) {
            freq[m] = freq[m - 1];
            son[m] = son[m - 1];
        }
        freq[k] = static_cast<uint16_t>(f);
        son[k] = static_cast<uint16_t>(i);
    }
    for (int i = 0; i < T; ++i) {
        const int k = son[i];
        if (k >= T) {
            prnt[k] = static_cast<uint16_t>(i);
        } else {
            prnt[k] = prnt[k + 1] = static_cast<uint16_t>(i);
        }
    }
}

void TLzhCodec::Tables::Update(int c)
{
    if (freq[R] == MAX_FREQ) Rebuild();
    int k = prnt[c + T];
    do {
        const unsigned f = ++freq[k];
        if (f > freq[k + 1]) {
            int l = k + 1;
            while (f > freq[l + 1]) ++l;   // the sentinel at T stops the scan
            freq[k] = freq[l];
            freq[l] = static_cast<uint16_t>(f);

            const int i = son[k];
            prnt[i] = static_cast<uint16_t>(l);
            if (i < T) prnt[i + 1] = static_cast<uint16_t>(l);
            const int j = son[l];
            son[l] = static_cast<uint16_t>(i);
            prnt[j] = static_cast<uint16_t>(k);
            if (j < T) prnt[j + 1] = static_cast<uint16_t>(k);
            son[k] = static_cast<uint16_t>(j);
            k = l;
        }
        k = prnt[k];
    } while (k != 0);
}

void TLzhCodec::Tables::InitTree()
{
    for (int i = N + 1; i <= N + 256; ++i) rson[i] = NIL;
    for (int i = 0; i < N; ++i) dad[i] = NIL;
}

// Hangs the string at r into the tree of its first byte and records the longest match met on
// the way; a string equal over the full match length takes the older node's place.
// How many leading bytes of a and b (up to F) agree, counting from byte 1 as the tree walk
// does; cmp gets the sign of the first difference (0 when all F agree). Eight bytes are
// compared at a time: macro records repeat long runs, and this walk is most of the encoder's time.
static int MatchLength(const uint8_t* a, const uint8_t* b, int& cmp)
{
    int i = 1;
    cmp = 0;
    for (; i + 8 <= F; i += 8) {
        uint64_t x, y;
        std::memcpy(&x, a + i, 8);
        std::memcpy(&y, b + i, 8);
        if (x != y) {
            if constexpr (std::endian::native == std::endian::little) i += std::countr_zero(x ^ y) >> 3;
            else i += std::countl_zero(x ^ y) >> 3;
            cmp = int(a[i]) - int(b[i]);
            return i;
        }
    }
    for (; i < F; ++i) {
        cmp = int(a[i]) - int(b[i]);
        if (cmp != 0) break;
    }
    return i;
}

void TLzhCodec::Tables::InsertNode(int r)
{
    const uint8_t* key = &ring[r];
    int cmp = 1;
    int p = N + 1 + key[0];
    rson[r] = lson[r] = NIL;
    matchLength = 0;
    for (;;) {
        if (cmp >= 0) {
            if (rson[p] == NIL) {
                rson[p] = static_cast<uint16_t>(r);
                dad[r] = static_cast<uint16_t>(p);
                return;
            }
            p = rson[p];
        } else {
            if (lson[p] == NIL) {
                lson[p] = static_cast<uint16_t>(r);
                dad[r] = static_cast<uint16_t>(p);
                return;
            }
            p = lson[p];
        }
        const int i = MatchLength(key, &ring[p], cmp);
        if (i > THRESHOLD) {
            const int position = ((r - p) & (N - 1)) - 1;
            if (i > matchLength) {
                matchPosition = position;
                matchLength = i;
                if (matchLength >= F) break;
            } else if (i == matchLength && position < matchPosition) {
                matchPosition = position;
            }
        }
    }
    // Replace p by r.
    dad[r] = dad[p];
    lson[r] = lson[p];
    rson[r] = rson[p];
    dad[lson[p]] = static_cast<uint16_t>(r);
    dad[rson[p]] = static_cast<uint16_t>(r);
    if (rson[dad[p]] == p) rson[dad[p]] = static_cast<uint16_t>(r);
    else lson[dad[p]] = static_cast<uint16_t>(r);
    dad[p] = NIL;
}

void TLzhCodec::Tables::DeleteNode(int p)
{
    if (dad[p] == NIL) return;
    int q;
    if (rson[p] == NIL) {
        q = lson[p];
    } else if (lson[p] == NIL) {
        q = rson[p];
    } else {
        // Two children: the rightmost node of the left subtree takes p's place.
        q = lson[p];
        if (rson[q] != NIL) {
            do q = rson[q]; while (rson[q] != NIL);
            rson[dad[q]] = lson[q];
            dad[lson[q]] = dad[q];
            lson[q] = lson[p];
            dad[lson[p]] = static_cast<uint16_t>(q);
        }
        rson[q] = rson[p];
        dad[rson[p]] = static_cast<uint16_t>(q);
    }
    dad[q] = dad[p];
    if (rson[dad[p]] == p) rson[dad[p]] = static_cast<uint16_t>(q);
    else lson[dad[p]] = static_cast<uint16_t>(q);
    dad[p] = NIL;
}

namespace {

std::unique_ptr<TLzhCodec::Tables> AllocateTables()
{
    try {
        return std::make_unique<TLzhCodec::Tables>();   // value-initialised: all zero
    } catch (const std::bad_alloc&) {
        throw ElzhException(LzhNoMemoryText);
    }
}

// The callbacks take and give blocks: a call per byte costs more than the coding itself.
constexpr uint16_t kBlock = 4096;

class TByteSource {
public:
    explicit TByteSource(const TLzhReadProc& read) : read_(read) {}
    bool Get(uint8_t& b)
    {
        if (pos_ == end_) {
            if (ended_) return false;
            uint16_t actual = 0;
            read_(buf_.data(), kBlock, actual);
            if (actual == 0) {
                ended_ = true;
                return false;
            }
            pos_ = 0;
            end_ = actual > kBlock ? kBlock : actual;
        }
        b = buf_[pos_++];
        return true;
    }

private:
    const TLzhReadProc& read_;
    std::array<uint8_t, kBlock> buf_{};
    uint16_t pos_ = 0, end_ = 0;
    bool ended_ = false;
};

class TByteSink {
public:
    explicit TByteSink(const TLzhWriteProc& write) : write_(write) {}
    void Put(uint8_t b)
    {
        buf_[n_++] = b;
        if (n_ == kBlock) Flush();
    }
    void Flush()
    {
        if (n_ == 0) return;
        uint16_t actual = 0;
        const uint16_t n = n_;
        n_ = 0;
        write_(buf_.data(), n, actual);
    }

private:
    const TLzhWriteProc& write_;
    std::array<uint8_t, kBlock> buf_{};
    uint16_t n_ = 0;
};

// MSB-first bit writer.
class BitWriter {
public:
    explicit BitWriter(const TLzhWriteProc& write) : sink_(write) {}

    // Appends the low `length` bits of value (length <= 24).
    void Put(uint32_t value, int length)
    {
        acc_ = (acc_ << length) | (value & ((1u << length) - 1));
        pending_ += length;
        while (pending_ >= 8) {
            pending_ -= 8;
            Emit(static_cast<uint8_t>(acc_ >> pending_));
        }
        acc_ &= (1u << pending_) - 1;
    }
    // Writes the pending bits, padded with zeros, as a last byte, and hands everything on.
    void Flush()
    {
        if (pending_ > 0) Emit(static_cast<uint8_t>(acc_ << (8 - pending_)));
        pending_ = 0;
        acc_ = 0;
        sink_.Flush();
    }
    int64_t Written() const { return written_; }

private:
    void Emit(uint8_t b)
    {
        sink_.Put(b);
        ++written_;
    }
    TByteSink sink_;
    uint32_t acc_ = 0;
    int pending_ = 0;
    int64_t written_ = 0;
};

// MSB-first bit reader over a 16-bit buffer refilled a byte at a time while it holds 8 bits or
// fewer. Bytes past the end of the input read as zeros; a reader that consumed any of those
// bits reports the input as exhausted.
class BitReader {
public:
    explicit BitReader(const TLzhReadProc& read) : source_(read) {}

    int Bit()
    {
        Fill();
        const int bit = (buf_ >> 15) & 1;
        buf_ = static_cast<uint16_t>(buf_ << 1);
        --bits_;
        ++consumed_;
        return bit;
    }
    int Byte()
    {
        Fill();
        const int b = buf_ >> 8;
        buf_ = static_cast<uint16_t>(buf_ << 8);
        bits_ -= 8;
        consumed_ += 8;
        return b;
    }
    bool Exhausted() const { return consumed_ > delivered_ * 8; }

private:
    void Fill()
    {
        while (bits_ <= 8) {
            uint8_t b = 0;
            if (source_.Get(b)) ++delivered_;
            else b = 0;
            buf_ = static_cast<uint16_t>(buf_ | (unsigned(b) << (8 - bits_)));
            bits_ += 8;
        }
    }
    TByteSource source_;
    uint16_t buf_ = 0;
    int bits_ = 0;
    int64_t consumed_ = 0;
    int64_t delivered_ = 0;
};


}  // namespace

TLzhCodec::TLzhCodec() = default;
TLzhCodec::~TLzhCodec() = default;

int64_t TLzhCodec::Encode(const TLzhWriteProc& write, const TLzhReadProc& read)
{
    bytesWritten_ = 0;
    maxCodeBits_ = 0;
    const auto t = AllocateTables();
    BitWriter out(write);
    TByteSource in(read);

    // A symbol's code is the path from the root to its leaf; a node's branch bit is the lowest
    // bit of its index. The path is collected leaf first into a 64-bit word (the tree's
    // frequencies are capped, which keeps it far shallower than that) and sent root first in
    // pieces of at most 16 bits.
    auto encodeChar = [&](int c) {
        uint64_t code = 0;
        int length = 0;
        int k = t->prnt[c + T];
        do {
            code |= uint64_t(k & 1) << length;
            ++length;
            k = t->prnt[k];
        } while (k != R);
        if (length > maxCodeBits_) maxCodeBits_ = length;
        while (length > 0) {
            const int piece = length > 16 ? 16 : length;
            length -= piece;
            out.Put(static_cast<uint32_t>(code >> length), piece);
        }
        t->Update(c);
    };
    auto encodePosition = [&](int position) {
        const int upper = position >> 6;
        out.Put(positionCodes.code[upper], positionCodes.length[upper]);
        out.Put(static_cast<uint32_t>(position & 0x3F), 6);
    };

    t->StartHuff();
    t->InitTree();
    int s = 0;
    int r = N - F;
    for (int i = s; i < r; ++i) t->ring[i] = ' ';
    int len = 0;
    for (uint8_t c = 0; len < F && in.Get(c); ++len) t->ring[r + len] = c;
    int64_t inputCount = len;
    for (int i = 1; i <= F; ++i) t->InsertNode(r - i);
    t->InsertNode(r);

    while (len > 0) {
        if (t->matchLength > len) t->matchLength = len;
        if (t->matchLength <= THRESHOLD) {
            t->matchLength = 1;
            encodeChar(t->ring[r]);
        } else {
            encodeChar(255 - THRESHOLD + t->matchLength);
            encodePosition(t->matchPosition);
        }
        const int lastMatchLength = t->matchLength;
        int i = 0;
        for (uint8_t c = 0; i < lastMatchLength && in.Get(c); ++i) {
            t->DeleteNode(s);
            t->ring[s] = c;
            if (s < F - 1) t->ring[s + N] = c;
            s = (s + 1) & (N - 1);
            r = (r + 1) & (N - 1);
            t->InsertNode(r);
        }
        inputCount += i;
        for (; i < lastMatchLength; ++i) {
            t->DeleteNode(s);
            s = (s + 1) & (N - 1);
            r = (r + 1) & (N - 1);
            if (--len != 0) t->InsertNode(r);
        }
    }
    out.Flush();
    bytesWritten_ = out.Written();
    return inputCount;
}

int64_t TLzhCodec::Decode(int64_t outputCount, const TLzhWriteProc& write, const TLzhReadProc& read)
{
    inputExhausted_ = false;
    maxCodeBits_ = 0;
    if (outputCount <= 0) return 0;
    const auto t = AllocateTables();
    BitReader in(read);

    t->StartHuff();
    for (int i = 0; i < N - F; ++i) t->ring[i] = ' ';
    int r = N - F;
    int64_t count = 0;
    TByteSink out(write);
    auto put = [&](uint8_t b) {
        out.Put(b);
        t->ring[r] = b;
        r = (r + 1) & (N - 1);
        ++count;
    };

    while (count < outputCount) {
        int c = t->son[R];
        int depth = 0;
        for (; c < T; ++depth) c = t->son[c + in.Bit()];
        if (depth > maxCodeBits_) maxCodeBits_ = depth;
        c -= T;
        t->Update(c);
        if (in.Exhausted()) break;
        if (c < 256) {
            put(static_cast<uint8_t>(c));
            continue;
        }
        int b = in.Byte();
        const int upper = positionCodes.valueOfByte[b];
        for (int extra = positionCodes.lengthOfByte[b] - 2; extra > 0; --extra) b = (b << 1) | in.Bit();
        if (in.Exhausted()) break;
        const int position = (upper << 6) | (b & 0x3F);
        const int start = (r - position - 1) & (N - 1);
        const int length = c - 255 + THRESHOLD;
        for (int k = 0; k < length && count < outputCount; ++k) put(t->ring[(start + k) & (N - 1)]);
    }
    out.Flush();
    inputExhausted_ = in.Exhausted();
    return count;
}

void LzhEncode(int64_t& inputCount, const TLzhWriteProc& write, const TLzhReadProc& read)
{
    TLzhCodec codec;
    inputCount = codec.Encode(write, read);
}

int64_t LzhDecode(int64_t outputCount, const TLzhWriteProc& write, const TLzhReadProc& read)
{
    TLzhCodec codec;
    return codec.Decode(outputCount, write, read);
}
