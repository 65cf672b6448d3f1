#pragma once

// How quickly the window thread answers: a thread of its own asks it, about every interval, to
// run an empty call through the program's WindowThread and notes how long the answer took. The
// longest answer is the worst stall a user of the window would have felt.
#include "core/WindowThread.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace zentor::test {

class WindowProbe
{
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kDefaultInterval{20};

    // The answers of a span of time.
    struct Span
    {
        std::uint64_t answers = 0;
        std::chrono::microseconds slowest{0};
        Clock::time_point slowestAskedAt{}; // when the slowest call was posted
    };

    // Starts asking at once. `window` must outlive the probe.
    explicit WindowProbe(WindowThread& window,
                         std::chrono::milliseconds interval = kDefaultInterval)
        : window_(window), interval_(interval), thread_([this] { run(); })
    {}
    // stop() must have run: a call waiting for the window thread can only be answered by it.
    ~WindowProbe()
    {
        stopping_.store(true);
        if (thread_.joinable())
            thread_.join();
    }
    WindowProbe(const WindowProbe&) = delete;
    WindowProbe& operator=(const WindowProbe&) = delete;

    // Window thread: ends the asking. `serve` handles the window thread's events, so that a call
    // still waiting is answered; it is called until the probe's thread has ended.
    void stop(const std::function<void()>& serve)
    {
        stopping_.store(true);
        while (!ended_.load())
            serve();
        if (thread_.joinable())
            thread_.join();
    }

    // The answers since the last take (or the start); the next span starts now. Any thread.
    Span takeSpan()
    {
        std::lock_guard<std::mutex> lock(spanMutex_);
        const Span span = span_;
        span_ = {};
        return span;
    }

private:
    void run()
    {
        while (!stopping_.load()) {
            const Clock::time_point asked = Clock::now();
            if (!window_.invoke([] {}))
                break; // the window thread no longer takes calls
            const auto took =
                std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - asked);
            {
                std::lock_guard<std::mutex> lock(spanMutex_);
                ++span_.answers;
                if (took > span_.slowest) {
                    span_.slowest = took;
                    span_.slowestAskedAt = asked;
                }
            }
            std::this_thread::sleep_for(interval_); // the pace of the asking
        }
        ended_.store(true);
    }

    WindowThread& window_;
    const std::chrono::milliseconds interval_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> ended_{false};
    std::mutex spanMutex_; // guards span_
    Span span_;
    std::thread thread_; // last: it starts once the members it uses exist
};

} // namespace zentor::test
