// zentor-log: the unattended data logger, without any window and without the toolkit, for a
// vehicle PC that logs from power-on (a systemd unit on Linux, a console or service on Windows).
#include "app/EndSignals.h"
#include "app/ProgramOptions.h"
#include "app/UnattendedRun.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char* const kProgramName = "zentor-log";

} // namespace

int main(int argc, char* argv[])
{
    const zentor::ProgramOptions options = zentor::parseProgramOptions(
        std::vector<std::string>(argv + 1, argv + argc), zentor::Program::UnattendedLogger);
    switch (options.action) {
    case zentor::ProgramOptions::Action::Help:
        std::fputs(zentor::programUsage(kProgramName, zentor::Program::UnattendedLogger).c_str(),
                   stdout);
        return 0;
    case zentor::ProgramOptions::Action::Version:
        std::fputs(zentor::programVersion(kProgramName).c_str(), stdout);
        return 0;
    case zentor::ProgramOptions::Action::Error:
        std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", kProgramName,
                     options.error.c_str(), kProgramName);
        return zentor::kBadUsageExitStatus;
    case zentor::ProgramOptions::Action::Run:
        break;
    }
    zentor::catchEndSignals();
    zentor::UnattendedRun run(options, stdout, stderr,
                              [](zentor::WindowThread&) { return zentor::systemMapAnnouncer(); });
    const int status = run.exec(zentor::endSignalled);
    if (!run.workersEnded()) {
        // A worker still runs and uses what the destructors would take away.
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
