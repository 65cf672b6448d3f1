#include "display/TR_Router.h"

#include <utility>

namespace zentor {

TR_Router::TR_Router(int r, ReceiverState& state, WindowThread& window, DisplayUpdate update)
    : r_(r), dataEvent_(state.receiverDataEvent(r)), window_(window),
      update_(std::move(update)), waitOrder_{&dataEvent_, &wake_}
{
    thread_.start([this] { Execute(); });
}

TR_Router::~TR_Router()
{
    requestTerminate();
}

void TR_Router::requestTerminate()
{
    thread_.requestTerminate();
    wake_.set();
}

void TR_Router::Execute()
{
    while (!thread_.terminateRequested()) {
        const int signalled = Event::waitAny(waitOrder_, kWaitTimeout);
        if (signalled != 0 || thread_.terminateRequested())
            continue;
        const auto frameStart = std::chrono::steady_clock::now();
        // A refused call (shutdown has begun) takes no copy: the event is cleared here so that
        // single-mode readings are not held back meanwhile.
        if (!update_ || !window_.invoke(update_))
            dataEvent_.reset();
        const auto drawn = std::chrono::steady_clock::now() - frameStart;
        if (drawn < kFrameInterval)
            wake_.wait(
                std::chrono::duration_cast<std::chrono::milliseconds>(kFrameInterval - drawn));
    }
}

} // namespace zentor
