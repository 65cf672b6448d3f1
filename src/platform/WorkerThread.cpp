#include "platform/WorkerThread.h"

#include <utility>

namespace zentor {

WorkerThread::~WorkerThread()
{
    join();
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

void WorkerThread::join()
{
    requestTerminate();
    if (thread_.joinable())
        thread_.join();
}

EventWorker::EventWorker(std::vector<Event*> events, std::chrono::milliseconds timeout)
    : waitOrder_(std::move(events)), timeout_(timeout)
{
    waitOrder_.push_back(&wake_);
}

EventWorker::~EventWorker()
{
    stop();
}

void EventWorker::start()
{
    thread_.start([this] { run(); });
}

void EventWorker::stop()
{
    requestTerminate();
    thread_.join();
}

void EventWorker::requestTerminate()
{
    thread_.requestTerminate();
    wake_.set();
}

void EventWorker::run()
{
    while (!thread_.terminateRequested()) {
        const int signalled = Event::waitAny(waitOrder_, timeout_);
        // The wake event is set only with the terminate request.
        if (thread_.terminateRequested())
            break;
        onEvent(signalled);
    }
}

} // namespace zentor
