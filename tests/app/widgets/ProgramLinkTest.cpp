// The program's own worker threads, from the connection dialog's OK to the end, against an
// instrument on a real pseudo-terminal, and against the instrument simulator when it is built.
#include "app/ProgramWindows.h"
#include "link/Frame.h"
#include "map/MapTestNames.h"
#include "platform/MapPublisher.h"
#include "support/PtyInstrument.h"
#include "ui/PanelStatusBar.h"
#include "ui/TestApplication.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

namespace zentor {
namespace {

using test::processEventsUntil;

class ProgramOnALink : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::testApplication();
        // A map feed of the test's own: another run on this machine may publish the program's.
        ::setenv("ZENTOR_MAP_BLOCK", mapNames.names().block.c_str(), 1);
        windows = std::make_unique<ProgramWindows>();
    }
    void TearDown() override
    {
        if (windows->mainForm().isVisible())
            windows->mainForm().closeWithoutAsking();
        EXPECT_TRUE(windows->endWorkers());
        windows.reset();
        ::unsetenv("ZENTOR_COM1");
    }

    // Connects to "COM1:" with the instrument's GPS, as a user would.
    void connectComOne(const std::string& device)
    {
        ::setenv("ZENTOR_COM1", device.c_str(), 1);
        TCom_Form& dialog = windows->connectionDialog();
        dialog.findChild<QComboBox*>(QStringLiteral("PortChoice"))->setCurrentIndex(0);
        dialog.findChild<QComboBox*>(QStringLiteral("NavChoice"))->setCurrentIndex(0);
        dialog.findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
    }

    QString field(const char* name)
    {
        return windows->mainForm().findChild<QLineEdit*>(QString::fromLatin1(name))->text();
    }
    QString linkStatus()
    {
        return windows->mainForm()
            .findChild<PanelStatusBar*>(QStringLiteral("sbarZentor"))
            ->panelText(0);
    }

    test::TestMapNames mapNames; // outlives the windows, whose map feed removes its block first
    std::unique_ptr<ProgramWindows> windows;
};

