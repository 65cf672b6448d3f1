#include "nav/TravelPilotLogPackets.h"

#include "link/ByteOrder.h"

#include <algorithm>
#include <ctime>
#include <mutex>

namespace zentor {

namespace {

constexpr std::size_t kLengthBytes = 2;
constexpr std::size_t kTypeOffset = 2;
constexpr std::size_t kDataOffset = kTypeOffset + 1;
constexpr std::size_t kTimeOffset = 3;
constexpr std::size_t kLatitudeOffset = 9;
constexpr std::size_t kLongitudeOffset = kLatitudeOffset + kTpCoordinateBytes;
constexpr std::size_t kSpeedOffset = 3;
constexpr std::size_t kDirectionOffset = 5;

static_assert(kTpPositionLogDataBytes == kTpPositionLogBytes - kDataOffset);

// The time fields in the order the position packet carries them, one byte each.
constexpr int LogTimeFields::*kTimeFields[] = {
    &LogTimeFields::seconds,    &LogTimeFields::minutes, &LogTimeFields::hours,
    &LogTimeFields::dayOfMonth, &LogTimeFields::month,   &LogTimeFields::yearsSince1900};

// Where a field at `packetOffset` of a packet lies in its data (the bytes after the type).
constexpr std::size_t inData(std::size_t packetOffset)
{
    return packetOffset - kDataOffset;
}

std::uint8_t lowByte(int value)
{
    return static_cast<std::uint8_t>(value & 0xFF);
}

} // namespace

LogTimeFields localTimeNow()
{
    // std::localtime hands out one static result; the lock keeps two callers of this function
    // from overwriting it under each other. Nothing else in the program calls it.
    static std::mutex localTimeMutex;
    const std::time_t now = std::time(nullptr);
    std::lock_guard<std::mutex> lock(localTimeMutex);
    const std::tm* local = std::localtime(&now);
    LogTimeFields fields;
    if (local == nullptr)
        return fields;
    fields.seconds = local->tm_sec;
    fields.minutes = local->tm_min;
    fields.hours = local->tm_hour;
    fields.dayOfMonth = local->tm_mday;
    fields.month = local->tm_mon;
    fields.yearsSince1900 = local->tm_year;
    return fields;
}

std::array<std::uint8_t, kTpPositionLogBytes>
positionLogPacket(const LogTimeFields& time, const TravelPilotCoordinate& latitude,
                  const TravelPilotCoordinate& longitude)
{
    std::array<std::uint8_t, kTpPositionLogBytes> p{};
    writeLe16(p.data(), static_cast<std::uint16_t>(kTpPositionLogBytes - kLengthBytes));
    p[kTypeOffset] = kTpPositionLogType;
    std::transform(std::begin(kTimeFields), std::end(kTimeFields), p.begin() + kTimeOffset,
                   [&](int LogTimeFields::*field) { return lowByte(time.*field); });
    std::copy(latitude.begin(), latitude.end(), p.begin() + kLatitudeOffset);
    std::copy(longitude.begin(), longitude.end(), p.begin() + kLongitudeOffset);
    return p;
}

std::optional<PositionLogFields> readPositionLogData(const std::uint8_t* data, std::size_t n)
{
    if (n < kTpPositionLogDataBytes)
        return std::nullopt;
    PositionLogFields fields;
    const std::uint8_t* time = data + inData(kTimeOffset);
    for (int LogTimeFields::*field : kTimeFields)
        fields.time.*field = *time++;
    std::copy_n(data + inData(kLatitudeOffset), kTpCoordinateBytes, fields.latitude.begin());
    std::copy_n(data + inData(kLongitudeOffset), kTpCoordinateBytes, fields.longitude.begin());
    return fields;
}

std::array<std::uint8_t, kTpSpeedLogBytes>
speedLogPacket(const std::array<std::uint8_t, 2>& speed,
               const std::array<std::uint8_t, 2>& direction)
{
    std::array<std::uint8_t, kTpSpeedLogBytes> p{};
    writeLe16(p.data(), static_cast<std::uint16_t>(kTpSpeedLogBytes - kLengthBytes));
    p[kTypeOffset] = kTpSpeedLogType;
    std::copy(speed.begin(), speed.end(), p.begin() + kSpeedOffset);
    std::copy(direction.begin(), direction.end(), p.begin() + kDirectionOffset);
    return p;
}

} // namespace zentor
