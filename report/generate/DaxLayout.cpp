// The report page's layout: band order and families, room tests, page breaks, page
// footers, overlays and repeated bands.
#include "DaxReport.h"

#include <algorithm>

namespace {

// Selection sort by key; among equal keys the first found (or the last found) goes first.
template <class T, class Key>
void SelectionSort(std::vector<T*>& v, Key key, bool lastFoundFirst)
{
    for (size_t i = 0; i < v.size(); ++i) {
        size_t best = i;
        for (size_t j = i + 1; j < v.size(); ++j) {
            const bool take = lastFoundFirst ? key(v[j]) <= key(v[best]) : key(v[j]) < key(v[best]);
            if (take) best = j;
        }
        std::swap(v[i], v[best]);
    }
}

template <class T>
void SortByOrder(std::vector<T*>& v, bool lastFoundFirst)
{
    SelectionSort(v, [](T* b) { return b->Order; }, lastFoundFirst);
    for (size_t i = 0; i < v.size(); ++i) v[i]->Order = static_cast<int>(i);
}

bool IsSubBand(const TDaxBand* b) { return dynamic_cast<const TDaxSubBand*>(b) != nullptr; }
bool IsOverlay(const TDaxBand* b) { return dynamic_cast<const TDaxOverlayBand*>(b) != nullptr; }

} // namespace

// ---- order and families -------------------------------------------------------------------

void TDaxReportPage::AppendFamilyLayout(TDaxBand* b, std::vector<TDaxBand*>& out)
{
    if (!b || std::find(out.begin(), out.end(), b) != out.end()) return;
    auto* sdb = dynamic_cast<TDaxSubDataBand*>(b);
    std::vector<TDaxSubBand*> above, below;
    std::vector<TDaxSubDataBand*> subData;
    std::vector<TDaxDataHeadBand*> heads, foots;
    for (TDaxBand* x : bands_) {
        if (x->OwnerBand() != b || x == b) continue;
        if (auto* s = dynamic_cast<TDaxSubBand*>(x)) (s->Above ? above : below).push_back(s);
        else if (auto* d = dynamic_cast<TDaxSubDataBand*>(x)) subData.push_back(d);
        else if (auto* f = dynamic_cast<TDaxDataFootBand*>(x)) foots.push_back(f);
        else if (auto* h = dynamic_cast<TDaxDataHeadBand*>(x)) heads.push_back(h);
    }
    if (sdb)
        for (auto* h : heads) AppendFamilyLayout(h, out);
    SortByOrder(above, true);
    for (auto* s : above) AppendFamilyLayout(s, out);
    out.push_back(b);
    SortByOrder(subData, false);
    for (auto* d : subData) AppendFamilyLayout(d, out);
    SortByOrder(below, true);
    for (auto* s : below) AppendFamilyLayout(s, out);
    if (sdb)
        for (auto* f : foots) AppendFamilyLayout(f, out);
}

void TDaxReportPage::Arrange()
{
    if (Loading() || !Head || !Detail || !Foot || !PageHead || !PageFoot) return;
    SelectionSort(groups_, [](TDaxGroup* g) { return g->Level; }, false);
    for (size_t i = 0; i < groups_.size(); ++i) groups_[i]->SetLevelNumber(static_cast<int>(i));

    std::vector<TDaxBand*> order;
    AppendFamilyLayout(Head, order);
    AppendFamilyLayout(PageHead, order);
    for (TDaxGroup* g : groups_) AppendFamilyLayout(g->Header, order);
    AppendFamilyLayout(Detail, order);
    for (auto g = groups_.rbegin(); g != groups_.rend(); ++g) AppendFamilyLayout((*g)->Footer, order);
    AppendFamilyLayout(PageFoot, order);
    AppendFamilyLayout(Foot, order);

    std::vector<TDaxOverlayBand*> first, last;
    for (TDaxBand* b : bands_)
        if (auto* o = dynamic_cast<TDaxOverlayBand*>(b)) (o->First ? first : last).push_back(o);
    SortByOrder(first, true);
    SortByOrder(last, true);
    overlayOrder_.clear();
    for (auto* v : {&first, &last})
        for (TDaxOverlayBand* o : *v) {
            AppendFamilyLayout(o, order);
            overlayOrder_.push_back(o);
        }
    // Bands that belong to no family (an owner that is gone) keep their place at the end.
    for (TDaxBand* b : bands_)
        if (std::find(order.begin(), order.end(), b) == order.end()) order.push_back(b);
    bands_ = std::move(order);
}

