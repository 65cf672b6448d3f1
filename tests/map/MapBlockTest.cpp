#include "map/MapBlock.h"

#include "platform/MapPublisher.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zentor {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kUntouched = 0xA5;

MapFeedValues knownValues()
{
    MapFeedValues v;
    v.latitudeDeg = 51.5;   // 0x4049C00000000000
    v.longitudeDeg = -0.25; // 0xBFD0000000000000
    v.rssiDbm = -87;
    v.rangeMinDbm = -120;
    v.rangeMaxDbm = -50;
    v.serialNumber = "ZN123456";
    return v;
}

void put(Bytes& block, std::size_t offset, const Bytes& bytes)
{
    std::copy(bytes.begin(), bytes.end(), block.begin() + static_cast<long>(offset));
}

TEST(MapBlock, WritesEveryListedByteAndNoOther)
{
    Bytes block(kMapBlockBytes, kUntouched);
    composeMapBlock(block.data(), knownValues());

    Bytes expected(kMapBlockBytes, kUntouched);
    put(expected, 0, {'Q', 'X', 'V', 'T', 'A', 'V', 'R', 'I', 'N', 'E', 0});
    put(expected, 12, {0x64, 0x00});
    put(expected, 16, {0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x49, 0x40});
    put(expected, 24, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xD0, 0xBF});
    put(expected, 32, {0x01, 0x00});
    put(expected, 34, {0xA9, 0xFF});
    put(expected, 36, {0x00});
    put(expected, 292, {0x88, 0xFF});
    put(expected, 294, {0xCE, 0xFF});
    put(expected, 296, {0x01});
    put(expected, 297, {'Z', 'N', '1', '2', '3', '4', '5', '6', 0});
    for (std::size_t i = 0; i < kMapBlockBytes; ++i)
        ASSERT_EQ(block[i], expected[i]) << "offset " << i;
}

TEST(MapBlock, LongSerialNumberStopsAtTheEndOfTheBlock)
{
    Bytes block(kMapBlockBytes, kUntouched);
    MapFeedValues v = knownValues();
    v.serialNumber = std::string(5000, 'S');
    composeMapBlock(block.data(), v);
    EXPECT_EQ(block[297], 'S');
    EXPECT_EQ(block[kMapBlockBytes - 2], 'S');
    EXPECT_EQ(block[kMapBlockBytes - 1], 0);
    EXPECT_EQ(readMapBlockContents(block.data()).values.serialNumber.size(),
              kMapBlockBytes - 297 - 1);
}

TEST(MapBlock, ReaderGetsBackWhatWasComposed)
{
    Bytes block(kMapBlockBytes, 0);
    EXPECT_FALSE(readMapBlockContents(block.data()).marked);
    composeMapBlock(block.data(), knownValues());
    const MapBlockContents c = readMapBlockContents(block.data());
    EXPECT_TRUE(c.marked);
    EXPECT_EQ(c.values.latitudeDeg, 51.5);
    EXPECT_EQ(c.values.longitudeDeg, -0.25);
    EXPECT_EQ(c.values.rssiDbm, -87);
    EXPECT_EQ(c.values.rangeMinDbm, -120);
    EXPECT_EQ(c.values.rangeMaxDbm, -50);
    EXPECT_EQ(c.values.serialNumber, "ZN123456");
}

} // namespace
} // namespace zentor
