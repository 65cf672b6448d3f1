#include "PacketSummary.h"

#include "core/TextFormat.h"
#include "link/ByteOrder.h"
#include "link/PacketDecoder.h"
#include "logging/KlfFormat.h"
#include "nav/TravelPilotLogPackets.h"
#include "nav/TravelPilotTexts.h"

#include <algorithm>
#include <array>
#include <optional>
#include <variant>

namespace zentor::klfdump {

namespace {

std::string shortOf(const char* what, std::size_t have, std::size_t want)
{
    return formatText("%s, short: %zu of %zu data bytes", what, have, want);
}

// A receiver's range, from a configuration packet or the header's receivers record.
std::string rangeText(std::int32_t startCount, std::int32_t stopCount, double stepKHz)
{
    return formatText("start %d stop %d step %.3f kHz", startCount, stopCount, stepKHz);
}

// Configuration: which receivers are present, and the range of each whose block is whole.
std::string configurationSummary(const DecodedPacket& packet, std::size_t n)
{
    const auto* configuration = std::get_if<ConfigurationPacket>(&packet.content);
    if (!configuration)
        return shortOf("configuration", n, kConfigurationDataBytes);
    std::string text = "configuration:";
    for (std::size_t r = 0; r < kReceiverCount; ++r) {
        text += formatText(" receiver %zu ", r + 1);
        const std::optional<ReceiverConfiguration>& rx = configuration->receivers[r];
        if (!configuration->present[r])
            text += "absent";
        else if (rx)
            text += rangeText(rx->range.startCount, rx->range.stopCount, rx->range.stepKHz);
        else
            text += "present, block missing";
        text += r == 0 ? ";" : "";
    }
    return text;
}

// Single-mode levels of one receiver: the first and their average, truncated toward zero.
std::string singleSummary(const DecodedPacket& packet)
{
    const auto& levels = std::get<SingleLevelsPacket>(packet.content);
    const int receiver = static_cast<int>(levels.receiver) + 1;
    if (levels.count == 0)
        return formatText("single receiver %d: no levels", receiver);
    return formatText("single receiver %d: first %d dBm, average %ld dBm over %zu", receiver,
                      static_cast<std::int8_t>(levels.first), static_cast<long>(levels.averageDbm),
                      levels.count);
}

// Clock: shown month/day/year.
std::string clockSummary(const DecodedPacket& packet, std::size_t n)
{
    const auto* c = std::get_if<InstrumentClock>(&packet.content);
    if (!c)
        return shortOf("clock and marker", n, kClockBytes);
    return formatText("clock %02d/%02d/%04d %02d:%02d:%02d, marker %d", c->month, c->day,
                      2000 + c->yearSince2000, c->hour, c->minute, c->second, c->marker);
}

// Level values of both receivers; one receiver's alone is short here.
std::string levelValuesSummary(const DecodedPacket& packet, std::size_t n)
{
    const auto* values = std::get_if<LevelValuesPacket>(&packet.content);
    if (!values || values->count < kReceiverCount)
        return shortOf("level values", n, kReceiverCount * kLevelValueBytes);
    return formatText("level values: receiver 1 %d, receiver 2 %d", values->currentCounts[0],
                      values->currentCounts[1]);
}

// Status blocks of both receivers, each by the first of its list counts.
std::string statusSummary(const DecodedPacket& packet, std::size_t n)
{
    const auto* blocks = std::get_if<StatusBlocksPacket>(&packet.content);
    if (!blocks || blocks->count < kReceiverCount)
        return shortOf("status blocks", n, kReceiverCount * kStatusBlockBytes);
    return formatText("status blocks: receiver 1 list from %d, receiver 2 list from %d",
                      blocks->listCounts[0][0], blocks->listCounts[1][0]);
}

// Every whole entry of `entryBytes`, also those past the ones the decoder takes, each in the words
// `words` gives it.
template <class Read, class Words>
std::string entriesSummary(const char* what, const std::uint8_t* d, std::size_t n,
                           std::size_t entryBytes, Read read, Words words)
{
    std::string text = what;
    for (std::size_t at = 0; at + entryBytes <= n; at += entryBytes)
        text += words(read(d + at));
    return text;
}

std::string scanSummary(const std::uint8_t* d, std::size_t n)
{
    return entriesSummary("scan:", d, n, kScanEntryBytes, readScanEntry, [](const ScanEntry& e) {
        return formatText(" R%zu ch%d %d dBm", e.receiver + 1, e.channel,
                          static_cast<std::int8_t>(e.level));
    });
}

std::string tableSummary(const std::uint8_t* d, std::size_t n)
{
    return entriesSummary("table:", d, n, kTableEntryBytes, readTableEntry,
                          [](const TableEntry& e) {
                              return formatText(" R%zu #%d %d dBm", e.receiver + 1, e.index,
                                                static_cast<std::int8_t>(e.level));
                          });
}

std::string printable(const std::uint8_t* d, std::size_t n)
{
    std::string text;
    for (std::size_t i = 0; i < n && d[i] != 0; ++i) {
        if (d[i] >= 0x20 && d[i] < 0x7F && d[i] != '\\')
            text += static_cast<char>(d[i]);
        else
            text += formatText("\\x%02X", d[i]);
    }
    return text;
}

// TravelPilot position: the PC's time, latitude and longitude; shown month/day/year.
std::string positionSummary(const std::uint8_t* d, std::size_t n)
{
    const std::optional<PositionLogFields> p = readPositionLogData(d, n);
    if (!p)
        return shortOf("TravelPilot position", n, kTpPositionLogDataBytes);
    const LogTimeFields& t = p->time;
    return formatText("TravelPilot position %02d/%02d/%04d %02d:%02d:%02d lat %s lon %s",
                      t.month + 1, t.dayOfMonth, 1900 + t.yearsSince1900, t.hours, t.minutes,
                      t.seconds, travelPilotCoordinateText(p->latitude).c_str(),
                      travelPilotCoordinateText(p->longitude).c_str());
}

// TravelPilot speed and direction: speed i16 LE, direction u16 LE.
std::string speedSummary(const std::uint8_t* d, std::size_t n)
{
    if (n < 4)
        return shortOf("TravelPilot speed", n, 4);
    return formatText("TravelPilot speed %d km/h, direction %u deg",
                      static_cast<std::int16_t>(readLe16(d)), readLe16(d + 2));
}

} // namespace

std::array<ReceiverFacts, 2> receiversOf(const KlfRecord& record)
{
    std::array<ReceiverFacts, 2> receivers{};
    const std::uint8_t* d = record.data.data;
    const std::size_t n = record.data.size;
    if (n < 1 + kReceiverBlockBytes + kReceiver2BlockBytesKept)
        return receivers;
    for (std::size_t r = 0; r < kReceiverCount; ++r) {
        // The record keeps receiver 2's block but its last byte, the top byte of the step.
        std::array<std::uint8_t, kConfigurationBlockBytes> block{};
        const std::uint8_t* kept = d + kFlagsBytes + r * kReceiverBlockBytes;
        std::copy(kept, kept + (r == 0 ? kReceiverBlockBytes : kReceiver2BlockBytesKept),
                  block.begin());
        ReceiverRange range;
        readConfigurationBlock(range, block.data());
        ReceiverFacts& rx = receivers[r];
        rx.present = (d[0] & presentFlag(r)) != 0;
        rx.startCount = range.startCount;
        rx.stopCount = range.stopCount;
        rx.stepKHz = range.stepKHz;
        rx.stepWhole = r == 0;
    }
    return receivers;
}

std::string receiversSummary(const std::array<ReceiverFacts, 2>& receivers)
{
    std::string text;
    for (std::size_t r = 0; r < receivers.size(); ++r) {
        const ReceiverFacts& rx = receivers[r];
        text += formatText("%sreceiver %zu ", r == 0 ? "" : "; ", r + 1);
        if (!rx.present) {
            text += "absent";
            continue;
        }
        text += rangeText(rx.startCount, rx.stopCount, rx.stepKHz);
        if (!rx.stepWhole)
            text += " (top byte of the step not in the file)";
    }
    return text;
}

std::string headerText(const KlfRecord& record)
{
    return printable(record.data.data, record.data.size);
}

const char* typeName(std::uint8_t type)
{
    switch (type) {
    case kPacketGpsRecord:
        return "GPS record";
    case kPacketConfiguration:
        return "configuration";
    case kPacketSingleReceiver1:
        return "single receiver 1";
    case kPacketSingleReceiver2:
        return "single receiver 2";
    case kPacketClock:
        return "clock and marker";
    case kPacketLevelValues:
        return "level values";
    case kPacketStatusBlocks:
        return "status blocks";
    case kPacketScanEntries:
        return "scan entries";
    case kPacketTableEntries:
        return "table entries";
    case kPacketIdentification:
        return "identification";
    case kTravelPilotPositionType:
        return "TravelPilot position";
    case kTravelPilotSpeedType:
        return "TravelPilot speed";
    default:
        return "unknown";
    }
}

std::string packetSummary(const KlfRecord& record)
{
    const std::uint8_t* d = record.data.data;
    const std::size_t n = record.data.size;
    // The summaries say what the receiver protocol's decoder makes of the packet, but for the
    // scan and table entries: every whole one is shown, not only the first five or four. A level
    // values or status blocks packet of one receiver is short here.
    const DecodedPacket decoded = decodePacketData(record.type, d, n);
    switch (record.type) {
    case kPacketGpsRecord:
        return n >= kGpsRecordSize ? formatText("GPS record, %zu bytes", n)
                                   : shortOf("GPS record", n, kGpsRecordSize);
    case kPacketConfiguration:
        return configurationSummary(decoded, n);
    case kPacketSingleReceiver1:
    case kPacketSingleReceiver2:
        return singleSummary(decoded);
    case kPacketClock:
        return clockSummary(decoded, n);
    case kPacketLevelValues:
        return levelValuesSummary(decoded, n);
    case kPacketStatusBlocks:
        return statusSummary(decoded, n);
    case kPacketScanEntries:
        return scanSummary(d, n);
    case kPacketTableEntries:
        return tableSummary(d, n);
    case kPacketIdentification:
        return "identification \"" + printable(d, n) + "\"";
    case kTravelPilotPositionType:
        return positionSummary(d, n);
    case kTravelPilotSpeedType:
        return speedSummary(d, n);
    default:
        return formatText("type 0x%02X, %zu data bytes", record.type, n);
    }
}

} // namespace zentor::klfdump
