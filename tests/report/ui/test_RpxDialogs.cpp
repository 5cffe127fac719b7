#include "ViewerFixture.h"

#include "ui_RpxViewer.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <filesystem>

using namespace mwtest;

namespace {

void Type(QLineEdit* edit, const char* text)
{
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

template <class T>
T* Child(QWidget& w, const char* name)
{
    T* c = w.findChild<T*>(name);
    EXPECT_NE(c, nullptr) << name;
    return c;
}

// Runs `action` once, as soon as a print is running in the viewer's active preview.
void WhilePrinting(TRpxViewer* viewer, std::function<void()> action)
{
    auto* timer = new QTimer(viewer);
    timer->setInterval(0);
    QObject::connect(timer, &QTimer::timeout, viewer, [viewer, timer, action] {
        if (!viewer->ActivePreview()->PrintingNow() || !viewer->ActivePreview()->Printer()) return;
        timer->stop();
        timer->deleteLater();
        action();
    });
    timer->start();
}

class PrintTest : public ViewerTest {
protected:
    void SetUp() override
    {
        ViewerTest::SetUp();
        printer = std::make_unique<TPdfPrinter>(pdf, 72);
        printerScope = std::make_unique<TPrinterScope>(*printer);
        InstallRpxPlatformPrinting();
        viewer->SetDocument(RecordedDocument(3));
    }
    void TearDown() override
    {
        ViewerTest::TearDown();
        printerScope.reset();
    }
    // The pages in the PDF, by the page number each reads.
    std::vector<int> PrintedPages()
    {
        std::vector<int> pages;
        if (!std::filesystem::exists(pdf)) return pages;
        for (int i = 1; i <= PdfPageCount(pdf); ++i) {
            const std::string t = PdfText(pdf, i);
            const auto at = t.find("page ");
            pages.push_back(at == std::string::npos ? 0 : std::atoi(t.c_str() + at + 5));
        }
        return pages;
    }

    std::string pdf = dir.File("printed.pdf");
    std::unique_ptr<TPdfPrinter> printer;
    std::unique_ptr<TPrinterScope> printerScope;
};

}  // namespace

TEST_F(PrintTest, ThePrintDialogsRangesAndCopies)
{
    struct {
        const char* range;  // radio button
        const char *from, *to, *copies;
        std::vector<int> pages;
        int copiesKept;
    } const cases[] = {
        {"rbAll", nullptr, nullptr, "1", {1, 2, 3}, 1},
        {"rbCurrent", nullptr, nullptr, "1", {2}, 1},
        {"rbPages", "2", "", "1", {2, 3}, 1},
        {"rbPages", "", "2", "1", {1, 2}, 1},
        {"rbPages", "  ", "  ", "1", {1, 2, 3}, 1},
        {"rbPages", "3", "3", "0", {3}, 1},
        {"rbPages", "1", "2", "two", {1, 2}, 1},
        {"rbPages", "2", "3", "2", {2, 3, 2, 3}, 2},
    };
    Click(viewer->Form().NextPage);
    for (const auto& c : cases) {
        std::filesystem::remove(pdf);
        TModalScope answer([&](QDialog& d) {
            EXPECT_EQ(d.windowTitle(), "Print Preview");
            EXPECT_TRUE(Child<QRadioButton>(d, "rbAll")->isChecked());
            EXPECT_FALSE(Child<QLineEdit>(d, "StartRange")->isEnabled());
            Click(Child<QRadioButton>(d, c.range));
            if (std::string(c.range) == "rbPages") {
                EXPECT_EQ(Child<QLineEdit>(d, "StartRange")->text(), "1");
                EXPECT_EQ(Child<QLineEdit>(d, "EndRange")->text(), "3");
                Type(Child<QLineEdit>(d, "StartRange"), c.from);
                Type(Child<QLineEdit>(d, "EndRange"), c.to);
            }
            Type(Child<QLineEdit>(d, "Copies"), c.copies);
            Click(Child<QPushButton>(d, "btnPrint"));
            return d.result();
        });
        Click(viewer->Form().sendprinter);
        EXPECT_EQ(answer.Asked, 1);
        EXPECT_EQ(PrintedPages(), c.pages) << c.range << " " << (c.from ? c.from : "") << "-" << (c.to ? c.to : "");
        EXPECT_EQ(viewer->ActivePreview()->GetPrinterSetup().Copies, c.copiesKept);
        viewer->ActivePreview()->GetPrinterSetup().SetCopies(1);
        EXPECT_TRUE(viewer->Form().ToolBar->isEnabled());
    }
    // Cancel prints nothing.
    std::filesystem::remove(pdf);
    TModalScope cancel([](QDialog& d) {
        Click(Child<QPushButton>(d, "btnCancel"));
        return d.result();
    });
    Click(viewer->Form().sendprinter);
    EXPECT_FALSE(std::filesystem::exists(pdf));
}

TEST_F(PrintTest, RightClickPrintsAllWithoutTheDialog)
{
    TModalScope none([](QDialog& d) {
        ADD_FAILURE() << "asked " << d.windowTitle().toStdString();
        return int(QDialog::Rejected);
    });
    Click(viewer->Form().sendprinter, Qt::RightButton);
    EXPECT_EQ(PrintedPages(), (std::vector<int>{1, 2, 3}));
}

TEST_F(PrintTest, WhilePrintingTheViewerRefusesAnotherPrintAndClosing)
{
    bool checked = false;
    WhilePrinting(viewer, [&] {
        checked = true;
        auto& f = viewer->Form();
        EXPECT_FALSE(f.ToolBar->isEnabled());
        EXPECT_FALSE(f.File1->menuAction()->isEnabled());
        try {
            viewer->ActivePreview()->PrintPages(0, 0);
            ADD_FAILURE() << "a second print started";
        } catch (const EInvalidOperation& e) {
            EXPECT_EQ(e.Message(), "Printing in progress.");
        }
        ui.ExpectMessage(mrOk, "Printing in progress.");
        viewer->close();   // the close box
        EXPECT_TRUE(viewer->isVisible());
        auto* status = viewer->findChild<TRpxPreviewStatus*>();
        ASSERT_NE(status, nullptr);
        EXPECT_TRUE(status->isVisible());
        EXPECT_EQ(status->windowTitle(), "Printing");
        EXPECT_EQ(status->PageNumber()->text(), "1");
    });
    Click(viewer->Form().sendprinter, Qt::RightButton);
    EXPECT_TRUE(checked);
    EXPECT_EQ(PrintedPages(), (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(viewer->Form().ToolBar->isEnabled());
}

TEST_F(PrintTest, AbortYesDropsTheJobNoEndsItAfterThePagePrinted)
{
    struct {
        TRpxAbortReport::TAnswer answer;
        std::vector<int> pages;
    } const cases[] = {
        {TRpxAbortReport::arYes, {}},
        {TRpxAbortReport::arNo, {1}},
        {TRpxAbortReport::arCancel, {1, 2, 3}},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(pdf);
        TModalScope answer([&](QDialog& d) {
            EXPECT_EQ(d.windowTitle(), "Abort Report");
            Click(static_cast<TRpxAbortReport&>(d).Button(c.answer));
            return d.result();
        });
        WhilePrinting(viewer, [&] { Click(viewer->findChild<TRpxPreviewStatus*>()->AbortButton()); });
        Click(viewer->Form().sendprinter, Qt::RightButton);
        EXPECT_EQ(answer.Asked, 1);
        EXPECT_EQ(PrintedPages(), c.pages) << c.answer;
    }
}

TEST(FormPrintStatus, TextsPerStatusKindAndFinishing)
{
    QPointer<TFormPrintStatus> w = new TFormPrintStatus;
    w->show();
    EXPECT_EQ(w->windowTitle(), "Print Status");
    EXPECT_EQ(w->Wait()->text(), "Printing, Please Wait...");
    EXPECT_EQ(w->AbortButton()->text(), "Abort");
    struct {
        int kind;
        int page;
        double percent;
        const char* wait;
        int meter;
    } const cases[] = {
        {0, 1, 0, "Printing, Please Wait...", 0},
        {4, 3, 24.6, "Generating, Please Wait.", 25},
        {3, 4, 30, "Generating, Please Wait.", 30},
        {2, 5, 61.2, "Printing, Please Wait.", 61},
    };
    for (const auto& c : cases) {
        w->StatusUpdate(c.page, c.percent, c.kind);
        EXPECT_EQ(w->Wait()->text(), c.wait) << c.kind;
        EXPECT_EQ(w->PageNumber()->text(), QString::number(c.page));
        EXPECT_EQ(w->Meter()->Progress(), c.meter);
    }
    int detached = 0;
    w->OnDetach = [&] { ++detached; };
    w->StatusUpdate(6, 100, 1);
    EXPECT_EQ(detached, 1);
    EXPECT_TRUE(w->Finished());
    Settle();
    EXPECT_TRUE(w.isNull());
}

TEST(FormPrintStatus, ClosingIsRefusedUntilTheRunEnds)
{
    TScriptedUiServices ui;
    TUiServicesScope scope(ui);
    ui.OnUnexpected = [](const std::string& what) { ADD_FAILURE() << what; };
    QPointer<TFormPrintStatus> w = new TFormPrintStatus;
    int discards = 0, ends = 0;
    w->OnDiscard = [&] { ++discards; };
    w->OnEndOfData = [&] { ++ends; };
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));

    struct {
        int answer;
        bool viaClose;
        int discards, ends;
    } const cases[] = {
        {IDCANCEL, true, 0, 0}, {IDNO, true, 0, 1}, {IDYES, false, 1, 2}, {IDCANCEL, false, 1, 2},
    };
    for (const auto& c : cases) {
        ui.ExpectMessage(c.answer, "Yes      - Discard Report");
        if (c.viaClose) w->close();   // the close box
        else QTest::mouseClick(w->AbortButton(), Qt::LeftButton);
        Settle();
        ASSERT_FALSE(w.isNull());
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(discards, c.discards);
        EXPECT_EQ(ends, c.ends);
    }
    ASSERT_EQ(ui.Shown().size(), 4u);
    EXPECT_EQ(ui.Shown()[0].Caption, "Abort Report?");
    EXPECT_EQ(ui.Shown()[0].Text, "Yes      - Discard Report\rNo       - Retain partial report\r"
                                  "Cancel - Continue generating report");
    ui.ExpectMessage(IDCANCEL);
    QTest::keyClick(w, Qt::Key_Escape);   // asks too, and stays
    EXPECT_TRUE(w->isVisible());

    w->StatusUpdate(9, 100, 1);   // the run ended: the window goes
    Settle();
    EXPECT_TRUE(w.isNull());
    EXPECT_TRUE(ui.AllUsed());
}

TEST(DaxReportDestination, ShowsTheSetupAndStoresTheChoice)
{
    TDaxPageSetup setup;
    setup.Destination = destScreen;
    setup.RangeStart = 0;
    setup.RangeEnd = 4;
    struct {
        const char* range;
        const char *from, *to, *copies;
        int start, end, copiesKept;
    } const cases[] = {
        {"rangePages", "2", "", "3", 2, 0, 3},
        {"rangeAll", nullptr, nullptr, "0", 0, 0, 1},
        {"rangePages", "", "5", "x", 1, 5, 1},   // "Pages" fills an empty start with 1
    };
    for (const auto& c : cases) {
        TModalScope answer([&](QDialog& d) {
            EXPECT_EQ(d.windowTitle(), "Report Destination");
            EXPECT_EQ(Child<QRadioButton>(d, "goPrinter")->text(), "P&rinter");
            EXPECT_TRUE(Child<QRadioButton>(d, "goScreen")->isChecked());
            Click(Child<QRadioButton>(d, c.range));
            if (c.from) {
                Type(Child<QLineEdit>(d, "StartRange"), c.from);
                Click(Child<QRadioButton>(d, "rangeAll"));
                Click(Child<QRadioButton>(d, "rangePages"));   // an empty start becomes "1"
                if (*c.from) Type(Child<QLineEdit>(d, "StartRange"), c.from);
                Type(Child<QLineEdit>(d, "EndRange"), c.to);
            }
            Type(Child<QLineEdit>(d, "Copies"), c.copies);
            Click(Child<QPushButton>(d, "btnPrint"));
            return d.result();
        });
        ASSERT_TRUE(RpxAskReportDestination(setup));
        EXPECT_EQ(setup.RangeStart, c.start) << c.range;
        EXPECT_EQ(setup.RangeEnd, c.end) << c.range;
        EXPECT_EQ(setup.Copies(), c.copiesKept);
        EXPECT_EQ(setup.Destination, destScreen);
    }
}
