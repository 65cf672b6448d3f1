#include "platform/SerialPort.h"
#include "support/PtyInstrument.h"

#include <chrono>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace zentor {
namespace {

using Instrument = test::PtyInstrument;
using test::waitUntil;

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

// Bytes a line discipline in its default mode would change or swallow.
const Bytes kControlBytes = {0x0D, 0x0A, 0x11, 0x13, 0xAA, 0x00, 0xFF, 0x03, 0x1C, 0x7F};

SerialSettings withTimeouts(unsigned intervalMs, unsigned perByteMs, unsigned constantMs)
{
    SerialSettings settings;
    settings.timeouts = {intervalMs, perByteMs, constantMs};
    return settings;
}

long elapsedMs(Clock::time_point since)
{
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

class SerialPortTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_FALSE(instrument.device().empty()) << "no pseudo-terminal"; }

    void openWith(const SerialSettings& settings)
    {
        ASSERT_TRUE(port.open(instrument.device(), settings)) << port.lastError();
    }

    void waitForWaiting(long count)
    {
        ASSERT_TRUE(waitUntil([&] { return port.bytesWaiting() == count; }))
            << "bytes waiting: " << port.bytesWaiting();
    }

    Instrument instrument;
    SerialPort port;
};

TEST_F(SerialPortTest, OpensAPseudoTerminalRawDespiteMissingModemLines)
{
    ASSERT_TRUE(port.open(instrument.device(), SerialSettings{})) << port.lastError();
    EXPECT_TRUE(port.isOpen());
    EXPECT_FALSE(port.hungUp());
    termios line = instrument.lineSettings();
    EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(line.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP | IXON | IXOFF | IXANY), 0u);
    EXPECT_EQ(line.c_oflag & OPOST, 0u);
    EXPECT_EQ(line.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS | CLOCAL | CREAD),
              tcflag_t{CS8 | CLOCAL | CREAD});
    EXPECT_EQ(::cfgetispeed(&line), speed_t{B38400});
    EXPECT_EQ(::cfgetospeed(&line), speed_t{B38400});

    SerialSettings navigation;
    navigation.baudRate = 9600;
    ASSERT_TRUE(port.open(instrument.device(), navigation)) << port.lastError();
    line = instrument.lineSettings();
    EXPECT_EQ(::cfgetispeed(&line), speed_t{B9600});
    EXPECT_EQ(::cfgetospeed(&line), speed_t{B9600});

    port.close();
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.bytesWaiting(), -1);
}

TEST_F(SerialPortTest, RefusesWhatIsNoSerialLineWithAClearMessage)
{
    EXPECT_FALSE(port.open("/dev/zentor-no-such-port", SerialSettings{}));
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.lastError(), "cannot open /dev/zentor-no-such-port: No such file or directory");

    EXPECT_FALSE(port.open("/dev/null", SerialSettings{}));
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.lastError().rfind("/dev/null: not a serial line: ", 0), 0u) << port.lastError();

    SerialSettings odd;
    odd.baudRate = 12345;
    EXPECT_FALSE(port.open(instrument.device(), odd));
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.lastError(), instrument.device() + ": unsupported baud rate 12345");

    std::uint8_t buffer[4] = {};
    EXPECT_EQ(port.bytesWaiting(), -1);
    EXPECT_EQ(port.read(buffer, sizeof(buffer)), -1);
    EXPECT_EQ(port.readWaiting(buffer, sizeof(buffer)), -1);
    EXPECT_EQ(port.write(buffer, sizeof(buffer)), -1);
    EXPECT_EQ(port.lastError(), "the port is not open");
    EXPECT_FALSE(port.hungUp());
}

