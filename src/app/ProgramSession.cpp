#include "app/ProgramSession.h"

#include "app/MapRssi.h"
#include "app/TMain_Router.h"
#include "display/TR_Router.h"
#include "gps/GpsPanelTexts.h"
#include "gps/TGPS_Router.h"
#include "link/TCom_Router.h"
#include "logging/LogFileName.h"
#include "nav/TNav_Router.h"

#include <cstdlib>
#include <utility>

namespace zentor {

MapFeedNames programMapNames()
{
    MapFeedNames names;
    if (const char* block = std::getenv("ZENTOR_MAP_BLOCK"); block && *block)
        names.block = block;
    return names;
}

ProgramSession::ProgramSession(WindowThread& window, MessageSink& messages,
                               std::unique_ptr<MapAnnouncer> announcer, WorkerFactory factory,
                               MapFeedNames mapNames)
    : window_(window), messages_(messages),
      mapFeed_(mapSettings_, std::move(announcer), std::move(mapNames), &messages_),
      log_(state_, &messages_), factory_(withProgramWorkers(std::move(factory)))
{
    link_.setLogSink(&counter_);
    setViews({});
}

ProgramSession::~ProgramSession()
{
    endOnFormClose();
    endOnDialogDestroy();
    workers_.clear();
    link_.setModeListener({});
    link_.setLogSink(nullptr);
}

WorkerFactory ProgramSession::withProgramWorkers(WorkerFactory given)
{
    WorkerFactory program = programFactory();
    if (!given.linkThread)
        given.linkThread = std::move(program.linkThread);
    if (!given.mainRouter)
        given.mainRouter = std::move(program.mainRouter);
    if (!given.gpsRouter)
        given.gpsRouter = std::move(program.gpsRouter);
    if (!given.navRouter)
        given.navRouter = std::move(program.navRouter);
    if (!given.receiverRouter)
        given.receiverRouter = std::move(program.receiverRouter);
    return given;
}

WorkerFactory ProgramSession::programFactory()
{
    WorkerFactory factory;
    factory.linkThread = [this](const LinkSelection& selection) {
        return std::make_unique<OwnedWorker<TCom_Router>>(link_, selection);
    };
    factory.mainRouter = [this] {
        return std::make_unique<OwnedWorker<TMain_Router>>(
            window_, state_.clockEvent(), [this] { refreshStatus(); }, [this] { refreshClock(); });
    };
    factory.gpsRouter = [this] {
        return std::make_unique<OwnedWorker<TGPS_Router>>(
            state_, window_,
            [this](const GpsPanelTexts& texts) {
                gpsRecordSeen_ = true;
                if (views_.gpsPanel)
                    views_.gpsPanel(texts);
            },
            [this](const GpsStatus& status) { publishMap(status); });
    };
    factory.navRouter = [this](int comPort) {
        auto nav = std::make_unique<OwnedWorker<TNav_Router>>(
            comPort, &window_, [this](const TravelPilotTexts& texts) {
                if (texts.latitude)
                    travelPilotLatitude_ = *texts.latitude;
                if (texts.longitude)
                    travelPilotLongitude_ = *texts.longitude;
                if (views_.travelPilot)
                    views_.travelPilot(texts);
            });
        nav->thread().setLogSink(&log_);
        return nav;
    };
    factory.receiverRouter = [this](int r) {
        TR_Router::DisplayUpdate update;
        if (draw_)
            update = [this, r] { draw_(r); };
        return std::make_unique<OwnedWorker<TR_Router>>(r, state_, window_, std::move(update));
    };
    return factory;
}

void ProgramSession::setViews(SessionViews views)
{
    views_ = std::move(views);
    link_.setModeListener([this, shown = views_.modeShown](MeasurementMode mode) {
        mode_.store(mode);
        if (shown)
            shown(mode);
    });
}

void ProgramSession::startReceiverRouters(std::function<void(int receiver)> draw)
{
    draw_ = std::move(draw);
    workers_.adopt(WorkerId::Receiver1, factory_.receiverRouter(0));
    workers_.adopt(WorkerId::Receiver2, factory_.receiverRouter(1));
}

void ProgramSession::connect(int portChoice, int navChoice)
{
    selections_ = selectionsFromChoices(portChoice, navChoice);
    liveChosen_ = true;
    connected_ = true;
    connectedAt_ = std::chrono::steady_clock::now();
    workers_.adopt(WorkerId::Link, factory_.linkThread(selections_.link));
    workers_.adopt(WorkerId::Main, factory_.mainRouter());
    if (selections_.navigationMode == Selections::kTravelPilot)
        workers_.adopt(WorkerId::Nav, factory_.navRouter(travelPilotPort(navChoice)));
    else
        workers_.adopt(WorkerId::Gps, factory_.gpsRouter());
}

void ProgramSession::endWorker(WorkerId id)
{
    workers_.requestTerminate(id);
    workers_.waitFinished(id, kWorkerEndWait, [this] { window_.serveQueuedCalls(); });
    workers_.adopt(id, nullptr);
}

bool ProgramSession::startReplay(const std::string& path, double speed, std::string& error)
{
    std::shared_ptr<ReplayTransport> replay = ReplayTransport::load(path, speed, error);
    if (!replay)
        return false;
    log_.stop();
    replay->setHold([this] { return state_.gpsEvent().isSet(); });
    endWorker(WorkerId::Link);
    replay_ = std::move(replay);
    replayEndTold_ = false;
    workers_.adopt(WorkerId::Link, std::make_unique<OwnedWorker<TCom_Router>>(link_, replay_));
    if (!connected_) {
        connected_ = true;
        connectedAt_ = std::chrono::steady_clock::now();
        workers_.adopt(WorkerId::Main, factory_.mainRouter());
    }
    if (!workers_.find<TGPS_Router>(WorkerId::Gps))
        workers_.adopt(WorkerId::Gps, factory_.gpsRouter());
    return true;
}

void ProgramSession::endReplay()
{
    if (!replay_)
        return;
    endWorker(WorkerId::Link);
    replay_.reset();
    if (!liveChosen_)
        return;
    if (selections_.navigationMode == Selections::kTravelPilot)
        endWorker(WorkerId::Gps);
    workers_.adopt(WorkerId::Link, factory_.linkThread(selections_.link));
}

void ProgramSession::showReplayStatus()
{
    if (replay_)
        state_.setStatusText(replay_->connectedText());
}

std::function<void()> ProgramSession::onLogFailed(std::function<void()> released)
{
    // Called on the log thread: only the release is posted, and only if the session that failed
    // is still the current one when it runs.
    return [this, released = std::move(released)] {
        window_.post([this, released] {
            if (!log_.failed())
                return;
            logFailed_ = true;
            log_.stop();
            if (released)
                released();
        });
    };
}

std::string ProgramSession::startLog(const std::string& logFileText, std::function<void()> released)
{
    if (replay_)
        return {};
    return log_.start(logFileText, onLogFailed(std::move(released)));
}

std::string ProgramSession::startLogOnceIdentified(const std::string& logFileText,
                                                   std::function<void()> released)
{
    if (replay_)
        return {};
    return log_.startOnceIdentified(logFileText, onLogFailed(std::move(released)));
}

void ProgramSession::stopLog()
{
    log_.stop();
}

void ProgramSession::resetScanInformation()
{
    state_.resetScanInformation();
    warning_.reset();
}

std::optional<WatchdogStep> ProgramSession::tick()
{
    if (auto* mainRouter = workers_.find<TMain_Router>(WorkerId::Main))
        mainRouter->refreshEvent().set();
    for (int r = 0; r < kReceiverCount; ++r) {
        if (state_.takeNewData(r))
            state_.receiverDataEvent(r).set();
    }
    log_.tick();
    if (replayEnded() && !std::exchange(replayEndTold_, true)) {
        if (const std::string stop = replay_->stopText(); !stop.empty())
            messages_.postMessage(MessageKind::Warning, stop);
    }
    if (selections_.navigationMode != Selections::kTravelPilot)
        return std::nullopt;
    TNav_Router* nav = workers_.find<TNav_Router>(WorkerId::Nav);
    if (!nav)
        return std::nullopt;
    // Said once each time another program is found holding the port, not every second.
    const bool inUse = nav->portState() == TNav_Router::PortState::InUse;
    if (inUse && !travelPilotInUseTold_)
        messages_.postMessage(MessageKind::Warning,
                              "TravelPilot COM" + std::to_string(nav->comPort()) +
                                  ": in use by another program - retrying...");
    travelPilotInUseTold_ = inUse;
    const WatchdogStep step = watchdog_.tick(nav->takeAnsweredMark());
    if (step.requestPosition)
        nav->requestPosition();
    return step;
}

bool ProgramSession::linkLost()
{
    const TCom_Router* link = workers_.find<TCom_Router>(WorkerId::Link);
    return link && link->hungUp();
}

RunFigures ProgramSession::figures()
{
    RunFigures figures;
    if (connected_) {
        // Rounded: a once-a-second caller lands a little before or after each whole second.
        const auto elapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - connectedAt_);
        figures.elapsedSeconds = static_cast<int>((elapsedMs.count() + 500) / 1000);
    }
    figures.linkStatus = state_.statusText();
    figures.framing = state_.linkQuality().framing;
    figures.packets = counter_.counts();
    figures.logWaiting = log_.waiting();
    figures.logSizeKb = log_.fileSizeKb();
    if (selections_.navigationMode == Selections::kTravelPilot) {
        figures.position = travelPilotPositionText(travelPilotLatitude_, travelPilotLongitude_);
    } else {
        auto* gps = workers_.find<TGPS_Router>(WorkerId::Gps);
        const GpsStatus fix = gps ? gps->gpsStatus() : GpsStatus{};
        figures.position =
            gpsPositionText(gpsRecordSeen_, fixModeText(fix.receiver.fixMode),
                            fix.unfiltered.latitudeDeg, fix.unfiltered.longitudeDeg, linkLost());
    }
    return figures;
}

