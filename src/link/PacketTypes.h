#pragma once

#include "link/MeasurementMode.h"

#include <cstddef>
#include <cstdint>
#include <optional>

// The packets of the two-receiver instrument, by type byte (the first body byte of a frame):
//
//   type  name              what it carries
//   0x00  GPS record        the GPS receiver's position and status, decoded by the GPS side
//   0x01  configuration     which receivers are present, and what each scans
//   0x02  single levels     receiver 1's single-mode readings
//   0x03  single levels     the same of receiver 2
//   0x04  clock and marker  the instrument's clock and marker number
//   0x05  level values      each receiver's current count (channel information)
//   0x06  status blocks     each receiver's list (channel information)
//   0x07  scan entries      list mode readings
//   0x09  table entries     table mode readings
//   0x1C  identification    the serial number
//
// The layout of their data is in PacketLayout.h. Any other type is not decoded, but is logged
// like the rest. The program sends three commands, all without data.
namespace zentor {

constexpr int kReceiverCount = 2;
constexpr std::size_t kTableEntries = 3072; // table indexes 0-3071
constexpr std::size_t kGpsRecordSize = 152;

// Where the type byte lies in a packet record (after its 16-bit length).
constexpr std::size_t kPacketTypeOffset = 2;

enum PacketType : std::uint8_t
{
    kPacketGpsRecord = 0x00,
    kPacketConfiguration = 0x01,
    kPacketSingleReceiver1 = 0x02,
    kPacketSingleReceiver2 = 0x03,
    kPacketClock = 0x04,
    kPacketLevelValues = 0x05,
    kPacketStatusBlocks = 0x06,
    kPacketScanEntries = 0x07,
    kPacketTableEntries = 0x09,
    kPacketIdentification = 0x1C,
};

// The commands, each answered by the packet of the same name.
enum Command : std::uint8_t
{
    kCmdConfiguration = 0x01,      // sent on each identification packet
    kCmdIdentify = 0x1C,           // sent when the link opens
    kCmdChannelInformation = 0x30, // answered with packets 5 and 6
};

// Types 2, 3 and 7: the measurements that carry no channel information of their own, so the
// program asks for it on each while it has none.
inline bool isMeasurementPacket(std::uint8_t type)
{
    return type == kPacketSingleReceiver1 || type == kPacketSingleReceiver2 ||
           type == kPacketScanEntries;
}

// The mode a measurement packet shows the instrument is in; none for the other types.
inline std::optional<MeasurementMode> measurementModeOf(std::uint8_t type)
{
    switch (type) {
    case kPacketSingleReceiver1:
    case kPacketSingleReceiver2:
        return MeasurementMode::Single;
    case kPacketScanEntries:
        return MeasurementMode::List;
    case kPacketTableEntries:
        return MeasurementMode::Table;
    default:
        return std::nullopt;
    }
}

} // namespace zentor
