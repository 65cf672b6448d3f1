// The windows as the command line starts them: without options exactly as before (the dialog
// first), with --port straight to the main window with the dialog's choices confirmed.
#include "app/ProgramWindows.h"
#include "app/core/RecordingWorkers.h"
#include "link/ProtocolDoubles.h"
#include "ui/TestApplication.h"

#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>
#include <cstdio>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace zentor {
namespace {

using ::testing::ElementsAre;

struct CommandLineRun
{
    explicit CommandLineRun(const std::vector<std::string>& arguments)
    {
        test::testApplication();
        windows = std::make_unique<ProgramWindows>(parseProgramOptions(arguments), made.factory());
    }

    test::RecordingFactory made;
    std::unique_ptr<ProgramWindows> windows;
};

TEST(CommandLineWindows, WithoutOptionsTheDialogComesFirstAndNothingStarts)
{
    CommandLineRun run({});
    EXPECT_TRUE(run.windows->connectionDialog().isVisible());
    EXPECT_FALSE(run.windows->mainForm().isVisible());
    EXPECT_THAT(run.made.log, ElementsAre("start Receiver1", "start Receiver2"));
    EXPECT_FALSE(run.windows->session().connected());
}

TEST(CommandLineWindows, PortAndTravelPilotAreChosenAndConfirmedWithoutTheDialog)
{
    CommandLineRun run({"--port", "COM3", "--travelpilot", "COM5"});
    TCom_Form& dialog = run.windows->connectionDialog();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(run.windows->mainForm().isVisible());
    EXPECT_EQ(dialog.findChild<QComboBox*>(QStringLiteral("PortChoice"))->currentText(),
              QStringLiteral("COM3:"));
    EXPECT_EQ(dialog.findChild<QComboBox*>(QStringLiteral("NavChoice"))->currentText(),
              QStringLiteral("TravelPilot COM5:"));
    EXPECT_THAT(run.made.since(2), ElementsAre("start Link", "start Main", "start Nav"));
    EXPECT_EQ(run.made.linkSelection.transport, LinkSelection::kRs232);
    EXPECT_EQ(run.made.linkSelection.portNumber, 3);
    EXPECT_EQ(run.made.navComPort, 5);
    EXPECT_EQ(run.windows->session().selections().navigationMode, Selections::kTravelPilot);
}

TEST(CommandLineWindows, LogPutsTheNameIntoLogFileAndWaitsForTheInstrument)
{
    const std::string name = ::testing::TempDir() + "cmdline-log-" + std::to_string(::getpid());
    {
        CommandLineRun run({"--port", "USB", "--log", name});
        TMain_Form& main = run.windows->mainForm();
        EXPECT_EQ(main.findChild<QLineEdit*>(QStringLiteral("LogFile"))->text(),
                  QString::fromStdString(name));
        EXPECT_TRUE(main.findChild<QToolButton*>(QStringLiteral("btnLogMode"))->isChecked());
        EXPECT_FALSE(main.findChild<QLineEdit*>(QStringLiteral("LogFile"))->isEnabled());
        EXPECT_THAT(run.made.since(2), ElementsAre("start Link", "start Main", "start Gps"));
        EXPECT_EQ(run.made.linkSelection.transport, LinkSelection::kUsb);
        EXPECT_EQ(run.made.linkSelection.portNumber, 0);
        // The file waits for the instrument's identification, configuration and channel
        // information.
        LogSession& log = run.windows->session().log();
        EXPECT_TRUE(log.waiting());
        for (const auto& [type, data] :
             std::vector<std::pair<std::uint8_t, test::Bytes>>{{0x1C, {'Z', 'T', '0', '1'}},
                                                               {0x01, test::Bytes(25, 0)},
                                                               {0x05, test::Bytes(8)}}) {
            const test::Bytes record = test::packetRecord(type, data);
            run.windows->session().link().HandlePacket(record.data(), record.size());
        }
        EXPECT_FALSE(log.waiting());
        main.closeWithoutAsking(); // log mode ends, the file is closed
    }
    EXPECT_EQ(std::remove((name + ".KLF").c_str()), 0) << "the log file was not created";
}

} // namespace
} // namespace zentor
