#pragma once

#include "link/PacketTypes.h"

#include <array>
#include <cstdint>

namespace zentor {

// What the frame assembler made of the bytes from the instrument since the link thread started.
// A line that is working well shows only good frames; a damaged one shows where the damage went.
struct FramingCounts
{
    std::uint64_t framesGood = 0;   // frames with a correct checksum, handed to the protocol
    std::uint64_t badChecksum = 0;  // whole frames whose last byte was not the XOR of the others
    std::uint64_t badLength = 0;    // lengths outside 1..2047 after a sync byte
    std::uint64_t bytesSkipped = 0; // bytes dropped while hunting for a sync byte

    bool operator==(const FramingCounts& other) const
    {
        return framesGood == other.framesGood && badChecksum == other.badChecksum &&
               badLength == other.badLength && bytesSkipped == other.bytesSkipped;
    }
};

// The link's quality as the receiver state publishes it: the framing counts, and the good frames
// whose packet was not decoded (too short for its type, or of a type the program does not know).
struct LinkQuality
{
    FramingCounts framing;
    std::uint64_t packetsNotDecoded = 0;
};

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

} // namespace zentor
