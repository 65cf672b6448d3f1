#include "app/PacketCounter.h"
#include "app/StatusTexts.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zentor {
namespace {

using ::testing::ElementsAre;
using ::testing::Pair;

TEST(StatusLine, ShowsLinkFramesPacketsLogAndPosition)
{
    RunFigures s;
    s.elapsedSeconds = 12;
    s.linkStatus = "Connected via COM";
    s.framing = {254, 3, 1, 57};
    s.packets = {{0, 12}, {1, 1}, {7, 240}};
    s.logSizeKb = 34;
    s.position = gpsPositionText(true, "3D Fix", 52.011604, -4.357149);
    EXPECT_EQ(statusLineText(s),
              "12 s | Connected via COM | frames 254 good, 3 bad checksum, 1 bad length; 57 bytes "
              "skipped | packets 0:12 1:1 7:240 | log 34 kB | GPS 3D Fix 52.01160 -4.35715");
}

TEST(StatusLine, SaysWhatIsNotThereYet)
{
    RunFigures s;
    s.position = gpsPositionText(false, "No Fix", 0.0, 0.0);
    const std::string noFrames = "frames 0 good, 0 bad checksum, 0 bad length; 0 bytes skipped";
    EXPECT_EQ(statusLineText(s),
              "0 s | no link | " + noFrames + " | packets none | log off | GPS no record");
    s.logWaiting = true;
    EXPECT_EQ(statusLineText(s),
              "0 s | no link | " + noFrames + " | packets none | log waiting | GPS no record");
    EXPECT_EQ(gpsPositionText(true, "3D Fix", 52.011604, -4.357149, true),
              "GPS link lost, last 52.01160 -4.35715")
        << "no fix is claimed while the link is lost";
    EXPECT_EQ(gpsPositionText(false, "No Fix", 0.0, 0.0, true), "GPS link lost");
    EXPECT_EQ(travelPilotPositionText("", ""), "TravelPilot no position");
    EXPECT_EQ(travelPilotPositionText("N 52.0116", "E 4.3571"), "TravelPilot N 52.0116 E 4.3571");
}

struct RecordingSink final : LogSink
{
    void handOver(const std::uint8_t* data, std::uint16_t count) override
    {
        records.emplace_back(data, data + count);
    }
    std::vector<std::vector<std::uint8_t>> records;
};

TEST(PacketCounter, CountsByTypeAndPassesEveryRecordOnUnchanged)
{
    RecordingSink log;
    PacketCounter counter(log);
    const std::vector<std::vector<std::uint8_t>> records = {
        {0x02, 0x00, 0x07, 0x07},
        {0x02, 0x00, 0x00, 0x00},
        {0x02, 0x00, 0x07, 0x07},
        {0x02, 0x00, 0xC0, 0xC0},
        {0x01, 0x00}, // too short to have a type: passed, not counted
    };
    for (const auto& r : records)
        counter.handOver(r.data(), static_cast<std::uint16_t>(r.size()));
    EXPECT_THAT(counter.counts(), ElementsAre(Pair(0, 1u), Pair(7, 2u), Pair(0xC0, 1u)));
    EXPECT_EQ(log.records, records);
}

} // namespace
} // namespace zentor
