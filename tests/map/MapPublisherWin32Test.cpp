// The map feed between two Windows processes, as the mapping application meets it: the block
// read through OpenFileMappingA by another process, the registered message broadcast to a hidden
// top-level window of another process, and the named mutex left abandoned by a process that died
// holding it. The other process is map-peer (tests/wine).
#include "MapTestNames.h"
#include "platform/MapPublisher.h"
#include "support/FileBytes.h"

#include <cstring>
#include <future>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>
#include <windows.h>

namespace zentor {
namespace {

// A running map-peer with the given arguments.
class Peer
{
public:
    explicit Peer(const std::string& arguments)
    {
        std::string line = "\"" ZENTOR_MAP_PEER "\" " + arguments;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &process_)) {
            CloseHandle(process_.hThread);
        }
    }
    ~Peer()
    {
        if (process_.hProcess) {
            TerminateProcess(process_.hProcess, 1);
            CloseHandle(process_.hProcess);
        }
    }
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

    // The exit status once it ended within 15 s; -1 otherwise.
    int exitStatus()
    {
        DWORD status = 0;
        if (!process_.hProcess || WaitForSingleObject(process_.hProcess, 15000) != WAIT_OBJECT_0 ||
            !GetExitCodeProcess(process_.hProcess, &status))
            return -1;
        return static_cast<int>(status);
    }

private:
    PROCESS_INFORMATION process_{};
};

void fillPattern(std::uint8_t* block)
{
    for (std::size_t i = 0; i < kMapBlockBytes; ++i)
        block[i] = static_cast<std::uint8_t>(i * 31 + 7);
}

TEST(MapPublisherWin32, AnotherProcessReadsTheWholeBlock)
{
    const test::TestMapNames names;
    MapPublisher publisher(names.names(), nullptr);
    ASSERT_TRUE(publisher.publish(fillPattern));
    const std::string file = "map-block-" + names.names().block + ".bin";
    Peer peer("read " + names.names().block + " " + names.names().mutex + " " + file);
    ASSERT_EQ(peer.exitStatus(), 0);
    std::vector<std::uint8_t> expected(kMapBlockBytes);
    fillPattern(expected.data());
    EXPECT_EQ(test::readFile(file), expected);
    DeleteFileA(file.c_str());
}

TEST(MapPublisherWin32, BroadcastReachesAHiddenWindowOfAnotherProcess)
{
    const test::TestMapNames names;
    const std::string ready = names.names().message + "_ready";
    const HANDLE readyEvent = CreateEventA(nullptr, TRUE, FALSE, ready.c_str());
    ASSERT_NE(readyEvent, nullptr);
    Peer peer("listen " + names.names().message + " " + ready);
    ASSERT_EQ(WaitForSingleObject(readyEvent, 15000), WAIT_OBJECT_0);
    CloseHandle(readyEvent);

    MapPublisher publisher(names.names());
    ASSERT_TRUE(publisher.publish(fillPattern));
    EXPECT_EQ(peer.exitStatus(), 0) << "the peer's window got no " << names.names().message;
}

TEST(MapPublisherWin32, MutexLeftByADeadHolderIsTakenOver)
{
    const test::TestMapNames names;
    MapPublisher publisher(names.names(), nullptr);
    ASSERT_TRUE(publisher.publish(fillPattern)); // the mutex exists from here on
    Peer holder("hold " + names.names().mutex);
    ASSERT_EQ(holder.exitStatus(), 0);

    // The next taker gets WAIT_ABANDONED, which still gives it the mutex.
    ASSERT_TRUE(publisher.publish([](std::uint8_t* block) { block[100] = 0x5A; }));
    std::vector<std::uint8_t> read(kMapBlockBytes);
    ASSERT_TRUE(readMapBlock(names.names(), read.data()));
    EXPECT_EQ(read[100], 0x5A);
}

TEST(MapPublisherWin32, OnePublisherAtATimeAndOneThatEndedIsTakenOver)
{
    const test::TestMapNames names;
    {
        // The first publishes on a thread of its own, as the GPS thread does, and ends there.
        std::promise<void> published;
        std::promise<void> end;
        std::thread first([&] {
            MapPublisher publisher(names.names(), nullptr);
            EXPECT_TRUE(publisher.publish(fillPattern));
            published.set_value();
            end.get_future().wait();
        });
        published.get_future().wait();
        MapPublisher second(names.names(), nullptr);
        EXPECT_FALSE(second.publish([](std::uint8_t* block) { block[100] = 0x5A; }));
        EXPECT_TRUE(second.otherPublisher());
        end.set_value();
        first.join();
        EXPECT_TRUE(second.publish([](std::uint8_t* block) { block[100] = 0x5A; }));
    }
    // A process that ended holding the lock leaves it abandoned: the next publisher's.
    Peer holder("hold " + names.names().block + ".publisher");
    ASSERT_EQ(holder.exitStatus(), 0);
    MapPublisher next(names.names(), nullptr);
    ASSERT_TRUE(next.publish([](std::uint8_t* block) { block[100] = 0x5A; }));
    std::vector<std::uint8_t> read(kMapBlockBytes);
    ASSERT_TRUE(readMapBlock(names.names(), read.data()));
    EXPECT_EQ(read[100], 0x5A);
}

} // namespace
} // namespace zentor
