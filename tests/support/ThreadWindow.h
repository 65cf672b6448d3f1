#pragma once

// A window thread for tests of the thread loops without Qt: a plain thread that runs the work
// handed to it, in order.
#include "core/WindowThread.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace zentor::test {

class ThreadWindow final : public WindowThread
{
public:
    ThreadWindow() : thread_([this] { run(); }) {}
    ~ThreadWindow() override
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }

    bool invoke(const std::function<void()>& work) override
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (refusing_)
            return false;
        bool done = false;
        queue_.push_back({work, &done});
        wake_.notify_all();
        wake_.wait(lock, [&] { return done; });
        return true;
    }

    void post(std::function<void()> work) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.push_back({std::move(work), nullptr});
        wake_.notify_all();
    }

    // From now on invoke() returns false without running anything, as in the program's end.
    void refuse()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        refusing_ = true;
    }

    std::thread::id id() const { return thread_.get_id(); }

private:
    struct Task
    {
        std::function<void()> work;
        bool* done; // set once the work has run; null for posted work
    };

    void run()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return stop_ || !queue_.empty(); });
            if (queue_.empty())
                return;
            Task task = std::move(queue_.front());
            queue_.pop_front();
            lock.unlock();
            task.work();
            lock.lock();
            if (task.done)
                *task.done = true;
            wake_.notify_all();
        }
    }

    std::mutex mutex_; // guards queue_, stop_, refusing_ and the done flags
    std::condition_variable wake_;
    std::deque<Task> queue_;
    bool stop_ = false;
    bool refusing_ = false;
    std::thread thread_;
};

} // namespace zentor::test
