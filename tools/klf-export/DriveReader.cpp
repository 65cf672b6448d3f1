#include "DriveReader.h"

#include "KnownRanges.h"
#include "PositionRecords.h"
#include "link/PacketDecoder.h"
#include "logging/KlfFormat.h"

#include <algorithm>
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

// A text field of at most `most` bytes, cut at its first NUL.
std::string textUpTo(ByteView data, std::size_t most)
{
    const char* text = reinterpret_cast<const char*>(data.data);
    const std::size_t n = std::min(data.size, most);
    return std::string(text, std::find(text, text + n, '\0'));
}

class DriveWalk
{
public:
    DriveWalk(DriveSummary& summary, const LogSurvey& survey, DriveSink& sink)
        : summary_(summary), survey_(survey), sink_(sink)
    {
        summary_.source = survey.travelPilot ? PositionSource::TravelPilot : PositionSource::Gps;
    }

    void take(const KlfRecord& r)
    {
        if (!usable(r)) {
            ++summary_.badChecksums;
            return;
        }
        if (r.kind == KlfRecordKind::Receivers) {
            ranges_.takeHeader(
                r.data,
                {survey_.firstConfigurationData.data(), survey_.firstConfigurationData.size()},
                survey_.firstConfiguration);
            return;
        }
        if (r.kind != KlfRecordKind::Packet && r.kind != KlfRecordKind::ChannelInformation)
            return;
        // Positions go by type: a GPS record too short to decode is still one without a fix, and
        // the TravelPilot's records are not the instrument's packets.
        if (r.type == kPacketGpsRecord) {
            if (summary_.source == PositionSource::Gps)
                position(gpsPosition(r.data), summary_.gpsRecordsWithoutPosition);
            return;
        }
        if (r.type == kTravelPilotPositionType) {
            if (summary_.source == PositionSource::TravelPilot)
                position(travelPilotPosition(r.data), summary_.unreadableTravelPilotPositions);
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
                ++summary_.entriesOutOfRange;
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
        current_ = *p;
        current_->startsSegment = summary_.positions == 0 || stale();
        if (summary_.positions++ == 0)
            summary_.firstTime = p->time;
        summary_.lastTime = p->time;
        ticksSincePosition_ = 0;
        sink_.position(*current_);
    }

    bool stale() const { return ticksSincePosition_ > kMaxPositionAgeSeconds; }

    void reading(std::size_t receiver, MeasurementMode mode, const Tuning& tuning,
                 std::uint8_t level)
    {
        if (!current_) {
            ++summary_.readingsWithoutPosition;
            return;
        }
        if (stale()) {
            ++summary_.readingsWithStalePosition;
            return;
        }
        if (!tuning.frequencyMHz)
            ++summary_.unknownFrequencies[receiver];
        ++summary_.readings;
        sink_.reading({static_cast<int>(receiver) + 1, mode, tuning.channel, tuning.frequencyMHz,
                       levelDbm(level)},
                      *current_);
    }

    DriveSummary& summary_;
    const LogSurvey& survey_;
    DriveSink& sink_;
    KnownRanges ranges_;
    std::optional<Position> current_; // the last position
    int ticksSincePosition_ = 0;
};

} // namespace

LogSurvey surveyLog(LogStream& log)
{
    LogSurvey s;
    bool configurationSeen = false;
    log.restart();
    KlfRecord r;
    while (log.next(r)) {
        if (!usable(r))
            continue;
        if (r.kind == KlfRecordKind::SerialNumber)
            s.serialNumber = textUpTo(r.data, kSerialNumberBytes);
        if (r.kind != KlfRecordKind::Packet)
            continue;
        if (r.type == kTravelPilotPositionType && r.length == kTravelPilotPositionLength)
            s.travelPilot = true;
        const bool identification = r.type == kPacketIdentification && s.serialNumber.empty();
        const bool configuration = r.type == kPacketConfiguration && !configurationSeen;
        if (!identification && !configuration)
            continue;
        const DecodedPacket packet = decodePacketData(r.type, r.data.data, r.data.size);
        if (const auto* id = std::get_if<IdentificationPacket>(&packet.content))
            s.serialNumber = id->text;
        if (configuration) {
            configurationSeen = true;
            s.firstConfigurationData.assign(r.data.data, r.data.data + r.data.size);
            if (const auto* c = std::get_if<ConfigurationPacket>(&packet.content))
                s.firstConfiguration = *c;
        }
    }
    return s;
}

DriveSummary walkDrive(LogStream& log, const LogSurvey& survey, DriveSink& sink)
{
    DriveSummary summary;
    DriveWalk walk(summary, survey, sink);
    log.restart();
    KlfRecord r;
    while (log.next(r)) {
        walk.take(r);
        summary.bytesWalked = r.offset + r.size;
    }
    summary.verdict = log.verdict();
    summary.problemOffset = log.problemOffset();
    summary.problem = log.problem();
    summary.walkedToEnd = log.walkedToEnd();
    return summary;
}

} // namespace zentor::klfexport
