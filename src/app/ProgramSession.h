#pragma once

#include "app/PacketCounter.h"
#include "app/ProgramOptions.h"
#include "app/ScanInformationWarning.h"
#include "app/StatusTexts.h"
#include "app/Workers.h"
#include "core/MessageSink.h"
#include "core/WindowThread.h"
#include "gps/GpsPanelTexts.h"
#include "link/MeasurementMode.h"
#include "link/TReceiverLink.h"
#include "logging/LogSession.h"
#include "logging/ReplayTransport.h"
#include "map/MapFeed.h"
#include "map/MapSettings.h"
#include "nav/TravelPilotTexts.h"
#include "nav/TravelPilotWatchdog.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zentor {

// The window-side updates of a run. Each may be empty: a run without windows shows nothing.
struct SessionViews
{
    StatusView* status = nullptr;                             // the main router's refreshes
    std::function<void(const GpsPanelTexts&)> gpsPanel;       // GPS screen and "GPS Data" group
    std::function<void(const TravelPilotTexts&)> travelPilot; // the TravelPilot group
    // The measurement mode the instrument's data shows. Called on the link thread; must return
    // at once.
    std::function<void(MeasurementMode)> modeShown;
};

// The map feed's names: the system's own, but the block is named by the environment variable
// ZENTOR_MAP_BLOCK when it is set (two data loggers on one PC feeding two maps, or tests side by
// side).
MapFeedNames programMapNames();

// One run of the data logger, the same behind the windows (zentor-dl) and without them
// (zentor-log, zentor-dl --headless): the receiver protocol and its state, the connection
// choices, every worker thread in its start and end order, the one-second tick, log mode, the
// map feed and the figures of the status line. The shells only show what it gives them and
// pass on what the user does.
//
// Where the threads are made:
//   startReceiverRouters  the two receiver routers (the main window's creation)
//   connect               the link thread, the main router, then the GPS router or the
//                         TravelPilot thread (the connection dialog's OK)
//   log mode              the log router (LogSession)
// Where they are told to end: beginEnd (endOnFormClose), then endOnDialogDestroy; finishEnd
// waits for them and for the log files.
//
// What every packet record of the receiver protocol passes through, in order: the packet
// counter, the scan channel warning, log mode (which drops it while off).
//
// The measurement mode is the session's: the mode the instrument's data shows (the receiver
// protocol's mode listener), or the one a user chose with a mode button since. The displays draw
// it and the map feed takes its RSSI reading by it.
//
// The map feed publishes after each GPS panel update, on the GPS thread: the unfiltered position,
// the serial number and the RSSI reading of the receiver chosen in the map settings, by the rule
// of MapRssi.h from the receiver state and the measurement mode. With the TravelPilot as the
// position source there is no GPS router and nothing is published.
//
// Threads: every member is called on the window thread (the thread serving `window`), except
// link() and the queries marked otherwise.
class ProgramSession
{
public:
    // How long the end of a run waits for the workers in all.
    static constexpr std::chrono::milliseconds kWorkerEndWait{5000};
    // How long the end of a run waits for the log files to be written and closed: long enough
    // for a slow USB stick to take a full queue, not for a disk that has stopped.
    static constexpr std::chrono::milliseconds kLogEndWait{60000};
    // How often the wait for the log files says what is still to be written.
    static constexpr std::chrono::milliseconds kLogEndPoll{250};

    // `window`, `messages` and the views' targets must outlive the session. `announcer` may be
    // null (the block is written, nothing announced). `factory` replaces the real threads
    // (tests); what it leaves empty, the session makes as the program does. `mapNames` name the map
    // feed's block (tests keep theirs apart).
    ProgramSession(WindowThread& window, MessageSink& messages,
                   std::unique_ptr<MapAnnouncer> announcer, WorkerFactory factory = {},
                   MapFeedNames mapNames = programMapNames());
    // Tells every worker to end and destroys them (joining their threads): only safe once
    // waitWorkersEnded has returned true, or no worker was ever blocked in a window call.
    ~ProgramSession();
    ProgramSession(const ProgramSession&) = delete;
    ProgramSession& operator=(const ProgramSession&) = delete;

