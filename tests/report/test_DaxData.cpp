// Typed values: the conversion table of every class, the accumulator, formatting, units
// and the name utilities.
#include "report/DaxFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

namespace {

// Number text follows the process-wide settings; every test here pins them.
class DaxDataTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = FormatSettings();
        FormatSettings() = TFormatSettings{};
    }
    void TearDown() override { FormatSettings() = saved_; }
    TFormatSettings saved_;
};

enum class Expect { ok, abstract, convert, plain, range, cast };

const char* Name(Expect e)
{
    switch (e) {
    case Expect::ok: return "ok";
    case Expect::abstract: return "Abstract Error";
    case Expect::convert: return "EConvertError";
    case Expect::plain: return "Exception";
    case Expect::range: return "ERangeError";
    case Expect::cast: return "EInvalidCast";
    }
    return "?";
}

Expect Outcome(const std::function<void()>& f, std::string* message = nullptr)
{
    try {
        f();
        return Expect::ok;
    } catch (const EAbstractError& e) {
        if (message) *message = e.what();
        return Expect::abstract;
    } catch (const EConvertError& e) {
        if (message) *message = e.what();
        return Expect::convert;
    } catch (const ERangeError& e) {
        if (message) *message = e.what();
        return Expect::range;
    } catch (const EInvalidCast& e) {
        if (message) *message = e.what();
        return Expect::cast;
    } catch (const Exception& e) {
        if (message) *message = e.what();
        return Expect::plain;
    }
}

// Which operations each class lacks: every cell of the table that must raise
// "Abstract Error", and every cell that must not.
TEST_F(DaxDataTest, EachClassHasExactlyTheOperationsOfTheTable)
{
    enum Op { gStr, gInt, gFlt, gDT, gBool, gStream, gStrings, sStr, sInt, sFlt, sDT, sBool, sStream, sStrings, kOps };
    const char* opNames[] = {"AsString get", "AsInteger get", "AsFloat get", "AsDateTime get", "AsBoolean get",
                             "AsStream get", "AsStrings get", "AsString set", "AsInteger set", "AsFloat set",
                             "AsDateTime set", "AsBoolean set", "AsStream set", "AsStrings set"};
    // 1 = implemented, 0 = "Abstract Error". Blob, graphic: AsString get raises its own
    // message (a plain exception), not the abstract one; so do AsStrings get through it.
    struct Row { TDaxDataTypes type; int cells[kOps]; };
    const Row rows[] = {
        //                 gS gI gF gD gB gSt gSs sS sI sF sD sB sSt sSs
        {dtypeString,   {1, 1, 1, 1, 1, 1, 1,  1, 1, 1, 1, 1, 0, 0}},
        {dtypeInteger,  {1, 1, 1, 0, 1, 1, 1,  1, 1, 1, 0, 1, 0, 0}},
        {dtypeFloat,    {1, 1, 1, 0, 1, 1, 1,  1, 1, 1, 0, 1, 0, 0}},
        {dtypeDateTime, {1, 0, 1, 1, 1, 1, 1,  1, 0, 1, 1, 0, 0, 0}},
        {dtypeBoolean,  {1, 1, 1, 0, 1, 1, 1,  1, 1, 1, 0, 1, 0, 0}},
        {dtypeBlob,     {2, 0, 1, 0, 1, 1, 2,  1, 0, 0, 0, 0, 1, 0}},
        {dtypeGraphic,  {2, 0, 1, 0, 1, 1, 2,  1, 0, 0, 0, 0, 1, 0}},
        {dtypeUnknown,  {1, 0, 1, 0, 1, 1, 1,  1, 0, 0, 0, 0, 1, 0}},
        {dtypeMemo,     {1, 0, 1, 0, 1, 1, 1,  1, 0, 0, 0, 0, 1, 1}},
    };
    for (const auto& r : rows) {
        for (int op = 0; op < kOps; ++op) {
            SCOPED_TRACE(std::string("type ") + std::to_string(r.type) + ", " + opNames[op]);
            auto v = TDaxData::New(r.type);
            if (r.type == dtypeString) v->SetAsString(op == gDT ? "1/2/2020" : "1");   // parses
            TMemoryStream src;
            src.WriteString("xy");
            TStringList lines;
            lines.Add("a");
            const std::function<void()> calls[kOps] = {
                [&] { v->AsString(); }, [&] { v->AsInteger(); }, [&] { v->AsFloat(); },
                [&] { v->AsDateTime(); }, [&] { v->AsBoolean(); }, [&] { v->AsStream(); },
                [&] { v->AsStrings(); }, [&] { v->SetAsString(r.type == dtypeDateTime ? "1/2/2020" : "1"); }, [&] { v->SetAsInteger(1); },
                [&] { v->SetAsFloat(1); }, [&] { v->SetAsDateTime(1); }, [&] { v->SetAsBoolean(true); },
                [&] { v->SetAsStream(src); }, [&] { v->SetAsStrings(lines); }};
            std::string msg;
            const Expect got = Outcome(calls[op], &msg);
            const Expect want = r.cells[op] == 1 ? Expect::ok : r.cells[op] == 0 ? Expect::abstract : Expect::plain;
            EXPECT_EQ(got, want) << Name(got) << " " << msg;
            if (want == Expect::abstract) {
                EXPECT_EQ(msg, "Abstract Error");
            }
            if (want == Expect::plain) {
                EXPECT_EQ(msg, "I am not allowing blob or graphic value AsString.");
            }
        }
    }
}

