#include "link/PacketDecoder.h"

#include "link/ByteOrder.h"

#include <algorithm>

namespace zentor {

namespace {

constexpr std::size_t kLengthBytes = 2;

DecodedPacket::Content shortPacket()
{
    return NotDecoded{NotDecodedReason::Short};
}

IdentificationPacket identification(const std::uint8_t* data, std::size_t n)
{
    const std::size_t kept = std::min(n, kIdentificationLength);
    return {std::string(data, std::find(data, data + kept, 0))};
}

DecodedPacket::Content configuration(const std::uint8_t* data, std::size_t n)
{
    if (n < kFlagsBytes)
        return shortPacket();
    ConfigurationPacket packet;
    const std::uint8_t flags = data[0];
    for (std::size_t r = 0; r < kReceiverCount; ++r) {
        packet.present[r] = (flags & presentFlag(r)) != 0;
        const std::size_t offset = kFlagsBytes + r * kConfigurationBlockBytes;
        if (!packet.present[r] || n < offset + kConfigurationBlockBytes)
            continue;
        ReceiverConfiguration& rx = packet.receivers[r].emplace();
        std::copy(data + offset, data + offset + kConfigurationBlockBytes, rx.block.begin());
        readConfigurationBlock(rx.range, data + offset);
        rx.range.channelsWrap = (flags & numberingFlag(r)) != 0;
    }
    return packet;
}

SingleLevelsPacket singleLevels(std::size_t receiver, const std::uint8_t* data, std::size_t n)
{
    SingleLevelsPacket packet;
    packet.receiver = receiver;
    packet.count = n;
    if (n == 0)
        return packet;
    long sum = 0;
    for (std::size_t i = 0; i < n; ++i)
        sum += static_cast<std::int8_t>(data[i]);
    packet.first = data[0];
    packet.averageDbm = static_cast<std::int16_t>(sum / static_cast<long>(n));
    return packet;
}

DecodedPacket::Content clock(const std::uint8_t* data, std::size_t n)
{
    if (n < kClockBytes)
        return shortPacket();
    return readClock(data);
}

// The whole items of `itemBytes` each that the data holds, at most `most`, each read into the
// packet by `read(packet, i, item)`; a packet without one whole item is short.
template <class Packet, class Read>
DecodedPacket::Content wholeItems(const std::uint8_t* data, std::size_t n, std::size_t itemBytes,
                                  std::size_t most, Read read)
{
    Packet packet;
    packet.count = std::min(n / itemBytes, most);
    if (packet.count == 0)
        return shortPacket();
    for (std::size_t i = 0; i < packet.count; ++i)
        read(packet, i, data + i * itemBytes);
    return packet;
}

DecodedPacket::Content levelValues(const std::uint8_t* data, std::size_t n)
{
    return wholeItems<LevelValuesPacket>(
        data, n, kLevelValueBytes, kReceiverCount,
        [](LevelValuesPacket& p, std::size_t r, const std::uint8_t* value) {
            p.currentCounts[r] = static_cast<std::int32_t>(readLe32(value));
        });
}

DecodedPacket::Content statusBlocks(const std::uint8_t* data, std::size_t n)
{
    return wholeItems<StatusBlocksPacket>(
        data, n, kStatusBlockBytes, kReceiverCount,
        [](StatusBlocksPacket& p, std::size_t r, const std::uint8_t* block) {
            std::copy(block, block + kStatusBlockBytes, p.blocks[r].begin());
            ReceiverRange range;
            readStatusBlock(range, block);
            p.listCounts[r] = range.listCounts;
        });
}

DecodedPacket::Content scanEntries(const std::uint8_t* data, std::size_t n)
{
    return wholeItems<ScanEntriesPacket>(
        data, n, kScanEntryBytes, kScanEntriesPerPacket,
        [](ScanEntriesPacket& p, std::size_t e, const std::uint8_t* entry) {
            p.entries[e] = readScanEntry(entry);
        });
}

DecodedPacket::Content tableEntries(const std::uint8_t* data, std::size_t n)
{
    return wholeItems<TableEntriesPacket>(
        data, n, kTableEntryBytes, kTableEntriesPerPacket,
        [](TableEntriesPacket& p, std::size_t e, const std::uint8_t* entry) {
            p.entries[e] = readTableEntry(entry);
        });
}

DecodedPacket::Content gpsRecord(const std::uint8_t* data, std::size_t n)
{
    if (n < kGpsRecordSize)
        return shortPacket();
    GpsRecordPacket packet;
    std::copy(data, data + kGpsRecordSize, packet.record.begin());
    return packet;
}

DecodedPacket::Content decodeContent(std::uint8_t type, const std::uint8_t* data, std::size_t n)
{
    switch (type) {
    case kPacketGpsRecord:
        return gpsRecord(data, n);
    case kPacketConfiguration:
        return configuration(data, n);
    case kPacketSingleReceiver1:
        return singleLevels(0, data, n);
    case kPacketSingleReceiver2:
        return singleLevels(1, data, n);
    case kPacketClock:
        return clock(data, n);
    case kPacketLevelValues:
        return levelValues(data, n);
    case kPacketStatusBlocks:
        return statusBlocks(data, n);
    case kPacketScanEntries:
        return scanEntries(data, n);
    case kPacketTableEntries:
        return tableEntries(data, n);
    case kPacketIdentification:
        return identification(data, n);
    default:
        return NotDecoded{NotDecodedReason::Unknown};
    }
}

} // namespace

std::optional<DecodedPacket> decodePacket(const std::uint8_t* record, std::size_t size)
{
    if (size < kLengthBytes + 1)
        return std::nullopt;
    const std::size_t length = readLe16(record);
    if (length < 1 || length + kLengthBytes > size)
        return std::nullopt;
    const std::uint8_t type = record[kPacketTypeOffset];
    // The data lies between the type byte and the checksum (none when L is 1).
    const std::size_t dataLength = length >= 2 ? length - 2 : 0;
    return decodePacketData(type, record + kPacketTypeOffset + 1, dataLength);
}

DecodedPacket decodePacketData(std::uint8_t type, const std::uint8_t* data, std::size_t n)
{
    return {type, decodeContent(type, data, n)};
}

} // namespace zentor
