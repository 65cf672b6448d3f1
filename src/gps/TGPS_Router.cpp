#include "gps/TGPS_Router.h"

namespace zentor {

TGPS_Router::TGPS_Router(Event& gpsEvent) : gpsEvent_(gpsEvent), waitOrder_{&gpsEvent_, &wake_}
{
    thread_.start([this] { Execute(); });
}

TGPS_Router::~TGPS_Router()
{
    requestTerminate();
}

void TGPS_Router::requestTerminate()
{
    thread_.requestTerminate();
    wake_.set();
}

void TGPS_Router::Execute()
{
    while (!thread_.terminateRequested()) {
        const int signalled = Event::waitAny(waitOrder_, kWaitTimeout);
        if (signalled < 0 || thread_.terminateRequested())
            continue;
        gpsEvent_.reset();
    }
}

} // namespace zentor
