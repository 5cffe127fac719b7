// Threads and the hand-over of work from them to the GUI thread.
//
// Worker threads never touch windows. What they want drawn or told runs on the GUI thread
// through the synchronisation queue: Synchronize() waits for the call, Queue() does not. The
// queue is drained by the Qt event loop and, alone, while the GUI thread waits for a thread
// to finish, so a worker waiting on the GUI thread never deadlocks a join. Calls carry an
// owner; CancelCalls(owner) drops the owner's pending calls and releases their waiters, so an
// object that dies takes its late calls with it.
//
// Qt Core only (no widgets); the queue is woken through an eventfd watched on the GUI thread,
// so no Qt object crosses threads.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <list>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

enum class TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

// Milliseconds of a steady clock since an arbitrary start; never goes back.
uint64_t MillisecondClock();

// A clock that threads sleep on. The steady clock is the program's; tests put a manual one in
// its place to step time by hand.
class TClock {
public:
    static constexpr uint64_t kNoDeadline = UINT64_MAX;
    virtual ~TClock() = default;
    virtual uint64_t NowMs() const = 0;
    // Waits on cv (lock held) until `wake` holds or the clock reaches deadline (kNoDeadline:
    // until `wake` holds). Returns wake().
    virtual bool WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                           uint64_t deadline, const std::function<bool()>& wake) = 0;
};

class TSteadyClock : public TClock {
public:
    uint64_t NowMs() const override { return MillisecondClock(); }
    bool WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv, uint64_t deadline,
                   const std::function<bool()>& wake) override;
};
TClock& SteadyClock();

// Time moves only when Advance() is called. A test advances it once the thread it means has
// taken its deadline, which Deadlines() shows.
class TManualClock : public TClock {
public:
    uint64_t NowMs() const override { return now_.load(); }
    void Advance(uint64_t ms) { now_ += ms; }
    bool WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv, uint64_t deadline,
                   const std::function<bool()>& wake) override;
    // The deadlines of the threads waiting on this clock now, earliest first.
    std::vector<uint64_t> Deadlines() const;

private:
    std::atomic<uint64_t> now_{0};
    mutable std::mutex waitersLock_;
    std::multiset<uint64_t> deadlines_;
};

// --- The synchronisation queue -------------------------------------------------------------

namespace threads {

using TOwner = const void*;

// The thread that made the first thread object (the program's GUI thread).
bool IsGuiThread();
// Runs fn on the GUI thread and waits for it; on the GUI thread it runs at once. Returns
// false when the call was cancelled before it ran (its owner is going away). `skip`, when
// given, is asked under the queue's lock just before the call is queued: true drops it. A
// thread that checks its stop flag there never queues a call after CancelCalls for it ran.
bool Synchronize(TOwner owner, std::function<void()> fn, const std::function<bool()>& skip = {});
// Hands fn to the GUI thread without waiting.
void Queue(TOwner owner, std::function<void()> fn);
// GUI thread: drops the owner's pending calls and releases whoever waits on them (a call of
// the owner that is running now counts as done for its waiter).
void CancelCalls(TOwner owner);
// GUI thread: runs the calls pending now; true when there were any.
bool CheckSynchronize();
// GUI thread: runs the calls as they come until done() holds, sleeping while none is
// pending. What the calls or a finishing thread change is seen at once; a thread that makes
// done() true in any other way calls WakeSynchronize() afterwards.
void SynchronizeUntil(const std::function<bool()>& done);
// Has SynchronizeUntil look at its condition again.
void WakeSynchronize();

}  // namespace threads

// --- Threads --------------------------------------------------------------------------------

// A thread running Execute(). Made suspended, it starts with Start(). Terminate() only asks:
// Execute() reads Terminated(). A derived class must stop its thread (Terminate and WaitFor)
// in its own destructor; the base destructor does it too but Execute() must not touch the
// derived part by then.
class TThread {
public:
    explicit TThread(bool createSuspended);
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    void Start();
    void Terminate() { terminated_ = true; }
    bool Terminated() const { return terminated_; }
    bool Finished() const { return finished_; }
    bool Started() const { return started_; }
    // Waits for Execute() to end; on the GUI thread the synchronisation queue is drained
    // meanwhile. Returns ReturnValue.
    int WaitFor();

    TThreadPriority Priority() const { return priority_; }
    void SetPriority(TThreadPriority p) { priority_ = p; }

    // The thread deletes itself on the GUI thread once Execute() ends (after OnTerminate).
    // Set before Start().
    bool FreeOnTerminate = false;
    // Runs on the GUI thread after Execute() ended.
    std::function<void(TThread*)> OnTerminate;

protected:
    virtual void Execute() = 0;
    // Joins without draining the synchronisation queue: for a thread that can no longer wait
    // on the GUI thread (its calls are cancelled and it queues no more).
    void Join();
    void Synchronize(std::function<void()> fn) { threads::Synchronize(this, std::move(fn)); }
    std::atomic<int> ReturnValue{0};

private:
    void Run();

    std::thread thread_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> finished_{false};
    std::atomic<TThreadPriority> priority_{TThreadPriority::tpNormal};
    bool started_ = false;
};

// --- Waiting objects ------------------------------------------------------------------------

enum class TWaitResult { wrSignaled, wrTimeout };

// An auto-reset event: one waiter passes per SetEvent.
class TEvent {
public:
    explicit TEvent(bool initiallySignaled = false) : signaled_(initiallySignaled) {}
    void SetEvent();
    void ResetEvent();
    TWaitResult WaitFor(uint32_t timeoutMs);

private:
    std::mutex m_;
    std::condition_variable cv_;
    bool signaled_;
};

// A counting semaphore with a ceiling.
class TSemaphore {
public:
    TSemaphore(int initial, int maximum) : count_(initial), max_(maximum) {}
    // Adds count (up to the maximum); false when that would pass it.
    bool Release(int count = 1);
    TWaitResult WaitFor(uint32_t timeoutMs);
    int Count();

private:
    std::mutex m_;
    std::condition_variable cv_;
    int count_;
    int max_;
};

// A list shared between threads: LockList() holds a re-entrant lock until UnlockList().
template <class T>
class TThreadList {
public:
    std::list<T>& LockList()
    {
        m_.lock();
        return items_;
    }
    void UnlockList() { m_.unlock(); }
    void Add(const T& item)
    {
        std::lock_guard g(m_);
        items_.push_back(item);
    }
    void Remove(const T& item)
    {
        std::lock_guard g(m_);
        items_.remove(item);
    }
    void Clear()
    {
        std::lock_guard g(m_);
        items_.clear();
    }
    size_t Count()
    {
        std::lock_guard g(m_);
        return items_.size();
    }

private:
    std::recursive_mutex m_;
    std::list<T> items_;
};
