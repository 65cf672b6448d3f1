#include "PositionRecords.h"

#include "FixTime.h"
#include "gps/GpsRecordDecoder.h"
#include "nav/TravelPilotLogPackets.h"

#include <cmath>

namespace zentor::klfexport {

namespace {

constexpr double kMaxLatitudeDeg = 90.0;
constexpr double kMaxLongitudeDeg = 180.0;

// LogTimeFields counts the years from 1900 and the months from 0.
constexpr int kYearsBase = 1900;

bool isPlace(double latitudeDeg, double longitudeDeg)
{
    return std::fabs(latitudeDeg) <= kMaxLatitudeDeg && std::fabs(longitudeDeg) <= kMaxLongitudeDeg;
}

// What position a GPS record's fix mode gives; none for the modes without one (reserved, bad
// geometry, acquiring satellites).
std::optional<PositionFix> fixOf(int fixMode)
{
    switch (fixMode) {
    case kGpsFix2D:
        return PositionFix::TwoD;
    case kGpsFix3D:
        return PositionFix::ThreeD;
    case kGpsFixPositionHold:
        return PositionFix::Hold;
    case kGpsFixPropagate:
        return PositionFix::Propagated;
    default:
        return std::nullopt;
    }
}

// Degrees of a TravelPilot coordinate, north or east positive; none for a letter other than
// the two given or a coordinate out of range.
std::optional<double> coordinateDeg(const TravelPilotCoordinate& coordinate, char positive,
                                    char negative)
{
    const TravelPilotCoordinateParts parts = coordinateParts(coordinate);
    if (parts.hemisphere != positive && parts.hemisphere != negative)
        return std::nullopt;
    if (!coordinateInRange(parts))
        return std::nullopt;
    const double degrees = parts.integerPart + static_cast<double>(parts.fractionalPart) /
                                                   kTravelPilotMillionthsPerDegree;
    return parts.hemisphere == positive ? degrees : -degrees;
}

} // namespace

const char* sourceWord(PositionSource source)
{
    return source == PositionSource::Gps ? "gps" : "travelpilot";
}

const char* fixWord(PositionFix fix)
{
    switch (fix) {
    case PositionFix::TwoD:
        return "2d";
    case PositionFix::ThreeD:
        return "3d";
    case PositionFix::Hold:
        return "hold";
    case PositionFix::Propagated:
        return "propagated";
    case PositionFix::TravelPilot:
        break;
    }
    return "travelpilot";
}

std::optional<Position> gpsPosition(ByteView data)
{
    const std::optional<GpsStatus> status = decodeGpsRecord(data.data, data.size);
    if (!status)
        return std::nullopt;
    const std::optional<PositionFix> fix = fixOf(status->receiver.fixMode);
    if (!fix)
        return std::nullopt;
    Position p;
    p.fix = *fix;
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
    const std::optional<PositionLogFields> record = readPositionLogData(data.data, data.size);
    // A record longer than the data logger writes is left out too.
    if (!record || data.size != kTpPositionLogDataBytes)
        return std::nullopt;
    const std::optional<double> latitude = coordinateDeg(record->latitude, 'N', 'S');
    const std::optional<double> longitude = coordinateDeg(record->longitude, 'E', 'W');
    if (!latitude || !longitude || !isPlace(*latitude, *longitude))
        return std::nullopt;
    Position p;
    p.fix = PositionFix::TravelPilot;
    p.latitudeDeg = *latitude;
    p.longitudeDeg = *longitude;
    const LogTimeFields& t = record->time;
    p.time = {kYearsBase + t.yearsSince1900,
              t.month + 1,
              t.dayOfMonth,
              t.hours,
              t.minutes,
              t.seconds,
              false};
    if (!isValidFixTime(p.time))
        return std::nullopt;
    return p;
}

} // namespace zentor::klfexport
