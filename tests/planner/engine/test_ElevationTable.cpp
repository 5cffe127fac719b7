#include "SyntheticPatterns.h"
#include "planner/engine/ElevationTable.h"
#include "planner/engine/PatternRecord.h"
#include "planner/engine/ProjLib.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

struct Table {
    TElevationColumn angle{}, field{}, level{};
};

Table Build(int32_t id, int32_t b)
{
    SelectedElevationId = id;
    BeamTiltIndex = b;
    Table t;
    BuildElevationTable(t.angle, t.field, t.level);
    return t;
}

float E(int s) { return static_cast<float>(LinearElevationSample(s) / 1000.0); }
float Mid(int s) { return static_cast<float>((LinearElevationSample(s) + LinearElevationSample(s + 1)) / 2000.0); }

// The linear record seen at output angle x when the tilt index b shifts it by (20 - b) / 4.
double TrueField(double x, int b) { return (800 - 8 * (x - (20 - b) / 4.0)) / 1000.0; }

class ElevationTableTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        SelectedElevationId = 0;
        BeamTiltIndex = 20;
    }
};

TEST_F(ElevationTableTest, AngleGridQuarterThenHalfDegrees)
{
    const Table t = Build(kLinearElevationId, 20);
    EXPECT_FLOAT_EQ(t.angle[0], -5.0f);
    EXPECT_FLOAT_EQ(t.angle[1], -4.75f);
    EXPECT_FLOAT_EQ(t.angle[20], 0.0f);
    EXPECT_FLOAT_EQ(t.angle[60], 10.0f);
    EXPECT_FLOAT_EQ(t.angle[61], 10.5f);
    EXPECT_FLOAT_EQ(t.angle[62], 11.0f);
    EXPECT_FLOAT_EQ(t.angle[220], 90.0f);
    for (int n = 1; n < kElevationTablePoints; ++n) {
        SCOPED_TRACE(n);
        EXPECT_FLOAT_EQ(t.angle[n] - t.angle[n - 1], n <= 60 ? 0.25f : 0.5f);
    }
}

