#include "UiTestSupport.h"
#include "platform/runtime/SysUtils.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/FileFilter.h"
#include "platform/ui/Forms.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QLineEdit>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>
#include <vector>

TEST(FileFilter, ParsesPairsAndMatchesWithoutCase)
{
    const auto f = ParseFileFilter("Macro files (*.mcr)|*.MCR|PDF File   (*.pdf)|*.pdf;*.PDFX|All Files  (*.*)|*.*");
    ASSERT_EQ(f.size(), 3u);
    EXPECT_EQ(f[0].Description, "Macro files (*.mcr)");
    EXPECT_EQ(f[0].Patterns, std::vector<std::string>{"*.MCR"});
    EXPECT_EQ(f[1].Patterns, (std::vector<std::string>{"*.pdf", "*.PDFX"}));
    EXPECT_EQ(f[2].Patterns, std::vector<std::string>{"*.*"});

    struct Case {
        const char* name;
        bool matches;
    };
    const Case cases[] = {
        {"/home/u/Macros/demo.mcr", true}, {"DEMO.MCR", true}, {"Demo.Mcr", true},
        {"demo.mcrx", false},              {"demo.mc", false}, {"mcr", false},
        {"/a.mcr/demo", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MatchesFileFilter(c.name, f[0].Patterns), c.matches);
    }
    EXPECT_TRUE(MatchesFileFilter("README", f[2].Patterns));
    EXPECT_TRUE(MatchesFileFilter("a?b", {"a?b"}));
    EXPECT_FALSE(MatchesFileFilter(std::string(200, 'a') + "b", {"*a*a*a*a*a*a*a*a*c"}));
}

