#pragma once

#include "link/MeasurementMode.h"
#include "link/ReceiverState.h"

#include <cstdint>

namespace zentor {

// The RSSI reading the map feed publishes for the chosen receiver, taken from the receiver state
// (never from what a display happens to draw, so a run without windows feeds the map the same):
// in single mode the receiver's single-mode reading, in list mode the strongest of its ten list
// readings, in table mode the strongest of its table readings; -120 dBm before any reading.
// `mode` is the measurement mode the instrument's data shows.
std::int16_t mapRssiDbm(MeasurementMode mode, const ReceiverSnapshot& receiver);

} // namespace zentor
