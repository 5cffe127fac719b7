// The demo recorder in the running program: input a user sends through a design is recorded,
// played back at speed 9 into a fresh data model and gives the same design, also when the
// main window moved; a looped playback ends on a real Ctrl+Esc only; a real Ctrl+Break stops a
// recording or a playback while the wizard is open; the built-in
// demonstrations play from the Demos menu.
#include "DemoWalks.h"
#include "demo/MacroFile.h"
#include "planner/engine/ProjObj.h"
#include "planner/engine/TitleBlock.h"
#include "planner/ui/Main.h"
#include "planner/ui/MainState.h"
#include "planner/ui/StartUp.h"
#include "planner/ui/Sysinfo.h"
#include "planner/ui/Wizard.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <gtest/gtest.h>
#include <qpa/qwindowsysteminterface.h>

extern TFrmMain* FrmMain;

using namespace Vantrel;

namespace {

class DemoRecorder : public ::testing::Test {
protected:
    void SetUp() override
    {
        vantrel = StartMastwise();
        FrmMain->move(40, 30);
        FrmMain->show();
        FrmMain->activateWindow();
        Settle();
    }
    void TearDown() override
    {
        vantrel.reset();
        Application->DestroyForms();
    }
    static void Settle(int turns = 10)
    {
        for (int i = 0; i < turns; ++i) QApplication::processEvents();
    }
    TVantrel& Recorder() { return vantrel->Component(); }
    // Runs the event loop until the playback has ended; false after the time limit.
    bool PlayToTheEnd(int limitMs = 60000)
    {
        QElapsedTimer t;
        t.start();
        while (Recorder().State() & vsPlaying) {
            if (t.elapsed() > limitMs) return false;
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        }
        Settle();
        return true;
    }
    // Opens the Demos menu and picks the item, as a user clicks them.
    void ClickDemosMenu(QAction* item)
    {
        QMenuBar* bar = FrmMain->MainMenu1;
        TInputScript script;
        script.Step("Demos", [bar, this] {
            TInputScript::SendClick(bar, bar->actionGeometry(FrmMain->Demos1->menuAction()).center());
            return true;
        });
        script.Step("the demonstration", [this, item] {
            if (!FrmMain->Demos1->isVisible()) return false;
            TInputScript::SendClick(FrmMain->Demos1, FrmMain->Demos1->actionGeometry(item).center());
            return true;
        });
        ASSERT_TRUE(script.Run()) << script.Failure();
    }

    std::unique_ptr<TMacroComponent> vantrel;
    mwtest::TempDir dir;
};

struct TModel {
    int channel, standard, elliptical;
    std::string line, antenna, company;
    friend bool operator==(const TModel&, const TModel&) = default;
};
TModel Model() { return {Sys().GetChannel(), Sys().Standard, Ant().Elliptical, TLine().LinePartNumber, Ant().PartNumber, CompanyName}; }
std::ostream& operator<<(std::ostream& o, const TModel& m)
{
    return o << "channel " << m.channel << " standard " << m.standard << " elliptical " << m.elliptical << " line "
             << m.line << " antenna " << m.antenna << " company " << m.company;
}

// Ctrl+Break from the keyboard, to the window that has the focus, in the two forms Qt gives it
// from an X server: the Break key symbol without a key code, and Pause with Ctrl.
enum class TBreak { XBreak, CtrlPause };
void SendCtrlBreak(TBreak form)
{
    const auto send = [](QEvent::Type type, int key, Qt::KeyboardModifiers mods, quint32 scan, quint32 keysym,
                         quint32 state) {
        QWindowSystemInterface::handleExtendedKeyEvent(nullptr, type, key, mods, scan, keysym, state);
    };
    const int key = form == TBreak::XBreak ? 0 : int(Qt::Key_Pause);
    const quint32 keysym = form == TBreak::XBreak ? 0xff6b : 0xff13;
    send(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier, 37, 0xffe3, 0);
    send(QEvent::KeyPress, key, Qt::ControlModifier, 127, keysym, 0x4);
    send(QEvent::KeyRelease, key, Qt::ControlModifier, 127, keysym, 0x4);
    send(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier, 37, 0xffe3, 0x4);
}

}  // namespace

