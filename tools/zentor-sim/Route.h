#pragma once

#include <vector>

namespace zentor::sim {

struct GeoPoint
{
    double latitudeDeg = 0.0;  // north positive
    double longitudeDeg = 0.0; // east positive
};

// A place in metres east and north of the town centre.
struct LocalPoint
{
    double eastM = 0.0;
    double northM = 0.0;
};

// Where the vehicle is at one moment.
struct RoutePoint
{
    LocalPoint local;
    GeoPoint geo;
    double headingDeg = 0.0; // 0 north, 90 east; 0 <= heading < 360
    double speedMPerS = 0.0;
};

// A drive round a loop of streets about 4 km across, centred on a town, at a steady 50 km/h;
// the loop starts again after about 13 minutes.
class Route
{
public:
    explicit Route(GeoPoint centre);

    RoutePoint at(double seconds) const;

private:
    GeoPoint toGeo(const LocalPoint& p) const;

    GeoPoint centre_;
    std::vector<LocalPoint> corners_;
    double lengthM_ = 0.0;
};

} // namespace zentor::sim
