#include "platform/ui/WindowIdentity.h"

#include "platform/ui/StdCtrls.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QVariant>
#include <QWidget>
#include <cxxabi.h>
#include <cstdlib>
#include <typeinfo>

std::string ControlClassName(const QWidget* w)
{
    if (!w) return {};
    const char* mangled = typeid(*w).name();
    int status = 0;
    char* demangled = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    std::string name = status == 0 && demangled ? demangled : mangled;
    std::free(demangled);
    // Our classes in a namespace, and the forms generated from layouts, keep their own name.
    if (const auto colon = name.rfind("::"); colon != std::string::npos) name.erase(0, colon + 2);
    return name;
}

std::string ControlText(const QWidget* w)
{
    if (!w) return {};
    if (w->isWindow() && !qobject_cast<const QMenu*>(w)) return ToStd(w->windowTitle());
    if (auto* b = qobject_cast<const QAbstractButton*>(w)) return ToStd(b->text());
    if (auto* l = qobject_cast<const QLabel*>(w)) return ToStd(l->text());
    if (auto* e = qobject_cast<const QLineEdit*>(w)) return ToStd(e->text());
    if (auto* c = qobject_cast<const QComboBox*>(w)) return ToStd(c->currentText());
    if (auto* g = qobject_cast<const QGroupBox*>(w)) return ToStd(g->title());
    if (auto* m = qobject_cast<const QMenu*>(w)) return ToStd(m->title());
    return {};
}

int32_t ControlTag(const QWidget* w)
{
    if (!w) return 0;
    const QVariant set = w->property("Tag");
    if (set.isValid()) return set.toInt();
    if (w->objectName().isEmpty()) return 0;
    // FNV-1a over "Window/name/name/...", kept positive and non-zero.
    std::string path;
    for (const QWidget* p = w; p; p = p->isWindow() ? nullptr : p->parentWidget()) {
        if (!p->objectName().isEmpty()) path = ToStd(p->objectName()) + "/" + path;
        if (p->isWindow()) path = ControlClassName(p) + "/" + path;
    }
    uint32_t h = 2166136261u;
    for (unsigned char c : path) {
        h ^= c;
        h *= 16777619u;
    }
    h &= 0x7fffffffu;
    return h ? static_cast<int32_t>(h) : 1;
}

QWidget* TWindowServices::Widget(THandle h)
{
    if (!h) return nullptr;
    for (QWidget* w : QApplication::allWidgets())
        if (Handle(w) == h) return w;
    return nullptr;
}

TWindowServices::THandle TWindowServices::WindowAt(int x, int y) const
{
    return Handle(QApplication::widgetAt(x, y));
}

std::string TWindowServices::ClassName(THandle h) const { return ControlClassName(Widget(h)); }
std::string TWindowServices::Text(THandle h) const { return ControlText(Widget(h)); }
int32_t TWindowServices::Tag(THandle h) const { return ControlTag(Widget(h)); }

bool TWindowServices::Origin(THandle h, int& x, int& y) const
{
    const QWidget* w = Widget(h);
    if (!w) return false;
    const QPoint p = w->mapToGlobal(QPoint(0, 0));
    x = p.x();
    y = p.y();
    return true;
}

TWindowServices::THandle TWindowServices::Parent(THandle h) const
{
    const QWidget* w = Widget(h);
    return w ? Handle(w->parentWidget()) : 0;
}

TWindowServices::THandle TWindowServices::ControlAt(THandle h, int x, int y) const
{
    const QWidget* w = Widget(h);
    return w ? Handle(w->childAt(w->mapFromGlobal(QPoint(x, y)))) : 0;
}

TWindowServices::THandle TWindowServices::ChildWithTag(THandle h, int32_t tag) const
{
    const QWidget* w = Widget(h);
    if (!w) return 0;
    for (const QWidget* c : w->findChildren<QWidget*>())
        if (c->isVisible() && ControlTag(c) == tag) return Handle(c);
    return 0;
}

void TWindowServices::TopLevelWindows(std::vector<THandle>& out) const
{
    for (const QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) out.push_back(Handle(w));
}

void TWindowServices::ChildWindows(THandle h, std::vector<THandle>& out) const
{
    const QWidget* w = Widget(h);
    if (!w) return;
    for (const QWidget* c : w->findChildren<QWidget*>())
        if (c->isVisible()) out.push_back(Handle(c));
}

bool TWindowServices::Exists(THandle h) const
{
    const QWidget* w = Widget(h);
    return w && w->isVisible();
}
