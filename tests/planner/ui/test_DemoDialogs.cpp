// The demo dialogs, driven by clicks and keys: the playback speed, the custom demos (select,
// delete, play, record, cancel, close box) and the stop notice.
#include "DemoScript.h"
#include "platform/input/KeyTable.h"
#include "platform/ui/ScriptedUi.h"
#include "planner/ui/MainState.h"
#include "planner/ui/unit10.h"
#include "planner/ui/unit11.h"
#include "planner/ui/unit12.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Opens the form modally from its own timer (a step must not run a modal loop itself).
void Open(TForm* form, int* result = nullptr)
{
    QTimer::singleShot(0, form, [form, result] {
        const int r = form->ShowModal();
        if (result) *result = r;
    });
}

class DemoDialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui.OnUnexpected = [](const std::string& what) { ADD_FAILURE() << what; };
        ProgramFolder = dir.path().string() + "/";
    }
    void TearDown() override { EXPECT_TRUE(ui.AllUsed()) << ui.Pending() << " scripted answers left unused"; }

    TScriptedUiServices ui;
    TUiServicesScope scope{ui};
    mwtest::TempDir dir;
};

}  // namespace

TEST_F(DemoDialogs, PlaybackSpeedFollowsTheBar)
{
    MacroPlaySpeed = 3;
    TfrmPlaySpeed dlg;
    EXPECT_EQ(dlg.windowTitle(), "Playback Speed");
    EXPECT_EQ(dlg.TrackBar1->Position(), 3);   // as the program started
    TInputScript s;
    s.Step("open", [&] { Open(&dlg); return true; });
    s.Step("the bar has the focus", [&] {
        if (!dlg.isVisible()) return false;
        dlg.TrackBar1->setFocus();
        return true;
    });
    s.Key("faster", 0x27);
    s.Key("faster", 0x27);
    s.Wait(2);
    s.Step("check", [&] { return MacroPlaySpeed == dlg.TrackBar1->Position(); });
    s.Click("OK", [&]() -> QWidget* { return dlg.isVisible() ? dlg.BitBtn1 : nullptr; });
    s.Step("closed", [&] { return !dlg.isVisible(); });
    ASSERT_TRUE(s.Run()) << s.Failure();
    EXPECT_EQ(dlg.TrackBar1->Position(), 5);
    EXPECT_EQ(MacroPlaySpeed, 5);
}

TEST_F(DemoDialogs, CustomDemosSelectDeletePlayRecord)
{
    const std::string macro = dir.path().string() + "/Macros/tour.mcr";
    std::filesystem::create_directories(dir.path() / "Macros");
    mwtest::WriteFileText(macro, "TQ2");
    TfrmMyDemos dlg;
    auto shown = [&](TBitBtn* b) { return [&dlg, b]() -> QWidget* { return dlg.isVisible() ? b : nullptr; }; };
    PlayDemoFlag = RecordDemoFlag = true;   // left from last time

    // Delete before anything is chosen does nothing; the close box decides nothing.
    TInputScript s;
    s.Step("open", [&] { Open(&dlg); return true; });
    s.Step("buttons", [&] { return dlg.isVisible() && !dlg.Button1->isEnabled() && !dlg.Button2->isEnabled(); });
    s.Step("close box", [&] { dlg.close(); return true; });
    ASSERT_TRUE(s.Run()) << s.Failure();
    EXPECT_FALSE(PlayDemoFlag);
    EXPECT_FALSE(RecordDemoFlag);

    // Select, delete with Yes.
    ui.ExpectOpen(macro);
    ui.ExpectMessage(mrYes, "Erase " + macro + "?");
    TInputScript s2;
    s2.Step("open", [&] { Open(&dlg); return true; });
    s2.Click("Select", shown(dlg.Button3));
    s2.Step("chosen", [&] { return dlg.Edit1->Text() == macro && dlg.Button1->isEnabled() && dlg.Button2->isEnabled(); });
    s2.Click("Delete", shown(dlg.Button1));
    s2.Step("erased", [&] { return !std::filesystem::exists(macro) && !dlg.Button1->isEnabled() && dlg.Edit1->Text().empty(); });
    // A cancelled save dialog records nothing and the dialog stays.
    s2.Step("cancel save", [&] { ui.ExpectSaveCancel(); return true; });
    s2.Click("Record", shown(dlg.Button4));
    s2.Wait(3);
    s2.Step("still open", [&] { return dlg.isVisible() && !RecordDemoFlag; });
    // Record a new one.
    s2.Step("save", [&] { ui.ExpectSave(dir.path().string() + "/Macros/new.mcr"); return true; });
    s2.Click("Record", shown(dlg.Button4));
    s2.Step("closed", [&] { return !dlg.isVisible(); });
    ASSERT_TRUE(s2.Run()) << s2.Failure();
    EXPECT_TRUE(RecordDemoFlag);
    EXPECT_FALSE(PlayDemoFlag);
    EXPECT_EQ(DemoFileName, dir.path().string() + "/Macros/new.mcr");
    const auto& files = ui.Shown();
    ASSERT_FALSE(files.empty());
    EXPECT_EQ(files.front().InitialDir, dir.path().string() + "/Macros");
    EXPECT_EQ(files.front().Filter, "Macro files (*.mcr)|*.MCR");

    // Opening again starts undecided; Play decides to play; Cancel decides nothing.
    TInputScript s3;
    s3.Step("open", [&] { Open(&dlg); return true; });
    s3.Step("undecided", [&] { return dlg.isVisible() && !RecordDemoFlag && !PlayDemoFlag; });
    s3.Step("select", [&] { ui.ExpectOpenCancel(); return true; });
    s3.Click("Select", shown(dlg.Button3));
    s3.Click("Play", shown(dlg.Button2));
    s3.Step("closed", [&] { return !dlg.isVisible(); });
    ASSERT_TRUE(s3.Run()) << s3.Failure();
    EXPECT_TRUE(PlayDemoFlag);
    int result = 0;
    TInputScript s4;
    s4.Step("open", [&] { Open(&dlg, &result); return true; });
    s4.Click("Cancel", shown(dlg.BitBtn1));
    s4.Step("closed", [&] { return !dlg.isVisible(); });
    ASSERT_TRUE(s4.Run()) << s4.Failure();
    EXPECT_EQ(result, mrCancel);
    EXPECT_FALSE(PlayDemoFlag);
    EXPECT_FALSE(RecordDemoFlag);
}

TEST_F(DemoDialogs, StopNoticeShowsItsPictureAndCloses)
{
    TfrmStopDemo dlg;
    EXPECT_EQ(dlg.windowTitle(), "IMPORTANT!  How to Stop Recording");
    EXPECT_FALSE(dlg.Image1->pixmap().isNull());
    EXPECT_EQ(dlg.Image1->pixmap().size(), QSize(48, 48));
    TInputScript s;
    s.Step("open", [&] { Open(&dlg); return true; });
    s.Click("OK", [&]() -> QWidget* { return dlg.isVisible() ? dlg.BitBtn1 : nullptr; });
    s.Step("closed", [&] { return !dlg.isVisible(); });
    ASSERT_TRUE(s.Run()) << s.Failure();
}