TEST_F(DaxDataTest, ConversionsFollowTheRules)
{
    struct Case {
        const char* what;
        std::function<std::string()> got;
        std::string want;
    };
    auto str = [](const char* s) { auto v = std::make_unique<TDaxString>(); v->Text = s; return v; };
    const Case cases[] = {
        {"string 'yes' as Boolean", [&] { return std::to_string(str("yes")->AsBoolean()); }, "1"},
        {"string 'Tx' as Boolean", [&] { return std::to_string(str("Tx")->AsBoolean()); }, "1"},
        {"string 'no' as Boolean", [&] { return std::to_string(str("no")->AsBoolean()); }, "0"},
        {"empty string as Boolean", [&] { return std::to_string(str("")->AsBoolean()); }, "0"},
        {"string 'abc' as float", [&] { return std::to_string(str("abc")->AsFloat()); }, std::to_string(0.0)},
        {"string ' 42 ' as integer", [&] { return std::to_string(str(" 42 ")->AsInteger()); }, "42"},
        {"string from Boolean", [&] { auto v = str(""); v->SetAsBoolean(false); return v->Text; }, "False"},
        {"string from integer", [&] { auto v = str(""); v->SetAsInteger(-17); return v->Text; }, "-17"},
        {"string from float", [&] { auto v = str(""); v->SetAsFloat(2.5); return v->Text; }, "2.5"},
        {"string from float, 15 digits", [&] { auto v = str(""); v->SetAsFloat(2.0 / 3); return v->Text; }, "0.666666666666667"},
        {"string from date-time: the date part",
         [&] { auto v = str(""); v->SetAsDateTime(45000.75); return v->Text; }, "3/15/2023"},
        {"string as date-time (month first)", [&] { return std::to_string(str("1/2/2020")->AsDateTime()); },
         std::to_string(43832.0)},
        {"string with a time as date-time", [&] { return std::to_string(str("3/15/2023 6:00 PM")->AsDateTime()); },
         std::to_string(45000.75)},
        {"Boolean set 'TRUE'", [&] { TDaxBoolean b; b.SetAsString("TRUE"); return b.AsString(); }, "True"},
        {"Boolean set 'Yes'", [&] { TDaxBoolean b; b.Value = true; b.SetAsString("Yes"); return b.AsString(); }, "False"},
        {"Boolean as integer", [&] { TDaxBoolean b; b.Value = true; return std::to_string(b.AsInteger()); }, "1"},
        {"Boolean from float 0.5", [&] { TDaxBoolean b; b.SetAsFloat(0.5); return b.AsString(); }, "True"},
        {"integer from float 2.9", [&] { TDaxInteger i; i.SetAsFloat(2.9); return i.AsString(); }, "2"},
        {"integer from float -2.9", [&] { TDaxInteger i; i.SetAsFloat(-2.9); return i.AsString(); }, "-2"},
        {"integer as Boolean", [&] { TDaxInteger i; i.Value = -3; return std::to_string(i.AsBoolean()); }, "1"},
        {"float 2.9 as integer", [&] { TDaxFloat f; f.SetAsFloat(2.9); return std::to_string(f.AsInteger()); }, "2"},
        {"float -2.9 as integer", [&] { TDaxFloat f; f.SetAsFloat(-2.9); return std::to_string(f.AsInteger()); }, "-2"},
        {"float text", [&] { TDaxFloat f; f.SetAsFloat(0.1); return f.AsString(); }, "0.1"},
        {"float text of the last value", [&] { TDaxFloat f; f.SetAsFloat(-7); f.SetAsFloat(1234.5); return f.AsString(); }, "1234.5"},
        {"float text, 16 integer digits", [&] { TDaxFloat f; f.SetAsFloat(1e15); return f.AsString(); }, "1E15"},
        {"float text of the sum", [&] { TDaxFloat f; f.SetAsFloat(0.5); f.SetAsFloat(0.25); f.TotalType = ttSum; return f.AsString(); }, "0.75"},
        {"float from Boolean", [&] { TDaxFloat f; f.SetAsBoolean(true); return std::to_string(f.AsFloat()); }, std::to_string(1.0)},
        {"date-time 0 prints empty", [&] { TDaxDateTime d; return d.AsString(); }, ""},
        {"null date-time prints empty", [&] { TDaxDateTime d; d.Value = 45000; d.IsNull = true; return d.AsString(); }, ""},
        {"date-time prints its date", [&] { TDaxDateTime d; d.Value = 45000.5; return d.AsString(); }, "3/15/2023"},
        {"date-time before 1900", [&] { TDaxDateTime d; d.Value = -1.25; return d.AsString(); }, "12/29/1899"},
        {"date-time as Boolean", [&] { TDaxDateTime d; d.Value = 5; return std::to_string(d.AsBoolean()); }, "0"},
        {"unknown as text", [&] { TDaxUnknown u; return u.AsString(); }, "Unknown type, check to see if field exists."},
        {"blob as float", [&] { TDaxBlob b; b.SetAsString("12"); return std::to_string(b.AsFloat()); }, std::to_string(0.0)},
        {"memo as text", [&] { TDaxMemo m; m.SetAsString("a\r\nb"); return m.AsString(); }, "a\r\nb"},
        {"memo lines", [&] { TDaxMemo m; m.SetAsString("a\nb\rc"); auto& l = m.AsStrings(); return std::to_string(l.Count()) + l[2]; }, "3c"},
        {"memo from lines", [&] { TDaxMemo m; TStringList l; l.Add("x"); l.Add("y"); m.SetAsStrings(l); return m.AsString(); }, "x\r\ny\r\n"},
        {"memo from its own lines", [&] { TDaxMemo m; m.SetAsString("p\r\nq"); m.SetAsStrings(m.AsStrings()); return m.AsString(); }, "p\r\nq\r\n"},
        {"base stream holds the text", [&] { TDaxInteger i; i.Value = 123; auto& s = i.AsStream(); std::string t(size_t(s.Size()), ' '); s.ReadBuffer(t.data(), s.Size()); return t; }, "123"},
        {"base lines hold the text", [&] { TDaxBoolean b; auto& l = b.AsStrings(); return std::to_string(l.Count()) + l[0]; }, "1False"},
        {"blob stream at 0", [&] { TDaxBlob b; b.SetAsString("abc"); b.Stream.Seek(0, TSeekOrigin::soEnd); return std::to_string(b.AsStream().Position()); }, "0"},
        {"blob from empty string", [&] { TDaxBlob b; b.SetAsString("abc"); b.SetAsString(""); return std::to_string(b.Stream.Size()); }, "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.got(), c.want);
    }
}

TEST_F(DaxDataTest, BadTextAndOverflowRaiseTheRuntimeErrorsAndLeaveTheValue)
{
    struct Case {
        const char* what;
        std::function<void()> call;
        Expect want;
        std::string message;   // "" when not checked
    };
    TDaxString s;
    TDaxInteger i;
    TDaxFloat f;
    const Case cases[] = {
        {"string 'abc' as integer", [&] { s.Text = "abc"; s.AsInteger(); }, Expect::convert, "'abc' is not a valid integer value"},
        {"integer set 'x1'", [&] { i.SetAsString("x1"); }, Expect::convert, "'x1' is not a valid integer value"},
        {"float set 'abc'", [&] { f.SetAsString("abc"); }, Expect::convert, ""},
        {"integer from 3e9", [&] { i.SetAsFloat(3e9); }, Expect::range, "Range check error"},
        {"integer from -3e9", [&] { i.SetAsFloat(-3e9); }, Expect::range, ""},
        {"float 1e12 as integer", [&] { TDaxFloat g; g.SetAsFloat(1e12); g.AsInteger(); }, Expect::range, ""},
        {"float assigned from a string", [&] { TDaxFloat g; g.AssignData(s); }, Expect::cast, "Invalid class typecast"},
        {"blob assigned from an integer", [&] { TDaxBlob b; b.AssignData(i); }, Expect::cast, ""},
        {"integer native from text", [&] { i.SetNative(std::string("5")); }, Expect::cast, ""},
        {"string native from int", [&] { s.SetNative(int32_t(5)); }, Expect::cast, ""},
        {"float native from Boolean", [&] { f.SetNative(true); }, Expect::cast, ""},
    };
    i.Value = 7;
    f.SetAsFloat(4);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string msg;
        EXPECT_EQ(Outcome(c.call, &msg), c.want) << msg;
        if (!c.message.empty()) {
            EXPECT_EQ(msg, c.message);
        }
    }
    EXPECT_EQ(i.Value, 7);
    EXPECT_EQ(f.Calc().Count, 1);
    EXPECT_EQ(f.Calc().Sum, 4);
}

