#include "map/MapBlock.h"
#include "map/MapTestNames.h"
#include "map/MapUpdateSignal.h"
#include "ui/QtWindowThread.h"
#include "ui/TestApplication.h"

#include <QDBusConnection>
#include <QObject>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace zentor {
namespace {

using namespace std::chrono_literals;

// A session bus of the test's own: dbus-daemon started for the test program, stopped after it.
class PrivateBus
{
public:
    PrivateBus()
    {
        int out[2];
        if (::pipe(out) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            ::close(out[1]);
            ::execlp("dbus-daemon", "dbus-daemon", "--session", "--nofork", "--nopidfile",
                     "--print-address=1", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(out[1]);
        FILE* lines = ::fdopen(out[0], "r");
        char line[512] = {};
        if (lines != nullptr && std::fgets(line, sizeof(line), lines) != nullptr) {
            address_ = line;
            while (!address_.empty() && (address_.back() == '\n' || address_.back() == '\r'))
                address_.pop_back();
        }
        if (lines != nullptr)
            std::fclose(lines);
    }
    ~PrivateBus()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    // Empty when the daemon could not be started.
    const std::string& address() const { return address_; }

private:
    pid_t pid_ = -1;
    std::string address_;
};

class SignalCounter : public QObject
{
    Q_OBJECT

public:
    int count = 0;

public slots:
    void received() { ++count; }
};

class MapUpdateSignalTest : public ::testing::Test
{
protected:
    std::function<QDBusConnection()> countedBus(const QString& address, const QString& name)
    {
        return [this, address, name] {
            ++lookups;
            return QDBusConnection::connectToBus(address, name);
        };
    }

    QApplication& app = test::testApplication(); // first: the window thread needs it
    QtWindowThread window;
    int lookups = 0;
};

TEST_F(MapUpdateSignalTest, EachPublicationSendsOneSignalOnTheBus)
{
    PrivateBus bus;
    if (bus.address().empty())
        GTEST_SKIP() << "dbus-daemon could not be started";
    const QString address = QString::fromStdString(bus.address());
    QDBusConnection listener = QDBusConnection::connectToBus(address, QStringLiteral("listener"));
    ASSERT_TRUE(listener.isConnected());

    test::TestMapNames names;
    SignalCounter counter;
    ASSERT_TRUE(listener.connect(
        QString(), QString::fromLatin1(kMapUpdatePath), QString::fromLatin1(kMapUpdateInterface),
        QString::fromStdString(names.names().message), &counter, SLOT(received())));
    {
        MapPublisher publisher(names.names(),
                               busMapAnnouncer(window, countedBus(address, "sender")));
        MapFeedValues values;
        values.serialNumber = "ZN1";
        const auto compose = [&](std::uint8_t* block) { composeMapBlock(block, values); };
        ASSERT_TRUE(publisher.publish(compose));
        ASSERT_TRUE(publisher.publish(compose));
        EXPECT_TRUE(test::processEventsUntil([&] { return counter.count >= 2; }));
        // The signals went from the window thread, which looked the bus up once.
        EXPECT_EQ(lookups, 1);
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents, 200);
    EXPECT_EQ(counter.count, 2);
    QDBusConnection::disconnectFromBus(QStringLiteral("listener"));
    QDBusConnection::disconnectFromBus(QStringLiteral("sender"));
}

TEST_F(MapUpdateSignalTest, WithoutABusNothingIsSentAndNothingFails)
{
    auto announcer = busMapAnnouncer(
        window, countedBus(QStringLiteral("unix:path=/nonexistent/zentor-bus"), "nowhere"));
    const unsigned id = announcer->registerMessage("QXV_MAP_UPDATE");
    EXPECT_NE(id, 0u);
    announcer->announce(id);
    announcer->announce(id);
    announcer.reset(); // what it posted still runs safely
    EXPECT_TRUE(test::processEventsUntil([&] { return lookups == 1; }));
    QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
    EXPECT_EQ(lookups, 1);
    QDBusConnection::disconnectFromBus(QStringLiteral("nowhere"));
}

} // namespace
} // namespace zentor

#include "MapUpdateSignalPosixTest.moc"
