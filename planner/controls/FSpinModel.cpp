#include "planner/controls/FSpinModel.h"

#include "platform/runtime/NumText.h"

#include <cfloat>
#include <cmath>
#include <exception>

namespace FSpin {

float TSpinRules::CheckValue(float x) const
{
    if (MinValue == MaxValue) return x;
    if (x < MinValue) return MinValue;
    if (x > MaxValue) return MaxValue;
    return x;
}

float TSpinRules::TextValue(std::string_view text) const
{
    const TFormatSettings fs;
    Extended v = 0;
    if (!TryStrToFloat(text, v, fs) || !std::isfinite(v) || std::fabs(v) > FLT_MAX) return MinValue;
    return static_cast<float>(v);
}

bool TSpinRules::ValueText(float x, std::string& text) const
{
    const float v = CheckValue(x);
    if (!std::isfinite(v)) return false;
    try {
        text = FloatToStrF(v, TFloatFormat::ffFixed, 7, Precision, TFormatSettings());
        return true;
    } catch (const std::exception&) {
        return false; // writing swallows errors: the text stays as it was
    }
}

bool TSpinRules::StepText(std::string_view text, int direction, std::string& result) const
{
    const float step = direction >= 0 ? Increment : -Increment;
    return ValueText(TextValue(text) + step, result);
}

bool TSpinRules::IsValidChar(char key) const
{
    const auto k = static_cast<unsigned char>(key);
    bool valid = key == '+' || key == '-' || (key >= '0' && key <= '9') || key == DecimalSeparator ||
                 (k < 32 && key != '\r');
    if (valid && !EditorEnabled && (key == '\b' || k >= 32)) valid = false;
    return valid;
}

} // namespace FSpin
