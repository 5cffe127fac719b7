// Drives the program as a user does: mouse clicks and keys sent through the window system's
// queue, so the program (and its recorder) takes them for the user's own input. A script is a
// list of steps run one per tick from a timer that keeps running inside the program's modal
// loops; a step that finds nothing to act on yet is tried again on the next tick.
#pragma once

#include "platform/input/InputJournal.h"

#include <QPoint>
#include <QString>
#include <functional>
#include <string>
#include <vector>

class QWidget;

class TInputScript {
public:
    using TFind = std::function<QWidget*()>;

    explicit TInputScript(int tickMs = 80) : tickMs_(tickMs) {}

    // A step: true when done; false to try again on the next tick.
    void Step(std::string what, std::function<bool()> step);
    // Clicks the widget once it is shown and enabled (at `at`, its centre by default).
    void Click(std::string what, TFind find, QPoint at = QPoint(-1, -1));
    // Clicks into the edit, selects what it holds and types the text.
    void Type(std::string what, TFind find, const std::string& text);
    // Presses and releases a key (virtual-key code), with Shift / Ctrl held when asked.
    void Key(std::string what, uint8_t vk, bool shift = false, bool ctrl = false);
    // Lets time pass (ticks).
    void Wait(int ticks);

    // Runs the steps; false when one found nothing to act on for `patienceMs` (Failure() says
    // which) or the whole script took longer than `timeoutMs`.
    bool Run(int patienceMs = 10000, int timeoutMs = 120000);
    const std::string& Failure() const { return failure_; }

    // Input as the user sends it (used by the steps; tests use them alone too).
    static void SendClick(QWidget* w, QPoint at = QPoint(-1, -1));
    static void SendKey(uint8_t vk, bool down);
    static void SendText(const std::string& text);

private:
    struct TStep {
        std::string what;
        std::function<bool()> step;
    };
    int tickMs_;
    std::vector<TStep> steps_;
    std::string failure_;
};

// The visible modal window of class T, or the visible top-level one when none is modal.
template <class T>
T* ShownWindow();

// --- implementation of the template ------------------------------------------------------
#include <QApplication>
#include <QWidget>

template <class T>
T* ShownWindow()
{
    T* shown = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* t = dynamic_cast<T*>(w);
        if (!t || !t->isVisible()) continue;
        if (QApplication::activeModalWidget() == w) return t;
        shown = t;
    }
    return shown;
}
