#include "SimInstrument.h"

#include "GpsRecord.h"
#include "InstrumentPackets.h"

#include <algorithm>
#include <chrono>
#include <limits>

namespace zentor::sim {

namespace {
constexpr std::int64_t kMsPerSecond = 1000;
constexpr std::int64_t kMaxLagMs = 1000;
constexpr int kSamplesPerSinglePacket = 4;
constexpr int kListSlicesPerReceiver = kListEntries / kListEntriesPerPacket;
constexpr std::uint32_t kGpsSeedMix = 0x9E3779B9;
constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();

double toSeconds(std::int64_t ms)
{
    return static_cast<double>(ms) / kMsPerSecond;
}
} // namespace

SimInstrument::SimInstrument(const InstrumentSettings& settings, std::int64_t startUnixSeconds,
                             std::uint32_t seed)
    : settings_(settings), startUnixSeconds_(startUnixSeconds), plan_(defaultBandPlan()),
      route_(settings.townCentre), field_(plan_), levelNoise_(seed), gpsNoise_(seed ^ kGpsSeedMix)
{
    for (int r = 0; r < kReceivers; ++r)
        for (std::int32_t count = plan_[r].startCount; count <= plan_[r].stopCount; ++count)
            if (plan_[r].tableIndexOfCount(count) >= 0)
                tableSweep_.emplace_back(r, count);
    startMeasurement(0); // a schedule from time 0 until a client starts its own
}

std::vector<Packet> SimInstrument::startMeasurement(std::int64_t nowMs)
{
    nextSecondMs_ = (nowMs + kMsPerSecond - 1) / kMsPerSecond * kMsPerSecond;
    dataStartMs_ = nowMs;
    dataSlot_ = 0;
    cursor_ = 0;
    if (settings_.infoEverySeconds <= 0) {
        nextInfoMs_ = kNever;
        return {};
    }
    nextInfoMs_ = nowMs + settings_.infoEverySeconds * kMsPerSecond;
    return answer(kCmdChannelInformation);
}

std::vector<Packet> SimInstrument::answer(std::uint8_t command) const
{
    switch (command) {
    case kCmdIdentify:
        return {identificationPacket(settings_.serial)};
    case kCmdConfiguration:
        return {configurationPacket(plan_)};
    case kCmdChannelInformation:
        return {levelValuesPacket(plan_), statusBlocksPacket(plan_)};
    default:
        return {};
    }
}

std::int64_t SimInstrument::dataSlotMs() const
{
    return dataStartMs_ + dataSlot_ * kMsPerSecond / settings_.packetsPerSecond;
}

std::int64_t SimInstrument::nextDueMs() const
{
    return std::min({nextSecondMs_, nextInfoMs_, dataSlotMs()});
}

void SimInstrument::followPcClock(std::int64_t nowMs, std::int64_t pcUnixMs)
{
    const std::int64_t aheadMs = pcUnixMs - (startUnixSeconds_ * kMsPerSecond + nowMs);
    // To the nearest second: the schedule's seconds start on the PC's when the run starts.
    pcAheadSeconds_ = (aheadMs >= 0 ? aheadMs + kMsPerSecond / 2 : aheadMs - kMsPerSecond / 2) /
                      kMsPerSecond;
}

void SimInstrument::skipOverdue(std::int64_t nowMs)
{
    if (nextSecondMs_ < nowMs - kMaxLagMs)
        nextSecondMs_ = nowMs / kMsPerSecond * kMsPerSecond;
    if (nextInfoMs_ < nowMs - kMaxLagMs)
        nextInfoMs_ = nowMs;
    if (dataSlotMs() < nowMs - kMaxLagMs)
        dataSlot_ = (nowMs - dataStartMs_) * settings_.packetsPerSecond / kMsPerSecond;
}

std::vector<Packet> SimInstrument::packetsDue(std::int64_t nowMs)
{
    skipOverdue(nowMs);
    std::vector<Packet> out;
    while (nextDueMs() <= nowMs) {
        if (nextSecondMs_ <= nowMs && nextSecondMs_ <= std::min(nextInfoMs_, dataSlotMs())) {
            appendSecond(out);
            nextSecondMs_ += kMsPerSecond;
        } else if (nextInfoMs_ <= dataSlotMs()) {
            appendInfo(out);
            nextInfoMs_ += settings_.infoEverySeconds * kMsPerSecond;
        } else {
            out.push_back(measurementPacket());
            ++dataSlot_;
        }
    }
    return out;
}

void SimInstrument::appendSecond(std::vector<Packet>& out)
{
    const std::int64_t second = nextSecondMs_ / kMsPerSecond;
    const CivilTime utc = civilFromUnixSeconds(startUnixSeconds_ + pcAheadSeconds_ + second);
    const std::uint8_t marker =
        settings_.markerEverySeconds > 0
            ? static_cast<std::uint8_t>(second / settings_.markerEverySeconds)
            : 0;
    out.push_back(clockPacket(utc, marker));
    if (settings_.gps) {
        const double seconds = toSeconds(nextSecondMs_);
        const GpsFix fix = simulateGpsFix(utc, seconds, route_.at(seconds), gpsNoise_);
        out.push_back(gpsPacket(encodeGpsRecord(fix)));
    }
}

void SimInstrument::appendInfo(std::vector<Packet>& out) const
{
    switch (settings_.mode) {
    case MeasurementMode::Single:
        out.push_back(levelValuesPacket(plan_));
        break;
    case MeasurementMode::List:
        out.push_back(statusBlocksPacket(plan_));
        break;
    case MeasurementMode::Table: // table data counts as channel information by itself
        break;
    }
}

Packet SimInstrument::measurementPacket()
{
    const LocalPoint at = route_.at(toSeconds(dataSlotMs())).local;
    if (settings_.mode == MeasurementMode::Single)
        return singlePacket(at);
    if (settings_.mode == MeasurementMode::List)
        return listSlicePacket(at);
    return tableSlicePacket(at);
}

// Receivers take turns; each packet holds a few samples of the receiver's current channel.
Packet SimInstrument::singlePacket(const LocalPoint& at)
{
    const int receiver = static_cast<int>(cursor_++ % kReceivers);
    std::vector<std::int8_t> samples;
    for (int i = 0; i < kSamplesPerSinglePacket; ++i)
        samples.push_back(
            field_.levelDbm(receiver, plan_[receiver].currentCount(), at, levelNoise_));
    return singleLevelsPacket(receiver, samples);
}

// Four packets cover both lists: receiver 1 entries 0-4, 5-9, then receiver 2 the same.
Packet SimInstrument::listSlicePacket(const LocalPoint& at)
{
    const std::size_t slice = cursor_++ % (kReceivers * kListSlicesPerReceiver);
    const int receiver = static_cast<int>(slice / kListSlicesPerReceiver);
    const int first = static_cast<int>(slice % kListSlicesPerReceiver) * kListEntriesPerPacket;
    std::array<ListEntry, kListEntriesPerPacket> entries;
    for (int i = 0; i < kListEntriesPerPacket; ++i) {
        const int channel = first + i;
        entries[i] = {
            static_cast<std::uint8_t>(receiver), static_cast<std::uint8_t>(channel),
            field_.levelDbm(receiver, plan_[receiver].listCounts[channel], at, levelNoise_)};
    }
    return listPacket(entries);
}

// The sweep runs over every step of receiver 1's band, then receiver 2's, and starts again.
Packet SimInstrument::tableSlicePacket(const LocalPoint& at)
{
    std::array<TableEntry, kTableEntriesPerPacket> entries;
    for (TableEntry& e : entries) {
        const auto [receiver, count] = tableSweep_[cursor_++ % tableSweep_.size()];
        e = {static_cast<std::uint8_t>(receiver),
             static_cast<std::uint16_t>(plan_[receiver].tableIndexOfCount(count)),
             field_.levelDbm(receiver, count, at, levelNoise_)};
    }
    return tablePacket(entries);
}

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
