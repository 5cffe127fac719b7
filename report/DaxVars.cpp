#include "DaxVars.h"

namespace {

constexpr int32_t kCircularReference = 56422;
constexpr int32_t kDatatypeIsBad = 56423;
constexpr int32_t kInvalidTotalAccess = 56424;

const char* const kVarIdNames[] = {"vidAbstract", "vidDBVar", "vidExprVar", "vidTotalVar",
                                   "vidAutoDataVar", "vidDateTimeVar", "vidPageVar"};

} // namespace

TDaxDataTypes DataTypeOfField(TFieldType t)
{
    switch (t) {
    case ftString: return dtypeString;
    case ftSmallint: case ftInteger: case ftWord: case ftAutoInc: return dtypeInteger;
    case ftBoolean: return dtypeBoolean;
    case ftFloat: case ftCurrency: case ftBCD: return dtypeFloat;
    case ftDate: case ftTime: case ftDateTime: return dtypeDateTime;
    case ftBlob: case ftFmtMemo: case ftParadoxOle: case ftDBaseOle: case ftTypedBinary: return dtypeBlob;
    case ftMemo: return dtypeMemo;
    case ftGraphic: return dtypeGraphic;
    default: return dtypeUnknown;
    }
}

std::string VarIdName(TDaxVarId id)
{
    return id <= vidPageVar ? kVarIdNames[id] : std::string();
}

TDaxVarId VarIdFromName(std::string_view name)
{
    for (int i = 0; i <= vidPageVar; ++i)
        if (SameText(name, kVarIdNames[i])) return static_cast<TDaxVarId>(i);
    throw Exception("Cannot find " + std::string(name) + " in TDaxVarId");
}

// --- TDaxLevel --------------------------------------------------------------------------

TDaxLevel::~TDaxLevel()
{
    if (auto* p = GetPage()) p->UnregisterLevel(this);
}

TDaxPage* TDaxLevel::GetPage() const { return dynamic_cast<TDaxPage*>(Parent()); }

void TDaxLevel::ValidateParent(TDaxComponent* parent)
{
    TDaxComponent::ValidateParent(parent);
    if (!dynamic_cast<TDaxPage*>(parent)) Abort();
}

void TDaxLevel::ParentChanged(TDaxComponent* oldParent)
{
    if (auto* p = dynamic_cast<TDaxPage*>(oldParent)) p->UnregisterLevel(this);
    if (auto* p = GetPage()) p->RegisterLevel(this);
}

// --- TDaxVar ----------------------------------------------------------------------------

TDaxVar::TDaxVar(TDaxComponent* owner, TDaxVarId id) : TDaxComponent(owner), id_(id) {}

TDaxVar::~TDaxVar()
{
    if (auto* p = Page()) p->UnregisterVar(this);
}

void TDaxVar::SetName(const std::string& name)
{
    TDaxComponent::SetName(name);
    PageChanged();
}

void TDaxVar::PageChanged()
{
    if (auto* p = Page()) p->VariablesChanged();
}

void TDaxVar::Loaded()
{
    TDaxComponent::Loaded();
    if (updateLevel_) return;
    if (auto* p = dynamic_cast<TDaxGrouppage*>(Parent()))
        if (TDaxLevel* l = p->FixedBandLevel(DefaultBand())) SetUpdateLevel(l);
}

void TDaxVar::ParentChanged(TDaxComponent* oldParent)
{
    if (auto* p = dynamic_cast<TDaxPage*>(oldParent)) p->UnregisterVar(this);
    if (auto* p = Page()) p->RegisterVar(this);
}

void TDaxVar::Notification(TDaxComponent* c, TOperation op)
{
    TDaxComponent::Notification(c, op);
    if (op == TOperation::opRemove && c == updateLevel_) updateLevel_ = nullptr;
}

void TDaxVar::SetUpdateLevel(TDaxLevel* level)
{
    if (level == updateLevel_) return;
    if (updateLevel_) RemoveFreeNotification(updateLevel_);
    updateLevel_ = level;
    if (level) FreeNotification(level);
    PageChanged();
}

void TDaxVar::SetDataTypeField(TDaxDataTypes t)
{
    if (t == dataType_) return;
    dataType_ = t;
    PageChanged();
}

void TDaxVar::ReplaceValues(std::unique_ptr<TDaxData> current, std::unique_ptr<TDaxData> saved)
{
    current_ = std::move(current);
    saved_ = std::move(saved);
}

