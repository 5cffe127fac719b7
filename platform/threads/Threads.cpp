#include "platform/threads/Threads.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSocketNotifier>

#include <algorithm>
#include <deque>
#include <exception>
#include <memory>
#include <vector>

#include <sys/eventfd.h>
#include <unistd.h>

uint64_t MillisecondClock()
{
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

bool TSteadyClock::WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv, uint64_t deadline,
                             const std::function<bool()>& wake)
{
    if (deadline == kNoDeadline) {
        cv.wait(lock, wake);
        return true;
    }
    const uint64_t now = MillisecondClock();
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(deadline > now ? deadline - now : 0);
    return cv.wait_until(lock, until, wake);
}

TClock& SteadyClock()
{
    static TSteadyClock clock;
    return clock;
}

bool TManualClock::WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv, uint64_t deadline,
                             const std::function<bool()>& wake)
{
    std::multiset<uint64_t>::iterator mine;
    {
        std::lock_guard g(waitersLock_);
        mine = deadlines_.insert(deadline);
    }
    // Advance() knows no condition variables, so look at the hands often.
    while (!wake() && now_.load() < deadline) cv.wait_for(lock, std::chrono::milliseconds(1));
    const bool woke = wake();
    std::lock_guard g(waitersLock_);
    deadlines_.erase(mine);
    return woke;
}

std::vector<uint64_t> TManualClock::Deadlines() const
{
    std::lock_guard g(waitersLock_);
    return {deadlines_.begin(), deadlines_.end()};
}

// --- The synchronisation queue -------------------------------------------------------------

namespace {

struct TCall {
    threads::TOwner owner;
    std::function<void()> fn;
    bool done = false;
    bool ran = false;
    std::exception_ptr error;
};
using TCallPtr = std::shared_ptr<TCall>;

class TSyncQueue {
public:
    static TSyncQueue& Instance()
    {
        // Never destroyed: worker threads may still look at it while the program ends.
        static TSyncQueue* queue = new TSyncQueue;
        return *queue;
    }

    bool IsGui() const { return std::this_thread::get_id() == gui_; }

    // Null when skip() says so.
    TCallPtr Post(threads::TOwner owner, std::function<void()> fn, const std::function<bool()>& skip = {})
    {
        auto call = std::make_shared<TCall>();
        call->owner = owner;
        call->fn = std::move(fn);
        {
            std::lock_guard g(m_);
            if (skip && skip()) return nullptr;
            pending_.push_back(call);
        }
        changed_.notify_all();
        if (wake_ >= 0) {
            const uint64_t one = 1;
            [[maybe_unused]] const ssize_t n = ::write(wake_, &one, sizeof one);
        }
        return call;
    }

    void WaitDone(const TCallPtr& call)
    {
        std::unique_lock lock(m_);
        changed_.wait(lock, [&] { return call->done; });
    }

    bool Drain()
    {
        EnsureNotifier();
        bool any = false;
        for (;;) {
            TCallPtr call;
            {
                std::lock_guard g(m_);
                if (pending_.empty()) break;
                call = pending_.front();
                pending_.pop_front();
                running_.push_back(call);
            }
            any = true;
            std::exception_ptr error;
            try {
                call->fn();
            } catch (...) {
                error = std::current_exception();
            }
            {
                std::lock_guard g(m_);
                std::erase(running_, call);
                if (!call->done) {
                    call->ran = true;
                    call->error = error;
                    call->done = true;
                }
                call->fn = nullptr;
                ++generation_;
            }
            changed_.notify_all();
        }
        return any;
    }

    void Cancel(threads::TOwner owner)
    {
        std::vector<TCallPtr> dropped;  // their functions are freed outside the lock
        {
            std::lock_guard g(m_);
            for (auto it = pending_.begin(); it != pending_.end();) {
                if ((*it)->owner == owner) {
                    (*it)->done = true;
                    dropped.push_back(*it);
                    it = pending_.erase(it);
                } else {
                    ++it;
                }
            }
            for (const TCallPtr& call : running_)
                if (call->owner == owner) call->done = true;
            ++generation_;
        }
        changed_.notify_all();
    }

    // GUI thread: drains the queue until done() holds. done() is asked outside the lock;
    // whoever makes it true outside a call of the queue must call Notify() afterwards. A
    // change counted after the look wakes the wait, so none is missed.
    void DrainUntil(const std::function<bool()>& done)
    {
        for (;;) {
            uint64_t seen;
            {
                std::lock_guard g(m_);
                seen = generation_;
            }
            if (done()) return;
            {
                std::unique_lock lock(m_);
                changed_.wait(lock, [&] { return generation_ != seen || !pending_.empty(); });
            }
            Drain();
        }
    }

    std::mutex& Mutex() { return m_; }
    void Notify()
    {
        {
            std::lock_guard g(m_);
            ++generation_;
        }
        changed_.notify_all();
    }

private:
    TSyncQueue() : gui_(std::this_thread::get_id()) { EnsureNotifier(); }

