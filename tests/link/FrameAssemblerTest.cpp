#include "link/FrameAssembler.h"

#include "support/PacketBytes.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace zentor {

void PrintTo(const FramingCounts& c, std::ostream* out)
{
    *out << c.framesGood << " good, " << c.badChecksum << " bad checksum, " << c.badLength
         << " bad length, " << c.bytesSkipped << " skipped";
}

namespace {

using test::Bytes;
using test::cat;
using test::frameOf;

struct StreamCase
{
    const char* legend;
    Bytes stream;
    std::vector<Bytes> records; // expected packet records, in order
    FramingCounts counts;       // good, bad checksum, bad length, bytes skipped
};

Bytes recordOf(const Bytes& frame)
{
    return Bytes(frame.begin() + 1, frame.end());
}

const Bytes kIdentify = {0xAA, 0x02, 0x00, 0x1C, 0x1C};
const Bytes kScan = frameOf(0x07, {0, 3, 0xB0, 1, 4, 0xC4, 0, 5, 0x88, 1, 9, 0xAA, 0, 0, 0x0D});
const Bytes kLong = [] {
    Bytes data(kMaxCommandData);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return frameOf(0x09, data);
}();

std::vector<StreamCase> streamCases()
{
    Bytes badChecksum = kScan;
    badChecksum.back() ^= 0x01;
    return {
        {"identify command", kIdentify, {recordOf(kIdentify)}, {1, 0, 0, 0}},
        {"garbage before sync",
         cat({{0x00, 0x13, 0x11, 0x0D, 0xFF, 0x55}, kIdentify}),
         {recordOf(kIdentify)},
         {1, 0, 0, 6}},
        {"L = 0 rejected, its bytes not rescanned",
         cat({{0xAA, 0x00, 0x00}, kIdentify}),
         {recordOf(kIdentify)},
         {1, 0, 1, 0}},
        {"L = 2048 rejected, hunting restarts with the next byte",
         cat({{0xAA, 0x00, 0x08}, kIdentify}),
         {recordOf(kIdentify)},
         {1, 0, 1, 0}},
        {"negative L rejected",
         cat({{0xAA, 0x01, 0x80}, kIdentify}),
         {recordOf(kIdentify)},
         {1, 0, 1, 0}},
        {"sync byte inside a rejected length is not a new frame start",
         cat({{0xAA, 0xAA, 0x08, 0x02, 0x00, 0x1C, 0x1C}, kIdentify}),
         {recordOf(kIdentify)},
         {1, 0, 1, 4}},
        {"bad checksum then a good frame",
         cat({badChecksum, kScan}),
         {recordOf(kScan)},
         {1, 1, 0, 0}},
        {"back-to-back frames",
         cat({kIdentify, kScan, kIdentify}),
         {recordOf(kIdentify), recordOf(kScan), recordOf(kIdentify)},
         {3, 0, 0, 0}},
        {"L = 2047, the longest frame", kLong, {recordOf(kLong)}, {1, 0, 0, 0}},
        {"L = 1 with a zero type byte completes",
         {0xAA, 0x01, 0x00, 0x00},
         {{0x01, 0x00, 0x00}},
         {1, 0, 0, 0}},
        {"L = 1 with a non-zero type byte is dropped", {0xAA, 0x01, 0x00, 0x05}, {}, {0, 1, 0, 0}},
        {"truncated frame swallows the start of the next",
         cat({{0xAA, 0x05, 0x00, 0x07}, kIdentify}),
         {},
         {0, 1, 0, 1}},
        {"body containing sync bytes",
         frameOf(0x02, {0xAA, 0xAA, 0x0D, 0x11, 0x13}),
         {recordOf(frameOf(0x02, {0xAA, 0xAA, 0x0D, 0x11, 0x13}))},
         {1, 0, 0, 0}},
    };
}

// Feeds the stream in pieces cut at the given offsets, collecting every completed record; the
// assembler's counts are checked against the case's.
std::vector<Bytes> feed(const StreamCase& c, const std::vector<std::size_t>& cuts)
{
    const Bytes& stream = c.stream;
    TFrameAssembler assembler;
    std::vector<Bytes> records;
    std::size_t from = 0;
    std::vector<std::size_t> ends = cuts;
    ends.push_back(stream.size());
    for (std::size_t to : ends) {
        for (std::size_t i = from; i < to; ++i) {
            if (assembler.PushByte(stream[i]) == 0) {
                const ByteView r = assembler.record();
                records.emplace_back(r.data, r.data + r.size);
            }
        }
        from = to;
    }
    EXPECT_EQ(assembler.counts(), c.counts);
    return records;
}

TEST(FrameAssembler, StreamsYieldExactlyTheirGoodFramesAndCountTheRest)
{
    for (const StreamCase& c : streamCases()) {
        SCOPED_TRACE(c.legend);
        EXPECT_EQ(feed(c, {}), c.records);
        for (std::size_t cut = 1; cut < c.stream.size(); ++cut)
            ASSERT_EQ(feed(c, {cut}), c.records) << "split at " << cut;
        std::vector<std::size_t> everyByte;
        for (std::size_t i = 1; i < c.stream.size(); ++i)
            everyByte.push_back(i);
        EXPECT_EQ(feed(c, everyByte), c.records);
    }
}

TEST(FrameAssembler, ReportsItsStateForEveryByteThatCompletesNothing)
{
    TFrameAssembler a;
    EXPECT_EQ(a.state(), TFrameAssembler::Hunting);
    EXPECT_EQ(a.PushByte(0x00), TFrameAssembler::Hunting);
    EXPECT_EQ(a.PushByte(0xAA), TFrameAssembler::LengthLow);
    EXPECT_EQ(a.PushByte(0x02), TFrameAssembler::LengthHigh);
    EXPECT_EQ(a.PushByte(0x00), TFrameAssembler::Body);
    EXPECT_EQ(a.PushByte(0x1C), TFrameAssembler::Body);
    EXPECT_EQ(a.PushByte(0x1C), 0);
    EXPECT_EQ(a.state(), TFrameAssembler::Hunting);
    EXPECT_EQ(a.length(), 2);
}

TEST(FrameAssembler, AnyByteSequenceLeavesAValidState)
{
    TFrameAssembler a;
    std::uint32_t x = 12345;
    for (int i = 0; i < 200000; ++i) {
        x = x * 1103515245u + 12345u;
        const int r = a.PushByte(static_cast<std::uint8_t>(x >> 16));
        if (r == 0) {
            const ByteView rec = a.record();
            ASSERT_GE(a.length(), 1);
            ASSERT_LE(a.length(), kMaxBodyLength);
            ASSERT_EQ(rec.size, static_cast<std::size_t>(a.length()) + 2);
        } else {
            ASSERT_TRUE(r == TFrameAssembler::Hunting || r == TFrameAssembler::LengthLow ||
                        r == TFrameAssembler::LengthHigh || r == TFrameAssembler::Body);
        }
    }
}

TEST(FrameBuilder, BuildsCommandsByteForByte)
{
    EXPECT_EQ(frameOf(0x1C, {}), kIdentify);
    EXPECT_EQ(frameOf(0x01, {}), (Bytes{0xAA, 0x02, 0x00, 0x01, 0x01}));
    EXPECT_EQ(frameOf(0x30, {}), (Bytes{0xAA, 0x02, 0x00, 0x30, 0x30}));
    EXPECT_EQ(frameOf(0x05, {0x01, 0x02, 0x04}),
              (Bytes{0xAA, 0x05, 0x00, 0x05, 0x01, 0x02, 0x04, 0x05 ^ 0x01 ^ 0x02 ^ 0x04}));
    EXPECT_EQ(kLong.size(), static_cast<std::size_t>(kMaxBodyLength) + 3);
    EXPECT_EQ(kLong[1], 0xFF);
    EXPECT_EQ(kLong[2], 0x07);

    const Bytes tooLong(kMaxCommandData + 1);
    EXPECT_EQ(buildFrame(0x09, tooLong.data(), tooLong.size()).size, 0u);
}

} // namespace
} // namespace zentor
