#include "zentor-sim/ReplayStream.h"

#include "ReplayTestLog.h"
#include "SimTestSupport.h"
#include "zentor-sim/ReplayStream.h"

#include <gtest/gtest.h>
#include <vector>

namespace zentor::sim {
namespace {

using test::cat;
using test::hex;

constexpr std::uint8_t kClock = 0x04;
constexpr std::uint8_t kList = 0x07;

// The frames a stream hands over at each of `times`, one list per time.
std::vector<std::vector<Bytes>> dueAt(ReplayStream& stream, const std::vector<std::int64_t>& times)
{
    std::vector<std::vector<Bytes>> out;
    for (std::int64_t t : times)
        out.push_back(stream.due(t));
    return out;
}

// The frames a stream hands over when asked every `stepMs` from `fromMs` to `toMs`.
std::vector<Bytes> dueUpTo(ReplayStream& stream, std::int64_t fromMs, std::int64_t toMs,
                           std::int64_t stepMs)
{
    std::vector<Bytes> out;
    for (std::int64_t t = fromMs; t <= toMs; t += stepMs)
        for (Bytes& frame : stream.due(t))
            out.push_back(std::move(frame));
    return out;
}

// A log of `types`, each packet carrying its index as its one data byte.
Bytes logOf(const std::vector<std::uint8_t>& types)
{
    Bytes file;
    for (std::size_t i = 0; i < types.size(); ++i) {
        const auto index = static_cast<std::uint8_t>(i);
        file.insert(file.end(),
                    {0x03, 0x00, types[i], index, static_cast<std::uint8_t>(types[i] ^ index)});
    }
    return file;
}

std::vector<std::uint8_t> indexesOf(const std::vector<Bytes>& frames)
{
    std::vector<std::uint8_t> indexes;
    for (const Bytes& f : frames)
        indexes.push_back(f[4]);
    return indexes;
}

TEST(ReplaySchedule, SpreadsThePacketsOfEachSecondEvenlyFromItsClockPacket)
{
    const struct
    {
        const char* legend;
        std::vector<std::uint8_t> types;
        std::vector<double> seconds;
    } cases[] = {
        {"no packets", {}, {}},
        {"no clock: 20 a second", {kList, kList, kList}, {0.0, 0.05, 0.1}},
        {"one clock: 20 a second", {kList, kClock, kList}, {0.0, 0.05, 0.1}},
        {"four, then two packets a second",
         {kClock, kList, kList, kList, kClock, kList, kClock},
         {0.0, 0.25, 0.5, 0.75, 1.0, 1.5, 2.0}},
        {"before the first clock: the first second's pace; after the last: the last second's",
         {kList, kList, kClock, kList, kList, kList, kClock, kList, kList},
         {0.0, 0.25, 0.5, 0.75, 1.0, 1.25, 1.5, 1.75, 2.0}},
        {"clock packets back to back", {kClock, kClock, kClock, kList}, {0.0, 1.0, 2.0, 3.0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(replaySchedule(c.types), c.seconds) << c.legend;
}

TEST(ReplayStream, SendsAtTheLogsPaceDividedByTheSpeed)
{
    // Packets 0-3 in the first second, 4-5 in the second, 6 starts the third.
    const ReplayLog log(logOf({kClock, kList, kList, kList, kClock, kList, kClock}));

    ReplayStream normal(log, 1.0, "ZT012345");
    EXPECT_FALSE(normal.ended());
    EXPECT_TRUE(normal.start(10000).empty());
    EXPECT_EQ(normal.nextDueMs(), 10000);
    const auto atOne = dueAt(normal, {10000, 10249, 10250, 10999, 11000, 11499, 11500});
    EXPECT_EQ(indexesOf(atOne[0]), std::vector<std::uint8_t>{0});
    EXPECT_TRUE(atOne[1].empty());
    EXPECT_EQ(indexesOf(atOne[2]), std::vector<std::uint8_t>{1});
    EXPECT_EQ(indexesOf(atOne[3]), (std::vector<std::uint8_t>{2, 3}));
    EXPECT_EQ(indexesOf(atOne[4]), std::vector<std::uint8_t>{4});
    EXPECT_TRUE(atOne[5].empty());
    EXPECT_EQ(indexesOf(atOne[6]), std::vector<std::uint8_t>{5});
    EXPECT_FALSE(normal.ended());
    EXPECT_EQ(indexesOf(normal.due(12000)), std::vector<std::uint8_t>{6});
    EXPECT_TRUE(normal.ended());
    EXPECT_EQ(normal.sent(), 7u);
    EXPECT_GT(normal.nextDueMs(), 1000000000000LL) << "nothing left";

    ReplayStream fast(log, 4.0, "ZT012345");
    fast.start(0);
    const auto atFour = dueAt(fast, {0, 187, 250, 375, 500});
    EXPECT_EQ(indexesOf(atFour[0]), std::vector<std::uint8_t>{0});
    EXPECT_EQ(indexesOf(atFour[1]), (std::vector<std::uint8_t>{1, 2})) << "at 62.5 and 125 ms";
    EXPECT_EQ(indexesOf(atFour[2]), (std::vector<std::uint8_t>{3, 4}));
    EXPECT_EQ(indexesOf(atFour[3]), std::vector<std::uint8_t>{5});
    EXPECT_EQ(indexesOf(atFour[4]), std::vector<std::uint8_t>{6});

    ReplayStream slow(log, 0.5, "ZT012345");
    slow.start(0);
    EXPECT_EQ(indexesOf(dueUpTo(slow, 0, 1000, 500)), (std::vector<std::uint8_t>{0, 1, 2}));
    EXPECT_EQ(indexesOf(slow.due(1999)), std::vector<std::uint8_t>{3});
    EXPECT_EQ(slow.nextDueMs(), 2000);

    ReplayStream flat(log, 0.0, "ZT012345");
    flat.start(500);
    EXPECT_EQ(flat.nextDueMs(), 500);
    EXPECT_EQ(flat.due(500).size(), 7u) << "as fast as the line takes them";
    EXPECT_TRUE(flat.ended());
}

TEST(ReplayStream, HandsOverABoundedBatchAndDropsNothingWhenHeldBack)
{
    const ReplayLog log(logOf(std::vector<std::uint8_t>(200, kList))); // 10 s at 20 a second
    ReplayStream flat(log, 0.0, "ZT012345");
    flat.start(0);
    std::vector<std::uint8_t> all;
    for (int call = 0; !flat.ended(); ++call) {
        ASSERT_LT(call, 10);
        const std::vector<Bytes> batch = flat.due(0);
        EXPECT_LE(batch.size(), 64u);
        for (std::uint8_t i : indexesOf(batch))
            all.push_back(i);
    }
    ASSERT_EQ(all.size(), 200u);
    for (std::size_t i = 0; i < all.size(); ++i)
        EXPECT_EQ(all[i], i);

    // The line held the replay for three seconds after packet 9: packets 10 to 29 come at once,
    // (a second's worth), and the rest at the recorded pace from there.
    ReplayStream held(log, 1.0, "ZT012345");
    held.start(0);
    EXPECT_EQ(held.due(450).size(), 10u);
    EXPECT_EQ(indexesOf(held.due(3500)), std::vector<std::uint8_t>{10});
    EXPECT_EQ(held.nextDueMs(), 3550);
    EXPECT_EQ(indexesOf(held.due(3600)), (std::vector<std::uint8_t>{11, 12}));
}

TEST(ReplayStream, AnswersAsTheRecordedInstrumentWouldAtThatPointOfTheLog)
{
    const ReplayLog log(test::testLog());
    ReplayStream stream(log, 0.0, "ZT012345");
    EXPECT_EQ(stream.answer(0x1C), std::vector<Bytes>{hex("AA 06 00 1C 5A 54 37 37 12")})
        << "the header's serial number ZT77";
    EXPECT_EQ(stream.answer(0x01), std::vector<Bytes>{*log.headerConfiguration()});
    EXPECT_EQ(stream.answer(0x30), std::vector<Bytes>{test::testLogFrames()[0]});
    EXPECT_TRUE(stream.answer(0x55).empty());

    // A log whose packets change the configuration and the channel information on the way.
    const Bytes level1 = hex("0A 00 05 B0 04 00 00 B8 0B 00 00 02");
    const Bytes status1 = cat({hex("52 00 06"), Bytes(80, 0x11), hex("06")});
    const Bytes config1 = hex("04 00 01 03 07 05");
    const Bytes level2 = hex("0A 00 05 B1 04 00 00 B8 0B 00 00 03");
    const Bytes config2 = hex("04 00 01 03 08 0A");
    const Bytes identification = hex("05 00 1C 41 42 43 5C");
    const Bytes clock = hex("09 00 04 09 05 0E 03 0C 07 7B 75");
    const ReplayLog changing(
        cat({identification, level1, config1, clock, status1, level2, config2, clock}));
    ReplayStream replay(changing, 0.5, "ZT012345");
    const auto framed = [](const Bytes& record) { return cat({hex("AA"), record}); };
    EXPECT_EQ(replay.answer(0x1C), std::vector<Bytes>{framed(identification)})
        << "no header: the log's identification packet";
    EXPECT_EQ(replay.answer(0x01), std::vector<Bytes>{framed(config1)}) << "the log's first";
    EXPECT_EQ(replay.answer(0x30), (std::vector<Bytes>{framed(level1), framed(status1)}));
    replay.start(0);
    EXPECT_EQ(dueUpTo(replay, 0, 2500, 100).size(), 6u) << "up to level2, at 2500 ms";
    EXPECT_EQ(replay.answer(0x01), std::vector<Bytes>{framed(config1)});
    EXPECT_EQ(replay.answer(0x30), (std::vector<Bytes>{framed(level2), framed(status1)}));
    EXPECT_EQ(dueUpTo(replay, 2600, 3500, 100).size(), 2u);
    EXPECT_TRUE(replay.ended());
    EXPECT_EQ(replay.answer(0x01), std::vector<Bytes>{framed(config2)});
    replay.start(5000);
    EXPECT_EQ(replay.answer(0x01), std::vector<Bytes>{framed(config1)})
        << "a new client's replay starts again from the log's start";
    EXPECT_FALSE(replay.ended());

    const ReplayLog bare(hex("09 00 04 09 05 0E 03 0C 07 7B 75"));
    const ReplayStream fallback(bare, 1.0, "FIELD7");
    EXPECT_EQ(fallback.answer(0x1C), std::vector<Bytes>{hex("AA 08 00 1C 46 49 45 4C 44 37 69")});
    EXPECT_TRUE(fallback.answer(0x01).empty());
    EXPECT_TRUE(fallback.answer(0x30).empty());
}

} // namespace
} // namespace zentor::sim
