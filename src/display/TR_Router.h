#pragma once

#include "link/TReceiverLink.h"
#include "platform/Event.h"
#include "platform/WorkerThread.h"
#include "ui/WindowThread.h"

#include <chrono>
#include <functional>
#include <vector>

namespace zentor {

// The receiver router of one receiver: waits for the receiver's data event (set by the
// receiver protocol when list or table readings were stored, and by the main window's tick
// when single-mode data is new), at the latest every kWaitTimeout to notice its terminate
// request. When the event is set it runs the display update on the window thread, waits for
// it, then resets the event: the protocol stores no new readings for the receiver until then,
// so the display never falls behind the instrument. Frames are at least kFrameInterval apart:
// the reset waits for the rest of that time, so at a high packet rate the display shows the
// newest reading about 10 times a second instead of spending the window thread on frames
// nobody can see. The thread starts in the constructor and touches nothing but the event and
// the window-thread call.
class TR_Router
{
public:
    static constexpr std::chrono::milliseconds kWaitTimeout{1000};
    static constexpr std::chrono::milliseconds kFrameInterval{100};

    // Redraws the receiver's display from the receiver state. Runs on the window thread.
    using DisplayUpdate = std::function<void()>;

    // The router of receiver r (0 or 1) on `link`'s data event for r. `link` and `window` must
    // outlive the router.
    TR_Router(int r, TReceiverLink& link, WindowThread& window, DisplayUpdate update);
    // Requests termination and joins the thread.
    ~TR_Router();
    TR_Router(const TR_Router&) = delete;
    TR_Router& operator=(const TR_Router&) = delete;

    // Any thread; the loop ends at once. An update already waiting for the window thread
    // returns when the window thread refuses it (WindowThread::invoke after shutdown began).
    void requestTerminate();
    // True once the loop has ended, waiting at most timeoutMs.
    bool waitFinished(std::chrono::milliseconds timeoutMs)
    {
        return thread_.waitFinished(timeoutMs);
    }

    int receiverIndex() const { return r_; }

private:
    void Execute();

    const int r_;
    Event& dataEvent_;
    WindowThread& window_;
    const DisplayUpdate update_;
    Event wake_; // set only by requestTerminate, so the waits end at once
    const std::vector<Event*> waitOrder_;
    WorkerThread thread_; // last: it stops before the members it uses go away
};

} // namespace zentor
