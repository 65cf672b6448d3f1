#include "app/TMain_Form.h"

#include "app/core/RecordingWorkers.h"
#include "display/DBar.h"
#include "link/ProtocolDoubles.h"
#include "link/TReceiverLink.h"
#include "nav/TravelPilotPanel.h"
#include "support/RecordingMessages.h"
#include "ui/PanelStatusBar.h"
#include "ui/TestApplication.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <thread>

namespace zentor {
namespace {

using test::Bytes;
using test::packetRecord;
using test::processEventsUntil;
using ::testing::ElementsAre;

// Saves a picture of `widget` when ZENTOR_SCREENSHOT_DIR names a folder for them.
void keepScreenshot(QWidget* widget, const char* name)
{
    const QString keep = qEnvironmentVariable("ZENTOR_SCREENSHOT_DIR");
    if (!keep.isEmpty())
        widget->grab().save(keep + QLatin1Char('/') + QString::fromLatin1(name));
}

class MainForm : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::testApplication();
        // The receiver routers and the main router are the program's; the link thread and the
        // GPS and TravelPilot threads are recorded, so no port is opened.
        WorkerFactory factory = made.factory();
        factory.receiverRouter = {};
        factory.mainRouter = {};
        session = std::make_unique<ProgramSession>(window, messages, nullptr, factory);
        form = std::make_unique<TMain_Form>(*session, window);
        session->setViews({form.get(), {}, {}, [this](MeasurementMode mode) {
                               form->showMeasurementMode(mode);
                           }});
    }
    void TearDown() override
    {
        // The routers may be waiting in a window call: refuse and release them.
        EXPECT_TRUE(session->finishEnd({}));
        session->setViews({});
        form.reset();
        session.reset();
    }

    TReceiverLink& link() { return session->link(); }

    template <class T> T* control(const char* name)
    {
        T* found = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QToolButton* button(const char* name) { return control<QToolButton>(name); }
    QRect placeOf(const char* name) { return control<QWidget>(name)->geometry(); }
    bool shown(const char* name) { return !control<QWidget>(name)->isHidden(); }

    void feed(std::uint8_t type, const Bytes& data)
    {
        const Bytes record = packetRecord(type, data);
        ASSERT_TRUE(link().HandlePacket(record.data(), record.size()));
    }

    QtWindowThread window;
    test::RecordingMessages messages;
    test::RecordingFactory made;
    std::unique_ptr<ProgramSession> session;
    std::unique_ptr<TMain_Form> form;
};

TEST_F(MainForm, StartsHiddenAndMinimisedWithItsCaptionAndFixedClientArea)
{
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Zentor Data Logger (Dead Reckoning Edition)"));
    EXPECT_TRUE(form->isHidden());
    EXPECT_TRUE(form->windowState() & Qt::WindowMinimized);
    EXPECT_EQ(form->centralWidget()->size(), QSize(892, 528));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form->windowFlags() & Qt::WindowMinimizeButtonHint);
}

TEST_F(MainForm, CommandBarButtonsHaveTheirHintsCaptionsAndStartStates)
{
    struct Expected
    {
        const char* name;
        const char* hint;
        const char* caption;
        bool checkable;
        bool down;
    };
    const Expected buttons[] = {
        {"btnReceiverPanels", "Receiver Screen", "", true, true},
        {"btnGPSPanel", "GPS Screen", "", true, false},
        {"btnSingleMode", "Single Channel Mode", "", true, true},
        {"btnScanMode", "Scan Mode", "", true, false},
        {"btnTableMode", "Table Mode", "", true, false},
        {"btnTileH", "Tile Receiver Panels Horizontally", "", true, true},
        {"btnTileV", "Tile Receiver Panels Vertically", "", true, false},
        {"sbFrequency", "Show Frequencies", "F", true, true},
        {"sbChannel", "ShowChannels", "C", true, false},
        {"btnReceiver1", "", "R1", true, true},
        {"btnReceiver2", "", "R2", true, true},
        {"btnLogMode", "Log Data", "", true, false},
        {"btnLogFile", "Select Log File", "", false, false},
    };
    for (const Expected& e : buttons) {
        QToolButton* b = button(e.name);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->toolTip(), QString::fromLatin1(e.hint)) << e.name;
        EXPECT_EQ(b->text(), QString::fromLatin1(e.caption)) << e.name;
        EXPECT_EQ(b->isCheckable(), e.checkable) << e.name;
        EXPECT_EQ(b->isChecked(), e.down) << e.name;
    }
    EXPECT_EQ(control<QLineEdit>("LogFile")->text(), QStringLiteral("Zentor"));
    EXPECT_FALSE(control<QLineEdit>("LogFile")->isReadOnly());
    EXPECT_EQ(control<QLineEdit>("edFileSize")->text(), QStringLiteral("0 kB"));
    EXPECT_EQ(control<QLineEdit>("edFileSize")->toolTip(), QStringLiteral("File Size"));
    EXPECT_TRUE(control<QLineEdit>("edFileSize")->isReadOnly());
}

