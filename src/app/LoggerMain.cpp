// zentor-log: the unattended data logger, without any window and without the toolkit, for a
// vehicle PC that logs from power-on (a systemd unit on Linux, a console or service on Windows).
#include "app/ProgramOptions.h"
#include "app/UnattendedRun.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

const char* const kProgramName = "zentor-log";

} // namespace

int main(int argc, char* argv[])
{
    const zentor::ProgramOptions options = zentor::parseProgramOptions(
        std::vector<std::string>(argv + 1, argv + argc), zentor::Program::UnattendedLogger);
    if (const std::optional<int> status = zentor::answerWithoutRun(
            options, kProgramName, zentor::Program::UnattendedLogger, stdout, stderr))
        return *status;
    zentor::catchEndSignals();
    return zentor::UnattendedRun::runToEnd(
        options, [](zentor::WindowThread&) { return zentor::systemMapAnnouncer(); });
}
