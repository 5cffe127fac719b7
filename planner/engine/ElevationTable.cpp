// The elevation table.
//
// The stored record has quarter-degree samples up to +10 degrees (index 80) and half-degree
// samples to 90 (index 240). A tilt index b shifts the record by (b - 20) quarter degrees, so
// the quarter-degree output part either runs out of quarter-degree samples (b > 20: the rest
// is resampled between half-degree samples) or has some left over (b < 20: every second one
// joins the half-degree part). Past that, the remaining samples are spread to end at 90.
#include "ElevationTable.h"

#include "PatternRecord.h"
#include "planner/engine/ProjLib.h"

#include <algorithm>
#include <cmath>

double ElevationTableAngle(int n)
{
    if (n <= 60) return n / 4.0 - 5.0;
    return 10.0 + (n - 60) / 2.0;
}

void BuildElevationTable(TElevationColumn& angles, TElevationColumn& fields, TElevationColumn& levels)
{
    for (int n = 0; n < kElevationTablePoints; ++n) {
        angles[n] = static_cast<float>(ElevationTableAngle(n));
        fields[n] = 0.0f;
        levels[n] = kNoLevel;
    }
    const TPatternRecord rec(SelectedElevationId, kElevationSamples);
    if (rec.Empty()) return;

    auto put = [&](int n, double v) {
        const double e = v / 1000.0;
        if (const auto db = FieldLevelDb(e)) {
            fields[n] = static_cast<float>(e);
            levels[n] = static_cast<float>(*db);
        }
    };

    const int b = ClampTiltIndex(BeamTiltIndex);
    int n = 0;
    int p = 81;        // stored cursor for the spread part
    double a = 10.5;   // output angle of sample p

    if (b >= 20) {
        // Quarter-degree part: direct samples, then (tilt reduced) midpoints and samples.
        for (; n <= 60; ++n) put(n, NearRangeValue(rec, b, n));
        const int k = b - 20;
        if (k == 0) {
            // No shift: the half-degree samples one to one.
            for (; n < kElevationTablePoints; ++n) put(n, rec.V(n + 20));
            return;
        }
        p = 80 + (k + 1) / 2;
        a = (k % 2 == 1) ? 10.25 : 10.0;
    } else {
        for (; n <= 60; ++n) put(n, rec.V(n + b));
        // Every second left-over quarter-degree sample lands on the half-degree grid.
        for (int s = b + 62; s <= 80; s += 2) put(n++, rec.V(s));
        // The next unused sample and its output angle: with b odd that is sample 80, a
        // quarter degree past the last point; with b even sample 81, half a degree past it.
        const double last = ElevationTableAngle(n - 1);
        if (b % 2 == 0) {
            p = 81;
            a = last + 0.5;
        } else {
            p = 80;
            a = last + 0.25;
        }
    }

    // Spread the samples p .. 240 evenly from angle a to 90 and interpolate the output grid.
    const int p0 = p;
    const double a0 = a;
    const double step = (90.0 - a0) / (240 - p0);
    for (; n < kElevationTablePoints; ++n) {
        const double x = ElevationTableAngle(n);
        const double t = (x - a0) / step;
        // A point within rounding of a grid node takes that sample exactly.
        int j = static_cast<int>(std::floor(t + 1e-9));
        double f = t - j;
        if (f < 1e-9) f = 0.0;
        j = std::clamp(j, 0, 240 - p0);
        const int q = p0 + j;
        const double v0 = rec.V(q);
        const double v1 = (q + 1 > 240) ? 0.0 : rec.V(q + 1);
        put(n, f == 0.0 ? v0 : v0 + (v1 - v0) * f);
    }
}
