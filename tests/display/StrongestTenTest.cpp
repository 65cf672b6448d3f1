#include "display/StrongestTen.h"

#include <gtest/gtest.h>
#include <vector>

namespace zentor {
namespace {

using Slots = std::array<TableSlot, kStrongestCount>;

// The stored byte of a dBm level.
std::uint8_t rssiByte(int levelDbm)
{
    return static_cast<std::uint8_t>(levelDbm + 256);
}

std::vector<std::uint8_t> table(std::initializer_list<int> levelsDbm)
{
    std::vector<std::uint8_t> bytes;
    for (int level : levelsDbm)
        bytes.push_back(rssiByte(level));
    return bytes;
}

TEST(ReadingDbm, IsTheByteLess256)
{
    EXPECT_EQ(readingDbm(0x88), -120);
    EXPECT_EQ(readingDbm(0x89), -119);
    EXPECT_EQ(readingDbm(0xFF), -1);
    EXPECT_EQ(readingDbm(0xC4), -60);
    EXPECT_EQ(readingDbm(0x00), -256);
}

TEST(StrongestTen, StrongestFirstWithTheirEntryNumbers)
{
    std::vector<std::uint8_t> rssi(3072, rssiByte(-120));
    const int levels[12] = {-50, -61, -72, -45, -99, -88, -77, -66, -55, -44, -119, -100};
    const int indexes[12] = {0, 7, 100, 3071, 512, 2000, 1500, 9, 10, 1024, 42, 43};
    for (int i = 0; i < 12; ++i)
        rssi[static_cast<std::size_t>(indexes[i])] = rssiByte(levels[i]);
    const Slots expected = {{{1025, -44},
                             {3072, -45},
                             {1, -50},
                             {11, -55},
                             {8, -61},
                             {10, -66},
                             {101, -72},
                             {1501, -77},
                             {2001, -88},
                             {513, -99}}};
    EXPECT_EQ(strongestTen(rssi.data(), rssi.size()), expected);
}

TEST(StrongestTen, EqualReadingsKeepTheEarlierEntryAhead)
{
    const auto rssi = table({-70, -60, -70, -60, -80, -60});
    const Slots slots = strongestTen(rssi.data(), rssi.size());
    EXPECT_EQ(slots[0], (TableSlot{2, -60}));
    EXPECT_EQ(slots[1], (TableSlot{4, -60}));
    EXPECT_EQ(slots[2], (TableSlot{6, -60}));
    EXPECT_EQ(slots[3], (TableSlot{1, -70}));
    EXPECT_EQ(slots[4], (TableSlot{3, -70}));
    EXPECT_EQ(slots[5], (TableSlot{5, -80}));
}

TEST(StrongestTen, ElevenEqualReadingsKeepTheFirstTen)
{
    std::vector<std::uint8_t> rssi(11, rssiByte(-90));
    const Slots slots = strongestTen(rssi.data(), rssi.size());
    for (int k = 0; k < kStrongestCount; ++k)
        EXPECT_EQ(slots[static_cast<std::size_t>(k)], (TableSlot{k + 1, -90}));
}

TEST(StrongestTen, FewerThanTenAboveTheFloorLeaveEmptySlots)
{
    // Readings at -120 or below (an empty table entry holds 0: -256) take no slot.
    std::vector<std::uint8_t> rssi(3072, 0x00);
    rssi[5] = rssiByte(-119);
    rssi[6] = rssiByte(-120);
    rssi[7] = rssiByte(-80);
    const Slots slots = strongestTen(rssi.data(), rssi.size());
    EXPECT_EQ(slots[0], (TableSlot{8, -80}));
    EXPECT_EQ(slots[1], (TableSlot{6, -119}));
    for (int k = 2; k < kStrongestCount; ++k)
        EXPECT_EQ(slots[static_cast<std::size_t>(k)], (TableSlot{0, -120}));
}

TEST(StrongestTen, EmptyTable)
{
    const Slots slots = strongestTen(nullptr, 0);
    for (const TableSlot& slot : slots)
        EXPECT_EQ(slot, (TableSlot{0, -120}));
}

} // namespace
} // namespace zentor
