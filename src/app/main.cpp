#include "app/ProgramOptions.h"
#include "app/ProgramWindows.h"
#include "app/UnattendedRun.h"
#include "map/MapUpdateSignal.h"
#include "ui/FormLayout.h"
#include "ui/Glyphs.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string>
#include <utility>
#include <vector>
#ifdef _WIN32
#include <windows.h>
#endif

namespace {

const char* const kProgramName = "zentor-dl";
const char* const kApplicationTitle = "QXV Zentor DL";
constexpr int kEndPollMs = 100;

// A worker still runs and uses the objects that destructors would take away.
[[noreturn]] void endWithoutDestructors(int status)
{
    std::fflush(nullptr);
    std::_Exit(status);
}

// The windowed run while its event loop runs, for the end below; window thread only.
zentor::ProgramWindows* runningWindows = nullptr;

// The toolkit ends the program with exit() when the desktop goes away under it (the X server's
// connection breaks at a logout). exit() would destroy the toolkit's static objects while the
// workers still run, and take the log's last records with it: instead the run ends here as File >
// Exit ends it, the log written and closed, and the process ends without destructors. Registered
// after the application object, so it runs before the toolkit's own clean-up.
extern "C" void endRunOnExit()
{
    zentor::ProgramWindows* windows = std::exchange(runningWindows, nullptr);
    if (!windows)
        return;
    std::fputs("zentor-dl: the desktop session has ended; ending the run\n", stderr);
    const bool ended = windows->endWorkers(zentor::ProgramSession::kWorkerEndWait, true);
    endWithoutDestructors(ended ? EXIT_SUCCESS : EXIT_FAILURE);
}

#ifdef _WIN32
// Windows ends the process once its windows have answered WM_ENDSESSION (the user logs off or
// shuts down with the program open). The run ends inside that answer, the log written and
// closed. Nothing is done at WM_QUERYENDSESSION: another program may still cancel the end, and
// logging goes on then.
class SessionEndFilter : public QAbstractNativeEventFilter
{
public:
    bool nativeEventFilter(const QByteArray&, void* message, qintptr*) override
    {
        const MSG* msg = static_cast<const MSG*>(message);
        if (msg->message == WM_ENDSESSION && msg->wParam)
            endRunOnExit();
        return false;
    }
};
#endif

// The toolkit is there for the session bus, which announces the map feed.
int runHeadless(int argc, char* argv[], const zentor::ProgramOptions& options)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    return zentor::UnattendedRun::runToEnd(
        options, [](zentor::WindowThread& window) { return zentor::programMapAnnouncer(window); });
}

int runWindows(int argc, char* argv[], const zentor::ProgramOptions& options)
{
    // The toolkit takes its own options (-platform, -style ...) from the command line here.
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    QApplication::setWindowIcon(zentor::programIcon());
    QApplication::setFont(zentor::formFont());
    // The main window ends the program when it closes, whatever other window is open.
    QApplication::setQuitOnLastWindowClosed(false);
    try {
        zentor::ProgramWindows windows(options);
        runningWindows = &windows;
        std::atexit(endRunOnExit);
#ifdef _WIN32
        SessionEndFilter sessionEnd;
        app.installNativeEventFilter(&sessionEnd);
#endif
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
        runningWindows = nullptr;
        if (options.connectsAtOnce()) // a scripted run (scripts/soak) compares them with its record
            std::printf(
                "%s: %s\n", kProgramName,
                zentor::readingCountsText(windows.session().state().readingCounts()).c_str());
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
#ifdef _WIN32
    // A windowed program has no console of its own: --help, --version, a bad command line and
    // --headless write to the console of the command prompt that started it, when there is one.
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
    }
#endif
    const zentor::ProgramOptions options =
        zentor::parseProgramOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (const std::optional<int> status = zentor::answerWithoutRun(
            options, kProgramName, zentor::Program::DataLogger, stdout, stderr))
        return *status;
    zentor::catchEndSignals();
    return options.headless ? runHeadless(argc, argv, options) : runWindows(argc, argv, options);
}
