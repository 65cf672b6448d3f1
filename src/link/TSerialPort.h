#pragma once

#include "link/Transport.h"
#include "platform/SerialPort.h"

#include <cstddef>
#include <cstdint>

namespace zentor {

// The RS-232 transport to the instrument: "COMn:" at 38400 baud, 8N1, no flow control, DTR off
// and RTS on, driver queues of 2048 bytes in and 256 out. The port stays open until it is closed
// or the object is destroyed. Threads as Transport.h says; gone() from any thread.
class TSerialPort final : public Transport
{
public:
    // The port "COMn:" (the connection dialog offers 1 to 4), opened through comPortDevice.
    explicit TSerialPort(int portNumber) : portNumber_(portNumber) {}

    // NotAvailable when the device is missing or refuses the settings; InUse when another
    // program holds it (SerialPort::open).
    OpenResult Open() override;

    // Takes every byte waiting in the input queue, at most capacity (and 32767). On -1 (also when
    // the line hung up) the first 4 bytes of the buffer (fewer if capacity is smaller) are set to
    // zero.
    std::int16_t Read(std::uint8_t* buffer, std::size_t capacity) override;

    // Returns n, or -1 also when fewer were written.
    std::int16_t Write(const std::uint8_t* data, std::size_t n) override;

    void Close() override { port_.close(); }

    // True once the instrument side hung up (cable or adapter pulled, pseudo-terminal closed).
    bool gone() const override { return port_.hungUp(); }

    std::string portName() const override;
    std::string connectedText() const override { return "Connected via COM"; }

private:
    const int portNumber_;
    SerialPort port_;
};

} // namespace zentor
