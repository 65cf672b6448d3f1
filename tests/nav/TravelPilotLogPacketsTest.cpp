#include "nav/TravelPilotLogPackets.h"

#include <gtest/gtest.h>
#include <vector>

namespace zentor {
namespace {

using Bytes = std::vector<std::uint8_t>;

template <std::size_t N> Bytes bytesOf(const std::array<std::uint8_t, N>& a)
{
    return Bytes(a.begin(), a.end());
}

TEST(TravelPilotLogPackets, PositionPacketCarriesLocalTimeAndBothCoordinates)
{
    LogTimeFields t;
    t.seconds = 59;
    t.minutes = 7;
    t.hours = 23;
    t.dayOfMonth = 31;
    t.month = 11; // December
    t.yearsSince1900 = 2007 - 1900;
    const TravelPilotCoordinate lat{'N', 0x30, 0x00, 0x40, 0xE2, 0x01, 0x00};
    const TravelPilotCoordinate lon{'W', 0x7A, 0x00, 0x01, 0x02, 0x03, 0x04};
    EXPECT_EQ(bytesOf(positionLogPacket(t, lat, lon)),
              (Bytes{0x15, 0x00, 0xC0,                            // length 21, type
                     59,   7,    23,   31,   11,   107,           // time
                     'N',  0x30, 0x00, 0x40, 0xE2, 0x01, 0x00,    // latitude
                     'W',  0x7A, 0x00, 0x01, 0x02, 0x03, 0x04})); // longitude
}

TEST(TravelPilotLogPackets, YearsBeyond255KeepTheirLowByte)
{
    LogTimeFields t;
    t.yearsSince1900 = 2200 - 1900; // 300 = 0x12C
    EXPECT_EQ(positionLogPacket(t, {}, {})[8], 0x2C);
}

TEST(TravelPilotLogPackets, SpeedPacketCarriesTheBytesAsReceived)
{
    EXPECT_EQ(bytesOf(speedLogPacket({0xF6, 0xFF}, {0x0E, 0x01})),
              (Bytes{0x05, 0x00, 0xC1, 0xF6, 0xFF, 0x0E, 0x01}));
}

TEST(TravelPilotLogPackets, LocalTimeFieldsAreInRange)
{
    const LogTimeFields t = localTimeNow();
    EXPECT_GE(t.seconds, 0);
    EXPECT_LE(t.seconds, 60); // a leap second
    EXPECT_LE(t.minutes, 59);
    EXPECT_LE(t.hours, 23);
    EXPECT_GE(t.dayOfMonth, 1);
    EXPECT_LE(t.dayOfMonth, 31);
    EXPECT_GE(t.month, 0);
    EXPECT_LE(t.month, 11);
    EXPECT_GE(t.yearsSince1900, 2024 - 1900);
}

} // namespace
} // namespace zentor
