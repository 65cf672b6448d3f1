#include "MapTestNames.h"
#include "map/MapBlock.h"
#include "map/MapFeed.h"
#include "platform/MapPublisher.h"
#include "support/RecordingMessages.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace zentor {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

MapFeedValues knownValues()
{
    MapFeedValues v;
    v.latitudeDeg = 48.137;
    v.longitudeDeg = 11.575;
    v.rssiDbm = -73;
    v.rangeMinDbm = -110;
    v.rangeMaxDbm = -40;
    v.serialNumber = "ZN000042";
    return v;
}

Bytes composed(const MapFeedValues& values)
{
    Bytes block(kMapBlockBytes, 0);
    composeMapBlock(block.data(), values);
    return block;
}

MapPublisher::Compose composer(const MapFeedValues& values)
{
    return [values](std::uint8_t* block) { composeMapBlock(block, values); };
}

// The block as another program sees it: mapped read-only on its own.
class ReadOnlyView
{
public:
    explicit ReadOnlyView(const std::string& path)
    {
        const int fd = ::shm_open(path.c_str(), O_RDONLY, 0);
        if (fd < 0)
            return;
        struct stat st
        {};
        if (::fstat(fd, &st) == 0) {
            size_ = static_cast<std::size_t>(st.st_size);
            mode_ = st.st_mode & 0777;
        }
        void* view = ::mmap(nullptr, kMapBlockBytes, PROT_READ, MAP_SHARED, fd, 0);
        ::close(fd);
        if (view != MAP_FAILED)
            view_ = static_cast<const std::uint8_t*>(view);
    }
    ~ReadOnlyView()
    {
        if (view_ != nullptr)
            ::munmap(const_cast<std::uint8_t*>(view_), kMapBlockBytes);
    }
    ReadOnlyView(const ReadOnlyView&) = delete;
    ReadOnlyView& operator=(const ReadOnlyView&) = delete;

    bool exists() const { return view_ != nullptr; }
    std::size_t size() const { return size_; }
    unsigned mode() const { return mode_; }
    Bytes bytes() const { return Bytes(view_, view_ + kMapBlockBytes); }

private:
    const std::uint8_t* view_ = nullptr;
    std::size_t size_ = 0;
    unsigned mode_ = 0;
};

// Counts what the publisher asks of the announcer, and what the block held at each announcement.
class CountingAnnouncer final : public MapAnnouncer
{
public:
    struct Counts
    {
        int registrations = 0;
        std::string registeredName;
        std::vector<unsigned> announced;
        std::vector<Bytes> blockAtAnnouncement;
    };

    CountingAnnouncer(Counts& counts, std::string blockPath, unsigned id)
        : counts_(counts), blockPath_(std::move(blockPath)), id_(id)
    {}
    unsigned registerMessage(const std::string& name) override
    {
        ++counts_.registrations;
        counts_.registeredName = name;
        return id_;
    }
    void announce(unsigned messageId) override
    {
        counts_.announced.push_back(messageId);
        counts_.blockAtAnnouncement.push_back(ReadOnlyView(blockPath_).bytes());
    }

private:
    Counts& counts_;
    const std::string blockPath_;
    const unsigned id_;
};

// Another program holding the map mutex: it maps the mutex object and locks the pthread mutex at
// offset 0 as a reader in any language would, and keeps it until told to let go, or is killed.
// It is a careless reader: one that takes over the mutex of a holder that died never marks it
// consistent, so letting go of it leaves the mutex unusable.
class MutexHolder
{
public:
    explicit MutexHolder(const std::string& mutexPath)
    {
        int toChild[2];
        int fromChild[2];
        if (::pipe(toChild) != 0 || ::pipe(fromChild) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            const int fd = ::shm_open(mutexPath.c_str(), O_RDWR, 0);
            void* view = fd < 0 ? MAP_FAILED
                                : ::mmap(nullptr, sizeof(pthread_mutex_t), PROT_READ | PROT_WRITE,
                                         MAP_SHARED, fd, 0);
            auto* mutex = static_cast<pthread_mutex_t*>(view);
            const int locked = view == MAP_FAILED ? EINVAL : ::pthread_mutex_lock(mutex);
            const char state = locked == 0 || locked == EOWNERDEAD ? 'L' : 'F';
            char letGo = 0;
            if (::write(fromChild[1], &state, 1) == 1 && ::read(toChild[0], &letGo, 1) == 1)
                ::pthread_mutex_unlock(mutex);
            ::_exit(0);
        }
        ::close(toChild[0]);
        ::close(fromChild[1]);
        toChild_ = toChild[1];
        char state = 0;
        locked_ = ::read(fromChild[0], &state, 1) == 1 && state == 'L';
        ::close(fromChild[0]);
    }
    ~MutexHolder() { end(SIGKILL); }
    MutexHolder(const MutexHolder&) = delete;
    MutexHolder& operator=(const MutexHolder&) = delete;

