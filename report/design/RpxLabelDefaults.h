// What a freshly dropped label starts with (report/design, no Qt): the dataset field behind a
// data-field variable (TMyField), and the size, format and alignment a label takes from its
// variable's type or its field.
#pragma once

#include "report/generate/DaxReport.h"

#include <memory>
#include <optional>
#include <string>

// A field known by its name and type alone; it never holds a value.
class TDaxDefinitionField : public TDaxField {
public:
    TDaxDefinitionField(std::string name, TFieldType type) : name_(std::move(name)), type_(type) {}
    const std::string& FieldName() const override { return name_; }
    TFieldType DataType() const override { return type_; }
    bool IsNull() const override { return true; }
    std::string AsString() const override { return {}; }
    int32_t AsInteger() const override { return 0; }
    double AsFloat() const override { return 0; }
    bool AsBoolean() const override { return false; }
    TDateTime AsDateTime() const override { return 0; }

private:
    std::string name_;
    TFieldType type_;
};

// One dataset field as the tools see it: its name, the dataset, the type of its definition,
// and the field object, found among the dataset's fields or made from the definition (and
// then owned here). Field() is nil when the dataset knows no such field at all.
class TMyField {
public:
    TMyField(TDaxDataSet* dataSet, std::string fieldName);
    ~TMyField();
    TMyField(const TMyField&) = delete;
    TMyField& operator=(const TMyField&) = delete;

    // The field of a data-field variable; nil without a data source, dataset or field.
    static std::unique_ptr<TMyField> Of(TDaxVar& var);

    const std::string& FieldName() const { return fieldName_; }
    TDaxDataSet* DataSet() const { return dataSet_; }
    const std::optional<TFieldType>& FieldDef() const { return fieldDef_; }
    TDaxField* Field() const { return field_; }
    // True when the field object was found among the dataset's fields (its display settings
    // are then the field's own), false when it was made from the definition.
    bool FieldExists() const { return field_ && !owned_; }

private:
    std::string fieldName_;
    TDaxDataSet* dataSet_;
    std::optional<TFieldType> fieldDef_;
    TDaxField* field_ = nullptr;
    std::unique_ptr<TDaxField> owned_;
};

// The value type of a variable as the tools see it: a data-field variable's from its field
// (known before its values exist), dtypeUnknown when it cannot be told.
TDaxDataTypes DesignDataType(TDaxVar* var);

// Pixel sizes at the report's resolution, measured with the program's measuring device.
int RpxFontHeight(const TRpxFont& font, int pixelsPerInch);
int RpxTextWidth(const TRpxFont& font, int pixelsPerInch, const std::string& text);

// Gives a label made for `var` (nil: none) its default size, format and alignment; `field`
// is the dataset field behind a data-field variable (nil: none). Lengths are pixels at
// pixelsPerInch.
void ApplyLabelDefaults(TDaxLabel& label, TDaxVar* var, const TMyField* field, int pixelsPerInch);
