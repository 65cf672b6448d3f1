#include "link/TReceiverLink.h"

#include "link/ByteOrder.h"

#include <algorithm>
#include <cstring>

namespace zentor {

namespace {

enum PacketType : std::uint8_t
{
    kPacketGpsRecord = 0x00,
    kPacketConfiguration = 0x01,
    kPacketSingleReceiver1 = 0x02,
    kPacketSingleReceiver2 = 0x03,
    kPacketClockMarker = 0x04,
    kPacketLevelValues = 0x05,
    kPacketStatusBlocks = 0x06,
    kPacketScanEntries = 0x07,
    kPacketTableEntries = 0x09,
    kPacketIdentification = 0x1C,
};

constexpr std::size_t kIdentificationLength = 8;
constexpr std::size_t kConfigurationBlock = kConfigurationBlockBytes;
constexpr std::size_t kStatusBlock = kStatusBlockBytes;
constexpr std::size_t kScanEntrySize = 3;
constexpr std::size_t kScanEntriesPerPacket = 5;
constexpr std::size_t kTableEntrySize = 4;
constexpr std::size_t kTableEntriesPerPacket = 4;
constexpr std::uint8_t kNoLevelByte = 0x88; // -120 dBm

bool isMeasurement(std::uint8_t type)
{
    return type == kPacketSingleReceiver1 || type == kPacketSingleReceiver2 ||
           type == kPacketScanEntries;
}

} // namespace

TReceiverLink::TReceiverLink()
{
    for (Receiver& r : receivers_)
        r.listRssi.fill(kNoLevelByte);
}

bool TReceiverLink::HandlePacket(const std::uint8_t* record, std::size_t size)
{
    if (size < 3)
        return false;
    const std::size_t length = readLe16(record);
    if (length < 1 || length + 2 > size)
        return false;
    const std::uint8_t type = record[2];
    // The data lies between the type byte and the checksum.
    const std::size_t dataLength = length >= 2 ? length - 2 : 0;
    decode(type, record + 3, dataLength);
    afterDispatch(type, record, length + 2);
    return true;
}

void TReceiverLink::decode(std::uint8_t type, const std::uint8_t* data, std::size_t n)
{
    switch (type) {
    case kPacketGpsRecord:
        onGpsRecord(data, n);
        break;
    case kPacketConfiguration:
        onConfiguration(data, n);
        break;
    case kPacketSingleReceiver1:
        onSingleLevels(0, data, n);
        break;
    case kPacketSingleReceiver2:
        onSingleLevels(1, data, n);
        break;
    case kPacketClockMarker:
        onClock(data, n);
        break;
    case kPacketLevelValues:
        onLevelValues(data, n);
        break;
    case kPacketStatusBlocks:
        onStatusBlocks(data, n);
        break;
    case kPacketScanEntries:
        onScanEntries(data, n);
        break;
    case kPacketTableEntries:
        onTableEntries(data, n);
        break;
    case kPacketIdentification:
        onIdentification(data, n);
        break;
    default: // not decoded, still logged
        break;
    }
}

// Identification: up to 8 ASCII characters; a longer text is cut, a NUL ends it early.
void TReceiverLink::onIdentification(const std::uint8_t* data, std::size_t n)
{
    const std::size_t kept = std::min(n, kIdentificationLength);
    const auto* end = std::find(data, data + kept, 0);
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        identification_.assign(data, end);
    }
    SendCommand(kCmdConfiguration);
}

// Configuration:
//   0       1   flags: bit 0/1 receiver 1/2 present, bit 2/3 receiver 1/2 channel numbering
//   1       12  receiver 1 block: start count i32 LE @0, stop count i32 LE @4, step x256 u32 LE @8
//   13      12  receiver 2 block
// Only the blocks of present receivers that the packet carries whole are stored.
void TReceiverLink::onConfiguration(const std::uint8_t* data, std::size_t n)
{
    if (n < 1)
        return;
    const std::uint8_t flags = data[0];
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        for (std::size_t r = 0; r < kReceiverCount; ++r) {
            const bool present = (flags >> r) & 1;
            present_[r].store(present);
            if (!present)
                continue;
            everPresent_[r].store(true);
            const std::size_t offset = 1 + r * kConfigurationBlock;
            if (n < offset + kConfigurationBlock)
                continue;
            const std::uint8_t* block = data + offset;
            Receiver& rx = receivers_[r];
            std::memcpy(rx.info.configuration.data(), block, kConfigurationBlock);
            readConfigurationBlock(rx.range, block);
            rx.info.stepKHz = rx.range.stepKHz;
            rx.range.channelsWrap = (flags >> (2 + r)) & 1;
        }
    }
    configurationReceived_.store(true);
    markRangesChanged();
}

