#pragma once

#include "app/ProgramSession.h"

#include <QToolBar>

class QButtonGroup;
class QLabel;
class QSlider;
class QTimer;
class QToolButton;

namespace zentor {

// The controls of a replayed drive, under the main window's command bar while a replay runs:
// pause and resume, the speed (1x, 4x, 16x, max), a position slider with the drive's time
// ("00:12:03 / 00:45:10") that jumps to the moment it is let go at, and "End Replay" when a live
// link was chosen to go back to. It follows the session's replay four times a second.
//
// Window thread only.
class ReplayBar : public QToolBar
{
    Q_OBJECT

public:
    ReplayBar(ProgramSession& session, QWidget* parent);

    // A replay has started: the controls show its speed, from the start of the drive.
    void follow();

signals:
    void endRequested(); // "End Replay" pressed

private:
    void showPosition();
    void chooseSpeed(double speed);

    ProgramSession& session_;
    QToolButton* btnPause = nullptr;
    QButtonGroup* speeds_ = nullptr;
    QSlider* sldPosition = nullptr;
    QLabel* lblPosition = nullptr;
    QToolButton* btnEndReplay = nullptr;
    QTimer* timer_ = nullptr;
};

} // namespace zentor
