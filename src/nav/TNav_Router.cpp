#include "nav/TNav_Router.h"

namespace zentor {

TNav_Router::TNav_Router(int comPort) : comPort_(comPort)
{
    thread_.start([this] { Execute(); });
}

TNav_Router::~TNav_Router()
{
    requestTerminate();
}

void TNav_Router::requestTerminate()
{
    thread_.requestTerminate();
    pause_.set();
}

void TNav_Router::Execute()
{
    while (!thread_.terminateRequested())
        pause_.wait(kPollInterval);
}

} // namespace zentor
