#include "zentor-sim/TransmitLedger.h"

#include "SimTestSupport.h"
#include "zentor-sim/FaultInjector.h"
#include "zentor-sim/RecordFile.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zentor::sim {
namespace {

using test::cat;
using test::hex;

using test::kClock;
using test::kIdentify;
using test::kList;
using test::recordOf;

class TransmitLedgerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        path_ = ::testing::TempDir() + "ledger-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".rec";
        ASSERT_TRUE(record_.open(path_));
    }
    void TearDown() override { std::remove(path_.c_str()); }

    // Queues the chunks, then writes all their bytes in pieces of `piece` bytes.
    void send(const std::vector<Chunk>& chunks, std::size_t piece)
    {
        Bytes all;
        for (const Chunk& c : chunks) {
            ledger_.queued(c.kind, c.bytes.size());
            all.insert(all.end(), c.bytes.begin(), c.bytes.end());
        }
        for (std::size_t from = 0; from < all.size(); from += piece)
            ledger_.written(all.data() + from, std::min(piece, all.size() - from));
    }

    Bytes recorded()
    {
        record_.flush();
        return test::readFile(path_);
    }

    std::string path_;
    RecordFile record_;
    TransmitLedger ledger_{&record_};
};

TEST_F(TransmitLedgerTest, RecordsWhatAReceiverFindsAndCountsTheDamage)
{
    Bytes flipped = kClock;
    flipped[6] ^= 0x10;
    send({{ChunkKind::Intact, kIdentify},
          {ChunkKind::Truncated, Bytes(kList.begin(), kList.begin() + 6)}, // swallows the next
          {ChunkKind::Intact, kClock},
          {ChunkKind::Garbage, hex("00 00")},
          {ChunkKind::Intact, kIdentify},
          {ChunkKind::BitFlip, flipped},
          {ChunkKind::Intact, kList}},
         7);

    EXPECT_EQ(recorded(), cat({recordOf(kIdentify), recordOf(kIdentify), recordOf(kList)}));
    const TransmitCounts& n = ledger_.counts();
    EXPECT_EQ(n.framesSent, 6u);
    EXPECT_EQ(n.truncations, 1u);
    EXPECT_EQ(n.bitFlips, 1u);
    EXPECT_EQ(n.damaged(), 2u);
    EXPECT_EQ(n.garbageBursts, 1u);
    EXPECT_EQ(n.recordsFound, 3u);
    EXPECT_EQ(n.intactFound, 3u);
    EXPECT_EQ(ledger_.summary(),
              "6 frames sent, 2 damaged (1 bit flips, 1 truncated), 1 garbage bursts; a receiver "
              "finds 3 packet records, 3 of them intact frames");
}

TEST_F(TransmitLedgerTest, AFrameMadeOfGarbageIsRecordedButNotCountedIntact)
{
    send({{ChunkKind::Garbage, hex("AA 01 00 00")}, {ChunkKind::Intact, kIdentify}}, 1);
    EXPECT_EQ(recorded(), cat({hex("01 00 00"), recordOf(kIdentify)}));
    EXPECT_EQ(ledger_.counts().recordsFound, 2u);
    EXPECT_EQ(ledger_.counts().intactFound, 1u);
    EXPECT_EQ(ledger_.counts().framesSent, 1u);
}

TEST_F(TransmitLedgerTest, ASessionEndDropsTheUnsentRestAndTheNextClientHuntsAfresh)
{
    ledger_.queued(ChunkKind::Intact, kClock.size());
    ledger_.written(kClock.data(), 5);
    ledger_.sessionEnded();
    EXPECT_EQ(ledger_.counts().framesSent, 0u) << "the clock frame never went out whole";

    send({{ChunkKind::Intact, kIdentify}}, 5);
    EXPECT_EQ(recorded(), recordOf(kIdentify));
    EXPECT_EQ(ledger_.counts().framesSent, 1u);
    EXPECT_EQ(ledger_.counts().intactFound, 1u);
}

TEST(FaultInjector, LeavesFramesAloneAtRateZero)
{
    FaultInjector faults({true, true, true}, 0.0, 1);
    for (int i = 0; i < 100; ++i) {
        const std::vector<Chunk> out = faults.apply(kList);
        ASSERT_EQ(out.size(), 1u);
        EXPECT_EQ(out[0].kind, ChunkKind::Intact);
        EXPECT_EQ(out[0].bytes, kList);
    }
}

TEST(FaultInjector, EachKindDamagesAFrameAsDescribed)
{
    FaultInjector garbage({true, false, false}, 1.0, 2);
    bool sawSync = false;
    for (int i = 0; i < 50; ++i) {
        const std::vector<Chunk> out = garbage.apply(kList);
        ASSERT_EQ(out.size(), 2u);
        EXPECT_EQ(out[0].kind, ChunkKind::Garbage);
        EXPECT_GE(out[0].bytes.size(), 1u);
        EXPECT_LE(out[0].bytes.size(), 16u);
        EXPECT_EQ(out[1].kind, ChunkKind::Intact);
        EXPECT_EQ(out[1].bytes, kList);
        for (std::uint8_t b : out[0].bytes)
            sawSync = sawSync || b == 0xAA;
    }
    EXPECT_TRUE(sawSync) << "garbage should often hold a sync byte";

    FaultInjector bitflip({false, true, false}, 1.0, 3);
    for (int i = 0; i < 50; ++i) {
        const std::vector<Chunk> out = bitflip.apply(kList);
        ASSERT_EQ(out.size(), 1u);
        EXPECT_EQ(out[0].kind, ChunkKind::BitFlip);
        ASSERT_EQ(out[0].bytes.size(), kList.size());
        int bits = 0;
        for (std::size_t j = 0; j < kList.size(); ++j)
            for (unsigned d = out[0].bytes[j] ^ kList[j]; d != 0; d &= d - 1)
                ++bits;
        EXPECT_EQ(bits, 1);
    }

    FaultInjector truncate({false, false, true}, 1.0, 4);
    for (int i = 0; i < 50; ++i) {
        const std::vector<Chunk> out = truncate.apply(kList);
        ASSERT_EQ(out.size(), 1u);
        EXPECT_EQ(out[0].kind, ChunkKind::Truncated);
        ASSERT_GE(out[0].bytes.size(), 1u);
        ASSERT_LT(out[0].bytes.size(), kList.size());
        EXPECT_EQ(out[0].bytes, Bytes(kList.begin(), kList.begin() + out[0].bytes.size()));
    }
}

TEST(FaultInjector, TheSameSeedDamagesTheSameWay)
{
    FaultInjector a({true, true, true}, 0.5, 99);
    FaultInjector b({true, true, true}, 0.5, 99);
    int faults = 0;
    for (int i = 0; i < 200; ++i) {
        const std::vector<Chunk> x = a.apply(kClock);
        const std::vector<Chunk> y = b.apply(kClock);
        ASSERT_EQ(x.size(), y.size());
        for (std::size_t j = 0; j < x.size(); ++j) {
            EXPECT_EQ(x[j].kind, y[j].kind);
            EXPECT_EQ(x[j].bytes, y[j].bytes);
        }
        faults += x.size() > 1 || x[0].kind != ChunkKind::Intact;
    }
    EXPECT_GT(faults, 60);
    EXPECT_LT(faults, 140);
}

} // namespace
} // namespace zentor::sim
