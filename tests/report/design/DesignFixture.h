// A report page to design on: the five default bands, a variable of every kind and value
// type, and a dataset whose fields carry display settings of their own (and definitions
// without field objects).
#pragma once

#include "report/design/RpxLabelDefaults.h"
#include "report/generate/DaxBuilder.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace mwtest {

// A field with display settings of its own.
class TShownField : public TDaxDefinitionField {
public:
    using TDaxDefinitionField::TDaxDefinitionField;
    std::string DisplayLabel() const override { return Label.empty() ? FieldName() : Label; }
    int DisplayWidth() const override { return Width; }
    std::string DisplayFormat() const override { return Format; }
    TAlignment Alignment() const override { return Align; }

    std::string Label, Format;
    int Width = 10;
    TAlignment Align = taLeftJustify;
};

// Field objects for some names, bare definitions for others.
class TDesignDataSet : public TDaxDataSet {
public:
    using TDaxDataSet::TDaxDataSet;
    TShownField& AddField(const std::string& name, TFieldType type)
    {
        fields_.push_back(std::make_unique<TShownField>(name, type));
        defs_[name] = type;
        return *fields_.back();
    }
    void AddDefinition(const std::string& name, TFieldType type) { defs_[name] = type; }

    int FieldCount() const override { return static_cast<int>(fields_.size()); }
    TDaxField& Fields(int index) override { return *fields_.at(static_cast<size_t>(index)); }
    std::optional<TFieldType> FieldDefType(std::string_view name) const override
    {
        const auto it = defs_.find(std::string(name));
        return it == defs_.end() ? std::nullopt : std::optional<TFieldType>(it->second);
    }
    void First() override {}
    void Next() override {}
    bool Eof() const override { return true; }
    int RecordCount() const override { return 0; }

private:
    std::vector<std::unique_ptr<TShownField>> fields_;
    std::map<std::string, TFieldType> defs_;
};

class DesignPage : public ::testing::Test {
protected:
    DesignPage() : page(DaxBuild::Page(report, "ReportPage"))
    {
        DaxBuild::DefaultBands(page, 30);
        dataSet.SetName("Lines");
        source.SetName("LinesSource");
        source.SetDataSet(&dataSet);
        page.DataSource = &source;
    }

    TDaxBand& BandNamed(const std::string& name)
    {
        for (TDaxBand* b : page.Bands())
            if (b->Name() == name) return *b;
        ADD_FAILURE() << "no band " << name;
        return *page.Bands().front();
    }
    TDaxExprVar& Expr(const std::string& name, TDaxDataTypes type)
    {
        TDaxExprVar& v = DaxBuild::ExprVar(page, name, type);
        v.CreateValues();
        return v;
    }
    TDaxDBVar& DbVar(const std::string& field, TDaxDataSource* ds = nullptr)
    {
        auto* v = new TDaxDBVar(&page);
        v->SetName("db" + field);
        v->SetDataSource(ds ? ds : &source);
        v->SetDataField(field);
        v->SetParent(&page);
        return *v;
    }
    // The label of this name on the page (nil when there is none).
    template <class L = TDaxLabel>
    L* LabelNamed(const std::string& name)
    {
        return dynamic_cast<L*>(page.FindComponent(name));
    }

    // The dataset outlives the report, whose variables refer to it.
    TDesignDataSet dataSet;
    TDaxDataSource source;
    TDaxReport report;
    TDaxReportPage& page;
};

}  // namespace mwtest
