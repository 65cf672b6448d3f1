#pragma once

#include "nav/TravelPilotResponse.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

// The log packets made from TravelPilot responses. They are packet records like the
// instrument's (a 16-bit little-endian length L, then L bytes starting with the type) but carry
// no checksum:
//
//   position (type 0xC0), 23 bytes        speed and direction (type 0xC1), 7 bytes
//   offset  width  field                   offset  width  field
//   0       2      L = 21                  0       2      L = 5
//   2       1      0xC0                    2       1      0xC1
//   3       1      seconds                 3       2      speed, as received
//   4       1      minutes                 5       2      direction, as received
//   5       1      hours
//   6       1      day of month
//   7       1      month, 0 to 11
//   8       1      years since 1900, low byte
//   9       7      latitude, as received
//   16      7      longitude, as received
//
// The time is the PC's local time when the response was handled.
namespace zentor {

constexpr std::uint8_t kTpPositionLogType = 0xC0;
constexpr std::uint8_t kTpSpeedLogType = 0xC1;
constexpr std::size_t kTpPositionLogBytes = 23;
constexpr std::size_t kTpSpeedLogBytes = 7;
// The position packet's data: the bytes after its type, as the log file reader hands them out.
constexpr std::size_t kTpPositionLogDataBytes = 20;

// The PC's local time as the position packet carries it.
struct LogTimeFields
{
    int seconds = 0;
    int minutes = 0;
    int hours = 0;
    int dayOfMonth = 1;
    int month = 0;          // 0 to 11
    int yearsSince1900 = 0; // only the low byte goes into the packet
};

// The PC's local time now. Any thread.
LogTimeFields localTimeNow();

std::array<std::uint8_t, kTpPositionLogBytes>
positionLogPacket(const LogTimeFields& time, const TravelPilotCoordinate& latitude,
                  const TravelPilotCoordinate& longitude);

// What a position packet carries.
struct PositionLogFields
{
    LogTimeFields time; // yearsSince1900 as the packet keeps it: its low byte
    TravelPilotCoordinate latitude{};
    TravelPilotCoordinate longitude{};
};

// Reads the data of a position packet (the `n` bytes after its type byte), the inverse of
// positionLogPacket. None when there are fewer than kTpPositionLogDataBytes; bytes after them
// are not read.
std::optional<PositionLogFields> readPositionLogData(const std::uint8_t* data, std::size_t n);

std::array<std::uint8_t, kTpSpeedLogBytes>
speedLogPacket(const std::array<std::uint8_t, 2>& speed,
               const std::array<std::uint8_t, 2>& direction);

} // namespace zentor
