#include "planner/ui/Rprtfrm.h"

#include "report/generate/DaxBuilder.h"
#include "report/generate/DaxReport.h"
#include "report/ui/RpxViewer.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QPointer>

TfrmRprt* frmRprt = nullptr;

using namespace DaxBuild;

namespace {

// Letter, half-inch margins at 96 pixels per inch: 720 pixels across. The detail columns sit
// under the page header's captions.
struct TColumn {
    int left, width;
};
constexpr TColumn kDesc{0, 226}, kPartNum{232, 116}, kDbFeet{352, 72}, kTotal{428, 60}, kAvg{492, 124},
    kPeak{620, 100};

TDaxTextLabel& TopText(TDaxBand& band, const std::string& name, const std::string& text, TColumn col, int top)
{
    TDaxTextLabel& l = Text(band, name, text, col.left, top, col.width, 17);
    l.AlignVertical = laTop;
    return l;
}

// The report viewer behind a report run to the screen.
class TViewerDestination : public TDaxViewer {
public:
    TViewerDestination() : viewer_(new TRpxViewer) {}
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

// Runs to the screen only, without asking: the report's prompt is off.
class TViewerWindows : public TDaxReportWindows {
public:
    bool PromptDestination(TDaxPageSetup&) override { return true; }
    std::unique_ptr<TDaxStatusWindow> CreateStatusWindow(TDaxReport&) override { return nullptr; }
    std::shared_ptr<TDaxViewer> CreateViewer(TDaxReportPage&) override { return std::make_shared<TViewerDestination>(); }
};

}  // namespace

TfrmRprt::TfrmRprt(QWidget* owner) : TForm(owner), DaxReport1(std::make_unique<TDaxReport>())
{
    setObjectName("frmRprt");
    BuildDefinition();
}

TfrmRprt::~TfrmRprt() = default;

void TfrmRprt::BuildDefinition()
{
    TDaxReport& report = *DaxReport1;
    report.SetName("DaxReport1");
    report.Prompt = true;
    report.AutoRun = false;

    TDaxReportPage& page = Page(report, "ReportPage");
    ReportPage = &page;
    page.PageSetup.SetWidth(8.5);
    page.PageSetup.SetHeight(11.0);
    page.DataRange = drAllRecords;
    page.OnDataStart = [this](TDaxReportPage& p) { ReportPageDataStart(p); };
    page.OnDataSkip = [this](TDaxReportPage& p) { ReportPageDataSkip(p); };
    DefaultBands(page, 20);
    auto* dateTime = new TDaxDateTimeVar(&page);
    dateTime->SetName("DaxDateTimeVar1");
    dateTime->SetParent(&page);
    auto* pageNumber = new TDaxPageVar(&page);
    pageNumber->SetName("DaxPageVar1");
    pageNumber->SetParent(&page);

    TDaxExprVar** vars[] = {&Desc, &PartNum, &dbFeet, &Total, &AvgPeak, &Peak};
    const char* names[] = {"Desc", "PartNum", "dbFeet", "Total", "AvgPeak", "Peak"};
    for (size_t k = 0; k < 6; ++k) *vars[k] = &ExprVar(page, names[k], dtypeString, page.Detail->Updatelevel);

    PageHeaderBand = page.PageHead;
    PageHeaderBand->Height = 44;
    TopText(*PageHeaderBand, "Label1", "Transmission Line Description", kDesc, 20);
    TopText(*PageHeaderBand, "Label2", "Part Number", kPartNum, 20);
    TopText(*PageHeaderBand, "Label3", "Attenuation", {kDbFeet.left, kDbFeet.width + kTotal.width}, 2);
    TopText(*PageHeaderBand, "Label4", "dB/100 feet", kDbFeet, 20);
    TopText(*PageHeaderBand, "Label5", "total (dB)", kTotal, 20);
    TopText(*PageHeaderBand, "Label6", "Average Power (kw)", kAvg, 20);
    TopText(*PageHeaderBand, "Label7", "Peak Power (kw)", kPeak, 20);
    Label<TDaxLine>(*PageHeaderBand, "DaxLine1", 0, 40, 720, 2);

    PageHeaderBandSub = &Band<TDaxSubBand>(page, "PageHeaderBandSub", 84, PageHeaderBand);
    PageHeaderBandSub->Above = true;
    PageHeaderBandSub->OnBeforePrint = [this](TDaxBand& b) { PageHeaderBandSubBeforePrint(b); };
    Channel = &TopText(*PageHeaderBandSub, "Channel", "Channel:", {0, 720}, 0);
    TotalLength = &TopText(*PageHeaderBandSub, "TotalLength", "Total Length :", {0, 720}, 20);
    lblPeak = &TopText(*PageHeaderBandSub, "lblPeak", "Peak:", {0, 720}, 40);
    CalcPoint = &TopText(*PageHeaderBandSub, "CalcPoint", "Calculation Point", {0, 720}, 60);

    DetailBand = page.Detail;
    // A long description wraps in its column and the row grows to hold it.
    DetailBand->Stretch = true;
    const TColumn columns[] = {kDesc, kPartNum, kDbFeet, kTotal, kAvg, kPeak};
    for (size_t k = 0; k < 6; ++k) {
        TDaxvarlabel& l = VarLabel(*DetailBand, std::string("var") + names[k], **vars[k], columns[k].left, 0,
                                   columns[k].width, 17);
        l.AlignVertical = laTop;
        l.SetWrapText(true);
    }

    DetailBandSub = &Band<TDaxSubBand>(page, "DetailBandSub", 8, DetailBand);
    DetailBandSub->Above = true;
    lblGroup = &TopText(*DetailBandSub, "lblGroup", "**", {0, 226}, 0);
}

void TfrmRprt::PrintLineTable(const TStrings& List)
{
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
