#include "SimSession.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <poll.h>
#include <unistd.h>

namespace zentor::sim {

namespace {
constexpr int kMaxWaitMs = 50;
constexpr std::int64_t kDrainMs = 2000;
constexpr int kDrainStepMs = 10;
constexpr std::int64_t kDrainQuietMs = 30; // the line must stay empty this long
constexpr std::size_t kReadChunk = 256;
constexpr std::size_t kWriteChunk = 4096;

std::string hexByte(std::uint8_t b)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", b);
    return text;
}
} // namespace

SimSession::SimSession(PseudoTerminal& port, InstrumentStream& stream, FaultInjector& faults,
                       TransmitLedger& ledger, std::int64_t instrumentOffsetMs, std::ostream& log)
    : port_(port), stream_(stream), faults_(faults), ledger_(ledger),
      instrumentOffsetMs_(instrumentOffsetMs), log_(log)
{}

std::int64_t SimSession::elapsedMs() const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start_).count();
}

bool SimSession::finished() const
{
    return stop_->load() || (runMs_ && elapsedMs() >= *runMs_) || stream_.ended();
}

int SimSession::waitLimitMs(int wantedMs) const
{
    std::int64_t limit = std::clamp<std::int64_t>(wantedMs, 0, kMaxWaitMs);
    if (runMs_)
        limit = std::clamp<std::int64_t>(*runMs_ - elapsedMs(), 0, limit);
    return static_cast<int>(limit);
}

void SimSession::run(const std::atomic<bool>& stop, std::optional<std::int64_t> runMs)
{
    stop_ = &stop;
    runMs_ = runMs;
    while (!finished()) {
        if (!port_.clientPresent()) {
            ::poll(nullptr, 0, waitLimitMs(kMaxWaitMs)); // a signal cuts the pause short
            continue;
        }
        log_ << "zentor-sim: a client opened the port; " << stream_.activity() << " started"
             << std::endl;
        if (!serveClient())
            drain();
        ledger_.sessionEnded();
        out_.clear();
        outHead_ = 0;
        if (!finished()) {
            port_.clearLine();
            log_ << "zentor-sim: the client closed the port; waiting for the next one" << std::endl;
        }
    }
}

// Returns true when the client went away, false when the run is over.
bool SimSession::serveClient()
{
    commands_ = TFrameAssembler();
    port_.makeRaw();
    enqueue(stream_.start(instrumentOffsetMs_ + elapsedMs()));
    while (!finished()) {
        const std::int64_t nowMs = instrumentOffsetMs_ + elapsedMs();
        if (outHead_ == out_.size())
            enqueue(stream_.due(nowMs));
        const bool pending = outHead_ < out_.size();
        const auto untilDue =
            static_cast<int>(std::min<std::int64_t>(stream_.nextDueMs() - nowMs, kMaxWaitMs));
        pollfd p{port_.fd(), static_cast<short>(POLLIN | (pending ? POLLOUT : 0)), 0};
        const int ready = ::poll(&p, 1, waitLimitMs(pending ? kMaxWaitMs : untilDue));
        if (ready < 0 && errno != EINTR)
            return true;
        if (ready <= 0)
            continue;
        if ((p.revents & POLLIN) != 0) {
            if (!readCommands())
                return true;
        } else if ((p.revents & (POLLHUP | POLLERR)) != 0) {
            return true;
        }
        if ((p.revents & POLLOUT) != 0 && !writeSome())
            return true;
    }
    return false;
}

// Sends what is queued, then waits (bounded) until the client has read it all.
void SimSession::drain()
{
    const std::int64_t endMs = elapsedMs() + kDrainMs;
    std::int64_t quietFromMs = -1;
    while (elapsedMs() < endMs) {
        if (outHead_ < out_.size()) {
            pollfd p{port_.fd(), POLLOUT, 0};
            if (::poll(&p, 1, kDrainStepMs) > 0 &&
                ((p.revents & (POLLHUP | POLLERR)) != 0 || !writeSome()))
                return;
            continue;
        }
        const int unread = port_.unreadByClient();
        if (unread < 0)
            return;
        if (unread > 0)
            quietFromMs = -1;
        else if (quietFromMs < 0)
            quietFromMs = elapsedMs();
        else if (elapsedMs() - quietFromMs >= kDrainQuietMs)
            return;
        ::poll(nullptr, 0, kDrainStepMs);
    }
}

void SimSession::enqueue(const std::vector<Bytes>& frames)
{
    if (outHead_ == out_.size()) {
        out_.clear();
        outHead_ = 0;
    }
    for (const Bytes& frame : frames)
        for (const Chunk& chunk : faults_.apply(frame)) {
            ledger_.queued(chunk.kind, chunk.bytes.size());
            out_.insert(out_.end(), chunk.bytes.begin(), chunk.bytes.end());
        }
}

// Takes what the client wrote; false when it has gone.
bool SimSession::readCommands()
{
    std::uint8_t buffer[kReadChunk];
    for (;;) {
        const ssize_t n = ::read(port_.fd(), buffer, sizeof buffer);
        if (n < 0)
            return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
        if (n == 0)
            return false;
        for (ssize_t i = 0; i < n; ++i) {
            if (commands_.PushByte(buffer[i]) != 0)
                continue;
            const std::uint8_t command = commands_.record().data[2];
            const std::vector<Bytes> answer = stream_.answer(command);
            log_ << "zentor-sim: command " << hexByte(command)
                 << (answer.empty() ? " ignored" : " answered") << std::endl;
            enqueue(answer);
        }
    }
}

// Writes what the line takes now; false when the client has gone.
bool SimSession::writeSome()
{
    const std::size_t size = std::min(out_.size() - outHead_, kWriteChunk);
    const ssize_t n = ::write(port_.fd(), out_.data() + outHead_, size);
    if (n < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    ledger_.written(out_.data() + outHead_, static_cast<std::size_t>(n));
    outHead_ += static_cast<std::size_t>(n);
    return true;
}

} // namespace zentor::sim
