#pragma once

#include "platform/MapPublisher.h"

#include <QObject>

namespace zentor {

// Prints the map block as one line:
//   lat 48.137000 lon 11.575000 rssi -73 dBm range -110..-40 dBm sn ZN000042
// copied under the block's mutex. When there is no block yet (nothing was published), says so
// on standard error instead and returns false.
bool printMapBlock(const MapFeedNames& names);

// Prints the block each time it is told to (by the update signal or a timer).
class MapWatcher : public QObject
{
    Q_OBJECT

public:
    explicit MapWatcher(MapFeedNames names) : names_(std::move(names)) {}

public slots:
    void print() { printMapBlock(names_); }

private:
    const MapFeedNames names_;
};

} // namespace zentor
