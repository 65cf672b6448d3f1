#pragma once

#include "FaultInjector.h"
#include "RecordFile.h"
#include "ReferenceReceiver.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

namespace zentor::sim {

struct TransmitCounts
{
    std::uint64_t framesSent = 0; // frames (damaged or not) whose last byte went out
    std::uint64_t bitFlips = 0;
    std::uint64_t truncations = 0;
    std::uint64_t garbageBursts = 0;
    std::uint64_t recordsFound = 0; // packet records a receiver finds in the bytes sent
    std::uint64_t intactFound = 0;  // of those, the ones that are a sent frame as it was built

    std::uint64_t damaged() const { return bitFlips + truncations; }
};

// Keeps account of what went out on the link: the chunks queued for writing, the bytes actually
// written, and the packet records that a correct receiver (ReferenceReceiver) finds in exactly
// those bytes, which go to the record file when there is one. Used by the session's one thread.
class TransmitLedger
{
public:
    // `record` may be null (no record file); it must outlive the ledger.
    explicit TransmitLedger(RecordFile* record);

    // A chunk of `size` bytes was queued behind the ones before it.
    void queued(ChunkKind kind, std::size_t size);

    // These bytes were written, continuing the queued chunks in order.
    void written(const std::uint8_t* data, std::size_t n);

    // The client went away: queued bytes that were not written are dropped, and the next client's
    // receiver starts hunting afresh.
    void sessionEnded();

    const TransmitCounts& counts() const { return counts_; }

    // One line for the end of a run: frames sent, damaged, garbage, records found intact.
    std::string summary() const;

private:
    struct InFlight
    {
        ChunkKind kind;
        std::uint64_t begin; // stream offsets of the chunk's first byte and one past its last
        std::uint64_t end;
    };

    void count(ChunkKind kind);

    RecordFile* record_;
    ReferenceReceiver receiver_;
    std::deque<InFlight> inFlight_;
    std::uint64_t queuedEnd_ = 0;
    TransmitCounts counts_;
};

} // namespace zentor::sim
