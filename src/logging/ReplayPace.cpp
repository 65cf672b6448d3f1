#include "logging/ReplayPace.h"

#include "link/PacketTypes.h"

#include <cmath>

namespace zentor {

std::vector<double> replaySchedule(const std::vector<std::uint8_t>& types)
{
    const std::size_t n = types.size();
    std::vector<double> seconds(n);
    std::vector<std::size_t> clocks;
    for (std::size_t i = 0; i < n; ++i)
        if (types[i] == kPacketClock)
            clocks.push_back(i);
    if (clocks.size() < 2) {
        for (std::size_t i = 0; i < n; ++i)
            seconds[i] = static_cast<double>(i) / kUnclockedPacketsPerSecond;
        return seconds;
    }

    // Second k runs from clock packet k up to the one after it.
    for (std::size_t k = 0; k + 1 < clocks.size(); ++k) {
        const double step = 1.0 / static_cast<double>(clocks[k + 1] - clocks[k]);
        for (std::size_t i = clocks[k]; i < clocks[k + 1]; ++i)
            seconds[i] = static_cast<double>(k) + static_cast<double>(i - clocks[k]) * step;
    }
    const std::size_t first = clocks.front();
    const std::size_t last = clocks.back();
    const double firstStep = 1.0 / static_cast<double>(clocks[1] - first);
    const double lastStep = 1.0 / static_cast<double>(last - clocks[clocks.size() - 2]);
    for (std::size_t i = 0; i < first; ++i)
        seconds[i] = -static_cast<double>(first - i) * firstStep;
    for (std::size_t i = last; i < n; ++i)
        seconds[i] =
            static_cast<double>(clocks.size() - 1) + static_cast<double>(i - last) * lastStep;

    const double origin = seconds[0];
    for (double& s : seconds)
        s -= origin;
    return seconds;
}

ReplayPace::ReplayPace(const std::vector<std::uint8_t>& types) : seconds_(replaySchedule(types)) {}

void ReplayPace::anchor(std::size_t next, std::int64_t nowMs, double speed)
{
    anchorIndex_ = next;
    anchorMs_ = nowMs;
    speed_ = speed;
}

std::int64_t ReplayPace::dueMs(std::size_t i) const
{
    if (speed_ <= 0.0 || i >= seconds_.size())
        return anchorMs_;
    const double base = anchorIndex_ < seconds_.size() ? seconds_[anchorIndex_] : totalSeconds();
    return anchorMs_ + std::llround((seconds_[i] - base) * 1000.0 / speed_);
}

std::size_t ReplayPace::dueCount(std::size_t next, std::int64_t nowMs, std::size_t limit)
{
    if (next >= seconds_.size())
        return 0;
    if (nowMs - dueMs(next) > kMaxLagMs)
        anchor(next, nowMs, speed_);
    std::size_t count = 0;
    while (next + count < seconds_.size() && count < limit && dueMs(next + count) <= nowMs)
        ++count;
    return count;
}

} // namespace zentor
