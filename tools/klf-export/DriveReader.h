#pragma once

#include "Drive.h"

#include <cstddef>
#include <cstdint>

namespace zentor::klfexport {

// Walks the `size` bytes of a log file with the program's record reader and gathers the drive:
// the positions (the TravelPilot's when the log holds any TravelPilot position record, else the
// GPS records') and every reading with the last position before it. Readings are single-mode
// packets (types 2 and 3: the first sample), list entries (type 7) and table entries (type 9);
// an entry whose receiver byte is not 0 is receiver 2's. A reading before any position, or
// after kMaxPositionAgeSeconds clock packets (type 4) without a new one, is left out and
// counted. Packets with a bad checksum are left out; the walk stops where the reader stops.
// The bytes may be anything; nothing is read outside them.
Drive readDrive(const std::uint8_t* bytes, std::size_t size);

} // namespace zentor::klfexport
