#include "ui/QtWindowThread.h"

#include "ui/TestApplication.h"

#include <atomic>
#include <future>
#include <gtest/gtest.h>
#include <thread>

namespace zentor {
namespace {

using test::processEventsUntil;

class WindowThreadCall : public ::testing::Test
{
protected:
    void SetUp() override { test::testApplication(); }
    QtWindowThread window;
};

TEST_F(WindowThreadCall, OnTheWindowThreadTheWorkRunsAtOnce)
{
    bool ran = false;
    EXPECT_TRUE(window.invoke([&] { ran = true; }));
    EXPECT_TRUE(ran);
}

TEST_F(WindowThreadCall, FromAWorkerTheWorkRunsOnTheWindowThreadBeforeInvokeReturns)
{
    const std::thread::id windowThread = std::this_thread::get_id();
    std::thread::id ranOn;
    std::atomic<bool> returned{false};
    bool ranBeforeReturn = false;
    std::thread worker([&] {
        bool ran = false;
        const bool result = window.invoke([&] {
            ranOn = std::this_thread::get_id();
            ran = true;
        });
        ranBeforeReturn = result && ran;
        returned = true;
    });
    EXPECT_TRUE(processEventsUntil([&] { return returned.load(); }));
    worker.join();
    EXPECT_TRUE(ranBeforeReturn);
    EXPECT_EQ(ranOn, windowThread);
}

TEST_F(WindowThreadCall, PostReturnsAtOnceAndRunsWithTheEvents)
{
    bool ran = false;
    window.post([&] { ran = true; });
    EXPECT_FALSE(ran);
    EXPECT_TRUE(processEventsUntil([&] { return ran; }));
}

TEST_F(WindowThreadCall, OnceShutdownHasBegunNothingRuns)
{
    bool posted = false;
    window.post([&] { posted = true; }); // queued before, delivered after
    window.beginShutdown();
    bool invoked = false;
    EXPECT_FALSE(window.invoke([&] { invoked = true; }));
    QCoreApplication::processEvents();
    EXPECT_FALSE(invoked);
    EXPECT_FALSE(posted);
}

TEST_F(WindowThreadCall, AWorkerBlockedWhenShutdownBeginsIsReleasedByServing)
{
    std::atomic<bool> calling{false};
    std::atomic<bool> ran{false};
    auto result = std::async(std::launch::async, [&] {
        calling = true;
        return window.invoke([&] { ran = true; });
    });
    // The window thread does not process events here, as at the program's end.
    while (!calling.load())
        std::this_thread::yield();
    window.beginShutdown();
    ASSERT_TRUE(test::waitUntil([&] {
        window.serveQueuedCalls();
        return result.wait_for(std::chrono::milliseconds(10)) == std::future_status::ready;
    }));
    EXPECT_FALSE(result.get());
    EXPECT_FALSE(ran.load());
}

} // namespace
} // namespace zentor
