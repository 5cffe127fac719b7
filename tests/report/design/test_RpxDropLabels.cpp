#include "DesignFixture.h"

#include "report/design/RpxDropLabels.h"
#include "report/design/RpxFastAskForm.h"
#include "report/ui/RpxDialogs.h"

#include "support/UserInput.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

using namespace mwtest;

namespace {

// Arial 10 at 96 pixels per inch with the default measuring device: 13 pixels high, 6 a
// character. Labels are 19 high; a short text variable label is 1 inch wide.
constexpr int kH = 19, kW = 96;

int CaptionWidth(const std::string& text) { return static_cast<int>(text.size()) * 6 + 15; }

// Chooses the entry of a drop-down list as a user does: a click opens the list, the arrow
// keys walk to the entry, Enter takes it.
void Choose(QComboBox* combo, const QString& text)
{
    const int row = combo->findText(text);
    ASSERT_GE(row, 0) << text.toStdString();
    Click(combo);
    QAbstractItemView* view = combo->view();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->isVisible(); }));
    QTest::keyClick(view, Qt::Key_Home);
    for (int i = 0; i < row; ++i) QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->isVisible(); }));
    ASSERT_EQ(combo->currentText(), text);
}

// A click on a radio button's indicator.
void ClickRadio(QRadioButton* b)
{
    ASSERT_NE(b, nullptr);
    QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, QPoint(8, b->height() / 2));
}

// Where a label is: band name, left, top, width.
struct Place {
    std::string band;
    int left, top, width;
    friend bool operator==(const Place&, const Place&) = default;
};

std::ostream& operator<<(std::ostream& os, const Place& p)
{
    return os << p.band << " (" << p.left << ", " << p.top << ") w " << p.width;
}

class DropTest : public DesignPage {
protected:
    void SetUp() override
    {
        tool = std::make_unique<TRpxDropLabels>(page);
        tool->Drop().Designer = &designer;
        RpxModalAnswerer = [this](QDialog& d) {
            ++asked;
            d.show();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(&d));
            auto* ask = dynamic_cast<TRpxFastAskForm*>(&d);
            EXPECT_NE(ask, nullptr);
            if (ask) answer(*ask);
            return d.result();
        };
    }
    void TearDown() override { RpxModalAnswerer = nullptr; }

    // Shows the tool with the variables listed (in this order) and the given ones selected,
    // as the user picks them: a click on the first, control-clicks on the others.
    void Pick(const std::vector<std::string>& names)
    {
        tool->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(tool.get()));
        // The list fills when its category is chosen.
        Choose(tool->VariableSelection(), "Expression");
        QListWidget* list = tool->RpxVariableList();
        bool first = true;
        for (const std::string& n : names) {
            const auto found = list->findItems(QString::fromStdString(n), Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1) << n;
            QTest::mouseClick(list->viewport(), Qt::LeftButton, first ? Qt::NoModifier : Qt::ControlModifier,
                              list->visualItemRect(found.front()).center());
            first = false;
        }
        ASSERT_EQ(tool->SelectedRows().size(), names.size());
    }
    std::vector<TDaxExprVar*> Vars(const std::vector<std::string>& names, TDaxDataTypes type = dtypeString)
    {
        std::vector<TDaxExprVar*> out;
        for (const std::string& n : names) out.push_back(&Expr(n, type));
        return out;
    }
    void CaptionBand(const char* start) { Choose(tool->TextBand(), start); }
    void Answer(TRpxFitAnswer a)
    {
        answer = [a](TRpxFastAskForm& f) {
            if (a == faCancel) {
                Click(f.CancelBtn());
                return;
            }
            ClickRadio(f.Option(a));
            Click(f.OkBtn());
        };
    }
    Place Where(const std::string& name)
    {
        TDaxLabel* l = LabelNamed(name);
        if (!l) return {"(none)", 0, 0, 0};
        return {l->Band()->Name(), l->Left, l->Top, l->Width};
    }
    int LabelsOnPage()
    {
        int n = 0;
        for (int i = 0; i < page.ComponentCount(); ++i) n += dynamic_cast<TDaxLabel*>(page.Components(i)) != nullptr;
        return n;
    }

    std::unique_ptr<TRpxDropLabels> tool;
    TDaxRecordingDesigner designer;
    std::function<void(TRpxFastAskForm&)> answer = [](TRpxFastAskForm&) { ADD_FAILURE() << "not asked"; };
    int asked = 0;
};

}  // namespace

