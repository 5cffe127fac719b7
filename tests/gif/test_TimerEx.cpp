#include "gif/TimerEx.h"

#include "platform/ui/Forms.h"
#include "support/WaitFor.h"

#include <QCoreApplication>
#include <QTimer>
#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>
#include <vector>

namespace {

// Serves events until done holds (a failure after a generous deadline).
bool PumpUntil(const std::function<bool()>& done, int ms = mwtest::kWaitMs)
{
    return mwtest::WaitFor(done, "the timer's condition", ms);
}

// Serves events until a Qt timer of the given interval, started now, has fired `times`
// times: a window timer of that interval that were still running would have fired too.
bool PumpForTicksOf(int intervalMs, int times)
{
    QTimer reference;
    int fired = 0;
    QObject::connect(&reference, &QTimer::timeout, [&] { ++fired; });
    reference.start(intervalMs);
    return PumpUntil([&] { return fired >= times; }, 20000);
}

// Runs what the timer's thread has handed to the GUI thread by now, without waiting.
void Deliver()
{
    threads::CheckSynchronize();
    QCoreApplication::processEvents();
}

std::vector<uint64_t> Waiting(uint64_t deadline) { return {deadline}; }

// A timer on a manual clock that counts its ticks and where they ran.
struct TimerFixture : ::testing::Test {
    TManualClock clock;
    std::unique_ptr<TTimerEx> timer = std::make_unique<TTimerEx>();
    std::atomic<int> ticks{0};
    std::atomic<bool> offGui{false};
    const std::thread::id gui = std::this_thread::get_id();

    void SetUp() override
    {
        timer->SetClock(&clock);
        timer->SetInterval(100);
        timer->SetOnTimer([this](QObject*) {
            if (std::this_thread::get_id() != gui) offGui = true;
            ++ticks;
        });
    }
    void TearDown() override { Application->OnException = nullptr; }
    // Serves the GUI thread until the timer's thread waits on the clock for exactly these
    // deadlines (none: it does not wait on the clock at all).
    bool WaitsFor(const std::vector<uint64_t>& deadlines)
    {
        return PumpUntil([&] { return clock.Deadlines() == deadlines; });
    }
    // Steps the clock one interval and waits for the tick it makes.
    bool Step(int expected)
    {
        clock.Advance(timer->Interval());
        return PumpUntil([&] { return ticks >= expected; });
    }
};

TEST_F(TimerFixture, ThreadedTicksArriveOnTheGuiThreadEachInterval)
{
    EXPECT_TRUE(timer->Running());
    ASSERT_TRUE(WaitsFor(Waiting(100))) << "the thread waiting for the first tick";
    clock.Advance(99);
    EXPECT_EQ(clock.Deadlines(), Waiting(100));
    Deliver();
    EXPECT_EQ(ticks, 0);
    clock.Advance(1);
    EXPECT_TRUE(PumpUntil([&] { return ticks == 1; }));
    EXPECT_TRUE(Step(2));
    EXPECT_TRUE(Step(3));
    EXPECT_FALSE(offGui);
}

TEST_F(TimerFixture, ThreadSafeTicksRunInTheWorker)
{
    timer->SetThreadSafe(true);
    // No event loop needed: the worker calls the handler itself. The clock moves once the
    // worker waits for its first tick.
    ASSERT_TRUE(mwtest::WaitWithoutEventsFor([&] { return clock.Deadlines() == Waiting(100); },
                                             "the worker to wait for its first tick"));
    clock.Advance(100);
    ASSERT_TRUE(mwtest::WaitWithoutEventsFor([&] { return ticks > 0; }, "the tick in the worker"));
    EXPECT_EQ(ticks, 1);
    EXPECT_TRUE(offGui);
}

TEST_F(TimerFixture, NoTicksWhileDisabledOrWithIntervalZero)
{
    struct Case {
        const char* what;
        std::function<void(TTimerEx&)> set, reset;
    };
    const Case cases[] = {
        {"disabled", [](TTimerEx& t) { t.SetEnabled(false); }, [](TTimerEx& t) { t.SetEnabled(true); }},
        {"interval 0", [](TTimerEx& t) { t.SetInterval(0); }, [](TTimerEx& t) { t.SetInterval(100); }},
        {"no handler", [](TTimerEx& t) { t.SetOnTimer(nullptr); }, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ticks = 0;
        c.set(*timer);
        EXPECT_FALSE(timer->Running());
        ASSERT_TRUE(WaitsFor({})) << "the thread off the clock";
        clock.Advance(1000);
        Deliver();
        EXPECT_TRUE(clock.Deadlines().empty());
        EXPECT_EQ(ticks, 0);
        if (c.reset) {
            c.reset(*timer);
            EXPECT_TRUE(Step(1));
        }
    }
}

TEST_F(TimerFixture, AnIntervalChangeDuringTheSleepAppliesAtOnce)
{
    // The new interval counts from the change, not from the end of the old sleep.
    timer->SetInterval(100000);
    ASSERT_TRUE(WaitsFor(Waiting(100000))) << "the thread in the long sleep";
    clock.Advance(50);
    timer->SetInterval(60);
    ASSERT_TRUE(WaitsFor(Waiting(110))) << "the thread waiting 60 ms from the change";
    clock.Advance(59);
    EXPECT_EQ(clock.Deadlines(), Waiting(110));
    Deliver();
    EXPECT_EQ(ticks, 0);
    clock.Advance(1);
    EXPECT_TRUE(PumpUntil([&] { return ticks == 1; }));
}

TEST_F(TimerFixture, StoppingFromInsideTheTickDeliversNoLateTick)
{
    timer->SetOnTimer([&](QObject*) {
        ++ticks;
        timer->SetEnabled(false);
    });
    EXPECT_TRUE(Step(1));
    ASSERT_TRUE(WaitsFor({})) << "the thread off the clock";
    for (int i = 0; i < 5; ++i) clock.Advance(100);
    Deliver();
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(timer->Running());
}

TEST_F(TimerFixture, FreeingFromInsideTheTickNeitherDeadlocksNorTicksAgain)
{
    timer->SetOnTimer([&](QObject*) {
        ++ticks;
        timer.reset();
    });
    EXPECT_TRUE(Step(1));
    EXPECT_EQ(timer, nullptr);
    EXPECT_TRUE(WaitsFor({})) << "the thread gone with the timer";
    clock.Advance(1000);
    Deliver();
    EXPECT_EQ(ticks, 1);
}

TEST_F(TimerFixture, SwitchingThreadedOffFromInsideTheTickKeepsTicking)
{
    timer->SetOnTimer([&](QObject*) {
        if (++ticks == 1) {
            timer->SetInterval(5);
            timer->SetThreaded(false);  // frees the thread delivering this very tick
        }
    });
    EXPECT_TRUE(Step(1));
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; }));  // Qt timer, real time
}

