#include "PlayedUnit.h"
#include "core/TextFormat.h"
#include "link/ByteOrder.h"
#include "nav/TNav_Router.h"
#include "nav/TravelPilotLogPackets.h"
#include "support/ThreadWindow.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <string>
#include <termios.h>
#include <thread>
#include <vector>

namespace zentor {
namespace {

using namespace std::chrono_literals;
using test::Bytes;
using test::PlayedUnit;
using test::unitFrame;

constexpr int kTestComPort = 9;
constexpr auto kDeadline = 8s;

// Position answer k: 48.k N, 11.(2k) E. Speed answer j: 50 + j km/h, 90 deg.
Bytes positionData(std::uint32_t k)
{
    Bytes d{'N', 48, 0, 0, 0, 0, 0, 'E', 11, 0, 0, 0, 0, 0};
    writeLe32(d.data() + 3, k);
    writeLe32(d.data() + 10, 2 * k);
    return d;
}

Bytes speedData(std::uint16_t j)
{
    Bytes d(4, 0);
    writeLe16(d.data(), static_cast<std::uint16_t>(50 + j));
    writeLe16(d.data() + 2, 90);
    return d;
}

// A unit that answers every request: version 2.13, numbered positions and speeds. The answers
// it sent are kept, so that the log packets can be traced back to them.
class AnsweringUnit
{
public:
    Bytes answer(std::uint8_t command)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        switch (command) {
        case kTpCmdVersion:
            return unitFrame(kTpCmdVersion, {2, 13});
        case kTpCmdPosition:
            sent_.push_back(positionData(++positions_));
            return unitFrame(kTpCmdPosition, sent_.back());
        case kTpCmdSpeed:
            sent_.push_back(speedData(++speeds_));
            return unitFrame(kTpCmdSpeed, sent_.back());
        default:
            return {};
        }
    }
    std::vector<Bytes> sent() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return sent_;
    }

private:
    mutable std::mutex mutex_; // guards the members below
    std::vector<Bytes> sent_;  // the data of each position and speed answer, in order
    std::uint32_t positions_ = 0;
    std::uint16_t speeds_ = 0;
};

class RecordingSink final : public LogSink
{
public:
    void handOver(const std::uint8_t* data, std::uint16_t count) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        packets_.emplace_back(data, data + count);
    }
    std::vector<Bytes> packets() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return packets_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<Bytes> packets_;
};

class NavRouterTest : public ::testing::Test
{
protected:
    NavRouterTest() { ::setenv("ZENTOR_COM9", line.device().c_str(), 1); }
    ~NavRouterTest() override
    {
        if (router) {
            router->requestTerminate();
            EXPECT_TRUE(router->waitFinished(3s));
        }
        router.reset();
        ::unsetenv("ZENTOR_COM9");
    }

    void start()
    {
        router = std::make_unique<TNav_Router>(
            kTestComPort, &window, [this](const TravelPilotTexts& texts) {
                std::lock_guard<std::mutex> lock(shownMutex);
                shown.push_back(texts);
                shownOnWindowThread =
                    shownOnWindowThread && std::this_thread::get_id() == window.id();
            });
    }

    std::vector<TravelPilotTexts> shownTexts()
    {
        std::lock_guard<std::mutex> lock(shownMutex);
        return shown;
    }

    // The texts of the field, in the order they were shown.
    std::vector<std::string> shownField(std::optional<std::string> TravelPilotTexts::*field)
    {
        std::vector<std::string> texts;
        for (const TravelPilotTexts& t : shownTexts())
            if (t.*field)
                texts.push_back(*(t.*field));
        return texts;
    }

    bool waitShownUpdates(std::size_t n)
    {
        return test::waitUntil([&] { return shownField(&TravelPilotTexts::update).size() >= n; },
                               kDeadline);
    }

    test::PtyInstrument line;
    test::ThreadWindow window;
    std::mutex shownMutex; // guards the members below
    std::vector<TravelPilotTexts> shown;
    bool shownOnWindowThread = true;
    std::unique_ptr<TNav_Router> router; // last: it stops first
};