TEST_F(SerialPortTest, ASecondOpenOfAHeldPortTouchesNothing)
{
    openWith(SerialSettings{}); // 38400
    instrument.send(kControlBytes);
    waitForWaiting(static_cast<long>(kControlBytes.size()));

    SerialPort second; // as another program; the tests run as root, past TIOCEXCL
    SerialSettings navigation;
    navigation.baudRate = 9600;
    EXPECT_FALSE(second.open(instrument.device(), navigation));
    EXPECT_TRUE(second.inUse());
    EXPECT_FALSE(second.isOpen());
    EXPECT_EQ(second.lastError(), instrument.device() + ": in use by another program");
    const termios line = instrument.lineSettings();
    EXPECT_EQ(::cfgetispeed(&line), speed_t{B38400});
    std::uint8_t got[16] = {};
    ASSERT_EQ(port.readWaiting(got, sizeof got), static_cast<long>(kControlBytes.size()));
    EXPECT_EQ(Bytes(got, got + kControlBytes.size()), kControlBytes);

    port.close();
    ASSERT_TRUE(second.open(instrument.device(), navigation)) << second.lastError();
    EXPECT_FALSE(second.inUse());
}

TEST_F(SerialPortTest, IdleReadWithoutTotalTimeoutReturnsAtOnce)
{
    openWith(withTimeouts(0, 0, 0));
    std::uint8_t buffer[16] = {};
    const auto start = Clock::now();
    EXPECT_EQ(port.bytesWaiting(), 0);
    EXPECT_EQ(port.read(buffer, sizeof(buffer)), 0);
    EXPECT_EQ(port.readWaiting(buffer, sizeof(buffer)), 0);
    EXPECT_LT(elapsedMs(start), 1000);
    EXPECT_FALSE(port.hungUp());
}

TEST_F(SerialPortTest, CountsWaitingBytesAndReadsThemInOneCall)
{
    openWith(withTimeouts(0, 0, 0));
    const Bytes sent = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A};
    instrument.send(sent);
    waitForWaiting(10);
    Bytes got(64);
    ASSERT_EQ(port.read(got.data(), got.size()), 10);
    got.resize(10);
    EXPECT_EQ(got, sent);
    EXPECT_EQ(port.bytesWaiting(), 0);

    instrument.send(sent);
    waitForWaiting(10);
    Bytes part(3);
    ASSERT_EQ(port.readWaiting(part.data(), part.size()), 3);
    EXPECT_EQ(part, Bytes({0x01, 0x02, 0x03}));
    EXPECT_EQ(port.bytesWaiting(), 7);
    Bytes rest(64);
    ASSERT_EQ(port.readWaiting(rest.data(), rest.size()), 7);
    rest.resize(7);
    EXPECT_EQ(rest, Bytes({0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A}));
    EXPECT_EQ(port.bytesWaiting(), 0);
}

TEST_F(SerialPortTest, PassesControlBytesUnchangedBothWays)
{
    openWith(SerialSettings{});
    instrument.send(kControlBytes);
    waitForWaiting(static_cast<long>(kControlBytes.size()));
    Bytes got(kControlBytes.size());
    ASSERT_EQ(port.read(got.data(), got.size()), static_cast<long>(kControlBytes.size()));
    EXPECT_EQ(got, kControlBytes);

    ASSERT_EQ(port.write(kControlBytes.data(), kControlBytes.size()),
              static_cast<long>(kControlBytes.size()));
    // Echo or output processing would put other bytes first or add some.
    EXPECT_EQ(instrument.receive(kControlBytes.size()), kControlBytes);
    EXPECT_TRUE(instrument.quietFor(100ms));
}

TEST_F(SerialPortTest, ReadWaitsForTheTotalTimeoutAndNoLonger)
{
    openWith(withTimeouts(0, 2, 100)); // 100 bytes: 2 * 100 + 100 = 300 ms
    std::uint8_t buffer[100];
    const auto start = Clock::now();
    EXPECT_EQ(port.read(buffer, sizeof(buffer)), 0);
    const long waitedMs = elapsedMs(start);
    EXPECT_GE(waitedMs, 300);
    EXPECT_LT(waitedMs, 2500);
    EXPECT_FALSE(port.hungUp());
}

TEST_F(SerialPortTest, ReadTakesBytesArrivingDuringItsWait)
{
    openWith(withTimeouts(0, 0, 5000));
    std::thread sender([&] {
        std::this_thread::sleep_for(100ms);
        instrument.send({0xAA, 0x0D, 0x13, 0x11});
    });
    Bytes got(4);
    const auto start = Clock::now();
    const long count = port.read(got.data(), got.size());
    const long waitedMs = elapsedMs(start);
    sender.join();
    ASSERT_EQ(count, 4);
    EXPECT_EQ(got, Bytes({0xAA, 0x0D, 0x13, 0x11}));
    EXPECT_LT(waitedMs, 4000);
}

