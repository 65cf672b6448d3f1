#include "platform/MapPublisher.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <semaphore.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zentor {

namespace {

constexpr mode_t kOwnerOnly = 0600;
constexpr unsigned kMutexFree = 1; // the semaphore's count when nobody holds it
constexpr long kNanosecondsPerSecond = 1000000000L;

std::string posixName(const std::string& name)
{
    return "/" + name;
}

// The named semaphore that serves as the block's mutex, created free when it does not exist.
sem_t* openMutex(const std::string& name)
{
    sem_t* mutex = ::sem_open(posixName(name).c_str(), O_CREAT, kOwnerOnly, kMutexFree);
    return mutex == SEM_FAILED ? nullptr : mutex;
}

// Holds the mutex for its lifetime, if it got it within the time-out.
class MutexHold
{
public:
    MutexHold(sem_t* mutex, std::chrono::milliseconds timeout) : mutex_(mutex)
    {
        timespec deadline{};
        ::clock_gettime(CLOCK_REALTIME, &deadline);
        const long long ns =
            static_cast<long long>(deadline.tv_nsec) + std::chrono::nanoseconds(timeout).count();
        deadline.tv_sec += static_cast<time_t>(ns / kNanosecondsPerSecond);
        deadline.tv_nsec = static_cast<long>(ns % kNanosecondsPerSecond);
        int r;
        do {
            r = ::sem_timedwait(mutex_, &deadline);
        } while (r != 0 && errno == EINTR);
        held_ = r == 0;
    }
    ~MutexHold()
    {
        if (held_)
            ::sem_post(mutex_);
    }
    MutexHold(const MutexHold&) = delete;
    MutexHold& operator=(const MutexHold&) = delete;

    bool held() const { return held_; }

private:
    sem_t* const mutex_;
    bool held_ = false;
};

// Maps the first kMapBlockBytes of the open shared memory object `fd`; null on failure.
std::uint8_t* mapBlock(int fd, int protection)
{
    void* view = ::mmap(nullptr, kMapBlockBytes, protection, MAP_SHARED, fd, 0);
    return view == MAP_FAILED ? nullptr : static_cast<std::uint8_t*>(view);
}

// Opens the block for writing, creating it owner-only and kMapBlockBytes long (zero-filled) if
// it does not exist; a block someone else made too small is lengthened. -1 on failure.
int openBlockForWriting(const std::string& name)
{
    const std::string path = posixName(name);
    int fd = ::shm_open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, kOwnerOnly);
    if (fd >= 0) {
        // The mode given to shm_open is narrowed by the umask; the block is owner-only either way.
        ::fchmod(fd, kOwnerOnly);
    } else if (errno == EEXIST) {
        fd = ::shm_open(path.c_str(), O_RDWR | O_CLOEXEC, 0);
    }
    if (fd < 0)
        return -1;
    struct stat st
    {};
    if (::fstat(fd, &st) != 0 || (st.st_size < static_cast<off_t>(kMapBlockBytes) &&
                                  ::ftruncate(fd, static_cast<off_t>(kMapBlockBytes)) != 0)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

struct MapPublisher::Shared
{
    std::uint8_t* view = nullptr;
    sem_t* mutex = nullptr;

    ~Shared()
    {
        if (view != nullptr)
            ::munmap(view, kMapBlockBytes);
        if (mutex != nullptr)
            ::sem_close(mutex);
    }
};

std::unique_ptr<MapAnnouncer> systemMapAnnouncer()
{
    return nullptr;
}

MapPublisher::MapPublisher(MapFeedNames names, std::unique_ptr<MapAnnouncer> announcer)
    : names_(std::move(names)), announcer_(std::move(announcer))
{}

MapPublisher::~MapPublisher() = default;

bool MapPublisher::writeBlock(const Compose& compose)
{
    if (!shared_) {
        auto shared = std::make_unique<Shared>();
        const int fd = openBlockForWriting(names_.block);
        if (fd < 0)
            return false;
        shared->view = mapBlock(fd, PROT_READ | PROT_WRITE);
        ::close(fd); // the mapping keeps the object
        shared->mutex = openMutex(names_.mutex);
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
    const int fd = ::shm_open(posixName(names.block).c_str(), O_RDONLY | O_CLOEXEC, 0);
    if (fd < 0)
        return false;
    struct stat st
    {};
    std::uint8_t* view = nullptr;
    if (::fstat(fd, &st) == 0 && st.st_size >= static_cast<off_t>(kMapBlockBytes))
        view = mapBlock(fd, PROT_READ);
    ::close(fd);
    if (view == nullptr)
        return false;
    bool copied = false;
    if (sem_t* mutex = openMutex(names.mutex)) {
        {
            MutexHold hold(mutex, MapPublisher::kMutexTimeout);
            if (hold.held()) {
                std::memcpy(out, view, kMapBlockBytes);
                copied = true;
            }
        }
        ::sem_close(mutex);
    }
    ::munmap(view, kMapBlockBytes);
    return copied;
}

void removeMapBlock(const MapFeedNames& names)
{
    ::shm_unlink(posixName(names.block).c_str());
    ::sem_unlink(posixName(names.mutex).c_str());
}

} // namespace zentor
