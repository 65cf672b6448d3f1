#pragma once

#include "display/DBar.h"
#include "display/ReceiverFrame.h"
#include "link/ReceiverState.h"

namespace zentor {

// Gives a receiver display its look: the RSSI scale from -120 to -30 dBm titled "RSSI (dBm)",
// dark red bars, no right axis, no bottom numbers, no zoom, no reference lines, positions 0..2
// until the first update. Window thread.
void setUpReceiverDisplay(DBar& display);

// One display update of receiver r (0 or 1), run on the window thread by that receiver's
// router: the title when the receiver's ranges changed (the display's ranges-changed mark is
// taken), then the frame of the mode the buttons select, drawn from the copy of the receiver
// state that ReceiverState::takeReceiver gives (clearing the receiver's data event).
void updateReceiverDisplay(DBar& display, ReceiverState& state, int r,
                           const DisplayChoices& choices);

// Draws a composed frame: range, label direction, bottom caption, bars. Window thread.
void drawReceiverFrame(DBar& display, const ReceiverFrame& frame);

} // namespace zentor
