// The packet decoder on packet records of every type, as the frame assembler hands them over: what
// each one says, where a packet too short for its fields is not decoded, where bytes beyond a
// type's fields are left unread, and which records are not whole. Each expected result is
// written as a line of text, so that the table reads like the wire layout.
#include "link/PacketDecoder.h"

#include "ProtocolDoubles.h"
#include "core/TextFormat.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zentor {
namespace {

using test::Bytes;
using test::cat;
using test::configurationBlock;
using test::le32;
using test::packetRecord;
using test::statusBlock;

template <class... Ts> struct Overloaded : Ts...
{
    using Ts::operator()...;
};
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;

std::string rangeText(const ReceiverRange& r)
{
    return formatText("start %d stop %d step %g kHz%s", r.startCount, r.stopCount, r.stepKHz,
                      r.channelsWrap ? " wrapped" : "");
}

std::string describe(const DecodedPacket& packet)
{
    return std::visit(
        Overloaded{
            [](const NotDecoded& p) {
                return std::string(p.reason == NotDecodedReason::Short ? "short" : "unknown");
            },
            [](const IdentificationPacket& p) { return "identification \"" + p.text + "\""; },
            [](const ConfigurationPacket& p) {
                std::string text = "configuration:";
                for (std::size_t r = 0; r < kReceiverCount; ++r)
                    text += formatText(" r%zu ", r + 1) +
                            (!p.present[r]     ? "absent"
                             : !p.receivers[r] ? "present"
                                               : rangeText(p.receivers[r]->range)) +
                            ";";
                return text;
            },
            [](const SingleLevelsPacket& p) {
                return formatText("single r%zu: %zu, first 0x%02X, average %d", p.receiver + 1,
                                  p.count, p.first, p.averageDbm);
            },
            [](const InstrumentClock& c) {
                return formatText("clock %d %d %d %d %d %d marker %d", c.second, c.minute, c.hour,
                                  c.day, c.month, c.yearSince2000, c.marker);
            },
            [](const LevelValuesPacket& p) {
                std::string text = "level values:";
                for (std::size_t r = 0; r < p.count; ++r)
                    text += formatText(" %d", p.currentCounts[r]);
                return text;
            },
            [](const StatusBlocksPacket& p) {
                std::string text = "status blocks:";
                for (std::size_t r = 0; r < p.count; ++r)
                    text += formatText(" %d..%d", p.listCounts[r][0], p.listCounts[r][9]);
                return text;
            },
            [](const ScanEntriesPacket& p) {
                std::string text = "scan:";
                for (std::size_t e = 0; e < p.count; ++e)
                    text += formatText(" r%zu ch%d 0x%02X", p.entries[e].receiver + 1,
                                       p.entries[e].channel, p.entries[e].level);
                return text;
            },
            [](const TableEntriesPacket& p) {
                std::string text = "table:";
                for (std::size_t e = 0; e < p.count; ++e)
                    text += formatText(" r%zu #%d 0x%02X", p.entries[e].receiver + 1,
                                       p.entries[e].index, p.entries[e].level);
                return text;
            },
            [](const GpsRecordPacket& p) {
                return formatText("GPS 0x%02X..0x%02X", p.record.front(), p.record.back());
            },
        },
        packet.content);
}

Bytes counting(std::size_t n)
{
    Bytes bytes(n);
    for (std::size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<std::uint8_t>(i);
    return bytes;
}

struct DecodeCase
{
    const char* legend;
    Bytes record;
    std::uint8_t type;
    std::string said;
};

std::vector<DecodeCase> decodeCases()
{
    const Bytes r1 = configurationBlock(100, 200, 512);
    const Bytes r2 = configurationBlock(4520, 4620, 51200);
    return {
        {"identification", packetRecord(0x1C, {'Z', 'T', '0', '1', '2', '3', '4', '5'}), 0x1C,
         "identification \"ZT012345\""},
        {"identification cut at eight characters",
         packetRecord(0x1C, {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J'}), 0x1C,
         "identification \"ABCDEFGH\""},
        {"identification ended by a NUL", packetRecord(0x1C, {'A', 'B', 0, 'C'}), 0x1C,
         "identification \"AB\""},
        {"empty identification", packetRecord(0x1C, {}), 0x1C, "identification \"\""},
        {"configuration, receiver 2 only, numbering flag",
         packetRecord(0x01, cat({{0x0A}, r1, r2})), 0x01,
         "configuration: r1 absent; r2 start 4520 stop 4620 step 200 kHz wrapped;"},
        {"configuration too short for receiver 2's block",
         packetRecord(0x01, cat({{0x03}, configurationBlock(7, 8, 1)})), 0x01,
         "configuration: r1 start 7 stop 8 step 0.00390625 kHz; r2 present;"},
        {"configuration without flags", packetRecord(0x01, {}), 0x01, "short"},
        {"single levels of receiver 1, average truncated", packetRecord(0x02, {0xC4, 0xBA, 0xAF}),
         0x02, "single r1: 3, first 0xC4, average -70"},
        {"single levels of receiver 2, none", packetRecord(0x03, {}), 0x03,
         "single r2: 0, first 0x88, average -120"},
        {"clock and marker", packetRecord(0x04, {5, 6, 7, 8, 9, 26, 123}), 0x04,
         "clock 5 6 7 8 9 26 marker 123"},
        {"clock one byte short", packetRecord(0x04, {5, 6, 7, 8, 9, 26}), 0x04, "short"},
        {"level values", packetRecord(0x05, cat({le32(1234), le32(-5)})), 0x05,
         "level values: 1234 -5"},
        {"level values of receiver 1 only", packetRecord(0x05, cat({le32(77), {1, 2}})), 0x05,
         "level values: 77"},
        {"level values too short for one", packetRecord(0x05, {1, 2, 3}), 0x05, "short"},
        {"status blocks", packetRecord(0x06, cat({statusBlock(40), statusBlock(70)})), 0x06,
         "status blocks: 40..67 70..97"},
        {"status block of receiver 1 only", packetRecord(0x06, statusBlock(500)), 0x06,
         "status blocks: 500..527"},
        {"status block one byte short", packetRecord(0x06, Bytes(39, 1)), 0x06, "short"},
        {"scan entries: receiver byte 0 is receiver 1, any other receiver 2; the sixth unread",
         packetRecord(
             0x07, {0, 3, 0xB0, 1, 4, 0xC4, 2, 10, 0xA0, 0x80, 5, 0xA1, 0xFF, 9, 0x90, 0, 0, 0x99}),
         0x07, "scan: r1 ch3 0xB0 r2 ch4 0xC4 r2 ch10 0xA0 r2 ch5 0xA1 r2 ch9 0x90"},
        {"scan entries: only whole ones", packetRecord(0x07, {0, 3, 0xC0, 0, 4}), 0x07,
         "scan: r1 ch3 0xC0"},
        {"scan entries: not one whole", packetRecord(0x07, {0, 3}), 0x07, "short"},
        {"table entries, index little-endian",
         packetRecord(0x09, {1,    0xFF, 0x0B, 0xB5, 1,    0x00, 0x0C, 0xA0, 0, 0x10,
                             0x00, 0xC8, 7,    0x01, 0x00, 0xC7, 0,    0,    0, 0}),
         0x09, "table: r2 #3071 0xB5 r2 #3072 0xA0 r1 #16 0xC8 r2 #1 0xC7"},
        {"table entries: not one whole", packetRecord(0x09, {0, 1, 0}), 0x09, "short"},
        {"GPS record", packetRecord(0x00, counting(152)), 0x00, "GPS 0x00..0x97"},
        {"GPS record with a byte more", packetRecord(0x00, counting(153)), 0x00, "GPS 0x00..0x97"},
        {"GPS record one byte short", packetRecord(0x00, counting(151)), 0x00, "short"},
        {"L = 1: the type alone", {0x01, 0x00, 0x00}, 0x00, "short"},
        {"a type the program does not decode", packetRecord(0x42, {1, 2, 3}), 0x42, "unknown"},
    };
}

TEST(PacketDecoder, EachRecordSaysWhatItsTypeCarries)
{
    for (const DecodeCase& c : decodeCases()) {
        SCOPED_TRACE(c.legend);
        const std::optional<DecodedPacket> packet = decodePacket(c.record.data(), c.record.size());
        ASSERT_TRUE(packet);
        EXPECT_EQ(packet->type, c.type);
        EXPECT_EQ(describe(*packet), c.said);
        EXPECT_EQ(packet->decoded(), c.said != "short" && c.said != "unknown");
        // A record with bytes after it reads the same.
        Bytes longer = cat({c.record, {0xAA, 0x55}});
        EXPECT_EQ(describe(*decodePacket(longer.data(), longer.size())), c.said);
    }
}

TEST(PacketDecoder, RecordsThatAreNotWholeAreNotPackets)
{
    const Bytes cut = {0x10, 0x00, 0x07, 0x00}; // L = 16, 2 body bytes
    EXPECT_FALSE(decodePacket(cut.data(), cut.size()));
    const Bytes zeroLength = {0x00, 0x00, 0x07};
    EXPECT_FALSE(decodePacket(zeroLength.data(), zeroLength.size()));
    EXPECT_FALSE(decodePacket(cut.data(), 2));
}

} // namespace
} // namespace zentor
