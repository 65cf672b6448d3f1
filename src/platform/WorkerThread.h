#pragma once

#include "platform/Event.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

namespace zentor {

// A thread with a terminate request, the shape every worker of the program has: the body runs
// until it sees terminateRequested(), which it checks at least at every wake-up of its loop.
class WorkerThread
{
public:
    WorkerThread() = default;
    // Requests termination and joins the thread.
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Starts the thread running `body`. Call once.
    void start(std::function<void()> body);

    // Any thread may ask; the body notices at its next check.
    void requestTerminate() { terminate_.store(true, std::memory_order_release); }
    bool terminateRequested() const { return terminate_.load(std::memory_order_acquire); }

    // Waits at most `timeoutMs` for the body to return; true when it has (or never started).
    bool waitFinished(std::chrono::milliseconds timeoutMs);
    // Requests termination and joins the thread; nothing when it never started.
    void join();

private:
    std::atomic<bool> terminate_{false};
    Event finished_;
    std::thread thread_;
};

// The worker that sleeps on events (the receiver, main and GPS routers): its thread waits for the
// first of its events, at the latest every `timeout` so that it notices its terminate request,
// and hands what woke it to the worker's onEvent. requestTerminate wakes it at once.
//
// A worker derives from it, names its events to the constructor, calls start() last in its own
// constructor and stop() first in its destructor: the loop never runs on a member that is not
// made yet or already gone.
class EventWorker
{
public:
    // What onEvent gets when the time-out passed without an event.
    static constexpr int kTimedOut = -1;

    EventWorker(const EventWorker&) = delete;
    EventWorker& operator=(const EventWorker&) = delete;

    // Any thread. The loop ends at once, or when the onEvent it is in returns.
    void requestTerminate();
    // True once the loop has ended, waiting at most timeoutMs.
    bool waitFinished(std::chrono::milliseconds timeoutMs)
    {
        return thread_.waitFinished(timeoutMs);
    }

protected:
    // `events` in the order that wins when several are set; they must outlive the loop.
    EventWorker(std::vector<Event*> events, std::chrono::milliseconds timeout);
    virtual ~EventWorker();

    void start();
    // Requests termination and joins the thread.
    void stop();

    // The loop body, on the worker's thread: `signalled` is the position in the constructor's
    // list of the event that woke it (the earliest set one), or kTimedOut. Never called once
    // termination has been requested.
    virtual void onEvent(int signalled) = 0;

    // Waits `pauseMs` on the worker's thread, cut short by a terminate request.
    void pause(std::chrono::milliseconds pauseMs) { wake_.wait(pauseMs); }

private:
    void run();

    Event wake_; // set only by requestTerminate, so the waits end at once
    std::vector<Event*> waitOrder_;
    const std::chrono::milliseconds timeout_;
    WorkerThread thread_;
};

} // namespace zentor
