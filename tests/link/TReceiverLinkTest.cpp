// The receiver protocol's steps around the decoder and the state: the commands it answers
// packets with, the mode it shows, the records it hands to the log unchanged, and the packets it
// counts as not decoded.
#include "link/TReceiverLink.h"

#include "ProtocolDoubles.h"

#include <gtest/gtest.h>

namespace zentor {
namespace {

using test::Bytes;
using test::packetRecord;

const Bytes kSendConfiguration = {0xAA, 0x02, 0x00, 0x01, 0x01};
const Bytes kSendChannelInfo = {0xAA, 0x02, 0x00, 0x30, 0x30};

class ReceiverLinkTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        link.setFrameWriter(&writer);
        link.setLogSink(&log);
        link.setModeListener([this](MeasurementMode m) { modes.push_back(m); });
    }
    void handle(const Bytes& record)
    {
        ASSERT_TRUE(link.HandlePacket(record.data(), record.size()));
    }

    TReceiverLink link;
    test::RecordingWriter writer;
    test::RecordingLog log;
    std::vector<MeasurementMode> modes;
};

TEST_F(ReceiverLinkTest, IdentificationIsAnsweredWithTheConfigurationRequest)
{
    handle(packetRecord(0x1C, {'Z', 'T', '0', '1', '2', '3', '4', '5'}));
    EXPECT_EQ(link.state().identification(), "ZT012345");
    handle(packetRecord(0x1C, {}));
    EXPECT_EQ(writer.taken(), (std::vector<Bytes>{kSendConfiguration, kSendConfiguration}));
}

TEST_F(ReceiverLinkTest, MeasurementsAskForChannelInformationUntilItIsCaptured)
{
    for (const std::uint8_t type : {0x02, 0x03, 0x07})
        handle(packetRecord(type, {0, 1, 0xB0}));
    EXPECT_EQ(writer.taken(), std::vector<Bytes>(3, kSendChannelInfo));
    handle(packetRecord(0x09, {0, 1, 0, 0xB0}));
    EXPECT_TRUE(writer.taken().empty()) << "table data asks for none and needs none";
    handle(packetRecord(0x07, {0, 1, 0xB0}));
    EXPECT_TRUE(writer.taken().empty());

    link.state().resetScanInformation();
    handle(packetRecord(0x07, {0, 1, 0xB0}));
    handle(packetRecord(0x05, {}));
    handle(packetRecord(0x02, {0xB0}));
    EXPECT_EQ(writer.taken(), std::vector<Bytes>{kSendChannelInfo});
}

TEST_F(ReceiverLinkTest, EveryMeasurementPacketShowsItsModeShortOnesToo)
{
    for (const std::uint8_t type : {0x02, 0x03, 0x07, 0x09, 0x07, 0x01, 0x04, 0x42})
        handle(packetRecord(type, {}));
    EXPECT_EQ(modes, (std::vector<MeasurementMode>{MeasurementMode::Single, MeasurementMode::Single,
                                                   MeasurementMode::List, MeasurementMode::Table,
                                                   MeasurementMode::List}));
}

TEST_F(ReceiverLinkTest, EveryWholeRecordGoesToTheLogUnchangedAndWhatIsNotDecodedIsCounted)
{
    const Bytes cut = {0x10, 0x00, 0x07, 0x00};
    EXPECT_FALSE(link.HandlePacket(cut.data(), cut.size()));

    const std::vector<Bytes> records = {
        packetRecord(0x42, {1, 2, 3}),          // unknown type
        packetRecord(0x04, {1}),                // short clock
        packetRecord(0x00, Bytes(20, 0x40)),    // short GPS record
        packetRecord(0x09, {0, 0xFF, 0xFF, 0}), // decoded; its index is refused by the state
        {0x01, 0x00, 0x00},                     // L = 1: type only
    };
    for (const Bytes& r : records)
        handle(r);
    EXPECT_EQ(log.taken(), records);
    EXPECT_EQ(link.state().linkQuality().packetsNotDecoded, 4u);

    link.setLogSink(nullptr);
    handle(packetRecord(0x42, {}));
    EXPECT_EQ(log.taken().size(), records.size());
}

} // namespace
} // namespace zentor
