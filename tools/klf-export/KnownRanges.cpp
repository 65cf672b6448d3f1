#include "KnownRanges.h"

#include "logging/KlfFormat.h"

#include <algorithm>

namespace zentor::klfexport {

namespace {

// The header's receivers record is the configuration packet's data cut short: the flags (bit 0/1
// receiver present), then a 12-byte block per receiver, receiver 2's without its last byte.
constexpr std::size_t kFlagsBytes = 1;
constexpr std::size_t kConfigurationBytes = kFlagsBytes + kReceiverCount * kConfigurationBlockBytes;
constexpr std::size_t kHeaderBytes = kFlagsBytes + kReceiverBlockBytes + kReceiver2BlockBytesKept;
constexpr std::uint8_t kPresentBits = 0x03;

bool present(std::uint8_t flags, int receiver)
{
    return (flags >> receiver) & 1;
}

const std::uint8_t* blockOf(const std::uint8_t* data, int receiver)
{
    return data + kFlagsBytes + receiver * kConfigurationBlockBytes;
}

bool agrees(ByteView header, ByteView configuration)
{
    if (configuration.size < kConfigurationBytes ||
        (header.data[0] & kPresentBits) != (configuration.data[0] & kPresentBits))
        return false;
    const std::size_t kept[2] = {kReceiverBlockBytes, kReceiver2BlockBytesKept};
    for (int r = 0; r < 2; ++r) {
        if (present(header.data[0], r) &&
            !std::equal(blockOf(header.data, r), blockOf(header.data, r) + kept[r],
                        blockOf(configuration.data, r)))
            return false;
    }
    return true;
}

} // namespace

void KnownRanges::takeHeader(ByteView header, ByteView firstData, const ConfigurationPacket& first)
{
    if (header.size < kHeaderBytes)
        return;
    if (agrees(header, firstData)) {
        takeConfiguration(first);
        return;
    }
    if (present(header.data[0], 0)) {
        readConfigurationBlock(receivers_[0].range, blockOf(header.data, 0));
        receivers_[0].step = true;
    }
}

void KnownRanges::takeConfiguration(const ConfigurationPacket& packet)
{
    for (std::size_t r = 0; r < kReceiverCount; ++r) {
        if (!packet.receivers[r])
            continue;
        const ReceiverRange& given = packet.receivers[r]->range;
        Known& known = receivers_[r];
        known.range.startCount = given.startCount;
        known.range.stopCount = given.stopCount;
        known.range.stepKHz = given.stepKHz;
        known.range.channelsWrap = given.channelsWrap;
        known.step = known.numbering = true;
    }
}

void KnownRanges::takeLevelValues(const LevelValuesPacket& packet)
{
    for (std::size_t r = 0; r < packet.count; ++r) {
        receivers_[r].range.currentCount = packet.currentCounts[r];
        receivers_[r].current = true;
    }
}

// The list's first entry is also the current count.
void KnownRanges::takeStatusBlocks(const StatusBlocksPacket& packet)
{
    for (std::size_t r = 0; r < packet.count; ++r) {
        Known& known = receivers_[r];
        known.range.listCounts = packet.listCounts[r];
        known.range.currentCount = packet.listCounts[r][0];
        known.list = known.current = true;
    }
}

Tuning KnownRanges::single(std::size_t receiver) const
{
    const Known& k = receivers_[receiver];
    Tuning t;
    if (k.step && k.current)
        t.frequencyMHz = frequencyMHz(k.range, k.range.currentCount);
    if (k.numbering && k.current)
        t.channel = channelOfCount(k.range, k.range.currentCount);
    return t;
}

std::optional<Tuning> KnownRanges::listEntry(std::size_t receiver, std::size_t entry) const
{
    if (entry >= kListEntries)
        return std::nullopt;
    const Known& k = receivers_[receiver];
    Tuning t;
    t.channel = static_cast<std::int32_t>(entry + 1);
    if (k.step && k.list)
        t.frequencyMHz = frequencyMHz(k.range, k.range.listCounts[entry]);
    return t;
}

std::optional<Tuning> KnownRanges::tableEntry(std::size_t receiver, std::size_t index) const
{
    if (index >= kTableEntries)
        return std::nullopt;
    const Known& k = receivers_[receiver];
    Tuning t;
    // The display numbers table entries from 1.
    t.channel = static_cast<std::int32_t>(index + 1);
    if (k.numbering)
        t.frequencyMHz = frequencyMHz(k.range, countOfChannel(k.range, *t.channel));
    return t;
}

} // namespace zentor::klfexport
