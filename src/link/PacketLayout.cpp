#include "link/PacketLayout.h"

#include "link/ByteOrder.h"

#include <algorithm>

namespace zentor {

namespace {

// Receiver byte of a scan or table entry: 0 is receiver 1, any other value receiver 2.
std::size_t receiverOfByte(std::uint8_t byte)
{
    return byte == 0 ? 0 : 1;
}

} // namespace

void readConfigurationBlock(ReceiverRange& range, const std::uint8_t* block)
{
    range.startCount = static_cast<std::int32_t>(readLe32(block));
    range.stopCount = static_cast<std::int32_t>(readLe32(block + 4));
    range.stepKHz = readLe32(block + 8) / kStepUnitsPerKHz;
}

void writeConfigurationBlock(std::uint8_t* block, std::int32_t startCount, std::int32_t stopCount,
                             std::uint32_t stepKHzX256)
{
    writeLe32(block, static_cast<std::uint32_t>(startCount));
    writeLe32(block + 4, static_cast<std::uint32_t>(stopCount));
    writeLe32(block + 8, stepKHzX256);
}

InstrumentClock readClock(const std::uint8_t* data)
{
    return {data[0], data[1], data[2], data[3], data[4], data[5], data[6]};
}

void writeClock(std::uint8_t* data, const InstrumentClock& c)
{
    const std::uint8_t fields[kClockBytes] = {c.second, c.minute,        c.hour,  c.day,
                                              c.month,  c.yearSince2000, c.marker};
    std::copy(fields, fields + kClockBytes, data);
}

void readStatusBlock(ReceiverRange& range, const std::uint8_t* block)
{
    for (std::size_t k = 0; k < kListEntries; ++k)
        range.listCounts[k] = static_cast<std::int32_t>(readLe32(block + 4 * k));
    range.currentCount = range.listCounts[0];
}

void writeStatusBlock(std::uint8_t* block, const std::array<std::int32_t, kListEntries>& counts)
{
    for (std::size_t k = 0; k < kListEntries; ++k)
        writeLe32(block + 4 * k, static_cast<std::uint32_t>(counts[k]));
}

ScanEntry readScanEntry(const std::uint8_t* entry)
{
    return {receiverOfByte(entry[0]), entry[1], entry[2]};
}

void writeScanEntry(std::uint8_t* entry, const ScanEntry& e)
{
    entry[0] = static_cast<std::uint8_t>(e.receiver);
    entry[1] = e.channel;
    entry[2] = e.level;
}

TableEntry readTableEntry(const std::uint8_t* entry)
{
    return {receiverOfByte(entry[0]), readLe16(entry + 1), entry[3]};
}

void writeTableEntry(std::uint8_t* entry, const TableEntry& e)
{
    entry[0] = static_cast<std::uint8_t>(e.receiver);
    writeLe16(entry + 1, e.index);
    entry[3] = e.level;
}

} // namespace zentor
