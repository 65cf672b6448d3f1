#pragma once

#include "app/ProgramOptions.h"
#include "app/Selections.h"
#include "app/TAboutDlg.h"
#include "app/TCom_Form.h"
#include "app/TMain_Form.h"
#include "app/Workers.h"
#include "link/TReceiverLink.h"
#include "logging/TLogWarningForm.h"
#include "nav/MapFeed.h"
#include "nav/MapSettings.h"
#include "nav/TMapRange_Form.h"
#include "ui/MessageBoxRoutine.h"
#include "ui/QtWindowThread.h"

#include <chrono>
#include <memory>

namespace zentor {

// The program's forms, created once in their order (main window, About box, connection
// dialog), wired to the receiver state and the worker threads, and ended in the order that
// lets every worker finish. Window thread only; needs a QApplication.
class ProgramWindows
{
public:
    // How long the end of the program waits for the workers in all.
    static constexpr std::chrono::milliseconds kWorkerEndWait{5000};

    // Shows the connection dialog; the main window stays hidden until its OK. `factory`
    // builds the workers the dialog starts; by default the program's real threads.
    ProgramWindows(TReceiverLink& link, Selections& selections, Workers& workers);
    ProgramWindows(TReceiverLink& link, Selections& selections, Workers& workers,
                   WorkerFactory factory);
    // With a command line that connects at once, the dialog is not shown: log mode goes on
    // first when asked (so the log holds the link's packets from the first), then the dialog's
    // choices are confirmed and the main window shows.
    ProgramWindows(TReceiverLink& link, Selections& selections, Workers& workers,
                   const ProgramOptions& options, WorkerFactory factory = {});
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    TMain_Form& mainForm() { return *mainForm_; }
    TCom_Form& connectionDialog() { return *connectionDialog_; }
    TAboutDlg& aboutBox() { return *aboutBox_; }
    TMapRange_Form& mapRangeForm() { return *mapRangeForm_; }
    TLogWarningForm& logWarningForm() { return *logWarningForm_; }

    // After the main window has closed: destroys the dialogs (the connection dialog's destroy
    // handler sends the last terminate requests), then waits at most `bound` for every
    // worker to end, serving the window calls they are blocked in, and destroys the ended
    // workers. False when a worker has not ended: its thread object is left alone then, as are
    // the objects it uses, and the caller must end the process without running destructors.
    bool endWorkers(std::chrono::milliseconds bound = kWorkerEndWait);

    // Ends the program as closing the main window does (a signal, the end of --seconds). While
    // the connection dialog is still waiting for OK the main window has never been shown and
    // cannot close: only the receiver routers run then, and they are told to end directly.
    void end();

private:
    TReceiverLink& link_;
    Workers& workers_;
    QtWindowThread window_;
    MessageBoxSink messages_;
    MapSettings mapSettings_;
    MapFeed mapFeed_; // used by the GPS router, which ends before the windows go
    std::unique_ptr<TMain_Form> mainForm_;
    std::unique_ptr<TAboutDlg> aboutBox_;
    std::unique_ptr<TMapRange_Form> mapRangeForm_;
    std::unique_ptr<TCom_Form> connectionDialog_;
    std::unique_ptr<TLogWarningForm> logWarningForm_;
};

} // namespace zentor
