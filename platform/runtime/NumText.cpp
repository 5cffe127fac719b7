// Number text as the class library writes and reads it.
//
// Every float goes through one exact decimal expansion of the binary value (no printf,
// whose decimal point follows LC_NUMERIC and whose halves go to even). The digits are
// first rounded to 18 significant digits, then to what the format asks, halves away from
// zero each time: the class library's two-step decimal rounding.
#include "NumText.h"

#include "SysUtils.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <stdlib.h>
#include <vector>

TFormatSettings& FormatSettings()
{
    static TFormatSettings fs;
    return fs;
}

namespace {

// A decimal value 0.d1d2d3... x 10^exponent; no trailing zeros, empty digits for zero.
struct Decimal {
    enum Kind { Finite, NaN, Inf } kind = Finite;
    bool negative = false;
    int exponent = 0;
    std::string digits;
};

// The most significant digits the class library keeps for an Extended.
constexpr int kMaxDigits = 18;

constexpr uint32_t kLimbBase = 1000000000u;

// Multiplies a little-endian base-1e9 number by f (f <= 2^33 keeps the product in 64 bits).
void MulSmall(std::vector<uint32_t>& limbs, uint64_t f)
{
    uint64_t carry = 0;
    for (uint32_t& l : limbs) {
        const uint64_t p = uint64_t(l) * f + carry;
        l = uint32_t(p % kLimbBase);
        carry = p / kLimbBase;
    }
    while (carry) {
        limbs.push_back(uint32_t(carry % kLimbBase));
        carry /= kLimbBase;
    }
}

std::string LimbsToString(const std::vector<uint32_t>& limbs)
{
    std::string s = std::to_string(limbs.back());
    for (size_t i = limbs.size() - 1; i-- > 0;) {
        char buf[9];
        uint32_t l = limbs[i];
        for (int k = 8; k >= 0; --k) { buf[k] = char('0' + l % 10); l /= 10; }
        s.append(buf, 9);
    }
    return s;
}

// Limbs kept while expanding: 72 digits, far more than the 19 that rounding looks at.
constexpr size_t kKeptLimbs = 8;

// The decimal digits of m * 2^e2 and the power of ten of the first one. With `bounded`
// the low limbs are dropped as the number grows, which keeps tiny and huge values cheap;
// the kept digits then run a little low (relative error below 1e-55) but never high.
void Expand(uint64_t m, int e2, bool bounded, std::string& digits, int& exponent)
{
    std::vector<uint32_t> limbs;
    for (uint64_t t = m; t; t /= kLimbBase) limbs.push_back(uint32_t(t % kLimbBase));
    int shift10 = 0;
    const auto mul = [&](uint64_t f) {
        MulSmall(limbs, f);
        if (bounded && limbs.size() > kKeptLimbs) {
            const size_t drop = limbs.size() - kKeptLimbs;
            limbs.erase(limbs.begin(), limbs.begin() + std::ptrdiff_t(drop));
            shift10 += int(drop) * 9;
        }
    };
    if (e2 >= 0) {
        for (int k = e2; k > 0; k -= 32) mul(uint64_t(1) << std::min(k, 32));
    } else {
        // m * 2^-k = m * 5^k / 10^k
        int k = -e2;
        shift10 = -k;
        for (; k >= 14; k -= 14) mul(6103515625u);   // 5^14
        uint64_t p = 1;
        while (k-- > 0) p *= 5;
        mul(p);
    }
    digits = LimbsToString(limbs);
    exponent = int(digits.size()) + shift10;
}

Decimal ExactDecimal(Extended v)
{
    Decimal d;
    if (std::isnan(v)) { d.kind = Decimal::NaN; return d; }
    d.negative = std::signbit(v);
    if (std::isinf(v)) { d.kind = Decimal::Inf; return d; }
    if (v == 0) return d;
    int e2 = 0;
    const Extended f = std::frexp(std::fabs(v), &e2);   // |v| = f * 2^e2, f in [0.5, 1)
    uint64_t m = uint64_t(std::ldexp(f, 64));           // exact: 64 significand bits
    e2 -= 64;
    while ((m & 1) == 0) { m >>= 1; ++e2; }
    Expand(m, e2, true, d.digits, d.exponent);
    // A bounded expansion is exact in its first 19 digits unless the error could carry
    // into them through a run of nines; only then expand in full.
    if (d.digits.size() > 60 && d.digits.find_first_not_of('9', kMaxDigits + 1) > 56)
        Expand(m, e2, false, d.digits, d.exponent);
    if (d.digits.size() > 60) d.digits.resize(60);
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
    return d;
}

void RoundDigits(Decimal& d, int nsig)
{
    if (d.kind != Decimal::Finite || int(d.digits.size()) <= nsig) return;
    if (nsig < 0) {
        d.digits.clear();
    } else {
        const bool up = d.digits[size_t(nsig)] >= '5';
        d.digits.resize(size_t(nsig));
        if (up) {
            int i = nsig - 1;
            while (i >= 0 && d.digits[size_t(i)] == '9') d.digits[size_t(i--)] = '0';
            if (i >= 0) {
                ++d.digits[size_t(i)];
            } else {
                d.digits.insert(d.digits.begin(), '1');
                ++d.exponent;
            }
        }
        while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
    }
    if (d.digits.empty()) { d.exponent = 0; d.negative = false; }
}

Decimal ToDecimal(Extended v)
{
    Decimal d = ExactDecimal(v);
    RoundDigits(d, kMaxDigits);
    if (d.kind == Decimal::Finite && d.digits.empty()) d.negative = false;
    return d;
}

std::string SpecialText(const Decimal& d)
{
    if (d.kind == Decimal::NaN) return "NAN";
    return d.negative ? "-INF" : "INF";
}

char DigitAt(const Decimal& d, int i)
{
    return (i >= 0 && i < int(d.digits.size())) ? d.digits[size_t(i)] : '0';
}

std::string ExponentText(int e, int minDigits, bool plusSign)
{
    std::string s = std::to_string(std::abs(e));
    if (int(s.size()) < minDigits) s.insert(0, size_t(minDigits) - s.size(), '0');
    if (e < 0) return "-" + s;
    return plusSign ? "+" + s : s;
}

std::string GroupThousands(std::string_view intDigits, char sep)
{
    if (sep == '\0') return std::string(intDigits);
    std::string out;
    const int n = int(intDigits.size());
    for (int i = 0; i < n; ++i) {
        out += intDigits[size_t(i)];
        const int left = n - 1 - i;
        if (left > 0 && left % 3 == 0) out += sep;
    }
    return out;
}

std::string LayoutGeneral(Decimal d, int precision, int digits, const TFormatSettings& fs)
{
    RoundDigits(d, precision);
    if (d.digits.empty()) return "0";
    std::string s = d.negative ? "-" : "";
    const int e = d.exponent;
    const int n = int(d.digits.size());
    if (e > precision || e < -3) {
        s += d.digits[0];
        if (n > 1) { s += fs.DecimalSeparator; s.append(d.digits, 1); }
        s += 'E';
        s += ExponentText(e - 1, digits, false);
    } else if (e <= 0) {
        s += '0';
        s += fs.DecimalSeparator;
        s.append(size_t(-e), '0');
        s += d.digits;
    } else {
        for (int i = 0; i < e; ++i) s += DigitAt(d, i);
        if (n > e) { s += fs.DecimalSeparator; s.append(d.digits, size_t(e)); }
    }
    return s;
}

std::string LayoutExponent(Decimal d, int precision, int digits, const TFormatSettings& fs)
{
    RoundDigits(d, precision);
    std::string s = d.negative ? "-" : "";
    s += DigitAt(d, 0);
    s += fs.DecimalSeparator;
    for (int i = 1; i < precision; ++i) s += DigitAt(d, i);
    s += 'E';
    s += ExponentText(d.digits.empty() ? 0 : d.exponent - 1, digits, true);
    return s;
}

// Fixed, number and currency share the digits: `decimals` after the point, at most
// `precision` significant. Returns false when the integer part needs more digits than
// `precision` (the caller then uses the exponent form).
bool FixedDigits(const Decimal& value, int precision, int decimals, std::string& intPart,
                 std::string& fracPart, bool& negative)
{
    Decimal d = value;
    RoundDigits(d, std::min(precision, d.exponent + decimals));
    if (d.exponent > precision) return false;
    intPart.clear();
    for (int i = 0; i < d.exponent; ++i) intPart += DigitAt(d, i);
    if (intPart.empty()) intPart = "0";
    fracPart.clear();
    for (int i = 0; i < decimals; ++i) fracPart += DigitAt(d, d.exponent + i);
    negative = d.negative && !d.digits.empty();
    return true;
}

std::string CurrencyText(const std::string& amount, bool negative, const TFormatSettings& fs)
{
    const std::string& c = fs.CurrencyString;
    if (!negative) {
        switch (fs.CurrencyFormat) {
        case 1: return amount + c;
        case 2: return c + " " + amount;
        case 3: return amount + " " + c;
        default: return c + amount;
        }
    }
    switch (fs.NegCurrFormat) {
    case 1: return "-" + c + amount;
    case 2: return c + "-" + amount;
    case 3: return c + amount + "-";
    case 4: return "(" + amount + c + ")";
    case 5: return "-" + amount + c;
    case 6: return amount + "-" + c;
    case 7: return amount + c + "-";
    case 8: return "-" + amount + " " + c;
    case 9: return "-" + c + " " + amount;
    case 10: return amount + " " + c + "-";
    case 11: return c + " " + amount + "-";
    case 12: return c + " -" + amount;
    case 13: return amount + "- " + c;
    case 14: return "(" + c + " " + amount + ")";
    case 15: return "(" + amount + " " + c + ")";
    default: return "(" + c + amount + ")";
    }
}

} // namespace

