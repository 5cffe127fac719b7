#include "platform/runtime/StrTable.h"
#include "platform/runtime/SysUtils.h"
#include "platform/ui/ScriptedUi.h"
#include "planner/engine/ProjObj.h"
#include "planner/ui/LOM.h"
#include "support/UserInput.h"
#include "planner/ui/Main.h"
#include "planner/ui/MainState.h"
#include "planner/resources/PlannerPictures.h"
#include "support/WaitFor.h"

#include <algorithm>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMouseEvent>
#include <QPointer>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// A recorder that writes down what it was asked.
class TFakeRecorder : public IMacroRecorder {
public:
    void SetMacroName(const std::string& f) override { log.push_back("name " + f); }
    void SetPlaySpeed(int s) override { log.push_back("speed " + std::to_string(s)); }
    bool LoopPlayback() const override { return loop; }
    void SetLoopPlayback(bool on) override { loop = on; }
    void RecordMacro() override { log.push_back("record"); }
    void PlayMacro() override { log.push_back("play"); }
    void StopMacro() override { log.push_back("stop"); }
    std::vector<std::string> log;
    bool loop = false;
};

// A window that answers its ShowModal with `result` as soon as its loop runs.
std::unique_ptr<TForm> Answering(int result, std::vector<QPointer<TForm>>* made = nullptr)
{
    auto f = std::make_unique<TForm>();
    f->resize(120, 80);
    TForm* raw = f.get();
    QTimer::singleShot(0, raw, [raw, result] { raw->SetModalResult(result); });
    if (made) made->push_back(raw);
    return f;
}

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        scope_ = std::make_unique<TUiServicesScope>(ui);
        ui.OnUnexpected = [](const std::string& what) { ADD_FAILURE() << what; };
        CreateProjectObjects();
        TutorialStep = 1;
        LineUtilityMode = false;
        PlayDemoFlag = RecordDemoFlag = false;
        DemoFileName.clear();
        frm = std::make_unique<TFrmMain>();
        frm->show();
    }
    void TearDown() override
    {
        frm.reset();
        EXPECT_TRUE(ui.AllUsed()) << ui.Pending() << " scripted answers left unused";
        scope_.reset();
    }

    // Site dialog and wizard that answer as told; records the pages the wizard was opened at.
    void LinkDesign(int siteResult, int wizardResult)
    {
        TMainWindowLinks links = frm->Links();
        links.CreateSysInfo = [this, siteResult] {
            ++siteDialogs;
            return Answering(siteResult, &made);
        };
        links.CreateWizard = [this, wizardResult](int page) {
            wizardPages.push_back(page);
            ranges.emplace_back(WizardFirstPage, WizardLastPage);
            utilityModes.push_back(LineUtilityMode);
            return Answering(wizardResult, &made);
        };
        frm->Link(links);
    }

    bool StepsEnabled() const
    {
        return frm->sb1->isEnabled() && frm->sb5->isEnabled() && frm->lbl1->isEnabled() && frm->lbl5->isEnabled();
    }

    TScriptedUiServices ui;
    std::unique_ptr<TUiServicesScope> scope_;
    std::unique_ptr<TFrmMain> frm;
    int siteDialogs = 0;
    std::vector<int> wizardPages;
    std::vector<bool> utilityModes;  // LineUtilityMode while each wizard ran
    std::vector<std::pair<int, int>> ranges;
    std::vector<QPointer<TForm>> made;
};

}  // namespace