// The user's Ctrl+Break stops a recording (which is saved) and a playback, looped or not,
// while the wizard that the main window's line utility opened runs its modal loop; the status
// panel shows the recording or the playback until then.
TEST_F(DemoRecorder, CtrlBreakStopsARecordingOrAPlaybackWhileTheWizardIsOpen)
{
    // A long macro of harmless Shift strokes.
    const std::string played = (dir.path() / "shift.mcr").string();
    std::vector<TEventMsg> strokes;
    for (int i = 0; i < 20; ++i) {
        strokes.push_back({WM_KEYDOWN, 0x10, 1, i * 3000, 0});
        strokes.push_back({WM_KEYUP, 0x10, 1, i * 3000 + 50, 0});
    }
    std::vector<TWindowIdentity> ids(strokes.size());
    TMacroFile(played).SaveMacro(strokes, ids, static_cast<int>(strokes.size()));
    enum class TWhat { Recording, Playback, LoopedPlayback };
    const struct {
        TWhat what;
        TBreak key;
    } cases[] = {{TWhat::Recording, TBreak::XBreak},      {TWhat::Recording, TBreak::CtrlPause},
                 {TWhat::Playback, TBreak::XBreak},       {TWhat::Playback, TBreak::CtrlPause},
                 {TWhat::LoopedPlayback, TBreak::XBreak}, {TWhat::LoopedPlayback, TBreak::CtrlPause}};
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "case " << n);
        const std::string recorded = (dir.path() / ("design" + std::to_string(n++) + ".mcr")).string();
        int ended = 0, cancelled = 0;
        Recorder().OnRecordEnded = [&](TVantrel&) { ++ended; };
        Recorder().OnRecordCancelled = [&](TVantrel&) { ++cancelled; };
        Recorder().OnPlayEnded = [&](TVantrel&) { ++ended; };
        Recorder().OnPlayCancelled = [&](TVantrel&) { ++cancelled; };
        Recorder().LoopPlayback = c.what == TWhat::LoopedPlayback;
        Recorder().SetPlaySpeed(5);
        if (c.what == TWhat::Recording) {
            Recorder().SetMacroName(recorded);
            Recorder().RecordMacro();
            ASSERT_EQ(Recorder().State(), vsRecording);
        }
        bool stopped = false;
        TInputScript script;
        script.Click("the line utility", [] { return FrmMain->sbForm4; });
        script.Step("the wizard's loop", [&] {
            auto* wizard = ShownWindow<TfrmWizard>();
            if (!wizard || QApplication::activeModalWidget() != wizard) return false;
            if (c.what != TWhat::Recording) {
                Recorder().SetMacroName(played);
                Recorder().PlayMacro();
            }
            return true;
        });
        script.Wait(3);
        std::string during;   // the status panel
        script.Step("Ctrl+Break", [&] {
            during = FrmMain->pnlState->Caption();
            SendCtrlBreak(c.key);
            return true;
        });
        script.Step("stopped", [&] {
            stopped = Recorder().State() == vsIdle;
            return stopped;
        });
        script.Click("Finish", [] { auto* w = ShownWindow<TfrmWizard>(); return w ? w->BitBtnNext : nullptr; });
        ASSERT_TRUE(script.Run(20000)) << script.Failure();
        EXPECT_TRUE(stopped);
        EXPECT_EQ(Recorder().State(), vsIdle);
        EXPECT_EQ(during, c.what == TWhat::Recording ? "Recording" : "Playing");
        EXPECT_EQ(FrmMain->pnlState->Caption(), "Inactive");
        if (c.what == TWhat::Recording) {
            // Ctrl+Break ends a recording; what was recorded is kept.
            EXPECT_EQ(ended, 1);
            EXPECT_EQ(cancelled, 0);
            TMacroFile saved(recorded);
            saved.OpenMacro();
            EXPECT_GT(saved.EventCount(), 0);
        } else {
            EXPECT_EQ(ended, 0);
            EXPECT_EQ(cancelled, 1);
        }
        EXPECT_FALSE(QApplication::activeModalWidget());
        Recorder().OnRecordEnded = Recorder().OnRecordCancelled = Recorder().OnPlayEnded = Recorder().OnPlayCancelled = nullptr;
    }
}

