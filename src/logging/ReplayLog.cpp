#include "ReplayLog.h"

#include "link/Frame.h"
#include "link/PacketLayout.h"
#include "logging/KlfFormat.h"

#include <algorithm>

namespace zentor {

namespace {

bool isTravelPilotRecord(std::uint8_t type)
{
    return type == kTravelPilotPositionType || type == kTravelPilotSpeedType;
}

// The receivers record's data: the presence flags, receiver 1's 12-byte block and the first 11
// bytes of receiver 2's. The configuration packet carries both blocks whole.
Bytes framed(std::uint8_t type, const Bytes& data)
{
    const OutboundFrame frame = buildFrame(type, data.data(), data.size());
    return Bytes(frame.bytes.begin(), frame.bytes.begin() + static_cast<long>(frame.size));
}

Bytes configurationFromReceivers(const ByteView& data)
{
    Bytes config(data.data, data.data + data.size);
    config.resize(kConfigurationDataBytes, 0);
    return framed(kPacketConfiguration, config);
}

std::string serialNumberText(const ByteView& data)
{
    const std::uint8_t* end = data.data + std::min(data.size, kSerialNumberBytes);
    return std::string(data.data, std::find(data.data, end, std::uint8_t{0}));
}

} // namespace

ReplayLog::ReplayLog(const Bytes& file) : fileSize_(file.size())
{
    KlfReader reader(file.data(), file.size());
    KlfRecord record;
    std::size_t end = 0; // one past the last record the walk read
    while (reader.next(record)) {
        end = record.offset + record.size;
        take(record, file.data());
    }
    verdict_ = reader.verdict();
    problemOffset_ = reader.problemOffset();
    problem_ = reader.problem();
    const bool headerCutShort = verdict_ == KlfVerdict::Truncated && problemOffset_ == end;
    if (end < file.size() || headerCutShort)
        stopOffset_ = end;
}

void ReplayLog::take(const KlfRecord& record, const std::uint8_t* file)
{
    switch (record.kind) {
    case KlfRecordKind::LeadIn:
        return;
    case KlfRecordKind::Signature:
        hasHeader_ = true;
        return;
    case KlfRecordKind::SerialNumber:
        if (const std::string serial = serialNumberText(record.data); !serial.empty())
            serialNumber_ = serial;
        return;
    case KlfRecordKind::Receivers:
        headerConfiguration_ = configurationFromReceivers(record.data);
        return;
    case KlfRecordKind::ChannelInformation:
    case KlfRecordKind::Packet:
        break;
    }
    if (isTravelPilotRecord(record.type)) {
        ++travelPilotRecords_;
        return;
    }
    if (record.checksum == ChecksumState::Bad) {
        badChecksums_.push_back(record.offset);
        return;
    }
    frames_.push_back({wire_.size(), 1 + record.size, record.type});
    wire_.push_back(kSyncByte);
    wire_.insert(wire_.end(), file + record.offset, file + record.offset + record.size);
}

Bytes ReplayLog::frame(std::size_t i) const
{
    const auto begin = wire_.begin() + static_cast<std::ptrdiff_t>(frames_[i].begin);
    return Bytes(begin, begin + static_cast<std::ptrdiff_t>(frames_[i].size));
}

std::vector<std::uint8_t> ReplayLog::types() const
{
    std::vector<std::uint8_t> types;
    types.reserve(frames_.size());
    for (const Frame& f : frames_)
        types.push_back(f.type);
    return types;
}

std::optional<Bytes> ReplayLog::headerIdentification() const
{
    if (!serialNumber_)
        return std::nullopt;
    const std::string text = serialNumber_->substr(0, kIdentificationLength);
    return framed(kPacketIdentification, Bytes(text.begin(), text.end()));
}

std::string ReplayLog::stopText(const std::string& name) const
{
    if (!stopOffset_)
        return {};
    const std::string why = problemOffset_ == *stopOffset_
                                ? std::string(klfVerdictWord(verdict_)) + " at byte " +
                                      std::to_string(*stopOffset_) + " (" + problem_ + ")"
                                : "unreadable from byte " + std::to_string(*stopOffset_);
    return name + " is " + why + " of " + std::to_string(fileSize_) +
           ": the replay stops there, after the whole packets before it";
}

} // namespace zentor
