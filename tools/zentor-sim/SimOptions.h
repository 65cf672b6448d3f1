#pragma once

#include "FaultInjector.h"
#include "SimInstrument.h"
#include "TravelPilotUnit.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zentor::sim {

// A log played back in place of the simulated instrument's packets.
struct ReplaySettings
{
    std::string path;   // empty: no replay
    double speed = 1.0; // times the recorded pace; 0: as fast as the reader takes them
};

// The TravelPilot navigation unit on a pseudo-terminal of its own.
struct TravelPilotSettings
{
    bool enabled = false;
    bool alone = false;   // no instrument at all
    std::string linkPath; // empty: no symbolic link to its port
    TravelPilotSilence silence;
};

// What the command line asks of a simulator run.
struct SimOptions
{
    InstrumentSettings instrument;
    ReplaySettings replay;
    TravelPilotSettings travelPilot;
    std::optional<int> seconds;  // end after this many seconds; none: run until stopped
    std::string linkPath;        // empty: no symbolic link to the port
    std::string recordPath;      // empty: no record file
    std::string recordTimesPath; // with a record file: when each of its records went out
    FaultKinds faults;           // none enabled: a clean link
    double faultRatePerFrame = 0.05;
    std::optional<std::uint32_t> seed; // none: a fresh seed for each run
    bool help = false;
};

struct ParsedOptions
{
    SimOptions options;
    std::string error; // empty when the command line is good; else what is wrong with it
};

// Reads the arguments after the program name. Options take their value as the next argument or
// after '=' (--rate 50, --rate=50). Options that make no sense together (--mode with --replay,
// --serial with --travelpilot-only, ...) are an error.
ParsedOptions parseOptions(const std::vector<std::string>& args);

// The --help text.
std::string usageText();

} // namespace zentor::sim
