// The report container and its cooperative run.
#include "DaxReport.h"

#include <algorithm>

std::function<std::shared_ptr<TDaxReportWindows>()> DaxReportWindowsFactory;

namespace {

// What a report runs with when nobody gave it windows: no dialog (the page setup's
// destination stands), no status window, no viewer.
class THeadlessWindows : public TDaxReportWindows {
public:
    bool PromptDestination(TDaxPageSetup&) override { return true; }
    std::unique_ptr<TDaxStatusWindow> CreateStatusWindow(TDaxReport&) override { return nullptr; }
    std::shared_ptr<TDaxViewer> CreateViewer(TDaxReportPage&) override { return nullptr; }
};

} // namespace

TDaxReport::~TDaxReport()
{
    if (Running) FinishRun();
    for (TDaxReportPage* p : std::vector<TDaxReportPage*>(pages_)) p->SetParent(nullptr);
    while (ComponentCount() > 0) delete Components(ComponentCount() - 1);
}

void TDaxReport::RegisterPage(TDaxReportPage* p)
{
    if (std::find(pages_.begin(), pages_.end(), p) == pages_.end()) pages_.push_back(p);
}

void TDaxReport::UnregisterPage(TDaxReportPage* p)
{
    pages_.erase(std::remove(pages_.begin(), pages_.end(), p), pages_.end());
    if (page_ == p) page_ = nullptr;
}

TDaxReportWindows& TDaxReport::Windows()
{
    if (!ReportWindows) ReportWindows = DaxReportWindowsFactory ? DaxReportWindowsFactory() : nullptr;
    if (!ReportWindows) ReportWindows = std::make_shared<THeadlessWindows>();
    return *ReportWindows;
}

std::unique_ptr<TRpxPrintDevice> TDaxReport::MakePrintDevice()
{
    if (PrintDeviceFactory) return PrintDeviceFactory();
    return RpxPrintDeviceFactory ? RpxPrintDeviceFactory() : nullptr;
}

void TDaxReport::Loaded()
{
    TDaxComponent::Loaded();
    if (AutoRun && !Designing()) Run();
}

void TDaxReport::Run()
{
    if (!PrepareRun()) return;
    while (Running) {
        RunStep();
        ProcessMessages();
    }
}

bool TDaxReport::PromptDestination(TDaxReportPage& page)
{
    if (OnPromptPrint) {
        bool result = false;
        try {
            OnPromptPrint(page, result);
        } catch (...) {
            return false;
        }
        return result;
    }
    return Windows().PromptDestination(page.PageSetup);
}

bool TDaxReport::PrepareRun()
{
    if (Running) return false;   // never re-entered, and nothing reported
    Running = true;
    page_ = pages_.empty() ? nullptr : pages_.front();
    output_.reset();
    StatusWindow.reset();
    Pass = 0;
    bool result = false;
    try {
        if (!page_) throw EInvalidOperation("Report '" + Name() + "' has no page");
        setupCopy_ = std::make_unique<TDaxPageSetup>(page_);
        setupCopy_->Assign(page_->PageSetup);
        PassCount = page_->TwoPass ? 2 : 1;
        if (PrinterCount() > 0 && PrinterBackend().Printing()) DaxError(56405, this);
        if (page_->OutputType == otNormal) {
            try {
                output_ = std::make_unique<TRpxOutput>();
            } catch (...) {
                DaxError(56406, this);
            }
            output_->PixelsPerInchX = output_->PixelsPerInchY = PixelsPerInch;
        }
        if (auto* info = TRpxPrinterInfo::Cached()) info->Refresh();
        page_->PageSetup.ApplyToPrinter();
        // Without the prompt the page setup's destination stands and the run goes on.
        result = Prompt ? PromptDestination(*page_) : true;
        TDaxPageSetup& ps = page_->PageSetup;
        const bool custom = ps.Size() == psCustom;
        const double h = ps.Height(), w = ps.Width();
        ps.ReadFromPrinter();
        if (custom) {
            ps.SetSize(psCustom);
            ps.SetHeight(h);
            ps.SetWidth(w);
        }
        if (output_) {
            ps.CopyPrinterSetupTo(*output_->PrinterSetup);
            output_->PrinterSetup->ApplyToPrinter();
        }
        if (page_->OutputType == otRichText) PassCount = 1;
        if (!result) FinishRun();
    } catch (...) {
        result = false;
        FinishRun();
        HandleException(this);
    }
    return result;
}

