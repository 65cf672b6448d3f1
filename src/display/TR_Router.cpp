#include "display/TR_Router.h"

#include <utility>

namespace zentor {

TR_Router::TR_Router(int r, ReceiverState& state, WindowThread& window, DisplayUpdate update)
    : EventWorker({&state.receiverDataEvent(r)}, kWaitTimeout), r_(r),
      dataEvent_(state.receiverDataEvent(r)), window_(window), update_(std::move(update))
{
    start();
}

TR_Router::~TR_Router()
{
    stop();
}

void TR_Router::onEvent(int signalled)
{
    if (signalled == kTimedOut)
        return;
    const auto frameStart = std::chrono::steady_clock::now();
    // A refused call (shutdown has begun) takes no copy: the event is cleared here so that
    // single-mode readings are not held back meanwhile.
    if (!update_ || !window_.invoke(update_))
        dataEvent_.reset();
    const auto drawn = std::chrono::steady_clock::now() - frameStart;
    if (drawn < kFrameInterval)
        pause(std::chrono::duration_cast<std::chrono::milliseconds>(kFrameInterval - drawn));
}

} // namespace zentor
