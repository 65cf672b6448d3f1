#pragma once

#include "map/MapBlock.h"
#include "map/MapSettings.h"
#include "platform/MapPublisher.h"

#include <cstdint>
#include <memory>
#include <string>

namespace zentor {

// The map feed: after each GPS panel update the GPS thread publishes the unfiltered position,
// the map RSSI value and the instrument's serial number, with the colour range of the map
// settings, to the mapping application (the shared block of MapBlock.h, then the update
// message). The block and the message registration are made by the first publication. Nothing is
// ever reported: a block that cannot be made or written is skipped, with its announcement.
//
// Threads: one thread publishes (the GPS thread); `settings` may change on the window thread
// meanwhile.
class MapFeed
{
public:
    // `settings` must outlive the feed. `announcer` may be null (nothing announced); the
    // program passes programMapAnnouncer() (map/MapUpdateSignal.h).
    MapFeed(const MapSettings& settings, std::unique_ptr<MapAnnouncer> announcer,
            MapFeedNames names = {});

    // One publication with the colour range of the settings. True when the block was written.
    bool publish(double latitudeDeg, double longitudeDeg, std::int16_t rssiDbm,
                 const std::string& serialNumber);
    // One publication of exactly these values.
    bool publish(const MapFeedValues& values);

private:
    const MapSettings& settings_;
    MapPublisher publisher_;
};

} // namespace zentor
