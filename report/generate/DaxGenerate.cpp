// The report page's pass: data loop, record step, output and preview hand-off.
#include "DaxReport.h"

#include "DaxDataLoop.h"

#include "report/output/RpxPrint.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int32_t kNoRoomOnPage = 56466;

int Pixels(double inches, int ppi) { return static_cast<int>(std::nearbyint(inches * ppi)); }

} // namespace

std::function<void()> DaxProcessMessages;

void ProcessMessages()
{
    if (DaxProcessMessages) DaxProcessMessages();
}

TDaxReportPage::TDaxReportPage(TDaxComponent* owner) : TDaxGrouppage(owner), PageSetup(this) {}

TDaxReportPage::~TDaxReportPage()
{
    if (auto* r = Report()) r->UnregisterPage(this);
    // Bands and labels go while the page still knows them.
    while (ComponentCount() > 0) delete Components(ComponentCount() - 1);
}

void TDaxReportPage::ParentChanged(TDaxComponent* oldParent)
{
    TDaxGrouppage::ParentChanged(oldParent);
    if (auto* r = dynamic_cast<TDaxReport*>(oldParent)) r->UnregisterPage(this);
    if (auto* r = Report()) r->RegisterPage(this);
}

void TDaxReportPage::Notification(TDaxComponent* c, TOperation op)
{
    TDaxGrouppage::Notification(c, op);
    // Its fixed bands are forgotten as they leave the page (UnregisterBand).
    if (op == TOperation::opRemove && DataSource == c) DataSource = nullptr;
}

TDaxReport* TDaxReportPage::Report() const { return dynamic_cast<TDaxReport*>(Parent()); }

int TDaxReportPage::PixelsPerInch() const { return Report() ? Report()->PixelsPerInch : 96; }

TDaxLevel* TDaxReportPage::FixedBandLevel(TDaxFixedBand band) const
{
    TDaxBand* b = nullptr;
    switch (band) {
    case TDaxFixedBand::fbHead: b = Head; break;
    case TDaxFixedBand::fbDetail: b = Detail; break;
    case TDaxFixedBand::fbFoot: b = Foot; break;
    case TDaxFixedBand::fbPageHead: b = PageHead; break;
    case TDaxFixedBand::fbPageFoot: b = PageFoot; break;
    }
    return b ? b->Updatelevel : nullptr;
}

void TDaxReportPage::RegisterBand(TDaxBand* b)
{
    if (std::find(bands_.begin(), bands_.end(), b) == bands_.end()) bands_.push_back(b);
}

void TDaxReportPage::UnregisterBand(TDaxBand* b)
{
    bands_.erase(std::remove(bands_.begin(), bands_.end(), b), bands_.end());
    overlayOrder_.erase(std::remove(overlayOrder_.begin(), overlayOrder_.end(), b), overlayOrder_.end());
    for (TDaxBand** fixed : {&Head, &Detail, &Foot, &PageHead, &PageFoot})
        if (*fixed == b) *fixed = nullptr;
    for (TDaxGroup* g : groups_) {
        if (g->Header == b) g->Header = nullptr;
        if (g->Footer == b) g->Footer = nullptr;
    }
    families_.clear();
}

void TDaxReportPage::RegisterGroup(TDaxGroup* g)
{
    if (std::find(groups_.begin(), groups_.end(), g) == groups_.end()) groups_.push_back(g);
}

void TDaxReportPage::UnregisterGroup(TDaxGroup* g) { groups_.erase(std::remove(groups_.begin(), groups_.end(), g), groups_.end()); }

int TDaxReportPage::LeftMarginPx() const { return Pixels(PageSetup.LeftMargin(), PixelsPerInch()); }
int TDaxReportPage::TopMarginPx() const { return Pixels(PageSetup.TopMargin(), PixelsPerInch()); }
int TDaxReportPage::PrintableWidthPx() const { return Pixels(PageSetup.PrintableWidth(), PixelsPerInch()); }
int TDaxReportPage::PrintableHeightPx() const { return Pixels(PageSetup.PrintableHeight(), PixelsPerInch()); }

