#include "app/StatusTexts.h"

#include <gtest/gtest.h>

namespace zentor {
namespace {

TEST(StatusTexts, ClockShowsMonthDayYearAndTwoDigitTime)
{
    InstrumentClock clock;
    clock.second = 5;
    clock.minute = 4;
    clock.hour = 23;
    clock.day = 31;
    clock.month = 12;
    clock.yearSince2000 = 7;
    clock.marker = 123;
    const ClockTexts texts = clockTexts(clock);
    EXPECT_EQ(texts.date, "12/31/2007");
    EXPECT_EQ(texts.time, "23:04:05");
    EXPECT_EQ(texts.marker, "Mrkr #23");
}

TEST(StatusTexts, MarkerShowsItsLastTwoDigitsWithoutLeadingZero)
{
    InstrumentClock clock;
    for (const auto& [marker, text] : {std::pair<int, const char*>{0, "Mrkr #0"},
                                       {7, "Mrkr #7"},
                                       {99, "Mrkr #99"},
                                       {100, "Mrkr #0"},
                                       {205, "Mrkr #5"},
                                       {255, "Mrkr #55"}}) {
        clock.marker = static_cast<std::uint16_t>(marker);
        EXPECT_EQ(clockTexts(clock).marker, text) << marker;
    }
}

TEST(StatusTexts, RangeShowsStartAndStopFrequencyAndStep)
{
    ReceiverRange range;
    range.startCount = 32000;
    range.stopCount = 32400;
    range.stepKHz = 25.0;
    const RangeTexts texts = rangeTexts(range);
    EXPECT_EQ(texts.minimumMHz, "800.00000");
    EXPECT_EQ(texts.maximumMHz, "810.00000");
    EXPECT_EQ(texts.stepKHz, "25.00");

    range.startCount = 1001;
    range.stopCount = 1100;
    range.stepKHz = 12.5;
    const RangeTexts fine = rangeTexts(range);
    EXPECT_EQ(fine.minimumMHz, "12.51250");
    EXPECT_EQ(fine.maximumMHz, "13.75000");
    EXPECT_EQ(fine.stepKHz, "12.50");
}

TEST(StatusTexts, SerialNumberAndTimeOfDay)
{
    EXPECT_EQ(serialNumberText("ZEN00042"), "SN: ZEN00042");
    EXPECT_EQ(serialNumberText(""), "SN: ");
    EXPECT_EQ(timeOfDayText(0, 0, 0), "00:00:00");
    EXPECT_EQ(timeOfDayText(9, 30, 59), "09:30:59");
}

} // namespace
} // namespace zentor
