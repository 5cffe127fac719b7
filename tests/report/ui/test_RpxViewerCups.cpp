// Printing from the viewer through real print queues of a private CUPS scheduler (started by
// the ctest set-up test).
#include "ViewerFixture.h"

#include "ui_RpxViewer.h"

#include "support/CupsScheduler.h"

#include "platform/printing/QtPrinters.h"

using namespace mwtest;

TEST_F(ViewerTest, PrintsAllPagesThroughCupsQueues)
{
    const std::string cups = UseTestScheduler();
    if (cups.empty()) FAIL() << "CUPS_SERVER does not name a running scheduler's socket; run this test through ctest";
    const std::string server = std::getenv("CUPS_SERVER");

    struct {
        const char* queue;
        const char* output;
        bool postScript;
    } const queues[] = {{"MwPdfFile", "print.ps", true}, {"MwPdfCopy", "print.pdf", false}};
    viewer->SetDocument(RecordedDocument(3));
    for (const auto& q : queues) {
        TQtPrinter printer;
        const auto list = printer.Printers();
        for (size_t i = 0; i < list.size(); ++i)
            if (list[i] == q.queue) printer.SetPrinterIndex(int(i));
        ASSERT_EQ(printer.PrinterName(), q.queue);
        TPrinterScope scope(printer);
        InstallRpxPlatformPrinting();

        Click(viewer->Form().sendprinter, Qt::RightButton);   // all pages, no dialog
        const std::string out = cups + "/out/" + q.output;
        ASSERT_GT(WaitForJob(server, out), 0u) << q.queue << " wrote nothing";
        std::string pdf = out;
        if (q.postScript) {
            pdf = dir.File("print.pdf");
            int status = 0;
            RunCommand("ps2pdf " + Quoted(out) + " " + Quoted(pdf) + " 2>&1", &status);
            ASSERT_EQ(status, 0);
        }
        ASSERT_EQ(PdfPageCount(pdf), 3) << q.queue;
        // The cups-pdf driver's PostScript carries the text as drawn glyphs only; a queue
        // that keeps PDF keeps it readable.
        if (!q.postScript) {
            for (int p = 1; p <= 3; ++p)
                EXPECT_NE(PdfText(pdf, p).find("Line report page " + std::to_string(p)), std::string::npos) << p;
        }
    }
}