// The TravelPilot watchdog's warning as a user sees it: the words readable on the red group, and
// nothing in the information panel moving when it appears.
TEST_F(MainForm, TravelPilotWarningIsReadableAndMovesNothing)
{
    form->showNormal();
    ASSERT_TRUE(processEventsUntil([&] { return form->isVisible(); }));
    auto* group = control<QGroupBox>("gbTravelPilot");
    auto* warning = control<QLabel>("lWarning");
    const QRect groupBefore = group->geometry();
    const QRect gpsBefore = control<QGroupBox>("gbGPSData")->geometry();
    WatchdogStep warn;
    warn.look = WatchdogStep::Look::Warning;
    showWatchdogStep(warn, group, warning);
    QApplication::processEvents();
    EXPECT_EQ(group->geometry(), groupBefore);
    EXPECT_EQ(control<QGroupBox>("gbGPSData")->geometry(), gpsBefore);

    // Red words on a light ground of their own, inside the red group.
    const QImage label = warning->grab().toImage();
    int red = 0, light = 0;
    for (int y = 0; y < label.height(); ++y)
        for (int x = 0; x < label.width(); ++x) {
            const QColor c = label.pixelColor(x, y);
            red += c.red() > 200 && c.green() < 80 && c.blue() < 80;
            light += c.red() > 200 && c.green() > 200 && c.blue() > 200;
        }
    EXPECT_GT(red, 40) << "the words";
    EXPECT_GT(light, label.width() * label.height() / 2) << "their ground";
    EXPECT_EQ(group->palette().color(QPalette::Window), QColor(Qt::red));
    const QString keep = qEnvironmentVariable("ZENTOR_SCREENSHOT_DIR");
    if (!keep.isEmpty())
        form->grab().save(keep + QStringLiteral("/travelpilot-warning.png"));
}

TEST_F(MainForm, ButtonGroupsAreMutuallyExclusiveAndTogglesAreNot)
{
    const std::vector<std::vector<const char*>> groups{
        {"btnReceiverPanels", "btnGPSPanel"},
        {"btnSingleMode", "btnScanMode", "btnTableMode"},
        {"btnTileH", "btnTileV"},
        {"sbFrequency", "sbChannel"}};
    for (const auto& group : groups) {
        for (const char* pressed : group) {
            button(pressed)->click();
            for (const char* other : group)
                EXPECT_EQ(button(other)->isChecked(), other == pressed) << pressed << other;
        }
    }
    button("btnReceiver1")->click();
    EXPECT_FALSE(button("btnReceiver1")->isChecked());
    EXPECT_TRUE(button("btnReceiver2")->isChecked());
    button("btnLogMode")->click();
    EXPECT_TRUE(button("btnLogMode")->isChecked());
}

