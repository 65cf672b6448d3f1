// The whole program on a damaged link: its windows on the offscreen platform and all its worker
// threads, connected through the connection dialog to the instrument simulator, which puts
// garbage between frames, flips bits and cuts frames short. Log mode is switched on and off from
// the main window as a user does. Each log must hold exactly the packet records that the
// simulator's record says reached the program intact, in order, after the header; and the
// window thread must answer calls within kWindowAnswerBound all the while.
//
// The instrument is connected first, so that the program knows it (serial number, receivers,
// scan channel information), then it goes away; log mode goes on while the link thread tries to
// reconnect, and each drive is a new simulator run on the same port that the link thread finds
// again. So a log holds a whole run of the simulator, from its first byte to its last.
#if defined(ZENTOR_SIM_PATH)

#include "app/ProgramWindows.h"
#include "link/ByteOrder.h"
#include "link/TCom_Router.h"
#include "logging/KlfFormat.h"
#include "logging/KlfReader.h"
#include "logging/LogFileName.h"
#include "logging/LogHeader.h"
#include "map/MapTestNames.h"
#include "support/FileBytes.h"
#include "support/SimulatorProcess.h"
#include "support/WaitUntil.h"
#include "support/WindowProbe.h"
#include "ui/TestApplication.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <functional>
#include <future>
#include <gtest/gtest.h>
#include <iterator>
#include <sys/stat.h>

namespace zentor {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

// Calls from other threads must be answered within this: longer, and the window stalls.
constexpr std::chrono::milliseconds kWindowAnswerBound{100};
// The packets a drive lasts at least before the simulator is told to end.
constexpr std::size_t kDrivePackets = 150;
// Generous bounds for a loaded machine; nothing waits for them in a passing run.
constexpr auto kStartWait = 10s;
constexpr auto kDriveWait = 20s;
constexpr auto kExitWait = 10s;
constexpr auto kCatchUpWait = 10s;
// How often a wait looks at its condition while it serves the window thread.
constexpr int kLookEveryMs = 5;

// Runs `work` on a thread of its own and returns what it returned, while the window thread goes
// on serving its events; the wait sleeps in the event loop between looks. The test's own file
// work and waits run so, and never stall the window thread that the probe measures (under heavy
// disk traffic a mere read of the log can wait for the file system's journal).
template <class Work> auto offWindow(Work work) -> decltype(work())
{
    auto result = std::async(std::launch::async, std::move(work));
    QTimer look;
    look.start(kLookEveryMs);
    while (result.wait_for(0s) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return result.get();
}

// Waits off the window thread until `condition` holds or `within` has passed; true when it held.
bool waitOffWindow(const std::function<bool()>& condition, std::chrono::milliseconds within)
{
    return offWindow([&] { return test::waitUntil(condition, within); });
}

void serveWindowOnce()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents, kLookEveryMs);
}

// One run of the simulator whose folder is made and removed off the window thread, and which is
// started there too: the spawn lasts until the new process has opened its output files.
class Simulator
{
public:
    Simulator() : sim_(offWindow([] { return std::make_unique<test::SimulatorProcess>(); })) {}
    ~Simulator()
    {
        offWindow([this] { sim_.reset(); });
    }
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    bool start(std::vector<std::string> args)
    {
        return offWindow([&] { return sim_->start(std::move(args)); });
    }
    test::SimulatorProcess* operator->() { return sim_.get(); }
    test::SimulatorProcess& operator*() { return *sim_; }

private:
    std::unique_ptr<test::SimulatorProcess> sim_;
};

// The simulator's exit status, or -1 when it has not ended within kExitWait.
int exitStatusOf(test::SimulatorProcess& sim)
{
    const auto exitMs = std::chrono::duration_cast<std::chrono::milliseconds>(kExitWait);
    return offWindow([&] { return sim.waitExit(static_cast<int>(exitMs.count())); });
}

using test::readFile;

std::size_t fileSize(const std::string& path)
{
    struct stat s
    {};
    return ::stat(path.c_str(), &s) == 0 ? static_cast<std::size_t>(s.st_size) : 0;
}

// The packet records (after any header) in the log as far as it is written.
std::size_t loggedPackets(const std::string& path)
{
    const Bytes log = readFile(path);
    KlfReader reader(log.data(), log.size());
    KlfRecord record;
    std::size_t packets = 0;
    while (reader.next(record))
        packets += record.kind == KlfRecordKind::Packet ? 1 : 0;
    return packets;
}

