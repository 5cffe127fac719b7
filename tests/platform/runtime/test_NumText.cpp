#include "platform/runtime/NumText.h"
#include "platform/runtime/SysUtils.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <chrono>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <unistd.h>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

// Every test formats with the pinned defaults, whatever another test did to the globals.
class NumText : public ::testing::Test {
protected:
    void SetUp() override { FormatSettings() = TFormatSettings{}; }
    void TearDown() override { FormatSettings() = TFormatSettings{}; }
};

template <class F>
std::string ConvertErrorOf(F&& f)
{
    try {
        f();
    } catch (const EConvertError& e) {
        return e.Message();
    }
    return "(no EConvertError)";
}

constexpr Extended kNaN = std::numeric_limits<Extended>::quiet_NaN();
constexpr Extended kInf = std::numeric_limits<Extended>::infinity();

} // namespace

// --- Writing floats -------------------------------------------------------

TEST_F(NumText, FloatToStrIsGeneralWithFifteenDigits)
{
    struct Case { Extended v; const char* text; };
    const Case cases[] = {
        {0, "0"}, {-0.0L, "0"}, {1, "1"}, {-1.5L, "-1.5"}, {100, "100"},
        {0.1, "0.1"}, {0.1 + 0.2, "0.3"}, {1.0 / 3.0, "0.333333333333333"}, {2.0 / 3.0, "0.666666666666667"},
        {12345.678, "12345.678"},
        // the exponent switch: up to 15 integer digits stay fixed
        {123456789012345.0L, "123456789012345"}, {1e14L, "100000000000000"}, {1e15L, "1E15"},
        {999999999999999.9L, "1E15"}, {1.5e20L, "1.5E20"}, {-2.5e300L, "-2.5E300"},
        // and down to 0.0001
        {0.0001L, "0.0001"}, {0.00012345L, "0.00012345"}, {0.00001L, "1E-5"}, {0.000012345L, "1.2345E-5"},
        {-1.234567890123456789e-7L, "-1.23456789012346E-7"},
        // the Extended range, subnormals included
        {1e4000L, "1E4000"}, {std::numeric_limits<Extended>::max(), "1.18973149535723E4932"},
        {std::numeric_limits<Extended>::denorm_min(), "3.64519953188247E-4951"},
        {kNaN, "NAN"}, {kInf, "INF"}, {-kInf, "-INF"},
        // a single widened to Extended shows its binary noise; SingleToStr does not
        {Extended(20.3f), "20.2999992370605"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FloatToStr(c.v), c.text);
    }
}

TEST_F(NumText, FloatToStrFGeneralAndExponent)
{
    using F = TFloatFormat;
    struct Case { Extended v; F f; int precision, digits; const char* text; };
    const Case cases[] = {
        {1234.5678, F::ffGeneral, 4, 0, "1235"},
        {1234.5678, F::ffGeneral, 3, 0, "1.23E3"},
        {12345, F::ffGeneral, 5, 0, "12345"},
        {123456, F::ffGeneral, 5, 0, "1.2346E5"},
        {0.5, F::ffGeneral, 1, 0, "0.5"},                 // precision is at least 2
        {0.25, F::ffGeneral, 1, 0, "0.25"},
        {1e20L, F::ffGeneral, 15, 4, "1E0020"},           // digits: exponent digits at least
        {1.5e-7L, F::ffGeneral, 15, 2, "1.5E-07"},
        {1e20L, F::ffGeneral, 15, 9, "1E0020"},           // at most 4
        {123.456, F::ffGeneral, 18, 0, "123.456000000000003"},   // the double's own digits
        {123.456, F::ffGeneral, 40, 0, "123.456000000000003"},   // precision at most 18
        {2.5, F::ffGeneral, 2, 0, "2.5"},
        {0.125, F::ffGeneral, 2, 0, "0.13"},              // halves away from zero
        {-0.125, F::ffGeneral, 2, 0, "-0.13"},
        {1000, F::ffExponent, 15, 3, "1.00000000000000E+003"},
        {0, F::ffExponent, 15, 3, "0.00000000000000E+000"},
        {-1.5e-10L, F::ffExponent, 4, 2, "-1.500E-10"},
        {1.5, F::ffExponent, 3, 0, "1.50E+0"},
        {123456, F::ffExponent, 2, 4, "1.2E+0005"},
        {9.96, F::ffExponent, 2, 1, "1.0E+1"},
        {kNaN, F::ffExponent, 15, 3, "NAN"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FloatToStrF(c.v, c.f, c.precision, c.digits), c.text);
    }
}