// A click recorded on the site dialog's OK waits, on playback, for the dialog, which opens
// late here (the program is slow), and then closes it: the wizard follows.
TEST_F(DemoRecorder, APlayedClickWaitsForTheDialogItWasRecordedOn)
{
    // The user opens the site dialog from the main window; its OK button's place and identity.
    QPoint ok;
    TWindowIdentity okId;
    TInputScript opening;
    opening.Click("Start New Design", [] { return FrmMain->BitBtnStart; });
    opening.Step("the site dialog's OK", [&] {
        auto* site = ShownWindow<TfrmSysInfo>();
        if (!site || QApplication::activeModalWidget() != site || !site->BitBtn1->isVisible()) return false;
        ok = site->BitBtn1->mapToGlobal(site->BitBtn1->rect().center());
        okId = Recorder().BuildIdentity({ok.x(), ok.y()});
        site->SetModalResult(mrCancel);
        return true;
    });
    ASSERT_TRUE(opening.Run()) << opening.Failure();
    ASSERT_EQ(GetText(okId.className), "TBitBtn");

    const std::string file = (dir.path() / "late.mcr").string();
    const auto x = static_cast<uint32_t>(ok.x()), y = static_cast<uint32_t>(ok.y());
    const std::vector<TEventMsg> events = {{WM_LBUTTONDOWN, x, y, 0, 0}, {WM_LBUTTONUP, x, y, 60, 0}};
    const std::vector<TWindowIdentity> ids = {okId, okId};
    TMacroFile(file).SaveMacro(events, ids, 2);
    Recorder().SetMacroName(file);
    Recorder().SetPlaySpeed(9);
    bool wizard = false;
    TInputScript script;
    script.Step("the playback", [&] {
        Recorder().PlayMacro();
        // The dialog opens a while after the click was due.
        QTimer::singleShot(800, FrmMain, [] { FrmMain->BitBtnStart->click(); });
        return true;
    });
    script.Step("the wizard after the played OK", [&] {
        wizard = ShownWindow<TfrmWizard>() && !ShownWindow<TfrmSysInfo>();
        return wizard;
    });
    ASSERT_TRUE(script.Run(20000)) << script.Failure();
    EXPECT_TRUE(wizard);
    EXPECT_EQ(Recorder().State(), vsIdle);
}

TEST_F(DemoRecorder, ARecordedDesignPlaysBackIntoAFreshModelAfterTheWindowMoved)
{
    const TDemoDesign design = BuiltInDemos()[3];   // E-pol DTV: channel, service, polarization, line
    CreateProjectObjects();
    CompanyName.clear();
    const std::string file = (dir.path() / "design.mcr").string();
    TInputScript script;
    AddDemoWalk(script, *FrmMain, design);
    Recorder().SetMacroName(file);
    Recorder().RecordMacro();
    ASSERT_TRUE(script.Run()) << script.Failure();
    Recorder().StopMacro();
    const TModel recorded = Model();
    ASSERT_EQ(recorded.channel, design.channel);
    ASSERT_EQ(recorded.standard, design.standard);
    ASSERT_EQ(recorded.line, design.linePart);
    ASSERT_EQ(recorded.company, "Belvor Broadcast");

    CreateProjectObjects();
    CompanyName.clear();
    ASSERT_NE(Model(), recorded);
    FrmMain->move(FrmMain->pos() + QPoint(60, 45));
    Settle();
    Recorder().SetPlaySpeed(9);
    Recorder().PlayMacro();
    ASSERT_TRUE(PlayToTheEnd());
    EXPECT_EQ(Model(), recorded);
    EXPECT_FALSE(QApplication::activeModalWidget()) << "the playback left a window open";
}

