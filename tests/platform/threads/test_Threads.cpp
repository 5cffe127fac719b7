#include "platform/threads/Threads.h"
#include "support/WaitFor.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

namespace {

// A thread running a function.
class TFnThread : public TThread {
public:
    explicit TFnThread(std::function<void(TFnThread&)> body, bool suspended = true)
        : TThread(true), body_(std::move(body))
    {
        if (!suspended) Start();
    }
    ~TFnThread() override
    {
        Terminate();
        WaitFor();
    }
    using TThread::Synchronize;

protected:
    void Execute() override { body_(*this); }

private:
    std::function<void(TFnThread&)> body_;
};

TEST(Threads, SynchronizedCallsRunOnTheGuiThreadThroughTheEventLoop)
{
    const auto gui = std::this_thread::get_id();
    std::atomic<int> onGui{0}, elsewhere{0};
    TFnThread t([&](TFnThread& self) {
        for (int i = 0; i < 3; ++i)
            self.Synchronize([&] { (std::this_thread::get_id() == gui ? onGui : elsewhere)++; });
    }, false);
    EXPECT_TRUE(mwtest::WaitFor([&] { return t.Finished(); }, "the thread to finish"));
    EXPECT_EQ(onGui, 3);
    EXPECT_EQ(elsewhere, 0);
    EXPECT_TRUE(threads::IsGuiThread());
}

TEST(Threads, WaitForDrainsTheQueueWithoutTheEventLoop)
{
    // The GUI thread joins a thread that needs it: the join runs the thread's calls itself.
    std::vector<int> order;
    TFnThread t([&](TFnThread& self) {
        for (int i = 1; i <= 5; ++i) self.Synchronize([&order, i] { order.push_back(i); });
    }, false);
    t.WaitFor();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_TRUE(t.Finished());
}

TEST(Threads, CancelledCallsNeverRunAndReleaseTheirWaiter)
{
    const int owner = 0;
    std::atomic<bool> ran{false}, posted{false};
    std::atomic<int> result{-1};
    // The queue asks `skip` under its lock just before it queues the call: once it has been
    // asked, the call is in the queue as soon as the lock is free, which CancelCalls takes.
    TFnThread t([&](TFnThread&) {
        result = threads::Synchronize(&owner, [&] { ran = true; }, [&] {
            posted = true;
            return false;
        }) ? 1 : 0;
    }, false);
    ASSERT_TRUE(mwtest::WaitWithoutEventsFor([&] { return posted.load(); }, "the call to be queued"));
    threads::CancelCalls(&owner);
    t.WaitFor();
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(ran);
}

TEST(Threads, AFailingSynchronizedCallFailsInTheThread)
{
    std::atomic<bool> caught{false};
    TFnThread t([&](TFnThread& self) {
        try {
            self.Synchronize([] { throw std::runtime_error("no"); });
        } catch (const std::runtime_error&) {
            caught = true;
        }
    }, false);
    t.WaitFor();
    EXPECT_TRUE(caught);
}

TEST(Threads, EndHandlerRunsOnTheGuiThreadAndFreeOnTerminateDeletes)
{
    static std::atomic<int> destroyed{0};
    destroyed = 0;  // the test may run more than once in one process
    struct TSelfFreeing : TThread {
        TSelfFreeing() : TThread(true) {}
        ~TSelfFreeing() override { ++destroyed; }
        void Execute() override {}
    };
    const auto gui = std::this_thread::get_id();
    bool endedOnGui = false;
    auto* t = new TSelfFreeing;
    t->FreeOnTerminate = true;
    t->OnTerminate = [&](TThread*) { endedOnGui = std::this_thread::get_id() == gui; };
    t->Start();
    EXPECT_TRUE(mwtest::WaitFor([&] { return destroyed == 1; }, "the thread to free itself"));
    EXPECT_TRUE(endedOnGui);
}

TEST(Threads, AThreadMadeSuspendedWaitsForStart)
{
    std::atomic<bool> ran{false};
    TFnThread t([&](TFnThread&) { ran = true; });
    EXPECT_FALSE(ran);
    EXPECT_FALSE(t.Started());
    t.Start();
    t.WaitFor();
    EXPECT_TRUE(ran);
}

TEST(Threads, AutoResetEventLetsOneWaiterPassPerSignal)
{
    TEvent e;
    EXPECT_EQ(e.WaitFor(0), TWaitResult::wrTimeout);
    e.SetEvent();
    EXPECT_EQ(e.WaitFor(0), TWaitResult::wrSignaled);
    EXPECT_EQ(e.WaitFor(5), TWaitResult::wrTimeout);
    e.SetEvent();
    e.ResetEvent();
    EXPECT_EQ(e.WaitFor(0), TWaitResult::wrTimeout);

    TFnThread t([&](TFnThread&) { e.SetEvent(); }, false);
    EXPECT_EQ(e.WaitFor(mwtest::kWaitMs), TWaitResult::wrSignaled);
}

TEST(Threads, SemaphoreCountsUpToItsCeiling)
{
    TSemaphore s(1, 2);
    EXPECT_TRUE(s.Release());
    EXPECT_FALSE(s.Release());  // past the ceiling
    EXPECT_FALSE(s.Release(0));
    EXPECT_EQ(s.Count(), 2);
    EXPECT_EQ(s.WaitFor(0), TWaitResult::wrSignaled);
    EXPECT_EQ(s.WaitFor(0), TWaitResult::wrSignaled);
    EXPECT_EQ(s.WaitFor(5), TWaitResult::wrTimeout);
}

TEST(Threads, ThreadListLockIsReentrant)
{
    TThreadList<int> list;
    std::list<int>& items = list.LockList();
    list.Add(1);  // takes the lock again on the same thread
    items.push_back(2);
    list.UnlockList();
    std::atomic<size_t> seen{0};
    TFnThread t([&](TFnThread&) {
        list.Add(3);
        seen = list.Count();
    }, false);
    t.WaitFor();
    EXPECT_EQ(seen, 3u);
    list.Remove(2);
    EXPECT_EQ(list.Count(), 2u);
}

TEST(Threads, ManualClockWakesSleepersAtTheirDeadline)
{
    TManualClock clock;
    std::mutex m;
    std::condition_variable cv;
    std::atomic<bool> woke{false};
    TFnThread t([&](TFnThread&) {
        std::unique_lock lock(m);
        clock.WaitUntil(lock, cv, 100, [] { return false; });
        woke = true;
    }, false);
    ASSERT_TRUE(mwtest::WaitWithoutEventsFor([&] { return clock.Deadlines() == std::vector<uint64_t>{100}; },
                                             "the sleeper to take its deadline"));
    clock.Advance(99);
    EXPECT_FALSE(woke);
    EXPECT_EQ(clock.Deadlines(), std::vector<uint64_t>{100});
    clock.Advance(1);
    t.WaitFor();
    EXPECT_TRUE(woke);
    EXPECT_EQ(clock.NowMs(), 100u);
}

TEST(Threads, SteadyClockNeverGoesBack)
{
    const uint64_t a = MillisecondClock();
    std::this_thread::sleep_for(std::chrono::milliseconds(15));
    const uint64_t b = MillisecondClock();
    EXPECT_GE(b - a, 14u);
}

}  // namespace
