#include "TrackPoints.h"

#include <algorithm>
#include <cmath>

namespace zentor::klfexport {

namespace {
constexpr double kEarthRadiusM = 6371008.8; // mean radius
constexpr double kPi = 3.14159265358979323846;
constexpr double kMetresPerDegree = kEarthRadiusM * kPi / 180.0;
} // namespace

void RouteWriter::reading(const Reading& r, const Position&)
{
    // Every reading takes the last position, so the last point.
    if (r.receiver != receiver_ || points_.empty())
        return;
    ++readings_;
    std::optional<int>& strongest = points_.back().strongestDbm;
    strongest = std::max(strongest.value_or(r.rssiDbm), r.rssiDbm);
}

double routeLengthM(const std::vector<TrackPoint>& points)
{
    double length = 0.0;
    for (std::size_t i = 1; i < points.size(); ++i) {
        const Position& p = points[i].position;
        if (p.startsSegment)
            continue;
        const LocalPlane plane(points[i - 1].position);
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
