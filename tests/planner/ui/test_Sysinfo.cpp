#include "ModalScript.h"
#include "platform/ui/ScriptedUi.h"
#include "planner/engine/ProjLib.h"
#include "planner/engine/TitleBlock.h"
#include "planner/ui/MainState.h"
#include "planner/ui/Sysinfo.h"
#include "planner/ui/frmPrinterOption.h"
#include "planner/ui/unit8.h"

#include <QDate>

namespace {

const char* const kCancelQuestion = "You are about to cancel a new system design. Are you sure?";

class Dialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        scope_ = std::make_unique<TUiServicesScope>(ui);
        ui.OnUnexpected = [](const std::string& what) { ADD_FAILURE() << what; };
        CompanyName = AuthorName = SiteName = ProposalNumber = "old";
        ProposalDate = 0;
    }
    void TearDown() override
    {
        ShowExhibitIdentifierDialogHook = nullptr;
        EXPECT_TRUE(ui.AllUsed()) << ui.Pending() << " scripted answers left unused";
        scope_.reset();
    }

    TScriptedUiServices ui;
    std::unique_ptr<TUiServicesScope> scope_;
};

}  // namespace

TEST_F(Dialogs, SiteDialogStoresTheTitleBlockWhateverWayItCloses)
{
    enum Act { Next, CancelYes, CancelNoThenNext, CloseBox };
    struct Case {
        const char* what;
        Act act;
        int result;
        std::string company, author, site, proposal;
        std::string wantCompany, wantAuthor, wantSite, wantProposal;
    };
    const std::string long30 = "123456789012345678901234567890";
    const Case cases[] = {
        {"next", Next, mrOk, "Belvor", "Ann", "Hill 7", "P-1", "Belvor", "Ann", "Hill 7", "P-1"},
        {"cut at 20 and 15", Next, mrOk, long30, long30, long30, long30, long30.substr(0, 20), long30.substr(0, 15),
         long30.substr(0, 20), long30.substr(0, 20)},
        {"cancel still stores", CancelYes, mrCancel, "Co", "Au", "Si", "Pn", "Co", "Au", "Si", "Pn"},
        {"cancel, no: the dialog stays", CancelNoThenNext, mrOk, "Co", "Au", "Si", "Pn", "Co", "Au", "Si", "Pn"},
        {"close box", CloseBox, mrCancel, "", "", "", "", "", "", "", ""},
        {"cut as characters", Next, mrOk, "Émetteur Côte-Saint-Luc", "Jérôme Lévesque-Ar", "", "", "Émetteur Côte-Saint-",
         "Jérôme Lévesque", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CompanyName = AuthorName = SiteName = ProposalNumber = "old";
        TfrmSysInfo dlg;
        EXPECT_EQ(dlg.Caption(), "System Info");
        EXPECT_EQ(dlg.DateBox->date(), QDate::currentDate());
        dlg.CoName->SetText(c.company);
        dlg.edAuthor->SetText(c.author);
        dlg.edSiteName->SetText(c.site);
        dlg.edPropNum->SetText(c.proposal);
        dlg.DateBox->setDate(QDate(2001, 3, 15));
        if (c.act == CancelYes) ui.ExpectMessage(mrYes, kCancelQuestion);
        if (c.act == CancelNoThenNext) ui.ExpectMessage(mrNo, kCancelQuestion);
        WhenModal<TfrmSysInfo>([&c](TfrmSysInfo& f) {
            switch (c.act) {
            case Next: f.BitBtn1->click(); break;
            case CancelYes: f.BitBtn2->click(); break;
            case CancelNoThenNext:
                f.BitBtn2->click();
                EXPECT_EQ(CompanyName, "old") << "nothing is stored while the dialog stays";
                QTimer::singleShot(0, &f, [&f] { f.BitBtn1->click(); });
                break;
            case CloseBox: f.close(); break;
            }
        });
        EXPECT_EQ(dlg.ShowModal(), c.result);
        EXPECT_EQ(CompanyName, c.wantCompany);
        EXPECT_EQ(AuthorName, c.wantAuthor);
        EXPECT_EQ(SiteName, c.wantSite);
        EXPECT_EQ(ProposalNumber, c.wantProposal);
        EXPECT_DOUBLE_EQ(ProposalDate, 36965.0);  // 15 March 2001
        if (c.act == CancelYes || c.act == CancelNoThenNext) {
            EXPECT_EQ(ui.Shown().back().Caption, "Confirm");
            EXPECT_EQ(ui.Shown().back().Type, TMsgDlgType::mtConfirmation);
        }
    }
}

TEST_F(Dialogs, ExhibitIdentifierIsLoadedBeforeEachShowing)
{
    Tfrm8 dlg;
    EXPECT_EQ(dlg.Caption(), "Enter Exhibit Identifier");
    EXPECT_EQ(dlg.MaskEdit1->Text(), std::string(10, ' '));
    InstallExhibitIdentifierDialog(&dlg);
    struct Case {
        const char* what;
        std::string before;  // ExhibitId when the dialog is asked for
        std::string typed;   // what the user leaves in the edit (nullopt-like "=" keeps it)
        std::string after;
    };
    const Case cases[] = {
        {"blank stays ten blanks", std::string(10, ' '), "=", std::string(10, ' ')},
        {"typed", std::string(10, ' '), "EX12", "EX12      "},
        {"shown again with what it holds", "EX12      ", "=", "EX12      "},
        {"changed elsewhere is what shows", "B7        ", "=", "B7        "},
        {"cut at ten", "B7        ", "ABCDEFGHIJKL", "ABCDEFGHIJ"},
        {"emptied", "ABCDEFGHIJ", "", std::string(10, ' ')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ExhibitId = c.before;
        dlg.MaskEdit1->SetText("STALE");
        WhenModal<Tfrm8>([&c](Tfrm8& f) {
            EXPECT_EQ(f.MaskEdit1->Text(), c.before);
            if (c.typed != "=") {
                f.MaskEdit1->clear();
                f.MaskEdit1->insert(QString::fromStdString(c.typed));  // as typed: the edit's limits apply
            }
            f.BitBtn1->click();
        });
        ShowExhibitIdentifierDialog();
        EXPECT_EQ(ExhibitId, c.after);
        EXPECT_FALSE(dlg.isVisible());
    }
}

TEST_F(Dialogs, PrinterOptionKeepsTheLastChoice)
{
    TPrinterOption dlg;
    EXPECT_EQ(dlg.Caption(), "Printer Option");
    EXPECT_EQ(dlg.RadioGroup1->Caption(), "Send to");
    ASSERT_EQ(dlg.RadioGroup1->Items().Count(), 2);
    EXPECT_EQ(dlg.RadioGroup1->Items()[0], "Send to Printer");
    EXPECT_EQ(dlg.RadioGroup1->Items()[1], "Create PDF");
    for (int choice : {0, 1, -1}) {
        SCOPED_TRACE(choice);
        WhenModal<TPrinterOption>([choice](TPrinterOption& f) {
            if (choice >= 0) f.RadioGroup1->SetItemIndex(choice);
            f.BitBtn1->click();
        });
        EXPECT_EQ(dlg.ShowModal(), mrOk);
        EXPECT_EQ(dlg.RadioGroup1->ItemIndex(), choice >= 0 ? choice : 1) << "the last choice stays";
    }
}
