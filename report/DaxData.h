// Typed report values: one class per data type, each converting to and from text,
// integer, float, date-time, Boolean, stream and text lines by fixed rules; a null flag;
// and printable text through a format. The float value doubles as a running total.
#pragma once

#include "DaxComponent.h"

#include "platform/runtime/Classes.h"
#include "platform/runtime/NumText.h"

#include <cstdint>
#include <memory>
#include <string>
#include <variant>

enum TDaxDataTypes : uint8_t {
    dtypeUnknown, dtypeString, dtypeFloat, dtypeInteger, dtypeBoolean,
    dtypeDateTime, dtypeBlob, dtypeMemo, dtypeGraphic,
};
enum TDaxTotalType : uint8_t { ttSum, ttCount, ttMax, ttMin, ttAverage, ttValue };
enum TDaxTextCase : uint8_t { tcNone, tcUpper, tcLower };

class TDaxRootFormat;

// The accumulator of a float value.
class TDaxCalc {
public:
    virtual ~TDaxCalc() = default;
    virtual void Accumulate();
    void Post(double v);
    void Reset();
    double Average() const { return Count == 0 ? 0.0 : Sum / Count; }

    double Value = 0;
    double Sum = 0;
    double Min = 0;
    double Max = 0;
    int32_t Count = 0;
};

// A value in its class's own native form, for SetNative.
using TDaxNative = std::variant<std::string, int32_t, double, bool, TStream*>;

// Base of every value. Operations a class lacks raise EAbstractError ("Abstract Error").
// Values may be read as text through the process-wide FormatSettings().
class TDaxData {
public:
    virtual ~TDaxData() = default;
    TDaxData(const TDaxData&) = delete;
    TDaxData& operator=(const TDaxData&) = delete;

    TDaxDataTypes DataType() const { return dataType_; }
    bool IsNull = false;
    TStringList& Lines() { return lines_; }

    virtual std::string AsString();
    virtual int32_t AsInteger();
    virtual double AsFloat();
    virtual TDateTime AsDateTime();
    virtual bool AsBoolean();
    // The value keeps the stream; it is positioned at 0.
    virtual TMemoryStream& AsStream();
    virtual TStrings& AsStrings();

    virtual void SetAsString(const std::string& s);
    virtual void SetAsInteger(int32_t v);
    virtual void SetAsFloat(double v);
    virtual void SetAsDateTime(TDateTime v);
    virtual void SetAsBoolean(bool v);
    virtual void SetAsStream(TStream& s);
    virtual void SetAsStrings(const TStrings& s);

    // A new, empty value of the same class.
    virtual std::unique_ptr<TDaxData> Create() const = 0;
    // Stores a value in the class's native form; another form raises EInvalidCast.
    virtual void SetNative(const TDaxNative& v) = 0;
    // Copies another value (and its null flag).
    virtual void AssignData(TDaxData& other) = 0;
    virtual void Clear() = 0;
    std::string FormatText(TDaxRootFormat& format);

    // A new value of the class for a data type.
    static std::unique_ptr<TDaxData> New(TDaxDataTypes t);

protected:
    explicit TDaxData(TDaxDataTypes t) : dataType_(t) {}

private:
    TDaxDataTypes dataType_;
    std::unique_ptr<TMemoryStream> textStream_;
    TStringList lines_;
};

class TDaxString : public TDaxData {
public:
    TDaxString() : TDaxData(dtypeString) {}
    std::string AsString() override { return Text; }
    int32_t AsInteger() override;
    double AsFloat() override;
    TDateTime AsDateTime() override;
    bool AsBoolean() override;
    void SetAsString(const std::string& s) override { Text = s; }
    void SetAsInteger(int32_t v) override;
    void SetAsFloat(double v) override;
    void SetAsDateTime(TDateTime v) override;
    void SetAsBoolean(bool v) override { Text = v ? "True" : "False"; }
    std::unique_ptr<TDaxData> Create() const override { return std::make_unique<TDaxString>(); }
    void SetNative(const TDaxNative& v) override;
    void AssignData(TDaxData& other) override;
    void Clear() override;

    std::string Text;
};

class TDaxInteger : public TDaxData {
public:
    TDaxInteger() : TDaxData(dtypeInteger) {}
    std::string AsString() override { return IntToStr(Value); }
    int32_t AsInteger() override { return Value; }
    double AsFloat() override { return Value; }
    bool AsBoolean() override { return Value != 0; }
    void SetAsString(const std::string& s) override;
    void SetAsInteger(int32_t v) override { Value = v; }
    void SetAsFloat(double v) override;
    void SetAsBoolean(bool v) override { Value = v ? 1 : 0; }
    std::unique_ptr<TDaxData> Create() const override { return std::make_unique<TDaxInteger>(); }
    void SetNative(const TDaxNative& v) override;
    void AssignData(TDaxData& other) override;
    void Clear() override;

