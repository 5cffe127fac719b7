// catalog_gen: computes the planner's product catalogs and writes them as a string-table
// source (id<TAB>text lines).
//
// Everything is derived from antenna and transmission-line physics:
// - elevation records: the array factor of N bays with a bay element pattern, electrical
//   beam tilt by progressive phase and null fill by fill beams fed in quadrature with the
//   main beam, each peaking in one null of the main beam. "N % null fill" is the trade's
//   meaning: the relative field in the first null below the beam is N/100 of the maximum;
//   the fill amplitudes are scaled until the computed pattern shows exactly that. Gains
//   are the directivity integrated over the computed pattern, relative to a half-wave
//   dipole;
// - azimuth records: axial slots on a conducting cylinder (modal series) and panel
//   arrays around a tower; directivity from the stored samples;
// - flexible coaxial cable: skin-effect conductor loss (sqrt f) from the real conductor
//   sizes (mean inside diameter of the corrugated outer conductor, the inner from the
//   impedance), with 5 % for the roughness of drawn copper and 20 % for the longer
//   current path of a corrugated conductor, plus dielectric loss (f). This lands within
//   a few percent of published losses of the common sizes;
// - ratings from a steady-state heat balance with the inner conductor at 100 C in 40 C
//   still air: the inner conductor's share of the loss crosses the dielectric (a
//   cylindrical shell, whose thermal resistance depends only on its radius ratio, plus
//   radiation across air gaps) and all the heat leaves the outer surface by convection
//   and radiation. The heat a line can shed therefore grows slowly with its size, and the
//   rating (heat / attenuation) about linearly with the diameter, as published ratings
//   of foam cable do; ratings fall with frequency as 1 / attenuation. The cable rating's
//   upper limit is a peak-voltage limit, growing with the square of the conductor size;
// - waveguides: TE10 / TE11 wall loss fitted by a straight line over the usable band;
// - rigid lines: inner and outer conductor radii for the copper loss law, and the power
//   coefficient of the rating law from the same heat balance with a bare outer conductor.
//
// Usage: catalog_gen <output file>
#include "platform/runtime/FileSave.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <functional>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using cplx = std::complex<double>;
constexpr double kPi = 3.14159265358979323846;
constexpr double kC = 299792458.0;          // m/s
constexpr double kMu0 = 4e-7 * kPi;         // H/m
constexpr double kEta0 = 376.730313;        // ohm
constexpr double kRhoCopper = 1.724e-8;     // ohm m, annealed copper
constexpr double kRhoAluminium = 3.0e-8;    // ohm m, waveguide alloy
constexpr double kDbPer100FtPerNpPerM = 8.685889638 * 30.48;

double Rad(double deg) { return deg * kPi / 180.0; }

std::string Fix(double v, int decimals)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    std::string s = buf;
    if (s.find_first_not_of("-0.") == std::string::npos && s[0] == '-') s.erase(0, 1);
    return s;
}

std::string Four(int v)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04d", v);
    return buf;
}

int Quantise(double e)
{
    // Relative field x 1000; real patterns never reach a perfect null, so the floor is 0.001.
    const int v = static_cast<int>(std::lround(e * 1000.0));
    return std::clamp(v, 1, 1000);
}

std::string Row(const std::vector<std::string>& fields)
{
    std::string s;
    for (const auto& f : fields) s += f + "|";
    return s;
}

class Table {
public:
    void Put(int id, const std::string& text)
    {
        if (text.find_first_of("\t\r\n\\") != std::string::npos)
            throw std::runtime_error("string " + std::to_string(id) + " needs escapes");
        if (!rows_.emplace(id, text).second) throw std::runtime_error("duplicate id " + std::to_string(id));
    }
    void Block(int base, const std::vector<std::string>& rows)
    {
        Put(base, std::to_string(rows.size()));
        for (std::size_t i = 0; i < rows.size(); ++i) Put(base + 1 + static_cast<int>(i), rows[i]);
    }
    void Write(std::ostream& out) const
    {
        out << "# Planner catalogs, written by tools/catalog_gen. Do not edit; change the generator.\n";
        for (const auto& [id, text] : rows_) out << id << '\t' << text << '\n';
    }

private:
    std::map<int, std::string> rows_;
};

// ===================================================================================
// Elevation patterns
// ===================================================================================

// Angle of stored sample k, degrees below the horizontal.
double ElevationSampleAngle(int k) { return k <= 80 ? -10.0 + k / 4.0 : 10.5 + (k - 81) / 2.0; }

// Bay element patterns in the vertical plane (theta from the horizontal).
double HalfWaveElement(double t)  // half-wave slot or dipole, broadside
{
    const double c = std::cos(t);
    if (c < 1e-9) return 0.0;
    return std::cos(kPi / 2.0 * std::sin(t)) / c;
}
double ShortElement(double t) { return std::max(0.0, std::cos(t)); }  // short radiator

struct ArrayDesign {
    int bays;
    double spacing;     // wavelengths
    double tiltDeg;     // electrical tilt of the beam maximum
    double fillTarget;  // relative field in the first null below the beam
};

// N bays spaced d wavelengths apart, counted downward from the top. The feed is the sum of
// a main beam steered to the tilt and weak fill beams aimed at the first nulls below it:
// each fill beam peaks where the main beam has a null and has nulls where the main beam
// peaks, so the beam maximum stays put. The fill beams are fed in quadrature with the main
// beam; the array factors of uniform beams share one phase progression, so the two fields
// then add in power everywhere,
//   |E|^2 = S(x)^2 + (sum of f_m S(x - m / Nd))^2,   S(x) = sin(pi N d x) / sin(pi d x),
// and at the m-th null of the main beam the field is exactly f_m times the beam maximum (in
// phase, the fill beams would cancel the main beam's skirt on one side of the null and dig
// a deeper null beside it). The bay amplitudes and phases of the sum are the usual
// null-fill taper.
class ElevationArray {
public:
    ElevationArray(int bays, double spacing, std::function<double(double)> element)
        : n_(bays), d_(spacing), element_(std::move(element)) {}

    double steer = 0.0;           // sin of the main-beam angle
    std::vector<double> fill;     // relative amplitudes of the fill beams at nulls 1, 2, ...

