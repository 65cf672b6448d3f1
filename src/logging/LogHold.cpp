#include "logging/LogHold.h"

#include "link/PacketTypes.h"

namespace zentor {

LogHold::LogHold(std::size_t limitBytes) : limitBytes_(limitBytes) {}

bool LogHold::hold(const std::uint8_t* data, std::uint16_t count, Clock::time_point now)
{
    if (records_.bytes.size() + count > limitBytes_)
        return false;
    records_.bytes.insert(records_.bytes.end(), data, data + count);
    records_.sizes.push_back(count);
    if (!firstRecord_)
        firstRecord_ = now;
    if (count <= kPacketTypeOffset)
        return true;
    const std::uint8_t type = data[kPacketTypeOffset];
    if (type == kPacketIdentification)
        identified_ = true;
    else if (type == kPacketConfiguration)
        configured_ = true;
    else if (type == kPacketLevelValues || type == kPacketStatusBlocks)
        channelInformation_ = true;
    else if (measurementModeOf(type) && !firstMeasurement_)
        firstMeasurement_ = now;
    return true;
}

LogHold::Verdict LogHold::verdict(Clock::time_point now) const
{
    if (identified_ && configured_) {
        if (channelInformation_ ||
            (firstMeasurement_ && now - *firstMeasurement_ >= kChannelInformationWait))
            return Verdict::Complete;
        return Verdict::Hold;
    }
    if (firstRecord_ && now - *firstRecord_ >= kIdentifyWait)
        return Verdict::Incomplete;
    return Verdict::Hold;
}

void LogHold::handOverAll(LogSink& sink)
{
    const std::uint8_t* next = records_.bytes.data();
    for (const std::uint16_t size : records_.sizes) {
        sink.handOver(next, size);
        next += size;
    }
    records_ = LogBatch{};
}

} // namespace zentor
