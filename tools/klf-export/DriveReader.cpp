#include "DriveReader.h"

#include "KnownRanges.h"
#include "PositionRecords.h"
#include "link/PacketDecoder.h"
#include "link/ReceiverRange.h"
#include "logging/KlfFormat.h"

#include <variant>

namespace zentor::klfexport {

namespace {

bool usable(const KlfRecord& r)
{
    return r.checksum != ChecksumState::Bad;
}

int levelDbm(std::uint8_t byte)
{
    return static_cast<std::int8_t>(byte);
}

// What a first walk finds out before the readings are taken: the position source, and the
// first configuration packet, which may complete the header's receivers record.
struct Survey
{
    bool travelPilot = false;
    ByteView firstConfiguration;
};

Survey survey(const std::uint8_t* bytes, std::size_t size)
{
    Survey s;
    KlfReader reader(bytes, size);
    KlfRecord r;
    while (reader.next(r)) {
        if (r.kind != KlfRecordKind::Packet || !usable(r))
            continue;
        if (r.type == kTravelPilotPositionType && r.length == kTravelPilotPositionLength)
            s.travelPilot = true;
        if (r.type == kPacketConfiguration && s.firstConfiguration.data == nullptr)
            s.firstConfiguration = r.data;
    }
    return s;
}

class DriveWalk
{
public:
    DriveWalk(Drive& drive, const Survey& survey) : drive_(drive), survey_(survey)
    {
        drive_.source = survey.travelPilot ? PositionSource::TravelPilot : PositionSource::Gps;
    }

    void take(const KlfRecord& r)
    {
        if (!usable(r)) {
            ++drive_.badChecksums;
            return;
        }
        if (r.kind == KlfRecordKind::Receivers) {
            ranges_.takeHeader(r.data, survey_.firstConfiguration);
            return;
        }
        if (r.kind != KlfRecordKind::Packet && r.kind != KlfRecordKind::ChannelInformation)
            return;
        switch (r.type) {
        case kPacketGpsRecord:
            if (drive_.source == PositionSource::Gps)
                position(gpsPosition(r.data), drive_.gpsRecordsWithoutFix);
            break;
        case kTravelPilotPositionType:
            if (drive_.source == PositionSource::TravelPilot)
                position(travelPilotPosition(r.data), drive_.unreadableTravelPilotPositions);
            break;
        case kPacketClock:
            if (decodePacketData(r.type, r.data.data, r.data.size).decoded() && !stale())
                ++ticksSincePosition_;
            break;
        case kPacketConfiguration:
            ranges_.takeConfiguration(r.data);
            break;
        case kPacketLevelValues:
            ranges_.takeLevelValues(r.data);
            break;
        case kPacketStatusBlocks:
            ranges_.takeStatusBlocks(r.data);
            break;
        case kPacketSingleReceiver1:
        case kPacketSingleReceiver2:
            if (r.data.size > 0) {
                const int receiver = r.type == kPacketSingleReceiver1 ? 0 : 1;
                reading(receiver, MeasurementMode::Single, ranges_.single(receiver),
                        r.data.data[0]);
            }
            break;
        case kPacketScanEntries:
            scanEntries(r.data);
            break;
        case kPacketTableEntries:
            tableEntries(r.data);
            break;
        default:
            break;
        }
    }

private:
    void position(const std::optional<Position>& p, std::size_t& unusable)
    {
        if (!p) {
            ++unusable;
            return;
        }
        drive_.positions.push_back(*p);
        drive_.positions.back().startsSegment = !current_ || stale();
        current_ = drive_.positions.size() - 1;
        ticksSincePosition_ = 0;
    }

    bool stale() const { return ticksSincePosition_ > kMaxPositionAgeSeconds; }

    void reading(int receiver, MeasurementMode mode, const Tuning& tuning, std::uint8_t level)
    {
        if (!current_) {
            ++drive_.readingsWithoutPosition;
            return;
        }
        if (stale()) {
            ++drive_.readingsWithStalePosition;
            return;
        }
        if (!tuning.frequencyMHz)
            ++drive_.unknownFrequencies[receiver];
        drive_.readings.push_back(
            {*current_, receiver + 1, mode, tuning.channel, tuning.frequencyMHz, levelDbm(level)});
    }

    void scanEntries(ByteView data)
    {
        const DecodedPacket packet = decodePacketData(kPacketScanEntries, data.data, data.size);
        const auto* scan = std::get_if<ScanEntriesPacket>(&packet.content);
        for (std::size_t e = 0; scan && e < scan->count; ++e) {
            const ScanEntry& entry = scan->entries[e];
            if (entry.channel >= kListEntries) {
                ++drive_.entriesOutOfRange;
                continue;
            }
            const int receiver = static_cast<int>(entry.receiver);
            reading(receiver, MeasurementMode::List, ranges_.listEntry(receiver, entry.channel),
                    entry.level);
        }
    }

    void tableEntries(ByteView data)
    {
        const DecodedPacket packet = decodePacketData(kPacketTableEntries, data.data, data.size);
        const auto* table = std::get_if<TableEntriesPacket>(&packet.content);
        for (std::size_t e = 0; table && e < table->count; ++e) {
            const TableEntry& entry = table->entries[e];
            if (entry.index >= kTableEntries) {
                ++drive_.entriesOutOfRange;
                continue;
            }
            // The display numbers table entries from 1.
            const int receiver = static_cast<int>(entry.receiver);
            reading(receiver, MeasurementMode::Table, ranges_.tableEntry(receiver, entry.index + 1),
                    entry.level);
        }
    }

    Drive& drive_;
    const Survey& survey_;
    KnownRanges ranges_;
    std::optional<std::size_t> current_; // the last position
    int ticksSincePosition_ = 0;
};

} // namespace

Drive readDrive(const std::uint8_t* bytes, std::size_t size)
{
    Drive drive;
    drive.bytes = size;
    const Survey s = survey(bytes, size);
    DriveWalk walk(drive, s);
    KlfReader reader(bytes, size);
    KlfRecord r;
    while (reader.next(r)) {
        walk.take(r);
        drive.bytesWalked = r.offset + r.size;
    }
    drive.verdict = reader.verdict();
    drive.problemOffset = reader.problemOffset();
    drive.problem = reader.problem();
    return drive;
}

} // namespace zentor::klfexport
