// Every list and table reading reaches the bars, at any rate the instrument sends: packet records
// go through the receiver protocol at 20 to 1000 packets a second into both receiver routers,
// whose display updates take their copy and compose the frame as the program's do. Lists go out
// as the simulator sends them, each in two packets (entries 0-4, then 5-9; receiver 1, then 2),
// tables as sweeps of four indices a packet. The first frame copied after a receiver's last packet
// must show the last reading sent of every list entry, or in table mode the strongest ten of the
// last readings of every index sent. The machine's speed decides only how many frames come first.
#include "display/ReceiverFrame.h"
#include "display/TR_Router.h"
#include "link/ProtocolDoubles.h"
#include "link/TReceiverLink.h"
#include "support/ThreadWindow.h"
#include "support/WaitUntil.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace zentor {
namespace {

using Clock = std::chrono::steady_clock;
using test::Bytes;

// Packets, the receiver each is for, and the last level sent for each list entry or table index.
struct Stream
{
    std::vector<Bytes> packets;
    std::vector<int> receiverOf;
    std::array<std::map<int, int>, kReceiverCount> newest;
};

// Rounds over both receivers' ten list entries, or twenty table indices spread over the whole
// table, enough for 600 ms at `rate` (three rounds at least).
Stream stream(bool table, int rate)
{
    std::vector<int> entries;
    for (int i = 0; i < (table ? 20 : kListEntries); ++i)
        entries.push_back(table ? std::min(i * 162, static_cast<int>(kTableEntries) - 1) : i);
    const int perPacket = table ? 4 : 5;
    const int packetsPerRound = kReceiverCount * static_cast<int>(entries.size()) / perPacket;
    Stream s;
    for (int k = 0; k < std::max(3, rate * 600 / 1000 / packetsPerRound); ++k)
        for (int r = 0; r < kReceiverCount; ++r)
            for (std::size_t first = 0; first < entries.size(); first += perPacket) {
                Bytes data;
                for (std::size_t i = first; i < first + perPacket; ++i) {
                    const int e = entries[i];
                    const int level = -35 - (k * 13 + static_cast<int>(i) * 7 + r * 5) % 80;
                    data.push_back(static_cast<std::uint8_t>(r));
                    if (table)
                        data.insert(data.end(), {std::uint8_t(e & 0xFF), std::uint8_t(e >> 8)});
                    else
                        data.push_back(static_cast<std::uint8_t>(e));
                    data.push_back(static_cast<std::uint8_t>(level));
                    s.newest[static_cast<std::size_t>(r)][e] = level;
                }
                s.packets.push_back(test::packetRecord(table ? 0x09 : 0x07, data));
                s.receiverOf.push_back(r);
            }
    return s;
}

// Feeds the stream at `rate` to both receivers' routers, whose updates record each frame with
// the moment its copy was taken; gives each receiver's first frame copied after its last packet.
std::array<std::optional<ReceiverFrame>, kReceiverCount> firstFramesAfter(const Stream& s, int rate,
                                                                          DisplayChoices choices)
{
    TReceiverLink link;
    const Bytes bothPresent = test::packetRecord(0x01, {0x03});
    link.HandlePacket(bothPresent.data(), bothPresent.size());
    std::mutex mutex; // guards frames
    std::array<std::vector<std::pair<Clock::time_point, ReceiverFrame>>, kReceiverCount> frames;
    test::ThreadWindow window;
    std::array<std::unique_ptr<TR_Router>, kReceiverCount> routers; // last: they end first
    for (int r = 0; r < kReceiverCount; ++r)
        routers[static_cast<std::size_t>(r)] =
            std::make_unique<TR_Router>(r, link.state(), window, [&, r] {
                const auto copiedAt = Clock::now();
                ReceiverFrame frame = composeReceiverFrame(link.state().takeReceiver(r), choices);
                std::lock_guard<std::mutex> lock(mutex);
                frames[static_cast<std::size_t>(r)].emplace_back(copiedAt, std::move(frame));
            });

    std::array<Clock::time_point, kReceiverCount> lastStored{};
    const auto start = Clock::now();
    for (std::size_t i = 0; i < s.packets.size(); ++i) {
        std::this_thread::sleep_until(start + std::chrono::microseconds(1'000'000LL * i / rate));
        link.HandlePacket(s.packets[i].data(), s.packets[i].size());
        lastStored[static_cast<std::size_t>(s.receiverOf[i])] = Clock::now();
    }
    std::array<std::optional<ReceiverFrame>, kReceiverCount> first;
    for (std::size_t r = 0; r < kReceiverCount; ++r)
        test::waitUntil([&] {
            std::lock_guard<std::mutex> lock(mutex);
            for (const auto& [copiedAt, frame] : frames[r])
                if (copiedAt > lastStored[r]) {
                    first[r] = frame;
                    return true;
                }
            return false;
        });
    return first;
}

class ReadingsReachTheFrame : public ::testing::TestWithParam<int>
{};

TEST_P(ReadingsReachTheFrame, ListsInTwoHalvesShowEveryEntrysLastReading)
{
    const Stream s = stream(false, GetParam());
    const auto frames = firstFramesAfter(s, GetParam(), {MeasurementMode::List, false});
    for (std::size_t r = 0; r < kReceiverCount; ++r) {
        ASSERT_TRUE(frames[r]) << r;
        for (std::size_t k = 0; k < kListEntries; ++k)
            EXPECT_EQ(frames[r]->bars[k].levelDbm, s.newest[r].at(static_cast<int>(k))) << r << k;
    }
}

TEST_P(ReadingsReachTheFrame, TablesShowTheStrongestTenOfEveryIndexsLastReading)
{
    const Stream s = stream(true, GetParam());
    const auto frames = firstFramesAfter(s, GetParam(), {MeasurementMode::Table, false});
    for (std::size_t r = 0; r < kReceiverCount; ++r) {
        // Strongest first; of equal readings the lower index, as the display ranks them.
        std::vector<std::pair<int, int>> ranked(s.newest[r].begin(), s.newest[r].end());
        std::stable_sort(ranked.begin(), ranked.end(),
                         [](const auto& a, const auto& b) { return a.second > b.second; });
        ASSERT_TRUE(frames[r]) << r;
        for (std::size_t k = 0; k < 10; ++k) {
            EXPECT_EQ(frames[r]->bars[k].levelDbm, ranked[k].second) << r << k;
            EXPECT_EQ(frames[r]->bars[k].label, std::to_string(ranked[k].first + 1)) << r << k;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(PacketsPerSecond, ReadingsReachTheFrame,
                         ::testing::Values(20, 50, 190, 1000));

} // namespace
} // namespace zentor
