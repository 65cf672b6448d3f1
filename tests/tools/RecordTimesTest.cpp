// The simulator's record times: one line per record of its record file, saying when the record
// had gone out on the line.
#include "zentor-sim/SimOptions.h"

#include <gtest/gtest.h>

#if defined(ZENTOR_SIM_PATH) && !defined(_WIN32)
#include "SimClient.h"
#include "support/SimulatorProcess.h"

#include <chrono>
#include <fstream>
#include <regex>
#endif

namespace zentor::sim {
namespace {

TEST(SimRecordTimes, AreAskedForAlongWithTheRecordFile)
{
    const ParsedOptions p = parseOptions({"--record", "r.bin", "--record-times=t.txt"});
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.options.recordPath, "r.bin");
    EXPECT_EQ(p.options.recordTimesPath, "t.txt");
    EXPECT_EQ(parseOptions({"--record-times", "t.txt"}).error, "--record-times needs --record");
    EXPECT_EQ(parseOptions({"--record", "r.bin", "--record-times"}).error,
              "--record-times needs a value");
    EXPECT_EQ(parseOptions({"--travelpilot-only", "--record-times", "t.txt"}).error,
              "--record-times cannot be used with --travelpilot-only: there is no instrument");
    EXPECT_NE(usageText().find("  --record-times FILE "), std::string::npos);
}

#if defined(ZENTOR_SIM_PATH) && !defined(_WIN32)

std::int64_t unixMsNow()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

TEST(SimRecordTimes, SayWhenEachRecordHadGoneOutOnTheLine)
{
    zentor::test::SimulatorProcess sim;
    const std::string timesPath = sim.path("times.txt");
    const std::int64_t startedMs = unixMsNow();
    ASSERT_TRUE(sim.start({"--link", sim.path("port"), "--seconds", "3", "--rate", "50", "--seed",
                           "7", "--record", sim.path("record.bin"), "--record-times", timesPath}));
    const int fd = test::openPort(sim.path("port"), 5000);
    ASSERT_GE(fd, 0) << sim.output("err.txt");
    const Bytes stream = test::readPort(fd, 0, 10000);
    ::close(fd);
    ASSERT_EQ(sim.waitExit(5000), 0) << sim.output("err.txt");
    const std::int64_t endedMs = unixMsNow();

    const std::vector<Bytes> records = test::framed(stream);
    ASSERT_GT(records.size(), 100u);
    ASSERT_EQ(test::readFile(sim.path("record.bin")), test::joined(records));
    std::ifstream times(timesPath);
    const std::regex line("([0-9]+) ([0-9]+)");
    std::string text;
    std::size_t i = 0;
    std::int64_t firstMs = 0;
    std::int64_t lastMs = 0;
    while (std::getline(times, text)) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(text, m, line)) << "line " << i << ": " << text;
        ASSERT_LT(i, records.size());
        const std::int64_t ms = std::stoll(m[1]);
        EXPECT_EQ(std::stoul(m[2]), records[i].size()) << "line " << i;
        EXPECT_GE(ms, i == 0 ? startedMs : lastMs) << "line " << i;
        EXPECT_LE(ms, endedMs) << "line " << i;
        firstMs = i == 0 ? ms : firstMs;
        lastMs = ms;
        ++i;
    }
    EXPECT_EQ(i, records.size());
    // Taken as the records went out over the three seconds, not when the file was written.
    EXPECT_GE(lastMs - firstMs, 1000);
    ::unlink(timesPath.c_str());
}

#endif

} // namespace
} // namespace zentor::sim
