#pragma once

#include "core/MessageSink.h"
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
// message). The block and the message registration are made by the first publication. A block
// that cannot be made or written is skipped, with its announcement, without a word. While
// another data logger publishes, nothing is published, and the first publication that finds so
// says it once (kInUseText, a warning); each later one tries again, so the feed is taken over
// at the first publication after the other data logger has ended.
//
// Threads: one thread publishes (the GPS thread); `settings` may change on the window thread
// meanwhile.
class MapFeed
{
public:
    static constexpr const char* kInUseText =
        "The map feed is in use by another data logger: this one does not publish to the map "
        "until that one has ended.";

    // `settings` and `messages` (may be null) must outlive the feed. `announcer` may be null
    // (nothing announced); the program passes programMapAnnouncer() (map/MapUpdateSignal.h).
    MapFeed(const MapSettings& settings, std::unique_ptr<MapAnnouncer> announcer,
            MapFeedNames names = {}, MessageSink* messages = nullptr);

    // One publication with the colour range of the settings. True when the block was written.
    bool publish(double latitudeDeg, double longitudeDeg, std::int16_t rssiDbm,
                 const std::string& serialNumber);
    // One publication of exactly these values.
    bool publish(const MapFeedValues& values);

private:
    const MapSettings& settings_;
    MessageSink* const messages_;
    MapPublisher publisher_;
    bool inUseTold_ = false; // publishing thread
};

} // namespace zentor
