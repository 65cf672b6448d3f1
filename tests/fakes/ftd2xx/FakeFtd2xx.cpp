#include "fakes/ftd2xx/FakeFtd2xx.h"

#include "platform/D2xx.h"
#include "platform/SerialPort.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <type_traits>
#include <vector>

using zentor::DWORD;
using zentor::FT_HANDLE;
using zentor::FT_STATUS;
using zentor::LPDWORD;
using zentor::LPVOID;
using zentor::PVOID;
using zentor::ULONG;

namespace {

// Failure statuses of the stand-in; the library's users only tell FT_OK from the rest.
constexpr FT_STATUS kInvalidHandle = 1;
constexpr FT_STATUS kDeviceNotFound = 2;
constexpr FT_STATUS kDeviceNotOpened = 3;
constexpr FT_STATUS kIoError = 4; // also the answer of a call told to fail
constexpr FT_STATUS kInvalidParameter = 6;

constexpr int kMaxDevices = 2;
constexpr int kDefaultDevices = 1;
constexpr unsigned kReadTimeoutMs = 500; // how long FT_Read on a line waits for the asked count
constexpr std::size_t kSerialNumberSize = 16 + 1;

struct Device
{
    bool open = false;
    // The serial line passed through (a terminal, or a COM port on Windows), or null for the
    // in-process queues.
    std::shared_ptr<zentor::SerialPort> line;
};

// Everything the stand-in remembers, guarded by `mutex`.
struct State
{
    std::mutex mutex;
    Device devices[kMaxDevices];
    std::deque<unsigned char> queued;   // bytes for FT_Read without a terminal
    std::vector<unsigned char> written; // bytes from FT_Write without a terminal
    int openedIndex = -1;
    ULONG baudRate = 0;
};

State& state()
{
    static State instance;
    return instance;
}

// ZENTOR_FAKE_FTD2XX_DEVICES: "0", "1" or "2"; unset or anything else is one device.
int deviceCount()
{
    const char* text = std::getenv("ZENTOR_FAKE_FTD2XX_DEVICES");
    if (text && text[0] >= '0' && text[0] - '0' <= kMaxDevices && text[1] == '\0')
        return text[0] - '0';
    return kDefaultDevices;
}

// ZENTOR_FAKE_FTD2XX_FAIL: the comma-separated names of the calls that fail.
bool toldToFail(const char* call)
{
    const char* text = std::getenv("ZENTOR_FAKE_FTD2XX_FAIL");
    if (!text)
        return false;
    const std::string list = std::string(",") + text + ",";
    return list.find(std::string(",") + call + ",") != std::string::npos;
}

// The open device behind a handle, or null.
Device* deviceOf(State& s, FT_HANDLE handle)
{
    for (Device& device : s.devices) {
        if (handle == &device && device.open)
            return &device;
    }
    return nullptr;
}

void closeDevice(Device& device)
{
    device = Device{};
}

// Opens the line named by ZENTOR_FAKE_FTD2XX_PORT raw, with reads that wait at most
// kReadTimeoutMs for the asked count. FT_OK, or the library's answer for a device that is not
// there (no line) or that another program has open (the line is held).
FT_STATUS openLine(const char* device, std::shared_ptr<zentor::SerialPort>& line)
{
    zentor::SerialSettings settings;
    settings.timeouts.readTotalConstantMs = kReadTimeoutMs;
    auto port = std::make_shared<zentor::SerialPort>();
    if (port->open(device, settings)) {
        line = std::move(port);
        return zentor::FT_OK;
    }
    return port->inUse() ? kDeviceNotOpened : kDeviceNotFound;
}

} // namespace

extern "C" {

FT_STATUS ZENTOR_WINAPI FT_ListDevices(PVOID pArg1, PVOID pArg2, DWORD flags)
{
    const DWORD byIndex = zentor::FT_LIST_BY_INDEX | zentor::FT_OPEN_BY_SERIAL_NUMBER;
    if (flags == zentor::FT_LIST_NUMBER_ONLY) {
        if (toldToFail("ListDevices"))
            return kIoError;
        if (!pArg1)
            return kInvalidParameter;
        *static_cast<DWORD*>(pArg1) = static_cast<DWORD>(deviceCount());
        return zentor::FT_OK;
    }
    if (flags == byIndex) {
        if (toldToFail("ListByIndex"))
            return kIoError;
        const auto index = reinterpret_cast<std::uintptr_t>(pArg1);
        if (index >= static_cast<std::uintptr_t>(deviceCount()))
            return kDeviceNotFound;
        if (!pArg2)
            return kInvalidParameter;
        std::snprintf(static_cast<char*>(pArg2), kSerialNumberSize, "ZT%06u",
                      static_cast<unsigned>(index + 1));
        return zentor::FT_OK;
    }
    return kInvalidParameter; // listings by description or of all devices are not offered
}

FT_STATUS ZENTOR_WINAPI FT_Open(int deviceNumber, FT_HANDLE* pHandle)
{
    if (toldToFail("Open"))
        return kIoError;
    if (!pHandle)
        return kInvalidParameter;
    if (deviceNumber < 0 || deviceNumber >= deviceCount())
        return kDeviceNotFound;
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    Device& device = s.devices[deviceNumber];
    if (device.open)
        return kDeviceNotOpened; // a device is opened by one user at a time
    const char* port = std::getenv("ZENTOR_FAKE_FTD2XX_PORT");
    if (port && *port) {
        if (const FT_STATUS status = openLine(port, device.line); status != zentor::FT_OK)
            return status;
    }
    device.open = true;
    s.openedIndex = deviceNumber;
    *pHandle = &device;
    return zentor::FT_OK;
}

FT_STATUS ZENTOR_WINAPI FT_Close(FT_HANDLE handle)
{
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    Device* device = deviceOf(s, handle);
    if (!device)
        return kInvalidHandle;
    closeDevice(*device);
    return zentor::FT_OK;
}

FT_STATUS ZENTOR_WINAPI FT_SetBaudRate(FT_HANDLE handle, ULONG baudRate)
{
    if (toldToFail("SetBaudRate"))
        return kIoError;
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!deviceOf(s, handle))
        return kInvalidHandle;
    s.baudRate = baudRate; // a terminal keeps its own speed (a pseudo-terminal has none)
    return zentor::FT_OK;
}

