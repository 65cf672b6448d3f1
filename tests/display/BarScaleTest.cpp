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

using Texts = std::vector<std::string>;

TEST(AxisNumbers, ReceiverScaleFromMinus30DownToMinus120)
{
    EXPECT_EQ(
        verticalAxisNumbers(-30.0, -120.0, 10, 0),
        (Texts{"-30", "-39", "-48", "-57", "-66", "-75", "-84", "-93", "-102", "-111", "-120"}));
}

TEST(AxisNumbers, RightAxisWithOneDecimal)
{
    EXPECT_EQ(verticalAxisNumbers(1.0, 0.0, 4, 1), (Texts{"1.0", "0.8", "0.5", "0.2", "0.0"}));
}

TEST(AxisNumbers, NoDivisionsNoNumbers)
{
    EXPECT_TRUE(verticalAxisNumbers(1.0, 0.0, 0, 1).empty());
}

TEST(AxisNumbers, BottomRowInEighths)
{
    EXPECT_EQ(bottomAxisNumbers(0.0, 8.0, 0), (Texts{"0", "1", "2", "3", "4", "5", "6", "7", "8"}));
    EXPECT_EQ(bottomAxisNumbers(0.0, 1024.0, 2, 0.0078125),
              (Texts{"0.00", "1.00", "2.00", "3.00", "4.00", "5.00", "6.00", "7.00", "8.00"}));
}

BarModel zoomable(double xMin, double xMax)
{
    BarModel model;
    model.XMin = xMin;
    model.XMax = xMax;
    model.ZoomLimitMin = 0.0;
    model.ZoomLimitMax = 11.0;
    model.ZoomMinSpan = 2.0;
    return model;
}

TEST(BarZoom, InHalvesTheSpanAroundThePoint)
{
    const auto z = zoomAround(zoomable(0.0, 11.0), 5.5, ZoomDirection::In);
    ASSERT_TRUE(z);
    EXPECT_DOUBLE_EQ(z->xMin, 2.75);
    EXPECT_DOUBLE_EQ(z->xMax, 8.25);
    EXPECT_DOUBLE_EQ(z->zoomFactor, 2.0);
}

TEST(BarZoom, OutDoublesTheSpanWithinTheLimits)
{
    BarModel model = zoomable(4.0, 8.0);
    model.ZoomFactor = 4.0;
    const auto z = zoomAround(model, 6.0, ZoomDirection::Out);
    ASSERT_TRUE(z);
    EXPECT_DOUBLE_EQ(z->xMin, 2.0);
    EXPECT_DOUBLE_EQ(z->xMax, 10.0);
    EXPECT_DOUBLE_EQ(z->zoomFactor, 2.0);

    const auto clipped = zoomAround(model, 1.0, ZoomDirection::Out);
    ASSERT_TRUE(clipped);
    EXPECT_DOUBLE_EQ(clipped->xMin, 0.0); // raised to the lower limit
    EXPECT_DOUBLE_EQ(clipped->xMax, 5.0);
    EXPECT_DOUBLE_EQ(clipped->zoomFactor, 4.0 * 4.0 / 5.0);
}

TEST(BarZoom, NearTheLimitsTheRangeIsCut)
{
    const auto z = zoomAround(zoomable(0.0, 11.0), 10.0, ZoomDirection::In);
    ASSERT_TRUE(z);
    EXPECT_DOUBLE_EQ(z->xMin, 7.25);
    EXPECT_DOUBLE_EQ(z->xMax, 11.0);
}

TEST(BarZoom, RefusesARangeNarrowerThanTheSmallestSpan)
{
    EXPECT_TRUE(zoomAround(zoomable(2.0, 8.0), 5.0, ZoomDirection::In));  // 3 wide
    EXPECT_TRUE(zoomAround(zoomable(2.0, 10.0), 5.0, ZoomDirection::In)); // 4 wide
    EXPECT_FALSE(zoomAround(zoomable(3.0, 6.0), 4.5, ZoomDirection::In)); // 1.5 wide
}

TEST(BarZoom, RefusesAnEmptyRange)
{
    BarModel model = zoomable(5.0, 5.0);
    model.ZoomMinSpan = 0.0;
    EXPECT_FALSE(zoomAround(model, 5.0, ZoomDirection::In));
    EXPECT_FALSE(zoomAround(model, 5.0, ZoomDirection::Out));
}

} // namespace

} // namespace zentor
