#include "platform/ui/ExtCtrls.h"
#include "planner/ui/AutoNb.h"

#include <QPointer>
#include <gtest/gtest.h>

namespace {

// What the probe pages were told, in order.
std::vector<std::string> calls;

// A page form with its panel, which writes down every call it gets.
class TProbePage : public TChildForm {
public:
    explicit TProbePage(QWidget* owner) : TChildForm(owner)
    {
        panel = new TPanel(this);
        panel->setObjectName("AutoNBPanel");
        calls.push_back("create");
        ++made;
    }
    void InitPage(QWidget* Owner) override { calls.push_back(Owner == initOwner ? "init" : "init by another"); }
    void PageShown() override { calls.push_back("shown"); }
    void CancelPage() override { calls.push_back("cancel"); }
    void NotifyPage() override { calls.push_back("notify"); }

    TPanel* panel;
    static inline int made = 0;
    static inline QWidget* initOwner = nullptr;
};

// A plain form without a panel of that name.
class TNoPanelForm : public TForm {
public:
    explicit TNoPanelForm(QWidget* owner) : TForm(owner) { new TPanel(this); }
};

class AutoNotebook : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterFormClass<TProbePage>("TProbePage");
        RegisterFormClass<TNoPanelForm>("TNoPanelForm");
        calls.clear();
        TProbePage::made = 0;
        window = std::make_unique<TForm>();
        TProbePage::initOwner = window.get();
        nb = new TAutoNotebook(window.get());
        for (const char* caption : {"Blank", "TProbePage", "tprobepage", "TNoPanelForm", "TNothingThere"}) {
            auto* page = new QWidget;
            page->setWindowTitle(caption);
            nb->addWidget(page);
        }
        nb->OnPageChanged = [this](QObject*) { calls.push_back("changed " + std::to_string(nb->GetPageIndex())); };
        nb->Loaded();
    }

    std::unique_ptr<TForm> window;
    TAutoNotebook* nb = nullptr;
};

}  // namespace

TEST_F(AutoNotebook, MakesEachPageFormOnceAndTellsItEveryShowing)
{
    EXPECT_EQ(nb->GetPageIndex(), 0);
    EXPECT_EQ(nb->GetPageForm(0), nullptr);
    EXPECT_TRUE(calls.empty());

    nb->ActivatePage(1);
    EXPECT_EQ(calls, (std::vector<std::string>{"create", "init", "changed 1", "shown"}));
    auto* first = dynamic_cast<TProbePage*>(nb->GetPageForm(1));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->panel->parentWidget(), nb->PageObject(1)) << "the panel moves into its page";
    EXPECT_FALSE(first->isVisible()) << "the form itself is never shown";

    // The caption is looked up without regard to case; each page gets a form of its own.
    calls.clear();
    nb->ActivatePage(2);
    EXPECT_EQ(calls, (std::vector<std::string>{"create", "init", "changed 2", "shown"}));
    EXPECT_NE(nb->GetPageForm(2), first);

    calls.clear();
    nb->ActivatePage(1);
    nb->ActivatePage(1);  // the page already shown: told again, no change event
    EXPECT_EQ(calls, (std::vector<std::string>{"changed 1", "shown", "shown"}));
    EXPECT_EQ(nb->GetPageForm(1), first);
    EXPECT_EQ(TProbePage::made, 2);

    calls.clear();
    nb->NotifyAllPages();
    nb->CancelAllPages();
    EXPECT_EQ(calls, (std::vector<std::string>{"notify", "notify", "cancel", "cancel"}));
}

TEST_F(AutoNotebook, PagesWithoutAClassOrPanelStayEmpty)
{
    struct Case {
        int page;
        bool form;
    };
    const Case cases[] = {{3, true}, {4, false}, {0, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.page);
        nb->ActivatePage(c.page);
        EXPECT_EQ(nb->GetPageIndex(), c.page);
        EXPECT_EQ(nb->GetPageForm(c.page) != nullptr, c.form);
        EXPECT_TRUE(nb->PageObject(c.page)->children().isEmpty()) << "nothing became visible";
    }
    // Out of range: nothing is made and the page stays.
    nb->ActivatePage(5);
    nb->ActivatePage(-1);
    EXPECT_EQ(nb->GetPageIndex(), 0);
    EXPECT_EQ(nb->GetPageForm(5), nullptr);
    EXPECT_EQ(TProbePage::made, 0);
}

TEST_F(AutoNotebook, APageThatRefusesToCloseIsNotLeft)
{
    nb->ActivatePage(1);
    bool canLeave = false;
    nb->GetPageForm(1)->OnCloseQuery = [&](QObject*, bool& canClose) { canClose = canLeave; };
    calls.clear();
    nb->ActivatePage(3);
    EXPECT_EQ(nb->GetPageIndex(), 1);
    EXPECT_EQ(nb->GetPageForm(3), nullptr);
    EXPECT_TRUE(calls.empty());
    canLeave = true;
    nb->ActivatePage(3);
    EXPECT_EQ(nb->GetPageIndex(), 3);
}

TEST_F(AutoNotebook, FormsAndTheirPanelsGoWithTheNotebook)
{
    nb->ActivatePage(1);
    nb->ActivatePage(3);
    QPointer<TForm> page1 = nb->GetPageForm(1), page3 = nb->GetPageForm(3);
    QPointer<TPanel> panel = dynamic_cast<TProbePage*>(page1.data())->panel;
    window.reset();
    EXPECT_TRUE(page1.isNull());
    EXPECT_TRUE(page3.isNull());
    EXPECT_TRUE(panel.isNull());
}
