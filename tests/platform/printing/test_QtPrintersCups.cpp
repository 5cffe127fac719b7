// The system printer and the system's printer catalog against a private CUPS scheduler
// (started by the ctest set-up test) whose queue MwDuplexPdf prints two-sided, from two trays,
// and keeps each job as PDF.
#include "platform/printing/QtPrinterCatalog.h"
#include "platform/printing/QtPrinters.h"

#include "support/CupsJobs.h"
#include "support/CupsScheduler.h"

#include <gtest/gtest.h>

using namespace mwtest;

namespace {

class QtPrintersCups : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = UseTestScheduler();
        if (folder.empty()) FAIL() << "CUPS_SERVER does not name a running scheduler's socket; run this test through ctest";
        server = std::getenv("CUPS_SERVER");
        InstallPrinterCatalog(std::make_shared<TQtPrinterCatalog>());
    }
    void TearDown() override { InstallPrinterCatalog(nullptr); }

    std::string folder, server;
};

}  // namespace

TEST_F(QtPrintersCups, TheCatalogDescribesTheQueue)
{
    TPrinterCatalog& catalog = PrinterCatalog();
    EXPECT_EQ(catalog.DefaultName(), "MwDuplexPdf");
    const TPrinterCapabilities* c = catalog.Capabilities("MwDuplexPdf");
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(c->Duplex);
    EXPECT_EQ(c->Port, "file://" + folder + "/out/print.pdf");
    struct Paper { int number; int width, length; };
    for (const Paper p : {Paper{1, 2159, 2794}, Paper{9, 2100, 2970}, Paper{5, 2159, 3556}}) {
        SCOPED_TRACE(p.number);
        const TPrinterPaper* found = c->PaperByNumber(p.number);
        ASSERT_NE(found, nullptr);
        EXPECT_NEAR(found->Width, p.width, 2);
        EXPECT_NEAR(found->Length, p.length, 2);
    }
    EXPECT_EQ(c->DefaultPaper, 1);
    // The trays under their standard bin numbers.
    ASSERT_EQ(c->Bins.size(), 2u);
    EXPECT_EQ(c->Bins[0].Number, 1);
    EXPECT_EQ(c->Bins[0].Keyword, "top");
    EXPECT_EQ(c->Bins[1].Number, 2);
    EXPECT_EQ(c->Bins[1].Keyword, "bottom");
    EXPECT_EQ(c->DefaultBin, 1);
    EXPECT_EQ(catalog.Capabilities("NoSuchQueue"), nullptr);
}

TEST_F(QtPrintersCups, TheJobTakesThePageFormat)
{
    TQtPrinter printer;
    ASSERT_EQ(printer.PrinterName(), "MwDuplexPdf");
    const TPrinterCapabilities* c = PrinterCatalog().Capabilities("MwDuplexPdf");
    ASSERT_NE(c, nullptr);
    TPrinterPageFormat f;
    f.Paper = *c->PaperByNumber(9);
    f.Orientation = TPrinterOrientation::poPortrait;
    f.Duplex = TPrinterDuplex::pdShortEdge;
    f.Copies = 3;
    f.Collate = true;
    f.Source = c->Bins[1].Name;
    printer.SetPageFormat(f);
    const auto before = CompletedJobs("MwDuplexPdf");
    printer.Title = "Three copies";
    printer.BeginDoc();
    printer.Canvas().TextOut(100, 100, "A4 from the lower tray");
    printer.EndDoc();
    ASSERT_GT(WaitForJob(server, folder + "/out/print.pdf"), 0u);

    const auto jobs = CompletedJobs("MwDuplexPdf");
    ASSERT_EQ(jobs.size(), before.size() + 1);
    const auto job = JobAttributes(jobs.back());
    EXPECT_EQ(job.at("copies"), "3");
    EXPECT_EQ(job.at("Collate"), "true");
    EXPECT_EQ(job.at("sides"), "two-sided-short-edge");
    EXPECT_EQ(job.at("media"), "A4");
    EXPECT_EQ(job.at("media-source"), c->Bins[1].Keyword);
    EXPECT_EQ(PdfPageSizes(JobDocument(folder, jobs.back())), (std::vector<std::string>{"595x842"}));
}
