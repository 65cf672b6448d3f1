#pragma once

#include "link/LinkQuality.h"
#include "link/PacketDecoder.h"
#include "link/ReceiverRange.h"
#include "platform/Event.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace zentor {

// A receiver's configuration and status blocks as the instrument sent them.
struct TReceiverInfo
{
    std::array<std::uint8_t, kConfigurationBlockBytes> configuration{};
    std::array<std::uint8_t, kStatusBlockBytes> status{};
};

// Everything the program knows of one receiver. The state keeps one per receiver and hands out
// copies taken under its lock.
struct ReceiverSnapshot
{
    bool present = false;
    bool everPresent = false;
    TReceiverInfo info;
    ReceiverRange range; // its currentCount is the receiver's level value
    std::int16_t averageLevelDbm = kNoLevelDbm;
    std::uint8_t singleRssi = kNoLevelByte; // single mode's, or list entry 0's in list mode
    std::array<std::uint8_t, kListEntries> listRssi{};   // per scan channel 0..9
    std::array<std::uint8_t, kTableEntries> tableRssi{}; // per table index
    std::uint16_t lastTableIndex = 0;
    std::uint64_t readingsStored = 0; // list and table readings stored since the start
};

// The receiver state: what the instrument's packets said, kept for the threads that show, log
// and publish it, with the events and marks that tell them something new is there.
//
// Threads: the link thread is the only writer of what the instrument said and of the link's
// status (apply, publishFraming, setStatusText), so no reading depends on a window being drawn;
// a mark is cleared by its one consumer (the take... calls), and the log warning dialog's OK
// clears the captured channel information (resetScanInformation). Every other member may be
// called from any thread. Texts, blocks and tables are guarded by stateMutex_ and read as
// copies; flags and marks are atomics.
//
// A receiver's data event tells its display that there is something new to draw. List and table
// readings are stored whenever they arrive, and the event is set under the same lock; the display
// takes its copy with takeReceiver, which clears the event under that lock as well, so a reading
// is in that copy or sets the event for the next one: none is lost, however the display paces its
// frames. Single-mode readings are stored only while the event is clear: the one-second tick sets
// it, and they are dropped until the display has taken its copy.
//
// Receiver numbers r are 0 (receiver 1) and 1 (receiver 2).
class ReceiverState
{
public:
    ReceiverState();
    ReceiverState(const ReceiverState&) = delete;
    ReceiverState& operator=(const ReceiverState&) = delete;

    // Link thread: stores what a decoded packet says and sets the events of what it stored; a
    // packet that was not decoded is only counted. `record` is the packet record it was decoded
    // from (size bytes): packets 5 and 6 are the scan channel information, kept whole for the
    // log file's header, and set the ranges-changed marks; table data (9) needs none. Either way
    // the channel information counts as captured from then on.
    void apply(const DecodedPacket& packet, const std::uint8_t* record, std::size_t size);
    // The log warning dialog's OK: the next scan channel information packet is the one logged.
    void resetScanInformation() { channelInfoCaptured_.store(false); }

    // Link thread: the frame assembler's counts, at most once per read.
    void publishFraming(const FramingCounts& counts);
    LinkQuality linkQuality() const;

    std::string statusText() const;
    void setStatusText(const std::string& text);
    std::string identification() const;
    InstrumentClock instrumentClock() const;
    ReceiverSnapshot receiver(int r) const;
    // The display's copy of receiver r: the same as receiver(r), and clears the receiver's data
    // event under the same lock. Only the receiver's display calls it.
    ReceiverSnapshot takeReceiver(int r);
    ReadingCounts readingCounts() const;
    std::array<std::uint8_t, kGpsRecordSize> gpsRecord() const;

    // The last scan channel information packet record (empty before one was captured).
    std::vector<std::uint8_t> channelInformation() const;
    bool channelInformationCaptured() const { return channelInfoCaptured_.load(); }

    // Marks read and cleared by their one consumer each.
    bool takeNewData(int r) { return newData_[index(r)].exchange(false); }
    bool takeRangesChanged(int r) { return rangesChanged_[index(r)].exchange(false); }
    bool takeStatusRangesChanged() { return statusRangesChanged_.exchange(false); }

    // Events the state sets: a receiver's data stored, a GPS record stored, a clock stored.
    Event& receiverDataEvent(int r) { return receiverDataEvent_[index(r)]; }
    Event& gpsEvent() { return gpsEvent_; }
    Event& clockEvent() { return clockEvent_; }

private:
    static std::size_t index(int r);
    void store(const IdentificationPacket& packet);
    void store(const ConfigurationPacket& packet);
    void store(const SingleLevelsPacket& packet);
    void store(const InstrumentClock& clock);
    void store(const LevelValuesPacket& packet);
    void store(const StatusBlocksPacket& packet);
    void store(const ScanEntriesPacket& packet);
    void store(const TableEntriesPacket& packet);
    void store(const GpsRecordPacket& packet);
    void store(const NotDecoded&) { notDecoded_.fetch_add(1, std::memory_order_relaxed); }
    template <class Packet, class Put> void storeReadings(const Packet& packet, Put put);
    void takeChannelInformation(std::uint8_t type, const std::uint8_t* record, std::size_t size);
    void markRangesChanged();

    mutable std::mutex stateMutex_; // guards the members down to framing_
    std::string statusText_;
    std::string identification_;
    InstrumentClock clock_;
    std::array<ReceiverSnapshot, kReceiverCount> receivers_;
    std::array<std::uint64_t, kReceiverCount> readingsTaken_{};
    std::array<bool, kReceiverCount> listReceived_{}; // a status-blocks packet carried its list
    std::array<std::uint8_t, kGpsRecordSize> gpsRecord_{};
    std::vector<std::uint8_t> channelInfo_;
    std::uint64_t readingsRefused_ = 0;
    bool tableModeSeen_ = false;
    FramingCounts framing_;

    std::atomic<std::uint64_t> notDecoded_{0};
    std::array<std::atomic<bool>, kReceiverCount> newData_{};
    std::array<std::atomic<bool>, kReceiverCount> rangesChanged_{};
    std::atomic<bool> statusRangesChanged_{false};
    std::atomic<bool> channelInfoCaptured_{false};

    std::array<Event, kReceiverCount> receiverDataEvent_;
    Event gpsEvent_;
    Event clockEvent_;
};

} // namespace zentor
