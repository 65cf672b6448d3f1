// The D2XX stand-in passing bytes through a pseudo-terminal, as it does for the simulator's line.
#include "fakes/ftd2xx/FakeFtd2xx.h"
#include "link/TUsbPort.h"
#include "support/Environment.h"

#include <chrono>
#include <cstdint>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace zentor {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

// A pseudo-terminal pair; the stand-in opens the terminal side like an instrument's line.
struct PseudoTerminal
{
    PseudoTerminal()
    {
        if (openpty(&controller, &terminal, nullptr, nullptr, nullptr) == 0)
            path = ttyname(terminal);
    }
    ~PseudoTerminal()
    {
        close(controller);
        close(terminal);
    }

    // Reads count bytes from the controller side, giving up after a generous deadline.
    Bytes readController(std::size_t count) const
    {
        Bytes got;
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (got.size() < count && std::chrono::steady_clock::now() < deadline) {
            pollfd watch{controller, POLLIN, 0};
            if (poll(&watch, 1, 100) <= 0)
                continue;
            std::uint8_t buffer[64];
            const ssize_t n = read(controller, buffer, sizeof buffer);
            if (n <= 0)
                break;
            got.insert(got.end(), buffer, buffer + n);
        }
        return got;
    }

    int controller = -1;
    int terminal = -1;
    std::string path;
};

TEST(TUsbPortOnStandInTerminal, PassesBytesThroughAPseudoTerminalUnchanged)
{
    FakeFtd2xx_Reset();
    const D2xxLibrary library = D2xxLibrary::load(ZENTOR_FAKE_FTD2XX_PATH);
    ASSERT_NE(library.api(), nullptr) << library.error();
    PseudoTerminal pty;
    ASSERT_FALSE(pty.path.empty());
    test::setEnv("ZENTOR_FAKE_FTD2XX_PORT", pty.path.c_str());
    TUsbPort port(library.api());
    ASSERT_TRUE(port.Open()) << port.lastError();

    // Carriage return, line feed and the flow-control bytes must survive in both directions.
    const Bytes stream = {0xAA, 0x05, 0x00, 0x0D, 0x0A, 0x11, 0x13, 0x03, 0x7F, 0xFF};
    ASSERT_EQ(write(pty.controller, stream.data(), stream.size()),
              static_cast<ssize_t>(stream.size()));
    Bytes got;
    std::uint8_t buffer[64];
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (got.size() < stream.size() && std::chrono::steady_clock::now() < deadline) {
        const std::int16_t n = port.Read(buffer, sizeof buffer);
        if (n < 0) {
            std::this_thread::sleep_for(1ms); // the bytes are still on their way
            continue;
        }
        EXPECT_LE(n, 4);
        got.insert(got.end(), buffer, buffer + n);
    }
    EXPECT_EQ(got, stream);
    EXPECT_EQ(port.Read(buffer, sizeof buffer), -1);

    EXPECT_EQ(port.Write(stream.data(), stream.size()), 10);
    EXPECT_EQ(pty.readController(stream.size()), stream);
    EXPECT_EQ(FakeFtd2xx_Written(nullptr, 0), 0u); // nothing recorded while passing through
    test::unsetEnv("ZENTOR_FAKE_FTD2XX_PORT");
    FakeFtd2xx_Reset();
}

} // namespace
} // namespace zentor
