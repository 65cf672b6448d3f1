#pragma once

#include "platform/Event.h"
#include "platform/WorkerThread.h"

#include <chrono>

namespace zentor {

// The TravelPilot thread: polls the navigation unit on its COM port every kPollInterval until
// it is told to terminate. The thread starts in the constructor.
class TNav_Router
{
public:
    static constexpr std::chrono::milliseconds kPollInterval{500};

    // `comPort` is the n of "COMn:" (1..9), the navigation choice of the connection dialog.
    explicit TNav_Router(int comPort);
    // Requests termination and joins the thread.
    ~TNav_Router();
    TNav_Router(const TNav_Router&) = delete;
    TNav_Router& operator=(const TNav_Router&) = delete;

    int comPort() const { return comPort_; }

    // Any thread; the loop ends at once.
    void requestTerminate();
    // True once the loop has ended, waiting at most timeoutMs.
    bool waitFinished(std::chrono::milliseconds timeoutMs)
    {
        return thread_.waitFinished(timeoutMs);
    }

private:
    void Execute();

    const int comPort_;
    Event pause_;         // the poll pause; set only by requestTerminate, to cut it short
    WorkerThread thread_; // last: it stops before the members it uses go away
};

} // namespace zentor
