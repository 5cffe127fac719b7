#include "DaxData.h"

#include "DaxFormat.h"

#include <cmath>

namespace {

[[noreturn]] void InvalidCast() { throw EInvalidCast("Invalid class typecast"); }

// Float to 32-bit integer, toward zero; a value outside the range is a range error rather
// than a wrapped number.
int32_t TruncToInt32(double v)
{
    if (!std::isfinite(v)) throw EInvalidOperation("Invalid floating point operation");
    const double t = std::trunc(v);
    if (t < -2147483648.0 || t > 2147483647.0) throw ERangeError("Range check error");
    return static_cast<int32_t>(t);
}

template <class T>
const T& NativeAs(const TDaxNative& v)
{
    if (const T* p = std::get_if<T>(&v)) return *p;
    InvalidCast();
}

std::string StreamText(TMemoryStream& s)
{
    return std::string(reinterpret_cast<const char*>(s.Bytes().data()), s.Bytes().size());
}

void CopyWhole(TMemoryStream& to, TStream& from)
{
    if (&to == &from) return;
    to.Clear();
    if (from.Size() > 0) to.CopyFrom(from, 0);
    to.SetPosition(0);
}

TDaxBlob& BlobOf(TDaxData& other)
{
    auto* b = dynamic_cast<TDaxBlob*>(&other);
    if (!b) InvalidCast();
    return *b;
}

} // namespace

// --- TDaxCalc ---------------------------------------------------------------------------

void TDaxCalc::Accumulate()
{
    Sum += Value;
    if (Count == 0) {
        Max = Value;
        Min = Value;
    }
    if (Value > Max) Max = Value;
    if (!(Value >= Min)) Min = Value;
    ++Count;
}

void TDaxCalc::Post(double v)
{
    Value = v;
    Accumulate();
}

void TDaxCalc::Reset() { Value = Sum = Min = Max = 0; Count = 0; }

// --- TDaxData ---------------------------------------------------------------------------

std::string TDaxData::AsString() { AbstractError(); }
int32_t TDaxData::AsInteger() { AbstractError(); }
double TDaxData::AsFloat() { AbstractError(); }
TDateTime TDaxData::AsDateTime() { AbstractError(); }
bool TDaxData::AsBoolean() { AbstractError(); }
void TDaxData::SetAsString(const std::string&) { AbstractError(); }
void TDaxData::SetAsInteger(int32_t) { AbstractError(); }
void TDaxData::SetAsFloat(double) { AbstractError(); }
void TDaxData::SetAsDateTime(TDateTime) { AbstractError(); }
void TDaxData::SetAsBoolean(bool) { AbstractError(); }
void TDaxData::SetAsStream(TStream&) { AbstractError(); }
void TDaxData::SetAsStrings(const TStrings&) { AbstractError(); }

TMemoryStream& TDaxData::AsStream()
{
    if (!textStream_) textStream_ = std::make_unique<TMemoryStream>();
    textStream_->Clear();
    const std::string s = AsString();
    textStream_->WriteString(s);
    textStream_->SetPosition(0);
    return *textStream_;
}

TStrings& TDaxData::AsStrings()
{
    const std::string s = AsString();
    lines_.Clear();
    lines_.Add(s);
    return lines_;
}

std::string TDaxData::FormatText(TDaxRootFormat& format) { return format.FormatValue(*this); }

std::unique_ptr<TDaxData> TDaxData::New(TDaxDataTypes t)
{
    switch (t) {
    case dtypeString: return std::make_unique<TDaxString>();
    case dtypeFloat: return std::make_unique<TDaxFloat>();
    case dtypeInteger: return std::make_unique<TDaxInteger>();
    case dtypeBoolean: return std::make_unique<TDaxBoolean>();
    case dtypeDateTime: return std::make_unique<TDaxDateTime>();
    case dtypeBlob: return std::make_unique<TDaxBlob>();
    case dtypeMemo: return std::make_unique<TDaxMemo>();
    case dtypeGraphic: return std::make_unique<TDaxGraphic>();
    case dtypeUnknown: break;
    }
    return std::make_unique<TDaxUnknown>();
}

// --- TDaxString -------------------------------------------------------------------------

int32_t TDaxString::AsInteger() { return StrToInt(Text); }

double TDaxString::AsFloat()
{
    Extended v = 0;
    return TryStrToFloat(Text, v, FormatSettings()) ? static_cast<double>(v) : 0.0;
}

TDateTime TDaxString::AsDateTime() { return StrToDateTime(Text); }

bool TDaxString::AsBoolean()
{
    if (Text.empty()) return false;
    const char c = Text[0];
    return c == 'T' || c == 't' || c == 'Y' || c == 'y';
}

void TDaxString::SetAsInteger(int32_t v) { Text = IntToStr(v); }
void TDaxString::SetAsFloat(double v) { Text = FloatToStr(v, FormatSettings()); }
void TDaxString::SetAsDateTime(TDateTime v)
{
    const TFormatSettings& fs = FormatSettings();
    Text = FormatDateTime(fs.ShortDateFormat, v, fs);
}
void TDaxString::SetNative(const TDaxNative& v) { Text = NativeAs<std::string>(v); }
void TDaxString::AssignData(TDaxData& other)
{
    if (&other == this) return;
    Text = other.AsString();
    IsNull = other.IsNull;
}
void TDaxString::Clear() { Text.clear(); IsNull = false; }

