#include "app/ProgramWorkers.h"

#include "app/StatusRefresh.h"
#include "app/TMain_Router.h"
#include "gps/TGPS_Router.h"
#include "link/TCom_Router.h"
#include "nav/TNav_Router.h"

namespace zentor {

WorkerFactory programWorkerFactory(TReceiverLink& link, WindowThread& window, ProgramViews views)
{
    StatusView& view = views.status;
    WorkerFactory factory;
    factory.linkThread = [&link](const LinkSelection& selection) {
        return std::make_unique<OwnedWorker<TCom_Router>>(link, selection);
    };
    factory.mainRouter = [&link, &window, &view] {
        return std::make_unique<OwnedWorker<TMain_Router>>(
            window, link.clockEvent(), [&link, &view] { refreshStatus(link, view); },
            [&link, &view] { refreshClock(link, view); });
    };
    factory.gpsRouter = [&link, &window, views] {
        return std::make_unique<OwnedWorker<TGPS_Router>>(link, window, views.gpsPanel,
                                                          views.mapFeed);
    };
    factory.navRouter = [&window, views](int comPort) {
        auto nav = std::make_unique<OwnedWorker<TNav_Router>>(comPort, &window, views.travelPilot);
        nav->thread().setLogSink(views.travelPilotLog);
        return nav;
    };
    return factory;
}

} // namespace zentor
