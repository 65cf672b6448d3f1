#pragma once

#include "link/TReceiverLink.h"
#include "platform/Event.h"

namespace zentor {

// The main window's one-second tick, after the clock: sets the main router's refresh event
// (none before the main router exists), then, for receiver 1 then 2, sets the receiver's data
// event when the receiver state marks new single-mode data, and clears the mark. So each
// receiver display is redrawn at most once a second. Window thread.
void tickRouters(Event* mainRefreshEvent, TReceiverLink& link);

} // namespace zentor
