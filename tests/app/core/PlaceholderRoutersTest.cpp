#include "gps/TGPS_Router.h"
#include "nav/TNav_Router.h"

#include <gtest/gtest.h>
#include <thread>

namespace zentor {
namespace {

bool clearsWithin(Event& event, std::chrono::seconds bound)
{
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (event.isSet()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::yield();
    }
    return true;
}

TEST(GpsRouter, ConsumesTheGpsEventAndEndsOnRequest)
{
    Event gpsEvent;
    TGPS_Router router(gpsEvent);
    gpsEvent.set();
    EXPECT_TRUE(clearsWithin(gpsEvent, std::chrono::seconds(5)));
    router.requestTerminate();
    EXPECT_TRUE(router.waitFinished(std::chrono::seconds(5)));
}

TEST(GpsRouter, DestroyingItEndsTheThread)
{
    Event gpsEvent;
    auto router = std::make_unique<TGPS_Router>(gpsEvent);
    router.reset(); // joins; a hang here fails the test by its time-out
    SUCCEED();
}

TEST(NavRouter, KeepsItsPortAndEndsOnRequestWithoutWaitingOutItsPoll)
{
    TNav_Router router(5);
    EXPECT_EQ(router.comPort(), 5);
    EXPECT_FALSE(router.waitFinished(std::chrono::milliseconds(0)));
    router.requestTerminate();
    EXPECT_TRUE(router.waitFinished(std::chrono::seconds(5)));
}

} // namespace
} // namespace zentor
