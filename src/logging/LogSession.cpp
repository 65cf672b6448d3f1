#include "logging/LogSession.h"

#include "logging/LogFileName.h"
#include "logging/LogFileSize.h"
#include "logging/LogHeader.h"

#include <utility>

namespace zentor {

namespace {

std::string incompleteHeaderText(const std::string& name)
{
    return "The instrument did not send its identification and configuration in time: the log "
           "file \"" +
           name + "\" was started without its serial number and receiver configuration.";
}

} // namespace

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
    std::lock_guard<std::mutex> lock(routerMutex_);
    router_ = std::move(router);
    return name;
}

std::string LogSession::startOnceIdentified(const std::string& logFileText,
                                            std::function<void()> onFailed)
{
    stop();
    std::lock_guard<std::mutex> lock(routerMutex_);
    heldName_ = logFileName(logFileText);
    heldFailed_ = std::move(onFailed);
    hold_.emplace(TLog_Router::kLogQueueLimitBytes);
    return heldName_;
}

void LogSession::startHeldFile(LogHold::Verdict verdict)
{
    // The header is taken from the receiver state as the held records have left it.
    router_ = std::make_unique<TLog_Router>(heldName_, buildLogHeader(logHeaderInputFrom(link_)),
                                            messages_, std::move(heldFailed_));
    router_->start();
    hold_->handOverAll(*router_);
    hold_.reset();
    if (verdict == LogHold::Verdict::Incomplete && messages_)
        messages_->postMessage(MessageKind::Warning, incompleteHeaderText(heldName_));
}

void LogSession::tick()
{
    std::lock_guard<std::mutex> lock(routerMutex_);
    if (!hold_)
        return;
    const LogHold::Verdict verdict = hold_->verdict(LogHold::Clock::now());
    if (verdict != LogHold::Verdict::Hold)
        startHeldFile(verdict);
}

void LogSession::stop()
{
    std::unique_ptr<TLog_Router> router;
    {
        std::lock_guard<std::mutex> lock(routerMutex_);
        // Nothing held, nothing to keep: no file is made for a link that never said a word.
        if (hold_ && !hold_->empty())
            startHeldFile(hold_->verdictNow());
        hold_.reset();
        router = std::move(router_);
    }
    // Stopped outside the lock: a hand-over never waits for the file to close.
    if (router)
        router->stop();
}

bool LogSession::active() const
{
    std::lock_guard<std::mutex> lock(routerMutex_);
    return router_ != nullptr || hold_.has_value();
}

bool LogSession::waiting() const
{
    std::lock_guard<std::mutex> lock(routerMutex_);
    return hold_.has_value();
}

std::optional<std::int32_t> LogSession::fileSizeKb()
{
    std::string name;
    {
        std::lock_guard<std::mutex> lock(routerMutex_);
        if (!router_)
            return std::nullopt;
        name = router_->fileName();
    }
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
    if (hold_)
        return heldName_;
    return router_ ? router_->fileName() : std::string();
}

bool LogSession::needsScanInformationWarning() const
{
    return !link_.channelInformationCaptured();
}

void LogSession::handOver(const std::uint8_t* data, std::uint16_t count)
{
    std::lock_guard<std::mutex> lock(routerMutex_);
    if (hold_) {
        const LogHold::Clock::time_point now = LogHold::Clock::now();
        if (hold_->hold(data, count, now)) {
            const LogHold::Verdict verdict = hold_->verdict(now);
            if (verdict != LogHold::Verdict::Hold)
                startHeldFile(verdict);
            return;
        }
        // Full: the file starts now with what is known, and the record follows the held ones.
        startHeldFile(hold_->verdictNow());
    }
    if (router_)
        router_->handOver(data, count);
}

} // namespace zentor