void TDaxReportPage::MakeFamily(TDaxBand* b)
{
    if (!b || b->FamilyIndex >= 0) return;
    b->FamilyIndex = static_cast<int>(families_.size());
    families_.emplace_back();
    std::vector<TDaxBand*> family;
    for (TDaxBand* x : bands_)
        if (x == b || x->OwnerBand() == b) family.push_back(x);
    families_[static_cast<size_t>(b->FamilyIndex)] = family;
    for (TDaxBand* x : family)
        if (x != b) MakeFamily(x);
}

void TDaxReportPage::BuildFamilies()
{
    families_.clear();
    for (TDaxBand* b : bands_) b->FamilyIndex = -1;
    MakeFamily(Head);
    MakeFamily(PageHead);
    for (TDaxGroup* g : groups_) MakeFamily(g->Header);
    MakeFamily(Detail);
    for (auto g = groups_.rbegin(); g != groups_.rend(); ++g) MakeFamily((*g)->Footer);
    MakeFamily(PageFoot);
    MakeFamily(Foot);
    for (TDaxBand* o : overlayOrder_) MakeFamily(o);
}

const std::vector<TDaxBand*>& TDaxReportPage::Family(const TDaxBand* b) const
{
    static const std::vector<TDaxBand*> none;
    if (!b || b->FamilyIndex < 0 || static_cast<size_t>(b->FamilyIndex) >= families_.size()) return none;
    return families_[static_cast<size_t>(b->FamilyIndex)];
}

// ---- levels -------------------------------------------------------------------------------

void TDaxReportPage::StartLevel(TDaxBand* b)
{
    if (!b || !b->Updatelevel) return;
    pending_.push_back(b->Updatelevel);
    EnterLevel(*b->Updatelevel);
}

void TDaxReportPage::RemovePending(TDaxBand* b)
{
    if (!b || !b->Updatelevel) return;
    auto it = std::find(pending_.rbegin(), pending_.rend(), b->Updatelevel);
    if (it != pending_.rend()) pending_.erase(std::next(it).base());
}

// ---- printing families and bands ----------------------------------------------------------------

bool TDaxReportPage::IsOpen(const TDaxBand* b) const
{
    return std::find(openFamilies_.begin(), openFamilies_.end(), b) != openFamilies_.end();
}

void TDaxReportPage::NewPageStep(TDaxBand* b)
{
    if (!b->NewPage || PageEmpty) {
        if (!IsOverlay(b) && b->CanPrint()) EnsureRoom(b->Height);
    } else {
        BreakPage();
    }
}

void TDaxReportPage::PrintFamily(TDaxBand* b)
{
    if (!b) return;
    openFamilies_.push_back(b);
    if (auto* sdb = dynamic_cast<TDaxSubDataBand*>(b)) {
        PrintSubDataFamily(sdb, false);
    } else {
        const bool sub = IsSubBand(b);
        if (!sub) StartLevel(b);
        const auto family = Family(b);
        for (TDaxBand* m : family) {
            if (m == b) {
                NewPageStep(b);
                PrintBand(b);
            } else {
                PrintFamily(m);
            }
        }
        if (!sub && b->Updatelevel) {
            MarkTotalsReset(*b->Updatelevel);
            CommitTotals(*b->Updatelevel);
        }
    }
    openFamilies_.pop_back();
}

