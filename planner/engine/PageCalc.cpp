// Page calculations.
#include "PageCalc.h"

#include "planner/engine/ProjLib.h"
#include "platform/runtime/NumText.h"

#include <algorithm>
#include <cmath>
#include <string>

int32_t FixAngle(std::string_view text)
{
    if (text.empty()) return 0;
    for (char c : text)
        if (c != '-' && (c < '0' || c > '9')) return 0;
    bool negative = false;
    if (text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    int32_t r = StrToInt(text) % 360;
    if (negative) r = 360 - r;
    if (r > 360) r -= 360;
    return r;
}

TAngleEntry CheckAngleText(std::string_view text)
{
    if (text.empty()) return TAngleEntry::Complete;
    if (text == "-") return TAngleEntry::Incomplete;
    const std::string_view digits = text.front() == '-' ? text.substr(1) : text;
    for (char c : digits)
        if (c < '0' || c > '9') return TAngleEntry::Refused;
    int32_t value = 0;
    return TryStrToInt(digits, value) ? TAngleEntry::Complete : TAngleEntry::Refused;
}

int32_t TiltShiftQuarters(float catalogTilt, float tilt)
{
    const double q = std::ceil((double(catalogTilt) - double(tilt)) * 4.0);
    return static_cast<int32_t>(std::clamp(q, -1000.0, 1000.0));
}

int32_t BeamTiltIndexFor(float catalogTilt, float tilt)
{
    return std::clamp(TiltShiftQuarters(catalogTilt, tilt) + 20, 0, 80);
}

int32_t HorizonSampleIndex(float catalogTilt, float tilt)
{
    return std::clamp(kHorizonSample + TiltShiftQuarters(catalogTilt, tilt), 0, kElevationSamples - 1);
}

float OptimalBeamTilt(double haatFeet, double gain)
{
    if (!(gain > 0) || !(haatFeet >= 0)) return 0.0f;
    const double t = std::floor((std::sqrt(haatFeet) * 0.0153 + 15.0 / gain) * 4.0) / 4.0;
    return static_cast<float>(t);
}