std::string FloatToStr(Extended v) { return FloatToStr(v, FormatSettings()); }
std::string FloatToStr(Extended v, const TFormatSettings& fs) { return FloatToStrF(v, TFloatFormat::ffGeneral, 15, 0, fs); }
std::string FloatToStrF(Extended v, TFloatFormat f, int p, int d) { return FloatToStrF(v, f, p, d, FormatSettings()); }

std::string FloatToStrF(Extended v, TFloatFormat format, int precision, int digits, const TFormatSettings& fs)
{
    const Decimal d = ToDecimal(v);
    if (d.kind != Decimal::Finite) return SpecialText(d);
    precision = std::clamp(precision, 2, kMaxDigits);
    switch (format) {
    case TFloatFormat::ffGeneral:
        return LayoutGeneral(d, precision, std::clamp(digits, 0, 4), fs);
    case TFloatFormat::ffExponent:
        return LayoutExponent(d, precision, std::clamp(digits, 0, 4), fs);
    case TFloatFormat::ffFixed:
    case TFloatFormat::ffNumber:
    case TFloatFormat::ffCurrency: {
        const int decimals = std::clamp(digits, 0, kMaxDigits);
        std::string ip, fp;
        bool neg = false;
        if (!FixedDigits(d, precision, decimals, ip, fp, neg))
            return LayoutExponent(d, precision, std::clamp(digits, 0, 4), fs);
        if (format != TFloatFormat::ffFixed) ip = GroupThousands(ip, fs.ThousandSeparator);
        std::string amount = ip;
        if (decimals > 0) { amount += fs.DecimalSeparator; amount += fp; }
        if (format == TFloatFormat::ffCurrency) return CurrencyText(amount, neg, fs);
        return neg ? "-" + amount : amount;
    }
    }
    return {};
}