TEST_F(MainForm, StatusAndInformationGroupsHoldReadOnlyFields)
{
    const std::vector<std::pair<const char*, const char*>> groups{
        {"gbRTCMarker", "RTC/Marker"},    {"gbSerialNumber", "Serial Number"},
        {"gbReceiver1", "Receiver #1"},   {"gbReceiver2", "Receiver #2"},
        {"gbTravelPilot", "TravelPilot"}, {"gbGPSData", "GPS Data"}};
    for (const auto& [name, title] : groups)
        EXPECT_EQ(control<QGroupBox>(name)->title(), QString::fromLatin1(title));

    const char* fields[] = {
        "edRTCDate",     "edRTCTime",    "edMarker",      "edSN",          "edMin1",
        "edMax1",        "edStep1",      "edMin2",        "edMax2",        "edStep2",
        "edTpVersion",   "edTpLat",      "edTpLon",       "edTpUpdate",    "edTpSpeed",
        "edTpDirection", "edGPSDate",    "edGPSTime",     "edGPSLatitude", "edGPSLongitude",
        "edGPSSpeed",    "edGPSHeading", "edGPSAltitude", "edGPSSats",     "edGPSStatus"};
    for (const char* name : fields) {
        QLineEdit* field = control<QLineEdit>(name);
        ASSERT_NE(field, nullptr);
        EXPECT_TRUE(field->isReadOnly()) << name;
    }
    for (const char* caption : {"Minimum (MHz)", "Maximum (MHz)", "Step Size (kHz)"}) {
        int found = 0;
        for (QLabel* label : control<QFrame>("pnlStatus")->findChildren<QLabel*>())
            found += label->text() == QString::fromLatin1(caption);
        EXPECT_EQ(found, 2) << caption;
    }
    for (const char* name : {"edTpVersion", "edTpUpdate"})
        EXPECT_EQ(control<QLineEdit>(name)->parent(), control<QGroupBox>("gbTravelPilot"));
    EXPECT_EQ(control<QLineEdit>("edGPSStatus")->parent(), control<QGroupBox>("gbGPSData"));

    QLabel* warning = control<QLabel>("lWarning");
    EXPECT_EQ(warning->text(), QStringLiteral("Not Responding!!!"));
    EXPECT_EQ(warning->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_TRUE(warning->isHidden());
    EXPECT_EQ(warning->parent(), control<QGroupBox>("gbTravelPilot"));
}

TEST_F(MainForm, ReceiverAreaStartsWithBothPanelsAndTheGpsScreenHidden)
{
    EXPECT_TRUE(shown("Receiver1Panel"));
    EXPECT_TRUE(shown("Receiver2Panel"));
    EXPECT_FALSE(shown("GPSPanel"));
    EXPECT_EQ(form->receiverArea(), (PanelRect{150, 32, 532, 474}));
    EXPECT_EQ(placeOf("GPSPanel"), QRect(150, 32, 532, 474));
    EXPECT_EQ(placeOf("Receiver1Panel"), QRect(150, 32, 268, 475));
    EXPECT_EQ(placeOf("Receiver2Panel"), QRect(416, 32, 268, 475));
}

TEST_F(MainForm, TilingFollowsTheTileButtonsAndTheReceiverToggles)
{
    button("btnTileV")->click();
    EXPECT_EQ(placeOf("Receiver1Panel"), QRect(150, 32, 534, 238));
    EXPECT_EQ(placeOf("Receiver2Panel"), QRect(150, 269, 534, 238));

    button("btnReceiver1")->click(); // up: receiver 2 takes the whole area
    EXPECT_FALSE(shown("Receiver1Panel"));
    EXPECT_EQ(placeOf("Receiver2Panel"), QRect(150, 32, 534, 475));

    button("btnReceiver2")->click(); // both up: no receiver panel shows
    EXPECT_FALSE(shown("Receiver1Panel"));
    EXPECT_FALSE(shown("Receiver2Panel"));

    button("btnReceiver1")->click(); // down again: receiver 1 alone
    EXPECT_TRUE(shown("Receiver1Panel"));
    EXPECT_EQ(placeOf("Receiver1Panel"), QRect(150, 32, 534, 475));

    button("btnReceiver2")->click();
    button("btnTileH")->click();
    EXPECT_EQ(placeOf("Receiver1Panel"), QRect(150, 32, 268, 475));
    EXPECT_EQ(placeOf("Receiver2Panel"), QRect(416, 32, 268, 475));
}

TEST_F(MainForm, GpsScreenHidesTheReceiverPanelsUntilTheReceiverScreenReturns)
{
    button("btnGPSPanel")->click();
    EXPECT_TRUE(shown("GPSPanel"));
    EXPECT_FALSE(shown("Receiver1Panel"));
    EXPECT_FALSE(shown("Receiver2Panel"));

    // Toggles on the GPS screen: down only re-tiles, up hides.
    button("btnReceiver2")->click(); // up
    button("btnReceiver2")->click(); // down again, still on the GPS screen
    EXPECT_FALSE(shown("Receiver2Panel"));
    button("btnReceiver1")->click(); // up
    EXPECT_FALSE(shown("Receiver1Panel"));

    button("btnReceiverPanels")->click();
    EXPECT_FALSE(shown("GPSPanel"));
    EXPECT_FALSE(shown("Receiver1Panel"));
    EXPECT_TRUE(shown("Receiver2Panel"));
    EXPECT_EQ(placeOf("Receiver2Panel"), QRect(150, 32, 534, 475));
}

TEST_F(MainForm, StatusBarHasTheLinkTextPanelAndTheClockOnThePcClockPanel)
{
    auto* bar = control<PanelStatusBar>("sbarZentor");
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->panelCount(), 2);
    EXPECT_EQ(bar->panelRect(0).width(), 800);
    EXPECT_EQ(bar->panelRect(0).width() + bar->panelRect(1).width() + 2, 900);
    EXPECT_EQ(bar->panelText(1), QStringLiteral("PC Clock"));
    QLabel* clock = control<QLabel>("olClock");
    EXPECT_EQ(clock->parent(), bar);
    EXPECT_EQ(clock->text(), QStringLiteral("HH:MM:SS"));
    EXPECT_EQ(clock->geometry(), bar->panelRect(1));
    EXPECT_EQ(clock->palette().color(QPalette::Window), clock->palette().color(QPalette::Button));

    form->showNormal();
    QCoreApplication::processEvents();
    EXPECT_EQ(clock->geometry(), bar->panelRect(1));
    EXPECT_EQ(bar->geometry().bottom(), 527);
}

