#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

// The frames of the TravelPilot link. Requests (PC to unit) and the unit's responses have the
// same shape:
//
//   offset  width  field
//   0       1      N, the length of the whole frame, checksum included: 5 + data length
//   1       1      command
//   2       1      one's complement of the command
//   3       N-5    data
//   N-2     2      checksum: 16-bit sum of every byte before it, low byte first
//
// Every request the data logger sends carries no data, so it is 5 bytes long. Of a response only
// the length byte and the command are relied on (see TravelPilotResponse.h); its checksum is not
// checked, as nothing is known of how every unit fills it.
namespace zentor {

constexpr std::uint8_t kTpCmdVersion = 10;  // firmware version
constexpr std::uint8_t kTpCmdPosition = 40; // dead-reckoning position
constexpr std::uint8_t kTpCmdSpeed = 44;    // speed and direction
// A response command that carries no data the link uses; it is read and passed over.
constexpr std::uint8_t kTpCmdNoData = 238;

constexpr std::size_t kTpFrameOverhead = 5; // length, command, complement, checksum
constexpr std::size_t kTpMaxFrameBytes = 255;
constexpr std::size_t kTpMaxFrameData = kTpMaxFrameBytes - kTpFrameOverhead;
constexpr std::size_t kTpRequestBytes = kTpFrameOverhead;

// A frame ready to be written as one block.
struct TravelPilotFrame
{
    std::array<std::uint8_t, kTpMaxFrameBytes> bytes{};
    std::size_t size = 0; // N; 0 when the data did not fit a frame
};

// Builds the frame of `command` with `n` data bytes (`data` may be null when n is 0). More than
// kTpMaxFrameData bytes do not fit the length byte: the result then has size 0.
TravelPilotFrame buildTravelPilotFrame(std::uint8_t command, const std::uint8_t* data = nullptr,
                                       std::size_t n = 0);

// The request the data logger sends for `command`: the 5-byte frame without data.
inline TravelPilotFrame travelPilotRequest(std::uint8_t command)
{
    return buildTravelPilotFrame(command);
}

// The command of a request as the unit receives it: `bytes` holds `n` bytes starting at a
// length byte. Empty unless those bytes are one whole frame of that length whose complement and
// checksum match. For the unit's side (the simulator).
std::optional<std::uint8_t> parseTravelPilotRequest(const std::uint8_t* bytes, std::size_t n);

} // namespace zentor
