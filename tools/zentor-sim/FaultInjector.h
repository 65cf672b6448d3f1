#pragma once

#include "SimPacket.h"
#include "SimRandom.h"

#include <cstdint>
#include <vector>

namespace zentor::sim {

// What the link does to one piece of the byte stream.
enum class ChunkKind
{
    Intact,    // a frame as built
    BitFlip,   // a frame with one bit flipped (sync, length, type, data or checksum; with
               // bodyflip only in the type, data or checksum)
    Truncated, // the first 1 .. size-1 bytes of a frame
    Garbage,   // 1-16 random bytes between frames, which may hold a sync byte
};

struct Chunk
{
    ChunkKind kind = ChunkKind::Intact;
    Bytes bytes;
};

struct FaultKinds
{
    bool garbage = false;
    bool bitflip = false;
    bool truncate = false;
    // One bit of the type, data or checksum flipped: the sync byte and the length stay intact,
    // so a receiver reads the frame to its end and finds exactly it with a bad checksum.
    bool bodyflip = false;

    bool any() const { return garbage || bitflip || truncate || bodyflip; }
};

// Damages frames on their way to the PC, for testing the receiving side. With probability
// `ratePerFrame` a frame gets one fault, chosen with equal chance among the enabled kinds;
// garbage goes in front of the frame and leaves the frame itself intact.
class FaultInjector
{
public:
    FaultInjector(FaultKinds kinds, double ratePerFrame, std::uint32_t seed);

    // The chunks to send in place of `frame`, in order: the frame itself when no fault hits.
    std::vector<Chunk> apply(const Bytes& frame);

private:
    static constexpr std::uint32_t kMaxGarbageBytes = 16;
    static constexpr std::uint32_t kBodyOffset = 3; // after the sync byte and the length

    enum class Fault
    {
        Garbage,
        BitFlip,
        BodyFlip,
        Truncate,
    };

    std::vector<Fault> enabled_;
    double ratePerFrame_;
    SimRandom random_;
};

} // namespace zentor::sim
