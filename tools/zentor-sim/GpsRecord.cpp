#include "GpsRecord.h"

#include "link/ByteOrder.h"

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

} // namespace zentor::sim