// --- TDaxInteger ------------------------------------------------------------------------

void TDaxInteger::SetAsString(const std::string& s) { Value = StrToInt(s); }
void TDaxInteger::SetAsFloat(double v) { Value = TruncToInt32(v); }
void TDaxInteger::SetNative(const TDaxNative& v) { Value = NativeAs<int32_t>(v); }
void TDaxInteger::AssignData(TDaxData& other)
{
    if (&other == this) return;
    Value = other.AsInteger();
    IsNull = other.IsNull;
}
void TDaxInteger::Clear() { Value = 0; IsNull = false; }

// --- TDaxFloat --------------------------------------------------------------------------

double TDaxFloat::ReadTotal() const
{
    switch (TotalType) {
    case ttSum: return calc_.Sum;
    case ttCount: return calc_.Count;
    case ttMax: return calc_.Max;
    case ttMin: return calc_.Min;
    case ttAverage: return calc_.Average();
    case ttValue: return calc_.Value;
    }
    return 0.0;
}

std::string TDaxFloat::AsString() { return FloatToStr(ReadTotal(), FormatSettings()); }
int32_t TDaxFloat::AsInteger() { return TruncToInt32(ReadTotal()); }
void TDaxFloat::SetAsString(const std::string& s) { AddValue(static_cast<double>(StrToFloat(s, FormatSettings()))); }
void TDaxFloat::SetNative(const TDaxNative& v) { AddValue(NativeAs<double>(v)); }
void TDaxFloat::AssignData(TDaxData& other)
{
    if (&other == this) return;
    auto* f = dynamic_cast<TDaxFloat*>(&other);
    if (!f) InvalidCast();
    calc_.Value = f->calc_.Value;
    calc_.Sum = f->calc_.Sum;
    calc_.Count = f->calc_.Count;
    calc_.Min = f->calc_.Min;
    calc_.Max = f->calc_.Max;
    IsNull = other.IsNull;
}
void TDaxFloat::Clear() { calc_.Reset(); IsNull = false; }

// --- TDaxDateTime -----------------------------------------------------------------------

std::string TDaxDateTime::AsString()
{
    if (Value == 0.0 || IsNull) return {};
    const TFormatSettings& fs = FormatSettings();
    return FormatDateTime(fs.ShortDateFormat, Value, fs);
}
void TDaxDateTime::SetAsString(const std::string& s) { Value = StrToDateTime(s); }
void TDaxDateTime::SetNative(const TDaxNative& v) { Value = NativeAs<double>(v); }
void TDaxDateTime::AssignData(TDaxData& other)
{
    if (&other == this) return;
    Value = other.AsDateTime();
    IsNull = other.IsNull;
}
void TDaxDateTime::Clear() { Value = 0; IsNull = false; }

// --- TDaxBoolean ------------------------------------------------------------------------

void TDaxBoolean::SetNative(const TDaxNative& v) { Value = NativeAs<bool>(v); }
void TDaxBoolean::AssignData(TDaxData& other)
{
    if (&other == this) return;
    Value = other.AsBoolean();
    IsNull = other.IsNull;
}
void TDaxBoolean::Clear() { Value = false; IsNull = false; }

// --- the blob family --------------------------------------------------------------------

std::string TDaxBlob::AsString() { throw Exception("I am not allowing blob or graphic value AsString."); }

TMemoryStream& TDaxBlob::AsStream()
{
    Stream.SetPosition(0);
    return Stream;
}

void TDaxBlob::SetAsString(const std::string& s)
{
    Stream.Clear();
    if (!s.empty()) Stream.WriteString(s);
    Stream.SetPosition(0);
}

void TDaxBlob::SetAsStream(TStream& s) { CopyWhole(Stream, s); }

void TDaxBlob::SetNative(const TDaxNative& v)
{
    TStream* s = NativeAs<TStream*>(v);
    if (!s) throw EInvalidOperation("No stream to store");
    CopyWhole(Stream, *s);
}

void TDaxBlob::AssignData(TDaxData& other)
{
    if (&other == this) return;
    CopyWhole(Stream, BlobOf(other).Stream);
    IsNull = other.IsNull;
}

std::string TDaxMemo::AsString() { return StreamText(Stream); }

TStrings& TDaxMemo::AsStrings()
{
    TStrings& lines = Lines();
    lines.Clear();
    lines.SetText(StreamText(Stream));
    return lines;
}

void TDaxMemo::SetAsStrings(const TStrings& s)
{
    // The text is taken first: the given lines may be this value's own Lines.
    std::string text;
    for (int i = 0; i < s.Count(); ++i) text += s[i] + "\r\n";
    Lines().Clear();
    Stream.Clear();
    if (!text.empty()) Stream.WriteString(text);
    Stream.SetPosition(0);
}