// Every step is guarded: a failure is reported, what was generated is abandoned (a cut-short
// report is never delivered as complete) and the run finishes.
void TDaxReport::Guarded(void (TDaxReport::*step)())
{
    try {
        (this->*step)();
    } catch (...) {
        if (page_ && output_) {
            try {
                output_->AbortOutput();
            } catch (...) {
            }
            output_->Document.reset();
            if (page_->Viewer) {
                std::shared_ptr<TDaxViewer> v = page_->Viewer;
                page_->Viewer.reset();
                v->SetCloseCallback(nullptr);
                v->SetGenerating(false);
            }
        }
        RestoreStatusHandler();
        FinishRun();
        HandleException(this);
    }
}

void TDaxReport::RunStep()
{
    if (!Running || !page_) return;
    if (page_->RecordActive) {
        Guarded(&TDaxReport::StepOnce);
        return;
    }
    if (Pass > 0) Guarded(&TDaxReport::EndCurrentPass);
    if (!Running) return;
    if (Pass < PassCount)
        Guarded(&TDaxReport::StartPass);
    else
        FinishRun();
}

void TDaxReport::EndCurrentPass()
{
    TDaxReportPage& page = *page_;
    page.EndReport();
    if (AbortRequested && output_) {
        output_->AbortOutput();
        output_->Document.reset();
        if (page.Viewer) {
            std::shared_ptr<TDaxViewer> v = page.Viewer;
            page.Viewer.reset();
            v->SetCloseCallback(nullptr);
            v->SetGenerating(false);
        }
    } else {
        page.FinishOutput();
    }
    page.UpdateStatus(1);
    RestoreStatusHandler();
    page.PageSetup.SetUnits(savedUnits_);
    if (AbortRequested) Pass = 2;
    DoAfterPrint();
}

void TDaxReport::RestoreStatusHandler()
{
    if (!statusInstalled_ || !page_) return;
    page_->OnUpdateStatus = std::move(savedStatus_);
    savedStatus_ = nullptr;
    statusInstalled_ = false;
    StatusWindow.reset();
}

void TDaxReport::StartPass()
{
    TDaxReportPage& page = *page_;
    ++Pass;
    DoBeforePrint();
    const TDaxDestination dest = page.PageSetup.Destination;
    page.Destination = dest;
    const bool wantStatus = page.OutputType == otRichText || dest == destPrinter || dest == destFile ||
                            (dest == destScreen && page.PageSetup.PreviewSettings().ModalPreview == mpModal) ||
                            (PassCount == 2 && Pass == 1);
    if (!SuppressStatus && wantStatus) {
        StatusWindow = Windows().CreateStatusWindow(*this);
        if (StatusWindow) {
            // The application's own handler comes back when the pass ends.
            savedStatus_ = std::move(page.OnUpdateStatus);
            statusInstalled_ = true;
            TDaxStatusWindow* w = StatusWindow.get();
            page.OnUpdateStatus = [w](TDaxReportPage& p, TDaxStatus s) { w->Status(p, s); };
            w->Show();
            ProcessMessages();
        }
    }
    page.Output = output_.get();
    savedUnits_ = page.PageSetup.Units();
    page.PageSetup.SetUnits(unitInches);
    AbortRequested = false;
    if (page.OutputType == otNormal && output_) output_->SetOutputMode(PassCount == 2 && Pass == 1 ? 3 : 1);
    if (page.BeginPass()) {
        page.StartOutput();
        page.PrintReportHead();
    } else {
        page.UpdateStatus(1);
        RestoreStatusHandler();
        page.PageSetup.SetUnits(savedUnits_);
        DoAfterPrint();
        FinishRun();
    }
}

void TDaxReport::FinishRun()
{
    if (page_) {
        RestoreStatusHandler();
        if (setupCopy_) page_->PageSetup.Assign(*setupCopy_);
        try {
            page_->EndPass();
        } catch (...) {
            HandleException(this);
        }
        page_->Output = nullptr;
        page_->RecordActive = false;
    }
    setupCopy_.reset();
    output_.reset();
    StatusWindow.reset();
    Running = false;
}
