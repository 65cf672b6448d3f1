#include "ReplayLog.h"

#include "link/Frame.h"
#include "link/PacketLayout.h"
#include "logging/KlfFormat.h"
#include "logging/ReadWholeFile.h"

#include <algorithm>

namespace zentor::sim {

namespace {

bool isTravelPilotRecord(std::uint8_t type)
{
    return type == kTravelPilotPositionType || type == kTravelPilotSpeedType;
}

// The receivers record's data: the presence flags, receiver 1's 12-byte block and the first 11
// bytes of receiver 2's. The configuration packet carries both blocks whole.
Bytes configurationFromReceivers(const ByteView& data)
{
    Bytes config(data.data, data.data + data.size);
    config.resize(kConfigurationDataBytes, 0);
    return frameBytes({kPacketConfiguration, config});
}

std::string serialNumberText(const ByteView& data)
{
    const std::uint8_t* end = data.data + std::min(data.size, kSerialNumberBytes);
    return std::string(data.data, std::find(data.data, end, std::uint8_t{0}));
}

std::string plural(std::size_t n, const char* word)
{
    return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
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
    case KlfRecordKind::Signature:
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

bool readLogFile(const std::string& path, Bytes& bytes, std::string& error)
{
    if (readWholeFile(path, bytes, error))
        return true;
    error = "cannot read the log '" + path + "': " + error;
    return false;
}

std::string describeReplayLog(const std::string& path, const ReplayLog& log)
{
    std::string text =
        "zentor-sim: replaying " + path + ": " + plural(log.frameCount(), "instrument packet");
    if (log.travelPilotRecords() > 0)
        text += "; " + plural(log.travelPilotRecords(), "TravelPilot record") + " left out";
    text += "\n";
    if (const auto& stop = log.stopOffset()) {
        const std::string why = log.problemOffset() == *stop
                                    ? std::string(klfVerdictWord(log.verdict())) + " at byte " +
                                          std::to_string(*stop) + " (" + log.problem() + ")"
                                    : "unreadable from byte " + std::to_string(*stop);
        text += "zentor-sim: " + path + " is " + why + " of " + std::to_string(log.fileSize()) +
                ": the replay stops there, after the whole packets before it\n";
    }
    if (const std::vector<std::size_t>& bad = log.badChecksumOffsets(); !bad.empty())
        text += "zentor-sim: " + path + ": " + plural(bad.size(), "record") +
                " with a wrong checksum left out, the first at byte " + std::to_string(bad[0]) +
                "\n";
    return text;
}

} // namespace zentor::sim
