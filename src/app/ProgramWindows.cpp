#include "app/ProgramWindows.h"

#include "app/ProgramWorkers.h"
#include "gps/GpsPanel.h"
#include "nav/MapUpdateSignal.h"
#include "nav/TravelPilotPanel.h"

#include <QCoreApplication>

namespace zentor {

ProgramWindows::ProgramWindows(TReceiverLink& link, Selections& selections, Workers& workers)
    : ProgramWindows(link, selections, workers, WorkerFactory{})
{}

ProgramWindows::ProgramWindows(TReceiverLink& link, Selections& selections, Workers& workers,
                               WorkerFactory factory)
    : ProgramWindows(link, selections, workers, ProgramOptions{}, std::move(factory))
{}

ProgramWindows::ProgramWindows(TReceiverLink& link, Selections& selections, Workers& workers,
                               const ProgramOptions& options, WorkerFactory factory)
    : link_(link), workers_(workers), mapFeed_(mapSettings_, programMapAnnouncer(window_))
{
    link_.setMessageSink(&messages_);
    mainForm_ =
        std::make_unique<TMain_Form>(link, workers, selections, window_, messages_, mapSettings_);
    aboutBox_ = std::make_unique<TAboutDlg>();
    mapRangeForm_ = std::make_unique<TMapRange_Form>(mapSettings_);
    if (!factory.linkThread)
        factory = programWorkerFactory(
            link, window_,
            {*mainForm_,
             [form = mainForm_.get()](const GpsPanelTexts& texts) { showGpsStatus(form, texts); },
             [this](const GpsStatus& status, std::int16_t rssiDbm) {
                 mapFeed_.publish(status.unfiltered.latitudeDeg, status.unfiltered.longitudeDeg,
                                  rssiDbm, link_.identification());
             },
             [form = mainForm_.get()](const TravelPilotTexts& texts) {
                 showTravelPilotTexts(form, texts);
             },
             &mainForm_->logSink()});
    connectionDialog_ =
        std::make_unique<TCom_Form>(selections, workers, std::move(factory), *mainForm_);
    logWarningForm_ = std::make_unique<TLogWarningForm>(link);

    QObject::connect(mainForm_.get(), &TMain_Form::aboutRequested, aboutBox_.get(), &QWidget::show);
    QObject::connect(mainForm_.get(), &TMain_Form::logWarningRequested, logWarningForm_.get(),
                     [this] {
                         logWarningForm_->show();
                         logWarningForm_->raise();
                     });
    QObject::connect(mainForm_.get(), &TMain_Form::mapRangeRequested, mapRangeForm_.get(), [this] {
        mapRangeForm_->show();
        mapRangeForm_->raise();
        mapRangeForm_->activateWindow();
    });
    QObject::connect(mainForm_.get(), &TMain_Form::formClosed, QCoreApplication::instance(),
                     &QCoreApplication::quit, Qt::QueuedConnection);
    if (!options.connectsAtOnce()) {
        connectionDialog_->show();
        return;
    }
    if (options.logFile)
        mainForm_->startLogging(QString::fromStdString(*options.logFile));
    connectionDialog_->confirm(*options.portChoice, options.navChoice);
}

ProgramWindows::~ProgramWindows()
{
    link_.setMessageSink(nullptr);
}

void ProgramWindows::end()
{
    if (!connectionDialog_->isVisible()) {
        mainForm_->close();
        return;
    }
    window_.beginShutdown();
    for (WorkerId id : {WorkerId::Receiver1, WorkerId::Receiver2})
        workers_.requestTerminate(id);
    // exit, not quit: quit asks the windows to close, and the connection dialog refuses that.
    QCoreApplication::exit(0);
}

bool ProgramWindows::endWorkers(std::chrono::milliseconds bound)
{
    connectionDialog_.reset();
    logWarningForm_.reset();
    mapRangeForm_.reset();
    aboutBox_.reset();
    if (!workers_.waitAllFinished(bound, [this] { window_.serveQueuedCalls(); }))
        return false;
    workers_.clear();
    return true;
}

} // namespace zentor
