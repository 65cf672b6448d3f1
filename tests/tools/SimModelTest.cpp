#include "zentor-sim/BandPlan.h"
#include "zentor-sim/GpsRecord.h"
#include "zentor-sim/RadioField.h"
#include "zentor-sim/Route.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <set>

namespace zentor::sim {
namespace {

void expectTime(const CivilTime& t, int y, int mo, int d, int h, int mi, int s)
{
    EXPECT_EQ(t.year, y);
    EXPECT_EQ(t.month, mo);
    EXPECT_EQ(t.day, d);
    EXPECT_EQ(t.hour, h);
    EXPECT_EQ(t.minute, mi);
    EXPECT_EQ(t.second, s);
}

TEST(CivilTime, BreaksUnixSecondsIntoUtcDateAndTime)
{
    expectTime(civilFromUnixSeconds(0), 1970, 1, 1, 0, 0, 0);
    expectTime(civilFromUnixSeconds(951868799), 2000, 2, 29, 23, 59, 59);
    expectTime(civilFromUnixSeconds(951868800), 2000, 3, 1, 0, 0, 0);
    expectTime(civilFromUnixSeconds(1735603200), 2024, 12, 31, 0, 0, 0);
    expectTime(civilFromUnixSeconds(1768980809), 2026, 1, 21, 7, 33, 29);
}

TEST(BandPlan, NumbersChannelsAsTheDataLoggerDoes)
{
    const BandPlan plan = defaultBandPlan();
    const ReceiverPlan& cellular = plan[0];
    EXPECT_TRUE(cellular.channelsWrap);
    EXPECT_EQ(cellular.channelOfCount(cellular.startCount), 991);
    EXPECT_EQ(cellular.channelOfCount(cellular.startCount + 33), 1024);
    EXPECT_EQ(cellular.channelOfCount(cellular.startCount + 34), 1);
    EXPECT_EQ(cellular.channelOfCount(cellular.stopCount), 124);
    EXPECT_DOUBLE_EQ(cellular.frequencyMHz(cellular.startCount + 34), 935.2);
    EXPECT_EQ(cellular.tableIndexOfCount(cellular.startCount), 990);
    EXPECT_EQ(cellular.tableIndexOfCount(cellular.startCount + 34), 0);

    const ReceiverPlan& trunked = plan[1];
    EXPECT_FALSE(trunked.channelsWrap);
    EXPECT_EQ(trunked.channelOfCount(trunked.startCount), 1);
    EXPECT_EQ(trunked.channelOfCount(trunked.stopCount), 201);
    EXPECT_DOUBLE_EQ(trunked.stepKHz(), 25.0);
    EXPECT_DOUBLE_EQ(trunked.frequencyMHz(trunked.stopCount), 395.0);

    for (const ReceiverPlan& r : plan)
        for (std::int32_t count : r.listCounts) {
            EXPECT_GE(count, r.startCount);
            EXPECT_LE(count, r.stopCount);
        }
}

TEST(Route, DrivesALoopAt50KmPerHour)
{
    const Route route({-34.6037, -58.3816});
    const RoutePoint start = route.at(0.0);
    EXPECT_DOUBLE_EQ(start.local.eastM, 0.0);
    EXPECT_DOUBLE_EQ(start.local.northM, -1500.0);
    EXPECT_NEAR(start.geo.latitudeDeg, -34.6037 - 1500.0 / 111319.5, 1e-6);
    EXPECT_DOUBLE_EQ(start.geo.longitudeDeg, -58.3816);
    EXPECT_NEAR(start.headingDeg, std::atan2(1500.0, 400.0) * 180.0 / 3.14159265358979, 1e-9);
    EXPECT_NEAR(start.speedMPerS, 13.8889, 1e-4);

    // One second later the vehicle is 13.9 m further along the first street.
    const RoutePoint next = route.at(1.0);
    EXPECT_NEAR(
        std::hypot(next.local.eastM - start.local.eastM, next.local.northM - start.local.northM),
        13.8889, 1e-3);

    // Round the loop the vehicle heads into every quarter of the compass.
    std::set<int> quarters;
    for (double t = 0; t < 800; t += 5)
        quarters.insert(static_cast<int>(route.at(t).headingDeg / 90.0));
    EXPECT_EQ(quarters, (std::set<int>{0, 1, 2, 3}));
}

TEST(RadioField, LevelsFallWithDistanceAndStayInRange)
{
    const BandPlan plan = defaultBandPlan();
    const RadioField field(plan);
    SimRandom noise(3);
    const auto mean = [&](int receiver, std::int32_t count, LocalPoint at) {
        double sum = 0;
        for (int i = 0; i < 200; ++i)
            sum += field.levelDbm(receiver, count, at, noise);
        return sum / 200;
    };
    // Receiver 1's list entry 0 comes from the site at (-1200, 800).
    const std::int32_t carrier = plan[0].listCounts[0];
    const double near = mean(0, carrier, {-1150, 800});
    const double mid = mean(0, carrier, {0, 0});
    const double far = mean(0, carrier, {3000, -2500});
    EXPECT_GT(near, mid + 10);
    EXPECT_GT(mid, far + 10);
    EXPECT_GT(near, -70);
    EXPECT_LT(far, -95);
    // The step next to a carrier picks up some of it; a step far from any carrier is noise.
    EXPECT_LT(mean(0, carrier + 1, {-1150, 800}), near - 10);
    EXPECT_NEAR(mean(0, plan[0].startCount + 88, {0, 0}), -113, 1.5);

    std::set<int> seen;
    for (int i = 0; i < 2000; ++i) {
        const int level = field.levelDbm(i % 2, plan[i % 2].listCounts[i % 10],
                                         {std::fmod(i * 37.0, 6000) - 3000, 0}, noise);
        EXPECT_GE(level, -120);
        EXPECT_LE(level, -30);
        seen.insert(level);
    }
    EXPECT_GT(seen.size(), 30u);
    int strongest = -120;
    for (int i = 0; i < 50; ++i)
        strongest =
            std::max<int>(strongest, field.levelDbm(1, plan[1].listCounts[0], {0, 0}, noise));
    EXPECT_EQ(strongest, -30) << "under the mast the reading is clamped at -30 dBm";
}

} // namespace
} // namespace zentor::sim
