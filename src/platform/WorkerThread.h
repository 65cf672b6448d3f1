#pragma once

#include "platform/Event.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

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
    bool started() const { return thread_.joinable(); }

private:
    std::atomic<bool> terminate_{false};
    Event finished_;
    std::thread thread_;
};

} // namespace zentor
