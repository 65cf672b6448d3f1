// Log mode reopening an existing file that ends in a torn record: the record is cut off, the cut
// is reported, and what is appended reads as whole records. Any other damage, and any file that
// is not a data logger log, is left exactly as it is.
#include "LogTestSupport.h"
#include "logging/KlfReader.h"
#include "logging/LogHeader.h"
#include "logging/LogTail.h"
#include "logging/TLog_Router.h"

#include <gtest/gtest.h>

namespace zentor {
namespace {

using namespace logtest;

Bytes header()
{
    LogHeaderInput input;
    input.serialNumber = "ZT000417";
    input.present = {true, true};
    return buildLogHeader(input);
}

const Bytes kListScan = packetRecord(0x07, {0, 3, 0xB5, 1, 3, 0xA6});
const Bytes kClock = packetRecord(0x04, {9, 5, 14, 12, 3, 7, 23});
// TravelPilot records carry no checksum: a position at 14:05:09 on 12 April 2024 at 52.4711 N
// 4.3571 E, and 50 km/h heading east.
const Bytes kPosition = {21,   0,    0xC0, 9, 5,   14, 12, 3,    124,  'N',  52, 0,
                         0x3C, 0x30, 0x07, 0, 'E', 4,  0,  0xEC, 0x72, 0x05, 0};
const Bytes kSpeed = {5, 0, 0xC1, 50, 0, 90, 0};
const Bytes kStatusBlocks = packetRecord(0x06, Bytes(80, 0x11));
const Bytes kNext = packetRecord(0x03, {0xA0, 0xA1});

Bytes firstBytes(const Bytes& bytes, std::size_t n)
{
    return Bytes(bytes.begin(), bytes.begin() + static_cast<long>(n));
}

// What klf-dump's verdict says, read in this process: the tool's verdict is the reader's.
bool readsWhole(const std::string& path)
{
    const Bytes bytes = readFile(path);
    KlfReader reader(bytes.data(), bytes.size());
    for (KlfRecord record; reader.next(record);) {
    }
    return reader.verdict() == KlfVerdict::Whole;
}

// Logs kNext into an existing file holding `before`; returns what the file then holds.
Bytes logNextInto(const std::string& name, const Bytes& before, RecordingMessages& messages)
{
    writeFile(name, before);
    TLog_Router router(name, header(), &messages);
    router.start();
    router.handOver(kNext.data(), static_cast<std::uint16_t>(kNext.size()));
    router.stop();
    EXPECT_FALSE(router.failed());
    return readFile(name);
}

std::string tornText(const std::string& name, std::size_t removed)
{
    return "The log file \"" + name +
           "\" ended in a record cut short when the data logger was stopped while writing it: "
           "its last " +
           std::to_string(removed) +
           " bytes were removed, and logging goes on after the last whole record.";
}

TEST(TornTail, ARecordOfEachKindCutShortIsRemovedAndLoggingGoesOnWhole)
{
    struct Case
    {
        const char* legend;
        Bytes whole; // the file up to its last whole record
        Bytes torn;  // the record the file ends inside
    };
    const std::vector<Case> cases = {
        {"instrument packet", cat({header(), kClock, kSpeed}), kListScan},
        {"TravelPilot position", cat({header(), kListScan}), kPosition},
        {"TravelPilot speed", cat({header(), kPosition}), kSpeed},
        {"channel information after the header", header(), kStatusBlocks},
    };
    ScratchDir dir;
    for (const Case& c : cases) {
        // In the length field, right after it, and one byte short of whole.
        for (const std::size_t kept : {std::size_t{1}, std::size_t{2}, c.torn.size() - 1}) {
            SCOPED_TRACE(std::string(c.legend) + ", " + std::to_string(kept) + " bytes kept");
            const std::string name = dir.file("torn.KLF");
            RecordingMessages messages;
            const Bytes after =
                logNextInto(name, cat({c.whole, firstBytes(c.torn, kept)}), messages);
            EXPECT_EQ(after, cat({c.whole, kNext}));
            const auto got = messages.messages();
            ASSERT_EQ(got.size(), 1u);
            EXPECT_EQ(got[0].kind, MessageKind::Warning);
            EXPECT_EQ(got[0].text, tornText(name, kept));
            EXPECT_TRUE(readsWhole(name));
        }
    }
}

TEST(TornTail, FilesWithoutATornTailAreLeftAsTheyAre)
{
    const Bytes whole = cat({header(), kListScan, kPosition, kClock});
    Bytes badChecksum = whole;
    badChecksum[header().size() + kListScan.size() - 1] ^= 0x01;
    Bytes wrongSignature = whole;
    wrongSignature[6 + 2 + 1 + 12] = '0'; // "QXVZENTOR0400": the checksum is made to match
    wrongSignature[6 + 16] ^= '1' ^ '0';
    const Bytes tornTail = firstBytes(kSpeed, 4);
    const struct
    {
        const char* legend;
        Bytes before;
    } cases[] = {
        {"whole", whole},
        {"the header alone", header()},
        {"a bad checksum before the torn record", cat({badChecksum, tornTail})},
        {"a length over 2047 in the middle",
         cat({header(), kListScan, Bytes{0xFF, 0x7F, 0x07, 0x00}, kClock, tornTail})},
        {"another signature", cat({wrongSignature, tornTail})},
        {"a header cut short", firstBytes(header(), 6 + 17 + 5)},
        {"no header", cat({kListScan, kClock, tornTail})},
        {"bytes that are no log", Bytes{'h', 'e', 'l', 'l', 'o'}},
    };
    ScratchDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        const std::string name = dir.file("kept.KLF");
        RecordingMessages messages;
        EXPECT_EQ(logNextInto(name, c.before, messages), cat({c.before, kNext}));
        EXPECT_TRUE(messages.messages().empty());
    }
}

// The file is read a piece at a time; records straddle the pieces' edges.
TEST(TornTail, IsFoundAndDamageIsSeenFarIntoALongFile)
{
    std::vector<Bytes> parts = {header()};
    std::size_t bytes = header().size();
    std::size_t checksumPastTwoPieces = 0; // of the first record that ends past two pieces
    for (std::uint32_t i = 0; bytes < 3 * kTailPieceBytes + 500; ++i) {
        parts.push_back(numberedRecord(i, 4 + (i * 37) % 900));
        bytes += parts.back().size();
        if (checksumPastTwoPieces == 0 && bytes > 2 * kTailPieceBytes)
            checksumPastTwoPieces = bytes - 1;
    }
    const Bytes whole = cat(parts);
    const Bytes torn = cat({whole, firstBytes(kListScan, 5)});
    Bytes damaged = torn;
    damaged[checksumPastTwoPieces] ^= 0x40;

    ScratchDir dir;
    const std::string name = dir.file("long.KLF");
    for (const auto& [before, expected] :
         {std::pair{torn, std::optional<std::int64_t>(whole.size())},
          std::pair{damaged, std::optional<std::int64_t>()},
          std::pair{whole, std::optional<std::int64_t>()}}) {
        writeFile(name, before);
        AppendFile file;
        ASSERT_EQ(file.open(name), AppendFile::Opened::Existing);
        EXPECT_EQ(wholeRecordsEnd(file), expected);
        file.close();
        EXPECT_EQ(readFile(name), before);
    }
}

} // namespace
} // namespace zentor
