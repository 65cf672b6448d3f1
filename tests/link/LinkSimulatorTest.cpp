// The link thread and the receiver protocol against the instrument simulator program, over a
// real pseudo-terminal and through the D2XX stand-in, as the data logger runs them.
#if defined(ZENTOR_SIM_PATH)

#include "fakes/ftd2xx/FakeFtd2xx.h"
#include "link/TCom_Router.h"
#include "link/TReceiverLink.h"
#include "platform/D2xx.h"
#include "support/PtyInstrument.h"
#include "support/SimulatorProcess.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <thread>

namespace zentor {
namespace {

using namespace std::chrono_literals;
using test::waitUntil;

constexpr auto kPatience = 10000ms; // a loaded machine may take a while to start the simulator

// Starts the simulator with its port linked into its folder and waits for the link to appear.
bool startSimulator(test::SimulatorProcess& sim, std::vector<std::string> args)
{
    args.insert(args.end(),
                {"--link", sim.path("port"), "--serial", "ZT777001", "--seconds", "30"});
    return sim.start(args) && sim.waitForLink(sim.path("port"), kPatience);
}

bool anyLevel(const ReceiverSnapshot& r)
{
    return std::any_of(r.listRssi.begin(), r.listRssi.end(), [](auto b) { return b != 0x88; });
}

TEST(LinkWithSimulator, ListModeOverComIdentifiesConfiguresAndStoresScans)
{
    test::SimulatorProcess sim;
    ASSERT_TRUE(startSimulator(sim, {"--mode", "list", "--rate", "100"})) << sim.output("err.txt");
    ::setenv("ZENTOR_COM1", sim.path("port").c_str(), 1);
    TReceiverLink link;
    TCom_Router router(link, {LinkSelection::kRs232, 1});

    ASSERT_TRUE(waitUntil([&] { return link.state().identification() == "ZT777001"; }, kPatience))
        << sim.output("err.txt");
    EXPECT_EQ(link.state().statusText(), "Connected via COM");
    ASSERT_TRUE(waitUntil([&] { return link.state().receiver(1).present; }, kPatience))
        << "the 0x01 request sent after the identification is answered";
    EXPECT_TRUE(link.state().receiver(0).present);
    EXPECT_TRUE(link.state().receiver(1).present);
    EXPECT_GT(link.state().receiver(0).range.stepKHz, 0.0);

    // Scan data is stored and its receiver's event set; the display would reset it.
    for (int r = 0; r < kReceiverCount; ++r) {
        ASSERT_TRUE(
            waitUntil([&] { return link.state().receiverDataEvent(r).isSet(); }, kPatience));
        EXPECT_TRUE(anyLevel(link.state().receiver(r))) << "receiver " << r + 1;
        link.state().receiverDataEvent(r).reset();
    }

    // Without channel information, data packets ask for it until it comes.
    ASSERT_TRUE(waitUntil([&] { return link.state().channelInformationCaptured(); }, kPatience));
    link.state().resetScanInformation();
    ASSERT_TRUE(waitUntil([&] { return link.state().channelInformationCaptured(); }, kPatience))
        << "the 0x30 request is answered with channel information";
    EXPECT_FALSE(link.state().channelInformation().empty());

    // The instrument dies mid-stream: the link thread stays alive and can still be ended.
    sim.signal(SIGKILL);
    ASSERT_TRUE(waitUntil([&] { return router.hungUp(); }, kPatience));
    EXPECT_FALSE(router.waitFinished(300ms));
    router.requestTerminate();
    EXPECT_TRUE(router.waitFinished(5000ms));
}

TEST(LinkWithSimulator, TableModeStoresTableReadings)
{
    test::SimulatorProcess sim;
    ASSERT_TRUE(startSimulator(sim, {"--mode", "table", "--rate", "200"})) << sim.output("err.txt");
    ::setenv("ZENTOR_COM2", sim.path("port").c_str(), 1);
    TReceiverLink link;
    TCom_Router router(link, {LinkSelection::kRs232, 2});

    ASSERT_TRUE(waitUntil([&] { return link.state().receiverDataEvent(0).isSet(); }, kPatience));
    const ReceiverSnapshot one = link.state().receiver(0);
    EXPECT_TRUE(std::any_of(one.tableRssi.begin(), one.tableRssi.end(), [](auto b) { return b; }));
    EXPECT_LT(one.lastTableIndex, kTableEntries);
    EXPECT_TRUE(link.state().channelInformationCaptured()) << "table data counts as captured";
}

TEST(LinkWithSimulator, UsbThroughTheD2xxLibraryReachesTheSimulator)
{
    test::SimulatorProcess sim;
    ASSERT_TRUE(startSimulator(sim, {"--mode", "single", "--rate", "50"})) << sim.output("err.txt");
    ::setenv("ZENTOR_FAKE_FTD2XX_PORT", sim.path("port").c_str(), 1);
    const D2xxLibrary library = D2xxLibrary::load(ZENTOR_FAKE_FTD2XX_PATH);
    ASSERT_NE(library.api(), nullptr) << library.error();
    FakeFtd2xx_Reset();
    TReceiverLink link;
    TCom_Router router(link, {LinkSelection::kUsb, 0}, library.api());

    ASSERT_TRUE(waitUntil([&] { return link.state().identification() == "ZT777001"; }, kPatience))
        << sim.output("err.txt");
    EXPECT_EQ(link.state().statusText(), "Connected via USB");
    ASSERT_TRUE(waitUntil([&] { return link.state().takeNewData(0); }, kPatience))
        << "single-mode levels arrive four bytes at a time and are still framed";
    router.requestTerminate();
    EXPECT_TRUE(router.waitFinished(5000ms));
}

// No instrument on the port when the link thread starts; the simulator comes up on that path
// three seconds later, as an instrument plugged in late would.
struct LateInstrument
{
    LinkSelection selection;
    const char* portVariable; // where the port's path is set
    const char* retryText;
    const char* connectedText;
};

class LinkWithLateInstrument : public ::testing::TestWithParam<LateInstrument>
{};

TEST_P(LinkWithLateInstrument, SaysThePortIsNotAvailableAndConnectsOnceItIs)
{
    const LateInstrument& late = GetParam();
    test::SimulatorProcess sim;
    ::setenv(late.portVariable, sim.path("port").c_str(), 1);
    const D2xxLibrary library = D2xxLibrary::load(ZENTOR_FAKE_FTD2XX_PATH);
    ASSERT_NE(library.api(), nullptr) << library.error();
    FakeFtd2xx_Reset();
    TReceiverLink link;
    TCom_Router router(link, late.selection, library.api());

    ASSERT_TRUE(waitUntil([&] { return link.state().statusText() == late.retryText; }, kPatience))
        << link.state().statusText();
    std::this_thread::sleep_for(3s);
    EXPECT_EQ(link.state().statusText(), late.retryText);
    EXPECT_FALSE(router.waitFinished(0ms)) << "the link thread keeps trying";

    ASSERT_TRUE(startSimulator(sim, {"--mode", "single", "--rate", "50"})) << sim.output("err.txt");
    ASSERT_TRUE(waitUntil([&] { return link.state().identification() == "ZT777001"; }, kPatience))
        << sim.output("err.txt");
    EXPECT_EQ(link.state().statusText(), late.connectedText);
    EXPECT_TRUE(waitUntil([&] { return link.state().takeNewData(0); }, kPatience));
    router.requestTerminate();
    EXPECT_TRUE(router.waitFinished(5000ms));
}

INSTANTIATE_TEST_SUITE_P(ComAndUsb, LinkWithLateInstrument,
                         ::testing::Values(LateInstrument{{LinkSelection::kRs232, 3},
                                                          "ZENTOR_COM3",
                                                          "COM3: not available - retrying...",
                                                          "Connected via COM"},
                                           LateInstrument{{LinkSelection::kUsb, 0},
                                                          "ZENTOR_FAKE_FTD2XX_PORT",
                                                          "USB not available - retrying...",
                                                          "Connected via USB"}));

} // namespace
} // namespace zentor

#endif
