// Runs the zentor-sim program itself and talks to it through its pseudo-terminal as the data
// logger would.
#if defined(ZENTOR_SIM_PATH) && !defined(_WIN32)

#include "support/SimulatorProcess.h"

#include "SimClient.h"
#include "SimTestSupport.h"

#include <csignal>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zentor::sim {
namespace {

using test::cat;
using test::framed;
using test::hex;
using test::joined;
using test::openPort;
using test::readPort;

using test::kIdentify;
const Bytes kFirstFrame = hex("AA 0A 00 05 4F 12 00 00 FA 3C 00 00 9E"); // level values

using SimProcess = zentor::test::SimulatorProcess;

bool exists(const std::string& path)
{
    struct stat s
    {};
    return ::lstat(path.c_str(), &s) == 0;
}

TEST(SimulatorProcess, AnswersIdentifyAndRecordsExactlyWhatTheClientReceived)
{
    SimProcess sim;
    ASSERT_TRUE(sim.start({"--link", sim.path("port"), "--seconds", "2", "--record",
                           sim.path("record.bin"), "--seed", "7", "--rate", "50"}));
    const int fd = openPort(sim.path("port"), 5000);
    ASSERT_GE(fd, 0) << sim.output("err.txt");
    ASSERT_EQ(::write(fd, kIdentify.data(), kIdentify.size()), 5);
    const Bytes stream = readPort(fd, 0, 8000);
    ::close(fd);
    ASSERT_EQ(sim.waitExit(5000), 0) << sim.output("err.txt");

    ASSERT_GE(stream.size(), kFirstFrame.size());
    EXPECT_EQ(Bytes(stream.begin(), stream.begin() + 13), kFirstFrame)
        << "nothing was written before the client opened the port";
    const std::vector<Bytes> records = framed(stream);
    int identifications = 0;
    for (const Bytes& r : records)
        identifications += r == hex("0A 00 1C 5A 54 30 31 32 33 34 35 13");
    EXPECT_EQ(identifications, 1);
    EXPECT_GT(records.size(), 40u);
    EXPECT_EQ(test::readFile(sim.path("record.bin")), joined(records));
    EXPECT_FALSE(exists(sim.path("port"))) << "the link is removed at the end";
    EXPECT_NE(sim.output("out.txt").find("ZENTOR_COM1=" + sim.path("port")), std::string::npos);
    EXPECT_NE(sim.output("err.txt").find("command 0x1C answered"), std::string::npos);
    EXPECT_NE(sim.output("err.txt").find("of them intact frames"), std::string::npos);
}

TEST(SimulatorProcess, StopsCleanlyOnSigtermAndTheRecordMatchesADamagedStream)
{
    SimProcess sim;
    ASSERT_TRUE(sim.start({"--link", sim.path("port"), "--record", sim.path("record.bin"),
                           "--faults", "garbage,bitflip,truncate", "--fault-rate", "0.2", "--seed",
                           "3", "--rate", "200", "--mode", "table"}));
    const int fd = openPort(sim.path("port"), 5000);
    ASSERT_GE(fd, 0) << sim.output("err.txt");
    Bytes stream = readPort(fd, 4000, 5000);
    sim.signal(SIGTERM);
    const Bytes rest = readPort(fd, 0, 5000);
    ::close(fd);
    ASSERT_EQ(sim.waitExit(5000), 0) << sim.output("err.txt");
    stream = cat({stream, rest});

    const std::vector<Bytes> records = framed(stream);
    EXPECT_GT(records.size(), 20u);
    EXPECT_EQ(test::readFile(sim.path("record.bin")), joined(records));
    EXPECT_FALSE(exists(sim.path("port")));
    EXPECT_NE(sim.output("err.txt").find("damaged"), std::string::npos);
}

TEST(SimulatorProcess, AClientThatReopensThePortGetsAFreshStart)
{
    SimProcess sim;
    ASSERT_TRUE(sim.start({"--link", sim.path("port"), "--seconds", "8", "--rate", "100"}));
    int fd = openPort(sim.path("port"), 5000);
    ASSERT_GE(fd, 0);
    ASSERT_GE(readPort(fd, 2000, 5000).size(), 2000u);
    ::close(fd); // leaves whatever was still on the line unread
    ASSERT_TRUE(sim.waitForMessage("the client closed the port", 5000));

    fd = openPort(sim.path("port"), 5000);
    ASSERT_GE(fd, 0);
    const Bytes again = readPort(fd, kFirstFrame.size(), 5000);
    ASSERT_GE(again.size(), kFirstFrame.size());
    EXPECT_EQ(Bytes(again.begin(), again.begin() + 13), kFirstFrame)
        << "the new session starts on a clean line";
    ::close(fd);
    sim.signal(SIGINT);
    EXPECT_EQ(sim.waitExit(5000), 0);
}

TEST(SimulatorProcess, ABadCommandLineExitsWithStatusTwo)
{
    SimProcess bad;
    ASSERT_TRUE(bad.start({"--rate", "fast"}));
    EXPECT_EQ(bad.waitExit(5000), 2);
    EXPECT_EQ(bad.output("err.txt"), "zentor-sim: --rate takes a whole number from 1 to 1000, "
                                     "not 'fast'\nTry 'zentor-sim --help' for the options.\n");

    SimProcess help;
    ASSERT_TRUE(help.start({"--help"}));
    EXPECT_EQ(help.waitExit(5000), 0);
    EXPECT_EQ(help.output("out.txt").rfind("Usage: zentor-sim [options]", 0), 0u);
}

} // namespace
} // namespace zentor::sim

#endif
