#pragma once

#include "app/PanelTiling.h"
#include "app/ProgramSession.h"
#include "app/StatusTexts.h"
#include "gps/GpsPanel.h"
#include "link/MeasurementMode.h"
#include "ui/QtWindowThread.h"

#include <QMainWindow>
#include <atomic>

class QButtonGroup;
class QFileDialog;
class QFormLayout;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTimer;
class QToolButton;

namespace zentor {

class DBar;
class ReplayBar;
class PanelStatusBar;

// The main window: the command bar, the status panel, the two receiver panels and the GPS
// screen between it and the information panel, and the status bar with the link status text
// and the PC clock. Its one-second timer is the program session's tick. It is created hidden and
// minimised; the connection dialog shows it.
//
// Window thread only, except showMeasurementMode (the receiver protocol's mode listener).
class TMain_Form : public QMainWindow, public StatusView
{
    Q_OBJECT

public:
    static constexpr int kClientWidth = 892;
    static constexpr int kClientHeight = 528;
    static constexpr int kTickMs = 1000;

    // The references must outlive the window. Creating the window starts the session's receiver
    // routers, which draw into its displays.
    TMain_Form(ProgramSession& session, QtWindowThread& window);
    ~TMain_Form() override;

    // StatusView: the main router's refreshes.
    void showFileSize(const std::string& text) override;
    void showSerialNumber(const std::string& text) override;
    void showLinkStatus(const std::string& text) override;
    void showLinkQuality(const std::string& text) override;
    void showRange(int receiver, const RangeTexts& texts) override;
    void showClock(const ClockTexts& texts) override;

    // The GPS router's panel update: the GPS screen and the "GPS Data" group.
    void showGps(const GpsPanelTexts& texts);

    // The command line's log mode: puts `logFileText` into LogFile and shows the log button
    // pressed; the file waits for the instrument's identification (the log warning dialog is not
    // needed: channel information the instrument sends at the start goes into the header).
    void startLoggingOnceIdentified(const QString& logFileText);

    // Replays the drive at `path` (File > Replay Drive..., or the command line's --replay) at
    // `speed` times the recorded pace (0: as fast as the program reads): log mode goes off and
    // its button is greyed, the replay controls show. A file that cannot be replayed is reported
    // in a message box and nothing changes: returns false then.
    bool startReplay(const QString& path, double speed = 1.0);

    // The receiver area between the status panel and the information panel.
    PanelRect receiverArea() const;

    // Closes the window without asking, for the ends no one is there to answer: a signal, the
    // end of --seconds, the desktop's end.
    void closeWithoutAsking();

signals:
    void aboutRequested();      // AboutClick: the About box is to be shown
    void logWarningRequested(); // log mode went on without scan channel information
    void mapRangeRequested();   // MapClick: the map range dialog is to be shown
    void formClosed();          // FormClose has run: the program is to end

protected:
    // FormClose; with log mode on, the user is asked first ("Log mode is on: stop logging and
    // exit?", default No) unless the end comes from elsewhere (closeWithoutAsking).
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override; // FormResize
    void showEvent(QShowEvent* event) override;

private:
    // Building the window (TMain_FormLayout.cpp).
    void buildWindow();
    QWidget* buildCommandBar(QWidget* client);
    QFileDialog* openLogDialog(); // dlgOpenLog, made on first use
    QWidget* buildStatusPanel(QWidget* client);
    QWidget* buildInformationPanel(QWidget* client);
    void buildReceiverArea(QWidget* client);
    void buildStatusBar(QWidget* client);
    void buildMenu();

    // Handlers.
    void FormCreate();
    void Exit1Click();
    void AboutClick();
    void MapClick();
    void UserManualClick();
    void btnLogModeClick();
    void ReplayDrive1Click();
    void endReplay();
    // Log mode's controls while a replay runs (greyed, saying why) or not.
    void showReplaying(bool replaying);
    void btnLogFileClick();
    void btnGPSPanelClick();
    void btnReceiverPanelsClick();
    void btnReceiver1Click();
    void btnReceiver2Click();
    void btnTileHClick();
    void btnTileVClick();
    void sbarZentorDrawPanel(int index, const QRect& rect);
    void Timer1Timer();
    void FormClose();

