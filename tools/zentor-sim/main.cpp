// zentor-sim: a Zentor instrument, a replayed log of one, or a TravelPilot navigation unit on
// pseudo-terminals, for the data logger, field engineers and the tests. See --help.

#include "FaultInjector.h"
#include "PortLink.h"
#include "PseudoTerminal.h"
#include "RecordFile.h"
#include "ReplayReport.h"
#include "ReplayStream.h"
#include "SimInstrument.h"
#include "SimOptions.h"
#include "SimSession.h"
#include "TransmitLedger.h"
#include "TravelPilotSession.h"
#include "TravelPilotUnit.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <iostream>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace zentor::sim;
using zentor::ReplayLog;

constexpr int kExitSetupFailed = 1;
constexpr int kExitBadCommandLine = 2;
constexpr std::uint32_t kFaultSeedMix = 0x5BD1E995;
// The port the hints suggest for the TravelPilot, the instrument having COM1.
constexpr int kTravelPilotComNumber = 2;

// Set by SIGINT, SIGTERM and SIGHUP, and by the end of the instrument's run; the session loops
// end when they see it.
std::atomic<bool> gStopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler needs a lock-free flag");

extern "C" void requestStop(int)
{
    gStopRequested.store(true);
}

void installStopHandlers()
{
    struct sigaction action
    {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no SA_RESTART: a signal interrupts the loop's poll at once
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
}

int fail(const std::string& message)
{
    std::cerr << "zentor-sim: " << message << std::endl;
    return kExitSetupFailed;
}

// A pseudo-terminal with, when asked for, a symbolic link to it.
struct SimPort
{
    PseudoTerminal terminal;
    PortLink link;
    std::string linkPath;

    bool open(const std::string& wantedLink, std::string& error)
    {
        if (!terminal.open(error))
            return false;
        if (!wantedLink.empty() && !link.create(wantedLink, terminal.slavePath(), error))
            return false;
        linkPath = wantedLink;
        return true;
    }

    // The name to give the data logger.
    std::string name() const { return linkPath.empty() ? terminal.slavePath() : linkPath; }

    std::string where() const
    {
        return terminal.slavePath() + (linkPath.empty() ? "" : " (link " + linkPath + ")");
    }
};

std::optional<std::int64_t> runMsOf(const SimOptions& options)
{
    if (!options.seconds)
        return std::nullopt;
    return static_cast<std::int64_t>(*options.seconds) * 1000;
}

std::string secondsText(double seconds)
{
    std::ostringstream text;
    text << seconds << " s";
    return text.str();
}

void printTravelPilotBanner(const SimPort& port, const TravelPilotSilence& silence)
{
    std::cout << "zentor-sim: TravelPilot V " << int{TravelPilotUnit::kVersionMajor} << "."
              << int{TravelPilotUnit::kVersionMinor} << " on " << port.where();
    if (silence.silentAfterSeconds) {
        std::cout << ", silent after " << secondsText(*silence.silentAfterSeconds);
        if (silence.resumeAfterSeconds)
            std::cout << ", answering again after " << secondsText(*silence.resumeAfterSeconds)
                      << ", and so on";
    }
    std::cout << "\nzentor-sim: point the data logger's TravelPilot at it with ZENTOR_COM"
              << kTravelPilotComNumber << "=" << port.name() << " and choose \"TravelPilot COM"
              << kTravelPilotComNumber << ":\"" << std::endl;
}

void printInstrumentBanner(const SimOptions& options, const SimPort& port, std::uint32_t seed)
{
    if (!options.replay.path.empty()) {
        std::cout << "zentor-sim: replay of " << options.replay.path << " on " << port.where()
                  << ", ";
        if (options.replay.speed == 1.0)
            std::cout << "at the recorded pace";
        else if (options.replay.speed > 0.0)
            std::cout << "at " << options.replay.speed << " times the recorded pace";
        else
            std::cout << "as fast as the reader takes it";
    } else {
        std::cout << "zentor-sim: instrument " << options.instrument.serial << " on "
                  << port.where() << ", " << measurementModeName(options.instrument.mode)
                  << " mode, " << options.instrument.packetsPerSecond << " packets/s, GPS "
                  << (options.instrument.gps ? "on" : "off");
    }
    std::cout << ", seed " << seed << "\n"
              << "zentor-sim: point the data logger at it with ZENTOR_COM1=" << port.name()
              << " and choose COM1 (or for USB with the fake D2XX library: "
                 "ZENTOR_FAKE_FTD2XX_PORT="
              << port.name() << ")" << std::endl;
}

int runTravelPilotAlone(const SimOptions& options, std::int64_t startUnixMs)
{
    std::string error;
    SimPort port;
    if (!port.open(options.travelPilot.linkPath, error))
        return fail(error);
    installStopHandlers();
    printTravelPilotBanner(port, options.travelPilot.silence);
    const TravelPilotUnit unit(options.instrument.townCentre);
    TravelPilotSession session(port.terminal, unit, options.travelPilot.silence, startUnixMs % 1000,
                               std::cerr);
    session.run(gStopRequested, runMsOf(options));
    std::cerr << "zentor-sim: " << session.summary() << std::endl;
    return 0;
}

int runInstrument(const SimOptions& options, std::int64_t startUnixMs)
{
    const std::uint32_t seed = options.seed ? *options.seed : std::random_device{}();
    std::string error;
    SimPort port;
    if (!port.open(options.linkPath, error))
        return fail(error);
    SimPort travelPilotPort;
    if (options.travelPilot.enabled && !travelPilotPort.open(options.travelPilot.linkPath, error))
        return fail(error);
    RecordFile record;
    if (!options.recordPath.empty() && !record.open(options.recordPath))
        return fail("cannot create the record file '" + options.recordPath + "'");
    if (!options.recordTimesPath.empty() && !record.openTimes(options.recordTimesPath))
        return fail("cannot create the record times file '" + options.recordTimesPath + "'");

    std::optional<ReplayLog> log;
    std::optional<SimInstrument> instrument;
    std::unique_ptr<InstrumentStream> stream;
    if (!options.replay.path.empty()) {
        Bytes bytes;
        if (!readLogFile(options.replay.path, bytes, error))
            return fail(error);
        log.emplace(bytes);
        std::cerr << describeReplayLog(options.replay.path, *log) << std::flush;
        if (log->frameCount() == 0)
            return fail(options.replay.path + " holds no instrument packets to replay");
        stream =
            std::make_unique<ReplayStream>(*log, options.replay.speed, options.instrument.serial);
    } else {
        instrument.emplace(options.instrument, startUnixMs / 1000, seed);
        stream = std::make_unique<SimulatedStream>(*instrument);
    }
    installStopHandlers();

    FaultInjector faults(options.faults, options.faultRatePerFrame, seed ^ kFaultSeedMix);
    TransmitLedger ledger(options.recordPath.empty() ? nullptr : &record);
    printInstrumentBanner(options, port, seed);
    SimSession session(port.terminal, *stream, faults, ledger, startUnixMs % 1000, std::cerr);

    const TravelPilotUnit unit(options.instrument.townCentre);
    std::optional<TravelPilotSession> travelPilot;
    std::thread travelPilotThread;
    if (options.travelPilot.enabled) {
        printTravelPilotBanner(travelPilotPort, options.travelPilot.silence);
        travelPilot.emplace(travelPilotPort.terminal, unit, options.travelPilot.silence,
                            startUnixMs % 1000, std::cerr);
        travelPilotThread =
            std::thread([&] { travelPilot->run(gStopRequested, runMsOf(options)); });
    }

    session.run(gStopRequested, runMsOf(options));
    gStopRequested.store(true); // the end of the instrument's run ends the TravelPilot's too
    if (travelPilotThread.joinable())
        travelPilotThread.join();

    ledger.sessionEnded();
    if (log) {
        const auto* replay = static_cast<const ReplayStream*>(stream.get());
        std::cerr << "zentor-sim: replay " << (replay->ended() ? "finished" : "stopped")
                  << " after " << replay->sent() << " of " << log->frameCount() << " packets"
                  << std::endl;
    }
    std::cerr << "zentor-sim: " << ledger.summary() << std::endl;
    if (travelPilot)
        std::cerr << "zentor-sim: " << travelPilot->summary() << std::endl;
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const ParsedOptions parsed = parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) {
        std::cerr << "zentor-sim: " << parsed.error << "\nTry 'zentor-sim --help' for the options."
                  << std::endl;
        return kExitBadCommandLine;
    }
    const SimOptions& options = parsed.options;
    if (options.help) {
        std::cout << usageText();
        return 0;
    }
    const std::int64_t startUnixMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::system_clock::now().time_since_epoch())
                                         .count();
    return options.travelPilot.alone ? runTravelPilotAlone(options, startUnixMs)
                                     : runInstrument(options, startUnixMs);
}
