#pragma once

#include "app/ProgramOptions.h"
#include "app/ProgramSession.h"
#include "app/TAboutDlg.h"
#include "app/TCom_Form.h"
#include "app/TMain_Form.h"
#include "logging/TLogWarningForm.h"
#include "map/TMapRange_Form.h"
#include "ui/MessageBoxRoutine.h"
#include "ui/QtWindowThread.h"

#include <chrono>
#include <memory>

namespace zentor {

// The windowed program: the program session with its forms, created once in their order (main
// window, About box, map range dialog, connection dialog, log warning dialog), and ended in the
// order that lets every worker finish. Window thread only; needs a QApplication.
class ProgramWindows
{
public:
    // Shows the connection dialog; the main window stays hidden until its OK. With a command line
    // that connects at once the dialog is not shown: log mode goes on first when asked (the file
    // waits for the instrument's identification, with every packet from the first), then the
    // dialog's choices are confirmed and the main window shows. `factory` builds the workers the
    // session starts; by default the program's real threads.
    explicit ProgramWindows(const ProgramOptions& options = {}, WorkerFactory factory = {});
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    ProgramSession& session() { return session_; }
    QtWindowThread& windowThread() { return window_; }
    TMain_Form& mainForm() { return *mainForm_; }
    TCom_Form& connectionDialog() { return *connectionDialog_; }
    TAboutDlg& aboutBox() { return *aboutBox_; }
    TMapRange_Form& mapRangeForm() { return *mapRangeForm_; }
    TLogWarningForm& logWarningForm() { return *logWarningForm_; }

    // After the event loop has ended: begins the end of the run if the main window's closing has
    // not, destroys the dialogs (the connection dialog's destroy handler sends the last terminate
    // requests), then finishes the end (ProgramSession::finishEnd), waiting at most `bound` for
    // the workers and showing TLogClosingDlg while the disk is slow. False when a worker or the
    // log has not ended: it is left alone, as are the objects it uses, and the caller must end
    // the process without running destructors.
    // `displayGone`: the desktop has gone away under the program; nothing more is shown, the wait
    // for the log files is told on standard error.
    bool endWorkers(std::chrono::milliseconds bound = ProgramSession::kWorkerEndWait,
                    bool displayGone = false);

    // Ends the program as closing the main window does (a signal, the end of --seconds). While
    // the connection dialog is still waiting for OK the main window has never been shown and
    // cannot close: only the receiver routers run then, and they are told to end directly.
    void end();

private:
    QtWindowThread window_;
    MessageBoxSink messages_;
    ProgramSession session_;
    std::unique_ptr<TMain_Form> mainForm_;
    std::unique_ptr<TAboutDlg> aboutBox_;
    std::unique_ptr<TMapRange_Form> mapRangeForm_;
    std::unique_ptr<TCom_Form> connectionDialog_;
    std::unique_ptr<TLogWarningForm> logWarningForm_;
};

} // namespace zentor
