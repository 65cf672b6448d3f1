#include "app/EndSignals.h"
#include "app/HeadlessRun.h"
#include "app/ProcessWide.h"
#include "app/ProgramOptions.h"
#include "app/ProgramWindows.h"
#include "ui/FormLayout.h"
#include "ui/Glyphs.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

namespace {

const char* const kProgramName = "zentor-dl";
constexpr int kEndPollMs = 100;

// A worker still runs and uses the objects that destructors would take away.
[[noreturn]] void endWithoutDestructors(int status)
{
    std::fflush(nullptr);
    std::_Exit(status);
}

int runHeadless(int argc, char* argv[], const zentor::ProgramOptions& options)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("QXV Zentor DL"));
    zentor::HeadlessRun run(zentor::receiverLink(), zentor::selections(), zentor::workers(),
                            options, stdout, stderr);
    const int status = run.exec(zentor::endSignalled);
    if (!run.workersEnded())
        endWithoutDestructors(status);
    return status;
}

int runWindows(int argc, char* argv[], const zentor::ProgramOptions& options)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QXV Zentor DL"));
    QApplication::setWindowIcon(zentor::programIcon());
    QApplication::setFont(zentor::formFont());
    // The main window ends the program when it closes, whatever other window is open.
    QApplication::setQuitOnLastWindowClosed(false);
    try {
        zentor::ProgramWindows windows(zentor::receiverLink(), zentor::selections(),
                                       zentor::workers(), options);
        // A signal or the end of --seconds ends the program as the main window's Exit does.
        const auto started = std::chrono::steady_clock::now();
        QTimer endTimer;
        QObject::connect(&endTimer, &QTimer::timeout, [&] {
            const bool timeUp = options.seconds && std::chrono::steady_clock::now() - started >=
                                                       std::chrono::seconds(*options.seconds);
            if (timeUp || zentor::endSignalled()) {
                endTimer.stop();
                windows.end();
            }
        });
        endTimer.start(kEndPollMs);
        QApplication::exec();
        if (options.connectsAtOnce()) // a scripted run (scripts/soak) compares them with its record
            std::printf("%s: %s\n", kProgramName,
                        zentor::readingCountsText(zentor::receiverLink().readingCounts()).c_str());
        if (!windows.endWorkers())
            endWithoutDestructors(EXIT_SUCCESS);
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QApplication::applicationName(),
                              QString::fromLocal8Bit(e.what()));
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    const zentor::ProgramOptions options =
        zentor::parseProgramOptions(std::vector<std::string>(argv + 1, argv + argc));
    switch (options.action) {
    case zentor::ProgramOptions::Action::Help:
        std::fputs(zentor::programUsage(kProgramName).c_str(), stdout);
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
    return options.headless ? runHeadless(argc, argv, options) : runWindows(argc, argv, options);
}
