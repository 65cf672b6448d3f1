#include "app/HeadlessRun.h"

#include "app/HeadlessStatusLine.h"
#include "app/ProgramWorkers.h"
#include "app/RouterTick.h"
#include "app/TMain_Router.h"
#include "app/WorkerStartup.h"
#include "gps/GpsTextTables.h"
#include "gps/TGPS_Router.h"
#include "nav/MapUpdateSignal.h"

#include <QCoreApplication>
#include <QTimer>

namespace zentor {

namespace {

constexpr int kStatusLineMs = 1000;
constexpr int kEndPollMs = 100;

} // namespace

HeadlessRun::HeadlessRun(TReceiverLink& link, Selections& selections, Workers& workers,
                         const ProgramOptions& options, std::FILE* out, std::FILE* errors)
    : link_(link), selections_(selections), workers_(workers), options_(options), out_(out),
      messages_(errors, window_), log_(link, &messages_), counter_(log_),
      mapFeed_(mapSettings_, programMapAnnouncer(window_))
{}

HeadlessRun::~HeadlessRun()
{
    link_.setLogSink(nullptr);
    link_.setMessageSink(nullptr);
}

int HeadlessRun::exec(const std::function<bool()>& endNow)
{
    // Log mode goes on before the link opens, so the log holds its packets from the first. The
    // receiver protocol's only message is the one about the log, so it gets the sink only then.
    if (options_.logFile) {
        link_.setMessageSink(&messages_);
        const std::string name = log_.start(
            *options_.logFile, [this] { window_.post([this] { releaseLogAfterFailure(); }); });
        std::fprintf(out_, "Logging to %s\n", name.c_str());
    }
    // After log mode, which makes the log router the sink: every record passes the counter.
    link_.setLogSink(&counter_);

    WorkerFactory factory = programWorkerFactory(
        link_, window_,
        {statusView_, [this](const GpsPanelTexts&) { gpsRecordSeen_ = true; },
         [this](const GpsStatus& status, std::int16_t rssiDbm) {
             mapFeed_.publish(status.unfiltered.latitudeDeg, status.unfiltered.longitudeDeg,
                              rssiDbm, link_.identification());
         },
         [this](const TravelPilotTexts& texts) {
             if (texts.latitude)
                 travelPilotLatitude_ = *texts.latitude;
             if (texts.longitude)
                 travelPilotLongitude_ = *texts.longitude;
         },
         &log_});
    selections_ = selectionsFromChoices(*options_.portChoice, options_.navChoice);
    started_ = std::chrono::steady_clock::now();
    startWorkers(selections_, travelPilotPort(options_.navChoice), factory, workers_);

    QTimer statusTimer;
    QObject::connect(&statusTimer, &QTimer::timeout, [this] { printStatusLine(); });
    statusTimer.start(kStatusLineMs);
    QTimer endTimer;
    QObject::connect(&endTimer, &QTimer::timeout, [this, &endNow] {
        const bool timeUp = options_.seconds && std::chrono::steady_clock::now() - started_ >=
                                                    std::chrono::seconds(*options_.seconds);
        if (timeUp || endNow())
            QCoreApplication::quit();
    });
    endTimer.start(kEndPollMs);
    QCoreApplication::exec();
    statusTimer.stop();
    endTimer.stop();
    end();
    return logFailed_ ? kExitLogFailed : 0;
}

void HeadlessRun::printStatusLine()
{
    TMain_Router* mainRouter = workers_.find<TMain_Router>(WorkerId::Main);
    tickRouters(mainRouter ? &mainRouter->refreshEvent() : nullptr, link_);
    log_.tick();

    HeadlessStatus status;
    // Rounded: the timer's tick lands a little before or after each whole second.
    const auto elapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started_);
    status.elapsedSeconds = static_cast<int>((elapsedMs.count() + 500) / 1000);
    status.linkStatus = link_.statusText();
    status.packets = counter_.counts();
    status.logSizeKb = log_.fileSizeKb();
    if (selections_.navigationMode == Selections::kTravelPilot) {
        status.position = travelPilotPositionText(travelPilotLatitude_, travelPilotLongitude_);
    } else {
        const TGPS_Router* gps = workers_.find<TGPS_Router>(WorkerId::Gps);
        const GpsStatus fix = gps ? gps->gpsStatus() : GpsStatus{};
        status.position = gpsPositionText(gpsRecordSeen_, fixModeText(fix.receiver.fixMode),
                                          fix.unfiltered.latitudeDeg, fix.unfiltered.longitudeDeg);
    }
    std::fprintf(out_, "%s\n", headlessStatusLine(status).c_str());
    std::fflush(out_);
}

void HeadlessRun::releaseLogAfterFailure()
{
    if (!log_.failed())
        return;
    logFailed_ = true;
    // Stopping the log takes the receiver protocol's sink away; the counter goes on counting.
    log_.stop();
    link_.setLogSink(&counter_);
    link_.setMessageSink(nullptr);
}

void HeadlessRun::end()
{
    // The windows' order: no window call runs from here on, the workers are told to end, the
    // log file is closed, then the workers are waited for (serving the calls they are in).
    window_.beginShutdown();
    terminateOnFormClose(selections_, workers_);
    terminateOnDialogDestroy(selections_, workers_);
    log_.closeAll(kWorkerEndWait);
    link_.setLogSink(nullptr);
    workersEnded_ =
        workers_.waitAllFinished(kWorkerEndWait, [this] { window_.serveQueuedCalls(); });
    if (workersEnded_)
        workers_.clear();
    std::fflush(out_);
}

} // namespace zentor
