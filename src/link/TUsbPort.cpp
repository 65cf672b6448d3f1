#include "link/TUsbPort.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace zentor {
namespace {

constexpr std::int16_t kNone = -1; // nothing read, or the write failed

bool meansDeviceGone(FT_STATUS status)
{
    return status == FT_INVALID_HANDLE || status == FT_DEVICE_NOT_FOUND ||
           status == FT_DEVICE_NOT_OPENED || status == FT_IO_ERROR;
}

} // namespace

TUsbPort::TUsbPort(const D2xxApi* api) : injectedApi_(api) {}

TUsbPort::~TUsbPort()
{
    Close();
}

OpenResult TUsbPort::Open()
{
    Close();
    const D2xxApi* api = injectedApi_ ? injectedApi_ : d2xx().api();
    if (!api) {
        lastError_ = d2xx().error();
        return OpenResult::NotAvailable;
    }
    api_ = *api;

    DWORD count = 0;
    FT_STATUS status = api_.FT_ListDevices(&count, nullptr, FT_LIST_NUMBER_ONLY);
    if (status != FT_OK)
        return fail("FT_ListDevices (device count)", status);
    // Taken as a signed count, so a negative answer means no device as well.
    if (static_cast<std::int32_t>(count) <= 0) {
        lastError_ = "No USB device attached";
        return OpenResult::NotAvailable;
    }

    // The by-index listing takes the index itself in place of the first pointer.
    char serial[kSerialBufferSize] = {};
    status = api_.FT_ListDevices(reinterpret_cast<PVOID>(static_cast<std::uintptr_t>(kDeviceIndex)),
                                 serial, FT_LIST_BY_INDEX | FT_OPEN_BY_SERIAL_NUMBER);
    if (status != FT_OK)
        return fail("FT_ListDevices (serial number)", status);
    serial[kSerialBufferSize - 1] = '\0'; // a faulty library cannot make us read past the buffer
    serialNumber_ = serial;

    FT_HANDLE handle = nullptr;
    status = api_.FT_Open(kDeviceIndex, &handle);
    // The device is listed, so a refusal to open it is another program holding it: D2XX opens
    // a device for one program at a time.
    if (status == FT_DEVICE_NOT_OPENED) {
        fail("FT_Open", status);
        return OpenResult::InUse;
    }
    if (status != FT_OK)
        return fail("FT_Open", status);
    handle_ = handle;
    open_ = true;

    status = api_.FT_SetBaudRate(handle_, kBaudRate);
    if (status != FT_OK) {
        Close();
        return fail("FT_SetBaudRate", status);
    }
    lastError_.clear();
    return OpenResult::Opened;
}

std::int16_t TUsbPort::Read(std::uint8_t* buffer, std::size_t capacity)
{
    if (!open_)
        return kNone;
    // The receive count decides what is read, whatever the call's result: a failed call leaves
    // it at 0. The result only tells whether the device is still there.
    DWORD rxBytes = 0, txBytes = 0, events = 0;
    deviceGone_ = meansDeviceGone(api_.FT_GetStatus(handle_, &rxBytes, &txBytes, &events));
    const DWORD wanted =
        static_cast<DWORD>(std::min({static_cast<std::size_t>(rxBytes), kMaxReadBytes, capacity}));
    if (wanted == 0)
        return kNone;
    DWORD got = 0;
    const FT_STATUS readStatus = api_.FT_Read(handle_, buffer, wanted, &got);
    deviceGone_ = meansDeviceGone(readStatus);
    if (readStatus != FT_OK)
        return kNone;
    return static_cast<std::int16_t>(std::min(got, wanted)); // never more than the buffer took
}

std::int16_t TUsbPort::Write(const std::uint8_t* data, std::size_t n)
{
    const auto limit = static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max());
    if (!open_ || n > limit)
        return kNone;
    DWORD written = 0;
    // The library takes a non-const buffer for writing but only reads it.
    const auto asked = static_cast<DWORD>(n);
    if (api_.FT_Write(handle_, const_cast<std::uint8_t*>(data), asked, &written) != FT_OK)
        return kNone;
    return static_cast<std::int16_t>(std::min(written, asked)); // never more than was given
}

OpenResult TUsbPort::fail(const char* call, FT_STATUS status)
{
    lastError_ = std::string(call) + " failed with status " + std::to_string(status);
    return OpenResult::NotAvailable;
}

void TUsbPort::Close()
{
    if (open_ && api_.FT_Close)
        api_.FT_Close(handle_);
    open_ = false;
    deviceGone_ = false;
    handle_ = nullptr;
}

} // namespace zentor
