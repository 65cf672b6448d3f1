#include "nav/TravelPilotSchedule.h"

#include "nav/TravelPilotFrame.h"

#include <gtest/gtest.h>
#include <string>

namespace zentor {
namespace {

// A round as letters: V version, P position, S speed and direction.
std::string letters(const TravelPilotRound& round)
{
    std::string s;
    for (std::size_t i = 0; i < round.count; ++i)
        s += round.commands[i] == kTpCmdVersion    ? 'V'
             : round.commands[i] == kTpCmdPosition ? 'P'
                                                   : 'S';
    return s;
}

TEST(TravelPilotSchedule, AsksForTheVersionUntilItIsKnown)
{
    TravelPilotSchedule schedule;
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(letters(schedule.nextRound(false, false)), "V");
}

TEST(TravelPilotSchedule, AsksForSpeedAfterEveryFourthPosition)
{
    TravelPilotSchedule schedule;
    std::string rounds;
    for (int i = 0; i < 12; ++i)
        rounds += letters(schedule.nextRound(true, false)) + " ";
    EXPECT_EQ(rounds, "P P P P S P P P P S P P ");
}

TEST(TravelPilotSchedule, WantedPositionIsAddedOrMerged)
{
    TravelPilotSchedule schedule;
    EXPECT_EQ(letters(schedule.nextRound(false, true)), "VP");
    EXPECT_EQ(letters(schedule.nextRound(true, true)), "P");
    for (int i = 0; i < 3; ++i)
        schedule.nextRound(true, false);
    EXPECT_EQ(letters(schedule.nextRound(true, true)), "SP");
    // The added position does not count towards the next speed round.
    std::string rounds;
    for (int i = 0; i < 5; ++i)
        rounds += letters(schedule.nextRound(true, false)) + " ";
    EXPECT_EQ(rounds, "P P P P S ");
}

} // namespace
} // namespace zentor
