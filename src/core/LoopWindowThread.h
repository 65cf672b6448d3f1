#pragma once

#include "core/WindowThread.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace zentor {

// The window thread of a run without windows: the thread that made the object serves the
// workers' window calls, in the order they came, while it runs serveUntil(). It stands where the
// toolkit's event loop stands in the windowed program, with no toolkit at all.
//
// Shutdown: once beginShutdown() has been called, invoke() and post() run nothing and invoke()
// returns false, also for calls that were already queued; serveQueuedCalls() releases the workers
// that were waiting in invoke() then.
//
// Threads: invoke, post and beginShutdown from any thread; the rest from the owner thread only.
class LoopWindowThread final : public WindowThread
{
public:
    using Clock = std::chrono::steady_clock;

    LoopWindowThread() = default;
    // Releases any caller still waiting in invoke() without running its work.
    ~LoopWindowThread() override;
    LoopWindowThread(const LoopWindowThread&) = delete;
    LoopWindowThread& operator=(const LoopWindowThread&) = delete;

    // On the owner thread the work runs at once; from another thread it is queued and the caller
    // waits until the owner has served it. False, without running it, once shutdown has begun.
    bool invoke(const std::function<void()>& work) override;
    // Queues the work and returns at once, from the owner thread too.
    void post(std::function<void()> work) override;

    // Serves queued calls as they come until `deadline`. Owner thread.
    void serveUntil(Clock::time_point deadline);
    // Owner thread.
    void serveQueuedCalls() override;

    // Any thread.
    void beginShutdown() override;
    bool shuttingDown() const override;

private:
    struct Call
    {
        std::function<void()> work;
        bool* served = nullptr; // invoke's: set once the call was taken (run or refused)
        bool* ran = nullptr;    // invoke's: set when the work ran
    };

    // Runs or refuses one call; `lock` is held on entry and on return.
    void serve(Call call, std::unique_lock<std::mutex>& lock);

    const std::thread::id owner_ = std::this_thread::get_id();
    mutable std::mutex mutex_; // guards every member below and the flags of waiting calls
    std::condition_variable changed_;
    std::deque<Call> calls_;
    bool shuttingDown_ = false;
};

} // namespace zentor
