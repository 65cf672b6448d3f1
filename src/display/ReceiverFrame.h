#pragma once

#include "link/MeasurementMode.h"
#include "link/ReceiverRange.h"
#include "link/ReceiverState.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zentor {

// What a display update draws, read on the window thread: the measurement mode (the program
// session's, which the mode buttons show) and the label kind the main window's buttons choose.
struct DisplayChoices
{
    MeasurementMode mode = MeasurementMode::Single;
    bool frequencyDown = true; // sbFrequency; up means sbChannel: channel numbers
};

// One bar of a frame: where, its label (empty: none) and its level.
struct FrameBar
{
    double position = 0.0;
    std::string label;
    double levelDbm = 0.0;
};

// Everything one display update draws for a receiver, and what it hands on.
struct ReceiverFrame
{
    double xMax = 0.0;
    bool verticalLabels = false;
    std::string bottomCaption;
    std::vector<FrameBar> bars;
};

// The display title after a range change: receiver number (r + 1), start and stop frequency,
// step size.
std::string receiverTitle(int r, const ReceiverRange& range);

// The frame of the mode the choices name, from a copy of the receiver's state.
ReceiverFrame composeReceiverFrame(const ReceiverSnapshot& receiver, const DisplayChoices& choices);

} // namespace zentor
