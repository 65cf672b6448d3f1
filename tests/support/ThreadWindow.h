#pragma once

// The window thread for tests of the thread loops without Qt: the program's own window thread of a
// run without windows (LoopWindowThread), served by a thread of the test's, so that calls run in
// the order they came and, once beginShutdown() is called, no call runs and invoke() returns false,
// as in the program's end.
#include "core/LoopWindowThread.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace zentor::test {

class ThreadWindow final : public WindowThread
{
public:
    ThreadWindow() : thread_([this] { serve(); })
    {
        std::unique_lock<std::mutex> lock(mutex_);
        made_.wait(lock, [this] { return loop_ != nullptr; });
    }
    // Every worker that calls it must have ended.
    ~ThreadWindow() override
    {
        stopping_.store(true);
        thread_.join();
    }
    ThreadWindow(const ThreadWindow&) = delete;
    ThreadWindow& operator=(const ThreadWindow&) = delete;

    bool invoke(const std::function<void()>& work) override { return loop_->invoke(work); }
    void post(std::function<void()> work) override { loop_->post(std::move(work)); }

    void beginShutdown() override { loop_->beginShutdown(); }
    bool shuttingDown() const override { return loop_->shuttingDown(); }
    // The test's thread serves every call as it comes.
    void serveQueuedCalls() override {}

    std::thread::id id() const { return thread_.get_id(); }

private:
    static constexpr std::chrono::milliseconds kStopPoll{10};

    void serve()
    {
        LoopWindowThread loop;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            loop_ = &loop;
        }
        made_.notify_all();
        while (!stopping_.load())
            loop.serveUntil(LoopWindowThread::Clock::now() + kStopPoll);
    }

    std::mutex mutex_; // guards loop_ until the constructor has returned
    std::condition_variable made_;
    LoopWindowThread* loop_ = nullptr;
    std::atomic<bool> stopping_{false};
    std::thread thread_; // last: it starts once the members above exist
};

} // namespace zentor::test
