// The log router on what only POSIX systems offer the tests: the process's open descriptors, a
// device that is always full, and a pipe that stands in for a stalled disk.
#include "LogTestSupport.h"
#include "link/ByteOrder.h"
#include "logging/KlfReader.h"
#include "logging/LogHeader.h"
#include "logging/TLog_Router.h"

#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <regex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace zentor {
namespace {

using namespace logtest;

// True when this process holds a descriptor open on `path`.
bool fileIsOpenHere(const std::string& path)
{
    char real[PATH_MAX];
    if (!::realpath(path.c_str(), real))
        return false;
    DIR* fds = ::opendir("/proc/self/fd");
    if (!fds)
        return false;
    bool open = false;
    while (const dirent* entry = ::readdir(fds)) {
        char target[PATH_MAX] = {};
        const std::string link = std::string("/proc/self/fd/") + entry->d_name;
        const ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
        if (n > 0 && std::string(target, static_cast<std::size_t>(n)) == real)
            open = true;
    }
    ::closedir(fds);
    return open;
}

TEST(TLog_Router, ReportsTheFirstWriteErrorOnce)
{
    // Every write to /dev/full fails with "no space left on device".
    RecordingMessages messages;
    CallCounter failed;
    TLog_Router router("/dev/full", sampleHeader(), &messages, failed.callback());
    router.start();
    for (std::uint32_t i = 0; i < 5; ++i) {
        handOver(router, numberedRecord(i, 10));
        ASSERT_TRUE(router.waitUntilWritten(5s));
    }
    router.stop();

    const auto got = messages.messages();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].text, "Could not write to the log file \"/dev/full\" (No space left on "
                           "device). Log mode has been switched off; what was written before "
                           "stays in the file.");
    EXPECT_EQ(failed.calls(), 1);
    EXPECT_EQ(router.counts().written, 0u);
    EXPECT_EQ(router.counts().discarded, 5u);
}

TEST(TLog_Router, StopsAtOnceAndClosesTheFileWithoutTraffic)
{
    ScratchDir dir;
    const std::string name = dir.file("idle.KLF");
    TLog_Router router(name, sampleHeader(), nullptr);
    router.start();
    ASSERT_TRUE(router.waitUntilWritten(5s));
    EXPECT_TRUE(fileIsOpenHere(name));

    const auto asked = std::chrono::steady_clock::now();
    router.requestTerminate();
    ASSERT_TRUE(router.waitFinished(3s)); // about a second at most, with room for a slow machine
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 3s);
    EXPECT_FALSE(fileIsOpenHere(name));
    EXPECT_EQ(readFile(name), sampleHeader());
}

// A pipe that nobody reads stands in for a disk that has stopped: the writer blocks, the queue
// fills, and the records that do not fit are lost and reported.
TEST(TLog_Router, ReportsWhatIsLostWhenTheDiskCannotKeepUp)
{
    ScratchDir dir;
    const std::string name = dir.file("stalled.KLF");
    ASSERT_EQ(::mkfifo(name.c_str(), 0600), 0);
    const int readEnd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(readEnd, 0);

    constexpr std::uint32_t kRecords = 400;
    constexpr std::size_t kRecordBytes = 1000;
    RecordingMessages messages;
    TLog_Router router(name, sampleHeader(), &messages, {}, 64 * 1024);
    router.start();
    // Opened for writing before anyone reads: a pipe without a writer reads as ended.
    ASSERT_TRUE(router.waitUntilWritten(5s));
    for (std::uint32_t i = 0; i < kRecords; ++i)
        handOver(router, numberedRecord(i, kRecordBytes - 4));

    Bytes received;
    std::thread disk([&] {
        const int flags = ::fcntl(readEnd, F_GETFL);
        ::fcntl(readEnd, F_SETFL, flags & ~O_NONBLOCK);
        std::uint8_t chunk[4096];
        ssize_t n;
        while ((n = ::read(readEnd, chunk, sizeof chunk)) != 0) {
            if (n > 0)
                received.insert(received.end(), chunk, chunk + n);
        }
    });
    router.stop(); // writes out the queue while the disk takes it
    disk.join();
    ::close(readEnd);

    const TLog_Router::Counts counts = router.counts();
    EXPECT_GT(counts.lost, 0u);
    EXPECT_EQ(counts.written + counts.lost, kRecords);
    // What reached the disk are whole records, in order, with gaps only where records were lost.
    // The pipe was empty, so it got the header first.
    ASSERT_GE(received.size(), sampleHeader().size());
    EXPECT_EQ(Bytes(received.begin(), received.begin() + 63), sampleHeader());
    KlfReader reader(received.data(), received.size());
    KlfRecord record;
    std::vector<std::uint32_t> seen;
    while (reader.next(record)) {
        if (record.kind == KlfRecordKind::Packet)
            seen.push_back(readLe32(record.data.data));
    }
    EXPECT_EQ(reader.verdict(), KlfVerdict::Whole);
    ASSERT_EQ(seen.size(), counts.written);
    std::uint32_t firstMissing = 0;
    while (firstMissing < seen.size() && seen[firstMissing] == firstMissing)
        ++firstMissing;
    for (std::size_t i = 1; i < seen.size(); ++i)
        ASSERT_LT(seen[i - 1], seen[i]);

    const std::regex lossPattern(
        "The disk did not keep up with the log file \"" + name +
        "\": ([0-9]+) packets \\(([0-9]+) bytes\\) were not written, the first of them after "
        "byte ([0-9]+)\\.");
    std::uint64_t reportedPackets = 0;
    std::uint64_t reportedBytes = 0;
    const auto got = messages.messages();
    ASSERT_FALSE(got.empty());
    for (std::size_t i = 0; i < got.size(); ++i) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(got[i].text, m, lossPattern)) << got[i].text;
        EXPECT_EQ(got[i].kind, MessageKind::Error);
        reportedPackets += std::stoull(m[1]);
        reportedBytes += std::stoull(m[2]);
        if (i == 0) {
            EXPECT_EQ(std::stoull(m[3]), 63 + firstMissing * kRecordBytes);
        }
    }
    EXPECT_EQ(reportedPackets, counts.lost);
    EXPECT_EQ(reportedBytes, counts.lost * kRecordBytes);
}

} // namespace
} // namespace zentor
