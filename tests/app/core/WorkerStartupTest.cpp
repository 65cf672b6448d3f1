#include "app/WorkerStartup.h"

#include "app/core/RecordingWorkers.h"
#include "app/core/ThreadWindow.h"
#include "gps/TGPS_Router.h"
#include "nav/TNav_Router.h"
#include "platform/Event.h"
#include "support/Environment.h"

#include <cstdlib>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zentor {
namespace {

using test::RecordingFactory;
using test::RecordingWorker;
using ::testing::ElementsAre;

TEST(WorkerStartup, ComOneWithZentorGpsStartsLinkMainThenGps)
{
    RecordingFactory made;
    Workers workers;
    startWorkers(selectionsFromChoices(0, 0), travelPilotPort(0), made.factory(), workers);
    EXPECT_THAT(made.log, ElementsAre("start Link", "start Main", "start Gps"));
    EXPECT_EQ(made.linkSelection.transport, 1);
    EXPECT_EQ(made.linkSelection.portNumber, 1);
    EXPECT_TRUE(workers.has(WorkerId::Gps));
    EXPECT_FALSE(workers.has(WorkerId::Nav));
}

TEST(WorkerStartup, UsbWithTravelPilotComFiveStartsLinkMainThenNavOnComFive)
{
    RecordingFactory made;
    Workers workers;
    startWorkers(selectionsFromChoices(kPortChoiceUsb, 5), travelPilotPort(5), made.factory(),
                 workers);
    EXPECT_THAT(made.log, ElementsAre("start Link", "start Main", "start Nav"));
    EXPECT_EQ(made.linkSelection.transport, 2);
    EXPECT_EQ(made.linkSelection.portNumber, 0);
    EXPECT_EQ(made.navComPort, 5);
    EXPECT_TRUE(workers.has(WorkerId::Nav));
    EXPECT_FALSE(workers.has(WorkerId::Gps));
}

// Every slot filled, as in a run with both receiver routers running.
void addReceiverWorkers(RecordingFactory& made, Workers& workers)
{
    workers.adopt(WorkerId::Receiver1, std::make_unique<RecordingWorker>(made.log, "Receiver1"));
    workers.adopt(WorkerId::Receiver2, std::make_unique<RecordingWorker>(made.log, "Receiver2"));
}

TEST(Shutdown, Rs232LinkIsToldFirstWhenTheMainWindowCloses)
{
    RecordingFactory made;
    Workers workers;
    const Selections chosen = selectionsFromChoices(2, 0);
    startWorkers(chosen, 0, made.factory(), workers);
    addReceiverWorkers(made, workers);
    const std::size_t started = made.log.size();

    terminateOnFormClose(chosen, workers);
    EXPECT_THAT(made.since(started),
                ElementsAre("terminate Link", "terminate Receiver1", "terminate Receiver2",
                            "terminate Gps", "terminate Main"));
    const std::size_t closed = made.log.size();
    terminateOnDialogDestroy(chosen, workers);
    EXPECT_THAT(made.since(closed), ElementsAre("terminate Link"));
}

TEST(Shutdown, UsbLinkIsToldOnlyWhenTheDialogIsDestroyed)
{
    RecordingFactory made;
    Workers workers;
    const Selections chosen = selectionsFromChoices(kPortChoiceUsb, 3);
    startWorkers(chosen, 3, made.factory(), workers);
    addReceiverWorkers(made, workers);
    const std::size_t started = made.log.size();

    terminateOnFormClose(chosen, workers);
    EXPECT_THAT(made.since(started), ElementsAre("terminate Receiver1", "terminate Receiver2",
                                                 "terminate Nav", "terminate Main"));
    const std::size_t closed = made.log.size();
    terminateOnDialogDestroy(chosen, workers);
    EXPECT_THAT(made.since(closed), ElementsAre("terminate Nav", "terminate Link"));
}

TEST(Shutdown, EmptySlotsAreSkipped)
{
    RecordingFactory made;
    Workers workers;
    terminateOnFormClose(Selections{}, workers);
    terminateOnDialogDestroy(Selections{}, workers);
    EXPECT_TRUE(made.log.empty());
}

TEST(Workers, WaitAllServesTheWindowWhileAWorkerRuns)
{
    std::vector<std::string> log;
    Workers workers;
    auto worker = std::make_unique<RecordingWorker>(log, "Main", false);
    RecordingWorker* main = worker.get();
    workers.adopt(WorkerId::Main, std::move(worker));
    int served = 0;
    // The worker ends once the window thread has served it three times.
    const bool ended = workers.waitAllFinished(std::chrono::seconds(5), [&] {
        if (++served == 3)
            main->finish();
    });
    EXPECT_TRUE(ended);
    EXPECT_EQ(served, 3);
}

TEST(Workers, WaitAllGivesUpAtTheDeadline)
{
    std::vector<std::string> log;
    Workers workers;
    workers.adopt(WorkerId::Main, std::make_unique<RecordingWorker>(log, "Main", false));
    int served = 0;
    EXPECT_FALSE(workers.waitAllFinished(std::chrono::milliseconds(100), [&] { ++served; }));
    EXPECT_GT(served, 0);
}

TEST(Workers, FindGivesTheThreadObjectOfItsType)
{
    test::setEnv("ZENTOR_COM7", "/nonexistent/travelpilot"); // no real port is written to
    TReceiverLink link;
    test::ThreadWindow window;
    Workers workers;
    workers.adopt(WorkerId::Nav, std::make_unique<OwnedWorker<TNav_Router>>(7));
    workers.adopt(WorkerId::Gps, std::make_unique<OwnedWorker<TGPS_Router>>(
                                     link, window, [](const GpsPanelTexts&) {}));
    ASSERT_NE(workers.find<TNav_Router>(WorkerId::Nav), nullptr);
    EXPECT_EQ(workers.find<TNav_Router>(WorkerId::Nav)->comPort(), 7);
    EXPECT_EQ(workers.find<TGPS_Router>(WorkerId::Nav), nullptr);
    EXPECT_EQ(workers.find<TNav_Router>(WorkerId::Main), nullptr);
    workers.requestTerminate(WorkerId::Nav);
    workers.requestTerminate(WorkerId::Gps);
    EXPECT_TRUE(workers.waitAllFinished(std::chrono::seconds(5), [] {}));
    workers.remove(WorkerId::Gps);
    EXPECT_FALSE(workers.has(WorkerId::Gps));
    EXPECT_TRUE(workers.has(WorkerId::Nav));
    workers.clear();
    EXPECT_FALSE(workers.has(WorkerId::Nav));
}

} // namespace
} // namespace zentor