FT_STATUS ZENTOR_WINAPI FT_GetStatus(FT_HANDLE handle, LPDWORD rxBytes, LPDWORD txBytes,
                                     LPDWORD eventDWord)
{
    if (toldToFail("GetStatus"))
        return kIoError;
    if (!rxBytes || !txBytes || !eventDWord)
        return kInvalidParameter;
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    const Device* device = deviceOf(s, handle);
    if (!device)
        return kInvalidHandle;
    if (device->line) {
        // A line that is gone fails the call, as the vendor's library does for a device pulled
        // from the bus.
        const long waiting = device->line->bytesWaiting();
        if (waiting < 0)
            return kIoError;
        *rxBytes = static_cast<DWORD>(waiting);
    } else {
        *rxBytes = static_cast<DWORD>(s.queued.size());
    }
    *txBytes = 0;
    *eventDWord = 0;
    return zentor::FT_OK;
}

FT_STATUS ZENTOR_WINAPI FT_Read(FT_HANDLE handle, LPVOID buffer, DWORD bytesToRead,
                                LPDWORD bytesReturned)
{
    if (toldToFail("Read"))
        return kIoError;
    if (!buffer || !bytesReturned)
        return kInvalidParameter;
    *bytesReturned = 0;
    auto* out = static_cast<unsigned char*>(buffer);
    State& s = state();
    std::unique_lock<std::mutex> lock(s.mutex);
    const Device* device = deviceOf(s, handle);
    if (!device)
        return kInvalidHandle;
    if (!device->line) {
        const std::size_t n = std::min<std::size_t>(bytesToRead, s.queued.size());
        std::copy_n(s.queued.begin(), n, out);
        s.queued.erase(s.queued.begin(), s.queued.begin() + static_cast<std::ptrdiff_t>(n));
        *bytesReturned = static_cast<DWORD>(n);
        return zentor::FT_OK;
    }
    // The wait for the line must not hold up writers on other threads.
    const std::shared_ptr<zentor::SerialPort> line = device->line;
    lock.unlock();
    const long got = line->read(out, bytesToRead);
    if (got < 0)
        return kIoError;
    *bytesReturned = static_cast<DWORD>(got);
    return zentor::FT_OK;
}

FT_STATUS ZENTOR_WINAPI FT_Write(FT_HANDLE handle, LPVOID buffer, DWORD bytesToWrite,
                                 LPDWORD bytesWritten)
{
    if (toldToFail("Write"))
        return kIoError;
    if (!buffer || !bytesWritten)
        return kInvalidParameter;
    *bytesWritten = 0;
    const auto* data = static_cast<const unsigned char*>(buffer);
    State& s = state();
    std::unique_lock<std::mutex> lock(s.mutex);
    const Device* device = deviceOf(s, handle);
    if (!device)
        return kInvalidHandle;
    if (!device->line) {
        s.written.insert(s.written.end(), data, data + bytesToWrite);
        *bytesWritten = bytesToWrite;
        return zentor::FT_OK;
    }
    const std::shared_ptr<zentor::SerialPort> line = device->line;
    lock.unlock();
    if (line->write(data, bytesToWrite) != static_cast<long>(bytesToWrite))
        return kIoError;
    *bytesWritten = bytesToWrite;
    return zentor::FT_OK;
}

void FakeFtd2xx_Queue(const unsigned char* bytes, unsigned count)
{
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.queued.insert(s.queued.end(), bytes, bytes + count);
}

unsigned FakeFtd2xx_Written(unsigned char* out, unsigned max)
{
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    std::copy_n(s.written.begin(), std::min<std::size_t>(max, s.written.size()), out);
    return static_cast<unsigned>(s.written.size());
}

void FakeFtd2xx_Reset(void)
{
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    for (Device& device : s.devices)
        closeDevice(device);
    s.queued.clear();
    s.written.clear();
    s.openedIndex = -1;
    s.baudRate = 0;
}

int FakeFtd2xx_OpenedIndex(void)
{
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.openedIndex;
}

unsigned FakeFtd2xx_BaudRate(void)
{
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.baudRate;
}

} // extern "C"

// The entry points must have exactly the types that the loader casts them to.
static_assert(std::is_same_v<decltype(&FT_ListDevices), zentor::FT_ListDevicesFn>);
static_assert(std::is_same_v<decltype(&FT_Open), zentor::FT_OpenFn>);
static_assert(std::is_same_v<decltype(&FT_SetBaudRate), zentor::FT_SetBaudRateFn>);
static_assert(std::is_same_v<decltype(&FT_Read), zentor::FT_ReadFn>);
static_assert(std::is_same_v<decltype(&FT_Write), zentor::FT_WriteFn>);
static_assert(std::is_same_v<decltype(&FT_GetStatus), zentor::FT_GetStatusFn>);
static_assert(std::is_same_v<decltype(&FT_Close), zentor::FT_CloseFn>);
