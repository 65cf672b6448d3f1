#include "app/WorkerStartup.h"

namespace zentor {

void startWorkers(const Selections& selections, int travelPilotComPort,
                  const WorkerFactory& factory, Workers& workers)
{
    workers.adopt(WorkerId::Link, factory.linkThread(selections.link));
    workers.adopt(WorkerId::Main, factory.mainRouter());
    if (selections.navigationMode == Selections::kTravelPilot)
        workers.adopt(WorkerId::Nav, factory.navRouter(travelPilotComPort));
    else
        workers.adopt(WorkerId::Gps, factory.gpsRouter());
}

void terminateOnFormClose(const Selections& selections, Workers& workers)
{
    if (selections.link.transport != LinkSelection::kUsb)
        workers.requestTerminate(WorkerId::Link);
    workers.requestTerminate(WorkerId::Receiver1);
    workers.requestTerminate(WorkerId::Receiver2);
    if (selections.navigationMode == Selections::kTravelPilot)
        workers.requestTerminate(WorkerId::Nav);
    else
        workers.requestTerminate(WorkerId::Gps);
    workers.requestTerminate(WorkerId::Main);
}

void terminateOnDialogDestroy(const Selections& selections, Workers& workers)
{
    if (selections.navigationMode == Selections::kTravelPilot)
        workers.requestTerminate(WorkerId::Nav);
    workers.requestTerminate(WorkerId::Link);
}

} // namespace zentor