    // The receiver protocol and the receiver state. Any thread.
    TReceiverLink& link() { return link_; }
    ReceiverState& state() { return state_; }
    MapSettings& mapSettings() { return mapSettings_; }
    // Where the program's messages to the user go. Any thread.
    MessageSink& messages() { return messages_; }
    LogSession& log() { return log_; }
    const Selections& selections() const { return selections_; }
    bool connected() const { return connected_; }

    // The measurement mode the displays draw and the map feed follows. Any thread.
    MeasurementMode measurementMode() const { return mode_.load(); }
    // A mode button pressed by the user: that mode until the instrument's data shows another.
    void chooseMeasurementMode(MeasurementMode mode) { mode_.store(mode); }

    // Before connect(): where the workers show what they have.
    void setViews(SessionViews views);

    // Starts the receiver routers of receiver 1 then 2. Each runs `draw(r)` on the window thread
    // when its receiver has new data; without `draw` a router only takes the data, so the
    // receiver protocol goes on storing readings in a run without windows.
    void startReceiverRouters(std::function<void(int receiver)> draw);

    // The connection dialog's OK: records the choices (list positions as in Selections.h), then
    // starts the link thread, the main router and the TravelPilot thread or the GPS router.
    void connect(int portChoice, int navChoice);

    // Replays the drive at `path` (times the recorded pace `speed`, or ReplayTransport::kMaxSpeed)
    // instead of the live link: a link thread on the log, the main router and a GPS router when
    // they are not running yet. A live link thread is closed for it, and so is log mode: a replay
    // never writes into a log. False, with `error` in a user's words, when the file cannot be
    // replayed; nothing changes then. Another replay replaces the one running.
    bool startReplay(const std::string& path, double speed, std::string& error);
    // Ends the replay; the link the connection dialog chose before it opens again (with the
    // TravelPilot as the position source, the replay's GPS router ends).
    void endReplay();
    // The replay running, or null: its controls and position, any thread while it runs.
    ReplayTransport* replay() { return replay_.get(); }
    // True once the replay has handed over its last packet.
    bool replayEnded() const { return replay_ && replay_->position().ended; }
    // A live link was chosen, so endReplay has one to go back to.
    bool liveLinkChosen() const { return liveChosen_; }
    // Shows the replay's speed and pause in the link status text, after a change of either.
    void showReplayStatus();

    // Log mode on (the log button): the file is started at once. `released` runs on the window
    // thread when a failure has ended log mode (already reported). Returns the file name; empty,
    // with nothing started, during a replay.
    std::string startLog(const std::string& logFileText, std::function<void()> released = {});
    // Log mode on from the command line, before the link opens: the file waits for a complete
    // header (LogSession::startOnceIdentified).
    std::string startLogOnceIdentified(const std::string& logFileText,
                                       std::function<void()> released = {});
    // Log mode off: returns when the file is closed.
    void stopLog();
    // True once a log file could not be opened or written during this run.
    bool logFailed() const { return logFailed_; }
    // The log warning dialog's OK: the next channel information is the one logged, and the scan
    // channel warning counts again from 0.
    void resetScanInformation();

    // The one-second tick: sets the main router's refresh event, wakes the receiver router of
    // each receiver whose single-mode data is new (so single mode is drawn at most once a
    // second), lets a held log file start when its wait is over, says once where a replay that
    // has ended stopped short of its file's end (a message), and runs the TravelPilot
    // watchdog (with the TravelPilot as the position source: the step to show, else empty).
    // A TravelPilot port that another program holds is reported once, as a warning, each time
    // it is found so.
    std::optional<WatchdogStep> tick();

    // True while the link to the instrument is lost and not back yet: what the windows show is
    // old.
    bool linkLost();

