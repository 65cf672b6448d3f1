#pragma once

#include "link/ByteOrder.h"
#include "link/PacketTypes.h"
#include "link/ReceiverRange.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

// The byte layout of the packets' data, field by field: the packet decoder reads with it,
// klf-dump shows packets with it and zentor-sim writes them with it, so the three cannot drift
// apart. Multi-byte fields are little-endian; receiver 1 comes first wherever a packet carries
// both. The GPS record (type 0x00) is the GPS side's (gps/GpsRecordDecoder.h).
namespace zentor {

// 0x1C identification: up to 8 ASCII characters.
constexpr std::size_t kIdentificationLength = 8;

// 0x01 configuration: a flags byte, then a configuration block per receiver.
//   flags bit 0 / 1  receiver 1 / 2 present
//   flags bit 2 / 3  receiver 1 / 2 numbering flag (ReceiverRange::channelsWrap)
constexpr std::size_t kFlagsBytes = 1;
constexpr std::uint8_t presentFlag(std::size_t r)
{
    return static_cast<std::uint8_t>(1u << r);
}
constexpr std::uint8_t numberingFlag(std::size_t r)
{
    return static_cast<std::uint8_t>(1u << (2 + r));
}

// A receiver's configuration block:
//   offset  width  field
//   0       4      start count, int32
//   4       4      stop count, int32
//   8       4      step size in kHz x 256, uint32
constexpr std::size_t kConfigurationBlockBytes = 12;
constexpr double kStepUnitsPerKHz = 256.0;
constexpr std::size_t kConfigurationDataBytes =
    kFlagsBytes + kReceiverCount * kConfigurationBlockBytes;
// Takes start, stop and step from a configuration block; the numbering flag is not in it.
void readConfigurationBlock(ReceiverRange& range, const std::uint8_t* block);
void writeConfigurationBlock(std::uint8_t* block, std::int32_t startCount, std::int32_t stopCount,
                             std::uint32_t stepKHzX256);

// 0x04 clock and marker, 7 bytes: second, minute, hour, day, month, year - 2000, marker number.
struct InstrumentClock
{
    std::uint8_t second = 0, minute = 0, hour = 0, day = 0, month = 0, yearSince2000 = 0;
    std::uint8_t marker = 0;
};
constexpr std::size_t kClockBytes = 7;
inline InstrumentClock readClock(const std::uint8_t* data)
{
    return {data[0], data[1], data[2], data[3], data[4], data[5], data[6]};
}
inline void writeClock(std::uint8_t* data, const InstrumentClock& c)
{
    const std::uint8_t fields[kClockBytes] = {c.second, c.minute,        c.hour,  c.day,
                                              c.month,  c.yearSince2000, c.marker};
    std::copy(fields, fields + kClockBytes, data);
}

// 0x05 level values: each receiver's current count, int32.
constexpr std::size_t kLevelValueBytes = 4;

// 0x06 status blocks: a 40-byte status block per receiver, its ten list counts as int32; the
// first is also the receiver's current count.
constexpr std::size_t kStatusBlockBytes = 40;
void readStatusBlock(ReceiverRange& range, const std::uint8_t* block);
void writeStatusBlock(std::uint8_t* block, const std::array<std::int32_t, kListEntries>& counts);

// 0x07 scan entries (list mode), 3 bytes each: receiver (0 is receiver 1, any other value
// receiver 2), list channel 0-9, level as a signed dBm byte. Up to 5 to a packet. The entries'
// readers and writers are inline: the link thread reads every entry of every packet.
//
// A list or table reading as the packet gives it; whether it can be stored (a present receiver,
// a channel or index inside the list or table) is the receiver state's to decide.
struct ScanEntry
{
    std::size_t receiver = 0;
    std::uint8_t channel = 0;
    std::uint8_t level = 0;
};
constexpr std::size_t kScanEntryBytes = 3;
constexpr std::size_t kScanEntriesPerPacket = 5;
inline ScanEntry readScanEntry(const std::uint8_t* entry)
{
    return {entry[0] == 0 ? 0u : 1u, entry[1], entry[2]};
}
inline void writeScanEntry(std::uint8_t* entry, const ScanEntry& e)
{
    entry[0] = static_cast<std::uint8_t>(e.receiver);
    entry[1] = e.channel;
    entry[2] = e.level;
}

// 0x09 table entries (table mode), 4 bytes each: receiver as in a scan entry, table index
// uint16 0-3071, level. Up to 4 to a packet.
struct TableEntry
{
    std::size_t receiver = 0;
    std::uint16_t index = 0;
    std::uint8_t level = 0;
};
constexpr std::size_t kTableEntryBytes = 4;
constexpr std::size_t kTableEntriesPerPacket = 4;
inline TableEntry readTableEntry(const std::uint8_t* entry)
{
    return {entry[0] == 0 ? 0u : 1u, readLe16(entry + 1), entry[3]};
}
inline void writeTableEntry(std::uint8_t* entry, const TableEntry& e)
{
    entry[0] = static_cast<std::uint8_t>(e.receiver);
    writeLe16(entry + 1, e.index);
    entry[3] = e.level;
}

} // namespace zentor
