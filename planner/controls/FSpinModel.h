// Value rules of the spin edit, apart from the widget: reading and writing the text,
// the limits, the step of the buttons and the characters that may be typed. No Qt here.
#pragma once

#include <string>
#include <string_view>

namespace FSpin {

// "." whatever the locale.
inline constexpr char DecimalSeparator = '.';

struct TSpinRules {
    float Increment = 1.0f;
    float MinValue = 0;   // equal limits mean no limits
    float MaxValue = 0;
    int Precision = 2;    // digits after the separator when the value is written
    bool EditorEnabled = true;

    // x when the limits are equal, else x clamped to [MinValue, MaxValue].
    float CheckValue(float x) const;
    // The text as a number; MinValue when it is none (or out of single range).
    float TextValue(std::string_view text) const;
    // The text for x: CheckValue(x) fixed, 7 significant digits, Precision decimals.
    // False when it cannot be written (the caller keeps its text).
    bool ValueText(float x, std::string& text) const;
    // The text after one button step (direction +1 up, -1 down) from text.
    bool StepText(std::string_view text, int direction, std::string& result) const;
    // "+", "-", "0".."9", "." and control characters except carriage return; with the
    // editor disabled, Backspace and every character from 32 up are refused too.
    bool IsValidChar(char key) const;
};

} // namespace FSpin