TEST_F(NavRouterTest, AsksForTheVersionThenPositionsWithSpeedAfterEveryFourth)
{
    AnsweringUnit unit;
    PlayedUnit played(line, [&](std::uint8_t c) { return unit.answer(c); });
    start();
    ASSERT_TRUE(played.waitForRequests(7, kDeadline));

    EXPECT_EQ(router->portState(), TNav_Router::PortState::Open);
    const termios settings = line.lineSettings();
    EXPECT_EQ(cfgetospeed(&settings), B9600);
    EXPECT_EQ(settings.c_lflag & (ICANON | ECHO), 0u);

    // Asked again only if an answer got lost on a loaded machine.
    std::vector<std::uint8_t> commands = played.commands();
    std::size_t versions = 0;
    while (versions < commands.size() && commands[versions] == kTpCmdVersion)
        ++versions;
    ASSERT_GE(versions, 1u);
    ASSERT_TRUE(played.waitForRequests(versions + 6, kDeadline));
    commands = played.commands();
    const std::vector<std::uint8_t> expected{40, 40, 40, 40, 44, 40};
    EXPECT_EQ(std::vector<std::uint8_t>(commands.begin() + static_cast<long>(versions),
                                        commands.begin() + static_cast<long>(versions) + 6),
              expected);

    ASSERT_TRUE(waitShownUpdates(5));
    EXPECT_EQ(shownField(&TravelPilotTexts::version).front(), "V 2.13");
    const auto updates = shownField(&TravelPilotTexts::update);
    const auto latitudes = shownField(&TravelPilotTexts::latitude);
    const auto longitudes = shownField(&TravelPilotTexts::longitude);
    ASSERT_EQ(latitudes.size(), updates.size());
    for (std::size_t i = 0; i < updates.size(); ++i) {
        EXPECT_EQ(updates[i], std::to_string(i + 1));
        // Each position pairs the k-th latitude with the 2k-th longitude.
        const int k = std::stoi(latitudes[i].substr(3));
        EXPECT_EQ(latitudes[i], formatText("48.%06d N", k));
        EXPECT_EQ(longitudes[i], formatText("11.%06d E", 2 * k));
    }
    const auto speeds = shownField(&TravelPilotTexts::speed);
    ASSERT_FALSE(speeds.empty());
    EXPECT_EQ(speeds.front().substr(0, 1), "5");
    EXPECT_EQ(speeds.front().substr(2), " km/h");
    EXPECT_EQ(shownField(&TravelPilotTexts::direction).front(), "90 deg");
    std::lock_guard<std::mutex> lock(shownMutex);
    EXPECT_TRUE(shownOnWindowThread);
}

TEST_F(NavRouterTest, HandsItsPacketsToTheLogOnlyWhileASinkIsSet)
{
    AnsweringUnit unit;
    PlayedUnit played(line, [&](std::uint8_t c) { return unit.answer(c); });
    RecordingSink log;
    start();
    router->setLogSink(&log);
    ASSERT_TRUE(test::waitUntil(
        [&] {
            const auto p = log.packets();
            return !p.empty() && p.back()[2] == kTpSpeedLogType;
        },
        kDeadline));
    router->setLogSink(nullptr);
    const std::vector<Bytes> logged = log.packets();
    const std::size_t updatesWhenCleared = shownField(&TravelPilotTexts::update).size();
    ASSERT_TRUE(waitShownUpdates(updatesWhenCleared + 2));
    EXPECT_EQ(log.packets().size(), logged.size());
    // Four positions, then speed and direction (more only if an answer was lost).
    EXPECT_GE(logged.size(), 5u);

    // Every packet comes from an answer the unit gave, in the order given.
    const std::vector<Bytes> sent = unit.sent();
    std::size_t next = 0;
    for (const Bytes& packet : logged) {
        SCOPED_TRACE("packet type " + std::to_string(packet[2]));
        Bytes data;
        if (packet[2] == kTpPositionLogType) {
            ASSERT_EQ(packet.size(), kTpPositionLogBytes);
            EXPECT_EQ((Bytes{packet[0], packet[1]}), (Bytes{21, 0}));
            EXPECT_LE(packet[3], 60); // seconds
            EXPECT_LE(packet[4], 59); // minutes
            EXPECT_LE(packet[5], 23); // hours
            EXPECT_LE(packet[7], 11); // month
            data.assign(packet.begin() + 9, packet.end());
        } else {
            ASSERT_EQ(packet[2], kTpSpeedLogType);
            ASSERT_EQ(packet.size(), kTpSpeedLogBytes);
            EXPECT_EQ((Bytes{packet[0], packet[1]}), (Bytes{5, 0}));
            data.assign(packet.begin() + 3, packet.end());
        }
        while (next < sent.size() && sent[next] != data)
            ++next;
        ASSERT_LT(next, sent.size()) << "not an answer the unit gave, or out of order";
        ++next;
    }
}

TEST_F(NavRouterTest, SilentUnitIsAskedForItsVersionAgainAndAgain)
{
    PlayedUnit played(line, [](std::uint8_t) { return Bytes{}; });
    start();
    ASSERT_TRUE(played.waitForRequests(3, kDeadline));
    const auto requests = played.requests();
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(requests[i].command, kTpCmdVersion);
        if (i > 0) {
            // Two reads of up to 301 ms each, then the 500 ms pause.
            const auto gap = requests[i].at - requests[i - 1].at;
            EXPECT_GE(gap, 400ms);
            EXPECT_LE(gap, 3s);
        }
    }
    EXPECT_TRUE(shownTexts().empty());
    EXPECT_FALSE(router->takeAnsweredMark());

    // The watchdog's position request rides along with the next version request.
    const std::size_t before = played.requests().size();
    router->requestPosition();
    ASSERT_TRUE(played.waitFor(
        [&](const std::vector<PlayedUnit::Request>& r) {
            return r.size() > before && r.back().command == kTpCmdPosition;
        },
        kDeadline));
    const auto commands = played.commands();
    EXPECT_EQ(commands[commands.size() - 2], kTpCmdVersion);
}

