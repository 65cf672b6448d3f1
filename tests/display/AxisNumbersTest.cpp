#include "display/AxisNumbers.h"

#include <gtest/gtest.h>

namespace zentor {
namespace {

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

} // namespace
} // namespace zentor
