#include "ProjLib.h"

#include "platform/runtime/NumText.h"
#include "platform/runtime/StrTable.h"

#include <cmath>
#include <limits>

MW_USE_STRING_TABLE(Planner);

int32_t SelectedAzimuthId = 0;
int32_t SelectedElevationId = 0;
int32_t BeamTiltIndex = 0;
int32_t AzimuthRotation = 0;
ShortString<20> ExhibitPatternType;
ShortString<20> HAzTypeName;
ShortString<20> VAzTypeName;
ShortString<10> ExhibitId = "          ";

std::function<bool()> ShowExhibitIdentifierDialogHook;

namespace {

using Ext = long double;

// The model part of a Zek stem (behind its 3-character prefix) carries the power-class
// letter: L for low power, M for medium.
std::string ApplyPowerClassLetter(std::string_view stem, uint8_t powerClass)
{
    const std::string prefix = Copy(stem, 1, 3);
    const std::string model = Copy(stem, 4, static_cast<int>(stem.size()));
    if (powerClass == 1) return prefix + ReplaceToken(model, "L", "M");
    return prefix + ReplaceToken(model, "M", "L");
}

std::string QuarterDegrees(float tilt)
{
    return IntToStr(Ceil(4.0L * static_cast<Ext>(tilt)));
}

} // namespace

// --- Catalog access ------------------------------------------------------------------
int32_t LastRecordId(int32_t base)
{
    const int32_t count = StrToInt(LoadStr(base));
    const int64_t last = int64_t(base) + count;
    // A count whose last row is missing is damage; refusing it also keeps a huge count from
    // sending the callers' row loops through billions of ids.
    if (last > std::numeric_limits<int32_t>::max() || last < std::numeric_limits<int32_t>::min() ||
        (count > 0 && !HasStr(static_cast<int32_t>(last))))
        throw ERangeError("Catalog block " + IntToStr(base) + " has an impossible row count");
    return static_cast<int32_t>(last);
}

std::string GetDelimitedField(int32_t k, std::string_view row, char separator)
{
    std::string_view rest = row;
    std::string_view field;
    int32_t i = 0;
    do {
        const auto sep = rest.find(separator);
        if (sep == std::string_view::npos) {
            field = rest;
        } else {
            field = rest.substr(0, sep);
            rest.remove_prefix(sep + 1);
        }
        ++i;
    } while (i <= k && !rest.empty());
    return Trim(field);
}

int32_t FindPatternRecord(std::string_view code, bool elevation)
{
    const int32_t base = elevation ? kElevationRecords : kAzimuthRecords;
    const int32_t last = LastRecordId(base);
    for (int32_t id = base + 1; id <= last; ++id) {
        // Only the code is compared: a shorter code never equals a 6-character one.
        if (Copy(LoadStr(id), 1, kPatternCodeLength) == code) return id;
    }
    return 0;
}

int32_t FindAzimuthRecord(std::string_view code) { return FindPatternRecord(code, false); }

void SelectAzimuthPattern(std::string_view code) { SelectedAzimuthId = FindPatternRecord(code, false); }

void SelectElevationPattern(std::string_view code) { SelectedElevationId = FindPatternRecord(code, true); }

std::string ReplaceToken(std::string_view s, std::string_view token, std::string_view replacement)
{
    const int p = Pos(token, s);
    if (p == 0) return std::string(s);
    std::string out(s.substr(0, p - 1));
    out += replacement;
    out += s.substr(p - 1 + token.size());
    return out;
}

std::string FormatPatternCode(std::string_view code)
{
    std::string_view c = code;
    while (!c.empty() && (c.back() == 'X' || c.back() == 'x')) c.remove_suffix(1);
    const std::string_view prefix = c.substr(0, 3);
    if (prefix.size() == 3 && (SameText(prefix, "Zek") || SameText(prefix, "Rux")))
        return std::string(prefix) + "-" + std::string(c.substr(3));
    return std::string(c);
}