void TDaxReportPage::PrintSubDataFamily(TDaxSubDataBand* b, bool repeat)
{
    // Printing and reprinting after a break walk the data alike; a reprint only lets the
    // bands with NewPageRepeat print and does no room pre-measure of its own.
    const auto printMember = [this, repeat](TDaxBand* m) {
        if (repeat) RepeatFamily(m);
        else PrintFamily(m);
    };
    const auto family = Family(b);
    TDaxBand *head = nullptr, *foot = nullptr;
    for (TDaxBand* m : family) {
        if (dynamic_cast<TDaxDataFootBand*>(m)) foot = m;
        else if (dynamic_cast<TDaxDataHeadBand*>(m)) head = m;
    }
    // A repeat shows records the totals have counted already: they are not counted again.
    struct TNoCounting {
        TDaxPage& page;
        bool was;
        ~TNoCounting() { page.CountTotals = was; }
    } noCounting{*this, CountTotals};
    if (repeat) CountTotals = false;
    TDaxLevel* level = b->Updatelevel;
    b->OpenSubData();
    openSubData_.push_back(b);
    if (b->DataFinished) {
        if (level) {
            ResetLevel(*level);
            MarkTotalsReset(*level);
            CommitTotals(*level);
        }
    } else {
        if (head) {
            if (level) EnterLevel(*level);
            printMember(head);
            if (level) RestoreLevel(*level);
        }
        do {
            StartLevel(b);
            for (TDaxBand* m : family) {
                if (m == b) {
                    if (repeat) {
                        ReprintBand(b);
                    } else {
                        NewPageStep(b);
                        PrintBand(b);
                    }
                } else if (m != head && m != foot) {
                    printMember(m);
                }
            }
            if (level) {
                MarkTotalsReset(*level);
                CommitTotals(*level);
            }
            if (!Stopped) b->SkipSubData();
        } while (!b->DataFinished && !Stopped);
    }
    if (foot) printMember(foot);
    b->FinishSubData();
    openSubData_.erase(std::remove(openSubData_.begin(), openSubData_.end(), b), openSubData_.end());
}

void TDaxReportPage::PrintBand(TDaxBand* b)
{
    if (!b->CanPrint()) return;
    if (Phase & phReportHead) HeadPrinted = true;
    if (BorderPending) PrintPageBorder();
    if (b != PageHead && !RtfMode) PageEmpty = false;
    if (!b->Stretch) {
        if (!IsOverlay(b)) EnsureRoom(b->ReserveSpace.Reserve() + b->Height);
        if (!IsOverlay(b) && b != PageHead && !RtfMode) CheckProgress();
        RemovePending(b);
        if (RtfMode) {
            if (Rtf) b->WriteRtf(*this, *Rtf);
            if (b != PageHead) PageEmpty = false;
        } else {
            b->PrintAll(*this);
            YPos += b->Height;
        }
    } else {
        PrintStretching(b, false);
    }
}

void TDaxReportPage::PrintStretching(TDaxBand* b, bool reprint)
{
    b->BeginSlices();
    if (!IsOverlay(b) && !RtfMode && !reprint) {
        const int room = b->KeepTogether ? PrintableHeightPx() : Room() - 1;
        const int needed = b->SpaceNeeded(*this, room);
        EnsureRoom(std::max(needed, b->ReserveSpace.Reserve() + b->Height));
    }
    RemovePending(b);
    while (!b->Done) {
        EnsureRoom(0);
        if (RtfMode) {
            if (Rtf) b->WriteRtf(*this, *Rtf);
            b->Done = true;
            break;
        }
        CheckProgress();
        const bool atTop = YPos <= PageStartY;
        const int used = std::max(0, b->PrintSlice(*this, Room()));
        YPos += used;
        if (used == 0 && !b->Done) {
            // A slice that took nothing needs a fresh page; at the top of one, or over a page
            // that cannot break (an overlay), no later slice would fare better.
            if (atTop || (Phase & phOverlays))
                DaxError(56466, Report() ? static_cast<TDaxComponent*>(Report()) : this);
            BreakPage();
        }
    }
    b->EndSlices();
}

void TDaxReportPage::EnsureRoom(int h)
{
    if (RtfMode) return;
    const int footer = (Phase & phReportHead) ? 0 : FooterHeight;
    if (footer + h + YPos >= TopMarginPx() + PrintableHeightPx()) BreakPage();
}