double readLe64Double(const std::uint8_t* p)
{
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = (bits << 8) | p[i];
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::vector<std::uint8_t> wireFrame(std::uint8_t type, const std::vector<std::uint8_t>& data)
{
    const OutboundFrame frame = buildFrame(type, data.data(), data.size());
    return {frame.bytes.begin(), frame.bytes.begin() + static_cast<long>(frame.size)};
}

TEST_F(ProgramOnALink, ConnectsIdentifiesAndShowsTheInstrumentsAnswers)
{
    test::PtyInstrument instrument;
    ASSERT_FALSE(instrument.device().empty());
    connectComOne(instrument.device());

    // The link thread opens the port and asks the instrument who it is.
    EXPECT_EQ(instrument.receive(5), wireFrame(0x1C, {}));
    ASSERT_TRUE(processEventsUntil([&] { return linkStatus() == "Connected via COM"; }));
    instrument.send(wireFrame(0x1C, {'Z', 'T', '0', '0', '0', '0', '0', '7'}));
    instrument.send(wireFrame(0x04, {5, 4, 3, 2, 1, 9, 42}));
    EXPECT_TRUE(processEventsUntil([&] { return field("edSN") == "SN: ZT000007"; }));
    EXPECT_TRUE(processEventsUntil([&] { return field("edMarker") == "Mrkr #42"; }));
    EXPECT_EQ(field("edRTCDate"), QStringLiteral("01/02/2009"));
    EXPECT_EQ(field("edRTCTime"), QStringLiteral("03:04:05"));
}

TEST_F(ProgramOnALink, SaysTheConnectionIsLostAndReconnectsToTheSamePort)
{
    QTemporaryDir dir;
    const std::string port = dir.filePath(QStringLiteral("com1")).toStdString();
    auto first = std::make_unique<test::PtyInstrument>();
    ASSERT_EQ(::symlink(first->device().c_str(), port.c_str()), 0);
    connectComOne(port);
    ASSERT_TRUE(processEventsUntil([&] { return linkStatus() == "Connected via COM"; }));

    first->hangUp(); // the adapter is pulled
    EXPECT_TRUE(processEventsUntil(
        [&] { return linkStatus() == QStringLiteral("Connection lost - reconnecting..."); }));
    const QString keep = qEnvironmentVariable("ZENTOR_SCREENSHOT_DIR");
    if (!keep.isEmpty())
        windows->mainForm().grab().save(keep + QStringLiteral("/main-window-connection-lost.png"));

    // Plugged in again: the same port name, a new line; the program identifies the instrument.
    test::PtyInstrument second;
    ::unlink(port.c_str());
    ASSERT_EQ(::symlink(second.device().c_str(), port.c_str()), 0);
    const std::vector<std::uint8_t> identify = {0xAA, 0x02, 0x00, 0x1C, 0x1C};
    EXPECT_EQ(second.receive(identify.size(), std::chrono::milliseconds(5000)), identify);
    second.send(wireFrame(0x1C, {'Z', 'T', '0', '0', '0', '0', '0', '8'}));
    EXPECT_TRUE(processEventsUntil([&] { return field("edSN") == "SN: ZT000008"; }));
    EXPECT_EQ(linkStatus(), QStringLiteral("Connected via COM"));
}

TEST_F(ProgramOnALink, RunsAgainstTheInstrumentSimulator)
{
#ifndef ZENTOR_SIM_PATH
    GTEST_SKIP() << "zentor-sim is not built";
#else
    QTemporaryDir dir;
    const QString port = dir.filePath(QStringLiteral("com1"));
    QProcess sim;
    sim.start(QStringLiteral(ZENTOR_SIM_PATH),
              {QStringLiteral("--link"), port, QStringLiteral("--seconds"), QStringLiteral("20"),
               QStringLiteral("--seed"), QStringLiteral("7")});
    ASSERT_TRUE(sim.waitForStarted(5000));
    ASSERT_TRUE(processEventsUntil([&] { return QFileInfo::exists(port); }));
    connectComOne(port.toStdString());

    EXPECT_TRUE(processEventsUntil([&] { return field("edSN") == "SN: ZT012345"; }));
    EXPECT_TRUE(processEventsUntil([&] { return !field("edMin1").isEmpty(); }));
    EXPECT_TRUE(processEventsUntil([&] { return !field("edRTCDate").isEmpty(); }));
    EXPECT_EQ(linkStatus(), QStringLiteral("Connected via COM"));

    // After a GPS update the map feed block carries the position and the serial number.
    std::vector<std::uint8_t> block(kMapBlockBytes);
    EXPECT_TRUE(processEventsUntil([&] {
        return readMapBlock(programMapNames(), block.data()) &&
               readLe64Double(&block[16]) > 50.0;
    })) << "the simulated drive is near 52 N";
    EXPECT_NEAR(readLe64Double(&block[24]), 4.36, 0.1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&block[297])), "ZT012345");

    const QString keep = qEnvironmentVariable("ZENTOR_SCREENSHOT_DIR");
    TMain_Form& form = windows->mainForm();
    if (!keep.isEmpty())
        form.grab().save(keep + QStringLiteral("/main-window-receivers.png"));

    // The instrument goes away: what the window shows is old, and says so, until new data comes.
    auto* status = form.findChild<QLineEdit*>(QStringLiteral("edGPSStatus"));
    auto* note = form.findChild<QLabel*>(QStringLiteral("olLinkLost1"));
    const QColor green(0x00, 0x80, 0x00);
    EXPECT_TRUE(
        processEventsUntil([&] { return status->palette().color(QPalette::Base) == green; }));
    EXPECT_TRUE(note->isHidden());
    sim.terminate();
    sim.waitForFinished(5000);
    EXPECT_TRUE(processEventsUntil(
        [&] { return linkStatus() == QStringLiteral("Connection lost - reconnecting..."); }));
    EXPECT_TRUE(processEventsUntil([&] { return note->isVisible(); }));
    EXPECT_NE(status->palette().color(QPalette::Base), green);
    if (!keep.isEmpty()) {
        QElapsedTimer lost;
        lost.start();
        processEventsUntil([&] { return lost.elapsed() > 10000; }, std::chrono::seconds(15));
        form.grab().save(keep + QStringLiteral("/main-window-link-lost.png"));
        form.findChild<QToolButton*>(QStringLiteral("btnGPSPanel"))->click();
        form.grab().save(keep + QStringLiteral("/main-window-gps.png"));
    }
    windows->mainForm().closeWithoutAsking();
    EXPECT_TRUE(windows->endWorkers());
#endif
}

} // namespace
} // namespace zentor
