// The line report printed from its viewer through a real print queue of a private CUPS
// scheduler (started by the ctest set-up test); the printed PDF is read back with pdftotext.
// Mouse input goes through the window system, which refuses it to a window a modal window
// blocks, as a desktop does.
#define QTEST_QPA_MOUSE_HANDLING
#include "ModalScript.h"
#include "planner/ui/Main.h"
#include "planner/ui/Rprtfrm.h"
#include "planner/ui/StartUp.h"
#include "planner/ui/Wizard.h"
#include "planner/ui/unit4.h"
#include "platform/printing/QtPrinters.h"
#include "report/output/qt/RpxPainterDevice.h"
#include "report/output/qt/RpxPlatformPrinter.h"
#include "report/ui/RpxViewer.h"
#include "report/ui/RpxDialogs.h"
#include "support/CupsJobs.h"
#include "support/CupsScheduler.h"
#include "support/UserInput.h"
#include "ui_RpxViewer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <qpa/qwindowsysteminterface.h>

#include <functional>

using namespace mwtest;

namespace {

void ChooseQueue(TQtPrinter& printer, const std::string& name)
{
    const auto list = printer.Printers();
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i] == name) printer.SetPrinterIndex(int(i));
}

}  // namespace

TEST(LineReportCups, PrintsTheTableFromTheViewer)
{
    const std::string cups = UseTestScheduler();
    if (cups.empty()) FAIL() << "CUPS_SERVER does not name a running scheduler's socket; run this test through ctest";
    const std::string server = std::getenv("CUPS_SERVER");

    TQtPrinter printer;
    ChooseQueue(printer, "MwPdfCopy");
    ASSERT_EQ(printer.PrinterName(), "MwPdfCopy");
    TPrinterScope scope(printer);
    InstallRpxPlatformPrinting();
    InstallRpxQtMeasuring();
    InstallReportWindows();

    TStringList lines;
    for (const char* line : {"Ch 32 (578-584 MHz)", "1100", "Peak Power at 10% aural",
                             "Attenuation calculated at video peak of sync.", "~", "Custom ~ line", "", "0.15",
                             "1.65", "60", "85.7", "~", "WR1800 rectangular waveguide", "WR-1800", "0.0525",
                             "0.578", "1750", "2500"})
        lines.Add(line);
    TfrmRprt::PrintOnce(lines);
    TRpxViewer* viewer = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* v = qobject_cast<TRpxViewer*>(w); v && v->isVisible()) viewer = v;
    ASSERT_NE(viewer, nullptr);

    QWidget* print = viewer->Form().sendprinter;
    QTest::mouseClick(print, Qt::RightButton, {}, print->rect().center());  // all pages, no dialog
    const std::string out = cups + "/out/print.pdf";
    ASSERT_GT(WaitForJob(server, out), 0u) << "the queue wrote nothing";
    ASSERT_EQ(PdfPageCount(out), 1);
    const std::string text = PdfText(out, 1);
    for (const char* expected : {"Channel: Ch 32 (578-584 MHz)", "Total Length (feet): 1100", "Custom ~ line",
                                 "WR1800 rectangular waveguide", "WR-1800", "Peak Power (kw)"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << " in\n" << text;

    viewer->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    RemoveReportWindows();
}

namespace {

// A click on a menu bar's menu, then on one of its items.
void ChooseMenu(QMenuBar* bar, QMenu* menu, QAction* item)
{
    Click(bar, bar->actionGeometry(menu->menuAction()).center());
    ASSERT_TRUE(menu->isVisible()) << "the menu did not open";
    Click(menu, menu->actionGeometry(item).center());
}

TRpxViewer* ShownViewer()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* v = qobject_cast<TRpxViewer*>(w); v && v->isVisible()) return v;
    return nullptr;
}

template <class F>
bool Eventually(F done)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 60000) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return done();
}

}  // namespace

