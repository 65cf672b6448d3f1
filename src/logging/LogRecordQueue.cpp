#include "logging/LogRecordQueue.h"

#include <utility>

namespace zentor {

LogRecordQueue::LogRecordQueue(std::size_t limitBytes) : limitBytes_(limitBytes)
{
    waiting_.bytes.reserve(limitBytes_);
}

LogRecordQueue::Push LogRecordQueue::push(const std::uint8_t* data, std::uint16_t count)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (count == 0 || count > kLogRecordCapacity || !data) {
        ++counts_.rejected;
        return Push::Rejected;
    }
    if (waiting_.bytes.size() + count > limitBytes_) {
        if (loss_.records == 0)
            loss_.firstAtByte = counts_.acceptedBytes;
        ++loss_.records;
        loss_.bytes += count;
        ++counts_.lost;
        return Push::Dropped;
    }
    const bool wasEmpty = waiting_.empty();
    waiting_.bytes.insert(waiting_.bytes.end(), data, data + count);
    waiting_.sizes.push_back(count);
    ++counts_.accepted;
    counts_.acceptedBytes += count;
    return wasEmpty ? Push::AcceptedIntoEmpty : Push::Accepted;
}

void LogRecordQueue::takeAll(LogBatch& batch)
{
    batch.bytes.clear();
    batch.sizes.clear();
    std::lock_guard<std::mutex> lock(mutex_);
    std::swap(batch, waiting_);
    // The first batch arrives without space of its own; from then on the two trade buffers.
    if (waiting_.bytes.capacity() < limitBytes_)
        waiting_.bytes.reserve(limitBytes_);
}

LogLoss LogRecordQueue::takeLoss()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(loss_, LogLoss{});
}

LogRecordQueue::Counts LogRecordQueue::counts() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return counts_;
}

} // namespace zentor
