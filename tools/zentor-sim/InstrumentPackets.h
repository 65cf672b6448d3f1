#pragma once

#include "BandPlan.h"
#include "CivilTime.h"
#include "GpsRecord.h"
#include "SimPacket.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The packets of the simulated instrument, built from the values they carry.
namespace zentor::sim {

constexpr std::size_t kIdentificationSize = 8;
constexpr int kListEntriesPerPacket = 5;
constexpr int kTableEntriesPerPacket = 4;

struct ListEntry
{
    std::uint8_t receiver = 0; // 0 or 1
    std::uint8_t channel = 0;  // list entry 0-9
    std::int8_t levelDbm = -120;
};

struct TableEntry
{
    std::uint8_t receiver = 0; // 0 or 1
    std::uint16_t index = 0;   // 0-3071
    std::int8_t levelDbm = -120;
};

// 0x1C: the identification text, its first 8 characters.
Packet identificationPacket(const std::string& serial);

// 0x01: flags (bits 0/1 receiver present, bits 2/3 numbering flag), then a 12-byte configuration
// block per receiver: start count, stop count (int32 LE), step size x 256 (uint32 LE).
Packet configurationPacket(const BandPlan& plan);

// 0x05: each receiver's current count, int32 LE.
Packet levelValuesPacket(const BandPlan& plan);

// 0x06: a 40-byte status block per receiver: its ten list counts, int32 LE.
Packet statusBlocksPacket(const BandPlan& plan);

// 0x02 (receiver 0) or 0x03 (receiver 1): single-mode samples, one signed dBm byte each.
Packet singleLevelsPacket(int receiver, const std::vector<std::int8_t>& levelsDbm);

// 0x07: five list entries of 3 bytes: receiver, channel, level.
Packet listPacket(const std::array<ListEntry, kListEntriesPerPacket>& entries);

// 0x09: four table entries of 4 bytes: receiver, index (uint16 LE), level.
Packet tablePacket(const std::array<TableEntry, kTableEntriesPerPacket>& entries);

// 0x04: second, minute, hour, day, month, year - 2000, marker number.
Packet clockPacket(const CivilTime& time, std::uint8_t marker);

// 0x00: the 152-byte GPS record.
Packet gpsPacket(const GpsRecord& record);

} // namespace zentor::sim
