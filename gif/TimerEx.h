// A timer whose ticks come from a thread of its own or from the GUI thread's event loop.
//
// Threaded (the default), a worker thread sleeps Interval milliseconds and then delivers the
// tick: on the GUI thread through the synchronisation queue, or in the worker itself when
// ThreadSafe is set (OnTimer must then lock what it touches). Not threaded, a Qt timer on the
// GUI thread ticks. Properties are set on the GUI thread; the worker reads them as atomics.
// OnTimer may stop or free the timer; no tick arrives once Enabled is off or the timer is gone.
// An exception escaping OnTimer goes to the application's handler and ticking goes on.
#pragma once

#include "platform/threads/Threads.h"
#include "platform/ui/Controls.h"

#include <QObject>

#include <atomic>
#include <memory>
#include <mutex>

class QTimer;

class TTimerEx : public QObject {
public:
    explicit TTimerEx(QObject* owner = nullptr);
    ~TTimerEx() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    uint32_t Interval() const { return interval_; }
    void SetInterval(uint32_t ms);
    bool Threaded() const { return threaded_; }
    void SetThreaded(bool value);
    TThreadPriority ThreadPriority() const { return priority_; }
    void SetThreadPriority(TThreadPriority value);
    bool ThreadSafe() const { return threadSafe_; }
    void SetThreadSafe(bool value) { threadSafe_ = value; }
    TNotifyEvent OnTimer() const;
    void SetOnTimer(TNotifyEvent handler);

    // The clock the worker sleeps on (the steady clock unless a test puts in another). Set it
    // before the timer runs.
    void SetClock(TClock* clock);

    // Whether ticks are being produced now (thread running or Qt timer active).
    bool Running() const;

protected:
    // Calls OnTimer when Enabled and assigned.
    virtual void Timer();

private:
    class TTimerThread;
    void UpdateTimer();
    void FreeThread();
    void Tick();  // one tick on the GUI thread, guarded

    std::atomic<bool> enabled_{true};
    std::atomic<uint32_t> interval_{1000};
    std::atomic<bool> threaded_{true};
    std::atomic<TThreadPriority> priority_{TThreadPriority::tpNormal};
    std::atomic<bool> threadSafe_{false};
    mutable std::mutex handlerLock_;  // OnTimer, read by a thread-safe worker
    TNotifyEvent onTimer_;
    TClock* clock_;
    std::unique_ptr<TTimerThread> thread_;
    std::unique_ptr<QTimer> windowTimer_;
};
