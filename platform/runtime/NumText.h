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

// Every float is first rounded to at most 18 significant digits of its exact binary
// value, then to what the format asks; halves go away from zero (0.125 at 2 decimals is
// "0.13", the double 1.005 is "1.00"). A shown zero never has a minus sign. NaN is "NAN",
// the infinities "INF" and "-INF", in every format.
//
// General format, 15 significant digits (the class library's FloatToStr): fixed while the
// value has at most 15 integer digits and is at least 0.0001, else "1E15", "1E-5".
std::string FloatToStr(Extended v);
std::string FloatToStr(Extended v, const TFormatSettings& fs);
// precision is taken as 2..18. ffGeneral: trailing zeros go, `digits` (0..4) is the least
// number of exponent digits. ffExponent: "1.00000000000000E+003", `precision` digits, the
// exponent's sign always, at least `digits` (0..4) exponent digits. ffFixed, ffNumber
// (thousands separators), ffCurrency: `digits` (0..18) decimals, at most `precision`
// significant digits; a value with more integer digits than `precision` is written as
// ffExponent instead.
std::string FloatToStrF(Extended v, TFloatFormat format, int precision, int digits);
std::string FloatToStrF(Extended v, TFloatFormat format, int precision, int digits, const TFormatSettings& fs);
// Picture masks: "0", "#", ".", ",", "E+", "E-", "e+", "e-", 'quoted' and "quoted" text,
// up to three ";" sections (positive; negative; zero). An empty negative section means the
// positive one with a minus sign; the zero section is used when the shown value is zero;
// an empty mask is FloatToStr.
std::string FormatFloat(std::string_view mask, Extended v);
std::string FormatFloat(std::string_view mask, Extended v, const TFormatSettings& fs);
// The shortest text that reads back to the same single-precision value, laid out as
// FloatToStr does (20.3f is "20.3").
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
// "%%" for a percent sign, "*" for a width or precision taken from the arguments.
// d u x: prec is the least digit count; u and x show a negative 32-bit value as its
// 32-bit pattern. e: prec significant digits (15), 3 exponent digits. f n m: prec
// decimals (2; m CurrencyDecimals) with 15 significant digits. g: general, prec
// significant digits (15). s: prec is the most characters. p: 16 hex digits.
// A mismatched argument or a bad spec raises EConvertError "Format '<fmt>' invalid or
// incompatible with argument"; a missing one "No argument for format '<fmt>'".
std::string Format(std::string_view fmt, std::initializer_list<FormatArg> args);
std::string Format(std::string_view fmt, std::initializer_list<FormatArg> args, const TFormatSettings& fs);

// Strict conversions: surrounding blanks are allowed, anything else raises
// EConvertError ("'abc' is not a valid integer value" / "... floating point value").
// Integers: optional sign, decimal digits or a "$"/"0x" hex number (hex may use the full
// unsigned width: "$FFFFFFFF" is -1). Floats: optional sign, digits with at most one
// DecimalSeparator, optional exponent; no thousands separators, no "NAN"/"INF", and a
// value beyond the Extended range is refused. The C locale plays no part.
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
// zero; Ceil and Floor; none depends on the FPU rounding mode. A result outside int64
// (NaN and the infinities included) raises ERangeError "Invalid floating point operation".
int64_t Round(Extended v);
int64_t Trunc(Extended v);
int64_t Ceil(Extended v);
int64_t Floor(Extended v);

// Date-times: days since 30 December 1899, time as the fraction of a day. Before that day
// the whole part is negative and the fraction's magnitude is the time (-1.25 is
// 29 December 1899 6:00 AM). Proleptic Gregorian calendar, years 1..9999; EncodeDate and
// EncodeTime raise EConvertError "Invalid argument to date encode" / "... time encode".
// Times are decoded to the nearest millisecond (one that reaches midnight is the next
// day); DecodeDate gives 0/0/0 for a value outside the calendar. FormatDateTime knows
// c d dd ddd dddd ddddd dddddd m mm mmm mmmm yy yyyy h hh n nn s ss z zzz t tt am/pm a/p
// ampm / : and quoted text, without regard to case; "m" after h or hh is minutes; English
// day and month names. DateToStr, TimeToStr and DateTimeToStr use ShortDateFormat,
// LongTimeFormat and "c" (no time at midnight). StrToDate reads the ShortDateFormat's order
// of day, month and year (a two-digit year lies within 50 years of this one, a missing
// year is this year); StrToDateTime a date, a time or both ("h:nn[:ss[.zzz]] [AM|PM]").
// They raise EConvertError "'<text>' is not a valid date" / "... date and time".
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
