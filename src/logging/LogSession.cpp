#include "logging/LogSession.h"

#include "logging/LogFileName.h"
#include "logging/LogFileName.h"
#include "logging/LogHeader.h"

#include <algorithm>
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

LogSession::LogSession(ReceiverState& state, MessageSink* messages)
    : state_(state), messages_(messages)
{}

LogSession::~LogSession()
{
    stop();
    // Oldest first: each later log on the same file waits for the one before it anyway.
    for (std::unique_ptr<TLog_Router>& router : closing_)
        router->stop();
}

std::unique_ptr<TLog_Router> LogSession::startRouter(const std::string& name,
                                                     std::function<void()> onFailed)
{
    // The header is taken now, so every packet from here on is either in it or after it.
    auto router = std::make_unique<TLog_Router>(name, buildLogHeader(logHeaderInputFrom(state_)),
                                                messages_, std::move(onFailed));
    for (auto it = closing_.rbegin(); it != closing_.rend(); ++it) {
        if ((*it)->fileName() == name) {
            router->openAfter((*it)->closedEvent());
            break;
        }
    }
    router->start();
    return router;
}

std::string LogSession::start(const std::string& logFileText, std::function<void()> onFailed)
{
    stop();
    reapClosed();
    std::string name = logFileName(logFileText);
    std::lock_guard<std::mutex> lock(routerMutex_);
    router_ = startRouter(name, std::move(onFailed));
    return name;
}

std::string LogSession::startOnceIdentified(const std::string& logFileText,
                                            std::function<void()> onFailed)
{
    stop();
    reapClosed();
    std::lock_guard<std::mutex> lock(routerMutex_);
    heldName_ = logFileName(logFileText);
    heldFailed_ = std::move(onFailed);
    hold_.emplace(TLog_Router::kLogQueueLimitBytes);
    return heldName_;
}

void LogSession::startHeldFile(LogHold::Verdict verdict)
{
    // The header is taken from the receiver state as the held records have left it.
    router_ = startRouter(heldName_, std::move(heldFailed_));
    hold_->handOverAll(*router_);
    hold_.reset();
    if (verdict == LogHold::Verdict::Incomplete && messages_)
        messages_->postMessage(MessageKind::Warning, incompleteHeaderText(heldName_));
}

void LogSession::stop()
{
    std::lock_guard<std::mutex> lock(routerMutex_);
    // Nothing held, nothing to keep: no file is made for a link that never said a word.
    if (hold_ && !hold_->empty())
        startHeldFile(hold_->verdictNow());
    hold_.reset();
    if (!router_)
        return;
    // The log thread writes out the queue and closes the file on its own; a hand-over that comes
    // now is not taken.
    router_->requestTerminate();
    closing_.push_back(std::move(router_));
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
    std::lock_guard<std::mutex> lock(routerMutex_);
    if (hold_) {
        const LogHold::Verdict verdict = hold_->verdict(LogHold::Clock::now());
        if (verdict != LogHold::Verdict::Hold)
            startHeldFile(verdict);
    }
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
        if (router_)
            name = router_->fileName();
        else if (!closing_.empty() && !hold_)
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
    if (hold_)
        return heldName_;
    return router_ ? router_->fileName() : std::string();
}

bool LogSession::needsScanInformationWarning() const
{
    return !state_.channelInformationCaptured();
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
