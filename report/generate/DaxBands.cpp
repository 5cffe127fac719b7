#include "DaxReport.h"

#include "DaxDataLoop.h"

#include <algorithm>

namespace {

[[noreturn]] void InvalidParent(const TDaxComponent& c)
{
    throw EInvalidOperation("Control '" + c.Name() + "' has no parent window");
}

// A component that goes is forgotten by everyone that refers to it, so that no later run or
// stream reads it.
template <class T>
void Forget(T*& reference, const TDaxComponent* gone)
{
    if (reference && static_cast<const TDaxComponent*>(reference) == gone) reference = nullptr;
}

} // namespace

int TDaxReserveSpace::Reserve() const { return Band ? Band->Height * BandCount + Space : Space; }

// ---- TDaxBand ---------------------------------------------------------------------------------

TDaxBand::~TDaxBand()
{
    for (TDaxLabel* l : std::vector<TDaxLabel*>(labels_)) l->SetParent(nullptr);
    if (auto* p = Page()) p->UnregisterBand(this);
}

TDaxReportPage* TDaxBand::Page() const { return dynamic_cast<TDaxReportPage*>(Parent()); }

void TDaxBand::ValidateParent(TDaxComponent* parent)
{
    TDaxComponent::ValidateParent(parent);
    if (parent && !dynamic_cast<TDaxReportPage*>(parent)) InvalidParent(*this);
}

void TDaxBand::ParentChanged(TDaxComponent* oldParent)
{
    if (auto* p = dynamic_cast<TDaxReportPage*>(oldParent)) p->UnregisterBand(this);
    if (auto* p = Page()) p->RegisterBand(this);
}

void TDaxBand::Notification(TDaxComponent* c, TOperation op)
{
    TDaxComponent::Notification(c, op);
    if (op != TOperation::opRemove) return;
    Forget(Updatelevel, c);
    Forget(ReserveSpace.Band, c);
}

void TDaxSubBand::Notification(TDaxComponent* c, TOperation op)
{
    TDaxBand::Notification(c, op);
    if (op == TOperation::opRemove) Forget(Band, c);
}

void TDaxSubDataBand::Notification(TDaxComponent* c, TOperation op)
{
    TDaxBand::Notification(c, op);
    if (op != TOperation::opRemove) return;
    Forget(Band, c);
    Forget(DataSource, c);
}

void TDaxDataHeadBand::Notification(TDaxComponent* c, TOperation op)
{
    TDaxBand::Notification(c, op);
    if (op == TOperation::opRemove) Forget(Band, c);
}

void TDaxBand::RegisterLabel(TDaxLabel* l)
{
    if (std::find(labels_.begin(), labels_.end(), l) == labels_.end()) labels_.push_back(l);
}

void TDaxBand::UnregisterLabel(TDaxLabel* l) { labels_.erase(std::remove(labels_.begin(), labels_.end(), l), labels_.end()); }

bool TDaxBand::CanPrint()
{
    if (!Visible || (Repeat && !NewPageRepeat)) return false;
    if (!OnPrintWhen) return true;
    bool result = true;
    try {
        OnPrintWhen(*this, result);
    } catch (...) {
        return false;   // a failing condition is a refusal, not reported
    }
    return result;
}

void TDaxBand::PaintBand(TDaxReportPage& page, int h, int shadeInset)
{
    TRpxCanvas& c = page.Canvas();
    const int right = page.LeftMarginPx() + page.PrintableWidthPx();
    if (Shade != spNone) {
        const TRpxRect r{page.XPos + 1, page.YPos + 1, right - 1, page.YPos + 1 + std::max(0, h - shadeInset)};
        c.SetBrush(TRpxBrush{clWhite, rbsSolid});
        c.FillRect(r);
        c.ShadeRect(r, Shade);
    }
    c.SetPen(TRpxPen{clBlack, rpsSolid, 1, rpmCopy});
    c.SetBrush(TRpxBrush{Color, rbsSolid});
    if (Color != clWhite) c.FillRect({page.XPos, page.YPos + 1, right, page.YPos + 1 + h});
    DrawBorder(c, {page.XPos, page.YPos, right - 1, page.YPos + h}, BorderType, false);
}

