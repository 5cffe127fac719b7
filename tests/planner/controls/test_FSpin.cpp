#include "planner/controls/FSpin.h"

#include "platform/ui/ScriptedUi.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QTest>
#include <QToolButton>

namespace {

struct Spin {
    TScriptedUiServices ui;
    TUiServicesScope scope{ui};
    TFSpinEdit w;
    int changes = 0;
    Spin(float minValue, float maxValue, float increment, int precision)
    {
        w.SetMinValue(minValue);
        w.SetMaxValue(maxValue);
        w.SetIncrement(increment);
        w.SetPrecision(precision);
        w.OnChange = [this](QObject* s) {
            EXPECT_EQ(s, &w);
            ++changes;
        };
        w.resize(80, 24);
        w.show();
    }
    QToolButton* Up() { return w.findChild<QToolButton*>("UpButton"); }
    QToolButton* Down() { return w.findChild<QToolButton*>("DownButton"); }
    void FocusOut()
    {
        QFocusEvent e(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(&w, &e);
    }
};

} // namespace

TEST(FSpinEdit, StartsWithItsButton)
{
    TFSpinEdit w;
    EXPECT_EQ(w.Text(), "0");
    EXPECT_EQ(w.Increment(), 1.0f);
    EXPECT_EQ(w.Precision(), 2);
    EXPECT_TRUE(w.EditorEnabled());
    ASSERT_NE(w.Button(), nullptr);
    EXPECT_EQ(w.Button()->parentWidget(), &w);
    w.resize(100, 30);
    w.show();
    EXPECT_EQ(w.Button()->width(), 15);
    EXPECT_LE(w.Button()->geometry().right(), w.width() - 1);
    EXPECT_GT(w.Button()->geometry().left(), w.width() - 20); // at the right edge
    EXPECT_GT(w.Button()->height(), 20);                      // over the full height
    w.resize(100, 2);
    EXPECT_GE(w.height(), w.minimumHeight());
    EXPECT_GT(w.minimumHeight(), QFontMetrics(w.font()).height());
}

TEST(FSpinEdit, ButtonsAndArrowsStepWithinTheLimits)
{
    Spin s(0, 10, 0.5f, 2);
    s.w.SetValue(9.75f);
    EXPECT_EQ(s.w.Text(), "9.75");
    QTest::mouseClick(s.Up(), Qt::LeftButton);
    EXPECT_EQ(s.w.Text(), "10.00");
    QTest::mouseClick(s.Up(), Qt::LeftButton);
    EXPECT_EQ(s.w.Text(), "10.00");
    EXPECT_EQ(s.changes, 2); // 9.75 and 10.00; the second click wrote the same text
    QTest::keyClick(&s.w, Qt::Key_Down);
    EXPECT_EQ(s.w.Text(), "9.50");
    QTest::mouseClick(s.Down(), Qt::LeftButton);
    EXPECT_EQ(s.w.Text(), "9.00");
    QTest::keyClick(&s.w, Qt::Key_Up);
    EXPECT_FLOAT_EQ(s.w.Value(), 9.5f);

    EXPECT_EQ(s.ui.Beeps(), 0);
    s.w.SetReadOnly(true);
    QTest::mouseClick(s.Up(), Qt::LeftButton);
    QTest::keyClick(&s.w, Qt::Key_Up);
    EXPECT_EQ(s.w.Text(), "9.50");
    EXPECT_EQ(s.ui.Beeps(), 2);
}

TEST(FSpinEdit, TypedValueIsClampedOnLeaving)
{
    Spin s(0, 10, 0.5f, 2);
    s.w.selectAll();
    QTest::keyClicks(&s.w, "12");
    EXPECT_EQ(s.w.Text(), "12");
    QTest::keyClicks(&s.w, "a ,e");
    EXPECT_EQ(s.w.Text(), "12");
    EXPECT_EQ(s.ui.Beeps(), 4); // each refused with a beep
    s.FocusOut();
    EXPECT_EQ(s.w.Text(), "10.00");

    // No limits: nothing to clamp. A text that is no number reads as MinValue.
    Spin free(0, 0, 1, 2);
    free.w.selectAll();
    QTest::keyClicks(&free.w, "-1-2");
    free.FocusOut();
    EXPECT_EQ(free.w.Text(), "-1-2");
    EXPECT_EQ(free.w.Value(), 0.0f);
    QTest::keyClick(&free.w, Qt::Key_Up);
    EXPECT_EQ(free.w.Text(), "1.00");
}

TEST(FSpinEdit, EditorDisabledTakesOnlySteps)
{
    Spin s(0, 100, 1, 1);
    s.w.SetEditorEnabled(false);
    s.w.SetValue(40);
    s.changes = 0;
    s.w.selectAll();
    QTest::keyClicks(&s.w, "7");
    QTest::keyClick(&s.w, Qt::Key_Backspace);
    QTest::keyClick(&s.w, Qt::Key_Delete);
    QGuiApplication::clipboard()->setText("5");
    QTest::keyClick(&s.w, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&s.w, Qt::Key_X, Qt::ControlModifier);
    s.w.PasteFromClipboard();
    EXPECT_EQ(s.w.Text(), "40.0");
    EXPECT_EQ(s.changes, 0);
    EXPECT_EQ(s.ui.Beeps(), 2); // the digit and Backspace
    QTest::keyClick(&s.w, Qt::Key_Up);
    QTest::mouseClick(s.Up(), Qt::LeftButton);
    EXPECT_EQ(s.w.Text(), "42.0");
    EXPECT_EQ(s.changes, 2);
}

TEST(FSpinEdit, PasteTakesWhatCouldBeTyped)
{
    Spin s(0, 0, 1, 2);
    s.w.selectAll();
    QGuiApplication::clipboard()->setText("1a2");
    QTest::keyClick(&s.w, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(s.w.Text(), "12");
    // QLineEdit's own paste (its menu, a caller) cannot bring in other characters either.
    QGuiApplication::clipboard()->setText("x");
    s.w.selectAll();
    s.w.paste();
    EXPECT_EQ(s.w.Text(), "12");
    // Nor drops and input methods.
    QMimeData mime;
    mime.setText("4x");
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&s.w, &drop);
    QInputMethodEvent ime;
    ime.setCommitString("e");
    QApplication::sendEvent(&s.w, &ime);
    EXPECT_EQ(s.w.Text(), "12");
    s.w.SetText("12");
    s.w.SetText("12");
    EXPECT_EQ(s.changes, 1); // the paste; writing the same text fires nothing
}
