#pragma once

#include <array>
#include <cstdint>

// What the simulated instrument's two receivers are set up to scan. All tunings are counts: a
// count c is the frequency c x step size.
namespace zentor::sim {

constexpr int kReceivers = 2;
constexpr int kListEntries = 10;
constexpr int kTableEntries = 3072; // table indexes 0-3071

struct ReceiverPlan
{
    std::int32_t startCount = 0;
    std::int32_t stopCount = 0;
    std::uint32_t stepKHzX256 =
        0;                     // step size in kHz times 256, as the configuration block holds it
    bool channelsWrap = false; // numbering flag: the first 34 steps are channels 991..1024
    std::array<std::int32_t, kListEntries> listCounts{}; // the list of scan points

    // The single-mode tuning, which is also the first list entry.
    std::int32_t currentCount() const { return listCounts[0]; }
    double stepKHz() const { return stepKHzX256 / 256.0; }
    double frequencyMHz(std::int32_t count) const { return count * stepKHz() / 1000.0; }

    // The channel number a receiver shows for a count: the step offset + 1, or with the
    // numbering flag 991..1024 for the first 34 steps and 1, 2, 3 ... after them.
    std::int32_t channelOfCount(std::int32_t count) const;

    // The table index under which table mode reports a count (the channel number - 1), or -1
    // when that is beyond the table.
    int tableIndexOfCount(std::int32_t count) const;
};

using BandPlan = std::array<ReceiverPlan, kReceivers>;

// Receiver 1: the 900 MHz cellular band downlink, 928.4-959.8 MHz in 200 kHz steps, numbered
// 991..1024, 1..124 with the numbering flag. Receiver 2: a 390-395 MHz trunked radio band in
// 25 kHz steps, channels 1..201. The lists hold the carriers of the simulated sites.
BandPlan defaultBandPlan();

} // namespace zentor::sim
