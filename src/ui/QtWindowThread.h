#pragma once

#include "core/WindowThread.h"

#include <QObject>
#include <atomic>

namespace zentor {

// The window-thread call on Qt: blocking queued calls to an object of the window thread.
//
// Shutdown: once beginShutdown() has been called, invoke() and post() run nothing and invoke()
// returns false, also for calls that were already queued. A worker that was blocked in
// invoke() when shutdown began is released by serveQueuedCalls(), which the window thread calls
// while it waits for the workers to end; it never waits on a worker that waits on it.
class QtWindowThread final : public QObject, public WindowThread
{
public:
    // Create it on the window thread (the thread of the QApplication).
    explicit QtWindowThread(QObject* parent = nullptr);

    // On the window thread the work runs at once; from another thread it is queued and the
    // caller waits until it has run. False, without running it, once shutdown has begun.
    bool invoke(const std::function<void()>& work) override;
    // Queues the work and returns at once; from the window thread too.
    void post(std::function<void()> work) override;

    void beginShutdown() override { shuttingDown_.store(true); }
    bool shuttingDown() const override { return shuttingDown_.load(); }
    // Delivers the calls queued so far, and only those: no input, no timers.
    void serveQueuedCalls() override;

private:
    std::atomic<bool> shuttingDown_{false};
};

} // namespace zentor