std::string SingleToStr(float v)
{
    Decimal exact = ExactDecimal(v);
    if (exact.kind != Decimal::Finite) return SpecialText(exact);
    if (exact.digits.empty()) return "0";
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(0));
    Decimal d = exact;
    for (int p = 1; p <= 9; ++p) {
        d = exact;
        RoundDigits(d, p);
        std::string text = (d.negative ? "-0." : "0.") + d.digits + "e" + std::to_string(d.exponent);
        if (strtof_l(text.c_str(), nullptr, c) == v) break;
    }
    TFormatSettings fs;
    return LayoutGeneral(d, 15, 0, fs);
}

// --- Parsing ---------------------------------------------------------------

namespace {

std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && uint8_t(s.front()) <= 0x20) s.remove_prefix(1);
    while (!s.empty() && uint8_t(s.back()) <= 0x20) s.remove_suffix(1);
    return s;
}

// Optional sign, then decimal digits or a "$"/"0x" hex number. `limit` is the largest
// magnitude of a decimal value; hex takes the full unsigned width and wraps, as the
// class library does ("$FFFFFFFF" is -1).
bool ParseInt(std::string_view s, uint64_t posLimit, uint64_t hexLimit, int64_t& out, bool is32)
{
    s = TrimBlanks(s);
    bool neg = false;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) { neg = s[0] == '-'; s.remove_prefix(1); }
    int base = 10;
    if (!s.empty() && s[0] == '$') { base = 16; s.remove_prefix(1); }
    else if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) { base = 16; s.remove_prefix(2); }
    if (s.empty()) return false;
    uint64_t v = 0;
    const uint64_t limit = base == 16 ? hexLimit : posLimit + (neg ? 1 : 0);
    for (char ch : s) {
        int dgt;
        if (ch >= '0' && ch <= '9') dgt = ch - '0';
        else if (base == 16 && ch >= 'a' && ch <= 'f') dgt = ch - 'a' + 10;
        else if (base == 16 && ch >= 'A' && ch <= 'F') dgt = ch - 'A' + 10;
        else return false;
        if (v > (limit - uint64_t(dgt)) / uint64_t(base)) return false;
        v = v * uint64_t(base) + uint64_t(dgt);
    }
    if (base == 16) {
        if (is32) {
            const uint32_t u = neg ? 0u - uint32_t(v) : uint32_t(v);
            out = int32_t(u);
        } else {
            out = int64_t(neg ? 0 - v : v);
        }
        return true;
    }
    out = neg ? int64_t(0 - v) : int64_t(v);
    return true;
}

} // namespace

