#include "SimulatedStream.h"

#include <chrono>

namespace zentor::sim {

namespace {
std::vector<Bytes> framesOf(const std::vector<Packet>& packets)
{
    std::vector<Bytes> frames;
    frames.reserve(packets.size());
    for (const Packet& packet : packets)
        frames.push_back(frameBytes(packet));
    return frames;
}
} // namespace

std::vector<Bytes> SimulatedStream::start(std::int64_t nowMs)
{
    return framesOf(instrument_.startMeasurement(nowMs));
}

std::vector<Bytes> SimulatedStream::answer(std::uint8_t command) const
{
    return framesOf(instrument_.answer(command));
}

std::vector<Bytes> SimulatedStream::due(std::int64_t nowMs)
{
    const auto pcUnixMs = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    instrument_.followPcClock(nowMs, pcUnixMs.count());
    return framesOf(instrument_.packetsDue(nowMs));
}

} // namespace zentor::sim
