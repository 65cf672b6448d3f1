#pragma once

#include "FaultInjector.h"
#include "SimInstrument.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zentor::sim {

// What the command line asks of a simulator run.
struct SimOptions
{
    InstrumentSettings instrument;
    std::optional<int> seconds; // end after this many seconds; none: run until stopped
    std::string linkPath;       // empty: no symbolic link to the port
    std::string recordPath;     // empty: no record file
    FaultKinds faults;          // none enabled: a clean link
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
// after '=' (--rate 50, --rate=50).
ParsedOptions parseOptions(const std::vector<std::string>& args);

// The --help text.
std::string usageText();

} // namespace zentor::sim
