#include "UiTestSupport.h"
#include "platform/runtime/SysUtils.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>
#include <vector>

namespace {

void ClickAt(QWidget* w)
{
    const QPointF p(2, 2);
    QMouseEvent press(QEvent::MouseButtonPress, p, w->mapToGlobal(p), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, p, w->mapToGlobal(p), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QApplication::sendEvent(w, &release);
}

TStringList List(std::initializer_list<const char*> items)
{
    TStringList l;
    for (const char* s : items) l.Add(s);
    return l;
}

}  // namespace

TEST(StdCtrls, EditFiresChangeOnlyWhenTheTextDiffers)
{
    TEdit e;
    int changes = 0;
    e.OnChange = [&](QObject* s) {
        EXPECT_EQ(s, &e);
        ++changes;
    };
    struct Case {
        const char* text;
        int changes;
    };
    const Case cases[] = {{"581.0", 1}, {"581.0", 1}, {"", 2}, {"", 2}, {"42", 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        e.SetText(c.text);
        EXPECT_EQ(e.Text(), c.text);
        EXPECT_EQ(changes, c.changes);
    }
}

TEST(StdCtrls, CheckedFromCodeFiresClickOnlyOnChange)
{
    QWidget parent;
    TCheckBox box(&parent);
    auto* r1 = new TRadioButton(&parent);
    auto* r2 = new TRadioButton(&parent);
    int boxClicks = 0, r1Clicks = 0, r2Clicks = 0;
    box.OnClick = [&](QObject*) { ++boxClicks; };
    r1->OnClick = [&](QObject*) { ++r1Clicks; };
    r2->OnClick = [&](QObject*) { ++r2Clicks; };

    box.SetChecked(false);
    EXPECT_EQ(boxClicks, 0);
    box.SetChecked(true);
    box.SetChecked(true);
    EXPECT_EQ(boxClicks, 1);
    box.click();  // the user unticks it
    EXPECT_EQ(boxClicks, 2);
    EXPECT_FALSE(box.Checked());

    r1->SetChecked(true);
    r1->SetChecked(true);
    EXPECT_EQ(r1Clicks, 1);
    r2->SetChecked(true);  // turns r1 off: only r2 reports
    EXPECT_EQ(r1Clicks, 1);
    EXPECT_EQ(r2Clicks, 1);
    EXPECT_FALSE(r1->Checked());
    r2->click();  // clicking the checked one changes nothing
    EXPECT_EQ(r2Clicks, 1);
}

TEST(StdCtrls, RadioGroupItemIndex)
{
    TRadioGroup g;
    g.SetItems(List({"Print Graph", "Print Data", "Print to Disk", "Create PDF"}));
    int clicks = 0;
    g.OnClick = [&](QObject*) { ++clicks; };
    struct Case {
        int set, index, clicks;
    };
    const Case cases[] = {{1, 1, 1}, {1, 1, 1}, {99, 3, 2}, {0, 0, 3}, {-5, -1, 3}, {2, 2, 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.set);
        g.SetItemIndex(c.set);
        EXPECT_EQ(g.ItemIndex(), c.index);
        EXPECT_EQ(clicks, c.clicks);
    }
}

TEST(StdCtrls, ComboAndListIndexesFromCodeFireNothing)
{
    TComboBox combo;
    TListBox list;
    combo.SetItems(List({"2 = 54-60 MHz", "3 = 60-66 MHz", "4 = 66-72 MHz"}));
    list.SetItems(List({"a", "b", "c"}));
    int comboChanges = 0, listClicks = 0;
    combo.OnChange = [&](QObject*) { ++comboChanges; };
    list.OnClick = [&](QObject*) { ++listClicks; };
    EXPECT_EQ(combo.ItemIndex(), -1);
    EXPECT_EQ(list.ItemIndex(), -1);

    struct Case {
        int set, expected;
    };
    const Case cases[] = {{1, 1}, {2, 2}, {3, -1}, {-7, -1}, {0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.set);
        combo.SetItemIndex(c.set);
        list.SetItemIndex(c.set);
        EXPECT_EQ(combo.ItemIndex(), c.expected);
        EXPECT_EQ(list.ItemIndex(), c.expected);
    }
    EXPECT_EQ(comboChanges, 0);
    EXPECT_EQ(listClicks, 0);

    // The user's choice fires.
    emit combo.activated(2);
    EXPECT_EQ(comboChanges, 1);
}

// What the handler sees is what the user chose: by mouse, by keys, once per change.
TEST(StdCtrls, ListClickFiresOncePerUserChangeWithTheChosenItem)
{
    TListBox list;
    list.SetItems(List({"Narrow cardioid", "Peanut, two panels", "Skull", "Trilobe"}));
    list.resize(200, 120);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    std::vector<int> seen;
    list.OnClick = [&](QObject* s) {
        EXPECT_EQ(s, &list);
        seen.push_back(list.ItemIndex());
    };
    auto clickRow = [&](int row) {
        const QRect r = list.visualItemRect(list.item(row));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    };

    list.SetItemIndex(0);
    clickRow(1);
    EXPECT_EQ(seen, std::vector<int>({1}));
    clickRow(1);  // the same item again is no change
    EXPECT_EQ(seen, std::vector<int>({1}));
    QTest::keyClick(&list, Qt::Key_Down);
    QTest::keyClick(&list, Qt::Key_Up);
    EXPECT_EQ(seen, std::vector<int>({1, 2, 1}));
    clickRow(3);
    EXPECT_EQ(seen, std::vector<int>({1, 2, 1, 3}));
    EXPECT_EQ(list.ItemIndex(), 3);

    list.SetItemIndex(0);  // code sets the index: nothing fires, and the next click counts
    list.SetItemIndex(-1);
    list.SetItems(List({"Peanut, two panels", "Skull"}));
    EXPECT_EQ(seen.size(), 4u);
    clickRow(0);
    EXPECT_EQ(seen, std::vector<int>({1, 2, 1, 3, 0}));
}

TEST(StdCtrls, EnterAndExitIgnoreWindowActivation)
{
    TEdit e;
    int enters = 0, exits = 0;
    e.OnEnter = [&](QObject*) { ++enters; };
    e.OnExit = [&](QObject*) { ++exits; };
    struct Case {
        QEvent::Type type;
        Qt::FocusReason reason;
        int enters, exits;
    };
    const Case cases[] = {
        {QEvent::FocusIn, Qt::ActiveWindowFocusReason, 0, 0}, {QEvent::FocusOut, Qt::ActiveWindowFocusReason, 0, 0},
        {QEvent::FocusOut, Qt::PopupFocusReason, 0, 0},       {QEvent::FocusIn, Qt::TabFocusReason, 1, 0},
        {QEvent::FocusOut, Qt::MouseFocusReason, 1, 1},       {QEvent::FocusIn, Qt::OtherFocusReason, 2, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.reason));
        QFocusEvent ev(c.type, c.reason);
        QApplication::sendEvent(&e, &ev);
        EXPECT_EQ(enters, c.enters);
        EXPECT_EQ(exits, c.exits);
    }
}

TEST(StdCtrls, LabelClicksWhenEnabledOnly)
{
    TLabel label;
    label.SetCaption("System Parameters");
    label.resize(120, 20);
    int clicks = 0;
    label.OnClick = [&](QObject*) { ++clicks; };
    ClickAt(&label);
    EXPECT_EQ(clicks, 1);
    label.setEnabled(false);
    ClickAt(&label);
    EXPECT_EQ(clicks, 1);
}

TEST(StdCtrls, HandlerExceptionNeverUnwindsThroughQt)
{
    ScriptedUi ui;
    ui.services.ExpectMessage(IDOK, "Abstract Error");
    ui.services.ExpectMessage(IDOK, "no such file");
    TSpeedButton sb;
    sb.OnClick = [](QObject*) { AbstractError(); };
    TCheckBox cb;
    cb.OnClick = [](QObject*) { throw EFOpenError("no such file"); };
    EXPECT_NO_THROW(sb.click());
    EXPECT_NO_THROW(cb.SetChecked(true));
    EXPECT_TRUE(cb.Checked());
}

TEST(StdCtrls, MemoLinesAndSpeedButtonHints)
{
    TMemo memo;
    memo.SetLines(List({"First paragraph.", "\r", "Second paragraph."}));
    const TStringList lines = memo.Lines();
    ASSERT_EQ(lines.Count(), 3);
    EXPECT_EQ(lines[0], "First paragraph.");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "Second paragraph.");
    memo.Clear();
    EXPECT_EQ(memo.Lines().Count(), 0);

    TSpeedButton sb;
    sb.SetHint("Azimuth Pattern\r\nComparison Utility");
    EXPECT_EQ(sb.Hint(), "Azimuth Pattern\r\nComparison Utility");
    EXPECT_EQ(sb.toolTip(), QString("Azimuth Pattern\nComparison Utility"));
    EXPECT_TRUE(sb.Flat());
}
