#include "link/FrameAssembler.h"

namespace zentor {

int TFrameAssembler::PushByte(std::uint8_t b)
{
    switch (state_) {
    case Hunting:
        if (b == kSyncByte)
            state_ = LengthLow;
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
            if (b == before)
                return 0;
        }
        break;
    }
    }
    return state_;
}

} // namespace zentor
