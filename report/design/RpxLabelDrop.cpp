#include "RpxLabelDrop.h"

#include "RpxLabelDefaults.h"

#include <algorithm>
#include <cmath>

namespace {

enum : int { catAll, catExpression, catTotal, catSystem, catManualDB };

std::vector<TDaxDataSource*> DataSources(const TDaxReportPage& page)
{
    std::vector<TDaxDataSource*> out;
    auto add = [&](TDaxDataSource* ds) {
        if (ds && std::find(out.begin(), out.end(), ds) == out.end()) out.push_back(ds);
    };
    add(page.DataSource);
    for (TDaxBand* b : page.Bands())
        if (auto* sub = dynamic_cast<TDaxSubDataBand*>(b)) add(sub->DataSource);
    return out;
}

bool InCategory(TDaxVar& v, int category)
{
    switch (category) {
    case catExpression: return v.ID() == vidExprVar;
    case catSystem: return v.ID() == vidDateTimeVar || v.ID() == vidPageVar;
    case catManualDB: return v.ID() == vidDBVar;
    default: return true;
    }
}

// A label of the class the variable's kind and type ask for, owned by the page.
TDaxLabel* NewLabelFor(TDaxVar& var, TDaxReportPage& page)
{
    if (auto* total = dynamic_cast<TDaxTotalvar*>(&var)) {
        auto* l = new TDaxTotalvarLabel(&page);
        l->SetTotalVariable(total);
        return l;
    }
    switch (DesignDataType(&var)) {
    case dtypeBoolean: {
        auto* l = new TDaxCheckLabel(&page);
        l->SetVariable(&var);
        l->BorderType = btSingle;
        return l;
    }
    case dtypeBlob:
    case dtypeGraphic: {
        auto* l = new TDaxImageLabel(&page);
        l->SetVariable(&var);
        return l;
    }
    default: {
        auto* l = new TDaxvarlabel(&page);
        l->SetVariable(&var);
        return l;
    }
    }
}

std::string CaptionText(TDaxVar& var, const TMyField* field)
{
    if (auto* db = dynamic_cast<TDaxDBVar*>(&var))
        return field && field->Field() ? field->Field()->DisplayLabel() : db->DataField();
    return var.Name();
}

} // namespace

std::vector<std::string> DropCategories(const TDaxReportPage& page)
{
    std::vector<std::string> out{"All", "Expression", "Total", "System", "Manual DB"};
    for (TDaxDataSource* ds : DataSources(page)) out.push_back(ds->Name());
    return out;
}

std::vector<TRpxDropVariable> CategoryVariables(const TDaxReportPage& page, int category)
{
    std::vector<TRpxDropVariable> out;
    const auto sources = DataSources(page);
    if (category < 0 || category >= kFixedDropCategories + static_cast<int>(sources.size())) category = catAll;
    if (category == catTotal) {
        for (TDaxTotalvar* t : page.TotalVars()) out.push_back({t, t->Name()});
    } else if (category >= kFixedDropCategories) {
        TDaxDataSource* ds = sources[static_cast<size_t>(category - kFixedDropCategories)];
        for (TDaxVar* v : page.Variables())
            if (auto* db = dynamic_cast<TDaxDBVar*>(v); db && db->DataSource() == ds)
                out.push_back({db, db->DataField()});
    } else {
        for (TDaxVar* v : page.Variables())
            if (InCategory(*v, category)) out.push_back({v, v->Name()});
    }
    return out;
}

// --- TRpxLabelDrop -------------------------------------------------------------------------

TRpxLabelDrop::TPair TRpxLabelDrop::MakePair(TDaxVar& var, const TRpxDropRequest& r, bool first)
{
    const int ppi = page_.PixelsPerInch();
    const auto field = TMyField::Of(var);
    TPair p;
    p.Label = NewLabelFor(var, page_);
    SetUniqueName(*p.Label, var.Name() + "Label", false);
    p.Label->Font = r.Target->Font;
    p.Label->SetParent(r.Target);
    ApplyLabelDefaults(*p.Label, &var, field.get(), ppi);
    (dynamic_cast<TDaxCheckLabel*>(p.Label) ? CheckLabels : VarLabels).push_back(p.Label);

    if (r.CaptionBand) {
        p.Caption = new TDaxTextLabel(&page_);
        SetUniqueName(*p.Caption, var.Name() + "Caption", false);
        p.Caption->Caption = CaptionText(var, field.get());
        p.Caption->Font = r.CaptionBand->Font;
        p.Caption->Height = RpxFontHeight(p.Caption->Font, ppi) + 6;
        p.Caption->Width = RpxTextWidth(p.Caption->Font, ppi, p.Caption->Caption) + 15;
        p.Caption->SetParent(r.CaptionBand);
        TextLabels.push_back(p.Caption);
    }
    if (r.Layout == dlHorizontalDividers && !first) {
        p.Divider = new TDaxVerticalDivider(&page_);
        SetUniqueName(*p.Divider, "Divider", false);
        p.Divider->Top = 1;
        p.Divider->Height = std::max(0, r.Target->Height - 1);
        p.Divider->SetParent(r.Target);
        Dividers.push_back(p.Divider);
    }
    return p;
}

