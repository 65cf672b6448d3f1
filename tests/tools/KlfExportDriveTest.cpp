// klf-export's walk through a log, on short logs built record by record: which position each
// reading takes and when it is left out, whose reading an entry is, and which frequencies the log
// tells from its header, its configuration packets and its channel information. The formats and
// the program itself are tested on a simulated drive in KlfExportTest.cpp.
#include "klf-export/DriveReader.h"
#include "klf-export/PositionRecords.h"
#include "link/ByteOrder.h"
#include "logging/LogHeader.h"
#include "logging/LogTestSupport.h"
#include "zentor-sim/GpsRecord.h"

#include <gtest/gtest.h>

namespace zentor::klfexport {
namespace {

using logtest::Bytes;
using logtest::cat;
using logtest::packetRecord;

Bytes gps(int second, double latitudeDeg, int fixMode = 7)
{
    sim::GpsFix fix;
    fix.utc = {2026, 3, 12, 14, 5, second};
    fix.unfiltered.latitudeMas = static_cast<std::int32_t>(latitudeDeg * 3600000);
    fix.unfiltered.longitudeMas = 4 * 3600000;
    fix.receiverStatus1 = static_cast<std::uint8_t>(fixMode << 5);
    const sim::GpsRecord r = sim::encodeGpsRecord(fix);
    return packetRecord(0x00, Bytes(r.begin(), r.end()));
}

Bytes clock()
{
    return packetRecord(0x04, {9, 5, 14, 12, 3, 26, 0});
}

// One list entry: receiver byte, channel, level.
Bytes list(std::uint8_t receiver, std::uint8_t channel, std::int8_t level)
{
    return packetRecord(0x07, {receiver, channel, static_cast<std::uint8_t>(level)});
}

// What the walk handed on, with the position each reading took.
struct Walked : DriveSink
{
    std::vector<Position> positions;
    std::vector<Reading> readings;
    std::vector<std::size_t> readingPositions; // index into positions
    DriveSummary summary;

    void position(const Position& p) override { positions.push_back(p); }
    void reading(const Reading& r, const Position&) override
    {
        readings.push_back(r);
        readingPositions.push_back(positions.size() - 1);
    }
};

Walked walk(const Bytes& log)
{
    LogStream stream(log.data(), log.size());
    Walked w;
    w.summary = walkDrive(stream, surveyLog(stream), w);
    return w;
}

Walked walk(const std::vector<Bytes>& records)
{
    return walk(cat(records));
}

TEST(KlfExportWalk, AReadingTakesTheLastPositionUntilThreeClockSecondsHavePassed)
{
    const Walked d = walk({list(0, 0, -60), gps(1, 52.0), list(0, 1, -61), clock(), clock(),
                           clock(), list(0, 2, -62), clock(), list(0, 3, -63), gps(6, 52.001),
                           list(0, 4, -64), gps(7, 52.002, 3), clock(), list(0, 5, -65)});
    ASSERT_EQ(d.positions.size(), 2u);
    EXPECT_TRUE(d.positions[0].startsSegment);
    EXPECT_TRUE(d.positions[1].startsSegment) << "the first position had gone stale";
    EXPECT_DOUBLE_EQ(d.positions[1].latitudeDeg, 52.001);
    ASSERT_EQ(d.readings.size(), 4u);
    const std::size_t positions[] = {0, 0, 1, 1};
    const int channels[] = {2, 3, 5, 6};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(d.readingPositions[i], positions[i]) << i;
        EXPECT_EQ(d.readings[i].channel, channels[i]) << i;
    }
    EXPECT_EQ(d.summary.readingsWithoutPosition, 1u);
    EXPECT_EQ(d.summary.readingsWithStalePosition, 1u);
    EXPECT_EQ(d.summary.gpsRecordsWithoutPosition, 1u) << "fix mode 3 is no position";
}

TEST(KlfExportWalk, GpsRecordsArePositionsInTheReceiversModesThatHaveOne)
{
    // Reserved, reserved, Bad Geometry, Acquiring Satellites, Position Hold, Propogate Mode,
    // 2D Fix, 3D Fix.
    const char* const fixes[] = {"", "", "", "", "hold", "propagated", "2d", "3d"};
    for (int mode = 0; mode < 8; ++mode) {
        SCOPED_TRACE(mode);
        const Walked d = walk({gps(1, 52.0, mode), list(0, 0, -60)});
        const bool position = *fixes[mode] != '\0';
        EXPECT_EQ(d.summary.gpsRecordsWithoutPosition, position ? 0u : 1u);
        ASSERT_EQ(d.readings.size(), position ? 1u : 0u);
        if (position) {
            EXPECT_STREQ(fixWord(d.positions.at(0).fix), fixes[mode]);
        }
    }
}

TEST(KlfExportWalk, EntriesBelongToReceiver2UnlessTheirReceiverByteIsZero)
{
    const Walked d = walk({gps(1, 52.0), packetRecord(0x07, {0, 9, 0xC4, 1, 0, 0xC3, 7, 10, 0xC2}),
                           packetRecord(0x09, {2, 0xFF, 0x0B, 0xB0, 0, 0x00, 0x0C, 0xB1}),
                           packetRecord(0x03, {0xA0, 0xB0})});
    ASSERT_EQ(d.readings.size(), 4u);
    const int receivers[] = {1, 2, 2, 2};
    const int channels[] = {10, 1, 3072, -1};
    const int levels[] = {-60, -61, -80, -96};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(d.readings[i].receiver, receivers[i]) << i;
        EXPECT_EQ(d.readings[i].channel.value_or(-1), channels[i]) << i;
        EXPECT_EQ(d.readings[i].rssiDbm, levels[i]) << i;
    }
    EXPECT_EQ(d.summary.entriesOutOfRange, 2u) << "list channel 10 and table index 3072";
}

