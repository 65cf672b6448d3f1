#include "TransmitLedger.h"

#include <cstdio>

namespace zentor::sim {

TransmitLedger::TransmitLedger(RecordFile* record) : record_(record) {}

void TransmitLedger::queued(ChunkKind kind, std::size_t size)
{
    inFlight_.push_back({kind, queuedEnd_, queuedEnd_ + size});
    queuedEnd_ += size;
}

void TransmitLedger::written(const std::uint8_t* data, std::size_t n)
{
    for (const ReferenceReceiver::Found& found : receiver_.push(data, n)) {
        ++counts_.recordsFound;
        for (const InFlight& chunk : inFlight_)
            if (chunk.begin == found.syncOffset && chunk.kind == ChunkKind::Intact)
                ++counts_.intactFound;
        if (record_ != nullptr)
            record_->append(found.record);
    }
    while (!inFlight_.empty() && inFlight_.front().end <= receiver_.offset()) {
        count(inFlight_.front().kind);
        inFlight_.pop_front();
    }
}

void TransmitLedger::sessionEnded()
{
    inFlight_.clear();
    queuedEnd_ = receiver_.offset();
    receiver_.restart();
    if (record_ != nullptr)
        record_->flush();
}

void TransmitLedger::count(ChunkKind kind)
{
    switch (kind) {
    case ChunkKind::Garbage:
        ++counts_.garbageBursts;
        return;
    case ChunkKind::BitFlip:
        ++counts_.bitFlips;
        break;
    case ChunkKind::Truncated:
        ++counts_.truncations;
        break;
    case ChunkKind::Intact:
        break;
    }
    ++counts_.framesSent;
}

std::string TransmitLedger::summary() const
{
    char line[256];
    std::snprintf(line, sizeof line,
                  "%llu frames sent, %llu damaged (%llu bit flips, %llu truncated), %llu garbage "
                  "bursts; a receiver finds %llu packet records, %llu of them intact frames",
                  static_cast<unsigned long long>(counts_.framesSent),
                  static_cast<unsigned long long>(counts_.damaged()),
                  static_cast<unsigned long long>(counts_.bitFlips),
                  static_cast<unsigned long long>(counts_.truncations),
                  static_cast<unsigned long long>(counts_.garbageBursts),
                  static_cast<unsigned long long>(counts_.recordsFound),
                  static_cast<unsigned long long>(counts_.intactFound));
    return line;
}

} // namespace zentor::sim
