#include "planner/engine/ProjLib.h"
#include "planner/engine/ProjObj.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

class ProjObjTest : public ::testing::Test {
protected:
    void SetUp() override { CreateProjectObjects(); }
};

TEST_F(ProjObjTest, DefaultsOfAFreshDesign)
{
    const TSysObj& s = *SysObj;
    EXPECT_EQ(s.GetChannel(), 32);
    EXPECT_FLOAT_EQ(s.LowFreq, 578.0f);
    EXPECT_FLOAT_EQ(s.CenterFreq, 581.0f);
    EXPECT_FLOAT_EQ(s.HighFreq, 584.0f);
    EXPECT_EQ(s.Standard, 0);
    EXPECT_FLOAT_EQ(s.MaxERP, 5000.0f);
    EXPECT_EQ(s.GetMounting(), 1);
    EXPECT_EQ(s.Family, 1);
    EXPECT_EQ(s.ChannelBand, 2);
    EXPECT_EQ(s.PowerClass, 2);
    EXPECT_FLOAT_EQ(s.NTSCPower, 1.0f);
    EXPECT_FLOAT_EQ(s.DTVPower, 42.0f);
    EXPECT_FLOAT_EQ(s.AuralPercent, 10.0f);

    const TAntObj& a = *AntObj;
    EXPECT_FLOAT_EQ(a.HElGain, 20.0f);
    EXPECT_FLOAT_EQ(a.HElGainDb, 13.01f);
    EXPECT_FLOAT_EQ(a.VElGain, 18.0f);
    EXPECT_FLOAT_EQ(a.VElGainDb, 12.55f);
    EXPECT_EQ(a.HElName, "20 Gain");
    EXPECT_EQ(a.VElName, "18 Gain");
    EXPECT_EQ(a.HAzSuffix, "Omni");
    EXPECT_EQ(a.VAzSuffix, "Omni");
    EXPECT_FLOAT_EQ(a.HSplit, 1.0f);
    EXPECT_FLOAT_EQ(a.VSplit, 0.0f);
    EXPECT_FLOAT_EQ(a.MaxInputPower, 240.0f);

    const TTLineObj& l = *TLineObj;
    EXPECT_EQ(l.VerticalLength, 1000);
    EXPECT_EQ(l.HorizontalLength, 100);
    EXPECT_EQ(l.TotalRunLength, 1100);
    EXPECT_FLOAT_EQ(l.TotalLoss, 0.0f);
}

TEST_F(ProjObjTest, RecreatingTheObjectsRestoresTheDefaults)
{
    SysObj->SetChannel(10);
    AntObj->SetHElevationGain(3.0f);
    TLineObj->SetVerticalLength(50);
    CreateProjectObjects();
    EXPECT_EQ(SysObj->GetChannel(), 32);
    EXPECT_FLOAT_EQ(AntObj->HElGain, 20.0f);
    EXPECT_EQ(TLineObj->VerticalLength, 1000);
}

