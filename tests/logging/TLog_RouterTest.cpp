#include "logging/TLog_Router.h"

#include "LogTestSupport.h"
#include "link/ByteOrder.h"
#include "logging/KlfReader.h"
#include "logging/LogHeader.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <system_error>
#include <thread>

namespace zentor {
namespace {

using namespace logtest;

// The system's text for a file in a folder that is not there.
#ifdef _WIN32
const std::string kNoSuchFolder = std::system_category().message(3); // ERROR_PATH_NOT_FOUND
#else
const std::string kNoSuchFolder = "No such file or directory";
#endif

TEST(TLog_Router, NewFileGetsTheHeaderThenTheRecords)
{
    ScratchDir dir;
    const std::string name = dir.file("run.KLF");
    RecordingMessages messages;
    const std::vector<Bytes> records = {packetRecord(0x07, {0, 3, 0xB5, 1, 3, 0xA6}),
                                        packetRecord(0x04, {9, 5, 14, 12, 3, 7, 23}),
                                        Bytes{0x05, 0x00, 0xC1, 0x32, 0x00, 0x0E, 0x01}};
    {
        TLog_Router router(name, sampleHeader(), &messages);
        router.start();
        for (const Bytes& r : records)
            handOver(router, r);
        router.stop();
        EXPECT_FALSE(router.failed());
        EXPECT_EQ(router.counts().written, 3u);
    }
    EXPECT_EQ(readFile(name), cat({sampleHeader(), cat(records)}));
    EXPECT_TRUE(messages.messages().empty());
}

TEST(TLog_Router, ExistingFileIsAppendedToWithoutAHeader)
{
    ScratchDir dir;
    const std::string name = dir.file("run.KLF");
    const Bytes before = cat({sampleHeader(), packetRecord(0x02, {0xB0})});
    writeFile(name, before);
    const Bytes next = packetRecord(0x03, {0xA0, 0xA1});
    {
        TLog_Router router(name, sampleHeader(), nullptr);
        router.start();
        handOver(router, next);
    }
    EXPECT_EQ(readFile(name), cat({before, next}));
}

TEST(TLog_Router, AnEmptyExistingFileGetsTheHeader)
{
    // What a crash between creating a file and writing its header leaves.
    ScratchDir dir;
    const std::string name = dir.file("empty.KLF");
    writeFile(name, {});
    const Bytes next = packetRecord(0x03, {0xA0, 0xA1});
    {
        TLog_Router router(name, sampleHeader(), nullptr);
        router.start();
        handOver(router, next);
    }
    EXPECT_EQ(readFile(name), cat({sampleHeader(), next}));
}

TEST(TLog_Router, KeepsEveryRecordInOrderWhenHandedOverAsFastAsPossible)
{
    ScratchDir dir;
    const std::string name = dir.file("burst.KLF");
    constexpr std::uint32_t kRecords = 20000;
    std::vector<Bytes> records;
    for (std::uint32_t i = 0; i < kRecords; ++i)
        records.push_back(numberedRecord(i, 4 + (i * 37) % 300));
    TLog_Router router(name, sampleHeader(), nullptr);
    router.start();
    for (const Bytes& r : records)
        handOver(router, r);
    router.stop();

    const TLog_Router::Counts counts = router.counts();
    EXPECT_EQ(counts.accepted, kRecords);
    EXPECT_EQ(counts.written, kRecords);
    EXPECT_EQ(counts.lost, 0u);
    EXPECT_EQ(readFile(name), cat({sampleHeader(), cat(records)}));
}

TEST(TLog_Router, KeepsTheOrderOfEachThreadThatHandsOver)
{
    ScratchDir dir;
    const std::string name = dir.file("two.KLF");
    constexpr std::uint32_t kPerThread = 5000;
    TLog_Router router(name, {}, nullptr);
    router.start();
    // The link thread's records are numbered from 0, the TravelPilot thread's from 1000000.
    auto producer = [&router](std::uint32_t first) {
        for (std::uint32_t i = 0; i < kPerThread; ++i)
            handOver(router, numberedRecord(first + i, 8 + i % 50));
    };
    std::thread link(producer, 0);
    std::thread travelPilot(producer, 1000000);
    link.join();
    travelPilot.join();
    ASSERT_TRUE(router.waitUntilWritten(10s));
    router.stop();

    const Bytes file = readFile(name);
    KlfReader reader(file.data(), file.size());
    KlfRecord record;
    std::uint32_t nextOf[2] = {0, 1000000};
    while (reader.next(record)) {
        ASSERT_GE(record.data.size, 4u);
        const std::uint32_t seq = readLe32(record.data.data);
        std::uint32_t& expected = nextOf[seq >= 1000000 ? 1 : 0];
        ASSERT_EQ(seq, expected);
        ++expected;
    }
    EXPECT_EQ(reader.verdict(), KlfVerdict::Whole);
    EXPECT_EQ(nextOf[0], kPerThread);
    EXPECT_EQ(nextOf[1], 1000000 + kPerThread);
}

TEST(TLog_Router, RejectsACountOverTheLogRecordSize)
{
    ScratchDir dir;
    const std::string name = dir.file("big.KLF");
    const Bytes largest(8192, 0x42);
    const Bytes tooLong(8193, 0x43);
    TLog_Router router(name, {}, nullptr);
    router.start();
    handOver(router, tooLong);
    handOver(router, largest);
    router.stop();
    EXPECT_EQ(router.counts().rejected, 1u);
    EXPECT_EQ(readFile(name), largest);
}

TEST(TLog_Router, ReportsAFileItCannotOpenAndFails)
{
    ScratchDir dir;
    const std::string name = dir.file("no-such-folder/run.KLF");
    RecordingMessages messages;
    CallCounter failed;
    TLog_Router router(name, sampleHeader(), &messages, failed.callback());
    router.start();
    ASSERT_TRUE(failed.waitForCalls(1));
    EXPECT_TRUE(router.failed());
    handOver(router, packetRecord(0x02, {0xB0}));
    ASSERT_TRUE(router.waitUntilWritten(5s));
    router.stop();

    const auto got = messages.messages();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].kind, MessageKind::Error);
    EXPECT_EQ(got[0].text, "Could not open the log file \"" + name + "\" (" + kNoSuchFolder +
                               "). Log mode has been switched off.");
    EXPECT_EQ(failed.calls(), 1);
    EXPECT_EQ(router.counts().discarded, 1u);
    EXPECT_EQ(router.fileSizeKb(), 0);
}

TEST(TLog_Router, FileSizeIsTheSizeOnDiskInWholeKilobytes)
{
    ScratchDir dir;
    const std::string name = dir.file("size.KLF");
    writeFile(name, Bytes(1023, 0));
    TLog_Router router(name, {}, nullptr);
    router.start();
    ASSERT_TRUE(router.waitUntilWritten(5s));
    EXPECT_EQ(router.fileSizeKb(), 0);
    handOver(router, Bytes{0x01});
    ASSERT_TRUE(router.waitUntilWritten(5s));
    EXPECT_EQ(router.fileSizeKb(), 1);
}

} // namespace
} // namespace zentor
