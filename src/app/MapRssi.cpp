#include "app/MapRssi.h"

#include "display/ReceiverFrame.h"

#include <algorithm>

namespace zentor {

namespace {

// The strongest of the stored readings, never below the floor of the scale.
template <class Readings> int strongestDbm(const Readings& rssi)
{
    int strongest = kFloorDbm;
    for (const std::uint8_t reading : rssi)
        strongest = std::max(strongest, readingDbm(reading));
    return strongest;
}

} // namespace

std::int16_t mapRssiDbm(MeasurementMode mode, const ReceiverSnapshot& receiver)
{
    switch (mode) {
    case MeasurementMode::List:
        return static_cast<std::int16_t>(strongestDbm(receiver.listRssi));
    case MeasurementMode::Table:
        return static_cast<std::int16_t>(strongestDbm(receiver.tableRssi));
    case MeasurementMode::Single:
        break;
    }
    return static_cast<std::int16_t>(readingDbm(receiver.singleRssi));
}

} // namespace zentor
