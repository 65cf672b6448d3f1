#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zentor {

// What an Open came to: the transport opened, or why not. The link thread words its status text
// from it, naming the port as the transport does.
enum class OpenResult
{
    Opened,
    NotAvailable, // the device is not there, or refused the settings
    InUse,        // another program holds the device: nothing was read, written or set on it
};

// The instrument's end of the link as the link thread sees it: the RS-232 port (TSerialPort), the
// USB bridge (TUsbPort), or anything else that gives the instrument's framed bytes. The link
// thread chooses one when it starts and keeps it for its run; it opens it again after a loss.
//
// Reads and writes give a count, or -1: nothing read, or the write failed.
//
// Threads: Open, Read, Close and gone on the link thread only. Write from any thread once Open
// has returned, serialised by the link thread's write mutex, which also keeps it apart from Open
// and Close; a Write may overlap a Read. The texts from any thread.
class Transport
{
public:
    virtual ~Transport() = default;

    // Opens the port, releasing it first when it was open. A failed open holds nothing.
    virtual OpenResult Open() = 0;

    // Takes what has already arrived, at most `capacity` bytes, without waiting for more. Returns
    // the count, or -1 at once when nothing is waiting, the read failed or the port is not open.
    virtual std::int16_t Read(std::uint8_t* buffer, std::size_t capacity) = 0;

    // Writes n bytes and returns the count written; -1 when the write failed, the port is not
    // open or n is above 32767 (then nothing is written). The link thread takes anything but n
    // as a failed write.
    virtual std::int16_t Write(const std::uint8_t* data, std::size_t n) = 0;

    // Releases the port; a later Open opens it again.
    virtual void Close() = 0;

    // True once the last Read found the other end gone (the line hung up, the device left the
    // bus): reads keep failing until the port is closed and opened again.
    virtual bool gone() const = 0;

    // True for a source that is gone for good once it is gone (a replayed drive at its end): the
    // link thread then shows endedText() and does not open it again.
    virtual bool endsForGood() const { return false; }
    virtual std::string endedText() const { return {}; }

    // The port as the connection dialog names it: "COM1:", "USB".
    virtual std::string portName() const = 0;
    // The status text once the port is open: "Connected via COM".
    virtual std::string connectedText() const = 0;
};

} // namespace zentor
