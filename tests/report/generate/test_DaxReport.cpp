#include "ReportFixture.h"

#include "tests/report/FakePrinters.h"

#include <algorithm>
#include <cstdio>

namespace {

using Strings = std::vector<std::string>;

size_t CountOf(const Strings& v, const std::string& s) { return static_cast<size_t>(std::count(v.begin(), v.end(), s)); }

} // namespace

class DaxRun : public ReportFixture {
protected:
    void TraceEvents()
    {
        report.OnPromptPrint = [this](TDaxReportPage&, bool& r) {
            trace.push_back("prompt");
            r = true;
        };
        report.OnBeforePrint = [this](TDaxReport&) { trace.push_back("report before"); };
        report.OnAfterPrint = [this](TDaxReport&) { trace.push_back("report after"); };
        auto start = page.OnDataStart;
        page.OnDataStart = [this, start](TDaxReportPage& p) {
            trace.push_back("data start");
            start(p);
        };
        auto skip = page.OnDataSkip;
        page.OnDataSkip = [this, skip](TDaxReportPage& p) {
            trace.push_back("skip");
            skip(p);
        };
        page.OnDataFinish = [this](TDaxReportPage&) { trace.push_back("data finish"); };
        page.OnNoData = [this](TDaxReportPage&) { trace.push_back("no data"); };
        page.OnUpdateStatus = [this](TDaxReportPage&, TDaxStatus s) { trace.push_back("status " + std::to_string(s)); };
        page.Detail->OnBeforePrint = [this](TDaxBand&) { trace.push_back("detail before"); };
        page.Detail->OnAfterPrint = [this](TDaxBand&) { trace.push_back("detail after"); };
        TDaxLabel* l = page.Detail->Labels().front();
        l->OnBeforePrint = [this](TDaxLabel&) { trace.push_back("label before"); };
        l->OnAfterPrint = [this](TDaxLabel&) { trace.push_back("label after"); };
    }
};

TEST_F(DaxRun, EventOrderOfOnePass)
{
    Rows(2);
    report.Prompt = true;
    TraceEvents();
    report.Run();
    EXPECT_FALSE(report.Running);
    EXPECT_EQ(trace, (Strings{"prompt", "report before", "data start", "viewer generating", "viewer shown", "status 0",
                              "status 4", "detail before", "label before", "label after", "detail after", "skip",
                              "detail before", "label before", "label after", "detail after", "skip", "viewer ended",
                              "status 1", "report after", "data finish"}));
}

TEST_F(DaxRun, TwoPassesRunTheDataTwiceAndFinishItOnce)
{
    Rows(1);
    page.TwoPass = true;
    TraceEvents();
    report.Run();
    EXPECT_EQ(CountOf(trace, "report before"), 2u);
    EXPECT_EQ(CountOf(trace, "report after"), 2u);
    EXPECT_EQ(CountOf(trace, "data start"), 2u);
    EXPECT_EQ(CountOf(trace, "data finish"), 1u);
    EXPECT_EQ(trace.back(), "data finish");
    // The first pass measures on the null output with the status window up; the viewer
    // comes with the second.
    const auto shown = std::find(trace.begin(), trace.end(), "status shown");
    const auto viewer = std::find(trace.begin(), trace.end(), "viewer shown");
    ASSERT_NE(shown, trace.end());
    EXPECT_LT(shown, viewer);
    EXPECT_EQ(CountOf(trace, "viewer shown"), 1u);
    ASSERT_EQ(Pages().size(), 1u);
    // The application's status handler is back after the pass that replaced it.
    trace.clear();
    page.OnUpdateStatus(page, 4);
    EXPECT_EQ(trace, (Strings{"status 4"}));
}

TEST_F(DaxRun, PromptDecidesWhetherTheRunHappens)
{
    Rows(1);
    report.Prompt = false;
    report.Run();
    EXPECT_EQ(CountOf(trace, "dialog"), 0u);
    EXPECT_EQ(Pages().size(), 1u);

    trace.clear();
    report.Prompt = true;
    windows->answer = false;
    report.OnBeforePrint = [this](TDaxReport&) { trace.push_back("report before"); };
    report.Run();
    EXPECT_EQ(trace, (Strings{"dialog"}));
    EXPECT_FALSE(report.Running);

    trace.clear();
    report.OnPromptPrint = [](TDaxReportPage&, bool&) { throw Exception("broken prompt"); };
    report.Run();
    EXPECT_EQ(trace, Strings{});
}

