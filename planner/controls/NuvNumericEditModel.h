// Typing rules of the numeric edit, kept apart from the widget so that every way text can
// enter the control (keys, paste, drop, input methods) goes through one tested function.
//
// The text always has the form of the format mask: an optional leading "-", at least one
// integer digit and, when Decimals > 0, "." followed by exactly Decimals digits. The edit
// is typed into like a calculator: digits push into the integer part, the decimal part is
// overwritten, deleting a decimal digit shifts the rest left and appends a "0".
// No Qt here.
#pragma once

#include <string>
#include <string_view>

namespace NuvNumericEdit {

// "." whatever the locale.
inline constexpr char DecimalSeparator = '.';
inline constexpr char Backspace = '\b';

// Decimals clamped to 0..9.
int ClampDecimals(int decimals);
// "0" for no decimals, else "0." followed by Decimals zeros.
std::string FormatMask(int decimals);
// True when text has the form of the mask for this many decimals.
bool IsMaskText(std::string_view text, int decimals);
// The value written with the mask; raises EConvertError for a value whose text would not
// fit the mask (not finite, or too large for fixed notation).
std::string FormatValue(double value, int decimals);
// The text read as a number; raises EConvertError when it is none.
double TextValue(std::string_view text);

// Text with its selection; the caret is SelStart when nothing is selected. Positions count
// characters from 0, SelStart is the lower end of the selection.
struct TEditState {
    std::string Text;
    int SelStart = 0;
    int SelLength = 0;
    friend bool operator==(const TEditState&, const TEditState&) = default;
};

struct TEditRules {
    int Decimals = 2;
    double MinValue = 0;  // the sign key works only when MinValue < 0
    int MaxLength = 0;    // 0: no limit of our own
};

struct TEditResult {
    TEditState State;     // the state after the key (the old one when rejected)
    bool Changed = false; // the control runs its change once
    bool Rejected = false;// the key was dropped; nothing changed, the selection stays
};

// A typed character: Backspace, "-", "0".."9", "." are the keys; any other is rejected.
TEditResult KeyPress(const TEditState& state, char key, const TEditRules& rules);
// The Delete key.
TEditResult DeleteKey(const TEditState& state, const TEditRules& rules);
// Removes the selection as Delete does (cut). Rejected when nothing is selected.
TEditResult ClearSelection(const TEditState& state, const TEditRules& rules);
// Text arriving at once (paste, drop, input method): the selection is removed, then every
// printable character is typed. Rejected, with the selection kept, when no character is
// taken.
TEditResult TypeText(const TEditState& state, std::string_view text, const TEditRules& rules);

} // namespace NuvNumericEdit
