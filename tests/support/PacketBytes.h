#pragma once

// Building the byte strings of frames and packet records in tests.
#include "link/ByteOrder.h"
#include "link/Frame.h"

#include <cstdint>
#include <vector>

namespace zentor::test {

using Bytes = std::vector<std::uint8_t>;

// The whole wire frame: sync byte, L, type, data, checksum.
inline Bytes frameOf(std::uint8_t type, const Bytes& data)
{
    const OutboundFrame f = buildFrame(type, data.data(), data.size());
    return Bytes(f.bytes.begin(), f.bytes.begin() + static_cast<long>(f.size));
}

// A packet record (L, type, data, checksum) as the framing hands it over.
inline Bytes packetRecord(std::uint8_t type, const Bytes& data)
{
    const Bytes frame = frameOf(type, data);
    return Bytes(frame.begin() + 1, frame.end());
}

inline Bytes cat(const std::vector<Bytes>& parts)
{
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

inline Bytes le32(std::int32_t value)
{
    Bytes bytes(4);
    writeLe32(bytes.data(), static_cast<std::uint32_t>(value));
    return bytes;
}

} // namespace zentor::test
