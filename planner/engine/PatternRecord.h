// One pattern record read from the string table: a 6-character code and samples of four
// digits (relative field x 1000). Reading never goes outside the record: a sample index
// past either end gives the nearest sample the record holds.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class TPatternRecord {
public:
    TPatternRecord() = default;
    // Loads record `id` and takes at most `samples` samples from it. Id 0, or an id the string
    // table lacks, gives an empty record.
    TPatternRecord(int32_t id, int samples);

    bool Empty() const { return samples_.empty(); }
    int Count() const { return static_cast<int>(samples_.size()); }
    const std::string& Code() const { return code_; }
    // Sample k as stored (0 .. 1000), k clamped to the record; 0 for an empty record. A sample
    // that is no number counts as 0.
    int V(int k) const;

private:
    std::string code_;
    std::vector<int> samples_;
};

// The level in dB of a relative field, 10 log10(E x E); none for a field of 0 or less.
std::optional<double> FieldLevelDb(double e);

// Stored angle of elevation sample s: -10 .. 10 in quarter degrees for s <= 80, then
// 10.5 .. 90 in half degrees.
double ElevationSampleAngle(int s);

// The value (x 1000) shown at quarter-degree step n (0 .. 60, -5 .. +10 degrees) of a record
// shifted by the tilt index b (0 .. 80, both clamped): stored sample b + n while that lies in
// the quarter-degree part, beyond it the half-degree samples resampled at their true angles
// (a midpoint between two samples, then a sample).
double NearRangeValue(const TPatternRecord& rec, int b, int n);

// The tilt index clamped to the records' 0 .. 80.
int ClampTiltIndex(int32_t b);
