#include "planner/controls/NuvNumericEdit.h"

#include "platform/runtime/SysUtils.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <random>

namespace {

struct Counts {
    int change = 0, valid = 0, invalid = 0, exit = 0;
};

// An edit with its events counted.
struct Edit {
    TNuvNumericEdit w;
    Counts n;
    Edit()
    {
        w.OnChange = [this](QObject* s) { EXPECT_EQ(s, &w); ++n.change; };
        w.OnValidChange = [this](QObject*) { ++n.valid; };
        w.OnInvalidEntry = [this](QObject*) { ++n.invalid; };
        w.OnExit = [this](QObject*) { ++n.exit; };
    }
    void Select(int start, int length) { w.setSelection(start, length); }
    void Caret(int pos) { w.setCursorPosition(pos); }
    void Type(const char* keys) { QTest::keyClicks(&w, keys); }
    void Key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(&w, k, m); }
    void FocusOut(Qt::FocusReason why = Qt::TabFocusReason)
    {
        QFocusEvent e(QEvent::FocusOut, why);
        QApplication::sendEvent(&w, &e);
    }
    std::string Text() const { return w.Text(); }
};

void Drop(QWidget* w, const QString& text, QPoint at)
{
    QMimeData mime;
    mime.setText(text);
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &drop);
    EXPECT_EQ(drop.dropAction(), Qt::CopyAction); // a source never loses its text to us
}

void Commit(QWidget* w, const QString& text)
{
    QInputMethodEvent e;
    e.setCommitString(text);
    QApplication::sendEvent(w, &e);
}

} // namespace

template <class T>
concept TakesFreeText = requires(T& e) { e.setText(QString()); };
static_assert(!TakesFreeText<TNuvNumericEdit>, "free text would bypass the mask");
static_assert(TakesFreeText<QLineEdit>);

TEST(NuvNumericEdit, StartsAsTheControlIsPublished)
{
    TNuvNumericEdit w;
    EXPECT_EQ(w.Text(), "0.00");
    EXPECT_EQ(w.width(), 73);
    EXPECT_EQ(w.Alignment(), TNuvNumericEdit::taRightJustify);
    EXPECT_TRUE(w.alignment() & Qt::AlignRight);
    EXPECT_EQ(w.Decimals(), 2);
    EXPECT_EQ(w.Version(), "1.00.08");
    w.SetVersion("9");
    EXPECT_EQ(w.Version(), "1.00.08");
    EXPECT_EQ(w.property("Decimals").toInt(), 2); // reachable from Designer files
    w.setProperty("Value", 2.5);
    EXPECT_EQ(w.Text(), "2.50");
}

TEST(NuvNumericEdit, TypingLikeACalculator)
{
    Edit e;
    e.w.selectAll();
    e.Type("12.5");
    EXPECT_EQ(e.Text(), "12.50");
    EXPECT_EQ(e.n.change, 3); // the separator only moves the caret
    EXPECT_DOUBLE_EQ(e.w.Value(), 12.5);

    e.Key(Qt::Key_End);
    e.Key(Qt::Key_Backspace); // the last 0 goes, a 0 comes in
    EXPECT_EQ(e.Text(), "12.50");
    e.Key(Qt::Key_Backspace);
    EXPECT_EQ(e.Text(), "12.00");
    e.Key(Qt::Key_Home);
    e.Key(Qt::Key_Delete);
    EXPECT_EQ(e.Text(), "2.00");
    e.Type("-");
    EXPECT_EQ(e.Text(), "2.00"); // no negative limit

    e.w.SetMinValue(-10);
    e.Type("-");
    EXPECT_EQ(e.Text(), "-2.00");
    e.Type("-");
    EXPECT_EQ(e.Text(), "2.00");
}

TEST(NuvNumericEdit, RefusedKeysKeepTheSelection)
{
    Edit e;
    e.w.SetValue(12.34);
    e.n = {};
    e.w.selectAll();
    for (const char* keys : {"a", " ", ",", "-", "e"}) {
        SCOPED_TRACE(keys);
        e.Type(keys);
        EXPECT_EQ(e.Text(), "12.34");
        EXPECT_EQ(e.w.selectedText(), "12.34");
    }
    // QLineEdit's own editing shortcuts never reach the text.
    for (const auto& [k, m] : {std::pair{Qt::Key_K, Qt::ControlModifier}, {Qt::Key_Backspace, Qt::ControlModifier},
                               {Qt::Key_Delete, Qt::ControlModifier}, {Qt::Key_U, Qt::ControlModifier},
                               {Qt::Key_Insert, Qt::ShiftModifier}}) {
        e.w.setCursorPosition(2);
        const QString before = e.w.text();
        QGuiApplication::clipboard()->setText("x");
        e.Key(k, m);
        EXPECT_EQ(e.w.text(), before);
    }
    EXPECT_EQ(e.n.change, 0);
}

