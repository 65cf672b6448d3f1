#include "gps/TGPS_Router.h"

#include "GpsTestRecords.h"
#include "link/Frame.h"
#include "link/TReceiverLink.h"
#include "support/ThreadWindow.h"
#include "support/WaitUntil.h"

#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

namespace zentor {
namespace {

using namespace std::chrono_literals;
using test::Bytes;
namespace gpsat = test::gpsat;

constexpr auto kDeadline = 5s;

// A type 0 packet record (L, type, data, checksum) carrying `data`.
Bytes gpsPacket(const Bytes& data)
{
    const OutboundFrame f = buildFrame(0x00, data.data(), data.size());
    return Bytes(f.bytes.begin() + 1, f.bytes.begin() + static_cast<long>(f.size));
}

// What the router handed to the window thread and to the map feed, and on which threads.
struct Deliveries
{
    struct Shown
    {
        std::thread::id thread;
        GpsPanelTexts texts;
    };
    struct Published
    {
        std::thread::id thread;
        GpsStatus status;
        std::size_t shownBefore;
        bool eventStillSet;
    };

    std::mutex mutex; // guards the members below
    std::condition_variable changed;
    std::vector<Shown> shown;
    std::vector<Published> published;

    bool waitPublished(std::size_t n)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, kDeadline, [&] { return published.size() >= n; });
    }
};

class GpsRouterTest : public ::testing::Test
{
protected:
    void start()
    {
        router = std::make_unique<TGPS_Router>(
            link.state(), window,
            [this](const GpsPanelTexts& texts) {
                std::lock_guard<std::mutex> lock(got.mutex);
                got.shown.push_back({std::this_thread::get_id(), texts});
            },
            [this](const GpsStatus& status) {
                std::lock_guard<std::mutex> lock(got.mutex);
                got.published.push_back({std::this_thread::get_id(), status, got.shown.size(),
                                         link.state().gpsEvent().isSet()});
                got.changed.notify_all();
            });
    }

    bool eventClearsWithin(std::chrono::seconds bound)
    {
        return test::waitUntil([this] { return !link.state().gpsEvent().isSet(); }, bound);
    }

    void handle(const Bytes& record) { link.HandlePacket(record.data(), record.size()); }

    TReceiverLink link;
    test::ThreadWindow window;
    Deliveries got;
    std::unique_ptr<TGPS_Router> router; // last: stops before what it uses goes away
};

TEST_F(GpsRouterTest, ShowsAPacketOnTheWindowThreadThenPublishesThenResetsTheEvent)
{
    start();
    handle(gpsPacket(test::handBuiltRecord()));

    ASSERT_TRUE(got.waitPublished(1));
    EXPECT_TRUE(eventClearsWithin(kDeadline));
    std::lock_guard<std::mutex> lock(got.mutex);
    ASSERT_EQ(got.shown.size(), 1u);
    const Deliveries::Shown& shown = got.shown[0];
    EXPECT_EQ(shown.thread, window.id());
    EXPECT_EQ(shown.texts.text(GpsField::lblFilLat), "Latitude  = 12.3457 S");
    EXPECT_EQ(shown.texts.text(GpsField::edGPSDate), "11/23/2031");
    EXPECT_EQ(shown.texts.text(channelField(9)),
              "   09     19    08    039     187     09     (Time Used)(PosFix Used)");
    EXPECT_EQ(shown.texts.status.background, (Rgb{0x00, 0x80, 0x00}));

    ASSERT_EQ(got.published.size(), 1u);
    const Deliveries::Published& published = got.published[0];
    EXPECT_NE(published.thread, window.id());
    EXPECT_NE(published.thread, std::this_thread::get_id());
    EXPECT_EQ(published.shownBefore, 1u); // after the panel update
    EXPECT_TRUE(published.eventStillSet); // before the event is reset
    EXPECT_DOUBLE_EQ(published.status.unfiltered.latitudeDeg, -44447444 / 3600000.0);
    EXPECT_DOUBLE_EQ(published.status.unfiltered.longitudeDeg, -98760432 / 3600000.0);
    EXPECT_EQ(router->gpsStatus().idTag, "ZT0042");
}

TEST_F(GpsRouterTest, RefusedWindowCallStillPublishesAndEndsOnRequest)
{
    window.beginShutdown();
    start();
    handle(gpsPacket(test::handBuiltRecord()));
    ASSERT_TRUE(got.waitPublished(1));
    EXPECT_TRUE(eventClearsWithin(kDeadline));
    {
        std::lock_guard<std::mutex> lock(got.mutex);
        EXPECT_TRUE(got.shown.empty());
    }
    router->requestTerminate();
    EXPECT_TRUE(router->waitFinished(kDeadline));
}

TEST_F(GpsRouterTest, EndsOnRequestWithoutASignal)
{
    start();
    EXPECT_FALSE(router->waitFinished(0ms));
    router->requestTerminate();
    EXPECT_TRUE(router->waitFinished(kDeadline));
    // A record after the end is stored by the protocol but no longer shown.
    handle(gpsPacket(test::handBuiltRecord()));
    EXPECT_TRUE(link.state().gpsEvent().isSet());
    std::lock_guard<std::mutex> lock(got.mutex);
    EXPECT_TRUE(got.shown.empty());
}

TEST(GpsStatusStore, HoldsTheLastWholeRecordAndIgnoresAShortOne)
{
    GpsStatusStore store;
    EXPECT_EQ(store.snapshot().year, 0);
    EXPECT_EQ(store.snapshot().idTag, "");

    test::Bytes first = test::handBuiltRecord();
    ASSERT_TRUE(store.decode(first.data(), first.size()));
    EXPECT_EQ(store.snapshot().seconds, 9);

    test::Bytes second = first;
    second[test::gpsat::kClock + 2] = 10;
    second.pop_back();
    EXPECT_FALSE(store.decode(second.data(), second.size()));
    const GpsStatus s = store.snapshot();
    EXPECT_EQ(s.seconds, 9);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), s.record.begin()));
}

} // namespace

} // namespace zentor
