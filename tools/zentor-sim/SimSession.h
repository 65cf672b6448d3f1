#pragma once

#include "FaultInjector.h"
#include "InstrumentStream.h"
#include "PseudoTerminal.h"
#include "TransmitLedger.h"
#include "link/FrameAssembler.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <ostream>

namespace zentor::sim {

// The simulator's main loop on its pseudo-terminal (POSIX only), on the calling thread. While no
// client holds the port it writes nothing and looks again every 50 ms. When one opens it, the
// stream starts (a measurement, or a replay from the log's start): commands from the client are
// framed and answered, frames go out as they fall due, through the fault injector, with
// non-blocking writes. A slow reader slows the stream; a client that closes the port ends its
// session (unsent bytes are dropped) and the loop waits for the next one. No call blocks for more
// than 50 ms, so a stop request, the end of the run or the end of the stream is noticed at once.
// At the end, what is queued still goes out and the client gets up to two seconds to read it,
// because closing the terminal discards what the client has not read: a client that keeps
// reading gets every byte that the ledger counts.
class SimSession
{
public:
    // `instrumentOffsetMs`: the instrument's clock time at the start of the run (the part of
    // its first second already gone). Progress messages go to `log`.
    SimSession(PseudoTerminal& port, InstrumentStream& stream, FaultInjector& faults,
               TransmitLedger& ledger, std::int64_t instrumentOffsetMs, std::ostream& log);

    // Runs until `stop` is set (a signal handler may set it), until the stream has ended or,
    // when `runMs` is given, until that much time has passed since construction.
    void run(const std::atomic<bool>& stop, std::optional<std::int64_t> runMs);

private:
    using Clock = std::chrono::steady_clock;

    std::int64_t elapsedMs() const;
    bool finished() const;
    int waitLimitMs(int wantedMs) const;
    bool serveClient();
    void drain();
    void enqueue(const std::vector<Bytes>& frames);
    bool readCommands();
    bool writeSome();

    PseudoTerminal& port_;
    InstrumentStream& stream_;
    FaultInjector& faults_;
    TransmitLedger& ledger_;
    std::int64_t instrumentOffsetMs_;
    std::ostream& log_;
    Clock::time_point start_ = Clock::now();
    const std::atomic<bool>* stop_ = nullptr;
    std::optional<std::int64_t> runMs_;

    TFrameAssembler commands_;
    Bytes out_;               // bytes queued for the client
    std::size_t outHead_ = 0; // of which this many are written
};

} // namespace zentor::sim
