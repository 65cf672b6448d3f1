#pragma once

#include "link/Frame.h"
#include "link/PacketDecoder.h"
#include "link/ReceiverRange.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace zentor::klfexport {

// What a reading was tuned to, as far as the log tells.
struct Tuning
{
    std::optional<std::int32_t> channel;
    std::optional<double> frequencyMHz;
};

// The two receivers' ranges as a walk through a log learns them, and the frequencies and channel
// numbers of readings by the display's rules (link/ReceiverRange.h). A configuration packet
// gives start, stop, step and numbering flag; channel information gives the current count
// (types 5 and 6) and the list (type 6). The log header's receivers record gives receiver 1's
// start, stop and step, but neither numbering flag and not receiver 2's step, whose top byte is
// not in the file. Anything not yet learnt leaves the frequency (or channel) unknown.
class KnownRanges
{
public:
    // The header's receivers record (its data: flags, receiver 1's block, 11 bytes of receiver
    // 2's). `firstData` is the data of the log's first configuration packet, or empty, and
    // `first` what it says: when the data agree with every byte the header keeps, it is the
    // configuration the header was made from, and it is taken whole from the start.
    void takeHeader(ByteView header, ByteView firstData, const ConfigurationPacket& first);

    // Packets: configuration (type 1), level values (type 5), status blocks (type 6). Only what
    // the packet carries whole is taken.
    void takeConfiguration(const ConfigurationPacket& packet);
    void takeLevelValues(const LevelValuesPacket& packet);
    void takeStatusBlocks(const StatusBlocksPacket& packet);

    // receiver: 0 or 1.
    Tuning single(std::size_t receiver) const;
    // A list entry 0-9, shown as channel 1-10; none beyond the list.
    std::optional<Tuning> listEntry(std::size_t receiver, std::size_t entry) const;
    // A table index 0-3071, shown as entry number 1-3072; none beyond the table.
    std::optional<Tuning> tableEntry(std::size_t receiver, std::size_t index) const;

private:
    struct Known
    {
        ReceiverRange range;
        bool step = false;      // start, stop and step
        bool numbering = false; // the numbering flag, which comes with start, stop and step
        bool list = false;
        bool current = false;
    };

    std::array<Known, kReceiverCount> receivers_;
};

} // namespace zentor::klfexport
