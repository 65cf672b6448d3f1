#pragma once

#include "SimPacket.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zentor::sim {

struct TravelPilotRequest
{
    std::uint8_t command = 0;
    Bytes data; // empty for every request the data logger sends
};

// Finds the TravelPilot requests (layout in TravelPilotFrames.h) in the bytes from the PC, which
// may arrive split anywhere. A request must have a length of 5 to kMaxRequestLength, the
// one's complement of its command in byte 2 and a right checksum. A byte that cannot start such
// a request is skipped and the search goes on from the byte after it, so a request behind a
// damaged one is still found; a wrong complement is seen as soon as byte 2 is in, without
// waiting for the whole length. Not thread-safe.
class TravelPilotRequestParser
{
public:
    static constexpr std::size_t kMaxRequestLength = 32;

    // Takes the next `n` bytes; returns the requests they complete, in order.
    std::vector<TravelPilotRequest> push(const std::uint8_t* data, std::size_t n);

    // Bytes skipped so far as not part of a good request.
    std::uint64_t skippedBytes() const { return skipped_; }

    // Drops a request begun but not finished (a new client starts afresh); the count stays.
    void clear() { pending_.clear(); }

private:
    Bytes pending_; // bytes of a request not yet complete
    std::uint64_t skipped_ = 0;
};

} // namespace zentor::sim
