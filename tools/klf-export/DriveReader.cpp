#include "DriveReader.h"

#include "KnownRanges.h"
#include "PositionRecords.h"
#include "link/PacketDecoder.h"
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
// first configuration packet (its data and what it says), which may complete the header's
// receivers record.
struct Survey
{
    bool travelPilot = false;
    ByteView firstConfigurationData;
    ConfigurationPacket firstConfiguration;
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
        if (r.type == kPacketConfiguration && s.firstConfigurationData.data == nullptr) {
            s.firstConfigurationData = r.data;
            const DecodedPacket packet = decodePacketData(r.type, r.data.data, r.data.size);
            if (const auto* configuration = std::get_if<ConfigurationPacket>(&packet.content))
                s.firstConfiguration = *configuration;
        }
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
            ranges_.takeHeader(r.data, survey_.firstConfigurationData, survey_.firstConfiguration);
            return;
        }
        if (r.kind != KlfRecordKind::Packet && r.kind != KlfRecordKind::ChannelInformation)
            return;
        // Positions go by type: a GPS record too short to decode is still one without a fix, and
        // the TravelPilot's records are not the instrument's packets.
        if (r.type == kPacketGpsRecord) {
            if (drive_.source == PositionSource::Gps)
                position(gpsPosition(r.data), drive_.gpsRecordsWithoutFix);
            return;
        }
        if (r.type == kTravelPilotPositionType) {
            if (drive_.source == PositionSource::TravelPilot)
                position(travelPilotPosition(r.data), drive_.unreadableTravelPilotPositions);
            return;
        }
        const DecodedPacket packet = decodePacketData(r.type, r.data.data, r.data.size);
        std::visit([this](const auto& content) { use(content); }, packet.content);
    }

private:
    void use(const ConfigurationPacket& packet) { ranges_.takeConfiguration(packet); }
    void use(const LevelValuesPacket& packet) { ranges_.takeLevelValues(packet); }
    void use(const StatusBlocksPacket& packet) { ranges_.takeStatusBlocks(packet); }

    // The clock packet is the instrument's one-second tick, by which positions age.
    void use(const InstrumentClock&)
    {
        if (!stale())
            ++ticksSincePosition_;
    }

    // A single-mode packet's reading is its first sample.
    void use(const SingleLevelsPacket& packet)
    {
        if (packet.count > 0)
            reading(packet.receiver, MeasurementMode::Single, ranges_.single(packet.receiver),
                    packet.first);
    }

    void use(const ScanEntriesPacket& packet)
    {
        entries(packet, MeasurementMode::List,
                [this](const ScanEntry& e) { return ranges_.listEntry(e.receiver, e.channel); });
    }

    void use(const TableEntriesPacket& packet)
    {
        entries(packet, MeasurementMode::Table,
                [this](const TableEntry& e) { return ranges_.tableEntry(e.receiver, e.index); });
    }

    // Nothing for the drive: GPS records are taken above, by type, and neither the serial number
    // nor a packet the program does not decode tells anything of the readings.
    void use(const GpsRecordPacket&) {}
    void use(const IdentificationPacket&) {}
    void use(const NotDecoded&) {}

    // The readings of a list or table packet, each tuned as `tuningOf` says; an entry beyond the
    // list or table is left out and counted.
    template <class Packet, class TuningOf>
    void entries(const Packet& packet, MeasurementMode mode, TuningOf tuningOf)
    {
        for (std::size_t e = 0; e < packet.count; ++e) {
            const auto& entry = packet.entries[e];
            const std::optional<Tuning> tuning = tuningOf(entry);
            if (!tuning) {
                ++drive_.entriesOutOfRange;
                continue;
            }
            reading(entry.receiver, mode, *tuning, entry.level);
        }
    }

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

    void reading(std::size_t receiver, MeasurementMode mode, const Tuning& tuning,
                 std::uint8_t level)
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
        drive_.readings.push_back({*current_, static_cast<int>(receiver) + 1, mode, tuning.channel,
                                   tuning.frequencyMHz, levelDbm(level)});
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
