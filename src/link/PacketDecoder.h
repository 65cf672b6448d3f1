#pragma once

#include "link/PacketLayout.h"
#include "link/PacketTypes.h"
#include "link/ReceiverRange.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>

// Decoding one packet record of the instrument into what it says, without keeping anything:
// the receiver state applies the result. Each type's layout is in PacketLayout.h.
namespace zentor {

// A reading of a list or table: the low byte of a negative dBm value (0x88 is -120 dBm).
constexpr std::uint8_t kNoLevelByte = 0x88;
constexpr std::int16_t kNoLevelDbm = -120;

// Why a packet was not decoded. The state takes nothing from it; it is logged all the same.
enum class NotDecodedReason
{
    Short,   // too few data bytes for a single field of its type
    Unknown, // a type the program does not decode
};

struct NotDecoded
{
    NotDecodedReason reason = NotDecodedReason::Unknown;
};

struct IdentificationPacket
{
    std::string text; // cut at 8 characters or at a NUL, whichever comes first
};

// A receiver's configuration block, as received and as read.
struct ReceiverConfiguration
{
    std::array<std::uint8_t, kConfigurationBlockBytes> block{};
    ReceiverRange range; // start, stop, step and the numbering flag; no list or current count
};

struct ConfigurationPacket
{
    std::array<bool, kReceiverCount> present{};
    // Present receivers whose block the packet carries whole.
    std::array<std::optional<ReceiverConfiguration>, kReceiverCount> receivers;
};

struct SingleLevelsPacket
{
    std::size_t receiver = 0; // 0 or 1
    std::size_t count = 0;    // 0 says the receiver has no reading
    std::uint8_t first = kNoLevelByte;
    std::int16_t averageDbm = kNoLevelDbm; // truncated toward zero
};

struct LevelValuesPacket
{
    std::size_t count = 0; // receivers carried, 1 or 2, receiver 1 first
    std::array<std::int32_t, kReceiverCount> currentCounts{};
};

struct StatusBlocksPacket
{
    std::size_t count = 0; // receivers carried, 1 or 2, receiver 1 first
    std::array<std::array<std::uint8_t, kStatusBlockBytes>, kReceiverCount> blocks{};
    std::array<std::array<std::int32_t, kListEntries>, kReceiverCount> listCounts{};
};

struct ScanEntriesPacket
{
    std::size_t count = 0; // whole entries, 1 to 5; bytes after the fifth are not read
    std::array<ScanEntry, kScanEntriesPerPacket> entries{};
};

struct TableEntriesPacket
{
    std::size_t count = 0; // whole entries, 1 to 4; bytes after the fourth are not read
    std::array<TableEntry, kTableEntriesPerPacket> entries{};
};

struct GpsRecordPacket
{
    std::array<std::uint8_t, kGpsRecordSize> record{}; // bytes beyond the record are not kept
};

struct DecodedPacket
{
    using Content =
        std::variant<NotDecoded, IdentificationPacket, ConfigurationPacket, SingleLevelsPacket,
                     InstrumentClock, LevelValuesPacket, StatusBlocksPacket, ScanEntriesPacket,
                     TableEntriesPacket, GpsRecordPacket>;

    std::uint8_t type = 0;
    Content content;

    bool decoded() const { return !std::holds_alternative<NotDecoded>(content); }
};

// Decodes a packet record: the 16-bit length L, then the L body bytes (type, data, checksum).
// The checksum is not checked again. Nothing when the record is not whole (shorter than its
// length says, or L = 0). Pure function: any thread.
std::optional<DecodedPacket> decodePacket(const std::uint8_t* record, std::size_t size);

// Decodes the data of a packet of `type`: the n bytes between its type byte and its checksum
// (what a log file reader gives). Pure function: any thread.
DecodedPacket decodePacketData(std::uint8_t type, const std::uint8_t* data, std::size_t n);

} // namespace zentor
