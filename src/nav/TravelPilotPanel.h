#pragma once

#include "nav/TravelPilotTexts.h"
#include "nav/TravelPilotWatchdog.h"

class QGroupBox;
class QLabel;
class QWidget;

// The window side of the TravelPilot group of the main window's information panel. Window
// thread only.
namespace zentor {

// Copies the texts that are set into the TravelPilot fields below `form`, found by their names
// (edTpVersion, edTpLat, edTpLon, edTpUpdate, edTpSpeed, edTpDirection), in that order. A field
// that is not there is skipped.
void showTravelPilotTexts(QWidget* form, const TravelPilotTexts& texts);

// Shows one watchdog step: the exclamation beep, then the group's look: red with lWarning shown,
// or the button-face colour with lWarning hidden.
void showWatchdogStep(const WatchdogStep& step, QGroupBox* gbTravelPilot, QLabel* lWarning);

} // namespace zentor
