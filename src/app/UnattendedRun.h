#pragma once

#include "app/ProgramOptions.h"
#include "app/ProgramSession.h"
#include "core/LoopWindowThread.h"
#include "core/MessageSink.h"
#include "core/WindowThread.h"
#include "platform/MapPublisher.h"

#include <cstdio>
#include <functional>
#include <memory>

namespace zentor {

// The messages a window would show in a box, printed instead: one line "<kind word>: <text>" on
// `out` (standard error in a headless run). `closed` is queued to the window thread at once, as
// if the box had been dismissed. Any thread; never blocks on anything but the stream.
class PrintedMessages final : public MessageSink
{
public:
    // `window` must outlive every message posted.
    PrintedMessages(std::FILE* out, WindowThread& window) : out_(out), window_(window) {}

    void postMessage(MessageKind kind, std::string text,
                     std::function<void()> closed = {}) override;

private:
    std::FILE* const out_;
    WindowThread& window_;
};

// A run without any window (zentor-log, and zentor-dl --headless): the connection choices come
// from the command line, the program session runs as it does behind the windows, and once a
// second a status line goes to `out`; messages go to `errors`. The thread that runs exec() is
// the window thread: it serves the workers' window calls between the ticks.
class UnattendedRun
{
public:
    static constexpr int kExitLogFailed = 1;
    // The file given with --replay cannot be replayed (the command line's status).
    static constexpr int kExitReplayRefused = kBadUsageExitStatus;

    // Makes the map feed's announcer on the run's window thread; may return null.
    using AnnouncerFactory = std::function<std::unique_ptr<MapAnnouncer>(WindowThread& window)>;

    // `options` must ask for a run (Action::Run with --port). `mapNames` name the map feed's
    // block (tests keep theirs apart).
    UnattendedRun(const ProgramOptions& options, std::FILE* out, std::FILE* errors,
                  const AnnouncerFactory& announcer, MapFeedNames mapNames = programMapNames());

    // Starts log mode (when asked: the file waits for the instrument's identification), the
    // receiver routers and the workers (or the replay of --replay), then serves the window calls
    // until `endNow` (polled a few times a second) is true, --seconds have passed, the log file
    // has failed or the replay has ended. Ends the workers in the windows' order, closes the log
    // file and returns the exit status: 0, kExitLogFailed when the log file could not be opened
    // or written, or kExitReplayRefused (the reason printed) when the replay's file cannot be
    // replayed. Call once.
    int exec(const std::function<bool()>& endNow);

    // False when a worker, or the writing of a log file, had not ended in time after exec: it is
    // left alone, with everything it uses, and the caller must end the process without running
    // destructors.
    bool workersEnded() const { return workersEnded_; }

    ProgramSession& session() { return session_; }

    // An unattended run of `options` from start to end, ended by the end signals or --seconds:
    // returns the exit status, or ends the process there without destructors when a worker or
    // the log has not ended in time.
    static int runToEnd(const ProgramOptions& options, const AnnouncerFactory& announcer);

private:
    void everySecond();

    const ProgramOptions options_;
    std::FILE* const out_;
    LoopWindowThread window_;
    PrintedMessages messages_;
    ProgramSession session_;
    bool travelPilotWarned_ = false;
    bool workersEnded_ = false;
};

// SIGINT (Ctrl+C), SIGTERM and SIGHUP as a request to end the run cleanly: the handler only
// records the request; the window thread polls it and ends the program the ordinary way, so the
// log file is closed and the workers end. Installs the handler for the signals; call once, on the
// window thread, before the run.
void catchEndSignals();

// True once one of the signals has arrived. Any thread.
bool endSignalled();

} // namespace zentor
