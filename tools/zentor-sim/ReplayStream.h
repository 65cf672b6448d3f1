#pragma once

#include "InstrumentStream.h"
#include "ReplayLog.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace zentor::sim {

// A log played back as the instrument's stream. Each client's session starts at the log's first
// packet, sent at once; the others follow by the log's pace (ReplaySchedule) divided by `speed`,
// or with a speed of 0 as fast as the line takes them. No packet is dropped: when the line holds
// the replay back by more than a second, the rest of the log goes on at its pace from there
// instead of rushing to catch up. The stream ends after the last packet.
//
// Answers, as the recorded instrument would give them at this point of the replay:
// - 0x1C: the header's serial number; without one, the last identification packet (0x1C) of
//   the log sent so far (before the first, the log's first); without any, `fallbackSerial`.
// - 0x01: the last configuration packet sent so far (before the first, the log's first); a log
//   without one answers with the header's receivers record as a configuration packet; a log
//   with neither gives no answer.
// - 0x30: the last level values (5) and status blocks (6) packets sent so far, chosen the same
//   way; none when the log has neither.
class ReplayStream : public InstrumentStream
{
public:
    // `log` must outlive the stream. `speed`: 0, or from 0.01 (times the recorded pace).
    ReplayStream(const ReplayLog& log, double speed, const std::string& fallbackSerial);

    std::vector<Bytes> start(std::int64_t nowMs) override;
    std::vector<Bytes> answer(std::uint8_t command) const override;
    std::vector<Bytes> due(std::int64_t nowMs) override;
    std::int64_t nextDueMs() const override;
    bool ended() const override { return started_ && next_ == log_.frameCount(); }
    const char* activity() const override { return "replay"; }

    // Packets handed over in the current session.
    std::size_t sent() const { return next_; }

private:
    std::int64_t dueMs(std::size_t i) const;
    std::vector<Bytes> lastSent(std::initializer_list<std::uint8_t> types) const;

    const ReplayLog& log_;
    double speed_;
    std::vector<double> scheduleSeconds_;
    std::map<std::uint8_t, std::size_t> firstOfType_; // the answer types' first packets
    std::map<std::uint8_t, std::size_t> lastOfType_;  // ... and the last ones sent so far
    Bytes identification_; // empty: answered from the log's identification packets
    bool started_ = false;
    std::size_t next_ = 0;
    std::int64_t startMs_ = 0;
};

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

} // namespace zentor::sim
