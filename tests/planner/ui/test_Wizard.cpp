#include "ModalScript.h"
#include "platform/runtime/StrTable.h"
#include "platform/runtime/SysUtils.h"
#include "platform/ui/ScriptedUi.h"
#include "planner/engine/ProjLib.h"
#include "planner/engine/TitleBlock.h"
#include "planner/ui/Main.h"
#include "planner/ui/MainState.h"
#include "planner/ui/Sysinfo.h"
#include "planner/ui/Wizard.h"
#include "planner/ui/unit1.h"

#include <QImage>
#include <QKeyEvent>
#include <QSet>
#include <QPointer>
#include <QTemporaryDir>

namespace {

const char* const kCancelQuestion = "You are about to cancel a new system design. Are you sure?";

class Wizard : public ::testing::Test {
protected:
    void SetUp() override
    {
        scope_ = std::make_unique<TUiServicesScope>(ui);
        ui.OnUnexpected = [](const std::string& what) { ADD_FAILURE() << what; };
        CreateProjectObjects();
        Page1Visited = false;
        LineUtilityMode = false;
        WizardExhibits = {};
        PrintOption = 0;
    }
    void TearDown() override
    {
        WizardExhibits = {};
        EXPECT_TRUE(ui.AllUsed()) << ui.Pending() << " scripted answers left unused";
        scope_.reset();
    }

    std::unique_ptr<TfrmWizard> Make(int first, int last)
    {
        WizardFirstPage = first;
        WizardLastPage = last;
        auto w = std::make_unique<TfrmWizard>();
        w->nb->ActivatePage(first);
        return w;
    }

    TScriptedUiServices ui;
    std::unique_ptr<TUiServicesScope> scope_;
};

// The main window linked to the real site dialog and wizard, as the program links them.
class DesignRoad : public Wizard {
protected:
    void SetUp() override
    {
        Wizard::SetUp();
        frm = std::make_unique<TFrmMain>();
        TMainWindowLinks links;
        links.CreateSysInfo = [] { return std::unique_ptr<TForm>(CreateFormOnce<TfrmSysInfo>()); };
        links.CreateWizard = CreateDesignWizard;
        frm->Link(links);
        frm->show();
    }
    void TearDown() override
    {
        frm.reset();
        Wizard::TearDown();
    }
    bool StepsEnabled() const
    {
        return frm->sb1->isEnabled() && frm->sb5->isEnabled() && frm->lbl1->isEnabled() && frm->lbl5->isEnabled();
    }

    std::unique_ptr<TFrmMain> frm;
};

}  // namespace

TEST_F(Wizard, NavigatesThePageRange)
{
    struct Step {
        enum { Next, Back } act;
        int page;
        const char* next;
        bool back;
    };
    struct Case {
        const char* what;
        int first, last;
        const char* startNext;
        bool startBack;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"new design", 1, 5, "&Next", false,
         {{Step::Next, 2, "&Next", true},
          {Step::Next, 3, "&Next", true},
          {Step::Back, 2, "&Next", true},
          {Step::Back, 1, "&Next", false},
          {Step::Next, 2, "&Next", true},
          {Step::Next, 3, "&Next", true},
          {Step::Next, 4, "&Next", true},
          {Step::Next, 5, "&Finish", true},
          {Step::Back, 4, "&Next", true},  // the caption comes back before moving
          {Step::Next, 5, "&Finish", true}}},
        {"one step", 3, 3, "&Finish", false, {}},
        {"line utility", 4, 4, "&Finish", false, {}},
        {"page 1 alone", 1, 1, "&Finish", false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto w = Make(c.first, c.last);
        EXPECT_EQ(w->Caption(), "Mastwise");
        EXPECT_EQ(w->nb->GetPageIndex(), c.first);
        EXPECT_EQ(w->BitBtnNext->Caption(), c.startNext);
        EXPECT_EQ(w->BitBtnBack->isEnabled(), c.startBack);
        for (const Step& s : c.steps) {
            SCOPED_TRACE(s.page);
            (s.act == Step::Next ? w->BitBtnNext : w->BitBtnBack)->click();
            EXPECT_EQ(w->nb->GetPageIndex(), s.page);
            EXPECT_EQ(w->BitBtnNext->Caption(), s.next);
            EXPECT_EQ(w->BitBtnBack->isEnabled(), s.back);
        }
    }
}

