// Levels and variables: the markers that bands and variables point to, and the variables
// that carry a report's data to its labels, each computing its value lazily.
#pragma once

#include "DaxData.h"
#include "DaxDataSet.h"
#include "DaxPage.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

enum TDaxVarId : uint8_t { vidAbstract, vidDBVar, vidExprVar, vidTotalVar, vidAutoDataVar, vidDateTimeVar, vidPageVar };
std::string VarIdName(TDaxVarId id);
// The identifier compared ignoring case; an unknown one raises
// "Cannot find <identifier> in TDaxVarId".
TDaxVarId VarIdFromName(std::string_view name);
// The value type a dataset field of this type reads as.
TDaxDataTypes DataTypeOfField(TFieldType t);

// A marker on a page. Any other parent is refused silently (EAbort).
class TDaxLevel : public TDaxComponent {
public:
    explicit TDaxLevel(TDaxComponent* owner = nullptr) : TDaxComponent(owner) {}
    ~TDaxLevel() override;
    std::string ClassName() const override { return "TDaxLevel"; }
    virtual TDaxPage* GetPage() const;

    int32_t Index = 0;
    bool IsHeader = false;

protected:
    void ValidateParent(TDaxComponent* parent) override;
    void ParentChanged(TDaxComponent* oldParent) override;
};

enum TDaxVarState : uint8_t { vsStale = 0, vsUpdating = 1, vsFresh = 2 };

class TDaxVar : public TDaxComponent {
public:
    explicit TDaxVar(TDaxComponent* owner = nullptr, TDaxVarId id = vidAbstract);
    ~TDaxVar() override;
    std::string ClassName() const override { return "TDaxVar"; }
    void SetName(const std::string& name) override;
    void Loaded() override;

    // Reads bring the value up to date first (GetPrintValue).
    virtual std::string AsString();
    virtual int32_t AsInteger();
    virtual double AsFloat();
    virtual TDateTime AsDateTime();
    virtual bool AsBoolean();
    virtual TMemoryStream& AsStream();
    virtual TStrings& AsStrings();
    virtual void SetAsString(const std::string& s);
    virtual void SetAsInteger(int32_t v);
    virtual void SetAsFloat(double v);
    virtual void SetAsDateTime(TDateTime v);
    virtual void SetAsBoolean(bool v);
    virtual void SetAsStream(TStream& s);
    virtual void SetAsStrings(const TStrings& s);

    virtual TDaxDataTypes GetDataType() { return dataType_; }
    // The current value, recomputed first when stale. Without values (before they were
    // created) it raises "Datatype is bad for variable".
    virtual TDaxData& GetValue();
    virtual TDaxData& GetPrintValue() { return GetValue(); }
    virtual bool HasData() { return DataReady; }
    virtual void UpdateValue();
    virtual void SaveValue();
    virtual void RestoreValue();
    virtual void CreateValues();
    virtual void ClearValue();
    virtual void ResetValue();

    bool IsNull();
    void SetRunning(bool running);
    std::string FormatText(TDaxRootFormat& f) { return GetPrintValue().FormatText(f); }

    TDaxData* SavedValue() const { return saved_.get(); }
    TDaxData* CurrentValue() const { return current_.get(); }
    TDaxDataTypes DataType() const { return dataType_; }
    TDaxLevel* UpdateLevel() const { return updateLevel_; }
    void SetUpdateLevel(TDaxLevel* level);
    TDaxVarId ID() const { return id_; }
    TDaxPage* Page() const { return dynamic_cast<TDaxPage*>(Parent()); }
    bool Running() const { return running_; }

    bool AutoVar = false;
    TDaxVarState State = vsFresh;
    bool DataReady = true;
    bool ValuesCreated = false;
    bool Visible = false;

protected:
    void SetDataTypeField(TDaxDataTypes t);
    void ReplaceValues(std::unique_ptr<TDaxData> current, std::unique_ptr<TDaxData> saved);
    void Notification(TDaxComponent* c, TOperation op) override;
    void ParentChanged(TDaxComponent* oldParent) override;
    void PageChanged();
    // The fixed band whose level a freshly loaded variable takes.
    virtual TDaxFixedBand DefaultBand() const { return TDaxFixedBand::fbDetail; }

private:
    std::unique_ptr<TDaxData> saved_;
    std::unique_ptr<TDaxData> current_;
    TDaxDataTypes dataType_ = dtypeUnknown;
    TDaxLevel* updateLevel_ = nullptr;
    TDaxVarId id_;
    bool running_ = false;
};