TEST_F(DaxDataTest, AssignDataCopiesTheValueAndTheNullFlag)
{
    TDaxFloat a;
    for (double x : {3.0, 1.0, 2.0}) a.SetAsFloat(x);
    a.IsNull = true;
    a.TotalType = ttSum;
    TDaxFloat b;
    b.TotalType = ttMax;
    b.AssignData(a);
    EXPECT_TRUE(b.IsNull);
    EXPECT_EQ(b.TotalType, ttMax);   // the total type stays
    EXPECT_EQ(b.Calc().Count, 3);
    EXPECT_EQ(b.ReadTotal(), 3.0);

    TDaxInteger i;
    i.Value = 12;
    TDaxString s;
    s.AssignData(i);
    EXPECT_EQ(s.Text, "12");
    EXPECT_FALSE(s.IsNull);

    TDaxMemo m;
    m.SetAsString("bytes");
    TDaxGraphic g;
    g.AssignData(m);
    EXPECT_EQ(g.Stream.Size(), 5);

    TMemoryStream src;
    src.WriteString("whole");   // positioned at the end: the whole content is taken
    TDaxBlob blob;
    blob.SetNative(&src);
    EXPECT_EQ(blob.Stream.Size(), 5);
    blob.Clear();
    EXPECT_EQ(blob.Stream.Size(), 0);
}

