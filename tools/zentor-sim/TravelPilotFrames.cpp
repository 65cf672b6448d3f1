#include "TravelPilotFrames.h"

#include "link/ByteOrder.h"

#include <algorithm>
#include <cmath>

namespace zentor::sim {

std::uint16_t travelPilotSum(const std::uint8_t* bytes, std::size_t n)
{
    std::uint16_t sum = 0;
    for (std::size_t i = 0; i < n; ++i)
        sum = static_cast<std::uint16_t>(sum + bytes[i]);
    return sum;
}

Bytes travelPilotFrame(std::uint8_t command, const Bytes& data)
{
    const std::size_t dataBytes =
        std::min(data.size(), kTravelPilotMaxFrame - kTravelPilotFrameOverhead);
    Bytes frame{static_cast<std::uint8_t>(dataBytes + kTravelPilotFrameOverhead), command,
                static_cast<std::uint8_t>(~command)};
    frame.insert(frame.end(), data.begin(), data.begin() + static_cast<std::ptrdiff_t>(dataBytes));
    std::uint8_t sum[2];
    writeLe16(sum, travelPilotSum(frame.data(), frame.size()));
    frame.insert(frame.end(), sum, sum + 2);
    return frame;
}

TravelPilotCoordinate encodeTravelPilotCoordinate(double degrees, char positive, char negative)
{
    const auto millionths = static_cast<std::uint64_t>(
        std::llround(std::fabs(degrees) * kTravelPilotMillionthsPerDegree));
    TravelPilotCoordinate c{};
    c[0] = static_cast<std::uint8_t>(degrees < 0 ? negative : positive);
    writeLe16(&c[1], static_cast<std::uint16_t>(millionths / kTravelPilotMillionthsPerDegree));
    writeLe32(&c[3], static_cast<std::uint32_t>(millionths % kTravelPilotMillionthsPerDegree));
    return c;
}

Bytes travelPilotVersionResponse(std::uint8_t major, std::uint8_t minor)
{
    return travelPilotFrame(TravelPilotCommand::kVersion, {major, minor});
}

Bytes travelPilotPositionResponse(const GeoPoint& at)
{
    const TravelPilotCoordinate latitude = encodeTravelPilotCoordinate(at.latitudeDeg, 'N', 'S');
    const TravelPilotCoordinate longitude = encodeTravelPilotCoordinate(at.longitudeDeg, 'E', 'W');
    Bytes data(latitude.begin(), latitude.end());
    data.insert(data.end(), longitude.begin(), longitude.end());
    return travelPilotFrame(TravelPilotCommand::kPosition, data);
}

Bytes travelPilotSpeedResponse(std::int16_t speedKmh, std::uint16_t directionDeg)
{
    Bytes data(4);
    writeLe16(&data[0], static_cast<std::uint16_t>(speedKmh));
    writeLe16(&data[2], directionDeg);
    return travelPilotFrame(TravelPilotCommand::kSpeedAndDirection, data);
}

Bytes travelPilotNotUnderstoodResponse()
{
    return travelPilotFrame(TravelPilotCommand::kNotUnderstood, {});
}

} // namespace zentor::sim
