#pragma once

#include <cstdint>
#include <vector>

namespace zentor::sim {

// The pace of a log played back at the speed it was recorded, from the instrument's own clock:
// it sends a clock packet (type 4) once a second, so each clock packet starts a new second and
// the packets from it up to the next one are spread evenly over that second. Before the first
// clock packet and after the last, the packets keep the pace of the nearest whole second. A log
// with fewer than two clock packets has no seconds to go by and goes at
// kUnclockedPacketsPerSecond. The value of a clock packet is not read, so a gap in a log
// (logging switched off and on again into the same file) does not become a long pause.
constexpr int kUnclockedPacketsPerSecond = 20;

// For each packet of the log, given by its type in log order, when it goes out: seconds after
// the first one (which goes at 0), never decreasing.
std::vector<double> replaySchedule(const std::vector<std::uint8_t>& types);

} // namespace zentor::sim