    double Field(double thetaDeg) const
    {
        const double t = Rad(thetaDeg);
        cplx sum = Beam(std::sin(t) - steer);
        for (std::size_t m = 0; m < fill.size(); ++m) {
            // j, and the phase that brings the offset beam's progression back to the main one.
            const double offset = (m + 1.0) / (n_ * d_);
            const cplx quadrature = cplx(0.0, 1.0) * std::polar(1.0, -kPi * d_ * offset * (n_ - 1));
            sum += fill[m] * quadrature * Beam(std::sin(t) - steer - offset);
        }
        return std::abs(sum) / n_ * element_(t);
    }

private:
    // Array factor of a uniform beam, x = sin(theta) - sin(beam angle).
    cplx Beam(double x) const
    {
        const cplx w = std::polar(1.0, -2.0 * kPi * d_ * x);
        cplx step = 1.0, sum = 0.0;
        for (int i = 0; i < n_; ++i) {
            sum += step;
            step *= w;
        }
        return sum;
    }

    int n_;
    double d_;
    std::function<double(double)> element_;
};

struct ElevationResult {
    std::vector<int> samples;
    double gainDbd = 0;    // ratio over a half-wave dipole
    double beamWidth = 0;  // degrees between the half-power points
    double peakDeg = 0;
    double steer = 0;          // the feed that made the pattern
    std::vector<double> fill;
};

constexpr double kFineStep = 0.01;  // degrees

double Directivity(const std::function<double(double)>& e)
{
    // D = 2 / integral of E^2 cos(theta) over -90..90 degrees, E normalised to its maximum.
    double peak = 0;
    for (double a = -90.0; a <= 90.0; a += kFineStep) peak = std::max(peak, e(a));
    double sum = 0;
    const int steps = static_cast<int>(std::lround(180.0 / kFineStep));
    for (int i = 0; i <= steps; ++i) {
        const double a = -90.0 + i * kFineStep;
        const double v = e(a) / peak;
        const double w = (i == 0 || i == steps) ? 0.5 : 1.0;
        sum += w * v * v * std::cos(Rad(a));
    }
    return 2.0 / (sum * Rad(kFineStep));
}

double DipoleDirectivity()
{
    static const double d = Directivity([](double a) { return HalfWaveElement(Rad(a)); });
    return d;
}

double PeakAngle(const ElevationArray& arr, double lo, double hi)
{
    double best = lo, bestV = -1;
    for (double a = lo; a <= hi; a += 0.02) {
        const double v = arr.Field(a);
        if (v > bestV) { bestV = v; best = a; }
    }
    const double centre = best;
    for (double a = centre - 0.02; a <= centre + 0.02; a += 0.0005) {
        const double v = arr.Field(a);
        if (v > bestV) { bestV = v; best = a; }
    }
    return best;
}

// Depth of the first null below the beam, relative to the peak: the first local minimum of
// the field below the beam maximum. Quadrature fill keeps a minimum there at any fill
// below about 0.5 (the main beam's slope through its null outweighs the fill beam's
// curvature).
double FirstNullFill(const ElevationArray& arr, double peakDeg)
{
    const double peak = arr.Field(peakDeg);
    double prev = peak;
    for (double a = peakDeg + 0.005; a < 90.0; a += 0.005) {
        const double v = arr.Field(a);
        if (v > prev) break;
        prev = v;
    }
    return prev / peak;
}

// Points the beam maximum at the design tilt for the current null-fill phase.
void AimBeam(ElevationArray& arr, double tiltDeg)
{
    arr.steer = std::sin(Rad(tiltDeg));
    for (int it = 0; it < 6; ++it) {
        const double peak = PeakAngle(arr, tiltDeg - 3.0, tiltDeg + 3.0);
        arr.steer += std::sin(Rad(tiltDeg)) - std::sin(Rad(peak));
    }
}

// Fill of the first three nulls below the beam: the design figure, then less.
std::vector<double> FillBeams(double fill) { return {fill, 0.75 * fill, 0.5 * fill}; }

// Sets the fill beams and the steering so that the beam maximum lies at the design tilt
// and the first null below it holds the design fill. The element pattern and the
// neighbouring fill beams move the null level a little off the fill beam's amplitude, so
// the amplitudes are scaled until the measured depth matches.
void DesignFeed(ElevationArray& arr, const ArrayDesign& d)
{
    double scale = 1.0;
    for (int it = 0; it < 8; ++it) {
        arr.fill = FillBeams(scale * d.fillTarget);
        AimBeam(arr, d.tiltDeg);
        const double measured = FirstNullFill(arr, PeakAngle(arr, d.tiltDeg - 3.0, d.tiltDeg + 3.0));
        if (std::abs(measured / d.fillTarget - 1.0) < 1e-4) break;
        scale *= d.fillTarget / measured;
    }
}

ElevationResult DesignElevation(const ArrayDesign& d, std::function<double(double)> element)
{
    ElevationArray arr(d.bays, d.spacing, std::move(element));
    DesignFeed(arr, d);
    ElevationResult r;
    r.steer = arr.steer;
    r.fill = arr.fill;
    r.peakDeg = PeakAngle(arr, d.tiltDeg - 3.0, d.tiltDeg + 3.0);
    const double peak = arr.Field(r.peakDeg);
    for (int k = 0; k < 241; ++k) r.samples.push_back(Quantise(arr.Field(ElevationSampleAngle(k)) / peak));
    r.gainDbd = Directivity([&](double a) { return arr.Field(a); }) / DipoleDirectivity();
    // Half-power points on either side of the maximum.
    const double half = peak / std::sqrt(2.0);
    double up = r.peakDeg, down = r.peakDeg;
    while (arr.Field(up) > half && up > -90.0) up -= 0.001;
    while (arr.Field(down) > half && down < 90.0) down += 0.001;
    r.beamWidth = down - up;
    return r;
}

// The vertically polarized bays share the array and its feed but use short radiators.
double VerticalGain(const ArrayDesign& d, const ElevationResult& horizontal)
{
    ElevationArray arr(d.bays, d.spacing, [](double t) { return ShortElement(t); });
    arr.fill = horizontal.fill;
    arr.steer = horizontal.steer;
    return Directivity([&](double a) { return arr.Field(a); }) / DipoleDirectivity();
}

// ===================================================================================
// Azimuth patterns
// ===================================================================================

// Far field of one axial slot on a conducting cylinder of radius ka (radians of the
// wavelength): the modal series sum of j^n e^(jn phi) / H2n'(ka), with the modes of
// opposite order folded together.
class SlotOnCylinder {
public:
    explicit SlotOnCylinder(double ka)
    {
        const int modes = static_cast<int>(std::ceil(ka)) + 12;
        auto hankelPrime = [ka](int n) {
            // J(-1) = -J(1), Y(-1) = -Y(1).
            auto j = [ka](int m) { return m < 0 ? -std::cyl_bessel_j(1, ka) : std::cyl_bessel_j(m, ka); };
            auto y = [ka](int m) { return m < 0 ? -std::cyl_neumann(1, ka) : std::cyl_neumann(m, ka); };
            return cplx(0.5 * (j(n - 1) - j(n + 1)), -0.5 * (y(n - 1) - y(n + 1)));
        };
        cplx jn = 1.0;
        for (int n = 0; n <= modes; ++n) {
            coef_.push_back((n == 0 ? 1.0 : 2.0) * jn / hankelPrime(n));
            jn *= cplx(0.0, 1.0);
        }
    }
    cplx operator()(double phi) const
    {
        cplx sum = 0.0;
        for (std::size_t n = 0; n < coef_.size(); ++n) sum += coef_[n] * std::cos(double(n) * phi);
        return sum;
    }

private:
    std::vector<cplx> coef_;
};

