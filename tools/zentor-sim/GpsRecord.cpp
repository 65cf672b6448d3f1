#include "GpsRecord.h"

#include "link/ByteOrder.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace zentor::sim {

namespace {

constexpr std::size_t kHeaderSize = 2; // the two '@' that the checksum leaves out
constexpr std::size_t kChannelRecordSize = 6;

// Offsets of the fields in the record.
constexpr std::size_t kMonth = 4;
constexpr std::size_t kDay = 5;
constexpr std::size_t kYear = 6;
constexpr std::size_t kHours = 8;
constexpr std::size_t kMinutes = 9;
constexpr std::size_t kSeconds = 10;
constexpr std::size_t kFraction = 11;
constexpr std::size_t kFiltered = 15;
constexpr std::size_t kUnfiltered = 31;
constexpr std::size_t kSpeed3d = 47;
constexpr std::size_t kSpeed2d = 49;
constexpr std::size_t kHeading = 51;
constexpr std::size_t kDop = 53;
constexpr std::size_t kVisible = 55;
constexpr std::size_t kTracked = 56;
constexpr std::size_t kChannels = 57;
constexpr std::size_t kStatus1 = 129;
constexpr std::size_t kStatus2 = 130;
constexpr std::size_t kClockBias = 133;
constexpr std::size_t kOscillatorOffset = 135;
constexpr std::size_t kTemperature = 139;
constexpr std::size_t kUtcParameters = 141;
constexpr std::size_t kGmtSign = 142;
constexpr std::size_t kGmtHours = 143;
constexpr std::size_t kGmtMinutes = 144;
constexpr std::size_t kIdTag = 145;
constexpr std::size_t kChecksum = 151;

void writePosition(std::uint8_t* p, const GpsPosition& position)
{
    writeBe32(p, static_cast<std::uint32_t>(position.latitudeMas));
    writeBe32(p + 4, static_cast<std::uint32_t>(position.longitudeMas));
    writeBe32(p + 8, static_cast<std::uint32_t>(position.gpsHeightCm));
    writeBe32(p + 12, static_cast<std::uint32_t>(position.mslHeightCm));
}

} // namespace

//   offset  width  field
//   0       4      "@@Ha"
//   4       4      month, day, year (16-bit)
//   8       3      hours, minutes, seconds
//   11      4      fractional second, ns
//   15      16     filtered latitude, longitude (mas), GPS height, MSL height (cm)
//   31      16     the same, unfiltered
//   47      8      3D speed, 2D speed (cm/s), heading (0.1 deg), DOP (0.1)
//   55      2      satellites visible, tracked
//   57      72     twelve channels: SVID, mode, C/No, IODE, status A, status B
//   129     2      receiver status bytes 1 and 2
//   131     2      reserved (0)
//   133     2      clock bias, ns (signed)
//   135     4      oscillator offset, Hz (signed)
//   139     2      temperature, half degrees C (signed)
//   141     4      UTC parameters, GMT offset sign, hours, minutes
//   145     6      ID tag
//   151     1      checksum
GpsRecord encodeGpsRecord(const GpsFix& fix)
{
    GpsRecord r{};
    r[0] = '@';
    r[1] = '@';
    r[2] = 'H';
    r[3] = 'a';
    r[kMonth] = static_cast<std::uint8_t>(fix.utc.month);
    r[kDay] = static_cast<std::uint8_t>(fix.utc.day);
    writeBe16(&r[kYear], static_cast<std::uint16_t>(fix.utc.year));
    r[kHours] = static_cast<std::uint8_t>(fix.utc.hour);
    r[kMinutes] = static_cast<std::uint8_t>(fix.utc.minute);
    r[kSeconds] = static_cast<std::uint8_t>(fix.utc.second);
    writeBe32(&r[kFraction], fix.fractionNs);
    writePosition(&r[kFiltered], fix.filtered);
    writePosition(&r[kUnfiltered], fix.unfiltered);
    writeBe16(&r[kSpeed3d], fix.speed3dCmPerS);
    writeBe16(&r[kSpeed2d], fix.speed2dCmPerS);
    writeBe16(&r[kHeading], fix.headingTenthDeg);
    writeBe16(&r[kDop], fix.dopTenths);
    r[kVisible] = fix.satellitesVisible;
    r[kTracked] = fix.satellitesTracked;
    for (std::size_t i = 0; i < fix.channels.size(); ++i) {
        const GpsChannel& c = fix.channels[i];
        std::uint8_t* p = &r[kChannels + i * kChannelRecordSize];
        p[0] = c.svid;
        p[1] = c.mode;
        p[2] = c.cnoDbHz;
        p[3] = c.iode;
        p[4] = c.statusA;
        p[5] = c.statusB;
    }
    r[kStatus1] = fix.receiverStatus1;
    r[kStatus2] = fix.receiverStatus2;
    writeBe16(&r[kClockBias], static_cast<std::uint16_t>(fix.clockBiasNs));
    writeBe32(&r[kOscillatorOffset], static_cast<std::uint32_t>(fix.oscillatorOffsetHz));
    writeBe16(&r[kTemperature], static_cast<std::uint16_t>(fix.temperatureHalfDegC));
    r[kUtcParameters] = fix.utcParameters;
    r[kGmtSign] = fix.gmtOffsetSign;
    r[kGmtHours] = fix.gmtOffsetHours;
    r[kGmtMinutes] = fix.gmtOffsetMinutes;
    for (std::size_t i = 0; i < fix.idTag.size(); ++i)
        r[kIdTag + i] = static_cast<std::uint8_t>(fix.idTag[i]);
    r[kChecksum] = gpsRecordChecksum(r.data(), r.size());
    return r;
}

