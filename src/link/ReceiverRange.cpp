#include "link/ReceiverRange.h"

#include "link/ByteOrder.h"

namespace zentor {

namespace {
constexpr std::int32_t kWrappedSteps = 34; // steps numbered 991..1024
constexpr std::int32_t kFirstWrappedChannel = 991;
} // namespace

void readConfigurationBlock(ReceiverRange& range, const std::uint8_t* block)
{
    range.startCount = static_cast<std::int32_t>(readLe32(block));
    range.stopCount = static_cast<std::int32_t>(readLe32(block + 4));
    range.stepKHz = readLe32(block + 8) / kStepUnitsPerKHz;
}

void readStatusBlock(ReceiverRange& range, const std::uint8_t* block)
{
    for (std::size_t k = 0; k < kListEntries; ++k)
        range.listCounts[k] = static_cast<std::int32_t>(readLe32(block + 4 * k));
    range.currentCount = range.listCounts[0];
}

double frequencyMHz(const ReceiverRange& range, std::int32_t count)
{
    return count * range.stepKHz * 0.001;
}

std::int32_t channelOfCount(const ReceiverRange& range, std::int32_t count)
{
    const std::int64_t offset = static_cast<std::int64_t>(count) - range.startCount;
    std::int64_t channel = offset + 1;
    if (range.channelsWrap)
        channel = offset + 1 > kWrappedSteps ? offset - (kWrappedSteps - 1)
                                             : offset + kFirstWrappedChannel;
    return static_cast<std::int32_t>(channel);
}

std::int32_t countOfChannel(const ReceiverRange& range, std::int32_t channel)
{
    std::int64_t step = channel;
    if (range.channelsWrap)
        step = channel < kFirstWrappedChannel ? channel + kWrappedSteps
                                              : channel - (kFirstWrappedChannel - 1);
    return static_cast<std::int32_t>(step + range.startCount - 1);
}

} // namespace zentor