struct Slot {
    double bearing;  // degrees clockwise from north
    double amplitude;
    double phaseDeg;
};

struct Panel {
    double x, y;     // position in wavelengths (east, north)
    double facing;   // degrees clockwise from north
    double amplitude;
    double phaseDeg;
};

using AzimuthField = std::function<double(double)>;  // bearing in degrees -> |E|

AzimuthField SlotPattern(double ka, std::vector<Slot> slots)
{
    const SlotOnCylinder slot(ka);
    return [slot, slots](double az) {
        cplx sum = 0.0;
        for (const auto& s : slots)
            sum += s.amplitude * std::polar(1.0, Rad(s.phaseDeg)) * slot(Rad(az - s.bearing));
        return std::abs(sum);
    };
}

// Panels around a tower face: each panel has a cardioid-like element pattern
// ((1 + cos psi) / 2)^q over a back radiation 20 dB down, and sits at its own position,
// so the spacing phases the panels.
AzimuthField PanelPattern(double q, std::vector<Panel> panels)
{
    return [q, panels](double az) {
        const double a = Rad(az);
        cplx sum = 0.0;
        for (const auto& p : panels) {
            const double psi = a - Rad(p.facing);
            const double element = 0.9 * std::pow(0.5 * (1.0 + std::cos(psi)), q) + 0.1;
            const double path = 2.0 * kPi * (p.x * std::sin(a) + p.y * std::cos(a));
            sum += p.amplitude * element * std::polar(1.0, path + Rad(p.phaseDeg));
        }
        return std::abs(sum);
    };
}

// Panels facing outward on a circle of radius r (wavelengths).
std::vector<Panel> Ring(double r, std::vector<std::pair<double, double>> bearingAmp)
{
    std::vector<Panel> out;
    for (auto [b, amp] : bearingAmp) out.push_back({r * std::sin(Rad(b)), r * std::cos(Rad(b)), b, amp, 0.0});
    return out;
}

struct AzimuthRecord {
    AzimuthRecord(std::string c, std::string n, std::string s, AzimuthField f)
        : code(std::move(c)), name(std::move(n)), suffix(std::move(s)), field(std::move(f)) {}
    std::string code;
    std::string name;    // list text
    std::string suffix;  // ordering suffix
    AzimuthField field;
    // Computed:
    std::vector<int> samples;
    double directivity = 0;
    int maxBearing = 0;
};

void ComputeAzimuth(AzimuthRecord& r)
{
    std::vector<double> e(360);
    double peak = 0;
    for (int k = 0; k < 360; ++k) {
        e[k] = r.field(k);
        if (e[k] > peak) { peak = e[k]; r.maxBearing = k; }
    }
    double sum = 0;
    for (int k = 0; k < 360; ++k) {
        const int v = Quantise(e[k] / peak);
        r.samples.push_back(v);
        sum += (v / 1000.0) * (v / 1000.0);
    }
    r.samples.push_back(r.samples[0]);  // 360 repeats 0
    r.directivity = 360.0 / sum;
}

std::vector<AzimuthRecord> AzimuthRecords()
{
    const double s = 1.0;
    std::vector<AzimuthRecord> v = {
        // Zek slotted pipes, horizontal polarization.
        {"ZekOMX", "Omnidirectional", "Omni", SlotPattern(1.2, {{0, s, 0}, {120, s, 0}, {240, s, 0}})},
        {"ZekOWX", "Omnidirectional, low ripple", "OW", SlotPattern(1.5, {{0, s, 0}, {90, s, 0}, {180, s, 0}, {270, s, 0}})},
        {"ZekCAX", "Cardioid", "CA", SlotPattern(1.4, {{0, s, 0}})},
        {"ZekCWX", "Wide cardioid", "CW", SlotPattern(0.6, {{0, s, 0}})},
        {"ZekCNX", "Narrow cardioid", "CN", SlotPattern(2.4, {{0, s, 0}})},
        {"ZekC2X", "Cardioid, two slots", "C2", SlotPattern(1.0, {{-25, s, 0}, {25, s, 0}})},
        {"ZekPNX", "Peanut", "PN", SlotPattern(1.0, {{0, s, 0}, {180, s, 0}})},
        {"ZekPWX", "Wide peanut", "PW", SlotPattern(0.7, {{0, s, 0}, {180, s, 0}})},
        {"ZekSKX", "Skull", "SK", SlotPattern(1.2, {{-55, s, 0}, {55, s, 0}})},
        {"ZekSWX", "Wide skull", "SW", SlotPattern(1.3, {{0, s, 0}, {150, 0.5, 0}, {210, 0.5, 0}})},
        {"ZekTRX", "Trilobe", "TR", SlotPattern(1.8, {{0, s, 0}, {120, s, 0}, {240, s, 0}})},
        {"ZekTSX", "Trilobe, skewed", "TS", SlotPattern(1.8, {{0, s, 0}, {110, 0.8, 0}, {250, 0.8, 0}})},
        {"ZekDIX", "Directional", "DI", SlotPattern(2.6, {{-22, s, 0}, {22, s, 0}})},
        {"ZekOCX", "Offset cardioid", "OC", SlotPattern(1.4, {{0, s, 0}, {90, 0.5, 60}})},
        {"ZekELX", "Elliptical omni", "EL", SlotPattern(1.2, {{0, s, 0}, {120, 0.8, 0}, {240, 0.8, 0}})},
        // Zek vertical components: dipoles beside the pipe.
        {"ZekVOX", "Omnidirectional (vertical)", "Omni", PanelPattern(0.3, Ring(0.15, {{0, s}, {120, s}, {240, s}}))},
        {"ZekVCX", "Cardioid (vertical)", "CA", PanelPattern(1.0, Ring(0.15, {{0, s}}))},
        {"ZekVPX", "Peanut (vertical)", "PN", PanelPattern(2.0, Ring(0.1, {{90, s}, {270, s}}))},
        // Panel arrays around a tower, shared by the Zorvan and VHF lines.
        {"OMNIXX", "Omni, three panels", "Omni", PanelPattern(3.0, Ring(0.3, {{0, s}, {120, s}, {240, s}}))},
        {"CARDXX", "Cardioid, one panel", "CD", PanelPattern(1.2, Ring(0.0, {{0, s}}))},
        {"PNUTXX", "Peanut, two panels", "PT", PanelPattern(1.5, Ring(0.5, {{0, s}, {180, s}}))},
        {"SKULXX", "Skull, two panels", "SL", PanelPattern(1.5, Ring(0.4, {{-60, s}, {60, s}}))},
        {"TRILXX", "Trilobe, three panels", "TL", PanelPattern(4.0, Ring(0.6, {{0, s}, {120, s}, {240, s}}))},
        {"DIRCXX", "Directional, two panels side by side",
         "DR", PanelPattern(1.5, {{-0.35, 0, 0, s, 0}, {0.35, 0, 0, s, 0}})},
        // Zorvan slotted coaxial antennas.
        {"RuxOMX", "Omnidirectional", "Omni", SlotPattern(1.8, {{0, s, 0}, {90, s, 0}, {180, s, 0}, {270, s, 0}})},
        {"RuxC3X", "Cardioid", "C3", SlotPattern(2.0, {{0, s, 0}})},
        {"RuxC2X", "Wide cardioid", "C2", SlotPattern(1.4, {{0, s, 0}})},
        {"RuxPNX", "Peanut", "PN", SlotPattern(1.0, {{0, s, 0}, {180, s, 0}})},
        {"RuxSKX", "Skull", "SK", SlotPattern(2.2, {{-60, s, 0}, {60, s, 0}})},
        {"RuxTRX", "Trilobe", "TR", SlotPattern(2.6, {{0, s, 0}, {120, s, 0}, {240, s, 0}})},
        {"RuxDIX", "Directional", "DI", SlotPattern(3.0, {{-25, s, 0}, {25, s, 0}})},
        {"RuxELX", "Oval", "EL", SlotPattern(1.2, {{0, s, 0}, {180, s, 0}})},
        // VHF high-band panels.
        {"VHFHNC", "Narrow cardioid, batwing panel", "NC", PanelPattern(2.0, Ring(0.0, {{0, s}}))},
        {"VHFVNC", "Narrow cardioid, dipole panel (vertical)", "NC", PanelPattern(2.5, Ring(0.0, {{0, s}}))},
    };
    for (auto& r : v) ComputeAzimuth(r);
    return v;
}

