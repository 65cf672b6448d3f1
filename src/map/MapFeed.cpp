#include "map/MapFeed.h"

namespace zentor {

MapFeed::MapFeed(const MapSettings& settings, std::unique_ptr<MapAnnouncer> announcer,
                 MapFeedNames names, MessageSink* messages)
    : settings_(settings), messages_(messages), publisher_(std::move(names), std::move(announcer))
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
    const bool written =
        publisher_.publish([&values](std::uint8_t* block) { composeMapBlock(block, values); });
    if (publisher_.otherPublisher() && !inUseTold_) {
        inUseTold_ = true;
        if (messages_)
            messages_->postMessage(MessageKind::Warning, kInUseText);
    }
    return written;
}

} // namespace zentor