TEST_F(DropTest, CaptionsAndCategoriesOfTheTool)
{
    Expr("Desc", dtypeString);
    DbVar("Loss");
    (new TDaxDateTimeVar(&page))->SetParent(&page);
    auto* sub = &DaxBuild::Band<TDaxSubDataBand>(page, "Parts", 20, page.Detail);
    TDaxDataSource other;
    other.SetName("PartsSource");
    sub->DataSource = &other;
    tool->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(tool.get()));
    EXPECT_EQ(tool->windowTitle(), "FAST Label Utility");
    EXPECT_EQ(tool->VariableSelection()->toolTip(), "Select Variables here");
    EXPECT_EQ(tool->TextBand()->toolTip(), "Text Field Destination");
    EXPECT_TRUE(tool->Button("sbHoriz")->isChecked());
    EXPECT_TRUE(tool->Button("sbTop")->isChecked());
    EXPECT_EQ(tool->Button("SpeedButton1")->toolTip(), "Undo last label drop");
    EXPECT_EQ(tool->width(), tool->findChild<QWidget*>("pnlUndo")->geometry().right() + 1 + 3);
    EXPECT_EQ(tool->y(), 0);

    // The categories are refilled with the list, so a data source added since shows.
    Choose(tool->VariableSelection(), "Expression");
    QStringList categories;
    for (int i = 0; i < tool->VariableSelection()->count(); ++i) categories << tool->VariableSelection()->itemText(i);
    EXPECT_EQ(categories, (QStringList{"All", "Expression", "Total", "System", "Manual DB", "LinesSource", "PartsSource"}));
    EXPECT_EQ(tool->TextBand()->itemText(0), "No Text Label");
    EXPECT_EQ(tool->TextBand()->itemText(3), "Detail");

    auto rows = [&] {
        QStringList out;
        for (int i = 0; i < tool->RpxVariableList()->count(); ++i) out << tool->RpxVariableList()->item(i)->text();
        return out;
    };
    Choose(tool->VariableSelection(), "LinesSource");
    EXPECT_EQ(rows(), QStringList{"Loss"});   // by field name
    Choose(tool->VariableSelection(), "Manual DB");
    EXPECT_EQ(rows(), QStringList{"dbLoss"});
    Choose(tool->VariableSelection(), "System");
    EXPECT_EQ(rows().size(), 1);
    Choose(tool->VariableSelection(), "All");
    EXPECT_EQ(rows().size(), 3);
    sub->DataSource = nullptr;
}

TEST_F(DropTest, ColumnsFromTwoToTen)
{
    Vars({"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L"});
    tool->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(tool.get()));
    Choose(tool->VariableSelection(), "Expression");
    QListWidget* list = tool->RpxVariableList();
    EXPECT_EQ(tool->Columns(), 3);
    EXPECT_EQ(list->height(), 12 * 13 / 3 + 13);
    for (int i = 0; i < 10; ++i) Click(tool->Button("SpeedButton2"));
    EXPECT_EQ(tool->Columns(), 10);
    EXPECT_EQ(list->height(), 12 * 13 / 10 + 13);
    for (int i = 0; i < 10; ++i) Click(tool->Button("SpeedButton3"));
    EXPECT_EQ(tool->Columns(), 2);
    EXPECT_EQ(list->height(), 12 * 13 / 2 + 13);
    EXPECT_EQ(tool->toolTip(), "Decreasing the number of columns by one.");
}

