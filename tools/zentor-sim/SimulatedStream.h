#pragma once

#include "InstrumentStream.h"
#include "SimInstrument.h"

namespace zentor::sim {

// The simulated instrument as the session's stream: its packets, framed, the times they carry
// following the PC's clock. It never ends.
class SimulatedStream : public InstrumentStream
{
public:
    // `instrument` must outlive the stream.
    explicit SimulatedStream(SimInstrument& instrument) : instrument_(instrument) {}

    std::vector<Bytes> start(std::int64_t nowMs) override;
    std::vector<Bytes> answer(std::uint8_t command) const override;
    std::vector<Bytes> due(std::int64_t nowMs) override;
    std::int64_t nextDueMs() const override { return instrument_.nextDueMs(); }
    bool ended() const override { return false; }
    const char* activity() const override { return "measurement"; }

private:
    SimInstrument& instrument_;
};

} // namespace zentor::sim
