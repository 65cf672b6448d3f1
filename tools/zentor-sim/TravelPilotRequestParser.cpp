#include "TravelPilotRequestParser.h"

#include "TravelPilotFrames.h"
#include "link/ByteOrder.h"

namespace zentor::sim {

namespace {
constexpr std::size_t kComplementOffset = 2;
constexpr std::size_t kDataOffset = 3;
constexpr std::size_t kChecksumBytes = 2;
} // namespace

std::vector<TravelPilotRequest> TravelPilotRequestParser::push(const std::uint8_t* data,
                                                               std::size_t n)
{
    pending_.insert(pending_.end(), data, data + n);
    std::vector<TravelPilotRequest> requests;
    std::size_t at = 0;
    while (at < pending_.size()) {
        const std::uint8_t* p = pending_.data() + at;
        const std::size_t have = pending_.size() - at;
        const std::size_t length = p[0];
        bool bad = length < kTravelPilotFrameOverhead || length > kMaxRequestLength;
        if (!bad && have > kComplementOffset)
            bad = p[kComplementOffset] != static_cast<std::uint8_t>(~p[1]);
        if (!bad && have < length)
            break; // the rest is still to come
        if (!bad)
            bad =
                readLe16(p + length - kChecksumBytes) != travelPilotSum(p, length - kChecksumBytes);
        if (bad) {
            ++skipped_;
            ++at;
            continue;
        }
        requests.push_back({p[1], Bytes(p + kDataOffset, p + length - kChecksumBytes)});
        at += length;
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(at));
    return requests;
}

} // namespace zentor::sim
