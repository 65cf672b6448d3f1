#include "app/StatusRefresh.h"

#include "link/ProtocolDoubles.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zentor {
namespace {

using test::Bytes;
using test::packetRecord;
using ::testing::ElementsAre;

class RecordingView : public StatusView
{
public:
    std::optional<std::int32_t> logFileSizeKb() override { return fileSizeKb; }
    void showFileSize(const std::string& text) override { calls.push_back("size " + text); }
    void showSerialNumber(const std::string& text) override { calls.push_back("SN " + text); }
    void showLinkStatus(const std::string& text) override { calls.push_back("link " + text); }
    void showRange(int receiver, const RangeTexts& t) override
    {
        calls.push_back("range" + std::to_string(receiver + 1) + " " + t.minimumMHz + " " +
                        t.maximumMHz + " " + t.stepKHz);
    }
    void showClock(const ClockTexts& t) override
    {
        calls.push_back("clock " + t.date + " " + t.time + " " + t.marker);
    }
    std::optional<std::int32_t> fileSizeKb;
    std::vector<std::string> calls;
};

void feed(TReceiverLink& link, std::uint8_t type, const Bytes& data)
{
    const Bytes record = packetRecord(type, data);
    ASSERT_TRUE(link.HandlePacket(record.data(), record.size()));
}

// Configuration: both present; receiver 1 counts 32000..32400 at 25 kHz (6400 / 256),
// receiver 2 counts 1000..1100 at 12.5 kHz (3200 / 256).
const Bytes kConfiguration{0x03,                                           //
                           0x00, 0x7D, 0x00, 0x00, 0x90, 0x7E, 0x00, 0x00, // 32000, 32400
                           0x00, 0x19, 0x00, 0x00,                         // 6400
                           0xE8, 0x03, 0x00, 0x00, 0x4C, 0x04, 0x00, 0x00, // 1000, 1100
                           0x80, 0x0C, 0x00, 0x00};                        // 3200

TEST(StatusRefresh, RangesAreWrittenOnlyWhileTheirMarkIsSet)
{
    TReceiverLink link;
    link.setStatusText("Connected via COM");
    feed(link, 0x1C, {'Z', 'E', 'N', '0', '0', '0', '4', '2'});
    feed(link, 0x01, kConfiguration);

    RecordingView view;
    refreshStatus(link, view);
    EXPECT_THAT(view.calls,
                ElementsAre("SN SN: ZEN00042", "link Connected via COM",
                            "range1 800.00000 810.00000 25.00", "range2 12.50000 13.75000 12.50"));

    view.calls.clear();
    refreshStatus(link, view);
    EXPECT_THAT(view.calls, ElementsAre("SN SN: ZEN00042", "link Connected via COM"));

    // A level value packet changes the ranges again.
    view.calls.clear();
    feed(link, 0x05, {0x10, 0x7D, 0x00, 0x00, 0xF0, 0x03, 0x00, 0x00});
    refreshStatus(link, view);
    EXPECT_EQ(view.calls.size(), 4u);
}

TEST(StatusRefresh, FileSizeIsShownOnlyWhileLogging)
{
    TReceiverLink link;
    RecordingView view;
    refreshStatus(link, view);
    EXPECT_THAT(view.calls, ElementsAre("SN SN: ", "link "));
    view.calls.clear();
    view.fileSizeKb = 1234;
    refreshStatus(link, view);
    EXPECT_THAT(view.calls, ElementsAre("size 1234 kB", "SN SN: ", "link "));
}

TEST(StatusRefresh, BeforeTheLinkOpensTheStatusTextIsEmpty)
{
    TReceiverLink link;
    RecordingView view;
    refreshStatus(link, view);
    EXPECT_THAT(view.calls, ElementsAre("SN SN: ", "link "));
}

TEST(StatusRefresh, ClockShowsTheLastClockPacket)
{
    TReceiverLink link;
    // second, minute, hour, day, month, year - 2000, marker
    feed(link, 0x04, {56, 34, 12, 31, 12, 7, 123});
    RecordingView view;
    refreshClock(link, view);
    EXPECT_THAT(view.calls, ElementsAre("clock 12/31/2007 12:34:56 Mrkr #23"));
}

} // namespace
} // namespace zentor
