#include "UiTestSupport.h"
#include "platform/runtime/SysUtils.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/Forms.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <memory>

namespace {

// A dialog with an OK button (mrOk, default) and a Cancel button (kind Cancel).
class TTestForm : public TForm {
public:
    TTestForm() : TForm(nullptr)
    {
        ok = new TBitBtn(this);
        ok->SetKind(TBitBtnKind::bkOK);
        cancel = new TBitBtn(this);
        cancel->SetKind(TBitBtnKind::bkCancel);
        cancel->move(0, 40);
        resize(200, 100);
    }
    TBitBtn* ok;
    TBitBtn* cancel;
};

using TSteps = std::shared_ptr<std::vector<std::function<void()>>>;

void RunStep(TForm* f, TSteps steps, std::size_t i)
{
    if (i >= steps->size()) return;
    QTimer::singleShot(0, f, [f, steps, i] {
        (*steps)[i]();
        RunStep(f, steps, i + 1);
    });
}

// Runs `steps` one after another inside the modal loop, each after the events before it.
void Later(TForm& f, std::vector<std::function<void()>> steps)
{
    RunStep(&f, std::make_shared<std::vector<std::function<void()>>>(std::move(steps)), 0);
}

void Key(QWidget* w, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

}  // namespace

TEST(Forms, ModalResultEndsTheLoop)
{
    struct Case {
        const char* name;
        std::function<void(TTestForm&)> act;
        int expected;
    };
    const Case cases[] = {
        {"SetModalResult", [](TTestForm& f) { f.SetModalResult(mrRetry); }, mrRetry},
        {"OK button", [](TTestForm& f) { f.ok->click(); }, mrOk},
        {"Cancel button", [](TTestForm& f) { f.cancel->click(); }, mrCancel},
        {"Close", [](TTestForm& f) { f.Close(); }, mrCancel},
        {"close box", [](TTestForm& f) { f.close(); }, mrCancel},
        {"Enter presses the default button", [](TTestForm& f) { Key(&f, Qt::Key_Return); }, mrOk},
        {"Escape presses the cancel button", [](TTestForm& f) { Key(&f, Qt::Key_Escape); }, mrCancel},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TTestForm f;
        int closes = 0;
        f.OnClose = [&](QObject*, TCloseAction&) { ++closes; };
        Later(f, {[&] { c.act(f); }});
        EXPECT_EQ(f.ShowModal(), c.expected);
        EXPECT_FALSE(f.isVisible());
        EXPECT_EQ(closes, 1);
        // The same form shows modally again.
        Later(f, {[&] { f.SetModalResult(mrNo); }});
        EXPECT_EQ(f.ShowModal(), mrNo);
    }
}

TEST(Forms, ZeroResultAndRefusedCloseQueryKeepTheWindowOpen)
{
    TTestForm f;
    bool allow = false;
    int queries = 0;
    f.OnCloseQuery = [&](QObject*, bool& can) {
        ++queries;
        can = allow;
    };
    bool openAfterZero = false, openAfterRefusal = false;
    Later(f, {
                 [&] { f.SetModalResult(mrNone); },
                 [&] { openAfterZero = f.isVisible() && f.Modal(); },
                 [&] { f.SetModalResult(mrOk); },  // refused by the close query
                 [&] { openAfterRefusal = f.isVisible() && f.ModalResult() == mrNone; },
                 [&] {
                     allow = true;
                     f.SetModalResult(mrAbort);
                 },
             });
    EXPECT_EQ(f.ShowModal(), mrAbort);
    EXPECT_TRUE(openAfterZero);
    EXPECT_TRUE(openAfterRefusal);
    EXPECT_EQ(queries, 2);
}

TEST(Forms, ShowModalOfAVisibleFormRaises)
{
    TTestForm f;
    f.show();
    EXPECT_THROW(f.ShowModal(), EInvalidOperation);
}

TEST(Forms, HandlerExceptionGoesToTheErrorBoxAndTheLoopGoesOn)
{
    ScriptedUi ui;
    ui.services.ExpectMessage(IDOK, "catalog row is damaged");
    TTestForm f;
    f.ok->OnClick = [](QObject*) { throw EConvertError("catalog row is damaged"); };
    f.ok->SetModalResult(mrNone);
    Later(f, {[&] { f.ok->click(); }, [&] { f.SetModalResult(mrYes); }});
    EXPECT_EQ(f.ShowModal(), mrYes);
    ASSERT_EQ(ui.services.Shown().size(), 1u);
    EXPECT_EQ(ui.services.Shown()[0].Flags, MB_OK | MB_ICONSTOP);
}

TEST(Forms, DefaultHandlerShowsMessagesAndStaysSilentOnAbort)
{
    ScriptedUi ui;
    Application->SetTitle("Mastwise");
    ui.services.ExpectMessage(IDOK, "Stream read error");
    Application->HandleException(std::make_exception_ptr(EReadError()));
    ui.services.ExpectMessage(IDOK, "plain failure");
    Application->HandleException(std::make_exception_ptr(std::runtime_error("plain failure")));
    Application->HandleException(std::make_exception_ptr(EAbort()));  // nothing shown
    ui.services.ExpectMessage(IDOK, "Unknown exception");
    Application->HandleException(std::make_exception_ptr(42));
    EXPECT_EQ(ui.services.Shown().size(), 3u);
    EXPECT_EQ(ui.services.Shown()[0].Caption, "Mastwise");
}

TEST(Forms, FormMadeForOneUseIsFreedWhenAnExceptionPasses)
{
    QPointer<TForm> seen;
    try {
        auto f = CreateFormOnce<TTestForm>();
        seen = f.get();
        throw EConvertError("bad");
    } catch (const EConvertError&) {
    }
    EXPECT_TRUE(seen.isNull());
}

TEST(Forms, HintPauseReachesQt)
{
    Application->SetHintPause(100);
    EXPECT_EQ(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 100);
    Application->SetHintPause(700);
    EXPECT_EQ(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 700);
}

TEST(Forms, RunEndsWhenTheMainFormClosesAndFreesTheStartUpWindows)
{
    TTestForm* main = nullptr;
    TTestForm* other = nullptr;
    Application->CreateForm(main);
    Application->CreateForm(other);
    EXPECT_EQ(Application->MainForm(), main);
    QPointer<TForm> a(main), b(other);
    QTimer::singleShot(0, main, [main] { main->close(); });
    Application->Run();
    EXPECT_TRUE(a.isNull());
    EXPECT_TRUE(b.isNull());
    EXPECT_EQ(Application->MainForm(), nullptr);
}

// A window given no place of its own opens centred over the main window; one the program
// placed stays where it was put.
TEST(Forms, NewWindowsOpenCentredOverTheMainWindow)
{
    TTestForm* main = nullptr;
    Application->CreateForm(main);
    main->setGeometry(300, 200, 600, 400);
    main->show();
    TTestForm dialog, placed;
    dialog.resize(200, 100);
    placed.setGeometry(20, 30, 200, 100);
    dialog.show();
    placed.show();
    EXPECT_LE((dialog.geometry().center() - main->geometry().center()).manhattanLength(), 2);
    EXPECT_EQ(placed.geometry().topLeft(), QPoint(20, 30));
    // Moved by the user and opened again: where the user left it.
    dialog.hide();
    dialog.move(40, 50);
    dialog.show();
    EXPECT_EQ(dialog.pos(), QPoint(40, 50));
    Application->DestroyForms();
}

namespace {

// A window with one button that counts its clicks.
struct TCountingWindow {
    TCountingWindow()
    {
        window = std::make_unique<QWidget>(nullptr, Qt::Window);
        button = new QPushButton("Count", window.get());
        button->setGeometry(10, 10, 100, 30);
        QObject::connect(button, &QPushButton::clicked, [this] { ++clicks; });
        window->resize(300, 200);
    }
    // A click as the window system delivers it: refused while a modal window blocks this one.
    int Click()
    {
        const int before = clicks;
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, button->geometry().center());
        return clicks - before;
    }
    std::unique_ptr<QWidget> window;
    QPushButton* button;
    int clicks = 0;
};

}  // namespace

