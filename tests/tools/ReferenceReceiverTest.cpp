#include "zentor-sim/ReferenceReceiver.h"

#include "SimTestSupport.h"
#include "link/FrameAssembler.h"
#include "zentor-sim/FaultInjector.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace zentor::sim {
namespace {

using test::cat;
using test::hex;

using test::kClock;
using test::kIdentify;
using test::kList;
using test::recordOf;

struct StreamCase
{
    const char* legend;
    Bytes stream;
    std::vector<std::pair<Bytes, std::uint64_t>> found; // record, offset of its sync byte
};

std::vector<StreamCase> streamCases()
{
    Bytes badChecksum = kList;
    badChecksum.back() ^= 0x40;
    return {
        {"one frame", kIdentify, {{recordOf(kIdentify), 0}}},
        {"garbage holding 0xAA, then a frame",
         cat({hex("13 AA 07"), kClock}),
         // AA 07 AA gives L = 0xAA07 (negative), which is rejected; hunting goes on after those
         // three bytes, so the clock frame's own sync byte (offset 3) was used up: nothing found.
         {}},
        {"garbage holding 0xAA whose length is taken, swallowing the next frame",
         cat({hex("55 AA 03 00"), kClock, kIdentify}),
         // L = 3 takes AA 09 00 of the clock frame as its body (bad checksum); the rest of the
         // clock frame holds no sync byte, so the next frame found is the identify frame.
         {{recordOf(kIdentify), 4 + kClock.size()}}},
        {"garbage that happens to be a complete frame",
         cat({hex("AA 01 00 00"), kIdentify}),
         {{hex("01 00 00"), 0}, {recordOf(kIdentify), 4}}},
        {"truncated frame swallows the start of the next",
         cat({Bytes(kList.begin(), kList.begin() + 6), kClock, kIdentify}),
         // L = 17 needs 17 body bytes: 3 of the list, the 12 of the clock frame and 2 of the
         // identify frame; the remaining 00 1C 1C has no sync byte.
         {}},
        {"truncated frame, the frame after the swallowed one survives",
         cat({Bytes(kList.begin(), kList.begin() + 6), kClock, hex("00 00"), kIdentify}),
         {{recordOf(kIdentify), 6 + kClock.size() + 2}}},
        {"bad checksum, then a good frame",
         cat({badChecksum, kIdentify}),
         {{recordOf(kIdentify), kList.size()}}},
        {"L = 0 and L = 2048 rejected without rescanning",
         cat({hex("AA 00 00 AA 00 08"), kIdentify}),
         {{recordOf(kIdentify), 6}}},
        {"negative L rejected", cat({hex("AA FF FF"), kIdentify}), {{recordOf(kIdentify), 3}}},
        {"sync bytes inside a body are data",
         cat({kList, kClock}),
         {{recordOf(kList), 0}, {recordOf(kClock), kList.size()}}},
    };
}

std::vector<std::pair<Bytes, std::uint64_t>> feed(const Bytes& stream,
                                                  const std::vector<std::size_t>& cuts)
{
    ReferenceReceiver receiver;
    std::vector<std::pair<Bytes, std::uint64_t>> found;
    std::size_t from = 0;
    std::vector<std::size_t> ends = cuts;
    ends.push_back(stream.size());
    for (std::size_t end : ends) {
        for (const auto& f : receiver.push(stream.data() + from, end - from))
            found.emplace_back(f.record, f.syncOffset);
        from = end;
    }
    return found;
}

TEST(ReferenceReceiver, FindsExactlyTheFramesACorrectReceiverFinds)
{
    for (const StreamCase& c : streamCases()) {
        EXPECT_EQ(feed(c.stream, {}), c.found) << c.legend;
        std::vector<std::size_t> everyByte;
        for (std::size_t i = 1; i < c.stream.size(); ++i)
            everyByte.push_back(i);
        EXPECT_EQ(feed(c.stream, everyByte), c.found) << c.legend << ", one byte at a time";
        for (std::size_t cut = 0; cut <= c.stream.size(); ++cut)
            EXPECT_EQ(feed(c.stream, {cut}), c.found) << c.legend << ", split at " << cut;
    }
}

TEST(ReferenceReceiver, RestartDropsAFrameInProgressButKeepsCountingOffsets)
{
    ReferenceReceiver receiver;
    const Bytes half(kClock.begin(), kClock.begin() + 5);
    EXPECT_TRUE(receiver.push(half.data(), half.size()).empty());
    receiver.restart();
    const Bytes rest = cat({Bytes(kClock.begin() + 5, kClock.end()), kIdentify});
    const auto found = receiver.push(rest.data(), rest.size());
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].record, recordOf(kIdentify));
    EXPECT_EQ(found[0].syncOffset, kClock.size());
    EXPECT_EQ(receiver.offset(), kClock.size() + kIdentify.size());
}

// The data logger's frame assembler and the reference receiver are separate implementations of
// the same rules: over long damaged streams they must find the same records.
TEST(ReferenceReceiver, AgreesWithTheFrameAssemblerOnDamagedStreams)
{
    FaultInjector faults({true, true, true}, 0.3, 11);
    Bytes stream;
    for (int i = 0; i < 3000; ++i)
        for (const Chunk& chunk : faults.apply(i % 3 == 0   ? kList
                                               : i % 3 == 1 ? kClock
                                                            : kIdentify))
            stream.insert(stream.end(), chunk.bytes.begin(), chunk.bytes.end());

    ReferenceReceiver receiver;
    std::vector<Bytes> reference;
    for (const auto& f : receiver.push(stream.data(), stream.size()))
        reference.push_back(f.record);

    TFrameAssembler assembler;
    std::vector<Bytes> assembled;
    for (std::uint8_t b : stream)
        if (assembler.PushByte(b) == 0)
            assembled.emplace_back(assembler.record().data,
                                   assembler.record().data + assembler.record().size);

    EXPECT_GT(reference.size(), 1000u);
    EXPECT_LT(reference.size(), 3000u);
    EXPECT_EQ(reference, assembled);
}

} // namespace
} // namespace zentor::sim
