#pragma once

// The TravelPilot unit, played by a test on the far end of a real pseudo-terminal: a thread
// reads each request the data logger sends, records it with its arrival time and writes the
// reply the test's script gives for it.
#include "nav/TravelPilotFrame.h"
#include "support/PtyInstrument.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace zentor::test {

using Bytes = std::vector<std::uint8_t>;

// The frame a unit sends for `command`: the same shape as a request.
inline Bytes unitFrame(std::uint8_t command, const Bytes& data)
{
    const TravelPilotFrame f = buildTravelPilotFrame(command, data.data(), data.size());
    return Bytes(f.bytes.begin(), f.bytes.begin() + static_cast<long>(f.size));
}

class PlayedUnit
{
public:
    // The reply to one request; empty for none. Called on the unit's thread.
    using Script = std::function<Bytes(std::uint8_t command)>;
    static constexpr std::uint8_t kBadRequest = 0; // recorded for bytes that are no request

    struct Request
    {
        std::uint8_t command;
        std::chrono::steady_clock::time_point at;
    };

    PlayedUnit(PtyInstrument& line, Script script)
        : line_(line), script_(std::move(script)), thread_([this] { run(); })
    {}
    ~PlayedUnit()
    {
        stop_.store(true);
        thread_.join();
    }
    PlayedUnit(const PlayedUnit&) = delete;
    PlayedUnit& operator=(const PlayedUnit&) = delete;

    std::vector<Request> requests() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }

    std::vector<std::uint8_t> commands() const
    {
        std::vector<std::uint8_t> c;
        for (const Request& r : requests())
            c.push_back(r.command);
        return c;
    }

    // Waits until `condition` holds for the requests so far.
    bool waitFor(const std::function<bool(const std::vector<Request>&)>& condition,
                 std::chrono::milliseconds within)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        return arrived_.wait_for(lock, within, [&] { return condition(requests_); });
    }

    bool waitForRequests(std::size_t n, std::chrono::milliseconds within)
    {
        return waitFor([n](const std::vector<Request>& r) { return r.size() >= n; }, within);
    }

private:
    void run()
    {
        while (!stop_.load()) {
            Bytes request = line_.receive(kTpRequestBytes, std::chrono::milliseconds(100));
            if (request.empty())
                continue;
            if (request.size() < kTpRequestBytes) {
                const Bytes rest = line_.receive(kTpRequestBytes - request.size());
                request.insert(request.end(), rest.begin(), rest.end());
            }
            const auto command = parseTravelPilotRequest(request.data(), request.size());
            const Bytes reply = command ? script_(*command) : Bytes{};
            {
                std::lock_guard<std::mutex> lock(mutex_);
                requests_.push_back(
                    {command.value_or(kBadRequest), std::chrono::steady_clock::now()});
            }
            arrived_.notify_all();
            if (!reply.empty())
                line_.send(reply);
        }
    }

    PtyInstrument& line_;
    const Script script_;
    mutable std::mutex mutex_; // guards requests_
    std::condition_variable arrived_;
    std::vector<Request> requests_;
    std::atomic<bool> stop_{false};
    std::thread thread_; // last: it starts once the members above exist
};

} // namespace zentor::test
