#pragma once

#include <cstddef>
#include <cstdint>

// The .KLF log file: a plain run of packet records (16-bit little-endian L, then L bytes: the
// type first and, where the type has one, the XOR checksum last). A file the data logger creates
// opens with these header records:
//
//   order  bytes  content
//   1      6      six 0x00 bytes (the lead-in)
//   2      17     L = 15, type 0x80, "QXVZENTOR0401", checksum
//   3      13     L = 11, type 0x81, serial number (8 bytes, 0x00-padded), 0x00, checksum
//   4      27     L = 25, type 0x01, presence flags, receiver 1 block (12 bytes), the first 11
//                 bytes of the receiver 2 block; no checksum
//   5      L + 2  the last scan channel information packet (type 5 or 6), when one was captured
//
// The checksum of records 2 and 3 is the XOR of every byte from the type up to the checksum.
namespace zentor {

constexpr std::size_t kLeadInBytes = 6;

constexpr std::uint8_t kSignatureType = 0x80;
constexpr char kSignatureText[] = "QXVZENTOR0401";
constexpr std::size_t kSignatureTextBytes = sizeof(kSignatureText) - 1;
constexpr std::uint16_t kSignatureLength = 15;

constexpr std::uint8_t kSerialNumberType = 0x81;
constexpr std::size_t kSerialNumberBytes = 8;
constexpr std::uint16_t kSerialNumberLength = 11;

constexpr std::uint8_t kReceiversType = 0x01;
constexpr std::uint16_t kReceiversLength = 25;
constexpr std::size_t kReceiverBlockBytes = 12;
// The declared length leaves the last byte of the receiver 2 block out of the file.
constexpr std::size_t kReceiver2BlockBytesKept = 11;

// Records the TravelPilot link hands over between the instrument packets. They carry no
// checksum and have fixed lengths.
constexpr std::uint8_t kTravelPilotPositionType = 0xC0;
constexpr std::uint16_t kTravelPilotPositionLength = 21;
constexpr std::uint8_t kTravelPilotSpeedType = 0xC1;
constexpr std::uint16_t kTravelPilotSpeedLength = 5;

// Bytes of the length field before every record's body.
constexpr std::size_t kLengthFieldBytes = 2;

// True for the packet types whose last byte is the XOR checksum: every instrument packet.
constexpr bool carriesChecksum(std::uint8_t type)
{
    return type != kTravelPilotPositionType && type != kTravelPilotSpeedType;
}

} // namespace zentor