// The three layouts with the caption above (in its own band or in the labels' band) and to
// the left, dropped at (10, 5) of the detail band.
TEST_F(DropTest, LayoutsAndCaptionPositions)
{
    Vars({"Desc", "PartNo"});
    const int c1 = CaptionWidth("Desc"), c2 = CaptionWidth("PartNo");
    struct Case {
        const char* what;
        const char* layout;
        const char* position;
        const char* captionBand;
        std::vector<std::pair<std::string, Place>> places;
    };
    const Case cases[] = {
        {"horizontal, above, own band", "sbHoriz", "sbTop", "Page Header",
         {{"DescCaption", {"PageHeaderBand", 10, 5, c1}}, {"DescLabel", {"DetailBand", 10, 5, kW}},
          {"PartNoCaption", {"PageHeaderBand", 10 + kW + 10, 5, c2}}, {"PartNoLabel", {"DetailBand", 10 + kW + 10, 5, kW}}}},
        {"horizontal, above, same band", "sbHoriz", "sbTop", "Detail",
         {{"DescCaption", {"DetailBand", 10, 5, c1}}, {"DescLabel", {"DetailBand", 10, 5 + kH + 2, kW}},
          {"PartNoCaption", {"DetailBand", 116, 5, c2}}, {"PartNoLabel", {"DetailBand", 116, 26, kW}}}},
        {"horizontal, left", "sbHoriz", "sbLeft", "Detail",
         {{"DescCaption", {"DetailBand", 10, 5, c1}}, {"DescLabel", {"DetailBand", 10 + c1 + 2, 5, kW}},
          {"PartNoCaption", {"DetailBand", 10 + c1 + 2 + kW + 10, 5, c2}},
          {"PartNoLabel", {"DetailBand", 10 + c1 + 2 + kW + 10 + c2 + 2, 5, kW}}}},
        {"dividers, left", "sbHorizdiv", "sbLeft", "Detail",
         {{"DescCaption", {"DetailBand", 10, 5, c1}}, {"DescLabel", {"DetailBand", 51, 5, kW}},
          {"Divider", {"DetailBand", 157 - 4, 1, 2}},
          {"PartNoCaption", {"DetailBand", 157, 5, c2}}, {"PartNoLabel", {"DetailBand", 210, 5, kW}}}},
        {"dividers, above", "sbHorizdiv", "sbTop", "Page Header",
         {{"DescLabel", {"DetailBand", 10, 5, kW}}, {"Divider", {"DetailBand", 116 - 4, 1, 2}},
          {"PartNoCaption", {"PageHeaderBand", 116, 5, c2}}, {"PartNoLabel", {"DetailBand", 116, 5, kW}}}},
        {"vertical, left", "sbVert", "sbLeft", "Detail",
         {{"DescCaption", {"DetailBand", 10, 5, c1}}, {"DescLabel", {"DetailBand", 10 + c1 + 2, 5, kW}},
          {"PartNoCaption", {"DetailBand", 10, 5 + kH + 5, c2}}, {"PartNoLabel", {"DetailBand", 10 + c2 + 2, 29, kW}}}},
        {"vertical, above, same band", "sbVert", "sbTop", "Detail",
         {{"DescCaption", {"DetailBand", 10, 5, c1}}, {"DescLabel", {"DetailBand", 10, 26, kW}},
          {"PartNoCaption", {"DetailBand", 10, 5 + kH + 2 + kH + 5, c2}}, {"PartNoLabel", {"DetailBand", 10, 71, kW}}}},
        {"vertical, above, own band", "sbVert", "sbTop", "Page Header",
         {{"DescCaption", {"PageHeaderBand", 10, 5, c1}}, {"DescLabel", {"DetailBand", 10, 5, kW}},
          {"PartNoCaption", {"PageHeaderBand", 10, 29, c2}}, {"PartNoLabel", {"DetailBand", 10, 29, kW}}}},
    };
    Pick({"Desc", "PartNo"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Click(tool->Button(c.layout));
        Click(tool->Button(c.position));
        CaptionBand(c.captionBand);
        tool->DropOnBand(*page.Detail, 10, 5);
        for (const auto& [name, place] : c.places) EXPECT_EQ(Where(name), place) << name;
        EXPECT_EQ(tool->Drop().VarLabels.size(), 2u);
        EXPECT_EQ(tool->Drop().TextLabels.size(), 2u);
        EXPECT_EQ(tool->Drop().Dividers.size(), std::string(c.layout) == "sbHorizdiv" ? 1u : 0u);
        if (auto* caption = LabelNamed<TDaxTextLabel>("DescCaption")) {
            EXPECT_EQ(caption->Caption, "Desc");
        }
        Click(tool->Button("SpeedButton1"));   // undo, for the next case
        EXPECT_EQ(LabelsOnPage(), 0);
    }
    EXPECT_EQ(asked, 0);
    EXPECT_GT(designer.ModifiedCount, 0);
}

// Eight 1-inch labels dropped at (10, 5) without captions: pair k ends at 106 k, the last at
// 848, past the printable width.
class FitTest : public DropTest {
protected:
    void SetUp() override
    {
        DropTest::SetUp();
        width = page.PrintableWidthPx();
        ASSERT_GT(width, 2 * 106);
        ASSERT_LT(width, 848);
        names = {"V1", "V2", "V3", "V4", "V5", "V6", "V7", "V8"};
        Vars(names);
    }
    void DropAll(int x = 10)
    {
        Pick(names);
        tool->DropOnBand(*page.Detail, x, 5);
    }
    int width = 0;
    std::vector<std::string> names;
};

TEST_F(FitTest, TheQuestion)
{
    answer = [](TRpxFastAskForm& f) {
        EXPECT_EQ(f.windowTitle(), "Rpx Reporter");
        QStringList texts;
        for (QLabel* l : f.findChildren<QLabel*>()) texts << l->text();
        EXPECT_TRUE(texts.contains("Labels will be placed beyond the printable width."));
        EXPECT_TRUE(texts.contains("Choose one of the following options."));
        EXPECT_TRUE(f.Option(faWrap)->isChecked());
        EXPECT_EQ(f.Option(faShrink)->text(), "Shrink labels to fit?");
        EXPECT_EQ(f.Option(faDelete)->text(), "Delete excess labels?");
        EXPECT_EQ(f.Option(faIgnore)->text(), "Ignore?");
        const QRect cancel = f.CancelBtn()->geometry();
        EXPECT_EQ(f.width(), cancel.x() + cancel.width() + 15);
        EXPECT_EQ(f.height(), cancel.y() + cancel.height() + 15);
        EXPECT_TRUE(f.Cancelled());
        Click(f.OkBtn());   // Ok with the option selected at start: wrap
    };
    DropAll();
    EXPECT_EQ(asked, 1);
    EXPECT_GT(Where("V8Label").top, 5);   // wrapped
}

TEST_F(FitTest, WrapStartsANewRowBeforeTheEdge)
{
    Answer(faWrap);
    DropAll();
    EXPECT_EQ(asked, 1);
    const int perRow = width / 106;
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(names[i]);
        const Place p = Where(names[i] + "Label");
        EXPECT_EQ(p.left, 10 + i % perRow * 106);
        EXPECT_EQ(p.top, 5 + i / perRow * (kH + 5));
        EXPECT_LE(p.left + p.width, width);
    }
    // Undo takes the whole drop away.
    Click(tool->Button("SpeedButton1"));
    EXPECT_EQ(LabelsOnPage(), 0);
    EXPECT_TRUE(tool->Drop().VarLabels.empty());
}

