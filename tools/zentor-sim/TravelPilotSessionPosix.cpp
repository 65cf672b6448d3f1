#include "TravelPilotSession.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace zentor::sim {

namespace {
constexpr int kMaxWaitMs = 50;
constexpr std::size_t kReadChunk = 256;
constexpr std::size_t kMaxQueuedBytes = 4096;
constexpr double kMsPerSecond = 1000.0;
} // namespace

TravelPilotSession::TravelPilotSession(PseudoTerminal& port, const TravelPilotUnit& unit,
                                       const TravelPilotSilence& silence,
                                       std::int64_t routeOffsetMs, std::ostream& log)
    : port_(port), unit_(unit), silence_(silence), routeOffsetMs_(routeOffsetMs), log_(log)
{}

std::int64_t TravelPilotSession::elapsedMs() const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start_).count();
}

bool TravelPilotSession::finished() const
{
    return stop_->load() || (runMs_ && elapsedMs() >= *runMs_);
}

int TravelPilotSession::waitLimitMs() const
{
    std::int64_t limit = kMaxWaitMs;
    if (runMs_)
        limit = std::clamp<std::int64_t>(*runMs_ - elapsedMs(), 0, limit);
    return static_cast<int>(limit);
}

void TravelPilotSession::say(const std::string& line)
{
    log_ << "zentor-sim: TravelPilot: " + line + "\n" << std::flush;
}

void TravelPilotSession::run(const std::atomic<bool>& stop, std::optional<std::int64_t> runMs)
{
    stop_ = &stop;
    runMs_ = runMs;
    while (!finished()) {
        if (!port_.clientPresent()) {
            ::poll(nullptr, 0, waitLimitMs());
            continue;
        }
        say("a client opened the port");
        serveClient();
        requests_.clear();
        out_.clear();
        outHead_ = 0;
        if (!finished()) {
            port_.clearLine();
            say("the client closed the port; waiting for the next one");
        }
    }
}

bool TravelPilotSession::answeringAt(std::int64_t nowMs) const
{
    return silence_.answering(static_cast<double>(nowMs - openedMs_) / kMsPerSecond);
}

void TravelPilotSession::serveClient()
{
    port_.makeRaw();
    openedMs_ = elapsedMs();
    answering_ = true;
    while (!finished()) {
        if (const bool answering = answeringAt(elapsedMs()); answering != answering_) {
            answering_ = answering;
            say(answering ? "answering again" : "fell silent");
        }
        const std::size_t queued = out_.size() - outHead_;
        const auto events = static_cast<short>((queued < kMaxQueuedBytes ? POLLIN : 0) |
                                               (queued > 0 ? POLLOUT : 0));
        pollfd p{port_.fd(), events, 0};
        const int ready = ::poll(&p, 1, waitLimitMs());
        if (ready < 0 && errno != EINTR)
            return;
        if (ready <= 0)
            continue;
        if ((p.revents & POLLIN) != 0) {
            if (!readRequests())
                return;
        } else if ((p.revents & (POLLHUP | POLLERR)) != 0) {
            return;
        }
        if ((p.revents & POLLOUT) != 0 && !writeSome())
            return;
    }
}

// Takes what the client wrote and queues the answers; false when it has gone.
bool TravelPilotSession::readRequests()
{
    std::uint8_t buffer[kReadChunk];
    while (out_.size() - outHead_ < kMaxQueuedBytes) {
        const ssize_t n = ::read(port_.fd(), buffer, sizeof buffer);
        if (n < 0)
            return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
        if (n == 0)
            return false;
        const std::int64_t nowMs = elapsedMs();
        const bool answering = answeringAt(nowMs);
        for (const TravelPilotRequest& request :
             requests_.push(buffer, static_cast<std::size_t>(n))) {
            if (!answering) {
                ++counts_.unanswered;
                continue;
            }
            if (outHead_ == out_.size()) {
                out_.clear();
                outHead_ = 0;
            }
            const Bytes answer = unit_.respond(
                request.command, static_cast<double>(routeOffsetMs_ + nowMs) / kMsPerSecond);
            out_.insert(out_.end(), answer.begin(), answer.end());
            ++counts_.answered;
        }
        if (outHead_ < out_.size() && !writeSome())
            return false;
    }
    return true;
}

// Writes what the line takes now; false when the client has gone.
bool TravelPilotSession::writeSome()
{
    const ssize_t n = ::write(port_.fd(), out_.data() + outHead_, out_.size() - outHead_);
    if (n < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    outHead_ += static_cast<std::size_t>(n);
    return true;
}

std::string TravelPilotSession::summary() const
{
    return "TravelPilot: " + std::to_string(counts_.answered) + " requests answered, " +
           std::to_string(counts_.unanswered) + " unanswered while silent, " +
           std::to_string(requests_.skippedBytes()) + " bytes of malformed requests skipped";
}

} // namespace zentor::sim
