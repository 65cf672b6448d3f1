#include "link/Frame.h"

#include "link/ByteOrder.h"

#include <cstring>

namespace zentor {

OutboundFrame buildFrame(std::uint8_t type, const std::uint8_t* data, std::size_t n)
{
    OutboundFrame frame;
    if (n > kMaxCommandData)
        return frame;
    const auto length = static_cast<std::uint16_t>(n + 2);
    frame.bytes[0] = kSyncByte;
    writeLe16(&frame.bytes[1], length);
    frame.bytes[3] = type;
    std::uint8_t checksum = type;
    if (n > 0)
        std::memcpy(&frame.bytes[4], data, n);
    for (std::size_t i = 0; i < n; ++i)
        checksum ^= data[i];
    frame.bytes[4 + n] = checksum;
    frame.size = length + 3u;
    return frame;
}

} // namespace zentor
