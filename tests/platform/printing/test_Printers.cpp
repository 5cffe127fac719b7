#include "platform/printing/QtPrinters.h"
#include "platform/ui/ScriptedUi.h"

#include "support/PopplerTools.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <iterator>
#include <sys/resource.h>

using namespace mwtest;

namespace {

void DrawMarkedPage(TCanvas& c, const std::string& text)
{
    c.Font.SetSize(24);
    c.TextOut(100, 100, text);
    c.Pen.Width = 10;
    c.Pen.Color = clRed;
    c.MoveTo(100, 400);
    c.LineTo(1000, 400);
}

bool Reddish(const QColor& c) { return c.red() > 180 && c.green() < 100 && c.blue() < 100; }

}  // namespace

TEST(PdfPrinter, PageSizeFollowsOrientationAndResolution)
{
    TempDir dir;
    struct Case {
        int dpi;
        TPrinterOrientation o;
        int w, h;
    };
    const Case cases[] = {
        {300, TPrinterOrientation::poPortrait, 2400, 3150},
        {300, TPrinterOrientation::poLandscape, 3150, 2400},
        {100, TPrinterOrientation::poPortrait, 800, 1050},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        TPdfPrinter p(dir.File("a.pdf"), c.dpi);
        p.SetOrientation(c.o);
        EXPECT_EQ(p.PageWidth(), c.w);
        EXPECT_EQ(p.PageHeight(), c.h);
        EXPECT_EQ(p.Resolution(), c.dpi);
    }
}

TEST(PdfPrinter, DocumentReadsBackWithPopplerPageByPage)
{
    TempDir dir;
    const std::string file = dir.File("doc.pdf");
    TPdfPrinter p(file);
    p.Title = "Two pages";
    p.BeginDoc();
    EXPECT_TRUE(p.Printing());
    EXPECT_EQ(p.Canvas().Font.PixelsPerInch, 300);
    DrawMarkedPage(p.Canvas(), "First page text");
    p.NewPage();
    DrawMarkedPage(p.Canvas(), "Second page text");
    EXPECT_EQ(p.PageNumber(), 2);
    EXPECT_FALSE(FileExists(file)) << "the file is written in one piece at the end";
    p.EndDoc();
    EXPECT_FALSE(p.Printing());
    ASSERT_TRUE(FileExists(file));
    EXPECT_EQ(PdfPageCount(file), 2);
    EXPECT_NE(PdfText(file, 1).find("First page text"), std::string::npos);
    EXPECT_NE(PdfText(file, 2).find("Second page text"), std::string::npos);
    const QImage img = PdfPageImage(file, 1, 50, dir.path());
    ASSERT_FALSE(img.isNull());
    EXPECT_GT(ColouredPixels(img, img.rect(), Reddish), 50);

    // A second document on the same printer starts clean.
    p.BeginDoc();
    DrawMarkedPage(p.Canvas(), "Again");
    p.EndDoc();
    EXPECT_EQ(PdfPageCount(file), 1);
}

TEST(PdfPrinter, MisuseRaisesPrinterErrors)
{
    TempDir dir;
    TPdfPrinter p(dir.File("m.pdf"));
    EXPECT_THROW(p.Canvas(), EPrinter);
    EXPECT_THROW(p.EndDoc(), EPrinter);
    EXPECT_THROW(p.NewPage(), EPrinter);
    p.Abort();  // nothing open: nothing happens
    p.BeginDoc();
    EXPECT_THROW(p.BeginDoc(), EPrinter);
    EXPECT_THROW(p.SetOrientation(TPrinterOrientation::poLandscape), EPrinter);
    EXPECT_EQ(p.Orientation(), TPrinterOrientation::poPortrait);
    p.Abort();
    EXPECT_TRUE(p.Aborted());
    EXPECT_FALSE(p.Printing());
    EXPECT_FALSE(FileExists(dir.File("m.pdf")));
}

TEST(PdfPrinter, FailureMidDocumentAbortsAndLeavesNoFile)
{
    TempDir dir;
    const std::string file = dir.File("fail.pdf");
    TPdfPrinter p(file);
    EXPECT_THROW(
        {
            TPrintJob job(p);
            DrawMarkedPage(job.Canvas(), "half");
            throw EConvertError("drawing failed");
        },
        EConvertError);
    EXPECT_FALSE(p.Printing());
    EXPECT_TRUE(p.Aborted());
    EXPECT_FALSE(FileExists(file));
}

TEST(PdfPrinter, UnwritableFileIsAnErrorAfterTheDocumentCloses)
{
    TempDir dir;
    const std::string file = dir.File("missing-folder/x.pdf");
    TPdfPrinter p(file);
    TPrintJob job(p);
    DrawMarkedPage(job.Canvas(), "text");
    EXPECT_THROW(job.Finish(), EFCreateError);
    EXPECT_FALSE(p.Printing());
    EXPECT_FALSE(FileExists(file));
}

TEST(PdfPrinter, AFailedWriteKeepsTheEarlierDocument)
{
    TempDir dir;
    const std::string file = dir.File("exhibit.pdf");
    ASSERT_TRUE(WriteFileText(file, "the earlier document"));
    TPdfPrinter p(file);
    TPrintJob job(p);
    DrawMarkedPage(job.Canvas(), "text");
    // The file size limit stands in for a full disk.
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_THROW(job.Finish(), EWriteError);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(ReadFileText(file), "the earlier document");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(QtPrinter, PdfOutputThroughQtsPrinter)
{
    TempDir dir;
    const std::string file = dir.File("qt.pdf");
    TQtPrinter p(file);
    p.SetOrientation(TPrinterOrientation::poLandscape);
    EXPECT_GT(p.PageWidth(), p.PageHeight());
    EXPECT_EQ(p.PrinterName(), "PDF file");
    {
        TPrintJob job(p);
        DrawMarkedPage(job.Canvas(), "Through QPrinter");
        job.Finish();
    }
    EXPECT_NE(PdfText(file).find("Through QPrinter"), std::string::npos);
    // An aborted job leaves no file behind.
    EXPECT_THROW(
        {
            TPrintJob job(p);
            DrawMarkedPage(job.Canvas(), "never");
            throw EAbort();
        },
        EAbort);
    EXPECT_FALSE(FileExists(file));
}

TEST(Printer, InstalledAndScopedPrinters)
{
    TempDir dir;
    TPdfPrinter a(dir.File("a.pdf")), b(dir.File("b.pdf"));
    if (!PrinterInstalled()) {
        EXPECT_THROW(Printer(), EPrinter);
    }
    {
        TPrinterScope s1(a);
        EXPECT_EQ(&Printer(), &a);
        {
            TPrinterScope s2(b);
            EXPECT_EQ(&Printer(), &b);
        }
        EXPECT_EQ(&Printer(), &a);
    }
}

TEST(Printer, PrintDialogAnswersThroughTheUiServices)
{
    TScriptedUiServices ui;
    ui.OnUnexpected = [](const std::string& what) { ADD_FAILURE() << what; };
    TUiServicesScope scope(ui);
    TempDir dir;
    TQtPrinter qt(dir.File("q.pdf"));
    TPdfPrinter pdf(dir.File("p.pdf"));
    TPrintDialog d;
    ui.ExpectPrint(true);
    ui.ExpectPrint(false);
    EXPECT_TRUE(ExecutePrintDialog(d, qt));
    EXPECT_FALSE(ExecutePrintDialog(d, pdf));
    EXPECT_EQ(d.Printer, nullptr);
    EXPECT_TRUE(ui.AllUsed());
}
