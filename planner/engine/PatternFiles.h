// Pattern text files ("Print to Disk"): one line per angle with the angle, the relative field
// and the level in dB, separated by tabs, each line ending in CR LF. 360 lines for the
// selected azimuth record rotated by AzimuthRotation, 221 for the elevation table. A point
// without a level (a field of 0) writes "---" for the level.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// v right-aligned in `width` characters with `decimals` decimals (blanks in front); a longer
// number is written whole.
std::string FixedWidth(double v, int width, int decimals);
// The level column: the level in 6 characters with 2 decimals, or "---" for none.
std::string LevelText(std::optional<double> level);

// Sample k (0 .. 359) of the selected azimuth record rotated clockwise by `rotation` degrees:
// the stored sample (k - rotation) mod 360, as stored (field x 1000).
int RotatedAzimuthSample(int32_t id, int k, int32_t rotation);

// The files' contents. Exception "Azimuth pattern data is not available" (or "Elevation ...")
// when no record is selected.
std::string AzimuthPatternText();
// The same for the azimuth record `id` rotated by `rotation` degrees.
std::string AzimuthPatternText(int32_t id, int32_t rotation);
std::string ElevationPatternText();

// Write PatternFileName. The file is replaced only once the whole text is on disk: any failure
// raises EInOutError with the reason, and whatever file was there before stays as it was.
void WriteAzimuthPatternFile();
void WriteElevationPatternFile();

// The same for any text and file name.
void WriteTextFileSafely(const std::string& fileName, const std::string& text);
