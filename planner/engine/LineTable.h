// The transmission-line table: the catalog's lines usable on a channel, each with its
// attenuation, total loss and power ratings at the calculation frequency, written once with
// the table's rounding. The line page, its report and the tests read these rows; nothing
// parses the shown texts back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// How a catalog block's coefficients give attenuation and rating.
enum class TLineLaw {
    Waveguide,  // attenuation linear in frequency; a rating independent of it
    RigidLine,  // conductor loss of a copper coaxial line from its conductor radii
    Cable,      // a square-root and a linear term of frequency; rating heat-limited
};

// One catalog line (fields 0 to 7 of its row), typed.
struct TLineRow {
    std::string Description;
    std::string PartNumber;
    double LowMHz = 0;   // lowest usable frequency
    double HighMHz = 0;  // highest usable frequency
    // Waveguide: constant term, coefficient of f, unused, rating in kW.
    // Rigid line: inner radius, outer radius (inches), nominal size (inches), power coefficient.
    // Cable: k1 (of sqrt f), k2 (of f), power numerator, upper limit of the rating in kW.
    double K[4] = {0, 0, 0, 0};
    TLineLaw Law = TLineLaw::Cable;

    // The line serves a channel whose edges lie within its range.
    bool Covers(double lowMHz, double highMHz) const { return LowMHz <= lowMHz && HighMHz >= highMHz; }
};

// One row of the table as shown: every figure as its text and as the number that text reads.
struct TLineFigures {
    std::string Description;
    std::string PartNumber;
    std::string AttenuationText;  // dB per 100 feet
    std::string TotalLossText;    // dB over the whole run
    std::string AverageText;      // kW
    std::string PeakText;         // kW, NTSC peak visual power; empty for DTV
    double Attenuation = 0;
    double TotalLoss = 0;
    double AverageRating = 0;
    double PeakRating = 0;        // 0 for DTV
};

// The table's number format: three significant digits; a value of four to six integer
// digits is written out ("1750", not "1.75E003").
std::string LineTableCell(double v);

// The law of a catalog block of lines (13000 to 18000).
TLineLaw LineLawOfBlock(int32_t base);
// A catalog row (fields 0 to 7) read with its block's law.
TLineRow ReadLineRow(const std::string& row, TLineLaw law);

// Every catalog line usable from lowMHz to highMHz, in the table's order of blocks
// (circular waveguide, rectangular waveguide, rigid line, air and foam coaxial cable).
std::vector<TLineRow> CatalogLinesFor(double lowMHz, double highMHz);

// Attenuation of the line at mhz in dB per 100 feet, unrounded.
double LineAttenuation(const TLineRow& line, double mhz);

// Average power rating of the line at mhz in kW, before the table's rounding (the rigid
// line's is taken from its attenuation as shown).
double LineAverageRating(const TLineRow& line, double mhz);

// The table row of a catalog line at mhz over lengthFeet of run. The total loss and the
// rigid line's rating start from the attenuation as shown; ntsc adds the peak rating.
TLineFigures LineFiguresAt(const TLineRow& line, double mhz, double lengthFeet, bool ntsc);

// The table row of the customer's own line: its attenuation (dB per 100 feet) and its
// maximum average power (kW) as the user gave them.
TLineFigures CustomerLineFigures(const std::string& description, double attenuation, double maxPower,
                                 double lengthFeet, bool ntsc);
