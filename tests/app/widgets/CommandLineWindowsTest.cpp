// The windows as the command line starts them: without options exactly as before (the dialog
// first), with --port straight to the main window with the dialog's choices confirmed.
#include "app/ProgramWindows.h"
#include "app/core/RecordingWorkers.h"
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
        windows = std::make_unique<ProgramWindows>(link, chosen, workers,
                                                   parseProgramOptions(arguments), made.factory());
    }
    ~CommandLineRun()
    {
        workers.clear();
        windows.reset();
    }

    TReceiverLink link;
    Selections chosen;
    Workers workers;
    test::RecordingFactory made;
    std::unique_ptr<ProgramWindows> windows;
};

TEST(CommandLineWindows, WithoutOptionsTheDialogComesFirstAndNothingStarts)
{
    CommandLineRun run({});
    EXPECT_TRUE(run.windows->connectionDialog().isVisible());
    EXPECT_FALSE(run.windows->mainForm().isVisible());
    EXPECT_TRUE(run.made.log.empty());
    EXPECT_FALSE(run.workers.has(WorkerId::Link));
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
    EXPECT_THAT(run.made.log, ElementsAre("start Link", "start Main", "start Nav"));
    EXPECT_EQ(run.made.linkSelection.transport, LinkSelection::kRs232);
    EXPECT_EQ(run.made.linkSelection.portNumber, 3);
    EXPECT_EQ(run.made.navComPort, 5);
    EXPECT_EQ(run.chosen.navigationMode, Selections::kTravelPilot);
}

TEST(CommandLineWindows, LogPutsTheNameIntoLogFileAndSwitchesLogModeOn)
{
    const std::string name = ::testing::TempDir() + "cmdline-log-" + std::to_string(::getpid());
    {
        CommandLineRun run({"--port", "USB", "--log", name});
        TMain_Form& main = run.windows->mainForm();
        EXPECT_EQ(main.findChild<QLineEdit*>(QStringLiteral("LogFile"))->text(),
                  QString::fromStdString(name));
        EXPECT_TRUE(main.findChild<QToolButton*>(QStringLiteral("btnLogMode"))->isChecked());
        EXPECT_FALSE(main.findChild<QLineEdit*>(QStringLiteral("LogFile"))->isEnabled());
        EXPECT_THAT(run.made.log, ElementsAre("start Link", "start Main", "start Gps"));
        EXPECT_EQ(run.made.linkSelection.transport, LinkSelection::kUsb);
        EXPECT_EQ(run.made.linkSelection.portNumber, 0);
        main.close(); // log mode ends, the file is closed
    }
    EXPECT_EQ(std::remove((name + ".KLF").c_str()), 0) << "the log file was not created";
}

} // namespace
} // namespace zentor
