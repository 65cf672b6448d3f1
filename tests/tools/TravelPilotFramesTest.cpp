#include "zentor-sim/TravelPilotFrames.h"

#include "SimTestSupport.h"
#include "nav/TravelPilotTexts.h"

#include <gtest/gtest.h>

namespace zentor::sim {
namespace {

using test::hex;

Bytes bytesOf(const TravelPilotCoordinate& c)
{
    return Bytes(c.begin(), c.end());
}

TEST(TravelPilotFrames, RequestsAndResponsesCarryTheComplementAndTheSixteenBitSum)
{
    EXPECT_EQ(travelPilotFrame(10, {}), hex("05 0A F5 04 01")) << "the version request";
    EXPECT_EQ(travelPilotFrame(40, {}), hex("05 28 D7 04 01"));
    EXPECT_EQ(travelPilotFrame(44, {}), hex("05 2C D3 04 01"));
    EXPECT_EQ(travelPilotFrame(10, {1, 2, 3}), hex("08 0A F5 01 02 03 0D 01"));
    EXPECT_EQ(travelPilotSum(hex("FF FF FF").data(), 3), 0x02FD);
    EXPECT_EQ(travelPilotSum(Bytes(258, 0xFF).data(), 258), 0x00FE) << "the sum wraps at 16 bits";
    EXPECT_EQ(travelPilotFrame(10, Bytes(300, 0)).size(), 255u) << "cut to what one length holds";
}

TEST(TravelPilotFrames, EncodesEachResponseByteForByte)
{
    EXPECT_EQ(travelPilotVersionResponse(3, 1), hex("07 0A F5 03 01 0A 01"));
    EXPECT_EQ(travelPilotPositionResponse({52.4711, 13.3812}),
              hex("13 28 D7 4E 34 00 3C 30 07 00 45 0D 00 10 D1 05 00 3F 03"));
    EXPECT_EQ(travelPilotPositionResponse({-34.6, -58.38}),
              hex("13 28 D7 53 22 00 C0 27 09 00 57 3A 00 60 CC 05 00 39 04"));
    EXPECT_EQ(travelPilotPositionResponse({0.0, 180.0}),
              hex("13 28 D7 4E 00 00 00 00 00 00 45 B4 00 00 00 00 00 59 02"));
    EXPECT_EQ(travelPilotSpeedResponse(50, 270), hex("09 2C D3 32 00 0E 01 49 01"));
    EXPECT_EQ(travelPilotSpeedResponse(-12, 359), hex("09 2C D3 F4 FF 67 01 63 03"));
    EXPECT_EQ(travelPilotNotUnderstoodResponse(), hex("05 EE 11 04 01"));
}

TEST(TravelPilotFrames, ACoordinateIsWholeDegreesAndMillionthsRoundedToTheNearest)
{
    const struct
    {
        double degrees;
        Bytes bytes;
    } cases[] = {
        {52.4711, hex("4E 34 00 3C 30 07 00")},    {52.0116, hex("4E 34 00 50 2D 00 00")},
        {-0.5, hex("53 00 00 20 A1 07 00")},       {0.0, hex("4E 00 00 00 00 00 00")},
        {-0.0000004, hex("53 00 00 00 00 00 00")}, {51.9999996, hex("4E 34 00 00 00 00 00")},
        {51.9999994, hex("4E 33 00 3F 42 0F 00")}, {89.999999, hex("4E 59 00 3F 42 0F 00")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(bytesOf(encodeTravelPilotCoordinate(c.degrees, 'N', 'S')), c.bytes) << c.degrees;
    EXPECT_EQ(bytesOf(encodeTravelPilotCoordinate(-179.25, 'E', 'W')), hex("57 B3 00 90 D0 03 00"));
}

TEST(TravelPilotFrames, TheDataLoggerShowsTheSimulatedPlace)
{
    EXPECT_EQ(travelPilotCoordinateText(encodeTravelPilotCoordinate(52.000165, 'N', 'S')),
              "52.000165 N");
    EXPECT_EQ(travelPilotCoordinateText(encodeTravelPilotCoordinate(-13.3812, 'E', 'W')),
              "13.381200 W");
}

} // namespace
} // namespace zentor::sim