void ProgramSession::refreshStatus()
{
    if (!views_.status)
        return;
    StatusView& view = *views_.status;
    if (const auto sizeKb = log_.fileSizeKb())
        view.showFileSize(logFileSizeText(*sizeKb));
    view.showSerialNumber(serialNumberText(state_.identification()));
    view.showLinkStatus(state_.statusText());
    view.showLinkQuality(linkQualityText(state_.linkQuality()));
    if (!state_.takeStatusRangesChanged())
        return;
    for (int r = 0; r < kReceiverCount; ++r)
        view.showRange(r, rangeTexts(state_.receiver(r).range));
}

void ProgramSession::refreshClock()
{
    if (views_.status)
        views_.status->showClock(clockTexts(state_.instrumentClock()));
}

void ProgramSession::publishMap(const GpsStatus& status)
{
    const std::int16_t rssiDbm = mapRssiDbm(mode_.load(), state_.receiver(mapSettings_.receiver()));
    mapFeed_.publish(status.unfiltered.latitudeDeg, status.unfiltered.longitudeDeg, rssiDbm,
                     state_.identification());
}

void ProgramSession::endOnFormClose()
{
    if (selections_.link.transport != LinkSelection::kUsb)
        workers_.requestTerminate(WorkerId::Link);
    workers_.requestTerminate(WorkerId::Receiver1);
    workers_.requestTerminate(WorkerId::Receiver2);
    if (selections_.navigationMode == Selections::kTravelPilot)
        workers_.requestTerminate(WorkerId::Nav);
    // A replay runs a GPS router whatever the position source.
    workers_.requestTerminate(WorkerId::Gps);
    workers_.requestTerminate(WorkerId::Main);
    // Everything handed over so far is written, synced and the file closed before the end.
    log_.stop();
}

