#include "zentor-sim/TravelPilotUnit.h"

#include "SimTestSupport.h"
#include "link/ByteOrder.h"
#include "zentor-sim/SimInstrument.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace zentor::sim {
namespace {

using test::hex;

constexpr std::int64_t kStart = 1768980809; // 2026-01-21 07:33:29 UTC

// A coordinate of a position response, back in signed degrees, by the meaning of its bytes:
// hemisphere letter, whole degrees (16-bit), millionths (32-bit), little-endian.
double degreesAt(const Bytes& response, std::size_t offset, char negative)
{
    const double value = readLe16(&response[offset + 1]) + readLe32(&response[offset + 3]) / 1e6;
    return response[offset] == negative ? -value : value;
}

struct GpsReport
{
    double latitudeDeg;
    double longitudeDeg;
    double headingDeg;
    double speedKmh;
};

// What the simulated instrument's GPS record reports for whole second `second` of the run.
GpsReport gpsAt(const InstrumentSettings& settings, int second)
{
    SimInstrument instrument(settings, kStart, 1);
    instrument.startMeasurement(0);
    for (std::int64_t t = 0; t <= second * 1000; t += 500)
        for (const Packet& p : instrument.packetsDue(t))
            if (p.type == kPacketGpsRecord && t == second * 1000) {
                const std::uint8_t* r = p.data.data();
                return {static_cast<std::int32_t>(readBe32(r + 15)) / 3600000.0,
                        static_cast<std::int32_t>(readBe32(r + 19)) / 3600000.0,
                        readBe16(r + 51) / 10.0, readBe16(r + 49) * 0.036};
            }
    ADD_FAILURE() << "no GPS record at second " << second;
    return {};
}

TEST(TravelPilotUnit, AnswersVersionPositionSpeedAndDirectionOfTheGpsRoute)
{
    for (const GeoPoint town : {GeoPoint{52.0116, 4.3571}, GeoPoint{-34.6, -58.38}}) {
        InstrumentSettings settings;
        settings.townCentre = town;
        const TravelPilotUnit unit(town);
        EXPECT_EQ(unit.respond(10, 0.0), hex("07 0A F5 03 01 0A 01")) << "V 3.1";
        for (int second : {0, 7, 130, 400}) {
            const GpsReport gps = gpsAt(settings, second);
            const Bytes position = unit.respond(40, second);
            ASSERT_EQ(position.size(), 19u);
            EXPECT_EQ(position[3], town.latitudeDeg > 0 ? 'N' : 'S');
            EXPECT_EQ(position[10], town.longitudeDeg > 0 ? 'E' : 'W');
            EXPECT_NEAR(degreesAt(position, 3, 'S'), gps.latitudeDeg, 1e-6) << second;
            EXPECT_NEAR(degreesAt(position, 10, 'W'), gps.longitudeDeg, 1e-6) << second;

            const Bytes speed = unit.respond(44, second);
            ASSERT_EQ(speed.size(), 9u);
            EXPECT_EQ(Bytes(speed.begin(), speed.begin() + 3), hex("09 2C D3"));
            EXPECT_EQ(static_cast<std::int16_t>(readLe16(&speed[3])), 50);
            EXPECT_NEAR(static_cast<std::int16_t>(readLe16(&speed[3])), gps.speedKmh, 0.5);
            EXPECT_LT(readLe16(&speed[5]), 360);
            EXPECT_NEAR(readLe16(&speed[5]), gps.headingDeg, 0.5) << second;
        }
    }
    const TravelPilotUnit unit({52.0116, 4.3571});
    EXPECT_EQ(unit.respond(238, 0.0), hex("05 EE 11 04 01"));
    EXPECT_EQ(unit.respond(0, 0.0), hex("05 EE 11 04 01"));
    EXPECT_NE(unit.respond(40, 10.0), unit.respond(40, 11.0)) << "the vehicle moves";
}

TEST(TravelPilotSilence, AnswersThenKeepsSilentInTurn)
{
    const TravelPilotSilence always;
    const TravelPilotSilence once{2.0, std::nullopt};
    const TravelPilotSilence cycle{2.0, 1.5};
    const struct
    {
        double seconds;
        bool always, once, cycle;
    } cases[] = {
        {0.0, true, true, true},    {1.99, true, true, true}, {2.0, true, false, false},
        {3.49, true, false, false}, {3.5, true, false, true}, {5.49, true, false, true},
        {5.5, true, false, false},  {7.0, true, false, true}, {10000.0, true, false, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(always.answering(c.seconds), c.always) << c.seconds;
        EXPECT_EQ(once.answering(c.seconds), c.once) << c.seconds;
        EXPECT_EQ(cycle.answering(c.seconds), c.cycle) << c.seconds;
    }
}

} // namespace
} // namespace zentor::sim
