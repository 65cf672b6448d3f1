#include "app/Workers.h"

namespace zentor {

namespace {

// How long each wait lasts between two calls of the serve function.
constexpr std::chrono::milliseconds kServeInterval{20};

} // namespace

std::unique_ptr<WorkerHandle>& Workers::slot(WorkerId id)
{
    return slots_[static_cast<std::size_t>(id)];
}

void Workers::adopt(WorkerId id, std::unique_ptr<WorkerHandle> worker)
{
    slot(id) = std::move(worker);
}

void Workers::requestTerminate(WorkerId id)
{
    if (auto& worker = slot(id))
        worker->requestTerminate();
}

namespace {

bool waitServing(WorkerHandle& worker, std::chrono::steady_clock::time_point deadline,
                 const std::function<void()>& serve)
{
    while (!worker.waitFinished(kServeInterval)) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        serve();
    }
    return true;
}

} // namespace

bool Workers::waitAllFinished(std::chrono::milliseconds timeoutMs,
                              const std::function<void()>& serve)
{
    const auto deadline = std::chrono::steady_clock::now() + timeoutMs;
    for (auto& worker : slots_) {
        if (worker && !waitServing(*worker, deadline, serve))
            return false;
    }
    return true;
}

bool Workers::waitFinished(WorkerId id, std::chrono::milliseconds timeoutMs,
                           const std::function<void()>& serve)
{
    auto& worker = slot(id);
    return !worker || waitServing(*worker, std::chrono::steady_clock::now() + timeoutMs, serve);
}

void Workers::clear()
{
    for (auto& worker : slots_)
        worker.reset();
}

} // namespace zentor
