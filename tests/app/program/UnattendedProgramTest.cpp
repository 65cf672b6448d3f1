// The unattended runs as a field PC's start-up would run them, zentor-log and (where the windows
// are built) zentor-dl --headless, against the instrument simulator on a pseudo-terminal: status
// lines each second, a clean end after --seconds or SIGTERM, a whole log whose header holds
// what the instrument said of itself and whose packets are what the simulator sent, from the
// first, and the link's frame counts on a line whose frames the simulator damages.
#include "app/program/ProgramRun.h"
#include "support/SimulatorProcess.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <regex>
#include <sstream>
#include <sys/mman.h>
#include <sys/stat.h>
#include <thread>

namespace zentor {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

using test::bytesOf;
using test::Program;
using test::readFile;
using test::recordsOf;

const std::regex kFraming("frames ([0-9]+) good, ([0-9]+) bad checksum, ([0-9]+) bad length; "
                          "([0-9]+) bytes skipped");

std::size_t statusLines(const std::string& out)
{
    const std::regex connected(" s \\| Connected via COM \\| frames .* \\| packets .* \\| GPS ");
    std::istringstream lines(out);
    std::size_t n = 0;
    for (std::string line; std::getline(lines, line);)
        n += std::regex_search(line, connected);
    return n;
}

// One of the unattended programs: its path and the options that make it unattended.
struct Unattended
{
    const char* name;
    std::vector<std::string> command;
};

void PrintTo(const Unattended& program, std::ostream* out)
{
    *out << program.name;
}

std::vector<Unattended> unattendedPrograms()
{
    std::vector<Unattended> programs{{"zentor_log", {ZENTOR_LOG_PATH}}};
#ifdef ZENTOR_DL_PATH
    programs.push_back({"zentor_dl_headless", {ZENTOR_DL_PATH, "--headless"}});
#endif
    return programs;
}

class UnattendedProgram : public ::testing::TestWithParam<Unattended>
{
protected:
    void SetUp() override
    {
        ::setenv("ZENTOR_COM1", sim.path("port").c_str(), 1);
        // A map block of the test's own: other runs on this machine publish theirs meanwhile.
        ::setenv("ZENTOR_MAP_BLOCK", mapBlock.c_str(), 1);
    }

    void TearDown() override
    {
        ::unlink(log.c_str());
        ::shm_unlink(("/" + mapBlock).c_str());
        ::shm_unlink(("/" + mapBlock + ".publisher").c_str());
    }

    // The simulator outlasts every run; the test kills it at the end.
    void startSimulator()
    {
        ASSERT_TRUE(sim.start({"--link", sim.path("port"), "--record", sim.path("record.bin"),
                               "--mode", "list", "--rate", "50", "--seed", "5"}));
        ASSERT_TRUE(sim.waitForLink(sim.path("port")));
    }

    bool mapBlockExists() const
    {
        struct stat st
        {};
        return ::stat(("/dev/shm/" + mapBlock).c_str(), &st) == 0;
    }

    bool start(Program& program, const std::vector<std::string>& options)
    {
        std::vector<std::string> args = GetParam().command;
        args.insert(args.end(), options.begin(), options.end());
        return program.start(args);
    }

