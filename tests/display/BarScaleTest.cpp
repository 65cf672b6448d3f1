#include "display/BarScale.h"

#include <cmath>
#include <gtest/gtest.h>

namespace zentor {
namespace {

// The receiver display's ranges over a plot of 373 x 332 pixels at (80, 71).
struct ReceiverScale : ::testing::Test
{
    ReceiverScale()
    {
        model.XMin = 0.0;
        model.XMax = 11.0;
        model.YBottom = -120.0;
        model.YTop = -30.0;
        recomputePerPixel(model, geometry);
    }
    BarGeometry geometry = computeBarGeometry(0, 0, 534, 475);
    BarModel model;
};

TEST_F(ReceiverScale, FactorsAreRangeOverPlotExtent)
{
    EXPECT_DOUBLE_EQ(model.XPerPixel, 11.0 / 373);
    EXPECT_DOUBLE_EQ(model.YPerPixel, -90.0 / 332); // negative: YBottom below YTop
}

TEST_F(ReceiverScale, ValuesToPixels)
{
    EXPECT_EQ(valueToPixel(model, geometry, kHorizontalAxis, 0.0), 80);
    EXPECT_EQ(valueToPixel(model, geometry, kHorizontalAxis, 11.0), 453);
    EXPECT_EQ(valueToPixel(model, geometry, kHorizontalAxis, 1.0), 80 + 33); // 33.9 truncated
    EXPECT_EQ(valueToPixel(model, geometry, kVerticalAxis, -30.0), 71);
    EXPECT_EQ(valueToPixel(model, geometry, kVerticalAxis, -120.0), 403);
    EXPECT_EQ(valueToPixel(model, geometry, kVerticalAxis, -75.0), 71 + 166);
    // Beyond the range the pixel lies beyond the plot; the bar placement clamps it.
    EXPECT_EQ(valueToPixel(model, geometry, kVerticalAxis, -21.0), 37); // 71 - 33.2
}

TEST_F(ReceiverScale, PixelsToValuesAreHeldInsideTheRanges)
{
    EXPECT_DOUBLE_EQ(pixelToValue(model, geometry, kHorizontalAxis, 80), 0.0);
    EXPECT_DOUBLE_EQ(pixelToValue(model, geometry, kHorizontalAxis, 453), 11.0);
    EXPECT_DOUBLE_EQ(pixelToValue(model, geometry, kHorizontalAxis, 0), 0.0);
    EXPECT_DOUBLE_EQ(pixelToValue(model, geometry, kHorizontalAxis, 534), 11.0);
    EXPECT_DOUBLE_EQ(pixelToValue(model, geometry, kVerticalAxis, 71), -30.0);
    EXPECT_DOUBLE_EQ(pixelToValue(model, geometry, kVerticalAxis, 0), -30.0);
    EXPECT_DOUBLE_EQ(pixelToValue(model, geometry, kVerticalAxis, 403), -120.0);
    EXPECT_DOUBLE_EQ(pixelToValue(model, geometry, kVerticalAxis, 475), -120.0);
}

TEST_F(ReceiverScale, OtherAxesGiveMinusOne)
{
    for (int axis : {-1, 2, 7}) {
        EXPECT_EQ(valueToPixel(model, geometry, axis, 5.0), -1);
        EXPECT_DOUBLE_EQ(pixelToValue(model, geometry, axis, 100), -1.0);
    }
}

TEST_F(ReceiverScale, ConversionsRoundTripWithinAPixel)
{
    for (int x = geometry.PlotRect.left; x <= geometry.PlotRect.right; ++x) {
        const double v = pixelToValue(model, geometry, kHorizontalAxis, x);
        EXPECT_LE(std::abs(valueToPixel(model, geometry, kHorizontalAxis, v) - x), 1) << x;
    }
    for (int y = geometry.PlotRect.top; y <= geometry.PlotRect.bottom; ++y) {
        const double v = pixelToValue(model, geometry, kVerticalAxis, y);
        EXPECT_LE(std::abs(valueToPixel(model, geometry, kVerticalAxis, v) - y), 1) << y;
    }
    for (double level = -120.0; level <= -30.0; level += 0.7) {
        const int y = valueToPixel(model, geometry, kVerticalAxis, level);
        EXPECT_LE(std::abs(pixelToValue(model, geometry, kVerticalAxis, y) - level),
                  std::abs(model.YPerPixel))
            << level;
    }
}

TEST(BarScale, EmptyPlotHasFactorOneAndConvertsWithoutDividingByZero)
{
    const BarGeometry geometry = computeBarGeometry(0, 0, 1, 1);
    BarModel model;
    model.XMax = 11.0;
    model.YBottom = -120.0;
    model.YTop = -30.0;
    recomputePerPixel(model, geometry);
    EXPECT_DOUBLE_EQ(model.XPerPixel, 1.0);
    EXPECT_DOUBLE_EQ(model.YPerPixel, 1.0);
    EXPECT_EQ(valueToPixel(model, geometry, kHorizontalAxis, 3.0), 3);
    EXPECT_DOUBLE_EQ(perPixel(5.0, 0), 1.0);
    EXPECT_DOUBLE_EQ(perPixel(5.0, -3), 1.0);
}

TEST(BarScale, EmptyRangeMapsToThePlotsEdge)
{
    const BarGeometry geometry = computeBarGeometry(0, 0, 534, 475);
    BarModel model; // XMin = XMax = 0
    model.YBottom = model.YTop = -50.0;
    recomputePerPixel(model, geometry);
    EXPECT_EQ(model.XPerPixel, 0.0);
    EXPECT_EQ(model.YPerPixel, 0.0);
    EXPECT_EQ(valueToPixel(model, geometry, kHorizontalAxis, 7.0), 80);
    EXPECT_EQ(valueToPixel(model, geometry, kVerticalAxis, -90.0), 71);
    EXPECT_DOUBLE_EQ(pixelToValue(model, geometry, kHorizontalAxis, 300), 0.0);
    EXPECT_DOUBLE_EQ(pixelToValue(model, geometry, kVerticalAxis, 300), 71.0);
}

TEST(BarScale, FarValuesStayWithinPixelArithmetic)
{
    EXPECT_EQ(truncateToPixel(1e300), 1 << 30);
    EXPECT_EQ(truncateToPixel(-1e300), -(1 << 30));
    EXPECT_EQ(truncateToPixel(std::nan("")), 0);
    EXPECT_EQ(truncateToPixel(-2.9), -2);
    EXPECT_EQ(truncateToPixel(2.9), 2);
}

} // namespace
} // namespace zentor
