#include "nav/TravelPilotFrame.h"

#include <gtest/gtest.h>
#include <vector>

namespace zentor {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(const TravelPilotFrame& frame)
{
    return Bytes(frame.bytes.begin(), frame.bytes.begin() + static_cast<long>(frame.size));
}

TEST(TravelPilotFrame, RequestsAreFiveBytesWithComplementAndSum)
{
    // The sum of length, command and complement is always 5 + 255 = 0x0104.
    EXPECT_EQ(bytesOf(travelPilotRequest(kTpCmdVersion)), (Bytes{0x05, 0x0A, 0xF5, 0x04, 0x01}));
    EXPECT_EQ(bytesOf(travelPilotRequest(kTpCmdPosition)), (Bytes{0x05, 0x28, 0xD7, 0x04, 0x01}));
    EXPECT_EQ(bytesOf(travelPilotRequest(kTpCmdSpeed)), (Bytes{0x05, 0x2C, 0xD3, 0x04, 0x01}));
}

TEST(TravelPilotFrame, DataGoesBetweenComplementAndSum)
{
    const std::uint8_t data[] = {0x02, 0x0D, 0xFF};
    // 8 + 0x0A + 0xF5 + 0x02 + 0x0D + 0xFF = 0x0215
    EXPECT_EQ(bytesOf(buildTravelPilotFrame(kTpCmdVersion, data, sizeof(data))),
              (Bytes{0x08, 0x0A, 0xF5, 0x02, 0x0D, 0xFF, 0x15, 0x02}));
}

TEST(TravelPilotFrame, DataBeyondTheLengthByteDoesNotFit)
{
    const std::vector<std::uint8_t> most(kTpMaxFrameData, 0xFF);
    EXPECT_EQ(buildTravelPilotFrame(kTpCmdPosition, most.data(), most.size()).size, 255u);
    const std::vector<std::uint8_t> tooMany(kTpMaxFrameData + 1, 0xFF);
    EXPECT_EQ(buildTravelPilotFrame(kTpCmdPosition, tooMany.data(), tooMany.size()).size, 0u);
}

TEST(TravelPilotFrame, RequestParsingChecksLengthComplementAndSum)
{
    struct Case
    {
        const char* legend;
        Bytes bytes;
        std::optional<std::uint8_t> command;
    };
    const Case cases[] = {
        {"version request", {0x05, 0x0A, 0xF5, 0x04, 0x01}, kTpCmdVersion},
        {"position request", {0x05, 0x28, 0xD7, 0x04, 0x01}, kTpCmdPosition},
        {"speed request", {0x05, 0x2C, 0xD3, 0x04, 0x01}, kTpCmdSpeed},
        {"with data", {0x06, 0x28, 0xD7, 0x07, 0x0C, 0x01}, kTpCmdPosition},
        {"wrong complement", {0x05, 0x0A, 0xF4, 0x03, 0x01}, std::nullopt},
        {"wrong sum", {0x05, 0x0A, 0xF5, 0x05, 0x01}, std::nullopt},
        {"sum bytes swapped", {0x05, 0x0A, 0xF5, 0x01, 0x04}, std::nullopt},
        {"length says more", {0x06, 0x0A, 0xF5, 0x05, 0x01}, std::nullopt},
        {"length says less", {0x04, 0x0A, 0xF5, 0x03, 0x01}, std::nullopt},
        {"too short for a frame", {0x04, 0x0A, 0xF5, 0x03}, std::nullopt},
        {"nothing", {}, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseTravelPilotRequest(c.bytes.data(), c.bytes.size()), c.command) << c.legend;
}

} // namespace
} // namespace zentor
