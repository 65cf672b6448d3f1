// Log mode end to end: the instrument simulator streams, with damaged frames among the good
// ones, over a real pseudo-terminal to the link thread; the log file must hold exactly what the
// simulator's record says a correct receiver found on the line, in order, after the header.
#if defined(ZENTOR_SIM_PATH)

#include "LogTestSupport.h"
#include "link/TCom_Router.h"
#include "link/TReceiverLink.h"
#include "logging/LogSession.h"
#include "support/PtyInstrument.h"
#include "support/SimulatorProcess.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace zentor {
namespace {

using namespace std::chrono_literals;
using logtest::Bytes;
using logtest::kHeaderWithoutChannelInformation;
using logtest::readFile;
using test::waitUntil;

TEST(LogWithSimulator, TheLogHoldsExactlyThePacketsThatReachedTheProgramIntact)
{
    test::SimulatorProcess sim;
    ASSERT_TRUE(sim.start({"--link", sim.path("port"), "--record", sim.path("record.bin"), "--mode",
                           "list", "--rate", "300", "--seconds", "3", "--faults",
                           "garbage,bitflip,truncate", "--fault-rate", "0.05", "--seed", "11"}));
    ASSERT_TRUE(sim.waitForLink(sim.path("port")));

    // Log mode is on before the link opens, so every packet from the first one is logged.
    TReceiverLink link;
    LogSession session(link.state(), nullptr);
    link.setLogSink(&session);
    const std::string logName = session.start(sim.path("drive"));
    ::setenv("ZENTOR_COM4", sim.path("port").c_str(), 1);
    TCom_Router router(link, {LinkSelection::kRs232, 4});

    // The simulator ends by itself once the program has read the last bytes it sent.
    ASSERT_EQ(sim.waitExit(20000), 0) << sim.output("err.txt");
    ASSERT_TRUE(waitUntil([&] { return router.hungUp(); }, 10000ms));
    router.requestTerminate();
    ASSERT_TRUE(router.waitFinished(5000ms));
    ASSERT_TRUE(session.closeAll(5000ms));

    const Bytes record = readFile(sim.path("record.bin"));
    const Bytes log = readFile(logName);
    ASSERT_GT(record.size(), 10000u) << sim.output("err.txt");
    ASSERT_GE(log.size(), kHeaderWithoutChannelInformation);
    const Bytes logged(log.begin() + kHeaderWithoutChannelInformation, log.end());
    EXPECT_EQ(logged.size(), record.size());
    EXPECT_TRUE(logged == record) << "the log differs from what was sent intact";
    EXPECT_NE(sim.output("err.txt").find("damaged"), std::string::npos)
        << "the run had damaged frames: " << sim.output("err.txt");
    ::unlink(logName.c_str());
}

} // namespace
} // namespace zentor

#endif