TEST_F(MainForm, MenuHasFileMapAndHelpWithTheirItems)
{
    const QList<QAction*> top = form->menuBar()->actions();
    ASSERT_EQ(top.size(), 3);
    EXPECT_EQ(top[0]->text(), QStringLiteral("&File"));
    EXPECT_EQ(top[1]->text(), QStringLiteral("&Map"));
    EXPECT_EQ(top[1]->objectName(), QStringLiteral("Map"));
    EXPECT_EQ(top[2]->text(), QStringLiteral("&Help"));

    const QList<QAction*> file = top[0]->menu()->actions();
    ASSERT_EQ(file.size(), 3);
    EXPECT_EQ(file[0]->text(), QStringLiteral("&Replay Drive..."));
    EXPECT_TRUE(file[1]->isSeparator());
    EXPECT_EQ(file[2]->text(), QStringLiteral("E&xit"));
    const QList<QAction*> help = top[2]->menu()->actions();
    ASSERT_EQ(help.size(), 3);
    EXPECT_EQ(help[0]->text(), QStringLiteral("&User Manual"));
    EXPECT_TRUE(help[1]->isSeparator());
    EXPECT_EQ(help[2]->text(), QStringLiteral("&About"));

    int aboutRequests = 0;
    QObject::connect(form.get(), &TMain_Form::aboutRequested, [&] { ++aboutRequests; });
    help[2]->trigger();
    EXPECT_EQ(aboutRequests, 1);

    // The log file dialog exists only once it has been asked for, so that nothing watches the
    // log's folder while the log grows; cancelling it leaves the name as it was.
    EXPECT_EQ(form->findChild<QFileDialog*>(QStringLiteral("dlgOpenLog")), nullptr);
    const QString name = control<QLineEdit>("LogFile")->text();
    bool shown = false;
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            keepScreenshot(dialog, "select-log-file.png");
            shown = dialog->objectName() == QStringLiteral("dlgOpenLog");
            dialog->reject();
        }
    });
    control<QToolButton>("btnLogFile")->click();
    EXPECT_TRUE(shown);
    QFileDialog* dialog = control<QFileDialog>("dlgOpenLog");
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(control<QLineEdit>("LogFile")->text(), name);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Select Log File"));
    EXPECT_EQ(dialog->nameFilters(), (QStringList{QStringLiteral("Data logger logs (*.KLF)"),
                                                  QStringLiteral("All Files (*)")}));
}

