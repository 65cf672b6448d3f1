#pragma once

#include "link/LinkInterfaces.h"
#include "link/PacketTypes.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <utility>
#include <vector>

namespace zentor {

// Counts the packet records the receiver protocol hands over, by packet type, and passes each
// on unchanged to the log hand-over behind it (which drops them while log mode is off). The
// headless run makes it the receiver protocol's log sink.
//
// Threads: handOver on the link and TravelPilot threads; counts() on any thread.
class PacketCounter final : public LogSink
{
public:
    // `next` must outlive the counter's use as a sink.
    explicit PacketCounter(LogSink& next) : next_(next) {}

    // A record shorter than its length word and type byte is passed on but not counted.
    void handOver(const std::uint8_t* data, std::uint16_t count) override;

    // The types seen so far with their counts, in type order.
    std::vector<std::pair<int, std::uint32_t>> counts() const;

private:
    LogSink& next_;
    std::array<std::atomic<std::uint32_t>, 256> byType_{};
};

} // namespace zentor
