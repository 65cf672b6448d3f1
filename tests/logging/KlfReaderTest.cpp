#include "logging/KlfReader.h"

#include "LogTestSupport.h"
#include "ReferenceSession.h"

#include <gtest/gtest.h>

namespace zentor {
namespace {

using namespace logtest;

struct Walked
{
    std::vector<KlfRecordKind> kinds;
    std::vector<std::size_t> offsets;
    std::vector<ChecksumState> checksums;
    KlfVerdict verdict = KlfVerdict::Whole;
    std::size_t problemAt = 0;
    std::string problem;
    bool header = false;
};

Walked walk(const Bytes& bytes)
{
    Walked w;
    KlfReader reader(bytes.data(), bytes.size());
    KlfRecord r;
    while (reader.next(r)) {
        w.kinds.push_back(r.kind);
        w.offsets.push_back(r.offset);
        w.checksums.push_back(r.checksum);
    }
    w.verdict = reader.verdict();
    w.problemAt = reader.problemOffset();
    w.problem = reader.problem();
    w.header = reader.hasHeader();
    return w;
}

using K = KlfRecordKind;
using C = ChecksumState;

const Bytes kHeader = buildLogHeader(referenceHeaderInput());
const Bytes kHeaderWithoutChannels = Bytes(kHeader.begin(), kHeader.begin() + 63);

TEST(KlfReader, WalksTheHeaderRecordsThenThePackets)
{
    const Bytes speed = {0x05, 0x00, 0xC1, 48, 0, 0x0E, 0x01};
    const Walked w = walk(cat({kHeader, packetRecord(0x07, {0, 1, 0xB0}), speed}));
    EXPECT_TRUE(w.header);
    EXPECT_EQ(w.kinds, (std::vector<K>{K::LeadIn, K::Signature, K::SerialNumber, K::Receivers,
                                       K::ChannelInformation, K::Packet, K::Packet}));
    EXPECT_EQ(w.offsets, (std::vector<std::size_t>{0, 6, 23, 36, 63, 147, 154}));
    EXPECT_EQ(w.checksums, (std::vector<C>{C::NotCarried, C::Good, C::Good, C::NotCarried, C::Good,
                                           C::Good, C::NotCarried}));
    EXPECT_EQ(w.verdict, KlfVerdict::Whole);
}

TEST(KlfReader, GivesTheDataBetweenTypeAndChecksum)
{
    const Bytes file = cat(
        {packetRecord(0x04, {9, 5, 14, 12, 3, 7, 23}), Bytes{0x05, 0x00, 0xC1, 48, 0, 0x0E, 0x01}});
    KlfReader reader(file.data(), file.size());
    KlfRecord r;
    ASSERT_TRUE(reader.next(r));
    EXPECT_EQ(r.type, 0x04);
    EXPECT_EQ(r.length, 9);
    EXPECT_EQ(r.size, 11u);
    EXPECT_EQ(Bytes(r.data.data, r.data.data + r.data.size), (Bytes{9, 5, 14, 12, 3, 7, 23}));
    ASSERT_TRUE(reader.next(r));
    EXPECT_EQ(Bytes(r.data.data, r.data.data + r.data.size), (Bytes{48, 0, 0x0E, 0x01}));
    EXPECT_FALSE(reader.next(r));
    EXPECT_FALSE(reader.hasHeader());
}

TEST(KlfReader, JudgesEachFileByItsFirstProblem)
{
    struct Case
    {
        const char* legend;
        Bytes bytes;
        std::vector<K> kinds;
        KlfVerdict verdict;
        std::size_t at;
        std::string problem;
    };
    const Bytes scan = packetRecord(0x07, {0, 1, 0xB0});
    Bytes badScan = scan;
    badScan[4] ^= 1;
    const std::vector<K> header = {K::LeadIn, K::Signature, K::SerialNumber, K::Receivers};
    const Case cases[] = {
        {"an empty file", {}, {}, KlfVerdict::Truncated, 0, "empty file"},
        {"packets without a header", scan, {K::Packet}, KlfVerdict::Whole, 0, ""},
        {"a header alone", kHeaderWithoutChannels, header, KlfVerdict::Whole, 0, ""},
        {"a header whose first packet is no channel information",
         cat({kHeaderWithoutChannels, scan}),
         {K::LeadIn, K::Signature, K::SerialNumber, K::Receivers, K::Packet},
         KlfVerdict::Whole,
         0,
         ""},
        {"part of a lead-in", {0, 0, 0}, {}, KlfVerdict::Truncated, 0, "lead-in"},
        {"a lead-in alone", {0, 0, 0, 0, 0, 0}, {K::LeadIn}, KlfVerdict::Truncated, 6, "header"},
        {"a header cut after the signature",
         Bytes(kHeader.begin(), kHeader.begin() + 23),
         {K::LeadIn, K::Signature},
         KlfVerdict::Truncated,
         23,
         "header"},
        {"a header cut inside the serial number",
         Bytes(kHeader.begin(), kHeader.begin() + 30),
         {K::LeadIn, K::Signature},
         KlfVerdict::Truncated,
         23,
         "record"},
        {"a lone byte after a packet",
         cat({scan, {0x07}}),
         {K::Packet},
         KlfVerdict::Truncated,
         7,
         "length"},
        {"a packet cut short",
         cat({scan, {0x05, 0x00, 0x07, 0x00}}),
         {K::Packet},
         KlfVerdict::Truncated,
         7,
         "record"},
        {"a bad checksum, then more packets",
         cat({badScan, scan}),
         {K::Packet, K::Packet},
         KlfVerdict::Damaged,
         0,
         "checksum"},
        {"length 0 after the lead-in",
         {0, 0, 0, 0, 0, 0, 0, 0},
         {K::LeadIn},
         KlfVerdict::Damaged,
         6,
         "length 0"},
        {"length 2048",
         cat({scan, {0x00, 0x08, 0x07}}),
         {K::Packet},
         KlfVerdict::Damaged,
         7,
         "length over 2047"},
        {"a TravelPilot speed record of the wrong length",
         cat({Bytes{0x04, 0x00, 0xC1, 48, 0, 0x0E}, scan}),
         {K::Packet, K::Packet},
         KlfVerdict::Damaged,
         0,
         "TravelPilot record length"},
        {"a signature record of another type",
         cat({Bytes(6, 0), packetRecord(0x82, Bytes(13, 'Q'))}),
         {K::LeadIn},
         KlfVerdict::Damaged,
         6,
         "signature record"},
        {"L 1 of type 0 carries its own checksum",
         {0x01, 0x00, 0x00},
         {K::Packet},
         KlfVerdict::Whole,
         0,
         ""},
        {"L 1 of another type cannot",
         {0x01, 0x00, 0x07},
         {K::Packet},
         KlfVerdict::Damaged,
         0,
         "checksum"},
    };
    for (const Case& c : cases) {
        const Walked w = walk(c.bytes);
        EXPECT_EQ(w.kinds, c.kinds) << c.legend;
        EXPECT_EQ(w.verdict, c.verdict) << c.legend;
        EXPECT_EQ(w.problemAt, c.at) << c.legend;
        EXPECT_EQ(w.problem, c.problem) << c.legend;
    }
}

TEST(KlfReader, NamesTheCutRecordForEveryPrefixOfALog)
{
    const Bytes file = cat({kHeader, cat(referenceRecords())});
    const Walked whole = walk(file);
    ASSERT_EQ(whole.verdict, KlfVerdict::Whole);
    std::vector<std::size_t> starts = whole.offsets;
    starts.push_back(file.size());
    for (std::size_t keep = 1; keep <= file.size(); ++keep) {
        // Copied, so that a read past the end would leave the buffer (and trip the sanitizers).
        const Bytes prefix(file.begin(), file.begin() + static_cast<long>(keep));
        const Walked w = walk(prefix);
        const auto next = std::upper_bound(starts.begin(), starts.end(), keep);
        const std::size_t cutRecord = *(next - 1);
        const bool onBoundary = cutRecord == keep || keep == file.size();
        if (onBoundary && keep >= 63) {
            EXPECT_EQ(w.verdict, KlfVerdict::Whole) << keep;
        } else {
            // Inside the header, a record boundary is still a cut: the header is not complete.
            EXPECT_EQ(w.verdict, KlfVerdict::Truncated) << keep;
            EXPECT_EQ(w.problemAt, keep < 6 ? 0 : cutRecord) << keep;
        }
    }
}

TEST(KlfReader, StaysInsideAnyBytes)
{
    std::uint32_t seed = 99;
    for (int round = 0; round < 2000; ++round) {
        Bytes junk(static_cast<std::size_t>(round % 300));
        for (auto& b : junk) {
            seed = seed * 1664525u + 1013904223u;
            b = static_cast<std::uint8_t>(seed >> 24);
        }
        if (round % 3 == 0 && junk.size() >= 6)
            std::fill(junk.begin(), junk.begin() + 6, 0);
        KlfReader reader(junk.data(), junk.size());
        KlfRecord r;
        std::size_t end = 0;
        while (reader.next(r)) {
            ASSERT_EQ(r.offset, end);
            end = r.offset + r.size;
            ASSERT_LE(end, junk.size());
            if (r.data.size > 0) {
                ASSERT_GE(r.data.data, junk.data());
                ASSERT_LE(r.data.data + r.data.size, junk.data() + junk.size());
            }
        }
        if (reader.verdict() == KlfVerdict::Whole) {
            EXPECT_EQ(end, junk.size());
        }
    }
}

} // namespace
} // namespace zentor
