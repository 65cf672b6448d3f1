#include "nav/TravelPilotWatchdog.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zentor {
namespace {

using Look = WatchdogStep::Look;

// A simulated run of the main window's one-second tick against a unit that answers in the
// seconds `answering` says: second s answers when answering(s).
struct SimulatedSecond
{
    int second;
    WatchdogStep step;
    int misses;
};

template <class Answering> std::vector<SimulatedSecond> runTicks(int seconds, Answering answering)
{
    TravelPilotWatchdog watchdog;
    std::vector<SimulatedSecond> run;
    for (int s = 1; s <= seconds; ++s) {
        const WatchdogStep step = watchdog.tick(answering(s));
        run.push_back({s, step, watchdog.missCount()});
    }
    return run;
}

TEST(TravelPilotWatchdog, WarnsAtTheFifthMissAndBeepsFromThenOn)
{
    // Answers for 3 s, silent for 10 s, answers again.
    const auto run = runTicks(16, [](int s) { return s <= 3 || s > 13; });
    for (const SimulatedSecond& t : run) {
        SCOPED_TRACE("second " + std::to_string(t.second));
        const bool silent = t.second > 3 && t.second <= 13;
        const int misses = silent ? t.second - 3 : 0;
        EXPECT_EQ(t.misses, misses);
        EXPECT_EQ(t.step.requestPosition, silent);
        EXPECT_EQ(t.step.beep, misses >= 5);
        const Look look = !silent ? Look::Normal : misses == 5 ? Look::Warning : Look::Unchanged;
        EXPECT_EQ(t.step.look, look);
    }
}

TEST(TravelPilotWatchdog, FourMissesInARowNeverWarn)
{
    // Silent four seconds out of every five.
    const auto run = runTicks(30, [](int s) { return s % 5 == 0; });
    for (const SimulatedSecond& t : run) {
        EXPECT_FALSE(t.step.beep) << t.second;
        EXPECT_NE(t.step.look, Look::Warning) << t.second;
        EXPECT_LE(t.misses, 4);
    }
}

TEST(TravelPilotWatchdog, EightBitCountWrapsAfter255)
{
    const auto run = runTicks(262, [](int) { return false; });
    EXPECT_EQ(run[254].misses, 255);
    EXPECT_TRUE(run[254].step.beep);
    EXPECT_EQ(run[255].misses, 0); // second 256
    EXPECT_FALSE(run[255].step.beep);
    EXPECT_TRUE(run[255].step.requestPosition);
    EXPECT_EQ(run[260].misses, 5); // second 261: the warning look is applied again
    EXPECT_EQ(run[260].step.look, Look::Warning);
    EXPECT_TRUE(run[260].step.beep);
}

} // namespace
} // namespace zentor
