#pragma once

// A window thread for tests of the routers: a plain thread that runs the calls handed to it, one
// at a time, in order.
#include "core/WindowThread.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace zentor::test {

class TestWindowThread final : public WindowThread
{
public:
    TestWindowThread() : thread_([this] { run(); }) {}
    ~TestWindowThread() override
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ending_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }

    bool invoke(const std::function<void()>& work) override
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (refusing_ || ending_)
            return false;
        bool done = false;
        queue_.push_back([&] {
            work();
            std::lock_guard<std::mutex> doneLock(mutex_);
            done = true;
            finished_.notify_all();
        });
        wake_.notify_all();
        finished_.wait(lock, [&] { return done; });
        return true;
    }

    void post(std::function<void()> work) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (refusing_ || ending_)
            return;
        queue_.push_back(std::move(work));
        wake_.notify_all();
    }

    // From now on calls are refused, as the program's window thread does once shutdown began.
    void refuseCalls()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        refusing_ = true;
    }

    std::thread::id id() const { return thread_.get_id(); }

private:
    void run()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return ending_ || !queue_.empty(); });
            if (queue_.empty())
                return;
            std::function<void()> work = std::move(queue_.front());
            queue_.pop_front();
            lock.unlock();
            work();
            lock.lock();
        }
    }

    std::mutex mutex_; // guards the members below
    std::condition_variable wake_;
    std::condition_variable finished_;
    std::deque<std::function<void()>> queue_;
    bool refusing_ = false;
    bool ending_ = false;
    std::thread thread_; // last: it starts once the members above exist
};

} // namespace zentor::test