TEST_F(FitTest, ShrinkNarrowsTheLabelsToTheEdge)
{
    Answer(faShrink);
    DropAll();
    const double factor = 1.0 - (848.0 - width) / (8.0 * kW);
    int x = 10, total = 0;
    for (const std::string& n : names) {
        SCOPED_TRACE(n);
        const Place p = Where(n + "Label");
        EXPECT_EQ(p.left, x);
        EXPECT_EQ(p.top, 5);
        EXPECT_NEAR(p.width, kW * factor, 1.0);
        EXPECT_GE(p.width, kW / 2);
        x += p.width + 10;
        total += p.width;
    }
    // The rounding remainders are carried, so the row ends at the edge.
    EXPECT_NEAR(x - 10, width, 1);
    EXPECT_NEAR(total, 8 * kW * factor, 1.0);
}

// A cut of more than three quarters: every label at half an inch.
TEST_F(FitTest, ShrinkByMoreThanThreeQuartersLeavesHalfInches)
{
    names.resize(4);
    Answer(faShrink);
    DropAll(width - 20);   // ends 394 pixels beyond the edge, of 384 pixels of labels
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Where(names[i] + "Label"), (Place{"DetailBand", width - 20 + i * 58, 5, 48}));
}

// Only check labels: nothing to narrow; they stay as they are (and nothing divides by 0).
TEST_F(FitTest, ShrinkWithOnlyCheckLabels)
{
    Vars({"Ok1", "Ok2", "Ok3"}, dtypeBoolean);
    names = {"Ok1", "Ok2", "Ok3"};
    Answer(faShrink);
    Pick(names);
    tool->DropOnBand(*page.Detail, width - 20, 5);
    EXPECT_EQ(asked, 1);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Where(names[i] + "Label"), (Place{"DetailBand", width - 20 + i * 22, 5, 12}));
    EXPECT_EQ(tool->Drop().CheckLabels.size(), 3u);
}

