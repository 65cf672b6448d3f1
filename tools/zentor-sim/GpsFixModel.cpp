#include "GpsFixModel.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace zentor::sim {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMasPerDegree = 3600000.0;
constexpr double kMetresPerDegreeLatitude = 111320.0;
constexpr double kUnfilteredScatterM = 2.5;
constexpr double kGeoidSeparationCm = 4700.0;
constexpr int kVisible = 10;
constexpr int kTracked = 8;
constexpr std::uint8_t kSvids[kVisible] = {2, 5, 7, 12, 13, 15, 18, 24, 29, 30};

constexpr std::uint8_t kModeTracking = 8;  // position available
constexpr std::uint8_t kModeAcquiring = 1; // code acquisition
constexpr std::uint8_t kStatusATimeUsed = 0x08;
constexpr std::uint8_t kStatusBUsedAntiSpoof = 0xA0; // used for the fix, anti-spoofing on
constexpr std::uint8_t kStatus3dFix = 0xE4;          // fix mode 7, narrow-band tracking
constexpr std::uint8_t kStatusCodeInternal = 0x01;   // antenna OK, code location internal
constexpr std::uint8_t kUtcParameters = 0xD2;        // UTC mode on, offset decoded, 18 s
constexpr std::array<char, 6> kIdTag = {'Z', 'S', 'I', 'M', '0', '1'};
constexpr std::uint32_t kNsPerSecond = 1000000000;

std::int32_t toMas(double degrees)
{
    return static_cast<std::int32_t>(std::lround(degrees * kMasPerDegree));
}

GpsPosition position(const GeoPoint& at, double mslHeightCm)
{
    return {toMas(at.latitudeDeg), toMas(at.longitudeDeg),
            static_cast<std::int32_t>(std::lround(mslHeightCm + kGeoidSeparationCm)),
            static_cast<std::int32_t>(std::lround(mslHeightCm))};
}

} // namespace

GpsFix simulateGpsFix(const CivilTime& utc, double seconds, const RoutePoint& where,
                      SimRandom& noise)
{
    GpsFix fix;
    fix.utc = utc;
    fix.fractionNs = noise.below(kNsPerSecond / 1000) * 1000; // the fix lags the second a little

    // The town lies a few metres above sea level, with gentle slopes.
    const double mslCm =
        350.0 + 250.0 * std::sin(where.local.eastM / 900.0) * std::cos(where.local.northM / 700.0);
    fix.filtered = position(where.geo, mslCm);
    const double cosLat = std::cos(where.geo.latitudeDeg * kPi / 180.0);
    const GeoPoint scattered = {where.geo.latitudeDeg + kUnfilteredScatterM * noise.gaussian() /
                                                            kMetresPerDegreeLatitude,
                                where.geo.longitudeDeg + kUnfilteredScatterM * noise.gaussian() /
                                                             (kMetresPerDegreeLatitude * cosLat)};
    fix.unfiltered = position(scattered, mslCm + 150.0 * noise.gaussian());

    const long speedCm = std::lround(where.speedMPerS * 100.0);
    fix.speed2dCmPerS = static_cast<std::uint16_t>(speedCm);
    fix.speed3dCmPerS = static_cast<std::uint16_t>(speedCm + noise.below(2));
    fix.headingTenthDeg = static_cast<std::uint16_t>(std::lround(where.headingDeg * 10.0) % 3600);
    fix.dopTenths = static_cast<std::uint16_t>(std::lround(14.0 + 3.0 * std::sin(seconds / 120.0)));

    fix.satellitesVisible = kVisible;
    fix.satellitesTracked = kTracked;
    for (int i = 0; i < kVisible; ++i) {
        GpsChannel& c = fix.channels[i];
        c.svid = kSvids[i];
        if (i < kTracked) {
            c.mode = kModeTracking;
            c.cnoDbHz = static_cast<std::uint8_t>(
                std::lround(44.0 + 5.0 * std::sin(seconds / 97.0 + i) + noise.gaussian()));
            c.iode = static_cast<std::uint8_t>(17 * i + 9 + static_cast<int>(seconds / 7200.0));
            c.statusA = kStatusATimeUsed;
            c.statusB = kStatusBUsedAntiSpoof;
        } else {
            c.mode = kModeAcquiring;
        }
    }
    fix.receiverStatus1 = kStatus3dFix;
    fix.receiverStatus2 = kStatusCodeInternal;

    fix.clockBiasNs = static_cast<std::int16_t>(
        std::lround(15.0 * std::sin(seconds / 60.0) + 2.0 * noise.gaussian()));
    fix.oscillatorOffsetHz =
        static_cast<std::int32_t>(std::lround(99860.0 + 15.0 * std::sin(seconds / 300.0)));
    fix.temperatureHalfDegC =
        static_cast<std::int16_t>(std::lround(2.0 * (24.0 + 2.0 * std::sin(seconds / 900.0))));
    fix.utcParameters = kUtcParameters;
    fix.idTag = kIdTag;
    return fix;
}

} // namespace zentor::sim
