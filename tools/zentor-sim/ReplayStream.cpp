#include "ReplayStream.h"

#include "InstrumentPackets.h"
#include "SimPacket.h"

#include <cmath>
#include <cstddef>
#include <limits>

namespace zentor::sim {

namespace {
constexpr std::int64_t kMaxLagMs = 1000;
constexpr std::size_t kMaxBatchFrames = 64;
constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();

bool isAnswerType(std::uint8_t type)
{
    return type == kPacketIdentification || type == kPacketConfiguration ||
           type == kPacketLevelValues || type == kPacketStatusBlocks;
}
} // namespace

ReplayStream::ReplayStream(const ReplayLog& log, double speed, const std::string& fallbackSerial)
    : log_(log), speed_(speed), scheduleSeconds_(replaySchedule(log.types()))
{
    for (std::size_t i = 0; i < log.frameCount(); ++i)
        if (isAnswerType(log.type(i)))
            firstOfType_.emplace(log.type(i), i);
    lastOfType_ = firstOfType_;
    if (log.serialNumber())
        identification_ = frameBytes(identificationPacket(*log.serialNumber()));
    else if (firstOfType_.count(kPacketIdentification) == 0)
        identification_ = frameBytes(identificationPacket(fallbackSerial));
}

std::vector<Bytes> ReplayStream::start(std::int64_t nowMs)
{
    started_ = true;
    next_ = 0;
    startMs_ = nowMs;
    lastOfType_ = firstOfType_;
    return {};
}

std::int64_t ReplayStream::dueMs(std::size_t i) const
{
    if (speed_ <= 0.0)
        return startMs_;
    return startMs_ + std::llround(scheduleSeconds_[i] * 1000.0 / speed_);
}

std::int64_t ReplayStream::nextDueMs() const
{
    return next_ < log_.frameCount() ? dueMs(next_) : kNever;
}

std::vector<Bytes> ReplayStream::due(std::int64_t nowMs)
{
    std::vector<Bytes> out;
    if (!started_ || next_ == log_.frameCount())
        return out;
    if (const std::int64_t lagMs = nowMs - dueMs(next_); lagMs > kMaxLagMs)
        startMs_ += lagMs;
    while (next_ < log_.frameCount() && out.size() < kMaxBatchFrames && dueMs(next_) <= nowMs) {
        if (isAnswerType(log_.type(next_)))
            lastOfType_[log_.type(next_)] = next_;
        out.push_back(log_.frame(next_++));
    }
    return out;
}

std::vector<Bytes> ReplayStream::lastSent(std::initializer_list<std::uint8_t> types) const
{
    std::vector<Bytes> frames;
    for (std::uint8_t type : types)
        if (const auto it = lastOfType_.find(type); it != lastOfType_.end())
            frames.push_back(log_.frame(it->second));
    return frames;
}

std::vector<Bytes> ReplayStream::answer(std::uint8_t command) const
{
    switch (command) {
    case kCmdIdentify:
        return identification_.empty() ? lastSent({kPacketIdentification})
                                       : std::vector<Bytes>{identification_};
    case kCmdConfiguration:
        if (lastOfType_.count(kPacketConfiguration) == 0 && log_.headerConfiguration())
            return {*log_.headerConfiguration()};
        return lastSent({kPacketConfiguration});
    case kCmdChannelInformation:
        return lastSent({kPacketLevelValues, kPacketStatusBlocks});
    default:
        return {};
    }
}

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

} // namespace zentor::sim
