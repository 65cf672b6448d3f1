// One log file, one writer: a log router asked for a file that a log router of another process
// is writing leaves it alone, says so naming the file, and releases log mode; once that process
// has ended, however it ended, the file is free again.
#include "LogTestSupport.h"
#include "logging/TLog_Router.h"
#include "support/FileBytes.h"
#include "support/RecordingMessages.h"

#include <csignal>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zentor {
namespace {

using namespace logtest;

// The child logs its own header and one record, tells the parent through `ready`, then waits to
// be killed with the file open.
[[noreturn]] void holdLog(const std::string& name, int ready)
{
    {
        TLog_Router router(name, sampleHeader(), nullptr, {});
        router.start();
        handOver(router, numberedRecord(1, 40));
        if (router.waitUntilWritten(std::chrono::seconds(5))) {
            const char byte = 1;
            [[maybe_unused]] const ssize_t n = ::write(ready, &byte, 1);
            ::pause();
        }
    }
    ::_exit(3);
}

TEST(LogFileOwner, ASecondProcessLeavesTheFileToTheFirst)
{
    ScratchDir dir;
    const std::string name = dir.file("Zentor.KLF");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        holdLog(name, ready[1]);
    ::close(ready[1]);
    pollfd wait{ready[0], POLLIN, 0};
    ASSERT_EQ(::poll(&wait, 1, 8000), 1) << "the child did not start logging";
    ::close(ready[0]);
    const Bytes firstWriter = test::readFile(name); // read while it is being written

    test::RecordingMessages messages;
    CallCounter failed;
    {
        TLog_Router second(name, sampleHeader(), &messages, failed.callback());
        second.start();
        handOver(second, numberedRecord(2, 40));
        ASSERT_TRUE(failed.waitForCalls(1));
    }
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].kind, MessageKind::Error);
    EXPECT_EQ(messages.messages()[0].text,
              "Could not open the log file \"" + name +
                  "\" (another program is writing it). Log mode has been switched off.");
    EXPECT_EQ(test::readFile(name), firstWriter);

    ::kill(child, SIGKILL);
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);
    test::RecordingMessages none;
    {
        TLog_Router after(name, sampleHeader(), &none, {});
        after.start();
        handOver(after, numberedRecord(2, 40));
        ASSERT_TRUE(after.waitUntilWritten(std::chrono::seconds(5)));
    }
    EXPECT_TRUE(none.messages().empty());
    Bytes both = firstWriter;
    const Bytes second = numberedRecord(2, 40);
    both.insert(both.end(), second.begin(), second.end());
    EXPECT_EQ(test::readFile(name), both);
}

} // namespace
} // namespace zentor
