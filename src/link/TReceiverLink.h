#pragma once

#include "link/LinkInterfaces.h"
#include "link/MeasurementMode.h"
#include "link/ReceiverState.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>

namespace zentor {

// The receiver protocol: what the link thread does with each packet record, and the commands to
// the instrument. A record goes through these steps, in order:
//   1. decodePacket (PacketDecoder.h); a record the decoder could not read is counted
//   2. the measurement mode its type shows goes to the mode listener
//   3. the receiver state stores what it says, with the scan channel information of packets 5, 6
//      and 9, and wakes the threads that show it
//   4. an identification packet is answered with the configuration request (0x01)
//   5. a measurement packet (2, 3, 7) asks for the channel information (0x30) while there is none
//   6. the record goes, unchanged, to the log sink
//
// Threads: HandlePacket runs on the link thread only; SendCommand and the setters on any thread.
class TReceiverLink
{
public:
    TReceiverLink() = default;
    TReceiverLink(const TReceiverLink&) = delete;
    TReceiverLink& operator=(const TReceiverLink&) = delete;

    // One packet record (16-bit L, then the L body bytes: type, data, checksum). Returns false
    // when the record is not a whole packet record; every whole one goes to the log, whatever it
    // holds.
    bool HandlePacket(const std::uint8_t* record, std::size_t size);

    // Builds the command frame and writes it through the link thread's write path. False when
    // no link is open or the write failed.
    bool SendCommand(std::uint8_t code, const std::uint8_t* data = nullptr, std::size_t n = 0);

    // Wiring, set up before the link thread runs and changed only under their own locks.
    void setFrameWriter(FrameWriter* writer);
    // Takes every packet record once it is stored (the program's packet counter, scan channel
    // warning and log, in that order); null hands over nothing.
    void setLogSink(LogSink* sink);
    // Called on the link thread with the mode a measurement packet shows; must return at once.
    void setModeListener(std::function<void(MeasurementMode)> listener);

    ReceiverState& state() { return state_; }
    const ReceiverState& state() const { return state_; }

private:
    void showMode(MeasurementMode mode);
    void handOverToLog(const std::uint8_t* record, std::size_t size);

    ReceiverState state_;
    // Each hook has its own lock, so a slow write to the instrument never holds up the log.
    std::mutex writerMutex_;
    FrameWriter* writer_ = nullptr;
    std::mutex logMutex_;
    LogSink* logSink_ = nullptr;
    std::mutex listenerMutex_; // guards modeListener_
    std::function<void(MeasurementMode)> modeListener_;
};

} // namespace zentor
