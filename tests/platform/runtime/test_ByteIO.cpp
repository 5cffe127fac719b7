#include "platform/runtime/ByteIO.h"

#include <gtest/gtest.h>

#include <functional>

TEST(ByteIO, LoadsAndStoresLittleEndian)
{
    uint8_t b[8] = {};
    StoreLE16(b, 0xBEEF);
    EXPECT_EQ(b[0], 0xEF);
    EXPECT_EQ(b[1], 0xBE);
    EXPECT_EQ(LoadLE16(b), 0xBEEF);
    StoreLE32(b, 0x89ABCDEFu);
    EXPECT_EQ(std::vector<uint8_t>(b, b + 4), (std::vector<uint8_t>{0xEF, 0xCD, 0xAB, 0x89}));
    EXPECT_EQ(LoadLE32(b), 0x89ABCDEFu);
    StoreLE64(b, 0xF123456789ABCDEFull);
    EXPECT_EQ(b[7], 0xF1);
    EXPECT_EQ(LoadLE64(b), 0xF123456789ABCDEFull);
}

TEST(ByteIO, WriterAndReaderAgree)
{
    TByteWriter w;
    w.U8(0x81);
    w.U16(0x1234);
    w.U32(0xDEADBEEF);
    w.U64(0x0102030405060708ull);
    w.I8(-2);
    w.I16(-300);
    w.I32(-70000);
    w.I64(-5000000000ll);
    w.U16BE(0x1234);
    w.U32BE(0xCAFEF00D);
    w.String("GIF");
    w.Fill(0xAA, 3);
    const uint8_t raw[] = {9, 8};
    w.Bytes(std::span<const uint8_t>(raw));
    EXPECT_EQ(w.Position(), 1u + 2 + 4 + 8 + 1 + 2 + 4 + 8 + 2 + 4 + 3 + 3 + 2);
    EXPECT_EQ(w.Bytes()[1], 0x34);   // low byte first
    EXPECT_EQ(w.Bytes()[30], 0x12);  // high byte first

    TByteReader r(w.Bytes());
    EXPECT_EQ(r.U8(), 0x81);
    EXPECT_EQ(r.U16(), 0x1234);
    EXPECT_EQ(r.U32(), 0xDEADBEEFu);
    EXPECT_EQ(r.U64(), 0x0102030405060708ull);
    EXPECT_EQ(r.I8(), -2);
    EXPECT_EQ(r.I16(), -300);
    EXPECT_EQ(r.I32(), -70000);
    EXPECT_EQ(r.I64(), -5000000000ll);
    EXPECT_EQ(r.U16BE(), 0x1234);
    EXPECT_EQ(r.U32BE(), 0xCAFEF00Du);
    EXPECT_EQ(r.String(3), "GIF");
    const auto fill = r.Take(3);
    EXPECT_EQ(std::vector<uint8_t>(fill.begin(), fill.end()), (std::vector<uint8_t>{0xAA, 0xAA, 0xAA}));
    uint8_t tail[2] = {};
    r.Bytes(tail, 2);
    EXPECT_EQ(tail[1], 8);
    EXPECT_TRUE(r.AtEnd());
    EXPECT_EQ(r.Rest().size(), 0u);
}