TEST_F(DaxRun, RunningReportIsNeverEnteredAgain)
{
    Rows(3);
    int nested = 0;
    report.OnBeforePrint = [&](TDaxReport& r) {
        ++nested;
        EXPECT_FALSE(r.PrepareRun());
        r.Run();
    };
    report.Run();
    EXPECT_EQ(nested, 1);
    EXPECT_FALSE(report.Running);
    EXPECT_EQ(Pages().size(), 1u);
}

TEST_F(DaxRun, NoDataPrintsHeadersAndFootersUnlessNoDataQuit)
{
    TraceEvents();
    Top(Text(*page.Foot, "Total", "Total", 0, 0));
    auto& g = Group(page, "G", value, 20, 20);
    Top(Text(*g.Header, "GH", "GH", 0, 0));
    Top(Text(*g.Footer, "GF", "GF", 0, 0));
    report.Run();
    ASSERT_EQ(Pages().size(), 1u);
    EXPECT_EQ(Texts(Pages()[0]), (Strings{"Title", "GH", "GF", "Total", "End"}));
    EXPECT_EQ(CountOf(trace, "no data"), 1u);
    EXPECT_EQ(CountOf(trace, "detail before"), 0u);

    trace.clear();
    windows->viewer.reset();
    page.NoDataQuit = true;
    report.Run();
    EXPECT_EQ(CountOf(trace, "no data"), 1u);
    EXPECT_EQ(CountOf(trace, "report after"), 1u);
    EXPECT_EQ(windows->viewer, nullptr);
    EXPECT_FALSE(report.Running);
}

TEST_F(DaxRun, PageRangeTwoToThreeOfFive)
{
    Rows(60);   // 12 rows a page: five pages
    page.PageSetup.RangeStart = 2;
    page.PageSetup.RangeEnd = 3;
    int skips = 0;
    auto skip = page.OnDataSkip;
    page.OnDataSkip = [&](TDaxReportPage& p) {
        ++skips;
        skip(p);
    };
    report.Run();
    const auto pages = Pages();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0][1], "r12@70");
    EXPECT_EQ(pages[0].back(), "End@318");
    EXPECT_EQ(pages[1][1], "r24@70");
    EXPECT_EQ(pages[1][12], "r35@290");
    EXPECT_EQ(pages[1].back(), "End@318");
    // The loop stops as soon as page 4 begins.
    EXPECT_EQ(skips, 36);
}

TEST_F(DaxRun, PercentDoneFollowsTheDataset)
{
    TDaxMemoryDataSet data(&page);
    data.AddField("N", ftInteger);
    for (int i = 0; i < 100; ++i) data.AppendRecord({int64_t{i}});
    TDaxDataSource source(&page);
    source.SetDataSet(&data);
    page.OnDataStart = nullptr;
    page.OnDataSkip = nullptr;
    page.DataSource = &source;
    std::vector<float> seen;
    page.Detail->OnBeforePrint = [&](TDaxBand&) { seen.push_back(page.PercentDone); };
    float atEnd = -1;
    page.Foot->OnBeforePrint = [&](TDaxBand&) { atEnd = page.PercentDone; };
    report.Run();
    ASSERT_EQ(seen.size(), 100u);
    EXPECT_EQ(seen[50], 50.0f);
    EXPECT_EQ(atEnd, 99.0f);   // all skipped shows 99 until the pass is finished
    EXPECT_EQ(page.PercentDone, 100.0f);
    EXPECT_FALSE(data.Active());   // the run opened it and closes it again
}

TEST_F(DaxRun, MissingDataSourceIsReportedAsNoData)
{
    CaughtErrors errors;
    page.OnDataStart = nullptr;
    page.OnDataSkip = nullptr;
    report.Run();
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_NE(errors.messages[0].find("The DataSource property"), std::string::npos);
    ASSERT_EQ(Pages().size(), 1u);
}

TEST_F(DaxRun, FailingStepIsReportedAndEndsTheRun)
{
    CaughtErrors errors;
    Rows(5);
    page.PageSetup.Destination = destFile;
    page.OnUpdateStatus = [this](TDaxReportPage&, TDaxStatus s) { trace.push_back("app status " + std::to_string(s)); };
    value->OnGetData = [this](TDaxVar& v) {
        if (row == 3) throw Exception("row 3 is broken");
        v.SetAsString(rows[static_cast<size_t>(row)]);
    };
    report.Run();
    EXPECT_FALSE(report.Running);
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_EQ(errors.messages[0], "row 3 is broken");
    EXPECT_EQ(CountOf(trace, "status shown"), 1u);
    EXPECT_EQ(CountOf(trace, "app status 4"), 0u);   // the status window had it during the pass
    trace.clear();
    page.OnUpdateStatus(page, 1);
    EXPECT_EQ(trace, (Strings{"app status 1"}));
}

