#pragma once

#include "link/Frame.h"
#include "link/LinkInterfaces.h"
#include "link/MeasurementMode.h"
#include "link/ReadingCounts.h"
#include "link/ReceiverRange.h"
#include "platform/Event.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace zentor {

constexpr int kTableEntries = 3072;
constexpr std::size_t kGpsRecordSize = 152;
constexpr std::size_t kLogRecordCapacity = 8192;
constexpr std::int16_t kNoLevelDbm = -120;

// Commands the program sends to the instrument.
enum Command : std::uint8_t
{
    kCmdConfiguration = 0x01,
    kCmdIdentify = 0x1C,
    kCmdChannelInformation = 0x30,
};

// A receiver's configuration and status blocks as the instrument sent them.
struct TReceiverInfo
{
    std::array<std::uint8_t, 12> configuration{};
    double stepKHz = 0.0; // configuration value at offset 8, in 1/256 kHz
    std::array<std::uint8_t, 40> status{};
    std::int32_t levelValue = 0;
};

// Everything the program knows of one receiver, copied out under the state lock.
struct ReceiverSnapshot
{
    bool present = false;
    bool everPresent = false;
    TReceiverInfo info;
    ReceiverRange range;
    std::int16_t averageLevelDbm = kNoLevelDbm;
    std::uint8_t singleRssi = 0x88;                      // low byte of a dBm value
    std::array<std::uint8_t, kListEntries> listRssi{};   // per scan channel 0..9
    std::array<std::uint8_t, kTableEntries> tableRssi{}; // per table index
    std::uint16_t lastTableIndex = 0;
    std::uint64_t readingsStored = 0; // list and table readings stored since the start
};

// The instrument's clock and marker as the last clock packet gave them.
struct InstrumentClock
{
    std::uint8_t second = 0, minute = 0, hour = 0, day = 0, month = 0, yearSince2000 = 0;
    std::uint8_t markerByte = 0;
    std::uint16_t marker = 0;
};

// The program's model of the two-receiver instrument: decodes every packet record on the link
// thread, keeps the receiver state, wakes the threads that show it, hands records to the log
// and sends the instrument's commands.
//
// Threads: HandlePacket runs on the link thread only. Every other member may be called from any
// thread. Texts, blocks and tables are guarded by stateMutex_ and read as copies; flags and marks
// are atomics.
//
// A receiver's data event tells its display that there is something new to draw. List and table
// readings are stored whenever they arrive, and the event is set in the same step; the display
// takes its copy with takeReceiver, which clears the event in the same step as well, so a reading
// is in that copy or sets the event for the next one: none is lost, however the display paces its
// frames. Single-mode readings are stored only while the event is clear: the one-second tick sets
// it, and they are dropped until the display has taken its copy.
class TReceiverLink
{
public:
    TReceiverLink();
    TReceiverLink(const TReceiverLink&) = delete;
    TReceiverLink& operator=(const TReceiverLink&) = delete;

    // Decodes one packet record (16-bit L, then the L body bytes: type, data, checksum). Every
    // type is decoded only as far as its bytes are present and valid; the record is handed to
    // the log whatever it holds. Returns false when the record is not a whole packet record.
    bool HandlePacket(const std::uint8_t* record, std::size_t size);

    // Builds the command frame and writes it through the link thread's write path. False when
    // no link is open or the write failed.
    bool SendCommand(std::uint8_t code, const std::uint8_t* data = nullptr, std::size_t n = 0);

    // Wiring, set up before the link thread runs and changed only under their own locks.
    void setFrameWriter(FrameWriter* writer);
    // Takes every packet record once it is decoded (the program's packet counter, scan channel
    // warning and log, in that order); null hands over nothing.
    void setLogSink(LogSink* sink);
    // Called on the link thread with the mode the data shows; must return at once.
    void setModeListener(std::function<void(MeasurementMode)> listener);

    // Receiver state, read by the routers and the main window.
    std::string statusText() const;
    void setStatusText(const std::string& text);
    std::string identification() const;
    InstrumentClock instrumentClock() const;
    ReceiverSnapshot receiver(int r) const;
    // The display's copy of receiver r: the same as receiver(r), and clears the receiver's data
    // event under the same lock. Only the receiver's display calls it.
    ReceiverSnapshot takeReceiver(int r);
    ReadingCounts readingCounts() const;
    bool configurationReceived() const { return configurationReceived_.load(); }
    std::array<std::uint8_t, kGpsRecordSize> gpsRecord() const;

