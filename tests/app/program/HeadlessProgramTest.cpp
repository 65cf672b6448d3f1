// zentor-dl run headless as a field PC's start-up would run it, against the instrument
// simulator on a pseudo-terminal: status lines each second, a clean end after --seconds or
// SIGTERM, and a whole log that holds what the simulator sent.
#include "support/FileBytes.h"
#include "support/SimulatorProcess.h"
#include "support/WaitUntil.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>

namespace zentor {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kHeaderWithoutChannelInformation = 63;

using test::readFile;

std::string readText(const std::string& path)
{
    const Bytes bytes = readFile(path);
    return std::string(bytes.begin(), bytes.end());
}

// One run of a program with its output in files, ended by the test or killed at the end.
class Program
{
public:
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    explicit Program(std::string outputStem) : stem_(std::move(outputStem)) {}
    ~Program()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        ::unlink((stem_ + ".out").c_str());
        ::unlink((stem_ + ".err").c_str());
    }

    bool start(std::vector<std::string> args)
    {
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, (stem_ + ".out").c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, (stem_ + ".err").c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int rc = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        return rc == 0;
    }

    // The exit status (128 + signal when killed), or -1 when it has not ended in time.
    int waitExit(std::chrono::milliseconds within)
    {
        int status = 0;
        const bool ended =
            test::waitUntil([&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; }, within);
        if (!ended)
            return -1;
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    void signal(int sig) const { ::kill(pid_, sig); }
    std::string out() const { return readText(stem_ + ".out"); }
    std::string err() const { return readText(stem_ + ".err"); }

private:
    std::string stem_;
    pid_t pid_ = -1;
};

std::size_t statusLines(const std::string& out)
{
    std::istringstream lines(out);
    std::size_t n = 0;
    for (std::string line; std::getline(lines, line);) {
        if (line.find(" s | Connected via COM | packets ") != std::string::npos &&
            line.find(" | GPS ") != std::string::npos)
            ++n;
    }
    return n;
}

class HeadlessProgram : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The simulator outlasts every run; the test kills it at the end.
        ASSERT_TRUE(sim.start({"--link", sim.path("port"), "--record", sim.path("record.bin"),
                               "--mode", "list", "--rate", "50", "--seed", "5"}));
        ASSERT_TRUE(sim.waitForLink(sim.path("port")));
        ::setenv("ZENTOR_COM1", sim.path("port").c_str(), 1);
    }

    void TearDown() override { ::unlink(log.c_str()); }

    // After the program has ended: the log is whole for klf-dump, begins with the header of a
    // new file, and then holds exactly the packets the simulator sent, from the first on, in
    // order (the simulator may have sent a few more before it noticed the program was gone).
    void expectWholeLogOfTheSimulatorsPackets()
    {
        Program dump(sim.path("dump"));
        ASSERT_TRUE(dump.start({ZENTOR_KLF_DUMP, log}));
        EXPECT_EQ(dump.waitExit(10000ms), 0) << dump.out() << dump.err();
        EXPECT_NE(dump.out().find("verdict: whole"), std::string::npos) << dump.out();

        const Bytes file = readFile(log);
        const Bytes record = readFile(sim.path("record.bin"));
        ASSERT_GT(file.size(), kHeaderWithoutChannelInformation + 1000);
        const Bytes logged(file.begin() + kHeaderWithoutChannelInformation, file.end());
        ASSERT_LE(logged.size(), record.size());
        EXPECT_TRUE(std::equal(logged.begin(), logged.end(), record.begin()))
            << "the log is not the simulator's packets from the first on";
    }

    test::SimulatorProcess sim;
    std::string log = sim.path("drive.KLF");
};

TEST_F(HeadlessProgram, LogsForTheGivenSecondsPrintingAStatusLineEachSecond)
{
    Program dl(sim.path("dl"));
    ASSERT_TRUE(dl.start({ZENTOR_DL_PATH, "--port", "COM1", "--log", sim.path("drive"),
                          "--headless", "--seconds", "3"}));
    ASSERT_EQ(dl.waitExit(20000ms), 0) << dl.err();
    const std::string out = dl.out();
    EXPECT_EQ(out.rfind("Logging to " + log + "\n", 0), 0u) << out;
    EXPECT_GE(statusLines(out), 2u) << out;
    EXPECT_NE(out.find(" kB | GPS 3D Fix "), std::string::npos) << out;
    expectWholeLogOfTheSimulatorsPackets();
}

TEST_F(HeadlessProgram, SigtermEndsTheRunCleanlyWithTheLogWhole)
{
    Program dl(sim.path("dl"));
    ASSERT_TRUE(
        dl.start({ZENTOR_DL_PATH, "--port", "COM1", "--log", sim.path("drive"), "--headless"}));
    ASSERT_TRUE(test::waitUntil([&] { return statusLines(dl.out()) >= 2; }, 15000ms)) << dl.out();
    dl.signal(SIGTERM);
    ASSERT_EQ(dl.waitExit(15000ms), 0) << dl.err();
    expectWholeLogOfTheSimulatorsPackets();
}

TEST_F(HeadlessProgram, ALogFileThatCannotBeOpenedIsReportedOnStandardErrorWithStatusOne)
{
    Program dl(sim.path("dl"));
    const std::string name = sim.path("no-such-folder") + "/drive";
    ASSERT_TRUE(dl.start(
        {ZENTOR_DL_PATH, "--port", "COM1", "--log", name, "--headless", "--seconds", "3"}));
    ASSERT_EQ(dl.waitExit(20000ms), 1) << dl.err();
    EXPECT_EQ(dl.err(),
              "Error: Could not open the log file \"" + name +
                  ".KLF\" (No such file or directory). Log mode has been switched off.\n");
    EXPECT_NE(dl.out().find(" | log off | "), std::string::npos) << dl.out();
}

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

} // namespace
} // namespace zentor
