// Every test binary stops a test that runs too long: it names the test, says how long it ran,
// and ends the process, so a hang fails within the limit however many tests share the process.
// MW_TEST_LIMIT_S sets the limit in seconds (default 90).
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace {

// What the watchdog thread and the listener share. Never destroyed: the thread is never
// joined, and the process may end while it waits.
struct TWatch {
    std::mutex m;
    std::condition_variable cv;
    std::string name;
    std::chrono::steady_clock::time_point started;
    bool running = false;
    std::chrono::seconds limit{90};

    void Run()
    {
        std::unique_lock lock(m);
        for (;;) {
            if (!running) {
                cv.wait(lock);
                continue;
            }
            const auto since = started;
            if (cv.wait_until(lock, since + limit, [&] { return !running || started != since; })) continue;
            std::fprintf(stderr, "\n[ TIMEOUT  ] %s ran longer than %lld s: stopped\n", name.c_str(),
                         static_cast<long long>(limit.count()));
            std::fflush(stderr);
            std::_Exit(124);
        }
    }
};

TWatch* const gWatch = new TWatch;

class TWatchdog : public ::testing::EmptyTestEventListener {
public:
    TWatchdog()
    {
        if (const char* s = std::getenv("MW_TEST_LIMIT_S"); s && std::atoi(s) > 0)
            gWatch->limit = std::chrono::seconds(std::atoi(s));
        std::thread([] { gWatch->Run(); }).detach();
    }
    void OnTestStart(const ::testing::TestInfo& test) override
    {
        std::lock_guard lock(gWatch->m);
        gWatch->name = std::string(test.test_suite_name()) + "." + test.name();
        gWatch->started = std::chrono::steady_clock::now();
        gWatch->running = true;
        gWatch->cv.notify_all();
    }
    void OnTestEnd(const ::testing::TestInfo&) override
    {
        std::lock_guard lock(gWatch->m);
        gWatch->running = false;
        gWatch->cv.notify_all();
    }
};

// Registered before main runs; the listener list owns it.
[[maybe_unused]] const bool kWatching = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new TWatchdog);
    return true;
}();

}  // namespace
