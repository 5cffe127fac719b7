// The windows every report of the program runs with (the product's report windows): a report
// that prompts asks for its destination in "Report Destination", and a run that shows its
// status can be stopped from "Print Status". Each is answered by clicks on the windows while
// the run goes on.
#include "ModalScript.h"
#include "platform/runtime/StrTable.h"
#include "platform/ui/ScriptedUi.h"
#include "planner/ui/Rprtfrm.h"
#include "report/generate/DaxBuilder.h"
#include "report/ui/RpxDialogs.h"
#include "report/ui/RpxViewer.h"
#include "support/UserInput.h"
#include "ui_RpxViewer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <string>

using namespace mwtest;
using namespace DaxBuild;

namespace {

template <class T>
T* Shown()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* t = qobject_cast<T*>(w); t && t->isVisible()) return t;
    return nullptr;
}

// A report of `rows` detail rows "r1", "r2", ... to the screen.
class ReportWindows : public ::testing::Test {
protected:
    ReportWindows() : page(Page(report, "ReportPage"))
    {
        DefaultBands(page, 20);
        page.PageSetup.SetHeight(4.0);
        value = &ExprVar(page, "Value", dtypeString);
        value->OnGetData = [this](TDaxVar& v) { v.SetAsString("r" + std::to_string(row)); };
        page.OnDataStart = [this](TDaxReportPage& p) {
            row = 1;
            p.DataFinished = rows == 0;
        };
        page.OnDataSkip = [this](TDaxReportPage& p) {
            if (onRow) onRow(row);
            if (++row > rows) p.DataFinished = true;
        };
        VarLabel(*page.Detail, "DetailValue", *value, 0, 0);
    }
    void SetUp() override
    {
        scope_ = std::make_unique<TUiServicesScope>(ui);
        ui.OnUnexpected = [](const std::string& what) { ADD_FAILURE() << what; };
        InstallReportWindows();
    }
    void TearDown() override
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<TRpxViewer*>(w) || qobject_cast<TFormPrintStatus*>(w)) w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        RemoveReportWindows();
        EXPECT_TRUE(ui.AllUsed()) << ui.Pending() << " scripted answers left unused";
        scope_.reset();
    }
    // The pages of the shown viewer's document; 0 without a viewer.
    static int ViewerPages()
    {
        TRpxViewer* v = Shown<TRpxViewer>();
        return v && v->ActivePreview()->Document() ? v->ActivePreview()->Document()->PageCount() : 0;
    }

    TDaxReport report;
    TDaxReportPage& page;
    TDaxExprVar* value = nullptr;
    int rows = 3;
    int row = 0;
    std::function<void(int row)> onRow;
    TScriptedUiServices ui;
    std::unique_ptr<TUiServicesScope> scope_;
};

}  // namespace

