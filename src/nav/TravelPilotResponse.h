#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// Decoding one response of the TravelPilot unit. Byte 0 is the frame length L (the length byte
// included), byte 1 the command it answers; the fields the link reads, by command:
//
//   command  offset  width  field
//   10       3       1      major version
//            4       1      minor version
//   40       3       7      latitude  (a coordinate, below)
//            10      7      longitude (a coordinate, below)
//   44       3       2      speed, km/h, signed, little-endian
//            5       2      direction, degrees, unsigned, little-endian
//   238      -       -      nothing
//
// A coordinate: 1 byte hemisphere letter, 16-bit integer part (whole degrees), 32-bit
// fractional part (the rest of the degree in millionths, 0 .. 999999), both little-endian.
namespace zentor {

// The receive buffer of the link: larger than any frame a length byte can announce.
constexpr std::size_t kTpReceiveBufferBytes = 1024;
constexpr std::size_t kTpCoordinateBytes = 7;

using TravelPilotCoordinate = std::array<std::uint8_t, kTpCoordinateBytes>;

enum class TravelPilotAnswer
{
    NoAnswer,  // failed read: nothing arrived
    BadLength, // failed read: the length byte was 0 or 1, too short for a frame
    Short,     // failed read: fewer bytes arrived than the length byte announced
    Version,   // command 10
    Position,  // command 40
    Speed,     // command 44
    NoData,    // command 238, which carries nothing for the link
    Unknown,   // a whole frame of another command: passed over
    Malformed, // a whole frame of 10, 40 or 44 too short for its fields: passed over
};

// True for the answers that count as a failed read (the link then reads once more).
inline bool isFailedRead(TravelPilotAnswer answer)
{
    return answer == TravelPilotAnswer::NoAnswer || answer == TravelPilotAnswer::BadLength ||
           answer == TravelPilotAnswer::Short;
}

// The fields of one response; only those of its answer are filled.
struct TravelPilotResponse
{
    TravelPilotAnswer answer = TravelPilotAnswer::NoAnswer;
    std::uint8_t command = 0; // byte 1, once a whole frame arrived

    int versionMajor = 0; // Version
    int versionMinor = 0;

    TravelPilotCoordinate latitude{}; // Position, as received
    TravelPilotCoordinate longitude{};

    std::array<std::uint8_t, 2> speedBytes{}; // Speed, as received
    std::array<std::uint8_t, 2> directionBytes{};
    std::int16_t speedKmh = 0;
    std::uint16_t directionDeg = 0;
};

// How many bytes follow a length byte of `length`: L - 1, or 0 when L is too short to be a
// frame (0 or 1), so a read never asks for a negative count.
inline std::size_t bytesAfterLength(std::uint8_t length)
{
    return length < 2 ? 0 : static_cast<std::size_t>(length) - 1;
}

// Decodes the `arrived` bytes of one read, starting at the length byte. Bytes beyond the frame's
// length are ignored.
TravelPilotResponse parseTravelPilotResponse(const std::uint8_t* bytes, std::size_t arrived);

// A coordinate's parts.
struct TravelPilotCoordinateParts
{
    char hemisphere = 0;
    std::int16_t integerPart = 0;
    std::int32_t fractionalPart = 0;
};
TravelPilotCoordinateParts coordinateParts(const TravelPilotCoordinate& coordinate);

// The fractional part counts millionths of a degree, so 'N', 52, 165 is 52.000165 degrees.
constexpr std::int32_t kTravelPilotMillionthsPerDegree = 1000000;

// Whether the parts are a reading at all: whole degrees not negative and a rest of
// 0 .. 999999 millionths. Anything else is a damaged or foreign frame, never a place.
bool coordinateInRange(const TravelPilotCoordinateParts& parts);

} // namespace zentor
