#include "KnownRanges.h"

#include "link/ByteOrder.h"
#include "logging/KlfFormat.h"

#include <algorithm>

namespace zentor::klfexport {

namespace {

// Configuration packet data: flags (bit 0/1 receiver present, bit 2/3 numbering flag), then a
// 12-byte block per receiver. The header's receivers record has the same layout, cut short.
constexpr std::size_t kFlagsBytes = 1;
constexpr std::size_t kConfigurationBytes = kFlagsBytes + 2 * kConfigurationBlockBytes;
constexpr std::size_t kHeaderBytes = kFlagsBytes + kReceiverBlockBytes + kReceiver2BlockBytesKept;
constexpr std::uint8_t kPresentBits = 0x03;
constexpr std::size_t kLevelValueBytes = 4;

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

void KnownRanges::takeHeader(ByteView header, ByteView firstConfiguration)
{
    if (header.size < kHeaderBytes)
        return;
    if (agrees(header, firstConfiguration)) {
        takeConfiguration(firstConfiguration);
        return;
    }
    if (present(header.data[0], 0)) {
        readConfigurationBlock(receivers_[0].range, blockOf(header.data, 0));
        receivers_[0].step = true;
    }
}

void KnownRanges::takeConfiguration(ByteView data)
{
    if (data.size < kFlagsBytes)
        return;
    const std::uint8_t flags = data.data[0];
    for (int r = 0; r < 2; ++r) {
        if (!present(flags, r) || data.size < kFlagsBytes + (r + 1) * kConfigurationBlockBytes)
            continue;
        Known& known = receivers_[r];
        readConfigurationBlock(known.range, blockOf(data.data, r));
        known.range.channelsWrap = (flags >> (2 + r)) & 1;
        known.step = known.numbering = true;
    }
}

void KnownRanges::takeLevelValues(ByteView data)
{
    for (int r = 0; r < 2 && data.size >= (r + 1) * kLevelValueBytes; ++r) {
        receivers_[r].range.currentCount =
            static_cast<std::int32_t>(readLe32(data.data + r * kLevelValueBytes));
        receivers_[r].current = true;
    }
}

void KnownRanges::takeStatusBlocks(ByteView data)
{
    for (int r = 0; r < 2 && data.size >= (r + 1) * kStatusBlockBytes; ++r) {
        readStatusBlock(receivers_[r].range, data.data + r * kStatusBlockBytes);
        receivers_[r].list = receivers_[r].current = true;
    }
}

Tuning KnownRanges::single(int receiver) const
{
    const Known& k = receivers_[receiver];
    Tuning t;
    if (k.step && k.current)
        t.frequencyMHz = frequencyMHz(k.range, k.range.currentCount);
    if (k.step && k.numbering && k.current)
        t.channel = channelOfCount(k.range, k.range.currentCount);
    return t;
}

Tuning KnownRanges::listEntry(int receiver, int entry) const
{
    const Known& k = receivers_[receiver];
    Tuning t;
    t.channel = entry + 1;
    if (k.step && k.list)
        t.frequencyMHz = frequencyMHz(k.range, k.range.listCounts[entry]);
    return t;
}

Tuning KnownRanges::tableEntry(int receiver, int entryNumber) const
{
    const Known& k = receivers_[receiver];
    Tuning t;
    t.channel = entryNumber;
    if (k.step && k.numbering)
        t.frequencyMHz = frequencyMHz(k.range, countOfChannel(k.range, entryNumber));
    return t;
}

} // namespace zentor::klfexport
