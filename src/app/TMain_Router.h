#pragma once

#include "core/WindowThread.h"
#include "platform/Event.h"
#include "platform/WorkerThread.h"

#include <chrono>
#include <functional>
#include <vector>

namespace zentor {

// The main router: refreshes the main window's status fields. It waits on its refresh event
// (set by the main window's one-second tick) and on the clock event (set by the receiver
// protocol when a clock and marker record has been stored), and runs the matching window-side
// refresh on the window thread, waiting for it. When both events are set the refresh event is
// served first and the clock on the next pass.
//
// The thread starts in the constructor. The refreshes are given as functions so that the loop
// runs, and is tested, without any window; they must be safe to run on the window thread for as
// long as the router exists.
class TMain_Router
{
public:
    static constexpr std::chrono::milliseconds kWaitTimeout{1000};

    using WindowWork = std::function<void()>;

    // `clockEvent` must outlive the router.
    TMain_Router(WindowThread& window, Event& clockEvent, WindowWork statusRefresh,
                 WindowWork clockRefresh);
    // Requests termination and joins the thread.
    ~TMain_Router();
    TMain_Router(const TMain_Router&) = delete;
    TMain_Router& operator=(const TMain_Router&) = delete;

    // The event the main window's tick sets; any thread.
    Event& refreshEvent() { return refreshEvent_; }

    // Any thread. The loop ends at once, or at the latest when its current window call returns.
    void requestTerminate();
    // True once the loop has ended, waiting at most timeoutMs.
    bool waitFinished(std::chrono::milliseconds timeoutMs)
    {
        return thread_.waitFinished(timeoutMs);
    }

private:
    void Execute();

    WindowThread& window_;
    Event refreshEvent_;
    Event& clockEvent_;
    Event wake_; // set only by requestTerminate, so the wait ends at once
    const std::vector<Event*> waitOrder_;
    const WindowWork statusRefresh_;
    const WindowWork clockRefresh_;
    WorkerThread thread_; // last: it stops before the members it uses go away
};

} // namespace zentor
