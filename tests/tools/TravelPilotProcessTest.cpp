// Runs zentor-sim in its TravelPilot role and polls the unit on its pseudo-terminal as the data
// logger's TravelPilot link would.
#if defined(ZENTOR_SIM_PATH) && !defined(_WIN32)

#include "SimClient.h"
#include "SimTestSupport.h"
#include "link/ByteOrder.h"
#include "support/SimulatorProcess.h"
#include "zentor-sim/TravelPilotFrames.h"

#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <poll.h>
#include <string>
#include <thread>
#include <vector>

namespace zentor::sim {
namespace {

using test::Clock;
using test::hex;
using test::openPort;
using test::readPort;
using test::RemovedAtEnd;
using SimProcess = zentor::test::SimulatorProcess;
using namespace std::chrono_literals;

const Bytes kVersionRequest = hex("05 0A F5 04 01");
const Bytes kVersionResponse = hex("07 0A F5 03 01 0A 01");

// True when `frame` is one whole response to `command`: length, command, complement, sum.
bool isResponse(const Bytes& frame, std::uint8_t command)
{
    return frame.size() >= kTravelPilotFrameOverhead && frame[0] == frame.size() &&
           frame[1] == command && frame[2] == static_cast<std::uint8_t>(~command) &&
           readLe16(&frame[frame.size() - 2]) == travelPilotSum(frame.data(), frame.size() - 2);
}

void send(int fd, const Bytes& bytes)
{
    ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

TEST(TravelPilotProcess, AnswersRequestsOnItsOwnPortBesideTheInstrument)
{
    SimProcess sim;
    const RemovedAtEnd tpLink{sim.path("tp")};
    ASSERT_TRUE(sim.start({"--travelpilot", "--tp-link", tpLink.path, "--link", sim.path("port"),
                           "--seconds", "20"}));
    const int fd = openPort(tpLink.path, 5000);
    ASSERT_GE(fd, 0) << sim.output("err.txt");

    send(fd, kVersionRequest);
    EXPECT_EQ(readPort(fd, 7, 5000), kVersionResponse) << "V 3.1";
    send(fd, hex("05 28 D7 04 01"));
    const Bytes position = readPort(fd, 19, 5000);
    ASSERT_TRUE(isResponse(position, 40)) << position.size();
    // The route runs within 2 km of the default town centre, 52.0116 N 4.3571 E.
    EXPECT_EQ(position[3], 'N');
    EXPECT_NEAR(readLe16(&position[4]) + readLe32(&position[6]) / 1e6, 52.0116, 0.02);
    EXPECT_EQ(position[10], 'E');
    EXPECT_NEAR(readLe16(&position[11]) + readLe32(&position[13]) / 1e6, 4.3571, 0.03);
    send(fd, hex("05 2C D3 04 02 05 2C D3 04 01")); // a bad checksum, then a good request
    const Bytes speed = readPort(fd, 9, 5000);
    ASSERT_TRUE(isResponse(speed, 44));
    EXPECT_EQ(readLe16(&speed[3]), 50) << "km/h";
    ::close(fd);

    ASSERT_TRUE(sim.waitForMessage("TravelPilot: the client closed the port", 5000));
    sim.signal(SIGTERM);
    ASSERT_EQ(sim.waitExit(5000), 0) << sim.output("err.txt");
    const std::string out = sim.output("out.txt");
    EXPECT_NE(out.find("ZENTOR_COM1=" + sim.path("port")), std::string::npos) << out;
    EXPECT_NE(out.find("ZENTOR_COM2=" + tpLink.path + " and choose \"TravelPilot COM2:\""),
              std::string::npos)
        << out;
    EXPECT_NE(sim.output("err.txt").find("TravelPilot: 3 requests answered, 0 unanswered while "
                                         "silent, 5 bytes of malformed requests skipped"),
              std::string::npos)
        << sim.output("err.txt");
}

TEST(TravelPilotProcess, FallsSilentAndAnswersAgain)
{
    SimProcess sim;
    ASSERT_TRUE(sim.start({"--travelpilot-only", "--tp-link", sim.path("port"), "--tp-silent-after",
                           "1", "--tp-resume-after", "1.5", "--seconds", "20"}));
    const int fd = openPort(sim.path("port"), 5000);
    ASSERT_GE(fd, 0) << sim.output("err.txt");

    // A version request every 100 ms; the arrival time of each response.
    std::vector<Clock::duration> answers;
    const auto opened = Clock::now();
    Bytes pending;
    Clock::duration longestGap{};
    while (Clock::now() - opened < 7s) {
        send(fd, kVersionRequest);
        const auto until = Clock::now() + 100ms;
        while (Clock::now() < until) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 10) <= 0)
                continue;
            std::uint8_t buffer[64];
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            ASSERT_GT(n, 0);
            pending.insert(pending.end(), buffer, buffer + n);
            for (; pending.size() >= kVersionResponse.size();
                 pending.erase(pending.begin(), pending.begin() + 7)) {
                ASSERT_EQ(Bytes(pending.begin(), pending.begin() + 7), kVersionResponse);
                const auto at = Clock::now() - opened;
                if (!answers.empty())
                    longestGap = std::max(longestGap, at - answers.back());
                answers.push_back(at);
            }
        }
        if (longestGap > 1s && answers.back() - answers.front() > longestGap + 300ms)
            break; // answering, silent, and answering again: seen
    }
    ::close(fd);
    sim.signal(SIGTERM);
    ASSERT_EQ(sim.waitExit(5000), 0) << sim.output("err.txt");

    ASSERT_FALSE(answers.empty());
    EXPECT_LT(answers.front(), 1s) << "answers from the start";
    EXPECT_GT(longestGap, 1s) << "silent for 1.5 s";
    EXPECT_LT(longestGap, 4s);
    EXPECT_GT(answers.back() - answers.front(), longestGap + 300ms) << "and answering again";
    const std::string err = sim.output("err.txt");
    EXPECT_NE(err.find("TravelPilot: fell silent"), std::string::npos) << err;
    EXPECT_NE(err.find("TravelPilot: answering again"), std::string::npos) << err;
    EXPECT_NE(sim.output("out.txt").find("silent after 1 s, answering again after 1.5 s"),
              std::string::npos)
        << sim.output("out.txt");
}

} // namespace
} // namespace zentor::sim

#endif
