#include "app/HeadlessStatusLine.h"

#include "ui/TextFormat.h"

namespace zentor {

std::string headlessStatusLine(const HeadlessStatus& status)
{
    std::string line = std::to_string(status.elapsedSeconds) + " s | ";
    line += status.linkStatus.empty() ? "no link" : status.linkStatus;
    line += " | packets";
    if (status.packets.empty())
        line += " none";
    for (const auto& [type, count] : status.packets)
        line += " " + std::to_string(type) + ":" + std::to_string(count);
    line += status.logSizeKb ? " | log " + std::to_string(*status.logSizeKb) + " kB" : " | log off";
    return line + " | " + status.position;
}

std::string gpsPositionText(bool recordSeen, const char* fixModeText, double latitudeDeg,
                            double longitudeDeg)
{
    if (!recordSeen)
        return "GPS no record";
    return formatText("GPS %s %.5f %.5f", fixModeText, latitudeDeg, longitudeDeg);
}

std::string travelPilotPositionText(const std::string& latitude, const std::string& longitude)
{
    if (latitude.empty() && longitude.empty())
        return "TravelPilot no position";
    return "TravelPilot " + latitude + " " + longitude;
}

} // namespace zentor
