#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace zentor {

constexpr int kStrongestCount = 10;
constexpr int kFloorDbm = -120; // a slot nobody took, and the lowest level drawn

// One of the strongest table readings: its entry number (table index + 1, 0 for an untaken
// slot) and its level.
struct TableSlot
{
    int entry = 0;
    int levelDbm = kFloorDbm;
    bool operator==(const TableSlot& o) const { return entry == o.entry && levelDbm == o.levelDbm; }
};

// The level of a stored RSSI byte, which holds the low byte of a negative dBm value:
// the byte less 256 (0x88 is -120 dBm).
int readingDbm(std::uint8_t rssi);

// The ten strongest of `count` table readings, strongest first. Only readings above -120 dBm
// take a slot; of equal readings the earlier entry stays ahead; untaken slots stay (0, -120).
std::array<TableSlot, kStrongestCount> strongestTen(const std::uint8_t* rssi, std::size_t count);

} // namespace zentor
