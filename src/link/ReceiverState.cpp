#include "link/ReceiverState.h"

#include <cassert>

namespace zentor {

ReceiverState::ReceiverState()
{
    for (ReceiverSnapshot& rx : receivers_)
        rx.listRssi.fill(kNoLevelByte);
}

std::size_t ReceiverState::index(int r)
{
    assert(r == 0 || r == 1);
    return r == 0 ? 0 : 1;
}

void ReceiverState::apply(const DecodedPacket& packet, const std::uint8_t* record, std::size_t size)
{
    std::visit([this](const auto& content) { store(content); }, packet.content);
    takeChannelInformation(packet.type, record, size);
}

void ReceiverState::store(const IdentificationPacket& packet)
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    identification_ = packet.text;
}

// The present flags of both receivers; the blocks of those the packet carries whole.
void ReceiverState::store(const ConfigurationPacket& packet)
{
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        for (std::size_t r = 0; r < kReceiverCount; ++r) {
            ReceiverSnapshot& rx = receivers_[r];
            rx.present = packet.present[r];
            rx.everPresent = rx.everPresent || rx.present;
            if (!packet.receivers[r])
                continue;
            const ReceiverConfiguration& configuration = *packet.receivers[r];
            rx.info.configuration = configuration.block;
            rx.range.startCount = configuration.range.startCount;
            rx.range.stopCount = configuration.range.stopCount;
            rx.range.stepKHz = configuration.range.stepKHz;
            rx.range.channelsWrap = configuration.range.channelsWrap;
        }
    }
    markRangesChanged();
}

// Dropped while the event is set: the one-second tick has asked for a frame and the display has
// not yet taken its copy.
void ReceiverState::store(const SingleLevelsPacket& packet)
{
    const std::size_t r = packet.receiver;
    if (receiverDataEvent_[r].isSet())
        return;
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        ReceiverSnapshot& rx = receivers_[r];
        if (packet.count > 0)
            rx.singleRssi = packet.first;
        rx.averageLevelDbm = packet.averageDbm;
    }
    newData_[r].store(true);
}

void ReceiverState::store(const InstrumentClock& clock)
{
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        clock_ = clock;
    }
    clockEvent_.set();
}

// The ranges-changed marks of packets 5 and 6 go with their capture (takeChannelInformation).
void ReceiverState::store(const LevelValuesPacket& packet)
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    for (std::size_t r = 0; r < packet.count; ++r)
        receivers_[r].range.currentCount = packet.currentCounts[r];
}

// A new list restarts the list readings. The instrument repeats its channel information every
// few seconds: a block equal to the receiver's current one is the same list, and its readings
// stay, so the displays do not blank and the map feed publishes no "no signal" in between.
void ReceiverState::store(const StatusBlocksPacket& packet)
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    for (std::size_t r = 0; r < packet.count; ++r) {
        ReceiverSnapshot& rx = receivers_[r];
        const bool sameList = listReceived_[r] && rx.info.status == packet.blocks[r];
        rx.info.status = packet.blocks[r];
        rx.range.listCounts = packet.listCounts[r];
        rx.range.currentCount = packet.listCounts[r][0];
        if (!sameList)
            rx.listRssi.fill(kNoLevelByte);
        listReceived_[r] = true;
    }
}

// Readings of absent receivers, and those `put` refuses, are refused; each receiver that stored
// one has its data event set. The caller holds the state lock: the event is set under it, so that
// the display's copy, which clears the event under it too, comes either before the readings and
// the event or after both.
template <class Packet, class Put> void ReceiverState::storeReadings(const Packet& packet, Put put)
{
    std::array<bool, kReceiverCount> stored{};
    for (std::size_t e = 0; e < packet.count; ++e) {
        const auto& entry = packet.entries[e];
        ReceiverSnapshot& rx = receivers_[entry.receiver];
        if (!rx.present || !put(rx, entry)) {
            ++readingsRefused_;
            continue;
        }
        ++rx.readingsStored;
        stored[entry.receiver] = true;
    }
    for (std::size_t r = 0; r < kReceiverCount; ++r)
        if (stored[r])
            receiverDataEvent_[r].set();
}

