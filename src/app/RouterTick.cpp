#include "app/RouterTick.h"

namespace zentor {

void tickRouters(Event* mainRefreshEvent, TReceiverLink& link)
{
    if (mainRefreshEvent)
        mainRefreshEvent->set();
    for (int r = 0; r < kReceiverCount; ++r) {
        if (link.takeNewData(r))
            link.receiverDataEvent(r).set();
    }
}

} // namespace zentor