TEST_F(DaxRun, FailingSkipEndsTheData)
{
    CaughtErrors errors;
    Rows(5);
    page.OnDataSkip = [this](TDaxReportPage&) {
        if (++row == 2) throw Exception("skip failed");
    };
    report.Run();
    ASSERT_EQ(errors.messages, (Strings{"skip failed"}));
    EXPECT_EQ(Texts(Pages()[0]), (Strings{"Title", "r0", "r1", "End"}));
}

TEST_F(DaxRun, ClosingTheViewerStopsGeneration)
{
    Rows(40);
    page.Detail->OnAfterPrint = [this](TDaxBand&) {
        if (row == 5 && windows->viewer && windows->viewer->close) windows->viewer->close();
    };
    report.Run();
    EXPECT_FALSE(report.Running);
    EXPECT_TRUE(page.Stopped);
    EXPECT_EQ(page.Viewer, nullptr);
}

TEST_F(DaxRun, PrinterDestinationPlaysTheRecordedPages)
{
    struct FakePrinter : TRpxPrintDevice {
        explicit FakePrinter(Strings& t) : trace(t) {}
        void BeginDoc(const std::string&) override { printing = true; trace.push_back("begin doc"); }
        void StartPage() override { trace.push_back("start page"); }
        void EndPage() override { trace.push_back("end page"); }
        void EndDoc() override { printing = false; trace.push_back("end doc"); }
        void Abort() override { printing = false; }
        bool Printing() const override { return printing; }
        TRpxDevice& Device() override { return dev; }
        Strings& trace;
        bool printing = false;
        TRpxRecordingDevice dev;
    };
    Rows(14);
    page.PageSetup.Destination = destPrinter;
    report.SuppressStatus = true;
    std::vector<std::string> printed;
    report.PrintDeviceFactory = [&] { return std::make_unique<FakePrinter>(printed); };
    std::vector<int> progress;
    page.OnUpdateStatus = [&](TDaxReportPage& p, TDaxStatus s) {
        if (s == 2) progress.push_back(p.PagesCounted);
    };
    report.Run();
    EXPECT_EQ(CountOf(printed, "end page"), 2u);
    EXPECT_EQ(CountOf(printed, "end doc"), 1u);
    EXPECT_FALSE(progress.empty());
}

// The transmission-line report's data loop: a spacer sub band above the hidden detail band,
// both shown and hidden by the data-skip handler, which fills six variables from six lines.
TEST_F(DaxRun, TransmissionLineDataLoop)
{
    const char* names[] = {"Desc", "PartNum", "dbFeet", "Total", "AvgPeak", "Peak"};
    std::vector<TDaxExprVar*> vars;
    for (int i = 0; i < 6; ++i) {
        vars.push_back(&ExprVar(page, names[i], dtypeString));
        Top(VarLabel(*page.Detail, std::string("lbl") + names[i], *vars.back(), 70 * (i + 1), 0));
    }
    auto& sub = Band<TDaxSubBand>(page, "DetailBandSub", 10, page.Detail);
    sub.Above = true;
    auto& group = Top(Text(sub, "lblGroup", "**", 0, 0));
    auto& groupLabel = static_cast<TDaxTextLabel&>(group);
    Strings lines;
    for (int r = 0; r < 3; ++r) {
        lines.push_back("~");
        for (int c = 0; c < 6; ++c) lines.push_back(std::string(names[c]) + std::to_string(r));
    }
    int index = 0;
    page.OnDataStart = [&](TDaxReportPage&) { index = -1; };
    page.OnDataSkip = [&](TDaxReportPage& p) {
        ++index;
        if (index >= static_cast<int>(lines.size())) {
            p.DataFinished = true;
            return;
        }
        try {
            if (lines[static_cast<size_t>(index)].find('~') != std::string::npos) {
                groupLabel.Caption.clear();
                p.Detail->Visible = false;
                sub.Visible = true;
            } else {
                for (int c = 0; c < 6; ++c) vars[static_cast<size_t>(c)]->SetAsString(lines.at(static_cast<size_t>(index + c)));
                index += 5;
                groupLabel.Caption.clear();
                p.Detail->Visible = true;
                sub.Visible = false;
            }
        } catch (...) {
        }
    };
    page.Detail->Visible = false;
    sub.Visible = false;
    page.Detail->Labels().front()->SetParent(nullptr);   // the fixture's own value label
    report.Run();
    const auto pages = Pages();
    ASSERT_EQ(pages.size(), 1u);
    // Spacer (10 pixels, an empty label) and row (20 pixels) alternate, starting with a spacer.
    EXPECT_EQ(pages[0], (Strings{"Title@50", "@70", "Desc0@80", "PartNum0@80", "dbFeet0@80", "Total0@80",
                                 "AvgPeak0@80", "Peak0@80", "@100", "Desc1@110", "PartNum1@110", "dbFeet1@110",
                                 "Total1@110", "AvgPeak1@110", "Peak1@110", "@130", "Desc2@140", "PartNum2@140",
                                 "dbFeet2@140", "Total2@140", "AvgPeak2@140", "Peak2@140", "End@318"}));
}