TEST_F(Wizard, PageOneIsMadeOnceAndKeptWhileTheWizardRuns)
{
    auto w = Make(1, 5);
    auto* page1 = dynamic_cast<Tfrm1*>(w->nb->GetPageForm(1));
    ASSERT_NE(page1, nullptr);
    EXPECT_TRUE(page1->AutoNBPanel->isVisibleTo(w.get()));
    EXPECT_EQ(page1->AutoNBPanel->parentWidget(), w->nb->PageObject(1));
    EXPECT_EQ(page1->USTV->Items().Count(), 68);
    EXPECT_TRUE(Page1Visited);

    w->BitBtnNext->click();
    Sys().Family = 2;  // what a later page might change; page 1 reloads it on arrival
    Sys().SetChannel(9);
    w->BitBtnBack->click();
    EXPECT_EQ(w->nb->GetPageForm(1), page1);
    EXPECT_EQ(page1->USTV->ItemIndex(), 7);
    EXPECT_TRUE(page1->RadioButton3->Checked());
    EXPECT_EQ(page1->USTV->Items().Count(), 68) << "a revisit fills the list anew, it does not add to it";

    // Every wizard page now names a class; a caption that names none, in a notebook of its
    // own, gives a page that stays empty.
    TForm host;
    auto* nb = new TAutoNotebook(&host);
    auto* page = new QWidget;
    page->setWindowTitle("TFrmNoSuchPage");
    nb->addWidget(page);
    nb->Loaded();
    nb->ActivatePage(0);
    EXPECT_EQ(nb->GetPageIndex(), 0);
    EXPECT_EQ(nb->GetPageForm(0), nullptr);
    EXPECT_TRUE(page->children().isEmpty());
}

