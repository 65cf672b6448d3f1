#include "app/TMain_Router.h"

namespace zentor {

namespace {

// Positions in the wait list: an earlier event wins when several are set.
constexpr int kRefreshSignalled = 0;
constexpr int kClockSignalled = 1;

} // namespace

TMain_Router::TMain_Router(WindowThread& window, Event& clockEvent, WindowWork statusRefresh,
                           WindowWork clockRefresh)
    : EventWorker({&refreshEvent_, &clockEvent}, kWaitTimeout), window_(window),
      clockEvent_(clockEvent), statusRefresh_(std::move(statusRefresh)),
      clockRefresh_(std::move(clockRefresh))
{
    start();
}

TMain_Router::~TMain_Router()
{
    stop();
}

void TMain_Router::onEvent(int signalled)
{
    // Each event is reset before its refresh reads the state, so that a change stored while the
    // refresh runs sets it again and is served on the next pass.
    if (signalled == kRefreshSignalled) {
        refreshEvent_.reset();
        window_.invoke(statusRefresh_);
    } else if (signalled == kClockSignalled) {
        clockEvent_.reset();
        window_.invoke(clockRefresh_);
    }
}

} // namespace zentor