void ProgramSession::endOnDialogDestroy()
{
    dialogEnded_ = true;
    if (selections_.navigationMode == Selections::kTravelPilot)
        workers_.requestTerminate(WorkerId::Nav);
    workers_.requestTerminate(WorkerId::Link);
}

void ProgramSession::beginEnd()
{
    if (window_.shuttingDown())
        return;
    window_.beginShutdown();
    endOnFormClose();
}

bool ProgramSession::finishEnd(const LogWaitView& waiting, std::chrono::milliseconds workerBound)
{
    beginEnd();
    if (!dialogEnded_)
        endOnDialogDestroy();
    const bool workersEnded =
        workers_.waitAllFinished(workerBound, [this] { window_.serveQueuedCalls(); });
    if (workersEnded)
        workers_.clear();
    // The log files are waited for even when a worker hangs: what was handed over is kept.
    const auto deadline = std::chrono::steady_clock::now() + kLogEndWait;
    while (!log_.closeAll(kLogEndPoll)) {
        if (std::chrono::steady_clock::now() >= deadline || (waiting && !waiting(log_.backlog())))
            return false;
    }
    return workersEnded;
}

ProgramSession::LogWaitView
ProgramSession::tellBacklogOnce(std::function<void(const std::string& text)> tell)
{
    return [tell = std::move(tell),
            told = false](const std::vector<LogSession::Backlog>& logs) mutable {
        if (!std::exchange(told, true) && !logs.empty())
            tell(logBacklogText(logs));
        return true;
    };
}

} // namespace zentor
