// The line table against lines whose figures are known without our code: the makers'
// published attenuation and ratings, and small cases worked by hand.
#include "planner/engine/LineTable.h"
#include "planner/engine/ProjObj.h"
#include "support/PublishedLines.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

std::optional<TLineRow> ListedLine(const std::string& part, double mhz)
{
    for (const TLineRow& line : CatalogLinesFor(mhz - 3, mhz + 3))
        if (line.PartNumber == part) return line;
    return std::nullopt;
}

TEST(LineTable, PublishedAttenuationAndRatings)
{
    for (const mwtest::TPublishedLine& p : mwtest::kPublishedLines) {
        SCOPED_TRACE(p.what);
        for (int i = 0; i < 3; ++i) {
            SCOPED_TRACE(std::to_string(p.mhz[i]) + " MHz");
            const auto line = ListedLine(p.part, p.mhz[i]);
            ASSERT_TRUE(line) << p.part << " is listed for a channel at this frequency";
            const TLineFigures f = LineFiguresAt(*line, p.mhz[i], 100, false);
            EXPECT_NEAR(f.Attenuation / p.attenuation[i], 1.0, mwtest::kPublishedAttenuationTolerance)
                << f.AttenuationText << " dB/100 ft";
            EXPECT_NEAR(f.AverageRating / p.average[i], 1.0, mwtest::kPublishedRatingTolerance)
                << f.AverageText << " kW";
            EXPECT_EQ(f.TotalLossText, f.AttenuationText) << "100 feet lose one attenuation";
        }
    }
}

// Rows worked by hand: three significant digits, the total over the run from the attenuation
// as shown, the peak rating at 10 % aural (average / 0.7), a cable's heat limit.
TEST(LineTable, FiguresWorkedByHand)
{
    CreateProjectObjects();  // 10 % aural
    struct Case {
        const char* what;
        TLineRow line;
        double mhz, feet;
        bool ntsc;
        const char *attenuation, *total, *average, *peak;
    };
    const Case cases[] = {
        // 0.5 dB/100 ft over 1100 ft: 5.5 dB.
        {"cable, square-root term only", {"c", "C1", 50, 2000, {0.05, 0, 3.0, 99}, TLineLaw::Cable}, 100, 1100, true,
         "0.5", "5.5", "6", "8.57"},
        // 0.02 sqrt(400) + 0.001 x 400 = 0.8 dB; 10 / 0.8 = 12.5 kW, cut to the limit 7.
        {"cable at its heat limit", {"c", "C2", 50, 2000, {0.02, 0.001, 10, 7}, TLineLaw::Cable}, 400, 1000, false,
         "0.8", "8", "7", ""},
        // 0.2 - 0.0001 x 600 = 0.14 dB; 0.14 x 12.34 = 1.7276, shown 1.73.
        {"waveguide", {"w", "W1", 470, 800, {0.2, -0.0001, 0, 1750}, TLineLaw::Waveguide}, 600, 1234, true, "0.14",
         "1.73", "1750", "2500"},
        // 1/3 dB shown as 0.333; over 1500 ft 4.995 shows 5 (three digits).
        {"customer's three digits", {}, 0, 1500, false, "0.333", "5", "60", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TLineFigures f = c.line.PartNumber.empty()
                                   ? CustomerLineFigures("Customer", 1.0 / 3.0, 60, c.feet, c.ntsc)
                                   : LineFiguresAt(c.line, c.mhz, c.feet, c.ntsc);
        EXPECT_EQ(f.AttenuationText, c.attenuation);
        EXPECT_EQ(f.TotalLossText, c.total);
        EXPECT_EQ(f.AverageText, c.average);
        EXPECT_EQ(f.PeakText, c.peak);
        EXPECT_DOUBLE_EQ(f.TotalLoss, std::stod(c.total)) << "the figure is the number its text reads";
    }
}

TEST(LineTable, ListedOnlyWhereTheRangeCoversTheChannel)
{
    TLineRow line{"l", "L", 470, 580, {}, TLineLaw::Cable};
    EXPECT_TRUE(line.Covers(572, 578));
    EXPECT_TRUE(line.Covers(574, 580));
    EXPECT_FALSE(line.Covers(578, 584)) << "channel 32 ends above the line's range";
    EXPECT_FALSE(line.Covers(464, 470.5));
    for (const TLineRow& l : CatalogLinesFor(578, 584)) {
        SCOPED_TRACE(l.PartNumber);
        EXPECT_LE(l.LowMHz, 578);
        EXPECT_GE(l.HighMHz, 584);
    }
}

}  // namespace