static std::string IntErrorText(std::string_view s) { return "'" + std::string(s) + "' is not a valid integer value"; }

bool TryStrToInt(std::string_view s, int32_t& out)
{
    int64_t v = 0;
    if (!ParseInt(s, INT32_MAX, UINT32_MAX, v, true)) return false;
    out = int32_t(v);
    return true;
}

int32_t StrToInt(std::string_view s)
{
    int32_t v = 0;
    if (!TryStrToInt(s, v)) throw EConvertError(IntErrorText(s));
    return v;
}

int64_t StrToInt64(std::string_view s)
{
    int64_t v = 0;
    if (!ParseInt(s, INT64_MAX, UINT64_MAX, v, false)) throw EConvertError(IntErrorText(s));
    return v;
}

int32_t StrToIntDef(std::string_view s, int32_t def)
{
    int32_t v = 0;
    return TryStrToInt(s, v) ? v : def;
}

bool TryStrToFloat(std::string_view s, Extended& out) { return TryStrToFloat(s, out, FormatSettings()); }

bool TryStrToFloat(std::string_view s, Extended& out, const TFormatSettings& fs)
{
    s = TrimBlanks(s);
    // Rebuild the text in the "C" form, checking the grammar on the way:
    // [sign] digits [sep digits] [(E|e) [sign] digits], at least one mantissa digit.
    std::string text;
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) text += s[i++];
    int mantissaDigits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') { text += s[i++]; ++mantissaDigits; }
    if (i < s.size() && s[i] == fs.DecimalSeparator) {
        text += '.';
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') { text += s[i++]; ++mantissaDigits; }
    }
    if (mantissaDigits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        text += 'e';
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) text += s[i++];
        int expDigits = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') { text += s[i++]; ++expDigits; }
        if (expDigits == 0) return false;
    }
    if (i != s.size()) return false;
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(0));
    const Extended v = strtold_l(text.c_str(), nullptr, c);
    if (std::isinf(v)) return false;   // beyond the range of Extended
    out = v;
    return true;
}

