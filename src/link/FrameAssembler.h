#pragma once

#include "link/Frame.h"

#include <array>
#include <cstdint>

namespace zentor {

// Finds frames in the byte stream from the instrument, one byte at a time. It keeps its state
// between calls, so a frame may arrive split across any number of reads. It never allocates and
// every byte sequence leaves it in one of its four states. Used by the link thread only.
class TFrameAssembler
{
public:
    enum State : std::int16_t
    {
        Hunting = 10,    // dropping bytes until a sync byte
        LengthLow = 80,  // next byte is the low byte of L
        LengthHigh = 90, // next byte is the high byte of L
        Body = 100,      // collecting L body bytes
    };

    // Consumes one byte. Returns 0 when that byte completed a frame with a correct checksum (its
    // packet record is then available from record() until the next call); otherwise returns the
    // state the assembler is now in, which is never 0.
    int PushByte(std::uint8_t b);

    // The last completed frame as a packet record: L (16-bit little-endian), then the L body bytes.
    ByteView record() const { return {record_.data(), static_cast<std::size_t>(length_) + 2}; }

    std::int16_t length() const { return length_; }
    State state() const { return state_; }

private:
    static constexpr std::size_t kLengthBytes = 2;

    std::array<std::uint8_t, kLengthBytes + kBodyBufferSize> record_{}; // L, then the body
    std::int16_t length_ = 0; // always a valid L (1..2047) once a length was accepted
    std::uint16_t count_ = 0;
    std::uint8_t xor_ = 0;
    State state_ = Hunting;
};

} // namespace zentor
