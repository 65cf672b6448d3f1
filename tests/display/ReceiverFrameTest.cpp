#include "display/ReceiverFrame.h"

#include <gtest/gtest.h>
#include <vector>

namespace zentor {
namespace {

std::uint8_t rssiByte(int levelDbm)
{
    return static_cast<std::uint8_t>(levelDbm + 256);
}

// Receiver 1 of the instrument's usual set-up: the 900 MHz band in 200 kHz steps, channels
// numbered 991 ... 1024, 1, 2 ...; receiver 2: 390-395 MHz in 25 kHz steps, channels 1 ... 201.
ReceiverSnapshot cellularReceiver()
{
    ReceiverSnapshot rx;
    rx.range.startCount = 4642;
    rx.range.stopCount = 4799;
    rx.range.stepKHz = 200.0;
    rx.range.channelsWrap = true;
    rx.range.currentCount = 4687;
    rx.range.listCounts = {4687, 4720, 4698, 4742, 4680, 4763, 4709, 4776, 4647, 4785};
    rx.listRssi.fill(rssiByte(-120));
    return rx;
}

ReceiverSnapshot trunkedReceiver()
{
    ReceiverSnapshot rx;
    rx.range.startCount = 15600;
    rx.range.stopCount = 15800;
    rx.range.stepKHz = 25.0;
    rx.range.currentCount = 15610;
    rx.range.listCounts = {15610, 15634, 15652, 15671, 15689, 15705, 15723, 15740, 15762, 15781};
    rx.listRssi.fill(rssiByte(-120));
    return rx;
}

constexpr DisplayChoices kSingleFrequency{MeasurementMode::Single, true};
constexpr DisplayChoices kSingleChannel{MeasurementMode::Single, false};
constexpr DisplayChoices kListFrequency{MeasurementMode::List, true};
constexpr DisplayChoices kListChannel{MeasurementMode::List, false};
constexpr DisplayChoices kTableFrequency{MeasurementMode::Table, true};
constexpr DisplayChoices kTableChannel{MeasurementMode::Table, false};

std::vector<std::string> labels(const ReceiverFrame& frame)
{
    std::vector<std::string> texts;
    for (const FrameBar& bar : frame.bars)
        texts.push_back(bar.label);
    return texts;
}

std::vector<double> levels(const ReceiverFrame& frame)
{
    std::vector<double> values;
    for (const FrameBar& bar : frame.bars)
        values.push_back(bar.levelDbm);
    return values;
}

TEST(ReceiverTitle, NamesReceiverRangeAndStep)
{
    EXPECT_EQ(receiverTitle(0, cellularReceiver().range),
              "R1 (928.40000-959.80000)MHz 200.00 KHz Step");
    EXPECT_EQ(receiverTitle(1, trunkedReceiver().range),
              "R2 (390.00000-395.00000)MHz 25.00 KHz Step");
}

TEST(SingleModeFrame, OneBarOfTheCurrentReadingUnderItsFrequency)
{
    ReceiverSnapshot rx = cellularReceiver();
    rx.singleRssi = rssiByte(-67);
    const ReceiverFrame f = composeReceiverFrame(rx, kSingleFrequency);
    EXPECT_EQ(f.xMax, 2.0);
    EXPECT_FALSE(f.verticalLabels);
    EXPECT_EQ(f.bottomCaption, "937.40000 MHz");
    ASSERT_EQ(f.bars.size(), 1u);
    EXPECT_EQ(f.bars[0].position, 1.0);
    EXPECT_EQ(f.bars[0].label, "-67 dBm");
    EXPECT_EQ(f.bars[0].levelDbm, -67.0);
}

TEST(SingleModeFrame, ChannelCaptionAndLabelEvenAtTheFloor)
{
    ReceiverSnapshot rx = cellularReceiver(); // count 4687: offset 45, channel 12
    rx.singleRssi = 0x88;
    const ReceiverFrame f = composeReceiverFrame(rx, kSingleChannel);
    EXPECT_EQ(f.bottomCaption, "Channel 12");
    EXPECT_EQ(f.bars[0].label, "-120 dBm");

    ReceiverSnapshot r2 = trunkedReceiver();
    r2.singleRssi = rssiByte(-88);
    EXPECT_EQ(composeReceiverFrame(r2, kSingleChannel).bottomCaption, "Channel 11");
    EXPECT_EQ(composeReceiverFrame(r2, kSingleFrequency).bottomCaption, "390.25000 MHz");
}

TEST(ListModeFrame, TenBarsLabelledWithFrequencies)
{
    ReceiverSnapshot rx = trunkedReceiver();
    const int dbm[10] = {-45, -60, -119, -120, -105, -66, -130, -96, -111, -58};
    for (int k = 0; k < 10; ++k)
        rx.listRssi[static_cast<std::size_t>(k)] = rssiByte(dbm[k]);
    const ReceiverFrame f = composeReceiverFrame(rx, kListFrequency);
    EXPECT_EQ(f.xMax, 11.0);
    EXPECT_TRUE(f.verticalLabels);
    EXPECT_EQ(f.bottomCaption, "Frequency");
    EXPECT_EQ(labels(f),
              (std::vector<std::string>{"390.2500", "390.8500", "391.3000", "", "392.2250",
                                        "392.6250", "", "393.5000", "394.0500", "394.5250"}));
    EXPECT_EQ(levels(f),
              (std::vector<double>{-45, -60, -119, -120, -105, -66, -130, -96, -111, -58}));
    for (int k = 0; k < 10; ++k)
        EXPECT_EQ(f.bars[static_cast<std::size_t>(k)].position, k + 1.0);
}

TEST(ListModeFrame, ChannelNumbersWrapWithTheNumberingFlag)
{
    ReceiverSnapshot rx = cellularReceiver(); // start count 4642
    rx.range.listCounts = {4642, 4643, 4675, 4676, 4677, 4742, 4660, 4700, 4799, 4641};
    rx.listRssi.fill(rssiByte(-80));
    const ReceiverFrame f = composeReceiverFrame(rx, kListChannel);
    EXPECT_EQ(f.bottomCaption, "Channel");
    // Offsets 0, 1, 33 are channels 991, 992, 1024; offset 34 is channel 1.
    EXPECT_EQ(labels(f), (std::vector<std::string>{"991", "992", "1024", "1", "2", "67", "1009",
                                                   "25", "124", "990"}));

    rx.range.channelsWrap = false;
    EXPECT_EQ(
        labels(composeReceiverFrame(rx, kListChannel)),
        (std::vector<std::string>{"1", "2", "34", "35", "36", "101", "19", "59", "158", "0"}));
}

TEST(ListModeFrame, NothingAboveTheFloorFeedsTheFloorToTheMap)
{
    ReceiverSnapshot rx = trunkedReceiver(); // every list reading at -120
    rx.listRssi[3] = rssiByte(-125);
    const ReceiverFrame f = composeReceiverFrame(rx, kListFrequency);
    for (const FrameBar& bar : f.bars)
        EXPECT_EQ(bar.label, "");
}

TEST(TableModeFrame, StrongestTenLabelledWithEntryNumbers)
{
    ReceiverSnapshot rx = trunkedReceiver();
    rx.tableRssi[10] = rssiByte(-50);  // entry 11
    rx.tableRssi[0] = rssiByte(-119);  // entry 1
    rx.tableRssi[200] = rssiByte(-70); // entry 201
    rx.tableRssi[7] = rssiByte(-120);  // entry 8: at the floor, no slot
    const ReceiverFrame f = composeReceiverFrame(rx, kTableChannel);
    EXPECT_EQ(f.xMax, 11.0);
    EXPECT_TRUE(f.verticalLabels);
    EXPECT_EQ(f.bottomCaption, "Channel");
    EXPECT_EQ(labels(f), (std::vector<std::string>{"11", "201", "1", "", "", "", "", "", "", ""}));
    EXPECT_EQ(levels(f),
              (std::vector<double>{-50, -70, -119, -120, -120, -120, -120, -120, -120, -120}));
}

TEST(TableModeFrame, FrequencyOfTheEntryTakenAsChannelNumber)
{
    ReceiverSnapshot rx = cellularReceiver();
    rx.tableRssi[990] = rssiByte(-50);  // entry 991: the first step, count 4642
    rx.tableRssi[0] = rssiByte(-60);    // entry 1: count 4642 + 34
    rx.tableRssi[1023] = rssiByte(-70); // entry 1024: count 4642 + 33
    const ReceiverFrame f = composeReceiverFrame(rx, kTableFrequency);
    EXPECT_EQ(f.bottomCaption, "Frequency");
    EXPECT_EQ(labels(f), (std::vector<std::string>{"928.4000", "935.2000", "935.0000", "", "", "",
                                                   "", "", "", ""}));

    ReceiverSnapshot r2 = trunkedReceiver();
    r2.tableRssi[10] = rssiByte(-50); // entry 11: count 15610
    EXPECT_EQ(composeReceiverFrame(r2, kTableFrequency).bars[0].label, "390.2500");
}

using Slots = std::array<TableSlot, kStrongestCount>;

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
