#pragma once

#include "link/Frame.h"
#include "link/PacketTypes.h"

#include <cstdint>
#include <vector>

// One packet as the instrument sends it: a type (link/PacketTypes.h) and its data bytes. The frame
// around it (sync byte, length, checksum) is added on the way out.
namespace zentor::sim {

using Bytes = std::vector<std::uint8_t>;

struct Packet
{
    std::uint8_t type = 0;
    Bytes data;
};

// The whole wire frame of a packet: 0xAA, L (little-endian), type, data, XOR checksum.
inline Bytes frameBytes(const Packet& packet)
{
    const OutboundFrame frame = buildFrame(packet.type, packet.data.data(), packet.data.size());
    return Bytes(frame.bytes.begin(), frame.bytes.begin() + static_cast<long>(frame.size));
}

} // namespace zentor::sim
