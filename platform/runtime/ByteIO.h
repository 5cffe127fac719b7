// Little-endian binary reading and writing for file formats (runtime layer, no Qt).
//
// Every binary reader in the tree reads through TByteReader: a read that would pass the end of
// the bytes raises EReadError before anything is copied, and no read ever yields silent zeros.
// Lengths read from a file are checked with Require() before they size anything.
#pragma once

#include "SysUtils.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Fixed-width little-endian loads and stores on raw bytes (the caller owns the bounds).
inline uint16_t LoadLE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t LoadLE32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline uint64_t LoadLE64(const uint8_t* p)
{
    return static_cast<uint64_t>(LoadLE32(p)) | (static_cast<uint64_t>(LoadLE32(p + 4)) << 32);
}
inline void StoreLE16(uint8_t* p, uint16_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void StoreLE32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void StoreLE64(uint8_t* p, uint64_t v)
{
    for (int i = 0; i < 8; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// Reads a block of bytes it does not own. Positions are byte offsets from the block's start.
class TByteReader {
public:
    TByteReader() = default;
    TByteReader(const void* data, size_t size) : data_(static_cast<const uint8_t*>(data)), size_(size) {}
    explicit TByteReader(std::span<const uint8_t> bytes) : data_(bytes.data()), size_(bytes.size()) {}
    explicit TByteReader(const std::vector<uint8_t>& bytes) : data_(bytes.data()), size_(bytes.size()) {}

    size_t Size() const { return size_; }
    size_t Position() const { return pos_; }
    size_t Remaining() const { return size_ - pos_; }
    bool AtEnd() const { return pos_ == size_; }
    const uint8_t* Data() const { return data_; }

    // Raises EReadError unless count more bytes remain. The message names the shortfall
    // ("Stream read error: 4 bytes wanted at offset 10 of 12").
    void Require(uint64_t count) const
    {
        if (count > Remaining())
            throw EReadError("Stream read error: " + std::to_string(count) + " bytes wanted at offset " +
                             std::to_string(pos_) + " of " + std::to_string(size_));
    }
    void Seek(uint64_t position)
    {
        if (position > size_)
            throw EReadError("Stream read error: offset " + std::to_string(position) + " lies past the end of " +
                             std::to_string(size_) + " bytes");
        pos_ = static_cast<size_t>(position);
    }
    void Skip(uint64_t count)
    {
        Require(count);
        pos_ += static_cast<size_t>(count);
    }

    uint8_t U8()
    {
        Require(1);
        return data_[pos_++];
    }
    uint16_t U16() { return LoadLE16(Advance(2)); }
    uint32_t U32() { return LoadLE32(Advance(4)); }
    uint64_t U64() { return LoadLE64(Advance(8)); }
    int8_t I8() { return static_cast<int8_t>(U8()); }
    int16_t I16() { return static_cast<int16_t>(U16()); }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    int64_t I64() { return static_cast<int64_t>(U64()); }
    uint16_t U16BE()
    {
        const uint8_t* p = Advance(2);
        return static_cast<uint16_t>((p[0] << 8) | p[1]);
    }
    uint32_t U32BE()
    {
        const uint8_t* p = Advance(4);
        return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
               (static_cast<uint32_t>(p[2]) << 8) | p[3];
    }

    void Bytes(void* dest, uint64_t count)
    {
        const uint8_t* p = Advance(count);
        if (count) std::memcpy(dest, p, static_cast<size_t>(count));
    }
    // A view of the next count bytes, valid while the underlying block lives.
    std::span<const uint8_t> Take(uint64_t count)
    {
        const uint8_t* p = Advance(count);
        return {p, static_cast<size_t>(count)};
    }
    std::string String(uint64_t count)
    {
        const uint8_t* p = Advance(count);
        return std::string(reinterpret_cast<const char*>(p), static_cast<size_t>(count));
    }
    // A view of the bytes from the current position, without moving.
    std::span<const uint8_t> Rest() const { return {data_ + pos_, Remaining()}; }

private:
    const uint8_t* Advance(uint64_t count)
    {
        Require(count);
        const uint8_t* p = data_ + pos_;
        pos_ += static_cast<size_t>(count);
        return p;
    }

    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    size_t pos_ = 0;
};

// Appends little-endian values to a byte vector it owns. Patch* rewrite bytes already written
// (a length or offset known only later); patching past the end raises EWriteError.
class TByteWriter {
public:
    size_t Position() const { return bytes_.size(); }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    std::vector<uint8_t> TakeBytes() { return std::move(bytes_); }
    void Reserve(size_t count) { bytes_.reserve(count); }
    void Clear() { bytes_.clear(); }

    void U8(uint8_t v) { bytes_.push_back(v); }
    void U16(uint16_t v) { StoreLE16(Grow(2), v); }
    void U32(uint32_t v) { StoreLE32(Grow(4), v); }
    void U64(uint64_t v) { StoreLE64(Grow(8), v); }
    void I8(int8_t v) { U8(static_cast<uint8_t>(v)); }
    void I16(int16_t v) { U16(static_cast<uint16_t>(v)); }
    void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
    void I64(int64_t v) { U64(static_cast<uint64_t>(v)); }
    void U16BE(uint16_t v)
    {
        uint8_t* p = Grow(2);
        p[0] = static_cast<uint8_t>(v >> 8);
        p[1] = static_cast<uint8_t>(v);
    }
    void U32BE(uint32_t v)
    {
        uint8_t* p = Grow(4);
        for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (24 - 8 * i));
    }
    void Bytes(const void* data, size_t count)
    {
        if (count) std::memcpy(Grow(count), data, count);
    }
    void Bytes(std::span<const uint8_t> data) { Bytes(data.data(), data.size()); }
    void String(std::string_view s) { Bytes(s.data(), s.size()); }
    void Fill(uint8_t value, size_t count) { bytes_.insert(bytes_.end(), count, value); }

    void PatchU16(size_t at, uint16_t v) { StoreLE16(PatchPoint(at, 2), v); }
    void PatchU32(size_t at, uint32_t v) { StoreLE32(PatchPoint(at, 4), v); }

private:
    uint8_t* Grow(size_t count)
    {
        const size_t at = bytes_.size();
        bytes_.resize(at + count);
        return bytes_.data() + at;
    }
    uint8_t* PatchPoint(size_t at, size_t count)
    {
        if (at > bytes_.size() || count > bytes_.size() - at)
            throw EWriteError("Stream write error: " + std::to_string(count) + " bytes patched at offset " +
                              std::to_string(at) + " of " + std::to_string(bytes_.size()) + " written");
        return bytes_.data() + at;
    }

    std::vector<uint8_t> bytes_;
};