TEST_F(MainForm, TheSizeBoxShowsTheSelectedLogsFile)
{
    QTemporaryDir folder;
    QFile chosen(folder.filePath(QStringLiteral("old.KLF")));
    ASSERT_TRUE(chosen.open(QIODevice::WriteOnly));
    ASSERT_EQ(chosen.write(QByteArray(3 * 1024 + 5, 'x')), 3 * 1024 + 5);
    chosen.close();
    form->showFileSize("812 kB"); // the log before
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            // Chosen as a click on Open would: accept() itself waits for the folder's listing on
            // Windows, which the test's event loop does not serve at this point.
            dialog->selectFile(chosen.fileName());
            static_cast<QDialog*>(dialog)->done(QDialog::Accepted);
        }
    });
    control<QToolButton>("btnLogFile")->click();
    EXPECT_EQ(control<QLineEdit>("LogFile")->text(), chosen.fileName());
    EXPECT_EQ(control<QLineEdit>("edFileSize")->text(), QStringLiteral("3 kB"));
}

TEST_F(MainForm, UserManualThatCannotBeOpenedIsReported)
{
    QTemporaryDir empty;
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(empty.path()));
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            keepScreenshot(box, "user-manual-failed.png");
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            box->button(QMessageBox::Ok)->click();
        }
    });
    form->findChild<QAction*>(QStringLiteral("UserManual"))->trigger();
    QDir::setCurrent(before);
    EXPECT_EQ(title, QStringLiteral("Information"));
    // Without the invisible breaks that let a long file name wrap.
    const QStringList lines = QString(text).remove(QChar(0x200B)).split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2) << text.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("Could Not Load User Manual!!!"));
    EXPECT_TRUE(lines[1].startsWith(
        QDir(empty.path()).absoluteFilePath(QStringLiteral("Zentor1.0.pdf and "))))
        << lines[1].toStdString();
#ifdef _WIN32
    // The installer puts the manual beside the program; the build folder has none.
    const QString installed =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Zentor1.0.pdf"));
#else
    const QString installed = QStringLiteral("/share/doc/zentor-dl/Zentor1.0.pdf");
#endif
    EXPECT_TRUE(lines[1].endsWith(installed + QStringLiteral(": no such file.")))
        << lines[1].toStdString();
    EXPECT_EQ(icon, QMessageBox::Information);
}

Bytes fileBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray all = file.readAll();
    return Bytes(all.begin(), all.end());
}