Extended StrToFloat(std::string_view s) { return StrToFloat(s, FormatSettings()); }

Extended StrToFloat(std::string_view s, const TFormatSettings& fs)
{
    Extended v = 0;
    if (!TryStrToFloat(s, v, fs)) throw EConvertError("'" + std::string(s) + "' is not a valid floating point value");
    return v;
}

Extended StrToFloatDef(std::string_view s, Extended def)
{
    Extended v = 0;
    return TryStrToFloat(s, v) ? v : def;
}

// --- Rounding --------------------------------------------------------------

namespace {

int64_t ToInt64(Extended r)
{
    // Both bounds are exact in Extended; NaN fails the test as well.
    if (!(r >= -9223372036854775808.0L && r < 9223372036854775808.0L))
        throw ERangeError("Invalid floating point operation");
    return int64_t(r);
}

} // namespace

int64_t Round(Extended v)
{
    Extended r = std::round(v);   // halves away from zero, whatever the FPU mode says
    if (std::fabs(r - v) == 0.5L && std::fmod(r, 2.0L) != 0) r -= std::copysign(1.0L, v);
    return ToInt64(r);
}

int64_t Trunc(Extended v) { return ToInt64(std::trunc(v)); }
int64_t Ceil(Extended v) { return ToInt64(std::ceil(v)); }
int64_t Floor(Extended v) { return ToInt64(std::floor(v)); }

// --- Picture masks ---------------------------------------------------------

