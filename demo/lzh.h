// LZH: the compressor of the demo recorder's files. LZSS over a 4096-byte window of blanks
// with matches of 3 to 60 bytes, an adaptive Huffman coder over 314 symbols (256 literals and
// 58 match lengths), and a fixed prefix code for the upper 6 bits of a match position. Bits go
// out most significant first. The stream carries no length: the caller keeps it.
#pragma once

#include "platform/runtime/SysUtils.h"

#include <cstdint>
#include <functional>
#include <memory>

// Byte source: delivers up to count bytes into buffer and sets actual to the number delivered
// (0 at the end of the input). The codec asks for blocks of up to 4096 bytes.
using TLzhReadProc = std::function<void(void* buffer, uint16_t count, uint16_t& actual)>;
// Byte sink: takes count bytes. The codec passes blocks of up to 4096 bytes (everything
// written before Encode or Decode returns) and ignores actual.
using TLzhWriteProc = std::function<void(const void* buffer, uint16_t count, uint16_t& actual)>;

// Raised when the working tables cannot be had.
class ElzhException : public Exception {
public:
    using Exception::Exception;
};

inline constexpr const char* LzhNoMemoryText = "LZH : Cannot get memory for dictionary tables";

// One compressor/expander. Its tables are allocated at the start of every Encode or Decode
// and freed at its end (also when a callback raises), so separate objects may run at once.
class TLzhCodec {
public:
    TLzhCodec();
    ~TLzhCodec();
    TLzhCodec(const TLzhCodec&) = delete;
    TLzhCodec& operator=(const TLzhCodec&) = delete;

    // Reads the whole input through read, writes the compressed stream through write and
    // returns the number of input bytes read.
    int64_t Encode(const TLzhWriteProc& write, const TLzhReadProc& read);

    // Reads compressed bytes through read and writes at most outputCount expanded bytes
    // through write; returns the number written. A stream that ends early stops the expansion
    // at the first symbol whose bits are missing, so the count comes out short.
    int64_t Decode(int64_t outputCount, const TLzhWriteProc& write, const TLzhReadProc& read);

    // After Decode: true when the expansion needed bits the input did not have.
    bool InputExhausted() const { return inputExhausted_; }
    // After Encode: the number of compressed bytes written.
    int64_t BytesWritten() const { return bytesWritten_; }
    // After Encode or Decode: the length in bits of the longest symbol code sent or read, that
    // is the depth of the deepest leaf the run used (the position codes are not counted).
    int MaxCodeBits() const { return maxCodeBits_; }

    struct Tables;   // the working tables, private to lzh.cpp

private:
    bool inputExhausted_ = false;
    int64_t bytesWritten_ = 0;
    int maxCodeBits_ = 0;
};

// Compresses everything read delivers; inputCount receives the number of bytes read.
void LzhEncode(int64_t& inputCount, const TLzhWriteProc& write, const TLzhReadProc& read);
// Expands outputCount bytes; returns the number written, short when the input ran out.
int64_t LzhDecode(int64_t outputCount, const TLzhWriteProc& write, const TLzhReadProc& read);
