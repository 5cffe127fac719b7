#include "LineReport.h"

#include "report/generate/DaxBuilder.h"
#include "report/generate/DaxReport.h"

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

template <class F>
void Bind(TDaxComponent& c, const std::string& event, F& field, const std::string& handler)
{
    field = [](auto&&...) {};
    c.EventNames.Set(event, handler);
}

}  // namespace

std::unique_ptr<TDaxReport> BuildLineReport()
{
    auto owned = std::make_unique<TDaxReport>();
    TDaxReport& report = *owned;
    report.SetName("DaxReport1");
    report.Prompt = true;
    report.AutoRun = false;

    TDaxReportPage& page = Page(report, "ReportPage");
    page.PageSetup.SetWidth(8.5);
    page.PageSetup.SetHeight(11.0);
    page.DataRange = drAllRecords;
    Bind(page, "OnDataStart", page.OnDataStart, "ReportPageDataStart");
    Bind(page, "OnDataSkip", page.OnDataSkip, "ReportPageDataSkip");
    DefaultBands(page, 20);
    auto* dateTime = new TDaxDateTimeVar(&page);
    dateTime->SetName("DaxDateTimeVar1");
    dateTime->SetParent(&page);
    auto* pageNumber = new TDaxPageVar(&page);
    pageNumber->SetName("DaxPageVar1");
    pageNumber->SetParent(&page);

    const char* names[] = {"Desc", "PartNum", "dbFeet", "Total", "AvgPeak", "Peak"};
    TDaxExprVar* vars[6];
    for (size_t k = 0; k < 6; ++k) vars[k] = &ExprVar(page, names[k], dtypeString, page.Detail->Updatelevel);

    TDaxBand& header = *page.PageHead;
    header.Height = 44;
    TopText(header, "Label1", "Transmission Line Description", kDesc, 20);
    TopText(header, "Label2", "Part Number", kPartNum, 20);
    TopText(header, "Label3", "Attenuation", {kDbFeet.left, kDbFeet.width + kTotal.width}, 2);
    TopText(header, "Label4", "dB/100 feet", kDbFeet, 20);
    TopText(header, "Label5", "total (dB)", kTotal, 20);
    TopText(header, "Label6", "Average Power (kw)", kAvg, 20);
    TopText(header, "Label7", "Peak Power (kw)", kPeak, 20);
    Label<TDaxLine>(header, "DaxLine1", 0, 40, 720, 2);

    auto& headerSub = Band<TDaxSubBand>(page, "PageHeaderBandSub", 84, &header);
    headerSub.Above = true;
    Bind(headerSub, "OnBeforePrint", headerSub.OnBeforePrint, "PageHeaderBandSubBeforePrint");
    TopText(headerSub, "Channel", "Channel:", {0, 720}, 0);
    TopText(headerSub, "TotalLength", "Total Length :", {0, 720}, 20);
    TopText(headerSub, "lblPeak", "Peak:", {0, 720}, 40);
    TopText(headerSub, "CalcPoint", "Calculation Point", {0, 720}, 60);

    TDaxBand& detail = *page.Detail;
    // A long description wraps in its column and the row grows to hold it.
    detail.Stretch = true;
    const TColumn columns[] = {kDesc, kPartNum, kDbFeet, kTotal, kAvg, kPeak};
    for (size_t k = 0; k < 6; ++k) {
        TDaxvarlabel& l =
            VarLabel(detail, std::string("var") + names[k], *vars[k], columns[k].left, 0, columns[k].width, 17);
        l.AlignVertical = laTop;
        l.SetWrapText(true);
    }

    auto& detailSub = Band<TDaxSubBand>(page, "DetailBandSub", 8, &detail);
    detailSub.Above = true;
    TopText(detailSub, "lblGroup", "**", {0, 226}, 0);
    return owned;
}

std::string LineReportStream()
{
    return "# The transmission-line report of the planner's report window (TfrmRprt).\n"
           "# Written by tools/report_stream_gen from its definition in code; do not edit.\n" +
           WriteComponentText(*BuildLineReport());
}
