// zentor-sim: a Zentor instrument on a pseudo-terminal, for the data logger, field engineers and
// the tests. See --help.

#include "FaultInjector.h"
#include "PortLink.h"
#include "PseudoTerminal.h"
#include "RecordFile.h"
#include "SimInstrument.h"
#include "SimOptions.h"
#include "SimSession.h"
#include "TransmitLedger.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <iostream>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace zentor::sim;

constexpr int kExitSetupFailed = 1;
constexpr int kExitBadCommandLine = 2;
constexpr std::uint32_t kFaultSeedMix = 0x5BD1E995;

// Set by SIGINT, SIGTERM and SIGHUP; the session loop ends when it sees it.
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

const char* modeName(MeasurementMode mode)
{
    switch (mode) {
    case MeasurementMode::Single:
        return "single";
    case MeasurementMode::List:
        return "list";
    case MeasurementMode::Table:
        return "table";
    }
    return "?";
}

int fail(const std::string& message)
{
    std::cerr << "zentor-sim: " << message << std::endl;
    return kExitSetupFailed;
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
    const std::uint32_t seed = options.seed ? *options.seed : std::random_device{}();

    std::string error;
    PseudoTerminal port;
    if (!port.open(error))
        return fail(error);
    PortLink link;
    if (!options.linkPath.empty() && !link.create(options.linkPath, port.slavePath(), error))
        return fail(error);
    RecordFile record;
    if (!options.recordPath.empty() && !record.open(options.recordPath))
        return fail("cannot create the record file '" + options.recordPath + "'");
    installStopHandlers();

    const std::int64_t startUnixMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::system_clock::now().time_since_epoch())
                                         .count();
    SimInstrument instrument(options.instrument, startUnixMs / 1000, seed);
    FaultInjector faults(options.faults, options.faultRatePerFrame, seed ^ kFaultSeedMix);
    TransmitLedger ledger(options.recordPath.empty() ? nullptr : &record);

    const std::string portName = options.linkPath.empty() ? port.slavePath() : options.linkPath;
    std::cout << "zentor-sim: instrument " << options.instrument.serial << " on "
              << port.slavePath()
              << (options.linkPath.empty() ? "" : " (link " + options.linkPath + ")") << ", "
              << modeName(options.instrument.mode) << " mode, "
              << options.instrument.packetsPerSecond << " packets/s, GPS "
              << (options.instrument.gps ? "on" : "off") << ", seed " << seed << "\n"
              << "zentor-sim: point the data logger at it with ZENTOR_COM1=" << portName
              << " and choose COM1 (or for USB with the fake D2XX library: "
                 "ZENTOR_FAKE_FTD2XX_PORT="
              << portName << ")" << std::endl;

    SimSession session(port, instrument, faults, ledger, startUnixMs % 1000, std::cerr);
    std::optional<std::int64_t> runMs;
    if (options.seconds)
        runMs = static_cast<std::int64_t>(*options.seconds) * 1000;
    session.run(gStopRequested, runMs);

    ledger.sessionEnded();
    std::cerr << "zentor-sim: " << ledger.summary() << std::endl;
    return 0;
}
