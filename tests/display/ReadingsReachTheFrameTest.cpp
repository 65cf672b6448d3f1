// Every list and table reading reaches the bars, at any rate the instrument sends: packet records
// go through the receiver protocol (TReceiverLink, as the link thread hands them over) at 20 to
// 1000 packets a second into both receiver routers, whose display updates take their copy and
// compose the frame as the program's do. Lists go out as the instrument's simulator sends them,
// each in two packets (entries 0-4, then 5-9; receiver 1, then receiver 2), tables as a sweep of
// four indices a packet. The first frame copied after the last packet must show the last reading
// sent of every list entry, and in table mode the strongest ten of the last readings of every
// index sent. How fast the machine is decides only how many frames come before it.
#include "display/ReceiverFrame.h"
#include "display/TR_Router.h"
#include "gps/TestWindowThread.h"
#include "link/ProtocolDoubles.h"
#include "support/WaitUntil.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace zentor {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::Bytes;

constexpr DisplayChoices kListChannels{false, false, false};
constexpr DisplayChoices kTableChannels{false, true, false};
constexpr int kStreamMs = 600;
constexpr int kTableIndicesPerReceiver = 20;

// A stream of packet records, the receiver each is for, and the last level it sends for each
// entry (list entry or table index) of each receiver.
struct Stream
{
    std::vector<Bytes> packets;
    std::vector<int> receiverOf;
    std::array<std::map<int, int>, kReceiverCount> newest;
};

// Rounds of both receivers' lists, enough for kStreamMs at `rate` (three at least).
Stream listStream(int rate)
{
    Stream s;
    const int rounds = std::max(3, rate * kStreamMs / 1000 / 4);
    for (int k = 0; k < rounds; ++k)
        for (int r = 0; r < kReceiverCount; ++r)
            for (int half = 0; half < 2; ++half) {
                Bytes data;
                for (int e = 5 * half; e < 5 * half + 5; ++e) {
                    const int level = -40 - (k * 11 + e * 7 + r * 3) % 75;
                    data.insert(data.end(),
                                {std::uint8_t(r), std::uint8_t(e), std::uint8_t(level)});
                    s.newest[static_cast<std::size_t>(r)][e] = level;
                }
                s.packets.push_back(test::packetRecord(0x07, data));
                s.receiverOf.push_back(r);
            }
    return s;
}

// Sweeps of twenty indices of each receiver, spread over the whole table; enough for kStreamMs
// at `rate` (two at least).
Stream tableStream(int rate)
{
    Stream s;
    const int packetsPerRound = kReceiverCount * kTableIndicesPerReceiver / 4;
    const int rounds = std::max(2, rate * kStreamMs / 1000 / packetsPerRound);
    for (int k = 0; k < rounds; ++k)
        for (int r = 0; r < kReceiverCount; ++r)
            for (int first = 0; first < kTableIndicesPerReceiver; first += 4) {
                Bytes data;
                for (int i = first; i < first + 4; ++i) {
                    const int index =
                        i == kTableIndicesPerReceiver - 1 ? kTableEntries - 1 : i * 161;
                    const int level = -35 - (k * 13 + i * 7 + r * 5) % 80;
                    data.insert(data.end(), {std::uint8_t(r), std::uint8_t(index & 0xFF),
                                             std::uint8_t(index >> 8), std::uint8_t(level)});
                    s.newest[static_cast<std::size_t>(r)][index] = level;
                }
                s.packets.push_back(test::packetRecord(0x09, data));
                s.receiverOf.push_back(r);
            }
    return s;
}

// Both receivers present, their routers running with display updates that record each frame
// with the moment its copy was taken.
class RoutersOnAStream
{
public:
    explicit RoutersOnAStream(const DisplayChoices& choices) : choices_(choices)
    {
        const Bytes configuration = test::packetRecord(0x01, {0x03}); // both present
        link_.HandlePacket(configuration.data(), configuration.size());
        for (int r = 0; r < kReceiverCount; ++r)
            routers_[static_cast<std::size_t>(r)] =
                std::make_unique<TR_Router>(r, link_, window_, [this, r] { update(r); });
    }