TEST_F(MainForm, LogModeWritesEveryPacketToTheFileNamedInLogFile)
{
    QTemporaryDir folder;
    QLineEdit* logFile = control<QLineEdit>("LogFile");
    QToolButton* logMode = button("btnLogMode");
    logFile->setText(folder.filePath(QStringLiteral("run.01.txt")));
    int warnings = 0;
    QObject::connect(form.get(), &TMain_Form::logWarningRequested, [&] { ++warnings; });

    const QColor plain = control<QLineEdit>("edFileSize")->palette().color(QPalette::Base);
    logMode->click();
    EXPECT_FALSE(logFile->isEnabled());
    EXPECT_EQ(warnings, 1) << "no scan channel information has been captured";
    // Log mode on shows at a glance: the size box's colour and the status bar.
    EXPECT_NE(control<QLineEdit>("edFileSize")->palette().color(QPalette::Base), plain);
    form->showLinkStatus("Connected via COM");
    const QString logged = folder.filePath(QStringLiteral("run.01.KLF"));
    EXPECT_EQ(control<PanelStatusBar>("sbarZentor")->panelText(0),
              QStringLiteral("Connected via COM    Log mode on: ") + logged);
    keepScreenshot(form.get(), "main-window-log-mode-on.png");
    const Bytes clock = packetRecord(0x04, {1, 2, 3, 4, 5, 26, 9});
    const Bytes other = packetRecord(0x42, {7});
    feed(0x04, {1, 2, 3, 4, 5, 26, 9});
    feed(0x42, {7});
    const QString name = folder.filePath(QStringLiteral("run.01.KLF"));
    const std::size_t expectedSize = 63 + clock.size() + other.size();
    ASSERT_TRUE(processEventsUntil([&] { return fileBytes(name).size() == expectedSize; }));

    session->refreshStatus();
    EXPECT_EQ(control<QLineEdit>("edFileSize")->text(), QStringLiteral("0 kB"));
    logMode->click();
    EXPECT_EQ(control<QLineEdit>("edFileSize")->palette().color(QPalette::Base), plain);
    EXPECT_FALSE(control<PanelStatusBar>("sbarZentor")
                     ->panelText(0)
                     .contains(QStringLiteral("Log mode on")));
    // LogFile comes back once the log is closed, at the next tick.
    EXPECT_TRUE(processEventsUntil([&] { return logFile->isEnabled(); }));
    const Bytes written = fileBytes(name);
    ASSERT_EQ(written.size(), expectedSize);
    EXPECT_EQ(Bytes(written.begin() + 63, written.begin() + 63 + 11), clock);
    EXPECT_EQ(Bytes(written.end() - 5, written.end()), other);

    // Log mode off: nothing more reaches the file.
    feed(0x42, {8});
    EXPECT_EQ(fileBytes(name).size(), written.size());
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(MainForm, ALogFileThatCannotBeOpenedIsReportedAndReleasesLogMode)
{
    QLineEdit* logFile = control<QLineEdit>("LogFile");
    QToolButton* logMode = button("btnLogMode");
    logFile->setText(QStringLiteral("/nonexistent-folder/run"));
    logMode->click();
    ASSERT_TRUE(processEventsUntil([&] { return !logMode->isChecked(); }));
    EXPECT_TRUE(processEventsUntil([&] { return logFile->isEnabled(); }));
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].kind, MessageKind::Error);
    EXPECT_NE(messages.messages()[0].text.find("/nonexistent-folder/run.KLF"), std::string::npos)
        << messages.messages()[0].text;
}

TEST_F(MainForm, WithTheTravelPilotTheGpsDataGroupSaysWhyItIsEmpty)
{
    QLabel* note = control<QLabel>("lGpsSource");
    form->showNormal();
    EXPECT_FALSE(note->isVisible());
    form->hide();
    session->connect(0, 5); // TravelPilot COM5
    form->showNormal();
    EXPECT_TRUE(note->isVisible());
    EXPECT_EQ(note->text(), QStringLiteral("Positions come from the TravelPilot: no GPS data, and "
                                           "nothing goes to the map."));
    EXPECT_EQ(note->parent(), control<QGroupBox>("gbGPSData"));
    EXPECT_FALSE(control<QLineEdit>("edGPSLatitude")->isVisible()) << "the note in their place";
    keepScreenshot(form.get(), "main-window-travelpilot-source.png");
}

TEST_F(MainForm, ALogNameThatGivesNoFileIsRefusedAndLogModeStaysOff)
{
    QTemporaryDir folder;
    const QString name = folder.path() + QStringLiteral("/");
    control<QLineEdit>("LogFile")->setText(name);
    QString text;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            keepScreenshot(box, "log-name-refused.png");
            text = box->text();
            box->button(QMessageBox::Ok)->click();
        }
    });
    button("btnLogMode")->click();
    EXPECT_EQ(text, QStringLiteral("The log file name \"") + name +
                        QStringLiteral("\" ends in a folder separator: a file name must follow "
                                       "it. Log mode stays off."));
    EXPECT_FALSE(button("btnLogMode")->isChecked());
    EXPECT_FALSE(session->log().active());
    EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral(".KLF"))));
}

