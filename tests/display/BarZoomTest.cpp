#include "display/BarZoom.h"

#include <gtest/gtest.h>

namespace zentor {
namespace {

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