// Lays the pairs out from the drop point. A pair is its label with the caption to its left
// (2 pixels before it), above it in the same band (2 pixels above) or in a band of its own;
// horizontal pairs are 10 pixels apart, vertical rows 5.
void TRpxLabelDrop::Place(const TRpxDropRequest& r, bool wrap)
{
    const bool vertical = r.Layout == dlVertical;
    const bool ownBand = r.CaptionBand && r.CaptionBand != r.Target;
    const int limit = page_.PrintableWidthPx();
    int x = r.X, y = r.Y, rowHeight = 0;
    for (TPair& p : pairs_) {
        TDaxLabel& l = *p.Label;
        const int cw = p.Caption ? p.Caption->Width : 0, ch = p.Caption ? p.Caption->Height : 0;
        int lx = 0, ly = 0, w = l.Width, h = l.Height;
        if (p.Caption && r.Caption == cpLeft) {
            lx = cw + 2;
            w = lx + l.Width;
            h = std::max(ch, l.Height);
        } else if (p.Caption) {
            ly = ownBand ? 0 : ch + 2;
            w = std::max(cw, l.Width);
            h = ownBand ? std::max(ch, l.Height) : ly + l.Height;
        }
        if (wrap && !vertical && x > r.X && x + w > limit) {
            x = r.X;
            y += rowHeight + 5;
            rowHeight = 0;
        }
        if (p.Caption) {
            p.Caption->Left = x;
            p.Caption->Top = y;
        }
        l.Left = x + lx;
        l.Top = y + ly;
        if (p.Divider) p.Divider->Left = std::max(0, x - 4);
        p.Right = x + w;
        rowHeight = std::max(rowHeight, h);
        if (vertical) {
            y += h + 5;
        } else {
            x += w + 10;
        }
    }
}

// Narrows the variable labels (check labels keep their size) by the part of their total
// width that passes the printable width; a cut of more than three quarters leaves every
// label at the half-inch floor.
void TRpxLabelDrop::Shrink(const TRpxDropRequest& r)
{
    const int overflow = pairs_.back().Right - page_.PrintableWidthPx();
    long long sum = 0;
    for (const TPair& p : pairs_)
        if (!dynamic_cast<TDaxCheckLabel*>(p.Label)) sum += p.Label->Width;
    // Only check labels: nothing can be narrowed, so the labels are only placed again.
    if (sum > 0) {
        double factor = std::min(1.0, 1.0 - static_cast<double>(overflow) / static_cast<double>(sum));
        if (factor < 0.25) factor = 0;
        const int floor = page_.PixelsPerInch() / 2;
        double carry = 0;
        for (TPair& p : pairs_) {
            if (dynamic_cast<TDaxCheckLabel*>(p.Label)) continue;
            const double exact = p.Label->Width * factor + carry;
            const int width = static_cast<int>(std::lround(exact));
            carry = exact - width;
            p.Label->Width = std::max(width, floor);
        }
    }
    Place(r, false);
}

void TRpxLabelDrop::Free(TDaxLabel* label)
{
    auto erase = [label](std::vector<TDaxLabel*>& list) { std::erase(list, label); };
    erase(VarLabels);
    erase(CheckLabels);
    erase(TextLabels);
    erase(Dividers);
    delete label;
}

void TRpxLabelDrop::DeleteFrom(size_t first)
{
    for (size_t i = first; i < pairs_.size(); ++i) {
        Free(pairs_[i].Label);
        if (pairs_[i].Caption) Free(pairs_[i].Caption);
        if (pairs_[i].Divider) Free(pairs_[i].Divider);
    }
    pairs_.resize(std::min(first, pairs_.size()));
}

void TRpxLabelDrop::Forget()
{
    VarLabels.clear();
    CheckLabels.clear();
    TextLabels.clear();
    Dividers.clear();
    pairs_.clear();
}

void TRpxLabelDrop::Drop(const TRpxDropRequest& r, const TAskFit& askFit)
{
    if (!r.Target) return;
    // The list the variables were picked from may be older than the page: only variables
    // still on it are dropped.
    std::vector<TDaxVar*> vars;
    for (TDaxVar* v : r.Variables)
        if (std::find(page_.Variables().begin(), page_.Variables().end(), v) != page_.Variables().end()) vars.push_back(v);
    if (vars.empty()) return;
    Forget();
    for (TDaxVar* v : vars) pairs_.push_back(MakePair(*v, r, pairs_.empty()));
    Place(r, false);

    const int limit = page_.PrintableWidthPx();
    if (pairs_.size() > 1 && pairs_.back().Right > limit && askFit) {
        switch (askFit()) {
        case faCancel:
            DeleteFrom(0);
            Forget();
            break;
        case faWrap:
            Place(r, true);
            break;
        case faShrink:
            Shrink(r);
            break;
        case faDelete: {
            size_t first = 0;
            while (first < pairs_.size() && pairs_[first].Right <= limit) ++first;
            DeleteFrom(first);
            break;
        }
        case faIgnore:
            break;
        }
    }
    if (Designer) {
        std::vector<TDaxComponent*> made;
        for (auto* list : {&VarLabels, &CheckLabels, &TextLabels, &Dividers})
            made.insert(made.end(), list->begin(), list->end());
        Designer->Select(made);
        Designer->Modified();
    }
}

void TRpxLabelDrop::Undo()
{
    // A label the user removed since is no longer the page's: only those still owned by
    // the page are freed, so a stale pointer is never touched.
    auto onPage = [this](TDaxLabel* l) {
        for (int i = 0; i < page_.ComponentCount(); ++i)
            if (page_.Components(i) == l) return true;
        return false;
    };
    bool removed = false;
    for (auto* list : {&VarLabels, &CheckLabels, &TextLabels, &Dividers})
        for (TDaxLabel* l : *list)
            if (onPage(l)) {
                delete l;
                removed = true;
            }
    Forget();
    if (removed && Designer) Designer->Modified();
}
