#pragma once

#include "link/TCom_Router.h"

#include <cstdint>

namespace zentor {

// The three choices of the connection dialog, written once by its OK before any worker thread
// exists and only read afterwards (so the worker threads need no lock to read them).
struct Selections
{
    static constexpr std::uint8_t kInstrumentGps = 0;
    static constexpr std::uint8_t kTravelPilot = 1;

    LinkSelection link;                           // link transport and link port number
    std::uint8_t navigationMode = kInstrumentGps; // where positions come from
};

// The dialog's list positions: "COM1:" .. "COM4:", then "USB"; "Zentor GPS", then
// "TravelPilot COM1:" .. "TravelPilot COM9:".
constexpr int kPortChoiceUsb = 4;
constexpr int kNavChoiceInstrumentGps = 0;

// The selections that the dialog's two list positions stand for.
Selections selectionsFromChoices(int portChoice, int navChoice);

// The COM port number the TravelPilot is on: the navigation list position itself ("TravelPilot
// COM5:" is position 5). Meaningful only when the position is not kNavChoiceInstrumentGps.
inline int travelPilotPort(int navChoice)
{
    return navChoice;
}

} // namespace zentor