TEST_F(DaxDataTest, AccumulatorReadsByTotalType)
{
    struct Step { double x; };
    struct Case {
        std::vector<double> posted;
        double value, sum, count, max, min, average;
    };
    const Case cases[] = {
        {{3, 1, 2}, 2, 6, 3, 3, 1, 2},
        {{-5}, -5, -5, 1, -5, -5, -5},        // the first value sets both ends
        {{-1, -7, -3}, -3, -11, 3, -1, -7, -11.0 / 3},
        {{}, 0, 0, 0, 0, 0, 0},                // an empty accumulator averages 0
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.posted));
        TDaxFloat f;
        f.SetAsFloat(99);   // earlier contents, then cleared
        f.Clear();
        for (double x : c.posted) f.SetAsFloat(x);
        const std::pair<TDaxTotalType, double> reads[] = {{ttValue, c.value}, {ttSum, c.sum}, {ttCount, c.count},
                                                          {ttMax, c.max}, {ttMin, c.min}, {ttAverage, c.average}};
        for (const auto& [tt, want] : reads) {
            f.TotalType = tt;
            EXPECT_DOUBLE_EQ(f.AsFloat(), want) << "total type " << int(tt);
        }
        f.TotalType = static_cast<TDaxTotalType>(9);
        EXPECT_EQ(f.ReadTotal(), 0.0);
    }
    // Every setter posts; text that does not parse posts nothing.
    TDaxFloat g;
    g.SetAsInteger(2);
    g.SetAsBoolean(true);
    g.SetNative(4.0);
    g.SetAsString("8");
    g.TotalType = ttSum;
    EXPECT_EQ(g.AsFloat(), 15);
    EXPECT_THROW(g.SetAsString("8x"), EConvertError);
    EXPECT_EQ(g.Calc().Count, 4);
}