namespace {

struct MaskToken {
    enum Type { Literal, Digit, Point, Exponent } type;
    std::string text;     // Literal: the text; Digit: "0" or "#"; Exponent: "E" or "e"
    bool plusSign = false;
    int expDigits = 0;
};

struct Mask {
    std::vector<MaskToken> tokens;
    int intCount = 0;       // digit placeholders before the decimal point
    int fracCount = 0;      // digit placeholders after it
    int intForced = 0;      // integer positions, counted from the units, that always show
    int fracForced = 0;     // fraction positions that always show
    bool thousands = false;
    bool scientific = false;
};

// Splits a mask into its ";" sections; quotes protect ";".
std::vector<std::string_view> MaskSections(std::string_view mask)
{
    std::vector<std::string_view> out;
    size_t start = 0;
    char quote = 0;
    for (size_t i = 0; i < mask.size(); ++i) {
        const char c = mask[i];
        if (quote) { if (c == quote) quote = 0; }
        else if (c == '\'' || c == '"') quote = c;
        else if (c == ';') { out.push_back(mask.substr(start, i - start)); start = i + 1; }
    }
    out.push_back(mask.substr(start));
    return out;
}

Mask ParseMask(std::string_view sec)
{
    Mask m;
    bool afterPoint = false;
    int firstIntZero = -1;
    auto literal = [&](std::string_view t) {
        if (!m.tokens.empty() && m.tokens.back().type == MaskToken::Literal) m.tokens.back().text += t;
        else m.tokens.push_back({MaskToken::Literal, std::string(t)});
    };
    for (size_t i = 0; i < sec.size(); ++i) {
        const char c = sec[i];
        if (c == '\'' || c == '"') {
            const size_t end = sec.find(c, i + 1);
            const size_t stop = end == std::string_view::npos ? sec.size() : end;
            literal(sec.substr(i + 1, stop - i - 1));
            i = stop;
        } else if (m.scientific) {
            literal(sec.substr(i, 1));   // everything after the exponent is text
        } else if (c == '0' || c == '#') {
            m.tokens.push_back({MaskToken::Digit, std::string(1, c)});
            if (afterPoint) {
                ++m.fracCount;
                if (c == '0') m.fracForced = m.fracCount;
            } else {
                if (c == '0' && firstIntZero < 0) firstIntZero = m.intCount;
                ++m.intCount;
            }
        } else if (c == '.') {
            if (!afterPoint) m.tokens.push_back({MaskToken::Point, {}});
            afterPoint = true;   // later points are ignored
        } else if (c == ',') {
            m.thousands = true;
        } else if ((c == 'E' || c == 'e') && i + 1 < sec.size() && (sec[i + 1] == '+' || sec[i + 1] == '-')) {
            MaskToken t{MaskToken::Exponent, std::string(1, c)};
            t.plusSign = sec[i + 1] == '+';
            i += 2;
            while (i < sec.size() && sec[i] == '0') { ++t.expDigits; ++i; }
            --i;
            m.tokens.push_back(t);
            m.scientific = true;
        } else {
            literal(sec.substr(i, 1));
        }
    }
    if (firstIntZero >= 0) m.intForced = m.intCount - firstIntZero;
    return m;
}

struct MaskResult {
    std::string text;
    bool zero = false;   // every digit shown is zero
};

// Lays out the absolute value of `value` after the mask; `minus` puts a sign in front
// unless the shown value is zero.
MaskResult ApplyMask(const Mask& m, const Decimal& value, bool minus, const TFormatSettings& fs)
{
    Decimal d = value;
    std::string intDigits, fracDigits, expText;
    if (m.scientific) {
        RoundDigits(d, std::max(1, m.intCount + m.fracCount));
        for (int i = 0; i < m.intCount; ++i) intDigits += DigitAt(d, i);
        for (int i = 0; i < m.fracCount; ++i) fracDigits += DigitAt(d, m.intCount + i);
        const int e = d.digits.empty() ? 0 : d.exponent - m.intCount;
        for (const MaskToken& t : m.tokens)
            if (t.type == MaskToken::Exponent) expText = t.text + ExponentText(e, std::max(1, t.expDigits), t.plusSign);
        // leading zeros of the mantissa follow the same rule as plain integers
        size_t nz = intDigits.find_first_not_of('0');
        intDigits.erase(0, nz == std::string::npos ? intDigits.size() : nz);
    } else {
        RoundDigits(d, d.exponent + m.fracCount);
        for (int i = 0; i < d.exponent; ++i) intDigits += DigitAt(d, i);
        for (int i = 0; i < m.fracCount; ++i) fracDigits += DigitAt(d, d.exponent + i);
    }
    MaskResult r;
    r.zero = d.digits.empty();
    if (int(intDigits.size()) < m.intForced) intDigits.insert(0, size_t(m.intForced) - intDigits.size(), '0');
    int fracShown = m.fracForced;
    for (int i = m.fracCount; i > fracShown; --i)
        if (fracDigits[size_t(i - 1)] != '0') { fracShown = i; break; }

    const int len = int(intDigits.size());
    std::string out;
    auto putInt = [&](int pos) {   // pos counted from the units digit
        out += intDigits[size_t(len - 1 - pos)];
        if (m.thousands && pos > 0 && pos % 3 == 0 && fs.ThousandSeparator) out += fs.ThousandSeparator;
    };
    int intSeen = 0, fracSeen = 0;
    bool afterPoint = false, intPlaced = false;
    auto placeAllInt = [&]() {   // a mask without integer placeholders still shows them
        if (!intPlaced) for (int p = len - 1; p >= 0; --p) putInt(p);
        intPlaced = true;
    };
    for (const MaskToken& t : m.tokens) {
        switch (t.type) {
        case MaskToken::Literal: out += t.text; break;
        case MaskToken::Digit:
            if (!afterPoint) {
                // the first placeholder takes every digit the mask has no room for
                const int pos = m.intCount - 1 - intSeen;
                if (intSeen == 0) for (int p = len - 1; p > pos; --p) putInt(p);
                if (pos < len) putInt(pos);
                ++intSeen;
                intPlaced = true;
            } else {
                if (fracSeen < fracShown) out += fracDigits[size_t(fracSeen)];
                ++fracSeen;
            }
            break;
        case MaskToken::Point:
            placeAllInt();
            afterPoint = true;
            if (fracShown > 0) out += fs.DecimalSeparator;
            break;
        case MaskToken::Exponent:
            placeAllInt();
            out += expText;
            break;
        }
    }
    r.text = (minus && !r.zero) ? "-" + out : out;
    return r;
}

} // namespace

