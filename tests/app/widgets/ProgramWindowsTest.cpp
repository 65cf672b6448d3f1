#include "app/ProgramWindows.h"

#include "app/core/RecordingWorkers.h"
#include "link/ProtocolDoubles.h"
#include "ui/TestApplication.h"

#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zentor {
namespace {

using ::testing::ElementsAre;

class Program : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::testApplication();
        windows = std::make_unique<ProgramWindows>(ProgramOptions{}, made.factory());
    }

    void connect(const char* port, const char* navigation)
    {
        TCom_Form& dialog = windows->connectionDialog();
        auto* ports = dialog.findChild<QComboBox*>(QStringLiteral("PortChoice"));
        auto* nav = dialog.findChild<QComboBox*>(QStringLiteral("NavChoice"));
        ports->setCurrentIndex(ports->findText(QString::fromLatin1(port)));
        nav->setCurrentIndex(nav->findText(QString::fromLatin1(navigation)));
        dialog.findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
    }

    test::RecordingFactory made;
    std::unique_ptr<ProgramWindows> windows;
};

TEST_F(Program, StartsWithOnlyTheConnectionDialogShowing)
{
    EXPECT_TRUE(windows->connectionDialog().isVisible());
    EXPECT_FALSE(windows->mainForm().isVisible());
    EXPECT_FALSE(windows->aboutBox().isVisible());
    connect("COM1:", "Zentor GPS");
    EXPECT_TRUE(windows->mainForm().isVisible());
    EXPECT_FALSE(windows->connectionDialog().isVisible());
}

TEST_F(Program, AboutShowsTheBoxWithoutBlocking)
{
    connect("COM1:", "Zentor GPS");
    windows->mainForm().findChild<QAction*>(QStringLiteral("About"))->trigger();
    TAboutDlg& about = windows->aboutBox();
    EXPECT_TRUE(about.isVisible());
    EXPECT_FALSE(about.isModal());
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About"));
    EXPECT_EQ(about.findChild<QLabel*>(QStringLiteral("Version"))->text(),
              QStringLiteral("Version 5.02"));
    EXPECT_FALSE(about.findChild<QLabel*>(QStringLiteral("ProgramIcon"))->pixmap().isNull());
    about.findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
    EXPECT_FALSE(about.isVisible());
}

TEST_F(Program, MapMenuShowsTheMapRangeDialogWithoutBlocking)
{
    connect("COM1:", "Zentor GPS");
    EXPECT_FALSE(windows->mapRangeForm().isVisible());
    windows->mainForm().findChild<QAction*>(QStringLiteral("Map"))->trigger();
    EXPECT_TRUE(windows->mapRangeForm().isVisible());
    EXPECT_FALSE(windows->mapRangeForm().isModal());
    EXPECT_EQ(windows->mapRangeForm().windowTitle(), QStringLiteral("Mapping Range Settings"));
}

TEST_F(Program, StartsWithTheCommandLinesMapChoices)
{
    windows = std::make_unique<ProgramWindows>(
        parseProgramOptions({"--map-receiver", "2", "--map-range", "-110,-40"}), made.factory());
    EXPECT_EQ(windows->session().mapSettings().range(), (MapRange{-110, -40}));
    EXPECT_EQ(windows->mapRangeForm().edRSSIMin->text(), QStringLiteral("-110"));
    EXPECT_TRUE(windows->mapRangeForm().UseR2->isChecked());
}

TEST_F(Program, EndingWithUsbTellsEveryWorkerAndWaitsForThem)
{
    connect("USB", "TravelPilot COM5:");
    const std::size_t started = made.log.size();
    windows->mainForm().close();
    EXPECT_TRUE(windows->endWorkers());
    EXPECT_THAT(made.since(started),
                ElementsAre("terminate Receiver1", "terminate Receiver2", "terminate Nav",
                            "terminate Main", "terminate Nav", "terminate Link"));
}

TEST_F(Program, AWorkerThatDoesNotEndIsReportedAndLeftAlone)
{
    WorkerFactory stuck = made.factory();
    stuck.receiverRouter = [this](int) {
        return std::make_unique<test::RecordingWorker>(made.log, "Receiver", false);
    };
    windows = std::make_unique<ProgramWindows>(ProgramOptions{}, stuck);
    connect("COM2:", "Zentor GPS");
    windows->mainForm().close();
    EXPECT_FALSE(windows->endWorkers(std::chrono::milliseconds(200)));
}

// Renders the windows as a user sees them; with ZENTOR_SCREENSHOT_DIR set the dialog is kept.
TEST_F(Program, WindowsRenderWithTheirTextsInPlace)
{
    const QString keep = qEnvironmentVariable("ZENTOR_SCREENSHOT_DIR");
    const QImage dialog = windows->connectionDialog().grab().toImage();
    ASSERT_FALSE(dialog.isNull());
    // The reminder is red and fills the dialog's top.
    int red = 0;
    for (int y = 0; y < dialog.height() / 3; ++y)
        for (int x = 0; x < dialog.width(); ++x)
            red += dialog.pixelColor(x, y) == QColor(Qt::red);
    EXPECT_GT(red, 200);

    connect("COM1:", "Zentor GPS");
    TMain_Form& form = windows->mainForm();
    // What an instrument gives within its first second: identification, configuration (receiver
    // 1 counts 32000..32400 at 25 kHz, receiver 2 counts 36000..37600 at 12.5 kHz), clock.
    for (const auto& [type, data] : std::vector<std::pair<std::uint8_t, test::Bytes>>{
             {0x1C, {'Z', 'E', 'N', '0', '0', '0', '4', '2'}},
             {0x01, {0x03, 0x00, 0x7D, 0x00, 0x00, 0x90, 0x7E, 0x00, 0x00, 0x00, 0x19, 0x00, 0x00,
                     0xA0, 0x8C, 0x00, 0x00, 0xE0, 0x92, 0x00, 0x00, 0x80, 0x0C, 0x00, 0x00}},
             {0x04, {56, 34, 12, 31, 12, 7, 123}}}) {
        const test::Bytes record = test::packetRecord(type, data);
        windows->session().link().HandlePacket(record.data(), record.size());
    }
    windows->session().link().state().setStatusText("Connected via COM");
    windows->session().refreshStatus();
    windows->session().refreshClock();
    const QImage receivers = form.grab().toImage();
    EXPECT_EQ(receivers.width(), 892);
    form.findChild<QToolButton*>(QStringLiteral("btnGPSPanel"))->click();
    const QImage gps = form.grab().toImage();
    EXPECT_EQ(gps.size(), receivers.size());
    EXPECT_NE(gps, receivers);
    if (!keep.isEmpty())
        dialog.save(keep + QStringLiteral("/connection-dialog.png"));
}

} // namespace
} // namespace zentor
