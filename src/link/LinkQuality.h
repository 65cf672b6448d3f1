#pragma once

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

} // namespace zentor
