#include "display/TextFit.h"

#include <gtest/gtest.h>
#include <vector>

namespace zentor {
namespace {

// A text that is `perHeight` times as wide as its font is high; records the heights tried.
struct ProportionalText
{
    double perHeight;
    std::vector<int>* tried;
    int operator()(int height) const
    {
        tried->push_back(height);
        return static_cast<int>(perHeight * height);
    }
};

TEST(FitAxisFont, TakesTheFirstDivisorThatFits)
{
    std::vector<int> tried;
    // Plot 332 high at x = 80 of a control at 0: the numbers must start at 40 or right of it.
    const AxisFont font = fitAxisFont(332, 80, 0, ProportionalText{2.0, &tried});
    // d = 12: 27 high, 54 wide, x = 22; d = 14: 23, x = 30; d = 16: 20, x = 36; d = 18: 18, 40.
    EXPECT_EQ(tried, (std::vector<int>{27, 23, 20, 18}));
    EXPECT_EQ(font.fontHeight, 18);
    EXPECT_EQ(font.labelX, 40);
}

TEST(FitAxisFont, WideMarginKeepsTheLargestFont)
{
    std::vector<int> tried;
    const AxisFont font = fitAxisFont(332, 200, 0, ProportionalText{2.0, &tried});
    EXPECT_EQ(tried, (std::vector<int>{27}));
    EXPECT_EQ(font.fontHeight, 27);
    EXPECT_EQ(font.labelX, 200 - 54 - 4);
}

TEST(FitAxisFont, NarrowDisplayGoesOnPastTwentyTwoDownToTheSmallestFont)
{
    std::vector<int> tried;
    // A half-width panel: plot at x = 40, the numbers must start at 20 or right of it.
    const AxisFont font = fitAxisFont(332, 40, 0, ProportionalText{2.5, &tried});
    // d = 12 ... 22 give 27, 23, 20, 18, 16, 15; then d = 24 ... 40 give 13, 12, 11, 11, 10,
    // 9, 9, 8, 8; 8 x 2.5 = 20 wide: x = 16, still left of 20; d = 42 would give 7.
    EXPECT_EQ(tried, (std::vector<int>{27, 23, 20, 18, 16, 15, 13, 12, 11, 11, 10, 9, 9, 8, 8}));
    EXPECT_EQ(font.fontHeight, 8);
    EXPECT_EQ(font.labelX, 16);
}

TEST(FitAxisFont, NarrowDisplayStopsOnceItFits)
{
    std::vector<int> tried;
    const AxisFont font = fitAxisFont(332, 40, 0, ProportionalText{1.5, &tried});
    // 13 x 1.5 = 19: x = 17; 12 x 1.5 = 18: x = 18; 11: 16, x = 20 fits.
    EXPECT_EQ(tried, (std::vector<int>{27, 23, 20, 18, 16, 15, 13, 12, 11}));
    EXPECT_EQ(font.fontHeight, 11);
    EXPECT_EQ(font.labelX, 20);
}

TEST(FitAxisFont, SmallPlotEndsAtTwentyTwo)
{
    std::vector<int> tried;
    const AxisFont font = fitAxisFont(100, 10, 0, ProportionalText{3.0, &tried});
    // 100 / 12 ... 100 / 22; 100 / 24 = 4 is below the smallest font.
    EXPECT_EQ(tried, (std::vector<int>{8, 7, 6, 5, 5, 4}));
    EXPECT_EQ(font.fontHeight, 4);
    EXPECT_EQ(font.labelX, 10 - 12 - 4);
}

TEST(FitCaptionHeight, ShrinksUntilTheCentredTextStartsInsideThePlot)
{
    std::vector<int> tried;
    // Centre 266, plot from 80: the text may be 372 wide; 20 per pixel of height fits at 18.
    EXPECT_EQ(fitCaptionHeight(35, 266, 80, 0, ProportionalText{20.0, &tried}), 18);
    EXPECT_EQ(tried.front(), 35);
    EXPECT_EQ(tried.back(), 18);
}

TEST(FitCaptionHeight, EmptyOrShortTextKeepsTheStartHeight)
{
    std::vector<int> tried;
    EXPECT_EQ(fitCaptionHeight(35, 266, 80, 0, ProportionalText{0.0, &tried}), 35);
    EXPECT_EQ(fitCaptionHeight(3, 266, 80, 0, ProportionalText{0.0, &tried}), 5);
}

TEST(FitCaptionHeight, LongTextOverANarrowPlotMayUseTheMargins)
{
    std::vector<int> tried;
    // Centre 133, plot from 40: only 186 wide, 21 per pixel gives 8, too small to read; over
    // the margins (from 2) it may be 262 wide: 12.
    EXPECT_EQ(fitCaptionHeight(35, 133, 40, 0, ProportionalText{21.0, &tried}), 12);
    // Never below the smallest height, however long.
    EXPECT_EQ(fitCaptionHeight(35, 133, 40, 0, ProportionalText{500.0, &tried}), 5);
}

} // namespace
} // namespace zentor
