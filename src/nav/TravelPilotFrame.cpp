#include "nav/TravelPilotFrame.h"

#include "link/ByteOrder.h"

#include <cstring>

namespace zentor {

namespace {

constexpr std::size_t kLengthOffset = 0;
constexpr std::size_t kCommandOffset = 1;
constexpr std::size_t kComplementOffset = 2;
constexpr std::size_t kDataOffset = 3;
constexpr std::size_t kChecksumBytes = 2;

std::uint16_t checksum(const std::uint8_t* bytes, std::size_t n)
{
    std::uint16_t sum = 0;
    for (std::size_t i = 0; i < n; ++i)
        sum = static_cast<std::uint16_t>(sum + bytes[i]);
    return sum;
}

} // namespace

TravelPilotFrame buildTravelPilotFrame(std::uint8_t command, const std::uint8_t* data,
                                       std::size_t n)
{
    TravelPilotFrame frame;
    if (n > kTpMaxFrameData)
        return frame;
    const std::size_t size = kTpFrameOverhead + n;
    std::uint8_t* b = frame.bytes.data();
    b[kLengthOffset] = static_cast<std::uint8_t>(size);
    b[kCommandOffset] = command;
    b[kComplementOffset] = static_cast<std::uint8_t>(~command);
    if (n > 0)
        std::memcpy(b + kDataOffset, data, n);
    const std::size_t summed = size - kChecksumBytes;
    writeLe16(b + summed, checksum(b, summed));
    frame.size = size;
    return frame;
}

std::optional<std::uint8_t> parseTravelPilotRequest(const std::uint8_t* bytes, std::size_t n)
{
    if (n < kTpFrameOverhead || bytes[kLengthOffset] != n)
        return std::nullopt;
    const std::uint8_t command = bytes[kCommandOffset];
    if (bytes[kComplementOffset] != static_cast<std::uint8_t>(~command))
        return std::nullopt;
    const std::size_t summed = n - kChecksumBytes;
    if (readLe16(bytes + summed) != checksum(bytes, summed))
        return std::nullopt;
    return command;
}

} // namespace zentor
