#pragma once

#include "core/WindowThread.h"
#include "link/ReceiverState.h"
#include "platform/Event.h"
#include "platform/WorkerThread.h"

#include <chrono>
#include <functional>

namespace zentor {

// The receiver router of one receiver: waits for the receiver's data event (set by the
// receiver protocol when list or table readings were stored, and by the main window's tick
// when single-mode data is new), at the latest every kWaitTimeout to notice its terminate
// request. When the event is set it runs the display update on the window thread and waits for
// it. The update takes its copy of the receiver with ReceiverState::takeReceiver, which clears
// the event, and then draws: readings that arrive while it draws are stored and set the event
// again. After each frame the router pauses for the rest of kFrameInterval, so that a fast
// stream costs at most 10 frames a second per display (the window thread's share of the
// processor grows by about 0.02% of a core with every frame a second more); the readings of
// the pause are stored meanwhile, and the frame right after it shows the newest of every list
// entry and table index. The thread starts in the constructor and touches nothing but the event and
// the window-thread call.
class TR_Router final : public EventWorker
{
public:
    static constexpr std::chrono::milliseconds kWaitTimeout{1000};
    static constexpr std::chrono::milliseconds kFrameInterval{100};

    // Redraws the receiver's display from the copy it takes of the receiver state (which clears
    // the data event). Runs on the window thread.
    using DisplayUpdate = std::function<void()>;

    // The router of receiver r (0 or 1) on `state`'s data event for r. `state` and `window` must
    // outlive the router.
    TR_Router(int r, ReceiverState& state, WindowThread& window, DisplayUpdate update);
    // Requests termination and joins the thread. An update already waiting for the window
    // thread returns when the window thread refuses it (WindowThread::invoke after shutdown
    // began).
    ~TR_Router() override;

    int receiverIndex() const { return r_; }

private:
    void onEvent(int signalled) override;

    const int r_;
    Event& dataEvent_;
    WindowThread& window_;
    const DisplayUpdate update_;
};

} // namespace zentor
