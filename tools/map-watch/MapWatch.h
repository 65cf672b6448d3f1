#pragma once

#include "platform/MapPublisher.h"

namespace zentor {

// Prints the map block as one line:
//   lat 48.137000 lon 11.575000 rssi -73 dBm range -110..-40 dBm sn ZN000042
// copied under the block's mutex. When there is no block yet (nothing was published), says so
// on standard error instead and returns false.
bool printMapBlock(const MapFeedNames& names);

// Prints the block now and each time the data logger announces a new one, until the program is
// ended: on Windows on the registered window message that the logger broadcasts, on Linux on
// its session-bus signal (or once a second when there is no session bus). Returns the exit
// status when it cannot wait.
int watchMapFeed(int argc, char** argv, const MapFeedNames& names);

} // namespace zentor
