#include "app/TMain_Router.h"

#include "support/ThreadWindow.h"
#include "support/WaitUntil.h"

#include <condition_variable>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <mutex>
#include <string>
#include <vector>

namespace zentor {
namespace {

using ::testing::ElementsAre;

// What the window-side refreshes did, in order, and on which thread.
class RefreshLog
{
public:
    void add(const std::string& entry)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        entries_.push_back(entry);
        threads_.push_back(std::this_thread::get_id());
        changed_.notify_all();
    }
    // Waits, bounded, until `count` entries are there.
    bool waitFor(std::size_t count)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(5),
                                 [&] { return entries_.size() >= count; });
    }
    std::vector<std::string> entries()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return entries_;
    }
    std::vector<std::thread::id> threads()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return threads_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> entries_;
    std::vector<std::thread::id> threads_;
};

// Holds the window thread busy until opened.
class Gate
{
public:
    void pass()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        opened_.wait(lock, [this] { return open_; });
    }
    void open()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        open_ = true;
        opened_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable opened_;
    bool open_ = false;
};

class MainRouter : public ::testing::Test
{
protected:
    std::unique_ptr<TMain_Router> makeRouter()
    {
        return std::make_unique<TMain_Router>(
            window, clockEvent, [this] { log.add("status"); }, [this] { log.add("clock"); });
    }

    test::ThreadWindow window; // first: it outlives the router
    Event clockEvent;
    RefreshLog log;
};

TEST_F(MainRouter, RefreshEventRunsTheStatusRefreshOnTheWindowThread)
{
    auto router = makeRouter();
    router->refreshEvent().set();
    ASSERT_TRUE(log.waitFor(1));
    EXPECT_THAT(log.entries(), ElementsAre("status"));
    EXPECT_EQ(log.threads()[0], window.id());
    EXPECT_FALSE(router->refreshEvent().isSet());
}

TEST_F(MainRouter, ClockEventRunsTheClockRefreshAndIsReset)
{
    auto router = makeRouter();
    clockEvent.set();
    ASSERT_TRUE(log.waitFor(1));
    EXPECT_THAT(log.entries(), ElementsAre("clock"));
    EXPECT_FALSE(clockEvent.isSet());
}

TEST_F(MainRouter, WhenBothAreSetTheRefreshEventIsServedFirst)
{
    auto router = makeRouter();
    Gate gate;
    window.post([&] { gate.pass(); });
    // The router takes the refresh event (resetting it) and waits in its window call behind
    // the gate...
    router->refreshEvent().set();
    EXPECT_TRUE(test::waitUntil([&] { return !router->refreshEvent().isSet(); }))
        << "the gate opens whatever happened";
    // ...while both events are set again.
    clockEvent.set();
    router->refreshEvent().set();
    gate.open();
    ASSERT_TRUE(log.waitFor(3));
    EXPECT_THAT(log.entries(), ElementsAre("status", "status", "clock"));
}

TEST_F(MainRouter, EndsPromptlyWhenToldToTerminate)
{
    auto router = makeRouter();
    router->requestTerminate();
    EXPECT_TRUE(router->waitFinished(std::chrono::seconds(5)));
    router->refreshEvent().set();
    clockEvent.set();
    router.reset();
    EXPECT_TRUE(log.entries().empty());
}

TEST_F(MainRouter, RefusedWindowCallsRunNothingAndTheLoopGoesOn)
{
    auto router = makeRouter();
    window.beginShutdown();
    router->refreshEvent().set();
    clockEvent.set();
    // The router consumes both events without running a refresh, and still ends on request.
    EXPECT_TRUE(
        test::waitUntil([&] { return !router->refreshEvent().isSet() && !clockEvent.isSet(); }));
    router->requestTerminate();
    EXPECT_TRUE(router->waitFinished(std::chrono::seconds(5)));
    EXPECT_TRUE(log.entries().empty());
}

} // namespace
} // namespace zentor
