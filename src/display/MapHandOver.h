#pragma once

#include <cstdint>
#include <functional>

namespace zentor {

// The selections that decide whether a receiver's reading goes to the map feed.
struct MapChoice
{
    bool positionFromGps = true; // false when the TravelPilot is the position source
    bool useR1 = true;           // the map range dialog's UseR1 radio button
    bool useR2 = false;          // its UseR2 radio button
};

// True when receiver r's reading is the one the map feed takes: only with the instrument's GPS
// as the position source, and only for the receiver the map range dialog selects.
bool mapTakesReading(int r, const MapChoice& choice);

// How a display update hands its reading to the map feed: the selections as they stand at
// that update, and the GPS router's setter (empty while there is no GPS router).
struct MapHandOver
{
    MapChoice choice;
    std::function<void(std::int16_t levelDbm)> setMapRssi;
};

// Gives receiver r's reading to the setter when the map takes it; else does nothing.
void handOverToMap(int r, int levelDbm, const MapHandOver& handOver);

} // namespace zentor