TEST_F(DaxDataTest, FormatValueChoosesTheRoutineByTypeAndFormat)
{
    TDaxFloatFormat totals;
    TDaxFormat plain;
    EXPECT_EQ(totals.FloatFormat(), TFloatFormat::ffNumber);
    EXPECT_EQ(totals.Digits(), 2);
    EXPECT_EQ(totals.Width(), 15);
    EXPECT_EQ(plain.FloatFormat(), TFloatFormat::ffGeneral);
    EXPECT_EQ(plain.Digits(), 0);

    struct Case {
        const char* what;
        std::function<std::string()> got;
        std::string want;
    };
    auto flt = [](double x) { auto v = std::make_unique<TDaxFloat>(); v->SetAsFloat(x); return v; };
    auto boolean = [](bool b) { auto v = std::make_unique<TDaxBoolean>(); v->Value = b; return v; };
    const Case cases[] = {
        // One thousand two hundred and thirty-four and a half: number form, precision 15,
        // two decimals, thousands separators.
        {"total format defaults", [&] { return totals.FormatValue(*flt(1234.5)); }, "1,234.50"},
        {"total format, negative millions", [&] { return totals.FormatValue(*flt(-1234567.891)); }, "-1,234,567.89"},
        {"total format rounds half away from zero", [&] { return totals.FormatValue(*flt(0.125)); }, "0.13"},
        {"total format of an integer", [&] { TDaxInteger i; i.Value = 1000000; return totals.FormatValue(i); }, "1,000,000.00"},
        {"variable format defaults", [&] { return plain.FormatValue(*flt(1234.5)); }, "1234.5"},
        {"variable format, 15 significant digits", [&] { return plain.FormatValue(*flt(1.0 / 3)); }, "0.333333333333333"},
        {"variable format of an integer", [&] { TDaxInteger i; i.Value = -42; return plain.FormatValue(i); }, "-42"},
        {"integer through the float form", [&] { TDaxInteger i; i.Value = 7; TDaxFormat f; f.SetFloatFormat(TFloatFormat::ffFixed); f.SetDigits(3); return f.FormatValue(i); },
         "7.000"},
        {"Width is the precision, not a field width", [&] { TDaxFloatFormat f; f.SetWidth(4); return f.FormatValue(*flt(1234.5)); }, "1,235.00"},
        {"exponent form, Digits the least exponent digits", [&] { TDaxFormat f; f.SetFloatFormat(TFloatFormat::ffExponent); f.SetWidth(4); f.SetDigits(3); return f.FormatValue(*flt(1234.5)); },
         "1.235E+003"},
        {"currency with the locale's decimals", [&] { TDaxFormat f; f.SetFloatFormat(TFloatFormat::ffCurrency); f.SetUseCurrencyDecimals(true); f.SetDigits(5); return f.FormatValue(*flt(3.25)); },
         "$3.25"},
        {"currency with its own digits", [&] { TDaxFormat f; f.SetFloatFormat(TFloatFormat::ffCurrency); f.SetDigits(4); return f.FormatValue(*flt(3.25)); },
         "$3.2500"},
        {"negative currency in brackets", [&] { TDaxFloatFormat f; f.SetFloatFormat(TFloatFormat::ffCurrency); return f.FormatValue(*flt(-1234.5)); },
         "($1,234.50)"},
        {"currency decimals only for the currency form", [&] { TDaxFormat f; f.SetFloatFormat(TFloatFormat::ffFixed); f.SetUseCurrencyDecimals(true); f.SetDigits(4); return f.FormatValue(*flt(3.25)); },
         "3.2500"},
        {"picture over the float form", [&] { TDaxFloatFormat f; f.SetDisplayFormat("0.000"); return f.FormatValue(*flt(2)); }, "2.000"},
        {"picture over the currency decimals", [&] { TDaxFormat f; f.SetFloatFormat(TFloatFormat::ffCurrency); f.SetUseCurrencyDecimals(true); f.SetDisplayFormat("#,##0.0"); return f.FormatValue(*flt(1234.56)); },
         "1,234.6"},
        {"picture, negative section", [&] { TDaxFloatFormat f; f.SetDisplayFormat("#,##0.00;(#,##0.00);'nil'"); return f.FormatValue(*flt(-1234.5)); }, "(1,234.50)"},
        {"picture, zero section", [&] { TDaxFloatFormat f; f.SetDisplayFormat("#,##0.00;(#,##0.00);'nil'"); return f.FormatValue(*flt(0)); }, "nil"},
        {"picture on an integer", [&] { TDaxInteger i; i.Value = 1234567; TDaxFormat f; f.SetDisplayFormat("#,##0"); return f.FormatValue(i); }, "1,234,567"},
        {"blank picture is no picture", [&] { TDaxFormat f; f.SetDisplayFormat("   "); f.SetWidth(4); return f.FormatValue(*flt(2.5)); }, "2.5"},
        {"case after the number form", [&] { TDaxFormat f; f.SetFloatFormat(TFloatFormat::ffExponent); f.SetWidth(3); f.SetTextCase(tcLower); return f.FormatValue(*flt(1234.5)); },
         "1.23e+3"},
        {"Boolean Yes;No true", [&] { TDaxFormat f; f.SetDisplayFormat("Yes;No"); return f.FormatValue(*boolean(true)); }, "Yes"},
        {"Boolean Yes;No false", [&] { TDaxFormat f; f.SetDisplayFormat("Yes;No"); return f.FormatValue(*boolean(false)); }, "No"},
        {"Boolean Done true", [&] { TDaxFormat f; f.SetDisplayFormat("Done"); return f.FormatValue(*boolean(true)); }, "Done"},
        {"Boolean Done false", [&] { TDaxFormat f; f.SetDisplayFormat("Done"); return f.FormatValue(*boolean(false)); }, ""},
        {"Boolean false text cut to 255", [&] { TDaxFormat f; f.SetDisplayFormat("y;" + std::string(300, 'n')); return std::to_string(f.FormatValue(*boolean(false)).size()); }, "255"},
        {"Boolean plain", [&] { TDaxFormat f; return f.FormatValue(*boolean(true)); }, "True"},
        {"date-time picture", [&] { TDaxDateTime d; d.Value = 45000.25; TDaxFormat f; f.SetDisplayFormat("yyyy-mm-dd hh:nn"); return f.FormatValue(d); },
         "2023-03-15 06:00"},
        {"date-time picture, then upper case", [&] { TDaxDateTime d; d.Value = 45000.75; TDaxFormat f; f.SetDisplayFormat("mmm d, yyyy h:nn am/pm"); f.SetTextCase(tcUpper); return f.FormatValue(d); },
         "MAR 15, 2023 6:00 PM"},
        {"date-time without a picture: the date only", [&] { TDaxDateTime d; d.Value = 45000.75; TDaxFormat f; return f.FormatValue(d); }, "3/15/2023"},
        {"date-time zero", [&] { TDaxDateTime d; TDaxFormat f; return f.FormatValue(d); }, ""},
        {"string mask", [&] { TDaxString s; s.Text = "5551234"; TDaxFormat f; f.SetDisplayFormat("000-0000;0;_"); return f.FormatValue(s); }, "555-1234"},
        {"upper case", [&] { TDaxString s; s.Text = "MixEd"; TDaxFormat f; f.SetTextCase(tcUpper); return f.FormatValue(s); }, "MIXED"},
        {"lower case", [&] { TDaxString s; s.Text = "MixEd"; TDaxFormat f; f.SetTextCase(tcLower); return f.FormatValue(s); }, "mixed"},
        {"suppressed null, even with a picture", [&] { TDaxFormat f; f.SetSuppressNulls(true); f.SetDisplayFormat("0.00"); auto v = flt(3); v->IsNull = true; return f.FormatValue(*v); }, ""},
        {"null shown when not suppressed", [&] { TDaxString s; s.Text = "n"; s.IsNull = true; TDaxFormat f; return f.FormatValue(s); }, "n"},
        {"memo through its text", [&] { TDaxMemo m; m.SetAsString("memo"); TDaxFormat f; f.SetTextCase(tcUpper); return f.FormatValue(m); }, "MEMO"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.got(), c.want);
    }
    TDaxBlob blob;
    TDaxFormat f;
    EXPECT_THROW(f.FormatValue(blob), Exception);

    TDaxString s;
    s.Text = "streamed";
    TMemoryStream& out = f.FormatToStream(s);
    EXPECT_EQ(&out, &f.FormatToStream(s));   // the format keeps its one stream
    EXPECT_EQ(out.Position(), 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(out.Memory()), size_t(out.Size())), "streamed");
}

