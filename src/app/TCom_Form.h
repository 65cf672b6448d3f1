#pragma once

#include "app/ProgramSession.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QTimer;

namespace zentor {

// The connection dialog: how the instrument is connected and where positions come from. Its
// OK connects the program session (the choices are recorded and the worker threads started) and
// shows the main window; the dialog is then hidden for good. There is no other way out of it.
// Choices that put the instrument and the TravelPilot on one COM port are not taken: a warning
// says why and the dialog stays open.
// Window thread only.
class TCom_Form : public QDialog
{
    Q_OBJECT

public:
    // The references must outlive the dialog.
    TCom_Form(ProgramSession& session, QWidget& mainWindow);
    // The destroy handler: tells the TravelPilot thread (navigation mode 1) and the link
    // thread to terminate.
    ~TCom_Form() override;

    void reject() override; // Escape does not close it

    // Makes the two choices (list positions as in Selections.h) and confirms them as OK does:
    // the command line's way through the dialog, which is then never shown.
    void confirm(int portChoice, int navChoice);

protected:
    void closeEvent(QCloseEvent* event) override; // nor does the window manager

private:
    void FormCreate();
    void OKBtnClick();

    ProgramSession& session_;
    QWidget& mainWindow_;

    QLabel* Label2 = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* PortChoice = nullptr;
    QLabel* Label3 = nullptr;
    QComboBox* NavChoice = nullptr;
    QPushButton* OKBtn = nullptr;
    QTimer* ComTimer = nullptr;
};

} // namespace zentor
