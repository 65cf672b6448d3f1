// A list-mode drive of the simulator, recorded by an unattended run and replayed in the window
// at the recorded pace: the replay controls, the log button greyed with its reason, ten bars per
// receiver, the map feed's positions those of the drive's GPS records as klf-export gives them,
// "Replay ended" with the panels marked old at the end, and the log's bytes untouched.
#include "app/ProgramWindows.h"
#include "app/UnattendedRun.h"
#include "display/DBar.h"
#include "platform/MapPublisher.h"
#include "support/FileBytes.h"
#include "ui/PanelStatusBar.h"
#include "ui/TestApplication.h"

#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <set>
#include <utility>

namespace zentor {
namespace {

using test::processEventsUntil;
using Position = std::pair<long, long>; // latitude and longitude in millionths of a degree

Position positionOf(double latitudeDeg, double longitudeDeg)
{
    return {std::lround(latitudeDeg * 1e6), std::lround(longitudeDeg * 1e6)};
}

// The track points of the drive as klf-export writes them into a GPX file.
std::set<Position> exportedPositions(const QString& log)
{
    QProcess exporter;
    exporter.start(QStringLiteral(ZENTOR_KLF_EXPORT_PATH),
                   {log, QStringLiteral("--format"), QStringLiteral("gpx")});
    exporter.waitForFinished(10000);
    const QString gpx = QString::fromUtf8(exporter.readAllStandardOutput());
    const QRegularExpression point(QStringLiteral("<trkpt lat=\"([-0-9.]+)\" lon=\"([-0-9.]+)\""));
    std::set<Position> positions;
    for (auto it = point.globalMatch(gpx); it.hasNext();) {
        const auto match = it.next();
        positions.insert(positionOf(match.captured(1).toDouble(), match.captured(2).toDouble()));
    }
    return positions;
}

TEST(ReplayWindow, ReplaysAListDriveThroughTheWindowsOwnPanelsAndMapFeed)
{
    test::testApplication();
    QTemporaryDir dir;
    const QString port = dir.filePath(QStringLiteral("com1"));
    QProcess sim;
    sim.start(QStringLiteral(ZENTOR_SIM_PATH),
              {QStringLiteral("--link"), port, QStringLiteral("--mode"), QStringLiteral("list"),
               QStringLiteral("--seconds"), QStringLiteral("6"), QStringLiteral("--seed"),
               QStringLiteral("5")});
    ASSERT_TRUE(sim.waitForStarted(5000));
    ASSERT_TRUE(processEventsUntil([&] { return QFileInfo::exists(port); }));
    ::setenv("ZENTOR_COM1", port.toLocal8Bit().constData(), 1);
    const std::string logName = dir.filePath(QStringLiteral("drive")).toStdString();
    const QString logPath = dir.filePath(QStringLiteral("drive.KLF"));
    {
        std::FILE* quiet = std::fopen("/dev/null", "w");
        MapFeedNames recordingNames;
        recordingNames.block = "ZentorTestReplayRecording" + std::to_string(::getpid());
        UnattendedRun recording(
            parseProgramOptions({"--port", "COM1", "--log", logName, "--seconds", "8"},
                                Program::UnattendedLogger),
            quiet, quiet, {}, recordingNames);
        ASSERT_EQ(recording.exec([] { return false; }), 0);
        std::fclose(quiet);
        removeMapBlock(recordingNames);
    }
    sim.waitForFinished(5000);
    const std::vector<std::uint8_t> logged = test::readFile(logPath.toStdString());

    MapFeedNames names;
    names.block = "ZentorTestReplayWindow" + std::to_string(::getpid());
    ::setenv("ZENTOR_MAP_BLOCK", names.block.c_str(), 1);
    auto windows =
        std::make_unique<ProgramWindows>(parseProgramOptions({"--replay", logPath.toStdString()}));
    TMain_Form& form = windows->mainForm();
    auto* statusBar = form.findChild<PanelStatusBar*>(QStringLiteral("sbarZentor"));
    auto* logButton = form.findChild<QToolButton*>(QStringLiteral("btnLogMode"));
    auto* controls = form.findChild<QToolBar*>(QStringLiteral("tbReplay"));
    ASSERT_NE(controls, nullptr);
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(controls->isVisible());
    EXPECT_FALSE(logButton->isEnabled());
    EXPECT_EQ(logButton->toolTip(),
              QStringLiteral("Log Data is off during a replay: a replay never writes into a log"));
    EXPECT_TRUE(processEventsUntil(
        [&] { return statusBar->panelText(0) == QStringLiteral("Replaying drive.KLF at 1x"); }));

    // At the recorded pace every GPS record reaches the map feed.
    std::set<Position> published;
    std::vector<std::uint8_t> block(kMapBlockBytes);
    const auto watchMap = [&] {
        if (readMapBlock(names, block.data())) {
            double latitude = 0, longitude = 0;
            std::memcpy(&latitude, &block[16], sizeof latitude);
            std::memcpy(&longitude, &block[24], sizeof longitude);
            published.insert(positionOf(latitude, longitude));
        }
    };
    const auto* position = form.findChild<QLabel*>(QStringLiteral("lblPosition"));
    EXPECT_TRUE(processEventsUntil([&] {
        watchMap();
        return position->text().startsWith(QStringLiteral("00:00:04"));
    }));
    const QString keep = qEnvironmentVariable("ZENTOR_SCREENSHOT_DIR");
    if (!keep.isEmpty())
        form.grab().save(keep + QStringLiteral("/replay-window.png"));
    EXPECT_TRUE(processEventsUntil(
        [&] {
            watchMap();
            return statusBar->panelText(0) == QStringLiteral("Replay ended");
        },
        std::chrono::seconds(15)));
    EXPECT_TRUE(processEventsUntil(
        [&] { return form.findChild<QLabel*>(QStringLiteral("olLinkLost1"))->isVisible(); }));
    published.erase(positionOf(0, 0));
    EXPECT_EQ(published, exportedPositions(logPath));

    form.close();
    EXPECT_TRUE(windows->endWorkers());
    windows.reset();
    removeMapBlock(names);
    ::unsetenv("ZENTOR_MAP_BLOCK");
    ::unsetenv("ZENTOR_COM1");
    EXPECT_EQ(test::readFile(logPath.toStdString()), logged) << "the replayed log is not written";
}

} // namespace
} // namespace zentor