// Single-mode levels: n signed dBm bytes of one receiver. Dropped while the event is set: the
// one-second tick has asked for a frame and the display has not yet taken its copy.
void TReceiverLink::onSingleLevels(int r, const std::uint8_t* data, std::size_t n)
{
    showMode(MeasurementMode::Single);
    if (receiverDataEvent_[r].isSet())
        return;
    long sum = 0;
    for (std::size_t i = 0; i < n; ++i)
        sum += static_cast<std::int8_t>(data[i]);
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        Receiver& rx = receivers_[r];
        if (n > 0)
            rx.singleRssi = data[0];
        rx.averageLevelDbm =
            n > 0 ? static_cast<std::int16_t>(sum / static_cast<long>(n)) : kNoLevelDbm;
    }
    newData_[r].store(true);
}

// Clock and marker: second, minute, hour, day, month, year - 2000, marker number.
void TReceiverLink::onClock(const std::uint8_t* data, std::size_t n)
{
    if (n < 7)
        return;
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        clock_ = {data[0], data[1], data[2], data[3], data[4], data[5], data[6], data[6]};
    }
    clockEvent_.set();
}

// Level values: i32 LE per receiver, receiver 1 first: each receiver's current count.
void TReceiverLink::onLevelValues(const std::uint8_t* data, std::size_t n)
{
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        for (std::size_t r = 0; r < kReceiverCount && n >= (r + 1) * 4; ++r) {
            const auto value = static_cast<std::int32_t>(readLe32(data + r * 4));
            receivers_[r].info.levelValue = value;
            receivers_[r].range.currentCount = value;
        }
    }
    markRangesChanged();
}

// Status blocks: 40 bytes per receiver, receiver 1 first; each holds the ten list entries as
// i32 LE counts, the first also the level value. A new list restarts the scan readings.
void TReceiverLink::onStatusBlocks(const std::uint8_t* data, std::size_t n)
{
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        for (std::size_t r = 0; r < kReceiverCount && n >= (r + 1) * kStatusBlock; ++r) {
            const std::uint8_t* block = data + r * kStatusBlock;
            Receiver& rx = receivers_[r];
            std::memcpy(rx.info.status.data(), block, kStatusBlock);
            readStatusBlock(rx.range, block);
            rx.info.levelValue = rx.range.currentCount;
            rx.listRssi.fill(kNoLevelByte);
        }
    }
    markRangesChanged();
}

// Scan entries, up to five of:
//   0  1  receiver: 0 receiver 1, any other value receiver 2
//   1  1  channel 0..9
//   2  1  level, signed dBm
void TReceiverLink::onScanEntries(const std::uint8_t* data, std::size_t n)
{
    showMode(MeasurementMode::List);
    const std::size_t entries = std::min(n / kScanEntrySize, kScanEntriesPerPacket);
    std::array<bool, kReceiverCount> stored{};
    std::lock_guard<std::mutex> lock(stateMutex_);
    for (std::size_t e = 0; e < entries; ++e) {
        const std::uint8_t* entry = data + e * kScanEntrySize;
        const std::size_t r = index(entry[0]);
        if (!present_[r].load() || entry[1] >= kListEntries) {
            ++readingsRefused_;
            continue;
        }
        receivers_[r].listRssi[entry[1]] = entry[2];
        ++receivers_[r].readingsStored;
        stored[r] = true;
    }
    setDataEventsLocked(stored);
}

// Table entries, up to four of:
//   0  1  receiver: 0 receiver 1, any other value receiver 2
//   1  2  index u16 LE, 0..3071
//   3  1  level, signed dBm
void TReceiverLink::onTableEntries(const std::uint8_t* data, std::size_t n)
{
    showMode(MeasurementMode::Table);
    const std::size_t entries = std::min(n / kTableEntrySize, kTableEntriesPerPacket);
    std::array<bool, kReceiverCount> stored{};
    std::lock_guard<std::mutex> lock(stateMutex_);
    if (!tableModeSeen_) {
        tableModeSeen_ = true;
        for (Receiver& rx : receivers_)
            rx.lastTableIndex = kTableEntries - 1;
    }
    for (std::size_t e = 0; e < entries; ++e) {
        const std::uint8_t* entry = data + e * kTableEntrySize;
        const std::size_t r = index(entry[0]);
        const std::uint16_t tableIndex = readLe16(entry + 1);
        if (!present_[r].load() || tableIndex >= kTableEntries) {
            ++readingsRefused_;
            continue;
        }
        Receiver& rx = receivers_[r];
        rx.tableRssi[tableIndex] = entry[3];
        rx.lastTableIndex = tableIndex;
        ++rx.readingsStored;
        stored[r] = true;
    }
    setDataEventsLocked(stored);
}