TEST_F(MainWindow, TutorialPages)
{
    enum Act { Open, Next, Back, Cancel };
    struct Case {
        const char* what;
        Act act;
        bool open;
        int step, frame, width, height;
        bool presenter, back;
        const char* next;
        std::vector<int> memo;  // paragraph ids, separated by "\r" lines
    };
    const Case cases[] = {
        {"open", Open, true, 1, 1, 175, 350, true, false, "Next", {19001, 19002}},
        {"back on page 1 does nothing", Back, true, 1, 1, 175, 350, true, false, "Next", {19001, 19002}},
        {"page 2", Next, true, 2, 2, 350, 175, false, true, "Next", {19003, 19004}},
        {"page 3", Next, true, 3, 2, 350, 175, false, true, "Next", {19005, 19006}},
        {"page 4", Next, true, 4, 3, 175, 350, true, true, "Next", {19007, 19008, 19009, 19010}},
        {"page 5", Next, true, 5, 4, 175, 350, true, true, "Finish", {19011, 19012}},
        {"back to 4", Back, true, 4, 3, 175, 350, true, true, "Next", {19007, 19008, 19009, 19010}},
        {"page 5 again", Next, true, 5, 4, 175, 350, true, true, "Finish", {19011, 19012}},
        {"finish", Next, false, 5, 4, 175, 350, true, true, "Next", {}},
        {"reopen", Open, true, 1, 1, 175, 350, true, false, "Next", {19001, 19002}},
        {"page 2 before cancel", Next, true, 2, 2, 350, 175, false, true, "Next", {19003, 19004}},
        {"cancel", Cancel, false, 2, 2, 350, 175, false, true, "Next", {19003, 19004}},
    };
    EXPECT_FALSE(frm->TutorialOpen());
    EXPECT_EQ(frm->bbNext->Caption(), "&Next");
    const std::vector<QImage> slides = LoadPlannerAnimation("BeamTilt");
    ASSERT_EQ(slides.size(), 4u);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        switch (c.act) {
        case Open: QTest::mouseClick(frm->SpeedButton1, Qt::LeftButton); break;
        case Next: QTest::mouseClick(frm->bbNext, Qt::LeftButton); break;
        case Back: QTest::mouseClick(frm->bbBack, Qt::LeftButton); break;
        case Cancel: QTest::mouseClick(frm->bbClose, Qt::LeftButton); break;
        }
        EXPECT_EQ(frm->TutorialOpen(), c.open);
        EXPECT_EQ(TutorialStep, c.step);
        EXPECT_EQ(frm->BeamTilt->CurrentFrame(), c.frame);
        EXPECT_EQ(frm->BeamTilt->size(), QSize(c.width, c.height));
        // The slide itself is what the control shows.
        const QImage slide = slides[static_cast<size_t>(c.frame - 1)].copy(QRect(0, 0, c.width, c.height));
        EXPECT_TRUE(frm->BeamTilt->grab().toImage().convertToFormat(QImage::Format_RGB32) == slide);
        EXPECT_EQ(frm->Label1->isVisibleTo(frm.get()), c.presenter);
        EXPECT_EQ(frm->Image5->isVisibleTo(frm.get()), c.presenter);
        EXPECT_EQ(frm->bbBack->isEnabled(), c.back);
        EXPECT_EQ(frm->bbNext->Caption(), c.next);
        const TStringList lines = frm->Memo1->Lines();
        const int expected = c.memo.empty() ? 0 : static_cast<int>(2 * c.memo.size() - 1);
        ASSERT_EQ(lines.Count(), expected);
        for (std::size_t i = 0; i < c.memo.size(); ++i) {
            EXPECT_EQ(lines[static_cast<int>(2 * i)], LoadStr(c.memo[i]));
            if (i) {
                EXPECT_EQ(lines[static_cast<int>(2 * i - 1)], "");
            }
        }
    }
}

