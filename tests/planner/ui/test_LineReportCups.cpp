// The line report printed from its viewer through a real print queue of a private CUPS
// scheduler (started by the ctest set-up test); the printed PDF is read back with pdftotext.
#include "planner/ui/Rprtfrm.h"
#include "platform/printing/QtPrinters.h"
#include "report/output/qt/RpxPainterDevice.h"
#include "report/output/qt/RpxPlatformPrinter.h"
#include "report/ui/RpxViewer.h"
#include "support/CupsScheduler.h"
#include "ui_RpxViewer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

using namespace mwtest;

TEST(LineReportCups, PrintsTheTableFromTheViewer)
{
    const std::string cups = UseTestScheduler();
    if (cups.empty()) FAIL() << "CUPS_SERVER does not name a running scheduler's socket; run this test through ctest";
    const std::string server = std::getenv("CUPS_SERVER");

    TQtPrinter printer;
    const auto list = printer.Printers();
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i] == "MwPdfCopy") printer.SetPrinterIndex(int(i));
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
