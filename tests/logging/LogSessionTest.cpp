#include "logging/LogSession.h"

#include "LogTestSupport.h"
#include "link/TReceiverLink.h"
#include "logging/LogHeader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace zentor {
namespace {

using namespace logtest;

void feed(TReceiverLink& link, const Bytes& record)
{
    ASSERT_TRUE(link.HandlePacket(record.data(), record.size()));
}

Bytes scanPacket(std::uint8_t level)
{
    return packetRecord(0x07, {0, 1, level, 0, 2, level, 0, 3, level, 0, 4, level, 0, 5, level});
}

std::int64_t sizeOf(const std::string& path)
{
    struct stat st
    {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_size : -1;
}

// The instrument has identified itself and sent its configuration.
class LogSessionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        feed(link, packetRecord(0x1C, {'Z', 'T', '0', '0', '0', '4', '1', '7'}));
        Bytes config(25, 0);
        config[0] = 0x03;
        feed(link, packetRecord(0x01, config));
    }

    ScratchDir dir;
    TReceiverLink link;
    RecordingMessages messages;
};

TEST_F(LogSessionTest, LogsEveryPacketTheProtocolHandlesWhileOn)
{
    LogSession session(link.state(), &messages);
    link.setLogSink(&session);
    const Bytes header = buildLogHeader(logHeaderInputFrom(link.state()));
    const std::string name = session.start(dir.file("run.01.txt"));
    EXPECT_EQ(name, dir.file("run.01.KLF"));
    EXPECT_TRUE(session.active());
    EXPECT_EQ(session.fileName(), name);

    const Bytes scan = scanPacket(0xB5);
    const Bytes clock = packetRecord(0x04, {9, 5, 14, 12, 3, 7, 23});
    const Bytes speed = {0x05, 0x00, 0xC1, 0x32, 0x00, 0x0E, 0x01};
    feed(link, scan);
    session.handOver(speed.data(), static_cast<std::uint16_t>(speed.size())); // TravelPilot
    feed(link, clock);
    session.stop();
    EXPECT_FALSE(session.active());
    EXPECT_EQ(session.fileName(), "");
    ASSERT_TRUE(session.closeAll(5s));
    EXPECT_FALSE(session.closing());
    EXPECT_EQ(session.fileSizeKb(), std::nullopt);

    // Off again: neither the protocol's packets nor the TravelPilot's reach the file.
    feed(link, scan);
    session.handOver(speed.data(), static_cast<std::uint16_t>(speed.size()));
    EXPECT_EQ(readFile(name), cat({header, scan, speed, clock}));
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(LogSessionTest, SwitchedOnAgainAppendsWithoutASecondHeader)
{
    LogSession session(link.state(), nullptr);
    link.setLogSink(&session);
    const Bytes header = buildLogHeader(logHeaderInputFrom(link.state()));
    const Bytes first = scanPacket(0xA1);
    const Bytes second = scanPacket(0xA2);
    const std::string name = session.start(dir.file("drive"));
    feed(link, first);
    session.stop();
    EXPECT_EQ(session.start(dir.file("drive.txt")), name);
    feed(link, second);
    ASSERT_TRUE(session.closeAll(5s));
    EXPECT_EQ(readFile(name), cat({header, first, second}));
}

TEST_F(LogSessionTest, AFileThatCannotBeOpenedIsReportedAndEndsLogMode)
{
    LogSession session(link.state(), &messages);
    link.setLogSink(&session);
    CallCounter released;
    const std::string name = session.start(dir.file("missing/run.txt"), released.callback());
    ASSERT_TRUE(released.waitForCalls(1));
    EXPECT_TRUE(session.failed());
    // The window's posted release of log mode:
    session.stop();
    EXPECT_FALSE(session.active());
    EXPECT_FALSE(session.failed());

    const auto got = messages.messages();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].kind, MessageKind::Error);
    EXPECT_NE(got[0].text.find("\"" + dir.file("missing/run.KLF") + "\""), std::string::npos);
    EXPECT_EQ(released.calls(), 1);
}

