#include "nav/TravelPilotWatchdog.h"

namespace zentor {

WatchdogStep TravelPilotWatchdog::tick(bool answered)
{
    WatchdogStep step;
    if (answered) {
        misses_ = 0;
        step.look = WatchdogStep::Look::Normal;
        return step;
    }
    step.requestPosition = true;
    ++misses_;
    step.beep = misses_ >= kWarningMisses;
    if (misses_ == kWarningMisses)
        step.look = WatchdogStep::Look::Warning;
    return step;
}

} // namespace zentor