TEST(NuvNumericEdit, DeletingASelectionChangesOnce)
{
    struct Case { const char* what; Qt::Key key; Qt::KeyboardModifiers mods; const char* end; };
    const Case cases[] = {
        {"Backspace", Qt::Key_Backspace, Qt::NoModifier, "12.00"},
        {"Delete", Qt::Key_Delete, Qt::NoModifier, "12.00"},
        {"Cut", Qt::Key_X, Qt::ControlModifier, "12.00"},
        {"digit", Qt::Key_7, Qt::NoModifier, "12.70"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Edit e;
        e.w.SetValue(12.34);
        e.n = {};
        e.Select(3, 2);
        e.Key(c.key, c.mods);
        EXPECT_EQ(e.Text(), c.end);
        EXPECT_EQ(e.n.change, 1);
    }
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "34");
}

TEST(NuvNumericEdit, ValueFromCodeChangesOnlyWhenTheTextDiffers)
{
    Edit e;
    e.w.SetMinValue(0);
    e.w.SetMaxValue(100);
    e.w.SetValue(12.5);
    e.w.SetValue(12.5);
    e.w.SetValue(12.501); // same text
    EXPECT_EQ(e.n.change, 1);
    EXPECT_EQ(e.n.valid, 1);
    e.w.SetValue(250);
    EXPECT_EQ(e.n.change, 2);
    EXPECT_EQ(e.n.valid, 1); // outside the limits
    EXPECT_THROW(e.w.SetValue(std::numeric_limits<double>::infinity()), EConvertError);
    EXPECT_EQ(e.Text(), "250.00");

    // Decimals re-format without OnChange; the value still reports a valid change.
    e.w.SetValue(12.26);
    e.n = {};
    e.w.SetDecimals(1);
    EXPECT_EQ(e.Text(), "12.3");
    e.w.SetDecimals(-4);
    EXPECT_EQ(e.w.Decimals(), 0);
    EXPECT_EQ(e.Text(), "12");
    e.w.SetDecimals(40);
    EXPECT_EQ(e.w.Decimals(), 9);
    EXPECT_EQ(e.Text(), "12.000000000");
    EXPECT_EQ(e.n.change, 0);
    EXPECT_EQ(e.n.valid, 3);
}

TEST(NuvNumericEdit, InvalidEntryOnlyOnLeaving)
{
    Edit e;
    e.w.SetDecimals(0);
    e.w.SetMinValue(50);
    e.w.SetMaxValue(2500);
    e.w.SetValue(1000);
    e.n = {};
    e.w.selectAll();
    e.Type("20");
    EXPECT_EQ(e.Text(), "20");
    EXPECT_EQ(e.n.change, 2);
    EXPECT_EQ(e.n.valid, 0);
    EXPECT_EQ(e.n.invalid, 0);
    e.FocusOut(Qt::ActiveWindowFocusReason); // another window took the focus
    e.FocusOut(Qt::PopupFocusReason);        // a menu opened
    EXPECT_EQ(e.n.invalid, 0);
    EXPECT_EQ(e.n.exit, 0);
    e.FocusOut();
    EXPECT_EQ(e.n.invalid, 1);
    EXPECT_EQ(e.n.exit, 1);

    e.w.SetValue(100);
    e.FocusOut();
    EXPECT_EQ(e.n.invalid, 1);

    // Equal limits switch the check off.
    e.w.SetMinValue(0);
    e.w.SetMaxValue(0);
    e.w.SetValue(-7);
    e.FocusOut();
    EXPECT_EQ(e.n.invalid, 1);
}

TEST(NuvNumericEdit, PasteDropAndInputMethodsTypeThroughTheRules)
{
    Edit e;
    e.w.show();
    QClipboard* cb = QGuiApplication::clipboard();

    e.w.selectAll();
    cb->setText("1a2");
    e.Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(e.Text(), "12.00");
    EXPECT_EQ(e.n.change, 1);

    e.w.selectAll();
    cb->setText("abc");
    e.w.PasteFromClipboard();
    EXPECT_EQ(e.Text(), "12.00");
    EXPECT_EQ(e.w.selectedText(), "12.00");

    e.w.selectAll();
    cb->setText("3.14159");
    e.w.PasteFromClipboard();
    EXPECT_EQ(e.Text(), "3.14");

    Drop(&e.w, "7", QPoint(e.w.width() / 2, e.w.height() / 2));
    EXPECT_TRUE(NuvNumericEdit::IsMaskText(e.Text(), 2)) << e.Text();
    Drop(&e.w, "hello", QPoint(2, 2));
    EXPECT_TRUE(NuvNumericEdit::IsMaskText(e.Text(), 2)) << e.Text();

    e.w.selectAll();
    Commit(&e.w, QString::fromUtf8("\xEF\xBC\x94\xEF\xBC\x95")); // full-width 4 5
    EXPECT_EQ(e.Text(), "45.00");
    Commit(&e.w, "x");
    EXPECT_EQ(e.Text(), "45.00");

    e.w.SetReadOnly(true);
    e.w.selectAll();
    cb->setText("9");
    e.w.PasteFromClipboard();
    e.Type("8");
    Commit(&e.w, "7");
    Drop(&e.w, "6", QPoint(2, 2));
    EXPECT_EQ(e.Text(), "45.00");
}

