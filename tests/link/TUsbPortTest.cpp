#include "link/TUsbPort.h"

#include "fakes/ftd2xx/FakeFtd2xx.h"
#include "support/Environment.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace zentor {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

// --- A scripted library: plain functions answering from the running test's Script. ---

struct ListCall
{
    PVOID arg1;
    PVOID arg2;
    DWORD flags;
};

struct Script
{
    // What the calls answer.
    FT_STATUS countStatus = FT_OK;
    DWORD deviceCount = 1;
    FT_STATUS serialStatus = FT_OK;
    std::string serialBytes = std::string("ZT123456") + '\0'; // copied verbatim
    FT_STATUS openStatus = FT_OK;
    FT_STATUS baudStatus = FT_OK;
    FT_STATUS getStatusStatus = FT_OK;
    bool getStatusGivesCount = true; // false: the call leaves its outputs alone
    Bytes waiting;                   // bytes in the receive queue
    FT_STATUS readStatus = FT_OK;
    FT_STATUS writeStatus = FT_OK;
    DWORD writeLimit = 0xFFFFFFFF; // the most bytes one write takes

    // What the calls were asked.
    std::vector<ListCall> listCalls;
    std::vector<int> openIndexes;
    std::vector<ULONG> baudRates;
    std::vector<DWORD> readSizes;
    Bytes written;
    std::vector<FT_HANDLE> closed;
    int foreignHandles = 0; // calls with a handle the library never gave out
};

Script* script = nullptr;
const FT_HANDLE kHandle = reinterpret_cast<FT_HANDLE>(std::uintptr_t{0x7E5A00001234});

void checkHandle(FT_HANDLE handle)
{
    if (handle != kHandle)
        ++script->foreignHandles;
}

FT_STATUS ZENTOR_WINAPI scriptedListDevices(PVOID arg1, PVOID arg2, DWORD flags)
{
    script->listCalls.push_back({arg1, arg2, flags});
    if (flags == FT_LIST_NUMBER_ONLY) {
        if (script->countStatus == FT_OK)
            *static_cast<DWORD*>(arg1) = script->deviceCount;
        return script->countStatus;
    }
    if (script->serialStatus == FT_OK)
        std::memcpy(arg2, script->serialBytes.data(), script->serialBytes.size());
    return script->serialStatus;
}

FT_STATUS ZENTOR_WINAPI scriptedOpen(int deviceNumber, FT_HANDLE* handle)
{
    script->openIndexes.push_back(deviceNumber);
    if (script->openStatus == FT_OK)
        *handle = kHandle;
    return script->openStatus;
}

FT_STATUS ZENTOR_WINAPI scriptedSetBaudRate(FT_HANDLE handle, ULONG baudRate)
{
    checkHandle(handle);
    script->baudRates.push_back(baudRate);
    return script->baudStatus;
}

FT_STATUS ZENTOR_WINAPI scriptedGetStatus(FT_HANDLE handle, LPDWORD rx, LPDWORD tx, LPDWORD events)
{
    checkHandle(handle);
    if (script->getStatusGivesCount) {
        *rx = static_cast<DWORD>(script->waiting.size());
        *tx = 0;
        *events = 0;
    }
    return script->getStatusStatus;
}

FT_STATUS ZENTOR_WINAPI scriptedRead(FT_HANDLE handle, LPVOID buffer, DWORD count, LPDWORD got)
{
    checkHandle(handle);
    script->readSizes.push_back(count);
    if (script->readStatus != FT_OK)
        return script->readStatus;
    const DWORD n = std::min(count, static_cast<DWORD>(script->waiting.size()));
    std::memcpy(buffer, script->waiting.data(), n);
    script->waiting.erase(script->waiting.begin(), script->waiting.begin() + n);
    *got = n;
    return FT_OK;
}

