#include "display/BarGeometry.h"

#include <gtest/gtest.h>

namespace zentor {
namespace {

// A receiver panel of the main window with both receivers side by side or alone.
TEST(BarGeometry, LaysOutPlotAndStripsOfAFullPanel)
{
    const BarGeometry g = computeBarGeometry(0, 0, 534, 475);
    EXPECT_EQ(g.OuterLeft, 0);
    EXPECT_EQ(g.OuterTop, 0);
    EXPECT_EQ(g.OuterRight, 534);
    EXPECT_EQ(g.OuterBottom, 475);
    EXPECT_EQ(g.OuterWidth, 534);
    EXPECT_EQ(g.OuterHeight, 475);
    // 0.15 x 534 = 80.1, 0.15 x 475 = 71.25: every edge truncated.
    EXPECT_EQ(g.PlotRect, (IntRect{80, 71, 453, 403}));
    EXPECT_EQ(g.PlotWidth, 373);
    EXPECT_EQ(g.PlotHeight, 332);
    // The axis strips reach 332 / 20 = 16 pixels above and below the plot.
    EXPECT_EQ(g.LeftAxisStrip, (IntRect{40, 55, 79, 419}));
    EXPECT_EQ(g.RightAxisStrip, (IntRect{454, 55, 493, 419}));
    // 373 / 10 = 37 pixels beyond the plot's sides, from 8 below it to the margin's middle + 3.
    EXPECT_EQ(g.BottomAxisStrip, (IntRect{43, 411, 490, 442}));
    EXPECT_EQ(g.ReadoutStrip, (IntRect{80, 55, 453, 70}));
    EXPECT_EQ(g.TopMarginStrip, (IntRect{70, 55, 463, 70}));
    EXPECT_EQ(g.RightMarginStrip, (IntRect{454, 70, 534, 404}));
    EXPECT_FALSE(g.plotEmpty());
}

TEST(BarGeometry, OuterBoxFollowsTheControlsPlace)
{
    const BarGeometry g = computeBarGeometry(10, 5, 110, 65);
    EXPECT_EQ(g.OuterLeft, 10);
    EXPECT_EQ(g.OuterTop, 5);
    EXPECT_EQ(g.OuterRight, 100);
    EXPECT_EQ(g.OuterBottom, 60);
    EXPECT_EQ(g.OuterWidth, 90);
    EXPECT_EQ(g.OuterHeight, 55);
    // 10 + 13.5, 5 + 8.25, 100 - 13.5, 60 - 8.25.
    EXPECT_EQ(g.PlotRect, (IntRect{23, 13, 86, 51}));
}

TEST(BarGeometry, LeftCaptionCentresOnTheMarginsFirstQuarterAndTheMiddleRow)
{
    // Half a panel: left margin 40, the cell 14 wide from 40 / 4 - 7; 60 long round row 238.
    EXPECT_EQ(leftCaptionCell(computeBarGeometry(0, 0, 267, 476), 60), (IntRect{3, 208, 17, 268}));
}

TEST(BarGeometry, TinyControlHasAnEmptyPlot)
{
    for (const auto& [w, h] : {std::pair{1, 100}, std::pair{100, 1}, std::pair{0, 0}}) {
        const BarGeometry g = computeBarGeometry(0, 0, w, h);
        EXPECT_TRUE(g.plotEmpty()) << w << "x" << h;
        EXPECT_TRUE(g.PlotWidth == 0 || g.PlotHeight == 0) << w << "x" << h;
    }
}

TEST(IntRect, ContainsExcludesRightAndBottomEdges)
{
    const IntRect r{10, 20, 30, 40};
    EXPECT_TRUE(r.contains(10, 20));
    EXPECT_TRUE(r.contains(29, 39));
    EXPECT_FALSE(r.contains(30, 39));
    EXPECT_FALSE(r.contains(29, 40));
    EXPECT_FALSE(r.contains(9, 25));
    EXPECT_EQ(r.width(), 20);
    EXPECT_EQ(r.height(), 20);
}

} // namespace
} // namespace zentor
