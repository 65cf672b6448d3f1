#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zentor {

// The pace of a log played back at the speed it was recorded, from the instrument's own clock:
// it sends a clock packet (type 4) once a second, so each clock packet starts a new second and
// the packets from it up to the next one are spread evenly over that second. Before the first
// clock packet and after the last, the packets keep the pace of the nearest whole second. A log
// with fewer than two clock packets has no seconds to go by and goes at
// kUnclockedPacketsPerSecond. The value of a clock packet is not read, so a gap in a log
// (logging switched off and on again into the same file) does not become a long pause.
constexpr int kUnclockedPacketsPerSecond = 20;

// For each packet of the log, given by its type in log order, when it goes out: seconds after
// the first one (which goes at 0), never decreasing.
std::vector<double> replaySchedule(const std::vector<std::uint8_t>& types);

// When each packet of a replayed log falls due, on a clock in milliseconds: by the schedule
// above divided by the speed, or, with a speed of 0, at once. The pace is anchored at one packet
// and a time; a new speed, a resumed pause or a jump anchors it again at the next packet. No
// packet is dropped: when the reader holds the replay back by more than kMaxLagMs, the rest goes
// on at its pace from there instead of rushing to catch up. Not thread-safe.
class ReplayPace
{
public:
    static constexpr std::int64_t kMaxLagMs = 1000;

    explicit ReplayPace(const std::vector<std::uint8_t>& types);

    std::size_t packetCount() const { return seconds_.size(); }
    // The packet's moment in the drive: seconds after the first packet.
    double secondsAt(std::size_t i) const { return seconds_[i]; }
    // The drive's length: the last packet's moment; 0 for an empty log.
    double totalSeconds() const { return seconds_.empty() ? 0.0 : seconds_.back(); }

    // Packet `next` falls due at `nowMs`, the others after it by the pace at `speed` (0: at once).
    void anchor(std::size_t next, std::int64_t nowMs, double speed);
    double speed() const { return speed_; }

    // When packet i falls due.
    std::int64_t dueMs(std::size_t i) const;

    // How many packets from `next` on are due at `nowMs`, at most `limit`. Anchors the pace at
    // `next` first when it lags more than kMaxLagMs behind.
    std::size_t dueCount(std::size_t next, std::int64_t nowMs, std::size_t limit);

private:
    std::vector<double> seconds_;
    std::size_t anchorIndex_ = 0;
    std::int64_t anchorMs_ = 0;
    double speed_ = 1.0;
};

} // namespace zentor
