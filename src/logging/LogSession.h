#pragma once

#include "core/MessageSink.h"
#include "link/LinkInterfaces.h"
#include "link/ReceiverState.h"
#include "logging/LogHold.h"
#include "logging/TLog_Router.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace zentor {

// Log mode: the current log router, if any. The program session hands it every packet record of
// the receiver protocol and every TravelPilot record; they go to the log only while log mode is
// on. The window's btnLogModeClick calls start() when the button goes down and stop() when it
// goes up; the status refresh shows fileSizeKb() in edFileSize.
//
// Log mode switched on from the command line, before the link has opened, starts with
// startOnceIdentified(): the file is created once its header can hold the instrument's
// identification, configuration and channel information (LogHold.h); the records handed over
// until then are held and written right after the header.
//
// Switching log mode off never waits on the disk: the released log router writes out its queue,
// syncs and closes its file on its own thread, and is kept as closing() until it has. A new log on
// the same file waits, on its own thread, for the closing one, so the file gets the records in
// the order handed over. tick(), once a second, starts a held file whose wait is over and reports
// a disk that has stalled. The program's end asks closeAll() with a bound, and shows backlog()
// while it waits.
//
// Threads: start, startOnceIdentified, stop, tick, closeAll and the destructor on the owner's
// thread (the window thread); the queries and handOver on any thread. Log routers are started on
// the owner's thread, but one: the file held back by startOnceIdentified is started by the
// hand-over that completes its header or finds the hold full, on the thread handing over (the
// link or TravelPilot thread). Waiting for the next tick instead would hold the records up to a
// second longer, and a full hold could not take the record at all; starting a router only starts
// its thread, which opens the file, so the hand-over still never waits on the disk. routerMutex_
// guards router_, hold_ and closing_, so a hand-over or a query never meets a router being
// destroyed and a held record is never overtaken; only the owner's thread removes routers.
class LogSession : public LogSink
{
public:
    // A log file's name and the record bytes still waiting to be written to it.
    struct Backlog
    {
        std::string fileName;
        std::uint64_t bytesWaiting = 0;
    };

    // `messages` (may be null) receives the log routers' errors and warnings.
    LogSession(ReceiverState& state, MessageSink* messages);
    // Switches log mode off and waits, without limit, until every log is closed. A program that
    // gave up on closeAll() must end the process without destroying the session.
    ~LogSession() override;
    LogSession(const LogSession&) = delete;
    LogSession& operator=(const LogSession&) = delete;

    // Log mode on: forms the file name from the LogFile text, snapshots the header records from
    // the receiver state and starts a log router on that file. Returns the file name. A session
    // already logging is stopped first. While a released log on the same file is still closing,
    // the new one opens the file only after it (the records handed over meanwhile wait, in
    // order). `onFailed` is called once, on the log thread, when the file cannot be opened or a
    // write fails (the error has been reported already): it must only post the release of log
    // mode to the window thread, which then calls stop().
    std::string start(const std::string& logFileText, std::function<void()> onFailed = {});

    // Log mode on as start() does, but the file is created only once the held records make its
    // header complete, or when tick() or stop() finds the wait over (LogHold.h). When the
    // instrument has not identified itself in time the file is started anyway and a warning says
    // so. Returns the file name.
    std::string startOnceIdentified(const std::string& logFileText,
                                    std::function<void()> onFailed = {});

    // Log mode off, at once: hand-overs stop reaching the log (a file still held is started
    // first, so nothing held is lost), and the log router goes on writing what is queued, syncs
    // and closes the file on its own thread (closing() meanwhile). Does nothing when not logging.
    void stop();

    // True while a log switched off is still writing out its queue or closing its file: the
    // window keeps LogFile disabled until then.
    bool closing() const;

    // The one-second tick: starts a held file whose wait is over, reports a disk that has taken
    // nothing for a log file for TLog_Router::kStallReportAfter (once per stall, as a warning
    // with the file name and the bytes waiting), and lets go of the logs that have closed.
    // Returns at once.
    void tick();

    // For the program's end: switches log mode off and waits at most `timeout` for every log,
    // the one just switched off and any still closing, to be closed. True when all are. May be
    // called again (with a short time-out, between showing backlog()) until it is true.
    bool closeAll(std::chrono::milliseconds timeout);

    // Every log not yet closed, oldest first (the one being logged to, if any, last).
    std::vector<Backlog> backlog() const;

    // True between start() (or startOnceIdentified()) and stop().
    bool active() const;

    // True while log mode is on and its file is still held back (startOnceIdentified).
    bool waiting() const;

    // The log file's size on disk in kilobytes while logging, or while the last log switched off
    // is closing; empty otherwise, and while the file is held back (the window then keeps the
    // edFileSize text it has).
    std::optional<std::int32_t> fileSizeKb();

    // The file being logged to; empty when not logging.
    std::string fileName() const;

    // True when the current log router could not open or write its file. The window's posted
    // release of log mode checks it, so that a failure of an earlier session that arrives late
    // does not end the current one.
    bool failed() const;

    // True when log mode is switched on while no scan channel information has been captured:
    // the window then shows TLogWarningForm.
    bool needsScanInformationWarning() const;

    // A packet record of the receiver protocol or the TravelPilot link; dropped while not
    // logging. Returns at once.
    void handOver(const std::uint8_t* data, std::uint16_t count) override;

private:
    // routerMutex_ held: a started log router on `name`, after a closing log on the same file.
    std::unique_ptr<TLog_Router> startRouter(const std::string& name,
                                             std::function<void()> onFailed);
    // routerMutex_ held: the log router of a file held back until now, with the held records
    // handed over to it.
    void startHeldFile(LogHold::Verdict verdict);
    void reapClosed();

    ReceiverState& state_;
    MessageSink* const messages_;
    mutable std::mutex routerMutex_;
    std::unique_ptr<TLog_Router> router_;
    std::optional<LogHold> hold_;                       // while the file is held back
    std::string heldName_;                              // the file the hold is for
    std::function<void()> heldFailed_;                  // its onFailed
    std::vector<std::unique_ptr<TLog_Router>> closing_; // switched off, oldest first
};

} // namespace zentor