TEST_F(SerialPortTest, IntervalTimeoutEndsAReadAfterAGap)
{
    openWith(withTimeouts(100, 0, 5000));
    instrument.send({0x10, 0x20, 0x30});
    waitForWaiting(3);
    Bytes got(10);
    const auto start = Clock::now();
    ASSERT_EQ(port.read(got.data(), got.size()), 3);
    EXPECT_LT(elapsedMs(start), 2500);
    got.resize(3);
    EXPECT_EQ(got, Bytes({0x10, 0x20, 0x30}));
}

TEST_F(SerialPortTest, SeesTheOtherSideHangUp)
{
    openWith(withTimeouts(0, 1, 5000));
    instrument.hangUp();
    ASSERT_TRUE(waitUntil([&] { return port.bytesWaiting() == -1; }));
    EXPECT_TRUE(port.hungUp());
    EXPECT_EQ(port.lastError().rfind(instrument.device() + ": the line hung up", 0), 0u)
        << port.lastError();

    std::uint8_t buffer[8] = {};
    const auto start = Clock::now();
    EXPECT_EQ(port.read(buffer, sizeof(buffer)), -1);
    EXPECT_EQ(port.readWaiting(buffer, sizeof(buffer)), -1);
    EXPECT_EQ(port.write(kControlBytes.data(), kControlBytes.size()), -1);
    EXPECT_LT(elapsedMs(start), 1000);
    EXPECT_TRUE(port.hungUp());
    EXPECT_TRUE(port.isOpen());

    port.close();
    EXPECT_FALSE(port.hungUp());
}

TEST_F(SerialPortTest, HangUpEndsAWaitingRead)
{
    openWith(withTimeouts(0, 0, 5000));
    std::thread closer([&] {
        std::this_thread::sleep_for(100ms);
        instrument.hangUp();
    });
    std::uint8_t buffer[8] = {};
    const auto start = Clock::now();
    const long count = port.read(buffer, sizeof(buffer));
    const long waitedMs = elapsedMs(start);
    closer.join();
    EXPECT_EQ(count, -1);
    EXPECT_TRUE(port.hungUp());
    EXPECT_LT(waitedMs, 4000);
}

TEST_F(SerialPortTest, ReadWaitingSeesAHangUp)
{
    openWith(SerialSettings{});
    instrument.hangUp();
    std::uint8_t buffer[8] = {};
    ASSERT_TRUE(waitUntil([&] { return port.readWaiting(buffer, sizeof(buffer)) == -1; }));
    EXPECT_TRUE(port.hungUp());
}

TEST_F(SerialPortTest, PurgeDropsWaitingInput)
{
    openWith(SerialSettings{});
    instrument.send({0x01, 0x02, 0x03, 0x04, 0x05});
    waitForWaiting(5);
    port.purge();
    EXPECT_EQ(port.bytesWaiting(), 0);
    instrument.send({0x06});
    waitForWaiting(1);
    std::uint8_t byte = 0;
    ASSERT_EQ(port.readWaiting(&byte, 1), 1);
    EXPECT_EQ(byte, 0x06);
}

TEST_F(SerialPortTest, WriteGivesUpWhenTheLineTakesNoMore)
{
    openWith(SerialSettings{});
    // Far more than a pseudo-terminal buffers while nobody reads the master.
    const Bytes block(1 << 20, 0x55);
    const auto start = Clock::now();
    const long written = port.write(block.data(), block.size());
    EXPECT_GT(written, 0);
    EXPECT_LT(written, static_cast<long>(block.size()));
    EXPECT_LT(elapsedMs(start), 8000);
    EXPECT_EQ(port.lastError(),
              instrument.device() + ": write stalled: the line took no bytes for 1000 ms");
    EXPECT_FALSE(port.hungUp());
}

} // namespace
} // namespace zentor
