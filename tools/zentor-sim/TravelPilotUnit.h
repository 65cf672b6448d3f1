#pragma once

#include "Route.h"
#include "SimPacket.h"

#include <cstdint>
#include <optional>

namespace zentor::sim {

// The simulated TravelPilot navigation unit, firmware V 3.1, in the vehicle that drives the
// simulated GPS's route: its position, speed and direction are the route's at the same moment.
// Stateless between requests; any thread may use a const unit.
class TravelPilotUnit
{
public:
    static constexpr std::uint8_t kVersionMajor = 3;
    static constexpr std::uint8_t kVersionMinor = 1;

    explicit TravelPilotUnit(GeoPoint townCentre) : route_(townCentre) {}

    // The response to `command`, `routeSeconds` into the drive (the instrument's clock time, on
    // which its GPS reports the route too): 10 the version, 40 the position, 44 the speed
    // (whole km/h) and direction (whole degrees); any other command gets 238.
    Bytes respond(std::uint8_t command, double routeSeconds) const;

private:
    Route route_;
};

// When the unit answers, counted from the moment a client opened its port: always; or, with
// `silentAfterSeconds`, for that long and then no more; or, with `resumeAfterSeconds` as well,
// in a cycle of answering for `silentAfterSeconds` and keeping silent for `resumeAfterSeconds`.
struct TravelPilotSilence
{
    std::optional<double> silentAfterSeconds;
    std::optional<double> resumeAfterSeconds; // only with silentAfterSeconds

    bool answering(double secondsSinceOpen) const;
};

} // namespace zentor::sim
