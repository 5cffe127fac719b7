// The power balance against designs worked by hand (10 log10, 10^(x/10), each figure rounded
// to the decimals it is shown with before the next is taken from it).
#include "planner/engine/PowerBalance.h"

#include <gtest/gtest.h>

namespace {

// 1 dB of line; an antenna of azimuth gain 1 and elevation gains 20 (H) and 18 (V).
TPowerChain Chain(int verticalPercent)
{
    TPowerChain c;
    c.LossDb = 1.0;
    c.HGain = 20;
    c.VGain = 18;
    c.VerticalPercent = verticalPercent;
    c.Elliptical = verticalPercent > 0;
    // Split for equal ERP per watt of gain: 18 / (20 x 0.3 + 18) = 0.75.
    c.HSplit = verticalPercent > 0 ? 18.0 / (20.0 * verticalPercent * 0.01 + 18.0) : 1.0;
    c.VSplit = 1 - c.HSplit;
    return c;
}

struct TByHand {
    double tpo, tpoDbk, lossKw, inputKw, inputDbk, hGain, hGainDb, vGain, vGainDb, hErp, hErpDbk, vErp, vErpDbk;
};

void Expect(const TPowerBalance& b, const TByHand& h)
{
    EXPECT_DOUBLE_EQ(b.TpoKw, h.tpo);
    EXPECT_DOUBLE_EQ(b.TpoDbk, h.tpoDbk);
    EXPECT_DOUBLE_EQ(b.LossKw, h.lossKw);
    EXPECT_DOUBLE_EQ(b.LossDb, 1.0);
    EXPECT_DOUBLE_EQ(b.EfficiencyPercent, 79.4);
    EXPECT_DOUBLE_EQ(b.InputKw, h.inputKw);
    EXPECT_DOUBLE_EQ(b.InputDbk, h.inputDbk);
    EXPECT_DOUBLE_EQ(b.HGain, h.hGain);
    EXPECT_DOUBLE_EQ(b.HGainDb, h.hGainDb);
    EXPECT_DOUBLE_EQ(b.VGain, h.vGain);
    EXPECT_DOUBLE_EQ(b.VGainDb, h.vGainDb);
    EXPECT_DOUBLE_EQ(b.HErpKw, h.hErp);
    EXPECT_DOUBLE_EQ(b.HErpDbk, h.hErpDbk);
    EXPECT_NEAR(b.VErpKw, h.vErp, 0.005);
    EXPECT_DOUBLE_EQ(b.VErpDbk, h.vErpDbk);
}

TEST(PowerBalance, DesignsWorkedByHand)
{
    // 30 kW: 14.77 dBk; 13.77 dBk = 23.82 kW at the antenna, 6.18 kW lost in the line.
    // Horizontal only: 13.01 dBd + 13.77 = 26.78 dBk = 476.4 kW.
    SCOPED_TRACE("horizontal, from the TPO");
    Expect(BalanceFromTpo(30, Chain(0)),
           {30, 14.77, 6.18, 23.82, 13.77, 20, 13.01, 0, 0, 476, 26.78, 0, 0});
}

TEST(PowerBalance, EllipticalDesignWorkedByHand)
{
    // 30 % vertical: gains 20 x 0.75 = 15 (11.76 dBd) and 18 x 0.25 = 4.5 (6.53 dBd).
    // ERP 11.76 + 13.77 = 25.53 dBk = 357.3 kW and 6.53 + 13.77 = 20.30 dBk = 107.15 kW,
    // 30 % of the horizontal.
    {
        SCOPED_TRACE("from the TPO");
        Expect(BalanceFromTpo(30, Chain(30)),
               {30, 14.77, 6.18, 23.82, 13.77, 15, 11.76, 4.5, 6.53, 357, 25.53, 107.15, 20.30});
    }
    {
        // 357 kW typed: 25.53 dBk; 25.53 - 11.76 = 13.77 dBk at the antenna; + 1 dB = 14.77 dBk,
        // 29.99 kW; the vertical ERP is 30 % of 357 = 107.1, shown 107 (20.29 dBk).
        SCOPED_TRACE("from the horizontal ERP");
        Expect(BalanceFromErp(357, Chain(30)),
               {29.99, 14.77, 6.17, 23.82, 13.77, 15, 11.76, 4.5, 6.53, 357, 25.53, 107, 20.29});
    }
    {
        // The ratio stepped to 31 %: the horizontal ERP stays at 357 kW; split 18 / 24.2 = 0.7438,
        // gains 14.88 (11.73 dBd) and 4.61 (6.64 dBd); 25.53 - 11.73 = 13.80 dBk = 23.99 kW in;
        // + 1 dB = 14.80 dBk = 30.20 kW; vertical 31 % of 357 = 110.67, shown 111 (20.45 dBk).
        SCOPED_TRACE("ratio stepped");
        const TPowerBalance before = BalanceFromTpo(30, Chain(30));
        Expect(BalanceForRatio(before, Chain(31)),
               {30.2, 14.8, 6.21, 23.99, 13.8, 14.88, 11.73, 4.61, 6.64, 357, 25.53, 111, 20.45});
    }
}

TEST(PowerBalance, NoPowerHasNoLevel)
{
    const TPowerBalance b = BalanceFromTpo(0, Chain(30));
    for (double v : {b.TpoDbk, b.LossKw, b.InputKw, b.InputDbk, b.HErpKw, b.HErpDbk, b.VErpKw, b.VErpDbk})
        EXPECT_EQ(v, 0.0) << "not the 1 kW of 0 dBk";
}

// The levels a page and its exhibits show: none where a power or a gain is nothing.
TEST(PowerBalance, ALevelIsShownOnlyForAPowerOrGainOfSomething)
{
    struct Case {
        const char* what;
        TPowerBalance balance;
        bool tpo, input, hGain, vGain, hErp, vErp;
    };
    const Case cases[] = {
        {"30 kW, elliptical", BalanceFromTpo(30, Chain(30)), true, true, true, true, true, true},
        {"30 kW, horizontal", BalanceFromTpo(30, Chain(0)), true, true, true, false, true, false},
        {"no power, elliptical", BalanceFromTpo(0, Chain(30)), false, false, true, true, false, false},
        {"no power, horizontal", BalanceFromTpo(0, Chain(0)), false, false, true, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TShownLevels l = ShownLevels(c.balance);
        EXPECT_EQ(l.Tpo.has_value(), c.tpo);
        EXPECT_EQ(l.Input.has_value(), c.input);
        EXPECT_EQ(l.HGain.has_value(), c.hGain);
        EXPECT_EQ(l.VGain.has_value(), c.vGain);
        EXPECT_EQ(l.HErp.has_value(), c.hErp);
        EXPECT_EQ(l.VErp.has_value(), c.vErp);
        if (l.HErp) {
            EXPECT_EQ(*l.HErp, c.balance.HErpDbk);
        }
    }
}

TEST(PowerBalance, Limits)
{
    // The line: rated 60 kW, 60 typed is at the limit (60 <= 60.01); 59.98 is not.
    EXPECT_EQ(TpoAtLineLimit(60, 60), 60.0);
    EXPECT_FALSE(TpoAtLineLimit(60, 59.98));
    // The antenna: 240 kW at most, 1 dB of line: 23.80 dBk + 1 = 24.80 dBk = 302.14 kW.
    TPowerBalance atInput = BalanceFromTpo(302.14, Chain(0));
    ASSERT_TRUE(TpoAtAntennaLimit(atInput, 240, 1.0));
    EXPECT_NEAR(*TpoAtAntennaLimit(atInput, 240, 1.0), 302.14, 0.005);
    EXPECT_FALSE(TpoAtAntennaLimit(BalanceFromTpo(300, Chain(0)), 240, 1.0)) << "238.3 kW in is 1.7 kW short";
    // The channel: 5000 kW; gain 13.01 dBd over 1 dB of line: 36.99 - 13.01 + 1 = 24.98 dBk,
    // 314.77 kW.
    const TPowerBalance over = BalanceFromTpo(320, Chain(0));
    ASSERT_GT(over.HErpKw, 5000);
    ASSERT_TRUE(TpoAtErpLimit(over, 5000, 1.0));
    EXPECT_NEAR(*TpoAtErpLimit(over, 5000, 1.0), 314.77, 0.005);
    EXPECT_FALSE(TpoAtErpLimit(BalanceFromTpo(300, Chain(0)), 5000, 1.0));
}

}  // namespace