    bool locked() const { return locked_; }
    void release()
    {
        const char letGo = 'U';
        if (::write(toChild_, &letGo, 1) == 1)
            end(0);
    }
    void kill() { end(SIGKILL); }

private:
    void end(int signal)
    {
        if (pid_ <= 0)
            return;
        if (signal != 0)
            ::kill(pid_, signal);
        ::waitpid(pid_, nullptr, 0);
        ::close(toChild_);
        pid_ = -1;
    }

    pid_t pid_ = -1;
    int toChild_ = -1;
    bool locked_ = false;
};

class MapPublisherTest : public ::testing::Test
{
protected:
    test::TestMapNames names;
    CountingAnnouncer::Counts counts;

    std::unique_ptr<MapAnnouncer> announcer(unsigned id = 0xC123)
    {
        return std::make_unique<CountingAnnouncer>(counts, names.blockPath(), id);
    }
};

TEST_F(MapPublisherTest, FirstPublicationCreatesTheOwnerOnlyBlock)
{
    MapPublisher publisher(names.names(), announcer());
    EXPECT_FALSE(ReadOnlyView(names.blockPath()).exists());

    ASSERT_TRUE(publisher.publish(composer(knownValues())));
    const ReadOnlyView view(names.blockPath());
    ASSERT_TRUE(view.exists());
    EXPECT_EQ(view.size(), kMapBlockBytes);
    EXPECT_EQ(view.mode(), 0600u);
    EXPECT_EQ(view.bytes(), composed(knownValues()));
}

TEST_F(MapPublisherTest, TwoPublicationsRegisterTheMessageOnce)
{
    MapPublisher publisher(names.names(), announcer(0xC123));
    ASSERT_TRUE(publisher.publish(composer(knownValues())));
    MapFeedValues moved = knownValues();
    moved.latitudeDeg = 48.2;
    ASSERT_TRUE(publisher.publish(composer(moved)));

    EXPECT_EQ(counts.registrations, 1);
    EXPECT_EQ(counts.registeredName, names.names().message);
    EXPECT_EQ(counts.announced, (std::vector<unsigned>{0xC123, 0xC123}));
    // Each announcement follows the block it announces.
    ASSERT_EQ(counts.blockAtAnnouncement.size(), 2u);
    EXPECT_EQ(counts.blockAtAnnouncement[0], composed(knownValues()));
    EXPECT_EQ(counts.blockAtAnnouncement[1], composed(moved));
}

TEST_F(MapPublisherTest, MessageThatCouldNotBeRegisteredIsNeverAnnouncedNorAskedAgain)
{
    MapPublisher publisher(names.names(), announcer(0));
    ASSERT_TRUE(publisher.publish(composer(knownValues())));
    ASSERT_TRUE(publisher.publish(composer(knownValues())));
    EXPECT_EQ(counts.registrations, 1);
    EXPECT_TRUE(counts.announced.empty());
}

