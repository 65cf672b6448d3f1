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

bool Workers::waitAllFinished(std::chrono::milliseconds timeoutMs,
                              const std::function<void()>& serve)
{
    const auto deadline = std::chrono::steady_clock::now() + timeoutMs;
    for (auto& worker : slots_) {
        if (!worker)
            continue;
        while (!worker->waitFinished(kServeInterval)) {
            if (std::chrono::steady_clock::now() >= deadline)
                return false;
            serve();
        }
    }
    return true;
}

void Workers::clear()
{
    for (auto& worker : slots_)
        worker.reset();
}

} // namespace zentor