TEST_F(DaxRun, NewPageHandlerSeesEveryNewPageAndItsFailureIsSwallowed)
{
    CaughtErrors errors;
    Rows(30);   // three pages
    std::vector<int> numbers;
    page.OnNewPage = [&](TDaxReportPage& p, TRpxOutput* out, int n) {
        numbers.push_back(n);
        EXPECT_EQ(out, p.Output);
        if (n == 2) throw Exception("paper jam");
        p.PageSetup.SetOrientation(poLandscape);
    };
    report.Run();
    EXPECT_EQ(numbers, (std::vector<int>{2, 3}));
    EXPECT_TRUE(errors.messages.empty());
    EXPECT_EQ(Pages().size(), 3u);
    EXPECT_EQ(page.PageSetup.Orientation(), poUseCurrent);   // the run's copy put back
}

TEST_F(DaxRun, AbortRequestedDiscardsThePass)
{
    Rows(30);
    page.TwoPass = true;
    TraceEvents();
    page.Detail->OnAfterPrint = [this](TDaxBand&) {
        if (row == 3) report.AbortRequested = true;
    };
    report.Run();
    EXPECT_FALSE(report.Running);
    // The aborted first pass ends the run: no second pass, no viewer.
    EXPECT_EQ(CountOf(trace, "report before"), 1u);
    EXPECT_EQ(CountOf(trace, "report after"), 1u);
    EXPECT_EQ(CountOf(trace, "data finish"), 1u);
    EXPECT_EQ(windows->viewer, nullptr);
}

TEST_F(DaxRun, AutoRunRunsWhenLoaded)
{
    Rows(1);
    report.AutoRun = true;
    report.BeginLoading();
    report.Loaded();
    EXPECT_EQ(Pages().size(), 1u);
}

TEST_F(DaxRun, ModalPreviewShowsTheViewerAfterGeneration)
{
    Rows(2);
    page.PageSetup.PreviewSettings().ModalPreview = mpModal;
    report.Run();
    EXPECT_EQ(CountOf(trace, "status shown"), 1u);
    EXPECT_EQ(CountOf(trace, "viewer shown"), 0u);
    const auto ended = std::find(trace.begin(), trace.end(), "viewer ended");
    const auto modal = std::find(trace.begin(), trace.end(), "viewer modal");
    ASSERT_NE(modal, trace.end());
    EXPECT_LT(ended, modal);
    EXPECT_EQ(page.Viewer, nullptr);
}

TEST_F(DaxRun, FileDestinationSavesTheRecordedReport)
{
    const std::string file = ::testing::TempDir() + "generate-file-destination.rpx";
    std::remove(file.c_str());
    Rows(14);
    page.PageSetup.Destination = destFile;
    page.RpxFileName = file;
    report.Run();
    EXPECT_EQ(windows->viewer, nullptr);
    TRpxRpxFile saved;
    saved.LoadFromFile(file);
    ASSERT_EQ(saved.PageCount(), 2);
    TRpxRecordingDevice dev;
    saved.PlayPage(dev, 2);
    EXPECT_TRUE(std::any_of(dev.Calls.begin(), dev.Calls.end(),
                            [](const std::string& c) { return c.find("'r13'") != std::string::npos; }));
    std::remove(file.c_str());
}

TEST_F(DaxRun, BusyPrinterAbandonsTheRunWithItsMessage)
{
    TFakePrinters printers;
    CaughtErrors errors;
    Rows(1);
    printers.backend->printing = true;
    TraceEvents();
    report.Prompt = false;
    report.Run();
    EXPECT_EQ(errors.messages, (Strings{"The printer is busy, please wait."}));
    EXPECT_EQ(CountOf(trace, "report before"), 0u);
    EXPECT_FALSE(report.Running);

    // Once the printer is free the run goes through it: a custom page keeps its size.
    printers.backend->printing = false;
    page.PageSetup.SetSize(psCustom);
    page.PageSetup.SetHeight(4.0);
    report.Run();
    EXPECT_TRUE(errors.messages.size() == 1u);
    EXPECT_EQ(Pages().size(), 1u);
    EXPECT_EQ(page.PageSetup.Height(), 4.0);
}