TEST_F(Wizard, FinishAndCancelGiveTheModalResult)
{
    enum Act { Finish, CancelYes, CancelNoThenFinish, CloseBox };
    struct Case {
        const char* what;
        Act act;
        int result;
        bool cancelled;
    };
    const Case cases[] = {
        {"finish", Finish, mrOk, false},
        {"cancel, yes", CancelYes, mrCancel, true},
        {"cancel, no, then finish", CancelNoThenFinish, mrOk, false},
        {"close box asks nothing", CloseBox, mrCancel, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto w = Make(3, 3);
        if (c.act == CancelYes) ui.ExpectMessage(mrYes, kCancelQuestion);
        if (c.act == CancelNoThenFinish) ui.ExpectMessage(mrNo, kCancelQuestion);
        const std::size_t shownBefore = ui.Shown().size();
        WhenModal<TfrmWizard>([&c](TfrmWizard& f) {
            switch (c.act) {
            case Finish: f.BitBtnNext->click(); break;
            case CancelYes: f.BitBtnCancel->click(); break;
            case CancelNoThenFinish:
                f.BitBtnCancel->click();
                EXPECT_EQ(f.nb->GetPageIndex(), 3) << "No keeps the wizard on its page";
                QTimer::singleShot(0, &f, [&f] {
                    EXPECT_TRUE(f.isVisible());
                    f.BitBtnNext->click();
                });
                break;
            case CloseBox: f.close(); break;
            }
        });
        EXPECT_EQ(w->ShowModal(), c.result);
        if (ui.Shown().size() > shownBefore) {
            const auto& box = ui.Shown().back();
            EXPECT_EQ(box.Caption, "Confirm");
            EXPECT_EQ(box.Type, TMsgDlgType::mtConfirmation);
            EXPECT_EQ(box.Buttons, static_cast<TMsgDlgButtons>(mbYes | mbNo));
        }
    }
}

TEST_F(Wizard, CtrlJShowsThePowerSplit)
{
    struct Case {
        float hsplit;
        Qt::KeyboardModifiers mods;
        Qt::Key key;
        const char* horizontal;  // nullptr: no message
        const char* vertical;
    };
    const Case cases[] = {
        {1.0f, Qt::ControlModifier, Qt::Key_J, "100", "0"},
        {0.5f, Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_J, "50", "50"},
        {2.0f / 3.0f, Qt::ControlModifier, Qt::Key_J, "66.67", "33.33"},
        {1.0f, Qt::NoModifier, Qt::Key_J, nullptr, nullptr},
        {1.0f, Qt::ControlModifier, Qt::Key_K, nullptr, nullptr},
    };
    auto w = Make(1, 5);
    w->show();
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.hsplit) + " " + std::to_string(c.key));
        Ant().SetPowerSplit(c.hsplit);
        const std::size_t before = ui.Shown().size();
        if (c.horizontal) ui.ExpectMessage(IDOK, "power split");
        // Sent to a control inside the page: the form sees it first.
        auto* page1 = dynamic_cast<Tfrm1*>(w->nb->GetPageForm(1));
        QKeyEvent press(QEvent::KeyPress, c.key, c.mods);
        QCoreApplication::sendEvent(page1->USTV, &press);
        if (!c.horizontal) {
            EXPECT_EQ(ui.Shown().size(), before);
            continue;
        }
        ASSERT_EQ(ui.Shown().size(), before + 1);
        EXPECT_EQ(ui.Shown().back().Text, std::string("The antenna's internal power split is as follows:\r\n\r\n"
                                                      "  Horizontal = ") +
                                              c.horizontal + "%\r\n  Vertical = " + c.vertical + "%\r\n");
    }
}

TEST_F(Wizard, PrintCommandWaitsForTheExhibits)
{
    auto w = Make(1, 8);
    for (int page = 1; page <= 8; ++page) {
        SCOPED_TRACE(page);
        if (page > 1) w->BitBtnNext->click();
        ASSERT_EQ(w->nb->GetPageIndex(), page);
        if (page == 6 || page == 7) {
            EXPECT_EQ(w->nb->GetPageForm(page), nullptr) << "no class is registered under its caption";
        }
        const bool printable = page == 2 || page == 3 || page == 5 || page == 8;
        EXPECT_EQ(w->btnPrint->isVisibleTo(w.get()), printable);
        EXPECT_FALSE(w->btnPrint->isEnabled());
    }
    WizardExhibits.PrintPatternExhibit = [](bool) {};
    WizardExhibits.PrintSystemExhibit = [] {};
    w->UpdatePrintButton();
    EXPECT_TRUE(w->btnPrint->isEnabled());
}