TEST_F(NavRouterTest, AnsweredMarkIsSetByAnAnswerAndTakenOnce)
{
    std::atomic<bool> answered{false};
    PlayedUnit played(line, [&](std::uint8_t c) {
        return c == kTpCmdVersion && !answered.exchange(true) ? unitFrame(kTpCmdVersion, {1, 2})
                                                              : Bytes{};
    });
    start();
    ASSERT_TRUE(test::waitUntil([&] { return router->takeAnsweredMark(); }, kDeadline));
    EXPECT_FALSE(router->takeAnsweredMark());
    // The unit is silent from now on: the positions asked for set no mark.
    ASSERT_TRUE(played.waitFor(
        [](const std::vector<PlayedUnit::Request>& r) {
            return r.size() >= 3 && r.back().command == kTpCmdPosition;
        },
        kDeadline));
    EXPECT_FALSE(router->takeAnsweredMark());
    EXPECT_EQ(shownField(&TravelPilotTexts::version), std::vector<std::string>{"V 1.2"});
}

TEST_F(NavRouterTest, BadLengthBytesAreFailedReadsNotReadsOfOddCounts)
{
    // First answer: a length byte 0, then the version frame, which the read made once more
    // finds. Second: a length byte that announces more than ever comes.
    std::atomic<int> versionRequests{0};
    PlayedUnit played(line, [&](std::uint8_t c) {
        if (c != kTpCmdVersion)
            return Bytes{};
        const int n = ++versionRequests;
        Bytes reply = unitFrame(kTpCmdVersion, {3, static_cast<std::uint8_t>(n)});
        if (n == 1)
            reply.insert(reply.begin(), 0x00);
        return reply;
    });
    start();
    ASSERT_TRUE(test::waitUntil([&] { return !shownField(&TravelPilotTexts::version).empty(); },
                                kDeadline));
    EXPECT_EQ(shownField(&TravelPilotTexts::version).front(), "V 3.1");
}

TEST_F(NavRouterTest, AnswerShorterThanItsLengthIsDroppedAndAskedAgain)
{
    std::atomic<int> versionRequests{0};
    PlayedUnit played(line, [&](std::uint8_t c) {
        if (c != kTpCmdVersion)
            return Bytes{};
        const int n = ++versionRequests;
        if (n == 1)
            return Bytes{0xFF, kTpCmdVersion, 0xF5, 9, 9}; // says 255 bytes, brings 5
        return unitFrame(kTpCmdVersion, {4, static_cast<std::uint8_t>(n)});
    });
    start();
    ASSERT_TRUE(test::waitUntil([&] { return !shownField(&TravelPilotTexts::version).empty(); },
                                kDeadline));
    EXPECT_EQ(shownField(&TravelPilotTexts::version).front(), "V 4.2");
    EXPECT_GE(versionRequests.load(), 2);
}

TEST(NavRouter, PortThatCannotBeOpenedLeavesTheThreadRunning)
{
    ::setenv("ZENTOR_COM8", "/nonexistent/ttyTP", 1);
    TNav_Router router(8);
    ::unsetenv("ZENTOR_COM8");
    ASSERT_TRUE(test::waitUntil(
        [&] { return router.portState() != TNav_Router::PortState::Opening; }, kDeadline));
    EXPECT_EQ(router.portState(), TNav_Router::PortState::NotOpened);
    EXPECT_FALSE(router.waitFinished(700ms));
    router.requestPosition();
    EXPECT_FALSE(router.takeAnsweredMark());
    router.requestTerminate();
    EXPECT_TRUE(router.waitFinished(2s));
}

TEST(NavRouter, WaitsForAPortThatAnotherProgramHoldsWithoutTouchingIt)
{
    test::PtyInstrument unit;
    ASSERT_FALSE(unit.device().empty());
    SerialPort holder; // the other program
    ASSERT_TRUE(holder.open(unit.device(), SerialSettings{})) << holder.lastError();
    ::setenv("ZENTOR_COM7", unit.device().c_str(), 1);
    TNav_Router router(7);
    ::unsetenv("ZENTOR_COM7");
    ASSERT_TRUE(test::waitUntil([&] { return router.portState() == TNav_Router::PortState::InUse; },
                                kDeadline));
    EXPECT_TRUE(unit.quietFor(1500ms)) << "no request goes to a port another program holds";

    holder.close();
    ASSERT_TRUE(test::waitUntil([&] { return router.portState() == TNav_Router::PortState::Open; },
                                kDeadline));
    EXPECT_FALSE(unit.receive(1).empty()) << "once free, the unit is asked";
}

} // namespace
} // namespace zentor
