#pragma once

#include "Drive.h"
#include "link/Frame.h"

#include <optional>

namespace zentor::klfexport {

// The words in the exported files: "gps" or "travelpilot"; "2d", "3d", "hold", "propagated" or
// "travelpilot".
const char* sourceWord(PositionSource source);
const char* fixWord(PositionFix fix);

// The position of a GPS record (the data of a type 0 packet): the unfiltered position and the
// record's time, UTC, with the receiver's fix mode. None when the record is short, the
// receiver's mode gives no position (2D Fix, 3D Fix, Position Hold and Propogate Mode do; in the
// others its position is an old one or zero), or the time or place is impossible.
std::optional<Position> gpsPosition(ByteView data);

// The position of a TravelPilot position record (the 20 data bytes after the 0xC0 type, read by
// nav/TravelPilotLogPackets.h): the PC's local time, the latitude (hemisphere 'N' or 'S') and
// the longitude ('E' or 'W'), each coordinate whole degrees and the rest of the degree in
// millionths (0-999999). None when the record is not 20 bytes or a field is impossible.
std::optional<Position> travelPilotPosition(ByteView data);

} // namespace zentor::klfexport
