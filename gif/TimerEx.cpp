#include "gif/TimerEx.h"

#include "platform/runtime/SysUtils.h"
#include "platform/ui/Forms.h"

#include <QTimer>

// The worker: sleeps Interval on the timer's clock, then delivers a tick. Paused while the
// timer is not running; a property change wakes it so that a new interval applies at once.
class TTimerEx::TTimerThread : public TThread {
public:
    explicit TTimerThread(TTimerEx& timer) : TThread(true), timer_(timer)
    {
        SetPriority(timer.ThreadPriority());
        Start();
    }
    // The timer has cancelled its calls after Stop(); no new one is queued, so the join needs
    // no draining (which would run other windows' calls in the middle of a destructor).
    ~TTimerThread() override
    {
        Stop();
        Join();
    }

    // Pauses or (re)starts the ticks; a start counts the interval from now.
    void SetRunning(bool running)
    {
        {
            std::lock_guard g(m_);
            running_ = running;
            since_ = timer_.clock_->NowMs();
            ++generation_;
        }
        cv_.notify_all();
    }
    bool IsRunning()
    {
        std::lock_guard g(m_);
        return running_;
    }
    void Stop()
    {
        {
            std::lock_guard g(m_);
            Terminate();
        }
        cv_.notify_all();
    }

protected:
    void Execute() override
    {
        TClock& clock = *timer_.clock_;
        std::unique_lock lock(m_);
        uint64_t seen = generation_ - 1;
        uint64_t last = 0;
        while (!Terminated()) {
            if (generation_ != seen) {
                seen = generation_;
                last = since_;
            }
            const auto changed = [&] { return Terminated() || generation_ != seen; };
            if (!running_) {
                cv_.wait(lock, changed);
                continue;
            }
            if (clock.WaitUntil(lock, cv_, last + timer_.interval_.load(), changed)) continue;
            last = clock.NowMs();
            lock.unlock();
            Deliver();
            lock.lock();
        }
    }

private:
    void Deliver()
    {
        if (timer_.threadSafe_) {
            try {
                timer_.Timer();
            } catch (...) {
                // Shown on the GUI thread, even when the timer is gone by then.
                threads::Queue(nullptr, [e = std::current_exception()] { Application->HandleException(e); });
            }
            return;
        }
        // Owned by the timer: freeing it cancels the call. A thread being stopped queues
        // nothing more, and a call queued before runs nothing.
        threads::Synchronize(
            &timer_,
            [this] {
                if (!Terminated()) timer_.Tick();
            },
            [this] { return Terminated(); });
    }

    TTimerEx& timer_;
    std::mutex m_;
    std::condition_variable cv_;
    bool running_ = false;
    uint64_t since_ = 0;       // when the ticks last started
    uint64_t generation_ = 0;  // counts property changes
};

namespace {

// A Qt timer may be released from inside its own timeout.
void ReleaseQtTimer(std::unique_ptr<QTimer>& timer)
{
    if (!timer) return;
    timer->stop();
    QObject::disconnect(timer.get(), nullptr, nullptr, nullptr);
    timer.release()->deleteLater();
}

}  // namespace

TTimerEx::TTimerEx(QObject* owner) : QObject(owner), clock_(&SteadyClock())
{
    thread_ = std::make_unique<TTimerThread>(*this);
}

TTimerEx::~TTimerEx()
{
    enabled_ = false;
    UpdateTimer();
    FreeThread();
    ReleaseQtTimer(windowTimer_);
}

void TTimerEx::SetEnabled(bool value)
{
    if (value == enabled_) return;
    enabled_ = value;
    UpdateTimer();
}

void TTimerEx::SetInterval(uint32_t ms)
{
    if (ms == interval_) return;
    interval_ = ms;
    UpdateTimer();
}

void TTimerEx::SetThreaded(bool value)
{
    if (value == threaded_) return;
    threaded_ = value;
    UpdateTimer();
}

void TTimerEx::SetThreadPriority(TThreadPriority value)
{
    if (value == priority_) return;
    priority_ = value;
    if (threaded_) UpdateTimer();
}

TNotifyEvent TTimerEx::OnTimer() const
{
    std::lock_guard g(handlerLock_);
    return onTimer_;
}

void TTimerEx::SetOnTimer(TNotifyEvent handler)
{
    {
        std::lock_guard g(handlerLock_);
        onTimer_ = std::move(handler);
    }
    UpdateTimer();
}

void TTimerEx::SetClock(TClock* clock)
{
    // The worker took the clock when it started: start a new one on this clock.
    const bool threaded = threaded_;
    FreeThread();
    clock_ = clock ? clock : &SteadyClock();
    if (threaded) thread_ = std::make_unique<TTimerThread>(*this);
    UpdateTimer();
}

bool TTimerEx::Running() const
{
    if (thread_) return thread_->IsRunning();
    return windowTimer_ && windowTimer_->isActive();
}

void TTimerEx::Timer()
{
    // A copy: the handler may free the timer, and with it the stored handler.
    // The worker may have found its deadline passed just as the interval went to 0 or the
    // timer was disabled; that tick reaches the GUI thread after the change and is dropped.
    const TNotifyEvent handler = OnTimer();
    if (enabled_ && interval_ != 0 && handler) handler(this);
}

void TTimerEx::Tick()
{
    try {
        Timer();
    } catch (...) {
        Application->HandleException(std::current_exception(), nullptr);
    }
}

void TTimerEx::FreeThread()
{
    if (!thread_) return;
    thread_->Stop();
    threads::CancelCalls(this);  // releases a worker waiting on this timer's tick
    thread_.reset();
}

void TTimerEx::UpdateTimer()
{
    if (thread_) thread_->SetRunning(false);
    if (windowTimer_) windowTimer_->stop();
    if (threaded_) {
        ReleaseQtTimer(windowTimer_);
        if (!thread_) thread_ = std::make_unique<TTimerThread>(*this);
    } else {
        FreeThread();
        if (!windowTimer_) {
            windowTimer_ = std::make_unique<QTimer>();
            windowTimer_->setTimerType(Qt::PreciseTimer);
            QObject::connect(windowTimer_.get(), &QTimer::timeout, this, [this] { Tick(); });
        }
    }
    if (interval_ == 0 || !enabled_ || !OnTimer()) return;
    if (threaded_) {
        thread_->SetPriority(priority_);
        thread_->SetRunning(true);
    } else {
        windowTimer_->start(static_cast<int>(std::min<uint32_t>(interval_, INT32_MAX)));
        if (!windowTimer_->isActive()) throw EOutOfResources("No More Timers Available");
    }
}
