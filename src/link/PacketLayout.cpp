#include "link/PacketLayout.h"

#include "link/ByteOrder.h"

namespace zentor {

void readConfigurationBlock(ReceiverRange& range, const std::uint8_t* block)
{
    range.startCount = static_cast<std::int32_t>(readLe32(block));
    range.stopCount = static_cast<std::int32_t>(readLe32(block + 4));
    range.stepKHz = readLe32(block + 8) / kStepUnitsPerKHz;
}

void writeConfigurationBlock(std::uint8_t* block, std::int32_t startCount, std::int32_t stopCount,
                             std::uint32_t stepKHzX256)
{
    writeLe32(block, static_cast<std::uint32_t>(startCount));
    writeLe32(block + 4, static_cast<std::uint32_t>(stopCount));
    writeLe32(block + 8, stepKHzX256);
}

void readStatusBlock(ReceiverRange& range, const std::uint8_t* block)
{
    for (std::size_t k = 0; k < kListEntries; ++k)
        range.listCounts[k] = static_cast<std::int32_t>(readLe32(block + 4 * k));
    range.currentCount = range.listCounts[0];
}

void writeStatusBlock(std::uint8_t* block, const std::array<std::int32_t, kListEntries>& counts)
{
    for (std::size_t k = 0; k < kListEntries; ++k)
        writeLe32(block + 4 * k, static_cast<std::uint32_t>(counts[k]));
}

} // namespace zentor
