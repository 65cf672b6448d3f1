#include "link/ReceiverRange.h"

namespace zentor {

namespace {
constexpr std::int32_t kWrappedSteps = 34; // steps numbered 991..1024
constexpr std::int32_t kFirstWrappedChannel = 991;
} // namespace

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
