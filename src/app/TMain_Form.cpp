#include "app/TMain_Form.h"

#include "app/ReplayBar.h"
#include "display/DBar.h"
#include "display/ReceiverDisplay.h"
#include "logging/LogFileName.h"
#include "nav/TravelPilotPanel.h"
#include "ui/FormLayout.h"
#include "ui/MessageBoxRoutine.h"
#include "ui/PanelStatusBar.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QShowEvent>
#include <QTime>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <utility>

namespace zentor {

namespace {

const char* const kUserManualFile = "Zentor1.0.pdf";
const char* const kUserManualFailedText = "Could Not Load User Manual!!!";
const char* const kLinkLostNote = "No link: the last readings received";
const char* const kStopLoggingQuestion = "Log mode is on: stop logging and exit?";
const char* const kLogModeNote = "Log mode on: ";
// The size box's ground while log mode is on: the red of a recording light, pale enough that the
// size stays readable.
const QColor kLogModeColour(255, 190, 190);
const char* const kLogModeDuringReplayText =
    "Log Data is off during a replay: a replay never writes into a log";
constexpr int kLinkLostNoteHeight = 16;
constexpr int kLinkLostNotePixels = 11;
#ifdef _WIN32
// Where the installer puts the manual: beside the program.
const char* const kInstalledManualFolder = "";
#else
// Where the package puts the manual, from the program's own folder (bin/).
const char* const kInstalledManualFolder = "../share/doc/zentor-dl/";
#endif

QString fromStd(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

TMain_Form::TMain_Form(ProgramSession& session, QtWindowThread& window)
    : session_(session), window_(window)
{
    buildWindow();
    FormCreate();

    connect(btnReceiver1, &QToolButton::clicked, this, &TMain_Form::btnReceiver1Click);
    connect(btnReceiver2, &QToolButton::clicked, this, &TMain_Form::btnReceiver2Click);
    connect(btnGPSPanel, &QToolButton::clicked, this, &TMain_Form::btnGPSPanelClick);
    connect(btnReceiverPanels, &QToolButton::clicked, this, &TMain_Form::btnReceiverPanelsClick);
    connect(btnTileH, &QToolButton::clicked, this, &TMain_Form::btnTileHClick);
    connect(btnTileV, &QToolButton::clicked, this, &TMain_Form::btnTileVClick);
    connect(btnLogMode, &QToolButton::clicked, this, &TMain_Form::btnLogModeClick);
    connect(btnLogFile, &QToolButton::clicked, this, &TMain_Form::btnLogFileClick);
    // A mode button the user presses is the mode drawn until the instrument's data shows another.
    const std::pair<QToolButton*, MeasurementMode> modeButtons[] = {
        {btnSingleMode, MeasurementMode::Single},
        {btnScanMode, MeasurementMode::List},
        {btnTableMode, MeasurementMode::Table}};
    for (const auto& [button, mode] : modeButtons)
        connect(button, &QToolButton::clicked, this,
                [this, mode = mode] { session_.chooseMeasurementMode(mode); });

    retile();
    adjustSize();
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    setWindowState(Qt::WindowMinimized);
}

TMain_Form::~TMain_Form()
{
    // The log file is closed while the window, which a failure report is queued to, still exists.
    session_.stopLog();
}

void TMain_Form::FormCreate()
{
    // The clock label sits on the owner-drawn status bar panel, in the colours of a button.
    olClock->setParent(sbarZentor);
    QPalette face = olClock->palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    face.setColor(QPalette::WindowText, face.color(QPalette::ButtonText));
    olClock->setPalette(face);
    olClock->setAutoFillBackground(true);
    sbarZentorDrawPanel(1, sbarZentor->panelRect(1));
    olClock->show();

    // Each receiver panel holds its bar display, which follows the panel's size; the receiver's
    // router draws into it.
    for (int r = 0; r < kReceiverCount; ++r) {
        display[r] = new DBar(receiverPanel[r]);
        setUpReceiverDisplay(*display[r]);
        auto* fill = new QVBoxLayout(receiverPanel[r]);
        fill->setContentsMargins(0, 0, 0, 0);
        fill->addWidget(display[r]);
        // Over the top edge of the display, outside its layout, so that it moves nothing.
        olLinkLost[r] = makeLabel(receiverPanel[r], r == 0 ? "olLinkLost1" : "olLinkLost2",
                                  QString::fromLatin1(kLinkLostNote));
        QFont small = olLinkLost[r]->font();
        small.setPixelSize(kLinkLostNotePixels);
        small.setItalic(true);
        olLinkLost[r]->setFont(small);
        QPalette light = olLinkLost[r]->palette();
        light.setColor(QPalette::WindowText, Qt::white);
        olLinkLost[r]->setPalette(light);
        olLinkLost[r]->setAlignment(Qt::AlignCenter);
        olLinkLost[r]->hide();
    }
    session_.startReceiverRouters([this](int r) { updateDisplay(r); });
}

void TMain_Form::updateDisplay(int receiver)
{
    updateReceiverDisplay(*display[receiver], session_.state(), receiver,
                          {session_.measurementMode(), sbFrequency->isChecked()});
}

PanelRect TMain_Form::receiverArea() const
{
    const QRect status = pnlStatus->geometry();
    return zentor::receiverArea({status.x(), status.y(), status.width(), status.height()},
                                pnlReceiverInfo->geometry().x());
}

void TMain_Form::showFileSize(const std::string& text)
{
    edFileSize->setText(fromStd(text));
}

void TMain_Form::showSerialNumber(const std::string& text)
{
    edSN->setText(fromStd(text));
}

void TMain_Form::showLinkStatus(const std::string& text)
{
    linkStatusText_ = text;
    showStatusBarText();
}

void TMain_Form::showStatusBarText()
{
    std::string text = linkStatusText_;
    if (logModeShown_)
        text += std::string(text.empty() ? "" : "    ") + kLogModeNote + session_.log().fileName();
    sbarZentor->setPanelText(0, fromStd(text));
}

void TMain_Form::showLogMode()
{
    const bool on = session_.log().active();
    if (on == logModeShown_)
        return;
    logModeShown_ = on;
    QPalette colours = edFileSize->palette();
    colours.setColor(QPalette::Base, on ? kLogModeColour : palette().color(QPalette::Base));
    edFileSize->setPalette(colours);
    showStatusBarText();
}

void TMain_Form::showPositionSource()
{
    const bool travelPilot =
        session_.connected() && session_.selections().navigationMode == Selections::kTravelPilot;
    for (int row = 0; row < gpsDataRows_->rowCount(); ++row)
        gpsDataRows_->setRowVisible(row, travelPilot == (row == gpsDataRows_->rowCount() - 1));
}

void TMain_Form::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    showPositionSource();
}

void TMain_Form::showLinkQuality(const std::string& text)
{
    sbarZentor->setPanelToolTip(0, fromStd(text));
}

void TMain_Form::showRange(int receiver, const RangeTexts& texts)
{
    const int r = receiver == 0 ? 0 : 1;
    edMin[r]->setText(fromStd(texts.minimumMHz));
    edMax[r]->setText(fromStd(texts.maximumMHz));
    edStep[r]->setText(fromStd(texts.stepKHz));
}

void TMain_Form::showClock(const ClockTexts& texts)
{
    edRTCDate->setText(fromStd(texts.date));
    edRTCTime->setText(fromStd(texts.time));
    edMarker->setText(fromStd(texts.marker));
}

void TMain_Form::showGps(const GpsPanelTexts& texts)
{
    showGpsStatus(gpsWidgets_, texts);
}

void TMain_Form::Exit1Click()
{
    close();
}

void TMain_Form::AboutClick()
{
    emit aboutRequested();
}

void TMain_Form::MapClick()
{
    emit mapRangeRequested();
}

void TMain_Form::UserManualClick()
{
    // The manual in the current folder, as always; else the one installed with the program. The
    // shell cannot open a document that is not there, and the desktop reports nothing for that.
    // A failure says on a second line where the manual was looked for and why it did not open.
    const QString name = QString::fromLatin1(kUserManualFile);
    const QString here = QDir::current().absoluteFilePath(name);
    const QString installed =
        QDir::cleanPath(QDir(QCoreApplication::applicationDirPath())
                            .absoluteFilePath(QString::fromLatin1(kInstalledManualFolder) + name));
    QString reason;
    if (QFileInfo::exists(here) || QFileInfo::exists(installed)) {
        const QString path = QFileInfo::exists(here) ? here : installed;
        if (QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
            return;
        reason = path + QStringLiteral(": no program to show PDF files opened it.");
    } else {
        reason = here + QStringLiteral(" and ") + installed + QStringLiteral(": no such file.");
    }
    showMessageBox(MessageKind::Information,
                   std::string(kUserManualFailedText) + "\n" + reason.toStdString());
}

void TMain_Form::btnLogModeClick()
{
    if (!btnLogMode->isChecked()) {
        session_.stopLog();
        LogFile->setEnabled(!session_.log().closing());
        showLogMode();
        return;
    }
    // A name that gives no file is refused before anything starts: log mode stays off.
    const std::string refusal = logFileNameRefusal(LogFile->text().toStdString());
    if (!refusal.empty()) {
        btnLogMode->setChecked(false);
        showMessageBox(MessageKind::Error, refusal + " Log mode stays off.");
        return;
    }
    // A failure is reported by the log router itself, and the session has ended log mode by the
    // time the button is released here.
    session_.startLog(LogFile->text().toStdString(), [this] { releaseLogModeAfterFailure(); });
    LogFile->setEnabled(false);
    showLogMode();
    if (session_.log().needsScanInformationWarning())
        emit logWarningRequested();
}

void TMain_Form::ReplayDrive1Click()
{
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Replay Drive"), QString(),
        QStringLiteral("Data logger logs (*.KLF *.klf);;All files (*)"));
    if (!path.isEmpty())
        startReplay(path);
}

bool TMain_Form::startReplay(const QString& path, double speed)
{
    if (btnLogMode->isChecked()) {
        btnLogMode->setChecked(false);
        btnLogModeClick();
    }
    std::string error;
    if (!session_.startReplay(path.toStdString(), speed, error)) {
        showMessageBox(MessageKind::Error, error);
        return false;
    }
    if (!replayBar_) {
        replayBar_ = new ReplayBar(session_, this);
        addToolBar(Qt::TopToolBarArea, replayBar_);
        connect(replayBar_, &ReplayBar::endRequested, this, &TMain_Form::endReplay);
    }
    replayBar_->follow();
    replayBar_->show();
    showReplaying(true);
    return true;
}

void TMain_Form::endReplay()
{
    session_.endReplay();
    replayBar_->hide();
    showReplaying(false);
}

void TMain_Form::showReplaying(bool replaying)
{
    if (replaying && logModeHint_.isEmpty())
        logModeHint_ = btnLogMode->toolTip();
    btnLogMode->setEnabled(!replaying);
    btnLogMode->setToolTip(replaying ? QString::fromLatin1(kLogModeDuringReplayText)
                                     : logModeHint_);
}

void TMain_Form::startLoggingOnceIdentified(const QString& logFileText)
{
    LogFile->setText(logFileText);
    btnLogMode->setChecked(true);
    session_.startLogOnceIdentified(logFileText.toStdString(),
                                    [this] { releaseLogModeAfterFailure(); });
    LogFile->setEnabled(false);
    showLogMode();
}

void TMain_Form::releaseLogModeAfterFailure()
{
    btnLogMode->setChecked(false);
    LogFile->setEnabled(!session_.log().closing());
    showLogMode();
}

void TMain_Form::btnLogFileClick()
{
    QFileDialog* dialog = openLogDialog();
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return;
    LogFile->setText(dialog->selectedFiles().constFirst());
    // The size box shows the file this name logs to, not the one before: 0 kB for a new one.
    const QFileInfo chosen(fromStd(logFileName(LogFile->text().toStdString())));
    showFileSize(logFileSizeText(logFileSizeKb(chosen.exists() ? chosen.size() : -1)));
}

bool TMain_Form::gpsScreenShowing() const
{
    return btnGPSPanel->isChecked();
}

void TMain_Form::btnGPSPanelClick()
{
    GPSPanel->show();
    showReceiverPanel(0, false);
    showReceiverPanel(1, false);
}

void TMain_Form::btnReceiverPanelsClick()
{
    GPSPanel->hide();
    showReceiverPanel(0, btnReceiver1->isChecked());
    showReceiverPanel(1, btnReceiver2->isChecked());
    retile();
}

void TMain_Form::btnReceiver1Click()
{
    if (!(btnReceiver1->isChecked() && gpsScreenShowing()))
        showReceiverPanel(0, btnReceiver1->isChecked());
    retile();
}

void TMain_Form::btnReceiver2Click()
{
    if (!(btnReceiver2->isChecked() && gpsScreenShowing()))
        showReceiverPanel(1, btnReceiver2->isChecked());
    retile();
}

void TMain_Form::btnTileHClick()
{
    retile();
}

void TMain_Form::btnTileVClick()
{
    retile();
}

void TMain_Form::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    retile();
}

void TMain_Form::showReceiverPanel(int receiver, bool shown)
{
    receiverPanel[receiver]->setVisible(shown);
}

void TMain_Form::retile()
{
    // Visibility as set on the panel, whether or not the window itself is showing yet.
    const bool visible1 = !receiverPanel[0]->isHidden();
    const bool visible2 = !receiverPanel[1]->isHidden();
    const Tiling tiling = btnTileV->isChecked() ? Tiling::Vertical : Tiling::Horizontal;
    const auto places = tileReceiverPanels(receiverArea(), visible1, visible2, tiling);
    for (int r = 0; r < kReceiverCount; ++r) {
        if (const auto& place = places[static_cast<std::size_t>(r)]) {
            receiverPanel[r]->setGeometry(place->left, place->top, place->width, place->height);
            if (olLinkLost[r])
                olLinkLost[r]->setGeometry(0, 1, place->width, kLinkLostNoteHeight);
        }
    }
}

void TMain_Form::sbarZentorDrawPanel(int index, const QRect& rect)
{
    if (index == 1 && olClock->geometry() != rect)
        olClock->setGeometry(rect);
}

void TMain_Form::Timer1Timer()
{
    const QTime now = QTime::currentTime();
    olClock->setText(fromStd(timeOfDayText(now.hour(), now.minute(), now.second())));
    if (const std::optional<WatchdogStep> step = session_.tick())
        showWatchdogStep(*step, gbTravelPilot, lWarning);
    showLinkLost(session_.linkLost());
    // A log switched off keeps its name until its file is closed.
    LogFile->setEnabled(!session_.log().active() && !session_.log().closing());
    showLogMode();
}

void TMain_Form::showLinkLost(bool lost)
{
    if (lost == linkLostShown_)
        return;
    linkLostShown_ = lost;
    for (QLabel* note : olLinkLost) {
        note->raise();
        note->setVisible(lost);
    }
    // The fix colour comes back with the next GPS record.
    if (lost)
        showGpsStatusStale(gpsWidgets_);
}

void TMain_Form::closeEvent(QCloseEvent* event)
{
    // Only one question at a time: an Exit or a signal while it is up closes without another.
    if (!closing_ && askBeforeClosing_ && session_.log().active()) {
        askBeforeClosing_ = false;
        const QMessageBox::StandardButton answer =
            QMessageBox::question(this, windowTitle(), QString::fromLatin1(kStopLoggingQuestion),
                                  QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        askBeforeClosing_ = true;
        // The run may have been ended meanwhile (a signal, the desktop's end).
        if (answer != QMessageBox::Yes && !closing_) {
            event->ignore();
            return;
        }
    }
    FormClose();
    event->accept();
}

void TMain_Form::closeWithoutAsking()
{
    askBeforeClosing_ = false;
    close();
}

void TMain_Form::FormClose()
{
    if (closing_)
        return;
    closing_ = true;
    Timer1->stop();
    session_.beginEnd();
    emit formClosed();
}

void TMain_Form::showMeasurementMode(MeasurementMode mode)
{
    newestMode_.store(mode);
    if (modePressQueued_.exchange(true))
        return;
    // Queued to this window: dropped by Qt if the window is gone before it runs.
    QMetaObject::invokeMethod(
        this,
        [this] {
            modePressQueued_.store(false);
            pressModeButton(newestMode_.load());
        },
        Qt::QueuedConnection);
}

void TMain_Form::pressModeButton(MeasurementMode mode)
{
    switch (mode) {
    case MeasurementMode::Single:
        btnSingleMode->setChecked(true);
        break;
    case MeasurementMode::List:
        btnScanMode->setChecked(true);
        break;
    case MeasurementMode::Table:
        btnTableMode->setChecked(true);
        break;
    }
}

} // namespace zentor