bool TDaxReportPage::InRange() const
{
    return PageNumber >= PageSetup.RangeStart && (PageSetup.RangeEnd == 0 || PageNumber <= PageSetup.RangeEnd);
}

void TDaxReportPage::RangeTest()
{
    if (PageSetup.RangeEnd != 0 && PageNumber > PageSetup.RangeEnd) Stopped = true;
}

// ---- data ---------------------------------------------------------------------------------

bool TDaxReportPage::Accepted()
{
    if (!OnDataFilter) return true;
    bool result = true;
    OnDataFilter(*this, result);
    return result;
}

bool TDaxReportPage::BeginPass()
{
    Rtf.reset();
    RtfMode = false;
    if (OutputType == otRichText) {
        Rtf = std::make_unique<TDaxRtfFile>(RtfOutputFileName(RtfFile));
        Rtf->SetPageSetup(PageSetup);
        RtfMode = true;
    }
    openSubData_.clear();
    openFamilies_.clear();
    pending_.clear();
    for (TDaxBand* b : bands_) b->Repeat = false;
    CurrentGroup = -1;
    PageStartY = 0;
    PageEmpty = true;
    Stopped = false;
    Phase = 0;
    PercentDone = 0;

    Arrange();
    PageSetup.SetUnits(unitInches);
    BuildFamilies();
    FooterHeight = 0;
    for (TDaxBand* m : Family(PageFoot))
        if (m->Visible) FooterHeight += m->Height;
    SetOrigin();
    NumberLevels();

    SetVariablesRunning(true);
    const auto vars = Variables();
    for (TDaxVar* v : vars)
        if (!dynamic_cast<TDaxDBVar*>(v)) v->CreateValues();
    OpenData();
    for (TDaxVar* v : vars)
        if (dynamic_cast<TDaxDBVar*>(v)) v->CreateValues();

    if (!DataFinished) return true;
    bool goOn = !NoDataQuit;
    if (!FireEvent(this, OnNoData, *this)) goOn = false;
    if (!goOn) RecordActive = false;
    return goOn;
}

void TDaxReportPage::OpenData()
{
    RecordsSkipped = 0;
    RecordCount = 0;
    DataFinished = false;
    const auto accepted = [this] { return Accepted(); };
    const auto after = [this] { AfterSkip(); };
    const auto skip = [this] { SkipData(); };
    try {
        if (OnDataStart) {
            OnDataStart(*this);
            AcceptOrSkip(DataFinished, accepted, after, skip);
            return;
        }
        TDaxDataSet* ds = DataSource ? DataSource->DataSet() : nullptr;
        if (!ds) {
            DataFinished = true;
            DaxError(56400, this);
        }
        manager_.Open(DataSource);
        if (DataRange == drSingleRecord) {
            RecordsSkipped = 1;
            RecordCount = 1;
            if (OnDataFilter) DataFinished = !Accepted();
            if (!DataFinished) AfterSkip();
            return;
        }
        if (!NoRecordCount) RecordCount = ds->RecordCount();
        ds->First();
        DataFinished = ds->Eof();
        AcceptOrSkip(DataFinished, accepted, after, skip);
    } catch (...) {
        DataFinished = true;
        HandleException(this);
    }
}

void TDaxReportPage::SkipData()
{
    try {
        if (OnDataSkip) {
            OnDataSkip(*this);
            ++RecordsSkipped;
            if (OnDataFilter) {
                while (!DataFinished && !Accepted()) {
                    OnDataSkip(*this);
                    ++RecordsSkipped;
                }
            }
            if (!DataFinished) AfterSkip();
        } else if (TDaxDataSet* ds = DataSource ? DataSource->DataSet() : nullptr) {
            if (DataRange == drSingleRecord) {
                DataFinished = true;
            } else {
                DataFinished = NextAccepted(*ds, [this] { return Accepted(); }, RecordsSkipped);
                if (!DataFinished) AfterSkip();
            }
        } else {
            // Data started by the application but never skipped by it: nothing can move on.
            DataFinished = true;
        }
    } catch (...) {
        // A failing skip ends the data: the record it left behind is not to be printed again.
        DataFinished = true;
        HandleException(this);
    }
    ProcessMessages();
    if (RecordCount > 0) {
        PercentDone = static_cast<float>(RecordsSkipped) / static_cast<float>(RecordCount) * 100.0f;
        if (PercentDone == 100.0f) PercentDone = 99.0f;
    }
}

