#pragma once

#include "link/FrameAssembler.h"
#include "link/LinkInterfaces.h"
#include "link/Transport.h"
#include "platform/D2xx.h"
#include "platform/Event.h"
#include "platform/WorkerThread.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>

namespace zentor {

class TReceiverLink;

// How the instrument is connected, chosen once in the connection dialog.
struct LinkSelection
{
    static constexpr std::uint16_t kRs232 = 1;
    static constexpr std::uint16_t kUsb = 2;

    std::uint16_t transport = kRs232; // kUsb selects USB, any other value the COM port
    std::uint16_t portNumber = 1;     // 1..4 for "COM1:".."COM4:", 0 with USB
};

// The link thread: opens the transport the selection chooses (once, when the thread is made),
// announces the connection, sends the identify command, then reads for as long as it runs, framing
// the bytes and handing every good frame to the receiver protocol. It also carries the write path
// that every command goes through. After each read that brought bytes it publishes the frame
// assembler's counts in the receiver state; they run on across reconnections.
//
// The thread starts in the constructor. When the transport does not open at the start (no
// instrument plugged in yet, a wrong COM number, a USB bridge held by another driver), the status
// text says so with the reason the open gave ("COM1: not available - retrying...", "COM1: in use
// by another program - retrying...", the port named as the transport names it) and the thread
// tries again every kReconnectInterval, the text following each try. When the
// connection is lost once it was up (the line hung up, the USB device left the bus), the thread
// releases the transport, shows kConnectionLostText as the status text and tries to open the
// same port again in the same way (a port that another program took meanwhile is said to be in
// use instead). Whenever the open succeeds it shows the transport's connected
// text ("Connected via COM", "Connected via USB") and sends the identify command. It keeps doing so
// until it is told to terminate. A transport that ends for good (a replayed drive) is not opened
// again: its ended text stays, and the connection counts as lost. A log kept by the receiver
// protocol's log sink is not touched by any of this: it continues where it was.
class TCom_Router : public FrameWriter
{
public:
    static constexpr std::chrono::milliseconds kIdlePause{50};
    static constexpr std::chrono::milliseconds kReconnectInterval{1000};
    static constexpr const char* kConnectionLostText = "Connection lost - reconnecting...";
    static constexpr std::size_t kReadBufferSize = 4096;

    // `d2xx` replaces the loaded D2XX library for the USB transport (tests); null for the real one.
    TCom_Router(TReceiverLink& link, LinkSelection selection, const D2xxApi* d2xx = nullptr);
    // The link thread on another source of the instrument's bytes (a replayed drive), which the
    // caller may keep to steer.
    TCom_Router(TReceiverLink& link, std::shared_ptr<Transport> transport);
    // Terminates and joins the thread; the receiver protocol no longer writes through it.
    ~TCom_Router() override;

    // Writes a built frame under the link write mutex; any thread. False when the link is not
    // open or fewer bytes than asked were written.
    bool Write(const std::uint8_t* frame, std::size_t n) override;

    void requestTerminate();
    // True once the thread has ended (failed open, or terminated), waiting at most timeoutMs.
    bool waitFinished(std::chrono::milliseconds timeoutMs)
    {
        return thread_.waitFinished(timeoutMs);
    }
    // The connection is lost and not back yet: the instrument side of the RS-232 line hung up
    // (cable pulled, simulator ended) or the USB device left the bus. Any thread.
    bool hungUp() const { return lost_.load(); }

private:
    void Execute();
    OpenResult openTransport();
    void releaseTransport();
    // Waits and retries the open until it succeeds (true) or termination is requested (false).
    bool reopenTransport();

    TReceiverLink& link_;
    const std::shared_ptr<Transport> transport_;         // Read and gone on the link thread only
    TFrameAssembler assembler_;                          // link thread only
    std::array<std::uint8_t, kReadBufferSize> buffer_{}; // link thread only
    std::mutex writeMutex_; // the link write mutex: one frame on the wire at a time
    Event idleEvent_;       // set only to cut the idle and reconnect pauses short on termination
    std::atomic<bool> open_{false};
    std::atomic<bool> lost_{false};
    WorkerThread thread_; // last: it stops before the members it uses go away
};

} // namespace zentor