TEST_F(MapPublisherTest, BytesOutsideTheFieldsAreLeftAsAnotherWriterLeftThem)
{
    MapPublisher publisher(names.names(), nullptr);
    ASSERT_TRUE(publisher.publish(composer(knownValues())));
    {
        const int fd = ::shm_open(names.blockPath().c_str(), O_RDWR, 0);
        ASSERT_GE(fd, 0);
        void* view = ::mmap(nullptr, kMapBlockBytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        ::close(fd);
        ASSERT_NE(view, MAP_FAILED);
        auto* bytes = static_cast<std::uint8_t*>(view);
        bytes[11] = 0x11;
        bytes[100] = 0x22;
        bytes[4095] = 0x33;
        ::munmap(view, kMapBlockBytes);
    }
    ASSERT_TRUE(publisher.publish(composer(knownValues())));
    Bytes expected = composed(knownValues());
    expected[11] = 0x11;
    expected[100] = 0x22;
    expected[4095] = 0x33;
    EXPECT_EQ(ReadOnlyView(names.blockPath()).bytes(), expected);
}

TEST_F(MapPublisherTest, PublicationGivesUpOnAHeldMutexAndTakesOverOneWhoseHolderDied)
{
    MapPublisher publisher(names.names(), announcer());
    ASSERT_TRUE(publisher.publish(composer(knownValues())));

    MutexHolder reader(names.mutexPath());
    ASSERT_TRUE(reader.locked());
    MapFeedValues moved = knownValues();
    moved.rssiDbm = -60;
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(publisher.publish(composer(moved)));
    EXPECT_GE(std::chrono::steady_clock::now() - start, MapPublisher::kMutexTimeout - 50ms);
    EXPECT_EQ(ReadOnlyView(names.blockPath()).bytes(), composed(knownValues()));
    EXPECT_EQ(counts.announced.size(), 1u);

    // The reader is killed while it holds the mutex: the next publication takes it over.
    reader.kill();
    start = std::chrono::steady_clock::now();
    EXPECT_TRUE(publisher.publish(composer(moved)));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_EQ(ReadOnlyView(names.blockPath()).bytes(), composed(moved));
    EXPECT_EQ(counts.announced.size(), 2u);
    EXPECT_TRUE(publisher.publish(composer(knownValues()))) << "and the mutex works on";
}

TEST_F(MapPublisherTest, AMutexLeftUnusableIsReplacedAfterOneSkippedPublication)
{
    MapPublisher publisher(names.names(), nullptr);
    ASSERT_TRUE(publisher.publish(composer(knownValues())));
    MutexHolder(names.mutexPath()).kill();
    MutexHolder careless(names.mutexPath());
    ASSERT_TRUE(careless.locked());
    careless.release();

    EXPECT_FALSE(publisher.publish(composer(knownValues())));
    MapFeedValues moved = knownValues();
    moved.rssiDbm = -60;
    EXPECT_TRUE(publisher.publish(composer(moved)));
    Bytes copy(kMapBlockBytes, 0);
    ASSERT_TRUE(readMapBlock(names.names(), copy.data())) << "a reader opening it anew takes it";
    EXPECT_EQ(copy, composed(moved));
}

TEST_F(MapPublisherTest, BlockThatCannotBeMadeIsSkippedWithoutAnnouncement)
{
    MapFeedNames bad = names.names();
    bad.block = "no/such/dir/" + bad.block; // not a valid shared memory name
    MapPublisher publisher(bad, announcer());
    EXPECT_FALSE(publisher.publish(composer(knownValues())));
    EXPECT_FALSE(publisher.publish(composer(knownValues())));
    EXPECT_EQ(counts.registrations, 0);
    EXPECT_TRUE(counts.announced.empty());
}

TEST_F(MapPublisherTest, ReaderCopiesTheWholeBlockUnderTheMutex)
{
    Bytes copy(kMapBlockBytes, 0xEE);
    EXPECT_FALSE(readMapBlock(names.names(), copy.data()));

    MapPublisher publisher(names.names(), nullptr);
    ASSERT_TRUE(publisher.publish(composer(knownValues())));
    ASSERT_TRUE(readMapBlock(names.names(), copy.data()));
    EXPECT_EQ(copy, composed(knownValues()));

    MutexHolder other(names.mutexPath());
    ASSERT_TRUE(other.locked());
    EXPECT_FALSE(readMapBlock(names.names(), copy.data()));
    other.release();
    EXPECT_TRUE(readMapBlock(names.names(), copy.data()));
}

// The block goes with the publisher that owns it, so that a reader never takes the last block of
// a program that has ended for a live one. A block left by a killed program is taken over.
TEST_F(MapPublisherTest, OnePublisherAtATimeAndOnlyItRemovesTheBlock)
{
    const int leftOver = ::shm_open(names.blockPath().c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_GE(leftOver, 0);
    ::close(leftOver);
    MapFeedValues other = knownValues();
    other.serialNumber = "ZN000043";
    {
        MapPublisher publisher(names.names(), nullptr);
        ASSERT_TRUE(publisher.publish(composer(knownValues())));
        EXPECT_FALSE(publisher.otherPublisher());
        {
            MapPublisher second(names.names(), nullptr);
            EXPECT_FALSE(second.publish(composer(other)));
            EXPECT_TRUE(second.otherPublisher());
        }
        EXPECT_EQ(ReadOnlyView(names.blockPath()).bytes(), composed(knownValues()))
            << "the second neither wrote nor removed the block";
    }
    EXPECT_FALSE(ReadOnlyView(names.blockPath()).exists());
    MapPublisher next(names.names(), nullptr);
    ASSERT_TRUE(next.publish(composer(other)));
    EXPECT_EQ(ReadOnlyView(names.blockPath()).bytes(), composed(other));
    const int mutex = ::shm_open(names.mutexPath().c_str(), O_RDWR, 0);
    EXPECT_GE(mutex, 0) << "the mutex stays: a reader may hold it";
    ::close(mutex);
}

TEST_F(MapPublisherTest, APublisherKilledIsTakenOverAtTheNextPublication)
{
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        MapPublisher first(names.names(), nullptr);
        const char published = first.publish(composer(knownValues())) ? 'P' : 'F';
        if (::write(ready[1], &published, 1) == 1)
            ::pause();
        ::_exit(0);
    }
    ::close(ready[1]);
    char published = 0;
    ASSERT_EQ(::read(ready[0], &published, 1), 1);
    ::close(ready[0]);
    ASSERT_EQ(published, 'P');

    test::RecordingMessages messages;
    MapSettings settings;
    MapFeed second(settings, nullptr, names.names(), &messages);
    EXPECT_FALSE(second.publish(1.0, 2.0, -99, "ZN000043"));
    EXPECT_FALSE(second.publish(1.0, 2.0, -99, "ZN000043"));
    EXPECT_EQ(ReadOnlyView(names.blockPath()).bytes(), composed(knownValues()));
    ASSERT_EQ(messages.messages().size(), 1u) << "said once";
    EXPECT_EQ(messages.messages()[0].kind, MessageKind::Warning);
    EXPECT_EQ(messages.messages()[0].text, MapFeed::kInUseText);

    ::kill(child, SIGKILL);
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);
    ASSERT_TRUE(second.publish(1.0, 2.0, -99, "ZN000043"));
    EXPECT_EQ(ReadOnlyView(names.blockPath()).bytes()[297], 'Z');
    EXPECT_EQ(ReadOnlyView(names.blockPath()).bytes()[304], '3');
    EXPECT_EQ(messages.messages().size(), 1u);
}

