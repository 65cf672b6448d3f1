#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <utility>

namespace zentor {

// Read time-outs with the meaning of the Win32 COMMTIMEOUTS read fields:
// - a read of n bytes ends at the latest readTotalPerByteMs * n + readTotalConstantMs after it
//   started, or as soon as n bytes are in;
// - readIntervalMs, when not 0, also ends a read that has some bytes once no further byte has
//   arrived for that long; 0 means gaps between bytes are not timed;
// - when both total fields are 0 a read takes only what is already waiting and returns at once
//   (Win32 would wait for ever there; on Windows this is set as ReadIntervalTimeout MAXDWORD so
//   both platforms behave the same and no read ever blocks without a bound).
struct SerialTimeouts
{
    unsigned readIntervalMs = 0;
    unsigned readTotalPerByteMs = 0;
    unsigned readTotalConstantMs = 0;
};

// Line settings: always 8 data bits, no parity, 1 stop bit, no hardware or XON/XOFF flow
// control, DTR off and RTS on. Write time-outs are not used.
struct SerialSettings
{
    int baudRate = 38400; // one of 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200
    // Driver queue sizes, a request to the Windows driver (SetupComm). Linux has no equivalent:
    // the tty layer's own buffers are used and these fields are ignored there.
    std::size_t inputQueueBytes = 2048;
    std::size_t outputQueueBytes = 256;
    SerialTimeouts timeouts;
};

// Longer reads and writes are clipped to this many bytes, so every count fits a long.
constexpr std::size_t kMaxSerialTransferBytes = 0x7FFFFFFF;

// One serial line, opened exclusively in binary (raw) mode. POSIX termios on Linux
// (SerialPortPosix.cpp), the Win32 communications API on Windows (SerialPortWin32.cpp).
//
// Threads: open, close and purge must not overlap any other call. While the port is open, one
// thread may read (read, readWaiting, bytesWaiting) while another writes (write); on Windows a
// write then starts only once a read that waits for its time-out has ended. hungUp and
// lastError may be called from any thread.
//
// Hang-up: when the other side hangs up or the device goes away (POSIX: end of file, EIO, ENXIO,
// ENODEV, POLLHUP, POLLERR; Windows: a failing ClearCommError, ReadFile or WriteFile) the port
// latches hungUp(): from then on bytesWaiting, read, readWaiting and write return -1 at once
// until the port is opened again. A caller polling a hung-up port therefore never sees "nothing
// waiting" and can pause instead of spinning.
class SerialPort
{
public:
    SerialPort();
    ~SerialPort(); // closes the port
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens the device (a name from comPortDevice) and sets it up; closes a port opened before.
    // Returns false, with lastError() saying why, when the device is missing, busy, not a serial
    // line or refuses the settings; nothing stays open then. A device without modem lines (a
    // pseudo-terminal) opens fine: DTR and RTS are set only where they exist.
    //
    // The port is held for this object alone until it is closed or the process ends; another
    // program (or another SerialPort) opening it meanwhile gets false with inUse() set, before
    // anything was read, written, purged or set on the line. Linux: an exclusive flock() on the
    // open terminal, taken first, which holds against root too (TIOCEXCL, also set, does not);
    // a terminal that TIOCEXCL keeps from us (EBUSY) is in use as well. Windows: the system
    // opens a COM port for one handle at a time and refuses the next with ERROR_ACCESS_DENIED.
    bool open(const std::string& device, const SerialSettings& settings);
    // True when the last open failed because the port is held by another program.
    bool inUse() const { return inUse_; }
    void close();
    bool isOpen() const { return handle_ != kClosedHandle; }

    // Bytes in the input queue now; -1 when the port is not open or the line is gone.
    long bytesWaiting();

    // Reads up to n bytes, waiting as the time-outs given at open allow. Returns the count read,
    // 0 when the time-out passed with nothing, -1 when the port is not open, the line is gone or
    // the read failed. Bytes that arrived before a hang-up in the same call are returned; the
    // next call then gives -1.
    long read(std::uint8_t* buffer, std::size_t n);

    // Takes up to n bytes that are already in the input queue and returns at once, whatever the
    // time-outs: the count, 0 when none are waiting, -1 as for read.
    long readWaiting(std::uint8_t* buffer, std::size_t n);

    // Writes n bytes. Returns the count written, which is less than n when the line stopped
    // taking bytes (POSIX: no progress for a second, as on a pseudo-terminal nobody reads), or
    // -1 when nothing was written because the port is not open, the line is gone or the write
    // failed.
    long write(const std::uint8_t* data, std::size_t n);

    // Drops whatever is in the input and output queues.
    void purge();

    // True once the other side hung up or the device went away; cleared by open and close.
    bool hungUp() const { return hungUp_.load(std::memory_order_acquire); }

    // Text of the last failure, naming the device, for messages; empty until one happened.
    std::string lastError() const
    {
        std::lock_guard<std::mutex> lock(errorMutex_);
        return lastError_;
    }

private:
#ifdef _WIN32
    using Handle = void*; // a Win32 HANDLE; INVALID_HANDLE_VALUE is never stored
    static constexpr Handle kClosedHandle = nullptr;
#else
    using Handle = int; // a file descriptor
    static constexpr Handle kClosedHandle = -1;
    SerialTimeouts timeouts_; // written by open only; Windows keeps them in the driver
#endif

    // True when the port is open and the line is not gone; records why not when it is closed.
    bool usable()
    {
        if (!isOpen()) {
            setError("the port is not open");
            return false;
        }
        return !hungUp();
    }

    // Records a failed transfer of which `done` bytes got through, latching the hang-up when the
    // line is gone. Returns what the transfer call returns: the bytes done, or -1 for none.
    long failed(const std::string& problem, bool lineGone, std::size_t done)
    {
        setError(device_ + ": " + problem);
        if (lineGone)
            hungUp_.store(true, std::memory_order_release);
        return done > 0 ? static_cast<long>(done) : -1;
    }

    void setError(std::string text)
    {
        std::lock_guard<std::mutex> lock(errorMutex_);
        lastError_ = std::move(text);
    }

    Handle handle_ = kClosedHandle; // written by open and close only
    std::string device_;            // written by open only
    bool inUse_ = false;            // written by open only
    std::atomic<bool> hungUp_{false};
    mutable std::mutex errorMutex_;
    std::string lastError_; // guarded by errorMutex_
};

} // namespace zentor