TEST_F(Wizard, PrintToDiskWritesTheChosenFileAndRemembersItsFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string root = IncludeTrailingPathDelimiter(dir.path().toStdString());
    std::vector<std::pair<bool, std::string>> written;  // azimuth, file
    WizardExhibits.PrintPatternExhibit = [&](bool azimuth) { written.emplace_back(azimuth, PatternFileName); };
    WizardExhibits.PrintSystemExhibit = [] {};
    struct Case {
        const char* what;
        bool azimuth;
        std::string chosen;  // empty: the user cancels
        std::string folderAfter;
    };
    const std::string start = root + "start/";
    const Case cases[] = {
        {"azimuth", true, root + "x/pat1.pat", root + "x/"},
        {"elevation", false, root + "y/elev.dat", root + "y/"},
        {"a dot in the folder", true, root + "a.b/p.pat", root + "a.b/"},
        {"a name of three dots", false, root + "q/p.v2.txt", root + "q/"},
        {"no extension", true, root + "z/noext", root + "z/"},
        {"cancel", true, "", start},
    };
    auto w = Make(2, 2);
    SelectedAzimuthId = kAzimuthRecords + 1;
    const std::string azimuthType = LoadStr(SelectedAzimuthId).substr(0, 6);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        AzimuthSaveFolder = ElevationSaveFolder = start;
        PrintOption = 2;
        written.clear();
        if (c.chosen.empty())
            ui.ExpectSaveCancel();
        else
            ui.ExpectSave(c.chosen);
        if (c.azimuth)
            w->Print2Click(w->btnPrint);
        else
            w->Print3Click(w->btnPrint);

        const auto& shown = ui.Shown().back();
        EXPECT_EQ(shown.InitialDir, start);
        EXPECT_EQ(shown.Filter,
                  "Pattern files (*.pat)|*.PAT|Data files (*.dat)|*.DAT|Text files (*.txt)|*.TXT|All files (*.*)|*.*");
        EXPECT_EQ(shown.DefaultExt, "PAT");
        EXPECT_EQ(shown.FileName, c.azimuth ? azimuthType : Ant().HElName) << "the pattern type is offered as the name";
        const std::string& folder = c.azimuth ? AzimuthSaveFolder : ElevationSaveFolder;
        const std::string& other = c.azimuth ? ElevationSaveFolder : AzimuthSaveFolder;
        EXPECT_EQ(folder, c.folderAfter);
        EXPECT_EQ(other, start);
        if (c.chosen.empty()) {
            EXPECT_TRUE(written.empty());
            continue;
        }
        const std::string file = c.chosen == root + "z/noext" ? c.chosen + ".PAT" : c.chosen;
        ASSERT_EQ(written.size(), 1u);
        EXPECT_EQ(written[0].first, c.azimuth);
        EXPECT_EQ(written[0].second, file);
    }
}

TEST_F(Wizard, PrintingAPatternAsksForThePrinter)
{
    std::vector<bool> printed;
    WizardExhibits.PrintPatternExhibit = [&](bool azimuth) { printed.push_back(azimuth); };
    WizardExhibits.PrintSystemExhibit = [] {};
    auto w = Make(3, 3);
    PrintOption = 1;
    ui.ExpectPrint(false);
    w->Print3Click(w->btnPrint);
    EXPECT_TRUE(printed.empty());
    ui.ExpectPrint(true);
    w->Print3Click(w->btnPrint);
    EXPECT_EQ(printed, std::vector<bool>{false});
}

// --- The road of a new design --------------------------------------------------------------