// Page 4's Print from the line utility opens the viewer while the wizard's modal loop runs:
// the viewer answers its tool bar, menus and close box, opens as the page's preview settings
// say, and prints through Printer Setup to the queue, after which the mouse still works.
TEST(LineReportCups, TheViewerOpenedInsideTheWizardAnswersAndPrintsThroughPrinterSetup)
{
    const std::string cups = UseTestScheduler();
    if (cups.empty()) FAIL() << "CUPS_SERVER does not name a running scheduler's socket; run this test through ctest";

    TQtPrinter printer;
    ChooseQueue(printer, "MwPdfCopy");
    ASSERT_EQ(printer.PrinterName(), "MwPdfCopy");
    TPrinterScope scope(printer);

    auto vantrel = StartMastwise();
    FrmMain->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(FrmMain));
    const size_t jobsBefore = CompletedJobs("MwPdfCopy").size();

    bool wizardSeen = false;
    WhenModal<TfrmWizard>([&](TfrmWizard& w) {
        wizardSeen = true;
        auto* p4 = dynamic_cast<Tfrm4*>(w.nb->GetPageForm(4));
        ASSERT_NE(p4, nullptr);
        Click(p4->BitBtn1);
        QPointer<TRpxViewer> viewer = ShownViewer();
        ASSERT_TRUE(viewer) << "the report opens in the viewer";
        ASSERT_TRUE(w.Modal()) << "the wizard's loop still runs";
        ASSERT_TRUE(QTest::qWaitForWindowExposed(viewer));

        // The page's preview settings: maximized on the screen, at 100 %.
        EXPECT_TRUE(viewer->isMaximized());
        EXPECT_TRUE(viewer->screen()->availableGeometry().contains(viewer->geometry()));
        EXPECT_EQ(viewer->ActivePreview()->ZoomIndex(), 2);
        EXPECT_EQ(viewer->Form().ZoomValues->currentText().toStdString(), "100%");

        TRpxPreview* preview = viewer->ActivePreview();
        ASSERT_GE(preview->PageCount(), 2);
        Click(viewer->Form().NextPage);
        EXPECT_EQ(preview->CurrentPage(), 2) << "the tool bar's Next Page";
        EXPECT_EQ(viewer->Form().PageNum->text().toStdString(), "Page: 2/" + std::to_string(preview->PageCount()));
        ChooseMenu(viewer->menuBar(), viewer->Form().Navigate1, viewer->Form().FirstPage1);
        EXPECT_EQ(preview->CurrentPage(), 1) << "the menu's First Page";

        // Print, Printer Setup, the printer dialog's Print, then this dialog's Print.
        bool setupSeen = false;
        WhenDialog<TRpxPrintDestination>([&](TRpxPrintDestination& d) {
            WhenDialog<QPrintDialog>([&](QPrintDialog& pd) {
                setupSeen = true;
                auto* box = pd.findChild<QDialogButtonBox*>();
                ASSERT_NE(box, nullptr);
                Click(box->button(QDialogButtonBox::Ok));
            });
            Click(d.findChild<QPushButton*>("btnSetup"));
            // Print is pressed from the dialog's own loop, once the printer dialog is gone.
            WhenDialog<TRpxPrintDestination>([&](TRpxPrintDestination& again) {
                EXPECT_EQ(&again, &d);
                Click(again.findChild<QPushButton*>("btnPrint"));
            });
        });
        Click(viewer->Form().sendprinter);
        EXPECT_TRUE(setupSeen);
        ASSERT_TRUE(Eventually([&] { return CompletedJobs("MwPdfCopy").size() > jobsBefore; }))
            << "no job reached the queue";
        const int job = CompletedJobs("MwPdfCopy").back();
        const std::string text = PdfText(JobDocument(cups, job), 1);
        EXPECT_NE(text.find("Total Length (feet)"), std::string::npos) << text;

        // Afterwards the mouse still works, and the close box closes the viewer.
        Click(viewer->Form().LastPage);
        EXPECT_EQ(preview->CurrentPage(), preview->PageCount()) << "a click after printing";
        QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(viewer->windowHandle());
        EXPECT_TRUE(Eventually([&] { return viewer.isNull(); })) << "the close box";
        Click(w.BitBtnNext);
    });
    Click(FrmMain->sbForm4);
    EXPECT_TRUE(wizardSeen) << "no wizard came up";

    if (TRpxViewer* v = ShownViewer()) v->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    vantrel.reset();
    Application->DestroyForms();
    RemoveReportWindows();
}
