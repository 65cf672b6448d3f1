#pragma once

#include "gps/GpsStatus.h"

#include <cstddef>
#include <cstdint>
#include <mutex>

namespace zentor {

// The GPS status that the program shows and publishes: the last GPS record that was decoded.
// It is written by one thread and read by others, each read a whole copy, so a reader never sees
// one record's position with another record's time.
//
// All members may be called from any thread.
class GpsStatusStore
{
public:
    // Decodes the record and makes it the status. A record shorter than kGpsRecordSize is not
    // decoded and leaves the status as it was: returns false then.
    bool decode(const std::uint8_t* record, std::size_t size);

    // A copy of the status; all zero before the first record.
    GpsStatus snapshot() const;

private:
    mutable std::mutex mutex_; // guards status_
    GpsStatus status_;
};

} // namespace zentor
