#include "gps/GpsStatusStore.h"

#include "gps/GpsRecordDecoder.h"

#include <utility>

namespace zentor {

bool GpsStatusStore::decode(const std::uint8_t* record, std::size_t size)
{
    // Decoded outside the lock, so a reader waits only for the copy.
    std::optional<GpsStatus> decoded = decodeGpsRecord(record, size);
    if (!decoded)
        return false;
    std::lock_guard<std::mutex> lock(mutex_);
    status_ = std::move(*decoded);
    return true;
}

GpsStatus GpsStatusStore::snapshot() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return status_;
}

} // namespace zentor
