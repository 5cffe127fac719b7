#include "planner/controls/NuvNumericEditModel.h"

#include "platform/runtime/NumText.h"
#include "platform/runtime/SysUtils.h"

#include <algorithm>
#include <cmath>

namespace NuvNumericEdit {

namespace {

// QLineEdit's own limit; the widget never asks for longer text.
constexpr int HardMaxLength = 32767;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

TEditState Normalized(const TEditState& s)
{
    TEditState n = s;
    const int len = static_cast<int>(n.Text.size());
    n.SelStart = std::clamp(n.SelStart, 0, len);
    n.SelLength = std::clamp(n.SelLength, 0, len - n.SelStart);
    return n;
}

TEditState Caret(std::string text, int caret) { return TEditState{std::move(text), caret, 0}; }

// Removes the character at 1-based index p (Backspace: p = caret, Delete: p = caret + 1)
// and keeps the text in the mask.
void DeleteAt(std::string& t, int& caret, int p, bool backspace, int d)
{
    const int len = static_cast<int>(t.size());
    if (p < 1 || p > len) return;
    if (d > 0 && p > len - d) {            // a decimal digit: the rest shifts left
        t.erase(p - 1, 1);
        t += '0';
        caret = p - 1;
        return;
    }
    if (d > 0 && p == len - d) {           // the separator stays; the caret steps over it
        caret = backspace ? len - d - 1 : len - d;
        return;
    }
    const int intLen = d > 0 ? len - d - 1 : len;
    if (p == 2 && t[0] == '-' && intLen == 2) {
        t = "-0" + t.substr(2);
        caret = 1;
        return;
    }
    if (p == 1 && intLen == 1) {
        t = "0" + t.substr(1);
        caret = 1;
        return;
    }
    t.erase(p - 1, 1);
    caret = p - 1;
}

// One Backspace per selected character from the selection's end.
TEditState RemoveSelection(const TEditState& s, int d)
{
    std::string t = s.Text;
    int caret = s.SelStart + s.SelLength;
    for (int i = 0; i < s.SelLength; ++i) DeleteAt(t, caret, caret, true, d);
    return Caret(std::move(t), caret);
}

TEditResult Reject(const TEditState& s) { return TEditResult{s, false, true}; }

int Limit(const TEditRules& r) { return r.MaxLength > 0 ? std::min(r.MaxLength, HardMaxLength) : HardMaxLength; }

} // namespace

int ClampDecimals(int decimals) { return std::clamp(decimals, 0, 9); }

std::string FormatMask(int decimals)
{
    const int d = ClampDecimals(decimals);
    return d == 0 ? std::string("0") : "0." + std::string(static_cast<size_t>(d), '0');
}

bool IsMaskText(std::string_view text, int decimals)
{
    const int d = ClampDecimals(decimals);
    size_t i = 0;
    if (i < text.size() && text[i] == '-') ++i;
    const size_t intStart = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    if (i == intStart) return false;
    if (d == 0) return i == text.size();
    if (i >= text.size() || text[i] != DecimalSeparator) return false;
    ++i;
    if (text.size() - i != static_cast<size_t>(d)) return false;
    return std::all_of(text.begin() + static_cast<std::ptrdiff_t>(i), text.end(), IsDigit);
}

std::string FormatValue(double value, int decimals)
{
    const int d = ClampDecimals(decimals);
    const TFormatSettings fs; // "." as the separator, no matter what the process uses
    std::string text;
    if (std::isfinite(value)) text = FormatFloat(FormatMask(d), value, fs);
    if (!IsMaskText(text, d) || static_cast<int>(text.size()) > HardMaxLength)
        throw EConvertError(FloatToStr(value, fs) + " cannot be shown with " + IntToStr(d) + " decimals");
    return text;
}

double TextValue(std::string_view text)
{
    const TFormatSettings fs;
    return static_cast<double>(StrToFloat(text, fs));
}

TEditResult KeyPress(const TEditState& state, char key, const TEditRules& rules)
{
    const TEditState s = Normalized(state);
    const int d = ClampDecimals(rules.Decimals);
    const bool isBack = key == Backspace;
    const bool isSep = key == DecimalSeparator;
    const bool isMinus = key == '-';
    const bool isDigit = IsDigit(key);

    // Filter first: a key that the rules drop leaves the text and the selection alone.
    if (!isBack && !isSep && !isMinus && !isDigit) return Reject(s);
    if (isSep && d == 0) return Reject(s);
    if (isMinus && !(rules.MinValue < 0)) return Reject(s);
    if (s.Text.empty()) return Reject(s); // not a mask text: nothing to edit

    TEditState w = s;
    if (isSep) {
        w.SelLength = 0;
    } else if (w.SelLength > 0) {
        w = RemoveSelection(w, d);
        // Backspace over a selection removes just the selection, and runs the change once.
        if (isBack) return TEditResult{w, true, false};
    }

    std::string t = w.Text;
    int caret = w.SelStart;
    const int len = static_cast<int>(t.size());

    if (key == '0' && caret == 0) return Reject(s);

    if (isMinus) {
        if (t[0] == '-') {
            t.erase(0, 1);
            caret = std::max(0, caret - 1);
        } else {
            t.insert(t.begin(), '-');
            ++caret;
        }
    } else if (d > 0 && caret == len && !isBack && !isSep) {
        return Reject(s);
    } else if (isSep) {
        caret = len - d;
    } else if (isBack) {
        DeleteAt(t, caret, caret, true, d);
    } else {
        // Digits never go in front of the sign.
        if (t[0] == '-' && caret == 0) caret = 1;
        const bool neg = t[0] == '-';
        if (neg && len >= 2 && t[1] == '0' && caret <= 2) {
            t[1] = key;
            caret = 2;
        } else if (t[0] == '0' && caret <= 1) {
            t[0] = key;
            caret = 1;
        } else if (d == 0 || caret <= len - d - 1) {
            t.insert(t.begin() + caret, key);
            ++caret;
        } else {
            t[static_cast<size_t>(caret)] = key; // the decimal part is overwritten
            ++caret;
        }
    }

    if (static_cast<int>(t.size()) > Limit(rules) && t.size() > s.Text.size()) return Reject(s);
    const bool changed = t != s.Text;
    return TEditResult{Caret(std::move(t), caret), changed, false};
}

TEditResult DeleteKey(const TEditState& state, const TEditRules& rules)
{
    const TEditState s = Normalized(state);
    const int d = ClampDecimals(rules.Decimals);
    if (s.SelLength > 0) return TEditResult{RemoveSelection(s, d), true, false};
    std::string t = s.Text;
    int caret = s.SelStart;
    DeleteAt(t, caret, caret + 1, false, d);
    const bool changed = t != s.Text;
    return TEditResult{Caret(std::move(t), caret), changed, false};
}

TEditResult ClearSelection(const TEditState& state, const TEditRules& rules)
{
    const TEditState s = Normalized(state);
    if (s.SelLength == 0) return Reject(s);
    return TEditResult{RemoveSelection(s, ClampDecimals(rules.Decimals)), true, false};
}

TEditResult TypeText(const TEditState& state, std::string_view text, const TEditRules& rules)
{
    const TEditState s = Normalized(state);
    TEditState w = s.SelLength > 0 ? RemoveSelection(s, ClampDecimals(rules.Decimals)) : s;
    bool taken = false;
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20) continue; // no Backspace or Enter from a clipboard
        const TEditResult r = KeyPress(w, c, rules);
        if (r.Rejected) continue;
        w = r.State;
        taken = true;
    }
    if (!taken) return Reject(s);
    const bool changed = w.Text != s.Text;
    return TEditResult{w, changed, false};
}

} // namespace NuvNumericEdit
