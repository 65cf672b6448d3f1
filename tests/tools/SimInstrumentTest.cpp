#include "zentor-sim/SimInstrument.h"

#include "SimTestSupport.h"
#include "zentor-sim/GpsRecord.h"

#include <gtest/gtest.h>
#include <set>
#include <utility>
#include <vector>

namespace zentor::sim {
namespace {

using test::hex;

constexpr std::int64_t kStart = 1768980809; // 2026-01-21 07:33:29 UTC

std::vector<std::uint8_t> typesOf(const std::vector<Packet>& packets)
{
    std::vector<std::uint8_t> types;
    for (const Packet& p : packets)
        types.push_back(p.type);
    return types;
}

std::vector<Bytes> framesOf(const std::vector<Packet>& packets)
{
    std::vector<Bytes> frames;
    for (const Packet& p : packets)
        frames.push_back(frameBytes(p));
    return frames;
}

InstrumentSettings settingsFor(MeasurementMode mode)
{
    InstrumentSettings s;
    s.mode = mode;
    return s;
}

TEST(SimInstrument, AnswersIdentifyConfigurationAndChannelInformation)
{
    SimInstrument instrument(InstrumentSettings{}, kStart, 1);
    EXPECT_EQ(framesOf(instrument.answer(0x1C)),
              std::vector<Bytes>{hex("AA 0A 00 1C 5A 54 30 31 32 33 34 35 13")});
    EXPECT_EQ(framesOf(instrument.answer(0x01)),
              std::vector<Bytes>{hex("AA 1B 00 01 07"
                                     "22 12 00 00 BF 12 00 00 00 C8 00 00"
                                     "F0 3C 00 00 B8 3D 00 00 00 19 00 00"
                                     "03")});
    const std::vector<Packet> info = instrument.answer(0x30);
    ASSERT_EQ(typesOf(info), (std::vector<std::uint8_t>{5, 6}));
    EXPECT_EQ(frameBytes(info[0]), hex("AA 0A 00 05 4F 12 00 00 FA 3C 00 00 9E"));
    ASSERT_EQ(info[1].data.size(), 80u);
    EXPECT_EQ(Bytes(info[1].data.begin(), info[1].data.begin() + 8), hex("4F 12 00 00 70 12 00 00"))
        << "receiver 1's list starts with its current count";
    EXPECT_EQ(Bytes(info[1].data.begin() + 40, info[1].data.begin() + 44), hex("FA 3C 00 00"));
    EXPECT_TRUE(instrument.answer(0x55).empty());
    EXPECT_TRUE(instrument.answer(0x02).empty());

    InstrumentSettings field;
    field.serial = "FIELD7";
    EXPECT_EQ(framesOf(SimInstrument(field, kStart, 1).answer(0x1C)),
              std::vector<Bytes>{hex("AA 08 00 1C 46 49 45 4C 44 37 69")});
}

TEST(SimInstrument, AMeasurementStartsWithChannelInformationUnlessOnlyOnRequest)
{
    SimInstrument instrument(InstrumentSettings{}, kStart, 1);
    EXPECT_EQ(typesOf(instrument.startMeasurement(0)), (std::vector<std::uint8_t>{5, 6}));

    InstrumentSettings onRequest;
    onRequest.infoEverySeconds = 0;
    SimInstrument quiet(onRequest, kStart, 1);
    EXPECT_TRUE(quiet.startMeasurement(0).empty());
    std::vector<Packet> minute = quiet.packetsDue(999);
    for (std::int64_t t = 1000; t <= 60000; t += 1000) {
        const std::vector<Packet> more = quiet.packetsDue(t);
        minute.insert(minute.end(), more.begin(), more.end());
    }
    for (const Packet& p : minute)
        EXPECT_TRUE(p.type != 5 && p.type != 6);
}

TEST(SimInstrument, ListModeSendsClockAndGpsEachSecondAndEveryListEntry)
{
    SimInstrument instrument(settingsFor(MeasurementMode::List), kStart, 1);
    instrument.startMeasurement(0);
    const std::vector<Packet> first = instrument.packetsDue(0);
    ASSERT_EQ(typesOf(first), (std::vector<std::uint8_t>{4, 0, 7}));
    EXPECT_EQ(first[0].data, hex("1D 21 07 15 01 1A 00")) << "07:33:29 01/21/2026, marker 0";
    ASSERT_EQ(first[1].data.size(), kGpsRecordSize);
    EXPECT_EQ(Bytes(first[1].data.begin(), first[1].data.begin() + 11),
              hex("40 40 48 61 01 15 07 EA 07 21 1D"))
        << "the GPS record carries the same UTC time";
    EXPECT_EQ(first[1].data.back(), gpsRecordChecksum(first[1].data.data(), kGpsRecordSize));

    const std::vector<Packet> rest = instrument.packetsDue(999);
    EXPECT_EQ(typesOf(rest), std::vector<std::uint8_t>(19, 7)) << "20 packets a second";
    EXPECT_EQ(instrument.nextDueMs(), 1000);
    const std::vector<Packet> second = instrument.packetsDue(1000);
    ASSERT_EQ(typesOf(second), (std::vector<std::uint8_t>{4, 0, 7}));
    EXPECT_EQ(second[0].data, hex("1E 21 07 15 01 1A 00"));

    std::set<std::pair<int, int>> entries;
    std::set<int> levels;
    std::vector<Packet> list = {first[2]};
    list.insert(list.end(), rest.begin(), rest.end());
    for (const Packet& p : list) {
        ASSERT_EQ(p.data.size(), 15u);
        for (int e = 0; e < 5; ++e) {
            entries.emplace(p.data[3 * e], p.data[3 * e + 1]);
            const int level = static_cast<std::int8_t>(p.data[3 * e + 2]);
            EXPECT_GE(level, -120);
            EXPECT_LE(level, -30);
            levels.insert(level);
        }
    }
    EXPECT_EQ(entries.size(), 20u) << "both receivers, channels 0-9";
    EXPECT_EQ(entries.begin()->first, 0);
    EXPECT_EQ(entries.rbegin()->first, 1);
    EXPECT_EQ(entries.rbegin()->second, 9);
    EXPECT_GT(levels.size(), 10u) << "levels differ from entry to entry";
}

TEST(SimInstrument, TheMarkerStepsEveryFewSeconds)
{
    InstrumentSettings s;
    s.markerEverySeconds = 2;
    SimInstrument instrument(s, kStart, 1);
    instrument.startMeasurement(0);
    std::vector<int> markers;
    for (std::int64_t t = 0; t <= 4000; t += 1000)
        for (const Packet& p : instrument.packetsDue(t))
            if (p.type == 4)
                markers.push_back(p.data[6]);
    EXPECT_EQ(markers, (std::vector<int>{0, 0, 1, 1, 2}));
}

TEST(SimInstrument, SingleModeAlternatesReceiversAndRepeatsTheLevelValues)
{
    InstrumentSettings s = settingsFor(MeasurementMode::Single);
    s.gps = false;
    SimInstrument instrument(s, kStart, 1);
    instrument.startMeasurement(0);
    std::vector<Packet> all;
    for (std::int64_t t = 0; t <= 10000; t += 100) {
        const std::vector<Packet> due = instrument.packetsDue(t);
        all.insert(all.end(), due.begin(), due.end());
    }
    std::vector<std::uint8_t> data;
    int levelValues = 0;
    for (const Packet& p : all) {
        EXPECT_NE(p.type, 0) << "no GPS";
        EXPECT_NE(p.type, 6);
        if (p.type == 5)
            ++levelValues;
        if (p.type == 2 || p.type == 3) {
            data.push_back(p.type);
            EXPECT_EQ(p.data.size(), 4u);
        }
    }
    EXPECT_EQ(levelValues, 1) << "once 10 s into the measurement";
    ASSERT_EQ(data.size(), 201u);
    for (std::size_t i = 0; i < data.size(); ++i)
        EXPECT_EQ(data[i], i % 2 == 0 ? 2 : 3);
}

TEST(SimInstrument, TableModeSweepsEveryStepOfBothBands)
{
    SimInstrument instrument(settingsFor(MeasurementMode::Table), kStart, 1);
    instrument.startMeasurement(0);
    std::vector<Packet> table;
    for (std::int64_t t = 0; table.size() < 90; t += 50)
        for (const Packet& p : instrument.packetsDue(t)) {
            EXPECT_TRUE(p.type == 0 || p.type == 4 || p.type == 9) << int(p.type);
            if (p.type == 9)
                table.push_back(p);
        }
    // Receiver 1's band starts at channel 991, table index 990.
    EXPECT_EQ(Bytes(table[0].data.begin(), table[0].data.begin() + 3), hex("00 DE 03"));
    EXPECT_EQ(Bytes(table[0].data.begin() + 4, table[0].data.begin() + 7), hex("00 DF 03"));

    std::set<int> indexes[2];
    for (const Packet& p : table) {
        ASSERT_EQ(p.data.size(), 16u);
        for (int e = 0; e < 4; ++e) {
            const std::uint8_t* entry = &p.data[4 * e];
            ASSERT_LE(entry[0], 1);
            indexes[entry[0]].insert(entry[1] | (entry[2] << 8));
        }
    }
    std::set<int> cellular;
    for (int i = 0; i < 124; ++i)
        cellular.insert(i);
    for (int i = 990; i < 1024; ++i)
        cellular.insert(i);
    EXPECT_EQ(indexes[0], cellular);
    ASSERT_EQ(indexes[1].size(), 201u);
    EXPECT_EQ(*indexes[1].begin(), 0);
    EXPECT_EQ(*indexes[1].rbegin(), 200);
}

TEST(SimInstrument, SkipsWhatAStalledReaderMissed)
{
    SimInstrument instrument(InstrumentSettings{}, kStart, 1);
    instrument.startMeasurement(0);
    const std::vector<Packet> late = instrument.packetsDue(60000);
    EXPECT_LE(late.size(), 30u) << "about a second's worth, not a minute's";
    EXPECT_EQ(late.front().type, 4);
    EXPECT_GT(instrument.nextDueMs(), 60000);
}

TEST(SimInstrument, AMeasurementStartedMidSecondKeepsTheClockOnTheSecond)
{
    SimInstrument instrument(InstrumentSettings{}, kStart, 1);
    instrument.startMeasurement(250);
    EXPECT_EQ(typesOf(instrument.packetsDue(250)), std::vector<std::uint8_t>{7});
    EXPECT_EQ(typesOf(instrument.packetsDue(999)), std::vector<std::uint8_t>(14, 7));
    EXPECT_EQ(typesOf(instrument.packetsDue(1000)), (std::vector<std::uint8_t>{4, 0, 7}));
}

TEST(SimInstrument, ClockPacketsFollowThePcClockWhenItIsSetDuringTheRun)
{
    SimInstrument instrument(InstrumentSettings{}, kStart, 1); // 07:33:29
    instrument.startMeasurement(0);
    instrument.packetsDue(0); // second 0
    const auto timeAt = [&](std::int64_t nowMs) {
        for (const Packet& p : instrument.packetsDue(nowMs))
            if (p.type == 4)
                return Bytes(p.data.begin(), p.data.begin() + 3); // second, minute, hour
        return Bytes{};
    };
    EXPECT_EQ(timeAt(1000), hex("1E 21 07"));
    instrument.followPcClock(1500, (kStart + 16) * 1000 + 1500 + 300); // set 16.3 s ahead
    EXPECT_EQ(timeAt(2000), hex("2F 21 07")) << "07:33:47";
    instrument.followPcClock(2500, kStart * 1000 + 2500 - 15000); // then 15 s back
    EXPECT_EQ(timeAt(3000), hex("11 21 07")) << "07:33:17";
}

} // namespace
} // namespace zentor::sim
