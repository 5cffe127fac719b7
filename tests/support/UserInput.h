// Driving windows as a user does: mouse clicks at the rectangle of a button, list item, grid
// cell, radio button or tab, keys typed into the widget that has the focus, and the close
// box. Everything goes through the event loop of the real widgets; nothing here sets a
// property or calls a handler.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QRadioButton>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTabBar>
#include <QTableWidget>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace mwtest {

// A left click in the middle of w (or at `at`, in w's coordinates). As with a real pointer,
// the click lands on the innermost child under that point (an arrow of a spin button, say).
inline void Click(QWidget* w, QPoint at = QPoint(-1, -1))
{
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(w->isVisible()) << "clicked a hidden " << w->objectName().toStdString();
    if (at == QPoint(-1, -1)) at = w->rect().center();
    if (QWidget* child = w->childAt(at)) {
        at = child->mapFrom(w, at);
        w = child;
    }
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, at);
}

// The upper or lower arrow of a pair of spin arrows.
inline void ClickArrow(QWidget* spin, bool up)
{
    Click(spin, QPoint(spin->width() / 2, up ? spin->height() / 4 : spin->height() * 3 / 4));
}

// What a mouse sends for a double click: press, release, the double click (in place of the
// second press) and its release. QTest's double click alone lacks the first press, which
// item views need to know what was double-clicked.
inline void DoubleClick(QWidget* w, QPoint at)
{
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(w, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, at);
}

// A click on the list item shown with exactly this text (scrolled into view first, as a user
// scrolls to it).
inline void ClickItem(QListWidget* list, const QString& text)
{
    const auto found = list->findItems(text, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << "no single item " << text.toStdString();
    list->scrollToItem(found.front());
    Click(list->viewport(), list->visualItemRect(found.front()).center());
}

inline void ClickItem(QListWidget* list, int row)
{
    ASSERT_GE(row, 0);
    ASSERT_LT(row, list->count());
    ClickItem(list, list->item(row)->text());
}

inline void ClickCell(QTableWidget* grid, int row, int col)
{
    grid->scrollToItem(grid->item(row, col));
    Click(grid->viewport(), grid->visualItemRect(grid->item(row, col)).center());
}

inline void DoubleClickCell(QTableWidget* grid, int row, int col)
{
    grid->scrollToItem(grid->item(row, col));
    DoubleClick(grid->viewport(), grid->visualItemRect(grid->item(row, col)).center());
}

inline QString WithoutAccel(QString s) { return s.remove('&'); }

// The button inside `box` (a radio group, say) whose caption reads `caption`.
inline QAbstractButton* ButtonIn(QWidget* box, const QString& caption)
{
    for (QAbstractButton* b : box->findChildren<QAbstractButton*>())
        if (WithoutAccel(b->text()) == caption) return b;
    ADD_FAILURE() << "no button " << caption.toStdString() << " in " << box->objectName().toStdString();
    return nullptr;
}

// A radio button or check box takes a click only on its mark or caption, not on the empty
// rest of its width: the click lands in the middle of what the user sees.
inline void ClickButton(QWidget* box, const QString& caption)
{
    QAbstractButton* b = ButtonIn(box, caption);
    if (!b) return;
    QPoint at = b->rect().center();
    if (qobject_cast<QRadioButton*>(b) || qobject_cast<QCheckBox*>(b)) {
        const int text = b->fontMetrics().horizontalAdvance(WithoutAccel(b->text()));
        at.setX(std::min(at.x(), b->height() + 4 + text / 2));  // past the mark, mid-caption
    }
    Click(b, at);
}

inline void ClickTab(QTabBar* bar, int index) { Click(bar, bar->tabRect(index).center()); }

// Typed into w as a user replaces a field: a click into it, Home, Shift+End, then the keys.
inline void TypeInto(QWidget* w, const QString& keys)
{
    Click(w);
    QTest::keyClick(w, Qt::Key_Home);
    QTest::keyClick(w, Qt::Key_End, Qt::ShiftModifier);
    QTest::keyClicks(w, keys);
}

// Chooses an entry of a drop-down list by typing the start of its text into it, as a user
// does with the list closed.
inline void TypeChoice(QComboBox* combo, const QString& start)
{
    Click(combo);
    // The click opened the list; Escape closes it again without choosing.
    if (QWidget* popup = QApplication::activePopupWidget()) QTest::keyClick(popup, Qt::Key_Escape);
    QTest::keyClicks(combo, start);
}

// The window's close box (the window manager sends a close event).
inline void CloseBox(QWidget* window)
{
    QCloseEvent e;
    QApplication::sendEvent(window, &e);
}

}  // namespace mwtest