FT_STATUS ZENTOR_WINAPI scriptedWrite(FT_HANDLE handle, LPVOID buffer, DWORD count, LPDWORD put)
{
    checkHandle(handle);
    if (script->writeStatus != FT_OK)
        return script->writeStatus;
    const DWORD n = std::min(count, script->writeLimit);
    const auto* data = static_cast<const std::uint8_t*>(buffer);
    script->written.insert(script->written.end(), data, data + n);
    *put = n;
    return FT_OK;
}

FT_STATUS ZENTOR_WINAPI scriptedClose(FT_HANDLE handle)
{
    script->closed.push_back(handle);
    return FT_OK;
}

class TUsbPortScripted : public testing::Test
{
protected:
    void SetUp() override { script = &script_; }
    void TearDown() override { script = nullptr; }

    Script script_;
    const D2xxApi api_{scriptedListDevices, scriptedOpen,      scriptedSetBaudRate, scriptedRead,
                       scriptedWrite,       scriptedGetStatus, scriptedClose};
};

// Reads until a call gives -1, recording each result.
std::vector<int> readResults(TUsbPort& port, Bytes& into, std::size_t capacity)
{
    std::vector<int> results;
    std::uint8_t buffer[4096];
    for (;;) {
        const std::int16_t n = port.Read(buffer, capacity);
        results.push_back(n);
        if (n < 0)
            return results;
        into.insert(into.end(), buffer, buffer + n);
    }
}

TEST_F(TUsbPortScripted, OpensDeviceZeroAt38400WithTwoAttached)
{
    script_.deviceCount = 2;
    TUsbPort port(&api_);
    ASSERT_EQ(port.Open(), OpenResult::Opened) << port.lastError();
    EXPECT_EQ(port.lastError(), "");
    EXPECT_EQ(port.serialNumber(), "ZT123456");

    ASSERT_EQ(script_.listCalls.size(), 2u);
    EXPECT_NE(script_.listCalls[0].arg1, nullptr); // the count goes here
    EXPECT_EQ(script_.listCalls[0].arg2, nullptr);
    EXPECT_EQ(script_.listCalls[0].flags, 0x80000000u);
    EXPECT_EQ(script_.listCalls[1].arg1, nullptr); // device index 0
    EXPECT_NE(script_.listCalls[1].arg2, nullptr);
    EXPECT_EQ(script_.listCalls[1].flags, 0x40000001u);
    EXPECT_EQ(script_.openIndexes, std::vector<int>{0});
    EXPECT_EQ(script_.baudRates, std::vector<ULONG>{38400});
    EXPECT_EQ(script_.foreignHandles, 0);
}

TEST_F(TUsbPortScripted, EachFailingStepFailsTheOpenAndHoldsNoHandle)
{
    struct Case
    {
        const char* legend;
        void (*arrange)(Script&);
        const char* error;
        std::size_t opens; // FT_Open calls made
        std::size_t closes;
    };
    const Case cases[] = {
        {"count call fails", [](Script& s) { s.countStatus = 4; },
         "FT_ListDevices (device count) failed with status 4", 0, 0},
        {"no device", [](Script& s) { s.deviceCount = 0; }, "No USB device attached", 0, 0},
        {"negative count", [](Script& s) { s.deviceCount = 0xFFFFFFFF; }, "No USB device attached",
         0, 0},
        {"serial call fails", [](Script& s) { s.serialStatus = 2; },
         "FT_ListDevices (serial number) failed with status 2", 0, 0},
        {"FT_Open fails", [](Script& s) { s.openStatus = 4; }, "FT_Open failed with status 4", 1,
         0},
        {"FT_SetBaudRate fails", [](Script& s) { s.baudStatus = 7; },
         "FT_SetBaudRate failed with status 7", 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.legend);
        script_ = Script{};
        script_.waiting = {0xAA, 0x01};
        c.arrange(script_);
        TUsbPort port(&api_);
        const std::uint8_t command[] = {0xAA, 0x02, 0x00, 0x10, 0x10};
        std::uint8_t buffer[4];
        EXPECT_EQ(port.Read(buffer, sizeof buffer), -1); // not yet opened
        EXPECT_EQ(port.Write(command, sizeof command), -1);

        EXPECT_EQ(port.Open(), OpenResult::NotAvailable);
        EXPECT_EQ(port.lastError(), c.error);
        EXPECT_EQ(script_.openIndexes.size(), c.opens);
        EXPECT_EQ(script_.closed.size(), c.closes);
        EXPECT_EQ(port.Read(buffer, sizeof buffer), -1);
        EXPECT_EQ(port.Write(command, sizeof command), -1);
        EXPECT_TRUE(script_.readSizes.empty());
        EXPECT_TRUE(script_.written.empty());
    }
}