void StoreAzimuthPatternType()
{
    ExhibitPatternType = Copy(LoadStr(SelectedAzimuthId), 1, kPatternCodeLength);
}

void StoreElevationPatternType() { ExhibitPatternType = Ant().HElName; }

void BuildPatternTypeNames()
{
    const std::string prefix = Sys().Family != 0 ? "Rux-" : "Zek-";
    HAzTypeName = prefix + Ant().HAzSuffix;
    VAzTypeName = prefix + Ant().VAzSuffix;
}

bool ShowExhibitIdentifierDialog()
{
    return !ShowExhibitIdentifierDialogHook || ShowExhibitIdentifierDialogHook();
}

// --- Formulas ------------------------------------------------------------------------
float RatioToDb(float x)
{
    if (!(x > 0.0f)) return 0.0f;
    return static_cast<float>(10.0L * std::log10(static_cast<Ext>(x)));
}


float DbToRatio(float x)
{
    return static_cast<float>(std::pow(10.0L, static_cast<Ext>(x) * 0.1L));
}

float NtscPeakFromAverage(float x)
{
    return static_cast<float>(static_cast<Ext>(x) / (0.6L + 0.01L * static_cast<Ext>(Sys().AuralPercent)));
}

float NtscAverageFromPeak(float x)
{
    return static_cast<float>(static_cast<Ext>(x) * (0.6L + 0.01L * static_cast<Ext>(Sys().AuralPercent)));
}

void ComputePowerSplit()
{
    TAntObj& ant = Ant();
    const Ext gh = static_cast<Ext>(ant.HAzGain) * ant.HElGain;
    const Ext gv = static_cast<Ext>(ant.VAzGain) * ant.VElGain;
    const Ext divisor = gh * ant.VerticalPercent * 0.01L + gv;
    // Without a usable divisor (no vertical gain) everything feeds the horizontal part.
    const Ext share = divisor > 0.0L ? gv / divisor : 1.0L;
    ant.SetPowerSplit(static_cast<float>(share));
}

void BuildAntennaPartNumber()
{
    const TSysObj& sys = Sys();
    TAntObj& ant = Ant();
    if (sys.Family == 3) {
        ant.PartNumber = "non-Belvor antenna";
        return;
    }
    std::string stem = ant.HElName;
    if (sys.Family == 0) stem = ApplyPowerClassLetter(stem, sys.PowerClass);

    const char* polarization = ant.Elliptical == 0 ? "H" : (ant.VerticalPercent == 100 ? "C" : "E");
    const char* mounting = sys.Mounting == 0 ? "T" : (sys.Mounting == 1 ? "S" : "");
    const char* power = "";
    if (sys.Family == 1) {
        const float p = sys.NTSCPower;
        if (p <= 60.0f) power = "S";
        else if (p <= 120.0f) power = "H";
        else if (p <= 300.0f) power = "M";
    }
    ant.PartNumber = stem + "-" + polarization + mounting + ant.HAzSuffix + "-" + IntToStr(sys.ChannelNumber) + power;
}

void SetElevationPatternFromCatalog(int32_t base, int32_t index, bool horizontalOnly, float tilt)
{
    const std::string row = LoadStr(int32_t(int64_t(base) + index + 1));
    TAntObj& ant = Ant();
    std::string horizontal = GetDelimitedField(1, row, '|');
    if (horizontalOnly) {
        if (Sys().Family == 0) horizontal = ApplyPowerClassLetter(horizontal, Sys().PowerClass);
        ant.HElName = ReplaceToken(horizontal, "#", QuarterDegrees(tilt));
        return;
    }
    ant.HElName = ReplaceToken(horizontal, "#", QuarterDegrees(tilt));
    ant.VElName = ReplaceToken(GetDelimitedField(3, row, '|'), "#", FloatToStr(4.0L * static_cast<Ext>(tilt)));
}