const AzimuthRecord& FindAz(const std::vector<AzimuthRecord>& recs, const std::string& code)
{
    for (const auto& r : recs)
        if (r.code == code) return r;
    throw std::runtime_error("no azimuth record " + code);
}

std::vector<std::string> AzimuthCatalog(const std::vector<AzimuthRecord>& recs, const std::vector<std::string>& codes,
                                        const std::string& nameTail = "")
{
    std::vector<std::string> rows;
    for (const auto& c : codes) {
        const auto& r = FindAz(recs, c);
        rows.push_back(Row({r.name + nameTail, Fix(r.directivity, 3), r.code, std::to_string(r.maxBearing), r.suffix}));
    }
    return rows;
}

// ===================================================================================
// Transmission lines
// ===================================================================================

double SurfaceResistance(double fHz, double rho) { return std::sqrt(kPi * fHz * kMu0 * rho); }

// Heat path from the inner conductor to the air around the line. The inner conductor
// carries most of the conductor loss and sets the rating: its heat crosses the dielectric
// (conduction through foam, or conduction and radiation across an air gap) and then leaves,
// with the outer conductor's own heat, from the outer surface.
struct HeatPath {
    double surfaceH;       // W/(m^2 K): natural convection plus radiation from the outer surface
    double gapK;           // W/(m K): conduction across the dielectric (air gaps: with their convection)
    double gapEmissivity;  // effective emissivity between the conductors; 0 where foam blocks radiation
};

// Inner conductor at 100 C in 40 C still air.
constexpr double kInnerRise = 60.0;            // K
constexpr double kGapTemperature = 273.15 + 80.0;  // K, mean of the two conductors
constexpr double kSigma = 5.670374e-8;         // W/(m^2 K^4)

// Heat per metre (W/m) the line sheds at its temperature limit; a, b and the surface
// diameter in metres, innerShare the inner conductor's part of the loss. A shell of fixed
// radius ratio conducts the same heat whatever its size, so the dielectric's resistance does
// not fall with diameter: the heat a cable sheds grows slowly with its size, and its rating
// (heat / attenuation, attenuation ~ 1 / diameter) about linearly.
double MaxHeatPerMetre(double a, double b, double surfaceDiameter, double innerShare, const HeatPath& h)
{
    const double surface = 1.0 / (h.surfaceH * kPi * surfaceDiameter);
    const double radiation = 4.0 * kSigma * std::pow(kGapTemperature, 3) * h.gapEmissivity * kPi * 2.0 * a;
    const double gap = 1.0 / (2.0 * kPi * h.gapK / std::log(b / a) + radiation);
    return kInnerRise / (surface + innerShare * gap);
}

// Rating numerator of the line table, kW x dB/100 ft, for a line that sheds q W/m: at P kW
// and A dB/100 ft the line turns P x A x ln(10) / 10 kW per 100 feet into heat.
double RatingNumerator(double q) { return q * 30.48 / (100.0 * std::log(10.0)); }

// Flexible cable constructions.
struct CableKind {
    const char* text;     // description words
    double er;
    double tanDelta;
    double innerFactor;   // conductor-loss factor of the inner conductor: surface roughness (and corrugation)
    double outerFactor;   // of the corrugated outer conductor: the corrugation lengthens the current path
    HeatPath heat;
    double capCoef;       // kW per square inch of outer conductor: the peak-voltage limit of the rating
};

// The surface roughness of drawn copper and its seams add about 5 % to the loss; annular
// corrugation lengthens the outer conductor's current path by about 20 %. Polyethylene foam
// conducts 0.03 to 0.04 W/(m K). A black jacket sheds 14 W/(m^2 K) by natural convection
// and radiation.
const CableKind kFoam = {"foam dielectric", 1.25, 7e-5, 1.05, 1.20, {14.0, 0.035, 0.0}, 14.0};
const CableKind kLowDensityFoam = {"low-density foam", 1.13, 5e-5, 1.05, 1.20, {14.0, 0.030, 0.0}, 14.0};
// Corrugated inner and deeply corrugated outer conductor, denser foam.
const CableKind kSuperflexible = {"superflexible foam", 1.30, 1e-4, 1.25, 1.40, {14.0, 0.040, 0.0}, 12.0};
// A helical spacer in air: still air (the helix stops convection) and radiation across the gap.
const CableKind kAirCable = {"air dielectric", 1.12, 2e-5, 1.05, 1.20, {14.0, 0.030, 0.3}, 16.0};

