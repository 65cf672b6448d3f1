#include "platform/SerialPort.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <algorithm>
#include <windows.h>

// The port is opened for non-overlapped input and output. Windows serialises synchronous calls
// on one handle, so a write issued while a read waits for its time-out starts when the read ends;
// readWaiting never waits, which keeps that delay away from the instrument link.
namespace zentor {
namespace {

HANDLE native(void* handle)
{
    return static_cast<HANDLE>(handle);
}

DWORD clipped(std::size_t n)
{
    return static_cast<DWORD>(std::min(n, kMaxSerialTransferBytes));
}

std::string systemErrorText(DWORD code)
{
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string message = length > 0 ? std::string(text, length) : "error " + std::to_string(code);
    LocalFree(text);
    while (!message.empty() &&
           (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
        message.pop_back();
    return message;
}

} // namespace

SerialPort::SerialPort() = default;

SerialPort::~SerialPort()
{
    close();
}

bool SerialPort::open(const std::string& device, const SerialSettings& settings)
{
    close();
    device_ = device;
    inUse_ = false;
    DCB dcb{};
    dcb.DCBlength = sizeof(dcb);
    const std::string mode = std::to_string(settings.baudRate) + ",N,8,1";
    if (!BuildCommDCBA(mode.c_str(), &dcb)) {
        setError(device + ": unsupported line settings " + mode + ": " +
                 systemErrorText(GetLastError()));
        return false;
    }
    dcb.fNull = 0;
    dcb.fOutxCtsFlow = 0;
    dcb.fOutxDsrFlow = 0;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.fOutX = 0;
    dcb.fInX = 0;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fDsrSensitivity = 0;

    const HANDLE handle = CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        // A COM port opened by another program: the system gives one handle at a time.
        inUse_ = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
        setError(inUse_ ? device + ": in use by another program"
                        : "cannot open " + device + ": " + systemErrorText(error));
        return false;
    }
    // The queue sizes are a request; a driver that keeps its own still works.
    SetupComm(handle, clipped(settings.inputQueueBytes), clipped(settings.outputQueueBytes));
    if (!SetCommState(handle, &dcb)) {
        const DWORD error = GetLastError();
        CloseHandle(handle);
        setError(device + ": line settings refused: " + systemErrorText(error));
        return false;
    }

    COMMTIMEOUTS timeouts{};
    GetCommTimeouts(handle, &timeouts);
    const SerialTimeouts& read = settings.timeouts;
    const bool readWaits = read.readTotalPerByteMs != 0 || read.readTotalConstantMs != 0;
    // MAXDWORD with both totals 0 makes ReadFile return at once with what is waiting.
    timeouts.ReadIntervalTimeout = readWaits ? read.readIntervalMs : MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = read.readTotalPerByteMs;
    timeouts.ReadTotalTimeoutConstant = read.readTotalConstantMs;
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = 0;
    SetCommTimeouts(handle, &timeouts);
    handle_ = handle;
    return true;
}

void SerialPort::close()
{
    if (isOpen())
        CloseHandle(native(handle_));
    handle_ = kClosedHandle;
    hungUp_.store(false, std::memory_order_release);
}

long SerialPort::bytesWaiting()
{
    if (!usable())
        return -1;
    // Also clears any line error, which is otherwise ignored.
    DWORD lineErrors = 0;
    COMSTAT status{};
    if (!ClearCommError(native(handle_), &lineErrors, &status))
        return failed("ClearCommError: " + systemErrorText(GetLastError()), true, 0);
    return static_cast<long>(std::min<DWORD>(status.cbInQue, clipped(kMaxSerialTransferBytes)));
}

long SerialPort::read(std::uint8_t* buffer, std::size_t n)
{
    if (!usable())
        return -1;
    DWORD got = 0;
    if (!ReadFile(native(handle_), buffer, clipped(n), &got, nullptr))
        return failed("ReadFile: " + systemErrorText(GetLastError()), true, 0);
    return static_cast<long>(got);
}

long SerialPort::readWaiting(std::uint8_t* buffer, std::size_t n)
{
    const long waiting = bytesWaiting();
    if (waiting <= 0)
        return waiting;
    // The bytes asked for are all in the queue, so ReadFile returns without waiting.
    return read(buffer, std::min(n, static_cast<std::size_t>(waiting)));
}

long SerialPort::write(const std::uint8_t* data, std::size_t n)
{
    if (!usable())
        return -1;
    DWORD written = 0;
    if (!WriteFile(native(handle_), data, clipped(n), &written, nullptr))
        return failed("WriteFile: " + systemErrorText(GetLastError()), true, 0);
    return static_cast<long>(written);
}

void SerialPort::purge()
{
    if (isOpen())
        PurgeComm(native(handle_), PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR);
}

} // namespace zentor
