// Small calculations of the planning pages and tools, kept apart from their windows.
#pragma once

#include <cstdint>
#include <string_view>

// Rotation typed on the azimuth page: 0 for an empty text or one holding anything but "-" and
// digits; otherwise the number modulo 360, a leading "-" counting back from 360. The result
// lies in 0 .. 360 ("-0" and "-360" give 360). A text that passes the character test but is
// no integer ("5-") raises EConvertError.
int32_t FixAngle(std::string_view text);

// How far a rotation text being typed has come: a whole angle (empty, or digits after an
// optional leading "-", within the integer range), a start that digits will complete ("-"),
// or a text that no further key makes an angle (letters, a sign not in front, too many
// digits).
enum class TAngleEntry { Complete, Incomplete, Refused };
TAngleEntry CheckAngleText(std::string_view text);

// Quarter degrees between the record's built-in tilt and the chosen one, rounded up.
int32_t TiltShiftQuarters(float catalogTilt, float tilt);
// The plots' record shift for a tilt: 20 + the shift, clamped to 0 .. 80.
int32_t BeamTiltIndexFor(float catalogTilt, float tilt);
// Index of the elevation sample that lies on the horizon of the tilted pattern, clamped to
// the record (0 .. 240).
int32_t HorizonSampleIndex(float catalogTilt, float tilt);

// The beam tilt in degrees, rounded down to a quarter degree, that puts 0.9 of the field on
// the radio horizon of an antenna `haatFeet` above average terrain with numeric elevation
// gain `gain`. A gain of 0 or less, or a negative height, gives 0.
float OptimalBeamTilt(double haatFeet, double gain);
