// The RS-232 transport's own rules on a pseudo-terminal mapped to COM1: reads that never wait and
// say -1 with the buffer's head zeroed when nothing came (nothing waiting, or the line hung up),
// and the 32767-byte limit of a call. How the line itself is set up, read and seen to hang up is
// the serial port layer's (SerialPort tests).
#include "link/TSerialPort.h"
#include "support/PtyInstrument.h"

#include <array>
#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

namespace zentor {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

class TSerialPortTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(instrument_.device().empty());
        ::setenv("ZENTOR_COM1", instrument_.device().c_str(), 1);
        ASSERT_EQ(port_.Open(), OpenResult::Opened);
    }
    void TearDown() override { ::unsetenv("ZENTOR_COM1"); }

    // Reads until something other than -1 comes, or the deadline passes.
    std::int16_t readWhenThere(std::uint8_t* buffer, std::size_t capacity)
    {
        std::int16_t count = -1;
        test::waitUntil([&] { return (count = port_.Read(buffer, capacity)) != -1; }, 3s);
        return count;
    }

    test::PtyInstrument instrument_;
    TSerialPort port_{1};
};

TEST_F(TSerialPortTest, IdleReadReturnsMinusOneAtOnceAndZeroesTheBuffer)
{
    std::array<std::uint8_t, 8> buffer;
    buffer.fill(0x55);
    const auto start = Clock::now();
    EXPECT_EQ(port_.Read(buffer.data(), buffer.size()), -1);
    // The port's read time-out is 1000 ms: a read that waited would take about that long.
    EXPECT_LT(Clock::now() - start, 900ms);
    EXPECT_EQ(buffer, (std::array<std::uint8_t, 8>{0, 0, 0, 0, 0x55, 0x55, 0x55, 0x55}));
    EXPECT_FALSE(port_.gone());
}

TEST_F(TSerialPortTest, ReadTakesAllWaitingBytesInOneCall)
{
    const Bytes sent = {0xAA, 0x07, 0x00, 0x0D, 0x0A, 0x11, 0x13, 0xFF, 0x00, 0x1C};
    instrument_.send(sent);
    Bytes got(2048, 0x55);
    ASSERT_EQ(readWhenThere(got.data(), got.size()), 10);
    got.resize(10);
    EXPECT_EQ(got, sent);
    EXPECT_EQ(port_.Read(got.data(), got.size()), -1);
}

TEST_F(TSerialPortTest, ReadStopsAtTheBufferCapacity)
{
    instrument_.send({0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A});
    Bytes first(4);
    ASSERT_EQ(readWhenThere(first.data(), first.size()), 4);
    EXPECT_EQ(first, Bytes({0x01, 0x02, 0x03, 0x04}));
    Bytes rest(64);
    ASSERT_EQ(port_.Read(rest.data(), rest.size()), 6);
    rest.resize(6);
    EXPECT_EQ(rest, Bytes({0x05, 0x06, 0x07, 0x08, 0x09, 0x0A}));
}

TEST_F(TSerialPortTest, WriteSendsTheFrameByteExact)
{
    const Bytes frame = {0xAA, 0x02, 0x00, 0x30, 0x30};
    EXPECT_EQ(port_.Write(frame.data(), frame.size()), 5);
    EXPECT_EQ(instrument_.receive(frame.size()), frame);
}

TEST_F(TSerialPortTest, ShortOrOversizedWriteGivesMinusOne)
{
    const Bytes oversized(32768, 0x33);
    EXPECT_EQ(port_.Write(oversized.data(), oversized.size()), -1);

    // Nobody reads the master, so the line soon takes no more and a write comes up short.
    const Bytes block(32767, 0x44);
    std::int16_t result = 0;
    for (int attempt = 0; attempt < 64 && result != -1; ++attempt) {
        result = port_.Write(block.data(), block.size());
        if (result != -1) {
            ASSERT_EQ(result, 32767);
        }
    }
    EXPECT_EQ(result, -1);
    EXPECT_FALSE(port_.gone());
}

TEST(TSerialPort, OpenFailsForAMissingDevice)
{
    ::setenv("ZENTOR_COM4", "/dev/zentor-no-such-port", 1);
    TSerialPort port(4);
    EXPECT_EQ(port.Open(), OpenResult::NotAvailable);
    ::unsetenv("ZENTOR_COM4");
    EXPECT_EQ(TSerialPort(0).Open(), OpenResult::NotAvailable) << "no port number 0";

    std::array<std::uint8_t, 6> buffer;
    buffer.fill(0x55);
    EXPECT_EQ(port.Read(buffer.data(), buffer.size()), -1);
    EXPECT_EQ(buffer, (std::array<std::uint8_t, 6>{0, 0, 0, 0, 0x55, 0x55}));
    std::uint8_t small[2] = {0x55, 0x55};
    EXPECT_EQ(port.Read(small, sizeof(small)), -1);
    EXPECT_EQ(small[0], 0);
    EXPECT_EQ(small[1], 0);
    const Bytes frame = {0xAA, 0x02, 0x00, 0x30, 0x30};
    EXPECT_EQ(port.Write(frame.data(), frame.size()), -1);
    EXPECT_FALSE(port.gone());
}

} // namespace
} // namespace zentor
