#pragma once

#include "link/Frame.h"
#include "link/LinkQuality.h"

#include <array>
#include <cstdint>

namespace zentor {

// Finds frames in the byte stream from the instrument, one byte at a time. It keeps its state
// between calls, so a frame may arrive split across any number of reads. It never allocates and
// every byte sequence leaves it in one of its four states. It counts what it makes of the bytes
// (FramingCounts) in plain fields: the link thread publishes them. Used by the link thread only.
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
    const FramingCounts& counts() const { return counts_; }

    // Drops a frame begun but not finished (the connection it came on was lost) and hunts for
    // the next sync byte; the counts go on.
    void dropFrame() { state_ = Hunting; }

private:
    static constexpr std::size_t kLengthBytes = 2;

    std::array<std::uint8_t, kLengthBytes + kBodyBufferSize> record_{}; // L, then the body
    std::int16_t length_ = 0; // always a valid L (1..2047) once a length was accepted
    std::uint16_t count_ = 0;
    std::uint8_t xor_ = 0;
    State state_ = Hunting;
    FramingCounts counts_;
};

// Defined here so that the per-byte call in the read loop inlines.
inline int TFrameAssembler::PushByte(std::uint8_t b)
{
    switch (state_) {
    case Hunting:
        if (b == kSyncByte)
            state_ = LengthLow;
        else
            ++counts_.bytesSkipped;
        break;
    case LengthLow:
        record_[0] = b;
        state_ = LengthHigh;
        break;
    case LengthHigh: {
        record_[1] = b;
        // L is a signed 16-bit value: a high byte of 0x80 or more makes it negative.
        const auto length =
            static_cast<std::int16_t>(static_cast<std::uint16_t>(record_[0] | (b << 8)));
        if (length <= 0 || length > kMaxBodyLength) {
            // The bytes taken so far are not scanned again for a sync byte.
            state_ = Hunting;
            ++counts_.badLength;
        } else {
            length_ = length;
            count_ = 0;
            xor_ = 0;
            state_ = Body;
        }
        break;
    }
    case Body: {
        record_[kLengthBytes + count_] = b;
        ++count_;
        const std::uint8_t before = xor_;
        xor_ = static_cast<std::uint8_t>(before ^ b);
        if (count_ == static_cast<std::uint16_t>(length_)) {
            state_ = Hunting;
            // The last byte is the checksum when it equals the XOR of all the bytes before it.
            if (b == before) {
                ++counts_.framesGood;
                return 0;
            }
            ++counts_.badChecksum;
        }
        break;
    }
    }
    return state_;
}

} // namespace zentor
