#include "planner/controls/NuvNumericEditModel.h"

#include "platform/runtime/SysUtils.h"

#include <gtest/gtest.h>

#include <random>

using namespace NuvNumericEdit;

namespace {

// States are written with the caret as "|" and the selection in brackets: "12|.34",
// "[12].34".
TEditState S(std::string_view marked)
{
    TEditState s;
    int selEnd = -1;
    for (const char c : marked) {
        if (c == '|') s.SelStart = static_cast<int>(s.Text.size());
        else if (c == '[') s.SelStart = static_cast<int>(s.Text.size());
        else if (c == ']') selEnd = static_cast<int>(s.Text.size());
        else s.Text += c;
    }
    if (selEnd >= 0) s.SelLength = selEnd - s.SelStart;
    return s;
}

std::string Show(const TEditState& s)
{
    std::string out = s.Text;
    if (s.SelLength > 0) {
        out.insert(static_cast<size_t>(s.SelStart + s.SelLength), "]");
        out.insert(static_cast<size_t>(s.SelStart), "[");
    } else {
        out.insert(static_cast<size_t>(s.SelStart), "|");
    }
    return out;
}

constexpr char Del = '\x7f'; // the Delete key in the tables below

} // namespace

TEST(NuvNumericEditModel, MaskText)
{
    struct Case { std::string_view text; int decimals; bool mask; };
    const Case cases[] = {
        {"0.00", 2, true},   {"-12.50", 2, true}, {"05.00", 2, true}, {"7", 0, true},
        {"-0", 0, true},     {"1.0", 2, false},   {".00", 2, false},  {"-", 0, false},
        {"", 2, false},      {"1.00", 0, false},  {"1,00", 2, false}, {"+1.00", 2, false},
        {"1.00 ", 2, false}, {"1.0a", 2, false},  {"--1.00", 2, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text));
        EXPECT_EQ(IsMaskText(c.text, c.decimals), c.mask);
    }
    EXPECT_EQ(FormatMask(0), "0");
    EXPECT_EQ(FormatMask(2), "0.00");
    EXPECT_EQ(FormatMask(-3), "0");
    EXPECT_EQ(FormatMask(12), "0.000000000");
}

