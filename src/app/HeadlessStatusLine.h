#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zentor {

// What one status line of a headless run shows.
struct HeadlessStatus
{
    int elapsedSeconds = 0;
    std::string linkStatus;                             // empty while no link is open
    std::vector<std::pair<int, std::uint32_t>> packets; // packet type and count, in type order
    std::optional<std::int32_t> logSizeKb;              // empty while not logging
    std::string position;                               // positionText's result
};

// "12 s | Connected via COM | packets 0:12 1:1 7:240 | log 34 kB | GPS 3D Fix 52.01160 4.35710",
// with "no link", "packets none" and "log off" for what is not there yet. No newline.
std::string headlessStatusLine(const HeadlessStatus& status);

// The position part: "GPS <fix mode text> <lat> <lon>" in degrees with five decimals, or
// "GPS no record" before the first record.
std::string gpsPositionText(bool recordSeen, const char* fixModeText, double latitudeDeg,
                            double longitudeDeg);

// The TravelPilot's position as its fields show it: "TravelPilot <lat> <lon>", or
// "TravelPilot no position" while its fields are empty.
std::string travelPilotPositionText(const std::string& latitude, const std::string& longitude);

} // namespace zentor