std::string FormatFloat(std::string_view mask, Extended v) { return FormatFloat(mask, v, FormatSettings()); }

std::string FormatFloat(std::string_view mask, Extended v, const TFormatSettings& fs)
{
    const Decimal d = ToDecimal(v);
    if (d.kind != Decimal::Finite) return SpecialText(d);
    const std::vector<std::string_view> sections = MaskSections(mask);
    if (sections[0].empty()) return FloatToStrF(v, TFloatFormat::ffGeneral, 15, 0, fs);
    const bool hasNeg = sections.size() >= 2 && !sections[1].empty();
    const bool hasZero = sections.size() >= 3 && !sections[2].empty();
    Decimal abs = d;
    abs.negative = false;
    MaskResult r;
    if (d.negative && hasNeg) r = ApplyMask(ParseMask(sections[1]), abs, false, fs);
    else r = ApplyMask(ParseMask(sections[0]), abs, d.negative, fs);
    if (r.zero && hasZero) r = ApplyMask(ParseMask(sections[2]), Decimal{}, false, fs);
    else if (r.zero && d.negative && hasNeg) r = ApplyMask(ParseMask(sections[0]), abs, false, fs);   // no "(0.00)"
    return r.text;
}

// --- Format ----------------------------------------------------------------

std::string Format(std::string_view fmt, std::initializer_list<FormatArg> args) { return Format(fmt, args, FormatSettings()); }