void TDaxReportPage::BreakPage()
{
    // An RTF document breaks its pages where bands ask for a new one (the writer's \page).
    if (RtfMode) return;
    if (YPos <= PageStartY || (Phase & phOverlays)) return;
    if (OnBeforeNewPage) {
        bool doNewPage = true;
        const int before = YPos;
        FireEvent(this, OnBeforeNewPage, *this, doNewPage);
        // A veto holds only when the handler also made room.
        if (YPos >= before) doNewPage = true;
        if (!doNewPage) return;
    }
    for (auto it = pending_.rbegin(); it != pending_.rend(); ++it) RestoreLevel(**it);
    PrintPageFooter();
    PrintOverlays(false);

    if (InRange()) ++PagesOutput;
    ++PageNumber;
    RangeTest();
    if (!Stopped) ++PagesCounted;
    SetOrigin();
    const auto pending = pending_;
    for (TDaxLevel* l : pending) EnterLevel(*l);

    if (InRange()) {
        if (PagesOutput > 0 && OutputType == otNormal && Output) {
            Output->EndOutputPage();
            try {
                PageSetup.CopyPrinterSetupTo(*Output->PrinterSetup);
                if (OnNewPage) {
                    OnNewPage(*this, Output, PagesCounted);
                    PageSetup.ApplyToPrinter();
                    PageSetup.CopyPrinterSetupTo(*Output->PrinterSetup);
                    Output->PrinterSetup->ApplyToPrinter();
                }
            } catch (...) {
                // A new-page handler may change the paper; its failure only skips that change.
            }
            Output->StartOutputPage();
            Output->Progress = PercentDone;
        }
        PrintOverlays(true);
        BorderPending = true;
        PrintPageBorder();
    }
    UpdateStatus(4);
    if (!(Phase & phPageHead)) {
        if (!(Phase & phReportHead)) {
            Phase |= phPageHead;
            PrintFamily(PageHead);
            Phase &= ~phPageHead;
        }
        ReprintRepeats();
    }
    PageStartY = YPos;
}

void TDaxReportPage::PrintGroupHeaders(int g)
{
    const uint16_t saved = Phase & phGroupHeaders;
    Phase |= phGroupHeaders;
    for (int i = g; i < static_cast<int>(groups_.size()); ++i) {
        CurrentGroup = i;
        TDaxBand* h = groups_[static_cast<size_t>(i)]->Header;
        if (!h) continue;
        const bool suppress = !GroupPageBreaks && i != g;
        const auto family = Family(h);
        if (suppress)
            for (TDaxBand* m : family) {
                m->SavedNewPage = m->NewPage;
                m->NewPage = false;
            }
        PrintFamily(h);
        if (suppress)
            for (TDaxBand* m : family) m->NewPage = m->SavedNewPage;
    }
    Phase = static_cast<uint16_t>((Phase & ~phGroupHeaders) | saved);
}

void TDaxReportPage::PrintGroupFooters(int g)
{
    const uint16_t saved = Phase & phGroupFooters;
    Phase |= phGroupFooters;
    for (int i = static_cast<int>(groups_.size()) - 1; i >= g; --i) {
        PrintFamily(groups_[static_cast<size_t>(i)]->Footer);
        CurrentGroup = i - 1;
    }
    Phase = static_cast<uint16_t>((Phase & ~phGroupFooters) | saved);
}

void TDaxReportPage::PrintPageFooter()
{
    if ((Phase & (phReportHead | phPageFoot)) || !PageFoot) return;
    Phase |= phPageFoot;
    TDaxLevel* level = PageFoot->Updatelevel;
    if (level)
        for (TDaxTotalvar* t : TotalVars()) t->ApplyLevelReset(*level);
    if (level) EnterLevel(*level);
    int sum = 0;
    const auto family = Family(PageFoot);
    for (TDaxBand* m : family) {
        // Anchored to the bottom of the printable area, wherever the page's bands ended.
        XPos = LeftMarginPx();
        YPos = TopMarginPx() + PrintableHeightPx() - FooterHeight + sum;
        if (RtfMode) {
            if (Rtf) m->WriteRtf(*this, *Rtf);
        } else {
            m->PrintAll(*this);
        }
        if (m->Visible) sum += m->Height;
    }
    if (level) {
        MarkTotalsReset(*level);
        CommitTotals(*level);
    }
    Phase &= ~phPageFoot;
}

void TDaxReportPage::PrintOverlays(bool first)
{
    if (Phase & (phReportHead | phOverlays)) return;
    Phase |= phOverlays;
    const int x = XPos, y = YPos;
    for (TDaxBand* b : std::vector<TDaxBand*>(overlayOrder_)) {
        auto* o = static_cast<TDaxOverlayBand*>(b);
        if (o->First != first) continue;
        XPos = o->UseMargins ? LeftMarginPx() + o->LeftOffset : o->LeftOffset;
        YPos = o->UseMargins ? TopMarginPx() + o->TopOffset : o->TopOffset;
        PrintFamily(o);
    }
    // Overlays never move the place where the next band goes.
    XPos = x;
    YPos = y;
    Phase &= ~phOverlays;
}

