#pragma once

#include "gps/GpsStatus.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace zentor {

// Decodes the GPS record that the instrument forwards (packet type 0). The message's header and
// checksum are not checked: the instrument has already passed the record on, and a damaged
// record shows as odd values until the next one a second later.
//
// Returns nothing when fewer than kGpsRecordSize bytes are given (the record is not decoded);
// bytes beyond the record are ignored. Pure function: any thread.
std::optional<GpsStatus> decodeGpsRecord(const std::uint8_t* record, std::size_t size);

} // namespace zentor
