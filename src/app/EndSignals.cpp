#include "app/EndSignals.h"

#include <csignal>

namespace zentor {

namespace {

// The one thing a signal handler may safely touch.
volatile std::sig_atomic_t endRequested = 0;

extern "C" void recordEndSignal(int)
{
    endRequested = 1;
}

} // namespace

void catchEndSignals()
{
    std::signal(SIGINT, recordEndSignal);
    std::signal(SIGTERM, recordEndSignal);
#ifdef SIGHUP
    // The terminal or the desktop session that started the program has gone.
    std::signal(SIGHUP, recordEndSignal);
#endif
}

bool endSignalled()
{
    return endRequested != 0;
}

} // namespace zentor
