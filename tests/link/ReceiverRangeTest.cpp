// Frequencies and channel numbers of a receiver's counts, with and without the numbering flag.
#include "link/ReceiverRange.h"

#include <gtest/gtest.h>

namespace zentor {
namespace {

TEST(ReceiverRange, ChannelNumbersWrapWithTheNumberingFlag)
{
    ReceiverRange plain;
    plain.startCount = 100;
    plain.stepKHz = 200.0;
    EXPECT_EQ(channelOfCount(plain, 100), 1);
    EXPECT_EQ(channelOfCount(plain, 134), 35);
    EXPECT_EQ(countOfChannel(plain, 35), 134);
    EXPECT_DOUBLE_EQ(frequencyMHz(plain, 4500), 900.0);

    ReceiverRange wrapped = plain;
    wrapped.channelsWrap = true;
    EXPECT_EQ(channelOfCount(wrapped, 100), 991);
    EXPECT_EQ(channelOfCount(wrapped, 133), 1024);
    EXPECT_EQ(channelOfCount(wrapped, 134), 1);
    EXPECT_EQ(channelOfCount(wrapped, 135), 2);
    for (std::int32_t count = 100; count < 300; ++count)
        EXPECT_EQ(countOfChannel(wrapped, channelOfCount(wrapped, count)), count);
}

} // namespace
} // namespace zentor
