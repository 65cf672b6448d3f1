#include "logging/LogSession.h"

#include "logging/LogFileName.h"
#include "logging/LogFileSize.h"
#include "logging/LogHeader.h"

#include <algorithm>
#include <utility>

namespace zentor {

LogSession::LogSession(TReceiverLink& link, MessageSink* messages)
    : link_(link), messages_(messages)
{}

LogSession::~LogSession()
{
    stop();
    // Oldest first: each later log on the same file waits for the one before it anyway.
    for (std::unique_ptr<TLog_Router>& router : closing_)
        router->stop();
}

std::string LogSession::start(const std::string& logFileText, std::function<void()> onFailed)
{
    stop();
    reapClosed();
    std::string name = logFileName(logFileText);
    // The header is taken now, so every packet from here on is either in it or after it.
    auto router = std::make_unique<TLog_Router>(name, buildLogHeader(logHeaderInputFrom(link_)),
                                                messages_, std::move(onFailed));
    for (auto it = closing_.rbegin(); it != closing_.rend(); ++it) {
        if ((*it)->fileName() == name) {
            router->openAfter((*it)->closedEvent());
            break;
        }
    }
    router->start();
    TLog_Router* sink = router.get();
    {
        std::lock_guard<std::mutex> lock(routerMutex_);
        router_ = std::move(router);
    }
    link_.setLogSink(sink);
    return name;
}

void LogSession::stop()
{
    // Once setLogSink returns, no hand-over from the receiver protocol is still in the router.
    link_.setLogSink(nullptr);
    std::lock_guard<std::mutex> lock(routerMutex_);
    if (!router_)
        return;
    // The log thread writes out the queue and closes the file on its own; a TravelPilot
    // hand-over that comes now is not taken.
    router_->requestTerminate();
    closing_.push_back(std::move(router_));
}

bool LogSession::active() const
{
    std::lock_guard<std::mutex> lock(routerMutex_);
    return router_ != nullptr;
}

bool LogSession::closing() const
{
    std::lock_guard<std::mutex> lock(routerMutex_);
    for (const std::unique_ptr<TLog_Router>& router : closing_) {
        if (!router->waitFinished(std::chrono::milliseconds{0}))
            return true;
    }
    return false;
}

void LogSession::tick()
{
    reapClosed();
    // Only this thread changes the routers, so they stay while it looks at them.
    for (const std::unique_ptr<TLog_Router>& router : closing_)
        router->reportStall();
    if (router_)
        router_->reportStall();
}

bool LogSession::closeAll(std::chrono::milliseconds timeout)
{
    stop();
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (const std::unique_ptr<TLog_Router>& router : closing_) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (!router->waitFinished(std::max(left, std::chrono::milliseconds{0})))
            break;
    }
    reapClosed();
    return closing_.empty();
}

std::vector<LogSession::Backlog> LogSession::backlog() const
{
    std::vector<Backlog> logs;
    std::lock_guard<std::mutex> lock(routerMutex_);
    for (const std::unique_ptr<TLog_Router>& router : closing_) {
        if (!router->waitFinished(std::chrono::milliseconds{0}))
            logs.push_back({router->fileName(), router->bytesWaiting()});
    }
    if (router_)
        logs.push_back({router_->fileName(), router_->bytesWaiting()});
    return logs;
}

std::optional<std::int32_t> LogSession::fileSizeKb()
{
    std::string name;
    {
        std::lock_guard<std::mutex> lock(routerMutex_);
        if (router_)
            name = router_->fileName();
        else if (!closing_.empty())
            name = closing_.back()->fileName();
    }
    if (name.empty())
        return std::nullopt;
    // Asked outside the lock: a hand-over never waits for the disk to answer.
    return logFileSizeKb(AppendFile::sizeOnDisk(name));
}

bool LogSession::failed() const
{
    std::lock_guard<std::mutex> lock(routerMutex_);
    return router_ && router_->failed();
}

std::string LogSession::fileName() const
{
    std::lock_guard<std::mutex> lock(routerMutex_);
    return router_ ? router_->fileName() : std::string();
}

bool LogSession::needsScanInformationWarning() const
{
    return !link_.channelInformationCaptured();
}

void LogSession::handOver(const std::uint8_t* data, std::uint16_t count)
{
    std::lock_guard<std::mutex> lock(routerMutex_);
    if (router_)
        router_->handOver(data, count);
}

void LogSession::reapClosed()
{
    std::vector<std::unique_ptr<TLog_Router>> closed;
    {
        std::lock_guard<std::mutex> lock(routerMutex_);
        for (auto it = closing_.begin(); it != closing_.end();) {
            if ((*it)->waitFinished(std::chrono::milliseconds{0})) {
                closed.push_back(std::move(*it));
                it = closing_.erase(it);
            } else {
                ++it;
            }
        }
    }
    // Destroyed outside the lock; their threads have ended, so this only joins them.
}

} // namespace zentor