void TDaxBand::PrintAll(TDaxReportPage& page)
{
    if (!CanPrint()) return;
    FireEvent(this, OnBeforePrint, *this);
    Printing = true;
    if (page.InRange()) {
        PaintBand(page, Height, 2);
        for (TDaxLabel* l : std::vector<TDaxLabel*>(labels_)) l->Print(page, Height);
    }
    Printing = false;
    FireEvent(this, OnAfterPrint, *this);
}

void TDaxBand::BeginSlices()
{
    if (!CanPrint()) {
        Done = true;
        return;
    }
    FireEvent(this, OnBeforePrint, *this);
    Printing = true;
    for (TDaxLabel* l : std::vector<TDaxLabel*>(labels_)) l->StartPrint();
    Done = false;
    FirstSlice = true;
}

int TDaxBand::SpaceNeeded(TDaxReportPage& page, int room)
{
    if (!CanPrint()) return 0;
    if (!Stretch) return room >= Height ? Height : 0;
    if (!(room >= Height || room == -1 || page.YPos == page.PageStartY)) return 0;
    int h = 0;
    for (TDaxLabel* l : labels_)
        if (!l->Done) h = std::max(h, l->SpaceNeeded(page, room));
    return h;
}

int TDaxBand::PrintSlice(TDaxReportPage& page, int room)
{
    room = std::max(0, room);
    if (!CanPrint()) {
        Done = true;
        return 0;
    }
    int h = 0;
    if (page.YPos == page.PageStartY || room >= Height) {
        for (TDaxLabel* l : labels_)
            if (!l->Done) h = std::max(h, l->SpaceNeeded(page, room));
        const bool inRange = page.InRange();
        if (h > 0 && inRange) {
            if (FirstSlice) h = std::max(h, Height);
            PaintBand(page, h, 2);
        }
        TRpxOutput* out = page.Output;
        const uint8_t mode = out ? out->Mode() : 0;
        if (out && !inRange) out->SetOutputMode(3);
        for (TDaxLabel* l : std::vector<TDaxLabel*>(labels_))
            if (!l->Done) h = std::max(h, l->PrintSlice(page, room, h));
        if (out && !inRange) out->SetOutputMode(mode);
        Done = std::none_of(labels_.begin(), labels_.end(), [](TDaxLabel* l) { return !l->Done; });
        if (FirstSlice) h = std::max(h, Height);
    } else {
        // Less room than the band and not at the top of a page: take the rest of the page
        // so that the next room test breaks it.
        h = room;
    }
    FirstSlice = false;
    if (Done) FireEvent(this, OnAfterPrint, *this);
    return h;
}

// ---- TDaxSubDataBand ------------------------------------------------------------------------

TDaxSubDataBand::~TDaxSubDataBand() = default;

bool TDaxSubDataBand::Accepted()
{
    if (!OnDataFilter) return true;
    bool result = true;
    OnDataFilter(*this, result);
    return result;
}

void TDaxSubDataBand::OpenSubData()
{
    DataFinished = false;
    try {
        const auto accepted = [this] { return Accepted(); };
        const auto after = [this] { AfterSkip(); };
        const auto skip = [this] { SkipSubData(); };
        if (OnDataStart) {
            OnDataStart(*this);
            AcceptOrSkip(DataFinished, accepted, after, skip);
            return;
        }
        TDaxDataSet* ds = DataSource ? DataSource->DataSet() : nullptr;
        if (!ds) {
            DataFinished = true;
            return;
        }
        if (auto* p = Page()) p->OpenDataSource(DataSource);
        if (DataRange == drSingleRecord) {
            DataFinished = ds->Eof() || !Accepted();
            if (!DataFinished) AfterSkip();
            return;
        }
        ds->First();
        DataFinished = ds->Eof();
        AcceptOrSkip(DataFinished, accepted, after, skip);
    } catch (...) {
        DataFinished = true;
        HandleException(this);
    }
}

void TDaxSubDataBand::SkipSubData()
{
    try {
        if (OnDataSkip) {
            do
                OnDataSkip(*this);
            while (!DataFinished && !Accepted());
            if (!DataFinished) AfterSkip();
        } else if (TDaxDataSet* ds = DataSource ? DataSource->DataSet() : nullptr) {
            if (DataRange == drSingleRecord) {
                DataFinished = true;
            } else {
                int moves = 0;
                DataFinished = NextAccepted(*ds, [this] { return Accepted(); }, moves);
                if (!DataFinished) AfterSkip();
            }
        } else {
            DataFinished = true;
        }
    } catch (...) {
        DataFinished = true;
        HandleException(this);
    }
    ProcessMessages();
}