// A variable filled by the application: through OnGetData when assigned, else directly
// through the setters. An exception in OnGetData leaves the variable stale and reaches
// the caller.
class TDaxExprVar : public TDaxVar {
public:
    using TGetDataEvent = std::function<void(TDaxVar& oVar)>;

    explicit TDaxExprVar(TDaxComponent* owner = nullptr);
    std::string ClassName() const override { return "TDaxExprVar"; }
    void SetDataType(TDaxDataTypes t) { SetDataTypeField(t); }
    void UpdateValue() override;

    TGetDataEvent OnGetData;
};

// The moment its values were created.
class TDaxDateTimeVar : public TDaxVar {
public:
    explicit TDaxDateTimeVar(TDaxComponent* owner = nullptr);
    std::string ClassName() const override { return "TDaxDateTimeVar"; }
    void CreateValues() override;

protected:
    TDaxFixedBand DefaultBand() const override { return TDaxFixedBand::fbHead; }
};

// Counts the entries into its level: the page number with the page header's level.
class TDaxPageVar : public TDaxVar {
public:
    explicit TDaxPageVar(TDaxComponent* owner = nullptr);
    std::string ClassName() const override { return "TDaxPageVar"; }
    void UpdateValue() override;

protected:
    TDaxFixedBand DefaultBand() const override { return TDaxFixedBand::fbPageHead; }
};

// A copy of a dataset field.
class TDaxDBVar : public TDaxVar, private TDaxDataSource::Link {
public:
    explicit TDaxDBVar(TDaxComponent* owner = nullptr);
    ~TDaxDBVar() override;
    std::string ClassName() const override { return "TDaxDBVar"; }

    TDaxDataTypes GetDataType() override;
    void UpdateValue() override;
    void CreateValues() override;
    virtual TFieldType GetFieldType();

    const std::string& DataField() const { return dataField_; }
    void SetDataField(const std::string& f);
    TDaxDataSource* DataSource() const { return dataSource_; }
    void SetDataSource(TDaxDataSource* ds);
    int32_t FieldIndex = -1;

protected:
    void Notification(TDaxComponent* c, TOperation op) override;

private:
    void ActiveChanged() override;
    TDaxField* FoundField() const;

    std::string dataField_;
    TDaxDataSource* dataSource_ = nullptr;
};

// Per-level accumulators of another variable. It has no value of its own.
class TDaxTotalvar : public TDaxVar {
public:
    explicit TDaxTotalvar(TDaxComponent* owner = nullptr);
    ~TDaxTotalvar() override;
    std::string ClassName() const override { return "TDaxTotalvar"; }

    TDaxDataTypes GetDataType() override { return dtypeFloat; }
    TDaxData& GetValue() override;   // raises "Invalid access to totalvar"
    bool HasData() override { return variable_ ? variable_->HasData() : false; }
    void UpdateValue() override;
    void SaveValue() override;
    void RestoreValue() override;
    void CreateValues() override;
    void ClearValue() override {}
    void ResetValue() override;

    // The level's accumulator reading as the total type; nil for a level the variable has
    // no accumulator for (before its values were created).
    TDaxFloat* GetTotal(const TDaxLevel& level, TDaxTotalType type);
    void MarkLevelForReset(const TDaxLevel& level);
    void ApplyLevelReset(const TDaxLevel& level);
    void SaveLevelTotal(const TDaxLevel& level);

    TDaxVar* Variable() const { return variable_; }
    // A total cannot total another total (its value is not accessible): that raises
    // "Invalid access to totalvar" with the other total's name, and nothing changes.
    void SetVariable(TDaxVar* v);
    bool IgnoreNulls = false;

protected:
    void Notification(TDaxComponent* c, TOperation op) override;

private:
    struct LevelTotal {
        std::unique_ptr<TDaxFloat> total = std::make_unique<TDaxFloat>();
        std::unique_ptr<TDaxFloat> saved = std::make_unique<TDaxFloat>();
        bool resetPending = false;
        bool savedResetPending = false;
    };
    LevelTotal* At(const TDaxLevel& level);

    TDaxVar* variable_ = nullptr;
    std::vector<LevelTotal> levels_;
};
