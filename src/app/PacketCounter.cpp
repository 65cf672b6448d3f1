#include "app/PacketCounter.h"

namespace zentor {

void PacketCounter::handOver(const std::uint8_t* data, std::uint16_t count)
{
    if (count > kPacketTypeOffset)
        byType_[data[kPacketTypeOffset]].fetch_add(1, std::memory_order_relaxed);
    next_.handOver(data, count);
}

std::vector<std::pair<int, std::uint32_t>> PacketCounter::counts() const
{
    std::vector<std::pair<int, std::uint32_t>> seen;
    for (std::size_t type = 0; type < byType_.size(); ++type) {
        if (const std::uint32_t n = byType_[type].load(std::memory_order_relaxed))
            seen.emplace_back(static_cast<int>(type), n);
    }
    return seen;
}

} // namespace zentor
