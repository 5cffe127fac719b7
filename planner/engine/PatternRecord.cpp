// Pattern records.
#include "PatternRecord.h"

#include "planner/engine/ProjLib.h"
#include "platform/runtime/NumText.h"
#include "platform/runtime/StrTable.h"

#include <algorithm>
#include <cmath>

TPatternRecord::TPatternRecord(int32_t id, int samples)
{
    if (id == 0) return;
    const std::string text = LoadStr(id);
    if (text.size() <= std::size_t(kPatternCodeLength)) return;
    code_ = text.substr(0, kPatternCodeLength);
    const int present = static_cast<int>((text.size() - kPatternCodeLength) / 4);
    const int n = std::clamp(present, 0, std::max(samples, 0));
    samples_.reserve(std::size_t(n));
    for (int k = 0; k < n; ++k) {
        const std::string_view digits(text.data() + kPatternCodeLength + 4 * k, 4);
        int v = 0;
        for (char c : digits) {
            if (c < '0' || c > '9') {
                v = 0;
                break;
            }
            v = v * 10 + (c - '0');
        }
        samples_.push_back(v);
    }
}

int TPatternRecord::V(int k) const
{
    if (samples_.empty()) return 0;
    return samples_[std::size_t(std::clamp(k, 0, Count() - 1))];
}

std::optional<double> FieldLevelDb(double e)
{
    if (!(e > 0)) return std::nullopt;
    return 10.0 * std::log10(e * e);
}

double ElevationSampleAngle(int s)
{
    if (s <= 80) return s / 4.0 - 10.0;
    return 10.5 + (s - 81) / 2.0;
}

int ClampTiltIndex(int32_t b) { return std::clamp<int32_t>(b, 0, 80); }

double NearRangeValue(const TPatternRecord& rec, int b, int n)
{
    b = ClampTiltIndex(b);
    n = std::clamp(n, 0, 60);
    if (b + n <= 80) return rec.V(b + n);
    // Step i past stored sample 80: odd steps fall between two half-degree samples.
    const int i = b + n - 80;
    const int p = 80 + (i - 1) / 2;
    if (i % 2 == 1) return (rec.V(p) + rec.V(p + 1)) / 2.0;
    return rec.V(80 + i / 2);
}