// Values and formats read the process-wide settings at the moment they print.
TEST_F(DaxDataTest, TextFollowsTheProcessSettings)
{
    TFormatSettings& fs = FormatSettings();
    fs.DecimalSeparator = ',';
    fs.ThousandSeparator = '.';
    fs.CurrencyString = "EUR";
    fs.CurrencyFormat = 3;   // "1 $"
    fs.CurrencyDecimals = 0;
    fs.DateSeparator = '.';
    fs.ShortDateFormat = "dd/mm/yyyy";

    struct Case {
        const char* what;
        std::function<std::string()> got;
        std::string want;
    };
    auto flt = [](double x) { auto v = std::make_unique<TDaxFloat>(); v->SetAsFloat(x); return v; };
    const Case cases[] = {
        {"float text", [&] { return flt(0.1)->AsString(); }, "0,1"},
        {"float parse", [&] { TDaxFloat f; f.SetAsString("2,5"); return std::to_string(f.AsFloat()); }, std::to_string(2.5)},
        {"string to float", [&] { TDaxString t; t.Text = "1,75"; return std::to_string(t.AsFloat()); }, std::to_string(1.75)},
        {"date text", [&] { TDaxDateTime d; d.Value = 45000.75; return d.AsString(); }, "15.03.2023"},
        {"date parse, day first", [&] { TDaxString t; t.Text = "2.1.2020"; return std::to_string(t.AsDateTime()); }, std::to_string(43832.0)},
        {"total format", [&] { TDaxFloatFormat f; return f.FormatValue(*flt(1234.5)); }, "1.234,50"},
        {"currency with the locale's decimals", [&] { TDaxFloatFormat f; f.SetFloatFormat(TFloatFormat::ffCurrency); f.SetUseCurrencyDecimals(true); return f.FormatValue(*flt(1234.5)); },
         "1.235 EUR"},   // halves away from zero
        {"currency with its own digits", [&] { TDaxFloatFormat f; f.SetFloatFormat(TFloatFormat::ffCurrency); return f.FormatValue(*flt(1234.5)); }, "1.234,50 EUR"},
        {"picture", [&] { TDaxFormat f; f.SetDisplayFormat("#,##0.000"); return f.FormatValue(*flt(9876.5)); }, "9.876,500"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.got(), c.want);
    }
}

