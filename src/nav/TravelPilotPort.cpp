#include "nav/TravelPilotPort.h"

#include "nav/TravelPilotFrame.h"
#include "nav/TravelPilotResponse.h"

#include <cstring>

namespace zentor {

namespace {

constexpr int kBaudRate = 9600;
constexpr std::size_t kInputQueueBytes = 4096;
constexpr std::size_t kOutputQueueBytes = 256;
constexpr unsigned kReadIntervalMs = 0;
constexpr unsigned kReadPerByteMs = 1;
constexpr unsigned kReadConstantMs = 300;

// The count a serial read or readWaiting returned, with -1 (no port, line gone) as none.
std::size_t arrivedCount(long got)
{
    return got > 0 ? static_cast<std::size_t>(got) : 0;
}

} // namespace

std::mutex& travelPilotPortMutex()
{
    static std::mutex mutex;
    return mutex;
}

SerialSettings TravelPilotPort::settings()
{
    SerialSettings s;
    s.baudRate = kBaudRate;
    s.inputQueueBytes = kInputQueueBytes;
    s.outputQueueBytes = kOutputQueueBytes;
    s.timeouts.readIntervalMs = kReadIntervalMs;
    s.timeouts.readTotalPerByteMs = kReadPerByteMs;
    s.timeouts.readTotalConstantMs = kReadConstantMs;
    return s;
}

bool TravelPilotPort::open(const std::string& device)
{
    std::lock_guard<std::mutex> lock(travelPilotPortMutex());
    if (!port_.open(device, settings()))
        return false;
    port_.purge();
    return true;
}

bool TravelPilotPort::sendRequest(std::uint8_t command)
{
    const TravelPilotFrame frame = travelPilotRequest(command);
    std::lock_guard<std::mutex> lock(travelPilotPortMutex());
    // Each answer is then read from its own length byte, even after one that came in late or in
    // part: what is still waiting belongs to no request any more.
    std::uint8_t stale[kTpReceiveBufferBytes];
    while (port_.readWaiting(stale, sizeof(stale)) > 0) {
    }
    return port_.write(frame.bytes.data(), frame.size) == static_cast<long>(frame.size);
}

std::size_t TravelPilotPort::readResponse(std::uint8_t* buffer)
{
    std::memset(buffer, 0, kTpReceiveBufferBytes);
    std::lock_guard<std::mutex> lock(travelPilotPortMutex());
    const std::size_t first = arrivedCount(port_.read(buffer, 1));
    const std::size_t rest = first == 1 ? bytesAfterLength(buffer[0]) : 0;
    if (rest == 0)
        return first;
    return first + arrivedCount(port_.read(buffer + 1, rest));
}

} // namespace zentor
