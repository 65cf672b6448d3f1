#include "DriveReader.h"

#include "KnownRanges.h"
#include "PositionRecords.h"
#include "link/ByteOrder.h"
#include "link/ReceiverRange.h"
#include "link/TReceiverLink.h"
#include "logging/KlfFormat.h"

#include <algorithm>

namespace zentor::klfexport {

namespace {

enum PacketType : std::uint8_t
{
    kPacketGpsRecord = 0x00,
    kPacketConfiguration = 0x01,
    kPacketSingleReceiver1 = 0x02,
    kPacketSingleReceiver2 = 0x03,
    kPacketClockMarker = 0x04,
    kPacketScanEntries = 0x07,
    kPacketTableEntries = 0x09,
};

constexpr std::size_t kClockBytes = 7;
constexpr std::size_t kScanEntryBytes = 3; // receiver, channel 0-9, level
constexpr std::size_t kScanEntriesPerPacket = 5;
constexpr std::size_t kTableEntryBytes = 4; // receiver, index u16 LE 0-3071, level
constexpr std::size_t kTableEntriesPerPacket = 4;

bool usable(const KlfRecord& r)
{
    return r.checksum != ChecksumState::Bad;
}

int levelDbm(std::uint8_t byte)
{
    return static_cast<std::int8_t>(byte);
}

// The receiver index (0 or 1) of an entry's receiver byte.
int receiverOf(std::uint8_t byte)
{
    return byte == 0 ? 0 : 1;
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
        case kPacketClockMarker:
            if (r.data.size >= kClockBytes && !stale())
                ++ticksSincePosition_;
            break;
        case kPacketConfiguration:
            ranges_.takeConfiguration(r.data);
            break;
        case kLevelValuesType:
            ranges_.takeLevelValues(r.data);
            break;
        case kStatusBlocksType:
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
        const std::size_t entries = std::min(data.size / kScanEntryBytes, kScanEntriesPerPacket);
        for (std::size_t e = 0; e < entries; ++e) {
            const std::uint8_t* entry = data.data + e * kScanEntryBytes;
            if (entry[1] >= kListEntries) {
                ++drive_.entriesOutOfRange;
                continue;
            }
            const int receiver = receiverOf(entry[0]);
            reading(receiver, MeasurementMode::List, ranges_.listEntry(receiver, entry[1]),
                    entry[2]);
        }
    }

    void tableEntries(ByteView data)
    {
        const std::size_t entries = std::min(data.size / kTableEntryBytes, kTableEntriesPerPacket);
        for (std::size_t e = 0; e < entries; ++e) {
            const std::uint8_t* entry = data.data + e * kTableEntryBytes;
            const int index = readLe16(entry + 1);
            if (index >= kTableEntries) {
                ++drive_.entriesOutOfRange;
                continue;
            }
            // The display numbers table entries from 1.
            const int receiver = receiverOf(entry[0]);
            reading(receiver, MeasurementMode::Table, ranges_.tableEntry(receiver, index + 1),
                    entry[3]);
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
