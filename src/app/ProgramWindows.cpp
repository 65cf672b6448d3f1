#include "app/ProgramWindows.h"

#include "app/TLogClosingDlg.h"
#include "map/MapUpdateSignal.h"
#include "nav/TravelPilotPanel.h"

#include <QCoreApplication>
#include <cstdio>
#include <utility>

namespace zentor {

ProgramWindows::ProgramWindows(const ProgramOptions& options, WorkerFactory factory)
    : session_(window_, messages_, programMapAnnouncer(window_), std::move(factory))
{
    mainForm_ = std::make_unique<TMain_Form>(session_, window_);
    TMain_Form* form = mainForm_.get();
    session_.setViews({form, [form](const GpsPanelTexts& texts) { form->showGps(texts); },
                       [form](const TravelPilotTexts& texts) { showTravelPilotTexts(form, texts); },
                       [form](MeasurementMode mode) { form->showMeasurementMode(mode); }});
    aboutBox_ = std::make_unique<TAboutDlg>();
    applyMapChoices(options, session_.mapSettings());
    mapRangeForm_ = std::make_unique<TMapRange_Form>(session_.mapSettings());
    connectionDialog_ = std::make_unique<TCom_Form>(session_, *mainForm_);
    logWarningForm_ =
        std::make_unique<TLogWarningForm>([this] { session_.resetScanInformation(); });

    QObject::connect(form, &TMain_Form::aboutRequested, aboutBox_.get(), &QWidget::show);
    QObject::connect(form, &TMain_Form::logWarningRequested, logWarningForm_.get(), [this] {
        logWarningForm_->show();
        logWarningForm_->raise();
    });
    QObject::connect(form, &TMain_Form::mapRangeRequested, mapRangeForm_.get(), [this] {
        mapRangeForm_->show();
        mapRangeForm_->raise();
        mapRangeForm_->activateWindow();
    });
    QObject::connect(form, &TMain_Form::formClosed, QCoreApplication::instance(),
                     &QCoreApplication::quit, Qt::QueuedConnection);
    if (!options.connectsAtOnce()) {
        connectionDialog_->show();
        return;
    }
    if (options.replayFile) {
        mainForm_->showNormal();
        // A file that cannot be replayed has been reported: the user may connect instead.
        if (!mainForm_->startReplay(QString::fromStdString(*options.replayFile),
                                    options.replaySpeed))
            connectionDialog_->show();
        return;
    }
    if (options.logFile)
        mainForm_->startLoggingOnceIdentified(QString::fromStdString(*options.logFile));
    connectionDialog_->confirm(*options.portChoice, options.navChoice);
}

ProgramWindows::~ProgramWindows()
{
    // Waits for a mode report in progress on the link thread; none reaches the window after this.
    session_.setViews({});
}

void ProgramWindows::end()
{
    if (!connectionDialog_->isVisible()) {
        mainForm_->closeWithoutAsking();
        return;
    }
    session_.beginEnd();
    // exit, not quit: quit asks the windows to close, and the connection dialog refuses that.
    QCoreApplication::exit(0);
}

bool ProgramWindows::endWorkers(std::chrono::milliseconds bound, bool displayGone)
{
    // The event loop may also have ended without the main window closing (the desktop session
    // ends): the end begins here then.
    session_.beginEnd();
    connectionDialog_.reset();
    logWarningForm_.reset();
    mapRangeForm_.reset();
    aboutBox_.reset();
    if (displayGone)
        return session_.finishEnd(ProgramSession::tellBacklogOnce([](const std::string& text) {
                                      std::fprintf(stderr, "%s\n", text.c_str());
                                  }),
                                  bound);
    // A slow disk: the dialog shows what the end waits for, so the program never seems frozen.
    TLogClosingDlg notice;
    return session_.finishEnd(
        [&notice](const std::vector<LogSession::Backlog>& logs) {
            notice.showBacklog(QString::fromStdString(logBacklogText(logs)));
            QCoreApplication::processEvents();
            return !notice.givenUp();
        },
        bound);
}

} // namespace zentor