TEST_F(DesignRoad, NewDesignThroughTheSiteDialogAndTheWizard)
{
    struct Case {
        const char* what;
        bool siteOk;
        bool finish;  // else the wizard is cancelled
        bool enabled;
    };
    const Case cases[] = {
        {"finished", true, true, true},
        {"wizard cancelled", true, false, false},
        {"site dialog cancelled: the steps as they were", false, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        frm->EnableDesignSteps(true);
        CompanyName = AuthorName = "old";
        bool wizardSeen = false;
        if (!c.siteOk) ui.ExpectMessage(mrYes, kCancelQuestion);
        if (c.siteOk && !c.finish) ui.ExpectMessage(mrYes, kCancelQuestion);
        WhenModal<TfrmSysInfo>([&](TfrmSysInfo& site) {
            site.CoName->SetText("Belvor Broadcast Engineering");
            site.edAuthor->SetText("A. Planner");
            if (!c.siteOk) {
                site.BitBtn2->click();
                return;
            }
            site.BitBtn1->click();
            WhenModal<TfrmWizard>([&](TfrmWizard& w) {
                wizardSeen = true;
                EXPECT_EQ(w.nb->GetPageIndex(), 1);
                EXPECT_NE(dynamic_cast<Tfrm1*>(w.nb->GetPageForm(1)), nullptr);
                EXPECT_FALSE(w.BitBtnBack->isEnabled());
                if (!c.finish) {
                    w.BitBtnCancel->click();
                    return;
                }
                for (int i = 0; i < 4; ++i) w.BitBtnNext->click();
                EXPECT_EQ(w.BitBtnNext->Caption(), "&Finish");
                w.BitBtnNext->click();
            });
        });
        frm->sbNew->click();
        EXPECT_EQ(wizardSeen, c.siteOk);
        EXPECT_EQ(StepsEnabled(), c.enabled);
        EXPECT_EQ(CompanyName, "Belvor Broadcast Eng");  // cut at 20
        EXPECT_EQ(AuthorName, "A. Planner");
    }
}

TEST_F(DesignRoad, AStepButtonRunsItsPageAloneAndChangesNoSteps)
{
    struct Case {
        const char* what;
        TSpeedButton* button;
        int page;
        bool steps;  // the design steps before and after
        bool lineUtility;
    };
    const Case cases[] = {
        {"step 1", frm->sb1, 1, true, false},
        {"step 3", frm->sb3, 3, true, false},
        {"step 5", frm->sb5, 5, true, false},
        {"line utility", frm->sbForm4, 4, true, true},
        {"line utility, no design yet", frm->sbForm4, 4, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        frm->EnableDesignSteps(c.steps);
        bool seen = false;
        WhenModal<TfrmWizard>([&](TfrmWizard& w) {
            seen = true;
            EXPECT_EQ(LineUtilityMode, c.lineUtility);
            EXPECT_EQ(w.nb->GetPageIndex(), c.page);
            EXPECT_FALSE(w.BitBtnBack->isEnabled());
            EXPECT_EQ(w.BitBtnNext->Caption(), "&Finish");
            EXPECT_EQ(w.nb->GetPageForm(1) != nullptr, c.page == 1);
            w.BitBtnNext->click();
        });
        c.button->click();
        EXPECT_TRUE(seen);
        EXPECT_FALSE(LineUtilityMode) << "the line utility's mode lasts while it runs";
        EXPECT_EQ(StepsEnabled(), c.steps);
    }
}

TEST_F(Wizard, GrabsShowWholeWindows)
{
    const QByteArray keep = qgetenv("MW_KEEP_GRAB");
    auto check = [&keep](QWidget& w, const char* name) {
        SCOPED_TRACE(name);
        const QImage img = w.grab().toImage();
        EXPECT_EQ(img.size(), w.size());
        QSet<QRgb> colours;
        for (int y = 0; y < img.height(); y += 2)
            for (int x = 0; x < img.width(); x += 2) colours.insert(img.pixel(x, y));
        EXPECT_GT(colours.size(), 40) << "the window looks empty";
        if (!keep.isEmpty()) img.save(QString::fromLocal8Bit(keep) + "/" + name + ".png");
    };
    TfrmSysInfo site;
    site.CoName->SetText("Belvor Broadcast");
    site.show();
    check(site, "sysinfo");

    struct Case {
        const char* name;
        int channel;
        int family;  // index of the family button
        int mounting;
        bool elliptical;
    };
    const Case cases[] = {
        {"page1-low", 32, 0, 1, false},    {"page1-medium", 32, 1, 1, true}, {"page1-medhigh", 32, 2, 1, false},
        {"page1-vhf", 10, 3, 1, false},    {"page1-other", 5, 4, 1, false},  {"page1-top", 32, 2, 0, true},
    };
    for (const auto& c : cases) {
        auto w = Make(1, 5);
        w->show();
        auto* f = dynamic_cast<Tfrm1*>(w->nb->GetPageForm(1));
        ASSERT_NE(f, nullptr);
        f->USTV->SetItemIndex(c.channel - 2);
        emit f->USTV->activated(c.channel - 2);
        TRadioButton* families[] = {f->RadioButton0, f->RadioButton1, f->RadioButton2, f->RadioButton3,
                                    f->RadioButton6};
        families[c.family]->click();
        f->RadioGroup1->SetItemIndex(c.mounting);
        if (c.elliptical) f->RadioButton5->click();
        check(*w, c.name);
    }
}
