// Logging in a child process that is killed, or that hits its file size limit, must leave a file
// that ends on a whole record.
#include "LogTestSupport.h"
#include "link/ByteOrder.h"
#include "logging/KlfReader.h"
#include "logging/LogHeader.h"
#include "logging/TLog_Router.h"

#include <csignal>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zentor {
namespace {

using namespace logtest;

constexpr std::size_t kHeaderBytes = 63;

Bytes childHeader()
{
    LogHeaderInput input;
    input.serialNumber = "ZT000417";
    return buildLogHeader(input);
}

std::size_t recordBytes(std::uint32_t i)
{
    return 4 + (i * 53) % 400;
}

// Walks a file the child wrote: the header, then numbered records from 0 without a gap.
// Returns how many there were.
std::uint32_t expectWholeNumberedLog(const Bytes& file)
{
    EXPECT_GE(file.size(), kHeaderBytes);
    if (file.size() < kHeaderBytes)
        return 0;
    EXPECT_EQ(Bytes(file.begin(), file.begin() + kHeaderBytes), childHeader());
    KlfReader reader(file.data(), file.size());
    KlfRecord record;
    std::uint32_t next = 0;
    while (reader.next(record)) {
        if (record.kind != KlfRecordKind::Packet)
            continue;
        const Bytes expected = numberedRecord(next, recordBytes(next));
        EXPECT_EQ(Bytes(file.begin() + static_cast<long>(record.offset),
                        file.begin() + static_cast<long>(record.offset + record.size)),
                  expected)
            << "record " << next << " at byte " << record.offset;
        ++next;
    }
    EXPECT_EQ(reader.verdict(), KlfVerdict::Whole)
        << reader.problem() << " at byte " << reader.problemOffset() << " of " << file.size();
    return next;
}

// A pause of a millisecond after this many records: a steady stream of some hundred kilobytes a
// second, a hundred times the instrument's link and still light on the disk. (A write that
// straddles a page boundary can be cut there when the process is killed while the kernel holds
// the write back for a disk that is far behind; see TLog_Router.cpp.)
constexpr std::uint32_t kRecordsPerPause = 8;

// Child: logs numbered records at a steady pace, and writes one byte to `ready` once
// `beforeReady` of them are in the file. Ends only by being killed (or after a long while).
[[noreturn]] void logUntilKilled(const std::string& name, int ready, std::uint32_t beforeReady)
{
    TLog_Router router(name, childHeader(), nullptr);
    router.start();
    for (std::uint32_t i = 0; i < 2000000; ++i) {
        const Bytes record = numberedRecord(i, recordBytes(i));
        router.handOver(record.data(), static_cast<std::uint16_t>(record.size()));
        if (i % kRecordsPerPause == kRecordsPerPause - 1)
            ::usleep(1000);
        if (i == beforeReady) {
            // Killed only once the header and some records are in the file.
            router.waitUntilWritten(std::chrono::seconds(5));
            const char byte = 1;
            [[maybe_unused]] const ssize_t n = ::write(ready, &byte, 1);
        }
    }
    ::_exit(3);
}

TEST(CrashSafety, AProcessKilledWhileLoggingLeavesAWholeFile)
{
    for (const std::uint32_t killAfter : {300u, 2000u, 5000u}) {
        ScratchDir dir;
        const std::string name = dir.file("killed.KLF");
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0)
            logUntilKilled(name, ready[1], killAfter);
        ::close(ready[1]);
        pollfd wait{ready[0], POLLIN, 0};
        ASSERT_EQ(::poll(&wait, 1, 8000), 1) << "the child did not start logging";
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ::close(ready[0]);
        ASSERT_TRUE(WIFSIGNALED(status));

        const std::uint32_t records = expectWholeNumberedLog(readFile(name));
        EXPECT_GT(records, 0u) << "killed after " << killAfter;
    }
}

// Child exit codes.
enum ChildResult
{
    kChildPassed = 0,
    kChildNoFailure = 10,
    kChildWrongMessages = 11,
    kChildWrongCallbacks = 12,
};

int logIntoAFileSizeLimit(const std::string& name, rlim_t limitBytes)
{
    std::signal(SIGXFSZ, SIG_IGN); // a write past the limit then fails with EFBIG instead
    const rlimit limit{limitBytes, limitBytes};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    RecordingMessages messages;
    CallCounter failed;
    TLog_Router router(name, childHeader(), &messages, failed.callback());
    router.start();
    for (std::uint32_t i = 0; i < 400; ++i) {
        const Bytes record = numberedRecord(i, recordBytes(i));
        router.handOver(record.data(), static_cast<std::uint16_t>(record.size()));
    }
    router.stop();
    if (!router.failed())
        return kChildNoFailure;
    const auto got = messages.messages();
    if (got.size() != 1 || got[0].text.find("(File too large)") == std::string::npos)
        return kChildWrongMessages;
    return failed.calls() == 1 ? kChildPassed : kChildWrongCallbacks;
}

TEST(CrashSafety, AWriteThatFailsPartWayIsCutBackOffTheFile)
{
    constexpr rlim_t kLimit = 20000;
    ScratchDir dir;
    const std::string name = dir.file("limited.KLF");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        ::_exit(logIntoAFileSizeLimit(name, kLimit)); // the router has been joined by then
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), kChildPassed);

    const Bytes file = readFile(name);
    EXPECT_LE(file.size(), kLimit);
    EXPECT_GT(expectWholeNumberedLog(file), 0u);
}

} // namespace
} // namespace zentor
