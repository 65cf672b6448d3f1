#pragma once

#include <cstdint>
#include <vector>

// One packet as the instrument sends it: a type and its data bytes. The frame around it (sync
// byte, length, checksum) is added on the way out.
namespace zentor::sim {

using Bytes = std::vector<std::uint8_t>;

// Packet types the simulated instrument sends, and the commands it answers.
namespace PacketType {
constexpr std::uint8_t kGps = 0x00;
constexpr std::uint8_t kConfiguration = 0x01;
constexpr std::uint8_t kSingleReceiver1 = 0x02;
constexpr std::uint8_t kSingleReceiver2 = 0x03;
constexpr std::uint8_t kClock = 0x04;
constexpr std::uint8_t kLevelValues = 0x05;
constexpr std::uint8_t kStatusBlocks = 0x06;
constexpr std::uint8_t kList = 0x07;
constexpr std::uint8_t kTable = 0x09;
constexpr std::uint8_t kIdentification = 0x1C;
} // namespace PacketType

namespace Command {
constexpr std::uint8_t kIdentify = 0x1C;
constexpr std::uint8_t kConfiguration = 0x01;
constexpr std::uint8_t kChannelInformation = 0x30;
} // namespace Command

struct Packet
{
    std::uint8_t type = 0;
    Bytes data;
};

// The whole wire frame of a packet: 0xAA, L (little-endian), type, data, XOR checksum.
Bytes frameBytes(const Packet& packet);

} // namespace zentor::sim
