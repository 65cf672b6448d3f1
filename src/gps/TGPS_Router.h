#pragma once

#include "platform/Event.h"
#include "platform/WorkerThread.h"

#include <chrono>
#include <vector>

namespace zentor {

// The GPS router: wakes when the receiver protocol has stored a GPS record (the GPS event),
// at the latest every kWaitTimeout to notice its terminate request, and consumes the event.
// The thread starts in the constructor.
class TGPS_Router
{
public:
    static constexpr std::chrono::milliseconds kWaitTimeout{1000};

    // `gpsEvent` (the receiver protocol's) must outlive the router.
    explicit TGPS_Router(Event& gpsEvent);
    // Requests termination and joins the thread.
    ~TGPS_Router();
    TGPS_Router(const TGPS_Router&) = delete;
    TGPS_Router& operator=(const TGPS_Router&) = delete;

    // Any thread; the loop ends at once.
    void requestTerminate();
    // True once the loop has ended, waiting at most timeoutMs.
    bool waitFinished(std::chrono::milliseconds timeoutMs)
    {
        return thread_.waitFinished(timeoutMs);
    }

private:
    void Execute();

    Event& gpsEvent_;
    Event wake_; // set only by requestTerminate, so the wait ends at once
    const std::vector<Event*> waitOrder_;
    WorkerThread thread_; // last: it stops before the members it uses go away
};

} // namespace zentor