TEST_F(TUsbPortScripted, SerialNumberStopsAtTheEndOfItsBuffer)
{
    script_.serialBytes = std::string(64, 'A'); // no terminating NUL anywhere
    TUsbPort port(&api_);
    ASSERT_EQ(port.Open(), OpenResult::Opened);
    EXPECT_EQ(port.serialNumber(), std::string(63, 'A'));
}

TEST_F(TUsbPortScripted, ReadsAtMostFourBytesPerCall)
{
    const Bytes stream = {0xAA, 0x05, 0x00, 0x02, 0x9C, 0xFF, 0x0D, 0x0A, 0x11, 0x13};
    script_.waiting = stream;
    TUsbPort port(&api_);
    ASSERT_EQ(port.Open(), OpenResult::Opened);

    Bytes got;
    EXPECT_EQ(readResults(port, got, 4096), (std::vector<int>{4, 4, 2, -1}));
    EXPECT_EQ(got, stream);
    EXPECT_EQ(script_.readSizes, (std::vector<DWORD>{4, 4, 2}));

    // A smaller buffer bounds the read as well; no buffer at all reads nothing.
    script_.waiting = {0x01, 0x02, 0x03};
    got.clear();
    EXPECT_EQ(readResults(port, got, 2), (std::vector<int>{2, 1, -1}));
    EXPECT_EQ(got, (Bytes{0x01, 0x02, 0x03}));
    script_.waiting = {0x04};
    script_.readSizes.clear();
    std::uint8_t buffer[1];
    EXPECT_EQ(port.Read(buffer, 0), -1);
    EXPECT_TRUE(script_.readSizes.empty());

    script_.readStatus = 4;
    EXPECT_EQ(port.Read(buffer, sizeof buffer), -1);
    EXPECT_EQ(script_.foreignHandles, 0);
}

TEST_F(TUsbPortScripted, StatusResultIsIgnoredButTheCountIsClearedFirst)
{
    script_.waiting = {0x10, 0x20, 0x30, 0x40, 0x50};
    TUsbPort port(&api_);
    ASSERT_EQ(port.Open(), OpenResult::Opened);
    script_.getStatusStatus = 4;

    script_.getStatusGivesCount = false;
    std::uint8_t buffer[8];
    EXPECT_EQ(port.Read(buffer, sizeof buffer), -1);
    EXPECT_TRUE(script_.readSizes.empty());

    script_.getStatusGivesCount = true;
    ASSERT_EQ(port.Read(buffer, sizeof buffer), 4);
    EXPECT_EQ(Bytes(buffer, buffer + 4), (Bytes{0x10, 0x20, 0x30, 0x40}));
}