TEST_F(LogSessionTest, SwitchedOffWithoutTrafficClosesTheFileAtOnce)
{
    LogSession session(link.state(), nullptr);
    link.setLogSink(&session);
    const std::string name = session.start(dir.file("quiet"));
    ASSERT_TRUE(waitUntil([&] { return sizeOf(name) == 63; }));
    session.stop();
    EXPECT_FALSE(session.active());
    EXPECT_TRUE(waitUntil([&] { return !session.closing(); }, 3s)); // about a second at most
}

TEST_F(LogSessionTest, ShowsTheFileSizeInKilobytesWhileOn)
{
    const std::string name = dir.file("size.KLF");
    writeFile(name, Bytes(1023, 0));
    LogSession session(link.state(), nullptr);
    link.setLogSink(&session);
    session.start(name);
    EXPECT_EQ(session.fileSizeKb(), 0);
    const std::uint8_t oneByte = 0x01;
    session.handOver(&oneByte, 1);
    EXPECT_TRUE(waitUntil([&] { return session.fileSizeKb() == 1; }));
    ASSERT_TRUE(session.closeAll(5s));
    EXPECT_EQ(sizeOf(name), 1024);
}

// Log mode from the command line, before the link opens: the file starts once the instrument has
// identified itself, sent its configuration and its channel information, with a header that
// holds them and every packet from the first after it.
TEST(LogSessionOnceIdentified, TheFileWaitsForAWholeHeaderAndLosesNoPacket)
{
    ScratchDir dir;
    TReceiverLink link;
    LogSession session(link.state(), nullptr);
    link.setLogSink(&session);
    const std::string name = session.startOnceIdentified(dir.file("drive"));
    EXPECT_TRUE(session.waiting());
    const std::vector<Bytes> sent = {
        scanPacket(0xB0), // measuring already
        packetRecord(0x1C, {'Z', 'T', '0', '0', '0', '4', '1', '7'}),
        packetRecord(0x01, Bytes(25, 0x03)),
    };
    for (const Bytes& r : sent)
        feed(link, r);
    EXPECT_TRUE(session.waiting()) << "no channel information yet";
    EXPECT_EQ(sizeOf(name), -1);
    const Bytes status = packetRecord(0x06, Bytes(80, 0x11));
    feed(link, status);
    EXPECT_FALSE(session.waiting());
    const Bytes after = scanPacket(0xB1);
    feed(link, after);
    ASSERT_TRUE(session.closeAll(5s));

    const Bytes header = buildLogHeader(logHeaderInputFrom(link.state()));
    EXPECT_EQ(header.size(), kHeaderWithoutChannelInformation + status.size());
    EXPECT_EQ(readFile(name), cat({header, sent[0], sent[1], sent[2], status, after}));
}

TEST(LogSessionOnceIdentified, NothingHeldNoFile)
{
    ScratchDir dir;
    TReceiverLink link;
    LogSession session(link.state(), nullptr);
    const std::string name = session.startOnceIdentified(dir.file("quiet"));
    session.stop();
    EXPECT_FALSE(session.active());
    EXPECT_EQ(sizeOf(name), -1);
}

TEST_F(LogSessionTest, AsksForTheWarningUntilChannelInformationIsCaptured)
{
    LogSession session(link.state(), nullptr);
    link.setLogSink(&session);
    EXPECT_TRUE(session.needsScanInformationWarning());
    feed(link, packetRecord(0x05, {1, 0, 0, 0, 2, 0, 0, 0}));
    EXPECT_FALSE(session.needsScanInformationWarning());
    link.state().resetScanInformation(); // the warning dialog's OK
    EXPECT_TRUE(session.needsScanInformationWarning());
}

} // namespace
} // namespace zentor
