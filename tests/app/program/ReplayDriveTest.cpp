// A drive recorded live against the simulator, then replayed as fast as the program reads: the
// replay goes through the live path (link thread, receiver protocol, GPS router, map feed) and
// leaves the receiver state, the GPS screen's fields and the map block as the live run left
// them, without touching the log's bytes or logging anything. A file that is not a log is
// refused with a clear error.
#include "app/StatusTexts.h"
#include "app/UnattendedRun.h"
#include "gps/GpsPanelTexts.h"
#include "gps/GpsRecordDecoder.h"
#include "map/MapTestNames.h"
#include "support/FileBytes.h"
#include "support/SimulatorProcess.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace zentor {
namespace {

using Bytes = std::vector<std::uint8_t>;

// What a run leaves on the screen and in the map feed, as text, field by field. (The count of
// readings stored since the start is not among them: the live run's counts those before log
// mode went on.)
struct RunEnd
{
    std::string receivers;
    std::vector<std::string> gpsFields;
    Bytes mapBlock;
};

std::string bytesText(const std::uint8_t* data, std::size_t n)
{
    std::ostringstream text;
    for (std::size_t i = 0; i < n; ++i)
        text << ' ' << int{data[i]};
    return text.str();
}

RunEnd endOf(UnattendedRun& run, const test::TestMapNames& names)
{
    RunEnd end;
    ReceiverState& state = run.session().state();
    std::ostringstream text;
    text << "serial " << state.identification() << "\n";
    const ClockTexts clock = clockTexts(state.instrumentClock());
    text << "clock " << clock.date << " " << clock.time << " " << clock.marker << "\n";
    for (int r = 0; r < kReceiverCount; ++r) {
        const ReceiverSnapshot s = state.receiver(r);
        const RangeTexts range = rangeTexts(s.range);
        text << "receiver " << r + 1 << ": present " << s.present << s.everPresent << " range "
             << range.minimumMHz << " " << range.maximumMHz << " " << range.stepKHz << " level "
             << s.range.currentCount << " average " << s.averageLevelDbm << " single "
             << int{s.singleRssi} << " table index " << s.lastTableIndex << "\n  configuration"
             << bytesText(s.info.configuration.data(), s.info.configuration.size()) << "\n  status"
             << bytesText(s.info.status.data(), s.info.status.size()) << "\n  list"
             << bytesText(s.listRssi.data(), s.listRssi.size()) << "\n  table"
             << bytesText(s.tableRssi.data(), s.tableRssi.size()) << "\n";
    }
    end.receivers = text.str();
    const auto record = state.gpsRecord();
    if (const auto status = decodeGpsRecord(record.data(), record.size())) {
        const GpsPanelTexts panel = formatGpsPanel(*status);
        end.gpsFields.assign(panel.texts.begin(), panel.texts.end());
    }
    end.mapBlock.resize(kMapBlockBytes);
    if (!readMapBlock(names.names(), end.mapBlock.data()))
        end.mapBlock.clear();
    return end;
}

struct Quiet
{
    std::FILE* file = std::fopen("/dev/null", "w");
    ~Quiet() { std::fclose(file); }
};

TEST(ReplayDrive, AtFullSpeedEndsAsTheLiveRunThatRecordedItEnded)
{
    test::SimulatorProcess sim;
    // The simulator ends first, so every packet the live run took after log mode went on is in
    // its log.
    ASSERT_TRUE(sim.start({"--link", sim.path("port"), "--mode", "list", "--rate", "4", "--seed",
                           "11", "--seconds", "6"}));
    ASSERT_TRUE(sim.waitForLink(sim.path("port")));
    ::setenv("ZENTOR_COM1", sim.path("port").c_str(), 1);
    const std::string logName = sim.path("drive");
    const std::string logPath = logName + ".KLF";
    Quiet quiet;

    test::TestMapNames liveNames;
    UnattendedRun live(
        parseProgramOptions({"--port", "COM1", "--seconds", "8"}, Program::UnattendedLogger),
        quiet.file, quiet.file, {}, liveNames.names());
    // Log mode switched on once the instrument has said how it is set up, as a user does.
    const auto started = std::chrono::steady_clock::now();
    bool logging = false;
    ASSERT_EQ(live.exec([&] {
        if (!logging && std::chrono::steady_clock::now() - started > std::chrono::seconds(2))
            logging = !live.session().startLog(logName).empty();
        return false;
    }),
              0);
    ASSERT_TRUE(logging);
    ASSERT_TRUE(live.workersEnded());
    const RunEnd liveEnd = endOf(live, liveNames);
    ASSERT_FALSE(liveEnd.gpsFields.empty()) << "the live run saw GPS records";
    ASSERT_FALSE(liveEnd.mapBlock.empty());
    const Bytes logged = test::readFile(logPath);

    test::TestMapNames replayNames;
    UnattendedRun replay(
        parseProgramOptions({"--replay", logPath, "--speed", "max"}, Program::UnattendedLogger),
        quiet.file, quiet.file, {}, replayNames.names());
    ASSERT_EQ(replay.exec([] { return false; }), 0) << "ends by itself at the drive's end";
    ASSERT_TRUE(replay.workersEnded());
    EXPECT_EQ(replay.session().state().statusText(), "Replay ended");
    EXPECT_TRUE(replay.session().startLog(sim.path("during")).empty())
        << "log mode is refused during a replay";
    const RunEnd replayEnd = endOf(replay, replayNames);

    EXPECT_EQ(replayEnd.receivers, liveEnd.receivers);
    EXPECT_EQ(replayEnd.gpsFields, liveEnd.gpsFields);
    EXPECT_EQ(replayEnd.mapBlock, liveEnd.mapBlock);
    EXPECT_EQ(test::readFile(logPath), logged) << "the replayed log is not written to";
    EXPECT_NE(::access(sim.path("during.KLF").c_str(), F_OK), 0);
    ::unlink(logPath.c_str());
}

TEST(ReplayDrive, RefusesAFileThatIsNoLog)
{
    test::SimulatorProcess dir; // a scratch folder only
    const std::string path = dir.path("notes.KLF");
    std::ofstream(path) << "drive notes\n";
    test::TestMapNames names;
    std::FILE* errors = std::tmpfile();
    ASSERT_NE(errors, nullptr);
    Quiet quiet;
    UnattendedRun run(parseProgramOptions({"--replay", path}, Program::UnattendedLogger),
                      quiet.file, errors, {}, names.names());
    EXPECT_EQ(run.exec([] { return false; }), UnattendedRun::kExitReplayRefused);
    std::rewind(errors);
    char line[512] = {};
    ASSERT_NE(std::fgets(line, sizeof line, errors), nullptr);
    EXPECT_EQ(std::string(line), "Error: " + path +
                                     " is not a data logger log: it does not start with a log "
                                     "header\n");
    std::fclose(errors);
    ::unlink(path.c_str());
}

} // namespace
} // namespace zentor