TEST(NuvNumericEditModel, ValueText)
{
    struct Case { double value; int decimals; std::string_view text; };
    const Case cases[] = {
        {0, 2, "0.00"}, {12.5, 2, "12.50"}, {-5, 2, "-5.00"}, {1000, 0, "1000"},
        {3.14159, 3, "3.142"}, {2500, 9, "2500.000000000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text));
        EXPECT_EQ(FormatValue(c.value, c.decimals), c.text);
        EXPECT_DOUBLE_EQ(TextValue(c.text), std::stod(std::string(c.text)));
    }
    EXPECT_THROW(FormatValue(std::numeric_limits<double>::infinity(), 2), EConvertError);
    EXPECT_THROW(FormatValue(std::numeric_limits<double>::quiet_NaN(), 2), EConvertError);
    EXPECT_THROW(TextValue("1.2.3"), EConvertError);
}

// Keys typed one after another from a start state; changes counts the keys that ran the
// control's change, rejected those the rules dropped.
TEST(NuvNumericEditModel, Typing)
{
    struct Case {
        const char* what;
        int decimals;
        double minValue;
        std::string_view start;
        std::string_view keys;
        std::string_view end;
        int changes;
        int rejected;
    };
    const Case cases[] = {
        {"all selected, digits push in", 2, 0, "[0.00]", "12", "12|.00", 2, 0},
        {"separator moves into the decimals", 2, 0, "[0.00]", "12.5", "12.5|0", 3, 0},
        {"separator at once", 2, 0, "0|.00", ".", "0.|00", 0, 0},
        {"decimals are overwritten", 2, 0, "12.|34", "78", "12.78|", 2, 0},
        {"digit at the end is dropped", 2, 0, "12.34|", "5", "12.34|", 0, 1},
        {"digit inside the integer part", 2, 0, "1|2.34", "5", "15|2.34", 1, 0},
        {"digit at the very start", 2, 0, "|5.00", "3", "3|5.00", 1, 0},
        {"zero at position 0 is dropped", 2, 0, "|5.00", "0", "|5.00", 0, 1},
        {"leading zero is replaced", 2, 0, "|0.00", "7", "7|.00", 1, 0},
        {"backspace at the end", 2, 0, "12.34|", "\b", "12.3|0", 1, 0},
        {"backspace on the only digit", 2, 0, "5|.00", "\b", "0|.00", 1, 0},
        {"backspace over the separator", 2, 0, "12.|34", "\b", "12|.34", 0, 0},
        {"backspace in the integer part", 2, 0, "12|.34", "\b", "1|.34", 1, 0},
        {"backspace at position 0", 2, 0, "|5.00", "\b", "|5.00", 0, 0},
        {"delete a decimal", 2, 0, "12.|34", std::string_view("\x7f", 1), "12.|40", 1, 0},
        {"delete steps over the separator", 2, 0, "12|.34", std::string_view("\x7f", 1), "12.|34", 0, 0},
        {"delete at the end", 2, 0, "12.34|", std::string_view("\x7f", 1), "12.34|", 0, 0},
        {"delete the only digit", 2, 0, "|5.00", std::string_view("\x7f", 1), "0|.00", 1, 0},
        {"letters are dropped", 2, 0, "1|.00", "a+,e ", "1|.00", 0, 5},
        {"minus without negative limit", 2, 0, "5|.00", "-", "5|.00", 0, 1},
        {"minus toggles the sign", 2, -10, "5|.00", "-", "-5|.00", 1, 0},
        {"minus toggles back", 2, -10, "-5|.00", "-", "5|.00", 1, 0},
        {"minus at position 0", 2, -10, "|-5.00", "-", "|5.00", 1, 0},
        {"zero after the sign is replaced", 2, -10, "-0|.00", "34", "-34|.00", 2, 0},
        {"digits stay behind the sign", 2, -10, "|-5.00", "3", "-3|5.00", 1, 0},
        {"backspace to -0", 2, -10, "-5|.00", "\b", "-|0.00", 1, 0},
        {"backspace removes the sign", 2, -10, "-|5.00", "\b", "|5.00", 1, 0},
        {"backspace at 0 keeps the sign", 2, -10, "|-5.00", "\b", "|-5.00", 0, 0},
        {"no decimals: digits append", 0, 0, "[0]", "123", "123|", 3, 0},
        {"no decimals: separator dropped", 0, 0, "12|", ".", "12|", 0, 1},
        {"no decimals: backspace", 0, 0, "12|", "\b\b", "0|", 2, 0},
        {"no decimals: negative zero replaced", 0, -5, "-0|", "34", "-34|", 2, 0},
        {"no decimals: rest kept", 0, 0, "|05", "3", "3|5", 1, 0},
        {"nine decimals", 9, 0, "0|.000000000", ".12", "0.12|0000000", 2, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TEditRules rules;
        rules.Decimals = c.decimals;
        rules.MinValue = c.minValue;
        TEditState s = S(c.start);
        int changes = 0, rejected = 0;
        for (const char k : c.keys) {
            const TEditResult r = k == Del ? DeleteKey(s, rules) : KeyPress(s, k, rules);
            if (r.Rejected) {
                EXPECT_EQ(r.State, s) << "a rejected key changed the state";
            }
            changes += r.Changed;
            rejected += r.Rejected;
            s = r.State;
        }
        EXPECT_EQ(Show(s), c.end);
        EXPECT_EQ(changes, c.changes);
        EXPECT_EQ(rejected, c.rejected);
    }
}

// Keys over a selection: the selection is removed first (one Backspace per character
// from its end), except by the separator, which only drops the selection; a key the rules
// refuse keeps the selection.
TEST(NuvNumericEditModel, SelectionRules)
{
    struct Case {
        const char* what;
        double minValue;
        std::string_view start;
        char key;
        std::string_view end;
        bool changed;
        bool rejected;
    };
    const Case cases[] = {
        {"digit replaces all", 0, "[12.34]", '7', "7|.00", true, false},
        {"zero replaces all", 0, "[12.34]", '0', "0|.00", true, false},
        {"backspace removes just the selection", 0, "[12.34]", '\b', "0|.00", true, false},
        {"backspace over a selection always changes once", 0, "[0.00]", '\b', "0|.00", true, false},
        {"delete over a selection", 0, "1[2.3]4", Del, "1|.40", true, false},
        {"decimals selected", 0, "12.[34]", '\b', "12.|00", true, false},
        {"separator keeps the text", 0, "[12].34", '.', "12.|34", false, false},
        {"refused letter keeps the selection", 0, "[12.34]", 'x', "[12.34]", false, true},
        {"refused minus keeps the selection", 0, "[12.34]", '-', "[12.34]", false, true},
        {"zero that would land at 0 keeps it", 0, "[1]2.34", '0', "[1]2.34", false, true},
        {"minus over a selection", -10, "[12].34", '-', "-0|.34", true, false},
    };
    TEditRules rules;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        rules.MinValue = c.minValue;
        const TEditResult r = c.key == Del ? DeleteKey(S(c.start), rules) : KeyPress(S(c.start), c.key, rules);
        EXPECT_EQ(Show(r.State), c.end);
        EXPECT_EQ(r.Changed, c.changed);
        EXPECT_EQ(r.Rejected, c.rejected);
    }
}

TEST(NuvNumericEditModel, TextArrivingAtOnce)
{
    struct Case { const char* what; std::string_view start; std::string_view text; std::string_view end; bool changed; bool rejected; };
    const Case cases[] = {
        {"letters are skipped", "[0.00]", "1a2", "12|.00", true, false},
        {"separator after the selection is gone", "[12.34]", ".5", "0.5|0", true, false},
        {"extra decimals are dropped", "|0.00", "3.14159", "3.14|", true, false},
        {"control characters are skipped", "0|.00", "1\r\n\b2", "12|.00", true, false},
        {"nothing usable keeps the selection", "[12.34]", "abc", "[12.34]", false, true},
        {"same text", "[0.00]", "0", "0|.00", false, false},
    };
    const TEditRules rules;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const TEditResult r = TypeText(S(c.start), c.text, rules);
        EXPECT_EQ(Show(r.State), c.end);
        EXPECT_EQ(r.Changed, c.changed);
        EXPECT_EQ(r.Rejected, c.rejected);
    }
    const TEditResult cut = ClearSelection(S("1[2.3]4"), rules);
    EXPECT_EQ(Show(cut.State), "1|.40");
    EXPECT_TRUE(cut.Changed);
    EXPECT_TRUE(ClearSelection(S("12|.34"), rules).Rejected);
}

