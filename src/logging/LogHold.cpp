#include "logging/LogHold.h"

namespace zentor {

namespace {

// A packet record: the 16-bit length, then the type byte.
constexpr std::size_t kTypeOffset = 2;

enum HeldType : std::uint8_t
{
    kConfiguration = 0x01,
    kSingleReceiver1 = 0x02,
    kSingleReceiver2 = 0x03,
    kLevelValues = 0x05,
    kStatusBlocks = 0x06,
    kScanEntries = 0x07,
    kTableEntries = 0x09,
    kIdentification = 0x1C,
};

} // namespace

LogHold::LogHold(std::size_t limitBytes) : limitBytes_(limitBytes) {}

bool LogHold::hold(const std::uint8_t* data, std::uint16_t count, Clock::time_point now)
{
    if (records_.bytes.size() + count > limitBytes_)
        return false;
    records_.bytes.insert(records_.bytes.end(), data, data + count);
    records_.sizes.push_back(count);
    if (!firstRecord_)
        firstRecord_ = now;
    if (count <= kTypeOffset)
        return true;
    switch (data[kTypeOffset]) {
    case kIdentification:
        identified_ = true;
        break;
    case kConfiguration:
        configured_ = true;
        break;
    case kLevelValues:
    case kStatusBlocks:
        channelInformation_ = true;
        break;
    case kSingleReceiver1:
    case kSingleReceiver2:
    case kScanEntries:
    case kTableEntries:
        if (!firstMeasurement_)
            firstMeasurement_ = now;
        break;
    default:
        break;
    }
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
