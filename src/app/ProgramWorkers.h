#pragma once

#include "app/StatusView.h"
#include "app/WorkerStartup.h"
#include "link/TReceiverLink.h"
#include "ui/WindowThread.h"

namespace zentor {

// The factory of the program's real worker threads: the link thread on `link`, the main router
// refreshing `view` through `window`, the GPS router on the link's GPS event, the TravelPilot
// thread. The three references must outlive every worker the factory builds.
WorkerFactory programWorkerFactory(TReceiverLink& link, WindowThread& window, StatusView& view);

} // namespace zentor
