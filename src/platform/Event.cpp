#include "platform/Event.h"

#include <algorithm>
#include <cassert>

namespace zentor {

Event::Event(bool initiallySet) : signalled_(initiallySet) {}

Event::~Event()
{
    assert(waiters_.empty() && "an Event was destroyed while a thread waited on it");
}

void Event::set()
{
    signalled_.store(true, std::memory_order_release);
    std::lock_guard<std::mutex> lock(waitersMutex_);
    for (Waiter* waiter : waiters_) {
        std::lock_guard<std::mutex> waiterLock(waiter->mutex);
        waiter->woken = true;
        waiter->wake.notify_all();
    }
}

void Event::reset()
{
    signalled_.store(false, std::memory_order_release);
}

bool Event::wait(std::chrono::milliseconds timeoutMs)
{
    return waitAny({this}, timeoutMs) == 0;
}

void Event::addWaiter(Waiter* waiter)
{
    std::lock_guard<std::mutex> lock(waitersMutex_);
    waiters_.push_back(waiter);
}

void Event::removeWaiter(Waiter* waiter)
{
    std::lock_guard<std::mutex> lock(waitersMutex_);
    waiters_.erase(std::find(waiters_.begin(), waiters_.end(), waiter));
}

int Event::firstSet(const std::vector<Event*>& events)
{
    for (std::size_t i = 0; i < events.size(); ++i) {
        if (events[i]->isSet())
            return static_cast<int>(i);
    }
    return -1;
}

int Event::waitAny(const std::vector<Event*>& events, std::chrono::milliseconds timeoutMs)
{
    int index = firstSet(events);
    if (index >= 0 || timeoutMs.count() <= 0)
        return index;

    const auto deadline = std::chrono::steady_clock::now() + timeoutMs;
    Waiter waiter;
    for (Event* event : events)
        event->addWaiter(&waiter);
    {
        std::unique_lock<std::mutex> lock(waiter.mutex);
        // A set() between the registration and this check leaves woken true, so it is not missed.
        while ((index = firstSet(events)) < 0) {
            waiter.woken = false;
            if (!waiter.wake.wait_until(lock, deadline, [&] { return waiter.woken; }))
                break;
        }
        if (index < 0)
            index = firstSet(events);
    }
    for (Event* event : events)
        event->removeWaiter(&waiter);
    return index;
}

} // namespace zentor
