#pragma once

#include "link/LinkInterfaces.h"
#include "link/TReceiverLink.h"
#include "logging/LogHold.h"
#include "logging/TLog_Router.h"
#include "ui/MessageSink.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

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
// Threads: start, startOnceIdentified, stop and tick on the window thread; the queries and
// handOver on any thread. routerMutex_ guards router_ and hold_, so a hand-over never meets a
// router being destroyed and a held record is never overtaken.
class LogSession : public LogSink
{
public:
    // `messages` (may be null) receives the log router's errors.
    LogSession(TReceiverLink& link, MessageSink* messages);
    // Stops logging as stop() does.
    ~LogSession() override;
    LogSession(const LogSession&) = delete;
    LogSession& operator=(const LogSession&) = delete;

    // Log mode on: forms the file name from the LogFile text, snapshots the header records from
    // the receiver state and starts a log router on that file. Returns the file name. A session
    // already logging is stopped first.
    // `onFailed` is called once, on the log thread, when the file cannot be opened or a write
    // fails (the error has been reported already): it must only post the release of log mode to
    // the window thread, which then calls stop().
    std::string start(const std::string& logFileText, std::function<void()> onFailed = {});

    // Log mode on as start() does, but the file is created only once the held records make its
    // header complete, or when tick() or stop() finds the wait over (LogHold.h). When the
    // instrument has not identified itself in time the file is started anyway and a warning says
    // so. Returns the file name.
    std::string startOnceIdentified(const std::string& logFileText,
                                    std::function<void()> onFailed = {});

    // Once a second: starts a held file whose wait is over.
    void tick();

    // Log mode off: hand-overs stop reaching the log first (a file still held is started, so
    // nothing held is lost), then the log router writes what is queued, syncs and closes the
    // file, and is destroyed. Returns when the file is closed. Does nothing when not logging.
    void stop();

    // True between start() and stop().
    bool active() const;

    // True while log mode is on and its file is still held back (startOnceIdentified).
    bool waiting() const;

    // The log file's size on disk in kilobytes while logging; empty when not logging or while
    // the file is held back (the window then keeps the edFileSize text it has).
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
    // routerMutex_ held: the log router of a file held back until now, with the held records
    // handed over to it.
    void startHeldFile(LogHold::Verdict verdict);

    TReceiverLink& link_;
    MessageSink* const messages_;
    mutable std::mutex routerMutex_;
    std::unique_ptr<TLog_Router> router_;
    std::optional<LogHold> hold_;      // while the file is held back
    std::string heldName_;             // the file the hold is for
    std::function<void()> heldFailed_; // its onFailed
};

} // namespace zentor