TEST_F(MainForm, TickShowsThePcClockAndWakesTheRouters)
{
    QTimer* timer = control<QTimer>("Timer1");
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 1000);

    feed(0x03, {0xB5}); // receiver 2 has new single-mode data
    QLabel* clock = control<QLabel>("olClock");
    ASSERT_TRUE(processEventsUntil([&] { return clock->text() != QStringLiteral("HH:MM:SS"); }));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$"))
                    .match(clock->text())
                    .hasMatch());
    EXPECT_FALSE(link().state().takeNewData(1)) << "the tick took receiver 2's mark";
    EXPECT_FALSE(link().state().receiverDataEvent(0).isSet());
}

TEST_F(MainForm, EachReceiverPanelShowsItsReceiversScanThroughItsRouter)
{
    DBar* display1 = control<QFrame>("Receiver1Panel")->findChild<DBar*>();
    DBar* display2 = control<QFrame>("Receiver2Panel")->findChild<DBar*>();
    ASSERT_NE(display1, nullptr);
    ASSERT_NE(display2, nullptr);
    EXPECT_EQ(display1->model().LeftCaption, "RSSI (dBm)");
    form->showNormal();
    ASSERT_TRUE(processEventsUntil([&] { return display1->width() > 100; }));
    EXPECT_EQ(display1->size(), control<QFrame>("Receiver1Panel")->contentsRect().size());

    // Receiver 1: 25 kHz steps from count 36000 (900 MHz); a scan entry on channel 3.
    feed(0x01, {0x01, 0xA0, 0x8C, 0x00, 0x00, 0x00, 0x8D, 0x00, 0x00, 0x00, 0x19, 0x00, 0x00});
    feed(0x07, {0, 3, 0xB0});
    ASSERT_TRUE(link().state().receiverDataEvent(0).isSet());
    ASSERT_TRUE(processEventsUntil([&] { return !link().state().receiverDataEvent(0).isSet(); }))
        << "the router draws on the window thread, then resets the event";
    EXPECT_EQ(display1->model().Title, "R1 (900.00000-902.40000)MHz 25.00 KHz Step");
    EXPECT_TRUE(button("btnScanMode")->isChecked());
    EXPECT_NE(display2->model().Title, display1->model().Title);
}

TEST_F(MainForm, TheMainRouterRefreshesTheStatusFieldsThroughTheWindowThread)
{
    session->connect(0, 0); // the main router is the program's
    link().state().setStatusText("Connected via COM");
    link().state().publishFraming({40, 2, 1, 9});
    feed(0x1C, {'Z', 'E', 'N', '0', '0', '0', '4', '2'});
    // Receiver 1 counts 32000..32400 at 25 kHz; receiver 2 absent.
    feed(0x01, {0x01, 0x00, 0x7D, 0x00, 0x00, 0x90, 0x7E, 0x00, 0x00, 0x00, 0x19, 0x00, 0x00});
    feed(0x04, {56, 34, 12, 31, 12, 7, 123});

    auto* bar = control<PanelStatusBar>("sbarZentor");
    // The tick sets the refresh event within a second or so.
    ASSERT_TRUE(processEventsUntil(
        [&] { return bar->panelText(0) == QStringLiteral("Connected via COM"); }));
    EXPECT_EQ(bar->panelToolTip(0),
              QStringLiteral("frames 40 good, 2 bad checksum, 1 bad length; 9 bytes skipped\n"
                             "packets not decoded: 0"));
    EXPECT_EQ(control<QLineEdit>("edSN")->text(), QStringLiteral("SN: ZEN00042"));
    EXPECT_EQ(control<QLineEdit>("edMin1")->text(), QStringLiteral("800.00000"));
    EXPECT_EQ(control<QLineEdit>("edMax1")->text(), QStringLiteral("810.00000"));
    EXPECT_EQ(control<QLineEdit>("edStep1")->text(), QStringLiteral("25.00"));
    ASSERT_TRUE(processEventsUntil(
        [&] { return control<QLineEdit>("edMarker")->text() == QStringLiteral("Mrkr #23"); }));
    EXPECT_EQ(control<QLineEdit>("edRTCDate")->text(), QStringLiteral("12/31/2007"));
    EXPECT_EQ(control<QLineEdit>("edRTCTime")->text(), QStringLiteral("12:34:56"));
}

