#include "display/MapHandOver.h"

#include <gtest/gtest.h>
#include <vector>

namespace zentor {
namespace {

TEST(MapTakesReading, OnlyTheSelectedReceiverWithGpsAsPositionSource)
{
    struct Case
    {
        bool gps, useR1, useR2;
        bool takesR1, takesR2;
    };
    const Case cases[] = {
        {true, true, false, true, false}, // the dialog's start state
        {true, false, true, false, true},
        {true, false, false, false, false},
        {true, true, true, true, true},
        {false, true, false, false, false}, // the TravelPilot gives the position
        {false, false, true, false, false},
        {false, true, true, false, false},
    };
    for (const Case& c : cases) {
        const MapChoice choice{c.gps, c.useR1, c.useR2};
        EXPECT_EQ(mapTakesReading(0, choice), c.takesR1) << c.gps << c.useR1 << c.useR2;
        EXPECT_EQ(mapTakesReading(1, choice), c.takesR2) << c.gps << c.useR1 << c.useR2;
    }
}

TEST(HandOverToMap, GivesTheReadingToTheSetterOnlyWhenTaken)
{
    std::vector<std::int16_t> given;
    MapHandOver handOver{{true, true, false}, [&](std::int16_t v) { given.push_back(v); }};
    handOverToMap(0, -67, handOver);
    handOverToMap(1, -88, handOver);
    handOver.choice = {true, false, true};
    handOverToMap(0, -50, handOver);
    handOverToMap(1, -119, handOver);
    handOver.choice = {false, true, true};
    handOverToMap(0, -40, handOver);
    handOverToMap(1, -41, handOver);
    EXPECT_EQ(given, (std::vector<std::int16_t>{-67, -119}));
}

TEST(HandOverToMap, NoSetterNoHandOver)
{
    handOverToMap(0, -67, MapHandOver{{true, true, false}, {}});
}

} // namespace
} // namespace zentor