std::string TDaxVar::AsString() { return GetPrintValue().AsString(); }
int32_t TDaxVar::AsInteger() { return GetPrintValue().AsInteger(); }
double TDaxVar::AsFloat() { return GetPrintValue().AsFloat(); }
TDateTime TDaxVar::AsDateTime() { return GetPrintValue().AsDateTime(); }
bool TDaxVar::AsBoolean() { return GetPrintValue().AsBoolean(); }
TMemoryStream& TDaxVar::AsStream() { return GetPrintValue().AsStream(); }
TStrings& TDaxVar::AsStrings() { return GetPrintValue().AsStrings(); }
void TDaxVar::SetAsString(const std::string& s) { GetValue().SetAsString(s); }
void TDaxVar::SetAsInteger(int32_t v) { GetValue().SetAsInteger(v); }
void TDaxVar::SetAsFloat(double v) { GetValue().SetAsFloat(v); }
void TDaxVar::SetAsDateTime(TDateTime v) { GetValue().SetAsDateTime(v); }
void TDaxVar::SetAsBoolean(bool v) { GetValue().SetAsBoolean(v); }
void TDaxVar::SetAsStream(TStream& s) { GetValue().SetAsStream(s); }
void TDaxVar::SetAsStrings(const TStrings& s) { GetValue().SetAsStrings(s); }

TDaxData& TDaxVar::GetValue()
{
    if (State == vsStale) UpdateValue();
    if (!current_) DaxError(kDatatypeIsBad, this);
    return *current_;
}

void TDaxVar::UpdateValue()
{
    if (State != vsStale) return;
    State = vsUpdating;
    State = vsFresh;
}

void TDaxVar::SaveValue()
{
    if (!current_ || !saved_) return;
    TDaxData& v = GetValue();
    saved_->AssignData(v);
}

void TDaxVar::RestoreValue()
{
    if (!current_ || !saved_) return;
    TDaxData& v = GetValue();
    v.AssignData(*saved_);
}

void TDaxVar::CreateValues()
{
    current_.reset();
    saved_.reset();
    ValuesCreated = true;
    const TDaxDataTypes t = GetDataType();
    current_ = TDaxData::New(t);
    saved_ = TDaxData::New(t);
    if (t == dtypeUnknown) ValuesCreated = false;
    if (Designing() && !running_) State = vsStale;
}

void TDaxVar::ClearValue()
{
    if (current_) GetValue().Clear();
}

void TDaxVar::ResetValue()
{
    if (State != vsStale || !current_) return;
    State = vsUpdating;
    current_->Clear();
    current_->IsNull = true;
    State = vsFresh;
}

bool TDaxVar::IsNull()
{
    if (!current_) return true;
    return GetValue().IsNull;
}

void TDaxVar::SetRunning(bool running)
{
    if (running == running_) return;
    running_ = running;
    if (!running) CreateValues();
}

// --- TDaxExprVar ------------------------------------------------------------------------

TDaxExprVar::TDaxExprVar(TDaxComponent* owner) : TDaxVar(owner, vidExprVar)
{
    DataReady = !Designing();
}

void TDaxExprVar::UpdateValue()
{
    if (State == vsUpdating) DaxError(kCircularReference, this);
    if (State != vsStale) return;
    // Without values it stays stale, so that a later read does not see a false circle.
    if (!CurrentValue()) DaxError(kDatatypeIsBad, this);
    State = vsUpdating;
    try {
        if (OnGetData) {
            CurrentValue()->Clear();
            OnGetData(*this);
        }
    } catch (...) {
        State = vsStale;
        throw;
    }
    State = vsFresh;
}

// --- TDaxDateTimeVar --------------------------------------------------------------------

TDaxDateTimeVar::TDaxDateTimeVar(TDaxComponent* owner) : TDaxVar(owner, vidDateTimeVar)
{
    SetDataTypeField(dtypeDateTime);
}

void TDaxDateTimeVar::CreateValues()
{
    TDaxVar::CreateValues();
    CurrentValue()->SetNative(static_cast<double>(Now()));
    SaveValue();
}

// --- TDaxPageVar ------------------------------------------------------------------------

TDaxPageVar::TDaxPageVar(TDaxComponent* owner) : TDaxVar(owner, vidPageVar)
{
    SetDataTypeField(dtypeInteger);
}

