#pragma once

#include "app/PacketCounter.h"
#include "app/PrintedMessages.h"
#include "app/ProgramOptions.h"
#include "app/Selections.h"
#include "app/StatusView.h"
#include "app/Workers.h"
#include "link/TReceiverLink.h"
#include "logging/LogSession.h"
#include "nav/MapFeed.h"
#include "nav/MapSettings.h"
#include "ui/QtWindowThread.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

namespace zentor {

// A run without any window: the connection choices come from the command line, the workers
// run as they do behind the windows (link, receiver protocol, main router, GPS router or
// TravelPilot thread with the map feed, and log mode when asked), and once a second a status
// line goes to `out`. Messages go to `errors`. The window thread is the thread of the
// QCoreApplication, whose event loop serves the workers' window calls.
//
// Window thread only; needs a QCoreApplication (no display).
class HeadlessRun
{
public:
    static constexpr std::chrono::milliseconds kWorkerEndWait{5000};
    static constexpr int kExitLogFailed = 1;

    HeadlessRun(TReceiverLink& link, Selections& selections, Workers& workers,
                const ProgramOptions& options, std::FILE* out, std::FILE* errors);
    ~HeadlessRun();
    HeadlessRun(const HeadlessRun&) = delete;
    HeadlessRun& operator=(const HeadlessRun&) = delete;

    // Starts log mode (when asked) and the workers, then runs the event loop until `endNow`
    // (polled a few times a second) is true or --seconds have passed. Ends the workers in the
    // windows' order, closes the log file and returns the exit status: 0, or kExitLogFailed when
    // the log file could not be opened or written. Call once.
    int exec(const std::function<bool()>& endNow);

    // False when a worker had not ended in time after exec: its thread object is left alone, and
    // the caller must end the process without running destructors.
    bool workersEnded() const { return workersEnded_; }

private:
    void printStatusLine();
    void releaseLogAfterFailure();
    void end();

    TReceiverLink& link_;
    Selections& selections_;
    Workers& workers_;
    const ProgramOptions options_;
    std::FILE* const out_;
    QtWindowThread window_;
    PrintedMessages messages_;
    LogSession log_;
    PacketCounter counter_;
    MapSettings mapSettings_;
    MapFeed mapFeed_;
    bool gpsRecordSeen_ = false;                             // window thread
    std::string travelPilotLatitude_, travelPilotLongitude_; // window thread
    bool logFailed_ = false;
    bool workersEnded_ = false;
    std::chrono::steady_clock::time_point started_;

    // The main router's refreshes; only the file size matters here, the rest is read directly.
    struct QuietStatusView final : StatusView
    {
        explicit QuietStatusView(LogSession& log) : log(log) {}
        std::optional<std::int32_t> logFileSizeKb() override { return log.fileSizeKb(); }
        void showFileSize(const std::string&) override {}
        void showSerialNumber(const std::string&) override {}
        void showLinkStatus(const std::string&) override {}
        void showRange(int, const RangeTexts&) override {}
        void showClock(const ClockTexts&) override {}
        LogSession& log;
    };
    QuietStatusView statusView_{log_};
};

} // namespace zentor
