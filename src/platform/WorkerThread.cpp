#include "platform/WorkerThread.h"

namespace zentor {

WorkerThread::~WorkerThread()
{
    requestTerminate();
    if (thread_.joinable())
        thread_.join();
}

void WorkerThread::start(std::function<void()> body)
{
    thread_ = std::thread([this, body = std::move(body)] {
        body();
        finished_.set();
    });
}

bool WorkerThread::waitFinished(std::chrono::milliseconds timeoutMs)
{
    if (!thread_.joinable())
        return true;
    return finished_.wait(timeoutMs);
}

} // namespace zentor