TEST(FileFilter, QtFiltersAndEdgeCases)
{
    EXPECT_EQ(QtNameFilters("Macro files (*.mcr)|*.MCR"),
              std::vector<std::string>{"Macro files (*.mcr) (*.[mM][cC][rR])"});
    EXPECT_EQ(QtNameFilters("Text|*.txt;*.pat"), std::vector<std::string>{"Text (*.[tT][xX][tT] *.[pP][aA][tT])"});
    EXPECT_TRUE(ParseFileFilter("").empty());
    // A description without patterns takes every file; a trailing "|" adds nothing.
    const auto f = ParseFileFilter("Patterns|*.PAT|Everything");
    ASSERT_EQ(f.size(), 2u);
    EXPECT_EQ(f[1].Patterns, std::vector<std::string>{"*"});
    EXPECT_EQ(ParseFileFilter("Patterns|*.PAT|").size(), 1u);

    struct Case {
        const char *name, *ext, *expected;
    };
    const Case cases[] = {
        {"/m/demo", "mcr", "/m/demo.mcr"}, {"/m/demo.MCR", "mcr", "/m/demo.MCR"}, {"/m/demo.txt", "mcr", "/m/demo.txt"},
        {"/m/demo", "", "/m/demo"},        {"", "mcr", ""},                        {"/m.d/demo", "mcr", "/m.d/demo.mcr"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(AddDefaultExt(c.name, c.ext), c.expected);
    }
}

TEST(Dialogs, FileDialogResultAndCancelKeepsTheName)
{
    ScriptedUi ui;
    TSaveDialog d;
    d.InitialDir = "/opt/mw/Macros";
    d.DefaultExt = "mcr";
    d.Filter = "Macro files (*.mcr)|*.MCR";
    d.FileName = "/opt/mw/Macros/last.mcr";
    ui.services.ExpectSaveCancel();
    EXPECT_FALSE(d.Execute());
    EXPECT_EQ(d.FileName, "/opt/mw/Macros/last.mcr");
    ui.services.ExpectSave("/opt/mw/Macros/new");
    EXPECT_TRUE(d.Execute());
    EXPECT_EQ(d.FileName, "/opt/mw/Macros/new.mcr");
    ASSERT_EQ(ui.services.Shown().size(), 2u);
    EXPECT_EQ(ui.services.Shown()[0].Kind, TScriptedUiServices::TKind::FileSave);
    EXPECT_EQ(ui.services.Shown()[0].InitialDir, "/opt/mw/Macros");
    EXPECT_EQ(ui.services.Shown()[0].Filter, "Macro files (*.mcr)|*.MCR");

    TPrintDialog p;
    ui.services.ExpectPrint(true, 3);
    EXPECT_TRUE(p.Execute());
    EXPECT_EQ(p.Copies, 3);
}

// A save onto a file that exists asks first (for the name with its default extension); No
// goes back to the dialog with that name, Yes gives it. Open dialogs and saves without the
// prompt never ask.
TEST(Dialogs, ASaveAsksBeforeReplacingAFileThatExists)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string root = dir.path().toStdString() + "/";
    {
        QFile f(QString::fromStdString(root + "site.pdf"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("older work");
    }
    struct Case {
        const char* what;
        bool save;
        bool prompt;
        std::string typed;
        std::vector<int> answers;  // to the question, in turn; the dialog is cancelled after the last No
        bool chosen;
        std::string fileName;  // after Execute
    };
    const Case cases[] = {
        {"typed without the extension, replaced", true, true, "site", {IDYES}, true, root + "site.pdf"},
        {"typed whole, replaced", true, true, "site.pdf", {IDYES}, true, root + "site.pdf"},
        {"not replaced, then cancelled", true, true, "site", {IDNO}, false, "before"},
        {"not replaced twice", true, true, "site.pdf", {IDNO, IDNO}, false, "before"},
        {"a new file", true, true, "new", {}, true, root + "new.pdf"},
        {"no prompt asked for", true, false, "site", {}, true, root + "site.pdf"},
        {"an open dialog", false, true, "site", {}, true, root + "site.pdf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedUi ui;
        std::unique_ptr<TOpenDialog> d = c.save ? std::unique_ptr<TOpenDialog>(new TSaveDialog) : std::make_unique<TOpenDialog>();
        d->DefaultExt = "pdf";
        d->OverwritePrompt = c.prompt;
        d->FileName = "before";
        if (c.save) ui.services.ExpectSave(root + c.typed);
        else ui.services.ExpectOpen(root + c.typed);
        for (size_t k = 0; k < c.answers.size(); ++k) {
            ui.services.ExpectMessage(c.answers[k], "site.pdf already exists.");
            if (c.answers[k] != IDNO) continue;
            if (k + 1 < c.answers.size()) ui.services.ExpectSave(root + "site.pdf");
            else ui.services.ExpectSaveCancel();
        }
        EXPECT_EQ(d->Execute(), c.chosen);
        EXPECT_EQ(d->FileName, c.fileName);
        size_t questions = 0;
        for (const auto& shown : ui.services.Shown()) {
            if (shown.Kind != TScriptedUiServices::TKind::Message) continue;
            ++questions;
            EXPECT_EQ(shown.Text, "site.pdf already exists.\nDo you want to replace it?");
            EXPECT_EQ(shown.Flags, MB_YESNO | MB_ICONWARNING);
        }
        EXPECT_EQ(questions, c.answers.size());
        // After a No the dialog comes back with the name that was refused.
        if (!c.answers.empty() && c.answers.front() == IDNO) {
            ASSERT_GT(ui.services.Shown().size(), 2u);
            EXPECT_EQ(ui.services.Shown()[2].FileName, root + "site.pdf");
        }
    }
}

TEST(Dialogs, ScriptReportsWhatItDidNotExpect)
{
    TScriptedUiServices s;
    TUiServicesScope scope(s);
    std::vector<std::string> reported;
    s.OnUnexpected = [&](const std::string& w) { reported.push_back(w); };
    TOpenDialog d;
    EXPECT_FALSE(d.Execute());  // nothing scripted: answered with Cancel
    s.ExpectMessage(mrYes);
    EXPECT_FALSE(d.Execute());  // a dialog where a box was expected
    EXPECT_EQ(MessageDlg("Sure?", TMsgDlgType::mtConfirmation, mbYes | mbNo), mrYes);
    s.ExpectMessage(IDOK, "Unable to create PDF file.");
    MessageBox("Something else", "", MB_OK);
    EXPECT_EQ(reported.size(), 3u);
    EXPECT_EQ(s.Unexpected(), reported);
    EXPECT_TRUE(s.AllUsed());
}

TEST(Dialogs, MessageDlgCaptionsAndCursor)
{
    ScriptedUi ui;
    Application->SetTitle("Mastwise");
    struct Case {
        TMsgDlgType type;
        const char* caption;
    };
    const Case cases[] = {{TMsgDlgType::mtWarning, "Warning"},         {TMsgDlgType::mtError, "Error"},
                          {TMsgDlgType::mtInformation, "Information"}, {TMsgDlgType::mtConfirmation, "Confirm"},
                          {TMsgDlgType::mtCustom, "Mastwise"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        ui.services.ExpectMessage(mrNo);
        EXPECT_EQ(MessageDlg("Are you sure?", c.type, mbYes | mbNo), mrNo);
        EXPECT_EQ(ui.services.Shown().back().Caption, c.caption);
        EXPECT_EQ(ui.services.Shown().back().Buttons, mbYes | mbNo);
    }

    SetScreenCursor(crHandPoint);
    try {
        THourGlass wait;
        EXPECT_EQ(ScreenCursor(), crHourGlass);
        throw EAbort();
    } catch (const EAbort&) {
    }
    EXPECT_EQ(ScreenCursor(), crHandPoint);
    SetScreenCursor(crDefault);
    Beep();
    EXPECT_EQ(ui.services.Beeps(), 1);
}

// The real boxes, answered by pressing one of their buttons (or the close box) from a timer.
TEST(Dialogs, QtBoxesReturnTheAnswerOfTheButtonPressed)
{
    TQtUiServices qt;
    auto press = [](QString text) {
        QTimer::singleShot(0, [text] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            if (text.isEmpty()) {
                box->reject();
                return;
            }
            for (auto* b : box->buttons())
                if (b->text() == text) return b->click();
            ADD_FAILURE() << "no button " << text.toStdString();
            box->reject();
        });
    };
    struct Case {
        const char* press;
        int flags;
        int expected;
    };
    const Case boxes[] = {{"&No", MB_YESNO | MB_ICONQUESTION, IDNO},
                          {"&Yes", MB_YESNOCANCEL, IDYES},
                          {"", MB_YESNO, IDNO},
                          {"", MB_OK, IDOK},
                          {"&Retry", MB_ABORTRETRYIGNORE, IDRETRY},
                          {"Cancel", MB_OKCANCEL, IDCANCEL}};
    for (const auto& c : boxes) {
        SCOPED_TRACE(c.flags);
        press(c.press);
        EXPECT_EQ(qt.MessageBox("Text", "Caption", c.flags), c.expected);
    }
    press("");
    EXPECT_EQ(qt.MessageDlg("Sure?", "Confirm", TMsgDlgType::mtConfirmation, mbYes | mbNo), mrNo);
    press("&Yes");
    EXPECT_EQ(qt.MessageDlg("Sure?", "Confirm", TMsgDlgType::mtConfirmation, mbYes | mbNo), mrYes);
    press("");
    EXPECT_EQ(qt.MessageDlg("Sure?", "Confirm", TMsgDlgType::mtConfirmation, mbYesNoCancel), mrCancel);
}

// Once a box is answered, the window it was over is the active one again and takes the keys.
TEST(Dialogs, TheWindowUnderABoxTakesTheKeysOnceItIsAnswered)
{
    TQtUiServices qt;
    QWidget window;
    auto* edit = new QLineEdit(&window);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    edit->setFocus();
    QTimer::singleShot(0, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        for (auto* b : box->buttons())
            if (b->text() == "&No") return QTest::mouseClick(b, Qt::LeftButton);
        ADD_FAILURE() << "no button &No";
        box->reject();
    });
    EXPECT_EQ(qt.MessageBox("Go on?", "Caption", MB_YESNO), IDNO);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClicks(QApplication::focusWidget(), "30");
    EXPECT_EQ(edit->text(), "30");
}
