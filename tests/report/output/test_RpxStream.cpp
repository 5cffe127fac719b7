#include "report/output/RpxStream.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>

namespace {

std::vector<uint8_t> Pattern(size_t n)
{
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>((i * 131 + i / 251) & 0xFF);
    return v;
}

// Written in uneven pieces, as records are.
void WriteInPieces(TRpxStream& s, const std::vector<uint8_t>& bytes)
{
    size_t at = 0, step = 1;
    while (at < bytes.size()) {
        const size_t n = std::min(step, bytes.size() - at);
        s.WriteBuffer(bytes.data() + at, static_cast<int64_t>(n));
        at += n;
        step = step * 7 % 997 + 1;
    }
}

} // namespace

TEST(RpxStream, SpillsPastTheLimitAndReadsBackAcrossEveryBoundary)
{
    const auto bytes = Pattern(600000);
    TRpxStream s;
    EXPECT_EQ(s.SpillLimit(), 512000);
    WriteInPieces(s, bytes);
    EXPECT_EQ(s.Size(), 600000);
    EXPECT_GE(s.FileSize(), 512001);
    EXPECT_EQ(s.FileSize() + s.MemorySize(), 600000);
    ASSERT_FALSE(s.TempFileName().empty());
    EXPECT_EQ(std::filesystem::path(s.TempFileName()).filename().string().substr(0, 3), "Rpx");

    std::vector<uint8_t> back(bytes.size());
    s.SetPosition(0);
    ASSERT_EQ(s.Read(back.data(), static_cast<int64_t>(back.size())), 600000);
    EXPECT_EQ(back, bytes);

    // Reads that straddle the cache window's edge and the file/memory boundary.
    for (int64_t at : {int64_t(0), int64_t(9990), int64_t(10000), int64_t(511990), int64_t(599990)}) {
        s.SetPosition(at);
        uint8_t piece[20] = {};
        const int64_t got = s.Read(piece, 20);
        ASSERT_EQ(got, std::min<int64_t>(20, 600000 - at)) << at;
        for (int64_t i = 0; i < got; ++i) EXPECT_EQ(piece[i], bytes[static_cast<size_t>(at + i)]) << at + i;
    }
}

TEST(RpxStream, ShortReadReturnsTheCountRead)
{
    TRpxStream s;
    s.WriteBuffer("abcdef", 6);
    s.SetPosition(4);
    char buf[10] = {};
    EXPECT_EQ(s.Read(buf, 10), 2);
    EXPECT_EQ(std::string(buf, 2), "ef");
    EXPECT_EQ(s.Read(buf, 10), 0);
    s.SetPosition(4);
    EXPECT_THROW(s.ReadBuffer(buf, 10), EReadError);
}

TEST(RpxStream, ABackPatchInsideTheCachedWindowIsReadBack)
{
    const auto bytes = Pattern(700000);
    TRpxStream s;
    WriteInPieces(s, bytes);
    // Read a region so it is cached, then patch inside it, as a length fix-up does.
    s.SetPosition(1000);
    uint8_t four[4];
    s.ReadBuffer(four, 4);
    EXPECT_LE(s.CacheStart(), 1000);
    const uint8_t patch[4] = {0xDE, 0xAD, 0xBE, 0xEF};
    s.SetPosition(1002);
    s.WriteBuffer(patch, 4);
    EXPECT_EQ(s.Size(), 700000);
    s.SetPosition(1000);
    uint8_t got[8];
    s.ReadBuffer(got, 8);
    EXPECT_EQ(got[0], bytes[1000]);
    EXPECT_EQ(got[1], bytes[1001]);
    EXPECT_EQ(got[2], 0xDE);
    EXPECT_EQ(got[5], 0xEF);
    EXPECT_EQ(got[6], bytes[1006]);
}

TEST(RpxStream, TheTemporaryGoesWithClearAndDestruction)
{
    std::string name;
    {
        TRpxStream s;
        WriteInPieces(s, Pattern(520000));
        s.WriteBuffer("x", 1);
        name = s.TempFileName();
        ASSERT_TRUE(std::filesystem::exists(name));
        s.Clear();
        EXPECT_FALSE(std::filesystem::exists(name));
        EXPECT_EQ(s.Size(), 0);
        EXPECT_EQ(s.Position(), 0);
        WriteInPieces(s, Pattern(520000));
        s.WriteBuffer("x", 1);
        name = s.TempFileName();
        ASSERT_TRUE(std::filesystem::exists(name));
    }
    EXPECT_FALSE(std::filesystem::exists(name));
}

TEST(RpxStream, SeekHasNoBounds)
{
    TRpxStream s;
    s.WriteBuffer("abc", 3);
    EXPECT_EQ(s.Seek(-1, TSeekOrigin::soEnd), 2);
    EXPECT_EQ(s.Seek(10, TSeekOrigin::soCurrent), 12);
    char c;
    EXPECT_EQ(s.Read(&c, 1), 0);
}
