#include "nav/TravelPilotTexts.h"

#include "core/TextFormat.h"

namespace zentor {

std::string travelPilotVersionText(int major, int minor)
{
    return formatText("V %d.%d", major, minor);
}

std::string travelPilotCoordinateText(const TravelPilotCoordinate& coordinate)
{
    const TravelPilotCoordinateParts parts = coordinateParts(coordinate);
    if (!coordinateInRange(parts))
        return "out of range";
    const bool printable = parts.hemisphere >= 0x20 && parts.hemisphere < 0x7F;
    return formatText("%d.%06d %c", parts.integerPart, parts.fractionalPart,
                      printable ? parts.hemisphere : '?');
}

std::string travelPilotSpeedText(std::int16_t speedKmh)
{
    return formatText("%d km/h", speedKmh);
}

std::string travelPilotDirectionText(std::uint16_t directionDeg)
{
    return formatText("%u deg", static_cast<unsigned>(directionDeg));
}

TravelPilotTexts travelPilotTexts(const TravelPilotResponse& response, long positionCount)
{
    TravelPilotTexts texts;
    switch (response.answer) {
    case TravelPilotAnswer::Version:
        texts.version = travelPilotVersionText(response.versionMajor, response.versionMinor);
        break;
    case TravelPilotAnswer::Position:
        texts.latitude = travelPilotCoordinateText(response.latitude);
        texts.longitude = travelPilotCoordinateText(response.longitude);
        texts.update = formatText("%ld", positionCount);
        break;
    case TravelPilotAnswer::Speed:
        texts.speed = travelPilotSpeedText(response.speedKmh);
        texts.direction = travelPilotDirectionText(response.directionDeg);
        break;
    default:
        break;
    }
    return texts;
}

} // namespace zentor
