// The program's thread handles: the bounded wait that serves the window thread meanwhile, and
// finding a worker's thread object by its type.
#include "app/Workers.h"

#include "app/core/RecordingWorkers.h"
#include "gps/TGPS_Router.h"
#include "nav/TNav_Router.h"
#include "support/Environment.h"
#include "support/ThreadWindow.h"

#include <gtest/gtest.h>

namespace zentor {
namespace {

using test::RecordingWorker;

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
    ReceiverState state;
    test::ThreadWindow window;
    Workers workers;
    workers.adopt(WorkerId::Nav, std::make_unique<OwnedWorker<TNav_Router>>(7));
    workers.adopt(WorkerId::Gps, std::make_unique<OwnedWorker<TGPS_Router>>(
                                     state, window, [](const GpsPanelTexts&) {}));
    ASSERT_NE(workers.find<TNav_Router>(WorkerId::Nav), nullptr);
    EXPECT_EQ(workers.find<TNav_Router>(WorkerId::Nav)->comPort(), 7);
    EXPECT_EQ(workers.find<TGPS_Router>(WorkerId::Nav), nullptr);
    EXPECT_EQ(workers.find<TNav_Router>(WorkerId::Main), nullptr);
    workers.requestTerminate(WorkerId::Nav);
    workers.requestTerminate(WorkerId::Gps);
    EXPECT_TRUE(workers.waitAllFinished(std::chrono::seconds(5), [] {}));
    workers.clear();
    EXPECT_EQ(workers.find<TNav_Router>(WorkerId::Nav), nullptr);
}

} // namespace
} // namespace zentor
