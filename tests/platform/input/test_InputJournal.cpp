// The input journal: real input of the program's windows is recorded, played input reaches
// the widgets as Qt routes real input (edits get their text), is never taken for real input,
// and real input is swallowed during playback except the cancel keys.
#include "platform/input/InputJournal.h"
#include "platform/input/InputMessages.h"
#include "platform/input/KeyTable.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>
#include <qpa/qwindowsysteminterface.h>

using namespace InputMessages;

namespace {

// Input as the window system delivers it (the primary devices: real input).
void RealMouse(QWidget* w, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons state)
{
    QWindow* win = w->window()->windowHandle();
    const QPoint global = w->mapToGlobal(QPoint(5, 5));
    QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::SynchronousDelivery>(
        win, QPointF(win->mapFromGlobal(global)), QPointF(global), state, button, type);
}
void RealClick(QWidget* w)
{
    RealMouse(w, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    RealMouse(w, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
}
void RealKey(QWidget* w, QEvent::Type type, int key, Qt::KeyboardModifiers mods, const QString& text = {})
{
    QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::SynchronousDelivery>(w->window()->windowHandle(),
                                                                                       type, key, mods, text);
}
// Ctrl+Break as Qt delivers it from an X server: no key code, the Break key symbol.
void RealXBreak(QWidget* w, QEvent::Type type)
{
    QWindowSystemInterface::handleExtendedKeyEvent(w->window()->windowHandle(), type, 0, Qt::ControlModifier, 110,
                                                   0xff6b, 0x4);
}
void RealWheel(QWidget* w, int delta)
{
    QWindow* win = w->window()->windowHandle();
    const QPoint global = w->mapToGlobal(QPoint(6, 3));
    QWindowSystemInterface::handleWheelEvent(
        win, QPointF(win->mapFromGlobal(global)), QPointF(global), QPoint(), QPoint(0, delta));
}
void Settle()
{
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

class JournalTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto* layout = new QVBoxLayout(&form);
        button = new QPushButton("Go", &form);
        edit = new QLineEdit(&form);
        layout->addWidget(button);
        layout->addWidget(edit);
        QObject::connect(button, &QPushButton::clicked, [this] { ++clicks; });
        form.move(120, 80);
        form.show();
        form.activateWindow();
        edit->setFocus();
        Settle();
        journal.OnRecord = [this](const TJournalEvent& e) { recorded.push_back(e); };
        journal.OnCancelKey = [this](bool ctrlBreak) { cancels.push_back(ctrlBreak); };
    }

    QWidget form;
    QPushButton* button = nullptr;
    QLineEdit* edit = nullptr;
    int clicks = 0;
    TInputJournal journal;
    std::vector<TJournalEvent> recorded;
    std::vector<bool> cancels;
};

}  // namespace

TEST(KeyTable, EveryKeyBothWays)
{
    for (int vk = 1; vk < 256; ++vk) {
        for (Qt::KeyboardModifiers mods : {Qt::KeyboardModifiers(Qt::NoModifier), Qt::KeyboardModifiers(Qt::ShiftModifier)}) {
            const TQtKey k = QtKeyOf(static_cast<uint8_t>(vk), mods);
            if (!k.key) continue;
            const Qt::KeyboardModifiers back = k.keypad ? mods | Qt::KeypadModifier : mods;
            EXPECT_EQ(VirtualKeyOf(k.key, back), vk) << std::hex << vk << " key " << k.key;
        }
    }
    struct {
        uint8_t vk;
        Qt::KeyboardModifiers mods;
        const char* text;
    } texts[] = {{'A', Qt::NoModifier, "a"},   {'A', Qt::ShiftModifier, "A"}, {'1', Qt::ShiftModifier, "!"},
                 {0xBE, Qt::NoModifier, "."},  {0x6E, Qt::NoModifier, "."},   {'A', Qt::ControlModifier, ""},
                 {VK_SPACE, Qt::NoModifier, " "}};
    for (const auto& t : texts) EXPECT_EQ(QtKeyOf(t.vk, t.mods).text, QString(t.text)) << int(t.vk);
}

TEST_F(JournalTest, RecordsRealInputOnce)
{
    journal.SetMode(TInputJournal::TMode::Record);
    RealClick(button);
    edit->setFocus();   // the click took it
    Settle();
    RealKey(edit, QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
    RealKey(edit, QEvent::KeyPress, Qt::Key_A, Qt::ShiftModifier, "A");
    RealKey(edit, QEvent::KeyRelease, Qt::Key_A, Qt::ShiftModifier, "A");
    RealKey(edit, QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
    Settle();
    EXPECT_EQ(clicks, 1);
    // Qt moves the pointer to where a button goes down first.
    ASSERT_FALSE(recorded.empty());
    EXPECT_EQ(recorded[0].message, WM_MOUSEMOVE);
    recorded.erase(recorded.begin());
    ASSERT_EQ(recorded.size(), 6u);
    const QPoint g = button->mapToGlobal(QPoint(5, 5));
    EXPECT_EQ(recorded[0].message, WM_LBUTTONDOWN);
    EXPECT_EQ(static_cast<int>(recorded[0].paramL), g.x());
    EXPECT_EQ(static_cast<int>(recorded[0].paramH), g.y());
    EXPECT_EQ(recorded[1].message, WM_LBUTTONUP);
    EXPECT_EQ(recorded[2].message, WM_KEYDOWN);
    EXPECT_EQ(recorded[2].paramL & 0xFF, VK_SHIFT);
    EXPECT_EQ(recorded[3].paramL & 0xFF, 'A');
    EXPECT_EQ(recorded[4].message, WM_KEYUP);
    EXPECT_EQ(edit->text(), "A");
    EXPECT_EQ(journal.CursorPos(), g);
}

TEST_F(JournalTest, PlayedInputTypesAndClicksAndIsNotRecorded)
{
    journal.SetMode(TInputJournal::TMode::Record);
    const QPoint g = button->mapToGlobal(QPoint(4, 4));
    const auto x = static_cast<uint32_t>(g.x()), y = static_cast<uint32_t>(g.y());
    journal.Play({WM_LBUTTONDOWN, x, y, 0});
    journal.Play({WM_LBUTTONUP, x, y, 0});
    Settle();
    EXPECT_EQ(clicks, 1);
    edit->setFocus();
    Settle();
    for (TJournalEvent e : std::vector<TJournalEvent>{{WM_KEYDOWN, VK_SHIFT, 1, 0}, {WM_KEYDOWN, 'H', 1, 0},
                                                      {WM_KEYUP, 'H', 1, 0},       {WM_KEYUP, VK_SHIFT, 1, 0},
                                                      {WM_KEYDOWN, 'I', 1, 0},     {WM_KEYUP, 'I', 1, 0},
                                                      {WM_KEYDOWN, '1', 1, 0},     {WM_KEYUP, '1', 1, 0}})
        journal.Play(e);
    Settle();
    EXPECT_EQ(edit->text(), "Hi1");
    EXPECT_TRUE(recorded.empty());
}

TEST_F(JournalTest, PlaybackSwallowsRealInputButTheCancelKeys)
{
    journal.SetMode(TInputJournal::TMode::Play);
    RealClick(button);
    RealKey(edit, QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x");
    RealKey(edit, QEvent::KeyPress, Qt::Key_Escape, Qt::ControlModifier);
    RealKey(edit, QEvent::KeyPress, Qt::Key_Pause, Qt::ControlModifier);
    RealXBreak(edit, QEvent::KeyPress);
    RealXBreak(edit, QEvent::KeyRelease);
    Settle();
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(edit->text(), "");
    EXPECT_EQ(cancels, (std::vector<bool>{false, true, true}));
    // A played cancel key is no cancel.
    journal.Play({WM_KEYDOWN, VK_CONTROL, 1, 0});
    journal.Play({WM_KEYDOWN, VK_ESCAPE, 1, 0});
    journal.Play({WM_KEYUP, VK_ESCAPE, 1, 0});
    journal.Play({WM_KEYUP, VK_CONTROL, 1, 0});
    Settle();
    EXPECT_EQ(cancels.size(), 3u);
    journal.SetMode(TInputJournal::TMode::Off);
    RealClick(button);
    EXPECT_EQ(clicks, 1);
}

// A wheel turned over a window is input like the others: it moves the pointer the journal
// follows, is never recorded (a recorded event has no room for its delta) and is swallowed
// during a playback.
TEST_F(JournalTest, AWheelIsFollowedButNeverRecorded)
{
    QSpinBox* spin = new QSpinBox(&form);
    form.layout()->addWidget(spin);
    Settle();
    const struct {
        TInputJournal::TMode mode;
        bool turns;   // the spin box sees the wheel
    } cases[] = {{TInputJournal::TMode::Off, true}, {TInputJournal::TMode::Record, true}, {TInputJournal::TMode::Play, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        journal.SetMode(c.mode);
        spin->setValue(0);
        RealWheel(spin, 120);
        Settle();
        EXPECT_EQ(journal.CursorPos(), spin->mapToGlobal(QPoint(6, 3)));
        EXPECT_EQ(spin->value(), c.turns ? 1 : 0);
        EXPECT_TRUE(recorded.empty());
        journal.SetMode(TInputJournal::TMode::Off);
        RealMouse(button, QEvent::MouseMove, Qt::NoButton, Qt::NoButton);   // away again
    }
}

TEST_F(JournalTest, TheTimerRunsInsideModalLoops)
{
    int due = 0;
    QEventLoop modal;
    journal.OnDue = [&] {
        if (++due < 3) journal.ScheduleIn(5);
        else modal.quit();
    };
    QTimer::singleShot(0, [&] {
        journal.ScheduleIn(5);
        modal.exec(QEventLoop::DialogExec);
    });
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, &modal, &QEventLoop::quit);
    guard.start(5000);
    Settle();
    while (due < 3 && guard.isActive()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    EXPECT_EQ(due, 3);
}
