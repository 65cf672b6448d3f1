#pragma once

#include "link/LinkInterfaces.h"
#include "link/TReceiverLink.h"
#include "logging/TLog_Router.h"
#include "ui/MessageSink.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace zentor {

// Log mode as the main window switches it: the current log router, if any, wired to the receiver
// protocol while it exists. The window's btnLogModeClick calls start() when the button goes down
// and stop() when it goes up; the status refresh shows fileSizeKb() in edFileSize.
//
// It is also the log hand-over of the TravelPilot link, which may hand records to it at any time:
// they go to the log only while a log router exists.
//
// Threads: start and stop on the window thread; the queries and handOver on any thread.
// routerMutex_ guards router_, so a hand-over never meets a router being destroyed.
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
    // the receiver state, starts a log router on that file and makes it the receiver protocol's
    // log sink. Returns the file name. A session already logging is stopped first.
    // `onFailed` is called once, on the log thread, when the file cannot be opened or a write
    // fails (the error has been reported already): it must only post the release of log mode to
    // the window thread, which then calls stop().
    std::string start(const std::string& logFileText, std::function<void()> onFailed = {});

    // Log mode off: the receiver protocol stops handing over first, then the log router writes
    // what is queued, syncs and closes the file, and is destroyed. Returns when the file is
    // closed. Does nothing when not logging.
    void stop();

    // True between start() and stop().
    bool active() const;

    // The log file's size on disk in kilobytes while logging; empty when not logging (the window
    // then keeps the edFileSize text it has).
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

    // The TravelPilot link's records; dropped while not logging. Returns at once.
    void handOver(const std::uint8_t* data, std::uint16_t count) override;

private:
    TReceiverLink& link_;
    MessageSink* const messages_;
    mutable std::mutex routerMutex_;
    std::unique_ptr<TLog_Router> router_;
};

} // namespace zentor
