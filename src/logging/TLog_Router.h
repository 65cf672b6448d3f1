#pragma once

#include "core/MessageSink.h"
#include "link/LinkInterfaces.h"
#include "logging/LogRecordQueue.h"
#include "platform/AppendFile.h"
#include "platform/Event.h"
#include "platform/WorkerThread.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace zentor {

// The log thread: appends every record handed over to the log file, in the order handed over.
//
// The file is opened on the thread itself: a file that did not exist, or was empty, gets the
// header records first; any other file is appended to without them. An existing log file that
// ends in a torn record (see LogTail.h) has that record cut off first, and the cut is reported
// once as a warning; nothing else already in a file is ever changed. Records wait in a FIFO of
// bounded size (kLogQueueLimitBytes); when the disk cannot keep up, the records that do not fit are
// dropped and the loss is reported. Each write carries whole records only and crosses at most
// one page boundary of the file, so a killed process leaves the file ending on a record boundary
// (but for a kill at the very moment the kernel is between the two pages of a straddling
// record); the file is synced to the device at least once a second while records arrive, and
// when the thread ends.
//
// Failures are reported as errors through the MessageSink and end the logging: a file that
// cannot be opened, and the first write or sync that fails (what was written before stays in the
// file; nothing more is written). `onFailed` is then called once, on the log thread; it must
// return at once (post the work to the window thread) and must not stop or destroy the router.
//
// Ending never waits on the disk: requestTerminate() returns at once and the thread writes out
// the queue, syncs and closes the file on its own; closedEvent() is set when it has. A later log
// on the same file is started with openAfter() that event, so its records follow these. A disk
// that does not come back from a call stops the log thread inside that call, where it cannot
// notice: another thread calls reportStall() regularly, which says so once.
//
// Threads: handOver on any thread; openAfter, start, requestTerminate, stop and the destructor
// on the owner's thread (the window thread); reportStall on one thread at a time; the queries,
// fileSizeKb among them, on any thread.
class TLog_Router : public LogSink
{
public:
    static constexpr std::size_t kLogQueueLimitBytes = 16u << 20;
    // A write, sync or open of the file that has not returned for this long is reported.
    static constexpr std::chrono::seconds kStallReportAfter{5};

    // `header` is written only when the file is created or empty. `messages` may be null.
    TLog_Router(std::string fileName, std::vector<std::uint8_t> header, MessageSink* messages,
                std::function<void()> onFailed = {},
                std::size_t queueLimitBytes = kLogQueueLimitBytes);
    // Stops the thread as stop() does.
    ~TLog_Router() override;
    TLog_Router(const TLog_Router&) = delete;
    TLog_Router& operator=(const TLog_Router&) = delete;

    // Makes the thread wait, before it opens the file, until `closed` is set: the closedEvent()
    // of an earlier log on the same file that is still writing out its queue. Records handed over
    // meanwhile wait in the queue, in order. Call before start().
    void openAfter(std::shared_ptr<Event> closed);

    // Starts the thread, which opens the file. Records handed over before are kept and written
    // after the header. Call once.
    void start();

    // Copies `count` bytes into the queue as one record and returns at once, never waiting on the
    // disk. A count of 0 or over 8192 is rejected; a record that does not fit the queue is lost.
    void handOver(const std::uint8_t* data, std::uint16_t count) override;

    // Asks the thread to end: it writes what is still queued, syncs and closes the file, and
    // ends. Returns at once.
    void requestTerminate();
    // requestTerminate(), then waits without limit until the thread has ended and the file is
    // closed: not for the window thread while the disk may hang.
    void stop();
    // Waits at most `timeoutMs` for the thread to end; true when it has (or never started).
    bool waitFinished(std::chrono::milliseconds timeoutMs);
    // Set once the thread has closed the file (or never opened it). Shared, so that a later log
    // can wait for it whether or not this router still exists.
    std::shared_ptr<Event> closedEvent() const { return closed_; }

    // Record bytes handed over and not yet written (nor dropped after a failure).
    std::uint64_t bytesWaiting() const;

    // Posts a warning (file name, bytes waiting) when the log thread has been inside one write,
    // sync or open of the file for kStallReportAfter: once, and again only after the disk has
    // caught up with the queue and then stalls anew. Returns at once.
    void reportStall();

    // The size of the log file on disk now, in kilobytes (0 while there is no such file).
    std::int32_t fileSizeKb();

    // Waits at most `timeoutMs` until the file has been opened (or failed to open), and every
    // record accepted before this call has been written (or dropped after a failure).
    bool waitUntilWritten(std::chrono::milliseconds timeoutMs);

    const std::string& fileName() const { return fileName_; }
    // True once opening or writing the file has failed.
    bool failed() const { return failed_.load(); }

    struct Counts
    {
        std::uint64_t accepted = 0;  // records queued
        std::uint64_t written = 0;   // records in the file
        std::uint64_t discarded = 0; // records queued but not written because the file failed
        std::uint64_t rejected = 0;  // empty or over 8192 bytes
        std::uint64_t lost = 0;      // did not fit the queue
    };
    Counts counts() const;

private:
    using Clock = std::chrono::steady_clock;

    void run();
    void openFile();
    bool trimTornRecord();
    void writeBatch();
    void syncFile();
    void reportLoss(bool final);
    void fail(const std::string& text);
    void markProgress(bool opened);

    const std::string fileName_;
    const std::vector<std::uint8_t> header_;
    MessageSink* const messages_;
    const std::function<void()> onFailed_;

    LogRecordQueue queue_;
    Event wakeup_; // set by a hand-over into an empty queue, and by the terminate request
    const std::shared_ptr<Event> closed_;
    std::shared_ptr<Event> predecessorClosed_; // set before start, then the log thread's
    std::atomic<bool> failed_{false};
    std::atomic<std::uint64_t> written_{0};
    std::atomic<std::uint64_t> discarded_{0};
    std::atomic<std::uint64_t> doneBytes_{0}; // record bytes written or discarded
    // When the log thread entered the disk call it is in (steady clock, ns); 0 when in none.
    std::atomic<std::int64_t> diskCallSinceNs_{0};
    std::atomic<bool> stallReported_{false};

    // The log thread's own state.
    AppendFile file_;
    LogBatch batch_;
    std::int64_t streamStart_ = 0; // file offset of the first handed-over record
    bool unsynced_ = false;
    Clock::time_point lastSync_;
    Clock::time_point lastLossReport_;
    bool lossReported_ = false;

    std::mutex progressMutex_; // guards opened_; with progress_ wakes waitUntilWritten
    std::condition_variable progress_;
    bool opened_ = false;

    WorkerThread thread_; // last: ends before the members it uses go
};

} // namespace zentor
