#pragma once

#include "Drive.h"

#include <optional>
#include <vector>

namespace zentor::klfexport {

// One position of the route with what one receiver read there.
struct TrackPoint
{
    const Position* position = nullptr;
    std::optional<int> strongestDbm; // none when the receiver read nothing there
};

// Every position of the drive, in order, with the strongest reading of `receiver` (1 or 2)
// among the readings that took that position.
std::vector<TrackPoint> trackPoints(const Drive& drive, int receiver);

// The length of the route in metres: the distances between consecutive positions of a segment.
double routeLengthM(const Drive& drive);

// Metres east and north of a reference point, on a plane that touches the earth there; good for
// the few kilometres of a drive.
struct LocalPlane
{
    explicit LocalPlane(const Position& origin);
    double eastM(const Position& p) const;
    double northM(const Position& p) const;

private:
    double originLatitudeDeg_;
    double originLongitudeDeg_;
    double metresPerDegreeEast_;
};

} // namespace zentor::klfexport
