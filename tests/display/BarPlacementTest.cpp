#include "display/BarPlacement.h"

#include "display/BarScale.h"

#include <array>
#include <gtest/gtest.h>

namespace zentor {
namespace {

TEST(ColumnUse, SecondBarMovesRightThirdAndLaterMoveLeft)
{
    ColumnUse columns;
    EXPECT_EQ(columns.place(100), 100);
    EXPECT_EQ(columns.count(100), 1);
    EXPECT_EQ(columns.place(100), 105);
    EXPECT_EQ(columns.count(100), 2);
    EXPECT_EQ(columns.place(100), 95);
    EXPECT_EQ(columns.place(100), 95);
    // The shifted bars do not count on the columns they moved to.
    EXPECT_EQ(columns.count(105), 0);
    EXPECT_EQ(columns.count(95), 0);
    EXPECT_EQ(columns.place(105), 105);

    columns.clear();
    EXPECT_EQ(columns.count(100), 0);
    EXPECT_EQ(columns.place(100), 100);
}

TEST(ColumnUse, ColumnsOutsideTheTableKeepTheirPlace)
{
    ColumnUse columns;
    for (int column : {-1, ColumnUse::kColumns, ColumnUse::kColumns + 40}) {
        EXPECT_EQ(columns.place(column), column);
        EXPECT_EQ(columns.place(column), column);
        EXPECT_EQ(columns.count(column), 0);
    }
    EXPECT_EQ(columns.place(ColumnUse::kColumns - 1), ColumnUse::kColumns - 1);
    EXPECT_EQ(columns.place(ColumnUse::kColumns - 1), ColumnUse::kColumns + 4);
}

TEST(BarHalfWidth, SharesThePlotAmongThePositions)
{
    EXPECT_EQ(barHalfWidth(373, 1, 11.0), 15); // 373 / 24 = 15.5
    EXPECT_EQ(barHalfWidth(373, 1, 2.0), 62);  // 373 / 6 = 62.2
    EXPECT_EQ(barHalfWidth(373, 2, 2.0), 31);  // 373 / 12
    EXPECT_EQ(barHalfWidth(187, 1, 11.0), 7);  // a half-width panel: 7.8
}

TEST(BarHalfWidth, IsAtLeastOnePixel)
{
    EXPECT_EQ(barHalfWidth(0, 1, 11.0), 1);
    EXPECT_EQ(barHalfWidth(20, 1, 11.0), 1); // 0.83
    EXPECT_EQ(barHalfWidth(373, 0, 11.0), 1);
    EXPECT_EQ(barHalfWidth(373, 1, -1.0), 1);
    EXPECT_EQ(barHalfWidth(373, 1, -5.0), 1);
}

// Bars of the receiver display in list mode: positions 1 ... 10 of 0 ... 11, levels in dBm.
struct ListModePlacement : ::testing::Test
{
    ListModePlacement()
    {
        model.XMax = 11.0;
        model.YBottom = -120.0;
        model.YTop = -30.0;
        recomputePerPixel(model, geometry);
    }
    BarGeometry geometry = computeBarGeometry(0, 0, 534, 475); // plot 373 x 332 at (80, 71)
    BarModel model;
    ColumnUse columns;
};

TEST_F(ListModePlacement, BarReachesFromItsLevelToThePlotsBottom)
{
    const auto bar = placeBar(model, geometry, columns, 1.0, -75.0);
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->px, 33);
    EXPECT_EQ(bar->py, 166);
    EXPECT_EQ(bar->rect, (IntRect{33 - 15, 166, 33 + 15, 332}));
}

TEST_F(ListModePlacement, LevelsBeyondTheScaleAreHeldAtItsEnds)
{
    const auto weak = placeBar(model, geometry, columns, 2.0, -150.0);
    ASSERT_TRUE(weak);
    EXPECT_EQ(weak->py, 332);
    EXPECT_EQ(weak->rect.height(), 0);
    const auto strong = placeBar(model, geometry, columns, 3.0, 0.0);
    ASSERT_TRUE(strong);
    EXPECT_EQ(strong->py, 0);
    EXPECT_EQ(strong->rect.height(), 332);
    const auto floor = placeBar(model, geometry, columns, 4.0, -120.0);
    ASSERT_TRUE(floor);
    EXPECT_EQ(floor->rect.height(), 0);
}

TEST_F(ListModePlacement, PositionsOutsideTheRangeAreNotDrawn)
{
    EXPECT_FALSE(placeBar(model, geometry, columns, -1.0, -60.0));
    EXPECT_FALSE(placeBar(model, geometry, columns, 12.0, -60.0));
    EXPECT_FALSE(placeBar(model, geometry, columns, -0.01, -60.0));
    EXPECT_TRUE(placeBar(model, geometry, columns, 0.0, -60.0));
    EXPECT_TRUE(placeBar(model, geometry, columns, 11.0, -60.0));
    // Nothing was counted for the bars that were not drawn.
    EXPECT_EQ(columns.count(0), 1);
}

TEST_F(ListModePlacement, BarsOnOneColumnStandSideBySide)
{
    const auto first = placeBar(model, geometry, columns, 5.0, -60.0);
    const auto second = placeBar(model, geometry, columns, 5.0, -70.0);
    const auto third = placeBar(model, geometry, columns, 5.0, -80.0);
    ASSERT_TRUE(first && second && third);
    EXPECT_EQ(first->px, 169); // 5 x 373 / 11 = 169.5
    EXPECT_EQ(second->px, 174);
    EXPECT_EQ(third->px, 164);
    EXPECT_EQ(second->rect.left, 174 - 15);
    EXPECT_EQ(third->rect.right, 164 + 15);
}

TEST(BarPlacement, EmptyPlotDrawsNothing)
{
    BarModel model;
    model.XMax = 11.0;
    model.YBottom = -120.0;
    model.YTop = -30.0;
    ColumnUse columns;
    for (const auto& [w, h] : {std::pair{1, 475}, std::pair{534, 1}, std::pair{0, 0}}) {
        const BarGeometry geometry = computeBarGeometry(0, 0, w, h);
        recomputePerPixel(model, geometry);
        EXPECT_FALSE(placeBar(model, geometry, columns, 0.0, -60.0)) << w << "x" << h;
        EXPECT_FALSE(placeBar(model, geometry, columns, 1.0, -60.0)) << w << "x" << h;
    }
}

// A bar 30 pixels wide of a plot 332 high, its middle column at 100, its top at `py`.
BarPlacement barWithTopAt(int py)
{
    return {100, py, {85, py, 115, 332}};
}

TEST(PlaceBarLabel, CentresTheLabelTwentyPixelsAboveTheBarWhileItFitsThere)
{
    const LabelPlacement across = placeBarLabel(barWithTopAt(150), 40, 12, false);
    EXPECT_EQ((std::array{across.x, across.y, int(across.onBar)}), (std::array{80, 130, 0}));
    // Upward labels start at y and run 40 pixels up, to the plot's top at most; their cell lies
    // right of x.
    const LabelPlacement upward = placeBarLabel(barWithTopAt(60), 40, 12, true);
    EXPECT_EQ((std::array{upward.x, upward.y, int(upward.onBar)}), (std::array{94, 40, 0}));
}

TEST(PlaceBarLabel, StrongBarsCarryTheirLabelWholeOnTheBar)
{
    // Above the bar it would run past the plot's top: it reads upward from 4 below the bar's top
    // plus its length.
    for (const int py : {59, 0}) {
        const LabelPlacement upward = placeBarLabel(barWithTopAt(py), 50, 12, true);
        EXPECT_EQ((std::array{upward.x, upward.y, int(upward.onBar)}),
                  (std::array{94, py + 4 + 50, 1}));
    }
    EXPECT_EQ(placeBarLabel(barWithTopAt(5), 28, 12, false).y, 9);
    // A bar too short or too narrow for it keeps the label at the plot's top, over the bar.
    BarPlacement stub = barWithTopAt(10);
    stub.rect.bottom = 60;
    EXPECT_FALSE(placeBarLabel(stub, 50, 12, true).onBar);
    EXPECT_EQ(placeBarLabel(stub, 50, 12, true).y, 50);
    EXPECT_FALSE(placeBarLabel(barWithTopAt(5), 40, 12, false).onBar);
}

} // namespace
} // namespace zentor
