// The scan channel warning between the receiver protocol and the log: which packets it counts,
// when the box appears, that one box is shown at a time, and that every record passes on.
#include "app/ScanInformationWarning.h"

#include "link/ProtocolDoubles.h"
#include "support/RecordingMessages.h"

#include <gtest/gtest.h>

namespace zentor {
namespace {

using test::Bytes;
using test::packetRecord;

class ScanWarning : public ::testing::Test
{
protected:
    void handOver(std::uint8_t type)
    {
        const Bytes record = packetRecord(type, {0, 1, 0xB0});
        warning.handOver(record.data(), static_cast<std::uint16_t>(record.size()));
    }

    test::RecordingLog log;
    test::RecordingMessages messages;
    bool logging = false;
    bool captured = false;
    ScanInformationWarning warning{log, messages, [this] { return logging; },
                                   [this] { return captured; }};
};

TEST_F(ScanWarning, TwentyFirstUncapturedPacketWhileLoggingRaisesOneBoxAtATime)
{
    for (int i = 0; i < 30; ++i)
        handOver(0x07);
    EXPECT_EQ(warning.count(), 0) << "not logging: nothing is counted";

    logging = true;
    for (int i = 0; i < 20; ++i)
        handOver(i % 2 ? 0x02 : 0x07);
    handOver(0x04); // a clock packet is no measurement
    EXPECT_EQ(warning.count(), 20);
    EXPECT_TRUE(messages.messages().empty());
    handOver(0x03);
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].kind, MessageKind::Error);
    EXPECT_EQ(messages.messages()[0].text,
              "Scan Channel Information Not In Log File!! Restart scan. This "
              "message will continually popup until scan is stopped.");
    EXPECT_EQ(warning.count(), 0);
    EXPECT_EQ(log.taken().size(), 52u) << "every record passes on, the 21st too";

    // The box is still open: the next round does not stack a second one.
    for (int i = 0; i < 21; ++i)
        handOver(0x07);
    EXPECT_EQ(messages.messages().size(), 1u);
    messages.messages()[0].closed();
    for (int i = 0; i < 21; ++i)
        handOver(0x07);
    EXPECT_EQ(messages.messages().size(), 2u);

    // Channel information stops the counting; the dialog's reset starts it from zero.
    handOver(0x07);
    captured = true;
    handOver(0x07);
    EXPECT_EQ(warning.count(), 1);
    warning.reset();
    captured = false;
    EXPECT_EQ(warning.count(), 0);
    handOver(0x07);
    EXPECT_EQ(warning.count(), 1);
}

} // namespace
} // namespace zentor