TEST_F(MainForm, TheModeTheDataShowsPressesItsModeButton)
{
    feed(0x01, {0x03}); // both receivers present
    feed(0x07, {0x00, 0x02, 0xB0});
    ASSERT_TRUE(processEventsUntil([&] { return button("btnScanMode")->isChecked(); }));
    feed(0x09, {0x01, 0x10, 0x00, 0xB0});
    ASSERT_TRUE(processEventsUntil([&] { return button("btnTableMode")->isChecked(); }));

    // From the link thread, as in the program.
    std::thread linkThread([this] { feed(0x02, {0xB5}); });
    linkThread.join();
    EXPECT_TRUE(processEventsUntil([&] { return button("btnSingleMode")->isChecked(); }));
    EXPECT_EQ(session->measurementMode(), MeasurementMode::Single);
}

TEST_F(MainForm, APressedModeButtonIsTheSessionsModeUntilTheDataShowsAnother)
{
    button("btnTableMode")->click();
    EXPECT_EQ(session->measurementMode(), MeasurementMode::Table);
    feed(0x01, {0x03});
    feed(0x07, {0x00, 0x02, 0xB0});
    EXPECT_EQ(session->measurementMode(), MeasurementMode::List);
    EXPECT_TRUE(processEventsUntil([&] { return button("btnScanMode")->isChecked(); }));
}

// Answers the next question box with `answer`; returns its text once answered, and whether No
// was its default.
struct QuestionAnswer
{
    QString text;
    bool defaultNo = false;
};
void answerNextQuestion(QMessageBox::StandardButton answer, QuestionAnswer& seen)
{
    QTimer::singleShot(0, [answer, &seen] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            keepScreenshot(box, "close-while-logging.png");
            seen.text = box->text();
            seen.defaultNo = box->defaultButton() == box->button(QMessageBox::No);
            box->button(answer)->click();
        }
    });
}

TEST_F(MainForm, ClosingWhileLoggingAsksFirstAndOnlyYesEndsTheLog)
{
    QTemporaryDir folder;
    control<QLineEdit>("LogFile")->setText(folder.filePath(QStringLiteral("drive")));
    button("btnLogMode")->click();
    ASSERT_TRUE(session->log().active());
    int closed = 0;
    QObject::connect(form.get(), &TMain_Form::formClosed, [&] { ++closed; });
    form->showNormal();

    QuestionAnswer no;
    answerNextQuestion(QMessageBox::No, no);
    form->close();
    EXPECT_EQ(no.text, QStringLiteral("Log mode is on: stop logging and exit?"));
    EXPECT_TRUE(no.defaultNo);
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(session->log().active());
    EXPECT_EQ(closed, 0);

    QuestionAnswer yes;
    answerNextQuestion(QMessageBox::Yes, yes);
    form->close();
    EXPECT_FALSE(yes.text.isEmpty());
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(session->log().active());
    form->close(); // a second Exit after the answer
    EXPECT_EQ(closed, 1);
}

TEST_F(MainForm, AnEndFromElsewhereClosesWithoutAsking)
{
    QTemporaryDir folder;
    control<QLineEdit>("LogFile")->setText(folder.filePath(QStringLiteral("drive")));
    button("btnLogMode")->click();
    form->showNormal();
    QuestionAnswer asked;
    answerNextQuestion(QMessageBox::No, asked);
    form->closeWithoutAsking();
    QCoreApplication::processEvents();
    EXPECT_TRUE(asked.text.isEmpty());
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(session->log().active());
}

TEST_F(MainForm, ClosingSendsTheTerminateRequestsAndStopsWindowCalls)
{
    session->connect(0, 0);
    const std::size_t started = made.log.size();
    int closed = 0;
    QObject::connect(form.get(), &TMain_Form::formClosed, [&] { ++closed; });
    form->showNormal();
    form->close();
    EXPECT_THAT(made.since(started), ElementsAre("terminate Link", "terminate Gps"));
    EXPECT_EQ(closed, 1);
    EXPECT_TRUE(window.shuttingDown());
    EXPECT_FALSE(control<QTimer>("Timer1")->isActive());
}

} // namespace
} // namespace zentor
