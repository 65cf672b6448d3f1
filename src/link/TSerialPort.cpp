#include "link/TSerialPort.h"

#include "platform/ComPortName.h"

#include <algorithm>
#include <limits>
#include <string>

namespace zentor {
namespace {

constexpr int kLinkBaudRate = 38400;
constexpr std::size_t kInputQueueBytes = 2048;
constexpr std::size_t kOutputQueueBytes = 256;
constexpr SerialTimeouts kLinkTimeouts{0, 1, 1000}; // interval, per byte, constant (ms)
constexpr std::int16_t kNothing = -1;
constexpr std::size_t kZeroedOnNothing = 4; // bytes of the buffer cleared when nothing was read
constexpr std::size_t kMaxCount = std::numeric_limits<std::int16_t>::max();

} // namespace

OpenResult TSerialPort::Open()
{
    SerialSettings settings;
    settings.baudRate = kLinkBaudRate;
    settings.inputQueueBytes = kInputQueueBytes;
    settings.outputQueueBytes = kOutputQueueBytes;
    settings.timeouts = kLinkTimeouts;
    if (port_.open(comPortDevice(portNumber_), settings))
        return OpenResult::Opened;
    return port_.inUse() ? OpenResult::InUse : OpenResult::NotAvailable;
}

std::string TSerialPort::portName() const
{
    return "COM" + std::to_string(portNumber_) + ":";
}

std::int16_t TSerialPort::Read(std::uint8_t* buffer, std::size_t capacity)
{
    const long count = port_.readWaiting(buffer, std::min(capacity, kMaxCount));
    if (count > 0)
        return static_cast<std::int16_t>(count);
    std::fill_n(buffer, std::min(capacity, kZeroedOnNothing), std::uint8_t{0});
    return kNothing;
}

std::int16_t TSerialPort::Write(const std::uint8_t* data, std::size_t n)
{
    if (n > kMaxCount)
        return kNothing;
    const long written = port_.write(data, n);
    return written == static_cast<long>(n) ? static_cast<std::int16_t>(n) : kNothing;
}

} // namespace zentor
