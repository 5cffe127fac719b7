#include "planner/engine/PatternFiles.h"

#include "planner/engine/ElevationTable.h"
#include "planner/engine/PatternRecord.h"
#include "planner/engine/ProjLib.h"
#include "planner/engine/TitleBlock.h"
#include "platform/runtime/Classes.h"
#include "platform/runtime/FileSave.h"
#include "platform/runtime/NumText.h"


std::string FixedWidth(double v, int width, int decimals)
{
    std::string s = FloatToStrF(v, TFloatFormat::ffFixed, 18, decimals);
    if (static_cast<int>(s.size()) < width) s.insert(0, static_cast<size_t>(width) - s.size(), ' ');
    return s;
}

std::string LevelText(std::optional<double> level) { return level ? FixedWidth(*level, 6, 2) : "---"; }

int RotatedAzimuthSample(int32_t id, int k, int32_t rotation)
{
    const TPatternRecord rec(id, kAzimuthSamples);
    int s = (k - rotation) % 360;
    if (s < 0) s += 360;
    return rec.V(s);
}

std::string AzimuthPatternText() { return AzimuthPatternText(SelectedAzimuthId, AzimuthRotation); }

std::string AzimuthPatternText(int32_t id, int32_t rotation)
{
    const TPatternRecord rec(id, kAzimuthSamples);
    if (rec.Empty()) throw Exception("Azimuth pattern data is not available");
    std::string out;
    out.reserve(360 * 20);
    for (int k = 0; k < 360; ++k) {
        int s = (k - rotation) % 360;
        if (s < 0) s += 360;
        const double e = rec.V(s) / 1000.0;
        out += IntToStr(k);
        out += '\t';
        out += FixedWidth(e, 6, 3);
        out += '\t';
        out += LevelText(FieldLevelDb(e));
        out += "\r\n";
    }
    return out;
}

std::string ElevationPatternText()
{
    if (TPatternRecord(SelectedElevationId, kElevationSamples).Empty())
        throw Exception("Elevation pattern data is not available");
    TElevationColumn angles, fields, levels;
    BuildElevationTable(angles, fields, levels);
    std::string out;
    out.reserve(kElevationTablePoints * 24);
    for (int n = 0; n < kElevationTablePoints; ++n) {
        out += FixedWidth(angles[n], 6, 2);
        out += '\t';
        out += FixedWidth(fields[n], 6, 3);
        out += '\t';
        out += levels[n] == kNoLevel ? std::string("---") : FixedWidth(levels[n], 6, 2);
        out += "\r\n";
    }
    return out;
}

void WriteTextFileSafely(const std::string& fileName, const std::string& text)
{
    try {
        SaveFileAtomically(fileName, text);
    } catch (const Exception& e) {
        throw EInOutError("Unable to write the file " + fileName + ": " + e.Message());
    }
}

void WriteAzimuthPatternFile() { WriteTextFileSafely(PatternFileName, AzimuthPatternText()); }
void WriteElevationPatternFile() { WriteTextFileSafely(PatternFileName, ElevationPatternText()); }