    int32_t Value = 0;
};

class TDaxFloat : public TDaxData {
public:
    TDaxFloat() : TDaxData(dtypeFloat) {}
    std::string AsString() override;
    int32_t AsInteger() override;
    double AsFloat() override { return ReadTotal(); }
    bool AsBoolean() override { return ReadTotal() != 0; }
    void SetAsString(const std::string& s) override;
    void SetAsInteger(int32_t v) override { AddValue(v); }
    void SetAsFloat(double v) override { AddValue(v); }
    void SetAsBoolean(bool v) override { AddValue(v ? 1.0 : 0.0); }
    std::unique_ptr<TDaxData> Create() const override { return std::make_unique<TDaxFloat>(); }
    void SetNative(const TDaxNative& v) override;
    void AssignData(TDaxData& other) override;
    void Clear() override;

    virtual double ReadTotal() const;
    virtual void AddValue(double x) { calc_.Post(x); }
    TDaxCalc& Calc() { return calc_; }
    const TDaxCalc& Calc() const { return calc_; }

    TDaxTotalType TotalType = ttValue;

private:
    TDaxCalc calc_;
};

class TDaxDateTime : public TDaxData {
public:
    TDaxDateTime() : TDaxData(dtypeDateTime) {}
    std::string AsString() override;
    double AsFloat() override { return Value; }
    TDateTime AsDateTime() override { return Value; }
    bool AsBoolean() override { return false; }
    void SetAsString(const std::string& s) override;
    void SetAsFloat(double v) override { Value = v; }
    void SetAsDateTime(TDateTime v) override { Value = v; }
    std::unique_ptr<TDaxData> Create() const override { return std::make_unique<TDaxDateTime>(); }
    void SetNative(const TDaxNative& v) override;
    void AssignData(TDaxData& other) override;
    void Clear() override;

    TDateTime Value = 0;
};

class TDaxBoolean : public TDaxData {
public:
    TDaxBoolean() : TDaxData(dtypeBoolean) {}
    std::string AsString() override { return Value ? "True" : "False"; }
    int32_t AsInteger() override { return Value ? 1 : 0; }
    double AsFloat() override { return Value ? 1.0 : 0.0; }
    bool AsBoolean() override { return Value; }
    void SetAsString(const std::string& s) override { Value = SameText(s, "True"); }
    void SetAsInteger(int32_t v) override { Value = v != 0; }
    void SetAsFloat(double v) override { Value = v != 0; }
    void SetAsBoolean(bool v) override { Value = v; }
    std::unique_ptr<TDaxData> Create() const override { return std::make_unique<TDaxBoolean>(); }
    void SetNative(const TDaxNative& v) override;
    void AssignData(TDaxData& other) override;
    void Clear() override;

    bool Value = false;
};

// Binary content in a stream; the memo, graphic and unknown values descend from it.
class TDaxBlob : public TDaxData {
public:
    TDaxBlob() : TDaxBlob(dtypeBlob) {}
    std::string AsString() override;
    double AsFloat() override { return 0.0; }
    bool AsBoolean() override { return false; }
    TMemoryStream& AsStream() override;
    void SetAsString(const std::string& s) override;
    void SetAsStream(TStream& s) override;
    std::unique_ptr<TDaxData> Create() const override { return std::make_unique<TDaxBlob>(); }
    void SetNative(const TDaxNative& v) override;
    void AssignData(TDaxData& other) override;
    void Clear() override { Stream.Clear(); }

    TMemoryStream Stream;

protected:
    explicit TDaxBlob(TDaxDataTypes t) : TDaxData(t) {}
};

class TDaxMemo : public TDaxBlob {
public:
    TDaxMemo() : TDaxBlob(dtypeMemo) {}
    std::string AsString() override;
    TStrings& AsStrings() override;
    void SetAsStrings(const TStrings& s) override;
    std::unique_ptr<TDaxData> Create() const override { return std::make_unique<TDaxMemo>(); }
};

class TDaxGraphic : public TDaxBlob {
public:
    TDaxGraphic() : TDaxBlob(dtypeGraphic) {}
    std::unique_ptr<TDaxData> Create() const override { return std::make_unique<TDaxGraphic>(); }
};

class TDaxUnknown : public TDaxBlob {
public:
    TDaxUnknown() : TDaxBlob(dtypeUnknown) {}
    std::string AsString() override { return "Unknown type, check to see if field exists."; }
    std::unique_ptr<TDaxData> Create() const override { return std::make_unique<TDaxUnknown>(); }
};
