#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace zentor {

constexpr int kListEntries = 10;

// What a receiver scans, in counts of its step size. Filled from the configuration packet
// (start, stop, step, numbering flag) and the channel information packets (current count, list).
struct ReceiverRange
{
    std::int32_t startCount = 0;
    std::int32_t stopCount = 0;
    std::array<std::int32_t, kListEntries> listCounts{};
    bool channelsWrap = false;     // the numbering flag: the first 34 steps are channels 991..1024
    std::int32_t currentCount = 0; // the single-mode tuning
    double stepKHz = 0.0;
};

// Frequency in MHz of a count.
double frequencyMHz(const ReceiverRange& range, std::int32_t count);

// Channel number of a count: step offset + 1, or with the numbering flag 991..1024 for the first
// 34 steps and 1, 2, 3 ... after them.
std::int32_t channelOfCount(const ReceiverRange& range, std::int32_t count);

// Count of a channel number (the inverse of channelOfCount).
std::int32_t countOfChannel(const ReceiverRange& range, std::int32_t channel);

} // namespace zentor
