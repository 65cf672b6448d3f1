#pragma once

#include "core/WindowThread.h"
#include "link/LinkInterfaces.h"
#include "nav/TravelPilotPort.h"
#include "nav/TravelPilotResponse.h"
#include "nav/TravelPilotSchedule.h"
#include "nav/TravelPilotTexts.h"
#include "platform/Event.h"
#include "platform/WorkerThread.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

namespace zentor {

// The TravelPilot thread: polls the navigation unit on its COM port every kPollInterval until
// it is told to terminate. The thread starts in the constructor.
//
// It opens the port first (TravelPilotPort: 9600 8N1, purged after opening); a port that cannot
// be opened, or that another program holds, leaves the thread running without one, trying it
// again every kReopenInterval (portState says why it is not open). Each round it sends
// the requests TravelPilotSchedule picks (the version until the unit has told it, then the
// position, with speed and direction after every fourth position) and reads one response after
// each, once more when that read failed. Each whole response sets the answered mark; a version,
// position or speed response is shown in the main window's TravelPilot fields through one
// window-thread call, and a position or speed response is handed to the log as its 0xC0 or
// 0xC1 packet while a log sink is set. Other responses (command 238 among them) are passed over.
class TNav_Router
{
public:
    static constexpr std::chrono::milliseconds kPollInterval{500};
    static constexpr std::chrono::milliseconds kReopenInterval{1000};

    // Copies one update into the TravelPilot fields. Runs on the window thread.
    using ShowTexts = std::function<void(const TravelPilotTexts& texts)>;

    enum class PortState
    {
        Opening,   // the thread has not tried the port yet
        Open,      // polling the unit
        NotOpened, // the port could not be opened or configured: running without it
        InUse,     // another program holds the port: nothing is sent to it or read from it
    };

    // `comPort` is the n of "COMn:" (1..9), the navigation choice of the connection dialog; the
    // device is looked up (comPortDevice) before the thread starts. The updates go to
    // `showTexts` through `window`; with either of them empty nothing is shown. `window` must
    // outlive the router.
    explicit TNav_Router(int comPort, WindowThread* window = nullptr, ShowTexts showTexts = {});
    // Requests termination and joins the thread; the port is closed by then.
    ~TNav_Router();
    TNav_Router(const TNav_Router&) = delete;
    TNav_Router& operator=(const TNav_Router&) = delete;

    int comPort() const { return comPort_; }

    // Any thread; the loop ends after the transfer in progress (at most a read's time-out). A
    // window-thread call already waiting returns when the window thread refuses it
    // (WindowThread::invoke after shutdown began).
    void requestTerminate();
    // True once the loop has ended, waiting at most timeoutMs.
    bool waitFinished(std::chrono::milliseconds timeoutMs)
    {
        return thread_.waitFinished(timeoutMs);
    }

    // Where the TravelPilot log packets go: the log while log mode is on, null (the start) to
    // hand over nothing. Window thread. Once it returns no hand-over to the sink set before is
    // in progress, so that sink may then be destroyed.
    void setLogSink(LogSink* sink);

    // True when a whole response arrived since the last call, which clears the mark. For the
    // watchdog of the main window's tick; any thread.
    bool takeAnsweredMark() { return answered_.exchange(false, std::memory_order_acq_rel); }

    // Has the thread send a position request in its next round, in addition to what it asks
    // anyway (merged when the round asks for the position itself). Returns at once; the
    // watchdog's request, any thread.
    void requestPosition() { positionWanted_.store(true, std::memory_order_release); }

    // Any thread.
    PortState portState() const { return portState_.load(std::memory_order_acquire); }

private:
    void Execute();
    bool openPort();
    void pollRound();
    void exchange(std::uint8_t command);
    TravelPilotResponse readResponse();
    void handle(const TravelPilotResponse& response);
    void show(const TravelPilotTexts& texts);
    void handOver(const std::uint8_t* packet, std::size_t size);

    const int comPort_;
    const std::string device_;
    WindowThread* const window_;
    const ShowTexts showTexts_;

    // The members below up to the atomics belong to the TravelPilot thread alone.
    TravelPilotPort port_;
    TravelPilotSchedule schedule_;
    bool versionKnown_ = false;
    long positionCount_ = 0; // position responses so far, shown in edTpUpdate

    std::atomic<PortState> portState_{PortState::Opening};
    std::atomic<bool> answered_{false};
    std::atomic<bool> positionWanted_{false};

    std::mutex logMutex_;        // guards logSink_, and is held through each hand-over
    LogSink* logSink_ = nullptr; // guarded by logMutex_

    Event pause_;         // the poll pause; set only by requestTerminate, to cut it short
    WorkerThread thread_; // last: it stops before the members it uses go away
};

} // namespace zentor
