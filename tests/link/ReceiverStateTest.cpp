// The receiver state applying decoded packets: which receivers are present and what of theirs is
// kept, the single-mode drop while a frame is pending, the list and table readings that are
// stored or refused, the display's copy that clears the data event, the scan channel
// information, and the events and marks that wake the other threads.
#include "link/ReceiverState.h"

#include "ProtocolDoubles.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace zentor {
namespace {

using namespace test;

class ReceiverStateTest : public ::testing::Test
{
protected:
    void apply(const Bytes& record)
    {
        const std::optional<DecodedPacket> packet = decodePacket(record.data(), record.size());
        ASSERT_TRUE(packet);
        state.apply(*packet, record.data(), record.size());
    }
    void configureBoth()
    {
        const Bytes block = configurationBlock(1, 9, 256);
        apply(packetRecord(0x01, cat({{0x03}, block, block})));
    }

    ReceiverState state;
};

TEST_F(ReceiverStateTest, ConfigurationKeepsWholeBlocksOfPresentReceiversAndMarksTheRanges)
{
    const Bytes r2 = configurationBlock(4520, 4620, 51200);
    apply(packetRecord(0x01, cat({{0x0A}, configurationBlock(100, 200, 512), r2})));
    ReceiverSnapshot one = state.receiver(0), two = state.receiver(1);
    EXPECT_FALSE(one.present || one.everPresent);
    EXPECT_EQ(one.info.configuration, (std::array<std::uint8_t, 12>{}));
    EXPECT_TRUE(two.present && two.everPresent);
    EXPECT_TRUE(std::equal(r2.begin(), r2.end(), two.info.configuration.begin()));
    EXPECT_EQ(two.range.startCount, 4520);
    EXPECT_DOUBLE_EQ(two.range.stepKHz, 200.0);
    EXPECT_TRUE(two.range.channelsWrap);
    EXPECT_TRUE(state.takeRangesChanged(0));
    EXPECT_TRUE(state.takeRangesChanged(1));
    EXPECT_FALSE(state.takeRangesChanged(1));
    EXPECT_TRUE(state.takeStatusRangesChanged());

    // Receiver 1 appears; receiver 2's block is cut short and its range stays.
    apply(packetRecord(0x01, cat({{0x03}, configurationBlock(7, 8, 1)})));
    EXPECT_TRUE(state.receiver(0).present);
    EXPECT_EQ(state.receiver(0).range.startCount, 7);
    EXPECT_EQ(state.receiver(1).range.startCount, 4520);

    apply(packetRecord(0x01, {0x01}));
    two = state.receiver(1);
    EXPECT_FALSE(two.present);
    EXPECT_TRUE(two.everPresent);
}

TEST_F(ReceiverStateTest, SingleModeReadingsAreStoredOnlyWhileTheEventIsClear)
{
    apply(packetRecord(0x02, {0xC4, 0xBA, 0xAF}));
    EXPECT_EQ(state.receiver(0).averageLevelDbm, -70);
    EXPECT_EQ(state.receiver(0).singleRssi, 0xC4);
    EXPECT_TRUE(state.takeNewData(0));
    EXPECT_FALSE(state.takeNewData(0));
    EXPECT_FALSE(state.takeNewData(1));

    state.receiverDataEvent(0).set();
    apply(packetRecord(0x02, {0xD8}));
    EXPECT_EQ(state.receiver(0).averageLevelDbm, -70);
    EXPECT_FALSE(state.takeNewData(0));
    state.receiverDataEvent(0).reset();

    apply(packetRecord(0x03, {}));
    EXPECT_EQ(state.receiver(1).averageLevelDbm, -120);
    EXPECT_EQ(state.receiver(1).singleRssi, kNoLevelByte);
    EXPECT_TRUE(state.takeNewData(1));
}

TEST_F(ReceiverStateTest, ListReadingsOfPresentReceiversAreStoredWheneverTheyArrive)
{
    apply(packetRecord(0x01, cat({{0x01}, configurationBlock(1, 9, 256)}))); // receiver 1 only
    apply(packetRecord(0x07, {0, 3, 0xB0,                                    // stored
                              1, 4, 0xC4,                                    // receiver 2 is absent
                              0, 10, 0xA0,                                   // channel above 9
                              0, 9, 0x90}));                                 // stored
    std::array<std::uint8_t, 10> expected;
    expected.fill(kNoLevelByte);
    expected[3] = 0xB0;
    expected[9] = 0x90;
    EXPECT_EQ(state.receiver(0).listRssi, expected);
    EXPECT_TRUE(state.receiverDataEvent(0).isSet());
    EXPECT_FALSE(state.receiverDataEvent(1).isSet());

    // Readings that arrive before the display took its copy are stored all the same.
    apply(packetRecord(0x07, {0, 3, 0xC0}));
    // The display's copy holds them and clears the event; the next reading sets it again.
    EXPECT_EQ(state.takeReceiver(0).listRssi[3], 0xC0);
    EXPECT_FALSE(state.receiverDataEvent(0).isSet());
    apply(packetRecord(0x07, {0, 1, 0xA1}));
    EXPECT_TRUE(state.receiverDataEvent(0).isSet());
    const ReadingCounts counts = state.readingCounts();
    EXPECT_EQ(counts.stored, (std::array<std::uint64_t, 2>{4, 0}));
    EXPECT_EQ(counts.taken, (std::array<std::uint64_t, 2>{3, 0}));
    EXPECT_EQ(counts.refused, 2u);
}

TEST_F(ReceiverStateTest, ListEntryZeroIsAlsoTheSingleModeReadingWithoutAnyDisplay)
{
    configureBoth();
    apply(packetRecord(0x07, {1, 3, 0xB0}));
    EXPECT_EQ(state.receiver(1).singleRssi, kNoLevelByte) << "entry 0 has no reading yet";
    apply(packetRecord(0x07, {1, 0, 0xD3}));
    EXPECT_EQ(state.receiver(1).singleRssi, 0xD3);
    EXPECT_EQ(state.receiver(0).singleRssi, kNoLevelByte);
}

TEST_F(ReceiverStateTest, TableReadingsInsideTheTableAreStoredWithTheLastIndex)
{
    configureBoth();
    apply(packetRecord(0x09, {1, 0xFF, 0x0B, 0xB5,    // index 3071
                              1, 0x00, 0x0C, 0xA0,    // index 3072 is outside the table
                              0, 0x10, 0x00, 0xC8,    // index 16
                              7, 0x01, 0x00, 0xC7})); // receiver 2
    const ReceiverSnapshot one = state.receiver(0), two = state.receiver(1);
    EXPECT_EQ(two.tableRssi[3071], 0xB5);
    EXPECT_EQ(two.tableRssi[1], 0xC7);
    EXPECT_EQ(one.tableRssi[16], 0xC8);
    EXPECT_EQ(std::count(one.tableRssi.begin(), one.tableRssi.end(), 0), kTableEntries - 1);
    EXPECT_EQ(std::count(two.tableRssi.begin(), two.tableRssi.end(), 0), kTableEntries - 2);
    EXPECT_EQ(one.lastTableIndex, 16);
    EXPECT_EQ(two.lastTableIndex, 1);
    EXPECT_TRUE(state.receiverDataEvent(0).isSet());
    EXPECT_TRUE(state.receiverDataEvent(1).isSet());
    EXPECT_EQ(state.readingCounts().refused, 1u);
}

TEST_F(ReceiverStateTest, ChannelInformationSetsCountsAndListsAndIsKeptForTheLog)
{
    configureBoth();
    apply(packetRecord(0x07, {1, 2, 0xB1}));
    (void)state.takeRangesChanged(0);

    const Bytes levels = packetRecord(0x05, cat({le32(1234), le32(-5)}));
    apply(levels);
    EXPECT_EQ(state.receiver(0).range.currentCount, 1234);
    EXPECT_EQ(state.receiver(1).range.currentCount, -5);
    EXPECT_TRUE(state.channelInformationCaptured());
    EXPECT_EQ(state.channelInformation(), levels);
    EXPECT_TRUE(state.takeRangesChanged(0));

    const Bytes blocks = cat({statusBlock(40), statusBlock(70)});
    const Bytes status = packetRecord(0x06, blocks);
    apply(status);
    const ReceiverSnapshot two = state.receiver(1);
    EXPECT_EQ(state.receiver(0).range.listCounts[9], 67);
    EXPECT_EQ(two.range.listCounts[0], 70);
    EXPECT_EQ(two.range.currentCount, 70);
    EXPECT_TRUE(std::equal(blocks.begin() + 40, blocks.end(), two.info.status.begin()));
    EXPECT_EQ(two.listRssi[2], kNoLevelByte) << "a new list restarts the list readings";
    EXPECT_EQ(state.channelInformation(), status);

    // The instrument repeats the same list: its readings stay. A changed list restarts them.
    apply(packetRecord(0x07, {1, 2, 0xB1}));
    apply(status);
    EXPECT_EQ(state.receiver(1).listRssi[2], 0xB1) << "the same list keeps its readings";
    apply(packetRecord(0x06, cat({statusBlock(40), statusBlock(71)})));
    EXPECT_EQ(state.receiver(1).listRssi[2], kNoLevelByte) << "a changed list restarts them";

    // A short one is not decoded, but it is the channel information all the same.
    state.resetScanInformation();
    const Bytes cut = packetRecord(0x05, {1, 2});
    apply(cut);
    EXPECT_TRUE(state.channelInformationCaptured());
    EXPECT_EQ(state.channelInformation(), cut);
    EXPECT_EQ(state.receiver(0).range.currentCount, 40);

    // Table data needs none.
    state.resetScanInformation();
    apply(packetRecord(0x09, {0, 1}));
    EXPECT_TRUE(state.channelInformationCaptured());
    EXPECT_EQ(state.channelInformation(), cut);
}

TEST_F(ReceiverStateTest, ClockAndGpsRecordWakeTheirThreadsOnlyWhenWhole)
{
    apply(packetRecord(0x04, {5, 6, 7, 8, 9, 26}));
    EXPECT_FALSE(state.clockEvent().isSet());
    apply(packetRecord(0x04, {5, 6, 7, 8, 9, 26, 123}));
    EXPECT_EQ(state.instrumentClock().marker, 123);
    EXPECT_TRUE(state.clockEvent().isSet());

    Bytes gps(152);
    for (std::size_t i = 0; i < gps.size(); ++i)
        gps[i] = static_cast<std::uint8_t>(i);
    apply(packetRecord(0x00, Bytes(gps.begin(), gps.end() - 1)));
    EXPECT_FALSE(state.gpsEvent().isSet());
    apply(packetRecord(0x00, gps));
    EXPECT_TRUE(state.gpsEvent().isSet());
    EXPECT_TRUE(std::equal(gps.begin(), gps.end(), state.gpsRecord().begin()));
}

} // namespace
} // namespace zentor
