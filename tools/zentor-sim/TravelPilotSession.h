#pragma once

#include "PseudoTerminal.h"
#include "SimPacket.h"
#include "TravelPilotRequestParser.h"
#include "TravelPilotUnit.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

namespace zentor::sim {

struct TravelPilotCounts
{
    std::uint64_t answered = 0;   // requests answered
    std::uint64_t unanswered = 0; // good requests that came while the unit was silent
};

// The TravelPilot's loop on its own pseudo-terminal (POSIX only), on the calling thread, which
// may be another than the instrument's. While no client holds the port it looks again every
// 50 ms. While one does, each good request is answered at once, except while the unit keeps
// silent (TravelPilotSilence, counted from the client's opening), when requests are read and
// dropped; malformed bytes are skipped. Answers go out with non-blocking writes; a client that
// sends but does not read is not read from either once a few kilobytes of answers wait. A client
// that closes the port drops what was not written, and the loop waits for the next one, with
// which the silence cycle starts again. Messages go to `log` one whole line per write, so they do
// not mix with another thread's. No call blocks for more than 50 ms.
class TravelPilotSession
{
public:
    // `routeOffsetMs`: the route's time at the start of the run, the same as the instrument's
    // clock, so that both report one vehicle.
    TravelPilotSession(PseudoTerminal& port, const TravelPilotUnit& unit,
                       const TravelPilotSilence& silence, std::int64_t routeOffsetMs,
                       std::ostream& log);

    // Runs until `stop` is set or, when `runMs` is given, that much time has passed since
    // construction.
    void run(const std::atomic<bool>& stop, std::optional<std::int64_t> runMs);

    const TravelPilotCounts& counts() const { return counts_; }
    std::uint64_t skippedBytes() const { return requests_.skippedBytes(); }

    // One line for the end of a run: requests answered, unanswered, bytes skipped.
    std::string summary() const;

private:
    using Clock = std::chrono::steady_clock;

    std::int64_t elapsedMs() const;
    bool finished() const;
    int waitLimitMs() const;
    bool answeringAt(std::int64_t nowMs) const;
    void serveClient();
    bool readRequests();
    bool writeSome();
    void say(const std::string& line);

    PseudoTerminal& port_;
    const TravelPilotUnit& unit_;
    TravelPilotSilence silence_;
    std::int64_t routeOffsetMs_;
    std::ostream& log_;
    Clock::time_point start_ = Clock::now();
    const std::atomic<bool>* stop_ = nullptr;
    std::optional<std::int64_t> runMs_;

    TravelPilotRequestParser requests_;
    TravelPilotCounts counts_;
    std::int64_t openedMs_ = 0; // when the client opened the port
    bool answering_ = true;
    Bytes out_;
    std::size_t outHead_ = 0;
};

} // namespace zentor::sim
