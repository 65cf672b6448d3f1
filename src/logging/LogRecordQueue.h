#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace zentor {

// The largest record a log takes: the byte area of the system's log record.
constexpr std::size_t kLogRecordCapacity = 8192;

// Records taken from the queue in one go, in the order they were handed over.
struct LogBatch
{
    std::vector<std::uint8_t> bytes;  // the records one after the other
    std::vector<std::uint16_t> sizes; // the byte count of each record, in order

    bool empty() const { return sizes.empty(); }
};

// Records the queue had to drop because it was full.
struct LogLoss
{
    std::uint64_t records = 0;
    std::uint64_t bytes = 0;
    // Bytes accepted since the queue was made, up to the first of the dropped records: where the
    // gap lies in the stream of records.
    std::uint64_t firstAtByte = 0;
};

// The FIFO between the threads that hand log records over and the thread that writes them: it
// keeps every record, in order, up to a fixed number of bytes waiting. Any thread may call every
// member; one mutex guards everything, and each call holds it only for a copy or a swap.
class LogRecordQueue
{
public:
    enum class Push
    {
        Accepted,          // queued behind others
        AcceptedIntoEmpty, // queued, and the queue was empty: the writer may be asleep
        Rejected,          // no bytes, or more than a log record holds (8192)
        Dropped,           // the queue is full; counted as lost
    };

    struct Counts
    {
        std::uint64_t accepted = 0;      // records queued since the queue was made
        std::uint64_t acceptedBytes = 0; // their bytes
        std::uint64_t rejected = 0;
        std::uint64_t lost = 0; // records dropped because the queue was full
    };

    // `limitBytes` is the most record bytes waiting at any time. The space is reserved here and
    // the writer's batch trades buffers with the queue, so pushes never allocate once the
    // per-record size list has grown.
    explicit LogRecordQueue(std::size_t limitBytes);

    // Copies `count` bytes in as one record.
    Push push(const std::uint8_t* data, std::uint16_t count);

    // Moves every waiting record into `batch`, whose earlier contents are dropped and whose
    // buffers the queue keeps for the next records.
    void takeAll(LogBatch& batch);

    // The records dropped since the last call, and clears that count.
    LogLoss takeLoss();

    Counts counts() const;

private:
    const std::size_t limitBytes_;
    mutable std::mutex mutex_; // guards every member below
    LogBatch waiting_;
    Counts counts_;
    LogLoss loss_;
};

} // namespace zentor