    // The event loop drains the queue when the eventfd is written to.
    void EnsureNotifier()
    {
        if (notifier_ || !IsGui()) return;
        QCoreApplication* app = QCoreApplication::instance();
        if (!app) return;
        if (wake_ < 0) wake_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        if (wake_ < 0) return;
        notifier_ = new QSocketNotifier(wake_, QSocketNotifier::Read, app);
        QObject::connect(notifier_.data(), &QSocketNotifier::activated, app, [this] {
            uint64_t count = 0;
            [[maybe_unused]] const ssize_t n = ::read(wake_, &count, sizeof count);
            Drain();
        });
    }

    std::mutex m_;
    std::condition_variable changed_;
    std::deque<TCallPtr> pending_;
    std::vector<TCallPtr> running_;
    uint64_t generation_ = 0;  // counts the changes a DrainUntil waits for
    const std::thread::id gui_;
    std::atomic<int> wake_{-1};
    QPointer<QSocketNotifier> notifier_;
};

}  // namespace

namespace threads {

bool IsGuiThread() { return TSyncQueue::Instance().IsGui(); }

bool Synchronize(TOwner owner, std::function<void()> fn, const std::function<bool()>& skip)
{
    TSyncQueue& q = TSyncQueue::Instance();
    if (q.IsGui()) {
        if (skip && skip()) return false;
        fn();
        return true;
    }
    const TCallPtr call = q.Post(owner, std::move(fn), skip);
    if (!call) return false;
    q.WaitDone(call);
    if (call->error) std::rethrow_exception(call->error);
    return call->ran;
}

void Queue(TOwner owner, std::function<void()> fn) { TSyncQueue::Instance().Post(owner, std::move(fn)); }

void CancelCalls(TOwner owner) { TSyncQueue::Instance().Cancel(owner); }

bool CheckSynchronize() { return TSyncQueue::Instance().Drain(); }

void SynchronizeUntil(const std::function<bool()>& done) { TSyncQueue::Instance().DrainUntil(done); }

void WakeSynchronize() { TSyncQueue::Instance().Notify(); }

}  // namespace threads

// --- Threads --------------------------------------------------------------------------------

TThread::TThread(bool createSuspended)
{
    TSyncQueue::Instance();  // the thread making the first thread is the GUI thread
    if (!createSuspended) Start();
}

TThread::~TThread()
{
    Terminate();
    if (finished_)
        Join();
    else
        WaitFor();
    threads::CancelCalls(this);
}

void TThread::Join()
{
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

void TThread::Start()
{
    if (started_) return;
    started_ = true;
    thread_ = std::thread([this] { Run(); });
}

void TThread::Run()
{
    try {
        Execute();
    } catch (...) {
        // A thread's failure has nowhere to go; it ends the thread only.
    }
    // Queued before the thread counts as finished, so a destructor that waits for it also
    // cancels this call.
    if (OnTerminate || FreeOnTerminate) {
        threads::Queue(this, [this] {
            if (OnTerminate) OnTerminate(this);
            if (FreeOnTerminate) delete this;
        });
    }
    TSyncQueue& q = TSyncQueue::Instance();
    {
        std::lock_guard g(q.Mutex());
        finished_ = true;
    }
    q.Notify();
}

int TThread::WaitFor()
{
    if (!started_) return ReturnValue;
    if (thread_.get_id() == std::this_thread::get_id()) return ReturnValue;  // from its own thread
    TSyncQueue& q = TSyncQueue::Instance();
    if (q.IsGui()) q.DrainUntil([this] { return finished_.load(); });
    Join();
    return ReturnValue;
}

// --- Waiting objects ------------------------------------------------------------------------

void TEvent::SetEvent()
{
    {
        std::lock_guard g(m_);
        signaled_ = true;
    }
    cv_.notify_one();
}

void TEvent::ResetEvent()
{
    std::lock_guard g(m_);
    signaled_ = false;
}

TWaitResult TEvent::WaitFor(uint32_t timeoutMs)
{
    std::unique_lock lock(m_);
    if (!cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return signaled_; }))
        return TWaitResult::wrTimeout;
    signaled_ = false;
    return TWaitResult::wrSignaled;
}

bool TSemaphore::Release(int count)
{
    {
        std::lock_guard g(m_);
        if (count < 1 || count > max_ - count_) return false;
        count_ += count;
    }
    cv_.notify_all();
    return true;
}

TWaitResult TSemaphore::WaitFor(uint32_t timeoutMs)
{
    std::unique_lock lock(m_);
    if (!cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return count_ > 0; }))
        return TWaitResult::wrTimeout;
    --count_;
    return TWaitResult::wrSignaled;
}

int TSemaphore::Count()
{
    std::lock_guard g(m_);
    return count_;
}