TEST(KlfExportWalk, TravelPilotPositionsStandInForTheGpsWhereTheLogHoldsThem)
{
    // 14:05:09 on 12 April 2026, 33.123456 S 70 W.
    const Bytes travelPilot = {0x15, 0x00, 0xC0, 9, 5,   14, 12, 3, 126, 'S', 33, 0,
                               0x40, 0xE2, 1,    0, 'W', 70, 0,  0, 0,   0,   0};
    const Walked d = walk({gps(1, 52.0), list(0, 0, -60), travelPilot, list(0, 1, -61)});
    EXPECT_EQ(d.summary.source, PositionSource::TravelPilot);
    ASSERT_EQ(d.positions.size(), 1u);
    EXPECT_DOUBLE_EQ(d.positions[0].latitudeDeg, -33.123456) << "millionths of a degree";
    EXPECT_DOUBLE_EQ(d.positions[0].longitudeDeg, -70.0);
    EXPECT_FALSE(d.positions[0].time.utc);
    EXPECT_EQ(d.readings.size(), 1u);
    EXPECT_EQ(d.summary.readingsWithoutPosition, 1u);
}

// Receiver 1: counts 1200-2000 at 25 kHz; receiver 2: counts 3000-4000 at 12.5 kHz. The status
// blocks list counts 1200.. and 3000..; receiver 1 numbers its channels from 991.
TEST(KlfExportWalk, FrequenciesAreThoseTheLogTellsAndNoOthers)
{
    LogHeaderInput input;
    input.serialNumber = "ZT000417";
    input.present = {true, true};
    input.configuration[0] = {0xB0, 0x04, 0, 0, 0xD0, 0x07, 0, 0, 0x00, 0x19, 0, 0};
    input.configuration[1] = {0xB8, 0x0B, 0, 0, 0xA0, 0x0F, 0, 0, 0x80, 0x0C, 0, 0};
    Bytes status(80, 0);
    for (std::uint32_t k = 0; k < 10; ++k) {
        writeLe32(&status[4 * k], 1200 + k);
        writeLe32(&status[40 + 4 * k], 3000 + k);
    }
    input.channelInformation = packetRecord(0x06, status);
    Bytes configuration = {0x07};
    for (const auto& block : input.configuration)
        configuration.insert(configuration.end(), block.begin(), block.end());
    Bytes otherConfiguration = configuration;
    otherConfiguration[13] = 0xB9; // receiver 2 starts one count later

    const Bytes readings = cat({gps(1, 52.0), list(0, 2, -60), list(1, 2, -61),
                                packetRecord(0x09, {0, 4, 0, 0xB0}), packetRecord(0x02, {0xB5})});
    struct Case
    {
        const char* legend;
        Bytes configuration; // sent after the readings; empty: none
        double list1, list2, table1, single1;
        int singleChannel1;
    };
    const double unknown = -1;
    const Case cases[] = {
        {"header only: receiver 1's step, no numbering flag",
         {},
         30.05,
         unknown,
         unknown,
         30.0,
         -1},
        {"a configuration that agrees with the header holds from the start", configuration, 30.05,
         37.525, 30.95, 30.0, 991},
        {"one that does not is not taken back", otherConfiguration, 30.05, unknown, unknown, 30.0,
         -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.legend);
        const Bytes log =
            cat({buildLogHeader(input), readings,
                 c.configuration.empty() ? Bytes{} : packetRecord(0x01, c.configuration)});
        const Walked d = walk(log);
        ASSERT_EQ(d.readings.size(), 4u);
        const double expected[] = {c.list1, c.list2, c.table1, c.single1};
        for (std::size_t i = 0; i < 4; ++i) {
            if (expected[i] == unknown)
                EXPECT_FALSE(d.readings[i].frequencyMHz) << i;
            else
                EXPECT_NEAR(d.readings[i].frequencyMHz.value_or(0), expected[i], 1e-9) << i;
        }
        EXPECT_EQ(d.readings[3].channel.value_or(-1), c.singleChannel1);
    }
}

} // namespace
} // namespace zentor::klfexport
