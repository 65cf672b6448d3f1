// Runs zentor-sim --replay and reads the log back from its pseudo-terminal as the data logger
// would.
#if defined(ZENTOR_SIM_PATH) && !defined(_WIN32)

#include "ReplayTestLog.h"
#include "SimClient.h"
#include "SimTestSupport.h"
#include "support/SimulatorProcess.h"

#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zentor::sim {
namespace {

using test::cat;
using test::Clock;
using test::framed;
using test::hex;
using test::joined;
using test::openPort;
using test::readPort;
using test::RemovedAtEnd;
using SimProcess = zentor::test::SimulatorProcess;

// Packet records of frames: the frames without their sync byte.
std::vector<Bytes> recordsOf(const std::vector<Bytes>& frames)
{
    std::vector<Bytes> records;
    for (const Bytes& f : frames)
        records.emplace_back(f.begin() + 1, f.end());
    return records;
}

// A log of `seconds` seconds: a clock packet, then three list packets, and so on, closed by a
// clock packet.
Bytes clockedLog(int seconds)
{
    const std::vector<test::TestLogRecord> records = test::testLogRecords();
    const Bytes& clock = records[5].bytes;
    const Bytes& list = records[6].bytes;
    Bytes file;
    for (int s = 0; s < seconds; ++s)
        file = cat({file, clock, list, list, list});
    return cat({file, clock});
}

TEST(ReplayProcess, SendsExactlyTheInstrumentPacketsOfTheLogAndEndsByItself)
{
    SimProcess sim;
    const RemovedAtEnd log{sim.path("drive.KLF")};
    test::writeFile(log.path, test::testLog());
    ASSERT_TRUE(sim.start({"--replay", log.path, "--speed", "max", "--link", sim.path("port"),
                           "--record", sim.path("record.bin")}));
    const int fd = openPort(sim.path("port"), 5000);
    ASSERT_GE(fd, 0) << sim.output("err.txt");
    const Bytes stream = readPort(fd, 0, 8000);
    ::close(fd);
    ASSERT_EQ(sim.waitExit(5000), 0) << sim.output("err.txt");

    const std::vector<Bytes> frames = test::testLogFrames();
    EXPECT_EQ(stream, joined(frames)) << "byte for byte: 0xAA, then each record as in the file";
    EXPECT_EQ(framed(stream), recordsOf(frames));
    EXPECT_EQ(test::readFile(sim.path("record.bin")), joined(recordsOf(frames)));
    const std::string err = sim.output("err.txt");
    EXPECT_NE(err.find("replaying " + log.path +
                       ": 5 instrument packets; 2 TravelPilot records left out"),
              std::string::npos)
        << err;
    EXPECT_NE(err.find("replay finished after 5 of 5 packets"), std::string::npos) << err;
    EXPECT_NE(sim.output("out.txt").find("ZENTOR_COM1=" + sim.path("port")), std::string::npos);
}

TEST(ReplayProcess, ReplaysTheReferenceLogOfTheLogRouter)
{
    const Bytes file = test::readFile(ZENTOR_TEST_DATA "/reference.KLF");
    ASSERT_EQ(file.size(), 608u);
    SimProcess sim;
    ASSERT_TRUE(sim.start({"--replay", ZENTOR_TEST_DATA "/reference.KLF", "--speed", "max",
                           "--link", sim.path("port"), "--record", sim.path("record.bin")}));
    const int fd = openPort(sim.path("port"), 5000);
    ASSERT_GE(fd, 0) << sim.output("err.txt");
    const Bytes stream = readPort(fd, 0, 8000);
    ::close(fd);
    ASSERT_EQ(sim.waitExit(5000), 0) << sim.output("err.txt");

    // From the channel information record at 63 on, less the TravelPilot records at 560-589.
    const Bytes expected =
        cat({Bytes(file.begin() + 63, file.begin() + 560), Bytes(file.begin() + 590, file.end())});
    EXPECT_EQ(test::readFile(sim.path("record.bin")), expected);
    EXPECT_EQ(joined(framed(stream)), expected);
}

TEST(ReplayProcess, ReplaysTheWholeRecordsOfACutShortLogAndSaysWhereItStopped)
{
    SimProcess sim;
    const RemovedAtEnd log{sim.path("cut.KLF")};
    const Bytes whole = test::testLog();
    test::writeFile(log.path, Bytes(whole.begin(), whole.begin() + 160));
    ASSERT_TRUE(sim.start({"--replay", log.path, "--speed", "0", "--link", sim.path("port"),
                           "--record", sim.path("record.bin")}));
    const int fd = openPort(sim.path("port"), 5000);
    ASSERT_GE(fd, 0) << sim.output("err.txt");
    const Bytes stream = readPort(fd, 0, 8000);
    ::close(fd);
    ASSERT_EQ(sim.waitExit(5000), 0) << sim.output("err.txt");

    std::vector<Bytes> frames = test::testLogFrames();
    frames.pop_back(); // the last clock packet is cut short
    EXPECT_EQ(stream, joined(frames));
    EXPECT_EQ(test::readFile(sim.path("record.bin")), joined(recordsOf(frames)));
    const std::string err = sim.output("err.txt");
    EXPECT_NE(err.find(log.path + " is truncated at byte 154 (record) of 160: the replay stops "
                                  "there"),
              std::string::npos)
        << err;
    EXPECT_NE(err.find("replay finished after 4 of 4 packets"), std::string::npos) << err;
}

TEST(ReplayProcess, KeepsTheLogsPaceScaledBySpeedOrGoesAsFastAsTheReaderReads)
{
    SimProcess paced;
    const RemovedAtEnd fourSeconds{paced.path("four.KLF")};
    test::writeFile(fourSeconds.path, clockedLog(4));
    ASSERT_TRUE(
        paced.start({"--replay", fourSeconds.path, "--speed", "4", "--link", paced.path("port")}));
    int fd = openPort(paced.path("port"), 5000);
    ASSERT_GE(fd, 0) << paced.output("err.txt");
    const Bytes first = readPort(fd, 12, 5000);
    const auto firstAt = Clock::now();
    const Bytes rest = readPort(fd, 0, 8000);
    const auto span = Clock::now() - firstAt;
    ::close(fd);
    ASSERT_EQ(paced.waitExit(5000), 0) << paced.output("err.txt");
    EXPECT_EQ(framed(cat({first, rest})).size(), 17u);
    EXPECT_GE(span, std::chrono::milliseconds(600)) << "four recorded seconds at four times";
    EXPECT_LT(span, std::chrono::seconds(6));

    // Forty recorded seconds, at full speed, within the test's few seconds.
    SimProcess flat;
    const RemovedAtEnd fortySeconds{flat.path("forty.KLF")};
    test::writeFile(fortySeconds.path, clockedLog(40));
    ASSERT_TRUE(
        flat.start({"--replay", fortySeconds.path, "--speed", "max", "--link", flat.path("port")}));
    fd = openPort(flat.path("port"), 5000);
    ASSERT_GE(fd, 0) << flat.output("err.txt");
    const Bytes all = readPort(fd, 0, 8000);
    ::close(fd);
    ASSERT_EQ(flat.waitExit(5000), 0) << flat.output("err.txt");
    EXPECT_EQ(framed(all).size(), 161u);
}

TEST(ReplayProcess, AnswersThePcsCommandsFromTheLog)
{
    SimProcess sim;
    const RemovedAtEnd log{sim.path("drive.KLF")};
    test::writeFile(log.path, test::testLog());
    // At a twentieth of the pace the second packet is due more than six seconds on.
    ASSERT_TRUE(sim.start(
        {"--replay", log.path, "--speed", "0.05", "--link", sim.path("port"), "--seconds", "20"}));
    const int fd = openPort(sim.path("port"), 5000);
    ASSERT_GE(fd, 0) << sim.output("err.txt");
    const Bytes commands = hex("AA 02 00 1C 1C AA 02 00 01 01 AA 02 00 30 30");
    ASSERT_EQ(::write(fd, commands.data(), commands.size()), 15);
    const Bytes stream = readPort(fd, 13 + 9 + 30 + 13, 5000);
    ::close(fd);
    sim.signal(SIGTERM);
    ASSERT_EQ(sim.waitExit(5000), 0) << sim.output("err.txt");

    const Bytes levelValues = test::testLogFrames()[0];
    EXPECT_EQ(stream, cat({levelValues, hex("AA 06 00 1C 5A 54 37 37 12"),
                           hex("AA 1B 00 01 03 B0 04 00 00 D0 07 00 00 00 19 00 00"
                               "B8 0B 00 00 A0 0F 00 00 80 0C 00 00 E8"),
                           levelValues}))
        << "the first packet, then the serial number, the header's receivers as configuration "
           "and the channel information sent so far";
    EXPECT_NE(sim.output("err.txt").find("replay stopped after 1 of 5 packets"), std::string::npos)
        << sim.output("err.txt");
}

TEST(ReplayProcess, ABadReplayCommandLineOrAnUnreadableLogSaysWhy)
{
    SimProcess conflict;
    ASSERT_TRUE(conflict.start({"--replay", "drive.KLF", "--rate", "50"}));
    EXPECT_EQ(conflict.waitExit(5000), 2);
    EXPECT_EQ(conflict.output("err.txt"),
              "zentor-sim: --rate cannot be used with --replay: the log decides what is sent\n"
              "Try 'zentor-sim --help' for the options.\n");

    SimProcess missing;
    ASSERT_TRUE(missing.start({"--replay", missing.path("none.KLF")}));
    EXPECT_EQ(missing.waitExit(5000), 1);
    EXPECT_EQ(missing.output("err.txt"), "zentor-sim: cannot read the log '" +
                                             missing.path("none.KLF") +
                                             "': No such file or directory\n");

    SimProcess empty;
    const RemovedAtEnd log{empty.path("empty.KLF")};
    test::writeFile(log.path, hex("00 00 00 00 00 00"));
    ASSERT_TRUE(empty.start({"--replay", log.path}));
    EXPECT_EQ(empty.waitExit(5000), 1);
    EXPECT_NE(empty.output("err.txt").find(log.path + " holds no instrument packets to replay"),
              std::string::npos)
        << empty.output("err.txt");
}

} // namespace
} // namespace zentor::sim

#endif
