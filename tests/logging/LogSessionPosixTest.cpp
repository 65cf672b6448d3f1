// Log mode on a disk that stops taking data, with a pipe nobody reads standing in for it: a
// POSIX pipe, so this runs where pipes are files (LogSessionTest.cpp has the rest).
#include "LogTestSupport.h"
#include "link/TReceiverLink.h"
#include "logging/LogHeader.h"
#include "logging/LogSession.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <regex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace zentor {
namespace {

using namespace logtest;

// The instrument has identified itself and sent its configuration.
class LogSessionOnAStalledDisk : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const Bytes& record : {packetRecord(0x1C, {'Z', 'T', '0', '0', '0', '4', '1', '7'}),
                                    packetRecord(0x01, Bytes(25, 0x03))})
            ASSERT_TRUE(link.HandlePacket(record.data(), record.size()));
    }

    ScratchDir dir;
    TReceiverLink link;
    RecordingMessages messages;
};

// A pipe that nobody reads stands in for a disk that has stopped taking data: the log thread
// blocks in its write once the pipe is full. The test's thread is the window thread: each of its
// calls must come back at once while the disk stands still, through log mode going off and on
// again on the same file.
TEST_F(LogSessionOnAStalledDisk, ReleaseNeverWaitsOnAStalledDiskAndEveryRecordFollowsWhenItMoves)
{
    const std::string name = dir.file("stalled.KLF");
    ASSERT_EQ(::mkfifo(name.c_str(), 0600), 0);
    // The disk's end, also open for writing, so the pipe never reads as ended between the logs.
    const int disk = ::open(name.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(disk, 0);
    const Bytes header = buildLogHeader(logHeaderInputFrom(link.state()));
    std::vector<Bytes> records;
    LogSession session(link.state(), &messages);
    auto window = [slowest = 0ns](auto call) mutable {
        const auto began = std::chrono::steady_clock::now();
        call();
        slowest =
            std::max<std::chrono::nanoseconds>(slowest, std::chrono::steady_clock::now() - began);
        return slowest;
    };
    auto handOver = [&](std::uint32_t first, std::uint32_t count) {
        for (std::uint32_t i = first; i < first + count; ++i) {
            records.push_back(numberedRecord(i, 2000)); // 100 are three times what the pipe holds
            session.handOver(records.back().data(),
                             static_cast<std::uint16_t>(records.back().size()));
        }
    };

    window([&] { session.start(name); });
    handOver(0, 100);
    window([&] { session.stop(); });
    EXPECT_TRUE(session.closing());
    window([&] { session.start(name); }); // the same file: opened once the first log is closed
    handOver(100, 20);
    // Once a second the window ticks; the stall is reported once.
    const auto released = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - released < TLog_Router::kStallReportAfter + 2s) {
        window([&] {
            session.tick();
            EXPECT_TRUE(session.closing());
            EXPECT_EQ(session.fileSizeKb(), 0);
            EXPECT_EQ(session.backlog().size(), 2u);
        });
        std::this_thread::sleep_for(50ms);
    }
    const auto bounded = std::chrono::steady_clock::now();
    EXPECT_FALSE(session.closeAll(100ms));
    EXPECT_LT(std::chrono::steady_clock::now() - bounded, 1s);
    EXPECT_LT(window([] {}), 100ms);

    // The disk moves again: everything arrives in order, each log opening with the header (a pipe
    // reads as an empty file each time it is opened).
    const Bytes expected =
        cat({header, cat(std::vector<Bytes>(records.begin(), records.begin() + 100)), header,
             cat(std::vector<Bytes>(records.begin() + 100, records.end()))});
    Bytes received;
    std::thread reader([&] {
        pollfd ready{disk, POLLIN, 0};
        std::uint8_t chunk[4096];
        while (received.size() < expected.size() && ::poll(&ready, 1, 10000) > 0) {
            const ssize_t n = ::read(disk, chunk, sizeof chunk);
            if (n > 0)
                received.insert(received.end(), chunk, chunk + n);
        }
    });
    EXPECT_TRUE(session.closeAll(10s));
    reader.join();
    ::close(disk);
    EXPECT_TRUE(received == expected) << received.size() << " of " << expected.size() << " bytes";
    const auto got = messages.messages();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].kind, MessageKind::Warning);
    const std::regex stall("The disk has taken nothing for the log file \"" + name +
                           "\" for 5 seconds: ([0-9]+) bytes are waiting to be written\\. .*");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(got[0].text, m, stall)) << got[0].text;
    EXPECT_GT(std::stoull(m[1]), 0u);
}

} // namespace
} // namespace zentor
