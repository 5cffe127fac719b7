#include "planner/engine/ProjLib.h"
#include "planner/engine/ProjObj.h"
#include "platform/runtime/StrTable.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

class ProjLibTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CreateProjectObjects();
        SelectedAzimuthId = 0;
        SelectedElevationId = 0;
    }
};

TEST_F(ProjLibTest, DecibelConversions)
{
    struct Case { float ratio; float db; };
    for (const auto& c : std::vector<Case>{{20.0f, 13.0103f}, {1.0f, 0.0f}, {0.0f, 0.0f}, {-1.0f, 0.0f}, {1e-30f, -300.0f}}) {
        SCOPED_TRACE(c.ratio);
        EXPECT_NEAR(RatioToDb(c.ratio), c.db, 1e-3);
    }
    EXPECT_NEAR(DbToRatio(3.0f), 1.99526f, 1e-5);
    EXPECT_FLOAT_EQ(DbToRatio(0.0f), 1.0f);
    EXPECT_NEAR(DbToRatio(-10.0f), 0.1f, 1e-7);
    EXPECT_NEAR(DbToRatio(RatioToDb(37.5f)), 37.5f, 1e-4);
}

TEST_F(ProjLibTest, NtscPeakAndAverage)
{
    struct Case { float aural; float average; float peak; };
    for (const auto& c : std::vector<Case>{{10.0f, 70.0f, 100.0f}, {20.0f, 80.0f, 100.0f}, {5.0f, 13.0f, 20.0f}}) {
        SCOPED_TRACE(c.aural);
        SysObj->AuralPercent = c.aural;
        EXPECT_NEAR(NtscPeakFromAverage(c.average), c.peak, 1e-4);
        EXPECT_NEAR(NtscAverageFromPeak(c.peak), c.average, 1e-4);
    }
}

TEST_F(ProjLibTest, GetDelimitedField)
{
    struct Case { int k; const char* row; const char* field; };
    const std::vector<Case> cases = {
        {0, "a|b|c|", "a"},
        {1, "a|  b  |c|", "b"},
        {2, "a|b|c|", "c"},
        {5, "a|b|c|", "c"},           // past the end: the last field
        {3, "a|b", "b"},              // no closing separator
        {0, "", ""},
        {0, "|x|", ""},
        {1, "|x|", "x"},
        {0, "  lone  ", "lone"},
        {1, "1 = 54-60 MHz|54|60|", "54"},
        {-3, "a|b|", "a"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.row) + " #" + std::to_string(c.k));
        EXPECT_EQ(GetDelimitedField(c.k, c.row, '|'), c.field);
    }
}