// Channels outside the list are refused. List entry 0's reading is also the receiver's
// single-mode reading, stored here so that it never waits for a display to be drawn.
void ReceiverState::store(const ScanEntriesPacket& packet)
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    storeReadings(packet, [](ReceiverSnapshot& rx, const ScanEntry& entry) {
        if (entry.channel >= kListEntries)
            return false;
        rx.listRssi[entry.channel] = entry.level;
        rx.singleRssi = rx.listRssi[0];
        return true;
    });
}

// Indexes outside the table are refused. The first table packet starts every receiver's last
// index at the table's end.
void ReceiverState::store(const TableEntriesPacket& packet)
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    if (!tableModeSeen_) {
        tableModeSeen_ = true;
        for (ReceiverSnapshot& rx : receivers_)
            rx.lastTableIndex = kTableEntries - 1;
    }
    storeReadings(packet, [](ReceiverSnapshot& rx, const TableEntry& entry) {
        if (entry.index >= kTableEntries)
            return false;
        rx.tableRssi[entry.index] = entry.level;
        rx.lastTableIndex = entry.index;
        return true;
    });
}

void ReceiverState::store(const GpsRecordPacket& packet)
{
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        gpsRecord_ = packet.record;
    }
    gpsEvent_.set();
}

void ReceiverState::takeChannelInformation(std::uint8_t type, const std::uint8_t* record,
                                           std::size_t size)
{
    if (type == kPacketLevelValues || type == kPacketStatusBlocks) {
        markRangesChanged();
        {
            std::lock_guard<std::mutex> lock(stateMutex_);
            channelInfo_.assign(record, record + size);
        }
        channelInfoCaptured_.store(true);
    } else if (type == kPacketTableEntries) {
        channelInfoCaptured_.store(true);
    }
}

void ReceiverState::markRangesChanged()
{
    for (auto& mark : rangesChanged_)
        mark.store(true);
    statusRangesChanged_.store(true);
}

void ReceiverState::publishFraming(const FramingCounts& counts)
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    framing_ = counts;
}

LinkQuality ReceiverState::linkQuality() const
{
    LinkQuality quality;
    quality.packetsNotDecoded = notDecoded_.load(std::memory_order_relaxed);
    std::lock_guard<std::mutex> lock(stateMutex_);
    quality.framing = framing_;
    return quality;
}

std::string ReceiverState::statusText() const
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    return statusText_;
}

void ReceiverState::setStatusText(const std::string& text)
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    statusText_ = text;
}

std::string ReceiverState::identification() const
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    return identification_;
}

InstrumentClock ReceiverState::instrumentClock() const
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    return clock_;
}

ReceiverSnapshot ReceiverState::receiver(int r) const
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    return receivers_[index(r)];
}

ReceiverSnapshot ReceiverState::takeReceiver(int r)
{
    const std::size_t i = index(r);
    std::lock_guard<std::mutex> lock(stateMutex_);
    readingsTaken_[i] = receivers_[i].readingsStored;
    receiverDataEvent_[i].reset();
    return receivers_[i];
}

ReadingCounts ReceiverState::readingCounts() const
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    ReadingCounts counts;
    for (std::size_t r = 0; r < kReceiverCount; ++r) {
        counts.stored[r] = receivers_[r].readingsStored;
        counts.taken[r] = readingsTaken_[r];
    }
    counts.refused = readingsRefused_;
    return counts;
}

std::array<std::uint8_t, kGpsRecordSize> ReceiverState::gpsRecord() const
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    return gpsRecord_;
}

std::vector<std::uint8_t> ReceiverState::channelInformation() const
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    return channelInfo_;
}

} // namespace zentor
