#pragma once

#include "Route.h"
#include "SimRandom.h"
#include "link/PacketTypes.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace zentor::sim {

// A UTC date and time of day, as the instrument's clock and the GPS record carry it.
struct CivilTime
{
    int year = 2000;
    int month = 1; // 1-12
    int day = 1;   // 1-31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The UTC date and time of a count of seconds since 1970-01-01 00:00:00 (leap seconds ignored,
// as the instrument's clock does). Works for every date from year 1970 on.
CivilTime civilFromUnixSeconds(std::int64_t seconds);

constexpr int kGpsChannels = 12;

using GpsRecord = std::array<std::uint8_t, kGpsRecordSize>;

// One of the GPS receiver's twelve tracking channels.
struct GpsChannel
{
    std::uint8_t svid = 0;
    std::uint8_t mode = 0;    // 8: position available, 1: code acquisition, 0: idle
    std::uint8_t cnoDbHz = 0; // signal strength
    std::uint8_t iode = 0;
    std::uint8_t statusA = 0; // bit 3 time used, bit 2 differential, bit 1 invalid, bit 0 parity
    std::uint8_t statusB = 0; // bit 7 used for fix, bit 6 momentum alert, bit 5 anti-spoof, ...
};

// A position solution: angles in milliarcseconds (north and east positive), heights in cm.
struct GpsPosition
{
    std::int32_t latitudeMas = 0;
    std::int32_t longitudeMas = 0;
    std::int32_t gpsHeightCm = 0; // above the ellipsoid
    std::int32_t mslHeightCm = 0; // above mean sea level
};

// Everything the GPS receiver's twelve-channel status message reports.
struct GpsFix
{
    CivilTime utc;
    std::uint32_t fractionNs = 0;
    GpsPosition filtered;
    GpsPosition unfiltered;
    std::uint16_t speed3dCmPerS = 0;
    std::uint16_t speed2dCmPerS = 0;
    std::uint16_t headingTenthDeg = 0; // 0-3599
    std::uint16_t dopTenths = 0;
    std::uint8_t satellitesVisible = 0;
    std::uint8_t satellitesTracked = 0;
    std::array<GpsChannel, kGpsChannels> channels{};
    std::uint8_t receiverStatus1 = 0; // bits 7-5 fix mode (7 = 3D fix)
    std::uint8_t receiverStatus2 = 0; // bits 2-1 antenna sense, bit 0 code location internal
    std::int16_t clockBiasNs = 0;
    std::int32_t oscillatorOffsetHz = 0;
    std::int16_t temperatureHalfDegC = 0; // signed, in half degrees Celsius
    std::uint8_t utcParameters = 0;       // bit 7 UTC mode, bit 6 offset decoded, bits 5-0 offset
    std::uint8_t gmtOffsetSign = 0;       // 0 plus, anything else minus
    std::uint8_t gmtOffsetHours = 0;
    std::uint8_t gmtOffsetMinutes = 0;
    std::array<char, 6> idTag{};
};

// Builds the 152-byte GPS record the instrument forwards as packet type 0: the receiver's "@@Ha"
// message from its first '@' up to and including its checksum, big-endian throughout.
GpsRecord encodeGpsRecord(const GpsFix& fix);

// The GPS message checksum: XOR of the bytes after the two '@' up to the byte before the checksum
// (the checksum is the last byte). `size` must be at least 3.
std::uint8_t gpsRecordChecksum(const std::uint8_t* record, std::size_t size);

// What the instrument's GPS receiver reports at `utc`, `seconds` into the run, while the vehicle
// is at `where`: a 3D fix from eight of ten visible satellites, the unfiltered position a few
// metres off the filtered one, signal strengths, DOP, clock bias, oscillator offset and the
// receiver's temperature drifting slowly. Draws its noise from `noise`.
GpsFix simulateGpsFix(const CivilTime& utc, double seconds, const RoutePoint& where,
                      SimRandom& noise);

} // namespace zentor::sim
