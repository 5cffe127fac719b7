// Baseline implementation; the full number-text rules are being completed.
#include "NumText.h"

#include "SysUtils.h"

#include <cfenv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

TFormatSettings& FormatSettings()
{
    static TFormatSettings fs;
    return fs;
}

std::string FloatToStr(Extended v) { return FloatToStr(v, FormatSettings()); }
std::string FloatToStr(Extended v, const TFormatSettings& fs) { return FloatToStrF(v, TFloatFormat::ffGeneral, 15, 0, fs); }
std::string FloatToStrF(Extended v, TFloatFormat f, int p, int d) { return FloatToStrF(v, f, p, d, FormatSettings()); }

std::string FloatToStrF(Extended v, TFloatFormat f, int precision, int digits, const TFormatSettings&)
{
    char buf[128];
    if (f == TFloatFormat::ffFixed) std::snprintf(buf, sizeof buf, "%.*Lf", digits, v);
    else std::snprintf(buf, sizeof buf, "%.*Lg", precision, v);
    return buf;
}

std::string FormatFloat(std::string_view, Extended v) { return FloatToStr(v); }
std::string FormatFloat(std::string_view, Extended v, const TFormatSettings&) { return FloatToStr(v); }

std::string SingleToStr(float v)
{
    char buf[64];
    for (int p = 1; p <= 9; ++p) {
        std::snprintf(buf, sizeof buf, "%.*g", p, double(v));
        if (std::strtof(buf, nullptr) == v) break;
    }
    return buf;
}

std::string Format(std::string_view fmt, std::initializer_list<FormatArg> args) { return Format(fmt, args, FormatSettings()); }
std::string Format(std::string_view fmt, std::initializer_list<FormatArg>, const TFormatSettings&) { return std::string(fmt); }

int32_t StrToInt(std::string_view s)
{
    int32_t v;
    if (!TryStrToInt(s, v)) throw EConvertError("'" + std::string(s) + "' is not a valid integer value");
    return v;
}

int64_t StrToInt64(std::string_view s) { return StrToInt(s); }
int32_t StrToIntDef(std::string_view s, int32_t def)
{
    int32_t v;
    return TryStrToInt(s, v) ? v : def;
}

bool TryStrToInt(std::string_view s, int32_t& out)
{
    const std::string t = Trim(s);
    if (t.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(t.c_str(), &end, 10);
    if (*end != '\0' || errno != 0 || v < INT32_MIN || v > INT32_MAX) return false;
    out = static_cast<int32_t>(v);
    return true;
}

Extended StrToFloat(std::string_view s) { return StrToFloat(s, FormatSettings()); }
Extended StrToFloat(std::string_view s, const TFormatSettings& fs)
{
    Extended v;
    if (!TryStrToFloat(s, v, fs)) throw EConvertError("'" + std::string(s) + "' is not a valid floating point value");
    return v;
}
Extended StrToFloatDef(std::string_view s, Extended def)
{
    Extended v;
    return TryStrToFloat(s, v) ? v : def;
}
bool TryStrToFloat(std::string_view s, Extended& out) { return TryStrToFloat(s, out, FormatSettings()); }
bool TryStrToFloat(std::string_view s, Extended& out, const TFormatSettings&)
{
    const std::string t = Trim(s);
    if (t.empty()) return false;
    char* end = nullptr;
    out = std::strtold(t.c_str(), &end);
    return *end == '\0';
}

int64_t Round(Extended v) { return static_cast<int64_t>(nearbyintl(v)); }
int64_t Trunc(Extended v) { return static_cast<int64_t>(truncl(v)); }
int64_t Ceil(Extended v) { return static_cast<int64_t>(ceill(v)); }
int64_t Floor(Extended v) { return static_cast<int64_t>(floorl(v)); }

TDateTime EncodeDate(int, int, int) { return 0; }
TDateTime EncodeTime(int, int, int, int) { return 0; }
void DecodeDate(TDateTime, int& y, int& m, int& d) { y = 1899; m = 12; d = 30; }
void DecodeTime(TDateTime, int& h, int& n, int& s, int& ms) { h = n = s = ms = 0; }
TDateTime Now() { return 0; }
TDateTime Date() { return 0; }
TDateTime Time() { return 0; }
std::string DateToStr(TDateTime) { return {}; }
std::string TimeToStr(TDateTime) { return {}; }
std::string DateTimeToStr(TDateTime) { return {}; }
std::string FormatDateTime(std::string_view, TDateTime) { return {}; }
std::string FormatDateTime(std::string_view, TDateTime, const TFormatSettings&) { return {}; }
TDateTime StrToDate(std::string_view) { return 0; }
TDateTime StrToDateTime(std::string_view) { return 0; }
