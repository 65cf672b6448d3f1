#pragma once

#include "link/PacketTypes.h"

#include <array>
#include <cstdint>
#include <string>

namespace zentor {

// List and table readings (the entries of scan and table packets) since the start: how many were
// stored per receiver, how many of those the display's last copy of the receiver held (each one
// drawn, or replaced by a newer reading of its entry before that copy), and how many were refused
// (receiver not present, channel or index out of range).
struct ReadingCounts
{
    std::array<std::uint64_t, kReceiverCount> stored{};
    std::array<std::uint64_t, kReceiverCount> taken{};
    std::uint64_t refused = 0;
};

// One line for a scripted run to compare with the instrument's record, e.g. "list and table
// readings: receiver 1 10 stored, 10 in its last frame; receiver 2 5 stored, 5 in its last frame;
// 0 refused".
std::string readingCountsText(const ReadingCounts& counts);

} // namespace zentor