void TDaxReportPage::EndPass()
{
    RecordsSkipped = RecordCount;
    try {
        if (OnDataFinish)
            OnDataFinish(*this);
        else if (CloseDataSet && DataSource && DataSource->DataSet())
            DataSource->DataSet()->Close();
    } catch (...) {
        HandleException(this);
    }
    SetVariablesRunning(false);
    closedViewer_.reset();
    families_.clear();
    openFamilies_.clear();
    pending_.clear();
    // The document is written now, on every way a run ends, a stopped or aborted one included:
    // what was generated goes to the file, and the file is replaced whole or not at all.
    std::unique_ptr<TDaxRtfFile> rtf = std::move(Rtf);
    if (CloseDataSources) manager_.RestoreAll();
    if (rtf) rtf->Finish();
}

// ---- output -------------------------------------------------------------------------------

void TDaxReportPage::StartOutput()
{
    PercentDone = 0;
    PageNumber = 1;
    PagesCounted = 1;
    PagesOutput = 0;
    if (OutputType == otNormal && Output) {
        Output->SaveToFile = Destination == destFile;
        Output->FileName = RpxFileName;
        Output->Title = Description;
        Output->BeginOutput();
        if (Output->Mode() == 1 && Destination == destScreen) {
            if (OnPreview) {
                FireEvent(this, OnPreview, *this);
            } else if (TDaxReport* r = Report()) {
                Viewer = r->Windows().CreateViewer(*this);
                if (Viewer) {
                    Viewer->Configure(PageSetup.PreviewSettings());
                    Viewer->SetDocument(Output->Document);
                    Viewer->SetCloseCallback([this] { ViewerClosed(); });
                    Viewer->SetGenerating(true);
                    if (PageSetup.PreviewSettings().ModalPreview != mpModal) Viewer->Show();
                }
            }
        }
        if (Output->Mode() == 3) RecordCount = 0;
    }
    UpdateStatus(0);
}

void TDaxReportPage::ViewerClosed()
{
    Stopped = true;
    OnUpdateStatus = nullptr;
    if (Destination == destScreen && Output) {
        if (Output->Document && Output->Document->Recording) Output->Document->EndRecording();
        Output->Document.reset();
        Output->SetOutputMode(3);
    }
    // The viewer is closing itself and calls from inside its own code: it is forgotten here
    // but released only when the pass ends.
    closedViewer_ = std::move(Viewer);
}

void TDaxReportPage::UpdateStatus(TDaxStatus kind)
{
    ProcessMessages();
    if (Viewer) Viewer->Refresh();
    if (kind == 2 && Output && Output->Mode() == 3) kind = 3;
    FireEvent(this, OnUpdateStatus, *this, kind);
}

void TDaxReportPage::PrintReportHead()
{
    BorderPending = true;
    HeadPrinted = false;
    UpdateStatus(4);
    TDaxLevel* detailLevel = Detail ? Detail->Updatelevel : nullptr;
    if (detailLevel) EnterLevel(*detailLevel);
    Phase |= phReportHead;
    PrintFamily(Head);
    Phase &= ~phReportHead;
    if (HeadPrinted) {
        // The report header has a page of its own.
        if (InRange()) ++PagesOutput;
        ++PageNumber;
        RangeTest();
        if (!Stopped) ++PagesCounted;
        SetOrigin();
        // A header page outside the range drew nothing: its output page is reused.
        if (!Stopped && OutputType == otNormal && InRange() && Output && PagesOutput > 0) Output->AdvancePage();
        BorderPending = true;
        UpdateStatus(4);
    }
    if (Stopped) return;
    PageEmpty = true;
    PrintOverlays(true);
    PrintPageBorder();
    Phase |= phPageHead;
    PrintFamily(PageHead);
    Phase &= ~phPageHead;
    PageStartY = YPos;
    PrintGroupHeaders(0);
    if (detailLevel) RestoreLevel(*detailLevel);
    Phase |= phDetail;
    FirstRecord = true;
    RecordActive = true;
    InStep = false;
}

