#include "Route.h"

#include <cmath>

namespace zentor::sim {

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kEarthRadiusM = 6378137.0;
constexpr double kSpeedMPerS = 50.0 / 3.6;

double segmentLength(const LocalPoint& a, const LocalPoint& b)
{
    return std::hypot(b.eastM - a.eastM, b.northM - a.northM);
}
} // namespace

Route::Route(GeoPoint centre)
    : centre_(centre), corners_{{0, -1500}, {1500, -1100}, {2000, 0},  {1500, 1100},
                                {0, 1500},  {-1500, 1100}, {-2000, 0}, {-1500, -1100}}
{
    for (std::size_t i = 0; i < corners_.size(); ++i)
        lengthM_ += segmentLength(corners_[i], corners_[(i + 1) % corners_.size()]);
}

RoutePoint Route::at(double seconds) const
{
    double along = std::fmod(seconds * kSpeedMPerS, lengthM_);
    std::size_t i = 0;
    while (i + 1 < corners_.size() && along >= segmentLength(corners_[i], corners_[i + 1])) {
        along -= segmentLength(corners_[i], corners_[i + 1]);
        ++i;
    }
    const LocalPoint& a = corners_[i];
    const LocalPoint& b = corners_[(i + 1) % corners_.size()];
    const double length = segmentLength(a, b);
    const double dEast = b.eastM - a.eastM;
    const double dNorth = b.northM - a.northM;

    RoutePoint p;
    p.local = {a.eastM + dEast * along / length, a.northM + dNorth * along / length};
    p.geo = toGeo(p.local);
    p.headingDeg = std::atan2(dEast, dNorth) * 180.0 / kPi;
    if (p.headingDeg < 0)
        p.headingDeg += 360.0;
    p.speedMPerS = kSpeedMPerS;
    return p;
}

GeoPoint Route::toGeo(const LocalPoint& p) const
{
    const double latRad = centre_.latitudeDeg * kPi / 180.0;
    return {centre_.latitudeDeg + p.northM / kEarthRadiusM * 180.0 / kPi,
            centre_.longitudeDeg + p.eastM / (kEarthRadiusM * std::cos(latRad)) * 180.0 / kPi};
}

} // namespace zentor::sim
