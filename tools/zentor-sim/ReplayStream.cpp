#include "ReplayStream.h"

#include "InstrumentPackets.h"
#include "SimPacket.h"

#include <cmath>
#include <cstddef>
#include <limits>

namespace zentor::sim {

namespace {
constexpr std::size_t kMaxBatchFrames = 64;
constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();

bool isAnswerType(std::uint8_t type)
{
    return type == kPacketIdentification || type == kPacketConfiguration ||
           type == kPacketLevelValues || type == kPacketStatusBlocks;
}
} // namespace

ReplayStream::ReplayStream(const ReplayLog& log, double speed, const std::string& fallbackSerial)
    : log_(log), speed_(speed), pace_(log.types())
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
    pace_.anchor(0, nowMs, speed_);
    lastOfType_ = firstOfType_;
    return {};
}

std::int64_t ReplayStream::nextDueMs() const
{
    return next_ < log_.frameCount() ? pace_.dueMs(next_) : kNever;
}

std::vector<Bytes> ReplayStream::due(std::int64_t nowMs)
{
    std::vector<Bytes> out;
    if (!started_ || next_ == log_.frameCount())
        return out;
    for (std::size_t n = pace_.dueCount(next_, nowMs, kMaxBatchFrames); n > 0; --n) {
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

} // namespace zentor::sim
