#include "FaultInjector.h"

#include "link/Frame.h"

namespace zentor::sim {

FaultInjector::FaultInjector(FaultKinds kinds, double ratePerFrame, std::uint32_t seed)
    : ratePerFrame_(ratePerFrame), random_(seed)
{
    if (kinds.garbage)
        enabled_.push_back(Fault::Garbage);
    if (kinds.bitflip)
        enabled_.push_back(Fault::BitFlip);
    if (kinds.truncate)
        enabled_.push_back(Fault::Truncate);
    if (kinds.bodyflip)
        enabled_.push_back(Fault::BodyFlip);
}

std::vector<Chunk> FaultInjector::apply(const Bytes& frame)
{
    if (enabled_.empty() || frame.size() <= kBodyOffset || !random_.chance(ratePerFrame_))
        return {{ChunkKind::Intact, frame}};

    const Fault fault = enabled_[random_.below(static_cast<std::uint32_t>(enabled_.size()))];
    const auto size = static_cast<std::uint32_t>(frame.size());
    if (fault == Fault::Garbage) {
        Bytes garbage(1 + random_.below(kMaxGarbageBytes));
        for (std::uint8_t& b : garbage)
            b = random_.byte();
        // Half the bursts carry a sync byte, so that a receiver starts a false frame in them.
        if (random_.chance(0.5))
            garbage[random_.below(static_cast<std::uint32_t>(garbage.size()))] = kSyncByte;
        return {{ChunkKind::Garbage, garbage}, {ChunkKind::Intact, frame}};
    }
    if (fault == Fault::BitFlip || fault == Fault::BodyFlip) {
        const std::uint32_t first = fault == Fault::BodyFlip ? kBodyOffset : 0;
        Bytes flipped = frame;
        flipped[first + random_.below(size - first)] ^=
            static_cast<std::uint8_t>(1u << random_.below(8));
        return {{ChunkKind::BitFlip, flipped}};
    }
    const std::uint32_t kept = 1 + random_.below(size - 1);
    return {{ChunkKind::Truncated, Bytes(frame.begin(), frame.begin() + kept)}};
}

} // namespace zentor::sim
