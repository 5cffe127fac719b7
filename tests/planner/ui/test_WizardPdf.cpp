#include "ModalScript.h"
#include "platform/ui/ScriptedUi.h"
#include "planner/engine/PdfExport.h"
#include "planner/engine/ProjLib.h"
#include "planner/engine/TitleBlock.h"
#include "planner/ui/AutoNb.h"
#include "planner/ui/MainState.h"
#include "planner/ui/PageControls.h"
#include "planner/ui/Wizard.h"
#include "planner/ui/frmPrinterOption.h"
#include "planner/ui/unit2.h"
#include "planner/ui/unit3.h"

#include "support/PopplerTools.h"

#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

using namespace mwtest;
namespace fs = std::filesystem;

namespace {

std::set<std::string> Listing(const fs::path& dir)
{
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
    return names;
}

// Stands in for page 5 while that page is not registered: a panel with the hidden image.
class TFakeSystemPage : public TChildForm {
public:
    explicit TFakeSystemPage(QWidget* owner = nullptr) : TChildForm(owner)
    {
        auto* panel = new QWidget(this);
        panel->setObjectName("AutoNBPanel");
        auto* image = new TImage(panel);
        image->setObjectName("PDFImage");
        image->SetPictureSize(800, 905);
        image->hide();
    }
};

class WizardPdf : public ::testing::Test {
protected:
    void SetUp() override
    {
        scope_ = std::make_unique<TUiServicesScope>(ui);
        ui.OnUnexpected = [](const std::string& what) { ADD_FAILURE() << what; };
        CreateProjectObjects();
        Sys().Family = 1;
        Page1Visited = true;
        Page2Fresh = Page3Fresh = true;
        SelectedAzimuthId = SelectedElevationId = 0;
        WizardExhibits = {};
        WizardExhibits.PrintPatternExhibit = [](bool) {};
        WizardExhibits.PrintSystemExhibit = [] {};
        ShowExhibitIdentifierDialogHook = [this] {
            ++identifierAsked;
            return true;
        };
        ExhibitId = "E-9       ";
    }
    void TearDown() override
    {
        WizardExhibits = {};
        ShowExhibitIdentifierDialogHook = nullptr;
        ExhibitId = std::string(10, ' ');
        PrintOption = poGraph;
        EXPECT_TRUE(ui.AllUsed()) << ui.Pending() << " scripted answers left unused";
        scope_.reset();
    }
    std::unique_ptr<TfrmWizard> Make(int page)
    {
        WizardFirstPage = 2;
        WizardLastPage = 5;
        auto w = std::make_unique<TfrmWizard>();
        w->nb->ActivatePage(2);
        for (int p = 3; p <= page; ++p) w->nb->ActivatePage(p);
        return w;
    }
    static TImage* PdfImage(TfrmWizard& w, int page)
    {
        return w.nb->PageObject(page)->findChild<TImage*>("PDFImage");
    }
    static void ExpectOnePagePdfOfTheImage(const fs::path& file)
    {
        ASSERT_TRUE(fs::exists(file));
        EXPECT_EQ(PdfPageCount(file.string()), 1);
        const std::string list = RunCommand("pdfimages -list " + Quoted(file.string()) + " 2>/dev/null");
        EXPECT_NE(list.find(" image     800   905 "), std::string::npos) << list;
    }

    TScriptedUiServices ui;
    std::unique_ptr<TUiServicesScope> scope_;
    int identifierAsked = 0;
    TempDir dir;
};

}  // namespace

