#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// The hand-over to the mapping application: a named shared block of kMapBlockBytes that is
// rewritten whole under a named mutex, then announced by a message.
//
// Windows: the page-file-backed file mapping <block> (CreateFileMappingA, MapViewOfFile), the
// mutex <mutex> (CreateMutexA), the message <message> (RegisterWindowMessageA) broadcast to every
// top-level window (SendNotifyMessageA to HWND_BROADCAST, wParam 0, lParam 0).
// Linux: the POSIX shared memory object "/<block>" (shm_open, mode 0600); the mutex is a
// process-shared robust pthread_mutex_t at offset 0 of the shared memory object "/<mutex>"
// (64 bytes, mode 0600), which a holder that dies leaves to the next one (EOWNERDEAD, then
// pthread_mutex_consistent), and which appears only once it is initialised. There are no window
// messages between programs there: the program brings an announcer of its own, a signal on the
// session bus. docs/protocol.md tells the authors of readers how to take the mutex.
//
// One publisher at a time: a publisher holds a lock of its own (not the readers' mutex) from its
// first publication to its end, and only the holder makes, writes and removes the block. Linux:
// an exclusive open-file-description lock on the shared memory object "/<block>.publisher",
// which is never removed; Windows: the named mutex "<block>.publisher", owned by the thread that
// publishes. Either goes with the process however it ends (a mutex whose owner is gone is
// abandoned, and the next one takes it).
namespace zentor {

constexpr std::size_t kMapBlockBytes = 4096;

// The names of the block, its mutex and the update message. The program uses the defaults;
// tests give names of their own, so that runs in parallel never meet.
struct MapFeedNames
{
    std::string block = "QXVTAVRINE";
    std::string mutex = "DATAMUTEX";
    std::string message = "QXV_MAP_UPDATE";
};

// How the update message reaches the mapping application.
class MapAnnouncer
{
public:
    virtual ~MapAnnouncer() = default;
    // Registers the message `name` with the system and returns its identifier; 0 when it could
    // not be registered, and nothing is announced then. The publisher calls it once, on its
    // first publication.
    virtual unsigned registerMessage(const std::string& name) = 0;
    // Tells every listener that the block has changed. Returns at once: it never waits for a
    // listener.
    virtual void announce(unsigned messageId) = 0;
};

// The system's own announcer: on Windows the broadcast window message; null elsewhere, where
// there are no window messages between programs.
std::unique_ptr<MapAnnouncer> systemMapAnnouncer();

// The writer of the block. Threads: one thread publishes (the GPS thread), the same one every
// time: on Windows the publisher lock belongs to that thread.
class MapPublisher
{
public:
    // How long a publication waits for the mutex before it gives up on that publication.
    static constexpr std::chrono::milliseconds kMutexTimeout{500};

    // Fills the block in place: given the block as it is now, it writes the fields it owns and
    // leaves the other bytes alone.
    using Compose = std::function<void(std::uint8_t* block)>;

    // Nothing is created yet: the block appears with the first publication. `announcer` may be
    // null: the block is written but never announced.
    explicit MapPublisher(MapFeedNames names = {},
                          std::unique_ptr<MapAnnouncer> announcer = systemMapAnnouncer());
    // Unmaps the block and lets go of the publisher lock. Windows: the mapping goes with its last
    // handle. Linux: the block is removed (shm_unlink) when this publisher held the lock, so
    // that no reader takes it for a live one afterwards, whether it made the block or found one
    // left by a publisher that was killed. The mutex stays: a reader may hold it.
    ~MapPublisher();
    MapPublisher(const MapPublisher&) = delete;
    MapPublisher& operator=(const MapPublisher&) = delete;

    // One publication: takes the publisher lock, creates and maps the mutex and the block if
    // that has not been done yet, then, holding the mutex, copies the block into a local buffer,
    // lets `compose` fill it and copies it back in one step, so that a reader holding the mutex
    // never sees a block half written. Then registers the message (the first time) and announces
    // it. Returns false, with nothing written and nothing announced, when another publisher holds
    // the lock (otherPublisher(); it is tried again at the next publication, so this one takes over
    // once the other has ended), the block or the mutex cannot be made (tried again as well) or the
    // mutex is not free within kMutexTimeout. A mutex whose holder died is taken over at once;
    // one left unusable is replaced (Linux).
    bool publish(const Compose& compose)
    {
        if (!writeBlock(compose))
            return false;
        announce();
        return true;
    }

    // True when the last publication was not made because another publisher holds the lock.
    bool otherPublisher() const { return otherPublisher_; }

private:
    struct Shared; // the publisher lock, the mapping and the mutex: platform handles

    // Makes the block and the mutex on first use, then rewrites the block under the mutex.
    bool writeBlock(const Compose& compose);

    void announce()
    {
        if (!announcer_)
            return;
        if (!registered_) {
            registered_ = true;
            messageId_ = announcer_->registerMessage(names_.message);
        }
        if (messageId_ != 0)
            announcer_->announce(messageId_);
    }

    const MapFeedNames names_;
    const std::unique_ptr<MapAnnouncer> announcer_;
    std::unique_ptr<Shared> shared_;
    bool otherPublisher_ = false;
    bool registered_ = false; // the message is registered at most once, even when that failed
    unsigned messageId_ = 0;
};

// Copies the whole block into `out` (kMapBlockBytes) while holding the mutex, for readers
// (map-watch, tests). False when there is no block of that name yet or the mutex is not free
// within MapPublisher::kMutexTimeout. Any thread.
bool readMapBlock(const MapFeedNames& names, std::uint8_t* out);

// Removes the named block, its mutex and its publisher lock, for tests cleaning up after
// themselves (Linux: shm_unlink of the three; Windows: nothing, they go with their last handle).
void removeMapBlock(const MapFeedNames& names);

} // namespace zentor
