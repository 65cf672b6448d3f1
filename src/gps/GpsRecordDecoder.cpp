#include "gps/GpsRecordDecoder.h"

#include "link/ByteOrder.h"

#include <algorithm>

namespace zentor {
namespace {

constexpr double kMilliarcsecondsPerDegree = 3600000.0;
constexpr double kHalfDegreesPerDegree = 2.0;
constexpr std::size_t kChannelRecordBytes = 6;
constexpr std::size_t kIdTagLength = 6;

// Offsets of the fields in the record.
constexpr std::size_t kMonth = 4;
constexpr std::size_t kDay = 5;
constexpr std::size_t kYear = 6;
constexpr std::size_t kHours = 8;
constexpr std::size_t kMinutes = 9;
constexpr std::size_t kSeconds = 10;
constexpr std::size_t kFilteredPosition = 15;
constexpr std::size_t kUnfilteredPosition = 31;
constexpr std::size_t kSpeed3d = 47;
constexpr std::size_t kSpeed2d = 49;
constexpr std::size_t kHeading = 51;
constexpr std::size_t kGeometry = 53;
constexpr std::size_t kSatellitesVisible = 55;
constexpr std::size_t kSatellitesTracked = 56;
constexpr std::size_t kChannels = 57;
constexpr std::size_t kReceiverStatus = 129;
constexpr std::size_t kClockBias = 133;
constexpr std::size_t kOscillatorOffset = 135;
constexpr std::size_t kTemperature = 139;
constexpr std::size_t kUtcParameters = 141;
constexpr std::size_t kGmtSign = 142;
constexpr std::size_t kGmtHours = 143;
constexpr std::size_t kGmtMinutes = 144;
constexpr std::size_t kIdTag = 145;

bool bit(std::uint8_t byte, int n)
{
    return ((byte >> n) & 1) != 0;
}

std::int16_t readSignedBe16(const std::uint8_t* p)
{
    return static_cast<std::int16_t>(readBe16(p));
}

std::int32_t readSignedBe32(const std::uint8_t* p)
{
    return static_cast<std::int32_t>(readBe32(p));
}

// Position solution, 16 bytes, big-endian int32 each:
//   offset  field
//   0       latitude, milliarcseconds (positive north)
//   4       longitude, milliarcseconds (positive east)
//   8       height above the ellipsoid, cm
//   12      height above mean sea level, cm
GpsPosition decodePosition(const std::uint8_t* p)
{
    GpsPosition position;
    position.latitudeDeg = readSignedBe32(p) / kMilliarcsecondsPerDegree;
    position.longitudeDeg = readSignedBe32(p + 4) / kMilliarcsecondsPerDegree;
    position.gpsHeightCm = readSignedBe32(p + 8);
    position.mslHeightCm = readSignedBe32(p + 12);
    return position;
}

// Channel record, 6 unsigned bytes:
//   offset  field
//   0       SVID
//   1       tracking mode
//   2       signal strength
//   3       IODE
//   4       status A: bit 3 time used, bit 2 differential corrections, bit 1 invalid data,
//           bit 0 parity error
//   5       status B: bit 7 used for position fix, bit 6 momentum alert, bit 5 anti-spoof,
//           bit 4 satellite unhealthy, bits 3-0 accuracy
GpsChannelStatus decodeChannel(const std::uint8_t* p)
{
    GpsChannelStatus c;
    c.svid = p[0];
    c.mode = p[1];
    c.signalStrength = p[2];
    c.iode = p[3];
    c.statusA = p[4];
    c.statusB = p[5];
    c.timeUsed = bit(c.statusA, 3);
    c.differentialCorrections = bit(c.statusA, 2);
    c.invalidData = bit(c.statusA, 1);
    c.parityError = bit(c.statusA, 0);
    c.usedForPositionFix = bit(c.statusB, 7);
    c.momentumAlert = bit(c.statusB, 6);
    c.antiSpoof = bit(c.statusB, 5);
    c.unhealthy = bit(c.statusB, 4);
    c.accuracy = c.statusB & 0x0F;
    return c;
}

// Receiver status, 2 bytes:
//   byte 1  bits 7-5 fix mode (0-7), bit 1 fast acquisition position, bit 0 filter reset
//   byte 2  bit 7 cold start, bit 6 differential fix, bit 5 position lock, bit 4 autosurvey,
//           bit 3 insufficient visible satellites, bits 2-1 antenna sense (0-3),
//           bit 0 code location internal
// Bits 7-5 of byte 1 hold the fix mode, so the two flags of that byte are its bits 1 and 0, where
// the receiver puts them.
GpsReceiverStatus decodeReceiverStatus(const std::uint8_t* p)
{
    GpsReceiverStatus s;
    s.byte1 = p[0];
    s.byte2 = p[1];
    s.fixMode = (s.byte1 >> 5) & 0x07;
    s.fastAcquisitionPosition = bit(s.byte1, 1);
    s.filterReset = bit(s.byte1, 0);
    s.coldStart = bit(s.byte2, 7);
    s.differentialFix = bit(s.byte2, 6);
    s.positionLock = bit(s.byte2, 5);
    s.autosurvey = bit(s.byte2, 4);
    s.insufficientVisibleSatellites = bit(s.byte2, 3);
    s.antennaSense = (s.byte2 >> 1) & 0x03;
    s.codeLocationInternal = bit(s.byte2, 0);
    return s;
}

} // namespace

// GPS record, 152 bytes, multi-byte values big-endian and signed unless marked:
//   offset  width  field
//   0       4      message header "@@Ha" (not checked)
//   4       1      month (unsigned)
//   5       1      day (unsigned)
//   6       2      year (unsigned)
//   8       3      hours, minutes, seconds (unsigned)
//   11      4      fractional second (not used)
//   15      16     filtered position solution (decodePosition)
//   31      16     unfiltered position solution
//   47      2      3D speed, cm/s
//   49      2      2D speed, cm/s
//   51      2      heading, 0.1 degree (0-3599)
//   53      2      geometry (DOP), 0.1
//   55      1      satellites visible (unsigned)
//   56      1      satellites tracked (unsigned)
//   57      72     twelve channel records of 6 bytes (decodeChannel)
//   129     2      receiver status (decodeReceiverStatus)
//   131     2      reserved
//   133     2      clock bias, ns
//   135     4      oscillator offset, Hz
//   139     2      temperature, half degrees Celsius
//   141     1      UTC parameters: bit 7 UTC mode enabled, bit 6 UTC offset decoded,
//                  bits 5-0 UTC offset value
//   142     1      GMT offset sign: 0 plus, anything else minus
//   143     2      GMT offset hours, minutes (unsigned)
//   145     6      ID tag, ASCII (a zero byte ends it)
//   151     1      checksum (not checked)
std::optional<GpsStatus> decodeGpsRecord(const std::uint8_t* record, std::size_t size)
{
    if (record == nullptr || size < kGpsRecordSize)
        return std::nullopt;
    const std::uint8_t* p = record;

    GpsStatus s;
    std::copy(p, p + kGpsRecordSize, s.record.begin());
    s.month = p[kMonth];
    s.day = p[kDay];
    s.year = readBe16(p + kYear);
    s.hours = p[kHours];
    s.minutes = p[kMinutes];
    s.seconds = p[kSeconds];

    s.filtered = decodePosition(p + kFilteredPosition);
    s.unfiltered = decodePosition(p + kUnfilteredPosition);

    s.speed3dCmPerS = readSignedBe16(p + kSpeed3d);
    s.speed2dCmPerS = readSignedBe16(p + kSpeed2d);
    s.headingTenthsDeg = readSignedBe16(p + kHeading);
    s.geometryTenths = readSignedBe16(p + kGeometry);
    s.satellitesVisible = p[kSatellitesVisible];
    s.satellitesTracked = p[kSatellitesTracked];

    for (std::size_t i = 0; i < s.channels.size(); ++i)
        s.channels[i] = decodeChannel(p + kChannels + i * kChannelRecordBytes);
    s.receiver = decodeReceiverStatus(p + kReceiverStatus);

    s.clockBiasNs = readSignedBe16(p + kClockBias);
    s.oscillatorOffsetHz = readSignedBe32(p + kOscillatorOffset);
    s.temperatureC = readSignedBe16(p + kTemperature) / kHalfDegreesPerDegree;

    const std::uint8_t utc = p[kUtcParameters];
    s.utcModeEnabled = bit(utc, 7);
    s.utcOffsetDecoded = bit(utc, 6);
    s.utcOffsetValue = utc & 0x3F;

    s.gmtOffsetNegative = p[kGmtSign] != 0;
    s.gmtOffsetHours = p[kGmtHours];
    s.gmtOffsetMinutes = p[kGmtMinutes];

    // A text: a zero byte, which a receiver without a tag may send, ends it.
    const std::uint8_t* tag = p + kIdTag;
    const std::uint8_t* tagEnd = std::find(tag, tag + kIdTagLength, 0);
    s.idTag.assign(tag, tagEnd);
    return s;
}

} // namespace zentor
