#pragma once

#include <cstdint>

namespace zentor {

// What the main window does for one tick of the TravelPilot watchdog.
struct WatchdogStep
{
    enum class Look
    {
        Unchanged, // leave gbTravelPilot and lWarning as they are
        Normal,    // gbTravelPilot in the button-face colour, lWarning hidden
        Warning,   // gbTravelPilot red, lWarning shown
    };

    bool requestPosition = false; // send a position request through the TravelPilot thread
    bool beep = false;            // sound the exclamation beep
    Look look = Look::Unchanged;
};

// The TravelPilot watchdog of the main window's one-second tick: it notices a unit that has
// stopped answering. Each tick is given whether the TravelPilot thread marked an answer since
// the tick before (the mark is taken, so cleared, by the caller).
//
// States, by the miss count (ticks in a row without an answer, 8 bits):
//   0         answering: everything normal
//   1 to 4    missing: a position request each tick, nothing shown yet
//   5         the warning appears (red group, "Not Responding!!!") and the beep starts
//   6 to 255  still missing: request and beep every tick
// An answer brings the count back to 0 and the look back to normal. Like the 8-bit count it
// is, the count wraps after 255 to 0, so a unit silent for over four minutes gets five quiet
// ticks (still red) before the beep resumes.
//
// Window thread only.
class TravelPilotWatchdog
{
public:
    static constexpr std::uint8_t kWarningMisses = 5;

    WatchdogStep tick(bool answered);
    std::uint8_t missCount() const { return misses_; }

private:
    std::uint8_t misses_ = 0;
};

} // namespace zentor
