// The program's printers come from one list: the exhibits' print dialog and the report engine
// see the printers of the one catalog, read when something first prints, and a printer chosen
// on either side is chosen on both.
#include "planner/ui/ExhibitPrinting.h"
#include "planner/ui/Wizard.h"
#include "platform/printing/Printers.h"
#include "platform/ui/ScriptedUi.h"
#include "report/RpxPrinter.h"
#include "report/DaxPageSetup.h"
#include "report/qt/RpxQtPrinter.h"
#include "report/ui/RpxDialogs.h"
#include "platform/printing/QtPrinters.h"

#include "support/FakePrinterCatalog.h"

#include <gtest/gtest.h>

#include <QPageLayout>
#include <QPrinter>

using namespace mwtest;

namespace {

TPrinterCapabilities Described(std::string name, std::vector<TPrinterPaper> papers, std::vector<TPrinterBin> bins,
                               bool duplex)
{
    TPrinterCapabilities c;
    c.Name = std::move(name);
    c.Driver = "Fake driver";
    c.Port = "file:///dev/null";
    c.Papers = std::move(papers);
    c.Bins = std::move(bins);
    c.Duplex = duplex;
    c.DefaultPaper = c.Papers.front().Number;
    c.DefaultBin = c.Bins.empty() ? 0 : c.Bins.front().Number;
    return c;
}

}  // namespace

TEST(PrinterStack, TheExhibitsDialogAndTheReportEngineShareOneList)
{
    const TPrinterPaper letter{1, "Letter", 2159, 2794}, a4{9, "A4", 2100, 2970}, a0{260, "ISO A0", 8410, 11890};
    auto catalog = std::make_shared<TFakePrinterCatalog>();
    catalog->printers = {Described("Office laser", {letter, a4}, {{1, "Upper tray", "top"}}, true),
                         Described("Scripted printer", {a4}, {{4, "Manual feed", "manual"}, {7, "Auto", "auto"}}, false),
                         Described("Plotter", {a0}, {}, false)};
    catalog->defaultName = "Office laser";
    int made = 0;
    InstallPrinterCatalogFactory([&] {
        ++made;
        return catalog;
    });
    InstallPrinterFactory(nullptr);
    // As at start-up: the exhibits' printer and the report engine's printer layer.
    InstallExhibitPrinting();
    SetPrinterBackend(std::make_shared<TRpxQtPrinterBackend>());
    EXPECT_EQ(made, 0) << "the printer list is read only when something prints";

    const std::vector<std::string> names{"Office laser", "Scripted printer", "Plotter"};
    EXPECT_EQ(Printer().Printers(), names);
    EXPECT_EQ(PrinterBackend().Printers(), names);
    EXPECT_EQ(made, 1);
    EXPECT_EQ(Printer().PrinterName(), "Office laser");
    EXPECT_EQ(PrinterBackend().DefaultPrinter(), "Office laser");
    {
        TRpxPrinterInfo info;
        EXPECT_EQ(info.PrinterName, "Office laser");
        EXPECT_TRUE(info.CanDuplex);
        ASSERT_NE(info.PaperByNumber(9), nullptr);
        EXPECT_EQ(info.PaperByNumber(9)->Width, 2100);
    }

    // The exhibits' print dialog chooses a printer; the report engine prints on it.
    TScriptedUiServices ui;
    TUiServicesScope scope(ui);
    ui.ExpectPrint(true, 2);
    TPrintDialog dialog;
    ASSERT_TRUE(WizardExhibits.ExecutePrintDialog(dialog));
    EXPECT_EQ(Printer().PrinterName(), "Scripted printer");
    {
        TRpxPrinterInfo info;
        EXPECT_EQ(info.PrinterName, "Scripted printer");
        EXPECT_FALSE(info.CanDuplex);
        ASSERT_EQ(info.Bins.size(), 2u);
        EXPECT_EQ(info.BinByNumberOrName(7)->Name, "Auto");
        EXPECT_EQ(info.PaperByNumber(1), nullptr);
    }

    // What the report's printer-setup dialog sets on the printer, the report's setup reads back.
    auto& qt = dynamic_cast<TQtPrinter&>(Printer());
    qt.QtPrinter().setPageSize(QPageSize(QPageSize::A4));
    qt.QtPrinter().setPageOrientation(QPageLayout::Landscape);   // as the user sets it in the dialog
    ui.ExpectPrint(true);
    ASSERT_TRUE(RpxPrinterSetupDialog());
    {
        TRpxPrinterSetup setup;
        setup.ReadFromPrinter();
        EXPECT_EQ(setup.Orientation, 2);
        EXPECT_EQ(setup.PaperSize, 9);
        EXPECT_NEAR(setup.PaperWidth, 297 / 25.4, 0.01);
    }

    // And a printer the report engine selects is the program's printer.
    PrinterBackend().SetPrinterIndex(2);
    EXPECT_EQ(Printer().PrinterName(), "Plotter");
    EXPECT_EQ(made, 1);

    SetPrinterBackend(nullptr);
    InstallPrinterFactory(nullptr);
    InstallPrinterCatalog(nullptr);
}
