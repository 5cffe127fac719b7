#include "SyntheticPatterns.h"
#include "planner/engine/PatternFiles.h"
#include "planner/engine/PatternRecord.h"
#include "planner/engine/ProjLib.h"
#include "planner/engine/TitleBlock.h"
#include "platform/runtime/StrTable.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cmath>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>

using namespace mwtest;

namespace {

std::string Fmt(const char* f, double v)
{
    char b[64];
    std::snprintf(b, sizeof b, f, v);
    return b;
}

std::string Level(double e) { return e > 0 ? Fmt("%6.2f", 10 * std::log10(e * e)) : "---"; }

// The elevation table keeps single-precision columns; the file rounds their halves away from
// zero.
std::string Single(double v, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    const double r = std::round(double(static_cast<float>(v)) * scale) / scale;
    return Fmt(decimals == 3 ? "%6.3f" : "%6.2f", r);
}

// The file as it must be, from the raw record text: line k holds stored sample (k - a) mod 360.
std::string ExpectedAzimuthFile(const std::string& raw, int a)
{
    std::string out;
    for (int k = 0; k < 360; ++k) {
        const int s = ((k - a) % 360 + 360) % 360;
        const double e = std::stoi(raw.substr(6 + 4 * s, 4)) / 1000.0;
        out += std::to_string(k) + "\t" + Fmt("%6.3f", e) + "\t" + Level(e) + "\r\n";
    }
    return out;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = text.find("\r\n", at);
        if (end == std::string::npos) {
            lines.push_back(text.substr(at) + "<no CR LF>");
            break;
        }
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

class PatternFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CreateProjectObjects();
        PatternFileName = dir.File("pattern.pat");
    }
    void TearDown() override
    {
        SelectedAzimuthId = SelectedElevationId = 0;
        AzimuthRotation = 0;
        BeamTiltIndex = 20;
    }
    TempDir dir;
};

}  // namespace

TEST_F(PatternFileTest, AzimuthFileByteForByteForRotations)
{
    const int32_t id = FindPatternRecord("RuxC3X", false);
    ASSERT_NE(id, 0);
    const std::string raw = LoadStr(id);
    for (int a : {0, 90, 360}) {
        SCOPED_TRACE(a);
        SelectedAzimuthId = id;
        AzimuthRotation = a;
        WriteAzimuthPatternFile();
        const std::string file = ReadFileText(PatternFileName);
        EXPECT_EQ(file, ExpectedAzimuthFile(raw, a));
        const auto lines = Lines(file);
        ASSERT_EQ(lines.size(), 360u);
        EXPECT_EQ(lines[359].substr(0, 4), "359\t");
    }
    // Rotation 90: line 90 holds the stored sample 0, line 0 the stored sample 270.
    AzimuthRotation = 90;
    const auto lines = Lines(AzimuthPatternText());
    EXPECT_EQ(lines[90], "90\t" + Fmt("%6.3f", std::stoi(raw.substr(6, 4)) / 1000.0) + "\t" +
                             Level(std::stoi(raw.substr(6, 4)) / 1000.0));
    EXPECT_EQ(lines[0].substr(0, 8), "0\t" + Fmt("%6.3f", std::stoi(raw.substr(6 + 4 * 270, 4)) / 1000.0));
}

TEST_F(PatternFileTest, AzimuthNullWritesDashesNotALogOfZero)
{
    SelectedAzimuthId = kNullAzimuthId;
    AzimuthRotation = 0;
    const auto lines = Lines(AzimuthPatternText());
    EXPECT_EQ(lines[180], "180\t 0.000\t---");
    EXPECT_EQ(lines[179], "179\t 1.000\t  0.00");
}

TEST_F(PatternFileTest, AnyRecordAtItsOwnRotation)
{
    // Neither the selection nor the design's rotation counts.
    SelectedAzimuthId = kOmniAzimuthId;
    AzimuthRotation = 30;
    const auto lines = Lines(AzimuthPatternText(kNullAzimuthId, 90));
    ASSERT_EQ(lines.size(), 360u);
    EXPECT_EQ(lines[270], "270\t 0.000\t---");
    EXPECT_EQ(lines[180], "180\t 1.000\t  0.00");
    EXPECT_EQ(AzimuthPatternText(kNullAzimuthId, 360), AzimuthPatternText(kNullAzimuthId, 0));
}

