#include "TrackPoints.h"

#include <algorithm>
#include <cmath>

namespace zentor::klfexport {

namespace {
constexpr double kEarthRadiusM = 6371008.8; // mean radius
constexpr double kPi = 3.14159265358979323846;
constexpr double kMetresPerDegree = kEarthRadiusM * kPi / 180.0;
} // namespace

std::vector<TrackPoint> trackPoints(const Drive& drive, int receiver)
{
    std::vector<TrackPoint> points(drive.positions.size());
    for (std::size_t i = 0; i < points.size(); ++i)
        points[i].position = &drive.positions[i];
    for (const Reading& r : drive.readings) {
        if (r.receiver != receiver)
            continue;
        TrackPoint& p = points[r.position];
        p.strongestDbm = std::max(p.strongestDbm.value_or(r.rssiDbm), r.rssiDbm);
    }
    return points;
}

double routeLengthM(const Drive& drive)
{
    double length = 0.0;
    for (std::size_t i = 1; i < drive.positions.size(); ++i) {
        const Position& p = drive.positions[i];
        if (p.startsSegment)
            continue;
        const LocalPlane plane(drive.positions[i - 1]);
        length += std::hypot(plane.eastM(p), plane.northM(p));
    }
    return length;
}

LocalPlane::LocalPlane(const Position& origin)
    : originLatitudeDeg_(origin.latitudeDeg), originLongitudeDeg_(origin.longitudeDeg),
      metresPerDegreeEast_(kMetresPerDegree * std::cos(origin.latitudeDeg * kPi / 180.0))
{}

double LocalPlane::eastM(const Position& p) const
{
    double degrees = p.longitudeDeg - originLongitudeDeg_;
    // A drive across the 180th meridian stays in one piece.
    if (degrees > 180.0)
        degrees -= 360.0;
    else if (degrees < -180.0)
        degrees += 360.0;
    return degrees * metresPerDegreeEast_;
}

double LocalPlane::northM(const Position& p) const
{
    return (p.latitudeDeg - originLatitudeDeg_) * kMetresPerDegree;
}

} // namespace zentor::klfexport
