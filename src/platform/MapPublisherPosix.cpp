#include "platform/MapPublisher.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <pthread.h>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace zentor {

namespace {

constexpr mode_t kOwnerOnly = 0600;
constexpr long kNanosecondsPerSecond = 1000000000L;

// The mutex object: a process-shared robust pthread_mutex_t at offset 0, zero bytes after it.
constexpr std::size_t kMapMutexBytes = 64;
static_assert(sizeof(pthread_mutex_t) <= kMapMutexBytes);

// Where Linux keeps the POSIX shared memory objects: shm_open("/NAME") is the file
// /dev/shm/NAME. A new mutex object is made whole under a name of its own and then linked to its
// real name, which fails when that name exists: so nobody ever opens a half-made mutex, and of
// two programs making it at once one wins and the other takes the winner's.
constexpr const char* kSharedMemoryFolder = "/dev/shm";

std::string posixName(const std::string& name)
{
    return "/" + name;
}

// Maps the first `bytes` of the open shared memory object `fd`; null on failure.
void* mapObject(int fd, std::size_t bytes, int protection)
{
    void* view = ::mmap(nullptr, bytes, protection, MAP_SHARED, fd, 0);
    return view == MAP_FAILED ? nullptr : view;
}

// Maps the first `bytes` of the existing shared memory object `path`, opened with `access`;
// null with errno ENOENT when there is none, EINVAL when it is shorter (not the object it should
// be).
void* mapExisting(const std::string& path, int access, std::size_t bytes, int protection)
{
    const int fd = ::shm_open(path.c_str(), access | O_CLOEXEC, 0);
    if (fd < 0)
        return nullptr;
    struct stat st
    {};
    void* view = nullptr;
    if (::fstat(fd, &st) == 0 && st.st_size >= static_cast<off_t>(bytes))
        view = mapObject(fd, bytes, protection);
    ::close(fd);
    if (view == nullptr)
        errno = EINVAL;
    return view;
}

// Makes the mutex object `path` with an initialised mutex; null when it could not, or another
// program made it first.
pthread_mutex_t* makeMutex(const std::string& path)
{
    static std::atomic<unsigned> drafts{0};
    const std::string draft =
        path + ".new." + std::to_string(::getpid()) + "." + std::to_string(drafts.fetch_add(1));
    const int fd = ::shm_open(draft.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, kOwnerOnly);
    if (fd < 0)
        return nullptr;
    ::fchmod(fd, kOwnerOnly); // the mode given to shm_open is narrowed by the umask
    void* view = nullptr;
    if (::ftruncate(fd, static_cast<off_t>(kMapMutexBytes)) == 0)
        view = mapObject(fd, kMapMutexBytes, PROT_READ | PROT_WRITE);
    ::close(fd);
    auto* mutex = static_cast<pthread_mutex_t*>(view);
    bool made = false;
    if (mutex != nullptr) {
        pthread_mutexattr_t attributes;
        ::pthread_mutexattr_init(&attributes);
        ::pthread_mutexattr_setpshared(&attributes, PTHREAD_PROCESS_SHARED);
        ::pthread_mutexattr_setrobust(&attributes, PTHREAD_MUTEX_ROBUST);
        made = ::pthread_mutex_init(mutex, &attributes) == 0 &&
               ::link((kSharedMemoryFolder + draft).c_str(),
                      (kSharedMemoryFolder + path).c_str()) == 0;
        ::pthread_mutexattr_destroy(&attributes);
    }
    ::shm_unlink(draft.c_str());
    if (!made && mutex != nullptr) {
        ::munmap(mutex, kMapMutexBytes);
        mutex = nullptr;
    }
    return mutex;
}

// The map mutex "/<name>", made first when `create` is set and there is none; null on failure.
pthread_mutex_t* openMutex(const std::string& name, bool create)
{
    const std::string path = posixName(name);
    // A second look finds the mutex that another program made while this one tried to.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (auto* mutex = static_cast<pthread_mutex_t*>(
                mapExisting(path, O_RDWR, kMapMutexBytes, PROT_READ | PROT_WRITE)))
            return mutex;
        if (errno != ENOENT || !create)
            return nullptr;
        if (pthread_mutex_t* mutex = makeMutex(path))
            return mutex;
    }
    return nullptr;
}

void unmapMutex(pthread_mutex_t* mutex)
{
    if (mutex != nullptr)
        ::munmap(mutex, kMapMutexBytes);
}

// Holds the map mutex for its lifetime, if it got it within the time-out. A mutex whose holder
// died holding it (a reader killed while copying) is ours then: it is marked consistent and the
// block is rewritten whole. A mutex that a holder left unrecoverable (it unlocked without
// marking it consistent) is broken() and cannot be held again.
class MutexHold
{
public:
    MutexHold(pthread_mutex_t* mutex, std::chrono::milliseconds timeout) : mutex_(mutex)
    {
        // Mostly free, or left by a holder that died: taken at once. Otherwise wait. (The try
        // comes first also because the thread checker takes a timed lock's EOWNERDEAD for a
        // failure, and then reports the unlock; a try's it takes for the lock it is.)
        int r = ::pthread_mutex_trylock(mutex_);
        if (r == EBUSY) {
            timespec deadline{};
            ::clock_gettime(CLOCK_REALTIME, &deadline);
            const long long ns = static_cast<long long>(deadline.tv_nsec) +
                                 std::chrono::nanoseconds(timeout).count();
            deadline.tv_sec += static_cast<time_t>(ns / kNanosecondsPerSecond);
            deadline.tv_nsec = static_cast<long>(ns % kNanosecondsPerSecond);
            r = ::pthread_mutex_timedlock(mutex_, &deadline);
        }
        if (r == EOWNERDEAD)
            ::pthread_mutex_consistent(mutex_);
        held_ = r == 0 || r == EOWNERDEAD;
        broken_ = r == ENOTRECOVERABLE;
    }
    ~MutexHold()
    {
        if (held_)
            ::pthread_mutex_unlock(mutex_);
    }
    MutexHold(const MutexHold&) = delete;
    MutexHold& operator=(const MutexHold&) = delete;

