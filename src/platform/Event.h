#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <vector>

namespace zentor {

// A manual-reset event: once set it stays set, waking every waiter, until reset.
// All members may be called from any thread.
class Event
{
public:
    explicit Event(bool initiallySet = false);
    ~Event();
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void set();
    void reset();
    bool isSet() const { return signalled_.load(std::memory_order_acquire); }

    // Returns true as soon as the event is set, false when timeoutMs passed without it.
    bool wait(std::chrono::milliseconds timeoutMs);

    // Waits until any of the events is set and returns the index of the first set one in the
    // order given (when several are set, the earliest in the list wins); -1 on time-out.
    static int waitAny(const std::vector<Event*>& events, std::chrono::milliseconds timeoutMs);

private:
    struct Waiter
    {
        std::mutex mutex;
        std::condition_variable wake;
        bool woken = false;
    };
    void addWaiter(Waiter* waiter);
    void removeWaiter(Waiter* waiter);
    static int firstSet(const std::vector<Event*>& events);

    std::atomic<bool> signalled_;
    std::mutex waitersMutex_;      // guards waiters_
    std::vector<Waiter*> waiters_; // threads in waitAny on this event
};

} // namespace zentor