struct Coax {
    std::string description;
    std::string part;
    double outerIdIn;   // mean inside diameter of the corrugated outer conductor, inches
    double jacketOdIn;  // outside diameter of the jacket, inches
    double z0;
    const CableKind* kind;
};

std::string CoaxRow(const Coax& c)
{
    const CableKind& k = *c.kind;
    const double b = c.outerIdIn * 0.0254 / 2.0;
    const double a = b / std::exp(c.z0 * std::sqrt(k.er) / 59.9585);
    const double eta = kEta0 / std::sqrt(k.er);
    // Conductor loss at 1 MHz; it grows with sqrt(f).
    const double rs1 = SurfaceResistance(1e6, kRhoCopper);
    const double k1 = rs1 / (2.0 * eta * std::log(b / a)) * (k.innerFactor / a + k.outerFactor / b) * kDbPer100FtPerNpPerM;
    // Dielectric loss per MHz: pi f sqrt(er) tan(delta) / c.
    const double k2 = kPi * 1e6 * std::sqrt(k.er) * k.tanDelta / kC * kDbPer100FtPerNpPerM;
    // First higher mode (TE11) near lambda = pi (a + b) sqrt(er); stay 5 % below it.
    const double fc = kC / (kPi * (a + b) * std::sqrt(k.er)) / 1e6;
    const double fmax = std::min(2000.0, std::floor(0.95 * fc));
    // Thermal rating: the conductor loss dominates the heat at broadcast frequencies.
    const double innerShare = (k.innerFactor / a) / (k.innerFactor / a + k.outerFactor / b);
    const double numerator = RatingNumerator(MaxHeatPerMetre(a, b, c.jacketOdIn * 0.0254, innerShare, k.heat));
    // Peak voltage grows with the conductor size, the power it allows with its square.
    const double cap = k.capCoef * c.outerIdIn * c.outerIdIn;
    return Row({c.description, c.part, "50", Fix(fmax, 0), Fix(k1, 6), Fix(k2, 7), Fix(numerator, 3), Fix(cap, 1)});
}

struct Waveguide {
    std::string description;
    std::string part;
    bool circular;
    double a, b;  // inches: broad and narrow wall, or the diameter (a) of a circular guide
    double fmin, fmax;
    double ratingCoef;  // kW x dB/100 ft per inch of perimeter
};

double WaveguideLoss(const Waveguide& w, double fMHz)
{
    const double f = fMHz * 1e6;
    const double rs = SurfaceResistance(f, kRhoAluminium);
    double alpha;
    if (w.circular) {
        const double radius = w.a * 0.0254 / 2.0;
        const double p = 1.8412;  // first zero of J1'
        const double fc = p * kC / (2.0 * kPi * radius);
        const double r = (fc / f) * (fc / f);
        alpha = rs / (radius * kEta0 * std::sqrt(1.0 - r)) * (r + 1.0 / (p * p - 1.0));
    } else {
        const double a = w.a * 0.0254, b = w.b * 0.0254;
        const double fc = kC / (2.0 * a);
        const double r = (fc / f) * (fc / f);
        alpha = rs / (kEta0 * b * std::sqrt(1.0 - r)) * (1.0 + 2.0 * b / a * r);
    }
    return alpha * kDbPer100FtPerNpPerM;
}

std::string WaveguideRow(const Waveguide& w)
{
    // Least-squares straight line through the loss over the usable band.
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    int n = 0;
    for (double f = w.fmin; f <= w.fmax + 1e-9; f += 1.0, ++n) {
        const double y = WaveguideLoss(w, f);
        sx += f; sy += y; sxx += f * f; sxy += f * y;
    }
    const double slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
    const double constant = (sy - slope * sx) / n;
    const double perimeter = w.circular ? kPi * w.a : 2.0 * (w.a + w.b);
    const double mid = WaveguideLoss(w, 0.5 * (w.fmin + w.fmax));
    const double rating = std::round(w.ratingCoef * perimeter / mid / 50.0) * 50.0;
    return Row({w.description, w.part, Fix(w.fmin, 0), Fix(w.fmax, 0), Fix(constant, 5), Fix(slope, 8), "0.0",
                Fix(rating, 1)});
}

struct Rigid {
    std::string description;
    std::string part;
    double nominal;    // line size (outside diameter of the outer conductor), inches
    double outerIdIn;  // inside diameter of the outer conductor, inches
    double z0;
};

// Bare outer conductor: convection with little radiation. The air gap conducts with the
// convection of its size, and the conductors radiate across it.
const HeatPath kRigidHeat = {8.0, 0.06, 0.3};

std::string RigidRow(const Rigid& r)
{
    const double b = r.outerIdIn / 2.0;
    const double a = b / std::exp(r.z0 / 59.9585);
    const double fc = kC / (kPi * (a + b) * 0.0254) / 1e6;
    const double fmax = std::min(2000.0, std::floor(0.95 * fc));
    // The line table rates a rigid line as coefficient x nominal size x 16.38 / attenuation.
    const double innerShare = b / (a + b);
    const double numerator = RatingNumerator(MaxHeatPerMetre(a * 0.0254, b * 0.0254, r.nominal * 0.0254, innerShare, kRigidHeat));
    const double powerCoef = numerator / (r.nominal * 16.38);
    // Conductor radii in inches feed the copper-loss law of the line table.
    return Row({r.description, r.part, "50", Fix(fmax, 0), Fix(a, 4), Fix(b, 4), Fix(r.nominal, 4), Fix(powerCoef, 4)});
}

// ===================================================================================
// Catalog content
// ===================================================================================

std::string TiltText(double t) { return Fix(t, 2); }

