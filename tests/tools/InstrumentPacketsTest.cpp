#include "zentor-sim/InstrumentPackets.h"

#include "SimTestSupport.h"
#include "zentor-sim/BandPlan.h"

#include <gtest/gtest.h>

namespace zentor::sim {
namespace {

using test::hex;

// Receiver 1 starts below zero and has no numbering flag; receiver 2 has it. The list values
// include one that needs all four bytes and a negative one.
BandPlan customPlan()
{
    BandPlan plan;
    plan[0].startCount = -5;
    plan[0].stopCount = 1000;
    plan[0].stepKHzX256 = 3200; // 12.5 kHz
    plan[0].channelsWrap = false;
    plan[0].listCounts = {0x01020304, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    plan[1].startCount = 100;
    plan[1].stopCount = 300;
    plan[1].stepKHzX256 = 51200; // 200 kHz
    plan[1].channelsWrap = true;
    plan[1].listCounts = {-2, 12, 13, 14, 15, 16, 17, 18, 19, 20};
    return plan;
}

TEST(InstrumentPackets, IdentificationCarriesTheSerialText)
{
    EXPECT_EQ(frameBytes(identificationPacket("ZT012345")),
              hex("AA 0A 00 1C 5A 54 30 31 32 33 34 35 13"));
    EXPECT_EQ(frameBytes(identificationPacket("AB")), hex("AA 04 00 1C 41 42 1F"));
    EXPECT_EQ(identificationPacket("ZT0123456789").data, hex("5A 54 30 31 32 33 34 35"))
        << "only the first 8 characters go out";
}

TEST(InstrumentPackets, ConfigurationHoldsFlagsAndBothBlocks)
{
    // Flags 0x07: both receivers present, receiver 1 numbered 991..1024, 1...
    EXPECT_EQ(frameBytes(configurationPacket(defaultBandPlan())),
              hex("AA 1B 00 01 07"
                  "22 12 00 00 BF 12 00 00 00 C8 00 00" // 4642, 4799, 200 kHz x 256
                  "F0 3C 00 00 B8 3D 00 00 00 19 00 00" // 15600, 15800, 25 kHz x 256
                  "03"));
    // Flags 0x0B: both present, receiver 2 numbered; a negative start count.
    EXPECT_EQ(frameBytes(configurationPacket(customPlan())),
              hex("AA 1B 00 01 0B"
                  "FB FF FF FF E8 03 00 00 80 0C 00 00"
                  "64 00 00 00 2C 01 00 00 00 C8 00 00"
                  "E8"));
}

TEST(InstrumentPackets, LevelValuesAreEachReceiversCurrentCount)
{
    EXPECT_EQ(frameBytes(levelValuesPacket(customPlan())),
              hex("AA 0A 00 05 04 03 02 01 FE FF FF FF 00"));
}

TEST(InstrumentPackets, StatusBlocksAreTheTenListCountsOfEachReceiver)
{
    EXPECT_EQ(frameBytes(statusBlocksPacket(customPlan())),
              hex("AA 52 00 06"
                  "04 03 02 01 02 00 00 00 03 00 00 00 04 00 00 00 05 00 00 00"
                  "06 00 00 00 07 00 00 00 08 00 00 00 09 00 00 00 0A 00 00 00"
                  "FE FF FF FF 0C 00 00 00 0D 00 00 00 0E 00 00 00 0F 00 00 00"
                  "10 00 00 00 11 00 00 00 12 00 00 00 13 00 00 00 14 00 00 00"
                  "1D"));
}

TEST(InstrumentPackets, SingleModeSamplesAreSignedDbmBytes)
{
    EXPECT_EQ(frameBytes(singleLevelsPacket(0, {-120, -30, -75, -1})),
              hex("AA 06 00 02 88 E2 B5 FF 22"));
    EXPECT_EQ(frameBytes(singleLevelsPacket(1, {-64})), hex("AA 03 00 03 C0 C3"));
}

TEST(InstrumentPackets, ListEntriesAreReceiverChannelLevel)
{
    EXPECT_EQ(frameBytes(listPacket(
                  {{{0, 0, -120}, {0, 9, -30}, {1, 4, -77}, {1, 5, -101}, {0, 3, -86}}})),
              hex("AA 11 00 07 00 00 88 00 09 E2 01 04 B3 01 05 9B 00 03 AA E4"));
}

TEST(InstrumentPackets, TableEntriesCarryALittleEndianIndex)
{
    EXPECT_EQ(
        frameBytes(tablePacket({{{0, 0, -120}, {0, 3071, -30}, {1, 990, -77}, {1, 255, -100}}})),
        hex("AA 12 00 09 00 00 00 88 00 FF 0B E2 01 DE 03 B3 01 FF 00 9C 9A"));
}

TEST(InstrumentPackets, ClockIsSecondMinuteHourDayMonthYearMarker)
{
    EXPECT_EQ(frameBytes(clockPacket({2026, 1, 21, 7, 33, 29}, 3)),
              hex("AA 09 00 04 1D 21 07 15 01 1A 03 32"));
}

TEST(InstrumentPackets, GpsPacketCarriesTheWholeRecord)
{
    GpsRecord record{};
    for (std::size_t i = 0; i < record.size(); ++i)
        record[i] = static_cast<std::uint8_t>(i * 7 + 1);
    const Bytes frame = frameBytes(gpsPacket(record));
    ASSERT_EQ(frame.size(), 152u + 5);
    EXPECT_EQ(Bytes(frame.begin(), frame.begin() + 4), hex("AA 9A 00 00")) << "L = 154";
    EXPECT_EQ(Bytes(frame.begin() + 4, frame.end() - 1), Bytes(record.begin(), record.end()));
    EXPECT_EQ(frame.back(), 0x90) << "XOR of the type byte 0 and the 152 record bytes";
}

} // namespace
} // namespace zentor::sim
