#include "planner/ui/Rprtfrm.h"

#include "report/generate/DaxReport.h"
#include "report/ui/RpxDialogs.h"
#include "report/ui/RpxViewer.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QPointer>

TfrmRprt* frmRprt = nullptr;

namespace {

// The report viewer behind a report run to the screen.
class TViewerDestination : public TDaxViewer {
public:
    TViewerDestination() : viewer_(new TRpxViewer) {}
    // The page's preview settings: the window state, the zoom and the stay-on-top style.
    void Configure(const TDaxPreviewSettings& settings) override
    {
        if (!viewer_) return;
        if (settings.FormStyle == pfsStayOnTop) viewer_->setWindowFlag(Qt::WindowStaysOnTopHint, true);
        else if (settings.FormStyle == pfsNormal || settings.FormStyle == pfsMDIChild)
            viewer_->setWindowFlag(Qt::WindowStaysOnTopHint, false);
        viewer_->setWindowState(settings.WindowState == wsMaximized   ? Qt::WindowMaximized
                                : settings.WindowState == wsMinimized ? Qt::WindowMinimized
                                                                      : Qt::WindowNoState);
        if (settings.Zoom <= azPage) {
            viewer_->ActivePreview()->SetZoomIndex(settings.Zoom);
            viewer_->SelectPreview(viewer_->ActivePreview());  // the zoom box shows it
        }
    }
    void SetDocument(std::shared_ptr<TRpxRpxFile> document) override
    {
        if (viewer_) viewer_->SetDocument(std::move(document));
    }
    void SetCloseCallback(std::function<void()> cb) override
    {
        if (viewer_) viewer_->OnAbort = [cb = std::move(cb)](TRpxViewer&) { cb(); };
    }
    void SetGenerating(bool generating) override
    {
        if (!viewer_) return;
        viewer_->SetGenerating(generating);
        if (!generating) viewer_->OnAbort = nullptr;
        Refresh();
    }
    void Show() override
    {
        if (viewer_) viewer_->show();
    }
    void ShowModal() override
    {
        if (viewer_) RpxShowViewerModal(*viewer_);
    }
    void Refresh() override
    {
        if (!viewer_) return;
        viewer_->UpdateStatus();
        viewer_->ActivePreview()->PageBox()->update();
    }

private:
    QPointer<TRpxViewer> viewer_;  // frees itself when the user closes it
};

// The run's "Print Status" window: the page's progress while it generates or prints, and the
// abort question, whose answer discards the report or ends it early with what it has.
class TStatusDestination : public TDaxStatusWindow {
public:
    explicit TStatusDestination(TDaxReport& report) : window_(new TFormPrintStatus)
    {
        window_->OnDiscard = [&report] { report.AbortRequested = true; };
        window_->OnEndOfData = [this] {
            if (page_) page_->Stopped = true;
        };
    }
    ~TStatusDestination() override
    {
        // A run that ends without finishing its pass (an error) takes the window away too.
        if (window_ && !window_->Finished())
            window_->StatusUpdate(page_ ? page_->PageNumber : 0, page_ ? page_->PercentDone : 0,
                                  TFormPrintStatus::stPassFinished);
    }
    void Show() override
    {
        if (window_) window_->show();
    }
    void Status(TDaxReportPage& page, TDaxStatus stat) override
    {
        page_ = &page;
        if (window_ && !window_->Finished()) window_->StatusUpdate(page.PageNumber, page.PercentDone, stat);
    }

private:
    QPointer<TFormPrintStatus> window_;  // frees itself once the pass has finished
    TDaxReportPage* page_ = nullptr;
};

// The windows of every report of the program: the destination dialog when a report prompts
// (the line report does not), the status window, and the viewer for the screen.
class TViewerWindows : public TDaxReportWindows {
public:
    bool PromptDestination(TDaxPageSetup& setup) override { return RpxAskReportDestination(setup); }
    std::unique_ptr<TDaxStatusWindow> CreateStatusWindow(TDaxReport& report) override
    {
        return std::make_unique<TStatusDestination>(report);
    }
    std::shared_ptr<TDaxViewer> CreateViewer(TDaxReportPage&) override { return std::make_shared<TViewerDestination>(); }
};

}  // namespace

TfrmRprt::TfrmRprt(QWidget* owner) : TForm(owner)
{
    setObjectName("frmRprt");
}

TfrmRprt::~TfrmRprt() = default;

namespace {

template <class C>
C* Find(TDaxComponent* in, const char* name)
{
    auto* c = dynamic_cast<C*>(in ? in->FindComponent(name) : nullptr);
    if (!c) throw EComponentError(std::string("The report window's definition lacks ") + name);
    return c;
}

}  // namespace

