#include "ReferenceReceiver.h"

#include <numeric>

namespace zentor::sim {

namespace {
constexpr std::uint8_t kSync = 0xAA;
constexpr unsigned kLongestBody = 2047;
constexpr std::size_t kLengthFieldSize = 2;

bool checksumHolds(const Bytes& record)
{
    const auto bodyBegin = record.begin() + kLengthFieldSize;
    const std::uint8_t sum = std::accumulate(
        bodyBegin, record.end() - 1, std::uint8_t{0},
        [](std::uint8_t acc, std::uint8_t b) { return static_cast<std::uint8_t>(acc ^ b); });
    return sum == record.back();
}
} // namespace

std::vector<ReferenceReceiver::Found> ReferenceReceiver::push(const std::uint8_t* data,
                                                              std::size_t n)
{
    std::vector<Found> found;
    for (std::size_t i = 0; i < n; ++i, ++offset_) {
        const std::uint8_t b = data[i];
        switch (phase_) {
        case Phase::SeekSync:
            if (b == kSync) {
                syncOffset_ = offset_;
                phase_ = Phase::LengthLow;
            }
            break;
        case Phase::LengthLow:
            record_.assign(1, b);
            phase_ = Phase::LengthHigh;
            break;
        case Phase::LengthHigh: {
            record_.push_back(b);
            // Read as a signed value a high byte of 0x80 or more is negative; read unsigned it
            // is above 2047. Either way it is rejected.
            const unsigned length = record_[0] | (record_[1] << 8u);
            if (length >= 1 && length <= kLongestBody) {
                bodyLength_ = length;
                phase_ = Phase::Collect;
            } else {
                phase_ = Phase::SeekSync;
            }
            break;
        }
        case Phase::Collect:
            record_.push_back(b);
            if (record_.size() == kLengthFieldSize + bodyLength_) {
                if (checksumHolds(record_))
                    found.push_back({record_, syncOffset_});
                phase_ = Phase::SeekSync;
            }
            break;
        }
    }
    return found;
}

void ReferenceReceiver::restart()
{
    phase_ = Phase::SeekSync;
    record_.clear();
}

} // namespace zentor::sim
