#include "SimPacket.h"

#include "link/Frame.h"

namespace zentor::sim {

Bytes frameBytes(const Packet& packet)
{
    const OutboundFrame frame = buildFrame(packet.type, packet.data.data(), packet.data.size());
    return Bytes(frame.bytes.begin(), frame.bytes.begin() + static_cast<long>(frame.size));
}

} // namespace zentor::sim