void TDaxReportPage::StepRecord()
{
    if (InStep) return;
    InStep = true;
    try {
        TDaxLevel* detailLevel = Detail ? Detail->Updatelevel : nullptr;
        if (FirstRecord) {
            FirstRecord = false;
        } else {
            if (detailLevel) EnterLevel(*detailLevel);
            int broken = -1;
            for (size_t i = 0; i < groups_.size(); ++i)
                if (groups_[i]->IsBroken()) {
                    broken = static_cast<int>(i);
                    break;
                }
            // Footers print with the previous record's values, headers with the new one's.
            if (detailLevel) RestoreLevel(*detailLevel);
            if (broken >= 0) {
                PrintGroupFooters(broken);
                StartLevel(Detail);
                PrintGroupHeaders(broken);
                RemovePending(Detail);
                if (detailLevel) RestoreLevel(*detailLevel);
            }
        }
        if (!DataFinished) {
            if (!Output) UpdateStatus(4);
            PrintFamily(Detail);
            if (!Stopped) SkipData();
        }
        RecordActive = !(DataFinished || Stopped);
        InStep = false;
    } catch (...) {
        RecordActive = false;
        InStep = false;
        throw;
    }
}

void TDaxReportPage::EndReport()
{
    Phase &= ~phDetail;
    if (Stopped) return;
    PrintGroupFooters(0);
    Phase |= phReportFoot;
    PrintFamily(Foot);
    Phase &= ~phReportFoot;
    if (!OmitLastPgFt) PrintPageFooter();
    PrintOverlays(false);
}

void TDaxReportPage::FinishOutput(bool)
{
    RecordCount = PagesCounted;
    PercentDone = 100;
    if (RtfMode || !Output) return;
    Output->EndOutputPage();
    Output->EndOutput();
    const bool recorded = Output->Mode() != 3;
    if (Destination == destPrinter && recorded && Output->Document) {
        Stopped = false;
        PagesCounted = 1;
        PercentDone = 0;
        std::unique_ptr<TRpxPrintDevice> device = Report() ? Report()->MakePrintDevice() : nullptr;
        if (!device) throw EInvalidOperation("There is no printer to print the report on");
        TRpxPrinter printer(*device);
        printer.ProcessMessages = ProcessMessages;
        printer.OnProgress = [this](TRpxPrinter& p) {
            if (Stopped) p.Stopped = true;
            if (Report() && Report()->AbortRequested) p.Aborted = true;
            PagesCounted = p.CurrentPage;
            PercentDone = RecordCount == 0 ? 0.0f : static_cast<float>(p.CurrentPage) / RecordCount * 100.0f;
            UpdateStatus(2);
        };
        TRpxRpxFile& doc = *Output->Document;
        printer.PrintRange(doc, 1, doc.PageCount());
    }
    Output->Document.reset();
    closedViewer_.reset();
    if (Viewer) {
        std::shared_ptr<TDaxViewer> v = Viewer;
        v->SetCloseCallback(nullptr);
        v->SetGenerating(false);
        v->Refresh();
        if (PageSetup.PreviewSettings().ModalPreview == mpModal) v->ShowModal();
        Viewer.reset();
    }
}

// Guaranteed progress: a page whose header and footer leave no room for anything cannot be
// generated, and a band that cannot move on at the top of a page would break pages forever.
void TDaxReportPage::CheckProgress()
{
    if (YPos <= PageStartY && Room() <= 0) DaxError(kNoRoomOnPage, Report() ? static_cast<TDaxComponent*>(Report()) : this);
}

int TDaxReportPage::Room() const { return TopMarginPx() + PrintableHeightPx() - YPos - FooterHeight; }