void TDaxPageVar::UpdateValue()
{
    if (State != vsStale) return;
    State = vsUpdating;
    if (TDaxData* v = CurrentValue()) {
        const int32_t n = v->AsInteger();
        if (n < INT32_MAX) v->SetNative(n + 1);
    }
    State = vsFresh;
}

// --- TDaxDBVar --------------------------------------------------------------------------

TDaxDBVar::TDaxDBVar(TDaxComponent* owner) : TDaxVar(owner, vidDBVar)
{
    DataReady = false;
}

TDaxDBVar::~TDaxDBVar()
{
    if (dataSource_) dataSource_->RemoveLink(this);
}

void TDaxDBVar::SetDataField(const std::string& f)
{
    if (f == dataField_) return;
    dataField_ = f;
    PageChanged();
}

void TDaxDBVar::SetDataSource(TDaxDataSource* ds)
{
    if (ds == dataSource_) return;
    if (dataSource_) {
        dataSource_->RemoveLink(this);
        RemoveFreeNotification(dataSource_);
    }
    dataSource_ = ds;
    if (ds) {
        ds->AddLink(this);
        FreeNotification(ds);
    }
    PageChanged();
}

void TDaxDBVar::Notification(TDaxComponent* c, TOperation op)
{
    TDaxVar::Notification(c, op);
    if (op == TOperation::opRemove && c == dataSource_) {
        dataSource_ = nullptr;
        FieldIndex = -1;
        DataReady = false;
    }
}

void TDaxDBVar::ActiveChanged()
{
    if (DataReady) {
        DataReady = false;
        FieldIndex = -1;
        ClearValue();
    } else {
        DataReady = true;
        CreateValues();
    }
}

TDaxField* TDaxDBVar::FoundField() const
{
    if (FieldIndex < 0 || !dataSource_ || !dataSource_->DataSet()) return nullptr;
    TDaxDataSet* ds = dataSource_->DataSet();
    if (FieldIndex >= ds->FieldCount()) return nullptr;
    return &ds->Fields(FieldIndex);
}

void TDaxDBVar::CreateValues()
{
    DataReady = false;
    FieldIndex = -1;
    try {
        if (dataSource_ && dataSource_->DataSet()) {
            TDaxDataSet* ds = dataSource_->DataSet();
            if (Running()) {
                TDaxPage* p = Page();
                DataReady = p ? p->DataSourceActive(dataSource_) : ds->Active();
            } else {
                DataReady = ds->Active();
            }
            if (DataReady) {
                for (int i = 0; i < ds->FieldCount(); ++i)
                    if (SameText(ds->Fields(i).FieldName(), dataField_)) {
                        FieldIndex = i;
                        break;
                    }
            }
        }
    } catch (...) {
    }
    TDaxVar::CreateValues();
}

TDaxDataTypes TDaxDBVar::GetDataType()
{
    TDaxField* f = FoundField();
    return f ? DataTypeOfField(f->DataType()) : dtypeUnknown;
}

TFieldType TDaxDBVar::GetFieldType()
{
    if (TDaxField* f = FoundField()) return f->DataType();
    if (dataField_.empty() || !dataSource_ || !dataSource_->DataSet()) return ftUnknown;
    try {
        return dataSource_->DataSet()->FieldDefType(dataField_).value_or(ftUnknown);
    } catch (...) {
        return ftUnknown;
    }
}

void TDaxDBVar::UpdateValue()
{
    if (State != vsStale) return;
    State = vsUpdating;
    TDaxData* v = CurrentValue();
    if (v) {
        try {
            TDaxField* f = FoundField();
            if (!f) {
                v->Clear();
            } else if (f->IsNull()) {
                v->Clear();
                v->IsNull = true;
            } else {
                v->IsNull = false;
                switch (f->DataType()) {
                case ftString: v->SetNative(f->AsString()); break;
                case ftSmallint: case ftInteger: case ftWord: case ftAutoInc: v->SetNative(f->AsInteger()); break;
                case ftBoolean: v->SetNative(f->AsBoolean()); break;
                case ftFloat: case ftCurrency: case ftBCD: v->SetAsFloat(f->AsFloat()); break;
                case ftDate: case ftTime: case ftDateTime: v->SetAsDateTime(f->AsDateTime()); break;
                case ftMemo: {
                    v->Clear();
                    TStringList lines;
                    lines.SetText(f->AsString());
                    v->SetAsStrings(lines);
                    break;
                }
                case ftBlob: case ftGraphic: case ftFmtMemo: case ftParadoxOle: case ftDBaseOle: case ftTypedBinary: {
                    v->Clear();
                    v->SetAsString(f->AsBytes());
                    break;
                }
                default: v->Clear(); break;
                }
            }
        } catch (...) {
            v->Clear();
        }
    }
    State = vsFresh;
}

