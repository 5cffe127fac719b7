#include "planner/engine/Exhibits.h"
#include "planner/engine/ProjLib.h"
#include "planner/engine/TitleBlock.h"
#include "planner/ui/ExhibitPrinting.h"
#include "planner/ui/Wizard.h"
#include "platform/printing/Printers.h"
#include "platform/ui/ScriptedUi.h"

#include "support/PopplerTools.h"

#include <gtest/gtest.h>

using namespace mwtest;

namespace {

class ExhibitPrintingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CreateProjectObjects();
        ui.OnUnexpected = [](const std::string& what) { ADD_FAILURE() << "unexpected " << what; };
        InstallExhibitPrinting();
    }
    void TearDown() override { SelectedAzimuthId = 0; }
    TScriptedUiServices ui;
    TUiServicesScope scope{ui};
    TempDir dir;
};

}  // namespace

TEST_F(ExhibitPrintingTest, WizardCommandsPrintOnThePrinterInForce)
{
    const std::string file = dir.File("summary.pdf");
    TPdfPrinter pdf(file);
    TPrinterScope in(pdf);
    ui.ExpectPrint(true);
    TPrintDialog dialog;
    ASSERT_TRUE(WizardExhibits.ExecutePrintDialog(dialog));
    CompanyName = "Wizard Test Co";
    WizardExhibits.PrintSystemExhibit();
    EXPECT_NE(PdfText(file).find("Wizard Test Co"), std::string::npos);
    // The hourglass came and went.
    ASSERT_FALSE(ui.CursorLog().empty());
    EXPECT_EQ(ui.CursorLog().front(), crHourGlass);
    EXPECT_EQ(ui.Cursor(), crDefault);
}

TEST_F(ExhibitPrintingTest, FailuresRaiseAndPutTheCursorBack)
{
    struct Case {
        const char* name;
        int option;
    };
    const Case cases[] = {{"data table", poDataTable}, {"graph", poGraph}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SelectedAzimuthId = FindPatternRecord("RuxOMX", false);
        PrintOption = c.option;
        const std::string file = dir.File("missing/x.pdf");
        TPdfPrinter pdf(file);
        TPrinterScope in(pdf);
        EXPECT_THROW(WizardExhibits.PrintPatternExhibit(true), EStreamError);
        EXPECT_FALSE(pdf.Printing());
        EXPECT_FALSE(FileExists(file));
        EXPECT_EQ(ui.Cursor(), crDefault);
    }
    // Print to Disk into a folder that is not there: an error, no file.
    PrintOption = poDiskFile;
    PatternFileName = dir.File("missing/p.pat");
    EXPECT_THROW(WizardExhibits.PrintPatternExhibit(true), EInOutError);
    PrintOption = poGraph;
}