void WriteCatalogs(Table& t)
{
    // --- Elevation: block 1000 records and catalogs 9000, 10000, 11000 -----------------
    std::vector<std::string> elevationRecords;
    auto elevationRecord = [&](const std::string& code, const ElevationResult& r) {
        std::string rec = code;
        for (int v : r.samples) rec += Four(v);
        elevationRecords.push_back(rec);
    };
    auto halfWave = [](double th) { return HalfWaveElement(th); };

    // Zek: fixed tilt, 10 % null fill, eight ratings by power class, polarization and service.
    struct ZekModel { int bays; double tilt; double lowPower; };
    const std::vector<ZekModel> zek = {{4, 1.0, 10}, {6, 1.0, 10}, {8, 0.75, 15}, {10, 0.75, 15}, {12, 0.5, 20}, {16, 0.5, 20}};
    constexpr double zekFill = 0.10;
    std::vector<std::string> cat9000;
    for (const auto& m : zek) {
        const ArrayDesign d{m.bays, 1.0, m.tilt, zekFill};
        const ElevationResult r = DesignElevation(d, halfWave);
        const std::string code = "ZK" + std::to_string(100 + m.bays).substr(1) + std::to_string(100 + int(std::lround(m.tilt * 4))).substr(1);
        elevationRecord(code, r);
        const std::string model = "Zek" + std::to_string(m.bays) + "L#";
        std::vector<std::string> f = {"Zek " + std::to_string(m.bays) + "-bay, " + Fix(zekFill * 100, 0) + "% null fill, " +
                                          TiltText(m.tilt) + " deg. tilt",
                                      model, Fix(r.gainDbd, 2), model + "V", Fix(VerticalGain(d, r), 2), code,
                                      Fix(r.beamWidth, 1), TiltText(m.tilt), TiltText(m.tilt), TiltText(m.tilt)};
        // Fields 10..17: NTSC low H, low E, medium H, medium E, then the same for DTV.
        const double medium = 2.5;
        const double ellipticalShare = 0.75, dtv = 0.6;
        for (double service : {1.0, dtv})
            for (double cls : {1.0, medium})
                for (double pol : {1.0, ellipticalShare}) f.push_back(Fix(m.lowPower * cls * pol * service, 1));
        cat9000.push_back(Row(f));
    }

    // Zorvan UHF: 12 array lengths in four fill and tilt variants.
    struct Variant { char letter; double fill; double tilt; };
    const std::vector<Variant> zorvanVariants = {{'L', 0.05, 0.5}, {'N', 0.10, 0.75}, {'N', 0.10, 1.0}, {'H', 0.20, 1.5}};
    const std::vector<int> zorvanBays = {8, 10, 12, 14, 16, 18, 20, 24, 28, 32, 36, 40};
    auto tiltLimits = [](double tilt) {
        return std::pair<double, double>{tilt + 1.0, std::max(0.0, tilt - 1.0)};
    };
    std::vector<std::string> cat10000;
    for (int bays : zorvanBays)
        for (const auto& v : zorvanVariants) {
            const ArrayDesign d{bays, 1.0, v.tilt, v.fill};
            const ElevationResult r = DesignElevation(d, halfWave);
            const std::string code = "RU" + std::to_string(100 + bays).substr(1) + v.letter + std::to_string(int(std::lround(v.tilt * 4)));
            elevationRecord(code, r);
            const std::string model = "Rux" + std::to_string(bays) + v.letter + "#";
            const auto [maxTilt, minTilt] = tiltLimits(v.tilt);
            const double rating = bays <= 12 ? 120 : (bays <= 20 ? 180 : 240);
            cat10000.push_back(Row({"Rux " + std::to_string(bays) + "-bay, " + Fix(v.fill * 100, 0) + "% null fill, " +
                                        TiltText(v.tilt) + " deg. tilt",
                                    model, Fix(r.gainDbd, 2), model + "V", Fix(VerticalGain(d, r), 2), code,
                                    Fix(r.beamWidth, 1), TiltText(v.tilt), TiltText(maxTilt), TiltText(minTilt),
                                    Fix(rating, 1)}));
        }

    // VHF high band: batwing panels.
    const std::vector<Variant> vhfVariants = {{'N', 0.10, 0.5}, {'H', 0.20, 1.0}};
    std::vector<std::string> cat11000;
    for (int bays : {4, 6, 8, 10, 12, 14})
        for (const auto& v : vhfVariants) {
            const ArrayDesign d{bays, 1.0, v.tilt, v.fill};
            const ElevationResult r = DesignElevation(d, halfWave);
            const std::string code = "RV" + std::to_string(100 + bays).substr(1) + "B" + v.letter;
            elevationRecord(code, r);
            const std::string model = "Rux" + std::to_string(bays) + "B" + v.letter + "#";
            const auto [maxTilt, minTilt] = tiltLimits(v.tilt);
            const double rating = bays <= 6 ? 30 : 60;
            cat11000.push_back(Row({"Rux " + std::to_string(bays) + "-bay VHF, " + Fix(v.fill * 100, 0) + "% null fill, " +
                                        TiltText(v.tilt) + " deg. tilt",
                                    model, Fix(r.gainDbd, 2), model + "V", Fix(VerticalGain(d, r), 2), code,
                                    Fix(r.beamWidth, 1), TiltText(v.tilt), TiltText(maxTilt), TiltText(minTilt),
                                    Fix(rating, 1)}));
        }
    t.Block(1000, elevationRecords);
    t.Block(9000, cat9000);
    t.Block(10000, cat10000);
    t.Block(11000, cat11000);

    // --- Azimuth: block 2000 records and catalogs 3000..8000 ---------------------------
    const auto az = AzimuthRecords();
    std::vector<std::string> azimuthRecords;
    for (const auto& r : az) {
        std::string rec = r.code;
        for (int v : r.samples) rec += Four(v);
        azimuthRecords.push_back(rec);
    }
    t.Block(2000, azimuthRecords);
    const std::vector<std::string> zekH = {"ZekOMX", "ZekOWX", "ZekCAX", "ZekCWX", "ZekCNX", "ZekC2X", "ZekPNX", "ZekPWX",
                                           "ZekSKX", "ZekSWX", "ZekTRX", "ZekTSX", "ZekDIX", "ZekOCX", "ZekELX"};
    t.Block(3000, AzimuthCatalog(az, zekH));
    t.Block(3100, AzimuthCatalog(az, std::vector<std::string>(zekH.begin(), zekH.begin() + 12)));
    // Elliptical: the first five share the omni vertical component, then cardioid, peanut.
    t.Block(3200, AzimuthCatalog(az, {"ZekOMX", "ZekOWX", "ZekELX", "ZekTRX", "ZekSWX", "ZekCAX", "ZekPNX"}));
    t.Block(4000, AzimuthCatalog(az, {"ZekVOX", "ZekVCX", "ZekVPX"}));
    t.Block(5000, AzimuthCatalog(az, {"RuxOMX", "RuxC3X", "RuxC2X", "RuxPNX", "RuxSKX", "RuxTRX", "RuxDIX", "RuxELX",
                                      "OMNIXX", "CARDXX", "PNUTXX", "SKULXX", "TRILXX", "DIRCXX"}));
    {
        auto rows = AzimuthCatalog(az, {"OMNIXX", "CARDXX", "PNUTXX", "SKULXX", "TRILXX", "DIRCXX"}, " (vertical)");
        auto slots = AzimuthCatalog(az, {"RuxOMX", "RuxC3X", "RuxC2X", "RuxPNX", "RuxSKX", "RuxTRX"}, " (vertical)");
        rows.insert(rows.begin(), slots.begin(), slots.end());
        t.Block(6000, rows);
    }
    t.Block(7000, AzimuthCatalog(az, {"VHFHNC", "OMNIXX", "CARDXX", "PNUTXX", "SKULXX"}));
    {
        auto rows = AzimuthCatalog(az, {"OMNIXX", "CARDXX", "PNUTXX"}, " (vertical)");
        rows.insert(rows.begin(), AzimuthCatalog(az, {"VHFVNC"})[0]);
        t.Block(8000, rows);
    }

    // --- Channel plan --------------------------------------------------------------------
    std::vector<std::string> channels;
    for (int ch = 2; ch <= 69; ++ch) {
        int lo;
        if (ch <= 4) lo = 54 + 6 * (ch - 2);
        else if (ch <= 6) lo = 76 + 6 * (ch - 5);
        else if (ch <= 13) lo = 174 + 6 * (ch - 7);
        else lo = 470 + 6 * (ch - 14);
        const int hi = lo + 6;
        channels.push_back(std::to_string(ch) + " = " + std::to_string(lo) + "-" + std::to_string(hi) + " MHz|" +
                           std::to_string(lo) + "|" + std::to_string(hi) + "|");
    }
    t.Block(12000, channels);

    // --- Transmission lines --------------------------------------------------------------
    // Cable sizes: mean inside diameter of the corrugated outer conductor and outside
    // diameter of the jacket, inches; the inner conductor follows from the impedance.
    struct CableSize { std::string size; double outerId; double jacket; };
    const std::vector<CableSize> foamSizes = {{"1/4", 0.26, 0.35},  {"3/8", 0.37, 0.46},   {"1/2", 0.49, 0.63},
                                              {"5/8", 0.66, 0.83},  {"7/8", 0.93, 1.10},   {"1-1/4", 1.31, 1.55},
                                              {"1-5/8", 1.70, 1.98}, {"2-1/4", 2.28, 2.63}, {"3", 3.05, 3.40}};
    const std::vector<CableSize> superflexSizes = {{"1/4", 0.22, 0.29}, {"3/8", 0.32, 0.41}, {"1/2", 0.44, 0.52}};
    const std::vector<CableSize> airSizes = {{"1-5/8", 1.66, 1.98}, {"3", 3.05, 3.40}, {"4", 4.05, 4.55},
                                             {"5", 5.00, 5.60},     {"6-1/8", 6.10, 6.70}};
    auto cable = [](const CableKind& kind, const std::vector<CableSize>& sizes, const std::string& size, double z0,
                    const std::string& part) {
        for (const auto& s : sizes)
            if (s.size == size)
                return Coax{size + " in. " + kind.text + " coax, " + Fix(z0, 0) + " ohm", part, s.outerId, s.jacket, z0, &kind};
        throw std::runtime_error("no cable size " + size);
    };
    auto foam = [&](const std::string& size, double z0, const std::string& part) {
        return cable(kFoam, foamSizes, size, z0, part);
    };
    auto lowDensity = [&](const std::string& size, const std::string& part) {
        return cable(kLowDensityFoam, foamSizes, size, 50, part);
    };
    auto superflex = [&](const std::string& size, const std::string& part) {
        return cable(kSuperflexible, superflexSizes, size, 50, part);
    };
    auto air = [&](const std::string& size, double z0, const std::string& part) {
        return cable(kAirCable, airSizes, size, z0, part);
    };
    std::vector<Coax> flexible = {
        foam("1/4", 50, "FC50-014"),     foam("3/8", 50, "FC50-038"),     foam("1/2", 50, "FC50-012"),
        foam("5/8", 50, "FC50-058"),     foam("7/8", 50, "FC50-078"),     foam("1-1/4", 50, "FC50-114"),
        foam("1-5/8", 50, "FC50-158"),   foam("2-1/4", 50, "FC50-214"),   superflex("1/4", "SF50-014"),
        superflex("3/8", "SF50-038"),    superflex("1/2", "SF50-012"),    lowDensity("7/8", "LF50-078"),
        lowDensity("1-1/4", "LF50-114"), lowDensity("1-5/8", "LF50-158"), lowDensity("2-1/4", "LF50-214"),
        foam("3/8", 75, "FC75-038"),     foam("1/2", 75, "FC75-012"),     foam("7/8", 75, "FC75-078"),
        foam("1-5/8", 75, "FC75-158")};
    std::vector<Coax> foamLines = {
        foam("1/2", 50, "FC50-012"),     foam("7/8", 50, "FC50-078"),     foam("1-1/4", 50, "FC50-114"),
        foam("1-5/8", 50, "FC50-158"),   foam("2-1/4", 50, "FC50-214"),   foam("1/2", 75, "FC75-012"),
        foam("7/8", 75, "FC75-078"),     foam("1-1/4", 75, "FC75-114"),   foam("1-5/8", 75, "FC75-158"),
        lowDensity("7/8", "LF50-078"),   lowDensity("1-1/4", "LF50-114"), lowDensity("1-5/8", "LF50-158"),
        lowDensity("2-1/4", "LF50-214"), lowDensity("3", "LF50-300")};
    std::vector<Coax> airLines = {air("1-5/8", 50, "AC50-158"), air("3", 50, "AC50-300"),     air("4", 50, "AC50-400"),
                                  air("5", 50, "AC50-500"),     air("6-1/8", 50, "AC50-618"), air("1-5/8", 75, "AC75-158"),
                                  air("3", 75, "AC75-300"),     air("4", 75, "AC75-400"),     air("5", 75, "AC75-500")};
    auto coaxBlock = [&](int base, const std::vector<Coax>& lines) {
        std::vector<std::string> rows;
        for (const auto& c : lines) rows.push_back(CoaxRow(c));
        t.Block(base, rows);
    };
    coaxBlock(13000, flexible);
    coaxBlock(14000, foamLines);
    coaxBlock(15000, airLines);

    const std::vector<Waveguide> circular = {
        {"12 in. circular waveguide, TE11", "CWG-120", true, 12.0, 0, 681, 806, 1.6},
        {"13.5 in. circular waveguide, TE11", "CWG-135", true, 13.5, 0, 605, 806, 1.6},
        {"15 in. circular waveguide, TE11", "CWG-150", true, 15.0, 0, 553, 738, 1.6},
        {"17.5 in. circular waveguide, TE11", "CWG-175", true, 17.5, 0, 474, 632, 1.6},
        {"20 in. circular waveguide, TE11", "CWG-200", true, 20.0, 0, 470, 553, 1.6}};
    const std::vector<Waveguide> rectangular = {
        {"WR2300 rectangular waveguide", "WR2300", false, 23.0, 11.5, 470, 490, 1.5},
        {"WR2100 rectangular waveguide", "WR2100", false, 21.0, 10.5, 470, 530, 1.5},
        {"WR1800 rectangular waveguide", "WR1800", false, 18.0, 9.0, 470, 620, 1.5},
        {"WR1800 reduced-height waveguide", "WR1800RH", false, 18.0, 4.5, 470, 620, 1.5},
        {"WR1500 rectangular waveguide", "WR1500", false, 15.0, 7.5, 490, 750, 1.5},
        {"WR1500 reduced-height waveguide", "WR1500RH", false, 15.0, 3.75, 490, 750, 1.5},
        {"WR1150 rectangular waveguide", "WR1150", false, 11.5, 5.75, 640, 806, 1.5},
        {"WR975 rectangular waveguide", "WR975", false, 9.75, 4.875, 750, 806, 1.5}};
    auto guideBlock = [&](int base, const std::vector<Waveguide>& guides) {
        std::vector<std::string> rows;
        for (const auto& g : guides) rows.push_back(WaveguideRow(g));
        t.Block(base, rows);
    };
    guideBlock(16000, circular);
    guideBlock(17000, rectangular);

    // EIA rigid line: outer conductor inside diameters; the inner follows from Z0.
    const std::vector<Rigid> rigid = {
        {"Belvor 1-5/8 in. rigid line, 50 ohm", "RL50-158", 1.625, 1.527, 50},
        {"Belvor 3-1/8 in. rigid line, 50 ohm", "RL50-318", 3.125, 3.027, 50},
        {"Belvor 4-1/16 in. rigid line, 50 ohm", "RL50-4116", 4.0625, 3.935, 50},
        {"Belvor 6-1/8 in. rigid line, 50 ohm", "RL50-618", 6.125, 5.981, 50},
        {"Belvor 8-3/16 in. rigid line, 50 ohm", "RL50-8316", 8.1875, 7.981, 50},
        {"Belvor 3-1/8 in. rigid line, 75 ohm", "RL75-318", 3.125, 3.027, 75},
        {"Belvor 4-1/16 in. rigid line, 75 ohm", "RL75-4116", 4.0625, 3.935, 75},
        {"Belvor 6-1/8 in. rigid line, 75 ohm", "RL75-618", 6.125, 5.981, 75},
        {"Belvor 8-3/16 in. rigid line, 75 ohm", "RL75-8316", 8.1875, 7.981, 75},
        {"Belvor 9-3/16 in. rigid line, 75 ohm", "RL75-9316", 9.1875, 8.980, 75}};
    {
        std::vector<std::string> rows;
        for (const auto& r : rigid) rows.push_back(RigidRow(r));
        t.Block(18000, rows);
    }

    // --- Beam-tilt tutorial --------------------------------------------------------------
    t.Put(19000, "1");
    const std::vector<std::string> tutorial = {
        // Page 1
        "Beam tilt aims the main beam of a transmitting antenna slightly below the horizontal plane. A broadcast "
        "antenna with an elevation gain of 20 or more squeezes its radiation into a vertical beam only a few degrees "
        "wide; where that beam points decides how much of the effective radiated power reaches the audience.",
        "Viewers are below the antenna, not level with it. Without tilt, more than half of the main beam passes "
        "above the radio horizon and is lost to space, and the ground out to the horizon is served only by the "
        "lower edge of the beam.",
        // Page 2
        "The earth curves away from a tall tower. Seen from a height of h feet above average terrain, the radio "
        "horizon lies below the horizontal by about 0.0153 x the square root of h degrees, using the 4/3 earth radius "
        "that allows for normal atmospheric refraction. At 1,000 feet the horizon is about 0.48 degrees down; at "
        "2,000 feet about 0.68 degrees.",
        "Everything the station covers lies between the horizon and the foot of the tower, so the useful part of the "
        "elevation pattern starts at the horizon depression angle and runs down to large angles close to the site.",
        // Page 3
        "Electrical beam tilt is built into the feed of the antenna: each bay is fed a little later than the one "
        "above it, and this progressive phase steers the beam down by the same angle in every azimuth direction. "
        "Mechanical tilt, by contrast, leans the whole antenna: it lowers the beam on one side and raises it on the "
        "opposite side, which suits only directional antennas.",
        "The stored elevation patterns already contain the tilt of their catalog entry. When you choose another "
        "tilt in quarter-degree steps, the pattern is shifted by the difference, which is accurate for the small "
        "changes that the tilt limits of each antenna allow.",
        // Page 4
        "Between the lobes of an array's elevation pattern lie nulls, angles at which the fields of the bays cancel. "
        "Below the main beam these nulls fall on the ground a few miles from the tower, where they leave rings of "
        "weak signal even though the site is close.",
        "Null fill removes the deep nulls by giving the bays slightly different amplitudes and phases. It is stated "
        "as the field in the first null relative to the beam maximum: 10 % fill means the null is no deeper than "
        "0.10, that is 20 dB below the peak.",
        "Close to the tower a receiver sees the antenna at a large depression angle, far down the elevation pattern, "
        "but the path is short, so a filled pattern at 5 to 15 percent of the peak field still gives a strong "
        "signal there.",
        "Tilt and null fill are not free: both move energy out of the main beam, so the ERP toward the horizon is "
        "lower than the main-beam ERP. The horizon gain shown for your design includes this loss; check it against "
        "the coverage you need at the edge of the service area.",
        // Page 5
        "A practical rule places the 0.9 field point of the beam at the radio horizon. The tilt is then the horizon "
        "depression angle plus the angle below the beam maximum at which the field falls to 0.9, about 15 / G "
        "degrees for an antenna of elevation gain G. The Beam Tilt Calculator applies this rule and rounds down to a "
        "quarter degree.",
        "Example: an antenna with an elevation gain of 25 at 1,000 feet HAAT. The horizon is 0.0153 x 31.6 = 0.48 "
        "degrees down and the 0.9 field point lies 15 / 25 = 0.60 degrees below the peak, 1.08 degrees in all: the "
        "antenna gets 1.00 degree of beam tilt. Higher antennas and higher gains call for more tilt; lower ones for "
        "less."};
    for (std::size_t i = 0; i < tutorial.size(); ++i) t.Put(19001 + static_cast<int>(i), tutorial[i]);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: catalog_gen <output file>\n";
        return 2;
    }
    try {
        Table table;
        WriteCatalogs(table);
        std::ostringstream out;
        table.Write(out);
        SaveFileAtomically(argv[1], out.str());
    } catch (const std::exception& e) {
        std::cerr << "catalog_gen: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