TEST_F(TUsbPortScripted, StatusAndReadFailuresOfAPulledDeviceSayItIsGone)
{
    script_.waiting = {0x10, 0x20};
    TUsbPort port(&api_);
    ASSERT_EQ(port.Open(), OpenResult::Opened);
    std::uint8_t buffer[8];
    struct Case
    {
        FT_STATUS getStatus, read;
        int result;
        bool gone;
    };
    // Invalid parameter (6) and other trouble is not a device leaving the bus.
    for (const Case c :
         {Case{FT_IO_ERROR, FT_OK, -1, true}, Case{FT_OK, FT_OK, -1, false},
          Case{FT_DEVICE_NOT_FOUND, FT_OK, -1, true}, Case{6, FT_OK, -1, false},
          Case{FT_INVALID_HANDLE, FT_OK, -1, true}, Case{FT_DEVICE_NOT_OPENED, FT_OK, -1, true}}) {
        SCOPED_TRACE(c.getStatus);
        script_.getStatusStatus = c.getStatus;
        script_.getStatusGivesCount = false;
        EXPECT_EQ(port.Read(buffer, sizeof buffer), c.result);
        EXPECT_EQ(port.gone(), c.gone);
    }
    script_.getStatusStatus = FT_OK;
    script_.getStatusGivesCount = true;
    script_.readStatus = FT_IO_ERROR;
    EXPECT_EQ(port.Read(buffer, sizeof buffer), -1);
    EXPECT_TRUE(port.gone()) << "a read that fails with an I/O error";

    port.Close();
    EXPECT_FALSE(port.gone());
    EXPECT_EQ(script_.closed, (std::vector<FT_HANDLE>{kHandle}));
    EXPECT_EQ(port.Read(buffer, sizeof buffer), -1) << "a closed port reads nothing";
    script_.readStatus = FT_OK;
    ASSERT_EQ(port.Open(), OpenResult::Opened) << "and opens again";
    EXPECT_EQ(port.Read(buffer, sizeof buffer), 2);
    EXPECT_FALSE(port.gone());
}

TEST_F(TUsbPortScripted, WriteGivesTheCountWrittenOrMinusOne)
{
    TUsbPort port(&api_);
    ASSERT_EQ(port.Open(), OpenResult::Opened);
    const Bytes command = {0xAA, 0x02, 0x00, 0x30, 0x30};
    EXPECT_EQ(port.Write(command.data(), command.size()), 5);
    EXPECT_EQ(script_.written, command);

    script_.writeLimit = 3;
    EXPECT_EQ(port.Write(command.data(), command.size()), 3);

    script_.writeStatus = 4;
    EXPECT_EQ(port.Write(command.data(), command.size()), -1);

    script_.writeStatus = FT_OK;
    script_.written.clear();
    const Bytes tooLong(32768, 0x55);
    EXPECT_EQ(port.Write(tooLong.data(), tooLong.size()), -1);
    EXPECT_TRUE(script_.written.empty());
    EXPECT_EQ(script_.foreignHandles, 0);
}

TEST_F(TUsbPortScripted, ReleasesTheHandleOnReopenAndDestruction)
{
    {
        TUsbPort port(&api_);
        ASSERT_EQ(port.Open(), OpenResult::Opened);
        EXPECT_TRUE(script_.closed.empty());
        ASSERT_EQ(port.Open(), OpenResult::Opened);
        EXPECT_EQ(script_.closed, std::vector<FT_HANDLE>{kHandle});
    }
    EXPECT_EQ(script_.closed, (std::vector<FT_HANDLE>{kHandle, kHandle}));

    // A library without FT_Close leaves the handle to the end of the process.
    D2xxApi noClose = api_;
    noClose.FT_Close = nullptr;
    script_.closed.clear();
    {
        TUsbPort port(&noClose);
        ASSERT_EQ(port.Open(), OpenResult::Opened);
    }
    EXPECT_TRUE(script_.closed.empty());
}

// --- The stand-in library, loaded by the real loader. ---

class TUsbPortOnStandIn : public testing::Test
{
protected:
    void SetUp() override
    {
        clearEnvironment();
        FakeFtd2xx_Reset();
        ASSERT_NE(library_.api(), nullptr) << library_.error();
    }
    void TearDown() override
    {
        FakeFtd2xx_Reset();
        clearEnvironment();
    }
    static void clearEnvironment()
    {
        test::unsetEnv("ZENTOR_FAKE_FTD2XX_DEVICES");
        test::unsetEnv("ZENTOR_FAKE_FTD2XX_FAIL");
        test::unsetEnv("ZENTOR_FAKE_FTD2XX_PORT");
    }
    static Bytes written()
    {
        Bytes bytes(FakeFtd2xx_Written(nullptr, 0));
        FakeFtd2xx_Written(bytes.data(), static_cast<unsigned>(bytes.size()));
        return bytes;
    }