// The definition comes from the window's stream resource; its events bind to this window.
void TfrmRprt::LoadDefinition()
{
    QFile resource(":/planner/streams/frmRprt.stream");
    if (!resource.open(QIODevice::ReadOnly)) throw EFOpenError("The report window's definition is missing");
    const QByteArray text = resource.readAll();

    TStreamEvents events;
    events.Add<TDaxReportPage::TNotify>("ReportPageDataStart", [this](TDaxReportPage& p) { ReportPageDataStart(p); });
    events.Add<TDaxReportPage::TNotify>("ReportPageDataSkip", [this](TDaxReportPage& p) { ReportPageDataSkip(p); });
    events.Add<TDaxBand::TPrintEvent>("PageHeaderBandSubBeforePrint",
                                      [this](TDaxBand& b) { PageHeaderBandSubBeforePrint(b); });
    RegisterDaxReportClasses();
    DaxReport1 = ReadComponentTextAs<TDaxReport>(std::string_view(text.constData(), size_t(text.size())), nullptr,
                                                 &events);

    // The page is noted last: a definition that lacks a component is read again next time.
    auto* page = Find<TDaxReportPage>(DaxReport1.get(), "ReportPage");
    TDaxExprVar** vars[] = {&Desc, &PartNum, &dbFeet, &Total, &AvgPeak, &Peak};
    const char* names[] = {"Desc", "PartNum", "dbFeet", "Total", "AvgPeak", "Peak"};
    for (size_t k = 0; k < 6; ++k) *vars[k] = Find<TDaxExprVar>(page, names[k]);
    PageHeaderBand = Find<TDaxBand>(page, "PageHeaderBand");
    DetailBand = Find<TDaxBand>(page, "DetailBand");
    PageHeaderBandSub = Find<TDaxSubBand>(page, "PageHeaderBandSub");
    DetailBandSub = Find<TDaxSubBand>(page, "DetailBandSub");
    Channel = Find<TDaxTextLabel>(page, "Channel");
    TotalLength = Find<TDaxTextLabel>(page, "TotalLength");
    lblPeak = Find<TDaxTextLabel>(page, "lblPeak");
    CalcPoint = Find<TDaxTextLabel>(page, "CalcPoint");
    lblGroup = Find<TDaxTextLabel>(page, "lblGroup");
    ReportPage = page;
}

void TfrmRprt::PrintLineTable(const TStrings& List)
{
    if (!ReportPage) LoadDefinition();
    lines_ = std::make_unique<TStringList>();
    lines_->Assign(List);
    std::string* header[] = {&channel_, &totalLength_, &peak_, &calcPoint_};
    for (std::string* text : header) {
        *text = lines_->Count() > 0 ? lines_->Strings(0) : std::string();
        if (lines_->Count() > 0) lines_->Delete(0);
    }
    DetailBand->Visible = false;
    DetailBandSub->Visible = false;
    DaxReport1->Prompt = false;
    DaxReport1->Run();
}

void TfrmRprt::ReportPageDataStart(TDaxReportPage&) { index_ = -1; }

void TfrmRprt::ReportPageDataSkip(TDaxReportPage& page)
{
    ++index_;
    if (!lines_ || index_ >= lines_->Count()) {
        page.DataFinished = true;
        return;
    }
    try {
        // A spacer row is a line that is exactly the marker: a description may contain "~".
        if (lines_->Strings(index_) == "~") {
            lblGroup->Caption.clear();
            DetailBand->Visible = false;
            DetailBandSub->Visible = true;
            return;
        }
        TDaxExprVar* vars[] = {Desc, PartNum, dbFeet, Total, AvgPeak, Peak};
        for (int k = 0; k < 6; ++k) vars[k]->SetAsString(lines_->Strings(index_ + k));
        index_ += 5;
        lblGroup->Caption.clear();
        DetailBand->Visible = true;
        DetailBandSub->Visible = false;
    } catch (...) {
        // A short last row leaves the missing columns as they were.
    }
}

void TfrmRprt::PageHeaderBandSubBeforePrint(TDaxBand&)
{
    Channel->Caption = "Channel: " + channel_;
    TotalLength->Caption = "Total Length (feet): " + totalLength_;
    lblPeak->Caption = peak_;
    CalcPoint->Caption = calcPoint_;
}

void TfrmRprt::closeEvent(QCloseEvent* event)
{
    lines_.reset();
    TForm::closeEvent(event);
}

void TfrmRprt::PrintOnce(const TStrings& List)
{
    TfrmRprt report;
    report.PrintLineTable(List);
}

void InstallReportWindows()
{
    DaxReportWindowsFactory = [] { return std::make_shared<TViewerWindows>(); };
    DaxProcessMessages = [] { QCoreApplication::processEvents(); };
}

void RemoveReportWindows()
{
    DaxReportWindowsFactory = nullptr;
    DaxProcessMessages = nullptr;
}
