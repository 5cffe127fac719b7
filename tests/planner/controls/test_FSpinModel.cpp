#include "planner/controls/FSpinModel.h"

#include <gtest/gtest.h>

#include <limits>

using FSpin::TSpinRules;

namespace {

TSpinRules Rules(float minValue, float maxValue, float increment = 1.0f, int precision = 2)
{
    TSpinRules r;
    r.MinValue = minValue;
    r.MaxValue = maxValue;
    r.Increment = increment;
    r.Precision = precision;
    return r;
}

} // namespace

TEST(FSpinModel, LimitsAndReading)
{
    struct Case { float min, max, x, checked; };
    const Case checks[] = {
        {0, 10, 12, 10}, {0, 10, -1, 0}, {0, 10, 5.5f, 5.5f}, {0, 0, 12, 12}, {3, 3, -7, -7}, {1, 35, 20, 20},
    };
    for (const auto& c : checks) {
        SCOPED_TRACE(testing::Message() << c.min << ".." << c.max << " x " << c.x);
        EXPECT_EQ(Rules(c.min, c.max).CheckValue(c.x), c.checked);
    }

    struct Read { std::string text; float value; };
    const Read reads[] = {
        {"12.5", 12.5f}, {" 3 ", 3.0f}, {"-0.25", -0.25f}, {"+4", 4.0f},
        // no number: MinValue
        {"", 1.0f}, {"1-2", 1.0f}, {"1.2.3", 1.0f}, {"-", 1.0f},
        // beyond single range: MinValue, not an overflowed cast
        {"1" + std::string(50, '0'), 1.0f},
    };
    const TSpinRules r = Rules(1, 6, 0.05f);
    for (const auto& c : reads) {
        SCOPED_TRACE(std::string(c.text));
        EXPECT_FLOAT_EQ(r.TextValue(c.text), c.value);
    }
}

TEST(FSpinModel, WritingAndStepping)
{
    struct Case { const char* what; TSpinRules rules; std::string_view text; int direction; std::string_view result; };
    const Case cases[] = {
        {"up to the limit", Rules(0, 10, 0.5f), "9.75", +1, "10.00"},
        {"up stays at the limit", Rules(0, 10, 0.5f), "10.00", +1, "10.00"},
        {"down stays at the limit", Rules(0, 10, 0.5f), "0.00", -1, "0.00"},
        {"down without limits", Rules(0, 0), "0", -1, "-1.00"},
        {"precision 1", Rules(0, 100, 1, 1), "55.0", +1, "56.0"},
        {"gain steps", Rules(1, 6, 0.05f), "1.00", +1, "1.05"},
        {"bad text steps from MinValue", Rules(1, 6, 0.05f), "x", +1, "1.05"},
        {"elevation gain", Rules(1, 35, 0.5f), "20.0", -1, "19.50"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string out;
        ASSERT_TRUE(c.rules.StepText(c.text, c.direction, out));
        EXPECT_EQ(out, c.result);
    }
    std::string out = "kept";
    EXPECT_TRUE(Rules(0, 10).ValueText(12, out));
    EXPECT_EQ(out, "10.00");
    out = "kept";
    EXPECT_FALSE(Rules(0, 0).ValueText(std::numeric_limits<float>::quiet_NaN(), out));
    EXPECT_FALSE(Rules(0, 0).ValueText(std::numeric_limits<float>::infinity(), out));
    EXPECT_EQ(out, "kept");
}

TEST(FSpinModel, ValidCharacters)
{
    struct Case { char key; bool editing; bool readOnlyEditor; };
    const Case cases[] = {
        {'0', true, false}, {'9', true, false}, {'+', true, false}, {'-', true, false}, {'.', true, false},
        {'\b', true, false}, {'\t', true, true}, {'\x03', true, true}, {'\x16', true, true},
        {'\r', false, false}, {'a', false, false}, {',', false, false}, {' ', false, false}, {'e', false, false},
        {'\x7f', false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.key));
        TSpinRules r;
        EXPECT_EQ(r.IsValidChar(c.key), c.editing);
        r.EditorEnabled = false;
        EXPECT_EQ(r.IsValidChar(c.key), c.readOnlyEditor);
    }
}