    bool held() const { return held_; }
    bool broken() const { return broken_; }

private:
    pthread_mutex_t* const mutex_;
    bool held_ = false;
    bool broken_ = false;
};

// Opens the block for writing, creating it owner-only and kMapBlockBytes long (zero-filled) if
// it does not exist; a block someone else made too small is lengthened. -1 on failure.
int openBlockForWriting(const std::string& name)
{
    const std::string path = posixName(name);
    int fd = ::shm_open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, kOwnerOnly);
    if (fd >= 0) {
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

std::string publisherLockPath(const std::string& block)
{
    return posixName(block + ".publisher");
}

// Takes the publisher lock of `block`: the descriptor that holds it, or -1, with `otherHolds`
// set when another publisher has it. The object is never removed: a lock on a removed object
// and one on its successor would not meet.
int takePublisherLock(const std::string& block, bool& otherHolds)
{
    otherHolds = false;
    const int fd =
        ::shm_open(publisherLockPath(block).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, kOwnerOnly);
    if (fd < 0)
        return -1;
    struct flock whole
    {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    if (::fcntl(fd, F_OFD_SETLK, &whole) == 0)
        return fd;
    otherHolds = errno == EAGAIN || errno == EACCES;
    ::close(fd);
    return -1;
}

} // namespace

// Made by the publisher that took the lock: it alone writes the block, and removes it when it
// goes, whether it made it or found one that a killed publisher left. The lock goes with the
// publisher's process, however it ends.
struct MapPublisher::Shared
{
    int lockFd = -1; // the publisher lock lives on it
    std::string blockPath;
    int blockFd = -1;
    std::uint8_t* view = nullptr;
    pthread_mutex_t* mutex = nullptr;

    ~Shared()
    {
        if (view != nullptr)
            ::munmap(view, kMapBlockBytes);
        // A reader never takes a block that nobody writes any more for a live one. Removed
        // before the lock goes, so that it never takes the block of the next publisher along.
        // The mutex stays: a reader may hold it.
        if (blockFd >= 0) {
            ::shm_unlink(blockPath.c_str());
            ::close(blockFd);
        }
        unmapMutex(mutex);
        if (lockFd >= 0)
            ::close(lockFd);
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
    otherPublisher_ = false;
    if (!shared_) {
        auto shared = std::make_unique<Shared>();
        shared->lockFd = takePublisherLock(names_.block, otherPublisher_);
        if (shared->lockFd < 0)
            return false;
        // The mutex next: whenever the block exists, so does its mutex.
        shared->mutex = openMutex(names_.mutex, true);
        if (shared->mutex == nullptr)
            return false;
        shared->blockPath = posixName(names_.block);
        shared->blockFd = openBlockForWriting(names_.block);
        if (shared->blockFd < 0)
            return false;
        shared->view = static_cast<std::uint8_t*>(
            mapObject(shared->blockFd, kMapBlockBytes, PROT_READ | PROT_WRITE));
        if (shared->view == nullptr)
            return false;
        shared_ = std::move(shared);
    }
    if (shared_->mutex == nullptr)
        shared_->mutex = openMutex(names_.mutex, true);
    if (shared_->mutex == nullptr)
        return false;
    std::vector<std::uint8_t> block(kMapBlockBytes);
    MutexHold hold(shared_->mutex, kMutexTimeout);
    if (hold.broken()) {
        // Nobody can take this mutex any more: the next publication makes a new one, which
        // readers find when they open the object by name again.
        ::shm_unlink(posixName(names_.mutex).c_str());
        unmapMutex(std::exchange(shared_->mutex, nullptr));
        return false;
    }
    if (!hold.held())
        return false;
    std::memcpy(block.data(), shared_->view, kMapBlockBytes);
    compose(block.data());
    std::memcpy(shared_->view, block.data(), kMapBlockBytes);
    return true;
}

bool readMapBlock(const MapFeedNames& names, std::uint8_t* out)
{
    void* view = mapExisting(posixName(names.block), O_RDONLY, kMapBlockBytes, PROT_READ);
    if (view == nullptr)
        return false;
    bool copied = false;
    if (pthread_mutex_t* mutex = openMutex(names.mutex, false)) {
        {
            MutexHold hold(mutex, MapPublisher::kMutexTimeout);
            if (hold.held()) {
                std::memcpy(out, view, kMapBlockBytes);
                copied = true;
            }
        }
        unmapMutex(mutex);
    }
    ::munmap(view, kMapBlockBytes);
    return copied;
}

void removeMapBlock(const MapFeedNames& names)
{
    ::shm_unlink(posixName(names.block).c_str());
    ::shm_unlink(posixName(names.mutex).c_str());
    ::shm_unlink(publisherLockPath(names.block).c_str());
}

} // namespace zentor