TEST_F(DaxDataTest, FormatSettersNotifyTheOwnerOnlyOnChange)
{
    struct Label : TDaxComponent {
        int repaints = 0;
        void Invalidate() override { ++repaints; }
    } label;
    TDaxFormat f(&label);
    f.SetWidth(15);
    f.SetDisplayFormat("");
    f.SetTextCase(tcNone);
    EXPECT_EQ(label.repaints, 0);
    f.SetWidth(10);
    f.SetDisplayFormat("0.0");
    f.SetSuppressNulls(true);
    f.SetSuppressNulls(true);
    EXPECT_EQ(label.repaints, 3);
}

TEST_F(DaxDataTest, EditMasks)
{
    const TFormatSettings fs;
    struct Case { const char* mask; const char* text; const char* want; };
    const Case cases[] = {
        {"(000) 000-0000;0;_", "5551234567", "(555) 123-4567"},
        {"(000) 000-0000;1;_", "(555) 123-4567", "(555) 123-4567"},
        {"(000) 000-0000;0;_", "555", "(555) ___-____"},
        {">LL-000;0", "ab123", "AB-123"},
        {"<LL\\>;0", "AB", "ab>"},
        {"00/00;0", "1231", "12/31"},
        {"00:00;0", "0930", "09:30"},
        {"", "anything", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mask);
        EXPECT_EQ(FormatMaskText(c.mask, c.text, fs), c.want);
    }
}

