// The report page as its levels and variables see it: the registries of levels and
// variables placed on it, and the level operations the generator calls as bands print.
#pragma once

#include "DaxComponent.h"

#include <vector>

class TDaxLevel;
class TDaxVar;
class TDaxTotalvar;
class TDaxDataSource;

// The page's fixed bands, whose levels are the variables' default update levels.
enum class TDaxFixedBand { fbHead, fbDetail, fbFoot, fbPageHead, fbPageFoot };

class TDaxPage : public TDaxComponent {
public:
    explicit TDaxPage(TDaxComponent* owner = nullptr) : TDaxComponent(owner) {}
    ~TDaxPage() override;
    std::string ClassName() const override { return "TDaxPage"; }

    const std::vector<TDaxLevel*>& Levels() const { return levels_; }
    const std::vector<TDaxVar*>& Variables() const { return variables_; }
    const std::vector<TDaxTotalvar*>& TotalVars() const { return totals_; }
    // False while records already counted are shown again (a repeat after a page break):
    // totals then take no values.
    bool CountTotals = true;

    // The level of a fixed band, nil when the page has no such band (yet).
    virtual TDaxLevel* FixedBandLevel(TDaxFixedBand band) const { (void)band; return nullptr; }
    // While running: whether the run's data source manager holds the source as active.
    virtual bool DataSourceActive(TDaxDataSource* ds) const;
    // A variable's level, type or source changed, or one was renamed.
    virtual void VariablesChanged();

    // The caption the designer shows for the page.
    std::string Caption;
    virtual void SetCaption(const std::string& text) { Caption = text; }
    // The caption "Page: " followed by n.
    virtual void SetPageNumber(int n);

    // Numbers the levels 0, 1, 2, ... in list order.
    void NumberLevels();
    void SetVariablesRunning(bool running);
    void CreateVariableValues();

    // Level operations on the variables whose update level is the level.
    virtual void SaveLevelValues(TDaxLevel& level);
    void EnterLevel(TDaxLevel& level);
    void ResetLevel(TDaxLevel& level);
    void RestoreLevel(TDaxLevel& level);
    void MarkTotalsReset(TDaxLevel& level);
    void CommitTotals(TDaxLevel& level);

    // Called by levels and variables as their parent changes.
    void RegisterLevel(TDaxLevel* l);
    void UnregisterLevel(TDaxLevel* l);
    void RegisterVar(TDaxVar* v);
    void UnregisterVar(TDaxVar* v);

private:
    std::vector<TDaxVar*> LevelVars(const TDaxLevel& level) const;

    std::vector<TDaxLevel*> levels_;
    std::vector<TDaxVar*> variables_;
    std::vector<TDaxTotalvar*> totals_;
};

// The page class placed on a report.
class TDaxGrouppage : public TDaxPage {
public:
    explicit TDaxGrouppage(TDaxComponent* owner = nullptr) : TDaxPage(owner) {}
    std::string ClassName() const override { return "TDaxGrouppage"; }
};
