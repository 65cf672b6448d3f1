#include "logging/LogHeader.h"

#include "LogTestSupport.h"
#include "link/TReceiverLink.h"

#include <gtest/gtest.h>

namespace zentor {
namespace {

using logtest::Bytes;
using logtest::packetRecord;

const Bytes kLeadIn = {0, 0, 0, 0, 0, 0};
const Bytes kSignature = {0x0F, 0x00, 0x80, 'Q', 'X', 'V', 'Z', 'E', 'N',
                          'T',  'O',  'R',  '0', '4', '0', '1', 0xC2};
const Bytes kSerial = {0x0B, 0x00, 0x81, 'Z', 'T', '0', '0', '0', '4', '1', '7', 0x00, 0x8D};
const Bytes kBlock1 = {0xE8, 0x03, 0x00, 0x00, 0xD0, 0x07, 0x00, 0x00, 0x00, 0x19, 0x00, 0x00};
const Bytes kBlock2 = {0x44, 0x33, 0x22, 0x11, 0x88, 0x77, 0x66, 0x55, 0xCC, 0xBB, 0xAA, 0x99};

void feed(TReceiverLink& link, const Bytes& record)
{
    ASSERT_TRUE(link.HandlePacket(record.data(), record.size()));
}

Bytes receiversRecord(std::uint8_t flags, const Bytes& block1, const Bytes& block2First11)
{
    Bytes r = {0x19, 0x00, 0x01, flags};
    r.insert(r.end(), block1.begin(), block1.end());
    r.insert(r.end(), block2First11.begin(), block2First11.end());
    return r;
}

Bytes configurationData(std::uint8_t flags)
{
    Bytes data = {flags};
    data.insert(data.end(), kBlock1.begin(), kBlock1.end());
    data.insert(data.end(), kBlock2.begin(), kBlock2.end());
    return data;
}

Bytes statusBlocks()
{
    Bytes data(80);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i + 1);
    return packetRecord(0x06, data);
}

TEST(LogHeader, IsSixtyThreeBytesWithoutChannelInformation)
{
    TReceiverLink link;
    feed(link, packetRecord(0x1C, {'Z', 'T', '0', '0', '0', '4', '1', '7'}));
    feed(link, packetRecord(0x01, configurationData(0x03)));

    const Bytes header = buildLogHeader(logHeaderInputFrom(link.state()));
    const Bytes block2First11(kBlock2.begin(), kBlock2.begin() + 11);
    const Bytes expected =
        logtest::cat({kLeadIn, kSignature, kSerial, receiversRecord(0x03, kBlock1, block2First11)});
    ASSERT_EQ(expected.size(), 63u);
    EXPECT_EQ(header, expected);
}

TEST(LogHeader, EndsWithTheCapturedChannelInformation)
{
    TReceiverLink link;
    feed(link, packetRecord(0x1C, {'Z', 'T', '0', '0', '0', '4', '1', '7'}));
    feed(link, packetRecord(0x01, configurationData(0x03)));
    const Bytes status = statusBlocks();
    feed(link, status);

    const Bytes header = buildLogHeader(logHeaderInputFrom(link.state()));
    ASSERT_EQ(header.size(), 63u + 82u + 2u);
    EXPECT_EQ(Bytes(header.begin() + 63, header.end()), status);

    // After the warning dialog's OK the captured packet no longer opens a file.
    link.state().resetScanInformation();
    EXPECT_EQ(buildLogHeader(logHeaderInputFrom(link.state())).size(), 63u);
}

TEST(LogHeader, WritesAbsentReceiversAndAShortSerialNumberAsZeros)
{
    TReceiverLink link;
    feed(link, packetRecord(0x1C, {'A', 'B'}));
    feed(link, packetRecord(0x01, configurationData(0x02))); // receiver 2 only

    const Bytes header = buildLogHeader(logHeaderInputFrom(link.state()));
    const Bytes serial = {0x0B, 0x00, 0x81, 'A', 'B', 0, 0, 0, 0, 0, 0, 0x00, 0x82};
    const Bytes block2First11(kBlock2.begin(), kBlock2.begin() + 11);
    EXPECT_EQ(header, logtest::cat({kLeadIn, kSignature, serial,
                                    receiversRecord(0x02, Bytes(12, 0), block2First11)}));
}

TEST(LogHeader, LeavesOutAChannelInformationRecordThatIsNotWhole)
{
    LogHeaderInput input;
    input.channelInformation = {0x05, 0x00, 0x06, 0x01}; // says 5 body bytes, holds 2
    EXPECT_EQ(buildLogHeader(input).size(), 63u);
    input.channelInformation = {0x02, 0x00, 0x06, 0x06};
    EXPECT_EQ(buildLogHeader(input).size(), 67u);
}

} // namespace
} // namespace zentor