TEST_F(MainWindow, DesignStepEnablement)
{
    // Every label follows the flag except the presenter's, the version and the hidden steps.
    for (bool on : {false, true, false}) {
        SCOPED_TRACE(on);
        frm->EnableDesignSteps(on);
        for (TSpeedButton* b : {frm->sb1, frm->sb2, frm->sb3, frm->sb4, frm->sb5, frm->sbLOM, frm->sbLOM2, frm->sbSave,
                                frm->sbSave2})
            EXPECT_EQ(b->isEnabled(), on) << b->objectName().toStdString();
        for (TLabel* l : {frm->lbl1, frm->lbl2, frm->lbl3, frm->lbl4, frm->lbl5, frm->lblLOM, frm->lblSave, frm->lblGauge})
            EXPECT_EQ(l->isEnabled(), on) << l->objectName().toStdString();
        for (QWidget* w : std::initializer_list<QWidget*>{frm->sb6, frm->sb7, frm->lbl6, frm->lbl7})
            EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
        for (TLabel* l : {frm->Label1, frm->Label2, frm->Label3}) EXPECT_TRUE(l->isEnabled());
    }
}

TEST_F(MainWindow, CommandsWaitForTheirWindows)
{
    // Nothing linked: only the tutorial, the exit and the menus that need nothing work.
    for (QWidget* w : std::initializer_list<QWidget*>{frm->sbNew, frm->BitBtnStart, frm->sbForm4, frm->sbForm2,
                                                       frm->SpeedButton2, frm->MacroRecord, frm->MacroStop, frm->MacroPlay})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    for (QAction* a : {frm->New1, frm->PlaybackSpeed1, frm->LoopPlayback1, frm->HPolNTSC1, frm->Myowndemos1})
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_TRUE(frm->SpeedButton1->isEnabled());
    EXPECT_TRUE(frm->SpeedButton6->isEnabled());
    EXPECT_TRUE(frm->Exit1->isEnabled());
    EXPECT_FALSE(StepsEnabled());

    TFakeRecorder rec;
    LinkDesign(mrOk, mrOk);
    TMainWindowLinks links = frm->Links();
    links.Vantrel1 = &rec;
    frm->Link(links);
    for (QWidget* w : std::initializer_list<QWidget*>{frm->sbNew, frm->BitBtnStart, frm->sbForm4, frm->MacroPlay})
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_TRUE(frm->HPolNTSC1->isEnabled());
    EXPECT_FALSE(frm->Myowndemos1->isEnabled());  // needs the demo dialogs too
}

