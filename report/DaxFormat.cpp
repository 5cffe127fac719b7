#include "DaxFormat.h"

#include <algorithm>

namespace {

std::string ApplyCase(std::string s, TDaxTextCase c)
{
    switch (c) {
    case tcUpper: return UpperCase(s);
    case tcLower: return LowerCase(s);
    case tcNone: break;
    }
    return s;
}

bool IsMaskInput(char c)
{
    return std::string_view("09#LlAaCc").find(c) != std::string_view::npos;
}

} // namespace

// --- formats ----------------------------------------------------------------------------

void TDaxRootFormat::Changed()
{
    if (owner_) owner_->Invalidate();
}

#define MW_FORMAT_SETTER(Name, Type, field) \
    void TDaxRootFormat::Set##Name(Type v)  \
    {                                       \
        if (field == v) return;             \
        field = v;                          \
        Changed();                          \
    }
MW_FORMAT_SETTER(DisplayFormat, const std::string&, displayFormat_)
MW_FORMAT_SETTER(TextCase, TDaxTextCase, textCase_)
MW_FORMAT_SETTER(FloatFormat, TFloatFormat, floatFormat_)
MW_FORMAT_SETTER(Width, int32_t, width_)
MW_FORMAT_SETTER(Digits, int32_t, digits_)
MW_FORMAT_SETTER(SuppressNulls, bool, suppressNulls_)
MW_FORMAT_SETTER(UseCurrencyDecimals, bool, useCurrencyDecimals_)
#undef MW_FORMAT_SETTER

void TDaxRootFormat::Assign(const TDaxRootFormat& o)
{
    if (&o == this) return;
    displayFormat_ = o.displayFormat_;
    textCase_ = o.textCase_;
    floatFormat_ = o.floatFormat_;
    width_ = o.width_;
    digits_ = o.digits_;
    suppressNulls_ = o.suppressNulls_;
    useCurrencyDecimals_ = o.useCurrencyDecimals_;
    Changed();
}

std::string TDaxRootFormat::FormatValue(TDaxData& value)
{
    if (suppressNulls_ && value.IsNull) return {};
    const TFormatSettings& fs = FormatSettings();
    const bool blank = IsBlank(displayFormat_);
    std::string text;
    switch (value.DataType()) {
    case dtypeString:
        text = blank ? value.AsString() : FormatMaskText(displayFormat_, value.AsString(), fs);
        break;
    case dtypeFloat:
    case dtypeInteger:
        if (!blank)
            text = FormatFloat(displayFormat_, value.AsFloat(), fs);
        else if (floatFormat_ == TFloatFormat::ffCurrency && useCurrencyDecimals_)
            text = FloatToStrF(value.AsFloat(), TFloatFormat::ffCurrency, width_, fs.CurrencyDecimals, fs);
        else
            text = FloatToStrF(value.AsFloat(), floatFormat_, width_, digits_, fs);
        break;
    case dtypeBoolean:
        if (blank) {
            text = value.AsString();
        } else {
            const auto semi = displayFormat_.find(';');
            const bool b = value.AsBoolean();
            if (semi == std::string::npos)
                text = b ? displayFormat_.substr(0, 255) : std::string();
            else
                text = b ? displayFormat_.substr(0, semi) : displayFormat_.substr(semi + 1, 255);
        }
        break;
    case dtypeDateTime:
        text = blank ? value.AsString() : FormatDateTime(displayFormat_, value.AsDateTime(), fs);
        break;
    default:
        text = value.AsString();
        break;
    }
    return ApplyCase(std::move(text), textCase_);
}

TMemoryStream& TDaxRootFormat::FormatToStream(TDaxData& value)
{
    if (!stream_) stream_ = std::make_unique<TMemoryStream>();
    const std::string text = FormatValue(value);
    stream_->Clear();
    stream_->WriteString(text);
    stream_->SetPosition(0);
    return *stream_;
}

