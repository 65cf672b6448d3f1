// The map feed's settings: the colour range read from its two texts (accepted only as whole dBm
// from -120 to -30 with the minimum below the maximum, refused with a reason otherwise) and the
// settings as the workers read them.
#include "map/MapSettings.h"

#include <gtest/gtest.h>

namespace zentor {
namespace {

TEST(MapRange, TakesWholeDbmFromMinus120ToMinus30WithTheMinimumBelow)
{
    const struct
    {
        const char* min;
        const char* max;
        MapRange range;
    } accepted[] = {
        {"-120", "-50", {-120, -50}},
        {"-120", "-119", {-120, -119}},
        {"-31", "-30", {-31, -30}},
        {" -100\t", "\t-60 ", {-100, -60}},
    };
    for (const auto& c : accepted) {
        const MapRangeReading reading = readMapRange(c.min, c.max);
        ASSERT_TRUE(reading.range) << c.min << ',' << c.max << ": " << reading.refusal;
        EXPECT_EQ(*reading.range, c.range);
        EXPECT_EQ(reading.refusal, "");
    }
}

TEST(MapRange, RefusesAnythingElseSayingWhy)
{
    const std::string minimum = "The minimum value for the color range must be a whole number "
                                "from -120 to -30 dBm, not ";
    const std::string maximum = "The maximum value for the color range must be a whole number "
                                "from -120 to -30 dBm, not ";
    const struct
    {
        const char* min;
        const char* max;
        std::string refusal;
    } refused[] = {
        {"abc", "-50", minimum + "\"abc\"."},
        {"", "-50", minimum + "\"\"."},
        {"-121", "-50", minimum + "\"-121\"."},
        {"-100", "-29", maximum + "\"-29\"."},
        {"-100", "99999999999999999999", maximum + "\"99999999999999999999\"."},
        {"-100", "-60.5", maximum + "\"-60.5\"."},
        {"-100", "+-60", maximum + "\"+-60\"."},
        {"-100", "- 60", maximum + "\"- 60\"."},
        {"-50", "-60",
         "The minimum value for the color range (-50 dBm) must be below the maximum (-60 dBm)."},
        {"-60", "-60",
         "The minimum value for the color range (-60 dBm) must be below the maximum (-60 dBm)."},
    };
    for (const auto& c : refused) {
        const MapRangeReading reading = readMapRange(c.min, c.max);
        EXPECT_FALSE(reading.range) << c.min << ',' << c.max;
        EXPECT_EQ(reading.refusal, c.refusal);
    }
}

TEST(MapSettings, StartsWithTheDialogDefaultsAndChangesAsAWhole)
{
    MapSettings settings;
    EXPECT_EQ(settings.range(), (MapRange{-120, -50}));
    EXPECT_EQ(settings.receiver(), 0);
    settings.setRange({-110, -30});
    settings.setReceiver(1);
    EXPECT_EQ(settings.range(), (MapRange{-110, -30}));
    EXPECT_EQ(settings.receiver(), 1);
}

} // namespace
} // namespace zentor
