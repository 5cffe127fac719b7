// Catalog access, pattern-store state and the shared engineering formulas.
//
// Catalogs are numbered blocks of the planner's string table: the string with the block's
// base id holds the row count, the rows are base+1 .. base+count. A catalog row is a run of
// fields, each followed by "|". Pattern records (blocks 1000 elevation, 2000 azimuth) are a
// 6-character code followed by samples of four digits (relative field x 1000).
#pragma once

#include "ProjObj.h"
#include "platform/runtime/SysUtils.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Block bases.
constexpr int32_t kElevationRecords = 1000;
constexpr int32_t kAzimuthRecords = 2000;
constexpr int32_t kChannelTable = 12000;
constexpr int32_t kTutorialBlock = 19000;

// Pattern records.
constexpr int kPatternCodeLength = 6;
constexpr int kElevationSamples = 241;  // -10..10 by 0.25, then 10.5..90 by 0.5 degrees
constexpr int kAzimuthSamples = 361;    // 0..360 degrees, both ends stored
constexpr int kElevationRecordLength = kPatternCodeLength + 4 * kElevationSamples;  // 970
constexpr int kAzimuthRecordLength = kPatternCodeLength + 4 * kAzimuthSamples;      // 1450
constexpr int kHorizonSample = 40;

// --- Pattern-store state -------------------------------------------------------------
extern int32_t SelectedAzimuthId;    // string id of the azimuth record in use, 0 = none
extern int32_t SelectedElevationId;  // string id of the elevation record in use, 0 = none
extern int32_t BeamTiltIndex;        // record shift in quarter degrees; 20 = none
extern int32_t AzimuthRotation;      // degrees applied to the selected azimuth record
extern ShortString<20> ExhibitPatternType;
extern ShortString<20> HAzTypeName;
extern ShortString<20> VAzTypeName;
extern ShortString<10> ExhibitId;    // ten blanks = none

// --- Catalog access ------------------------------------------------------------------
// base + the block's row count. A count that is not a number raises EConvertError; one whose
// last row the table lacks, or that runs past the id range, raises ERangeError.
int32_t LastRecordId(int32_t base);
// Field k (from 0) of a row, without surrounding blanks. Past the last field it gives the
// last one.
std::string GetDelimitedField(int32_t k, std::string_view row, char separator);
// Id of the first record of block 1000 (elevation) or 2000 (azimuth) whose 6-character code
// equals code exactly, or 0.
int32_t FindPatternRecord(std::string_view code, bool elevation);
int32_t FindAzimuthRecord(std::string_view code);
void SelectAzimuthPattern(std::string_view code);
void SelectElevationPattern(std::string_view code);
// s with the first occurrence of token replaced.
std::string ReplaceToken(std::string_view s, std::string_view token, std::string_view replacement);
// Legend text of a pattern code: trailing X's removed, "-" after a Zek/Rux prefix.
std::string FormatPatternCode(std::string_view code);
void StoreAzimuthPatternType();
void StoreElevationPatternType();
void BuildPatternTypeNames();

// The exhibit-identifier dialog belongs to the window layer, which installs it here.
// The hook answers whether the user went on (OK) rather than closing the dialog.
extern std::function<bool()> ShowExhibitIdentifierDialogHook;
// Shows the dialog through the hook; false when the user closed it without OK, which
// cancels the exhibit. Without a hook there is nothing to ask and the exhibit goes on.
bool ShowExhibitIdentifierDialog();

// --- Formulas ------------------------------------------------------------------------
float RatioToDb(float x);   // 10 log10 x; 0 for x <= 0
float DbToRatio(float x);   // 10 ^ (x / 10)
// NTSC peak visual power from an average power (visual plus aural), and back, with the
// station's aural percentage.
float NtscPeakFromAverage(float x);
float NtscAverageFromPeak(float x);
// Splits the input power so the vertical ERP is VerticalPercent % of the horizontal.
void ComputePowerSplit();
void BuildAntennaPartNumber();
// Writes HElName (and in the second mode VElName) from row base + index + 1 of an
// elevation catalog and the tilt in degrees.
void SetElevationPatternFromCatalog(int32_t base, int32_t index, bool horizontalOnly, float tilt);
