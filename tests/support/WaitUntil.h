#pragma once

// A polling wait with a deadline, for tests that watch another thread or process reach a state.
#include <chrono>
#include <functional>
#include <thread>

namespace zentor::test {

// Polls `condition` until it holds or `within` has passed; true when it held.
inline bool waitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds within = std::chrono::milliseconds(5000))
{
    const auto deadline = std::chrono::steady_clock::now() + within;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

} // namespace zentor::test
