#include "planner/engine/PageCalc.h"
#include "platform/runtime/SysUtils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(PageCalcTest, FixAngle)
{
    struct Case { std::string text; int32_t angle; };
    const std::vector<Case> cases{
        {"", 0}, {"abc", 0}, {"1.5", 0}, {" 5", 0}, {"0", 0}, {"45", 45}, {"359", 359}, {"360", 0},
        {"725", 5}, {"-1", 359}, {"-90", 270}, {"-0", 360}, {"-360", 360}, {"-361", 359}, {"007", 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("'" + c.text + "'");
        EXPECT_EQ(FixAngle(c.text), c.angle);
    }
    // Texts that pass the character test but are no number.
    for (const char* text : {"5-", "-", "--", "99999999999"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(FixAngle(text), EConvertError);
    }
}

TEST(PageCalcTest, AngleTextWhileTyping)
{
    struct Case { std::string text; TAngleEntry entry; };
    const std::vector<Case> cases{
        {"", TAngleEntry::Complete},        {"0", TAngleEntry::Complete},
        {"-30", TAngleEntry::Complete},     {"-0", TAngleEntry::Complete},
        {"2147483647", TAngleEntry::Complete}, {"-2147483647", TAngleEntry::Complete},
        {"-", TAngleEntry::Incomplete},
        {"abc", TAngleEntry::Refused},      {"5-", TAngleEntry::Refused},
        {"--", TAngleEntry::Refused},       {"-3-", TAngleEntry::Refused},
        {"1.5", TAngleEntry::Refused},      {" 5", TAngleEntry::Refused},
        {"+5", TAngleEntry::Refused},       {"$1F", TAngleEntry::Refused},
        {"2147483648", TAngleEntry::Refused}, {"99999999999", TAngleEntry::Refused},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("'" + c.text + "'");
        EXPECT_EQ(CheckAngleText(c.text), c.entry);
        // What the page takes, FixAngle takes without a conversion error.
        if (c.entry == TAngleEntry::Complete) {
            EXPECT_NO_THROW(FixAngle(c.text));
        }
    }
}

TEST(PageCalcTest, TiltIndexAndHorizonSample)
{
    struct Case { float catalogTilt; float tilt; int32_t index; int32_t horizon; };
    const std::vector<Case> cases{
        {0.75f, 0.75f, 20, 40}, {0.75f, 0.5f, 21, 41}, {0.75f, 1.0f, 19, 39}, {0.75f, 1.75f, 16, 36},
        {1.0f, 0.0f, 24, 44}, {0.0f, 30.0f, 0, 0}, {30.0f, 0.0f, 80, 160}, {80.0f, 0.0f, 80, 240},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.catalogTilt) + " / " + std::to_string(c.tilt));
        EXPECT_EQ(BeamTiltIndexFor(c.catalogTilt, c.tilt), c.index);
        EXPECT_EQ(HorizonSampleIndex(c.catalogTilt, c.tilt), c.horizon);
    }
}

TEST(PageCalcTest, OptimalBeamTilt)
{
    struct Case { double haat; double gain; float tilt; };
    const std::vector<Case> cases{
        {1000, 25, 1.0f}, {100, 20, 0.75f}, {3000, 40, 1.0f}, {2500, 10, 2.25f}, {100, 0, 0.0f}, {-5, 20, 0.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.haat) + " ft, gain " + std::to_string(c.gain));
        EXPECT_FLOAT_EQ(OptimalBeamTilt(c.haat, c.gain), c.tilt);
    }
}

} // namespace
