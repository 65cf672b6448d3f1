// The D2XX stand-in passing bytes through a pseudo-terminal, as it does for the simulator's line.
#include "fakes/ftd2xx/FakeFtd2xx.h"
#include "link/TUsbPort.h"
#include "support/Environment.h"
#include "support/PtyInstrument.h"

#include <chrono>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace zentor {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

TEST(TUsbPortOnStandInTerminal, PassesBytesThroughAPseudoTerminalUnchanged)
{
    FakeFtd2xx_Reset();
    const D2xxLibrary library = D2xxLibrary::load(ZENTOR_FAKE_FTD2XX_PATH);
    ASSERT_NE(library.api(), nullptr) << library.error();
    test::PtyInstrument line;
    ASSERT_FALSE(line.device().empty());
    test::setEnv("ZENTOR_FAKE_FTD2XX_PORT", line.device());
    TUsbPort port(library.api());
    ASSERT_EQ(port.Open(), OpenResult::Opened) << port.lastError();

    // Carriage return, line feed and the flow-control bytes must survive in both directions.
    const Bytes stream = {0xAA, 0x05, 0x00, 0x0D, 0x0A, 0x11, 0x13, 0x03, 0x7F, 0xFF};
    line.send(stream);
    Bytes got;
    std::uint8_t buffer[64];
    test::waitUntil([&] {
        const std::int16_t n = port.Read(buffer, sizeof buffer);
        EXPECT_LE(n, 4);
        if (n > 0)
            got.insert(got.end(), buffer, buffer + n);
        return got.size() >= stream.size();
    });
    EXPECT_EQ(got, stream);
    EXPECT_EQ(port.Read(buffer, sizeof buffer), -1);

    EXPECT_EQ(port.Write(stream.data(), stream.size()), 10);
    EXPECT_EQ(line.receive(stream.size()), stream);
    EXPECT_EQ(FakeFtd2xx_Written(nullptr, 0), 0u); // nothing recorded while passing through
    test::unsetEnv("ZENTOR_FAKE_FTD2XX_PORT");
    FakeFtd2xx_Reset();
}

} // namespace
} // namespace zentor
