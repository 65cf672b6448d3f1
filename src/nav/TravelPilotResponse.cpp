#include "nav/TravelPilotResponse.h"

#include "link/ByteOrder.h"
#include "nav/TravelPilotFrame.h"

#include <algorithm>

namespace zentor {

namespace {

constexpr std::size_t kFieldsOffset = 3;
constexpr std::size_t kVersionEnd = kFieldsOffset + 2;
constexpr std::size_t kLongitudeOffset = kFieldsOffset + kTpCoordinateBytes;
constexpr std::size_t kPositionEnd = kLongitudeOffset + kTpCoordinateBytes;
constexpr std::size_t kDirectionOffset = kFieldsOffset + 2;
constexpr std::size_t kSpeedEnd = kDirectionOffset + 2;

constexpr std::size_t kHemisphereOffset = 0;
constexpr std::size_t kIntegerOffset = 1;
constexpr std::size_t kFractionOffset = 3;

template <std::size_t N> std::array<std::uint8_t, N> copyField(const std::uint8_t* p)
{
    std::array<std::uint8_t, N> field{};
    std::copy(p, p + N, field.begin());
    return field;
}

} // namespace

TravelPilotResponse parseTravelPilotResponse(const std::uint8_t* bytes, std::size_t arrived)
{
    TravelPilotResponse r;
    if (arrived == 0)
        return r;
    const std::size_t length = bytes[0];
    if (bytesAfterLength(bytes[0]) == 0) {
        r.answer = TravelPilotAnswer::BadLength;
        return r;
    }
    if (arrived < length) {
        r.answer = TravelPilotAnswer::Short;
        return r;
    }
    r.command = bytes[1];
    switch (r.command) {
    case kTpCmdVersion:
        if (length < kVersionEnd)
            break;
        r.answer = TravelPilotAnswer::Version;
        r.versionMajor = bytes[kFieldsOffset];
        r.versionMinor = bytes[kFieldsOffset + 1];
        return r;
    case kTpCmdPosition:
        if (length < kPositionEnd)
            break;
        r.answer = TravelPilotAnswer::Position;
        r.latitude = copyField<kTpCoordinateBytes>(bytes + kFieldsOffset);
        r.longitude = copyField<kTpCoordinateBytes>(bytes + kLongitudeOffset);
        return r;
    case kTpCmdSpeed:
        if (length < kSpeedEnd)
            break;
        r.answer = TravelPilotAnswer::Speed;
        r.speedBytes = copyField<2>(bytes + kFieldsOffset);
        r.directionBytes = copyField<2>(bytes + kDirectionOffset);
        r.speedKmh = static_cast<std::int16_t>(readLe16(r.speedBytes.data()));
        r.directionDeg = readLe16(r.directionBytes.data());
        return r;
    case kTpCmdNoData:
        r.answer = TravelPilotAnswer::NoData;
        return r;
    default:
        r.answer = TravelPilotAnswer::Unknown;
        return r;
    }
    r.answer = TravelPilotAnswer::Malformed;
    return r;
}

TravelPilotCoordinateParts coordinateParts(const TravelPilotCoordinate& coordinate)
{
    TravelPilotCoordinateParts parts;
    parts.hemisphere = static_cast<char>(coordinate[kHemisphereOffset]);
    parts.integerPart = static_cast<std::int16_t>(readLe16(coordinate.data() + kIntegerOffset));
    parts.fractionalPart = static_cast<std::int32_t>(readLe32(coordinate.data() + kFractionOffset));
    return parts;
}

bool coordinateInRange(const TravelPilotCoordinateParts& parts)
{
    return parts.integerPart >= 0 && parts.fractionalPart >= 0 &&
           parts.fractionalPart < kTravelPilotMillionthsPerDegree;
}

} // namespace zentor