TEST(NuvNumericEditModel, MaxLength)
{
    TEditRules rules;
    rules.MaxLength = 5;
    rules.MinValue = -1;
    EXPECT_TRUE(KeyPress(S("12|.34"), '5', rules).Rejected);
    EXPECT_TRUE(KeyPress(S("12|.34"), '-', rules).Rejected);
    EXPECT_EQ(Show(KeyPress(S("12.|34"), '9', rules).State), "12.9|4"); // overwriting is fine
    EXPECT_EQ(Show(KeyPress(S("1|.34"), '5', rules).State), "15|.34");
}

// Whatever arrives, the text keeps the form of the mask.
TEST(NuvNumericEditModel, TextNeverLeavesTheMask)
{
    const std::string keys = "0123456789.-\b\x7f" "a ,+";
    for (int decimals = 0; decimals <= 3; ++decimals)
        for (const double minValue : {0.0, -1.0}) {
            SCOPED_TRACE(testing::Message() << "decimals " << decimals << " min " << minValue);
            std::mt19937 rng(1234u + static_cast<unsigned>(decimals));
            TEditRules rules;
            rules.Decimals = decimals;
            rules.MinValue = minValue;
            rules.MaxLength = 12;
            TEditState s{FormatMask(decimals), 0, 0};
            for (int i = 0; i < 4000; ++i) {
                const int len = static_cast<int>(s.Text.size());
                s.SelStart = static_cast<int>(rng() % static_cast<unsigned>(len + 1));
                s.SelLength = rng() % 3 == 0 ? static_cast<int>(rng() % static_cast<unsigned>(len - s.SelStart + 1)) : 0;
                const char k = keys[rng() % keys.size()];
                TEditResult r;
                if (rng() % 10 == 0) r = TypeText(s, std::string(1, k) + keys[rng() % keys.size()], rules);
                else if (k == Del) r = DeleteKey(s, rules);
                else r = KeyPress(s, k, rules);
                ASSERT_TRUE(IsMaskText(r.State.Text, decimals)) << Show(s) << " key " << int(k) << " -> " << r.State.Text;
                ASSERT_LE(r.State.Text.size(), 12u);
                ASSERT_GE(r.State.SelStart, 0);
                ASSERT_LE(r.State.SelStart + r.State.SelLength, static_cast<int>(r.State.Text.size()));
                s = r.State;
            }
        }
}
