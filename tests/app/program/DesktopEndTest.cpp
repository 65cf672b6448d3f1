// The desktop going away under a logging window, as a logout does: the X server is killed while
// zentor-dl logs the simulator. The program must end without an abort (or, in the sanitizer
// builds, a report), with the log whole and every packet the simulator sent more than a second
// before the kill in it.
#include "app/program/ProgramRun.h"
#include "support/SimulatorProcess.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

namespace zentor {
namespace {

using namespace std::chrono_literals;
using test::Bytes;

constexpr long long kMissingAtMostMs = 1000;

long long nowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// The bytes of the simulator's record that had gone out by `atMs`, from its --record-times.
std::size_t bytesSentBy(const std::string& times, long long atMs)
{
    std::ifstream lines(times);
    std::size_t bytes = 0;
    long long sentMs = 0;
    std::size_t size = 0;
    while (lines >> sentMs >> size && sentMs <= atMs)
        bytes += size;
    return bytes;
}

TEST(DesktopEnd, TheXServerKilledUnderALoggingWindowEndsTheRunWithTheLogWhole)
{
    if (::access("/usr/bin/Xvfb", X_OK) != 0)
        GTEST_SKIP() << "Xvfb is not installed (scripts/bootstrap installs it)";
    test::SimulatorProcess sim;
    ASSERT_TRUE(
        sim.start({"--link", sim.path("port"), "--record", sim.path("record.bin"), "--record-times",
                   sim.path("times.txt"), "--mode", "list", "--rate", "200", "--seed", "8"}));
    ASSERT_TRUE(sim.waitForLink(sim.path("port")));

    const std::string display = ":" + std::to_string(400 + ::getpid() % 500);
    test::Program x(sim.path("x"));
    ASSERT_TRUE(
        x.start({"/usr/bin/Xvfb", display, "-nolisten", "tcp", "-screen", "0", "1024x768x24"}));
    const std::string socket = "/tmp/.X11-unix/X" + display.substr(1);
    struct stat st
    {};
    ASSERT_TRUE(test::waitUntil([&] { return ::stat(socket.c_str(), &st) == 0; }, 10s));

    ::setenv("DISPLAY", display.c_str(), 1);
    ::setenv("ZENTOR_COM1", sim.path("port").c_str(), 1);
    ::unsetenv("QT_QPA_PLATFORM");
    test::Program dl(sim.path("dl"));
    const std::string log = sim.path("drive.KLF");
    ASSERT_TRUE(dl.start({ZENTOR_DL_PATH, "--port", "COM1", "--log", sim.path("drive")}));
    ASSERT_TRUE(test::waitUntil([&] { return test::readFile(log).size() > 20000; }, 20s))
        << dl.err();

    const long long killedMs = nowMs();
    x.signal(SIGKILL);
    EXPECT_EQ(dl.waitExit(30s), 0) << dl.err();
    sim.signal(SIGTERM);
    ASSERT_EQ(sim.waitExit(10000), 0);

    const Bytes file = test::readFile(log);
    KlfReader reader(file.data(), file.size());
    std::size_t packetsStart = file.size();
    for (KlfRecord r; reader.next(r);) {
        if (r.kind == KlfRecordKind::Packet)
            packetsStart = std::min(packetsStart, r.offset);
    }
    EXPECT_EQ(reader.verdict(), KlfVerdict::Whole) << reader.problem();
    const Bytes record = test::readFile(sim.path("record.bin"));
    const std::size_t logged = file.size() - packetsStart;
    ASSERT_LE(logged, record.size());
    EXPECT_TRUE(
        std::equal(file.begin() + static_cast<long>(packetsStart), file.end(), record.begin()))
        << "the log is not the simulator's packets from the first on";
    EXPECT_GE(logged, bytesSentBy(sim.path("times.txt"), killedMs - kMissingAtMostMs))
        << "packets sent more than a second before the kill are missing";
    std::remove(log.c_str());
    std::remove(sim.path("times.txt").c_str());
}

} // namespace
} // namespace zentor
