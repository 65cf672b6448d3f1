#include "ReplayTestLog.h"
#include "SimTestSupport.h"
#include "zentor-sim/ReplayReport.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zentor::sim {
namespace {

using test::cat;
using test::hex;

std::vector<Bytes> framesOf(const ReplayLog& log)
{
    std::vector<Bytes> frames;
    for (std::size_t i = 0; i < log.frameCount(); ++i)
        frames.push_back(log.frame(i));
    return frames;
}

// The bytes of the test log with the record at `index` replaced.
Bytes testLogWith(std::size_t index, const Bytes& replacement)
{
    std::vector<test::TestLogRecord> records = test::testLogRecords();
    records[index].bytes = replacement;
    Bytes file;
    for (const test::TestLogRecord& r : records)
        file.insert(file.end(), r.bytes.begin(), r.bytes.end());
    return file;
}

TEST(ReplayLog, SendsTheInstrumentPacketsOfALogAsWireFramesInOrder)
{
    const Bytes file = test::testLog();
    ASSERT_EQ(file.size(), 165u);
    const ReplayLog log(file);

    EXPECT_EQ(framesOf(log), test::testLogFrames())
        << "the header's channel information and every packet after the header, TravelPilot "
           "records left out";
    EXPECT_EQ(log.types(), (std::vector<std::uint8_t>{0x05, 0x04, 0x07, 0x07, 0x04}));
    EXPECT_EQ(log.serialNumber(), std::optional<std::string>("ZT77"));
    ASSERT_TRUE(log.headerConfiguration());
    EXPECT_EQ(*log.headerConfiguration(), hex("AA 1B 00 01 03 B0 04 00 00 D0 07 00 00 00 19 00 00"
                                              "B8 0B 00 00 A0 0F 00 00 80 0C 00 00 E8"))
        << "receiver 2's block gets back its last byte as 0x00";
    EXPECT_EQ(log.travelPilotRecords(), 2u);
    EXPECT_TRUE(log.badChecksumOffsets().empty());
    EXPECT_EQ(log.verdict(), KlfVerdict::Whole);
    EXPECT_FALSE(log.stopOffset());
    EXPECT_EQ(describeReplayLog("drive.KLF", log),
              "zentor-sim: replaying drive.KLF: 5 instrument packets; 2 TravelPilot records left "
              "out\n");
}

TEST(ReplayLog, ReplaysTheWholeRecordsOfAFileCutShortAnywhere)
{
    const Bytes file = test::testLog();
    const std::vector<test::TestLogRecord> records = test::testLogRecords();
    for (std::size_t cut = 0; cut <= file.size(); ++cut) {
        const ReplayLog log(Bytes(file.begin(), file.begin() + static_cast<long>(cut)));
        std::vector<Bytes> whole;
        std::size_t end = 0;
        for (const test::TestLogRecord& r : records) {
            if (end + r.bytes.size() > cut)
                break;
            end += r.bytes.size();
            if (r.sent)
                whole.push_back(cat({hex("AA"), r.bytes}));
        }
        EXPECT_EQ(framesOf(log), whole) << "cut at " << cut;
        if (cut == end && cut >= 63)
            EXPECT_FALSE(log.stopOffset()) << "cut at " << cut << ", between records";
        else
            EXPECT_EQ(log.stopOffset(), std::optional<std::size_t>(end)) << "cut at " << cut;
    }

    const ReplayLog cut(Bytes(file.begin(), file.begin() + 160));
    EXPECT_EQ(cut.verdict(), KlfVerdict::Truncated);
    EXPECT_EQ(describeReplayLog("drive.KLF", cut),
              "zentor-sim: replaying drive.KLF: 4 instrument packets; 2 TravelPilot records left "
              "out\n"
              "zentor-sim: drive.KLF is truncated at byte 154 (record) of 160: the replay stops "
              "there, after the whole packets before it\n");
}

TEST(ReplayLog, LeavesOutARecordWithAWrongChecksumAndGoesOn)
{
    const ReplayLog log(
        testLogWith(6, hex("11 00 07 00 00 B0 01 01 AF 00 02 AE 01 03 AD 00 04 AC B4")));
    EXPECT_EQ(log.types(), (std::vector<std::uint8_t>{0x05, 0x04, 0x07, 0x04}));
    EXPECT_EQ(log.badChecksumOffsets(), std::vector<std::size_t>{86});
    EXPECT_FALSE(log.stopOffset());
    EXPECT_EQ(describeReplayLog("drive.KLF", log),
              "zentor-sim: replaying drive.KLF: 4 instrument packets; 2 TravelPilot records left "
              "out\n"
              "zentor-sim: drive.KLF: 1 record with a wrong checksum left out, the first at byte "
              "86\n");
}

TEST(ReplayLog, StopsAtALengthNoPacketHasAndKeepsWhatCameBefore)
{
    const ReplayLog log(testLogWith(9, hex("00 00 07 00 05 AF")));
    EXPECT_EQ(log.types(), (std::vector<std::uint8_t>{0x05, 0x04, 0x07}));
    EXPECT_EQ(log.stopOffset(), std::optional<std::size_t>(135));
    EXPECT_EQ(describeReplayLog("d.KLF", log),
              "zentor-sim: replaying d.KLF: 3 instrument packets; 2 TravelPilot records left out\n"
              "zentor-sim: d.KLF is damaged at byte 135 (length 0) of 152: the replay stops "
              "there, after the whole packets before it\n");

    // A wrong checksum is the first problem, so where the walk stops has no name of its own.
    Bytes both = testLogWith(6, hex("11 00 07 00 00 B0 01 01 AF 00 02 AE 01 03 AD 00 04 AC B4"));
    both[135] = 0xFF;
    both[136] = 0x0F;
    const ReplayLog twice(both);
    EXPECT_EQ(twice.types(), (std::vector<std::uint8_t>{0x05, 0x04}));
    EXPECT_EQ(describeReplayLog("d.KLF", twice),
              "zentor-sim: replaying d.KLF: 2 instrument packets; 2 TravelPilot records left out\n"
              "zentor-sim: d.KLF is unreadable from byte 135 of 165: the replay stops there, "
              "after the whole packets before it\n"
              "zentor-sim: d.KLF: 1 record with a wrong checksum left out, the first at byte 86\n");
}

TEST(ReplayLog, ReadsAFileOfPacketsWithoutHeader)
{
    const std::vector<test::TestLogRecord> records = test::testLogRecords();
    Bytes file;
    for (std::size_t i = 5; i < records.size(); ++i)
        file.insert(file.end(), records[i].bytes.begin(), records[i].bytes.end());
    const ReplayLog log(file);
    EXPECT_EQ(log.types(), (std::vector<std::uint8_t>{0x04, 0x07, 0x07, 0x04}));
    EXPECT_EQ(log.frame(0), hex("AA 09 00 04 09 05 0E 03 0C 07 7B 75"));
    EXPECT_FALSE(log.serialNumber());
    EXPECT_FALSE(log.headerConfiguration());
    EXPECT_FALSE(log.stopOffset());

    for (const Bytes& odd : {Bytes{}, hex("00 00 00"), hex("41 42 43 44 45")}) {
        const ReplayLog nothing(odd);
        EXPECT_EQ(nothing.frameCount(), 0u);
    }
}

TEST(ReplayLog, ReadsTheReferenceLogOfTheLogRouter)
{
    Bytes file;
    std::string error;
    ASSERT_TRUE(readLogFile(ZENTOR_TEST_DATA "/reference.KLF", file, error)) << error;
    const ReplayLog log(file);
    EXPECT_EQ(log.frameCount(), 16u);
    EXPECT_EQ(log.serialNumber(), std::optional<std::string>("ZT000417"));
    EXPECT_EQ(log.travelPilotRecords(), 2u);
    EXPECT_EQ(log.verdict(), KlfVerdict::Whole);
    EXPECT_EQ(log.frame(0), cat({hex("AA"), Bytes(file.begin() + 63, file.begin() + 147)}));
    EXPECT_EQ(log.frame(15), cat({hex("AA"), Bytes(file.begin() + 597, file.end())}));

    EXPECT_FALSE(readLogFile(ZENTOR_TEST_DATA "/no-such.KLF", file, error));
    EXPECT_EQ(error,
              "cannot read the log '" ZENTOR_TEST_DATA "/no-such.KLF': No such file or directory");
    EXPECT_FALSE(readLogFile(ZENTOR_TEST_DATA, file, error)) << "a folder is no log";
}

} // namespace
} // namespace zentor::sim
