#pragma once

#include <functional>

namespace zentor {

// The one way for worker threads to get window work done: every widget belongs to the window
// thread. The program implements this with Qt's queued calls; tests use a plain thread.
class WindowThread
{
public:
    virtual ~WindowThread() = default;

    // Runs `work` on the window thread and waits until it has returned. Returns false, without
    // running it, once the program is shutting down, so a worker never deadlocks against a
    // window thread that is waiting for that worker to end. Any thread may call it.
    virtual bool invoke(const std::function<void()>& work) = 0;

    // Queues `work` for the window thread and returns at once.
    virtual void post(std::function<void()> work) = 0;

    // The end of a run: from now on no worker's window work runs, and invoke() returns false,
    // also for calls already queued. Window thread.
    virtual void beginShutdown() = 0;
    virtual bool shuttingDown() const = 0;
    // Window thread, while it waits for the workers to end: takes the calls queued so far (run,
    // or refused once shutdown has begun), so that a worker blocked in invoke() returns.
    virtual void serveQueuedCalls() = 0;
};

} // namespace zentor