// A modal loop blocks the windows there when it began; a window shown while it runs answers
// input and is placed on the screen, also after a nested loop (which blocks it) has ended.
// When the loop ends everything answers again.
TEST(Forms, AWindowShownDuringAModalLoopAnswersInput)
{
    TCountingWindow before, after, during;
    before.window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(before.window.get()));
    ASSERT_EQ(before.Click(), 1);
    const QRect room = QGuiApplication::primaryScreen()->availableGeometry();

    TTestForm outer;
    Later(outer, {
        [&] {
            EXPECT_EQ(before.Click(), 0) << "a window of before the loop is blocked";
            after.window->move(room.right() - 50, room.bottom() - 50);
            after.window->show();
            EXPECT_TRUE(room.contains(after.window->frameGeometry())) << "kept on the screen";
            EXPECT_EQ(after.Click(), 1) << "a window shown during the loop answers";
        },
        [&] {
            TTestForm inner;
            Later(inner, {
                [&] {
                    EXPECT_EQ(after.Click(), 0) << "the nested loop blocks what was there when it began";
                    during.window->show();
                    EXPECT_EQ(during.Click(), 1);
                },
                [&] { inner.SetModalResult(mrOk); },
            });
            EXPECT_EQ(inner.ShowModal(), mrOk);
            EXPECT_EQ(during.Click(), 1) << "still answers once the nested loop has ended";
            EXPECT_EQ(after.Click(), 1);
            EXPECT_EQ(before.Click(), 0);
        },
        [&] { outer.SetModalResult(mrOk); },
    });
    EXPECT_EQ(outer.ShowModal(), mrOk);
    for (TCountingWindow* w : {&before, &after, &during}) EXPECT_EQ(w->Click(), 1);
    EXPECT_EQ(after.window->windowHandle()->transientParent(), nullptr) << "its own owner again";
}
