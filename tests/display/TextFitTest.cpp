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

// The numbers of the receiver displays' scale, -30 ... -120 dBm in 9 dBm steps: three characters
// down to -93, four below; each character `perHeight` times as wide as the font is high.
TextWidthsAt dbmNumbers(double perHeight)
{
    return [perHeight](int height) {
        std::vector<int> widths;
        for (int s = 0; s <= 10; ++s)
            widths.push_back(static_cast<int>((s < 8 ? 3 : 4) * perHeight * height));
        return widths;
    };
}

// A display alone in its panel: plot 332 high at (80, 71).
constexpr AxisRoom kWidePanel{71, 332, 80, 0, {13, 207, 27, 267}, 10};
// Side by side with the other receiver's: plot 334 high at (40, 71), the left caption's cell
// across columns 3 ... 16 of rows 208 ... 267.
constexpr AxisRoom kHalfPanel{71, 334, 40, 0, {3, 208, 17, 268}, 10};

TEST(LayOutAxisNumbers, TakesTheFirstDivisorThatFits)
{
    std::vector<int> tried;
    // The numbers must start at x = 40 or right of it.
    const AxisLayout axis = layOutAxisNumbers(kWidePanel, ProportionalText{2.0, &tried}, {});
    // d = 12: 27 high, 54 wide, x = 22; d = 14: 23, x = 30; d = 16: 20, x = 36; d = 18: 18, 40.
    EXPECT_EQ(tried, (std::vector<int>{27, 23, 20, 18}));
    EXPECT_EQ(axis.fontHeight, 18);
    EXPECT_EQ(axis.x, std::vector<int>(11, 40));
    // Each centred on its grid line: 71 + s x 332 / 10 less half the font.
    ASSERT_EQ(axis.y.size(), 11u);
    EXPECT_EQ(axis.y[0], 71 - 9);
    EXPECT_EQ(axis.y[5], 71 + 166 - 9);
    EXPECT_EQ(axis.y[10], 71 + 332 - 9);
}

TEST(LayOutAxisNumbers, WideMarginKeepsTheLargestFont)
{
    std::vector<int> tried;
    AxisRoom room = kWidePanel;
    room.plotLeft = 200;
    const AxisLayout axis = layOutAxisNumbers(room, ProportionalText{2.0, &tried}, {});
    EXPECT_EQ(tried, (std::vector<int>{27}));
    EXPECT_EQ(axis.fontHeight, 27);
    EXPECT_EQ(axis.x, std::vector<int>(11, 200 - 54 - 4));
}

TEST(LayOutAxisNumbers, NarrowDisplayReachesIntoTheMarginBesideTheCaption)
{
    std::vector<int> tried;
    // The numbers must start at 20: at d = 22, 15 high, they would start at -1.
    const AxisLayout axis =
        layOutAxisNumbers(kHalfPanel, ProportionalText{2.5, &tried}, dbmNumbers(0.5));
    EXPECT_EQ(tried, (std::vector<int>{27, 23, 20, 18, 16, 15}));
    // Each number ends 4 pixels left of the plot. At 15 ... 12 high the three-character ones
    // would start at 14 ... 18, within 2 pixels of the caption; at 11, 16 wide, at 20. The -66 ...
    // -84 on the caption's rows keep clear of it; -102 and below, under it, reach further.
    EXPECT_EQ(axis.fontHeight, 11);
    EXPECT_EQ(axis.x, (std::vector<int>{20, 20, 20, 20, 20, 20, 20, 20, 14, 14, 14}));
    EXPECT_EQ(axis.y[4], 71 + 133 - 5);
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
