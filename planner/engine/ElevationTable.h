// The tabulated elevation pattern after the beam-tilt shift: 221 points, -5 .. +10 degrees in
// quarter degrees (points 0 .. 60), then 10.5 .. 90 in half degrees (points 61 .. 220).
#pragma once

#include <array>

constexpr int kElevationTablePoints = 221;
// The level of a point without a value (a field of 0).
constexpr float kNoLevel = -9999.9f;

using TElevationColumn = std::array<float, kElevationTablePoints>;

// Fills the three columns from the record SelectedElevationId shifted by BeamTiltIndex
// (clamped to 0 .. 80). Without a record every point has its angle and no value.
void BuildElevationTable(TElevationColumn& angles, TElevationColumn& fields, TElevationColumn& levels);

// Output angle of table point n.
double ElevationTableAngle(int n);