TEST_F(PatternFileTest, ElevationFileWithATiltShift)
{
    // Tilt one degree below the record's (index 24): samples 24 .. 80 directly, four quarter
    // steps alternating midpoints and stored samples, then samples 82 .. 240 spread from 10
    // to 90 degrees.
    SelectedElevationId = kLinearElevationId;
    BeamTiltIndex = 24;
    auto v = [](int s) { return double(LinearElevationSample(s)); };
    std::string expected;
    for (int n = 0; n <= 220; ++n) {
        const double x = n <= 60 ? n / 4.0 - 5 : 10 + (n - 60) / 2.0;
        double f;
        if (n <= 56) f = v(n + 24);
        else if (n == 57) f = (v(80) + v(81)) / 2;
        else if (n == 58) f = v(81);
        else if (n == 59) f = (v(81) + v(82)) / 2;
        else if (n == 60) f = v(82);
        else f = v(82) + (v(240) - v(82)) * (x - 10) / 80;
        const double e = f / 1000.0;
        expected += Fmt("%6.2f", x) + "\t" + Single(e, 3) + "\t" + Single(10 * std::log10(e * e), 2) + "\r\n";
    }
    WriteElevationPatternFile();
    const std::string file = ReadFileText(PatternFileName);
    EXPECT_EQ(file, expected);
    const auto lines = Lines(file);
    ASSERT_EQ(lines.size(), 221u);
    EXPECT_EQ(lines.front().substr(0, 7), " -5.00\t");
    EXPECT_EQ(lines.back().substr(0, 7), " 90.00\t");
}

TEST_F(PatternFileTest, ElevationPointsWithoutValueEndInDashes)
{
    SelectedElevationId = kZeroTailElevationId;  // samples 200 .. 240 are 0
    BeamTiltIndex = 20;
    const auto lines = Lines(ElevationPatternText());
    ASSERT_EQ(lines.size(), 221u);
    EXPECT_EQ(lines[220], " 90.00\t 0.000\t---");
    EXPECT_EQ(lines[179].substr(lines[179].size() - 3) == "---", false);
    for (int n = 180; n <= 220; ++n) EXPECT_EQ(lines[n].substr(lines[n].size() - 4), "\t---") << n;
    for (const auto& l : lines) EXPECT_EQ(l.find("9999"), std::string::npos);
}

TEST_F(PatternFileTest, NoRecordIsAnErrorAndWritesNothing)
{
    SelectedAzimuthId = 0;
    SelectedElevationId = 0;
    EXPECT_THROW(WriteAzimuthPatternFile(), Exception);
    EXPECT_THROW(WriteElevationPatternFile(), Exception);
    EXPECT_FALSE(std::filesystem::exists(PatternFileName));
}

TEST_F(PatternFileTest, WriteErrorsReachTheCallerAndKeepTheOldFile)
{
    SelectedAzimuthId = kOmniAzimuthId;
    // A folder that does not exist: an I/O error, no file, no leftovers.
    PatternFileName = dir.File("no-such-folder/a.pat");
    EXPECT_THROW(WriteAzimuthPatternFile(), EInOutError);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "no-such-folder"));

    // A write that fails half way (the file size limit stands in for a full disk): the file
    // that was there keeps its contents and no partial file remains.
    PatternFileName = dir.File("kept.pat");
    ASSERT_TRUE(WriteFileText(PatternFileName, "old contents\r\n"));
    struct rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool raised = false;
    try {
        WriteAzimuthPatternFile();
    } catch (const EInOutError& e) {
        raised = true;
        EXPECT_NE(std::string(e.Message()).find("kept.pat"), std::string::npos);
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(raised);
    EXPECT_EQ(ReadFileText(PatternFileName), "old contents\r\n");
    int entries = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) (void)e, ++entries;
    EXPECT_EQ(entries, 1);
}

TEST_F(PatternFileTest, WritingLeavesEveryOtherFileOfTheFolderAlone)
{
    // The file is put together beside the target first; a file of the user's that happens to
    // carry that scratch name must survive, whether the write succeeds or fails.
    SelectedAzimuthId = kOmniAzimuthId;
    AzimuthRotation = 0;
    PatternFileName = dir.File("p.pat");
    const std::string scratch = PatternFileName + ".~tmp";
    ASSERT_TRUE(WriteFileText(scratch, "the user's notes\r\n"));
    WriteAzimuthPatternFile();
    EXPECT_EQ(ReadFileText(PatternFileName), AzimuthPatternText());
    EXPECT_EQ(ReadFileText(scratch), "the user's notes\r\n");

    SelectedAzimuthId = 0;
    EXPECT_THROW(WriteAzimuthPatternFile(), Exception);
    EXPECT_EQ(ReadFileText(scratch), "the user's notes\r\n");
    int entries = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) (void)e, ++entries;
    EXPECT_EQ(entries, 2);
}

TEST(FixedWidth, RightAlignsAndNeverCuts)
{
    struct Case {
        double v;
        int w, d;
        const char* text;
    };
    const Case cases[] = {
        {0.5, 6, 3, " 0.500"}, {-12.345, 6, 2, "-12.35"}, {-123.456, 6, 2, "-123.46"}, {7, 3, 0, "  7"}, {359, 3, 0, "359"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FixedWidth(c.v, c.w, c.d), c.text);
    }
}