// Set under the state lock, so that the display's copy, which clears the event under it too,
// comes either before the readings and the event or after both.
void TReceiverLink::setDataEventsLocked(const std::array<bool, kReceiverCount>& stored)
{
    for (std::size_t r = 0; r < kReceiverCount; ++r)
        if (stored[r])
            receiverDataEvent_[r].set();
}

// GPS record: 152 bytes, decoded by the GPS side. A shorter record is not taken.
void TReceiverLink::onGpsRecord(const std::uint8_t* data, std::size_t n)
{
    if (n < kGpsRecordSize)
        return;
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        std::memcpy(gpsRecord_.data(), data, kGpsRecordSize);
    }
    gpsEvent_.set();
}

void TReceiverLink::afterDispatch(std::uint8_t type, const std::uint8_t* record, std::size_t size)
{
    if (type == kPacketLevelValues || type == kPacketStatusBlocks) {
        {
            std::lock_guard<std::mutex> lock(stateMutex_);
            channelInfo_.assign(record, record + size);
        }
        channelInfoCaptured_.store(true);
    } else if (type == kPacketTableEntries) {
        channelInfoCaptured_.store(true);
    }

    if (isMeasurement(type) && !channelInfoCaptured_.load())
        SendCommand(kCmdChannelInformation);

    std::lock_guard<std::mutex> lock(logMutex_);
    if (logSink_)
        logSink_->handOver(record, static_cast<std::uint16_t>(size));
}

void TReceiverLink::showMode(MeasurementMode mode)
{
    std::lock_guard<std::mutex> lock(listenerMutex_);
    if (modeListener_)
        modeListener_(mode);
}

void TReceiverLink::markRangesChanged()
{
    for (auto& mark : rangesChanged_)
        mark.store(true);
    statusRangesChanged_.store(true);
}

bool TReceiverLink::SendCommand(std::uint8_t code, const std::uint8_t* data, std::size_t n)
{
    const OutboundFrame frame = buildFrame(code, data, n);
    if (frame.size == 0)
        return false;
    std::lock_guard<std::mutex> lock(writerMutex_);
    return writer_ && writer_->Write(frame.bytes.data(), frame.size);
}

void TReceiverLink::setFrameWriter(FrameWriter* writer)
{
    std::lock_guard<std::mutex> lock(writerMutex_);
    writer_ = writer;
}

void TReceiverLink::setLogSink(LogSink* sink)
{
    std::lock_guard<std::mutex> lock(logMutex_);
    logSink_ = sink;
}

void TReceiverLink::setModeListener(std::function<void(MeasurementMode)> listener)
{
    std::lock_guard<std::mutex> lock(listenerMutex_);
    modeListener_ = std::move(listener);
}

std::string TReceiverLink::statusText() const
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    return statusText_;
}

void TReceiverLink::setStatusText(const std::string& text)
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    statusText_ = text;
}

std::string TReceiverLink::identification() const
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    return identification_;
}

InstrumentClock TReceiverLink::instrumentClock() const
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    return clock_;
}

ReceiverSnapshot TReceiverLink::snapshotLocked(std::size_t i) const
{
    const Receiver& rx = receivers_[i];
    return {present_[i].load(), everPresent_[i].load(), rx.info,     rx.range,
            rx.averageLevelDbm, rx.singleRssi,          rx.listRssi, rx.tableRssi,
            rx.lastTableIndex,  rx.readingsStored};
}

ReceiverSnapshot TReceiverLink::receiver(int r) const
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    return snapshotLocked(index(r));
}

ReceiverSnapshot TReceiverLink::takeReceiver(int r)
{
    const std::size_t i = index(r);
    std::lock_guard<std::mutex> lock(stateMutex_);
    ReceiverSnapshot copy = snapshotLocked(i);
    receivers_[i].readingsTaken = copy.readingsStored;
    receiverDataEvent_[i].reset();
    return copy;
}

ReadingCounts TReceiverLink::readingCounts() const
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    ReadingCounts counts;
    for (std::size_t r = 0; r < kReceiverCount; ++r) {
        counts.stored[r] = receivers_[r].readingsStored;
        counts.taken[r] = receivers_[r].readingsTaken;
    }
    counts.refused = readingsRefused_;
    return counts;
}

std::array<std::uint8_t, kGpsRecordSize> TReceiverLink::gpsRecord() const
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    return gpsRecord_;
}

std::vector<std::uint8_t> TReceiverLink::channelInformation() const
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    return channelInfo_;
}

void TReceiverLink::setSingleRssi(int r, std::uint8_t rssi)
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    receivers_[index(r)].singleRssi = rssi;
}

} // namespace zentor
