#include "BandPlan.h"

namespace zentor::sim {

namespace {
constexpr std::int32_t kWrappedSteps = 34; // steps numbered 991..1024
constexpr std::int32_t kFirstWrappedChannel = 991;

constexpr std::uint32_t kStep200KHz = 200 * 256;
constexpr std::uint32_t kStep25KHz = 25 * 256;
} // namespace

std::int32_t ReceiverPlan::channelOfCount(std::int32_t count) const
{
    const std::int32_t offset = count - startCount;
    if (!channelsWrap)
        return offset + 1;
    return offset < kWrappedSteps ? offset + kFirstWrappedChannel : offset - (kWrappedSteps - 1);
}

int ReceiverPlan::tableIndexOfCount(std::int32_t count) const
{
    const std::int32_t index = channelOfCount(count) - 1;
    return index >= 0 && index < kTableEntries ? index : -1;
}

BandPlan defaultBandPlan()
{
    BandPlan plan;
    // 928.4 MHz is channel 991, 935.2 MHz channel 1, 959.8 MHz channel 124.
    plan[0].startCount = 4642;
    plan[0].stopCount = 4799;
    plan[0].stepKHzX256 = kStep200KHz;
    plan[0].channelsWrap = true;
    plan[0].listCounts = {4687, 4720, 4698, 4742, 4680, 4763, 4709, 4776, 4647, 4785};

    plan[1].startCount = 15600; // 390.000 MHz
    plan[1].stopCount = 15800;  // 395.000 MHz
    plan[1].stepKHzX256 = kStep25KHz;
    plan[1].channelsWrap = false;
    plan[1].listCounts = {15610, 15634, 15652, 15671, 15689, 15705, 15723, 15740, 15762, 15781};
    return plan;
}

} // namespace zentor::sim
