#pragma once

#include "BandPlan.h"
#include "GpsRecord.h"
#include "SimPacket.h"
#include "link/PacketLayout.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The packets of the simulated instrument, built from the values they carry, laid out as
// link/PacketLayout.h says.
namespace zentor::sim {

constexpr int kListEntriesPerPacket = static_cast<int>(kScanEntriesPerPacket);

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

// 0x01: both receivers present, with their numbering flags and configuration blocks.
Packet configurationPacket(const BandPlan& plan);

// 0x05: each receiver's current count.
Packet levelValuesPacket(const BandPlan& plan);

// 0x06: each receiver's status block: its ten list counts.
Packet statusBlocksPacket(const BandPlan& plan);

// 0x02 (receiver 0) or 0x03 (receiver 1): single-mode samples, one signed dBm byte each.
Packet singleLevelsPacket(int receiver, const std::vector<std::int8_t>& levelsDbm);

// 0x07: five list entries.
Packet listPacket(const std::array<ListEntry, kListEntriesPerPacket>& entries);

// 0x09: four table entries.
Packet tablePacket(const std::array<TableEntry, kTableEntriesPerPacket>& entries);

// 0x04: the clock and marker number.
Packet clockPacket(const CivilTime& time, std::uint8_t marker);

// 0x00: the 152-byte GPS record.
Packet gpsPacket(const GpsRecord& record);

} // namespace zentor::sim