// Each tilt index: where the direct part ends, what follows it, and the last point.
TEST_F(ElevationTableTest, ShiftedRecordsByTiltIndex)
{
    struct Point { int n; float field; };
    struct Case {
        int b;
        int directEnd;              // last point n with the stored sample n + b
        std::vector<Point> after;   // the points that follow the direct part
    };
    const std::vector<Case> cases{
        // Tilt one degree more than the record's: every second left-over sample joins the
        // half-degree part, then sample 81 stands half a degree later (11.5).
        {16, 60, {{61, E(78)}, {62, E(80)}, {63, E(81)}}},
        // Odd index: one left-over sample is taken; sample 80 follows a quarter degree later.
        {17, 60, {{61, E(79)}}},
        // No shift: the record one to one.
        {20, 60, {{61, E(81)}, {62, E(82)}, {219, E(239)}}},
        // Tilt reduced: midpoints and half-degree samples alternate up to +10 degrees.
        {21, 59, {{60, Mid(80)}}},
        {22, 58, {{59, Mid(80)}, {60, E(81)}}},
        {24, 56, {{57, Mid(80)}, {58, E(81)}, {59, Mid(81)}, {60, E(82)}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("tilt index " + std::to_string(c.b));
        const Table t = Build(kLinearElevationId, c.b);
        for (int n = 0; n <= c.directEnd; ++n) ASSERT_FLOAT_EQ(t.field[n], E(n + c.b)) << "point " << n;
        if (c.directEnd < 60) { EXPECT_NE(t.field[c.directEnd + 1], E(c.directEnd + 1 + c.b)); }
        for (const auto& p : c.after) EXPECT_FLOAT_EQ(t.field[p.n], p.field) << "point " << p.n;
        // The 90-degree sample reaches the table exactly.
        EXPECT_FLOAT_EQ(t.field[220], E(240));
        EXPECT_NEAR(t.level[220], 20 * std::log10(E(240)), 1e-4);
        // Every point lies on the shifted record at its own angle (the spread towards 90
        // degrees bends it only slightly this close to the start).
        for (int n = 0; n <= 70; ++n) EXPECT_NEAR(t.field[n], TrueField(t.angle[n], c.b), 1e-3) << "point " << n;
        for (int n = 1; n < kElevationTablePoints; ++n) ASSERT_LT(t.field[n], t.field[n - 1]) << "point " << n;
    }
}

TEST_F(ElevationTableTest, ZeroSamplesHaveNoValue)
{
    struct Case { int32_t id; int b; int firstEmpty; int lastEmpty; };
    const std::vector<Case> cases{
        {kZeroTailElevationId, 20, 180, 220},  // samples 200 .. 240 at points 180 .. 220
        {kZeroTailElevationId, 24, 0, -1},     // checked below: the end runs out of values
        {kZeroHeadElevationId, 20, 0, 10},     // samples 20 .. 30 at points 0 .. 10
        {kZeroHeadElevationId, 12, 0, 18},     // samples 12 .. 30
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("record " + std::to_string(c.id) + " tilt index " + std::to_string(c.b));
        const Table t = Build(c.id, c.b);
        for (int n = 0; n < kElevationTablePoints; ++n) {
            ASSERT_TRUE(std::isfinite(t.level[n])) << "point " << n;
            ASSERT_TRUE(t.level[n] == kNoLevel || t.level[n] > -100.0f) << "point " << n;
            const bool empty = t.level[n] == kNoLevel;
            EXPECT_EQ(empty, t.field[n] == 0.0f) << "point " << n;
            if (c.lastEmpty >= 0) { EXPECT_EQ(empty, n >= c.firstEmpty && n <= c.lastEmpty) << "point " << n; }
        }
        if (c.lastEmpty < 0) {
            EXPECT_EQ(t.level[220], kNoLevel);
            EXPECT_NE(t.level[100], kNoLevel);
        }
    }
}

TEST_F(ElevationTableTest, OutOfRangeTiltIndexAndDamagedRecords)
{
    // Tilt indexes outside the record act as its ends.
    const Table low = Build(kLinearElevationId, -7);
    const Table zero = Build(kLinearElevationId, 0);
    const Table high = Build(kLinearElevationId, 500);
    const Table top = Build(kLinearElevationId, 80);
    for (int n = 0; n < kElevationTablePoints; ++n) {
        ASSERT_EQ(low.field[n], zero.field[n]);
        ASSERT_EQ(high.field[n], top.field[n]);
    }
    EXPECT_FLOAT_EQ(top.field[0], E(80));
    EXPECT_FLOAT_EQ(top.field[220], E(240));

    // No record: the angles and no values.
    const Table none = Build(0, 20);
    EXPECT_FLOAT_EQ(none.angle[220], 90.0f);
    for (int n = 0; n < kElevationTablePoints; ++n) ASSERT_EQ(none.level[n], kNoLevel);

    // A record cut short repeats its last sample instead of reading past it.
    const Table cut = Build(kShortElevationId, 24);
    EXPECT_FLOAT_EQ(cut.field[220], 0.891f);
}

TEST(PatternRecordTest, SamplesAreClampedToTheRecord)
{
    const TPatternRecord rec(kShortElevationId, kElevationSamples);
    EXPECT_EQ(rec.Code(), "TSTSHR");
    EXPECT_EQ(rec.Count(), 10);
    EXPECT_EQ(rec.V(0), 900);
    EXPECT_EQ(rec.V(-3), 900);
    EXPECT_EQ(rec.V(9), 891);
    EXPECT_EQ(rec.V(240), 891);
    EXPECT_TRUE(TPatternRecord(0, kElevationSamples).Empty());
    EXPECT_EQ(TPatternRecord(0, kElevationSamples).V(5), 0);
    EXPECT_EQ(TPatternRecord(kLinearElevationId, 5).Count(), 5);

    EXPECT_FALSE(FieldLevelDb(0.0).has_value());
    EXPECT_FALSE(FieldLevelDb(-0.5).has_value());
    EXPECT_FALSE(FieldLevelDb(std::nan("")).has_value());
    EXPECT_NEAR(*FieldLevelDb(0.064), -23.876, 1e-3);
}

} // namespace
