#pragma once

#include "link/MeasurementMode.h"
#include "link/ReceiverRange.h"
#include "link/ReceiverState.h"

#include <array>
#include <cstddef>
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

constexpr int kStrongestCount = 10;
constexpr int kFloorDbm = -120; // a slot nobody took, and the lowest level drawn

// One of the strongest table readings: its entry number (table index + 1, 0 for an untaken
// slot) and its level.
struct TableSlot
{
    int entry = 0;
    int levelDbm = kFloorDbm;
    bool operator==(const TableSlot& o) const { return entry == o.entry && levelDbm == o.levelDbm; }
};

// The level of a stored RSSI byte, which holds the low byte of a negative dBm value:
// the byte less 256 (0x88 is -120 dBm).
int readingDbm(std::uint8_t rssi);

// The ten strongest of `count` table readings, strongest first. Only readings above -120 dBm
// take a slot; of equal readings the earlier entry stays ahead; untaken slots stay (0, -120).
std::array<TableSlot, kStrongestCount> strongestTen(const std::uint8_t* rssi, std::size_t count);

} // namespace zentor