// --- TDaxTotalvar -----------------------------------------------------------------------

TDaxTotalvar::TDaxTotalvar(TDaxComponent* owner) : TDaxVar(owner, vidTotalVar) {}

TDaxTotalvar::~TDaxTotalvar() = default;

void TDaxTotalvar::Notification(TDaxComponent* c, TOperation op)
{
    TDaxVar::Notification(c, op);
    if (op == TOperation::opRemove && c == variable_) variable_ = nullptr;
}

void TDaxTotalvar::SetVariable(TDaxVar* v)
{
    if (v == variable_) return;
    if (auto* t = dynamic_cast<TDaxTotalvar*>(v)) DaxError(kInvalidTotalAccess, t);
    if (variable_) RemoveFreeNotification(variable_);
    variable_ = v;
    if (v) FreeNotification(v);
    PageChanged();
}

TDaxData& TDaxTotalvar::GetValue() { DaxError(kInvalidTotalAccess, this); }

TDaxTotalvar::LevelTotal* TDaxTotalvar::At(const TDaxLevel& level)
{
    if (level.Index < 0 || static_cast<size_t>(level.Index) >= levels_.size()) return nullptr;
    return &levels_[static_cast<size_t>(level.Index)];
}

void TDaxTotalvar::CreateValues()
{
    levels_.clear();
    const size_t n = Page() ? Page()->Levels().size() : 0;
    levels_.resize(n);
    if (Designing() && !Running()) State = vsStale;
    ValuesCreated = true;
}

void TDaxTotalvar::UpdateValue()
{
    if (State == vsUpdating) DaxError(kCircularReference, this);
    if (State != vsStale) return;
    State = vsUpdating;
    try {
        double x = 0;
        bool null = false;
        if (variable_) {
            if (Designing() && !variable_->ValuesCreated) variable_->CreateValues();
            if (variable_->HasData()) {
                null = variable_->IsNull();
                const TDaxDataTypes t = variable_->GetDataType();
                if (t == dtypeFloat || t == dtypeInteger) x = variable_->AsFloat();
            }
        }
        const auto* page = Page();
        const size_t n = page ? std::min(levels_.size(), page->Levels().size()) : 0;
        for (size_t i = 0; i < n; ++i) {
            LevelTotal& lt = levels_[i];
            if (lt.resetPending) {
                lt.total->Clear();
                lt.resetPending = false;
            }
            if (!page->Levels()[i]->IsHeader && !(IgnoreNulls && null) && page->CountTotals) lt.total->AddValue(x);
        }
    } catch (...) {
        State = vsStale;
        throw;
    }
    State = vsFresh;
}

void TDaxTotalvar::ResetValue()
{
    if (State != vsStale) return;
    for (auto& lt : levels_)
        if (lt.resetPending) {
            lt.total->Clear();
            lt.resetPending = false;
        }
}

void TDaxTotalvar::MarkLevelForReset(const TDaxLevel& level)
{
    if (auto* lt = At(level)) lt->resetPending = true;
}

void TDaxTotalvar::ApplyLevelReset(const TDaxLevel& level)
{
    if (auto* lt = At(level); lt && lt->resetPending) {
        lt->total->Clear();
        lt->resetPending = false;
    }
}

void TDaxTotalvar::SaveLevelTotal(const TDaxLevel& level)
{
    if (auto* lt = At(level)) lt->saved->AssignData(*lt->total);
}

void TDaxTotalvar::SaveValue()
{
    for (auto& lt : levels_) {
        lt.saved->AssignData(*lt.total);
        lt.savedResetPending = lt.resetPending;
    }
}

void TDaxTotalvar::RestoreValue()
{
    for (auto& lt : levels_) {
        lt.total->AssignData(*lt.saved);
        lt.resetPending = lt.savedResetPending;
    }
}

TDaxFloat* TDaxTotalvar::GetTotal(const TDaxLevel& level, TDaxTotalType type)
{
    if (State == vsStale) UpdateValue();
    LevelTotal* lt = At(level);
    if (!lt) return nullptr;
    lt->total->TotalType = type;
    return lt->total.get();
}