TEST_F(TimerFixture, ExceptionsInTheHandlerGoToTheApplicationAndTickingGoesOn)
{
    for (const bool threadSafe : {false, true}) {
        SCOPED_TRACE(threadSafe ? "thread-safe" : "synchronised");
        std::atomic<int> handled{0};
        ticks = 0;
        Application->OnException = [&](QObject*, std::exception_ptr e) {
            try {
                std::rethrow_exception(e);
            } catch (const std::runtime_error&) {
                ++handled;
            }
        };
        timer->SetThreadSafe(threadSafe);
        timer->SetOnTimer([&](QObject*) {
            ++ticks;
            throw std::runtime_error("tick failed");
        });
        EXPECT_TRUE(Step(1));
        EXPECT_TRUE(Step(2));
        EXPECT_TRUE(PumpUntil([&] { return handled == 2; }));
    }
}

TEST(TimerEx, WindowTimerTicksAndSwitchesBack)
{
    TTimerEx timer;
    std::atomic<int> ticks{0};
    std::atomic<bool> offGui{false};
    const auto gui = std::this_thread::get_id();
    timer.SetInterval(5);
    timer.SetOnTimer([&](QObject*) {
        ++ticks;
        if (std::this_thread::get_id() != gui) offGui = true;
    });
    timer.SetThreaded(false);
    EXPECT_TRUE(timer.Running());
    timer.SetThreadPriority(TThreadPriority::tpHighest);  // only stored while not threaded
    EXPECT_EQ(timer.ThreadPriority(), TThreadPriority::tpHighest);
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; }));
    timer.SetEnabled(false);
    EXPECT_FALSE(timer.Running());
    const int stopped = ticks;
    ASSERT_TRUE(PumpForTicksOf(5, 6)) << "six ticks of a reference timer";
    EXPECT_EQ(ticks, stopped);
    timer.SetEnabled(true);
    timer.SetThreaded(true);
    EXPECT_TRUE(PumpUntil([&] { return ticks >= stopped + 3; }));
    EXPECT_FALSE(offGui);
}

TEST(TimerEx, DefaultsAndAWindowTimerWithIntervalZeroIsIdle)
{
    TTimerEx timer;
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 1000u);
    EXPECT_TRUE(timer.Threaded());
    EXPECT_FALSE(timer.ThreadSafe());
    EXPECT_EQ(timer.ThreadPriority(), TThreadPriority::tpNormal);
    EXPECT_FALSE(timer.Running());  // no handler yet
    int ticks = 0;
    timer.SetOnTimer([&](QObject*) { ++ticks; });
    timer.SetThreaded(false);
    timer.SetInterval(0);
    EXPECT_FALSE(timer.Running());
    ASSERT_TRUE(PumpForTicksOf(1, 6)) << "six ticks of a reference timer";
    EXPECT_EQ(ticks, 0);
}

}  // namespace