    void releaseLogModeAfterFailure();
    // Log mode as a driver sees it at a glance: the size box in the log colour and the status
    // bar naming the file, while log mode is on.
    void showLogMode();
    void showStatusBarText();
    // The GPS Data group's note when the TravelPilot is the position source.
    void showPositionSource();
    // While the link is lost, the readings and the fix on the screen are old and say so.
    void showLinkLost(bool lost);
    // A receiver router's display update, on the window thread.
    void updateDisplay(int receiver);
    void showReceiverPanel(int receiver, bool shown);
    void retile();
    bool gpsScreenShowing() const;

public:
    // The receiver protocol's mode listener (link thread): keeps the newest mode and queues one
    // press of its button at a time.
    void showMeasurementMode(MeasurementMode mode);

private:
    void pressModeButton(MeasurementMode mode);

    ProgramSession& session_;
    QtWindowThread& window_;
    bool closing_ = false;
    bool askBeforeClosing_ = true; // cleared by closeWithoutAsking and while the question is up

    std::atomic<MeasurementMode> newestMode_{MeasurementMode::Single};
    std::atomic<bool> modePressQueued_{false};

    // Command bar.
    QFrame* pnlScroll = nullptr;
    QToolButton* btnReceiverPanels = nullptr;
    QToolButton* btnGPSPanel = nullptr;
    QToolButton* btnSingleMode = nullptr;
    QToolButton* btnScanMode = nullptr;
    QToolButton* btnTableMode = nullptr;
    QToolButton* btnTileH = nullptr;
    QToolButton* btnTileV = nullptr;
    QToolButton* sbFrequency = nullptr;
    QToolButton* sbChannel = nullptr;
    QToolButton* btnReceiver1 = nullptr;
    QToolButton* btnReceiver2 = nullptr;
    QToolButton* btnLogMode = nullptr;
    QToolButton* btnLogFile = nullptr;
    QLineEdit* LogFile = nullptr;
    QLineEdit* edFileSize = nullptr;

    // Status panel.
    QFrame* pnlStatus = nullptr;
    QLineEdit* edRTCDate = nullptr;
    QLineEdit* edRTCTime = nullptr;
    QLineEdit* edMarker = nullptr;
    QLineEdit* edSN = nullptr;
    QLineEdit* edMin[kReceiverCount] = {};
    QLineEdit* edMax[kReceiverCount] = {};
    QLineEdit* edStep[kReceiverCount] = {};

    // Receiver area; each receiver panel holds its bar display, and over it the note that the
    // link is lost.
    QFrame* receiverPanel[kReceiverCount] = {};
    DBar* display[kReceiverCount] = {};
    QLabel* olLinkLost[kReceiverCount] = {};
    bool linkLostShown_ = false;
    bool logModeShown_ = false;
    std::string linkStatusText_; // the status bar's link text, before the log mode note
    QFrame* GPSPanel = nullptr;
    GpsWidgets gpsWidgets_; // the GPS screen's labels and the "GPS Data" group's fields

    // Information panel.
    QFrame* pnlReceiverInfo = nullptr;
    QGroupBox* gbTravelPilot = nullptr;
    QLabel* lWarning = nullptr;
    QLabel* lGpsSource = nullptr;        // in "GPS Data": the TravelPilot is the position source
    QFormLayout* gpsDataRows_ = nullptr; // the "GPS Data" group's rows, the note last

    // Status bar.
    PanelStatusBar* sbarZentor = nullptr;
    QLabel* olClock = nullptr;

    QTimer* Timer1 = nullptr;
    ReplayBar* replayBar_ = nullptr; // shown while a replay runs
    QString logModeHint_;            // the log button's tool tip but during a replay
    // Made by the first btnLogFileClick: a file dialog watches its folder from the moment it
    // exists, and every change the log file makes there would cost the window thread a look at
    // the folder's files.
    QFileDialog* dlgOpenLog = nullptr;
};

} // namespace zentor