TEST_F(MainWindow, NewDesignResetsAndEnablesStepsOnlyAfterTheWizard)
{
    struct Case {
        const char* what;
        int site, wizard;
        bool wizardRuns, enabled;
        bool reset = true;  // false: the cancelled site dialog gave the design back as it was
    };
    const Case cases[] = {
        {"site dialog cancelled", mrCancel, mrOk, false, true, false},
        {"wizard finished", mrOk, mrOk, true, true},
        {"wizard cancelled", mrOk, mrCancel, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        frm->EnableDesignSteps(true);
        LinkDesign(c.site, c.wizard);
        wizardPages.clear();
        Ant().HRotation = 40;
        Ant().VRotation = 90;
        Sys().AuralPercent = 22.0f;
        Sys().SetChannel(9);
        LineUtilityMode = true;
        Page2Fresh = Page3Fresh = Page4Fresh = false;
        Page1Visited = Page5Visited = true;
        CustomLine.Description = "Something else";
        CustomLine.Attenuation = 1;
        CustomLine.MaxPower = 1;
        AzimuthSaveFolder = ElevationSaveFolder = "/elsewhere/";

        frm->sbNew->click();

        EXPECT_EQ(Ant().HRotation, c.reset ? 0 : 40);
        EXPECT_EQ(Ant().VRotation, c.reset ? 0 : 90);
        EXPECT_FLOAT_EQ(Sys().AuralPercent, c.reset ? 10.0f : 22.0f);
        EXPECT_EQ(Sys().ChannelNumber, 9);  // the rest carries over
        EXPECT_EQ(LineUtilityMode, !c.reset);
        EXPECT_EQ(Page2Fresh && Page3Fresh && Page4Fresh, c.reset);
        EXPECT_EQ(Page1Visited || Page5Visited, !c.reset);
        EXPECT_EQ(CustomLine.Description, c.reset ? "Customer Defined Transmission Line" : "Something else");
        EXPECT_FLOAT_EQ(CustomLine.Attenuation, c.reset ? 0.15f : 1);
        EXPECT_FLOAT_EQ(CustomLine.MaxPower, c.reset ? 60.0f : 1);
        EXPECT_EQ(AzimuthSaveFolder, c.reset ? ProgramFolder : "/elsewhere/");
        EXPECT_EQ(ElevationSaveFolder, c.reset ? ProgramFolder : "/elsewhere/");
        EXPECT_EQ(WizardFirstPage, 1);
        EXPECT_EQ(WizardLastPage, 5);
        EXPECT_EQ(wizardPages, c.wizardRuns ? std::vector<int>{1} : std::vector<int>{});
        EXPECT_EQ(StepsEnabled(), c.enabled);
    }
    EXPECT_EQ(siteDialogs, 3);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (const auto& f : made) EXPECT_TRUE(f.isNull()) << "a window made for one use was not freed";
}

TEST_F(MainWindow, StepButtonsAndLineUtility)
{
    LinkDesign(mrOk, mrOk);
    frm->sbNew->click();
    ASSERT_TRUE(StepsEnabled());
    ranges.clear();
    wizardPages.clear();

    frm->sb3->click();
    frm->lbl2->OnClick(frm->lbl2);  // the label does what its button does
    // A step that is cancelled changes nothing either.
    LinkDesign(mrOk, mrCancel);
    frm->sb5->click();
    EXPECT_TRUE(StepsEnabled());
    EXPECT_FALSE(LineUtilityMode);

    utilityModes.clear();
    frm->sbForm4->click();
    EXPECT_FALSE(LineUtilityMode);  // the line utility's mode lasts while it runs
    frm->sb4->click();  // then step 4 is the design's own page again
    EXPECT_FALSE(LineUtilityMode);
    EXPECT_EQ(utilityModes, (std::vector<bool>{true, false}));
    EXPECT_EQ(wizardPages, (std::vector<int>{3, 2, 5, 4, 4}));
    EXPECT_EQ(ranges, (std::vector<std::pair<int, int>>{{3, 3}, {2, 2}, {5, 5}, {4, 4}, {4, 4}}));
    EXPECT_TRUE(StepsEnabled());

    frm->New1->trigger();
    EXPECT_FALSE(LineUtilityMode);
}

TEST_F(MainWindow, ShowcaseCaptions)
{
    EXPECT_EQ(frm->Edit1->Text(), "Zorvan Elliptically Polarized UHF Antenna");
    ASSERT_EQ(frm->GIFImage1->FrameCount(), 4);
    frm->GIFImage1->SetAnimate(false);
    struct Case {
        int frame;
        const char* caption;
    };
    const Case cases[] = {
        {1, "Zek-series UHF Antenna"},
        {4, "Zorvan VHF/UHF Stacked Antenna Array"},
        {5, "Zorvan VHF/UHF Stacked Antenna Array"},  // no such frame: unchanged
        {3, "Zorvan Side Mounted UHF Antenna"},
        {0, "Zorvan Side Mounted UHF Antenna"},
        {2, "Zorvan Elliptically Polarized UHF Antenna"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frame);
        frm->GIFImage1->SetCurrentFrame(c.frame);
        EXPECT_EQ(frm->Edit1->Text(), c.caption);
    }
}

// The showcase plays by itself, 2.5 s an antenna, for ever; the caption always names the
// antenna on screen. The picture's frames hold, in order, the antennas below.
TEST_F(MainWindow, ShowcaseAnimatesAndNamesTheAntennaOnScreen)
{
    const char* const shown[] = {
        "Zorvan Elliptically Polarized UHF Antenna",
        "Zorvan Side Mounted UHF Antenna",
        "Zorvan VHF/UHF Stacked Antenna Array",
        "Zek-series UHF Antenna",
    };
    GIFImage::TGIFImage* showcase = frm->GIFImage1;
    // On a clock of the test's own, from the start: reloaded as the window came up.
    TManualClock clock;
    struct TRestoreClock {
        GIFImage::TGIFImage* control;
        ~TRestoreClock() { control->SetClock(nullptr); }
    } restore{showcase};
    frm->hide();
    showcase->SetClock(&clock);
    ASSERT_TRUE(showcase->LoadGIFBytes(PlannerPictureBytes("Showcase")));
    frm->show();
    EXPECT_EQ(showcase->size(), QSize(400, 330));  // sized to its picture
    EXPECT_EQ(showcase->LoopCount(), 0);
    EXPECT_FALSE(showcase->Loop());
    const std::vector<QImage> frames = LoadPlannerAnimation("Showcase");
    ASSERT_EQ(frames.size(), 4u);
    auto onScreen = [&] {
        const QImage now = showcase->grab().toImage().convertToFormat(QImage::Format_RGB32);
        for (size_t i = 0; i < frames.size(); ++i)
            if (now == frames[i]) return static_cast<int>(i);
        return -1;
    };
    auto pumpUntil = [](const std::function<bool()>& done) { return mwtest::WaitFor(done, "the showcase's frame"); };
    // Painting starts the timer; its first tick comes at once and only notes frame 1 is shown.
    ASSERT_TRUE(pumpUntil([&] { return showcase->AnimationTimer().Running(); }));
    clock.Advance(1);
    ASSERT_TRUE(pumpUntil([&] { return showcase->CurrentFrame() == 2; }));
    EXPECT_EQ(onScreen(), 0);
    EXPECT_EQ(frm->Edit1->Text(), shown[0]);
    for (int step = 1; step <= 8; ++step) {
        SCOPED_TRACE(step);
        EXPECT_EQ(showcase->AnimationTimer().Interval(), 2500u);
        // The clock moves only once the timer waits for its next tick.
        auto waitsFor = [&](uint64_t at) {
            const std::vector<uint64_t> d = clock.Deadlines();
            return std::find(d.begin(), d.end(), at) != d.end();
        };
        const uint64_t tick = clock.NowMs() + 2500;
        ASSERT_TRUE(mwtest::WaitFor([&] { return waitsFor(tick); }, "the timer to wait for its next tick"));
        clock.Advance(2499);
        const int before = showcase->CurrentFrame();
        EXPECT_TRUE(waitsFor(tick));
        clock.Advance(1);
        ASSERT_TRUE(pumpUntil([&] { return showcase->CurrentFrame() != before; }));
        EXPECT_EQ(onScreen(), step % 4);
        EXPECT_EQ(frm->Edit1->Text(), shown[step % 4]);
    }
    EXPECT_TRUE(showcase->AnimationTimer().Running());  // still playing after two rounds
}

TEST_F(MainWindow, Hints)
{
    struct Case {
        TSpeedButton* button;
        const char* hint;
    };
    const Case cases[] = {
        {frm->sbNew, "Start New Design"},
        {frm->sbOpen, "Open Design"},
        {frm->sbLOM, "View List of Materials"},
        {frm->SpeedButton6, "Exit"},
        {frm->sbSave, "Save Design"},
        {frm->sbForm4, "Transmission Line Parameter\r\nUtility for Analog and Digital TV"},
        {frm->sbForm2, "Azimuth Pattern\r\nComparison Utility"},
        {frm->SpeedButton1, "Optimizing Your\r\nAntenna's Coverage\r\nUsing Beam Tilt"},
        {frm->SpeedButton2, "Calculate Your\r\nAntenna's Optimal\r\nBeam Tilt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hint);
        EXPECT_EQ(c.button->Hint(), c.hint);
        EXPECT_TRUE(c.button->Flat());
    }
    frm->MacroRecordMouseMove(frm->MacroRecord);
    frm->MacroStopMouseMove(frm->MacroStop);
    frm->MacroPlayMouseMove(frm->MacroPlay);
    EXPECT_EQ(frm->MacroRecord->Hint(), "Start\r\nrecording\r\na macro");
    EXPECT_EQ(frm->MacroStop->Hint(), "Stop\r\nrecording\r\na macro");
    EXPECT_EQ(frm->MacroPlay->Hint(), "Play a\r\nrecorded\r\nmacro");
    EXPECT_EQ(Application->HintPause(), 100);
    EXPECT_EQ(MacroPlaySpeed, 5);
    EXPECT_EQ(frm->Caption(), "Mastwise");
    EXPECT_EQ(frm->pnlState->Caption(), "Inactive");
    EXPECT_EQ(frm->pnlMode->Caption(), "System Designer");
}

TEST_F(MainWindow, MacroCommandsConsultTheFileDialog)
{
    TFakeRecorder rec;
    TMainWindowLinks links;
    links.Vantrel1 = &rec;
    frm->Link(links);
    const std::string macros = ProgramFolder + "Macros";

    ui.ExpectSaveCancel();
    frm->MacroRecord->click();
    EXPECT_TRUE(rec.log.empty());  // Cancel records nothing

    ui.ExpectSave(macros + "/tour");
    frm->MacroRecord->click();
    EXPECT_EQ(rec.log, (std::vector<std::string>{"name " + macros + "/tour.mcr", "record"}));
    rec.log.clear();

    ui.ExpectSaveCancel();  // the last name is not recorded over
    frm->MacroRecord->click();
    ui.ExpectOpenCancel();
    frm->MacroPlay->click();
    EXPECT_TRUE(rec.log.empty());
    EXPECT_EQ(DemoFileName, "");

    MacroPlaySpeed = 7;
    ui.ExpectOpen(macros + "/TOUR.MCR");
    frm->MacroPlay->click();
    EXPECT_EQ(DemoFileName, macros + "/TOUR.MCR");
    EXPECT_EQ(rec.log, (std::vector<std::string>{"name " + macros + "/TOUR.MCR", "speed 7", "play"}));
    rec.log.clear();
    frm->MacroStop->click();
    EXPECT_EQ(rec.log, std::vector<std::string>{"stop"});

    for (const auto& shown : ui.Shown()) {
        EXPECT_EQ(shown.InitialDir, macros);
        EXPECT_EQ(shown.DefaultExt, "mcr");
        EXPECT_EQ(shown.Filter, "Macro files (*.mcr)|*.MCR");
    }
}

TEST_F(MainWindow, BuiltInDemosWarnBeforeALoopedPlayback)
{
    TFakeRecorder rec;
    TMainWindowLinks links;
    links.Vantrel1 = &rec;
    frm->Link(links);
    MacroPlaySpeed = 3;
    frm->HPolDTV1->trigger();
    EXPECT_EQ(rec.log, (std::vector<std::string>{"name " + ProgramFolder + "Data/hpdtv.dms", "speed 3", "play"}));

    frm->LoopPlayback1->trigger();
    EXPECT_TRUE(rec.loop);
    EXPECT_TRUE(frm->LoopPlayback1->isChecked());
    rec.log.clear();
    ui.ExpectMessage(IDOK, "continuous loop mode");
    frm->TxLineTable1->trigger();
    EXPECT_EQ(rec.log.back(), "play");
    EXPECT_NE(ui.Shown().back().Text.find("\r\n\r\n             Ctrl-Esc\r\n\r\n"), std::string::npos);

    frm->LoopPlayback1->trigger();
    EXPECT_FALSE(rec.loop);
    frm->EPolDTV2->trigger();  // no warning now
}

TEST_F(MainWindow, ExceptionInACommandReachesTheErrorBoxAndFreesItsWindows)
{
    TMainWindowLinks links;
    links.CreateSysInfo = [this] { return Answering(mrOk, &made); };
    links.CreateWizard = [](int) -> std::unique_ptr<TForm> { throw EConvertError("'x' is not a valid integer value"); };
    frm->Link(links);
    ui.ExpectMessage(IDOK, "is not a valid integer value");
    frm->BitBtnStart->click();
    ASSERT_EQ(made.size(), 1u);
    EXPECT_TRUE(made[0].isNull());
    EXPECT_FALSE(StepsEnabled());
}

TEST_F(MainWindow, ListOfMaterialsClosesAndIsFreed)
{
    TfrmLOM lom;
    EXPECT_EQ(lom.Caption(), "List of Materials");
    // The planner's grid: two columns, one row, nothing fixed.
    TImpGrid* grid = lom.ImpGrid1;
    EXPECT_EQ(grid->ColCount(), 2);
    EXPECT_EQ(grid->RowCount(), 1);
    EXPECT_EQ(grid->FixedRows(), 0);
    EXPECT_EQ(grid->FixedCols(), 0);
    EXPECT_EQ(grid->columnWidth(0), 50);
    EXPECT_EQ(grid->columnWidth(1), 570);
    EXPECT_EQ(lom.sbClose->Hint(), "Exit List of Materials");
    QTimer::singleShot(0, &lom, [&] { mwtest::Click(lom.sbClose); });
    EXPECT_EQ(lom.ShowModal(), mrCancel);
    QTimer::singleShot(0, &lom, [&] { lom.Close1->trigger(); });
    EXPECT_EQ(lom.ShowModal(), mrCancel);
    QTimer::singleShot(0, &lom, [&] { mwtest::CloseBox(&lom); });
    EXPECT_EQ(lom.ShowModal(), mrCancel);
}

TEST_F(MainWindow, GrabShowsTheWholeWindow)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (bool tutorial : {false, true}) {
        SCOPED_TRACE(tutorial);
        if (tutorial) frm->SpeedButton1->click();
        const QImage img = frm->grab().toImage();
        const QString file = dir.filePath(tutorial ? "tutorial.png" : "main.png");
        ASSERT_TRUE(img.save(file));
        const QImage back(file);
        EXPECT_EQ(back.size(), frm->size());
        EXPECT_GE(back.width(), 600);
        EXPECT_GE(back.height(), 450);
        QSet<QRgb> colours;
        for (int y = 0; y < back.height(); y += 3)
            for (int x = 0; x < back.width(); x += 3) colours.insert(back.pixel(x, y));
        EXPECT_GT(colours.size(), 200) << "the window looks empty";
        if (const QByteArray keep = qgetenv("MW_KEEP_GRAB"); !keep.isEmpty())
            img.save(QString::fromLocal8Bit(keep) + (tutorial ? "/tutorial.png" : "/main.png"));
    }
}

// The step labels are links: the hand cursor, and a mouse click on one opens its step.
TEST_F(MainWindow, StepLabelsAreLinksToTheirSteps)
{
    for (TLabel* l : {frm->lbl1, frm->lbl2, frm->lbl3, frm->lbl4, frm->lbl5, frm->lbl6, frm->lbl7, frm->lblLOM}) {
        EXPECT_EQ(l->cursor().shape(), Qt::PointingHandCursor) << l->objectName().toStdString();
        EXPECT_TRUE(static_cast<bool>(l->OnClick)) << l->objectName().toStdString();
    }
    LinkDesign(mrOk, mrOk);
    frm->sbNew->click();
    ASSERT_TRUE(StepsEnabled());
    wizardPages.clear();
    for (TLabel* l : {frm->lbl1, frm->lbl2, frm->lbl3, frm->lbl4, frm->lbl5}) {
        const QPointF p(3, 3);
        QMouseEvent press(QEvent::MouseButtonPress, p, l->mapToGlobal(p), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, p, l->mapToGlobal(p), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(l, &press);
        QApplication::sendEvent(l, &release);
    }
    EXPECT_EQ(wizardPages, (std::vector<int>{1, 2, 3, 4, 5}));
}
