#pragma once

#include "SimPacket.h"

#include <cstdint>
#include <vector>

namespace zentor::sim {

// What the session sends on the instrument's port: the simulated instrument's packets, or a log
// played back. Everything is handed over as whole wire frames (0xAA, L, body), on a clock in
// milliseconds that the session keeps. Driven by one thread.
class InstrumentStream
{
public:
    virtual ~InstrumentStream() = default;

    // A client opened the port at `nowMs`: the stream starts again from its beginning. Returns
    // what goes out first (may be empty).
    virtual std::vector<Bytes> start(std::int64_t nowMs) = 0;

    // The frames that answer one command from the PC; empty when there is no answer.
    virtual std::vector<Bytes> answer(std::uint8_t command) const = 0;

    // The frames due at or before `nowMs`, in order; a bounded batch, so a stream that is far
    // ahead of the line hands the rest over on later calls.
    virtual std::vector<Bytes> due(std::int64_t nowMs) = 0;

    // When the next frame falls due; far in the future when none is left.
    virtual std::int64_t nextDueMs() const = 0;

    // True once a started stream has handed over its last frame: the run is then over.
    virtual bool ended() const = 0;

    // What a client's session is called in messages: "measurement", "replay".
    virtual const char* activity() const = 0;
};

} // namespace zentor::sim
