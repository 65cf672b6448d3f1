#pragma once

#include "app/StatusView.h"
#include "app/WorkerStartup.h"
#include "gps/TGPS_Router.h"
#include "link/LinkInterfaces.h"
#include "link/TReceiverLink.h"
#include "nav/TNav_Router.h"
#include "ui/WindowThread.h"

namespace zentor {

// The window-side updates of the program's workers, each run on the window thread.
struct ProgramViews
{
    StatusView& status;                    // the main router's refreshes
    TGPS_Router::PanelUpdate gpsPanel;     // the GPS screen and the "GPS Data" group
    TGPS_Router::MapFeedPublisher mapFeed; // after each GPS panel update, on the GPS thread
    TNav_Router::ShowTexts travelPilot;    // the TravelPilot group's fields
    LogSink* travelPilotLog = nullptr;     // log mode's hand-over (drops while logging is off)
};

// The factory of the program's real worker threads: the link thread on `link`, the main router
// and the GPS router updating `views` through `window`, the TravelPilot thread. The references
// must outlive every worker the factory builds.
WorkerFactory programWorkerFactory(TReceiverLink& link, WindowThread& window, ProgramViews views);

} // namespace zentor
