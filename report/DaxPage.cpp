#include "DaxPage.h"

#include "DaxVars.h"

#include <algorithm>
#include <string>

namespace {
template <class T>
void EraseFrom(std::vector<T*>& v, T* x) { v.erase(std::remove(v.begin(), v.end(), x), v.end()); }
} // namespace

TDaxPage::~TDaxPage()
{
    // Owned levels and variables go before the registries do.
    while (ComponentCount() > 0) delete Components(ComponentCount() - 1);
}

void TDaxPage::SetPageNumber(int n) { SetCaption("Page: " + std::to_string(n)); }

bool TDaxPage::DataSourceActive(TDaxDataSource* ds) const
{
    return ds && ds->DataSet() && ds->DataSet()->Active();
}

void TDaxPage::VariablesChanged()
{
    totals_.clear();
    for (auto* v : variables_)
        if (auto* t = dynamic_cast<TDaxTotalvar*>(v)) totals_.push_back(t);
}

void TDaxPage::NumberLevels()
{
    for (size_t i = 0; i < levels_.size(); ++i) levels_[i]->Index = static_cast<int32_t>(i);
}

void TDaxPage::SetVariablesRunning(bool running)
{
    const auto vars = variables_;
    for (auto* v : vars) v->SetRunning(running);
}

void TDaxPage::CreateVariableValues()
{
    const auto vars = variables_;
    for (auto* v : vars) v->CreateValues();
}

std::vector<TDaxVar*> TDaxPage::LevelVars(const TDaxLevel& level) const
{
    std::vector<TDaxVar*> r;
    for (auto* v : variables_)
        if (v->UpdateLevel() == &level) r.push_back(v);
    return r;
}

void TDaxPage::SaveLevelValues(TDaxLevel& level)
{
    for (auto* v : LevelVars(level)) v->SaveValue();
}

void TDaxPage::EnterLevel(TDaxLevel& level)
{
    SaveLevelValues(level);
    const auto vars = LevelVars(level);
    for (auto* v : vars) v->State = vsStale;
    for (auto* v : vars) v->UpdateValue();
}

void TDaxPage::ResetLevel(TDaxLevel& level)
{
    SaveLevelValues(level);
    const auto vars = LevelVars(level);
    for (auto* v : vars) v->State = vsStale;
    for (auto* v : vars) v->ResetValue();
}

void TDaxPage::RestoreLevel(TDaxLevel& level)
{
    for (auto* v : LevelVars(level)) v->RestoreValue();
}

void TDaxPage::MarkTotalsReset(TDaxLevel& level)
{
    for (auto* t : totals_) t->MarkLevelForReset(level);
}

void TDaxPage::CommitTotals(TDaxLevel& level)
{
    for (auto* t : totals_) t->SaveLevelTotal(level);
}

void TDaxPage::RegisterLevel(TDaxLevel* l)
{
    if (std::find(levels_.begin(), levels_.end(), l) == levels_.end()) levels_.push_back(l);
}

void TDaxPage::UnregisterLevel(TDaxLevel* l) { EraseFrom(levels_, l); }

void TDaxPage::RegisterVar(TDaxVar* v)
{
    if (std::find(variables_.begin(), variables_.end(), v) == variables_.end()) variables_.push_back(v);
    VariablesChanged();
}

void TDaxPage::UnregisterVar(TDaxVar* v)
{
    EraseFrom(variables_, v);
    // v may be half destroyed: compare addresses only.
    totals_.erase(std::remove_if(totals_.begin(), totals_.end(),
                                 [v](TDaxTotalvar* t) { return static_cast<TDaxVar*>(t) == v; }),
                  totals_.end());
    if (!Destroying()) VariablesChanged();
}
