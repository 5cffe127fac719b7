// Pattern records made for the tests.
#include "SyntheticPatterns.h"

#include "planner/engine/PatternRecord.h"
#include "platform/runtime/StrTable.h"

#include <array>
#include <cstdio>

int LinearElevationSample(int s) { return static_cast<int>(800 - 8 * ElevationSampleAngle(s)); }

namespace {
std::string Record(const std::string& code, int count, const std::function<int(int)>& sample)
{
    std::string r = code;
    char digits[16];
    for (int k = 0; k < count; ++k) {
        std::snprintf(digits, sizeof digits, "%04d", sample(k));
        r += digits;
    }
    return r;
}

const std::string linear = Record("TSTLIN", 241, LinearElevationSample);
const std::string zeroTail = Record("TSTZTL", 241, [](int s) { return s >= 200 ? 0 : LinearElevationSample(s); });
const std::string zeroHead = Record("TSTZHD", 241, [](int s) { return s <= 30 ? 0 : LinearElevationSample(s); });
const std::string shortRecord = Record("TSTSHR", 10, [](int s) { return 900 - s; });
const std::string north = Record("TSTNTH", 361, [](int k) { return (k == 0 || k == 360) ? 1000 : 500; });
const std::string omni = Record("TSTOMN", 361, [](int) { return 1000; });
const std::string null180 = Record("TSTNUL", 361, [](int k) { return k == 180 ? 0 : 1000; });

const std::array<TStrTableEntry, 7> entries{{
    {kLinearElevationId, linear},
    {kZeroTailElevationId, zeroTail},
    {kZeroHeadElevationId, zeroHead},
    {kShortElevationId, shortRecord},
    {kNorthAzimuthId, north},
    {kOmniAzimuthId, omni},
    {kNullAzimuthId, null180},
}};
const TStringTable table{"SyntheticPatterns", entries.data(), entries.size()};
const TStringTableRegistration registration(table);
} // namespace
