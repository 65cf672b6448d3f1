#include "core/LoopWindowThread.h"

namespace zentor {

LoopWindowThread::~LoopWindowThread()
{
    std::unique_lock<std::mutex> lock(mutex_);
    shuttingDown_ = true;
    while (!calls_.empty()) {
        Call call = std::move(calls_.front());
        calls_.pop_front();
        serve(std::move(call), lock);
    }
}

bool LoopWindowThread::invoke(const std::function<void()>& work)
{
    if (std::this_thread::get_id() == owner_) {
        if (shuttingDown())
            return false;
        work();
        return true;
    }
    std::unique_lock<std::mutex> lock(mutex_);
    if (shuttingDown_)
        return false;
    bool served = false;
    bool ran = false;
    calls_.push_back({work, &served, &ran});
    changed_.notify_all();
    changed_.wait(lock, [&] { return served; });
    return ran;
}

void LoopWindowThread::post(std::function<void()> work)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (shuttingDown_)
        return;
    calls_.push_back({std::move(work), nullptr, nullptr});
    changed_.notify_all();
}

void LoopWindowThread::serve(Call call, std::unique_lock<std::mutex>& lock)
{
    const bool run = !shuttingDown_;
    if (run) {
        lock.unlock();
        call.work();
        lock.lock();
    }
    if (call.served) {
        *call.ran = run;
        *call.served = true;
        changed_.notify_all();
    }
}

void LoopWindowThread::serveUntil(Clock::time_point deadline)
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        if (!changed_.wait_until(lock, deadline, [this] { return !calls_.empty(); }))
            return;
        Call call = std::move(calls_.front());
        calls_.pop_front();
        serve(std::move(call), lock);
    }
}

void LoopWindowThread::serveQueuedCalls()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (std::size_t n = calls_.size(); n > 0 && !calls_.empty(); --n) {
        Call call = std::move(calls_.front());
        calls_.pop_front();
        serve(std::move(call), lock);
    }
}

void LoopWindowThread::beginShutdown()
{
    std::lock_guard<std::mutex> lock(mutex_);
    shuttingDown_ = true;
}

bool LoopWindowThread::shuttingDown() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return shuttingDown_;
}

} // namespace zentor