void TDaxReportPage::PrintPageBorder()
{
    BorderPending = false;
    if (BorderType != btSingle || RtfMode || !Output || !InRange()) return;
    const int l = LeftMarginPx(), t = TopMarginPx();
    DrawBorder(Canvas(), {l, t, l + PrintableWidthPx() - 1, t + PrintableHeightPx()}, btSingle, false);
}

// ---- repeats ------------------------------------------------------------------------------

void TDaxReportPage::ReprintRepeats()
{
    if (Phase & phRepeat) return;
    Phase |= phRepeat;
    for (TDaxBand* b : bands_) b->Repeat = true;
    const int groups = static_cast<int>(groups_.size());
    if (Phase & phReportHead) ReprintFamily(Head);
    if (CurrentGroup >= 0 && CurrentGroup < groups)
        for (int i = 0; i <= CurrentGroup; ++i) ReprintFamily(groups_[static_cast<size_t>(i)]->Header);
    if (Phase & phDetail) ReprintFamily(Detail);
    if ((Phase & phGroupFooters) && CurrentGroup < groups)
        for (int i = CurrentGroup; i >= 0; --i) ReprintFamily(groups_[static_cast<size_t>(i)]->Footer);
    if (Phase & phReportFoot) ReprintFamily(Foot);
    for (TDaxBand* b : bands_) b->Repeat = false;
    Phase &= ~phRepeat;
}

void TDaxReportPage::ReprintFamily(TDaxBand* b)
{
    if (!b) return;
    if (dynamic_cast<TDaxSubDataBand*>(b) && !IsOpen(b)) return;
    const bool innermost = !openFamilies_.empty() && openFamilies_.back() == b;
    const auto family = Family(b);
    const auto self = std::find(family.begin(), family.end(), b);
    bool printedSelf = false;
    if (IsOpen(b)) {
        // The family opened right after b tells how far b's family got.
        auto pos = std::find(openFamilies_.begin(), openFamilies_.end(), b);
        if (++pos != openFamilies_.end()) {
            auto child = std::find(family.begin(), family.end(), *pos);
            printedSelf = child != family.end() && child >= self;
        }
    }
    if (!innermost && b->NewPageRepeat && (!IsOpen(b) || printedSelf)) {
        RepeatFamily(b);
        return;
    }
    for (TDaxBand* m : family) {
        if (m == b) continue;
        if (m->NewPageRepeat)
            RepeatFamily(m);
        else
            ReprintFamily(m);
        if (IsOpen(m)) break;
    }
}

void TDaxReportPage::RepeatFamily(TDaxBand* b)
{
    const bool innermost = !openFamilies_.empty() && openFamilies_.back() == b;
    const auto family = Family(b);
    if (auto* sdb = dynamic_cast<TDaxSubDataBand*>(b)) {
        // A repeated sub data band walks its data again. One whose walk is still under way
        // at the break is not opened again, which would move the record its walk stands on:
        // like one without NewPageRepeat, only its members are visited (its data head, say).
        if (sdb->NewPageRepeat && !IsOpen(sdb)) {
            PrintSubDataFamily(sdb, true);
            return;
        }
        for (TDaxBand* m : family)
            if (m != b) RepeatFamily(m);
        return;
    }
    if (innermost) return;
    const bool ownLevel = b->NewPageRepeat && !IsSubBand(b) && b != Detail;
    if (ownLevel) StartLevel(b);
    for (TDaxBand* m : family) {
        if (m == b) {
            if (b->NewPageRepeat) ReprintBand(b);
        } else {
            RepeatFamily(m);
        }
    }
    if (ownLevel && b->Updatelevel) {
        MarkTotalsReset(*b->Updatelevel);
        CommitTotals(*b->Updatelevel);
    }
}

void TDaxReportPage::ReprintBand(TDaxBand* b)
{
    if (!b->CanPrint()) return;
    if (BorderPending) PrintPageBorder();
    if (b->Stretch) {
        PrintStretching(b, true);
    } else {
        EnsureRoom(b->ReserveSpace.Reserve() + b->Height);
        if (RtfMode) {
            if (Rtf) b->WriteRtf(*this, *Rtf);
        } else {
            b->PrintAll(*this);
            YPos += b->Height;
        }
        RemovePending(b);
    }
}