// The limit in force is the one of the last call; both setters agree on 316 kW for NTSC
// on channels 7 to 13.
TEST_F(ProjObjTest, ChannelAndStandardLimitsInBothCallOrders)
{
    struct Step { bool channel; int value; };
    struct Case {
        const char* name;
        uint8_t startFamily;
        float startErp;
        std::vector<Step> steps;
        float erp;
        uint8_t band;
        uint8_t family;
    };
    const std::vector<Case> cases = {
        {"ch10 NTSC", 1, 5000, {{true, 10}}, 316.0f, 1, 2},
        {"ch10 then NTSC", 1, 5000, {{true, 10}, {false, 0}}, 316.0f, 1, 2},
        {"ch10 then DTV", 1, 5000, {{true, 10}, {false, 1}}, 100.0f, 1, 2},
        {"DTV then ch10", 1, 5000, {{false, 1}, {true, 10}}, 100.0f, 1, 2},
        {"DTV, ch13, NTSC", 1, 5000, {{false, 1}, {true, 13}, {false, 0}}, 316.0f, 1, 2},
        {"ch7 edge", 1, 5000, {{true, 7}}, 316.0f, 1, 2},
        {"ch4 keeps family, NTSC limit", 3, 1234, {{true, 4}}, 100.0f, 0, 3},
        {"ch4 then DTV", 3, 1234, {{true, 4}, {false, 1}}, 45.0f, 0, 3},
        {"ch0 is low band", 3, 77, {{true, 0}}, 77.0f, 0, 3},
        {"ch1 then standard keeps limit", 3, 77, {{true, 1}, {false, 1}}, 77.0f, 0, 3},
        {"ch14 DTV", 1, 0, {{false, 1}, {true, 14}}, 1000.0f, 2, 1},
        {"ch69 then DTV", 1, 0, {{true, 69}, {false, 1}}, 1000.0f, 2, 1},
        {"ch-1 is UHF", 1, 0, {{true, -1}}, 5000.0f, 2, 1},
        {"ch-1 DTV", 1, 0, {{false, 1}, {true, -1}}, 1000.0f, 2, 1},
        {"ch70 standard keeps limit", 1, 0, {{true, 70}, {false, 1}}, 5000.0f, 2, 1},
        {"VHF back to UHF keeps family 2", 1, 0, {{true, 10}, {true, 32}}, 5000.0f, 2, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CreateProjectObjects();
        SysObj->Family = c.startFamily;
        SysObj->MaxERP = c.startErp;
        for (const auto& s : c.steps) {
            if (s.channel) SysObj->SetChannel(s.value);
            else SysObj->SetStandard(static_cast<uint8_t>(s.value));
        }
        EXPECT_FLOAT_EQ(SysObj->MaxERP, c.erp);
        EXPECT_EQ(SysObj->ChannelBand, c.band);
        EXPECT_EQ(SysObj->Family, c.family);
    }
}

// Channels 2 to 6 carry their own limits (100 kW NTSC, 45 kW DTV) whichever setter runs
// last, so nothing of an earlier VHF-high or UHF channel is left in force.
TEST_F(ProjObjTest, LowVhfLimitsAfterAnotherChannel)
{
    for (int earlier : {10, 32})
        for (int channel = 2; channel <= 6; ++channel)
            for (uint8_t standard : {0, 1})
                for (bool standardFirst : {false, true}) {
                    SCOPED_TRACE("after ch" + std::to_string(earlier) + ", ch" + std::to_string(channel) +
                                 (standard == 0 ? " NTSC" : " DTV") + (standardFirst ? ", standard first" : ", channel first"));
                    CreateProjectObjects();
                    SysObj->SetStandard(static_cast<uint8_t>(1 - standard));
                    SysObj->SetChannel(earlier);
                    if (standardFirst) {
                        SysObj->SetStandard(standard);
                        SysObj->SetChannel(channel);
                    } else {
                        SysObj->SetChannel(channel);
                        SysObj->SetStandard(standard);
                    }
                    EXPECT_FLOAT_EQ(SysObj->MaxERP, standard == 0 ? 100.0f : 45.0f);
                    EXPECT_EQ(SysObj->ChannelBand, 0);
                }
}

TEST_F(ProjObjTest, PowerFollowsTheStandard)
{
    struct Case { uint8_t standard; float expectGetAfterSet; float ntsc; float dtv; };
    const std::vector<Case> cases = {
        {0, 7.5f, 7.5f, 42.0f},
        {1, 7.5f, 1.0f, 7.5f},
        {2, 0.0f, 1.0f, 42.0f},  // an unknown standard reads 0 and stores nothing
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.standard));
        CreateProjectObjects();
        SysObj->Standard = c.standard;
        SysObj->SetPower(7.5f);
        EXPECT_FLOAT_EQ(SysObj->GetPower(), c.expectGetAfterSet);
        EXPECT_FLOAT_EQ(SysObj->NTSCPower, c.ntsc);
        EXPECT_FLOAT_EQ(SysObj->DTVPower, c.dtv);
    }
}

TEST_F(ProjObjTest, GainSettersStoreRatioAndDecibels)
{
    struct Case { float g; float db; };
    const std::vector<Case> cases = {{20.0f, 13.0103f}, {1.0f, 0.0f}, {0.5f, -3.0103f},
                                     {0.0f, 0.0f}, {-4.0f, 0.0f}};
    using Setter = void (TAntObj::*)(float);
    struct Field { const char* name; Setter set; float TAntObj::*ratio; float TAntObj::*db; };
    const std::vector<Field> fields = {
        {"HAz", &TAntObj::SetHAzimuthGain, &TAntObj::HAzGain, &TAntObj::HAzGainDb},
        {"HEl", &TAntObj::SetHElevationGain, &TAntObj::HElGain, &TAntObj::HElGainDb},
        {"VAz", &TAntObj::SetVAzimuthGain, &TAntObj::VAzGain, &TAntObj::VAzGainDb},
        {"VEl", &TAntObj::SetVElevationGain, &TAntObj::VElGain, &TAntObj::VElGainDb},
    };
    for (const auto& f : fields)
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(f.name) + " " + std::to_string(c.g));
            (AntObj->*f.set)(c.g);
            EXPECT_FLOAT_EQ(AntObj->*f.ratio, c.g);
            EXPECT_TRUE(std::isfinite(AntObj->*f.db));
            EXPECT_NEAR(AntObj->*f.db, c.db, 1e-4);
        }
}

TEST_F(ProjObjTest, SplitRatingAndLoss)
{
    AntObj->SetPowerSplit(0.25f);
    EXPECT_FLOAT_EQ(AntObj->HSplit, 0.25f);
    EXPECT_FLOAT_EQ(AntObj->VSplit, 0.75f);

    struct Case { float aural; uint8_t standard; float rating; float ntsc; float read; };
    const std::vector<Case> cases = {
        {10.0f, 0, 70.0f, 100.0f, 100.0f},
        {20.0f, 0, 80.0f, 100.0f, 100.0f},
        {10.0f, 1, 70.0f, 100.0f, 70.0f},
        {10.0f, 3, 70.0f, 100.0f, 0.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.aural);
        SysObj->AuralPercent = c.aural;
        SysObj->Standard = c.standard;
        TLineObj->SetPowerRating(c.rating);
        EXPECT_FLOAT_EQ(TLineObj->DTVRating, c.rating);
        EXPECT_NEAR(TLineObj->NTSCRating, c.ntsc, 1e-4);
        EXPECT_NEAR(TLineObj->GetPowerRating(), c.read, 1e-4);
    }

    TLineObj->HorizontalLoss = 0.5f;
    TLineObj->SetRunLoss(2.25f);
    EXPECT_FLOAT_EQ(TLineObj->VerticalLoss, 2.25f);
    EXPECT_FLOAT_EQ(TLineObj->TotalLoss, 2.75f);
}

} // namespace