TEST_F(NumText, FloatToStrFFixedAndNumber)
{
    using F = TFloatFormat;
    struct Case { Extended v; F f; int precision, digits; const char* text; };
    const Case cases[] = {
        {0.125, F::ffFixed, 15, 2, "0.13"},
        {0.5, F::ffFixed, 15, 0, "1"}, {1.5, F::ffFixed, 15, 0, "2"}, {2.5, F::ffFixed, 15, 0, "3"},
        {-2.5, F::ffFixed, 15, 0, "-3"},
        // the binary value decides: 1.005 is 1.00499999999999989...
        {1.005, F::ffFixed, 15, 2, "1.00"}, {0.285, F::ffFixed, 15, 2, "0.28"}, {2.675, F::ffFixed, 15, 2, "2.67"},
        {99.995, F::ffFixed, 15, 2, "100.00"},
        {1.005L, F::ffFixed, 15, 2, "1.01"},
        {0.001, F::ffFixed, 15, 2, "0.00"}, {-0.001, F::ffFixed, 15, 2, "0.00"}, {-0.0L, F::ffFixed, 15, 2, "0.00"},
        {1234567.891, F::ffFixed, 15, 2, "1234567.89"},
        {3, F::ffFixed, 15, 4, "3.0000"},
        {123.456, F::ffFixed, 4, 3, "123.500"},            // precision limits the significant digits
        {12345, F::ffFixed, 4, 2, "1.235E+04"},            // more integer digits than precision
        {1e20L, F::ffFixed, 15, 2, "1.00000000000000E+20"},
        {999999999999999.9L, F::ffFixed, 15, 0, "1.00000000000000E+15"},
        {1e-20L, F::ffFixed, 15, 2, "0.00"},
        {0.1, F::ffFixed, 18, 30, "0.100000000000000006"},  // at most 18 decimals
        {0.1, F::ffFixed, 15, 17, "0.10000000000000000"},
        {1234567.891, F::ffNumber, 15, 2, "1,234,567.89"},
        {-1234567.891, F::ffNumber, 15, 2, "-1,234,567.89"},
        {999.999, F::ffNumber, 15, 2, "1,000.00"},
        {123, F::ffNumber, 15, 0, "123"}, {-123456, F::ffNumber, 15, 0, "-123,456"},
        {-0.5, F::ffNumber, 15, 0, "-1"}, {0.004, F::ffNumber, 15, 2, "0.00"},
        {kInf, F::ffFixed, 15, 2, "INF"}, {-kInf, F::ffNumber, 15, 2, "-INF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FloatToStrF(c.v, c.f, c.precision, c.digits), c.text);
    }
}

TEST_F(NumText, CurrencyFormatsAsNumbered)
{
    const char* const positive[] = {"$1,234.50", "1,234.50$", "$ 1,234.50", "1,234.50 $"};
    const char* const negative[] = {
        "($1,234.50)", "-$1,234.50", "$-1,234.50", "$1,234.50-", "(1,234.50$)", "-1,234.50$",
        "1,234.50-$", "1,234.50$-", "-1,234.50 $", "-$ 1,234.50", "1,234.50 $-", "$ 1,234.50-",
        "$ -1,234.50", "1,234.50- $", "($ 1,234.50)", "(1,234.50 $)"};
    TFormatSettings fs;
    for (uint8_t i = 0; i < 4; ++i) {
        fs.CurrencyFormat = i;
        SCOPED_TRACE(positive[i]);
        EXPECT_EQ(FloatToStrF(1234.5, TFloatFormat::ffCurrency, 15, 2, fs), positive[i]);
    }
    fs.CurrencyFormat = 0;
    for (uint8_t i = 0; i < 16; ++i) {
        fs.NegCurrFormat = i;
        SCOPED_TRACE(negative[i]);
        EXPECT_EQ(FloatToStrF(-1234.5, TFloatFormat::ffCurrency, 15, 2, fs), negative[i]);
    }
    fs.NegCurrFormat = 1;
    fs.CurrencyString = "EUR";
    fs.CurrencyFormat = 3;
    EXPECT_EQ(FloatToStrF(-0.001, TFloatFormat::ffCurrency, 15, 2, fs), "0.00 EUR");   // no negative zero
    EXPECT_EQ(FloatToStrF(2, TFloatFormat::ffCurrency, 15, 0, fs), "2 EUR");
}

TEST_F(NumText, SettingsChangeSeparators)
{
    TFormatSettings fs;
    fs.DecimalSeparator = ',';
    fs.ThousandSeparator = '.';
    EXPECT_EQ(FloatToStr(1.5, fs), "1,5");
    EXPECT_EQ(FloatToStrF(1234567.891, TFloatFormat::ffNumber, 15, 2, fs), "1.234.567,89");
    EXPECT_EQ(FormatFloat("#,##0.00", 1234.5, fs), "1.234,50");
    EXPECT_EQ(Format("%.1f", {2.25}, fs), "2,3");
    // the process-wide settings are what the short forms use
    FormatSettings().DecimalSeparator = ',';
    EXPECT_EQ(FloatToStr(0.5), "0,5");
}

// Our digits must be the exact binary value's: compare with the C library's correctly
// rounded conversion at 18 digits on values whose expansion is never a tie there.
TEST_F(NumText, ExponentDigitsMatchTheCLibrary)
{
    std::mt19937_64 rng(12345);
    std::uniform_real_distribution<double> mant(1.0, 10.0);
    std::uniform_int_distribution<int> common(-400, 400), extreme(-4940, 4930);
    for (int i = 0; i < 1500; ++i) {
        const int ex = i % 3 == 0 ? extreme(rng) : common(rng);
        const Extended v = Extended(mant(rng)) * std::pow(10.0L, Extended(ex)) * (i % 2 ? -1 : 1);
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.17Le", v);
        std::string want(buf);   // -d.ddddddddddddddddde+XXXX
        const size_t e = want.find('e');
        const int exponent = std::stoi(want.substr(e + 1));
        want = want.substr(0, e) + "E" + (exponent < 0 ? "-" : "+") + std::to_string(std::abs(exponent));
        SCOPED_TRACE(want);
        ASSERT_EQ(FloatToStrF(v, TFloatFormat::ffExponent, 18, 1), want);
    }
}

TEST_F(NumText, SingleToStrIsTheShortestTextThatReadsBack)
{
    struct Case { float v; const char* text; };
    const Case cases[] = {
        {20.3f, "20.3"}, {0.1f, "0.1"}, {0.3f, "0.3"}, {1.0f / 3.0f, "0.33333334"}, {100.f, "100"},
        {16777216.f, "16777216"}, {1e10f, "10000000000"}, {123456.79f, "123456.79"},
        {std::numeric_limits<float>::max(), "3.4028235E38"},
        {std::numeric_limits<float>::min(), "1.1754944E-38"},
        {std::numeric_limits<float>::denorm_min(), "1E-45"},
        {-0.0f, "0"}, {-2.5f, "-2.5"}, {0.00001f, "1E-5"},
        {std::numeric_limits<float>::quiet_NaN(), "NAN"}, {-std::numeric_limits<float>::infinity(), "-INF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(SingleToStr(c.v), c.text);
    }
    std::mt19937 rng(7);
    std::uniform_int_distribution<uint32_t> bits(0, 0x7f7fffff);
    for (int i = 0; i < 20000; ++i) {
        uint32_t b = bits(rng);
        float f;
        std::memcpy(&f, &b, sizeof f);
        const std::string s = SingleToStr(f);
        ASSERT_EQ(float(StrToFloat(s)), f) << s;
    }
}

// --- Picture masks -------------------------------------------------------

TEST_F(NumText, FormatFloatMasks)
{
    struct Case { const char* mask; Extended v; const char* text; };
    const Case cases[] = {
        {"0.00", 0.125, "0.13"}, {"0.00", 1.005, "1.00"}, {"0", 0.5, "1"}, {"0", 1.5, "2"}, {"0", 2.5, "3"},
        {"0", -2.5, "-3"}, {"0.00", -0.001, "0.00"},
        {"#,##0.00", 1234567.891, "1,234,567.89"}, {"#,##0.00", -1234.5, "-1,234.50"}, {",0", 1234567, "1,234,567"},
        {"#,##0", 999.5, "1,000"}, {"#,##0", 12, "12"},
        {"#.##", 0.5, ".5"}, {"0.##", 1, "1"}, {"0.##", 1.256, "1.26"}, {"0.0#", 1.5, "1.5"}, {"0.0#", 1, "1.0"},
        {"000", 7, "007"}, {"#", 1234, "1234"}, {"0.0", 1234.56, "1234.6"}, {"#0#", 5, "05"}, {"##", 0, ""},
        {"000-000", 123456, "123-456"}, {"0.00 'kW'", 2.5, "2.50 kW"}, {"'$'0.00", -5, "-$5.00"},
        {"'Gain: '0.00' dB'", 1.5, "Gain: 1.50 dB"}, {"\"x\"0", 5, "x5"}, {"'a;b'0", 5, "a;b5"}, {"0.00.0", 1.5, "1.500"},
        {"0.00", 1e20L, "100000000000000000000.00"}, {"0.00", 1e-20L, "0.00"},
        // scientific
        {"0.00E+00", 12345, "1.23E+04"}, {"0.00E-00", 12345, "1.23E04"}, {"0.00e+0", 0.000123, "1.23e-4"},
        {"0.00E-00", 0.000123, "1.23E-04"}, {"00.0E+0", 12345, "12.3E+3"}, {"0.###E+000", 0, "0E+000"},
        {"0.00E+00", -12345, "-1.23E+04"}, {"0.0E+0", 9.96, "1.0E+1"},
        // sections: positive; negative; zero
        {"0.00;(0.00)", -1.5, "(1.50)"}, {"0.00;(0.00)", 1.5, "1.50"}, {"0.00;(0.00);'zero'", 0, "zero"},
        {"0.00;;'zero'", -1.5, "-1.50"}, {"0.00;;'zero'", 0.001, "zero"}, {"0.00;(0.00);'zero'", -0.001, "zero"},
        {"0.00;(0.00);", 0, "0.00"}, {"0.00;(0.00)", -0.001, "0.00"}, {"#,##0.00;(#,##0.00)", -1234.5, "(1,234.50)"},
        // an empty mask or positive section is general format
        {"", 1.5, "1.5"}, {";0", 1.5, "1.5"},
        {"0.00", kNaN, "NAN"}, {"0.00", -kInf, "-INF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.mask) + " -> " + c.text);
        EXPECT_EQ(FormatFloat(c.mask, c.v), c.text);
    }
}

// --- Format ---------------------------------------------------------------

TEST_F(NumText, FormatEveryType)
{
    struct Case { const char* fmt; std::initializer_list<FormatArg> args; const char* text; };
    const Case cases[] = {
        {"%f", {1.0}, "1.00"}, {"%f", {0.125}, "0.13"}, {"%.3f", {3.14159}, "3.142"}, {"%.0f", {2.5}, "3"},
        {"%8.2f", {3.14159}, "    3.14"}, {"%-8.2f|", {3.14159}, "3.14    |"}, {"%f", {1.5f}, "1.50"},
        {"%d", {42}, "42"}, {"%5d", {-42}, "  -42"}, {"%.5d", {-42}, "-00042"}, {"%-5d|", {42}, "42   |"},
        {"%d", {int64_t(-9223372036854775807LL - 1)}, "-9223372036854775808"}, {"%D", {5}, "5"},
        {"%u", {42u}, "42"}, {"%u", {-1}, "4294967295"},
        {"%x", {255}, "FF"}, {"%.4x", {255}, "00FF"}, {"%x", {-1}, "FFFFFFFF"}, {"%x", {0}, "0"},
        {"%p", {255}, "00000000000000FF"},
        {"%s", {"abc"}, "abc"}, {"%.2s", {"abc"}, "ab"}, {"%5s|", {"ab"}, "   ab|"}, {"%-5s|", {std::string("ab")}, "ab   |"},
        {"%e", {1000.0}, "1.00000000000000E+003"}, {"%.3e", {1234.5}, "1.23E+003"}, {"%e", {-1e-300}, "-1.00000000000000E-300"},
        {"%g", {1e20}, "1E20"}, {"%g", {0.1}, "0.1"}, {"%.3g", {1234.5}, "1.23E3"}, {"%g", {1.0 / 3.0}, "0.333333333333333"},
        {"%n", {1234567.891}, "1,234,567.89"}, {"%.0n", {-1234.5}, "-1,235"},
        {"%m", {-1234.5}, "($1,234.50)"}, {"%.0m", {1234.5}, "$1,235"}, {"%m", {3.0}, "$3.00"},
        {"100%%", {}, "100%"}, {"%s=%d", {"x", 3}, "x=3"},
        {"%1:s %0:s", {"a", "b"}, "b a"}, {"%1:s%s", {"a", "b", "c"}, "bc"},
        {"%*d|", {5, 42}, "   42|"}, {"%-*d|", {5, 42}, "42   |"}, {"%.*f", {1, 2.25}, "2.3"}, {"%*.*f", {6, 1, 2.25}, "   2.3"},
        {"%*d|", {-3, 7}, "7|"}, {"%1:-4d|", {1, 2}, "2   |"}, {"%0:*d|", {3, 9}, "  9|"},
        {"no args", {}, "no args"}, {"%s", {""}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fmt);
        EXPECT_EQ(Format(c.fmt, c.args), c.text);
    }
}

TEST_F(NumText, FormatRejectsMismatchedArguments)
{
    struct Case { const char* fmt; std::initializer_list<FormatArg> args; const char* message; };
    const Case cases[] = {
        {"%d", {1.5}, "Format '%d' invalid or incompatible with argument"},
        {"%x", {"a"}, "Format '%x' invalid or incompatible with argument"},
        {"%f", {1}, "Format '%f' invalid or incompatible with argument"},
        {"%m", {"1"}, "Format '%m' invalid or incompatible with argument"},
        {"%s", {1}, "Format '%s' invalid or incompatible with argument"},
        {"Gain %8.2f dB", {"x"}, "Format 'Gain %8.2f dB' invalid or incompatible with argument"},
        {"%k", {1}, "Format '%k' invalid or incompatible with argument"},
        {"abc %", {}, "Format 'abc %' invalid or incompatible with argument"},
        {"%5.", {1}, "Format '%5.' invalid or incompatible with argument"},
        {"%*d", {1.5, 2}, "Format '%*d' invalid or incompatible with argument"},
        {"%3:d", {1}, "Format '%3:d' invalid or incompatible with argument"},
        {"%999999999d", {1}, "Format '%999999999d' invalid or incompatible with argument"},
        {"%d", {}, "No argument for format '%d'"},
        {"%d %d", {1}, "No argument for format '%d %d'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fmt);
        EXPECT_EQ(ConvertErrorOf([&] { Format(c.fmt, c.args); }), c.message);
    }
}

// --- Reading --------------------------------------------------------------

TEST_F(NumText, StrToIntIsStrict)
{
    struct Case { const char* text; int32_t v; };
    const Case good[] = {
        {"0", 0}, {"123", 123}, {" 123 ", 123}, {"\t42\r\n", 42}, {"-123", -123}, {"+7", 7}, {"007", 7},
        {"$FF", 255}, {"$ff", 255}, {"0x1f", 31}, {"0X1F", 31}, {"-$10", -16},
        {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1}, {"$FFFFFFFF", -1}, {"$80000000", -2147483647 - 1},
    };
    for (const Case& c : good) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(StrToInt(c.text), c.v);
    }
    const char* const bad[] = {"", " ", "abc", "12a", "1.5", "2147483648", "-2147483649", "$", "0x", "-",
                               "$1FFFFFFFF", "1 2", "--1", "+-1", "1e3", "1,000", "0x-1", "$+1", "\xff"};
    for (const char* t : bad) {
        SCOPED_TRACE(t);
        EXPECT_EQ(ConvertErrorOf([&] { StrToInt(t); }), "'" + std::string(t) + "' is not a valid integer value");
        int32_t out = 99;
        EXPECT_FALSE(TryStrToInt(t, out));
        EXPECT_EQ(out, 99);
        EXPECT_EQ(StrToIntDef(t, -7), -7);
    }
    EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
    EXPECT_EQ(StrToInt64(" -9223372036854775808 "), INT64_MIN);
    EXPECT_EQ(StrToInt64("$FFFFFFFFFFFFFFFF"), -1);
    EXPECT_EQ(StrToInt64("4294967296"), 4294967296LL);
    EXPECT_EQ(ConvertErrorOf([] { StrToInt64("9223372036854775808"); }),
              "'9223372036854775808' is not a valid integer value");
    EXPECT_EQ(ConvertErrorOf([] { StrToInt64("$10000000000000000"); }),
              "'$10000000000000000' is not a valid integer value");
}

TEST_F(NumText, StrToFloatIsStrict)
{
    struct Case { const char* text; Extended v; };
    const Case good[] = {
        {"1.5", 1.5}, {" -2.25 ", -2.25}, {"1e3", 1000}, {"1E+3", 1000}, {"1.5e-3", 0.0015L}, {".5", 0.5},
        {"5.", 5}, {"+3", 3}, {"0", 0}, {"-0", 0}, {"0.1", 0.1L}, {"1e-5000", 0}, {"007", 7},
        {"1.18973149535723E4932", 1.18973149535723E4932L},
    };
    for (const Case& c : good) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(StrToFloat(c.text), c.v);
    }
    // read as Extended, not through double
    EXPECT_NE(StrToFloat("0.1"), Extended(0.1));
    const char* const bad[] = {"", " ", "abc", "1,5", "1.2.3", "1e", "e5", ".", "-", "+", "1e+", "NAN", "INF",
                               "0x10", "1 5", "1e5000", "1.5f", "--1", "1e5.5", "$1"};
    for (const char* t : bad) {
        SCOPED_TRACE(t);
        EXPECT_EQ(ConvertErrorOf([&] { StrToFloat(t); }), "'" + std::string(t) + "' is not a valid floating point value");
        Extended out = 99;
        EXPECT_FALSE(TryStrToFloat(t, out));
        EXPECT_EQ(out, 99);
        EXPECT_EQ(StrToFloatDef(t, -7), -7);
    }
    TFormatSettings comma;
    comma.DecimalSeparator = ',';
    EXPECT_EQ(StrToFloat("1,5", comma), 1.5);
    EXPECT_THROW(StrToFloat("1.5", comma), EConvertError);
}

// The C locale's decimal point must not leak into our text either way.
TEST_F(NumText, TextIgnoresTheCLocale)
{
    const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8"};
    const char* chosen = nullptr;
    for (const char* n : names)
        if (std::setlocale(LC_ALL, n)) { chosen = n; break; }
    // Without an installed one, compile the German locale into a temporary folder when
    // the C library's locale compiler and sources are at hand.
    std::filesystem::path tmp;
    if (!chosen && std::filesystem::exists("/usr/share/i18n/locales/de_DE")) {
        tmp = std::filesystem::temp_directory_path() / ("mw_numtext_loc_" + std::to_string(::getpid()));
        std::filesystem::create_directories(tmp);
        const std::string cmd = "localedef -i de_DE -f UTF-8 '" + (tmp / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
        if (std::system(cmd.c_str()) == 0) {
            ::setenv("LOCPATH", tmp.c_str(), 1);
            if (std::setlocale(LC_ALL, "de_DE.UTF-8")) chosen = "de_DE.UTF-8 (compiled)";
        }
    }
    struct Cleanup {
        std::filesystem::path dir;
        ~Cleanup()
        {
            std::setlocale(LC_ALL, "C");
            ::unsetenv("LOCPATH");
            std::error_code ec;
            if (!dir.empty()) std::filesystem::remove_all(dir, ec);
        }
    } cleanup{tmp};
    if (!chosen) GTEST_SKIP() << "no locale with a decimal comma is installed";
    const bool comma = *std::localeconv()->decimal_point == ',';
    const std::string a = FloatToStr(1.5), b = Format("%f|%e|%g", {1.5, 1.5, 1.5}), c = SingleToStr(20.3f);
    const std::string d = FormatFloat("#,##0.00", 1234.5);
    Extended v = 0;
    const bool readPoint = TryStrToFloat("2.5", v);
    Extended w = 0;
    const bool readComma = TryStrToFloat("2,5", w);
    std::setlocale(LC_ALL, "C");
    EXPECT_TRUE(comma) << chosen;
    EXPECT_EQ(a, "1.5");
    EXPECT_EQ(b, "1.50|1.50000000000000E+000|1.5");
    EXPECT_EQ(c, "20.3");
    EXPECT_EQ(d, "1,234.50");
    EXPECT_TRUE(readPoint);
    EXPECT_EQ(v, 2.5);
    EXPECT_FALSE(readComma);
}

// --- Rounding -------------------------------------------------------------

TEST_F(NumText, RoundHalvesToEvenAndFriends)
{
    struct Case { Extended v; int64_t round, trunc, ceil, floor; };
    const Case cases[] = {
        {0.5, 0, 0, 1, 0}, {1.5, 2, 1, 2, 1}, {2.5, 2, 2, 3, 2}, {3.5, 4, 3, 4, 3},
        {-0.5, 0, 0, 0, -1}, {-1.5, -2, -1, -1, -2}, {-2.5, -2, -2, -2, -3},
        {2.4999, 2, 2, 3, 2}, {2.5000001, 3, 2, 3, 2}, {-2.6, -3, -2, -2, -3}, {2.0, 2, 2, 2, 2},
        {1e18L, 1000000000000000000LL, 1000000000000000000LL, 1000000000000000000LL, 1000000000000000000LL},
        {9223372036854775807.0L, INT64_MAX, INT64_MAX, INT64_MAX, INT64_MAX},
        {-9223372036854775808.0L, INT64_MIN, INT64_MIN, INT64_MIN, INT64_MIN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(double(c.v));
        EXPECT_EQ(Round(c.v), c.round);
        EXPECT_EQ(Trunc(c.v), c.trunc);
        EXPECT_EQ(Ceil(c.v), c.ceil);
        EXPECT_EQ(Floor(c.v), c.floor);
    }
    // the FPU's rounding mode does not change the answers
    std::fesetround(FE_UPWARD);
    const int64_t r = Round(2.5), t = Trunc(-2.9);
    const std::string s = FloatToStrF(0.125, TFloatFormat::ffFixed, 15, 2);
    std::fesetround(FE_TONEAREST);
    EXPECT_EQ(r, 2);
    EXPECT_EQ(t, -2);
    EXPECT_EQ(s, "0.13");
}

TEST_F(NumText, RoundingOutsideInt64RaisesRangeError)
{
    const Extended outside[] = {9223372036854775808.0L, -9223372036854775809.0L, 1e19L, -1e300L, kNaN, kInf, -kInf};
    for (Extended v : outside) {
        SCOPED_TRACE(double(v));
        EXPECT_THROW(Round(v), ERangeError);
        EXPECT_THROW(Trunc(v), ERangeError);
        EXPECT_THROW(Ceil(v), ERangeError);
        EXPECT_THROW(Floor(v), ERangeError);
    }
    // a value just below 2^63 that rounds up to it is outside as well
    EXPECT_THROW(Ceil(9223372036854775807.5L), ERangeError);
    try {
        Round(1e30L);
    } catch (const ERangeError& e) {
        EXPECT_EQ(e.Message(), "Invalid floating point operation");
    }
}

// --- Dates ----------------------------------------------------------------

TEST_F(NumText, EncodeDateCountsDaysFrom30December1899)
{
    struct Case { int y, m, d; double days; };
    const Case cases[] = {
        {1899, 12, 30, 0}, {1899, 12, 31, 1}, {1899, 12, 29, -1}, {1900, 1, 1, 2}, {1900, 3, 1, 61},
        {2000, 1, 1, 36526}, {2000, 2, 29, 36585}, {2024, 2, 29, 45351}, {2024, 3, 5, 45356},
        {1, 1, 1, -693593}, {9999, 12, 31, 2958465},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.y) + "-" + std::to_string(c.m) + "-" + std::to_string(c.d));
        EXPECT_EQ(EncodeDate(c.y, c.m, c.d), c.days);
        int y = 0, m = 0, d = 0;
        DecodeDate(c.days, y, m, d);
        EXPECT_EQ(y * 10000 + m * 100 + d, c.y * 10000 + c.m * 100 + c.d);
    }
    struct Bad { int y, m, d; };
    const Bad bad[] = {{2023, 2, 29}, {1900, 2, 29}, {2100, 2, 29}, {0, 1, 1}, {10000, 1, 1}, {2000, 13, 1},
                       {2000, 0, 1}, {2000, 4, 31}, {2000, 1, 0}, {-5, 1, 1}};
    for (const Bad& b : bad) {
        SCOPED_TRACE(std::to_string(b.y) + "-" + std::to_string(b.m) + "-" + std::to_string(b.d));
        EXPECT_EQ(ConvertErrorOf([&] { EncodeDate(b.y, b.m, b.d); }), "Invalid argument to date encode");
    }
}

TEST_F(NumText, DecodeDateAgreesWithTheStandardCalendar)
{
    using namespace std::chrono;
    const sys_days origin = sys_days{1899y / December / 30};
    for (int n = -693593; n <= 2958465; n += 97) {
        const year_month_day ymd{origin + days{n}};
        int y = 0, m = 0, d = 0;
        DecodeDate(n < 0 ? n - 0.75 : n + 0.75, y, m, d);   // the time never moves the day
        ASSERT_EQ(y, int(ymd.year())) << n;
        ASSERT_EQ(m, int(unsigned(ymd.month()))) << n;
        ASSERT_EQ(d, int(unsigned(ymd.day()))) << n;
        ASSERT_EQ(EncodeDate(y, m, d), n);
    }
    int y = 1, m = 1, d = 1;
    DecodeDate(1e9, y, m, d);
    EXPECT_EQ(y + m + d, 0);
    DecodeDate(std::nan(""), y, m, d);
    EXPECT_EQ(y + m + d, 0);
}

TEST_F(NumText, TimesAreTheFractionsMagnitude)
{
    EXPECT_EQ(EncodeTime(12, 0, 0, 0), 0.5);
    EXPECT_EQ(EncodeTime(6, 0, 0, 0), 0.25);
    EXPECT_EQ(EncodeTime(23, 59, 59, 999), 86399999.0 / 86400000.0);
    struct Case { double dt; int y, mo, d, h, n, s, ms; };
    const Case cases[] = {
        {-1.25, 1899, 12, 29, 6, 0, 0, 0}, {-0.5, 1899, 12, 30, 12, 0, 0, 0}, {0.5, 1899, 12, 30, 12, 0, 0, 0},
        {-2.75, 1899, 12, 28, 18, 0, 0, 0}, {36526.5 + 1.0 / 86400000, 2000, 1, 1, 12, 0, 0, 1},
        // a time that rounds up to midnight belongs to the next day
        {1 - 1e-10, 1899, 12, 31, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dt);
        int y, mo, d, h, n, s, ms;
        DecodeDate(c.dt, y, mo, d);
        DecodeTime(c.dt, h, n, s, ms);
        EXPECT_EQ((std::vector<int>{y, mo, d, h, n, s, ms}), (std::vector<int>{c.y, c.mo, c.d, c.h, c.n, c.s, c.ms}));
    }
    const int bad[][4] = {{24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000}, {-1, 0, 0, 0}};
    for (const auto& b : bad)
        EXPECT_EQ(ConvertErrorOf([&] { EncodeTime(b[0], b[1], b[2], b[3]); }), "Invalid argument to time encode");
}

TEST_F(NumText, FormatDateTimeSpecifiers)
{
    const TDateTime dt = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 45);   // a Tuesday
    struct Case { const char* fmt; const char* text; };
    const Case cases[] = {
        {"c", "3/5/2024 2:07:09 PM"}, {"", "3/5/2024 2:07:09 PM"},
        {"d", "5"}, {"dd", "05"}, {"ddd", "Tue"}, {"dddd", "Tuesday"}, {"ddddd", "3/5/2024"},
        {"dddddd", "Tuesday, March 5, 2024"},
        {"m", "3"}, {"mm", "03"}, {"mmm", "Mar"}, {"mmmm", "March"}, {"yy", "24"}, {"yyyy", "2024"},
        {"h", "14"}, {"hh", "14"}, {"n", "7"}, {"nn", "07"}, {"s", "9"}, {"ss", "09"}, {"z", "45"}, {"zzz", "045"},
        {"t", "2:07 PM"}, {"tt", "2:07:09 PM"},
        {"h:nn am/pm", "2:07 pm"}, {"h:nn AM/PM", "2:07 PM"}, {"h:nn A/P", "2:07 P"}, {"h:nn a/p", "2:07 p"},
        {"hh:nn ampm", "02:07 PM"},
        {"hh:mm", "14:07"}, {"h:mm:ss", "14:07:09"}, {"mm/dd/yy", "03/05/24"}, {"yyyy-mm-dd", "2024-03-05"},
        {"DD.MM.YYYY", "05.03.2024"}, {"'Date:' d", "Date: 5"}, {"\"at\" h 'o''clock'", "at 14 oclock"},
        {"dddd d mmmm yyyy, hh:nn:ss.zzz", "Tuesday 5 March 2024, 14:07:09.045"},
        {"x-q", "x-q"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fmt);
        EXPECT_EQ(FormatDateTime(c.fmt, dt), c.text);
    }
    TFormatSettings fs;
    fs.DateSeparator = '.';
    fs.TimeSeparator = '-';
    EXPECT_EQ(FormatDateTime("dd/mm/yyyy hh:nn", dt, fs), "05.03.2024 14-07");
    EXPECT_EQ(FormatDateTime("h ampm", EncodeTime(0, 30, 0, 0)), "12 AM");
    EXPECT_EQ(FormatDateTime("h ampm", EncodeTime(12, 30, 0, 0)), "12 PM");
    EXPECT_EQ(FormatDateTime("yyyy yy", EncodeDate(5, 1, 1)), "0005 05");
}

TEST_F(NumText, DateTextWithThePinnedSettings)
{
    EXPECT_EQ(DateToStr(0), "12/30/1899");
    EXPECT_EQ(DateToStr(EncodeDate(2024, 2, 29) + 0.9), "2/29/2024");
    EXPECT_EQ(TimeToStr(0.75), "6:00:00 PM");
    EXPECT_EQ(TimeToStr(0), "12:00:00 AM");
    EXPECT_EQ(DateTimeToStr(EncodeDate(2000, 1, 1)), "1/1/2000");   // midnight shows no time
    EXPECT_EQ(DateTimeToStr(-1.25), "12/29/1899 6:00:00 AM");
    EXPECT_EQ(DateTimeToStr(EncodeDate(1776, 7, 4) - 0.5), "7/4/1776 12:00:00 PM");
}

TEST_F(NumText, StrToDateReadsTheShortDateFormat)
{
    struct Case { const char* text; double dt; };
    const Case good[] = {
        {"3/5/2024", 45356}, {" 12/30/1899 ", 0}, {"12/29/1899", -1}, {"02/29/2000", 36585}, {"3/5/24", 45356},
    };
    for (const Case& c : good) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(StrToDate(c.text), c.dt);
    }
    const char* const bad[] = {"", "abc", "2/29/2023", "13/1/2024", "3-5-2024", "3/5/2024x", "3/5/", "3/5/2024 1:00"};
    for (const char* t : bad) {
        SCOPED_TRACE(t);
        EXPECT_EQ(ConvertErrorOf([&] { StrToDate(t); }), "'" + std::string(t) + "' is not a valid date");
    }
    FormatSettings().ShortDateFormat = "dd.mm.yyyy";
    FormatSettings().DateSeparator = '.';
    EXPECT_EQ(StrToDate("5.3.2024"), 45356);
}