TEST_F(DaxRun, PageNumberCaption)
{
    struct Case {
        int n;
        const char* caption;
    };
    for (const Case c : {Case{1, "Page: 1"}, Case{12, "Page: 12"}, Case{0, "Page: 0"}}) {
        page.SetPageNumber(c.n);
        EXPECT_EQ(page.Caption, c.caption);
    }
}

TEST_F(DaxRun, FilterRangeAndRecordCountDecideWhatPrints)
{
    // Records 0 .. 5, walked by the application's events or from a dataset; the filter
    // rejects the records listed; a single-record range prints the dataset's current record.
    struct Case {
        const char* name;
        bool dataset;
        TDaxDataRange range;
        std::vector<int> rejected;
        int current;   // the dataset's record before the run (-1: closed)
        Strings printed;
    };
    const Case cases[] = {
        {"events, two rejected in a row", false, drAllRecords, {1, 2, 4}, -1, {"r0", "r3", "r5"}},
        {"events, the first and the last rejected", false, drAllRecords, {0, 5}, -1, {"r1", "r2", "r3", "r4"}},
        {"events, all rejected", false, drAllRecords, {0, 1, 2, 3, 4, 5}, -1, {}},
        {"dataset, two rejected in a row", true, drAllRecords, {1, 2, 4}, -1, {"r0", "r3", "r5"}},
        {"dataset, the first rejected", true, drAllRecords, {0}, -1, {"r1", "r2", "r3", "r4", "r5"}},
        {"dataset, one record", true, drSingleRecord, {}, -1, {"r0"}},
        {"dataset, the current record", true, drSingleRecord, {}, 3, {"r3"}},
        {"dataset, the current record rejected", true, drSingleRecord, {3}, 3, {}},
    };
    Rows(6);
    TDaxMemoryDataSet data(&page);
    data.AddField("N", ftInteger);
    for (int i = 0; i < 6; ++i) data.AppendRecord({int64_t{i}});
    TDaxDataSource source(&page);
    source.SetDataSet(&data);
    const auto saveStart = page.OnDataStart;
    const auto saveSkip = page.OnDataSkip;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto current = [&] { return c.dataset ? data.Fields(0).AsInteger() : row; };
        value->OnGetData = [&](TDaxVar& v) { v.SetAsString("r" + std::to_string(current())); };
        page.OnDataFilter = [&](TDaxReportPage&, bool& accept) {
            accept = std::find(c.rejected.begin(), c.rejected.end(), current()) == c.rejected.end();
        };
        page.OnDataStart = c.dataset ? nullptr : saveStart;
        page.OnDataSkip = c.dataset ? nullptr : saveSkip;
        page.DataSource = c.dataset ? &source : nullptr;
        page.DataRange = c.range;
        data.Close();
        if (c.current >= 0) {
            data.Open();
            for (int i = 0; i < c.current; ++i) data.Next();
        }
        windows->viewer.reset();
        report.Run();
        const auto pages = Pages();
        ASSERT_EQ(pages.size(), 1u);
        const Strings texts = Texts(pages[0]);
        EXPECT_EQ(Strings(texts.begin() + 1, texts.end() - 1), c.printed);
    }

    // Without the record count the progress stays at 0 while the dataset is walked.
    page.OnDataFilter = nullptr;
    page.DataRange = drAllRecords;
    value->OnGetData = [](TDaxVar& v) { v.SetAsString("n"); };
    data.Close();
    std::vector<float> seen;
    page.Detail->OnBeforePrint = [&](TDaxBand&) { seen.push_back(page.PercentDone); };
    for (const bool noCount : {false, true}) {
        SCOPED_TRACE(noCount ? "no record count" : "record count");
        page.NoRecordCount = noCount;
        seen.clear();
        report.Run();
        const std::vector<float> expected = noCount ? std::vector<float>(6, 0.0f)
                                                    : std::vector<float>{0.0f, 100.0f / 6, 200.0f / 6, 50.0f, 400.0f / 6, 500.0f / 6};
        ASSERT_EQ(seen.size(), expected.size());
        for (size_t i = 0; i < seen.size(); ++i) EXPECT_FLOAT_EQ(seen[i], expected[i]) << i;
    }
}