std::string Format(std::string_view fmt, std::initializer_list<FormatArg> argList, const TFormatSettings& fs)
{
    const std::vector<FormatArg> args(argList);
    const auto invalid = [&]() { return EConvertError("Format '" + std::string(fmt) + "' invalid or incompatible with argument"); };
    size_t next = 0;
    const auto take = [&]() -> const TVarRec& {
        if (next >= args.size()) throw EConvertError("No argument for format '" + std::string(fmt) + "'");
        return args[next++].value;
    };
    std::string out;
    size_t i = 0;
    // A count in a format item: digits, or "*" for the next (integer) argument, a negative one
    // counting as none; -1 when absent.
    const auto count = [&]() -> int64_t {
        if (i < fmt.size() && fmt[i] == '*') {
            ++i;
            const TVarRec& a = take();
            if (!std::holds_alternative<int64_t>(a)) throw invalid();
            return std::clamp<int64_t>(std::get<int64_t>(a), -1, 100000);
        }
        if (i >= fmt.size() || fmt[i] < '0' || fmt[i] > '9') return -1;
        int64_t n = 0;
        while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') {
            n = n * 10 + (fmt[i++] - '0');
            if (n > 100000) throw invalid();   // no sane field is wider
        }
        return n;
    };
    while (i < fmt.size()) {
        const char c = fmt[i++];
        if (c != '%') { out += c; continue; }
        if (i < fmt.size() && fmt[i] == '%') { out += '%'; ++i; continue; }
        const bool leadingStar = i < fmt.size() && fmt[i] == '*';
        int64_t width = count();
        const bool haveWidth = leadingStar || width >= 0;
        if (i < fmt.size() && fmt[i] == ':') {
            ++i;
            if (width < 0 || size_t(width) > args.size()) throw invalid();
            next = size_t(width);
            width = -1;
        }
        bool left = false;
        const bool widthNext = !haveWidth || (i > 0 && fmt[i - 1] == ':');
        if (widthNext && i < fmt.size() && fmt[i] == '-') { left = true; ++i; }
        if (widthNext) width = count();
        int64_t prec = -1;
        if (i < fmt.size() && fmt[i] == '.') {
            ++i;
            prec = count();
            if (prec < 0) prec = 0;
        }
        if (i >= fmt.size()) throw invalid();
        const char type = char(std::tolower(uint8_t(fmt[i++])));
        std::string field;
        const auto intArg = [&]() -> int64_t {
            const TVarRec& a = take();
            if (!std::holds_alternative<int64_t>(a)) throw invalid();
            return std::get<int64_t>(a);
        };
        const auto floatArg = [&]() -> Extended {
            const TVarRec& a = take();
            if (!std::holds_alternative<Extended>(a)) throw invalid();
            return std::get<Extended>(a);
        };
        const auto padDigits = [&](std::string digitsText) {
            if (prec > int64_t(digitsText.size())) digitsText.insert(0, size_t(prec) - digitsText.size(), '0');
            return digitsText;
        };
        const auto hex = [](uint64_t v) {
            static const char* kHex = "0123456789ABCDEF";
            std::string s;
            do { s.insert(s.begin(), kHex[v & 15]); v >>= 4; } while (v);
            return s;
        };
        // A negative value that fits 32 bits is shown as the 32-bit pattern it was passed as.
        const auto asUnsigned = [](int64_t v) {
            return (v < 0 && v >= INT32_MIN) ? uint64_t(uint32_t(int32_t(v))) : uint64_t(v);
        };
        switch (type) {
        case 'd': {
            const int64_t v = intArg();
            const uint64_t mag = v < 0 ? 0 - uint64_t(v) : uint64_t(v);
            field = (v < 0 ? "-" : "") + padDigits(std::to_string(mag));
            break;
        }
        case 'u': field = padDigits(std::to_string(asUnsigned(intArg()))); break;
        case 'x': field = padDigits(hex(asUnsigned(intArg()))); break;
        case 'p': {
            std::string h = hex(uint64_t(intArg()));
            field = std::string(16 - h.size(), '0') + h;
            break;
        }
        case 'e': field = FloatToStrF(floatArg(), TFloatFormat::ffExponent, prec < 0 ? 15 : int(std::min<int64_t>(prec, 18)), 3, fs); break;
        case 'f': field = FloatToStrF(floatArg(), TFloatFormat::ffFixed, 15, prec < 0 ? 2 : int(std::min<int64_t>(prec, 18)), fs); break;
        case 'g': field = FloatToStrF(floatArg(), TFloatFormat::ffGeneral, prec < 0 ? 15 : int(std::min<int64_t>(prec, 18)), 0, fs); break;
        case 'n': field = FloatToStrF(floatArg(), TFloatFormat::ffNumber, 15, prec < 0 ? 2 : int(std::min<int64_t>(prec, 18)), fs); break;
        case 'm': field = FloatToStrF(floatArg(), TFloatFormat::ffCurrency, 15, prec < 0 ? fs.CurrencyDecimals : int(std::min<int64_t>(prec, 18)), fs); break;
        case 's': {
            const TVarRec& a = take();
            if (!std::holds_alternative<std::string>(a)) throw invalid();
            field = std::get<std::string>(a);
            if (prec >= 0 && size_t(prec) < field.size()) field.resize(size_t(prec));
            break;
        }
        default: throw invalid();
        }
        if (width > int64_t(field.size())) {
            const std::string pad(size_t(width) - field.size(), ' ');
            field = left ? field + pad : pad + field;
        }
        out += field;
    }
    return out;
}
