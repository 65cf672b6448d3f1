#pragma once

#include "link/TCom_Router.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <utility>

namespace zentor {

// The program's worker threads, one slot each.
enum class WorkerId
{
    Link,      // TCom_Router
    Main,      // TMain_Router
    Gps,       // TGPS_Router (navigation mode 0)
    Nav,       // TNav_Router (navigation mode 1)
    Receiver1, // TR_Router of receiver 1
    Receiver2, // TR_Router of receiver 2
};
constexpr std::size_t kWorkerSlots = 6;

// One running worker as the program holds it: a terminate request and a bounded wait.
class WorkerHandle
{
public:
    virtual ~WorkerHandle() = default;
    // Any thread; the worker notices at its next wake-up.
    virtual void requestTerminate() = 0;
    // True once the worker's loop has ended, waiting at most timeoutMs.
    virtual bool waitFinished(std::chrono::milliseconds timeoutMs) = 0;
};

// A worker thread object of type Thread, built in place. Destroying it destroys the thread
// object, which joins its thread.
template <class Thread> class OwnedWorker final : public WorkerHandle
{
public:
    template <class... Args>
    explicit OwnedWorker(Args&&... args) : thread_(std::forward<Args>(args)...)
    {}
    Thread& thread() { return thread_; }
    void requestTerminate() override { thread_.requestTerminate(); }
    bool waitFinished(std::chrono::milliseconds timeoutMs) override
    {
        return thread_.waitFinished(timeoutMs);
    }

private:
    Thread thread_;
};

// Builds and starts each worker of a run. The program session's own factory builds the real
// threads; tests give their own to see the order in which workers start and end.
struct WorkerFactory
{
    std::function<std::unique_ptr<WorkerHandle>(const LinkSelection&)> linkThread;
    std::function<std::unique_ptr<WorkerHandle>()> mainRouter;
    std::function<std::unique_ptr<WorkerHandle>()> gpsRouter;
    std::function<std::unique_ptr<WorkerHandle>(int comPort)> navRouter;
    std::function<std::unique_ptr<WorkerHandle>(int receiver)> receiverRouter;
};

// The thread handles of a run: at most one worker per slot. Used on the window thread only.
class Workers
{
public:
    Workers() = default;
    // Destroys the workers, joining each thread: only safe once they have finished.
    ~Workers() = default;
    Workers(const Workers&) = delete;
    Workers& operator=(const Workers&) = delete;

    // Puts a started worker into its slot, destroying one that was there before.
    void adopt(WorkerId id, std::unique_ptr<WorkerHandle> worker);

    // The thread object in the slot when it is of type Thread, else null.
    template <class Thread> Thread* find(WorkerId id)
    {
        auto* owned = dynamic_cast<OwnedWorker<Thread>*>(slot(id).get());
        return owned ? &owned->thread() : nullptr;
    }

    // Sets the worker's terminate request; nothing when the slot is empty.
    void requestTerminate(WorkerId id);

    // Waits until every worker has ended, at most timeoutMs in all. Between short waits it
    // calls `serve`, so that a worker blocked in a window-thread call can be released. True when
    // all have ended.
    bool waitAllFinished(std::chrono::milliseconds timeoutMs, const std::function<void()>& serve);

    // Waits until the worker in `id` has ended (true; also for an empty slot), at most timeoutMs,
    // calling `serve` between short waits.
    bool waitFinished(WorkerId id, std::chrono::milliseconds timeoutMs,
                      const std::function<void()>& serve);

    // Destroys every worker, joining each thread: only safe once they have finished.
    void clear();

private:
    std::unique_ptr<WorkerHandle>& slot(WorkerId id);

    std::array<std::unique_ptr<WorkerHandle>, kWorkerSlots> slots_;
};

} // namespace zentor
