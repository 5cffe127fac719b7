// Pattern records made for the tests, linked into the string table under ids no catalog uses.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// Elevation records (241 samples).
constexpr int32_t kLinearElevationId = 990001;  // 800 - 8 x stored angle: 880 at -10, 80 at 90
constexpr int32_t kZeroTailElevationId = 990002; // the linear record with samples 200 .. 240 at 0
constexpr int32_t kZeroHeadElevationId = 990003; // the linear record with samples 0 .. 30 at 0
constexpr int32_t kShortElevationId = 990004;    // a damaged record: code and 10 samples
// Azimuth records (361 samples).
constexpr int32_t kNorthAzimuthId = 990101;      // 1000 at 0 and 360 degrees, 500 elsewhere
constexpr int32_t kOmniAzimuthId = 990102;       // 1000 everywhere
constexpr int32_t kNullAzimuthId = 990103;       // 0 at 180 degrees, 1000 elsewhere

// The linear record's sample s.
int LinearElevationSample(int s);
