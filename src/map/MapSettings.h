#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

namespace zentor {

// The map feed's colour range in whole dBm: readings at or below `minDbm` take the colour of no
// signal, at or above `maxDbm` the strongest.
struct MapRange
{
    std::int16_t minDbm = 0;
    std::int16_t maxDbm = 0;

    bool operator==(const MapRange& other) const
    {
        return minDbm == other.minDbm && maxDbm == other.maxDbm;
    }
};

// The bounds a colour range may take: the instrument's levels that a map can tell apart.
constexpr int kLowestMapRangeDbm = -120;
constexpr int kHighestMapRangeDbm = -30;

// A colour range read from its two texts (the map range dialog's boxes, the command line's
// MIN,MAX): either the range, or why it is refused.
struct MapRangeReading
{
    std::optional<MapRange> range;
    std::string refusal; // a sentence for the user; empty when `range` is set
};

// Each text a whole number of dBm from kLowestMapRangeDbm to kHighestMapRangeDbm (blanks around it
// allowed, nothing else), the minimum below the maximum. Anything else is refused: a range of
// 0 dBm or 32767 dBm, or one turned round, would colour a whole drive alike.
MapRangeReading readMapRange(const std::string& minText, const std::string& maxText);

// The settings of the map feed as the workers read them: the colour range and the receiver whose
// readings feed the map (UseR1 / UseR2). They change only as a whole, accepted (the map range
// dialog's OK, the command line), on the window thread or before the workers start; the GPS
// thread reads them, so no worker ever reads a widget. The range is one atomic value, so a reader
// never sees the minimum of one range with the maximum of another.
class MapSettings
{
public:
    static constexpr std::int16_t kDefaultRangeMinDbm = -120;
    static constexpr std::int16_t kDefaultRangeMaxDbm = -50;
    static constexpr int kDefaultReceiver = 0; // receiver #1

    // Window thread. `range` must be one readMapRange accepts.
    void setRange(MapRange range);
    // 0 for receiver #1, 1 for receiver #2.
    void setReceiver(int receiverIndex);

    // Any thread.
    MapRange range() const;
    int receiver() const { return receiver_.load(std::memory_order_acquire); }

private:
    static std::uint32_t packed(MapRange range);

    std::atomic<std::uint32_t> range_{packed({kDefaultRangeMinDbm, kDefaultRangeMaxDbm})};
    std::atomic<int> receiver_{kDefaultReceiver};
};

} // namespace zentor
