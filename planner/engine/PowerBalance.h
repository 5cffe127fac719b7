// The station's power balance: transmitter power output (TPO) through the line loss and the
// antenna's power split and gains to the effective radiated power (ERP), in both directions,
// with the limits of line, antenna and channel. Each figure is rounded once, to the decimals
// it is shown with, and the next figure is computed from the rounded one; the system page and
// the system exhibits show the same balance.
#pragma once

#include "ProjObj.h"

#include <optional>

// Decimals each kind of figure is shown with.
constexpr int kPowerDecimals = 2;       // kW and dBk, gains, dB
constexpr int kErpDecimals = 0;         // ERP in kW
constexpr int kEfficiencyDecimals = 1;  // %

// v as shown with this many decimals, read back as a number.
double ShownFigure(double v, int decimals);

// What a balance is computed from: the line loss and the antenna (gains, split, ratio).
struct TPowerChain {
    double LossDb = 0;      // the line's total loss, dB
    double HGain = 1;       // horizontal azimuth x elevation gain (ratio)
    double VGain = 0;       // the same for the vertical component
    double HSplit = 1;      // share of the antenna input feeding the horizontal component
    double VSplit = 0;
    int VerticalPercent = 0;
    bool Elliptical = false;
};

// The chain of the design in the model (the splits as the model holds them).
TPowerChain PowerChainOf(const TAntObj& ant, const TTLineObj& line);

// Every figure of a balance, as shown.
struct TPowerBalance {
    double TpoKw = 0, TpoDbk = 0;
    double LossKw = 0, LossDb = 0, EfficiencyPercent = 0;
    double InputKw = 0, InputDbk = 0;  // antenna input
    double HSplit = 0, VSplit = 0;
    double HGain = 0, HGainDb = 0;  // antenna power gain: gain x split
    double VGain = 0, VGainDb = 0;
    double HErpKw = 0, HErpDbk = 0;
    double VErpKw = 0, VErpDbk = 0;  // VErpKw unrounded when it comes from the TPO
    int VerticalPercent = 0;
};

// The dB levels a balance shows: none for a power or a gain of nothing, whose 0 dB would read
// as 1 kW or a gain of 1. Every ERP level needs power and its component's gain.
struct TShownLevels {
    std::optional<double> Tpo, Input, HGain, VGain, HErp, VErp;
};
TShownLevels ShownLevels(const TPowerBalance& b);

// From a transmitter power (kW). A power of nothing (or less) has no level: every power and
// level derived from it is 0, rather than 10^0 = 1 kW coming back out of 0 dBk.
TPowerBalance BalanceFromTpo(double tpoKw, const TPowerChain& chain);
// From a horizontal ERP (kW): the vertical ERP is its share, the TPO follows.
TPowerBalance BalanceFromErp(double hErpKw, const TPowerChain& chain);
// A new vertical ratio for the balance before it: the horizontal ERP stays, the vertical ERP
// and the TPO follow the chain's new split.
TPowerBalance BalanceForRatio(const TPowerBalance& before, const TPowerChain& chain);

// The limits: the TPO that brings the design back to a limit it reaches, or none.
// The line is at its limit when its rating is at most 10 W above the TPO.
std::optional<double> TpoAtLineLimit(double lineRatingKw, double tpoKw);
// The antenna when its input lies within 200 W of its maximum.
std::optional<double> TpoAtAntennaLimit(const TPowerBalance& b, double maxInputKw, double lossDb);
// The channel when the horizontal ERP exceeds its maximum.
std::optional<double> TpoAtErpLimit(const TPowerBalance& b, double maxErpKw, double lossDb);

// The balance the exhibits print: the one the system page showed last when it still belongs
// to the model's design, else the model's TPO worked through its chain.
TPowerBalance SystemPowerBalance();
// Kept by the system page after each computation.
void KeepSystemPowerBalance(const TPowerBalance& b);
