#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace zentor {

// The requests of one poll round, in the order they are sent.
struct TravelPilotRound
{
    std::array<std::uint8_t, 2> commands{};
    std::size_t count = 0;
};

// Which requests the TravelPilot thread sends each round. Until the unit has told its version,
// every round asks for the version. After that the request selector decides: "position" asks
// for the position; after every kPositionsPerSpeed position requests it turns to "speed" for
// one round (speed and direction), then back. So the unit is asked P P P P S P P P P S ...
//
// A position request wanted from outside (the watchdog of the main window) is added to a round
// that does not ask for the position anyway, and merged into one that does.
//
// Used by the TravelPilot thread only.
class TravelPilotSchedule
{
public:
    static constexpr int kPositionsPerSpeed = 4;

    TravelPilotRound nextRound(bool versionKnown, bool positionWanted);

private:
    enum class Selector
    {
        Position, // ask for the position
        Speed,    // ask for speed and direction once, then back to Position
    };

    Selector selector_ = Selector::Position;
    int positionsSinceSpeed_ = 0;
};

} // namespace zentor
