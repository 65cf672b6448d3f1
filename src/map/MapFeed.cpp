#include "map/MapFeed.h"

namespace zentor {

MapFeed::MapFeed(const MapSettings& settings, std::unique_ptr<MapAnnouncer> announcer,
                 MapFeedNames names)
    : settings_(settings), publisher_(std::move(names), std::move(announcer))
{}

bool MapFeed::publish(double latitudeDeg, double longitudeDeg, std::int16_t rssiDbm,
                      const std::string& serialNumber)
{
    MapFeedValues values;
    values.latitudeDeg = latitudeDeg;
    values.longitudeDeg = longitudeDeg;
    values.rssiDbm = rssiDbm;
    const MapRange range = settings_.range();
    values.rangeMinDbm = range.minDbm;
    values.rangeMaxDbm = range.maxDbm;
    values.serialNumber = serialNumber;
    return publish(values);
}

bool MapFeed::publish(const MapFeedValues& values)
{
    return publisher_.publish([&values](std::uint8_t* block) { composeMapBlock(block, values); });
}

} // namespace zentor