TEST_F(WizardPdf, PatternPagesExportTheirExhibitThroughHtmldoc)
{
    for (int page : {2, 3}) {
        SCOPED_TRACE(page);
        identifierAsked = 0;
        auto w = Make(page);
        TImage* image = PdfImage(*w, page);
        ASSERT_NE(image, nullptr);
        const QImage plotBefore = image->Picture().ToImage();
        PrintOption = poPdf;
        const fs::path chosen = dir.path() / ("page " + std::to_string(page) + ".v2.pdf");
        ui.ExpectSave(chosen.string());
        w->btnPrintClick(w->btnPrint);

        EXPECT_EQ(ui.Shown().back().Filter, "PDF File   (*.pdf)|*.pdf|All Files  (*.*)|*.*");
        EXPECT_EQ(identifierAsked, 1);
        ExpectOnePagePdfOfTheImage(chosen);
        EXPECT_FALSE(fs::exists(dir.path() / ("page " + std::to_string(page) + ".pdf")));
        EXPECT_TRUE(image->Picture().ToImage() == plotBefore) << "the exhibit was drawn over the page's plot";
        if (page == 2) {
            auto* p2 = dynamic_cast<Tfrm2*>(w->nb->GetPageForm(2));
            ASSERT_NE(p2, nullptr);
            EXPECT_EQ(AzimuthPdfText.NumericGain, p2->Edit1->Text());
            EXPECT_EQ(AzimuthPdfText.PowerGainDb, p2->Edit2->Text());
            EXPECT_EQ(AzimuthPdfText.PlotType, "Relative Field");
        } else {
            auto* p3 = dynamic_cast<Tfrm3*>(w->nb->GetPageForm(3));
            ASSERT_NE(p3, nullptr);
            EXPECT_EQ(ElevationPdfText.MainLobeGain, p3->Edit1->Text());
            EXPECT_EQ(ElevationPdfText.BeamTiltText, p3->NumEdit1->Text());
        }
    }
    // Cancelling the save dialog exports nothing.
    auto w = Make(2);
    PrintOption = poPdf;
    ui.ExpectSaveCancel();
    const auto before = Listing(dir.path());
    w->btnPrintClick(w->btnPrint);
    EXPECT_EQ(Listing(dir.path()), before);
}

// A name typed without the extension gets ".pdf": the file opens as a PDF elsewhere.
TEST_F(WizardPdf, ANameWithoutTheExtensionGetsPdf)
{
    auto w = Make(2);
    PrintOption = poPdf;
    ui.ExpectSave((dir.path() / "site exhibit").string());
    w->btnPrintClick(w->btnPrint);
    EXPECT_EQ(Listing(dir.path()), std::set<std::string>{"site exhibit.pdf"});
    ExpectOnePagePdfOfTheImage(dir.path() / "site exhibit.pdf");
}

TEST_F(WizardPdf, FailingConverterShowsTheMessageAndKeepsTheUsersFile)
{
    WizardExhibits.PdfConverter = [] {
        TPdfConverter c;
        c.Program = "/bin/false";
        return c;
    };
    auto w = Make(3);
    PrintOption = poPdf;
    const fs::path chosen = dir.path() / "report.pdf";
    {
        std::ofstream(chosen) << "older work";
    }
    ui.ExpectSave(chosen.string());
    ui.ExpectMessage(IDYES, "report.pdf already exists.");
    ui.ExpectMessage(mrOk, "Unable to create PDF file.");
    w->btnPrintClick(w->btnPrint);
    EXPECT_EQ(ui.Shown().back().Text, "Unable to create PDF file.");
    EXPECT_EQ(ui.Shown().back().Type, TMsgDlgType::mtError);
    EXPECT_EQ(Listing(dir.path()), std::set<std::string>{"report.pdf"});
    EXPECT_EQ(ReadFileText(chosen), "older work");
}

TEST_F(WizardPdf, SystemPageAsksForTheOutputThenExports)
{
    // The real page 5 when it is registered, else a stand-in with the same hidden image.
    if (!FindFormClass("TFrm5")) RegisterFormClass<TFakeSystemPage>("TFrm5");
    TPrinterOption options;
    PrinterOption = &options;
    auto w = Make(5);
    ASSERT_NE(PdfImage(*w, 5), nullptr);
    const fs::path chosen = dir.path() / "system summary.pdf";
    ui.ExpectSave(chosen.string());
    WhenModal<TPrinterOption>([](TPrinterOption& o) {
        o.RadioGroup1->SetItemIndex(1);
        o.SetModalResult(mrOk);
    });
    w->btnPrintClick(w->btnPrint);
    PrinterOption = nullptr;
    EXPECT_EQ(identifierAsked, 1);
    ExpectOnePagePdfOfTheImage(chosen);
}
