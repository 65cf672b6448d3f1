#include "map/MapSettings.h"

#include <charconv>

namespace zentor {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// A whole number of dBm within the bounds, blanks around it allowed; none for anything else.
std::optional<int> boundFromText(const std::string& text)
{
    std::size_t first = 0, end = text.size();
    while (first < end && isBlank(text[first]))
        ++first;
    while (end > first && isBlank(text[end - 1]))
        --end;
    int value = 0;
    const char* begin = text.data() + first;
    const auto [stop, error] = std::from_chars(begin, text.data() + end, value);
    if (first == end || error != std::errc() || stop != text.data() + end ||
        value < kLowestMapRangeDbm || value > kHighestMapRangeDbm)
        return std::nullopt;
    return value;
}

std::string boundRefusal(const char* which, const std::string& text)
{
    return std::string("The ") + which + " value for the color range must be a whole number from " +
           std::to_string(kLowestMapRangeDbm) + " to " + std::to_string(kHighestMapRangeDbm) +
           " dBm, not \"" + text + "\".";
}

} // namespace

MapRangeReading readMapRange(const std::string& minText, const std::string& maxText)
{
    MapRangeReading reading;
    const std::optional<int> low = boundFromText(minText);
    const std::optional<int> high = boundFromText(maxText);
    if (!low)
        reading.refusal = boundRefusal("minimum", minText);
    else if (!high)
        reading.refusal = boundRefusal("maximum", maxText);
    else if (*low >= *high)
        reading.refusal = "The minimum value for the color range (" + std::to_string(*low) +
                          " dBm) must be below the maximum (" + std::to_string(*high) + " dBm).";
    else
        reading.range = MapRange{static_cast<std::int16_t>(*low), static_cast<std::int16_t>(*high)};
    return reading;
}

std::uint32_t MapSettings::packed(MapRange range)
{
    return static_cast<std::uint32_t>(static_cast<std::uint16_t>(range.minDbm)) << 16 |
           static_cast<std::uint16_t>(range.maxDbm);
}

void MapSettings::setRange(MapRange range)
{
    range_.store(packed(range), std::memory_order_release);
}

MapRange MapSettings::range() const
{
    const std::uint32_t both = range_.load(std::memory_order_acquire);
    return {static_cast<std::int16_t>(both >> 16), static_cast<std::int16_t>(both & 0xFFFF)};
}

void MapSettings::setReceiver(int receiverIndex)
{
    receiver_.store(receiverIndex, std::memory_order_release);
}

} // namespace zentor
