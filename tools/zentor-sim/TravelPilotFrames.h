#pragma once

#include "Route.h"
#include "SimPacket.h"
#include "nav/TravelPilotResponse.h"

#include <array>
#include <cstddef>
#include <cstdint>

// The frames of the TravelPilot navigation unit's serial link. Requests and responses share one
// layout (all fields bytes, multi-byte values little-endian):
//
//   offset  width  field
//   0       1      N: the whole frame's length, 5 + data length
//   1       1      command (in a response: the command answered)
//   2       1      one's complement of the command
//   3       N-5    data
//   N-2     2      checksum: 16-bit sum of bytes 0 .. N-3, low byte first
//
// The version request is 05 0A F5 04 01.
namespace zentor::sim {

namespace TravelPilotCommand {
constexpr std::uint8_t kVersion = 10;
constexpr std::uint8_t kPosition = 40;
constexpr std::uint8_t kSpeedAndDirection = 44;
constexpr std::uint8_t kNotUnderstood = 238; // the answer to any other command; no data
} // namespace TravelPilotCommand

constexpr std::size_t kTravelPilotFrameOverhead = 5; // length, command, complement, checksum
constexpr std::size_t kTravelPilotMaxFrame = 255;    // the length is one byte

// A coordinate as the unit reports it:
//
//   offset  width  field
//   0       1      hemisphere letter: 'N' or 'S' (latitude), 'E' or 'W' (longitude)
//   1       2      whole degrees, unsigned
//   3       4      the rest of the degree in millionths, unsigned, 0 .. 999999
//
// which the data logger reads the same way and shows as whole degrees, point, six digits of
// millionths and the letter: 52.4711 N is 'N', 52, 471100 ("52.471100 N"), 52.000165 N is 'N',
// 52, 165 ("52.000165 N"). The value is rounded to the nearest millionth of a degree. The type
// is the data logger's own TravelPilotCoordinate.

// The 16-bit sum of `n` bytes.
std::uint16_t travelPilotSum(const std::uint8_t* bytes, std::size_t n);

// A whole frame for `command` with `data`; data longer than a frame holds is cut to fit.
Bytes travelPilotFrame(std::uint8_t command, const Bytes& data);

// `degrees` north or east positive; `positive` and `negative` are the two hemisphere letters.
// 0 counts as positive.
TravelPilotCoordinate encodeTravelPilotCoordinate(double degrees, char positive, char negative);

// 10: byte 3 the major, byte 4 the minor version ("V %d.%d").
Bytes travelPilotVersionResponse(std::uint8_t major, std::uint8_t minor);

// 40: bytes 3-9 the latitude, bytes 10-16 the longitude.
Bytes travelPilotPositionResponse(const GeoPoint& at);

// 44: bytes 3-4 the speed in km/h (signed), bytes 5-6 the direction in degrees, 0 north and 90
// east (unsigned).
Bytes travelPilotSpeedResponse(std::int16_t speedKmh, std::uint16_t directionDeg);

// 238, no data: the command is not one the unit knows.
Bytes travelPilotNotUnderstoodResponse();

} // namespace zentor::sim