    const D2xxLibrary library_ = D2xxLibrary::load(ZENTOR_FAKE_FTD2XX_PATH);
};

TEST_F(TUsbPortOnStandIn, OpensDeviceZeroWithOneOrTwoAttachedAndFailsWithNone)
{
    for (const char* devices : {"1", "2"}) {
        SCOPED_TRACE(devices);
        FakeFtd2xx_Reset();
        test::setEnv("ZENTOR_FAKE_FTD2XX_DEVICES", devices);
        TUsbPort port(library_.api());
        ASSERT_EQ(port.Open(), OpenResult::Opened) << port.lastError();
        EXPECT_EQ(port.serialNumber(), "ZT000001");
        EXPECT_EQ(FakeFtd2xx_OpenedIndex(), 0);
        EXPECT_EQ(FakeFtd2xx_BaudRate(), 38400u);
    }
    FakeFtd2xx_Reset();
    test::setEnv("ZENTOR_FAKE_FTD2XX_DEVICES", "0");
    TUsbPort port(library_.api());
    EXPECT_EQ(port.Open(), OpenResult::NotAvailable);
    EXPECT_EQ(port.lastError(), "No USB device attached");
    EXPECT_EQ(FakeFtd2xx_OpenedIndex(), -1);
}

TEST_F(TUsbPortOnStandIn, EachFailingCallFailsTheOpenAndLeavesTheDeviceFree)
{
    for (const char* call : {"ListDevices", "ListByIndex", "Open", "SetBaudRate"}) {
        SCOPED_TRACE(call);
        test::setEnv("ZENTOR_FAKE_FTD2XX_FAIL", call);
        TUsbPort failing(library_.api());
        EXPECT_EQ(failing.Open(), OpenResult::NotAvailable);
        EXPECT_NE(failing.lastError(), "");
        // The device can be opened at once: a failed open keeps no handle.
        test::unsetEnv("ZENTOR_FAKE_FTD2XX_FAIL");
        TUsbPort port(library_.api());
        EXPECT_EQ(port.Open(), OpenResult::Opened) << port.lastError();
    }
}

TEST_F(TUsbPortOnStandIn, ADeviceOpenElsewhereIsInUseUntilThePortIsDestroyed)
{
    auto first = std::make_unique<TUsbPort>(library_.api());
    ASSERT_EQ(first->Open(), OpenResult::Opened);
    TUsbPort second(library_.api());
    EXPECT_EQ(second.Open(), OpenResult::InUse);
    EXPECT_EQ(second.lastError(), "FT_Open failed with status 3"); // FT_DEVICE_NOT_OPENED
    first.reset();
    EXPECT_EQ(second.Open(), OpenResult::Opened) << second.lastError();
}

TEST_F(TUsbPortOnStandIn, QueuedBytesComeOutFourAtATime)
{
    TUsbPort port(library_.api());
    ASSERT_EQ(port.Open(), OpenResult::Opened);
    const Bytes stream = {0xAA, 0x05, 0x00, 0x02, 0x9C, 0xFF, 0x0D, 0x0A, 0x11, 0x13};
    FakeFtd2xx_Queue(stream.data(), static_cast<unsigned>(stream.size()));
    Bytes got;
    EXPECT_EQ(readResults(port, got, 4096), (std::vector<int>{4, 4, 2, -1}));
    EXPECT_EQ(got, stream);

    FakeFtd2xx_Queue(stream.data(), 2);
    std::uint8_t buffer[4];
    for (const char* call : {"GetStatus", "Read"}) {
        SCOPED_TRACE(call);
        test::setEnv("ZENTOR_FAKE_FTD2XX_FAIL", call);
        EXPECT_EQ(port.Read(buffer, sizeof buffer), -1);
    }
    test::unsetEnv("ZENTOR_FAKE_FTD2XX_FAIL");
    EXPECT_EQ(port.Read(buffer, sizeof buffer), 2);
}

