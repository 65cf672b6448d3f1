#include "app/TCom_Form.h"

#include "app/core/RecordingWorkers.h"
#include "support/RecordingMessages.h"
#include "support/ThreadWindow.h"
#include "ui/TestApplication.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zentor {
namespace {

using ::testing::ElementsAre;

class ComForm : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::testApplication();
        mainWindow = std::make_unique<QWidget>();
        mainWindow->setWindowState(Qt::WindowMinimized);
        dialog = std::make_unique<TCom_Form>(session, *mainWindow);
        dialog->show();
    }

    template <class T> T* control(const char* name)
    {
        return dialog->findChild<T*>(QString::fromLatin1(name));
    }

    // Chooses the list entries and presses OK.
    void connectWith(const QString& port, const QString& navigation)
    {
        QComboBox* ports = control<QComboBox>("PortChoice");
        QComboBox* nav = control<QComboBox>("NavChoice");
        ports->setCurrentIndex(ports->findText(port));
        nav->setCurrentIndex(nav->findText(navigation));
        control<QPushButton>("OKBtn")->click();
    }

    test::ThreadWindow window;
    test::RecordingMessages messages;
    test::RecordingFactory made;
    ProgramSession session{window, messages, nullptr, made.factory()};
    std::unique_ptr<QWidget> mainWindow;
    std::unique_ptr<TCom_Form> dialog;
};

QStringList items(QComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

TEST_F(ComForm, HasItsCaptionControlsAndLists)
{
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Select Communications Port"));
    EXPECT_TRUE(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(dialog->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());

    QLabel* reminder = control<QLabel>("Label2");
    ASSERT_NE(reminder, nullptr);
    EXPECT_EQ(
        reminder->text(),
        QStringLiteral("REMEMBER TO HAVE ZENTOR IN MAIN MENU WHEN STARTING THIS APPLICATION!!!"));
    EXPECT_EQ(reminder->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_TRUE(reminder->font().bold());
    EXPECT_EQ(reminder->font().pixelSize(), 19);
    EXPECT_TRUE(reminder->wordWrap());
    EXPECT_EQ(reminder->alignment(), Qt::AlignCenter);

    EXPECT_EQ(control<QLabel>("Label1")->text(), QStringLiteral("CONNECT TO:"));
    EXPECT_TRUE(control<QLabel>("Label1")->font().bold());
    EXPECT_EQ(control<QLabel>("Label3")->text(), QStringLiteral("NAVIGATION:"));
    EXPECT_TRUE(control<QLabel>("Label3")->font().bold());

    EXPECT_EQ(items(control<QComboBox>("PortChoice")),
              QStringList({"COM1:", "COM2:", "COM3:", "COM4:", "USB"}));
    EXPECT_EQ(
        items(control<QComboBox>("NavChoice")),
        QStringList({"Zentor GPS", "TravelPilot COM1:", "TravelPilot COM2:", "TravelPilot COM3:",
                     "TravelPilot COM4:", "TravelPilot COM5:", "TravelPilot COM6:",
                     "TravelPilot COM7:", "TravelPilot COM8:", "TravelPilot COM9:"}));
    EXPECT_EQ(control<QComboBox>("PortChoice")->currentIndex(), 0);
    EXPECT_EQ(control<QComboBox>("NavChoice")->currentIndex(), 0);
    EXPECT_EQ(control<QPushButton>("OKBtn")->text(), QStringLiteral("OK"));
    EXPECT_TRUE(control<QPushButton>("OKBtn")->isDefault());
    ASSERT_NE(control<QTimer>("ComTimer"), nullptr);
    EXPECT_FALSE(control<QTimer>("ComTimer")->isActive());
}

TEST_F(ComForm, OkWithUsbAndTravelPilotStartsLinkMainAndTravelPilot)
{
    connectWith(QStringLiteral("USB"), QStringLiteral("TravelPilot COM5:"));
    EXPECT_EQ(session.selections().link.transport, 2);
    EXPECT_EQ(session.selections().link.portNumber, 0);
    EXPECT_EQ(session.selections().navigationMode, 1);
    EXPECT_THAT(made.log, ElementsAre("start Link", "start Main", "start Nav"));
    EXPECT_EQ(made.navComPort, 5);
    EXPECT_EQ(made.linkSelection.transport, 2);
    EXPECT_TRUE(mainWindow->isVisible());
    EXPECT_FALSE(mainWindow->windowState() & Qt::WindowMinimized);
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(ComForm, OkWithComThreeAndZentorGpsStartsLinkMainAndGps)
{
    connectWith(QStringLiteral("COM3:"), QStringLiteral("Zentor GPS"));
    EXPECT_EQ(session.selections().link.transport, 1);
    EXPECT_EQ(session.selections().link.portNumber, 3);
    EXPECT_EQ(session.selections().navigationMode, 0);
    EXPECT_THAT(made.log, ElementsAre("start Link", "start Main", "start Gps"));
}

TEST_F(ComForm, TheInstrumentAndTheTravelPilotOnOnePortAreNotTaken)
{
    connectWith(QStringLiteral("COM2:"), QStringLiteral("TravelPilot COM2:"));
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].kind, MessageKind::Warning);
    EXPECT_EQ(messages.messages()[0].text, "The instrument and the TravelPilot cannot share COM2: "
                                           "choose another port for one of them.");
    EXPECT_TRUE(made.log.empty());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(mainWindow->isVisible());

    connectWith(QStringLiteral("COM2:"), QStringLiteral("TravelPilot COM1:"));
    EXPECT_THAT(made.log, ElementsAre("start Link", "start Main", "start Nav"));
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(ComForm, EscapeAndClosingLeaveItOpen)
{
    dialog->reject();
    dialog->close();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(made.log.empty());
}

TEST_F(ComForm, DestroyingItTellsTheTravelPilotThenTheLinkToTerminate)
{
    connectWith(QStringLiteral("USB"), QStringLiteral("TravelPilot COM2:"));
    const std::size_t started = made.log.size();
    dialog.reset();
    EXPECT_THAT(made.since(started), ElementsAre("terminate Nav", "terminate Link"));
}

} // namespace
} // namespace zentor
