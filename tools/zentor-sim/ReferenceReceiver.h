#pragma once

#include "SimPacket.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zentor::sim {

// A model of a correct receiver of the instrument's stream, kept apart from the data logger's
// frame assembler so that each checks the other. It hunts for the sync byte 0xAA, reads the
// 16-bit little-endian length L as a signed value and accepts only 1..2047 (a rejected length
// drops its three bytes without looking at them again), collects L body bytes whatever they
// hold, and takes the frame when its last byte is the XOR of the body bytes before it. What it
// finds is the ground truth for a log of the same bytes.
class ReferenceReceiver
{
public:
    struct Found
    {
        Bytes record;             // L (little-endian), then the L body bytes
        std::uint64_t syncOffset; // stream offset of the frame's sync byte
    };

    // Takes the next `n` bytes of the stream; returns the packet records they complete, in order.
    std::vector<Found> push(const std::uint8_t* data, std::size_t n);

    // Back to hunting, as a receiver that starts listening now; stream offsets go on counting.
    void restart();

    // Bytes taken so far.
    std::uint64_t offset() const { return offset_; }

private:
    enum class Phase
    {
        SeekSync,   // waiting for 0xAA
        LengthLow,  // the next byte is the low byte of L
        LengthHigh, // the next byte is the high byte of L
        Collect,    // taking the L body bytes
    };

    Phase phase_ = Phase::SeekSync;
    Bytes record_;
    std::size_t bodyLength_ = 0;
    std::uint64_t offset_ = 0;
    std::uint64_t syncOffset_ = 0;
};

} // namespace zentor::sim
