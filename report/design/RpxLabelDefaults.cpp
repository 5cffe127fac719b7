#include "RpxLabelDefaults.h"

#include "report/output/RpxDraw.h"

#include <algorithm>
#include <cstdlib>

namespace {

bool IsIntegerField(TFieldType t) { return t == ftSmallint || t == ftInteger || t == ftWord || t == ftAutoInc; }
bool IsFloatField(TFieldType t) { return t == ftFloat || t == ftBCD || t == ftCurrency; }
bool IsMemoField(TFieldType t) { return t == ftMemo || t == ftFmtMemo; }

TDaxRootFormat* FormatOf(TDaxLabel& label)
{
    if (auto* tv = dynamic_cast<TDaxTVLabel*>(&label)) return &tv->DataFormat;
    if (auto* total = dynamic_cast<TDaxTotalvarLabel*>(&label)) return &total->DataFormat;
    return nullptr;
}

TDaxHorizontalAlign LabelAlignment(TDaxField::TAlignment a)
{
    switch (a) {
    case TDaxField::taRightJustify: return laRight;
    case TDaxField::taCenter: return laCenter;
    default: return laLeft;
    }
}

void WrapAndStretch(TDaxLabel& label)
{
    label.SetWrapText(true);
    label.Stretch = true;
}

// Formats from the field's type, for a field known only by its definition.
void DefinitionFormats(TDaxLabel& label, TDaxRootFormat* format, TFieldType type)
{
    if (IsIntegerField(type)) label.AlignHorizontal = laRight;
    if (IsFloatField(type)) {
        label.AlignHorizontal = laRight;
        if (format && type == ftCurrency) {
            format->SetFloatFormat(TFloatFormat::ffCurrency);
            format->SetUseCurrencyDecimals(true);
        } else if (format) {
            format->SetFloatFormat(TFloatFormat::ffNumber);
            format->SetDigits(2);
        }
    }
    if (format && type == ftDate) format->SetDisplayFormat("dddd");
    if (format && type == ftTime) format->SetDisplayFormat("tttt");
    if (format && type == ftDateTime) format->SetDisplayFormat("ddddtttt");
    if (IsMemoField(type)) WrapAndStretch(label);
}

// Formats from the variable's value type, for a label without a dataset field.
void ValueFormats(TDaxLabel& label, TDaxRootFormat* format, TDaxVar* var)
{
    const TDaxDataTypes type = DesignDataType(var);
    const bool total = dynamic_cast<TDaxTotalvar*>(var) != nullptr;
    if (total || type == dtypeFloat || type == dtypeInteger) {
        label.AlignHorizontal = laRight;
        if (format) {
            format->SetFloatFormat(TFloatFormat::ffNumber);
            format->SetDigits(total || type == dtypeFloat ? 2 : 0);
        }
    } else if (type == dtypeDateTime && format) {
        format->SetDisplayFormat("ddddd");
    } else if (type == dtypeMemo) {
        WrapAndStretch(label);
    }
}

std::string FormattedText(TDaxLabel& label)
{
    try {
        return label.GetPrintText();
    } catch (...) {
        return {};   // a value that cannot be read at design time has no width to offer
    }
}

} // namespace

// --- TMyField ------------------------------------------------------------------------------

TMyField::TMyField(TDaxDataSet* dataSet, std::string fieldName) : fieldName_(std::move(fieldName)), dataSet_(dataSet)
{
    if (!dataSet_) return;
    fieldDef_ = dataSet_->FieldDefType(fieldName_);
    field_ = dataSet_->FindField(fieldName_);
    if (!field_ && fieldDef_) {
        owned_ = std::make_unique<TDaxDefinitionField>(fieldName_, *fieldDef_);
        field_ = owned_.get();
    }
}

TMyField::~TMyField() = default;

std::unique_ptr<TMyField> TMyField::Of(TDaxVar& var)
{
    auto* db = dynamic_cast<TDaxDBVar*>(&var);
    if (!db || !db->DataSource() || !db->DataSource()->DataSet()) return nullptr;
    auto f = std::make_unique<TMyField>(db->DataSource()->DataSet(), db->DataField());
    if (!f->Field()) return nullptr;
    return f;
}

TDaxDataTypes DesignDataType(TDaxVar* var)
{
    if (!var) return dtypeUnknown;
    try {
        if (auto* db = dynamic_cast<TDaxDBVar*>(var)) return DataTypeOfField(db->GetFieldType());
        return var->GetDataType();
    } catch (...) {
        return dtypeUnknown;   // a variable whose source is gone
    }
}

// --- sizes ---------------------------------------------------------------------------------

int RpxFontHeight(const TRpxFont& font, int pixelsPerInch) { return std::abs(font.LogFont(pixelsPerInch).Height); }

int RpxTextWidth(const TRpxFont& font, int pixelsPerInch, const std::string& text)
{
    auto dc = RpxMeasuringDevice();
    dc->SelectFont(font.LogFont(pixelsPerInch));
    return TextWidth(*dc, text, text.size());
}

void ApplyLabelDefaults(TDaxLabel& label, TDaxVar* var, const TMyField* field, int ppi)
{
    label.Height = RpxFontHeight(label.Font, ppi) + 6;
    TDaxRootFormat* format = FormatOf(label);
    TDaxField* f = field ? field->Field() : nullptr;
    if (f && field->FieldExists()) {
        DefinitionFormats(label, format, f->DataType());
        if (format && !f->DisplayFormat().empty()) format->SetDisplayFormat(f->DisplayFormat());
        label.AlignHorizontal = LabelAlignment(f->Alignment());
    } else if (f) {
        DefinitionFormats(label, format, f->DataType());
    } else {
        ValueFormats(label, format, var);
    }

    if (dynamic_cast<TDaxImageLabel*>(&label)) {
        label.Width = label.Height = ppi;
    } else if (dynamic_cast<TDaxCheckLabel*>(&label)) {
        label.Width = label.Height = 12;
    } else if (dynamic_cast<TDaxvarlabel*>(&label) && label.WrapText) {
        label.Width = 2 * ppi;
    } else if (f) {
        label.Width = std::max(0, f->DisplayWidth()) * RpxTextWidth(label.Font, ppi, "X");
    } else {
        label.Width = ppi;
        const TDaxDataTypes type = DesignDataType(var);
        if (dynamic_cast<TDaxvarlabel*>(&label) &&
            (type == dtypeString || type == dtypeFloat || type == dtypeInteger || type == dtypeBoolean))
            label.Width = std::max(label.Width, RpxTextWidth(label.Font, ppi, FormattedText(label)));
    }
}
