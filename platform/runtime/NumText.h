// Number and date text as the class library writes and reads it. "." is the decimal
// separator whatever the C locale says; every routine that depends on regional
// settings takes a TFormatSettings (defaults pinned below).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

// The runtime's "extended" floating type.
using Extended = long double;

enum class TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

struct TFormatSettings {
    char DecimalSeparator = '.';
    char ThousandSeparator = ',';
    std::string CurrencyString = "$";
    uint8_t CurrencyFormat = 0;     // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
    uint8_t NegCurrFormat = 0;      // 0 "($1)", 1 "-$1", ... as the class library numbers them
    uint8_t CurrencyDecimals = 2;
    char DateSeparator = '/';
    char TimeSeparator = ':';
    std::string ShortDateFormat = "m/d/yyyy";
    std::string LongDateFormat = "dddd, mmmm d, yyyy";
    std::string ShortTimeFormat = "h:nn AMPM";
    std::string LongTimeFormat = "h:nn:ss AMPM";
    std::string TimeAMString = "AM";
    std::string TimePMString = "PM";
};

// The process-wide settings (the class library's globals); tests pin them.
TFormatSettings& FormatSettings();

// General format, 15 significant digits (the class library's FloatToStr).
std::string FloatToStr(Extended v);
std::string FloatToStr(Extended v, const TFormatSettings& fs);
std::string FloatToStrF(Extended v, TFloatFormat format, int precision, int digits);
std::string FloatToStrF(Extended v, TFloatFormat format, int precision, int digits, const TFormatSettings& fs);
// Picture masks: "0", "#", ".", ",", "E+", "E-", quoted text, up to three ";" sections.
std::string FormatFloat(std::string_view mask, Extended v);
std::string FormatFloat(std::string_view mask, Extended v, const TFormatSettings& fs);
// The shortest text that reads back to the same single-precision value.
std::string SingleToStr(float v);

// Arguments of Format: integers, floats, strings.
using TVarRec = std::variant<int64_t, Extended, std::string>;
struct FormatArg {
    TVarRec value;
    FormatArg(int v) : value(int64_t(v)) {}
    FormatArg(unsigned v) : value(int64_t(v)) {}
    FormatArg(long v) : value(int64_t(v)) {}
    FormatArg(long long v) : value(int64_t(v)) {}
    FormatArg(unsigned long v) : value(int64_t(v)) {}
    FormatArg(float v) : value(Extended(v)) {}
    FormatArg(double v) : value(Extended(v)) {}
    FormatArg(long double v) : value(v) {}
    FormatArg(const char* v) : value(std::string(v)) {}
    FormatArg(std::string v) : value(std::move(v)) {}
    FormatArg(std::string_view v) : value(std::string(v)) {}
};
// The class library's Format: %[index:][-][width][.prec]type with d u e f g n m p s x,
// "%%" for a percent sign. A mismatched argument raises EConvertError.
std::string Format(std::string_view fmt, std::initializer_list<FormatArg> args);
std::string Format(std::string_view fmt, std::initializer_list<FormatArg> args, const TFormatSettings& fs);

// Strict conversions: surrounding blanks are allowed, anything else raises
// EConvertError ("'abc' is not a valid integer value" / "... floating point value").
int32_t StrToInt(std::string_view s);
int64_t StrToInt64(std::string_view s);
int32_t StrToIntDef(std::string_view s, int32_t def);
bool TryStrToInt(std::string_view s, int32_t& out);
Extended StrToFloat(std::string_view s);
Extended StrToFloat(std::string_view s, const TFormatSettings& fs);
Extended StrToFloatDef(std::string_view s, Extended def);
bool TryStrToFloat(std::string_view s, Extended& out);
bool TryStrToFloat(std::string_view s, Extended& out, const TFormatSettings& fs);

// Rounding as the runtime does it: Round to nearest with halves to even; Trunc toward
// zero; Ceil and Floor. A value outside int64 raises EInvalidOp-like EConvertError... see .cpp.
int64_t Round(Extended v);
int64_t Trunc(Extended v);
int64_t Ceil(Extended v);
int64_t Floor(Extended v);

// Date-times: days since 30 December 1899, time as the fraction of a day.
using TDateTime = double;
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int msec);
void DecodeDate(TDateTime dt, int& year, int& month, int& day);
void DecodeTime(TDateTime dt, int& hour, int& minute, int& second, int& msec);
TDateTime Now();
TDateTime Date();
TDateTime Time();
std::string DateToStr(TDateTime dt);
std::string TimeToStr(TDateTime dt);
std::string DateTimeToStr(TDateTime dt);
std::string FormatDateTime(std::string_view fmt, TDateTime dt);
std::string FormatDateTime(std::string_view fmt, TDateTime dt, const TFormatSettings& fs);
TDateTime StrToDate(std::string_view s);
TDateTime StrToDateTime(std::string_view s);
