#pragma once

#include "platform/SerialPort.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

namespace zentor {

// The process-wide TravelPilot port mutex: held for the whole of each read and each write on the
// TravelPilot port, so that a read and a write never overlap.
std::mutex& travelPilotPortMutex();

// The serial line to the TravelPilot unit: 9600 8N1, binary, no flow control; driver queues of
// 4096 bytes in and 256 out; reads end after 1 ms per byte asked plus 300 ms, gaps between bytes
// are not timed.
//
// Threads: one thread (the TravelPilot thread) opens, uses and closes it. send and
// readResponse take travelPilotPortMutex() for their whole transfer.
class TravelPilotPort
{
public:
    static SerialSettings settings();

    // Opens the device (a name from comPortDevice) with settings(), then drops whatever is in
    // either queue. False when the device cannot be opened or configured, or another program
    // holds it (inUse(); its queues are then left alone); nothing stays open then.
    bool open(const std::string& device);
    void close() { port_.close(); }
    bool isOpen() const { return port_.isOpen(); }
    // True when the last open failed because another program holds the port.
    bool inUse() const { return port_.inUse(); }

    // Drops bytes still waiting in the input queue (the rest of an answer read only in part),
    // then writes the request frame of `command`. True when all of it was written.
    bool sendRequest(std::uint8_t command);

    // Reads one response into `buffer` (kTpReceiveBufferBytes): the length byte L, then L - 1
    // more bytes, each read bounded by the time-outs. The buffer is cleared first. Returns the
    // number of bytes that arrived, which parseTravelPilotResponse judges: 0 when nothing came
    // (or the line is gone), 1 after a length byte of 0 or 1 (no second read is made), fewer
    // than L when the rest did not come in time.
    std::size_t readResponse(std::uint8_t* buffer);

private:
    SerialPort port_;
};

} // namespace zentor