// Prompt True without an OnPromptPrint: the destination dialog asks; "&Print" (with "S&creen"
// chosen) runs the report into the viewer, "&Cancel" runs nothing.
TEST_F(ReportWindows, APromptingReportAsksForItsDestination)
{
    struct Case {
        const char* button;
        bool runs;
    } const cases[] = {{"btnPrint", true}, {"btnCancel", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        report.Prompt = true;
        bool asked = false;
        WhenDialog<TDaxReportDestination>([&](TDaxReportDestination& d) {
            asked = true;
            EXPECT_EQ(d.windowTitle().toStdString(), LoadStr(56426));
            Click(d.findChild<QRadioButton*>("goScreen"));
            Click(d.findChild<QPushButton*>(c.button));
        });
        report.Run();
        EXPECT_TRUE(asked);
        EXPECT_EQ(ViewerPages() > 0, c.runs);
        if (TRpxViewer* v = Shown<TRpxViewer>()) v->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// "Print Status" shows while a run goes to a modal viewer and while the first of two passes
// runs; its "Abort" asks the question: Yes discards the report (no viewer), No ends it early
// with the pages it has, Cancel goes on to the end.
TEST_F(ReportWindows, TheStatusWindowStopsOrDiscardsTheRun)
{
    struct Case {
        const char* what;
        bool twoPass;
        int answer;
    } const cases[] = {
        {"Yes", false, IDYES}, {"No", false, IDNO}, {"Cancel", false, IDCANCEL}, {"Yes in the first of two passes", true, IDYES},
    };
    report.Prompt = false;
    page.PageSetup.PreviewSettings().ModalPreview = mpModal;
    rows = 60;
    std::map<std::string, int> pages;  // shown in the modal viewer, by case
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        page.TwoPass = c.twoPass;
        bool clicked = false;
        QPointer<TFormPrintStatus> status;
        onRow = [&](int r) {
            if (r != 5 || clicked) return;
            status = Shown<TFormPrintStatus>();
            ASSERT_TRUE(status) << "no status window while the report runs";
            EXPECT_EQ(status->windowTitle().toStdString(), LoadStr(56460));
            clicked = true;
            ui.ExpectMessage(c.answer, LoadStr(56462));
            Click(status->AbortButton());
        };
        RpxModalViewerAnswerer = [&](TRpxViewer& v) {
            pages[c.what] = v.ActivePreview()->Document() ? v.ActivePreview()->Document()->PageCount() : 0;
            v.close();
        };
        report.Run();
        RpxModalViewerAnswerer = nullptr;
        onRow = nullptr;
        EXPECT_TRUE(clicked);
        EXPECT_EQ(ui.Shown().back().Caption, LoadStr(56465));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(status.isNull()) << "the status window is gone once the pass is over";
    }
    EXPECT_EQ(pages.count("Yes"), 0u) << "a discarded report is not shown";
    EXPECT_EQ(pages.count("Yes in the first of two passes"), 0u);
    ASSERT_EQ(pages.count("No"), 1u);
    ASSERT_EQ(pages.count("Cancel"), 1u);
    EXPECT_GE(pages["No"], 1);
    EXPECT_LT(pages["No"], pages["Cancel"]) << "No keeps only the pages made before it";
}

// The viewer of a run to the screen opens as the page's preview settings say: window state,
// zoom and stay-on-top style.
TEST_F(ReportWindows, TheViewerOpensWithThePagesPreviewSettings)
{
    struct Case {
        TWindowState state;
        TRpxZoom zoom;
        TDaxFormStyle style;
        bool maximized;
        const char* zoomText;
        bool onTop;
    } const cases[] = {
        {wsMaximized, az100, pfsDefault, true, "100%", false},
        {wsNormal, az50, pfsStayOnTop, false, "50%", true},
        {wsMaximized, azPage, pfsNormal, true, "Whole Page", false},
    };
    report.Prompt = false;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.zoomText);
        auto& settings = page.PageSetup.PreviewSettings();
        settings.WindowState = c.state;
        settings.Zoom = c.zoom;
        settings.FormStyle = c.style;
        report.Run();
        TRpxViewer* v = Shown<TRpxViewer>();
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(v->isMaximized(), c.maximized);
        EXPECT_EQ(v->ActivePreview()->ZoomIndex(), int(c.zoom));
        EXPECT_EQ(v->Form().ZoomValues->currentText().toStdString(), c.zoomText);
        EXPECT_EQ(bool(v->windowFlags() & Qt::WindowStaysOnTopHint), c.onTop);
        v->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// The line report keeps its prompt off: page 4's print never asks.
TEST_F(ReportWindows, TheLineReportDoesNotAsk)
{
    int asked = 0;
    RpxModalAnswerer = [&](QDialog&) {
        ++asked;
        return int(QDialog::Rejected);
    };
    TStringList lines;
    for (const char* line : {"Ch 32", "1100", "Peak", "Calc", "~", "Line", "P-1", "0.1", "1.1", "60", "85"})
        lines.Add(line);
    TfrmRprt::PrintOnce(lines);
    RpxModalAnswerer = nullptr;
    EXPECT_GT(ViewerPages(), 0);
    EXPECT_EQ(asked, 0);
}