TEST_F(DaxDataTest, UnitConversions)
{
    const TDaxUnitMaster u;
    struct Case {
        const char* what;
        double got, want;
    };
    const auto bad = static_cast<TDaxUnits>(3);
    const Case cases[] = {
        {"FromMillimeters inches 25.4", u.FromMillimeters(unitInches, 25.4), 1.0},
        {"FromMillimeters cm 25", u.FromMillimeters(unitCentiMeters, 25), 2.5},
        {"FromCentimeters mm 2", u.FromCentimeters(unitMiliMeters, 2), 20},
        {"FromCentimeters inches 2.54", u.FromCentimeters(unitInches, 2.54), 1.0},
        {"FromInches mm 0.5", u.FromInches(unitMiliMeters, 0.5), 12.7},
        {"FromInches cm 1", u.FromInches(unitCentiMeters, 1), 2.54},
        {"ToInches mm 297", u.ToInches(unitMiliMeters, 297), 11.692913385826772},
        {"ToInches cm 21", u.ToInches(unitCentiMeters, 21), 8.267716535433072},
        {"ToMillimeters inches 2", u.ToMillimeters(unitInches, 2), 50.8},
        {"ToMillimeters cm 3", u.ToMillimeters(unitCentiMeters, 3), 30},
        {"ToCentimeters mm 15", u.ToCentimeters(unitMiliMeters, 15), 1.5},
        {"ToCentimeters inches 1", u.ToCentimeters(unitInches, 1), 2.54},
        {"same unit", u.ToInches(unitInches, 7.25), 7.25},
        {"unknown unit To", u.ToMillimeters(bad, 5), 0},
        {"unknown unit From", u.FromInches(bad, 5), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_NEAR(c.got, c.want, 1e-12);
    }
}

TEST_F(DaxDataTest, NameUtilities)
{
    struct Case { const char* in; bool strip; const char* want; };
    const Case valid[] = {
        {"TDaxExprVar", true, "ExprVar"}, {"TLabel", true, "Label"}, {"tdaxBand", true, "Band"},
        {"TDAX", true, "DAX"}, {"T", true, "T"}, {"Label", true, "Label"},
        {"9 lives", false, "__lives"}, {"a-b.c", false, "a_b_c"}, {"", false, ""}, {"TDaxExprVar", false, "TDaxExprVar"},
    };
    for (const auto& c : valid) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(MakeValidName(c.in, c.strip), c.want);
    }
    EXPECT_TRUE(IsBlank(""));
    EXPECT_TRUE(IsBlank("   "));
    EXPECT_FALSE(IsBlank(" \t"));
    EXPECT_EQ(TrimTrailingSpaces("  a b  "), "  a b");

    TDaxComponent owner;
    auto* a = new TDaxComponent(&owner);
    auto* b = new TDaxComponent(&owner);
    auto* c = new TDaxComponent(&owner);
    EXPECT_TRUE(SetUniqueName(*a, "Total", false));
    EXPECT_TRUE(SetUniqueName(*b, "Total", false));
    EXPECT_TRUE(SetUniqueName(*c, "Total", false));
    EXPECT_EQ(a->Name(), "Total");
    EXPECT_EQ(b->Name(), "Total1");
    EXPECT_EQ(c->Name(), "Total2");
    EXPECT_FALSE(TrySetName(*c, "Total"));   // taken within the owner
    EXPECT_FALSE(TrySetName(*c, "1x"));
    EXPECT_FALSE(TrySetName(*c, "  "));
    EXPECT_EQ(c->Name(), "Total2");
    EXPECT_FALSE(SetUniqueName(*c, "", false));
    EXPECT_TRUE(SetUniqueName(*c, "TDaxTotalvar", true));
    EXPECT_EQ(c->Name(), "Totalvar");
}

} // namespace