void TDaxSubDataBand::FinishSubData()
{
    try {
        if (OnDataFinish)
            OnDataFinish(*this);
        else if (CloseDataSet && DataSource && DataSource->DataSet())
            DataSource->DataSet()->Close();
    } catch (...) {
        HandleException(this);
    }
}

// ---- TDaxGroup --------------------------------------------------------------------------------

TDaxGroup::~TDaxGroup()
{
    if (auto* p = dynamic_cast<TDaxReportPage*>(Parent())) p->UnregisterGroup(this);
}

void TDaxGroup::ValidateParent(TDaxComponent* parent)
{
    TDaxComponent::ValidateParent(parent);
    if (parent && !dynamic_cast<TDaxReportPage*>(parent)) InvalidParent(*this);
}

void TDaxGroup::ParentChanged(TDaxComponent* oldParent)
{
    if (auto* p = dynamic_cast<TDaxReportPage*>(oldParent)) p->UnregisterGroup(this);
    if (auto* p = dynamic_cast<TDaxReportPage*>(Parent())) p->RegisterGroup(this);
}

void TDaxGroup::Notification(TDaxComponent* c, TOperation op)
{
    TDaxComponent::Notification(c, op);
    // Its header and footer bands are forgotten as they leave the page.
    if (op == TOperation::opRemove) Forget(Variable, c);
}

void TDaxGroup::SetName(const std::string& name)
{
    TDaxComponent::SetName(name);
    if (Header) Header->BandName = name + " Header";
    if (Footer) Footer->BandName = name + " Footer";
}

void TDaxGroup::SetLevelNumber(int n)
{
    Level = n;
    Caption = "Group: " + std::to_string(n);
}

bool TDaxGroup::IsBroken()
{
    Broken = false;
    if (Variable && Variable->SavedValue()) Broken = Variable->GetPrintValue().AsString() != Variable->SavedValue()->AsString();
    FireEvent(this, OnCheckBroken, *this);
    return Broken;
}

// ---- TDaxDSGuide --------------------------------------------------------------------------

TDaxLevel* TDaxDSGuide::UpdateLevel() const
{
    if (updateLevel_) return updateLevel_;
    auto* p = dynamic_cast<TDaxReportPage*>(Parent());
    return p ? p->FixedBandLevel(TDaxFixedBand::fbDetail) : nullptr;
}

void TDaxDSGuide::SetUpdateLevel(TDaxLevel* l)
{
    if (updateLevel_ == l) return;
    if (updateLevel_) updateLevel_->RemoveFreeNotification(this);
    updateLevel_ = l;
    if (l) l->FreeNotification(this);
}

void TDaxDSGuide::ValidateParent(TDaxComponent* parent)
{
    TDaxComponent::ValidateParent(parent);
    if (parent && !dynamic_cast<TDaxReportPage*>(parent)) InvalidParent(*this);
}

void TDaxDSGuide::Notification(TDaxComponent* c, TOperation op)
{
    TDaxComponent::Notification(c, op);
    if (op != TOperation::opRemove) return;
    Forget(updateLevel_, c);
    Forget(DataSource, c);
}

// ---- TRpxDataSourceManager ------------------------------------------------------------------

bool TRpxDataSourceManager::Open(TDaxDataSource* ds)
{
    if (!ds) return false;
    for (const auto& e : entries_)
        if (e.Source == ds) return ds->DataSet() && ds->DataSet()->Active();
    TRpxDataSource& e = entries_.emplace_back();
    e.Source = ds;
    TDaxDataSet* set = ds->DataSet();
    if (!set) return false;
    if (set->Active()) return true;
    try {
        set->SetActive(true);
        e.OpenedHere = set->Active();
        e.OpenFailed = !set->Active();
        return set->Active();
    } catch (...) {
        e.OpenFailed = true;
        return false;
    }
}

void TRpxDataSourceManager::RestoreAll()
{
    for (auto& e : entries_) {
        if (!e.OpenedHere) continue;
        TDaxDataSet* set = e.Source->DataSet();
        if (set && set->Active()) {
            try {
                set->SetActive(false);
            } catch (...) {
            }
        }
    }
    entries_.clear();
}