TEST_F(FitTest, DeleteRemovesFromTheFirstPastTheEdge)
{
    Answer(faDelete);
    DropAll();
    const int kept = width / 106;
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(names[i]);
        if (i < kept) {
            EXPECT_EQ(Where(names[i] + "Label"), (Place{"DetailBand", 10 + i * 106, 5, kW}));
        } else {
            EXPECT_EQ(LabelNamed(names[i] + "Label"), nullptr);
        }
    }
    EXPECT_EQ(LabelsOnPage(), kept);
    EXPECT_EQ(tool->Drop().VarLabels.size(), static_cast<size_t>(kept));
}

TEST_F(FitTest, IgnoreLeavesThemAsPlaced)
{
    Answer(faIgnore);
    DropAll();
    for (int i = 0; i < 8; ++i) EXPECT_EQ(Where(names[i] + "Label"), (Place{"DetailBand", 10 + i * 106, 5, kW}));
}

TEST_F(FitTest, CancelRemovesTheDrop)
{
    Answer(faCancel);
    DropAll();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(LabelsOnPage(), 0);
    EXPECT_TRUE(tool->Drop().VarLabels.empty());
    // Undo after a cancelled drop has nothing to do.
    Click(tool->Button("SpeedButton1"));
    EXPECT_EQ(LabelsOnPage(), 0);
}

TEST_F(FitTest, CloseBoxCancels)
{
    answer = [](TRpxFastAskForm& f) {
        ClickRadio(f.Option(faIgnore));
        CloseBox(&f);
    };
    DropAll();
    EXPECT_EQ(LabelsOnPage(), 0);
}

TEST_F(FitTest, OneLabelIsNeverAsked)
{
    names.resize(1);
    DropAll(width - 20);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(Where("V1Label"), (Place{"DetailBand", width - 20, 5, kW}));
}

