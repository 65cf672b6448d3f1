#include "map/MapSettings.h"

#include "map/MapRange.h"

namespace zentor {

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