    // What the status line of an unattended run shows now.
    RunFigures figures();

    // The main router's refreshes, on the window thread. The status refresh shows the log file
    // size while logging, the serial number and link status text, and each receiver's range when
    // the receiver state marks it changed since the last refresh (the mark is taken); the clock
    // refresh shows the instrument's clock date, time and marker.
    void refreshStatus();
    void refreshClock();

    // The end of a run, the one routine every way of ending goes through (the main window
    // closed by File > Exit, a signal or --seconds; the desktop's end; the end of an unattended
    // run), in two steps.
    //
    // beginEnd: the window thread runs no worker's call from here on, so that none can block
    // its wait below; the workers are told to end as the main window's closing tells them
    // (endOnFormClose), and log mode ends. A second call does nothing.
    void beginEnd();
    // What the end shows while it waits for the log files: called every kLogEndPoll with the
    // files and the bytes still to be written, so the user sees why the end takes long; false
    // stops the wait.
    using LogWaitView = std::function<bool(const std::vector<LogSession::Backlog>& backlog)>;
    // finishEnd, after beginEnd: the connection dialog's part (endOnDialogDestroy, once), then a
    // wait of at most `workerBound` in all for every worker to end, serving the window calls they
    // are blocked in, and the ended workers destroyed; then a wait of at most kLogEndWait for
    // every log file to be written and closed, shown by `waiting`. True when all have ended;
    // false leaves what has not ended alone, with everything it uses, and the caller must end the
    // process without running destructors.
    bool finishEnd(const LogWaitView& waiting,
                   std::chrono::milliseconds workerBound = kWorkerEndWait);
    // The wait's view where nothing can be shown but a line: `tell` gets, once, what the log
    // files still have to write, and the wait goes on to its bound.
    static LogWaitView tellBacklogOnce(std::function<void(const std::string& text)> tell);

    // The steps of the end, in the order the workers rely on. The main window closes: the link
    // thread (RS-232 only; a USB link is left running until the connection dialog goes), receiver
    // router 1 and 2, the TravelPilot thread or the GPS router, the main router are told to end,
    // then log mode ends with the file written and closed.
    void endOnFormClose();
    // The connection dialog goes: the TravelPilot thread (if any), then the link thread.
    void endOnDialogDestroy();

private:
    WorkerFactory programFactory();
    WorkerFactory withProgramWorkers(WorkerFactory given);
    std::function<void()> onLogFailed(std::function<void()> released);
    void publishMap(const GpsStatus& status);
    // Tells the worker in `id` to end and waits for it, serving its window calls meanwhile.
    void endWorker(WorkerId id);

    WindowThread& window_;
    MessageSink& messages_;
    TReceiverLink link_;
    ReceiverState& state_{link_.state()};
    Selections selections_;
    bool connected_ = false;
    std::chrono::steady_clock::time_point connectedAt_;
    SessionViews views_;
    std::function<void(int)> draw_;

    MapSettings mapSettings_;
    MapFeed mapFeed_; // used by the GPS router
    std::atomic<MeasurementMode> mode_{MeasurementMode::Single};
    bool dialogEnded_ = false; // endOnDialogDestroy has run
    bool liveChosen_ = false;  // connect has run
    std::shared_ptr<ReplayTransport> replay_; // also held by the replay's link thread
    bool replayEndTold_ = false;

    LogSession log_;
    ScanInformationWarning warning_{log_, messages_, [this] { return log_.active(); },
                                    [this] { return state_.channelInformationCaptured(); }};
    PacketCounter counter_{warning_};
    bool logFailed_ = false;

    TravelPilotWatchdog watchdog_;
    bool travelPilotInUseTold_ = false;                      // window thread
    bool gpsRecordSeen_ = false;                             // window thread
    std::string travelPilotLatitude_, travelPilotLongitude_; // window thread

    const WorkerFactory factory_;
    Workers workers_; // last: the workers go before everything they use
};

} // namespace zentor
