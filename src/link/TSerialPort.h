#pragma once

#include "platform/SerialPort.h"

#include <cstddef>
#include <cstdint>

namespace zentor {

// The RS-232 transport to the instrument: "COMn:" at 38400 baud, 8N1, no flow control, DTR off
// and RTS on, driver queues of 2048 bytes in and 256 out. The port stays open until it is closed
// or the object is destroyed.
//
// Threads: Open and Read on the link thread only; Write from any thread, serialised by the link
// write mutex, and it may overlap a Read. hungUp from any thread.
class TSerialPort
{
public:
    // Opens "COMn:" (the connection dialog offers 1 to 4) through comPortDevice, closing a port
    // opened before. False when the device is missing or refuses the settings.
    bool Open(int portNumber);

    // Takes every byte waiting in the input queue, at most capacity (and 32767), without
    // waiting for more. Returns the count, or -1 at once when nothing is waiting, the read failed,
    // the port is not open or the line hung up; on -1 the first 4 bytes of the buffer (fewer if
    // capacity is smaller) are set to zero.
    std::int16_t Read(std::uint8_t* buffer, std::size_t capacity);

    // Writes n bytes. Returns n, or -1 when fewer were written, the write failed or n is above
    // 32767 (then nothing is written).
    std::int16_t Write(const std::uint8_t* data, std::size_t n);

    // Closes the port; a later Open opens it again. Serialised with Write, like Open.
    void Close() { port_.close(); }

    // True once the instrument side hung up (cable or adapter pulled, pseudo-terminal closed);
    // every Read then returns -1 until the port is closed or opened again.
    bool hungUp() const { return port_.hungUp(); }

private:
    SerialPort port_;
};

} // namespace zentor