    // Hands the packets to the protocol at `rate` a second; returns when each receiver's last
    // packet was stored.
    std::array<Clock::time_point, kReceiverCount> feed(const Stream& stream, int rate)
    {
        std::array<Clock::time_point, kReceiverCount> lastStored{};
        const auto start = Clock::now();
        for (std::size_t i = 0; i < stream.packets.size(); ++i) {
            std::this_thread::sleep_until(
                start + std::chrono::microseconds(1'000'000LL * static_cast<long long>(i) / rate));
            link_.HandlePacket(stream.packets[i].data(), stream.packets[i].size());
            lastStored[static_cast<std::size_t>(stream.receiverOf[i])] = Clock::now();
        }
        return lastStored;
    }

    // The first frame of receiver r whose copy was taken after `after`, waiting generously.
    std::optional<ReceiverFrame> firstFrameAfter(int r, Clock::time_point after)
    {
        std::optional<ReceiverFrame> found;
        test::waitUntil([&] {
            std::lock_guard<std::mutex> lock(mutex_);
            for (const auto& [copiedAt, frame] : frames_[static_cast<std::size_t>(r)])
                if (copiedAt > after) {
                    found = frame;
                    return true;
                }
            return false;
        });
        return found;
    }

private:
    void update(int r)
    {
        const auto copiedAt = Clock::now();
        ReceiverFrame frame = composeReceiverFrame(link_.takeReceiver(r), choices_);
        std::lock_guard<std::mutex> lock(mutex_);
        frames_[static_cast<std::size_t>(r)].emplace_back(copiedAt, std::move(frame));
    }

    const DisplayChoices choices_;
    TReceiverLink link_;
    test::TestWindowThread window_;
    std::mutex mutex_; // guards frames_
    std::array<std::vector<std::pair<Clock::time_point, ReceiverFrame>>, kReceiverCount> frames_;
    std::array<std::unique_ptr<TR_Router>, kReceiverCount> routers_; // last: they end first
};

class ReadingsReachTheFrame : public ::testing::TestWithParam<int>
{};

TEST_P(ReadingsReachTheFrame, ListsInTwoHalvesShowEveryEntrysLastReading)
{
    const Stream stream = listStream(GetParam());
    RoutersOnAStream routers(kListChannels);
    const auto lastStored = routers.feed(stream, GetParam());
    for (int r = 0; r < kReceiverCount; ++r) {
        SCOPED_TRACE(r);
        const auto frame = routers.firstFrameAfter(r, lastStored[static_cast<std::size_t>(r)]);
        ASSERT_TRUE(frame);
        ASSERT_EQ(frame->bars.size(), static_cast<std::size_t>(kListEntries));
        for (int k = 0; k < kListEntries; ++k) {
            const FrameBar& bar = frame->bars[static_cast<std::size_t>(k)];
            EXPECT_EQ(bar.levelDbm, stream.newest[static_cast<std::size_t>(r)].at(k)) << k;
            EXPECT_FALSE(bar.label.empty()) << k;
        }
    }
}

TEST_P(ReadingsReachTheFrame, TablesShowTheStrongestTenOfEveryIndexsLastReading)
{
    const Stream stream = tableStream(GetParam());
    RoutersOnAStream routers(kTableChannels);
    const auto lastStored = routers.feed(stream, GetParam());
    for (int r = 0; r < kReceiverCount; ++r) {
        SCOPED_TRACE(r);
        // Strongest first; of equal readings the lower index, as the display ranks them.
        std::vector<std::pair<int, int>> ranked(stream.newest[static_cast<std::size_t>(r)].begin(),
                                                stream.newest[static_cast<std::size_t>(r)].end());
        std::stable_sort(ranked.begin(), ranked.end(),
                         [](const auto& a, const auto& b) { return a.second > b.second; });
        const auto frame = routers.firstFrameAfter(r, lastStored[static_cast<std::size_t>(r)]);
        ASSERT_TRUE(frame);
        ASSERT_EQ(frame->bars.size(), 10u);
        for (std::size_t k = 0; k < 10; ++k) {
            EXPECT_EQ(frame->bars[k].levelDbm, ranked[k].second) << k;
            EXPECT_EQ(frame->bars[k].label, std::to_string(ranked[k].first + 1)) << k;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(PacketsPerSecond, ReadingsReachTheFrame,
                         ::testing::Values(20, 50, 190, 1000));

} // namespace
} // namespace zentor
