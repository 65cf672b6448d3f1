// The TravelPilot thread against the simulator's TravelPilot on its own pseudo-terminal.
#if defined(ZENTOR_SIM_PATH)

#include "link/ProtocolDoubles.h"
#include "nav/TNav_Router.h"
#include "support/SimulatorProcess.h"
#include "support/ThreadWindow.h"
#include "support/WaitUntil.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <mutex>

namespace zentor {
namespace {

using namespace std::chrono_literals;
using test::waitUntil;

TEST(NavWithSimulator, AsksForVersionThenShowsAndLogsPositionSpeedAndDirection)
{
    test::SimulatorProcess sim;
    ASSERT_TRUE(
        sim.start({"--travelpilot-only", "--tp-link", sim.path("port"), "--seconds", "30"}));
    ASSERT_TRUE(sim.waitForLink(sim.path("port"))) << sim.output("err.txt");
    ::setenv("ZENTOR_COM6", sim.path("port").c_str(), 1);

    std::mutex mutex;
    TravelPilotTexts shown;
    test::ThreadWindow window;
    test::RecordingLog log;
    auto latest = [&] {
        std::lock_guard<std::mutex> lock(mutex);
        return shown;
    };
    TNav_Router router(6, &window, [&](const TravelPilotTexts& texts) {
        std::lock_guard<std::mutex> lock(mutex);
        for (auto [to, from] : {std::pair{&shown.version, &texts.version},
                                {&shown.latitude, &texts.latitude},
                                {&shown.longitude, &texts.longitude},
                                {&shown.update, &texts.update},
                                {&shown.speed, &texts.speed},
                                {&shown.direction, &texts.direction}}) {
            if (*from)
                *to = *from;
        }
    });
    router.setLogSink(&log);

    ASSERT_TRUE(waitUntil([&] { return latest().version.has_value(); }, 10000ms))
        << sim.output("err.txt");
    EXPECT_EQ(latest().version->rfind("V ", 0), 0u) << *latest().version;
    ASSERT_TRUE(waitUntil([&] { return latest().speed.has_value(); }, 15000ms))
        << "speed and direction follow every few positions";
    const TravelPilotTexts texts = latest();
    ASSERT_TRUE(texts.latitude && texts.longitude && texts.update && texts.direction);
    EXPECT_EQ(texts.latitude->back(), 'N');
    EXPECT_EQ(texts.longitude->back(), 'E');
    EXPECT_NE(texts.speed->find(" km/h"), std::string::npos);
    EXPECT_NE(texts.direction->find(" deg"), std::string::npos);
    EXPECT_TRUE(router.takeAnsweredMark());
    // The speed record is handed to the log right after its fields were shown.
    auto logged = [&](std::uint8_t type) {
        int n = 0;
        for (const test::Bytes& record : log.taken())
            n += record.size() >= 3 && record[2] == type;
        return n;
    };
    ASSERT_TRUE(waitUntil([&] { return logged(0xC1) >= 1; }, 5000ms));

    router.setLogSink(nullptr);
    int positions = 0, speeds = 0;
    for (const test::Bytes& record : log.taken()) {
        ASSERT_GE(record.size(), 3u);
        if (record[2] == 0xC0 && record.size() == 23)
            ++positions;
        else if (record[2] == 0xC1 && record.size() == 7)
            ++speeds;
        else
            ADD_FAILURE() << "unexpected record of type " << int(record[2]);
    }
    EXPECT_GE(positions, 1);
    EXPECT_GE(speeds, 1);
    router.requestTerminate();
    EXPECT_TRUE(router.waitFinished(5000ms));
}

} // namespace
} // namespace zentor

#endif
