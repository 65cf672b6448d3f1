#pragma once

#include "link/Transport.h"
#include "platform/D2xx.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace zentor {

// The USB transport to the instrument: the first device that the D2XX library lists, at 38400
// baud. Threads as Transport.h says: a write may run while the link thread reads, as the library
// keeps the two directions apart.
class TUsbPort final : public Transport
{
public:
    static constexpr ULONG kBaudRate = 38400;
    static constexpr std::size_t kMaxReadBytes = 4; // per Read, however many are waiting

    // `api` is the library to drive and must outlive the port; null means the process-wide
    // library, d2xx(), looked at by Open (when it is missing, Open fails and says why).
    explicit TUsbPort(const D2xxApi* api = nullptr);
    // Releases the device handle with FT_Close when the library has that call.
    ~TUsbPort() override;
    TUsbPort(const TUsbPort&) = delete;
    TUsbPort& operator=(const TUsbPort&) = delete;

    // Opens device index 0 (whatever else is attached), stores its serial number and sets the
    // baud rate. NotAvailable when the library is missing, it lists no device or one of its calls
    // failed; InUse when it lists the device but FT_Open answers FT_DEVICE_NOT_OPENED, as it
    // does for a device another program has open; lastError() then gives the reason.
    OpenResult Open() override;

    // Reads at most kMaxReadBytes of what is waiting.
    std::int16_t Read(std::uint8_t* buffer, std::size_t capacity) override;

    // True when the last Read found the device gone: the library answered its status or read
    // call with an invalid handle, device not found, device not opened or an I/O error, as it
    // does once the device has been pulled from the bus. Cleared by the next Read that does not
    // fail so, and by Open and Close. Link thread only.
    bool gone() const override { return deviceGone_; }

    // Releases the device handle (FT_Close when the library has that call).
    void Close() override;

    // Gives the count the library wrote.
    std::int16_t Write(const std::uint8_t* data, std::size_t n) override;

    std::string portName() const override { return "USB"; }
    std::string connectedText() const override { return "Connected via USB"; }

    // The serial number of device index 0, as listed by the last Open that got that far.
    const std::string& serialNumber() const { return serialNumber_; }
    // Why the last Open failed, in words for the user; empty after a successful open.
    std::string lastError() const { return lastError_; }

private:
    static constexpr int kDeviceIndex = 0;
    static constexpr std::size_t kSerialBufferSize = 64; // the library writes up to 16 + NUL

    OpenResult fail(const char* call, FT_STATUS status);

    const D2xxApi* const injectedApi_;
    D2xxApi api_; // the calls in use, copied by Open
    FT_HANDLE handle_ = nullptr;
    bool open_ = false; // handle_ is an open device
    bool deviceGone_ = false;
    std::string serialNumber_;
    std::string lastError_;
};

} // namespace zentor
