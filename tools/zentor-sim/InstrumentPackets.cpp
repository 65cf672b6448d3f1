#include "InstrumentPackets.h"

#include "link/ByteOrder.h"

namespace zentor::sim {

namespace {

constexpr int kClockYearBase = 2000;

std::uint8_t levelByte(std::int8_t levelDbm)
{
    return static_cast<std::uint8_t>(levelDbm);
}

// A packet of `entries`, each written by `write` into its `entryBytes`.
template <class Entries, class Write>
Packet entriesPacket(std::uint8_t type, const Entries& entries, std::size_t entryBytes, Write write)
{
    Packet p{type, Bytes(entries.size() * entryBytes)};
    for (std::size_t i = 0; i < entries.size(); ++i)
        write(p.data.data() + i * entryBytes, entries[i]);
    return p;
}

} // namespace

Packet identificationPacket(const std::string& serial)
{
    const std::string text = serial.substr(0, kIdentificationLength);
    return {kPacketIdentification, Bytes(text.begin(), text.end())};
}

Packet configurationPacket(const BandPlan& plan)
{
    Packet p{kPacketConfiguration, Bytes(kConfigurationDataBytes)};
    for (std::size_t r = 0; r < kReceiverCount; ++r) {
        const ReceiverPlan& receiver = plan[r];
        p.data[0] |= presentFlag(r) | (receiver.channelsWrap ? numberingFlag(r) : 0);
        writeConfigurationBlock(p.data.data() + kFlagsBytes + r * kConfigurationBlockBytes,
                                receiver.startCount, receiver.stopCount, receiver.stepKHzX256);
    }
    return p;
}

Packet levelValuesPacket(const BandPlan& plan)
{
    Packet p{kPacketLevelValues, Bytes(kReceiverCount * kLevelValueBytes)};
    for (std::size_t r = 0; r < kReceiverCount; ++r)
        writeLe32(p.data.data() + r * kLevelValueBytes,
                  static_cast<std::uint32_t>(plan[r].currentCount()));
    return p;
}

Packet statusBlocksPacket(const BandPlan& plan)
{
    Packet p{kPacketStatusBlocks, Bytes(kReceiverCount * kStatusBlockBytes)};
    for (std::size_t r = 0; r < kReceiverCount; ++r)
        writeStatusBlock(p.data.data() + r * kStatusBlockBytes, plan[r].listCounts);
    return p;
}

Packet singleLevelsPacket(int receiver, const std::vector<std::int8_t>& levelsDbm)
{
    Packet p{receiver == 0 ? kPacketSingleReceiver1 : kPacketSingleReceiver2, {}};
    for (std::int8_t level : levelsDbm)
        p.data.push_back(levelByte(level));
    return p;
}

Packet listPacket(const std::array<ListEntry, kListEntriesPerPacket>& entries)
{
    return entriesPacket(kPacketScanEntries, entries, kScanEntryBytes,
                         [](std::uint8_t* at, const ListEntry& e) {
                             writeScanEntry(at, {e.receiver, e.channel, levelByte(e.levelDbm)});
                         });
}

Packet tablePacket(const std::array<TableEntry, kTableEntriesPerPacket>& entries)
{
    return entriesPacket(kPacketTableEntries, entries, kTableEntryBytes,
                         [](std::uint8_t* at, const TableEntry& e) {
                             writeTableEntry(at, {e.receiver, e.index, levelByte(e.levelDbm)});
                         });
}

Packet clockPacket(const CivilTime& time, std::uint8_t marker)
{
    InstrumentClock clock;
    clock.second = static_cast<std::uint8_t>(time.second);
    clock.minute = static_cast<std::uint8_t>(time.minute);
    clock.hour = static_cast<std::uint8_t>(time.hour);
    clock.day = static_cast<std::uint8_t>(time.day);
    clock.month = static_cast<std::uint8_t>(time.month);
    clock.yearSince2000 = static_cast<std::uint8_t>(time.year - kClockYearBase);
    clock.marker = marker;
    Packet p{kPacketClock, Bytes(kClockBytes)};
    writeClock(p.data.data(), clock);
    return p;
}

Packet gpsPacket(const GpsRecord& record)
{
    return {kPacketGpsRecord, Bytes(record.begin(), record.end())};
}

} // namespace zentor::sim
