#include "PowerBalance.h"

#include "ProjLib.h"
#include "platform/runtime/NumText.h"

#include <cmath>
#include <string>

namespace {

float Db(double ratio) { return RatioToDb(static_cast<float>(ratio)); }
float Ratio(double db) { return DbToRatio(static_cast<float>(db)); }
double P(double v) { return ShownFigure(v, kPowerDecimals); }

// The antenna's gains with the split of the chain.
void Gains(TPowerBalance& b, const TPowerChain& c)
{
    b.HSplit = P(c.HSplit);
    b.VSplit = P(c.VSplit);
    b.VGain = P(c.VGain * c.VSplit);
    b.VGainDb = P(Db(b.VGain));
    b.HGain = P(c.HGain * c.HSplit);
    b.HGainDb = P(Db(b.HGain));
    b.VerticalPercent = c.VerticalPercent;
}

void Loss(TPowerBalance& b, const TPowerChain& c)
{
    b.LossDb = P(c.LossDb);
    b.EfficiencyPercent = ShownFigure(std::pow(10.0, -0.1 * b.LossDb) * 100.0, kEfficiencyDecimals);
}

// The vertical ERP as the horizontal one's share.
void VerticalShare(TPowerBalance& b, const TPowerChain& c)
{
    b.VErpKw = ShownFigure(b.HErpKw * c.VerticalPercent * 0.01, kErpDecimals);
    b.VErpDbk = P(Db(b.VErpKw));
}

// From the horizontal ERP back through the antenna and the line to the TPO.
void InputAndTpo(TPowerBalance& b)
{
    const bool powered = b.HErpKw > 0;
    b.InputDbk = P(powered ? b.HErpDbk - b.HGainDb : 0.0);
    b.InputKw = P(powered ? Ratio(b.InputDbk) : 0.0);
    b.TpoDbk = P(powered ? b.LossDb + b.InputDbk : 0.0);
    b.TpoKw = P(powered ? Ratio(b.TpoDbk) : 0.0);
    const float p = static_cast<float>(b.TpoKw);  // as the model stores it
    b.LossKw = P(p > 0 ? p - Ratio(b.TpoDbk - b.LossDb) : 0.0);
}

// The figures a balance was kept with, to know whether it still belongs to the model.
struct TKept {
    bool valid = false;
    TPowerBalance balance;
    float tpo = 0, erpH = 0, erpV = 0;
    TPowerChain chain;
};
TKept kept;

bool SameChain(const TPowerChain& a, const TPowerChain& b)
{
    return a.LossDb == b.LossDb && a.HGain == b.HGain && a.VGain == b.VGain && a.HSplit == b.HSplit &&
           a.VSplit == b.VSplit && a.VerticalPercent == b.VerticalPercent && a.Elliptical == b.Elliptical;
}

}  // namespace

double ShownFigure(double v, int decimals)
{
    if (!std::isfinite(v)) return v;
    const TFormatSettings fs;  // "." whatever the process uses
    const std::string mask = decimals <= 0 ? std::string("0") : "0." + std::string(static_cast<size_t>(decimals), '0');
    return static_cast<double>(StrToFloat(FormatFloat(mask, v, fs), fs));
}

TPowerChain PowerChainOf(const TAntObj& ant, const TTLineObj& line)
{
    TPowerChain c;
    c.LossDb = line.TotalLoss;
    c.HGain = static_cast<double>(ant.HAzGain) * ant.HElGain;
    c.VGain = static_cast<double>(ant.VAzGain) * ant.VElGain;
    c.HSplit = ant.HSplit;
    c.VSplit = ant.VSplit;
    c.VerticalPercent = ant.VerticalPercent;
    c.Elliptical = ant.Elliptical == 1;
    return c;
}

