// Log mode switched on before the instrument has identified itself: when the held file may start
// (a table of record sequences and times), that the held records come out whole and in order, and
// that a hold never grows past its bound. LogSessionTest checks the file a session writes then.
#include "logging/LogHold.h"

#include "LogTestSupport.h"

#include <gtest/gtest.h>

namespace zentor {
namespace {

using namespace logtest;
using Clock = LogHold::Clock;
using Verdict = LogHold::Verdict;

struct Collected final : LogSink
{
    void handOver(const std::uint8_t* data, std::uint16_t count) override
    {
        records.emplace_back(data, data + count);
    }
    std::vector<Bytes> records;
};

struct HoldCase
{
    const char* legend;
    std::vector<std::pair<std::uint8_t, int>> records; // type, and the second it arrives
    int askedAtSecond;
    Verdict verdict;
};

TEST(LogHold, StartsTheFileOnceTheHeaderIsCompleteOrTheWaitIsOver)
{
    const HoldCase cases[] = {
        {"nothing yet", {}, 100, Verdict::Hold},
        {"identified, not configured", {{0x1C, 0}}, 9, Verdict::Hold},
        {"identified and configured, no measurement yet",
         {{0x1C, 0}, {0x01, 0}},
         60,
         Verdict::Hold},
        {"channel information first, as the simulator sends it",
         {{0x06, 0}, {0x05, 0}, {0x1C, 0}, {0x07, 0}, {0x01, 0}},
         0,
         Verdict::Complete},
        {"status blocks after the configuration",
         {{0x1C, 0}, {0x01, 0}, {0x06, 1}},
         1,
         Verdict::Complete},
        {"measuring without channel information, 2 s",
         {{0x1C, 0}, {0x01, 0}, {0x07, 1}},
         3,
         Verdict::Hold},
        {"measuring without channel information, 3 s",
         {{0x1C, 0}, {0x01, 0}, {0x07, 1}},
         4,
         Verdict::Complete},
        {"table mode counts as measuring", {{0x1C, 0}, {0x01, 0}, {0x09, 0}}, 3, Verdict::Complete},
        {"never identified, 9 s after its first packet", {{0x07, 5}, {0x04, 6}}, 14, Verdict::Hold},
        {"never identified, 10 s after its first packet",
         {{0x07, 5}, {0x04, 6}},
         15,
         Verdict::Incomplete},
        {"only a TravelPilot, 10 s", {{0xC0, 0}}, 10, Verdict::Incomplete},
    };
    const Clock::time_point start = Clock::now();
    for (const HoldCase& c : cases) {
        SCOPED_TRACE(c.legend);
        LogHold hold(1 << 20);
        for (const auto& [type, second] : c.records) {
            const Bytes record = packetRecord(type, {1, 2});
            ASSERT_TRUE(hold.hold(record.data(), static_cast<std::uint16_t>(record.size()),
                                  start + std::chrono::seconds(second)));
        }
        EXPECT_EQ(hold.verdict(start + std::chrono::seconds(c.askedAtSecond)), c.verdict);
    }
}

TEST(LogHold, HandsOverEveryRecordInOrderAndKeepsToItsBound)
{
    const Bytes first = packetRecord(0x1C, {'Z', 'T'});
    const Bytes second = packetRecord(0x07, {0, 1, 0xB0});
    const Bytes short1 = {0x01, 0x00}; // no type byte: held, told nothing
    LogHold hold(first.size() + second.size() + short1.size());
    const Clock::time_point now = Clock::now();
    for (const Bytes* r : {&first, &second, &short1})
        ASSERT_TRUE(hold.hold(r->data(), static_cast<std::uint16_t>(r->size()), now));
    EXPECT_FALSE(hold.hold(first.data(), 1, now)) << "one byte past the bound";
    EXPECT_EQ(hold.heldBytes(), first.size() + second.size() + short1.size());
    EXPECT_EQ(hold.verdictNow(), Verdict::Incomplete) << "not configured";

    Collected sink;
    hold.handOverAll(sink);
    EXPECT_EQ(sink.records, (std::vector<Bytes>{first, second, short1}));
    EXPECT_TRUE(hold.empty());
}

} // namespace
} // namespace zentor
