// The pace of a replayed log, which the data logger's replay and the simulator's share: the
// seconds of the drive from the instrument's clock packets, the speed, and the anchoring that
// a held-back reader, a pause or a jump brings.
#include "logging/ReplayPace.h"

#include <gtest/gtest.h>
#include <vector>

namespace zentor {
namespace {

constexpr std::uint8_t kClock = 0x04;
constexpr std::uint8_t kList = 0x07;

TEST(ReplaySchedule, SpreadsThePacketsOfEachSecondEvenlyFromItsClockPacket)
{
    const struct
    {
        const char* legend;
        std::vector<std::uint8_t> types;
        std::vector<double> seconds;
    } cases[] = {
        {"no packets", {}, {}},
        {"no clock: 20 a second", {kList, kList, kList}, {0.0, 0.05, 0.1}},
        {"one clock: 20 a second", {kList, kClock, kList}, {0.0, 0.05, 0.1}},
        {"four, then two packets a second",
         {kClock, kList, kList, kList, kClock, kList, kClock},
         {0.0, 0.25, 0.5, 0.75, 1.0, 1.5, 2.0}},
        {"before the first clock: the first second's pace; after the last: the last second's",
         {kList, kList, kClock, kList, kList, kList, kClock, kList, kList},
         {0.0, 0.25, 0.5, 0.75, 1.0, 1.25, 1.5, 1.75, 2.0}},
        {"clock packets back to back", {kClock, kClock, kClock, kList}, {0.0, 1.0, 2.0, 3.0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(replaySchedule(c.types), c.seconds) << c.legend;
}

// Packets 0-3 in the first second, 4-5 in the second, 6 starts the third.
const std::vector<std::uint8_t> kTwoSeconds = {kClock, kList, kList, kList, kClock, kList, kClock};

TEST(ReplayPace, DividesTheDrivesSecondsByTheSpeed)
{
    const struct
    {
        double speed;
        std::vector<std::int64_t> dueMs;
    } cases[] = {
        {1.0, {10000, 10250, 10500, 10750, 11000, 11500, 12000}},
        {4.0, {10000, 10063, 10125, 10188, 10250, 10375, 10500}},
        {0.5, {10000, 10500, 11000, 11500, 12000, 13000, 14000}},
        {0.0, {10000, 10000, 10000, 10000, 10000, 10000, 10000}}, // as fast as it is read
    };
    for (const auto& c : cases) {
        ReplayPace pace(kTwoSeconds);
        pace.anchor(0, 10000, c.speed);
        std::vector<std::int64_t> due;
        for (std::size_t i = 0; i < pace.packetCount(); ++i)
            due.push_back(pace.dueMs(i));
        EXPECT_EQ(due, c.dueMs) << "speed " << c.speed;
    }
    const ReplayPace pace(kTwoSeconds);
    EXPECT_EQ(pace.totalSeconds(), 2.0);
    EXPECT_EQ(pace.secondsAt(5), 1.5);
}

TEST(ReplayPace, CountsWhatIsDueAndAnchorsAgainAtTheNextPacket)
{
    ReplayPace pace(kTwoSeconds);
    pace.anchor(0, 0, 1.0);
    EXPECT_EQ(pace.dueCount(0, 0, 10), 1u);
    EXPECT_EQ(pace.dueCount(1, 249, 10), 0u);
    EXPECT_EQ(pace.dueCount(1, 999, 10), 3u);
    EXPECT_EQ(pace.dueCount(1, 999, 2), 2u) << "at most the limit";
    EXPECT_EQ(pace.dueCount(7, 99999, 10), 0u) << "nothing after the last";

    // A pause after packet 3, resumed at 5000 ms at four times the pace: packet 4 is due at
    // once, the others at the new pace after it.
    pace.anchor(4, 5000, 4.0);
    EXPECT_EQ(pace.dueMs(4), 5000);
    EXPECT_EQ(pace.dueMs(5), 5125);
    EXPECT_EQ(pace.dueCount(4, 5124, 10), 1u);

    // A reader that held the replay back by more than a second gets the packet it waits for,
    // and the rest at the pace from there, none dropped.
    ReplayPace held(kTwoSeconds);
    held.anchor(0, 0, 1.0);
    EXPECT_EQ(held.dueCount(1, 3500, 10), 1u);
    EXPECT_EQ(held.dueMs(2), 3750);
    EXPECT_EQ(held.dueCount(2, 3749, 10), 0u);
    EXPECT_EQ(held.dueCount(2, 4000, 10), 2u);
}

} // namespace
} // namespace zentor
