#pragma once

#include "link/MeasurementMode.h"
#include "link/ReceiverRange.h"
#include "link/ReceiverState.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zentor {

// The main window's mode and label buttons as they stand, read on the window thread.
struct DisplayChoices
{
    bool singleModeDown = true; // btnSingleMode
    bool tableModeDown = false; // btnTableMode (with neither down: btnScanMode, list mode)
    bool frequencyDown = true;  // sbFrequency; up means sbChannel: channel numbers
};

// Single mode wins over table mode, table mode over list mode.
MeasurementMode chooseMode(const DisplayChoices& choices);

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
    MeasurementMode mode = MeasurementMode::Single;
    double xMax = 0.0;
    bool verticalLabels = false;
    std::string bottomCaption;
    std::vector<FrameBar> bars;
    // List mode: the receiver's single-mode reading becomes list entry 0's.
    std::optional<std::uint8_t> newSingleRssi;
};

// The display title after a range change: receiver number (r + 1), start and stop frequency,
// step size.
std::string receiverTitle(int r, const ReceiverRange& range);

// The frame of the mode the choices select, from a copy of the receiver's state.
ReceiverFrame composeReceiverFrame(const ReceiverSnapshot& receiver, const DisplayChoices& choices);

} // namespace zentor
