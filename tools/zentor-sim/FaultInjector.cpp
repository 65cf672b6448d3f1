#include "FaultInjector.h"

#include "link/Frame.h"

namespace zentor::sim {

FaultInjector::FaultInjector(FaultKinds kinds, double ratePerFrame, std::uint32_t seed)
    : ratePerFrame_(ratePerFrame), random_(seed)
{
    if (kinds.garbage)
        enabled_.push_back(ChunkKind::Garbage);
    if (kinds.bitflip)
        enabled_.push_back(ChunkKind::BitFlip);
    if (kinds.truncate)
        enabled_.push_back(ChunkKind::Truncated);
}

std::vector<Chunk> FaultInjector::apply(const Bytes& frame)
{
    if (enabled_.empty() || frame.size() < 2 || !random_.chance(ratePerFrame_))
        return {{ChunkKind::Intact, frame}};

    const ChunkKind kind = enabled_[random_.below(static_cast<std::uint32_t>(enabled_.size()))];
    const auto size = static_cast<std::uint32_t>(frame.size());
    if (kind == ChunkKind::Garbage) {
        Bytes garbage(1 + random_.below(kMaxGarbageBytes));
        for (std::uint8_t& b : garbage)
            b = random_.byte();
        // Half the bursts carry a sync byte, so that a receiver starts a false frame in them.
        if (random_.chance(0.5))
            garbage[random_.below(static_cast<std::uint32_t>(garbage.size()))] = kSyncByte;
        return {{ChunkKind::Garbage, garbage}, {ChunkKind::Intact, frame}};
    }
    if (kind == ChunkKind::BitFlip) {
        Bytes flipped = frame;
        flipped[random_.below(size)] ^= static_cast<std::uint8_t>(1u << random_.below(8));
        return {{ChunkKind::BitFlip, flipped}};
    }
    const std::uint32_t kept = 1 + random_.below(size - 1);
    return {{ChunkKind::Truncated, Bytes(frame.begin(), frame.begin() + kept)}};
}

} // namespace zentor::sim
