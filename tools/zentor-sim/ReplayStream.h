#pragma once

#include "InstrumentStream.h"
#include "ReplayReport.h"
#include "logging/ReplayPace.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace zentor::sim {

// A log played back as the instrument's stream. Each client's session starts at the log's first
// packet, sent at once; the others follow by the log's pace (logging/ReplayPace.h) divided by
// `speed`, or with a speed of 0 as fast as the line takes them, none dropped. The stream ends
// after the last packet.
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
    std::vector<Bytes> lastSent(std::initializer_list<std::uint8_t> types) const;

    const ReplayLog& log_;
    double speed_;
    ReplayPace pace_;
    std::map<std::uint8_t, std::size_t> firstOfType_; // the answer types' first packets
    std::map<std::uint8_t, std::size_t> lastOfType_;  // ... and the last ones sent so far
    Bytes identification_; // empty: answered from the log's identification packets
    bool started_ = false;
    std::size_t next_ = 0;
};

} // namespace zentor::sim
