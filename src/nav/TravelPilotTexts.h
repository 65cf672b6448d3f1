#pragma once

#include "nav/TravelPilotResponse.h"

#include <optional>
#include <string>

namespace zentor {

// One update of the main window's TravelPilot fields: only the texts that are set change.
struct TravelPilotTexts
{
    std::optional<std::string> version;   // edTpVersion
    std::optional<std::string> latitude;  // edTpLat
    std::optional<std::string> longitude; // edTpLon
    std::optional<std::string> update;    // edTpUpdate, the count of position updates
    std::optional<std::string> speed;     // edTpSpeed
    std::optional<std::string> direction; // edTpDirection
};

// "V 2.13": the major and minor version.
std::string travelPilotVersionText(int major, int minor);

// "52.000165 N": whole degrees, point, the six digits of the millionths, hemisphere letter (a
// letter that is not printable shows as '?'). A coordinate out of range shows as
// "out of range" rather than as a place that is not there.
std::string travelPilotCoordinateText(const TravelPilotCoordinate& coordinate);

std::string travelPilotSpeedText(std::int16_t speedKmh);          // "57 km/h"
std::string travelPilotDirectionText(std::uint16_t directionDeg); // "270 deg"

// The texts a response shows: version; latitude, longitude and `positionCount` (the count of
// position responses so far, this one included); or speed and direction. Empty for the others.
TravelPilotTexts travelPilotTexts(const TravelPilotResponse& response, long positionCount);

} // namespace zentor
