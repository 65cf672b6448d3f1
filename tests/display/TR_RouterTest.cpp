#include "display/TR_Router.h"

#include "link/ProtocolDoubles.h"
#include "link/TReceiverLink.h"
#include "support/ThreadWindow.h"
#include "support/WaitUntil.h"

#include <array>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

namespace zentor {
namespace {

using namespace std::chrono_literals;
using test::ThreadWindow;

using test::waitUntil;

// What a display update saw when it ran.
struct UpdateLog
{
    std::atomic<int> runs{0};
    std::atomic<bool> onWindowThread{true};
    std::mutex mutex;
    std::array<std::uint8_t, kListEntries> lastList{}; // guarded by mutex
};

// A display update as the program's: takes its copy of receiver r, which clears the event.
TR_Router::DisplayUpdate recordingUpdate(UpdateLog& log, ThreadWindow& window, TReceiverLink& link,
                                         int r)
{
    return [&log, &window, &link, r] {
        if (std::this_thread::get_id() != window.id())
            log.onWindowThread = false;
        const ReceiverSnapshot copy = link.state().takeReceiver(r);
        {
            std::lock_guard<std::mutex> lock(log.mutex);
            log.lastList = copy.listRssi;
        }
        ++log.runs;
    };
}

void handle(TReceiverLink& link, std::uint8_t type, const test::Bytes& data)
{
    const test::Bytes record = test::packetRecord(type, data);
    ASSERT_TRUE(link.HandlePacket(record.data(), record.size()));
}

TEST(TR_Router, WithoutDataItWakesButDrawsNothing)
{
    TReceiverLink link;
    ThreadWindow window;
    UpdateLog log;
    TR_Router router(0, link.state(), window, recordingUpdate(log, window, link, 0));
    EXPECT_EQ(router.receiverIndex(), 0);
    // Longer than one wait: the loop has timed out at least once and gone on waiting.
    std::this_thread::sleep_for(TR_Router::kWaitTimeout + 200ms);
    EXPECT_EQ(log.runs.load(), 0);
    EXPECT_FALSE(router.waitFinished(0ms));
    router.requestTerminate();
    EXPECT_TRUE(router.waitFinished(3s));
    EXPECT_EQ(log.runs.load(), 0);
}

// The data event runs the update on the window thread. The second half of a list arrives while
// the router pauses after the frame of the first half: it is stored all the same and drawn in
// the frame after the pause.
TEST(TR_Router, ReadingsOfThePauseAfterAFrameAreInTheNextFrame)
{
    TReceiverLink link;
    handle(link, 0x01, {0x01}); // receiver 1 present
    ThreadWindow window;
    UpdateLog log;
    TR_Router router(0, link.state(), window, recordingUpdate(log, window, link, 0));

    handle(link, 0x07, {0, 0, 0xC0, 0, 1, 0xC1, 0, 2, 0xC2, 0, 3, 0xC3, 0, 4, 0xC4});
    ASSERT_TRUE(waitUntil([&] { return log.runs.load() == 1; }));
    handle(link, 0x07, {0, 5, 0xC5, 0, 6, 0xC6, 0, 7, 0xC7, 0, 8, 0xC8, 0, 9, 0xC9});
    const std::array<std::uint8_t, kListEntries> whole = {0xC0, 0xC1, 0xC2, 0xC3, 0xC4,
                                                          0xC5, 0xC6, 0xC7, 0xC8, 0xC9};
    EXPECT_TRUE(waitUntil([&] {
        std::lock_guard<std::mutex> lock(log.mutex);
        return log.lastList == whole;
    }));
    EXPECT_TRUE(log.onWindowThread.load());
}

TEST(TR_Router, ANonStopStreamIsDrawnAtMostOncePerFrameInterval)
{
    TReceiverLink link;
    ThreadWindow window;
    UpdateLog log;
    Event& event = link.state().receiverDataEvent(0);
    TR_Router router(0, link.state(), window, recordingUpdate(log, window, link, 0));

    std::atomic<bool> streaming{true};
    std::thread instrument([&] {
        while (streaming) {
            event.set();
            std::this_thread::sleep_for(1ms);
        }
    });
    ASSERT_TRUE(waitUntil([&] { return log.runs.load() >= 1; }));
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(waitUntil([&] { return log.runs.load() >= 5; }));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    streaming = false;
    instrument.join();
    // The next four frames take four intervals, however fast the window thread draws (less a
    // little for when the first one counted itself).
    EXPECT_GE(elapsed, 3 * TR_Router::kFrameInterval);
    router.requestTerminate();
    EXPECT_TRUE(router.waitFinished(3s));
}

TEST(TR_Router, EachRouterServesOnlyItsReceiver)
{
    TReceiverLink link;
    ThreadWindow window;
    UpdateLog first, second;
    TR_Router r1(0, link.state(), window, recordingUpdate(first, window, link, 0));
    TR_Router r2(1, link.state(), window, recordingUpdate(second, window, link, 1));
    link.state().receiverDataEvent(1).set();
    ASSERT_TRUE(waitUntil([&] { return !link.state().receiverDataEvent(1).isSet(); }));
    EXPECT_EQ(first.runs.load(), 0);
    EXPECT_EQ(second.runs.load(), 1);
}

TEST(TR_Router, TerminateEndsTheWaitAtOnce)
{
    TReceiverLink link;
    ThreadWindow window;
    UpdateLog log;
    TR_Router router(0, link.state(), window, recordingUpdate(log, window, link, 0));
    const auto asked = std::chrono::steady_clock::now();
    router.requestTerminate();
    ASSERT_TRUE(router.waitFinished(3s));
    // Well inside one wait time-out, even on a loaded machine.
    EXPECT_LT(std::chrono::steady_clock::now() - asked, TR_Router::kWaitTimeout);
    // Data after the end is left alone.
    link.state().receiverDataEvent(0).set();
    EXPECT_TRUE(link.state().receiverDataEvent(0).isSet());
    EXPECT_EQ(log.runs.load(), 0);
}

TEST(TR_Router, RefusedWindowCallStillReleasesTheProducer)
{
    TReceiverLink link;
    ThreadWindow window;
    UpdateLog log;
    TR_Router router(0, link.state(), window, recordingUpdate(log, window, link, 0));
    window.beginShutdown(); // the program has begun to shut down
    link.state().receiverDataEvent(0).set();
    ASSERT_TRUE(waitUntil([&] { return !link.state().receiverDataEvent(0).isSet(); }));
    EXPECT_EQ(log.runs.load(), 0);
    router.requestTerminate();
    EXPECT_TRUE(router.waitFinished(3s));
}

} // namespace
} // namespace zentor
