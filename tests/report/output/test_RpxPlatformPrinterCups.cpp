// A report printed through the program's printer onto a private CUPS scheduler's two-sided
// PDF queue (started by the ctest set-up test): each page keeps its paper and orientation in
// the job, and the job carries the report's two-sided setting.
#include "report/output/MixedPaperReport.h"
#include "report/output/RpxPrint.h"
#include "report/output/qt/RpxPlatformPrinter.h"
#include "report/qt/RpxQtPrinter.h"

#include "platform/printing/QtPrinterCatalog.h"
#include "platform/printing/QtPrinters.h"

#include "support/CupsJobs.h"
#include "support/CupsScheduler.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace mwtest;

TEST(RpxPlatformPrinterCups, PagesKeepTheirPaperAndTheJobIsTwoSided)
{
    const std::string folder = UseTestScheduler();
    if (folder.empty()) FAIL() << "CUPS_SERVER does not name a running scheduler's socket; run this test through ctest";
    const std::string server = std::getenv("CUPS_SERVER");
    InstallPrinterCatalog(std::make_shared<TQtPrinterCatalog>());
    SetPrinterBackend(std::make_shared<TRpxQtPrinterBackend>());
    const auto before = CompletedJobs("MwDuplexPdf");
    {
        TQtPrinter printer;
        ASSERT_EQ(printer.PrinterName(), "MwDuplexPdf");
        TPrinterScope scope(printer);
        const auto document = LetterThenLandscapeA4(2, 2);   // two collated copies, two-sided
        ASSERT_EQ(document->CompletePages(), 2);

        TRpxPlatformPrintDevice device(printer);
        TRpxPrinter rpx(device);
        rpx.PrintRange(*document, 1, 2);
        ASSERT_FALSE(printer.Printing());
        ASSERT_GT(WaitForJob(server, folder + "/out/print.pdf"), 0u);
    }
    SetPrinterBackend(nullptr);
    InstallPrinterCatalog(nullptr);

    // The copies are made by the program, collated; a two-sided printer starts each copy on a
    // sheet of its own, so each is a job.
    auto jobs = CompletedJobs("MwDuplexPdf");
    jobs.erase(jobs.begin(), jobs.begin() + static_cast<std::ptrdiff_t>(std::min(before.size(), jobs.size())));
    ASSERT_EQ(jobs.size(), 2u);
    for (int id : jobs) {
        SCOPED_TRACE(id);
        const auto job = JobAttributes(id);
        EXPECT_EQ(job.at("sides"), "two-sided-long-edge");
        // The job's paper is that of its first page.
        EXPECT_EQ(job.at("media"), "Letter");
        EXPECT_EQ(job.count("copies") ? job.at("copies") : "1", "1");
        const std::string pdf = JobDocument(folder, id);
        EXPECT_EQ(PdfPageSizes(pdf), (std::vector<std::string>{"612x792", "842x595"}));
        EXPECT_NE(PdfText(pdf, 1).find("Upright letter"), std::string::npos);
        EXPECT_NE(PdfText(pdf, 2).find("Sideways A4"), std::string::npos);
    }
    // What the queue printed of the last job.
    const std::string printed = folder + "/out/print.pdf";
    EXPECT_EQ(PdfPageCount(printed), 2);
    EXPECT_NE(PdfText(printed, 2).find("Sideways A4"), std::string::npos);
}

namespace {

// An exhibit as the planner prints one: it chooses only its orientation. The job's media,
// sides and page sizes.
struct PrintedExhibit {
    std::string media, sides;
    std::vector<std::string> pages;
    bool operator==(const PrintedExhibit&) const = default;
    friend void PrintTo(const PrintedExhibit& e, std::ostream* os)
    {
        *os << e.media << ", " << e.sides << ",";
        for (const auto& p : e.pages) *os << " " << p;
    }
};

PrintedExhibit PrintExhibit(TPrinter& printer, const std::string& server, const std::string& folder)
{
    const auto before = CompletedJobs("MwDuplexPdf");
    printer.SetOrientation(TPrinterOrientation::poPortrait);
    printer.Title = "Exhibit";
    printer.BeginDoc();
    printer.Canvas().TextOut(100, 100, "Azimuth exhibit");
    printer.EndDoc();
    if (WaitForJob(server, folder + "/out/print.pdf") == 0) return {};
    const auto jobs = CompletedJobs("MwDuplexPdf");
    if (jobs.size() != before.size() + 1) return {};
    const auto job = JobAttributes(jobs.back());
    return {job.count("media") ? job.at("media") : "", job.count("sides") ? job.at("sides") : "one-sided",
            PdfPageSizes(JobDocument(folder, jobs.back()))};
}

}  // namespace

TEST(RpxPlatformPrinterCups, AReportLeavesTheProgramsPrinterAsItFoundIt)
{
    const std::string folder = UseTestScheduler();
    if (folder.empty()) FAIL() << "CUPS_SERVER does not name a running scheduler's socket; run this test through ctest";
    const std::string server = std::getenv("CUPS_SERVER");
    InstallPrinterCatalog(std::make_shared<TQtPrinterCatalog>());
    SetPrinterBackend(std::make_shared<TRpxQtPrinterBackend>());
    {
        TQtPrinter printer;
        ASSERT_EQ(printer.PrinterName(), "MwDuplexPdf");
        TPrinterScope scope(printer);
        const PrintedExhibit first = PrintExhibit(printer, server, folder);
        ASSERT_EQ(first.pages.size(), 1u);
        ASSERT_NE(first.media, "Legal");
        {
            // A two-sided report on Legal turned on its side.
            TRpxOutput out;
            out.SetOutputMode(1);
            out.PrinterSetup->SetPaperSize(5);
            out.PrinterSetup->SetOrientation(2);
            out.PrinterSetup->SetDuplex(2);
            out.BeginOutput();
            out.Canvas().TextOut(96, 96, "Sideways legal");
            out.EndOutput();
            TRpxPlatformPrintDevice device(printer);
            TRpxPrinter rpx(device);
            rpx.PrintRange(*out.Document, 1, 1);
            ASSERT_GT(WaitForJob(server, folder + "/out/print.pdf"), 0u);
            const auto job = JobAttributes(CompletedJobs("MwDuplexPdf").back());
            EXPECT_EQ(job.at("media"), "Legal");
            EXPECT_EQ(job.at("sides"), "two-sided-long-edge");
        }
        // The next exhibit comes out as the one before the report did.
        EXPECT_EQ(PrintExhibit(printer, server, folder), first);
    }
    SetPrinterBackend(nullptr);
    InstallPrinterCatalog(nullptr);
}
