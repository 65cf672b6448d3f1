#include "platform/MapPublisher.h"

#ifdef _WIN32

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <cstring>
#include <vector>
#include <windows.h>

namespace zentor {

namespace {

DWORD timeoutMs(std::chrono::milliseconds timeout)
{
    return static_cast<DWORD>(timeout.count());
}

// Holds the named mutex for its lifetime, if it got it within the time-out. A mutex left by a
// process that died holding it (WAIT_ABANDONED) is ours then, and the block is rewritten whole.
class MutexHold
{
public:
    MutexHold(HANDLE mutex, std::chrono::milliseconds timeout) : mutex_(mutex)
    {
        const DWORD r = ::WaitForSingleObject(mutex_, timeoutMs(timeout));
        held_ = r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
    }
    ~MutexHold()
    {
        if (held_)
            ::ReleaseMutex(mutex_);
    }
    MutexHold(const MutexHold&) = delete;
    MutexHold& operator=(const MutexHold&) = delete;

    bool held() const { return held_; }

private:
    const HANDLE mutex_;
    bool held_ = false;
};

// The registered window message, sent to every top-level window without waiting for any.
class WindowMessageAnnouncer final : public MapAnnouncer
{
public:
    unsigned registerMessage(const std::string& name) override
    {
        return ::RegisterWindowMessageA(name.c_str());
    }
    void announce(unsigned messageId) override
    {
        ::SendNotifyMessageA(HWND_BROADCAST, messageId, 0, 0);
    }
};

} // namespace

// Made by the publisher that took the publisher lock: it alone maps and writes the block.
struct MapPublisher::Shared
{
    HANDLE publisher = nullptr; // the publisher lock, owned by the publishing thread once held
    bool publishing = false;
    HANDLE mapping = nullptr;
    std::uint8_t* view = nullptr;
    HANDLE mutex = nullptr;

    ~Shared()
    {
        if (view != nullptr)
            ::UnmapViewOfFile(view);
        if (mapping != nullptr)
            ::CloseHandle(mapping);
        if (mutex != nullptr)
            ::CloseHandle(mutex);
        // Let go where the lock's thread ends the publisher; otherwise the lock is abandoned
        // when that thread ends, and the next publisher takes it then.
        if (publishing)
            ::ReleaseMutex(publisher);
        if (publisher != nullptr)
            ::CloseHandle(publisher);
    }
};

std::unique_ptr<MapAnnouncer> systemMapAnnouncer()
{
    return std::make_unique<WindowMessageAnnouncer>();
}

MapPublisher::MapPublisher(MapFeedNames names, std::unique_ptr<MapAnnouncer> announcer)
    : names_(std::move(names)), announcer_(std::move(announcer))
{}

MapPublisher::~MapPublisher() = default;

bool MapPublisher::writeBlock(const Compose& compose)
{
    otherPublisher_ = false;
    if (!shared_) {
        auto shared = std::make_unique<Shared>();
        shared->publisher = ::CreateMutexA(nullptr, FALSE, (names_.block + ".publisher").c_str());
        if (shared->publisher == nullptr)
            return false;
        // Free, or abandoned by a publisher that ended without letting go: ours.
        const DWORD taken = ::WaitForSingleObject(shared->publisher, 0);
        shared->publishing = taken == WAIT_OBJECT_0 || taken == WAIT_ABANDONED;
        if (!shared->publishing) {
            otherPublisher_ = taken == WAIT_TIMEOUT;
            return false;
        }
        // Backed by the page file; a new mapping starts zero-filled.
        shared->mapping =
            ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                 static_cast<DWORD>(kMapBlockBytes), names_.block.c_str());
        if (shared->mapping == nullptr)
            return false;
        shared->view = static_cast<std::uint8_t*>(
            ::MapViewOfFile(shared->mapping, FILE_MAP_WRITE, 0, 0, kMapBlockBytes));
        shared->mutex = ::CreateMutexA(nullptr, FALSE, names_.mutex.c_str());
        if (shared->view == nullptr || shared->mutex == nullptr)
            return false;
        shared_ = std::move(shared);
    }
    std::vector<std::uint8_t> block(kMapBlockBytes);
    MutexHold hold(shared_->mutex, kMutexTimeout);
    if (!hold.held())
        return false;
    std::memcpy(block.data(), shared_->view, kMapBlockBytes);
    compose(block.data());
    std::memcpy(shared_->view, block.data(), kMapBlockBytes);
    return true;
}

bool readMapBlock(const MapFeedNames& names, std::uint8_t* out)
{
    HANDLE mapping = ::OpenFileMappingA(FILE_MAP_READ, FALSE, names.block.c_str());
    if (mapping == nullptr)
        return false;
    const void* view = ::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, kMapBlockBytes);
    bool copied = false;
    if (view != nullptr) {
        if (HANDLE mutex = ::CreateMutexA(nullptr, FALSE, names.mutex.c_str())) {
            {
                MutexHold hold(mutex, MapPublisher::kMutexTimeout);
                if (hold.held()) {
                    std::memcpy(out, view, kMapBlockBytes);
                    copied = true;
                }
            }
            ::CloseHandle(mutex);
        }
        ::UnmapViewOfFile(view);
    }
    ::CloseHandle(mapping);
    return copied;
}

void removeMapBlock(const MapFeedNames&)
{
    // Named kernel objects go away with their last handle.
}

} // namespace zentor

#endif // _WIN32