    // After the program has ended: the log is whole for klf-dump; its header holds the
    // simulator's serial number, both receivers' configuration blocks and channel information
    // it sent; then come exactly the packets the simulator sent, from the first on, in order
    // (the simulator may have sent a few more before it noticed the program was gone).
    void expectCompleteHeaderThenTheSimulatorsPackets()
    {
        Program dump(sim.path("dump"));
        ASSERT_TRUE(dump.start({ZENTOR_KLF_DUMP, log}));
        EXPECT_EQ(dump.waitExit(10000ms), 0) << dump.out() << dump.err();
        EXPECT_NE(dump.out().find("verdict: whole"), std::string::npos) << dump.out();

        const Bytes file = readFile(log);
        const Bytes record = readFile(sim.path("record.bin"));
        const std::vector<KlfRecord> sent = recordsOf(record);
        const auto configuration = std::find_if(sent.begin(), sent.end(),
                                                [](const KlfRecord& r) { return r.type == 0x01; });
        ASSERT_NE(configuration, sent.end());
        std::vector<Bytes> channelInformation;
        for (const KlfRecord& r : sent) {
            if (r.type == 0x05 || r.type == 0x06)
                channelInformation.push_back(bytesOf(r, record));
        }

        std::size_t packetsStart = 0;
        bool serialSeen = false, receiversSeen = false, channelInformationSeen = false;
        for (const KlfRecord& r : recordsOf(file)) {
            if (r.kind == KlfRecordKind::SerialNumber) {
                serialSeen = true;
                EXPECT_EQ(std::string(r.data.data, r.data.data + 8), "ZT012345");
            } else if (r.kind == KlfRecordKind::Receivers) {
                receiversSeen = true;
                ASSERT_EQ(r.data.size, 24u);
                EXPECT_EQ(r.data.data[0], 0x03) << "both receivers present";
                // Receiver 1's block whole, then the first 11 bytes of receiver 2's.
                EXPECT_TRUE(
                    std::equal(r.data.data + 1, r.data.data + 24, configuration->data.data + 1));
            } else if (r.kind == KlfRecordKind::ChannelInformation) {
                channelInformationSeen = true;
                EXPECT_NE(std::find(channelInformation.begin(), channelInformation.end(),
                                    bytesOf(r, file)),
                          channelInformation.end());
            } else if (r.kind == KlfRecordKind::Packet) {
                packetsStart = r.offset;
                break;
            }
        }
        EXPECT_TRUE(serialSeen && receiversSeen && channelInformationSeen);
        ASSERT_GT(packetsStart, 0u);
        const Bytes logged(file.begin() + static_cast<long>(packetsStart), file.end());
        ASSERT_GT(logged.size(), 1000u);
        ASSERT_LE(logged.size(), record.size());
        EXPECT_TRUE(std::equal(logged.begin(), logged.end(), record.begin()))
            << "the log is not the simulator's packets from the first on";
    }