TPowerBalance BalanceFromTpo(double tpoKw, const TPowerChain& c)
{
    TPowerBalance b;
    Loss(b, c);
    const bool powered = tpoKw > 0;
    b.TpoKw = P(tpoKw);
    b.TpoDbk = P(Db(tpoKw));
    b.LossKw = P(powered ? tpoKw - Ratio(b.TpoDbk - b.LossDb) : 0.0);
    // The input level is taken from the line's own loss, not from its shown figure.
    b.InputDbk = P(powered ? b.TpoDbk - c.LossDb : 0.0);
    b.InputKw = P(powered ? Ratio(b.InputDbk) : 0.0);
    Gains(b, c);
    b.HErpDbk = P(powered ? b.HGainDb + b.InputDbk : 0.0);
    b.HErpKw = ShownFigure(powered ? Ratio(b.HErpDbk) : 0.0, kErpDecimals);
    // A vertical gain of nothing (no vertical share) radiates nothing: its 0 dB is no level.
    const bool vertical = c.Elliptical && powered && b.VGain > 0;
    b.VErpDbk = P(vertical ? b.VGainDb + b.InputDbk : 0.0);
    b.VErpKw = vertical ? Ratio(b.VErpDbk) : 0.0f;
    return b;
}

TPowerBalance BalanceFromErp(double hErpKw, const TPowerChain& c)
{
    TPowerBalance b;
    Loss(b, c);
    b.HErpKw = hErpKw;
    b.HErpDbk = P(Db(hErpKw));
    if (c.Elliptical) VerticalShare(b, c);
    Gains(b, c);
    InputAndTpo(b);
    return b;
}

TPowerBalance BalanceForRatio(const TPowerBalance& before, const TPowerChain& c)
{
    TPowerBalance b = before;
    Loss(b, c);
    Gains(b, c);
    VerticalShare(b, c);
    InputAndTpo(b);
    return b;
}

TShownLevels ShownLevels(const TPowerBalance& b)
{
    const auto level = [](bool has, double db) { return has ? std::optional<double>(db) : std::nullopt; };
    const bool powered = b.TpoKw > 0;
    return {level(powered, b.TpoDbk),
            level(powered, b.InputDbk),
            level(b.HGain > 0, b.HGainDb),
            level(b.VGain > 0, b.VGainDb),
            level(powered && b.HGain > 0, b.HErpDbk),
            level(powered && b.VGain > 0, b.VErpDbk)};
}

std::optional<double> TpoAtLineLimit(double lineRatingKw, double tpoKw)
{
    const float rating = static_cast<float>(lineRatingKw);
    if (rating <= static_cast<float>(tpoKw) + 0.01f) return rating;
    return std::nullopt;
}

std::optional<double> TpoAtAntennaLimit(const TPowerBalance& b, double maxInputKw, double lossDb)
{
    if (static_cast<float>(b.InputKw) + 0.2f >= static_cast<float>(maxInputKw)) return Ratio(Db(maxInputKw) + lossDb);
    return std::nullopt;
}

std::optional<double> TpoAtErpLimit(const TPowerBalance& b, double maxErpKw, double lossDb)
{
    if (static_cast<float>(b.HErpKw) > static_cast<float>(maxErpKw)) return Ratio(P(Db(maxErpKw) - b.HGainDb + lossDb));
    return std::nullopt;
}

void KeepSystemPowerBalance(const TPowerBalance& b)
{
    kept.valid = true;
    kept.balance = b;
    kept.tpo = Sys().GetPower();
    kept.erpH = Sys().ERPH;
    kept.erpV = Sys().ERPV;
    kept.chain = PowerChainOf(Ant(), TLine());
}

TPowerBalance SystemPowerBalance()
{
    const TSysObj& sys = Sys();
    const TPowerChain chain = PowerChainOf(Ant(), TLine());
    if (kept.valid && kept.tpo == sys.GetPower() && kept.erpH == sys.ERPH && kept.erpV == sys.ERPV &&
        SameChain(kept.chain, chain))
        return kept.balance;
    return BalanceFromTpo(sys.GetPower(), chain);
}
