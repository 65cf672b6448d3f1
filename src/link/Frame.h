#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The link framing shared by both directions:
//
//   offset  width  field
//   0       1      sync byte 0xAA
//   1       2      L, little-endian: type + data + checksum, so L = data length + 2
//   3       1      packet type (command code outbound)
//   4       L-2    data
//   2+L     1      checksum: XOR of the type byte and every data byte
//
// A received L is valid only in 1..2047. The packet record, the unit that the protocol decodes
// and the log stores, is the frame without its sync byte: L, then the L body bytes.
namespace zentor {

constexpr std::uint8_t kSyncByte = 0xAA;
constexpr int kMaxBodyLength = 2047;                        // largest valid L
constexpr std::size_t kBodyBufferSize = 2048;               // type, data and checksum
constexpr std::size_t kMaxCommandData = kMaxBodyLength - 2; // data bytes an outbound frame carries
constexpr std::size_t kMaxFrameSize = 4 + kBodyBufferSize;  // sync, L, type, then up to 2048 more

// A pointer and a size, for records that live in someone else's buffer.
struct ByteView
{
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};

// An outbound frame, ready to be written as one block.
struct OutboundFrame
{
    std::array<std::uint8_t, kMaxFrameSize> bytes{};
    std::size_t size = 0; // L + 3; 0 when the data did not fit a frame
};

// Builds the frame for `type` with `n` data bytes. Data longer than kMaxCommandData does not fit:
// the result then has size 0.
OutboundFrame buildFrame(std::uint8_t type, const std::uint8_t* data, std::size_t n);

} // namespace zentor