// Where `logged` first parts from `record`, in the words of the record's packets.
std::string firstDifference(const Bytes& logged, const Bytes& record)
{
    std::size_t packetStart = 0;
    std::size_t packet = 0;
    for (std::size_t at = 0; at < std::min(logged.size(), record.size()); ++at) {
        if (at >= packetStart + kLengthFieldBytes + readLe16(&record[packetStart])) {
            packetStart = at;
            ++packet;
        }
        if (logged[at] != record[at])
            return "first difference at byte " + std::to_string(at) + ", in packet " +
                   std::to_string(packet) + " of the record (at byte " +
                   std::to_string(packetStart) + ", type " +
                   std::to_string(record[packetStart + kLengthFieldBytes]) + ")";
    }
    return logged.size() < record.size()
               ? "the log ends early, at byte " + std::to_string(logged.size())
               : "the log goes on past the record's end, at byte " + std::to_string(record.size());
}

// The counts of the simulator's closing summary.
struct SimSummary
{
    unsigned long long framesSent = 0, damaged = 0, bitFlips = 0, truncated = 0, garbage = 0,
                       recordsFound = 0, intactFound = 0;
    bool found = false;
};

SimSummary summaryOf(const std::string& errorOutput)
{
    SimSummary s;
    const std::size_t at = errorOutput.rfind("zentor-sim: ");
    if (at == std::string::npos)
        return s;
    s.found = std::sscanf(errorOutput.c_str() + at,
                          "zentor-sim: %llu frames sent, %llu damaged (%llu bit flips, %llu "
                          "truncated), %llu garbage bursts; a receiver finds %llu packet records, "
                          "%llu of them intact frames",
                          &s.framesSent, &s.damaged, &s.bitFlips, &s.truncated, &s.garbage,
                          &s.recordsFound, &s.intactFound) == 7;
    return s;
}

// The phases of a drive, so that a slow answer of the window thread can be placed in one.
class DrivePhases
{
public:
    using Clock = test::WindowProbe::Clock;

    void begin(const char* name) { starts_.push_back({name, Clock::now()}); }

    // "12 ms into log mode off": the phase that was under way at `t`.
    std::string at(Clock::time_point t) const
    {
        const Start* under = nullptr;
        for (const Start& start : starts_)
            if (start.at <= t)
                under = &start;
        if (under == nullptr)
            return "before the drive";
        const auto into = std::chrono::duration_cast<std::chrono::milliseconds>(t - under->at);
        return std::to_string(into.count()) + " ms into " + under->name;
    }

private:
    struct Start
    {
        const char* name;
        Clock::time_point at;
    };
    std::vector<Start> starts_;
};

// One drive: a simulator run in one measurement mode at one fault rate, logged to a file of its
// own.
struct Drive
{
    const char* mode;
    const char* packetsPerSecond;
    const char* faultRate;
    const char* seed;
};

