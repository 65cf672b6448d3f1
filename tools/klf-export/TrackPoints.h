#pragma once

#include "ExportFormats.h"

#include <optional>
#include <vector>

namespace zentor::klfexport {

// One position of the route with what one receiver read there.
struct TrackPoint
{
    Position position;
    std::optional<int> strongestDbm; // none when the receiver read nothing there
};

// The writers that draw the whole route at once (KML, SVG): every position of the drive, in
// order, with the strongest reading of the chosen receiver among the readings that took it. The
// route, not the readings, is held: a few dozen bytes a position, one a second.
class RouteWriter : public DriveWriter
{
public:
    explicit RouteWriter(int receiver) : receiver_(receiver) {}

    void position(const Position& p) override { points_.push_back({p, std::nullopt}); }
    void reading(const Reading& r, const Position& at) override;

protected:
    const std::vector<TrackPoint>& points() const { return points_; }
    int receiver() const { return receiver_; }
    // The readings of the receiver.
    std::size_t readings() const { return readings_; }

private:
    const int receiver_;
    std::vector<TrackPoint> points_;
    std::size_t readings_ = 0;
};

// The length of the route in metres: the distances between consecutive positions of a segment.
double routeLengthM(const std::vector<TrackPoint>& points);

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
