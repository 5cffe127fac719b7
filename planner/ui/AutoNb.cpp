#include "planner/ui/AutoNb.h"

#include "platform/runtime/SysUtils.h"
#include "platform/ui/ExtCtrls.h"

#include <map>

namespace {

std::map<std::string, TFormClass>& Registry()
{
    static std::map<std::string, TFormClass> classes;
    return classes;
}

}  // namespace

void RegisterFormClass(const std::string& name, TFormClass create) { Registry()[UpperCase(name)] = std::move(create); }

TFormClass FindFormClass(const std::string& name)
{
    const auto it = Registry().find(UpperCase(name));
    return it == Registry().end() ? TFormClass{} : it->second;
}

// --- TNotebook -------------------------------------------------------------------

TNotebook::TNotebook(QWidget* parent) : QStackedWidget(parent) {}

TStringList TNotebook::Pages() const
{
    TStringList pages;
    for (int i = 0; i < count(); ++i) pages.Add(ToStd(widget(i)->windowTitle()));
    return pages;
}

void TNotebook::SetPageIndex(int index)
{
    if (index < 0 || index >= count() || index == currentIndex()) return;
    setCurrentIndex(index);
    CallEvent(OnPageChanged, this);
}

// --- TAutoNotebook -----------------------------------------------------------------

TAutoNotebook::TAutoNotebook(QWidget* parent) : TNotebook(parent) {}

TAutoNotebook::~TAutoNotebook()
{
    // Each panel goes back to its form first, so that its controls die with the form whose
    // handlers they call.
    for (TEntry& e : forms_) {
        if (!e.form) continue;
        if (e.panel) e.panel->setParent(e.form);
        delete e.form.data();
    }
    forms_.clear();
}

void TAutoNotebook::Loaded()
{
    forms_.resize(static_cast<std::size_t>(count()));
    ActivatePage(PageIndex());
}

bool TAutoNotebook::CanLeavePage()
{
    TForm* form = GetPageForm(PageIndex());
    return form ? form->CloseQuery() : true;
}

void TAutoNotebook::ActivatePage(int Index)
{
    if (!CanLeavePage()) return;
    CreatePageForm(Index);
    SetPageIndex(Index);
    // Told only when its page really is the one shown.
    if (Index != PageIndex()) return;
    if (auto* child = dynamic_cast<TChildForm*>(GetPageForm(Index))) child->PageShown();
}

void TAutoNotebook::CreatePageForm(int Index)
{
    if (Index < 0 || Index >= static_cast<int>(forms_.size()) || forms_[Index].form) return;
    const TFormClass create = FindFormClass(ToStd(widget(Index)->windowTitle()));
    if (!create) return;
    TForm* form = create(this);
    forms_[Index].form = form;
    if (auto* panel = dynamic_cast<TPanel*>(form->findChild<QWidget*>(QStringLiteral("AutoNBPanel")))) {
        panel->setParent(widget(Index));
        panel->move(0, 0);
        panel->show();
        forms_[Index].panel = panel;
    }
    if (auto* child = dynamic_cast<TChildForm*>(form)) child->InitPage(window());
}

TForm* TAutoNotebook::GetPageForm(int Index) const
{
    if (Index < 0 || Index >= static_cast<int>(forms_.size())) return nullptr;
    return forms_[Index].form;
}

void TAutoNotebook::SetPageForm(int Index, TForm* Form)
{
    if (Index < 0 || Index >= static_cast<int>(forms_.size())) return;
    forms_[Index].form = Form;
    forms_[Index].panel = nullptr;
}

void TAutoNotebook::NotifyAllPages()
{
    for (const TEntry& e : forms_)
        if (auto* child = dynamic_cast<TChildForm*>(e.form.data())) child->NotifyPage();
}

void TAutoNotebook::CancelAllPages()
{
    for (const TEntry& e : forms_)
        if (auto* child = dynamic_cast<TChildForm*>(e.form.data())) child->CancelPage();
}