class ProgramOnADamagedLink : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::testApplication();
        // A map feed of the test's own: another run on this machine may publish the program's.
        ::setenv("ZENTOR_MAP_BLOCK", mapNames.names().block.c_str(), 1);
        windows = std::make_unique<ProgramWindows>();
        probeWindow = std::make_unique<QtWindowThread>();
        probe = std::make_unique<test::WindowProbe>(*probeWindow);
        port = dir.filePath(QStringLiteral("com1")).toStdString();
    }

    void TearDown() override
    {
        probe->stop(serveWindowOnce);
        if (windows->mainForm().isVisible())
            windows->mainForm().closeWithoutAsking();
        EXPECT_TRUE(windows->endWorkers());
        windows.reset();
        ::unsetenv("ZENTOR_COM1");
        for (QMessageBox* box : messageBoxes())
            box->close();
    }

    // The message boxes on the screen: the program's reports to the user.
    static std::vector<QMessageBox*> messageBoxes()
    {
        std::vector<QMessageBox*> boxes;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
                boxes.push_back(box);
        return boxes;
    }

    template <class Widget> Widget* control(const char* name)
    {
        return windows->mainForm().findChild<Widget*>(QString::fromLatin1(name));
    }

    // The instrument is switched on and connected to "COM1:" with its GPS as the navigation
    // source; once the program holds its scan channel information it is switched off again.
    void connectAndLoseTheInstrument()
    {
        Simulator instrument;
        ASSERT_TRUE(instrument.start({"--link", port, "--mode", "list", "--seed", "1"}));
        ASSERT_TRUE(waitOffWindow([&] { return QFileInfo::exists(QString::fromStdString(port)); },
                                  kStartWait));
        ::setenv("ZENTOR_COM1", port.c_str(), 1);
        TCom_Form& dialog = windows->connectionDialog();
        dialog.findChild<QComboBox*>(QStringLiteral("PortChoice"))->setCurrentIndex(0);
        dialog.findChild<QComboBox*>(QStringLiteral("NavChoice"))->setCurrentIndex(0);
        dialog.findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
        ASSERT_TRUE(
            waitOffWindow([&] { return !state().channelInformation().empty(); }, kStartWait))
            << instrument->output("err.txt");
        instrument->signal(SIGTERM);
        ASSERT_EQ(exitStatusOf(*instrument), 0) << instrument->output("err.txt");
        ASSERT_TRUE(waitOffWindow(
            [&] { return state().statusText() == TCom_Router::kConnectionLostText; }, kStartWait));
        // Only reported: the main window's first showing is not what this test is about. What
        // follows is measured drive by drive.
        const test::WindowProbe::Span connecting = probe->takeSpan();
        std::printf("[ connect  ] window answered %llu calls, the slowest in %.1f ms\n",
                    static_cast<unsigned long long>(connecting.answers),
                    static_cast<double>(connecting.slowest.count()) / 1000.0);
    }

    // Log mode on, the drive, the simulator's end, log mode off (or the window closed), then
    // the log against the simulator's record.
    void drive(const Drive& d, bool endByClosing)
    {
        SCOPED_TRACE(std::string(d.mode) + " mode, fault rate " + d.faultRate);
        auto* logFile = control<QLineEdit>("LogFile");
        auto* logMode = control<QToolButton>("btnLogMode");
        const std::string logText =
            dir.filePath(
                   QStringLiteral("%1-drive-%2").arg(QString::fromLatin1(d.mode)).arg(++driveCount))
                .toStdString();
        const std::string logName = logFileName(logText);
        const Bytes header = buildLogHeader(logHeaderInputFrom(state()));

        DrivePhases phases;
        phases.begin("log mode on");
        logFile->setText(QString::fromStdString(logText));
        logMode->click();
        ASSERT_TRUE(logMode->isChecked());
        EXPECT_FALSE(logFile->isEnabled());
        // The scan channel information is known, so the program has nothing to warn about.
        EXPECT_FALSE(windows->logWarningForm().isVisible());

        phases.begin("the drive");
        Simulator instrument;
        ASSERT_TRUE(instrument.start({"--link", port, "--record", instrument->path("record.bin"),
                                      "--mode", d.mode, "--rate", d.packetsPerSecond, "--faults",
                                      "garbage,bitflip,truncate", "--fault-rate", d.faultRate,
                                      "--seed", d.seed}));
        // The link thread finds the instrument on its next try and the packets flow into the log.
        ASSERT_TRUE(
            waitOffWindow([&] { return loggedPackets(logName) >= kDrivePackets; }, kDriveWait))
            << instrument->output("err.txt") << "\nstatus: " << state().statusText();
        // The simulator sends what it has queued, waits until the program has read it, and ends.
        phases.begin("the simulator's end");
        instrument->signal(SIGTERM);
        ASSERT_EQ(exitStatusOf(*instrument), 0) << instrument->output("err.txt");
        const Bytes record = offWindow([&] { return readFile(instrument->path("record.bin")); });
        const SimSummary summary =
            offWindow([&] { return summaryOf(instrument->output("err.txt")); });
        ASSERT_TRUE(summary.found) << instrument->output("err.txt");

        // Once the link thread has seen the line hang up, every byte read has been handed to the
        // log; the log router then catches up. A lost packet shows as a log that never does.
        phases.begin("the log catching up");
        EXPECT_TRUE(waitOffWindow(
            [&] {
                return state().statusText() == TCom_Router::kConnectionLostText &&
                       fileSize(logName) >= header.size() + record.size();
            },
            kCatchUpWait))
            << "log " << fileSize(logName) << " bytes, header and record "
            << header.size() + record.size();
        if (endByClosing) {
            phases.begin("closing the window");
            windows->mainForm().closeWithoutAsking();
        } else {
            phases.begin("log mode off");
            logMode->click();
            EXPECT_FALSE(logMode->isChecked());
        }
        const test::WindowProbe::Span answers = probe->takeSpan();

        const Bytes log = offWindow([&] { return readFile(logName); });
        ASSERT_GE(log.size(), header.size());
        EXPECT_TRUE(std::equal(header.begin(), header.end(), log.begin()))
            << "the log does not open with the header records";
        const Bytes logged(log.begin() + static_cast<long>(header.size()), log.end());
        EXPECT_EQ(logged.size(), record.size());
        EXPECT_TRUE(logged == record) << firstDifference(logged, record);

        // The file reads as a sound log: the header records, then good packets only.
        KlfReader reader(log.data(), log.size());
        KlfRecord r;
        std::size_t packets = 0;
        std::size_t badChecksums = 0;
        while (reader.next(r)) {
            packets += r.kind == KlfRecordKind::Packet ? 1 : 0;
            badChecksums += r.checksum == ChecksumState::Bad ? 1 : 0;
        }
        EXPECT_EQ(reader.verdict(), KlfVerdict::Whole)
            << reader.problem() << " at byte " << reader.problemOffset();
        EXPECT_TRUE(reader.hasHeader());
        EXPECT_EQ(badChecksums, 0u);
        EXPECT_EQ(packets, summary.recordsFound);

        // At 0.01 a drive may well pass without a fault; from 0.1 on it cannot, in practice.
        const double faultRate = std::stod(d.faultRate);
        if (faultRate == 0.0) {
            EXPECT_EQ(summary.damaged + summary.garbage, 0u);
        } else if (faultRate >= 0.1) {
            EXPECT_GT(summary.damaged, 0u) << "the drive had damaged frames";
        }

        std::printf("[ drive    ] %s mode, fault rate %s: %llu frames sent, %llu damaged (%llu bit "
                    "flips, %llu truncated), %llu garbage bursts, %zu packets logged; window "
                    "answered %llu calls, the slowest in %.1f ms (%s)\n",
                    d.mode, d.faultRate, summary.framesSent, summary.damaged, summary.bitFlips,
                    summary.truncated, summary.garbage, packets,
                    static_cast<unsigned long long>(answers.answers),
                    static_cast<double>(answers.slowest.count()) / 1000.0,
                    phases.at(answers.slowestAskedAt).c_str());
        EXPECT_GT(answers.answers, 0u);
        EXPECT_LT(answers.slowest, kWindowAnswerBound)
            << "the window thread stalled, asked " << phases.at(answers.slowestAskedAt);
        // Damage on the line is no news to the user: nothing lost, nothing missing.
        for (QMessageBox* box : messageBoxes())
            ADD_FAILURE() << "the program reported: " << box->text().toStdString();
    }

    // The last drive ends by closing the main window instead of releasing log mode.
    void driveAll(const std::vector<Drive>& drives)
    {
        connectAndLoseTheInstrument();
        if (HasFatalFailure())
            return;
        for (std::size_t i = 0; i < drives.size() && !HasFatalFailure(); ++i)
            drive(drives[i], i + 1 == drives.size());
    }

    ReceiverState& state() { return windows->session().state(); }

    QTemporaryDir dir;
    std::string port;
    int driveCount = 0;
    test::TestMapNames mapNames; // outlives the windows, whose map feed removes its block first
    std::unique_ptr<ProgramWindows> windows;
    std::unique_ptr<QtWindowThread> probeWindow;
    std::unique_ptr<test::WindowProbe> probe;
};

TEST_F(ProgramOnADamagedLink, ListModeOnACleanAndALightlyDamagedLink)
{
    driveAll({{"list", "300", "0", "21"}, {"list", "300", "0.01", "22"}});
}

TEST_F(ProgramOnADamagedLink, ListModeOnABadlyDamagedLink)
{
    driveAll({{"list", "300", "0.1", "23"}, {"list", "300", "0.3", "24"}});
}

TEST_F(ProgramOnADamagedLink, TableModeOnADamagedLink)
{
    driveAll({{"table", "300", "0.1", "31"}, {"table", "300", "0.3", "32"}});
}

// Single-mode frames are short, so a flipped bit in a length field swallows many of them: the
// instrument sends faster to make up.
TEST_F(ProgramOnADamagedLink, SingleModeOnADamagedLink)
{
    driveAll({{"single", "1000", "0.1", "41"}, {"single", "1000", "0.3", "42"}});
}

} // namespace
} // namespace zentor

#endif
