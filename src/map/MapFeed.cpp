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
    values.rangeMinDbm = settings_.rangeMinDbm();
    values.rangeMaxDbm = settings_.rangeMaxDbm();
    values.serialNumber = serialNumber;
    return publish(values);
}

bool MapFeed::publish(const MapFeedValues& values)
{
    return publisher_.publish([&values](std::uint8_t* block) { composeMapBlock(block, values); });
}

} // namespace zentor