// Undo frees only what is still on the page: a label the user deleted since is left alone.
TEST_F(FitTest, UndoAfterALabelWasDeleted)
{
    names.resize(2);
    DropAll();
    ASSERT_EQ(LabelsOnPage(), 2);
    delete LabelNamed("V1Label");
    Click(tool->Button("SpeedButton1"));
    EXPECT_EQ(LabelsOnPage(), 0);
}

// A data-field variable's caption is its field's display label, or the field's name when the
// dataset knows only its definition; other variables are captioned with their names.
TEST_F(DropTest, CaptionTexts)
{
    dataSet.AddField("Loss", ftFloat).Label = "Line loss";
    dataSet.AddDefinition("Part", ftString);
    DbVar("Loss");
    DbVar("Part");
    tool->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(tool.get()));
    Choose(tool->VariableSelection(), "LinesSource");
    QListWidget* list = tool->RpxVariableList();
    ASSERT_EQ(list->count(), 2);
    ClickItem(list, "Loss");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, list->visualItemRect(list->item(1)).center());
    ASSERT_EQ(tool->SelectedRows(), (std::set<int>{0, 1}));
    Choose(tool->TextBand(), "Page Header");
    tool->DropOnBand(*page.Detail, 0, 0);
    EXPECT_EQ(LabelNamed<TDaxTextLabel>("dbLossCaption")->Caption, "Line loss");
    EXPECT_EQ(Where("dbLossCaption").width, CaptionWidth("Line loss"));
    EXPECT_EQ(LabelNamed<TDaxTextLabel>("dbPartCaption")->Caption, "Part");
    // A control-click on a selected row takes it out of the selection.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, list->visualItemRect(list->item(0)).center());
    EXPECT_EQ(tool->SelectedRows(), (std::set<int>{1}));
}

TEST_F(DropTest, CloseButtonClosesTheTool)
{
    tool->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(tool.get()));
    Click(tool->Button1());
    EXPECT_FALSE(tool->isVisible());
}

// A variable removed after the list was filled is not dropped (and not touched).
TEST_F(DropTest, VariableGoneSinceTheListWasFilled)
{
    Vars({"Desc", "PartNo"});
    Pick({"Desc", "PartNo"});
    delete page.FindComponent("PartNo");
    tool->DropOnBand(*page.Detail, 0, 0);
    EXPECT_EQ(LabelsOnPage(), 1);
    EXPECT_NE(LabelNamed("DescLabel"), nullptr);
}

// The tool's menu (a right click on the tool): "Stay on top" toggles, "Hide" closes.
TEST_F(DropTest, MenuStaysOnTopAndHides)
{
    tool->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(tool.get()));
    // Picks the menu entry `downs` rows from the top once the menu is up.
    auto pickFromMenu = [this](int downs) {
        bool picked = false;
        QTimer::singleShot(0, [&picked, downs] {
            QWidget* menu = QApplication::activePopupWidget();
            if (!menu) return;   // no menu: the picked check below fails
            for (int i = 0; i <= downs; ++i) QTest::keyClick(menu, Qt::Key_Down);
            QTest::keyClick(menu, Qt::Key_Return);
            picked = true;
        });
        // A right click in the left margin of the tool, where no control lies: what the window
        // system sends for it.
        const QPoint margin(1, tool->height() / 2);
        ASSERT_EQ(tool->childAt(margin), nullptr);
        QContextMenuEvent click(QContextMenuEvent::Mouse, margin, tool->mapToGlobal(margin));
        QApplication::sendEvent(tool.get(), &click);
        ASSERT_TRUE(QTest::qWaitFor([&] { return picked; }));
    };
    pickFromMenu(0);
    EXPECT_TRUE(tool->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(tool->Stayontop1()->isChecked());
    EXPECT_TRUE(tool->isVisible());
    pickFromMenu(0);
    EXPECT_FALSE(tool->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(tool->Stayontop1()->isChecked());
    pickFromMenu(1);
    EXPECT_FALSE(tool->isVisible());
}
