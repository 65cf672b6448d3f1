#pragma once

#include "app/Selections.h"
#include "app/Workers.h"

#include <functional>
#include <memory>

// Starting the worker threads on the connection dialog's OK, and the order in which they are
// told to terminate when the program closes.
namespace zentor {

// Builds and starts each worker the connection dialog starts. The program's factory builds the
// real threads; tests give their own.
struct WorkerFactory
{
    std::function<std::unique_ptr<WorkerHandle>(const LinkSelection&)> linkThread;
    std::function<std::unique_ptr<WorkerHandle>()> mainRouter;
    std::function<std::unique_ptr<WorkerHandle>()> gpsRouter;
    std::function<std::unique_ptr<WorkerHandle>(int comPort)> navRouter;
};

// Starts, in this order, the link thread, the main router, then the TravelPilot thread on
// `travelPilotComPort` (navigation mode 1) or the GPS router (navigation mode 0). Window thread.
void startWorkers(const Selections& selections, int travelPilotComPort,
                  const WorkerFactory& factory, Workers& workers);

// The main window closes: the link thread (RS-232 only; a USB link is left running until the
// connection dialog goes), receiver router 1 and 2, the TravelPilot thread or the GPS router,
// the main router are told to terminate. Nobody waits here (log mode is ended by the window).
void terminateOnFormClose(const Selections& selections, Workers& workers);

// The connection dialog is destroyed: the TravelPilot thread (navigation mode 1), then the link
// thread, whatever its transport, are told to terminate.
void terminateOnDialogDestroy(const Selections& selections, Workers& workers);

} // namespace zentor
