#pragma once

#include "CivilTime.h"
#include "GpsRecord.h"
#include "Route.h"
#include "SimRandom.h"

namespace zentor::sim {

// What the instrument's GPS receiver reports at `utc`, `seconds` into the run, while the vehicle
// is at `where`: a 3D fix from eight of ten visible satellites, the unfiltered position a few
// metres off the filtered one, signal strengths, DOP, clock bias, oscillator offset and the
// receiver's temperature drifting slowly. Draws its noise from `noise`.
GpsFix simulateGpsFix(const CivilTime& utc, double seconds, const RoutePoint& where,
                      SimRandom& noise);

} // namespace zentor::sim