    // The last scan channel information packet record (empty before one was captured).
    std::vector<std::uint8_t> channelInformation() const;
    bool channelInformationCaptured() const { return channelInfoCaptured_.load(); }
    // The log warning dialog's OK: the next scan channel information packet is the one logged.
    void resetScanInformation() { channelInfoCaptured_.store(false); }

    // The single-mode reading of a receiver, also set by the list display from list entry 0.
    void setSingleRssi(int r, std::uint8_t rssi);

    // Marks read and cleared by their one consumer each.
    bool takeNewData(int r) { return newData_[index(r)].exchange(false); }
    bool takeRangesChanged(int r) { return rangesChanged_[index(r)].exchange(false); }
    bool takeStatusRangesChanged() { return statusRangesChanged_.exchange(false); }

    // Events the protocol sets: a receiver's data stored, a GPS record stored, a clock stored.
    Event& receiverDataEvent(int r) { return receiverDataEvent_[index(r)]; }
    Event& gpsEvent() { return gpsEvent_; }
    Event& clockEvent() { return clockEvent_; }

private:
    struct Receiver
    {
        TReceiverInfo info;
        ReceiverRange range;
        std::int16_t averageLevelDbm = kNoLevelDbm;
        std::uint8_t singleRssi = 0x88;
        std::array<std::uint8_t, kListEntries> listRssi{};
        std::array<std::uint8_t, kTableEntries> tableRssi{};
        std::uint16_t lastTableIndex = 0;
        std::uint64_t readingsStored = 0;
        std::uint64_t readingsTaken = 0;
    };

    // Index 0 is receiver 1, any other value receiver 2: so are the receiver bytes of scan and
    // table entries read.
    static std::size_t index(int r) { return r == 0 ? 0 : 1; }
    ReceiverSnapshot snapshotLocked(std::size_t i) const;
    void setDataEventsLocked(const std::array<bool, kReceiverCount>& stored);
    void decode(std::uint8_t type, const std::uint8_t* data, std::size_t n);
    void onIdentification(const std::uint8_t* data, std::size_t n);
    void onConfiguration(const std::uint8_t* data, std::size_t n);
    void onSingleLevels(int r, const std::uint8_t* data, std::size_t n);
    void onClock(const std::uint8_t* data, std::size_t n);
    void onLevelValues(const std::uint8_t* data, std::size_t n);
    void onStatusBlocks(const std::uint8_t* data, std::size_t n);
    void onScanEntries(const std::uint8_t* data, std::size_t n);
    void onTableEntries(const std::uint8_t* data, std::size_t n);
    void onGpsRecord(const std::uint8_t* data, std::size_t n);
    void afterDispatch(std::uint8_t type, const std::uint8_t* record, std::size_t size);
    void markRangesChanged();
    void showMode(MeasurementMode mode);

    mutable std::mutex stateMutex_; // guards the members down to readingsRefused_
    std::string statusText_;
    std::string identification_;
    InstrumentClock clock_;
    std::array<Receiver, kReceiverCount> receivers_;
    std::array<std::uint8_t, kGpsRecordSize> gpsRecord_{};
    std::vector<std::uint8_t> channelInfo_;
    std::uint64_t readingsRefused_ = 0;
    bool tableModeSeen_ = false; // link thread only

    std::array<std::atomic<bool>, kReceiverCount> present_{};
    std::array<std::atomic<bool>, kReceiverCount> everPresent_{};
    std::array<std::atomic<bool>, kReceiverCount> newData_{};
    std::array<std::atomic<bool>, kReceiverCount> rangesChanged_{};
    std::atomic<bool> statusRangesChanged_{false};
    std::atomic<bool> configurationReceived_{false};
    std::atomic<bool> channelInfoCaptured_{false};

    std::array<Event, kReceiverCount> receiverDataEvent_;
    Event gpsEvent_;
    Event clockEvent_;

    // Each hook has its own lock, so a slow write to the instrument never holds up the log.
    std::mutex writerMutex_;
    FrameWriter* writer_ = nullptr;
    std::mutex logMutex_;
    LogSink* logSink_ = nullptr;
    std::mutex listenerMutex_; // guards modeListener_
    std::function<void(MeasurementMode)> modeListener_;
};

} // namespace zentor
