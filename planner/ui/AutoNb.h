// The wizard's notebook. Each page caption names a registered form class; the form is made
// the first time its page is shown, and its panel "AutoNBPanel" moves into the page. Forms
// derived from TChildForm are told when they were made and each time their page shows.
#pragma once

#include "platform/runtime/Classes.h"
#include "platform/ui/Forms.h"

#include <QPointer>
#include <QStackedWidget>
#include <functional>
#include <string>
#include <vector>

// The base of the wizard's page forms. Every operation is empty here.
class TChildForm : public TForm {
public:
    explicit TChildForm(QWidget* owner = nullptr) : TForm(owner) {}

    // Once, right after the notebook made the form; Owner is the notebook's window.
    virtual void InitPage(QWidget* Owner) { (void)Owner; }
    // Every time the notebook shows the form's page.
    virtual void PageShown() {}
    // On every made page when the user confirms Cancel.
    virtual void CancelPage() {}
    // On every made page by NotifyAllPages.
    virtual void NotifyPage() {}
};

// Form classes by name, as the notebook looks them up. Names compare without regard to case.
using TFormClass = std::function<TForm*(QWidget* Owner)>;
void RegisterFormClass(const std::string& name, TFormClass create);
// The class registered under name, or an empty function.
TFormClass FindFormClass(const std::string& name);

template <class T>
void RegisterFormClass(const std::string& name)
{
    RegisterFormClass(name, [](QWidget* owner) -> TForm* { return new T(owner); });
}

// Pages stacked on each other, one shown at a time. A page's caption is its windowTitle.
class TNotebook : public QStackedWidget {
public:
    explicit TNotebook(QWidget* parent = nullptr);

    TStringList Pages() const;
    QWidget* PageObject(int index) const { return widget(index); }
    int PageIndex() const { return currentIndex(); }
    // Shows page index and fires OnPageChanged; an index out of range or the page already
    // shown changes nothing.
    void SetPageIndex(int index);

    TNotifyEvent OnPageChanged;
};

class TAutoNotebook : public TNotebook {
public:
    explicit TAutoNotebook(QWidget* parent = nullptr);
    ~TAutoNotebook() override;

    // After the layout was read: one empty entry per page, then the current page is
    // activated.
    void Loaded();
    // The current page's form may refuse to be left through its close query.
    virtual bool CanLeavePage();
    void ActivatePage(int Index);
    void CreatePageForm(int Index);
    int GetPageIndex() const { return PageIndex(); }
    TForm* GetPageForm(int Index) const;
    void SetPageForm(int Index, TForm* Form);
    void NotifyAllPages();
    void CancelAllPages();

private:
    struct TEntry {
        QPointer<TForm> form;
        QPointer<QWidget> panel;  // the form's AutoNBPanel, now in the page
    };
    std::vector<TEntry> forms_;
};
