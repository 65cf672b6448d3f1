#pragma once

#include "core/WindowThread.h"
#include "platform/Event.h"
#include "platform/WorkerThread.h"

#include <chrono>
#include <functional>

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
class TMain_Router final : public EventWorker
{
public:
    static constexpr std::chrono::milliseconds kWaitTimeout{1000};

    using WindowWork = std::function<void()>;

    // `clockEvent` must outlive the router.
    TMain_Router(WindowThread& window, Event& clockEvent, WindowWork statusRefresh,
                 WindowWork clockRefresh);
    // Requests termination and joins the thread.
    ~TMain_Router() override;

    // The event the main window's tick sets; any thread.
    Event& refreshEvent() { return refreshEvent_; }

private:
    void onEvent(int signalled) override;

    WindowThread& window_;
    Event refreshEvent_;
    Event& clockEvent_;
    const WindowWork statusRefresh_;
    const WindowWork clockRefresh_;
};

} // namespace zentor
