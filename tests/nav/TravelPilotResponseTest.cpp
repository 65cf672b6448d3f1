#include "nav/TravelPilotResponse.h"

#include "nav/TravelPilotFrame.h"
#include "nav/TravelPilotTexts.h"

#include <gtest/gtest.h>
#include <vector>

namespace zentor {
namespace {

using Bytes = std::vector<std::uint8_t>;

// 48 degrees and fraction 123456 north; 11, fraction 5 east; 0xFFFF integer part south.
const Bytes kLatitude{'N', 0x30, 0x00, 0x40, 0xE2, 0x01, 0x00};
const Bytes kLongitude{'E', 0x0B, 0x00, 0x05, 0x00, 0x00, 0x00};

Bytes frame(std::uint8_t command, const Bytes& data)
{
    const TravelPilotFrame f = buildTravelPilotFrame(command, data.data(), data.size());
    return Bytes(f.bytes.begin(), f.bytes.begin() + static_cast<long>(f.size));
}

Bytes joined(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct Case
{
    const char* legend;
    Bytes bytes; // what arrived
    TravelPilotAnswer answer;
    const char* version = "";
    const char* latitude = "";
    const char* longitude = "";
    const char* speed = "";
    const char* direction = "";
};

TEST(TravelPilotResponse, EachAnswerDecodesAsATable)
{
    using A = TravelPilotAnswer;
    const Bytes position = frame(kTpCmdPosition, joined(kLatitude, kLongitude));
    const Bytes speed = frame(kTpCmdSpeed, {0x39, 0x00, 0x0E, 0x01}); // 57 km/h, 270 deg
    Bytes shortPosition = position;
    shortPosition.pop_back();
    const Case cases[] = {
        {"version 2.13", frame(kTpCmdVersion, {2, 13}), A::Version, "V 2.13"},
        {"version with more data", frame(kTpCmdVersion, {1, 0, 9, 9}), A::Version, "V 1.0"},
        {"position", position, A::Position, "", "48.123456 N", "11.000005 E"},
        {"speed and direction", speed, A::Speed, "", "", "", "57 km/h", "270 deg"},
        {"reverse speed, largest direction", frame(kTpCmdSpeed, {0xF6, 0xFF, 0xFF, 0xFF}), A::Speed,
         "", "", "", "-10 km/h", "65535 deg"},
        {"command 238", frame(kTpCmdNoData, {1, 2, 3}), A::NoData},
        {"command 238 without data", {0x03, kTpCmdNoData, 0x11}, A::NoData},
        {"another command", frame(77, {1, 2}), A::Unknown},
        {"bytes after the frame are not read", joined(frame(kTpCmdVersion, {3, 4}), {0xEE}),
         A::Version, "V 3.4"},
        {"version frame without minor", {0x04, kTpCmdVersion, 0xF5, 0x02}, A::Malformed},
        {"position frame too short for the longitude", frame(kTpCmdPosition, kLatitude),
         A::Malformed},
        // The fields are read within the length, whatever the unit put there.
        {"speed frame ending after the speed", {0x05, kTpCmdSpeed, 0xD3, 0x39, 0x00}, A::Malformed},
        {"speed frame ending in the direction",
         {0x06, kTpCmdSpeed, 0xD3, 0x39, 0x00, 0x5A},
         A::Malformed},
        {"speed frame without checksum",
         {0x07, kTpCmdSpeed, 0xD3, 0x39, 0x00, 0x5A, 0x00},
         A::Speed,
         "",
         "",
         "",
         "57 km/h",
         "90 deg"},
        {"nothing arrived", {}, A::NoAnswer},
        {"length byte 0", {0x00}, A::BadLength},
        {"length byte 0 and more bytes", {0x00, kTpCmdVersion, 0xF5, 2, 13}, A::BadLength},
        {"length byte 1", {0x01}, A::BadLength},
        {"length byte alone", {0x07}, A::Short},
        {"one byte short", shortPosition, A::Short},
        {"length says more than came", joined({0xFF}, frame(kTpCmdVersion, {2, 13})), A::Short},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.legend);
        const TravelPilotResponse r = parseTravelPilotResponse(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(r.answer, c.answer);
        const TravelPilotTexts t = travelPilotTexts(r, 1);
        EXPECT_EQ(t.version.value_or(""), c.version);
        EXPECT_EQ(t.latitude.value_or(""), c.latitude);
        EXPECT_EQ(t.longitude.value_or(""), c.longitude);
        EXPECT_EQ(t.speed.value_or(""), c.speed);
        EXPECT_EQ(t.direction.value_or(""), c.direction);
    }
}

TEST(TravelPilotResponse, FailedReadsAreTheOnesReadAgain)
{
    using A = TravelPilotAnswer;
    for (A failed : {A::NoAnswer, A::BadLength, A::Short})
        EXPECT_TRUE(isFailedRead(failed));
    for (A whole : {A::Version, A::Position, A::Speed, A::NoData, A::Unknown, A::Malformed})
        EXPECT_FALSE(isFailedRead(whole));
}

TEST(TravelPilotResponse, LengthByteNeverAsksForANegativeRead)
{
    EXPECT_EQ(bytesAfterLength(0), 0u);
    EXPECT_EQ(bytesAfterLength(1), 0u);
    EXPECT_EQ(bytesAfterLength(2), 1u);
    EXPECT_EQ(bytesAfterLength(255), 254u);
    EXPECT_LT(bytesAfterLength(255), kTpReceiveBufferBytes);
}

TEST(TravelPilotResponse, PositionKeepsTheCoordinatesAsReceived)
{
    const Bytes position = frame(kTpCmdPosition, joined(kLatitude, kLongitude));
    const TravelPilotResponse r = parseTravelPilotResponse(position.data(), position.size());
    EXPECT_EQ(Bytes(r.latitude.begin(), r.latitude.end()), kLatitude);
    EXPECT_EQ(Bytes(r.longitude.begin(), r.longitude.end()), kLongitude);
    const TravelPilotCoordinateParts parts = coordinateParts(r.latitude);
    EXPECT_EQ(parts.hemisphere, 'N');
    EXPECT_EQ(parts.integerPart, 48);
    EXPECT_EQ(parts.fractionalPart, 123456);
}

TEST(TravelPilotTexts, FormatsAsTheFieldsShowThem)
{
    EXPECT_EQ(travelPilotVersionText(0, 7), "V 0.7");
    // The fraction is millionths of a degree: six digits, leading zeros kept.
    EXPECT_EQ(travelPilotCoordinateText({'N', 52, 0x00, 0xA5, 0x00, 0x00, 0x00}), "52.000165 N");
    EXPECT_EQ(travelPilotCoordinateText({'W', 0x00, 0x00, 0x3F, 0x42, 0x0F, 0x00}), "0.999999 W");
    EXPECT_EQ(travelPilotCoordinateText({0x01, 0xB4, 0x00, 0x00, 0x00, 0x00, 0x00}),
              "180.000000 ?");
    // A rest of a whole degree or more, or a negative one, is no place.
    EXPECT_EQ(travelPilotCoordinateText({'N', 52, 0x00, 0x40, 0x42, 0x0F, 0x00}), "out of range");
    EXPECT_EQ(travelPilotCoordinateText({'W', 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF}), "out of range");
    EXPECT_EQ(travelPilotCoordinateText({'S', 0xFF, 0xFF, 0x07, 0x00, 0x00, 0x00}), "out of range");
    EXPECT_EQ(travelPilotSpeedText(-32768), "-32768 km/h");
    EXPECT_EQ(travelPilotDirectionText(0), "0 deg");
    TravelPilotResponse position;
    position.answer = TravelPilotAnswer::Position;
    EXPECT_EQ(travelPilotTexts(position, 12).update, "12");
    EXPECT_FALSE(travelPilotTexts(position, 12).version);
    EXPECT_FALSE(travelPilotTexts(position, 12).speed);
}

} // namespace
} // namespace zentor