TEST_F(NumText, StrToDateTimeReadsDateAndTime)
{
    struct Case { const char* text; double dt; };
    const Case good[] = {
        {"3/5/2024 2:07:09 PM", 45356 + EncodeTime(14, 7, 9, 0)}, {"3/5/2024 14:07", 45356 + EncodeTime(14, 7, 0, 0)},
        {"12/29/1899 6:00 AM", -1.25}, {"3/5/2024", 45356}, {"14:07:09", EncodeTime(14, 7, 9, 0)},
        {"3/5/2024 12:00:00 AM", 45356}, {"3/5/2024 12:30 pm", 45356 + EncodeTime(12, 30, 0, 0)},
        {"3/5/2024 6 PM", 45356.75},
    };
    for (const Case& c : good) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(StrToDateTime(c.text), c.dt);
    }
    // a written date-time reads back
    const TDateTime dt = EncodeDate(1850, 6, 1) - EncodeTime(20, 15, 30, 0);
    EXPECT_EQ(StrToDateTime(DateTimeToStr(dt)), dt);
    const char* const bad[] = {"", "3/5/2024 25:00", "3/5/2024 2:07 XM", "3/5/2024 13:00 PM", "3/5/2024x",
                               "3/5/2024 2:7", "3/5/2024 14", "3/5/20241"};
    for (const char* t : bad) {
        SCOPED_TRACE(t);
        EXPECT_EQ(ConvertErrorOf([&] { StrToDateTime(t); }), "'" + std::string(t) + "' is not a valid date and time");
    }
}

TEST_F(NumText, NowIsTheLocalClock)
{
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    const TDateTime now = Now();
    int y, m, d, h, n, s, ms;
    DecodeDate(now, y, m, d);
    DecodeTime(now, h, n, s, ms);
    // within a minute of the C library's local time
    const double diff = std::fabs((EncodeDate(y, m, d) + EncodeTime(h, n, s, 0)) -
                                  (EncodeDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday) +
                                   EncodeTime(tm.tm_hour, tm.tm_min, std::min(tm.tm_sec, 59), 0)));
    EXPECT_LT(diff, 60.0 / 86400);
    EXPECT_LE(Date(), now);
    EXPECT_GT(Date() + 1, now);
    EXPECT_GE(Time(), 0);
    EXPECT_LT(Time(), 1);
}