    test::SimulatorProcess sim;
    std::string log = sim.path("drive.KLF");
    std::string mapBlock = "ZentorTestProgram_" + std::to_string(::getpid());
};

TEST_P(UnattendedProgram, LogsForTheGivenSecondsPrintingAStatusLineEachSecond)
{
    startSimulator();
    Program run(sim.path("run"));
    ASSERT_TRUE(start(run, {"--port", "COM1", "--log", sim.path("drive"), "--seconds", "3"}));
    EXPECT_TRUE(test::waitUntil([&] { return mapBlockExists(); }, 10000ms));
    ASSERT_EQ(run.waitExit(20000ms), 0) << run.err();
    EXPECT_FALSE(mapBlockExists()) << "the map block outlived the program";
    const std::string out = run.out();
    EXPECT_EQ(out.rfind("Logging to " + log + "\n", 0), 0u) << out;
    EXPECT_GE(statusLines(out), 2u) << out;
    EXPECT_NE(out.find(" kB | GPS 3D Fix "), std::string::npos) << out;
    expectCompleteHeaderThenTheSimulatorsPackets();
}

TEST_P(UnattendedProgram, SigtermEndsTheRunCleanlyWithTheLogWhole)
{
    Program run(sim.path("run"));
    startSimulator();
    ASSERT_TRUE(start(run, {"--port", "COM1", "--log", sim.path("drive")}));
    ASSERT_TRUE(test::waitUntil([&] { return statusLines(run.out()) >= 2; }, 15000ms)) << run.out();
    EXPECT_TRUE(mapBlockExists());
    run.signal(SIGTERM);
    ASSERT_EQ(run.waitExit(15000ms), 0) << run.err();
    EXPECT_FALSE(mapBlockExists()) << "the map block outlived the program";
    expectCompleteHeaderThenTheSimulatorsPackets();
}

// The instrument is plugged in after the program has started: the port is retried until it is
// there, then the run goes on as if it had been there from the start.
TEST_P(UnattendedProgram, WaitsForAnInstrumentThatIsNotThereYet)
{
    Program run(sim.path("run"));
    ASSERT_TRUE(start(run, {"--port", "COM1", "--log", sim.path("drive"), "--seconds", "7"}));
    ASSERT_TRUE(test::waitUntil(
        [&] {
            return run.out().find(" s | COM1: not available - retrying... | ") != std::string::npos;
        },
        10000ms))
        << run.out();
    std::this_thread::sleep_for(2000ms);
    startSimulator();
    ASSERT_EQ(run.waitExit(20000ms), 0) << run.err();
    EXPECT_GE(statusLines(run.out()), 2u) << run.out();
    expectCompleteHeaderThenTheSimulatorsPackets();
}

// Bit flips in the frames' bodies only: each damaged frame is read to its end (its sync byte and
// length are intact) and dropped for its checksum, so the counts are exact.
TEST_P(UnattendedProgram, CountsEveryFrameTheSimulatorDamaged)
{
    ASSERT_TRUE(
        sim.start({"--link", sim.path("port"), "--mode", "list", "--rate", "200", "--seconds", "4",
                   "--faults", "bodyflip", "--fault-rate", "0.1", "--seed", "7"}));
    ASSERT_TRUE(sim.waitForLink(sim.path("port")));
    Program run(sim.path("run"));
    ASSERT_TRUE(start(run, {"--port", "COM1"}));
    ASSERT_EQ(sim.waitExit(30000), 0) << sim.output("err.txt");
    // Once the simulator has gone, the next status line holds every frame it sent.
    ASSERT_TRUE(test::waitUntil(
        [&] {
            return run.out().find("Connection lost - reconnecting... | frames") !=
                   std::string::npos;
        },
        10000ms))
        << run.out();
    run.signal(SIGTERM);
    ASSERT_EQ(run.waitExit(15000ms), 0) << run.err();

    std::smatch sent;
    const std::string summary = sim.output("err.txt");
    ASSERT_TRUE(std::regex_search(summary, sent,
                                  std::regex("([0-9]+) frames sent, ([0-9]+) damaged \\(([0-9]+) "
                                             "bit flips, 0 truncated\\), 0 garbage bursts")))
        << summary;
    const std::string out = run.out();
    const std::string lastLine = out.substr(out.rfind('\n', out.size() - 2) + 1);
    std::smatch counted;
    ASSERT_TRUE(std::regex_search(lastLine, counted, kFraming)) << lastLine;
    EXPECT_GT(std::stoul(sent[2]), 0u);
    EXPECT_EQ(counted[2], sent[2]) << "bad checksums against frames damaged";
    EXPECT_EQ(std::stoul(counted[1]), std::stoul(sent[1]) - std::stoul(sent[2]));
    EXPECT_EQ(counted[3], "0");
    EXPECT_EQ(counted[4], "0");
}

TEST_P(UnattendedProgram, ALogFileThatCannotBeOpenedEndsTheRunAtOnceWithStatusOne)
{
    startSimulator();
    Program run(sim.path("run"));
    const std::string name = sim.path("no-such-folder") + "/drive";
    // Asked for ten minutes: it must not drive on without its log.
    ASSERT_TRUE(start(run, {"--port", "COM1", "--log", name, "--seconds", "600"}));
    ASSERT_EQ(run.waitExit(20000ms), 1) << run.err();
    EXPECT_EQ(run.err(),
              "Error: Could not open the log file \"" + name +
                  ".KLF\" (No such file or directory). Log mode has been switched off.\n");
}

// A second run started while a first logs: on the first's port it says the port is in use and
// reads nothing; on another instrument but the first's log name it ends with status 1, naming
// the file. The first's log is its instrument's packets from the first on, without a gap.
TEST_P(UnattendedProgram, ASecondRunLeavesTheFirstsPortAndLogFileAlone)
{
    startSimulator();
    test::SimulatorProcess otherSim;
    ASSERT_TRUE(otherSim.start(
        {"--link", otherSim.path("port"), "--mode", "table", "--rate", "50", "--seed", "9"}));
    ASSERT_TRUE(otherSim.waitForLink(otherSim.path("port")));
    ::setenv("ZENTOR_COM2", otherSim.path("port").c_str(), 1);
    Program first(sim.path("first"));
    ASSERT_TRUE(start(first, {"--port", "COM1", "--log", sim.path("drive")}));
    ASSERT_TRUE(
        test::waitUntil([&] { return first.out().find(" kB | ") != std::string::npos; }, 15000ms))
        << first.out();

    Program samePort(sim.path("same-port"));
    ASSERT_TRUE(start(samePort, {"--port", "COM1", "--seconds", "3"}));
    Program sameLog(sim.path("same-log"));
    ASSERT_TRUE(start(sameLog, {"--port", "COM2", "--log", sim.path("drive")}));
    ASSERT_EQ(sameLog.waitExit(20000ms), 1) << sameLog.err();
    EXPECT_NE(sameLog.err().find("Error: Could not open the log file \"" + log +
                                 "\" (another program is writing it). Log mode has been "
                                 "switched off.\n"),
              std::string::npos)
        << sameLog.err();
    ASSERT_EQ(samePort.waitExit(20000ms), 0) << samePort.err();
    const std::string out = samePort.out();
    EXPECT_NE(out.find(" s | COM1: in use by another program - retrying... | frames 0 good"),
              std::string::npos)
        << out;
    EXPECT_EQ(out.find("Connected"), std::string::npos) << out;

    first.signal(SIGTERM);
    ASSERT_EQ(first.waitExit(15000ms), 0) << first.err();
    expectCompleteHeaderThenTheSimulatorsPackets();
}

INSTANTIATE_TEST_SUITE_P(Programs, UnattendedProgram, ::testing::ValuesIn(unattendedPrograms()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(UnattendedLogger, LinksNoToolkitLibrary)
{
    Program ldd(::testing::TempDir() + "zentor-log-ldd-" + std::to_string(::getpid()));
    if (!ldd.start({"/usr/bin/ldd", ZENTOR_LOG_PATH}))
        GTEST_SKIP() << "ldd is not there";
    ASSERT_EQ(ldd.waitExit(10000ms), 0) << ldd.err();
    EXPECT_NE(ldd.out().find("libc.so"), std::string::npos) << ldd.out();
    EXPECT_EQ(ldd.out().find("Qt"), std::string::npos) << ldd.out();
}

#ifdef ZENTOR_DL_PATH
TEST(ProgramCommandLine, SigtermWhileTheConnectionDialogWaitsEndsTheProgram)
{
    Program dl(::testing::TempDir() + "zentor-dl-dialog-" + std::to_string(::getpid()));
    ASSERT_TRUE(dl.start({ZENTOR_DL_PATH}));
    std::this_thread::sleep_for(1000ms); // the dialog is up; no OK is pressed
    dl.signal(SIGTERM);
    EXPECT_EQ(dl.waitExit(10000ms), 0) << dl.err();
}

TEST(ProgramCommandLine, BadOptionsEndWithStatusTwoAndAMessage)
{
    Program dl(::testing::TempDir() + "zentor-dl-bad-" + std::to_string(::getpid()));
    ASSERT_TRUE(dl.start({ZENTOR_DL_PATH, "--port", "COM7", "--headless"}));
    EXPECT_EQ(dl.waitExit(10000ms), 2);
    EXPECT_EQ(dl.err(), "zentor-dl: --port must be COM1, COM2, COM3, COM4 or USB, not 'COM7'\n"
                        "Try 'zentor-dl --help' for more information.\n");
    EXPECT_EQ(dl.out(), "");
}

TEST(ProgramCommandLine, VersionPrintsTheVersion)
{
    Program dl(::testing::TempDir() + "zentor-dl-version-" + std::to_string(::getpid()));
    ASSERT_TRUE(dl.start({ZENTOR_DL_PATH, "--version"}));
    EXPECT_EQ(dl.waitExit(10000ms), 0);
    EXPECT_EQ(dl.out(), "zentor-dl 5.02\n");
}

#endif

} // namespace
} // namespace zentor
