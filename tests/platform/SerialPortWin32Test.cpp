// The Win32 serial port and the D2XX stand-in on real COM ports: under Wine, scripts/check-windows
// joins two COM ports by a null-modem (two pseudo-terminals whose bytes it passes across) and
// names them in ZENTOR_TEST_NULL_MODEM ("3,4"). A hang-up is not tested here: Wine reports a
// terminal whose other end hung up as a line with nothing waiting, not as a failure.
#include "fakes/ftd2xx/FakeFtd2xx.h"
#include "platform/D2xx.h"
#include "platform/SerialPort.h"
#include "support/Environment.h"
#include "support/WaitUntil.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <windows.h>

namespace zentor {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

// Bytes a line in text mode would change or swallow, and the sync byte.
const Bytes kControlBytes = {0x0D, 0x0A, 0x11, 0x13, 0xAA, 0x00, 0xFF, 0x03, 0x1C, 0x7F};

class NullModemTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const char* pair = std::getenv("ZENTOR_TEST_NULL_MODEM");
        if (!pair || std::sscanf(pair, "%d,%d", &first_, &second_) != 2)
            GTEST_SKIP() << "no null-modem COM ports (scripts/check-windows makes them)";
        a = "\\\\.\\COM" + std::to_string(first_);
        b = "\\\\.\\COM" + std::to_string(second_);
    }

    void openBoth(const SerialSettings& settings = {})
    {
        ASSERT_TRUE(portA.open(a, settings)) << portA.lastError();
        ASSERT_TRUE(portB.open(b, settings)) << portB.lastError();
    }

    Bytes receive(SerialPort& port, std::size_t count)
    {
        Bytes got;
        test::waitUntil([&] {
            std::uint8_t buffer[64];
            const long n = port.readWaiting(buffer, sizeof buffer);
            if (n > 0)
                got.insert(got.end(), buffer, buffer + n);
            return got.size() >= count || n < 0;
        });
        return got;
    }

    std::string a;
    std::string b;
    SerialPort portA;
    SerialPort portB;

private:
    int first_ = 0;
    int second_ = 0;
};

TEST_F(NullModemTest, ASecondOpenOfAHeldPortIsInUse)
{
    // Windows opens a COM port for one handle at a time and refuses a second open with
    // ERROR_ACCESS_DENIED; Wine's sharing checks leave serial devices out, so there a second
    // open succeeds and this can only be checked on Windows itself.
    if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version"))
        GTEST_SKIP() << "Wine lets a second handle open a COM port that Windows would refuse";
    openBoth();
    SerialPort second;
    EXPECT_FALSE(second.open(a, SerialSettings{}));
    EXPECT_TRUE(second.inUse());
    EXPECT_EQ(second.lastError(), a + ": in use by another program");
    portA.close();
    EXPECT_TRUE(second.open(a, SerialSettings{})) << second.lastError();
}

TEST_F(NullModemTest, LineSettingsReachTheDevice)
{
    SerialSettings navigation;
    navigation.baudRate = 9600;
    openBoth(navigation);
    portB.close();
    portA.close();

    // The terminal keeps what SetCommState gave it; a second opening reads it back.
    const HANDLE h =
        CreateFileA(a.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    ASSERT_TRUE(GetCommState(h, &dcb));
    CloseHandle(h);
    EXPECT_EQ(dcb.BaudRate, 9600u);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, NOPARITY);
    EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
    EXPECT_EQ(dcb.fOutxCtsFlow, 0u);
    EXPECT_EQ(dcb.fOutX, 0u);
    EXPECT_EQ(dcb.fInX, 0u);
}

TEST_F(NullModemTest, CountsWaitingBytesPassesThemUnchangedAndNeverWaitsWhenIdle)
{
    openBoth();
    std::uint8_t buffer[64];
    const auto start = Clock::now();
    EXPECT_EQ(portA.bytesWaiting(), 0);
    EXPECT_EQ(portA.readWaiting(buffer, sizeof buffer), 0);
    EXPECT_EQ(portA.read(buffer, sizeof buffer), 0); // no total time-out: what is there
    EXPECT_LT(Clock::now() - start, 500ms);

    ASSERT_EQ(portB.write(kControlBytes.data(), kControlBytes.size()), 10);
    ASSERT_TRUE(test::waitUntil([&] { return portA.bytesWaiting() == 10; }));
    Bytes part(4);
    ASSERT_EQ(portA.readWaiting(part.data(), part.size()), 4);
    EXPECT_EQ(portA.bytesWaiting(), 6);
    const Bytes rest = receive(portA, 6);
    part.insert(part.end(), rest.begin(), rest.end());
    EXPECT_EQ(part, kControlBytes);

    ASSERT_EQ(portA.write(kControlBytes.data(), kControlBytes.size()), 10);
    EXPECT_EQ(receive(portB, 10), kControlBytes);
    EXPECT_FALSE(portA.hungUp());
}

TEST_F(NullModemTest, StandInDllPassesBytesThroughAComPortFourAtATime)
{
    openBoth();
    portA.close(); // the stand-in opens this end itself
    test::setEnv("ZENTOR_FAKE_FTD2XX_PORT", a);
    FakeFtd2xx_Reset();
    const D2xxLibrary library = D2xxLibrary::load(ZENTOR_FAKE_FTD2XX_PATH);
    ASSERT_NE(library.api(), nullptr) << library.error();
    const D2xxApi& api = *library.api();
    FT_HANDLE handle = nullptr;
    ASSERT_EQ(api.FT_Open(0, &handle), FT_OK);

    ASSERT_EQ(portB.write(kControlBytes.data(), kControlBytes.size()), 10);
    DWORD waiting = 0;
    DWORD sending = 0;
    DWORD events = 0;
    ASSERT_TRUE(test::waitUntil([&] {
        return api.FT_GetStatus(handle, &waiting, &sending, &events) == FT_OK && waiting == 10;
    }));
    Bytes got(10);
    DWORD n = 0;
    ASSERT_EQ(api.FT_Read(handle, got.data(), 10, &n), FT_OK);
    EXPECT_EQ(n, 10u);
    EXPECT_EQ(got, kControlBytes);

    Bytes sent = kControlBytes;
    ASSERT_EQ(api.FT_Write(handle, sent.data(), 10, &n), FT_OK);
    EXPECT_EQ(receive(portB, 10), kControlBytes);
    EXPECT_EQ(FakeFtd2xx_Written(nullptr, 0), 0u); // passed through, not recorded
    EXPECT_EQ(api.FT_Close(handle), FT_OK);
    test::unsetEnv("ZENTOR_FAKE_FTD2XX_PORT");
}

} // namespace
} // namespace zentor