TEST_F(MapPublisherTest, FeedPublishesTheDialogRangeWithPositionAndSerialNumber)
{
    MapSettings settings;
    MapFeed feed(settings, announcer(), names.names());
    ASSERT_TRUE(feed.publish(48.137, 11.575, -73, "ZN000042"));
    Bytes block = ReadOnlyView(names.blockPath()).bytes();
    // The default range: -120 at 292, -50 at 294.
    EXPECT_EQ((Bytes{block[292], block[293], block[294], block[295]}),
              (Bytes{0x88, 0xFF, 0xCE, 0xFF}));
    MapFeedValues expected = knownValues();
    expected.rangeMinDbm = -120;
    expected.rangeMaxDbm = -50;
    EXPECT_EQ(block, composed(expected));

    settings.setRange({-110, -30});
    ASSERT_TRUE(feed.publish(48.137, 11.575, -73, "ZN000042"));
    block = ReadOnlyView(names.blockPath()).bytes();
    EXPECT_EQ((Bytes{block[292], block[293], block[294], block[295]}),
              (Bytes{0x92, 0xFF, 0xE2, 0xFF}));
    EXPECT_EQ(counts.registrations, 1);
    EXPECT_EQ(counts.announced.size(), 2u);
}

#ifdef ZENTOR_MAP_WATCH
struct ToolRun
{
    int exitCode = -1;
    std::string output; // standard output and standard error
};

ToolRun runMapWatch(const test::TestMapNames& names)
{
    const std::string command = std::string(ZENTOR_MAP_WATCH) + " --once --block " +
                                names.names().block + " --mutex " + names.names().mutex + " 2>&1";
    ToolRun run;
    FILE* out = ::popen(command.c_str(), "r");
    if (out == nullptr)
        return run;
    char chunk[256];
    while (std::fgets(chunk, sizeof(chunk), out) != nullptr)
        run.output += chunk;
    const int status = ::pclose(out);
    if (WIFEXITED(status))
        run.exitCode = WEXITSTATUS(status);
    return run;
}

// map-watch, the tool that shows what the mapping application gets, reads the same block.
TEST_F(MapPublisherTest, MapWatchPrintsWhatWasPublished)
{
    const ToolRun before = runMapWatch(names);
    EXPECT_EQ(before.exitCode, 1);
    EXPECT_EQ(before.output, "map-watch: no map block " + names.names().block + " yet\n");

    MapPublisher publisher(names.names(), nullptr);
    ASSERT_TRUE(publisher.publish(composer(knownValues())));
    const ToolRun after = runMapWatch(names);
    EXPECT_EQ(after.exitCode, 0);
    EXPECT_EQ(after.output,
              "lat 48.137000 lon 11.575000 rssi -73 dBm range -110..-40 dBm sn ZN000042\n");
}
#endif

} // namespace
} // namespace zentor
