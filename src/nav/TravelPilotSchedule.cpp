#include "nav/TravelPilotSchedule.h"

#include "nav/TravelPilotFrame.h"

namespace zentor {

namespace {

void add(TravelPilotRound& round, std::uint8_t command)
{
    round.commands[round.count++] = command;
}

} // namespace

TravelPilotRound TravelPilotSchedule::nextRound(bool versionKnown, bool positionWanted)
{
    TravelPilotRound round;
    if (!versionKnown) {
        add(round, kTpCmdVersion);
    } else if (selector_ == Selector::Speed) {
        add(round, kTpCmdSpeed);
        selector_ = Selector::Position;
    } else {
        add(round, kTpCmdPosition);
        positionWanted = false;
        if (++positionsSinceSpeed_ == kPositionsPerSpeed) {
            positionsSinceSpeed_ = 0;
            selector_ = Selector::Speed;
        }
    }
    if (positionWanted)
        add(round, kTpCmdPosition);
    return round;
}

} // namespace zentor
