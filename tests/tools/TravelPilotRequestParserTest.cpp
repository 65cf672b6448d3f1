#include "zentor-sim/TravelPilotRequestParser.h"

#include "SimTestSupport.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zentor::sim {
namespace {

using test::hex;

struct Parsed
{
    std::vector<std::string> requests; // "command" or "command:data hex"
    std::uint64_t skipped = 0;

    bool operator==(const Parsed& o) const
    {
        return requests == o.requests && skipped == o.skipped;
    }
};

std::ostream& operator<<(std::ostream& out, const Parsed& p)
{
    out << "{";
    for (const std::string& r : p.requests)
        out << r << " ";
    return out << "skipped " << p.skipped << "}";
}

void take(Parsed& parsed, const std::vector<TravelPilotRequest>& requests)
{
    for (const TravelPilotRequest& r : requests) {
        std::string text = std::to_string(r.command);
        if (!r.data.empty()) {
            text += ":";
            for (std::uint8_t b : r.data)
                text += std::to_string(b) + ".";
        }
        parsed.requests.push_back(text);
    }
}

// The stream in pieces of the given sizes; a size of 0 means the rest.
Parsed parse(const Bytes& stream, const std::vector<std::size_t>& pieces)
{
    TravelPilotRequestParser parser;
    Parsed parsed;
    std::size_t at = 0;
    for (std::size_t piece : pieces) {
        const std::size_t n = piece == 0 ? stream.size() - at : std::min(piece, stream.size() - at);
        take(parsed, parser.push(stream.data() + at, n));
        at += n;
    }
    parsed.skipped = parser.skippedBytes();
    return parsed;
}

TEST(TravelPilotRequestParser, FindsGoodRequestsAndSkipsMalformedOnesWhereverTheStreamIsSplit)
{
    const struct
    {
        const char* legend;
        Bytes bytes;
        Parsed expected;
    } cases[] = {
        {"version request", hex("05 0A F5 04 01"), {{"10"}, 0}},
        {"position, then speed and direction",
         hex("05 28 D7 04 01 05 2C D3 04 01"),
         {{"40", "44"}, 0}},
        {"a request with data", hex("08 0A F5 01 02 03 0D 01"), {{"10:1.2.3."}, 0}},
        {"an unknown command is still a request", hex("05 63 9C 04 01"), {{"99"}, 0}},
        {"bad checksum, then a good request", hex("05 0A F5 04 02 05 28 D7 04 01"), {{"40"}, 5}},
        {"checksum bytes swapped", hex("05 0A F5 01 04"), {{}, 5}},
        {"wrong complement, then a good request",
         hex("05 0A F4 04 01 05 0A F5 04 01"),
         {{"10"}, 5}},
        {"length 4 is too short for a request", hex("04 0A F5 03 05 0A F5 04 01"), {{"10"}, 4}},
        {"length 0", hex("00 05 0A F5 04 01"), {{"10"}, 1}},
        {"a request cut short, then a whole one", hex("05 0A F5 04 05 0A F5 04 01"), {{"10"}, 4}},
        {"garbage before a request", hex("FF AA 13 05 2C D3 04 01"), {{"44"}, 3}},
        {"longer than any request", hex("21 0A F5 05 0A F5 04 01"), {{"10"}, 3}},
        {"the start of a request waits for the rest", hex("05 0A F5 04"), {{}, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parse(c.bytes, {0}), c.expected) << c.legend;
        EXPECT_EQ(parse(c.bytes, std::vector<std::size_t>(c.bytes.size(), 1)), c.expected)
            << c.legend << ", one byte at a time";
        for (std::size_t split = 1; split < c.bytes.size(); ++split)
            EXPECT_EQ(parse(c.bytes, {split, 0}), c.expected) << c.legend << ", split at " << split;
    }
}

TEST(TravelPilotRequestParser, ClearDropsAnUnfinishedRequest)
{
    TravelPilotRequestParser parser;
    const Bytes start = hex("05 0A F5");
    EXPECT_TRUE(parser.push(start.data(), start.size()).empty());
    parser.clear();
    const Bytes request = hex("05 28 D7 04 01");
    const std::vector<TravelPilotRequest> found = parser.push(request.data(), request.size());
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].command, 40);
    EXPECT_EQ(parser.skippedBytes(), 0u);
}

} // namespace
} // namespace zentor::sim
