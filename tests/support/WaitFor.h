// Waiting in a test for what another thread, a timer or the window system does: the condition
// is looked at again and again until it holds or a generous deadline passes, and then the test
// fails saying what it waited for. Never a fixed pause: a busy machine only makes it slower.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>

#include <functional>
#include <string>
#include <thread>

namespace mwtest {

// Long enough for a machine whose every core is busy; a test that hangs still fails well
// within its time limit.
inline constexpr int kWaitMs = 30000;

// Serves the Qt event queue (timers, posted events, paints) while it waits.
[[nodiscard]] inline bool WaitFor(const std::function<bool()>& done, const std::string& what, int ms = kWaitMs)
{
    const QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired()) {
            ADD_FAILURE() << "gave up after " << ms << " ms waiting for " << what;
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::yield();
    }
    return true;
}

// Leaves the event queue alone (for a condition that must come about without the GUI thread
// running anything queued for it).
[[nodiscard]] inline bool WaitWithoutEventsFor(const std::function<bool()>& done, const std::string& what,
                                               int ms = kWaitMs)
{
    const QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired()) {
            ADD_FAILURE() << "gave up after " << ms << " ms waiting for " << what;
            return false;
        }
        std::this_thread::yield();
    }
    return true;
}

}  // namespace mwtest
