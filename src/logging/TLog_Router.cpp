#include "logging/TLog_Router.h"

#include "logging/LogFileName.h"
#include "logging/LogTail.h"

#include <algorithm>
#include <utility>

namespace zentor {

namespace {

using std::chrono::milliseconds;

constexpr milliseconds kWaitTimeout{1000};  // the loop looks at the terminate request this often
constexpr milliseconds kSyncInterval{1000}; // written records reach the device within this
constexpr std::chrono::seconds kLossReportInterval{10}; // at most one loss message this often
// The kernel copies a write into the file a page at a time and, when the process is killed,
// stops at a page boundary. A write that runs past no more than one boundary can then only be
// cut within the record that straddles it, and only while the kernel is between that record's
// two pages: a moment, unless it holds the write back there for a disk that is far behind.
constexpr std::int64_t kPageBytes = 4096;

std::string quoted(const std::string& name)
{
    return "\"" + name + "\"";
}

std::string openFailedText(const std::string& name, const std::string& reason)
{
    return "Could not open the log file " + quoted(name) + " (" + reason +
           "). Log mode has been switched off.";
}

std::string writeFailedText(const std::string& name, const std::string& reason)
{
    return "Could not write to the log file " + quoted(name) + " (" + reason +
           "). Log mode has been switched off; what was written before stays in the file.";
}

std::string tornRecordText(const std::string& name, std::int64_t removedBytes)
{
    return "The log file " + quoted(name) + " ended in a record cut short when the data logger " +
           "was stopped while writing it: its last " + std::to_string(removedBytes) +
           " bytes were removed, and logging goes on after the last whole record.";
}

std::string stallText(const std::string& name, std::uint64_t bytesWaiting)
{
    return "The disk has taken nothing for the log file " + quoted(name) + " for " +
           std::to_string(TLog_Router::kStallReportAfter.count()) +
           " seconds: " + std::to_string(bytesWaiting) +
           " bytes are waiting to be written. They follow, in order, as soon as the disk takes "
           "data again.";
}

std::int64_t steadyNowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Runs one call to the disk with the time it began in `since`, where a watcher on another
// thread can see how long the call has been going on.
template <typename Call> auto onDisk(std::atomic<std::int64_t>& since, Call call)
{
    struct Mark
    {
        explicit Mark(std::atomic<std::int64_t>& since) : since(since)
        {
            since.store(steadyNowNs());
        }
        ~Mark() { since.store(0); }
        std::atomic<std::int64_t>& since;
    } mark(since);
    return call();
}

std::string lossText(const std::string& name, const LogLoss& loss, std::int64_t gapAt)
{
    return "The disk did not keep up with the log file " + quoted(name) + ": " +
           std::to_string(loss.records) + " packets (" + std::to_string(loss.bytes) +
           " bytes) were not written, the first of them after byte " + std::to_string(gapAt) + ".";
}

} // namespace

TLog_Router::TLog_Router(std::string fileName, std::vector<std::uint8_t> header,
                         MessageSink* messages, std::function<void()> onFailed,
                         std::size_t queueLimitBytes)
    : fileName_(std::move(fileName)), header_(std::move(header)), messages_(messages),
      onFailed_(std::move(onFailed)), queue_(queueLimitBytes), closed_(std::make_shared<Event>())
{}

TLog_Router::~TLog_Router()
{
    stop();
}

void TLog_Router::openAfter(std::shared_ptr<Event> closed)
{
    predecessorClosed_ = std::move(closed);
}

void TLog_Router::start()
{
    thread_.start([this] { run(); });
}

void TLog_Router::handOver(const std::uint8_t* data, std::uint16_t count)
{
    if (queue_.push(data, count) == LogRecordQueue::Push::AcceptedIntoEmpty)
        wakeup_.set();
}

void TLog_Router::requestTerminate()
{
    thread_.requestTerminate();
    wakeup_.set();
}

void TLog_Router::stop()
{
    requestTerminate();
    while (!thread_.waitFinished(kWaitTimeout)) {
        // The thread is still writing out its queue, or the disk is slow to sync.
    }
}

bool TLog_Router::waitFinished(std::chrono::milliseconds timeoutMs)
{
    return thread_.waitFinished(timeoutMs);
}

std::int32_t TLog_Router::fileSizeKb()
{
    return logFileSizeKb(AppendFile::sizeOnDisk(fileName_));
}

bool TLog_Router::waitUntilWritten(std::chrono::milliseconds timeoutMs)
{
    const std::uint64_t target = queue_.counts().accepted;
    std::unique_lock<std::mutex> lock(progressMutex_);
    return progress_.wait_for(
        lock, timeoutMs, [&] { return opened_ && written_.load() + discarded_.load() >= target; });
}

std::uint64_t TLog_Router::bytesWaiting() const
{
    // Done first: it never runs ahead of what was accepted, read after it.
    const std::uint64_t done = doneBytes_.load();
    return queue_.counts().acceptedBytes - done;
}

void TLog_Router::reportStall()
{
    const std::int64_t since = diskCallSinceNs_.load();
    if (since == 0) {
        // Caught up: a stall after this one is news again.
        if (bytesWaiting() == 0)
            stallReported_.store(false);
        return;
    }
    const std::chrono::nanoseconds stalledFor{steadyNowNs() - since};
    if (stalledFor < kStallReportAfter || stallReported_.exchange(true))
        return;
    if (messages_)
        messages_->postMessage(MessageKind::Warning, stallText(fileName_, bytesWaiting()));
}

TLog_Router::Counts TLog_Router::counts() const
{
    const LogRecordQueue::Counts queued = queue_.counts();
    return {queued.accepted, written_.load(), discarded_.load(), queued.rejected, queued.lost};
}

void TLog_Router::run()
{
    if (predecessorClosed_) {
        while (!predecessorClosed_->wait(kWaitTimeout)) {
            // The earlier log on this file is still writing out its queue; ours waits in order.
        }
        predecessorClosed_.reset();
    }
    onDisk(diskCallSinceNs_, [this] { openFile(); });
    markProgress(true);
    for (;;) {
        // Read before taking: whatever was handed over before the request is in this take.
        const bool stopping = thread_.terminateRequested();
        wakeup_.reset();
        queue_.takeAll(batch_);
        const bool tookRecords = !batch_.empty();
        if (tookRecords)
            writeBatch();
        reportLoss(false);
        const Clock::time_point now = Clock::now();
        if (unsynced_ && (stopping || now - lastSync_ >= kSyncInterval))
            syncFile();
        markProgress(false);
        if (tookRecords)
            continue;
        if (stopping)
            break;
        milliseconds timeout = kWaitTimeout;
        if (unsynced_) {
            const auto untilSync = std::chrono::ceil<milliseconds>(lastSync_ + kSyncInterval - now);
            timeout = std::clamp(untilSync, milliseconds{0}, kWaitTimeout);
        }
        wakeup_.wait(timeout);
    }
    reportLoss(true);
    if (file_.isOpen() && !onDisk(diskCallSinceNs_, [this] { return file_.close(); }))
        fail(writeFailedText(fileName_, file_.lastError()));
    closed_->set();
}

void TLog_Router::openFile()
{
    lastSync_ = Clock::now();
    const AppendFile::Opened opened = file_.open(fileName_);
    // A file that another log router writes, here or in another program, is left to it: two
    // writers would interleave their packets in one file and spoil both drives.
    if (opened == AppendFile::Opened::Failed || opened == AppendFile::Opened::InUse) {
        fail(openFailedText(fileName_, file_.lastError()));
        return;
    }
    if (opened == AppendFile::Opened::Existing && file_.size() > 0 && !trimTornRecord())
        return;
    // An empty file gets the header as a new one does: it is most likely one whose header a
    // crash right after its creation kept out.
    const bool wantsHeader = opened == AppendFile::Opened::Created || file_.size() == 0;
    if (wantsHeader && !header_.empty()) {
        if (!file_.append(header_.data(), header_.size())) {
            fail(writeFailedText(fileName_, file_.lastError()));
            return;
        }
        unsynced_ = true;
    }
    streamStart_ = file_.size();
}

// Cuts a torn record off the end of an existing log file, so that what is appended is read as
// records of its own; any other file is left as it is. False when the cut failed (the logging
// has failed then).
bool TLog_Router::trimTornRecord()
{
    const std::optional<std::int64_t> wholeEnd = wholeRecordsEnd(file_);
    if (!wholeEnd)
        return true;
    const std::int64_t removedBytes = file_.size() - *wholeEnd;
    if (!file_.truncate(*wholeEnd)) {
        fail(writeFailedText(fileName_, file_.lastError()));
        return false;
    }
    if (messages_)
        messages_->postMessage(MessageKind::Warning, tornRecordText(fileName_, removedBytes));
    return true;
}

// Writes the batch as a few writes of whole records, each ending with the record that reaches
// the next page boundary of the file (see kPageBytes).
void TLog_Router::writeBatch()
{
    const std::size_t records = batch_.sizes.size();
    if (failed_.load()) {
        discarded_.fetch_add(records);
        doneBytes_.fetch_add(batch_.bytes.size());
        return;
    }
    const std::uint8_t* next = batch_.bytes.data();
    std::size_t done = 0;
    while (done < records) {
        const std::int64_t boundary = (file_.size() / kPageBytes + 1) * kPageBytes;
        std::size_t bytes = 0;
        std::size_t count = 0;
        do {
            bytes += batch_.sizes[done + count];
            ++count;
        } while (done + count < records &&
                 file_.size() + static_cast<std::int64_t>(bytes) < boundary);
        if (!onDisk(diskCallSinceNs_, [&] { return file_.append(next, bytes); })) {
            discarded_.fetch_add(records - done);
            doneBytes_.fetch_add(
                static_cast<std::size_t>(batch_.bytes.data() + batch_.bytes.size() - next));
            fail(writeFailedText(fileName_, file_.lastError()));
            return;
        }
        unsynced_ = true;
        written_.fetch_add(count);
        doneBytes_.fetch_add(bytes);
        next += bytes;
        done += count;
    }
}

void TLog_Router::syncFile()
{
    lastSync_ = Clock::now();
    unsynced_ = false;
    if (file_.isOpen() && !onDisk(diskCallSinceNs_, [this] { return file_.sync(); }))
        fail(writeFailedText(fileName_, file_.lastError()));
}

// Losses are reported at most once per kLossReportInterval, each message counting those since
// the one before; the last message comes when the thread ends.
void TLog_Router::reportLoss(bool final)
{
    if (failed_.load()) {
        queue_.takeLoss(); // nothing is written any more, so nothing more is lost
        return;
    }
    const Clock::time_point now = Clock::now();
    if (!final && lossReported_ && now - lastLossReport_ < kLossReportInterval)
        return;
    const LogLoss loss = queue_.takeLoss();
    if (loss.records == 0)
        return;
    lossReported_ = true;
    lastLossReport_ = now;
    if (messages_)
        messages_->postMessage(
            MessageKind::Error,
            lossText(fileName_, loss, streamStart_ + static_cast<std::int64_t>(loss.firstAtByte)));
}

void TLog_Router::fail(const std::string& text)
{
    if (failed_.exchange(true))
        return;
    onDisk(diskCallSinceNs_, [this] { return file_.close(); });
    if (messages_)
        messages_->postMessage(MessageKind::Error, text);
    if (onFailed_)
        onFailed_();
}

void TLog_Router::markProgress(bool opened)
{
    std::lock_guard<std::mutex> lock(progressMutex_);
    if (opened)
        opened_ = true;
    progress_.notify_all();
}

} // namespace zentor
