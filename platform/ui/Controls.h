// Event plumbing shared by every control: the class library's event types, the guarded
// call through which every handler runs, and the focus events of windowed controls.
#pragma once

#include <QFocusEvent>
#include <QObject>
#include <functional>

// A handler bound to a component's event. Sender is the component that fired it.
using TNotifyEvent = std::function<void(QObject* Sender)>;

// Runs a handler so that no exception ever unwinds through Qt: whatever escapes goes to the
// application's default error box. Does nothing for an unassigned handler.
void CallEvent(const TNotifyEvent& event, QObject* sender);

// Runs any callable under the same guard.
template <class F>
void Guarded(F&& f);

namespace ui_detail {
void HandleCurrentException(QObject* sender);
}

template <class F>
void Guarded(F&& f)
{
    try {
        f();
    } catch (...) {
        ui_detail::HandleCurrentException(nullptr);
    }
}

// OnEnter/OnExit of a windowed control. They follow the focus moving between the controls of
// a window; a window being activated or deactivated, or a popup opening, fires neither.
template <class QtBase>
class TWinControl : public QtBase {
public:
    using QtBase::QtBase;

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

protected:
    static bool IsWindowSwitch(Qt::FocusReason r)
    {
        return r == Qt::ActiveWindowFocusReason || r == Qt::PopupFocusReason;
    }
    void focusInEvent(QFocusEvent* e) override
    {
        QtBase::focusInEvent(e);
        if (!IsWindowSwitch(e->reason())) CallEvent(OnEnter, this);
    }
    void focusOutEvent(QFocusEvent* e) override
    {
        QtBase::focusOutEvent(e);
        if (!IsWindowSwitch(e->reason())) CallEvent(OnExit, this);
    }
};
