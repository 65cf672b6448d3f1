// An instrument that goes away in the middle of a logged drive and comes back on the same port:
// the simulator is stopped and started again on the same link path, over the serial port and
// through the D2XX stand-in. The link thread must say the connection is lost, find the
// instrument again and identify it, while the log stays open and simply goes on.
#if defined(ZENTOR_SIM_PATH)

#include "LogTestSupport.h"
#include "fakes/ftd2xx/FakeFtd2xx.h"
#include "link/TCom_Router.h"
#include "link/TReceiverLink.h"
#include "logging/LogSession.h"
#include "platform/D2xx.h"
#include "support/SimulatorProcess.h"
#include "support/WaitUntil.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

namespace zentor {
namespace {

using namespace std::chrono_literals;
using logtest::Bytes;
using logtest::kHeaderWithoutChannelInformation;
using logtest::readFile;
using test::waitUntil;
constexpr auto kPatience = 10000ms;

bool startOnLink(test::SimulatorProcess& sim, const std::string& link, const std::string& serial,
                 const std::string& record, const char* seconds)
{
    ::unlink(link.c_str()); // so that the wait below sees this run's link, not the last one's
    return sim.start({"--link", link, "--serial", serial, "--record", record, "--mode", "list",
                      "--rate", "100", "--seconds", seconds}) &&
           sim.waitForLink(link, kPatience);
}

struct Transport
{
    const char* name;
    LinkSelection selection;
    const char* connectedText;
};

// Names the transport in test listings instead of dumping its bytes.
void PrintTo(const Transport& transport, std::ostream* out)
{
    *out << transport.name;
}

class ReconnectWithSimulator : public ::testing::TestWithParam<Transport>
{};

TEST_P(ReconnectWithSimulator, FindsTheInstrumentAgainAndTheLogGoesOnWithoutANewHeader)
{
    const Transport transport = GetParam();
    test::SimulatorProcess first;
    test::SimulatorProcess second;
    const std::string link = first.path("port");
    ASSERT_TRUE(startOnLink(first, link, "ZT777001", first.path("record.bin"), "30"))
        << first.output("err.txt");

    const D2xxLibrary library = D2xxLibrary::load(ZENTOR_FAKE_FTD2XX_PATH);
    ASSERT_NE(library.api(), nullptr) << library.error();
    const D2xxApi* api = nullptr;
    if (transport.selection.transport == LinkSelection::kUsb) {
        ::setenv("ZENTOR_FAKE_FTD2XX_PORT", link.c_str(), 1);
        FakeFtd2xx_Reset();
        api = library.api();
    } else {
        ::setenv("ZENTOR_COM2", link.c_str(), 1);
    }

    TReceiverLink receiverLink;
    LogSession session(receiverLink.state(), nullptr);
    receiverLink.setLogSink(&session);
    const std::string logName = session.start(first.path("drive"));
    auto router = std::make_unique<TCom_Router>(receiverLink, transport.selection, api);
    ASSERT_TRUE(
        waitUntil([&] { return receiverLink.state().identification() == "ZT777001"; }, kPatience))
        << first.output("err.txt");
    ASSERT_TRUE(waitUntil([&] { return session.fileSizeKb().value_or(0) >= 2; }, kPatience));

    // The instrument goes away without warning the program.
    first.signal(SIGTERM);
    ASSERT_EQ(first.waitExit(10000), 0) << first.output("err.txt");
    ASSERT_TRUE(waitUntil([&] { return router->hungUp(); }, kPatience));
    EXPECT_EQ(receiverLink.state().statusText(), "Connection lost - reconnecting...");
    EXPECT_FALSE(router->waitFinished(200ms));

    // Back on the same port; it ends by itself once the program has read all it sent.
    ASSERT_TRUE(startOnLink(second, link, "ZT777002", second.path("record.bin"), "2"))
        << second.output("err.txt");
    ASSERT_TRUE(
        waitUntil([&] { return receiverLink.state().identification() == "ZT777002"; }, kPatience))
        << "identified again after reconnecting: " << second.output("err.txt");
    EXPECT_EQ(receiverLink.state().statusText(), transport.connectedText);
    EXPECT_FALSE(router->hungUp());
    ASSERT_EQ(second.waitExit(20000), 0) << second.output("err.txt");
    ASSERT_TRUE(waitUntil([&] { return router->hungUp(); }, kPatience));
    router.reset();
    ASSERT_TRUE(session.closeAll(5000ms));

    // One header, then what the first run got across, then all of the second run.
    const Bytes log = readFile(logName);
    const Bytes before = readFile(first.path("record.bin"));
    const Bytes after = readFile(second.path("record.bin"));
    ASSERT_GT(after.size(), 1000u) << second.output("err.txt");
    ASSERT_GE(log.size(), kHeaderWithoutChannelInformation + after.size());
    const Bytes head(log.begin() + kHeaderWithoutChannelInformation, log.end() - after.size());
    const Bytes tail(log.end() - after.size(), log.end());
    EXPECT_TRUE(tail == after) << "the log ends with everything the second run sent; log "
                               << log.size() << " bytes, first run " << before.size()
                               << ", second run " << after.size() << "; first difference at "
                               << (std::mismatch(tail.begin(), tail.end(), after.begin()).first -
                                   tail.begin());
    ASSERT_LE(head.size(), before.size());
    EXPECT_GT(head.size(), 1000u);
    EXPECT_TRUE(std::equal(head.begin(), head.end(), before.begin()))
        << "before the loss the log holds what the first run sent, up to where the line went";
    ::unlink(logName.c_str());
    ::unsetenv("ZENTOR_FAKE_FTD2XX_PORT");
}

INSTANTIATE_TEST_SUITE_P(
    Transports, ReconnectWithSimulator,
    ::testing::Values(Transport{"Com", {LinkSelection::kRs232, 2}, "Connected via COM"},
                      Transport{"Usb", {LinkSelection::kUsb, 0}, "Connected via USB"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace zentor

#endif
