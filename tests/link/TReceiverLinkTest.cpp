#include "link/TReceiverLink.h"

#include "ProtocolDoubles.h"
#include "link/ByteOrder.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>

namespace zentor {
namespace {

using test::Bytes;
using test::packetRecord;

const Bytes kSendConfiguration = {0xAA, 0x02, 0x00, 0x01, 0x01};
const Bytes kSendChannelInfo = {0xAA, 0x02, 0x00, 0x30, 0x30};

Bytes le32(std::int32_t v)
{
    Bytes b(4);
    writeLe32(b.data(), static_cast<std::uint32_t>(v));
    return b;
}

Bytes cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// A configuration block: start count, stop count, step x 256.
Bytes configBlock(std::int32_t start, std::int32_t stop, std::uint32_t stepTimes256)
{
    return cat({le32(start), le32(stop), le32(static_cast<std::int32_t>(stepTimes256))});
}

Bytes statusBlock(std::int32_t first)
{
    Bytes b;
    for (int k = 0; k < 10; ++k) {
        const Bytes v = le32(first + 3 * k);
        b.insert(b.end(), v.begin(), v.end());
    }
    return b;
}

class ReceiverLinkTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        link.setFrameWriter(&writer);
        link.setModeListener([this](MeasurementMode m) { modes.push_back(m); });
    }
    void handle(const Bytes& record)
    {
        ASSERT_TRUE(link.HandlePacket(record.data(), record.size()));
    }
    void configureBoth()
    {
        handle(packetRecord(0x01, cat({{0x03}, configBlock(1, 9, 256), configBlock(1, 9, 256)})));
    }

    TReceiverLink link;
    test::RecordingWriter writer;
    test::RecordingLog log;
    std::vector<MeasurementMode> modes;
};

