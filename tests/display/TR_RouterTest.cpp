#include "display/TR_Router.h"

#include "gps/TestWindowThread.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace zentor {
namespace {

using namespace std::chrono_literals;
using test::TestWindowThread;

// Polls `done` until it holds or the deadline passes.
bool eventually(const std::function<bool()>& done, std::chrono::milliseconds deadline = 5s)
{
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

// What a display update saw when it ran.
struct UpdateLog
{
    std::atomic<int> runs{0};
    std::atomic<bool> onWindowThread{true};
    std::atomic<bool> eventSetWhileRunning{true};
};

TR_Router::DisplayUpdate recordingUpdate(UpdateLog& log, TestWindowThread& window, Event& event)
{
    return [&log, &window, &event] {
        if (std::this_thread::get_id() != window.id())
            log.onWindowThread = false;
        if (!event.isSet())
            log.eventSetWhileRunning = false;
        ++log.runs;
    };
}

TEST(TR_Router, WithoutDataItWakesButDrawsNothing)
{
    TReceiverLink link;
    TestWindowThread window;
    UpdateLog log;
    TR_Router router(0, link, window, recordingUpdate(log, window, link.receiverDataEvent(0)));
    EXPECT_EQ(router.receiverIndex(), 0);
    // Longer than one wait: the loop has timed out at least once and gone on waiting.
    std::this_thread::sleep_for(TR_Router::kWaitTimeout + 200ms);
    EXPECT_EQ(log.runs.load(), 0);
    EXPECT_FALSE(router.waitFinished(0ms));
    router.requestTerminate();
    EXPECT_TRUE(router.waitFinished(3s));
    EXPECT_EQ(log.runs.load(), 0);
}

TEST(TR_Router, DataEventRunsTheUpdateOnTheWindowThreadThenResetsIt)
{
    TReceiverLink link;
    TestWindowThread window;
    UpdateLog log;
    Event& event = link.receiverDataEvent(1);
    TR_Router router(1, link, window, recordingUpdate(log, window, event));

    event.set();
    ASSERT_TRUE(eventually([&] { return log.runs.load() == 1; }));
    ASSERT_TRUE(eventually([&] { return !event.isSet(); }));
    EXPECT_TRUE(log.onWindowThread.load());
    EXPECT_TRUE(log.eventSetWhileRunning.load()); // the producer keeps off while it draws

    event.set();
    ASSERT_TRUE(eventually([&] { return log.runs.load() == 2; }));
    ASSERT_TRUE(eventually([&] { return !event.isSet(); }));
}

TEST(TR_Router, ANonStopStreamIsDrawnAtMostOncePerFrameInterval)
{
    TReceiverLink link;
    TestWindowThread window;
    UpdateLog log;
    Event& event = link.receiverDataEvent(0);
    TR_Router router(0, link, window, recordingUpdate(log, window, event));

    // The protocol stores a reading the moment the event is clear again.
    std::atomic<bool> streaming{true};
    int resets = 0;
    std::thread instrument([&] {
        while (streaming) {
            if (!event.isSet()) {
                ++resets;
                event.set();
            }
            std::this_thread::sleep_for(1ms);
        }
    });
    ASSERT_TRUE(eventually([&] { return log.runs.load() >= 1; }));
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(eventually([&] { return log.runs.load() >= 5; }));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    streaming = false;
    instrument.join();
    // The next four frames take four intervals, however fast the window thread draws (less a
    // little for when the first one counted itself).
    EXPECT_GE(elapsed, 3 * TR_Router::kFrameInterval);
    EXPECT_LE(resets, log.runs.load() + 1) << "each frame releases the producer once";
    router.requestTerminate();
    EXPECT_TRUE(router.waitFinished(3s));
}

TEST(TR_Router, EachRouterServesOnlyItsReceiver)
{
    TReceiverLink link;
    TestWindowThread window;
    UpdateLog first, second;
    TR_Router r1(0, link, window, recordingUpdate(first, window, link.receiverDataEvent(0)));
    TR_Router r2(1, link, window, recordingUpdate(second, window, link.receiverDataEvent(1)));
    link.receiverDataEvent(1).set();
    ASSERT_TRUE(eventually([&] { return !link.receiverDataEvent(1).isSet(); }));
    EXPECT_EQ(first.runs.load(), 0);
    EXPECT_EQ(second.runs.load(), 1);
}

TEST(TR_Router, TerminateEndsTheWaitAtOnce)
{
    TReceiverLink link;
    TestWindowThread window;
    UpdateLog log;
    TR_Router router(0, link, window, recordingUpdate(log, window, link.receiverDataEvent(0)));
    const auto asked = std::chrono::steady_clock::now();
    router.requestTerminate();
    ASSERT_TRUE(router.waitFinished(3s));
    // Well inside one wait time-out, even on a loaded machine.
    EXPECT_LT(std::chrono::steady_clock::now() - asked, TR_Router::kWaitTimeout);
    // Data after the end is left alone.
    link.receiverDataEvent(0).set();
    EXPECT_TRUE(link.receiverDataEvent(0).isSet());
    EXPECT_EQ(log.runs.load(), 0);
}

TEST(TR_Router, RefusedWindowCallStillReleasesTheProducer)
{
    TReceiverLink link;
    TestWindowThread window;
    UpdateLog log;
    TR_Router router(0, link, window, recordingUpdate(log, window, link.receiverDataEvent(0)));
    window.refuseCalls(); // the program has begun to shut down
    link.receiverDataEvent(0).set();
    ASSERT_TRUE(eventually([&] { return !link.receiverDataEvent(0).isSet(); }));
    EXPECT_EQ(log.runs.load(), 0);
    router.requestTerminate();
    EXPECT_TRUE(router.waitFinished(3s));
}

TEST(TR_Router, UpdateWaitingForTheWindowThreadHoldsTheEvent)
{
    TReceiverLink link;
    TestWindowThread window;
    std::atomic<bool> release{false};
    std::atomic<int> runs{0};
    // The window thread is busy with other work until released.
    window.post([&] {
        while (!release.load())
            std::this_thread::sleep_for(1ms);
    });
    TR_Router router(0, link, window, [&] { ++runs; });
    link.receiverDataEvent(0).set();
    std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(link.receiverDataEvent(0).isSet());
    EXPECT_EQ(runs.load(), 0);
    release = true;
    ASSERT_TRUE(eventually([&] { return !link.receiverDataEvent(0).isSet(); }));
    EXPECT_EQ(runs.load(), 1);
}

} // namespace
} // namespace zentor