std::uint8_t gpsRecordChecksum(const std::uint8_t* record, std::size_t size)
{
    std::uint8_t sum = 0;
    for (std::size_t i = kHeaderSize; i + 1 < size; ++i)
        sum ^= record[i];
    return sum;
}

namespace {
constexpr std::int64_t kSecondsPerDay = 86400;
constexpr std::int64_t kDaysPerEra = 146097; // one 400-year Gregorian cycle
constexpr std::int64_t kEpochShift = 719468; // days from 0000-03-01 to 1970-01-01
} // namespace

CivilTime civilFromUnixSeconds(std::int64_t seconds)
{
    const std::int64_t days = seconds / kSecondsPerDay;
    const std::int64_t secondOfDay = seconds % kSecondsPerDay;

    // Counted in years that start on 1 March, so that the leap day is the last day of a year.
    const std::int64_t z = days + kEpochShift;
    const std::int64_t era = z / kDaysPerEra;
    const std::int64_t dayOfEra = z - era * kDaysPerEra;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;

    CivilTime t;
    t.day = static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    t.month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
    t.year = static_cast<int>(yearOfEra + era * 400 + (t.month <= 2 ? 1 : 0));
    t.hour = static_cast<int>(secondOfDay / 3600);
    t.minute = static_cast<int>(secondOfDay / 60 % 60);
    t.second = static_cast<int>(secondOfDay % 60);
    return t;
}

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMasPerDegree = 3600000.0;
constexpr double kMetresPerDegreeLatitude = 111320.0;
constexpr double kUnfilteredScatterM = 2.5;
constexpr double kGeoidSeparationCm = 4700.0;
constexpr int kSatellitesVisible = 10;
constexpr int kSatellitesTracked = 8;
constexpr std::uint8_t kSvids[kSatellitesVisible] = {2, 5, 7, 12, 13, 15, 18, 24, 29, 30};

constexpr std::uint8_t kModeTracking = 8;  // position available
constexpr std::uint8_t kModeAcquiring = 1; // code acquisition
constexpr std::uint8_t kStatusATimeUsed = 0x08;
constexpr std::uint8_t kStatusBUsedAntiSpoof = 0xA0; // used for the fix, anti-spoofing on
constexpr std::uint8_t kStatus3dFix = 0xE4;          // fix mode 7, narrow-band tracking
constexpr std::uint8_t kStatusCodeInternal = 0x01;   // antenna OK, code location internal
constexpr std::uint8_t kUtcParametersByte = 0xD2;    // UTC mode on, offset decoded, 18 s
constexpr std::array<char, 6> kSimulatedIdTag = {'Z', 'S', 'I', 'M', '0', '1'};
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

    fix.satellitesVisible = kSatellitesVisible;
    fix.satellitesTracked = kSatellitesTracked;
    for (int i = 0; i < kSatellitesVisible; ++i) {
        GpsChannel& c = fix.channels[i];
        c.svid = kSvids[i];
        if (i < kSatellitesTracked) {
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
    fix.utcParameters = kUtcParametersByte;
    fix.idTag = kSimulatedIdTag;
    return fix;
}

} // namespace zentor::sim
