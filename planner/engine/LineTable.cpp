#include "LineTable.h"

#include "ProjLib.h"
#include "platform/runtime/NumText.h"
#include "platform/runtime/StrTable.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// The catalog blocks in the order the table lists them (13000 is listed by none).
constexpr int32_t kBlockOrder[] = {16000, 17000, 18000, 15000, 14000};

// Rigid line: resistivity of copper in ohm centimetres, and the scale that turns the
// conductor-loss law (radii in inches, wavelength in centimetres) into dB per 100 feet.
constexpr double kCopperResistivity = 1.724e-6;
constexpr double kRigidLineScale = 18065.129101134;
constexpr double kLightCmMHz = 30000.0;  // wavelength in cm times frequency in MHz
// Rigid line rating: kW per unit of power coefficient times size over attenuation.
constexpr double kRigidLinePower = 16.38;

double Number(const std::string& text) { return static_cast<double>(StrToFloat(text)); }
double Field(const std::string& row, int k) { return Number(GetDelimitedField(k, row, '|')); }

// The figures the table derives from an attenuation and an average rating.
void FillRest(TLineFigures& r, double lengthFeet, double average, bool ntsc)
{
    r.TotalLossText = LineTableCell(lengthFeet * 0.01 * r.Attenuation);
    r.TotalLoss = Number(r.TotalLossText);
    r.AverageText = LineTableCell(average);
    r.AverageRating = Number(r.AverageText);
    if (ntsc) {
        r.PeakText = LineTableCell(NtscPeakFromAverage(static_cast<float>(average)));
        r.PeakRating = Number(r.PeakText);
    }
}

}  // namespace

std::string LineTableCell(double v)
{
    const std::string text = FloatToStrF(v, TFloatFormat::ffGeneral, 3, 4);
    if (text.find('E') == std::string::npos || !(std::fabs(v) < 999500.0)) return text;
    return FloatToStrF(StrToFloat(text), TFloatFormat::ffFixed, 15, 0);
}

TLineLaw LineLawOfBlock(int32_t base)
{
    if (base == 16000 || base == 17000) return TLineLaw::Waveguide;
    if (base == 18000) return TLineLaw::RigidLine;
    return TLineLaw::Cable;
}

TLineRow ReadLineRow(const std::string& row, TLineLaw law)
{
    TLineRow line;
    line.Description = GetDelimitedField(0, row, '|');
    line.PartNumber = GetDelimitedField(1, row, '|');
    line.LowMHz = Field(row, 2);
    line.HighMHz = Field(row, 3);
    for (int k = 0; k < 4; ++k) line.K[k] = Field(row, 4 + k);
    line.Law = law;
    return line;
}

std::vector<TLineRow> CatalogLinesFor(double lowMHz, double highMHz)
{
    std::vector<TLineRow> lines;
    for (const int32_t base : kBlockOrder) {
        const int32_t last = LastRecordId(base);
        for (int32_t id = base + 1; id <= last; ++id) {
            TLineRow line = ReadLineRow(LoadStr(id), LineLawOfBlock(base));
            if (line.Covers(lowMHz, highMHz)) lines.push_back(std::move(line));
        }
    }
    return lines;
}

double LineAttenuation(const TLineRow& line, double mhz)
{
    const double* k = line.K;
    switch (line.Law) {
    case TLineLaw::Waveguide:
        return k[1] * mhz + k[0];
    case TLineLaw::RigidLine: {
        const double lambda = kLightCmMHz / mhz;
        const double skin = std::sqrt(lambda * kCopperResistivity / 30.0) * std::numbers::inv_pi / 2.0;
        return (1.0 / std::log(k[1] / k[0])) * skin * kRigidLineScale / lambda * (1.0 / k[0] + 1.0 / k[1]);
    }
    case TLineLaw::Cable:
        return static_cast<float>(k[0] * std::sqrt(mhz) + k[1] * mhz);
    }
    return 0;
}

double LineAverageRating(const TLineRow& line, double mhz)
{
    switch (line.Law) {
    case TLineLaw::Waveguide: return line.K[3];
    case TLineLaw::RigidLine: {
        const double shown = Number(LineTableCell(LineAttenuation(line, mhz)));
        return line.K[3] * line.K[2] * kRigidLinePower / shown;
    }
    case TLineLaw::Cable: return std::min(line.K[2] / LineAttenuation(line, mhz), line.K[3]);
    }
    return 0;
}

TLineFigures LineFiguresAt(const TLineRow& line, double mhz, double lengthFeet, bool ntsc)
{
    TLineFigures r;
    r.Description = line.Description;
    r.PartNumber = line.PartNumber;
    r.AttenuationText = LineTableCell(LineAttenuation(line, mhz));
    r.Attenuation = Number(r.AttenuationText);
    FillRest(r, lengthFeet, LineAverageRating(line, mhz), ntsc);
    return r;
}

TLineFigures CustomerLineFigures(const std::string& description, double attenuation, double maxPower,
                                 double lengthFeet, bool ntsc)
{
    TLineFigures r;
    r.Description = description;
    r.AttenuationText = LineTableCell(attenuation);
    r.Attenuation = Number(r.AttenuationText);
    // The rating as shown is the one its peak is taken from.
    FillRest(r, lengthFeet, Number(LineTableCell(maxPower)), ntsc);
    return r;
}
