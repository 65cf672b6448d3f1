#pragma once

// Stand-ins for the worker threads that record what is done to them in one shared log, so that
// tests see the order in which workers are started and told to terminate.
#include "app/Workers.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace zentor::test {

class RecordingWorker final : public WorkerHandle
{
public:
    // `endsOnTerminate`: the worker's loop ends as soon as it is told to terminate.
    RecordingWorker(std::vector<std::string>& log, std::string name, bool endsOnTerminate = true)
        : log_(log), name_(std::move(name)), endsOnTerminate_(endsOnTerminate)
    {
        log_.push_back("start " + name_);
    }
    void requestTerminate() override
    {
        log_.push_back("terminate " + name_);
        if (endsOnTerminate_)
            finished_ = true;
    }
    bool waitFinished(std::chrono::milliseconds) override { return finished_.load(); }
    void finish() { finished_ = true; }

private:
    std::vector<std::string>& log_;
    const std::string name_;
    const bool endsOnTerminate_;
    std::atomic<bool> finished_{false};
};

// A factory of recording workers that also keeps what it was asked for.
struct RecordingFactory
{
    std::vector<std::string> log;
    LinkSelection linkSelection{0, 0};
    int navComPort = -1;

    WorkerFactory factory()
    {
        WorkerFactory f;
        f.linkThread = [this](const LinkSelection& s) {
            linkSelection = s;
            return std::make_unique<RecordingWorker>(log, "Link");
        };
        f.mainRouter = [this] { return std::make_unique<RecordingWorker>(log, "Main"); };
        f.gpsRouter = [this] { return std::make_unique<RecordingWorker>(log, "Gps"); };
        f.navRouter = [this](int comPort) {
            navComPort = comPort;
            return std::make_unique<RecordingWorker>(log, "Nav");
        };
        f.receiverRouter = [this](int r) {
            return std::make_unique<RecordingWorker>(log, r == 0 ? "Receiver1" : "Receiver2");
        };
        return f;
    }

    // The log's entries from `first` on.
    std::vector<std::string> since(std::size_t first) const
    {
        return {log.begin() + static_cast<long>(first), log.end()};
    }
};

} // namespace zentor::test
