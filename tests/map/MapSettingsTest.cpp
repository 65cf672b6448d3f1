#include "map/MapSettings.h"

#include <gtest/gtest.h>

namespace zentor {
namespace {

TEST(MapRange, TextsConvertAsDecimalIntegers)
{
    struct Case
    {
        const char* text;
        std::int16_t value;
    };
    const Case cases[] = {
        {"-120", -120},
        {"-50", -50},
        {"+35", 35},
        {"0", 0},
        {"-0", 0},
        {"12abc", 12},
        {"-7.5", -7},
        {"3 4", 3},
        {" \t-60", -60},
        {"abc", 0},
        {"", 0},
        {"-", 0},
        {"+", 0},
        {"--5", 0},
        {"- 5", 0},
        {"x-5", 0},
        {"32767", 32767},
        {"-32768", -32768},
        {"32768", 32767},
        {"-32769", -32768},
        {"99999", 32767},
        {"-40000", -32768},
        {"000000000000000000000042", 42},
        {"123456789012345678901234567890", 32767},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rangeValueFromText(c.text), c.value) << '"' << c.text << '"';
}

TEST(MapSettings, StartsWithTheDialogDefaultsAndTakesNewTexts)
{
    MapSettings settings;
    EXPECT_EQ(settings.rangeMinDbm(), -120);
    EXPECT_EQ(settings.rangeMaxDbm(), -50);
    EXPECT_EQ(settings.receiver(), 0);

    settings.setRangeMinText("-100x");
    settings.setRangeMaxText("not a number");
    settings.setReceiver(1);
    EXPECT_EQ(settings.rangeMinDbm(), -100);
    EXPECT_EQ(settings.rangeMaxDbm(), 0);
    EXPECT_EQ(settings.receiver(), 1);
}

} // namespace
} // namespace zentor
