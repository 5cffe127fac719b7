// Published figures of real 50 ohm transmission lines, to test the line table against.
//
// Source: the makers' printed catalogue tables for air-dielectric and foam-dielectric
// corrugated coaxial cable (Andrew Heliax LDF4-50A, LDF5-50A, LDF6-50, LDF7-50A, HJ7-50A,
// HJ8-50B) and the EIA rigid line tables (3-1/8 in. and 6-1/8 in., copper). Attenuation in
// dB per 100 feet at 20 C ambient, VSWR 1.0; average power in kW at 40 C ambient, VSWR 1.0.
// Figures are rounded to two significant digits as they are read off the tables.
//
// Tolerance: the catalogue describes a cable by two terms (k1 sqrt(f) + k2 f) and a rigid
// line by the copper conductor loss of its radii, so its attenuation lies within about 8 %
// of the published curves; its ratings (one heat constant over the attenuation) within 25 %.
#pragma once

namespace mwtest {

struct TPublishedLine {
    const char* part;   // the catalogue's part number for a line of this size and kind
    const char* what;
    double mhz[3];
    double attenuation[3];  // dB / 100 ft
    double average[3];      // kW
};

inline constexpr double kPublishedAttenuationTolerance = 0.08;
inline constexpr double kPublishedRatingTolerance = 0.25;

inline constexpr TPublishedLine kPublishedLines[] = {
    {"FC50-012", "1/2 in. foam dielectric (LDF4-50A)", {100, 500, 900}, {0.70, 1.6, 2.2}, {2.6, 1.1, 0.82}},
    {"FC50-078", "7/8 in. foam dielectric (LDF5-50A)", {100, 500, 900}, {0.38, 0.89, 1.24}, {5.5, 2.4, 1.7}},
    {"FC50-114", "1-1/4 in. foam dielectric (LDF6-50)", {100, 500, 900}, {0.28, 0.66, 0.94}, {8.5, 3.6, 2.5}},
    {"FC50-158", "1-5/8 in. foam dielectric (LDF7-50A)", {100, 500, 900}, {0.23, 0.55, 0.78}, {11, 4.6, 3.2}},
    {"AC50-158", "1-5/8 in. air dielectric (HJ7-50A)", {100, 500, 900}, {0.20, 0.46, 0.65}, {17, 7.4, 5.2}},
    {"AC50-300", "3 in. air dielectric (HJ8-50B)", {100, 500, 900}, {0.11, 0.26, 0.38}, {45, 19, 13}},
    {"RL50-318", "3-1/8 in. EIA rigid line", {100, 500, 900}, {0.10, 0.22, 0.30}, {60, 27, 20}},
    {"RL50-618", "6-1/8 in. EIA rigid line", {100, 500, 800}, {0.052, 0.116, 0.147}, {190, 85, 67}},
};

}  // namespace mwtest
