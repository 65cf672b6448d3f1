// The replayed drive as the link thread reads it: the header's identification and configuration
// first, then the log's frames at their pace; pause, a jump back, the end for good, and the
// files it refuses or replays only in part. The whole path behind it is tested end to end in
// tests/app/program/ReplayDriveTest.cpp.
#include "logging/ReplayTransport.h"

#include "logging/ReadWholeFile.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>

namespace zentor {
namespace {

const std::string kReference = ZENTOR_TEST_DATA "/reference.KLF";

Bytes referenceBytes()
{
    Bytes file;
    std::string error;
    EXPECT_TRUE(readWholeFile(kReference, file, error)) << error;
    return file;
}

// Everything the transport hands over now, read after read, until it has nothing more.
Bytes readAll(ReplayTransport& replay)
{
    Bytes all;
    std::uint8_t buffer[4096];
    for (std::int16_t n; (n = replay.Read(buffer, sizeof buffer)) > 0;)
        all.insert(all.end(), buffer, buffer + n);
    return all;
}

Bytes wireOf(const ReplayLog& log)
{
    Bytes wire = *log.headerIdentification();
    wire.insert(wire.end(), log.headerConfiguration()->begin(), log.headerConfiguration()->end());
    for (std::size_t i = 0; i < log.frameCount(); ++i) {
        const Bytes frame = log.frame(i);
        wire.insert(wire.end(), frame.begin(), frame.end());
    }
    return wire;
}

TEST(ReplayTransport, HandsTheHeaderFirstThenEveryFrameAndEndsForGood)
{
    const ReplayLog log(referenceBytes());
    ASSERT_TRUE(log.hasHeader());
    std::int64_t nowMs = 0;
    ReplayTransport replay(log, "reference.KLF", ReplayTransport::kMaxSpeed, [&] { return nowMs; });
    std::uint8_t buffer[16];
    EXPECT_EQ(replay.Read(buffer, sizeof buffer), -1) << "nothing before it is opened";
    ASSERT_EQ(replay.Open(), OpenResult::Opened);
    EXPECT_EQ(replay.connectedText(), "Replaying reference.KLF at max");
    const std::uint8_t identify[] = {0xAA, 0x02, 0x00, 0x1C, 0x1C};
    EXPECT_EQ(replay.Write(identify, sizeof identify), 5) << "taken, and sent nowhere";

    Bytes all;
    for (int reads = 0; reads < 100 && !replay.gone(); ++reads) {
        const Bytes more = readAll(replay); // the GPS record's hold ends at its limit
        all.insert(all.end(), more.begin(), more.end());
        nowMs += ReplayTransport::kHoldLimit.count();
    }
    EXPECT_EQ(all, wireOf(log));
    EXPECT_TRUE(replay.gone());
    EXPECT_EQ(replay.endedText(), "Replay ended");
    EXPECT_TRUE(replay.endsForGood());
    EXPECT_EQ(replay.Open(), OpenResult::NotAvailable);
    EXPECT_TRUE(replay.position().ended);
}

TEST(ReplayTransport, PausesAndJumpsBackByRunningTheDriveFromItsStart)
{
    const ReplayLog log(referenceBytes());
    std::int64_t nowMs = 0;
    ReplayTransport replay(log, "reference.KLF", 1.0, [&] { return nowMs; });
    replay.Open();
    const Bytes first = readAll(replay);
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(replay.position().seconds, 0.0);
    EXPECT_EQ(replay.position().totalSeconds, 1.25) << "a second, and the pace of it around";

    replay.setPaused(true);
    nowMs = 5000;
    EXPECT_TRUE(readAll(replay).empty()) << "paused";
    EXPECT_EQ(replay.connectedText(), "Replaying reference.KLF at 1x (paused)");
    replay.seekTo(1.0);
    const Bytes ahead = readAll(replay);
    EXPECT_EQ(replay.position().seconds, 1.0) << "the jump runs ahead while paused";
    EXPECT_TRUE(replay.position().paused);

    replay.seekTo(0.0);
    const Bytes restarted = readAll(replay);
    ASSERT_GE(restarted.size(), first.size());
    EXPECT_EQ(Bytes(restarted.begin(), restarted.begin() + static_cast<long>(first.size())), first)
        << "back to the start: the header's packets and the first packet again";
    EXPECT_EQ(replay.position().seconds, 0.0);
}

TEST(ReplayTransport, RefusesWhatIsNoLogAndSaysWhereACutShortLogStops)
{
    const std::string path = ::testing::TempDir() + "replay-transport-test.KLF";
    std::string error;
    EXPECT_EQ(ReplayTransport::load(path + ".none", 1.0, error), nullptr);
    EXPECT_EQ(error, "Cannot read " + path + ".none: No such file or directory");

    std::ofstream(path) << "drive notes\n";
    EXPECT_EQ(ReplayTransport::load(path, 1.0, error), nullptr);
    EXPECT_EQ(error, path + " is not a data logger log: it does not start with a log header");

    const Bytes whole = referenceBytes();
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(whole.data()), 400);
    const auto cut = ReplayTransport::load(path, 1.0, error);
    ASSERT_NE(cut, nullptr) << error;
    EXPECT_EQ(cut->stopText(),
              "replay-transport-test.KLF is truncated at byte 384 (record) of 400: the replay "
              "stops there, after the whole packets before it");
    std::remove(path.c_str());
}

} // namespace
} // namespace zentor
