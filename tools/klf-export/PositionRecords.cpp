#include "PositionRecords.h"

#include "FixTime.h"
#include "gps/GpsRecordDecoder.h"
#include "logging/KlfFormat.h"
#include "nav/TravelPilotResponse.h"

#include <algorithm>
#include <cmath>

namespace zentor::klfexport {

namespace {

constexpr double kMaxLatitudeDeg = 90.0;
constexpr double kMaxLongitudeDeg = 180.0;

// The TravelPilot position record's data: the time fields, then the two coordinates.
constexpr std::size_t kTravelPilotDataBytes = kTravelPilotPositionLength - 1;
constexpr std::size_t kLatitudeOffset = 6;
constexpr std::size_t kLongitudeOffset = kLatitudeOffset + kTpCoordinateBytes;
constexpr std::int32_t kMillionthsPerDegree = 1000000;
constexpr int kYearsBase = 1900;

bool isPlace(double latitudeDeg, double longitudeDeg)
{
    return std::fabs(latitudeDeg) <= kMaxLatitudeDeg && std::fabs(longitudeDeg) <= kMaxLongitudeDeg;
}

// Degrees of a TravelPilot coordinate, north or east positive; none for a letter other than
// the two given or a rest of a degree beyond 999999 millionths.
std::optional<double> coordinateDeg(const std::uint8_t* bytes, char positive, char negative)
{
    TravelPilotCoordinate coordinate;
    std::copy(bytes, bytes + kTpCoordinateBytes, coordinate.begin());
    const TravelPilotCoordinateParts parts = coordinateParts(coordinate);
    if (parts.hemisphere != positive && parts.hemisphere != negative)
        return std::nullopt;
    if (parts.integerPart < 0 || parts.fractionalPart < 0 ||
        parts.fractionalPart >= kMillionthsPerDegree)
        return std::nullopt;
    const double degrees =
        parts.integerPart + static_cast<double>(parts.fractionalPart) / kMillionthsPerDegree;
    return parts.hemisphere == positive ? degrees : -degrees;
}

} // namespace

std::optional<Position> gpsPosition(ByteView data)
{
    const std::optional<GpsStatus> status = decodeGpsRecord(data.data, data.size);
    if (!status)
        return std::nullopt;
    if (status->receiver.fixMode != kGpsFix2D && status->receiver.fixMode != kGpsFix3D)
        return std::nullopt;
    Position p;
    p.latitudeDeg = status->unfiltered.latitudeDeg;
    p.longitudeDeg = status->unfiltered.longitudeDeg;
    p.time = {status->year,    status->month,   status->day, status->hours,
              status->minutes, status->seconds, true};
    if (!isValidFixTime(p.time) || !isPlace(p.latitudeDeg, p.longitudeDeg))
        return std::nullopt;
    return p;
}

std::optional<Position> travelPilotPosition(ByteView data)
{
    if (data.size != kTravelPilotDataBytes)
        return std::nullopt;
    const std::uint8_t* d = data.data;
    const std::optional<double> latitude = coordinateDeg(d + kLatitudeOffset, 'N', 'S');
    const std::optional<double> longitude = coordinateDeg(d + kLongitudeOffset, 'E', 'W');
    if (!latitude || !longitude || !isPlace(*latitude, *longitude))
        return std::nullopt;
    Position p;
    p.latitudeDeg = *latitude;
    p.longitudeDeg = *longitude;
    // Seconds, minutes, hours, day of month, month counted from 0, years since 1900.
    p.time = {kYearsBase + d[5], d[4] + 1, d[3], d[2], d[1], d[0], false};
    if (!isValidFixTime(p.time))
        return std::nullopt;
    return p;
}

} // namespace zentor::klfexport
