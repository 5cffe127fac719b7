// Formats that turn a value into printable text, the length-unit converter and the
// component-name utilities.
#pragma once

#include "DaxData.h"

#include <string>
#include <string_view>

// Text of a value for printing. Setters store only on change and then ask the owner (the
// label that owns the format) to redraw.
class TDaxRootFormat {
public:
    explicit TDaxRootFormat(TDaxComponent* owner = nullptr) : owner_(owner) {}
    virtual ~TDaxRootFormat() = default;
    TDaxRootFormat(const TDaxRootFormat&) = delete;
    TDaxRootFormat& operator=(const TDaxRootFormat&) = delete;

    std::string FormatValue(TDaxData& value);
    // The format's own stream (it keeps it), holding FormatValue's text, at position 0.
    TMemoryStream& FormatToStream(TDaxData& value);
    virtual void Assign(const TDaxRootFormat& other);

    const std::string& DisplayFormat() const { return displayFormat_; }
    void SetDisplayFormat(const std::string& v);
    TDaxTextCase TextCase() const { return textCase_; }
    void SetTextCase(TDaxTextCase v);
    TFloatFormat FloatFormat() const { return floatFormat_; }
    void SetFloatFormat(TFloatFormat v);
    // The precision of the general float formatting (not a field width).
    int32_t Width() const { return width_; }
    void SetWidth(int32_t v);
    int32_t Digits() const { return digits_; }
    void SetDigits(int32_t v);
    bool SuppressNulls() const { return suppressNulls_; }
    void SetSuppressNulls(bool v);
    bool UseCurrencyDecimals() const { return useCurrencyDecimals_; }
    void SetUseCurrencyDecimals(bool v);
    TDaxComponent* Owner() const { return owner_; }

protected:
    TDaxRootFormat(TDaxComponent* owner, TFloatFormat ff, int32_t digits)
        : floatFormat_(ff), digits_(digits), owner_(owner) {}
    void Changed();

private:
    std::string displayFormat_;
    TDaxTextCase textCase_ = tcNone;
    TFloatFormat floatFormat_ = TFloatFormat::ffGeneral;
    int32_t width_ = 15;
    int32_t digits_ = 0;
    TDaxComponent* owner_;
    std::unique_ptr<TMemoryStream> stream_;
    bool suppressNulls_ = false;
    bool useCurrencyDecimals_ = false;
};

// The format of variable labels: general float form, no decimals.
class TDaxFormat : public TDaxRootFormat {
public:
    explicit TDaxFormat(TDaxComponent* owner = nullptr) : TDaxRootFormat(owner, TFloatFormat::ffGeneral, 0) {}
};

// The format of total labels: number form with two decimals.
class TDaxFloatFormat : public TDaxRootFormat {
public:
    explicit TDaxFloatFormat(TDaxComponent* owner = nullptr) : TDaxRootFormat(owner, TFloatFormat::ffNumber, 2) {}
};

// Text through an edit mask "mask[;save literals 0/1[;blank]]": 0 9 # L l A a C c take the
// next character of the text, > < <> switch case, \ quotes the next mask character,
// : and / are the time and date separators, anything else is a literal (taken from the
// text too when the text holds it and literals are saved).
std::string FormatMaskText(std::string_view mask, std::string_view text, const TFormatSettings& fs);

// Lengths between inches, millimetres and centimetres.
enum TDaxUnits : uint8_t { unitInches, unitMiliMeters, unitCentiMeters };

class TDaxUnitMaster {
public:
    virtual ~TDaxUnitMaster() = default;
    // x is in `unit`; the result in the named unit. An unknown unit gives 0.
    virtual double ToInches(TDaxUnits unit, double x) const;
    virtual double ToMillimeters(TDaxUnits unit, double x) const;
    virtual double ToCentimeters(TDaxUnits unit, double x) const;
    // x is in the named unit; the result in `unit`.
    virtual double FromInches(TDaxUnits unit, double x) const;
    virtual double FromMillimeters(TDaxUnits unit, double x) const;
    virtual double FromCentimeters(TDaxUnits unit, double x) const;
};

// Names for components the engine creates itself.
std::string StripClassPrefix(std::string_view className);
std::string MakeValidName(std::string_view text, bool stripPrefix);
bool SetUniqueName(TDaxComponent& c, std::string_view base, bool stripPrefix);
bool TrySetName(TDaxComponent& c, const std::string& name);
bool IsBlank(std::string_view text);
std::string TrimTrailingSpaces(std::string_view text);
