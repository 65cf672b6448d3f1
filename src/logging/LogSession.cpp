#include "logging/LogSession.h"

#include "logging/LogFileName.h"
#include "logging/LogFileSize.h"
#include "logging/LogHeader.h"

#include <utility>

namespace zentor {

LogSession::LogSession(TReceiverLink& link, MessageSink* messages)
    : link_(link), messages_(messages)
{}

LogSession::~LogSession()
{
    stop();
}

std::string LogSession::start(const std::string& logFileText, std::function<void()> onFailed)
{
    stop();
    std::string name = logFileName(logFileText);
    // The header is taken now, so every packet from here on is either in it or after it.
    auto router = std::make_unique<TLog_Router>(name, buildLogHeader(logHeaderInputFrom(link_)),
                                                messages_, std::move(onFailed));
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
    std::unique_ptr<TLog_Router> router;
    {
        std::lock_guard<std::mutex> lock(routerMutex_);
        router = std::move(router_);
    }
    // Stopped outside the lock: a TravelPilot hand-over never waits for the file to close.
    if (router)
        router->stop();
}

bool LogSession::active() const
{
    std::lock_guard<std::mutex> lock(routerMutex_);
    return router_ != nullptr;
}

std::optional<std::int32_t> LogSession::fileSizeKb()
{
    const std::string name = fileName();
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

} // namespace zentor