TEST_F(ReceiverLinkTest, IdentificationIsStoredCutAtEightAndAnsweredWithConfigurationRequest)
{
    handle(packetRecord(0x1C, {'Z', 'T', '0', '1', '2', '3', '4', '5'}));
    EXPECT_EQ(link.state().identification(), "ZT012345");
    EXPECT_EQ(writer.taken(), std::vector<Bytes>{kSendConfiguration});

    handle(packetRecord(0x1C, {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K'}));
    EXPECT_EQ(link.state().identification(), "ABCDEFGH");
    handle(packetRecord(0x1C, {'A', 'B', 0, 'C'}));
    EXPECT_EQ(link.state().identification(), "AB");
    handle(packetRecord(0x1C, {}));
    EXPECT_EQ(link.state().identification(), "");
}

TEST_F(ReceiverLinkTest, ConfigurationStoresPresentReceiversAndTheirRanges)
{
    // Receiver 2 only, with the channel numbering flag (bit 3).
    const Bytes r1 = configBlock(100, 200, 512);
    const Bytes r2 = configBlock(4520, 4620, 51200); // 200 kHz steps
    handle(packetRecord(0x01, cat({{0x0A}, r1, r2})));
    EXPECT_TRUE(link.state().configurationReceived());
    ReceiverSnapshot one = link.state().receiver(0), two = link.state().receiver(1);
    EXPECT_FALSE(one.present);
    EXPECT_FALSE(one.everPresent);
    EXPECT_EQ(one.info.configuration, (std::array<std::uint8_t, 12>{}));
    EXPECT_TRUE(two.present);
    EXPECT_TRUE(two.everPresent);
    EXPECT_TRUE(std::equal(r2.begin(), r2.end(), two.info.configuration.begin()));
    EXPECT_EQ(two.range.startCount, 4520);
    EXPECT_EQ(two.range.stopCount, 4620);
    EXPECT_DOUBLE_EQ(two.range.stepKHz, 200.0);
    EXPECT_TRUE(two.range.channelsWrap);
    EXPECT_TRUE(link.state().takeRangesChanged(0));
    EXPECT_TRUE(link.state().takeRangesChanged(1));
    EXPECT_FALSE(link.state().takeRangesChanged(1));
    EXPECT_TRUE(link.state().takeStatusRangesChanged());

    // Receiver 2 goes away, receiver 1 appears; a packet too short for receiver 2's block.
    handle(packetRecord(0x01, cat({{0x03}, configBlock(7, 8, 1)})));
    one = link.state().receiver(0);
    two = link.state().receiver(1);
    EXPECT_TRUE(one.present);
    EXPECT_EQ(one.range.startCount, 7);
    EXPECT_FALSE(one.range.channelsWrap);
    EXPECT_DOUBLE_EQ(one.range.stepKHz, 1.0 / 256);
    EXPECT_TRUE(two.present);
    EXPECT_EQ(two.range.startCount, 4520) << "an incomplete block is not stored";

    handle(packetRecord(0x01, cat({{0x01}, r1, r2})));
    two = link.state().receiver(1);
    EXPECT_FALSE(two.present);
    EXPECT_TRUE(two.everPresent);
}

TEST_F(ReceiverLinkTest, SingleModeLevelsAreAveragedOnlyWhileTheEventIsClear)
{
    handle(packetRecord(0x02, {static_cast<std::uint8_t>(-60), static_cast<std::uint8_t>(-70),
                               static_cast<std::uint8_t>(-81)}));
    ReceiverSnapshot one = link.state().receiver(0);
    EXPECT_EQ(one.averageLevelDbm, -70); // -211 / 3, truncated
    EXPECT_EQ(one.singleRssi, static_cast<std::uint8_t>(-60));
    EXPECT_TRUE(link.state().takeNewData(0));
    EXPECT_FALSE(link.state().takeNewData(0));
    EXPECT_FALSE(link.state().takeNewData(1));
    EXPECT_EQ(modes, std::vector<MeasurementMode>{MeasurementMode::Single});
    EXPECT_EQ(writer.taken(), std::vector<Bytes>{kSendChannelInfo});

    link.state().receiverDataEvent(0).set();
    handle(packetRecord(0x02, {static_cast<std::uint8_t>(-40)}));
    EXPECT_EQ(link.state().receiver(0).averageLevelDbm, -70);
    EXPECT_FALSE(link.state().takeNewData(0));
    link.state().receiverDataEvent(0).reset();

    handle(packetRecord(0x03, {}));
    EXPECT_EQ(link.state().receiver(1).averageLevelDbm, -120);
    EXPECT_TRUE(link.state().takeNewData(1));
}

TEST_F(ReceiverLinkTest, ScanEntriesStoreOnlyValidEntriesOfPresentReceivers)
{
    handle(packetRecord(0x01, cat({{0x01}, configBlock(1, 9, 256)}))); // receiver 1 only
    handle(packetRecord(0x07, {0, 3, 0xB0,                             // stored
                               1, 4, 0xC4,                             // receiver 2 is absent
                               0, 10, 0xA0,                            // channel above 9
                               2, 5, 0xA0,                             // receiver 2 as well
                               0, 9, 0x90,                             // stored
                               0, 0, 0x99})); // a sixth entry is not part of the packet
    ReceiverSnapshot one = link.state().receiver(0);
    std::array<std::uint8_t, 10> expected;
    expected.fill(0x88);
    expected[3] = 0xB0;
    expected[9] = 0x90;
    EXPECT_EQ(one.listRssi, expected);
    EXPECT_TRUE(link.state().receiverDataEvent(0).isSet());
    EXPECT_FALSE(link.state().receiverDataEvent(1).isSet());
    EXPECT_EQ(modes.back(), MeasurementMode::List);

    // Readings that arrive before the display took its copy are stored all the same.
    handle(packetRecord(0x07, {0, 3, 0xC0, 0, 4})); // a short packet: its one whole entry
    EXPECT_EQ(link.state().receiver(0).listRssi[3], 0xC0);
    EXPECT_EQ(link.state().receiver(0).listRssi[4], 0x88);
    // The display's copy clears the event; the next reading sets it again.
    EXPECT_EQ(link.state().takeReceiver(0).listRssi[3], 0xC0);
    EXPECT_FALSE(link.state().receiverDataEvent(0).isSet());
    handle(packetRecord(0x07, {0, 1, 0xA1}));
    EXPECT_TRUE(link.state().receiverDataEvent(0).isSet());
    const ReadingCounts counts = link.state().readingCounts();
    EXPECT_EQ(counts.stored, (std::array<std::uint64_t, 2>{4, 0}));
    EXPECT_EQ(counts.taken, (std::array<std::uint64_t, 2>{3, 0}));
    EXPECT_EQ(counts.refused, 3u);
}

TEST_F(ReceiverLinkTest, AnyReceiverByteButZeroMeansReceiverTwo)
{
    configureBoth();
    handle(packetRecord(0x07, {1, 0, 0xA1, 2, 1, 0xA2, 0x80, 2, 0xA3, 0xFF, 3, 0xA4, 0, 4, 0xA5}));
    const ReceiverSnapshot one = link.state().receiver(0), two = link.state().receiver(1);
    EXPECT_EQ(two.listRssi, (std::array<std::uint8_t, 10>{0xA1, 0xA2, 0xA3, 0xA4, 0x88, 0x88, 0x88,
                                                          0x88, 0x88, 0x88}));
    EXPECT_EQ(one.listRssi[4], 0xA5);
    EXPECT_EQ(std::count(one.listRssi.begin(), one.listRssi.end(), 0x88), 9);
}

TEST_F(ReceiverLinkTest, TableEntriesStoreValidIndicesAndCaptureChannelInformation)
{
    configureBoth();
    handle(packetRecord(0x09, {1, 0xFF, 0x0B, 0xB5,    // index 3071
                               1, 0x00, 0x0C, 0xA0,    // index 3072 is outside the table
                               0, 0x10, 0x00, 0xC8,    // index 16
                               7, 0x01, 0x00, 0xC7})); // receiver 2 too
    const ReceiverSnapshot one = link.state().receiver(0), two = link.state().receiver(1);
    EXPECT_EQ(two.tableRssi[3071], 0xB5);
    EXPECT_EQ(two.tableRssi[1], 0xC7);
    EXPECT_EQ(one.tableRssi[16], 0xC8);
    EXPECT_EQ(std::count(one.tableRssi.begin(), one.tableRssi.end(), 0), kTableEntries - 1);
    EXPECT_EQ(std::count(two.tableRssi.begin(), two.tableRssi.end(), 0), kTableEntries - 2);
    EXPECT_EQ(one.lastTableIndex, 16);
    EXPECT_EQ(two.lastTableIndex, 1);
    EXPECT_TRUE(link.state().receiverDataEvent(0).isSet());
    EXPECT_TRUE(link.state().receiverDataEvent(1).isSet());
    EXPECT_TRUE(link.state().channelInformationCaptured());
    EXPECT_EQ(modes.back(), MeasurementMode::Table);
    EXPECT_TRUE(writer.taken().empty()) << "table data does not ask for channel information";
}

TEST_F(ReceiverLinkTest, ChannelInformationSetsCountsListsAndIsCaptured)
{
    configureBoth();
    link.state().receiverDataEvent(0).set();
    handle(packetRecord(0x07, {0, 1, 0xB0, 1, 2, 0xB1}));
    EXPECT_EQ(link.state().receiver(1).listRssi[2], 0xB1);
    (void)link.state().takeRangesChanged(0);

    const Bytes levels = packetRecord(0x05, cat({le32(1234), le32(-5)}));
    handle(levels);
    EXPECT_EQ(link.state().receiver(0).range.currentCount, 1234);
    EXPECT_EQ(link.state().receiver(0).range.currentCount, 1234);
    EXPECT_EQ(link.state().receiver(1).range.currentCount, -5);
    EXPECT_TRUE(link.state().channelInformationCaptured());
    EXPECT_EQ(link.state().channelInformation(), levels);
    EXPECT_TRUE(link.state().takeRangesChanged(0));

    const Bytes status = packetRecord(0x06, cat({statusBlock(40), statusBlock(70)}));
    handle(status);
    const ReceiverSnapshot one = link.state().receiver(0), two = link.state().receiver(1);
    EXPECT_EQ(one.range.currentCount, 40);
    EXPECT_EQ(one.range.listCounts[9], 67);
    EXPECT_EQ(two.range.listCounts[0], 70);
    EXPECT_EQ(two.range.currentCount, 70);
    EXPECT_EQ(two.listRssi[2], 0x88) << "a new list restarts the scan readings";
    EXPECT_EQ(link.state().channelInformation(), status);

    // A half status packet fills receiver 1 only.
    handle(packetRecord(0x06, statusBlock(500)));
    EXPECT_EQ(link.state().receiver(0).range.currentCount, 500);
    EXPECT_EQ(link.state().receiver(1).range.currentCount, 70);

    // With channel information captured, data packets no longer ask for it.
    writer.taken();
    handle(packetRecord(0x07, {0, 1, 0xB0}));
    EXPECT_TRUE(writer.taken().empty());
    link.state().resetScanInformation();
    EXPECT_FALSE(link.state().channelInformationCaptured());
    handle(packetRecord(0x07, {0, 1, 0xB0}));
    EXPECT_EQ(writer.taken(), std::vector<Bytes>{kSendChannelInfo});
}

TEST_F(ReceiverLinkTest, ClockAndGpsRecordsAreStoredWholeOrNotAtAll)
{
    handle(packetRecord(0x04, {5, 6, 7, 8, 9, 26}));
    EXPECT_FALSE(link.state().clockEvent().isSet());
    handle(packetRecord(0x04, {5, 6, 7, 8, 9, 26, 123}));
    const InstrumentClock c = link.state().instrumentClock();
    EXPECT_EQ(c.second, 5);
    EXPECT_EQ(c.hour, 7);
    EXPECT_EQ(c.month, 9);
    EXPECT_EQ(c.yearSince2000, 26);
    EXPECT_EQ(c.marker, 123);
    EXPECT_TRUE(link.state().clockEvent().isSet());

    Bytes gps(152);
    for (std::size_t i = 0; i < gps.size(); ++i)
        gps[i] = static_cast<std::uint8_t>(i);
    handle(packetRecord(0x00, Bytes(gps.begin(), gps.end() - 1)));
    EXPECT_FALSE(link.state().gpsEvent().isSet());
    handle(packetRecord(0x00, gps));
    EXPECT_TRUE(link.state().gpsEvent().isSet());
    EXPECT_TRUE(std::equal(gps.begin(), gps.end(), link.state().gpsRecord().begin()));
}

TEST_F(ReceiverLinkTest, RejectsRecordsThatAreNotWholeAndLogsEverythingElseUnchanged)
{
    const Bytes cut = {0x10, 0x00, 0x07, 0x00};
    EXPECT_FALSE(link.HandlePacket(cut.data(), cut.size()));
    const Bytes zeroLength = {0x00, 0x00, 0x07};
    EXPECT_FALSE(link.HandlePacket(zeroLength.data(), zeroLength.size()));
    EXPECT_FALSE(link.HandlePacket(cut.data(), 1));

    link.setLogSink(&log);
    const std::vector<Bytes> records = {
        packetRecord(0x42, {1, 2, 3}),          // unknown type
        packetRecord(0x04, {1}),                // short clock
        packetRecord(0x00, Bytes(20, 0x40)),    // short GPS record
        packetRecord(0x09, {0, 0xFF, 0xFF, 0}), // index out of range
        {0x01, 0x00, 0x00},                     // L = 1: type only
    };
    for (const Bytes& r : records)
        handle(r);
    EXPECT_EQ(log.taken(), records);
    link.setLogSink(nullptr);
    handle(packetRecord(0x42, {}));
    EXPECT_EQ(log.taken().size(), records.size());
}

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