TEST_F(TUsbPortOnStandIn, WrittenBytesArriveByteExact)
{
    TUsbPort port(library_.api());
    ASSERT_EQ(port.Open(), OpenResult::Opened);
    const Bytes first = {0xAA, 0x02, 0x00, 0x10, 0x10};
    const Bytes second = {0x00, 0x0D, 0x0A, 0x11, 0x13, 0xFF};
    EXPECT_EQ(port.Write(first.data(), first.size()), 5);
    EXPECT_EQ(port.Write(second.data(), second.size()), 6);
    Bytes both = first;
    both.insert(both.end(), second.begin(), second.end());
    EXPECT_EQ(written(), both);

    test::setEnv("ZENTOR_FAKE_FTD2XX_FAIL", "Write");
    EXPECT_EQ(port.Write(first.data(), first.size()), -1);
    EXPECT_EQ(written(), both);
}

// The link thread reads while a router writes and the instrument's bytes keep coming.
TEST_F(TUsbPortOnStandIn, ReadsOnOneThreadWhileAnotherWrites)
{
    TUsbPort port(library_.api());
    ASSERT_EQ(port.Open(), OpenResult::Opened);
    Bytes stream(1000);
    for (std::size_t i = 0; i < stream.size(); ++i)
        stream[i] = static_cast<std::uint8_t>(i * 7);
    const Bytes command = {0xAA, 0x02, 0x00, 0x31, 0x31};
    constexpr int kCommands = 200;

    Bytes got;
    std::thread reader([&] {
        std::uint8_t buffer[64];
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (got.size() < stream.size() && std::chrono::steady_clock::now() < deadline) {
            const std::int16_t n = port.Read(buffer, sizeof buffer);
            if (n > 0)
                got.insert(got.end(), buffer, buffer + n);
            else
                std::this_thread::yield();
        }
    });
    std::thread writer([&] {
        for (int i = 0; i < kCommands; ++i)
            EXPECT_EQ(port.Write(command.data(), command.size()), 5);
    });
    for (std::size_t queued = 0; queued < stream.size(); queued += 10)
        FakeFtd2xx_Queue(stream.data() + queued, 10);
    writer.join();
    reader.join();

    EXPECT_EQ(got, stream);
    Bytes expected;
    for (int i = 0; i < kCommands; ++i)
        expected.insert(expected.end(), command.begin(), command.end());
    EXPECT_EQ(written(), expected);
}

// The process-wide library is loaded once per process, so these run in a child process each.
TEST(TUsbPortDeathTest, DefaultLibraryIsTheNamedFile)
{
    EXPECT_EXIT(
        {
            test::setEnv("ZENTOR_FTD2XX", ZENTOR_FAKE_FTD2XX_PATH);
            TUsbPort port;
            std::exit(port.Open() == OpenResult::Opened && port.serialNumber() == "ZT000001" ? 0
                                                                                             : 1);
        },
        testing::ExitedWithCode(0), "");
}

TEST(TUsbPortDeathTest, MissingLibraryFailsTheOpenAndSaysWhich)
{
    EXPECT_EXIT(
        {
            test::setEnv("ZENTOR_FTD2XX", "/nonexistent/zentor/libftd2xx.so");
            TUsbPort port;
            const bool opened = port.Open() == OpenResult::Opened;
            std::fprintf(stderr, "%s\n", port.lastError().c_str());
            std::exit(opened ? 1 : 0);
        },
        testing::ExitedWithCode(0), "^D2XX library not found: /nonexistent/zentor/libftd2xx.so ");
}

} // namespace
} // namespace zentor
