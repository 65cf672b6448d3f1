#include "map/MapSettings.h"

#include <algorithm>
#include <cstddef>
#include <limits>

namespace zentor {

namespace {

constexpr long kLowest = std::numeric_limits<std::int16_t>::min();
constexpr long kHighest = std::numeric_limits<std::int16_t>::max();
// The magnitude never needs to grow past this: anything larger clamps alike.
constexpr long kMagnitudeCap = -kLowest;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

std::int16_t rangeValueFromText(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long magnitude = 0;
    for (; i < text.size() && isDigit(text[i]); ++i)
        magnitude = std::min(magnitude * 10 + (text[i] - '0'), kMagnitudeCap);
    const long value = negative ? -magnitude : magnitude;
    return static_cast<std::int16_t>(std::clamp(value, kLowest, kHighest));
}

void MapSettings::setRangeMinText(const std::string& text)
{
    rangeMinDbm_.store(rangeValueFromText(text), std::memory_order_release);
}

void MapSettings::setRangeMaxText(const std::string& text)
{
    rangeMaxDbm_.store(rangeValueFromText(text), std::memory_order_release);
}

void MapSettings::setReceiver(int receiverIndex)
{
    receiver_.store(receiverIndex, std::memory_order_release);
}

} // namespace zentor