TEST_F(DemoRecorder, ALoopedPlaybackEndsOnARealCtrlEscOnly)
{
    // A macro that itself presses Ctrl+Esc and Ctrl+Break, aimed at the main window.
    const std::string file = (dir.path() / "loop.mcr").string();
    const std::vector<TEventMsg> events = {
        {WM_KEYDOWN, 0x11, 1, 0, 0},  {WM_KEYDOWN, 0x1B, 1, 10, 0}, {WM_KEYUP, 0x1B, 1, 20, 0},
        {WM_KEYDOWN, 0x13, 1, 30, 0}, {WM_KEYUP, 0x13, 1, 40, 0},   {WM_KEYUP, 0x11, 1, 50, 0},
        {WM_KEYDOWN, 0x10, 1, 60, 0}, {WM_KEYUP, 0x10, 1, 70, 0},
    };
    std::vector<TWindowIdentity> ids(events.size());
    TMacroFile(file).SaveMacro(events, ids, static_cast<int>(events.size()));
    int passes = 0;
    Recorder().BeforePlay = [&](TVantrel&) { ++passes; };
    Recorder().LoopPlayback = true;
    Recorder().SetPlaySpeed(5);
    Recorder().SetMacroName(file);
    Recorder().PlayMacro();
    QElapsedTimer t;
    t.start();
    while (passes < 5 && t.elapsed() < 20000) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    EXPECT_GE(passes, 5) << "the played stop keys ended the loop";
    EXPECT_TRUE(Recorder().State() & vsPlaying);
    // The user's own Ctrl+Esc.
    TInputScript::SendKey(0x11, true);
    TInputScript::SendKey(0x1B, true);
    TInputScript::SendKey(0x1B, false);
    TInputScript::SendKey(0x11, false);
    ASSERT_TRUE(PlayToTheEnd(5000));
    EXPECT_EQ(Recorder().State(), vsIdle);
}

TEST_F(DemoRecorder, EachBuiltInDemonstrationPlaysFromTheDemosMenu)
{
    ProgramFolder = std::string(MW_SOURCE_DIR) + "/planner/resources/";
    MacroPlaySpeed = 9;
    QAction* items[] = {FrmMain->HPolNTSC1, FrmMain->VPolNTSC1, FrmMain->HPolDTV1, FrmMain->EPolDTV2, FrmMain->TxLineTable1};
    for (std::size_t i = 0; i < BuiltInDemos().size(); ++i) {
        const TDemoDesign& d = BuiltInDemos()[i];
        SCOPED_TRACE(d.what);
        CreateProjectObjects();
        TLine().LinePartNumber.clear();
        // The line utility works on a copy of the design: its line is the one it showed while open.
        std::string utilityLine;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (ShownWindow<TfrmWizard>()) utilityLine = TLine().LinePartNumber;
        });
        watch.start(5);
        ClickDemosMenu(items[i]);
        Settle();
        ASSERT_TRUE(Recorder().State() & vsPlaying) << "the demonstration did not start";
        ASSERT_TRUE(PlayToTheEnd());
        watch.stop();
        EXPECT_FALSE(QApplication::activeModalWidget()) << "the demonstration left a window open";
        if (d.lineUtility) {
            EXPECT_EQ(utilityLine, d.linePart);
            EXPECT_EQ(TLine().LinePartNumber, "") << "the line utility changed the open design";
            continue;
        }
        EXPECT_EQ(TLine().LinePartNumber, d.linePart);
        EXPECT_EQ(Sys().GetChannel(), d.channel);
        EXPECT_EQ(Sys().Standard, d.standard);
        EXPECT_EQ(Ant().Elliptical != 0, d.elliptical);
        EXPECT_FALSE(Ant().PartNumber.empty());
    }
}