TEST(NuvNumericEdit, UndoSwapsWithTheLastEdit)
{
    Edit e;
    e.w.selectAll();
    e.Type("1");
    EXPECT_EQ(e.Text(), "1.00");
    e.Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(e.Text(), "0.00");
    e.Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(e.Text(), "1.00");
    EXPECT_EQ(e.n.change, 3);

    // Text written by the program ends what can be undone.
    e.w.selectAll();
    e.Type("5");
    e.w.SetDecimals(0);
    e.Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(e.Text(), "5");
}

TEST(NuvNumericEdit, DialogKeysGoToTheForm)
{
    QDialog dlg;
    auto* layout = new QVBoxLayout(&dlg);
    auto* edit = new TNuvNumericEdit(&dlg);
    auto* ok = new QPushButton("OK", &dlg);
    layout->addWidget(edit);
    layout->addWidget(ok);
    ok->setDefault(true);
    int clicks = 0, rejects = 0;
    QObject::connect(ok, &QPushButton::clicked, [&] { ++clicks; });
    QObject::connect(&dlg, &QDialog::rejected, [&] { ++rejects; });
    dlg.show();
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(clicks, 1);
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(rejects, 1);
    EXPECT_EQ(edit->Text(), "0.00");
}

// Every way in, mixed at random: the text keeps its mask and every change is reported.
TEST(NuvNumericEdit, TextNeverLeavesTheMask)
{
    Edit e;
    e.w.show();
    e.w.SetMinValue(-100);
    std::string lastText = e.Text();
    int expectedChanges = 0;
    e.w.OnChange = [&](QObject*) {
        ++expectedChanges;
        lastText = e.Text();
    };
    struct K { Qt::Key key; Qt::KeyboardModifiers mods; };
    const K keys[] = {
        {Qt::Key_0, {}}, {Qt::Key_1, {}}, {Qt::Key_5, {}}, {Qt::Key_9, {}}, {Qt::Key_Period, {}},
        {Qt::Key_Minus, {}}, {Qt::Key_Backspace, {}}, {Qt::Key_Delete, {}}, {Qt::Key_A, {}},
        {Qt::Key_Left, {}}, {Qt::Key_Right, {}}, {Qt::Key_Home, {}}, {Qt::Key_End, {}},
        {Qt::Key_Left, Qt::ShiftModifier}, {Qt::Key_Home, Qt::ShiftModifier}, {Qt::Key_A, Qt::ControlModifier},
        {Qt::Key_X, Qt::ControlModifier}, {Qt::Key_V, Qt::ControlModifier}, {Qt::Key_Z, Qt::ControlModifier},
        {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier}, {Qt::Key_K, Qt::ControlModifier},
        {Qt::Key_Backspace, Qt::ControlModifier}, {Qt::Key_Delete, Qt::ShiftModifier},
        {Qt::Key_Insert, Qt::ShiftModifier},
    };
    const char* clips[] = {"12", "-3.5", "abc", "9999999", ".25", "1e5", " 7 "};
    std::mt19937 rng(99);
    for (int decimals : {2, 0, 3}) {
        e.w.SetDecimals(decimals); // re-formats without OnChange
        lastText = e.Text();
        for (int i = 0; i < 1500; ++i) {
            const unsigned r = rng() % 40;
            if (r < 2) {
                QGuiApplication::clipboard()->setText(clips[rng() % std::size(clips)]);
            } else if (r == 2) {
                Commit(&e.w, clips[rng() % std::size(clips)]);
            } else if (r == 3) {
                Drop(&e.w, clips[rng() % std::size(clips)], QPoint(int(rng() % 70), 5));
            } else {
                const K& k = keys[rng() % std::size(keys)];
                e.Key(k.key, k.mods);
            }
            ASSERT_TRUE(NuvNumericEdit::IsMaskText(e.Text(), decimals)) << e.Text();
            ASSERT_EQ(e.Text(), lastText) << "the text changed without a change event";
        }
    }
    EXPECT_GT(expectedChanges, 100);
}