TEST_F(ProjLibTest, ReplaceTokenAndFormatPatternCode)
{
    EXPECT_EQ(ReplaceToken("Zek8L#", "#", "3"), "Zek8L3");
    EXPECT_EQ(ReplaceToken("a#b#", "#", "12"), "a12b#");
    EXPECT_EQ(ReplaceToken("none", "#", "3"), "none");
    EXPECT_EQ(ReplaceToken("abc", "", "x"), "abc");

    struct Case { const char* code; const char* text; };
    const std::vector<Case> cases = {
        {"ZekOCX", "Zek-OC"}, {"OMNIXX", "OMNI"}, {"VHFHNC", "VHFHNC"}, {"RuxC3X", "Rux-C3"},
        {"zekabx", "zek-ab"}, {"RUXOMN", "RUX-OMN"}, {"XXXXXX", ""}, {"Zek", "Zek-"}, {"Ze", "Ze"},
        {"ZxkabX", "Zxkab"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(FormatPatternCode(c.code), c.text);
    }
}

TEST_F(ProjLibTest, CatalogBlocksAndPatternRecords)
{
    EXPECT_EQ(LastRecordId(19000), 19001);
    EXPECT_EQ(LastRecordId(1000), 1066);
    EXPECT_EQ(LastRecordId(2000), 2034);
    EXPECT_THROW(LastRecordId(19001), EConvertError);  // a paragraph is no count

    const std::string first = LoadStr(2001).substr(0, 6);
    const std::string lastElevation = LoadStr(1066).substr(0, 6);
    struct Case { std::string code; bool elevation; int32_t id; };
    const std::vector<Case> cases = {
        {first, false, 2001},
        {lastElevation, true, 1066},
        {first.substr(0, 5), false, 0},  // records are compared on all six characters
        {first + "X", false, 0},
        {first, true, 0},                // azimuth codes are not in the elevation block
        {"", false, 0},
        {"nosuch", true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(FindPatternRecord(c.code, c.elevation), c.id);
    }
    EXPECT_EQ(FindAzimuthRecord(first), 2001);

    SelectAzimuthPattern("RuxC3X");
    ASSERT_NE(SelectedAzimuthId, 0);
    StoreAzimuthPatternType();
    EXPECT_EQ(ExhibitPatternType.str(), "RuxC3X");
    SelectAzimuthPattern("RuxC3");
    EXPECT_EQ(SelectedAzimuthId, 0);
    SelectElevationPattern(lastElevation);
    EXPECT_EQ(SelectedElevationId, 1066);
}

// Damaged catalog blocks, linked under ids no real catalog uses.
const std::array<TStrTableEntry, 13> kDamagedCatalogs{{
    {980000, "abc"},
    {980100, ""},
    {980200, "99999999999"},
    {980300, "2147000000"},
    {980400, "1000000"},
    {980500, "3"},
    {980501, "ABC|"},
    {980503, std::string_view("x\0|y", 4)},
    {980600, "-2"},
    {980700, "2"},
    {980701, "|"},
    {980702, "Zek#|"},
    {980800, std::string_view("1\0", 2)},
}};
const TStringTable kDamagedTable{"DamagedCatalogs", kDamagedCatalogs.data(), kDamagedCatalogs.size()};
const TStringTableRegistration kDamagedRegistration(kDamagedTable);

TEST_F(ProjLibTest, DamagedCatalogCountsAreClearErrors)
{
    enum Expect { Last, Convert, Range };
    struct Case { const char* what; int32_t base; Expect expect; int32_t last; };
    const Case cases[] = {
        {"a count that is no number", 980000, Convert, 0},
        {"an empty count", 980100, Convert, 0},
        {"a count beyond 32 bits", 980200, Convert, 0},
        {"a count past the id range", 980300, Range, 0},
        {"a count whose last row is missing", 980400, Range, 0},
        {"a block with a gap but its last row", 980500, Last, 980503},
        {"a negative count: no rows", 980600, Last, 980598},
        {"a count with a NUL after it (read as 1, a missing row)", 980800, Range, 0},
        {"no block at all", 980900, Convert, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        switch (c.expect) {
        case Last: EXPECT_EQ(LastRecordId(c.base), c.last); break;
        case Convert: EXPECT_THROW(LastRecordId(c.base), EConvertError); break;
        case Range: EXPECT_THROW(LastRecordId(c.base), ERangeError); break;
        }
    }
}

TEST_F(ProjLibTest, ShortAndMissingCatalogRowsGiveWhatTheyHold)
{
    struct Case { std::string row; int32_t k; std::string field; };
    const std::vector<Case> fields = {
        {"ABC|", 3, "ABC"},
        {"|", 1, ""},
        {"", 0, ""},
        {std::string("x\0|y", 4), 0, "x"},   // a NUL is trimmed like a blank
        {std::string(100000, 'a') + "|b", 1, "b"},
    };
    for (const auto& c : fields) {
        SCOPED_TRACE(c.row.substr(0, 10));
        EXPECT_EQ(GetDelimitedField(c.k, c.row, '|'), c.field);
    }
    struct Row { int32_t index; const char* h; const char* v; };
    const Row rows[] = {
        {0, "", ""},             // a row of one empty field
        {1, "Zek4", "Zek4"},     // a row of one field: later fields give that one
        {5, "", ""},             // past the block
        {-3, "", ""},            // before it
        {std::numeric_limits<int32_t>::max(), "", ""},   // an index past the id range
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.index);
        CreateProjectObjects();
        SysObj->Family = 1;
        SetElevationPatternFromCatalog(980700, r.index, false, 1.0f);
        EXPECT_EQ(AntObj->HElName, r.h);
        EXPECT_EQ(AntObj->VElName, r.v);
    }
}

TEST_F(ProjLibTest, PatternTypeNamesAreCutToTwentyCharacters)
{
    AntObj->HElName = "Rux40H6-a-very-long-model-name";
    StoreElevationPatternType();
    EXPECT_EQ(ExhibitPatternType.str(), "Rux40H6-a-very-long-");

    struct Case { uint8_t family; const char* h; const char* v; const char* hName; const char* vName; };
    const std::vector<Case> cases = {
        {0, "Omni", "CA", "Zek-Omni", "Zek-CA"},
        {1, "C3", "Omni", "Rux-C3", "Rux-Omni"},
        {2, "NC", "NC", "Rux-NC", "Rux-NC"},
        {3, "0123456789abcdefghij", "x", "Rux-0123456789abcdef", "Rux-x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.family));
        SysObj->Family = c.family;
        AntObj->HAzSuffix = c.h;
        AntObj->VAzSuffix = c.v;
        BuildPatternTypeNames();
        EXPECT_EQ(HAzTypeName.str(), c.hName);
        EXPECT_EQ(VAzTypeName.str(), c.vName);
    }
}

TEST_F(ProjLibTest, PowerSplit)
{
    struct Case { float hAz, hEl, vAz, vEl; int percent; float hSplit; };
    const std::vector<Case> cases = {
        {1, 1, 1, 1, 100, 0.5f},
        {1, 1, 1, 1, 0, 1.0f},
        {2, 20, 1, 18, 0, 1.0f},
        {1, 20, 1, 18, 100, 18.0f / 38.0f},
        {1, 20, 1, 20, 50, 20.0f / 30.0f},
        {1, 20, 0, 18, 0, 1.0f},     // no vertical gain: divisor 0
        {1, 20, -1, 18, 10, 1.0f},   // negative divisor
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.percent);
        AntObj->HAzGain = c.hAz;
        AntObj->HElGain = c.hEl;
        AntObj->VAzGain = c.vAz;
        AntObj->VElGain = c.vEl;
        AntObj->VerticalPercent = c.percent;
        ComputePowerSplit();
        EXPECT_NEAR(AntObj->HSplit, c.hSplit, 1e-6);
        EXPECT_NEAR(AntObj->VSplit, 1.0f - c.hSplit, 1e-6);
        // The vertical ERP is the asked share of the horizontal one.
        const float gv = c.vAz * c.vEl;
        if (gv > 0) {
            EXPECT_NEAR(AntObj->HSplit * c.hAz * c.hEl * c.percent / 100.0f, AntObj->VSplit * gv, 1e-4);
        }
    }
}

TEST_F(ProjLibTest, AntennaPartNumber)
{
    struct Case {
        uint8_t family, powerClass, mounting, elliptical;
        int percent;
        float ntsc;
        const char* stem;
        const char* suffix;
        int channel;
        const char* part;
    };
    const std::vector<Case> cases = {
        {1, 2, 1, 0, 0, 60.0f, "Rux20H3", "C3", 32, "Rux20H3-HSC3-32S"},
        {1, 2, 1, 0, 0, 60.01f, "Rux20H3", "C3", 32, "Rux20H3-HSC3-32H"},
        {1, 2, 1, 0, 0, 120.0f, "Rux20H3", "C3", 32, "Rux20H3-HSC3-32H"},
        {1, 2, 1, 0, 0, 300.0f, "Rux20H3", "C3", 32, "Rux20H3-HSC3-32M"},
        {1, 2, 1, 0, 0, 300.5f, "Rux20H3", "C3", 32, "Rux20H3-HSC3-32"},
        {1, 2, 0, 1, 100, 10.0f, "Rux8N3", "Omni", 14, "Rux8N3-CTOmni-14S"},
        {1, 2, 1, 1, 40, 10.0f, "Rux8N3", "Omni", 69, "Rux8N3-ESOmni-69S"},
        {1, 2, 2, 0, 0, 10.0f, "Rux8N3", "PN", 40, "Rux8N3-HPN-40S"},  // unknown mounting: no letter
        {0, 1, 1, 0, 0, 10.0f, "Zek8L3", "Omni", 20, "Zek8M3-HSOmni-20"},
        {0, 0, 1, 0, 0, 10.0f, "Zek8M3", "Omni", 20, "Zek8L3-HSOmni-20"},
        {0, 2, 1, 0, 0, 10.0f, "Zek8M3", "Omni", 20, "Zek8L3-HSOmni-20"},
        {0, 1, 1, 0, 0, 10.0f, "ZekL8L3", "CA", 20, "ZekM8L3-HSCA-20"},  // only the first letter
        {0, 1, 1, 0, 0, 10.0f, "LLL8L3", "CA", 20, "LLL8M3-HSCA-20"},   // the prefix keeps its letters
        {2, 1, 1, 0, 0, 500.0f, "Rux8BN2", "NC", 10, "Rux8BN2-HSNC-10"},
        {3, 1, 0, 1, 100, 60.0f, "anything", "C3", 32, "non-Belvor antenna"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.part);
        SysObj->Family = c.family;
        SysObj->PowerClass = c.powerClass;
        SysObj->Mounting = c.mounting;
        SysObj->NTSCPower = c.ntsc;
        SysObj->ChannelNumber = c.channel;
        AntObj->Elliptical = c.elliptical;
        AntObj->VerticalPercent = c.percent;
        AntObj->HElName = c.stem;
        AntObj->HAzSuffix = c.suffix;
        BuildAntennaPartNumber();
        EXPECT_EQ(AntObj->PartNumber, c.part);
    }
}

// Rows of the shipped catalogs: 9003 is "Zek8L#" / "Zek8L#V", 10028 "Rux20H#" / "Rux20H#V".
TEST_F(ProjLibTest, ElevationModelNames)
{
    ASSERT_EQ(GetDelimitedField(1, LoadStr(9003), '|'), "Zek8L#");
    ASSERT_EQ(GetDelimitedField(1, LoadStr(10028), '|'), "Rux20H#");
    struct Case {
        uint8_t family, powerClass;
        int32_t base, index;
        bool horizontalOnly;
        float tilt;
        const char* h;
        const char* v;  // nullptr: VElName keeps its default
    };
    const std::vector<Case> cases = {
        {0, 1, 9000, 2, true, 0.75f, "Zek8M3", nullptr},
        {0, 0, 9000, 2, true, 0.75f, "Zek8L3", nullptr},
        {0, 1, 9000, 2, false, 0.75f, "Zek8L3", "Zek8L3V"},  // the second mode keeps the letter
        {1, 1, 10000, 27, true, 1.5f, "Rux20H6", nullptr},
        {1, 2, 10000, 27, false, 0.0f, "Rux20H0", "Rux20H0V"},
        {1, 2, 10000, 27, true, 0.3f, "Rux20H2", nullptr},   // rounded up to a quarter degree
        {2, 1, 10000, 27, false, 2.25f, "Rux20H9", "Rux20H9V"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.h);
        CreateProjectObjects();
        SysObj->Family = c.family;
        SysObj->PowerClass = c.powerClass;
        SetElevationPatternFromCatalog(c.base, c.index, c.horizontalOnly, c.tilt);
        EXPECT_EQ(AntObj->HElName, c.h);
        EXPECT_EQ(AntObj->VElName, c.v ? c.v : "18 Gain");
    }
}

TEST_F(ProjLibTest, ExhibitIdentifierDialogGoesThroughTheHook)
{
    ShowExhibitIdentifierDialogHook = nullptr;
    EXPECT_TRUE(ShowExhibitIdentifierDialog());  // no window layer: nothing to ask, the exhibit goes on
    int calls = 0;
    ShowExhibitIdentifierDialogHook = [&] {
        ++calls;
        ExhibitId = "Exhibit 12 of many";
        return calls == 1;  // the second time the user closes the dialog
    };
    EXPECT_TRUE(ShowExhibitIdentifierDialog());
    EXPECT_FALSE(ShowExhibitIdentifierDialog());
    --calls;
    ShowExhibitIdentifierDialogHook = nullptr;
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(ExhibitId.str(), "Exhibit 12");
}

} // namespace

namespace {

// Page 3 names the elevation model on every tilt change, page 5 builds the part number from
// it. Only the Zek family carries a power-class letter, and it lands in the part number even
// where the elliptical second call has put the template's own letter back.
TEST_F(ProjLibTest, PowerClassLetterFromCatalogToPartNumber)
{
    ASSERT_EQ(GetDelimitedField(1, LoadStr(10001), '|'), "Rux8L#");  // an L the class must not touch
    struct Case {
        uint8_t family, powerClass, elliptical;
        int32_t base;
        float tilt;
        const char* h;
        const char* v;
        const char* part;
    };
    const Case cases[] = {
        {0, 1, 0, 9000, 0.75f, "Zek8M3", "18 Gain", "Zek8M3-HSOmni-32"},
        {0, 1, 1, 9000, 0.75f, "Zek8L3", "Zek8L3V", "Zek8M3-ESOmni-32"},
        {0, 0, 1, 9000, 0.75f, "Zek8L3", "Zek8L3V", "Zek8L3-ESOmni-32"},
        {1, 1, 0, 10000, 0.5f, "Rux8L2", "18 Gain", "Rux8L2-HSOmni-32S"},
        {1, 0, 1, 10000, 0.5f, "Rux8L2", "Rux8L2V", "Rux8L2-ESOmni-32S"},
        {2, 1, 0, 10000, 0.5f, "Rux8L2", "18 Gain", "Rux8L2-HSOmni-32"},
        {1, 1, 0, 10000, -0.25f, "Rux8L-1", "18 Gain", "Rux8L-1-HSOmni-32S"},  // an uptilt
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.part);
        CreateProjectObjects();
        SysObj->Family = c.family;
        SysObj->PowerClass = c.powerClass;
        SysObj->NTSCPower = 50.0f;
        SysObj->Standard = 1;    // the power letter reads the NTSC power whatever the standard
        SysObj->DTVPower = 500.0f;
        AntObj->Elliptical = c.elliptical;
        AntObj->VerticalPercent = c.elliptical ? 30 : 0;
        const int32_t row = c.base == 9000 ? 2 : 0;  // rows 9003 "Zek8L#" and 10001 "Rux8L#"
        SetElevationPatternFromCatalog(c.base, row, true, c.tilt);
        if (c.elliptical) SetElevationPatternFromCatalog(c.base, row, false, c.tilt);
        EXPECT_EQ(AntObj->HElName, c.h);
        EXPECT_EQ(AntObj->VElName, c.v);
        BuildAntennaPartNumber();
        EXPECT_EQ(AntObj->PartNumber, c.part);
    }
}

} // namespace
