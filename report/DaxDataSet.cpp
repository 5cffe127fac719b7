#include "DaxDataSet.h"

#include <algorithm>
#include <cmath>

// --- TDaxDataSource ---------------------------------------------------------------------

TDaxDataSource::~TDaxDataSource() { SetDataSet(nullptr); }

void TDaxDataSource::SetDataSet(TDaxDataSet* ds)
{
    if (ds == dataSet_) return;
    if (dataSet_) {
        auto& s = dataSet_->sources_;
        s.erase(std::remove(s.begin(), s.end(), this), s.end());
        RemoveFreeNotification(dataSet_);
    }
    const bool wasActive = dataSet_ && dataSet_->Active();
    dataSet_ = ds;
    if (ds) {
        ds->sources_.push_back(this);
        FreeNotification(ds);
    }
    if (wasActive != (ds && ds->Active())) DataSetActiveChanged();
}

void TDaxDataSource::AddLink(Link* l)
{
    if (l && std::find(links_.begin(), links_.end(), l) == links_.end()) links_.push_back(l);
}

void TDaxDataSource::RemoveLink(Link* l) { links_.erase(std::remove(links_.begin(), links_.end(), l), links_.end()); }

void TDaxDataSource::DataSetActiveChanged()
{
    const auto links = links_;   // a link may remove itself
    for (Link* l : links)
        if (std::find(links_.begin(), links_.end(), l) != links_.end()) l->ActiveChanged();
}

void TDaxDataSource::Notification(TDaxComponent* c, TOperation op)
{
    TDaxComponent::Notification(c, op);
    if (op == TOperation::opRemove && c == dataSet_) {
        dataSet_ = nullptr;
        DataSetActiveChanged();
    }
}

// --- TDaxField ----------------------------------------------------------------------------

int TDaxField::DefaultDisplayWidth(TFieldType type)
{
    switch (type) {
    case ftString: return 20;
    case ftSmallint: return 6;
    case ftInteger: case ftAutoInc: return 11;
    case ftWord: case ftBoolean: return 5;
    case ftDateTime: return 18;
    default: return 10;
    }
}

TDaxField::TAlignment TDaxField::DefaultAlignment(TFieldType type)
{
    switch (type) {
    case ftSmallint: case ftInteger: case ftWord: case ftAutoInc:
    case ftFloat: case ftCurrency: case ftBCD: return taRightJustify;
    default: return taLeftJustify;
    }
}

// --- TDaxDataSet ------------------------------------------------------------------------

void TDaxDataSet::SetActive(bool a)
{
    if (a == active_) return;
    if (a) DoOpen(); else DoClose();
    active_ = a;
    const auto sources = sources_;
    for (auto* s : sources) s->DataSetActiveChanged();
}

TDaxField* TDaxDataSet::FindField(std::string_view name)
{
    for (int i = 0; i < FieldCount(); ++i)
        if (SameText(Fields(i).FieldName(), name)) return &Fields(i);
    return nullptr;
}

// --- TDaxMemoryDataSet ------------------------------------------------------------------

class TDaxMemoryDataSet::Field : public TDaxField {
public:
    Field(TDaxMemoryDataSet& ds, std::string name, TFieldType type, size_t index)
        : ds_(ds), name_(std::move(name)), type_(type), index_(index) {}

    const std::string& FieldName() const override { return name_; }
    TFieldType DataType() const override { return type_; }
    bool IsNull() const override { return std::holds_alternative<std::monostate>(cell()); }

    std::string AsString() const override
    {
        const Cell& c = cell();
        if (auto* s = std::get_if<std::string>(&c)) return *s;
        if (auto* i = std::get_if<int64_t>(&c)) return IntToStr(*i);
        if (auto* d = std::get_if<double>(&c)) {
            if (type_ == ftDate || type_ == ftTime || type_ == ftDateTime) return DateTimeToStr(*d);
            return FloatToStr(*d);
        }
        if (auto* b = std::get_if<bool>(&c)) return *b ? "True" : "False";
        return {};
    }
    int32_t AsInteger() const override
    {
        const Cell& c = cell();
        if (auto* i = std::get_if<int64_t>(&c)) {
            if (*i < INT32_MIN || *i > INT32_MAX) throw ERangeError("Range check error");
            return static_cast<int32_t>(*i);
        }
        if (auto* b = std::get_if<bool>(&c)) return *b ? 1 : 0;
        if (auto* d = std::get_if<double>(&c)) {
            if (!std::isfinite(*d) || std::fabs(*d) > 2147483647.0) throw ERangeError("Range check error");
            return static_cast<int32_t>(std::llround(*d));
        }
        if (std::holds_alternative<std::monostate>(c)) return 0;
        return StrToInt(std::get<std::string>(c));
    }
    double AsFloat() const override
    {
        const Cell& c = cell();
        if (auto* d = std::get_if<double>(&c)) return *d;
        if (auto* i = std::get_if<int64_t>(&c)) return static_cast<double>(*i);
        if (auto* b = std::get_if<bool>(&c)) return *b ? 1.0 : 0.0;
        if (std::holds_alternative<std::monostate>(c)) return 0.0;
        return static_cast<double>(StrToFloat(std::get<std::string>(c)));
    }
    bool AsBoolean() const override
    {
        const Cell& c = cell();
        if (auto* b = std::get_if<bool>(&c)) return *b;
        if (auto* i = std::get_if<int64_t>(&c)) return *i != 0;
        if (auto* d = std::get_if<double>(&c)) return *d != 0;
        if (auto* s = std::get_if<std::string>(&c)) return SameText(*s, "True");
        return false;
    }
    TDateTime AsDateTime() const override
    {
        const Cell& c = cell();
        if (auto* d = std::get_if<double>(&c)) return *d;
        if (auto* i = std::get_if<int64_t>(&c)) return static_cast<double>(*i);
        if (auto* s = std::get_if<std::string>(&c)) return StrToDateTime(*s);
        if (std::holds_alternative<std::monostate>(c)) return 0;
        throw EConvertError("Field '" + name_ + "' does not hold a date");
    }

private:
    const Cell& cell() const
    {
        static const Cell null;
        if (!ds_.Active() || ds_.Eof()) return null;
        const auto& row = ds_.rows_[ds_.row_];
        return index_ < row.size() ? row[index_] : null;
    }

    TDaxMemoryDataSet& ds_;
    std::string name_;
    TFieldType type_;
    size_t index_;
};

TDaxMemoryDataSet::TDaxMemoryDataSet(TDaxComponent* owner) : TDaxDataSet(owner) {}
TDaxMemoryDataSet::~TDaxMemoryDataSet() = default;

void TDaxMemoryDataSet::AddField(const std::string& name, TFieldType type)
{
    fields_.push_back(std::make_unique<Field>(*this, name, type, fields_.size()));
}

void TDaxMemoryDataSet::AppendRecord(std::vector<Cell> cells) { rows_.push_back(std::move(cells)); }

TDaxField& TDaxMemoryDataSet::Fields(int index)
{
    if (index < 0 || index >= FieldCount()) throw EListError("List index out of bounds (" + IntToStr(index) + ")");
    return *fields_[static_cast<size_t>(index)];
}

std::optional<TFieldType> TDaxMemoryDataSet::FieldDefType(std::string_view name) const
{
    for (const auto& f : fields_)
        if (SameText(f->FieldName(), name)) return f->DataType();
    return std::nullopt;
}
