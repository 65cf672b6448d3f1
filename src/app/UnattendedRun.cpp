#include "app/UnattendedRun.h"

#include "core/MessageSink.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>

namespace zentor {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::seconds kStatusLineEvery{1};
constexpr std::chrono::milliseconds kEndPoll{100};
const char* const kTravelPilotSilentText = "TravelPilot Not Responding!!!";

} // namespace

UnattendedRun::UnattendedRun(const ProgramOptions& options, std::FILE* out, std::FILE* errors,
                             const AnnouncerFactory& announcer, MapFeedNames mapNames)
    : options_(options), out_(out), messages_(errors, window_),
      session_(window_, messages_, announcer ? announcer(window_) : nullptr, {},
               std::move(mapNames))
{
    applyMapChoices(options_, session_.mapSettings());
}

int UnattendedRun::exec(const std::function<bool()>& endNow)
{
    session_.startReceiverRouters({});
    if (options_.logFile) {
        const std::string name = session_.startLogOnceIdentified(*options_.logFile);
        std::fprintf(out_, "Logging to %s\n", name.c_str());
        std::fflush(out_);
    }
    if (options_.replayFile) {
        std::string error;
        if (!session_.startReplay(*options_.replayFile, options_.replaySpeed, error)) {
            messages_.postMessage(MessageKind::Error, error);
            workersEnded_ = session_.finishEnd({});
            return kExitReplayRefused;
        }
    } else {
        session_.connect(*options_.portChoice, options_.navChoice);
    }

    const Clock::time_point started = Clock::now();
    const auto endAt =
        options_.seconds
            ? std::optional<Clock::time_point>(started + std::chrono::seconds(*options_.seconds))
            : std::nullopt;
    Clock::time_point nextSecond = started + kStatusLineEvery;
    for (;;) {
        const Clock::time_point now = Clock::now();
        if (now >= nextSecond) {
            everySecond();
            nextSecond += kStatusLineEvery;
        }
        // A run whose log has failed logs nothing more: it ends at once, so that a service's
        // restart starts a new file instead of driving on without one.
        if (endNow() || (endAt && Clock::now() >= *endAt) || session_.logFailed())
            break;
        if (session_.replayEnded()) {
            everySecond(); // the last line, and where a short replay stopped
            break;
        }
        Clock::time_point until = std::min(nextSecond, Clock::now() + kEndPoll);
        if (endAt)
            until = std::min(until, *endAt);
        window_.serveUntil(until);
    }

    // A slow disk: the end says once what it waits for.
    workersEnded_ =
        session_.finishEnd(ProgramSession::tellBacklogOnce([this](const std::string& text) {
            messages_.postMessage(MessageKind::Information, text);
        }));
    std::fflush(out_);
    return session_.logFailed() ? kExitLogFailed : 0;
}

int UnattendedRun::runToEnd(const ProgramOptions& options, const AnnouncerFactory& announcer)
{
    UnattendedRun run(options, stdout, stderr, announcer);
    const int status = run.exec(endSignalled);
    if (!run.workersEnded()) {
        // A worker still runs and uses what the destructors would take away.
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}

void UnattendedRun::everySecond()
{
    if (const std::optional<WatchdogStep> step = session_.tick()) {
        if (step->look == WatchdogStep::Look::Warning && !travelPilotWarned_)
            messages_.postMessage(MessageKind::Warning, kTravelPilotSilentText);
        if (step->look != WatchdogStep::Look::Unchanged)
            travelPilotWarned_ = step->look == WatchdogStep::Look::Warning;
    }
    std::fprintf(out_, "%s\n", statusLineText(session_.figures()).c_str());
    std::fflush(out_);
}

void PrintedMessages::postMessage(MessageKind kind, std::string text, std::function<void()> closed)
{
    // One call per line, so lines from two threads do not interleave.
    std::fprintf(out_, "%s: %s\n", messageTitle(kind), text.c_str());
    std::fflush(out_);
    if (closed)
        window_.post(std::move(closed));
}

namespace {

// The one thing a signal handler may safely touch.
volatile std::sig_atomic_t endRequested = 0;

extern "C" void recordEndSignal(int)
{
    endRequested = 1;
}

} // namespace

void catchEndSignals()
{
    std::signal(SIGINT, recordEndSignal);
    std::signal(SIGTERM, recordEndSignal);
#ifdef SIGHUP
    // The terminal or the desktop session that started the program has gone.
    std::signal(SIGHUP, recordEndSignal);
#endif
}

bool endSignalled()
{
    return endRequested != 0;
}

} // namespace zentor
