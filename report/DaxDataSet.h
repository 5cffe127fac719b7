// The data the report walks: a small dataset interface of our own (fields with types and
// nulls, first/next/end of file, an active state) and an in-memory implementation.
#pragma once

#include "DaxComponent.h"

#include "platform/runtime/NumText.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

// Field types, in the class library's order.
enum TFieldType : uint8_t {
    ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency, ftBCD,
    ftDate, ftTime, ftDateTime, ftBytes, ftVarBytes, ftAutoInc, ftBlob, ftMemo, ftGraphic,
    ftFmtMemo, ftParadoxOle, ftDBaseOle, ftTypedBinary,
};

class TDaxDataSet;

// One field of the current record. Conversions that do not fit raise EConvertError.
class TDaxField {
public:
    virtual ~TDaxField() = default;
    virtual const std::string& FieldName() const = 0;
    virtual TFieldType DataType() const = 0;
    virtual bool IsNull() const = 0;
    virtual std::string AsString() const = 0;
    virtual int32_t AsInteger() const = 0;
    virtual double AsFloat() const = 0;
    virtual bool AsBoolean() const = 0;
    virtual TDateTime AsDateTime() const = 0;
    // The raw bytes of a blob, graphic or memo field (the text of any other field).
    virtual std::string AsBytes() const { return AsString(); }

    // How the field wants to be shown: a caption, a width in characters, a display format
    // (empty: the type's own) and an alignment. The defaults are the type's.
    enum TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };
    virtual std::string DisplayLabel() const { return FieldName(); }
    virtual int DisplayWidth() const { return DefaultDisplayWidth(DataType()); }
    virtual std::string DisplayFormat() const { return {}; }
    virtual TAlignment Alignment() const { return DefaultAlignment(DataType()); }
    static int DefaultDisplayWidth(TFieldType type);
    static TAlignment DefaultAlignment(TFieldType type);
};

// Tells its links when its dataset opens or closes.
class TDaxDataSource : public TDaxComponent {
public:
    class Link {
    public:
        virtual ~Link() = default;
        virtual void ActiveChanged() = 0;
    };

    explicit TDaxDataSource(TDaxComponent* owner = nullptr) : TDaxComponent(owner) {}
    ~TDaxDataSource() override;
    std::string ClassName() const override { return "TDaxDataSource"; }

    TDaxDataSet* DataSet() const { return dataSet_; }
    void SetDataSet(TDaxDataSet* ds);
    void AddLink(Link* l);
    void RemoveLink(Link* l);
    void DataSetActiveChanged();

protected:
    void Notification(TDaxComponent* c, TOperation op) override;

private:
    TDaxDataSet* dataSet_ = nullptr;
    std::vector<Link*> links_;
};

class TDaxDataSet : public TDaxComponent {
public:
    explicit TDaxDataSet(TDaxComponent* owner = nullptr) : TDaxComponent(owner) {}
    std::string ClassName() const override { return "TDaxDataSet"; }

    bool Active() const { return active_; }
    void SetActive(bool a);
    void Open() { SetActive(true); }
    void Close() { SetActive(false); }

    virtual int FieldCount() const = 0;
    virtual TDaxField& Fields(int index) = 0;
    TDaxField* FindField(std::string_view name);
    // The type of a field definition, known also while the dataset is closed.
    virtual std::optional<TFieldType> FieldDefType(std::string_view name) const = 0;
    virtual void First() = 0;
    virtual void Next() = 0;
    virtual bool Eof() const = 0;
    virtual int RecordCount() const = 0;

protected:
    virtual void DoOpen() {}
    virtual void DoClose() {}

private:
    friend class TDaxDataSource;
    bool active_ = false;
    std::vector<TDaxDataSource*> sources_;
};

// A table in memory. A cell is null, or holds text, a whole number, a float, a Boolean or
// bytes; the field's type decides how it reads.
class TDaxMemoryDataSet : public TDaxDataSet {
public:
    using Cell = std::variant<std::monostate, std::string, int64_t, double, bool>;

    explicit TDaxMemoryDataSet(TDaxComponent* owner = nullptr);
    ~TDaxMemoryDataSet() override;
    std::string ClassName() const override { return "TDaxMemoryDataSet"; }

    void AddField(const std::string& name, TFieldType type);
    // A record, one cell per field (missing cells are null).
    void AppendRecord(std::vector<Cell> cells);

    int FieldCount() const override { return static_cast<int>(fields_.size()); }
    TDaxField& Fields(int index) override;
    std::optional<TFieldType> FieldDefType(std::string_view name) const override;
    void First() override { row_ = 0; }
    void Next() override { if (row_ < rows_.size()) ++row_; }
    bool Eof() const override { return row_ >= rows_.size(); }
    int RecordCount() const override { return Active() ? static_cast<int>(rows_.size()) : 0; }

protected:
    void DoOpen() override { row_ = 0; }

private:
    class Field;
    std::vector<std::unique_ptr<Field>> fields_;
    std::vector<std::vector<Cell>> rows_;
    size_t row_ = 0;
};
