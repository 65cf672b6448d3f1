#include "TravelPilotUnit.h"

#include "TravelPilotFrames.h"

#include <cmath>

namespace zentor::sim {

namespace {
constexpr double kKmhPerMPerS = 3.6;
constexpr long kFullCircleDeg = 360;
} // namespace

Bytes TravelPilotUnit::respond(std::uint8_t command, double routeSeconds) const
{
    switch (command) {
    case TravelPilotCommand::kVersion:
        return travelPilotVersionResponse(kVersionMajor, kVersionMinor);
    case TravelPilotCommand::kPosition:
        return travelPilotPositionResponse(route_.at(routeSeconds).geo);
    case TravelPilotCommand::kSpeedAndDirection: {
        const RoutePoint at = route_.at(routeSeconds);
        return travelPilotSpeedResponse(
            static_cast<std::int16_t>(std::lround(at.speedMPerS * kKmhPerMPerS)),
            static_cast<std::uint16_t>(std::lround(at.headingDeg) % kFullCircleDeg));
    }
    default:
        return travelPilotNotUnderstoodResponse();
    }
}

bool TravelPilotSilence::answering(double secondsSinceOpen) const
{
    if (!silentAfterSeconds || secondsSinceOpen < *silentAfterSeconds)
        return true;
    if (!resumeAfterSeconds)
        return false;
    return std::fmod(secondsSinceOpen, *silentAfterSeconds + *resumeAfterSeconds) <
           *silentAfterSeconds;
}

} // namespace zentor::sim