std::string FormatMaskText(std::string_view mask, std::string_view text, const TFormatSettings& fs)
{
    // Split off the "save literals" and "blank" fields (an escaped ";" is part of the mask).
    std::string_view body = mask;
    bool saveLiterals = true;
    char blankChar = ' ';
    for (size_t i = 0; i < mask.size(); ++i) {
        if (mask[i] == '\\') { ++i; continue; }
        if (mask[i] == ';') {
            body = mask.substr(0, i);
            std::string_view rest = mask.substr(i + 1);
            if (!rest.empty()) saveLiterals = rest[0] != '0';
            if (auto p = rest.find(';'); p != std::string_view::npos && p + 1 < rest.size()) blankChar = rest[p + 1];
            break;
        }
    }
    std::string out;
    size_t t = 0;
    TDaxTextCase mode = tcNone;
    for (size_t i = 0; i < body.size(); ++i) {
        char m = body[i];
        if (m == '!') continue;
        if (m == '<' && i + 1 < body.size() && body[i + 1] == '>') { mode = tcNone; ++i; continue; }
        if (m == '>') { mode = tcUpper; continue; }
        if (m == '<') { mode = tcLower; continue; }
        bool literal = true;
        if (m == '\\') {
            if (++i >= body.size()) break;
            m = body[i];
        } else if (m == ':') {
            m = fs.TimeSeparator;
        } else if (m == '/') {
            m = fs.DateSeparator;
        } else if (IsMaskInput(m)) {
            literal = false;
        }
        if (literal) {
            if (saveLiterals && t < text.size() && text[t] == m) ++t;
            out += m;
        } else if (t < text.size()) {
            char c = text[t++];
            if (mode == tcUpper && c >= 'a' && c <= 'z') c = char(c - 32);
            if (mode == tcLower && c >= 'A' && c <= 'Z') c = char(c + 32);
            out += c;
        } else {
            out += blankChar;
        }
    }
    return out;
}

// --- units ------------------------------------------------------------------------------

namespace {
constexpr double kMmToIn = 0.03937007874015748;
constexpr double kCmToIn = 0.3937007874015748;
} // namespace

double TDaxUnitMaster::ToInches(TDaxUnits u, double x) const
{
    switch (u) {
    case unitInches: return x;
    case unitMiliMeters: return x * kMmToIn;
    case unitCentiMeters: return x * kCmToIn;
    }
    return 0.0;
}

double TDaxUnitMaster::ToMillimeters(TDaxUnits u, double x) const
{
    switch (u) {
    case unitInches: return x * 25.4;
    case unitMiliMeters: return x;
    case unitCentiMeters: return x * 10;
    }
    return 0.0;
}

double TDaxUnitMaster::ToCentimeters(TDaxUnits u, double x) const
{
    switch (u) {
    case unitInches: return x * 2.54;
    case unitMiliMeters: return x * 0.1;
    case unitCentiMeters: return x;
    }
    return 0.0;
}

double TDaxUnitMaster::FromInches(TDaxUnits u, double x) const
{
    switch (u) {
    case unitInches: return x;
    case unitMiliMeters: return x * 25.4;
    case unitCentiMeters: return x * 2.54;
    }
    return 0.0;
}

double TDaxUnitMaster::FromMillimeters(TDaxUnits u, double x) const
{
    switch (u) {
    case unitInches: return x * kMmToIn;
    case unitMiliMeters: return x;
    case unitCentiMeters: return x * 0.1;
    }
    return 0.0;
}

double TDaxUnitMaster::FromCentimeters(TDaxUnits u, double x) const
{
    switch (u) {
    case unitInches: return x * kCmToIn;
    case unitMiliMeters: return x * 10;
    case unitCentiMeters: return x;
    }
    return 0.0;
}

// --- names ------------------------------------------------------------------------------

std::string StripClassPrefix(std::string_view name)
{
    if (name.size() > 4 && SameText(name.substr(0, 4), "TDAX")) return std::string(name.substr(4));
    if (name.size() > 1 && (name[0] == 'T' || name[0] == 't')) return std::string(name.substr(1));
    return std::string(name);
}

std::string MakeValidName(std::string_view text, bool strip)
{
    std::string s = strip ? StripClassPrefix(text) : std::string(text);
    auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
    for (size_t i = 0; i < s.size(); ++i) {
        const bool ok = letter(s[i]) || (i > 0 && s[i] >= '0' && s[i] <= '9');
        if (!ok) s[i] = '_';
    }
    return s;
}

bool IsBlank(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' '; });
}

std::string TrimTrailingSpaces(std::string_view text)
{
    size_t n = text.size();
    while (n > 0 && text[n - 1] == ' ') --n;
    return std::string(text.substr(0, n));
}

bool TrySetName(TDaxComponent& c, const std::string& name)
{
    if (IsBlank(name) || !IsValidIdent(name)) return false;
    try {
        c.SetName(name);
        return true;
    } catch (const Exception&) {
        return false;
    }
}

bool SetUniqueName(TDaxComponent& c, std::string_view base, bool strip)
{
    const std::string name = MakeValidName(base, strip);
    if (IsBlank(name) || !IsValidIdent(name)) return false;
    if (TrySetName(c, name)) return true;
    // The owner holds finitely many names, so a free number is always found.
    for (int64_t n = 1;; ++n)
        if (TrySetName(c, name + IntToStr(n))) return true;
}