// Every read that would pass the end raises EReadError and leaves the position where it was;
// nothing is read as zeros.
TEST(ByteIO, ReadsPastTheEndRaise)
{
    const uint8_t data[7] = {1, 2, 3, 4, 5, 6, 7};
    struct Case {
        const char* name;
        size_t fits;  // the largest start position at which the read still fits
        std::function<void(TByteReader&)> read;
    };
    uint8_t sink[8];
    const Case cases[] = {
        {"U8", 6, [](TByteReader& r) { r.U8(); }},
        {"I8", 6, [](TByteReader& r) { r.I8(); }},
        {"U16", 5, [](TByteReader& r) { r.U16(); }},
        {"I16", 5, [](TByteReader& r) { r.I16(); }},
        {"U16BE", 5, [](TByteReader& r) { r.U16BE(); }},
        {"U32", 3, [](TByteReader& r) { r.U32(); }},
        {"I32", 3, [](TByteReader& r) { r.I32(); }},
        {"U32BE", 3, [](TByteReader& r) { r.U32BE(); }},
        {"Bytes(4)", 3, [&](TByteReader& r) { r.Bytes(sink, 4); }},
        {"Take(2)", 5, [](TByteReader& r) { r.Take(2); }},
        {"String(5)", 2, [](TByteReader& r) { r.String(5); }},
        {"Skip(7)", 0, [](TByteReader& r) { r.Skip(7); }},
        {"Require(1)", 6, [](TByteReader& r) { r.Require(1); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (size_t at = 0; at <= sizeof data; ++at) {
            TByteReader r(data, sizeof data);
            r.Seek(at);
            if (at <= c.fits) {
                EXPECT_NO_THROW(c.read(r)) << "at " << at;
            } else {
                EXPECT_THROW(c.read(r), EReadError) << "at " << at;
                EXPECT_EQ(r.Position(), at);
            }
        }
    }
    TByteReader r(data, sizeof data);
    EXPECT_THROW(r.U64(), EReadError);  // 8 bytes from 7
    // The message names the shortfall, for whoever reads the error of a damaged file.
    r.Seek(5);
    try {
        r.U32();
        ADD_FAILURE() << "read past the end";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "Stream read error: 4 bytes wanted at offset 5 of 7");
    }
    r.Seek(0);
    // Counts taken from a file are 64-bit and may be anything.
    EXPECT_THROW(r.Skip(~uint64_t(0)), EReadError);
    EXPECT_THROW(r.Take(uint64_t(1) << 40), EReadError);
    EXPECT_THROW(r.Require(uint64_t(1) << 63), EReadError);
    EXPECT_THROW(r.Seek(8), EReadError);
    EXPECT_THROW(r.Seek(~uint64_t(0)), EReadError);
    EXPECT_NO_THROW(r.Seek(7));
    EXPECT_TRUE(r.AtEnd());
    // An empty block refuses every read.
    TByteReader empty;
    EXPECT_THROW(empty.U8(), EReadError);
    EXPECT_NO_THROW(empty.Take(0));
    EXPECT_EQ(empty.Remaining(), 0u);
}

TEST(ByteIO, PatchesRewriteOnlyWhatWasWritten)
{
    TByteWriter w;
    w.U32(0);       // a length known later
    w.String("payload");
    w.U16(0);       // a checksum known later
    w.PatchU32(0, 7);
    w.PatchU16(11, 0xABCD);
    TByteReader r(w.Bytes());
    EXPECT_EQ(r.U32(), 7u);
    EXPECT_EQ(r.String(7), "payload");
    EXPECT_EQ(r.U16(), 0xABCD);
    // Patches touching bytes not yet written are refused and change nothing.
    const std::vector<uint8_t> before = w.Bytes();
    EXPECT_THROW(w.PatchU16(12, 1), EWriteError);
    EXPECT_THROW(w.PatchU32(10, 1), EWriteError);
    EXPECT_THROW(w.PatchU32(13, 1), EWriteError);
    EXPECT_THROW(w.PatchU16(~size_t(0), 1), EWriteError);
    EXPECT_THROW(w.PatchU32(~size_t(0) - 1, 1), EWriteError);
    EXPECT_EQ(w.Bytes(), before);
    EXPECT_NO_THROW(w.PatchU32(9, 0x01020304));  // the last four bytes
    EXPECT_EQ(w.Bytes().back(), 0x01);

    const std::vector<uint8_t> taken = w.TakeBytes();
    EXPECT_EQ(taken.size(), 13u);
    w.Clear();
    EXPECT_EQ(w.Position(), 0u);
    EXPECT_THROW(w.PatchU16(0, 1), EWriteError);
}
